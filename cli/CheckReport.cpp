#include "CheckReport.h"

#include "LDT3.FilePtrList.h"

static QString JaNein(bool b) { return b ? QStringLiteral("ja") : QStringLiteral("nein"); }

int CheckFileReport(const QString &AFileName, QTextStream &AOut, QTextStream &AErr)
{
    TLDT3FilePtrList list;
    try {
        list.LoadFromFile(AFileName);
    } catch (const ELDT3Error &e) {
        AErr << "ventolix-check: " << e.Message() << "\n";
        return 2;
    }
    if (!list.FileIsOpen()) {
        AErr << QStringLiteral("ventolix-check: Die Datei \"%1\" ist leer und kann nicht gelesen werden.\n").arg(AFileName);
        return 2;
    }

    AOut << "Datei: " << AFileName << "\n";
    AOut << QStringLiteral("Dateigröße: %1 Bytes\n").arg(list.FileSize());
    AOut << QStringLiteral("Zeilen: %1\n").arg(list.Count());
    AOut << QStringLiteral("Ungültige Zeilen: %1\n").arg(list.InvalidLines());
    AOut << QStringLiteral("Leerzeilen am Dateiende: %1\n").arg(list.EmptyLinesAtEnd());
    AOut << QStringLiteral("Version: %1 (LDT 3.1.2 oder höher: %2)\n")
                .arg(list.XDTVersion().isEmpty() ? QStringLiteral("(keine)") : list.XDTVersion(),
                     JaNein(list.IsLDT_3_1_2_OrHigher()));
    AOut << QStringLiteral("Prüfsumme in der Datei: %1\n")
                .arg(list.CheckSumOrg().isEmpty() ? QStringLiteral("(keine)") : list.CheckSumOrg());
    AOut << QStringLiteral("Prüfsumme berechnet: %1\n")
                .arg(list.CheckSumCalculated().isEmpty() ? QStringLiteral("(keine)") : list.CheckSumCalculated());
    AOut << QStringLiteral("Prüfsumme korrekt: %1\n").arg(JaNein(list.CheckSumOkay()));
    AOut << QStringLiteral("Struktur korrekt: %1\n").arg(JaNein(list.StructureOkay()));
    AOut << QStringLiteral("Ebenen und Pfade korrekt: %1\n").arg(JaNein(list.PathAndLevelOkay()));

    static const int bits[] = {LE_EmptyLine, LE_InvalidLine, LE_InvalidChars, LE_CrLf,
                               LE_WrongLength, LE_ManyChecksums, LE_ManyVersions, LE_EmptyLineAtEnd};
    AOut << QStringLiteral("Zeilenfehler nach Art:\n");
    for (int b : bits)
        AOut << QStringLiteral("  %1: %2\n").arg(LineErrorBitMsg(b)).arg(list.ErrorCounter().GetCount(b));

    const TLDT3LineErrorList &errors = list.LineErrorList();
    AOut << QStringLiteral("Fehlerhafte Zeilen: %1\n").arg(errors.Count());
    for (int i = 0; i < errors.Count(); ++i)
        AOut << QStringLiteral("Zeile %1: %2\n").arg(errors.Items(i).Zeile()).arg(errors.Items(i).ErrorMsg());
    AOut.flush();
    return list.FileErrors() != 0 || errors.Count() > 0 ? 1 : 0;
}
