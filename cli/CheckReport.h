// The checker's plain-text report of one file.
#pragma once

#include <QString>
#include <QTextStream>

// Loads AFileName, prints the report; returns 0 (no findings), 1 (findings)
// or 2 (the file could not be read).
int CheckFileReport(const QString &AFileName, QTextStream &AOut, QTextStream &AErr);
