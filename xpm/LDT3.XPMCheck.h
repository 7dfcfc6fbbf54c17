// The test module's result on a loaded file: the run that marks the lines
// (XPM bit of the line error code), the line's "XPM [...]" message item and
// the one-line status. The file keeps the result (its FXPMErrList); these
// functions take the file and that result variable.
#pragma once

#include "LDT3.FilePtrList.h"
#include "LDT3.XML_XPM_List.h"

#include <QString>
#include <QTextStream>

#include <memory>

// The module's XML run on AFileName with the configured directory; null when
// the directory is not set or does not exist, or the run failed.
std::unique_ptr<TXPMErrList> RunXPMModule(const QString &AFileName);
// Makes the module the core's runner (LDT3.XPMHook): the automatic check at
// load and TLDT3FilePtrList::XPMCheck use it. Programs call it once at start.
void InstallXPMRunner();

// Frees any earlier result, runs the module (XML run) with the configured
// directory and marks every line the result names as erroneous. False when
// the directory is not set or does not exist, or the run failed; the result
// variable is then empty.
bool RunXPMCheck(TLDT3FilePtrList &AList, std::unique_ptr<TXPMErrList> &AXPMErrList);
// Runs the module at most once per loaded file; after a successful run the
// list of erroneous lines is built again. False when a result exists already.
bool XPMCheck(TLDT3FilePtrList &AList, std::unique_ptr<TXPMErrList> &AXPMErrList);
// Load step between the attachment scan and the list of erroneous lines:
// runs RunXPMCheck when the automatic check is switched on.
void XPMAutoCheckOnLoad(TLDT3FilePtrList &AList, std::unique_ptr<TXPMErrList> &AXPMErrList);

// Plain-text report of a result for the checker: the status line, then one
// line per message ("Zeile 12: W K089 [Gruppe] Text", messages without line first).
void WriteXPMReport(const TXPMErrList *AXPMErrList, QTextStream &AOut);
