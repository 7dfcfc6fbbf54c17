#include "ListCommands.h"

#include "LDT3.LVBase.h"

#include <QTextStream>

namespace {

// Opens the file into AList; 0 when it can be shown, else 2 with the reason on AErr.
int OpenForList(TLDT3LineList &AList, const QString &AFileName, int AMaxInvalidLines, QTextStream &AErr)
{
    AList.SetMaxInvalidLines(AMaxInvalidLines);
    QString reason;
    try {
        AList.GetLDT3FilePtrList(AFileName);
        if (!AList.FileIsOpen())
            reason = QStringLiteral("Die Datei \"%1\" ist leer und kann nicht gelesen werden.").arg(AFileName);
        else if (AMaxInvalidLines > 0 && AList.InvalidLines() > AMaxInvalidLines)
            reason = QStringLiteral("Diese Datei ist keine LDT-Datei: %1").arg(AFileName);
    } catch (const ELDT3Error &e) {
        reason = e.Message();
    }
    if (reason.isEmpty())
        return 0;
    AErr << "ventolix-check: " << reason << "\n";
    AErr.flush();
    return 2;
}

} // namespace

bool ParseListReport(const QString &AText, TListReport &AReport)
{
    if (AText == QLatin1String("info"))
        AReport = TListReport::Info;
    else if (AText == QLatin1String("stats"))
        AReport = TListReport::Stats;
    else if (AText == QLatin1String("content"))
        AReport = TListReport::Content;
    else
        return false;
    return true;
}

int PrintListReport(const QString &AFileName, TListReport AReport, int AMaxInvalidLines, QTextStream &AOut,
                    QTextStream &AErr)
{
    TLDT3LineList list;
    const int rc = OpenForList(list, AFileName, AMaxInvalidLines, AErr);
    if (rc != 0)
        return rc;
    switch (AReport) {
    case TListReport::Info: AOut << list.GetFileInfoXHTML(); break;
    case TListReport::Stats: AOut << list.GetFeldStatistikXHTML(); break;
    case TListReport::Content: AOut << list.GetFileContentXHTML(); break;
    }
    AOut.flush();
    return 0;
}

int PrintListLine(const QString &AFileName, int ALineNo, int AMaxInvalidLines, QTextStream &AOut, QTextStream &AErr)
{
    TLDT3LineList list;
    const int rc = OpenForList(list, AFileName, AMaxInvalidLines, AErr);
    if (rc != 0)
        return rc;
    list.BuildLineList(false);
    const TLDT3Line *line = list.GetLDT3LineFromZeile(ALineNo);
    if (!line) {
        AErr << QStringLiteral("ventolix-check: Die Datei hat keine Zeile %1 (Zeilen: %2).\n")
                    .arg(ALineNo)
                    .arg(list.PtrList()->Count());
        AErr.flush();
        return 1;
    }
    for (int c = 0; c < LDT3ColumnCount; ++c)
        AOut << LDT3ColumnCaption(c) << ": " << line->GetColumn(c) << "\n";
    AOut << "Tooltip:\n";
    for (const QString &l : line->InfoTip().split(QLatin1Char('\n')))
        AOut << "  " << l << "\n";
    AOut << "Detail: " << line->DetailCaption() << "\n";
    AOut.flush();
    return 0;
}
