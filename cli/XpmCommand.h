// The checker's XPM options: --xpm DIR (run the KBV test module on each file,
// mark the lines, report) and --xpm-pdf DIR OUTDIR (write its two PDF protocols).
#pragma once

#include <QString>
#include <QTextStream>

// Console presenter (progress on stderr) and stderr message sink; call once
// before the first run.
void XpmConsoleSetup();

// Loads AFileName, runs the module with XML output from AXPMDir (Ctrl+C
// cancels), marks the lines and prints the XPM status, the module's messages
// and every marked line with its message.
// Returns 0: no line marked, 1: lines marked, 2: file unreadable,
// 3: the module could not run or the run was cancelled.
int XpmCheckFileReport(const QString &AFileName, const QString &AXPMDir, QTextStream &AOut, QTextStream &AErr);

// Runs the module with PDF output; writes <OUTDIR>/<name>_XPM_Prot.pdf and
// <name>_XPM_Stat.pdf (<name> = file name without extension) and prints their
// paths. Returns 0 when both exist afterwards, 3 otherwise.
int XpmPdfFileReport(const QString &AFileName, const QString &AXPMDir, const QString &AOutDir, QTextStream &AOut,
                     QTextStream &AErr);
