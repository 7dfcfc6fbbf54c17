// ventolix-check: checks LDT files from the command line with the viewer's engine.
#include "CheckReport.h"

#include <QCoreApplication>
#include <QStringList>
#include <QTextStream>

#include <cstdio>

static const char *const kUsage =
    "Aufruf: ventolix-check [OPTIONEN] DATEI...\n"
    "\n"
    "Prüft LDT-Dateien (LDT 3) und gibt das Ergebnis auf Deutsch aus.\n"
    "\n"
    "Optionen:\n"
    "  -h, --help       diese Hilfe anzeigen\n"
    "  -V, --version    die Programmversion anzeigen\n"
    "  --max-invalid N  Datei nach mehr als N ungültigen Zeilen abweisen\n"
    "                   (Voreinstellung 30 wie im Viewer; 0 = nie)\n"
    "  --stats          die Feldstatistik ausgeben\n"
    "  --find TEXT      die Nummern der Zeilen ausgeben, die TEXT enthalten\n"
    "  --extract DIR    jede Anlage unter ihrem vorgeschlagenen Namen in DIR speichern\n"
    "  --               alle weiteren Argumente sind Dateinamen\n"
    "\n"
    "Rückgabewerte:\n"
    "  0   keine Befunde: keine fehlerhafte Zeile, Struktur und Prüfsumme korrekt\n"
    "  1   mindestens eine Datei hat Befunde\n"
    "  2   eine Datei konnte nicht gelesen werden oder wurde abgewiesen,\n"
    "      oder eine Anlage konnte nicht gespeichert werden\n"
    "  64  falscher Aufruf\n";

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);
    out.setEncoding(QStringConverter::Utf8);
    err.setEncoding(QStringConverter::Utf8);

    QStringList files;
    TCheckOptions options;
    bool onlyFiles = false;
    const QStringList args = app.arguments().mid(1);
    auto usageError = [&](const QString &AMsg) {
        err << "ventolix-check: " << AMsg << "\n" << QString::fromUtf8(kUsage);
        return 64;
    };
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString &a = args[i];
        auto value = [&](QString &AValue) {
            if (i + 1 >= args.size())
                return false;
            AValue = args[++i];
            return true;
        };
        if (onlyFiles || !a.startsWith(QLatin1Char('-')) || a == QLatin1String("-")) {
            files << a;
        } else if (a == QLatin1String("--")) {
            onlyFiles = true;
        } else if (a == QLatin1String("-h") || a == QLatin1String("--help")) {
            out << QString::fromUtf8(kUsage);
            return 0;
        } else if (a == QLatin1String("-V") || a == QLatin1String("--version")) {
            out << "ventolix-check " << VENTOLIX_VERSION << "\n";
            return 0;
        } else if (a == QLatin1String("--max-invalid")) {
            QString v;
            bool ok = false;
            if (value(v))
                options.MaxInvalidLines = v.toInt(&ok);
            if (!ok || options.MaxInvalidLines < 0)
                return usageError(QStringLiteral("--max-invalid erwartet eine Zahl ab 0"));
        } else if (a == QLatin1String("--stats")) {
            options.Stats = true;
        } else if (a == QLatin1String("--find")) {
            if (!value(options.FindText))
                return usageError(QStringLiteral("--find erwartet einen Suchtext"));
            options.HasFind = true;
        } else if (a == QLatin1String("--extract")) {
            if (!value(options.ExtractDir))
                return usageError(QStringLiteral("--extract erwartet ein Verzeichnis"));
        } else {
            return usageError(QStringLiteral("unbekannte Option: %1").arg(a));
        }
    }
    if (files.isEmpty())
        return usageError(QStringLiteral("keine Datei angegeben"));

    int rc = 0;
    for (const QString &f : files) {
        const int r = CheckFileReport(f, options, out, err);
        rc = qMax(rc, r);
    }
    return rc;
}
