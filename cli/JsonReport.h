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

// Opens AFileName like the viewer and returns its object. ARc becomes 0, 1
// or 2 (2 also when the file could not be read; the object then carries
// "readError" with the reason).
QJsonObject FileJson(const QString &AFileName, const TJsonOptions &AOptions, int &ARc);

// Writes one object (one file) or an array (several files) as indented
// UTF-8 JSON to AOut; returns the highest exit code of the files.
int WriteJsonReport(const QStringList &AFiles, const TJsonOptions &AOptions, QTextStream &AOut);
