#include "ListCommands.h"

#include "CheckReport.h"
#include "LDT3.Document.h"

#include <QTextStream>

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
    TLDT3Document doc;
    const int rc = OpenForCheck(doc, AFileName, AMaxInvalidLines, true, AErr);
    if (rc != 0)
        return rc;
    const TLDT3LineList &list = doc.LineList();
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
    TLDT3Document doc;
    const int rc = OpenForCheck(doc, AFileName, AMaxInvalidLines, true, AErr);
    if (rc != 0)
        return rc;
    TLDT3LineList &list = doc.LineList();
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
