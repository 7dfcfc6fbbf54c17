// ventolix-check --report info|stats|content and --line N: the viewer's file
// reports and list rows on the console.
#pragma once

#include <QString>

class QTextStream;

enum class TListReport { Info, Stats, Content };

// "info", "stats" or "content"; false for any other text.
bool ParseListReport(const QString &AText, TListReport &AReport);

// Opens AFileName like the viewer (cut-off AMaxInvalidLines, 0 = none) and
// writes the XHTML report to AOut. Returns 0 when the file was opened, 2 when
// it could not be read or was rejected (the reason goes to AErr).
int PrintListReport(const QString &AFileName, TListReport AReport, int AMaxInvalidLines, QTextStream &AOut,
                    QTextStream &AErr);

// Opens AFileName and writes the row of line ALineNo as the list shows it:
// every column with its caption, the tooltip and the detail caption. Returns
// 0 when the row was printed, 1 when the file has no line ALineNo, 2 when the
// file could not be read or was rejected.
int PrintListLine(const QString &AFileName, int ALineNo, int AMaxInvalidLines, QTextStream &AOut, QTextStream &AErr);
