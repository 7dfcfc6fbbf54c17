// ventolix-check --json: the machine-readable result of the checker.
#pragma once

#include <QJsonObject>
#include <QString>
#include <QStringList>

class QTextStream;
class TLDT3LineList;

struct TJsonOptions
{
    int MaxInvalidLines = 30; // 0 = no cut-off
    bool WithXPM = false;     // run the test module and add "xpm"
    QString XPMDir;           // its directory (with WithXPM)
};

// The object of a loaded list model (after its open sequence).
QJsonObject LineListJson(const TLDT3LineList &AList, const QString &AFileName, bool AWithXPM);
// Exit code for a loaded file: 0 no findings, 1 findings, 2 rejected.
int LineListExitCode(const TLDT3LineList &AList);

// Opens each file like the viewer and writes one object (one file) or an
// array (any other number) as indented UTF-8 JSON to AOut, each file's object
// as soon as it is checked, its errors as they are read from the lines; an
// unreadable file's object carries "readError" with the reason. Returns the
// highest exit code of the files (2 also for an unreadable one).
int WriteJsonReport(const QStringList &AFiles, const TJsonOptions &AOptions, QTextStream &AOut);
