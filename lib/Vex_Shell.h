// Desktop shell operations on files: open with the default application,
// show in the file manager, friendly names of a file type. The two that need
// a window of the application (the chooser of applications and the file
// properties) go through TShellDialogs, which the desktop app registers.
#pragma once

#include <QString>
#include <QStringList>

#include <functional>

class TShellDialogs
{
public:
    virtual ~TShellDialogs() = default;
    virtual bool OpenWithDlg(const QString &AFileName) = 0;
    virtual bool PropertiesDlg(const QString &AFileName) = 0;
    // Shows the file in the file manager; false lets the generic way try.
    virtual bool ExploreFile(const QString &AFileName)
    {
        (void)AFileName;
        return false;
    }
};

// The process's dialogs (not owned); null until the desktop app sets them.
void SetShellDialogs(TShellDialogs *ADialogs);
TShellDialogs *ShellDialogs();

// Starts a program detached; replaceable so that tests can record the calls.
using TShellLauncher = std::function<bool(const QString &AProgram, const QStringList &AArgs)>;
void SetShellLauncher(TShellLauncher ALauncher); // empty = the real launcher
// Starts AProgram through the launcher; false when it could not be started.
bool ShellLaunch(const QString &AProgram, const QStringList &AArgs);

bool ShellOpenFile(const QString &AFileName);
bool ShellOpenWithDlg(const QString &AFileName);
bool ShellPropertiesDlg(const QString &AFileName);
bool ShellExploreFile(const QString &AFileName);

// AExtension with its point, e.g. ".pdf". Empty when nothing is known.
QString GetFriendlyDocName(const QString &AExtension);
QString GetFriendlyAppName(const QString &AExtension);
