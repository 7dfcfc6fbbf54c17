// ventolix-check --info QUERY: prints the field or rule information page.
#pragma once

#include "LDT3.TableSet.h"

#include <QString>

class QTextStream;

// Writes the XHTML page for AQuery ("8000", "FK 8000", "e3", "R8000", ...) of
// the table set ASet to AOut, as the lookup tab shows it. Returns the process exit code: 0 when the
// query named a field or rule of the tables, 1 when the answer is the search
// page (nothing found or no query), 2 when the built-in tables are faulty.
int RunInfoCommand(const QString &AQuery, QTextStream &AOut, const TLDT3TableSet &ASet = TLDT3TableSet());
