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
    "  --               alle weiteren Argumente sind Dateinamen\n"
    "\n"
    "Rückgabewerte:\n"
    "  0   keine Zeile hat einen Fehler\n"
    "  1   mindestens eine Zeile hat einen Fehler\n"
    "  2   eine Datei konnte nicht gelesen werden\n"
    "  64  falscher Aufruf\n";

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);
    out.setEncoding(QStringConverter::Utf8);
    err.setEncoding(QStringConverter::Utf8);

    QStringList files;
    bool onlyFiles = false;
    const QStringList args = app.arguments().mid(1);
    for (const QString &a : args) {
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
        } else {
            err << QStringLiteral("ventolix-check: unbekannte Option: %1\n").arg(a);
            err << QString::fromUtf8(kUsage);
            return 64;
        }
    }
    if (files.isEmpty()) {
        err << QStringLiteral("ventolix-check: keine Datei angegeben\n");
        err << QString::fromUtf8(kUsage);
        return 64;
    }

    int rc = 0;
    for (const QString &f : files) {
        const int r = CheckFileReport(f, out, err);
        rc = qMax(rc, r);
    }
    return rc;
}
