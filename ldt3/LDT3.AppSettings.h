// The application's three process-wide settings, held in memory for the run.
// The desktop fills them from its settings store, the checker from options.
#pragma once

#include <QString>

struct TLDT3AppSettings
{
    // Directory of the KBV test module; empty when not configured.
    static QString XPMDir();
    static void SetXPMDir(const QString &ADir);
    // Check files with the test module while opening them.
    static bool XPMAutoCheck();
    static void SetXPMAutoCheck(bool AValue);
    // Output directory: it becomes the program's temporary directory.
    static QString OutputDir();
    static void SetOutputDir(const QString &ADir);
};
