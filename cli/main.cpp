// ventolix-check: checks LDT files from the command line with the viewer's engine.
#include "CheckReport.h"
#include "InfoCommand.h"
#include "JsonReport.h"
#include "ListCommands.h"
#include "TreeCommand.h"
#include "LDT3.Document.h"
#include "LDT3.XPMCheck.h"
#include "XpmCommand.h"

#include <QCoreApplication>
#include <QStringList>
#include <QTextStream>

#include <cstdio>
#include <utility>

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
    "  --xpm DIR        das KBV-Prüfmodul (XPM) aus DIR auf jede Datei anwenden\n"
    "                   (XML-Lauf) und seine Meldungen ausgeben; Strg+C bricht ab\n"
    "  --xpm-pdf DIR AUSGABE  die beiden PDF-Protokolle des Prüfmoduls nach AUSGABE schreiben\n"
    "  --tree           den LDT-Baum, den Anlagen-Baum und den Fehler-Baum ausgeben\n"
    "  --json           das Ergebnis als JSON ausgeben (ein Objekt je Datei, bei\n"
    "                   mehreren Dateien ein Array; mit --xpm auch das Prüfmodul;\n"
    "                   außer --max-invalid und --xpm keine weiteren Optionen)\n"
    "  --report info|stats|content  den XHTML-Bericht des Viewers ausgeben\n"
    "  --line N         Zeile N so ausgeben, wie die Liste sie zeigt\n"
    "  --info ABFRAGE   die Feld- und Regel-Auskunft als XHTML-Seite ausgeben\n"
    "                   (z. B. 8000, FK 8000, E003, F7, K1, R8000); keine Datei nötig\n"
    "  --ldt-version V  mit --info: die Tabellen der LDT-Version V (LDT3.1.3 oder\n"
    "                   LDT3.2.20; Voreinstellung LDT3.1.3)\n"
    "  --               alle weiteren Argumente sind Dateinamen\n"
    "\n"
    "Rückgabewerte:\n"
    "  0   keine Befunde: keine fehlerhafte Zeile, Struktur und Prüfsumme korrekt\n"
    "  1   mindestens eine Datei hat Befunde\n"
    "  2   eine Datei konnte nicht gelesen werden oder wurde abgewiesen,\n"
    "      oder eine Anlage konnte nicht gespeichert werden\n"
    "  3   das Prüfmodul konnte eine Datei nicht prüfen oder hat seine PDF-Protokolle\n"
    "      nicht geschrieben (--xpm, --xpm-pdf; mit --json steht das im JSON)\n"
    "  64  falscher Aufruf\n";


#if defined(__SANITIZE_ADDRESS__)
constexpr bool kLeakChecked = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kLeakChecked = true;
#else
constexpr bool kLeakChecked = false;
#endif
#else
constexpr bool kLeakChecked = false;
#endif

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    InstallXPMRunner();
    // the process ends after the last file: the OS takes its trees back at once
    // (not under the leak checker, which cannot see into the mapped node pools)
    TLDT3Document::SetLeaveModelsAtExit(!kLeakChecked);
    QTextStream out(stdout);
    QTextStream err(stderr);
    out.setEncoding(QStringConverter::Utf8);
    err.setEncoding(QStringConverter::Utf8);

    QStringList files;
    TCheckOptions options;
    QString infoQuery;
    bool tree = false;
    bool json = false;
    bool hasReport = false;
    TListReport report = TListReport::Info;
    int lineNo = 0;
    QString xpmDir, xpmPdfDir, xpmPdfOut;
    bool hasInfo = false;
    bool hasTableSet = false;
    TLDT3TableSet tableSet;
    bool onlyFiles = false;
    const QStringList args = app.arguments().mid(1);
    // One line for the mistake and a pointer to the help, not the whole help.
    auto usageError = [&](const QString &AMsg) {
        err << "ventolix-check: " << AMsg << "\n"
            << "Alle Optionen: ventolix-check --help\n";
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
        } else if (a == QLatin1String("--xpm")) {
            if (!value(xpmDir))
                return usageError(QStringLiteral("--xpm erwartet das Verzeichnis des Prüfmoduls"));
        } else if (a == QLatin1String("--xpm-pdf")) {
            if (!value(xpmPdfDir) || !value(xpmPdfOut))
                return usageError(QStringLiteral("--xpm-pdf erwartet das Verzeichnis des Prüfmoduls und ein Ausgabeverzeichnis"));
        } else if (a == QLatin1String("--json")) {
            json = true;
        } else if (a == QLatin1String("--report")) {
            QString v;
            if (!value(v) || !ParseListReport(v, report))
                return usageError(QStringLiteral("--report erwartet info, stats oder content"));
            hasReport = true;
        } else if (a == QLatin1String("--line")) {
            QString v;
            bool ok = false;
            if (value(v))
                lineNo = v.toInt(&ok);
            if (!ok || lineNo < 1)
                return usageError(QStringLiteral("--line erwartet eine Zeilennummer ab 1"));
        } else if (a == QLatin1String("--tree")) {
            tree = true;
        } else if (a == QLatin1String("--info")) {
            if (!value(infoQuery))
                return usageError(QStringLiteral("--info erwartet eine Abfrage"));
            hasInfo = true;
        } else if (a == QLatin1String("--ldt-version")) {
            QString v;
            if (!value(v) || !TLDT3TableSet::FromName(v, tableSet))
                return usageError(QStringLiteral("--ldt-version erwartet eine dieser Versionen: %1")
                                      .arg(TLDT3TableSet::Versions().join(QStringLiteral(", "))));
            hasTableSet = true;
        } else if (a == QLatin1String("--extract")) {
            if (!value(options.ExtractDir))
                return usageError(QStringLiteral("--extract erwartet ein Verzeichnis"));
        } else {
            return usageError(QStringLiteral("unbekannte Option: %1").arg(a));
        }
    }
    if (json) {
        // The JSON report knows only --max-invalid and --xpm; say so rather than drop the others.
        const std::pair<bool, const char *> others[] = {
            {tree, "--tree"},
            {options.Stats, "--stats"},
            {options.HasFind, "--find"},
            {!options.ExtractDir.isEmpty(), "--extract"},
            {hasReport, "--report"},
            {lineNo > 0, "--line"},
            {!xpmPdfDir.isEmpty(), "--xpm-pdf"},
            {hasInfo, "--info"},
        };
        for (const auto &[given, name] : others)
            if (given)
                return usageError(QStringLiteral("--json lässt sich nicht mit %1 verbinden (nur mit "
                                                 "--max-invalid und --xpm)")
                                      .arg(QLatin1String(name)));
    }
    if (hasInfo) {
        if (!files.isEmpty())
            return usageError(QStringLiteral("--info erwartet keine Datei"));
        const int rc = RunInfoCommand(infoQuery, out, tableSet);
        out.flush();
        return rc;
    }
    if (hasTableSet)
        return usageError(QStringLiteral("--ldt-version gilt nur mit --info; eine Datei wählt ihre Tabellen selbst"));
    if (files.isEmpty())
        return usageError(QStringLiteral("keine Datei angegeben"));

    if (!xpmDir.isEmpty() || !xpmPdfDir.isEmpty())
        XpmConsoleSetup();
    if (json) {
        TJsonOptions jo;
        jo.MaxInvalidLines = options.MaxInvalidLines;
        jo.WithXPM = !xpmDir.isEmpty();
        jo.XPMDir = xpmDir;
        const int rc = WriteJsonReport(files, jo, out);
        out.flush();
        return rc;
    }
    int rc = 0;
    for (const QString &f : files) {
        int r = 0;
        if (!xpmDir.isEmpty())
            r = XpmCheckFileReport(f, xpmDir, out, err);
        else if (!xpmPdfDir.isEmpty())
            r = XpmPdfFileReport(f, xpmPdfDir, xpmPdfOut, out, err);
        else if (hasReport)
            r = PrintListReport(f, report, options.MaxInvalidLines, out, err);
        else if (lineNo > 0)
            r = PrintListLine(f, lineNo, options.MaxInvalidLines, out, err);
        else if (tree) {
            TLDT3Document doc;
            r = OpenForCheck(doc, f, options.MaxInvalidLines, false, err);
            if (r == 0)
                r = PrintTrees(doc, out);
        }
        else
            r = CheckFileReport(f, options, out, err);
        rc = qMax(rc, r);
    }
    return rc;
}
