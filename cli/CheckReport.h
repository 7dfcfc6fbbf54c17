// The checker's plain-text report of one file.
#pragma once

#include <QString>
#include <QTextStream>

class TLDT3Document;
class TLDT3FilePtrList;

struct TCheckOptions
{
    int MaxInvalidLines = 30; // 0 = no cut-off
    QString ExtractDir;       // save every attachment into this directory
    bool Stats = false;       // print the field statistics
    QString FindText;         // print the numbers of the lines holding this text
    bool HasFind = false;
};

// The checker's one way to open a file: opens AFileName into ADoc with the
// cut-off AMaxInvalidLines (0 = none). Returns 0 when it can be used, 2 when
// it could not be read (or, with ARejectedIsError, was rejected); the reason
// then goes to AErr as "ventolix-check: <reason>".
int OpenForCheck(TLDT3Document &ADoc, const QString &AFileName, int AMaxInvalidLines, bool ARejectedIsError,
                 QTextStream &AErr);
// Loads AFileName, prints the report; returns 0 (no findings), 1 (findings)
// or 2 (the file could not be read or was rejected).
int CheckFileReport(const QString &AFileName, const TCheckOptions &AOptions, QTextStream &AOut, QTextStream &AErr);

void PrintFeldStatistik(const TLDT3FilePtrList &AList, QTextStream &AOut);
void PrintFound(TLDT3FilePtrList &AList, const QString &AText, QTextStream &AOut);
// Saves every attachment into ADir; returns false when one could not be saved.
bool ExtractAnlagen(TLDT3FilePtrList &AList, const QString &ADir, QTextStream &AOut, QTextStream &AErr);
