// The desktop's side of the shell operations: our "open with" chooser, our
// properties dialog and the file manager's ShowItems call over D-Bus (with
// the folder opened when no file manager answers). The program registers
// one for its lifetime (SetShellDialogs).
#pragma once

#include "Vex_Shell.h"

class QDBusConnection;
class QWidget;

class TDesktopShellDialogs : public TShellDialogs
{
public:
    bool OpenWithDlg(const QString &AFileName) override;
    bool PropertiesDlg(const QString &AFileName) override;
    bool ExploreFile(const QString &AFileName) override;

    // The file manager's ShowItems call on ABus alone; false when none answered.
    static bool ShowItemsOverDBus(const QDBusConnection &ABus, const QString &AFileName, int ATimeoutMs = 3000);
};

// Registers a TDesktopShellDialogs for the lifetime of the object.
class TScopedDesktopShell
{
public:
    TScopedDesktopShell() { SetShellDialogs(&FDialogs); }
    ~TScopedDesktopShell() { SetShellDialogs(nullptr); }
    TScopedDesktopShell(const TScopedDesktopShell &) = delete;
    TScopedDesktopShell &operator=(const TScopedDesktopShell &) = delete;

private:
    TDesktopShellDialogs FDialogs;
};
