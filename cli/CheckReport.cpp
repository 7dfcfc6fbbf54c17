#include "CheckReport.h"

#include "LDT3.Anlagen.h"
#include "LDT3.Document.h"
#include "LDT3.FilePtrList.h"

#include <QDir>
#include <QFileInfo>

static QString JaNein(bool b) { return b ? QStringLiteral("ja") : QStringLiteral("nein"); }
static QString OrKeine(const QString &s) { return s.isEmpty() ? QStringLiteral("(keine)") : s; }

int OpenForCheck(TLDT3Document &ADoc, const QString &AFileName, int AMaxInvalidLines, bool ARejectedIsError,
                 QTextStream &AErr)
{
    ADoc.SetMaxInvalidLines(AMaxInvalidLines);
    switch (ADoc.Open(AFileName)) {
    case TLDT3OpenStatus::osOpened:
        return 0;
    case TLDT3OpenStatus::osRejected:
        if (!ARejectedIsError)
            return 0;
        break;
    default:
        break;
    }
    AErr << "ventolix-check: " << ADoc.StatusMessage() << "\n";
    AErr.flush();
    return 2;
}

void PrintFeldStatistik(const TLDT3FilePtrList &AList, QTextStream &AOut)
{
    AOut << QStringLiteral("Feldstatistik:\n");
    for (const TLDT3FeldStatistikRec &r : AList.GetFeldStatistikList())
        AOut << QStringLiteral("  %1\t%2\t%3\n").arg(r.FK == -1 ? QStringLiteral("-") : r.FKStr).arg(r.Anzahl).arg(r.Name);
}

void PrintFound(TLDT3FilePtrList &AList, const QString &AText, QTextStream &AOut)
{
    AList.FindAll(AText);
    AOut << QStringLiteral("Suche nach \"%1\": %2 Zeilen\n").arg(AText).arg(AList.FoundList().Count());
    for (int idx : AList.FoundList().ToArray())
        AOut << QStringLiteral("  Zeile %1\n").arg(idx + 1);
}

bool ExtractAnlagen(TLDT3FilePtrList &AList, const QString &ADir, QTextStream &AOut, QTextStream &AErr)
{
    const TLDT3Base64AnlagenList &anlagen = AList.Base64AnalgenList();
    if (!QFileInfo(ADir).isDir()) {
        AErr << QStringLiteral("ventolix-check: Das Verzeichnis \"%1\" existiert nicht.\n").arg(ADir);
        return false;
    }
    bool ok = true;
    for (int i = 0; i < anlagen.Count(); ++i) {
        TLDT3Base64Anlage *a = anlagen.Items(i);
        // the default name is a plain file name; never let it leave ADir
        const QString name = AnlageSafeFileName(a->DefaultFileNameNoPath(), a->Number());
        const QString target = QDir(ADir).filePath(name);
        try {
            if (a->SaveToFile(target)) {
                AOut << QStringLiteral("Anlage %1 gespeichert: %2\n").arg(a->Number()).arg(target);
            } else {
                AErr << QStringLiteral("ventolix-check: Anlage %1 ist leer und wurde nicht gespeichert.\n")
                            .arg(a->Number());
                ok = false;
            }
        } catch (const ELDT3Error &e) {
            AErr << "ventolix-check: " << e.Message() << "\n";
            ok = false;
        }
    }
    return ok;
}

int CheckFileReport(const QString &AFileName, const TCheckOptions &AOptions, QTextStream &AOut, QTextStream &AErr)
{
    TLDT3Document doc;
    doc.SetBuildTrees(false); // the report reads the lines only
    const int rc = OpenForCheck(doc, AFileName, AOptions.MaxInvalidLines, false, AErr);
    if (rc != 0)
        return rc;
    TLDT3FilePtrList &list = *doc.PtrList();
    const bool rejected = AOptions.MaxInvalidLines > 0 && list.InvalidLines() > AOptions.MaxInvalidLines;

    AOut << "Datei: " << AFileName << "\n";
    AOut << QStringLiteral("Dateigröße: %1 Bytes\n").arg(list.FileSize());
    AOut << QStringLiteral("Zeilen: %1\n").arg(list.Count());
    AOut << QStringLiteral("Ungültige Zeilen: %1\n").arg(list.InvalidLines());
    if (rejected)
        AOut << QStringLiteral("Diese Datei ist keine LDT-Datei (mehr als %1 ungültige Zeilen).\n")
                    .arg(AOptions.MaxInvalidLines);
    AOut << QStringLiteral("Leerzeilen am Dateiende: %1\n").arg(list.EmptyLinesAtEnd());
    AOut << QStringLiteral("Dateiname nach LDT-Regel: %1\n").arg(JaNein(TLDT3::CheckFileName(AFileName)));
    AOut << QStringLiteral("Version: %1 (LDT 3.1.2 oder höher: %2)\n")
                .arg(OrKeine(list.XDTVersion()), JaNein(list.IsLDT_3_1_2_OrHigher()));
    if (!list.TableSet().IsDefault())
        AOut << QStringLiteral("Geprüft nach: %1\n").arg(list.TableSet().Version());
    AOut << QStringLiteral("Prüfsumme in der Datei: %1\n").arg(OrKeine(list.CheckSumOrg()));
    AOut << QStringLiteral("Prüfsumme berechnet: %1\n").arg(OrKeine(list.CheckSumCalculated()));
    AOut << QStringLiteral("Prüfsumme korrekt: %1\n").arg(JaNein(list.CheckSumOkay()));
    AOut << QStringLiteral("Struktur korrekt: %1\n").arg(JaNein(list.StructureOkay()));
    AOut << QStringLiteral("Ebenen und Pfade korrekt: %1\n").arg(JaNein(list.PathAndLevelOkay()));

    static const int bits[] = {LE_EmptyLine, LE_InvalidLine, LE_InvalidChars, LE_CrLf,
                               LE_WrongLength, LE_ManyChecksums, LE_ManyVersions, LE_EmptyLineAtEnd};
    AOut << QStringLiteral("Zeilenfehler nach Art:\n");
    for (int b : bits)
        AOut << QStringLiteral("  %1: %2\n").arg(LineErrorBitMsg(b)).arg(list.ErrorCounter().GetCount(b));

    const TLDT3Base64AnlagenList &anlagen = list.Base64AnalgenList();
    AOut << QStringLiteral("Anlagen: %1\n").arg(anlagen.Count());
    for (int i = 0; i < anlagen.Count(); ++i) {
        const TLDT3Base64Anlage *a = anlagen.Items(i);
        AOut << QStringLiteral("  %1 (Zeilen %2 bis %3)\n").arg(a->AnhangCaption()).arg(a->AnhangStartZeile()).arg(a->AnhangEndeZeile());
    }

    const TLDT3LineErrorList &errors = list.LineErrorList();
    AOut << QStringLiteral("Fehlerhafte Zeilen: %1\n").arg(errors.Count());
    for (int i = 0; i < errors.Count(); ++i)
        AOut << QStringLiteral("Zeile %1: %2\n").arg(errors.Items(i).Zeile()).arg(errors.Items(i).ErrorMsg());

    if (AOptions.Stats)
        PrintFeldStatistik(list, AOut);
    if (AOptions.HasFind)
        PrintFound(list, AOptions.FindText, AOut);
    bool extracted = true;
    if (!AOptions.ExtractDir.isNull())
        extracted = ExtractAnlagen(list, AOptions.ExtractDir, AOut, AErr);
    AOut.flush();
    AErr.flush();
    if (rejected || !extracted)
        return 2;
    const bool findings = list.FileErrors() != 0 || errors.Count() > 0 || !list.StructureOkay()
                          || !list.CheckSumOkay();
    return findings ? 1 : 0;
}
