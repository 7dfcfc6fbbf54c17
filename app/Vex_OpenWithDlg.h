// "Öffnen mit": the applications the desktop has registered for a file's
// MIME type (and the types it inherits from), or a command line of the
// user's own; the choice starts with the file.
#pragma once

#include "Vex_DesktopEntry.h"

#include <QDialog>
#include <QList>

class QDialogButtonBox;
class QLabel;
class QLineEdit;
class QListWidget;

class TOpenWithDlg : public QDialog
{
    Q_OBJECT
public:
    explicit TOpenWithDlg(const QString &AFileName, QWidget *AParent = nullptr);

    const QString &FileName() const { return FFileName; }
    const QString &MimeType() const { return FMimeType; }
    const QList<TDesktopApp> &Apps() const { return FApps; }
    QListWidget *LBApps() const { return FLBApps; }
    QLineEdit *EdCommand() const { return FEdCommand; }
    QDialogButtonBox *Buttons() const { return FButtons; }

    // Program and arguments of the current choice (the command line when
    // one is typed, else the selected application); empty when none.
    QStringList ChosenCommand() const;
    // Starts the choice with the file; false when nothing could be started.
    bool Launch() const;

private:
    void UpdateOK();

    QString FFileName;
    QString FMimeType;
    QList<TDesktopApp> FApps;
    QLabel *FLabel = nullptr;
    QListWidget *FLBApps = nullptr;
    QLineEdit *FEdCommand = nullptr;
    QDialogButtonBox *FButtons = nullptr;
};
