// The settings dialog: the test module's directory, the automatic check on
// opening and the directory for attachments and temporary files.
#pragma once

#include <QDialog>

#include <functional>

class QAction;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

class TVentolixOptionsDlg : public QDialog
{
    Q_OBJECT
public:
    explicit TVentolixOptionsDlg(QWidget *AParent = nullptr);

    QLineEdit *EdXPMDirectory() const { return FEdXPMDirectory; }
    QLineEdit *EdOutputDirectory() const { return FEdOutputDirectory; }
    QCheckBox *CkBoxXPMAutoCheck() const { return FCkBoxXPMAutoCheck; }
    QAction *ActionXPMDirectory() const { return FActionXPMDirectory; }
    QAction *ActionOutputDirectory() const { return FActionOutputDirectory; }

    // The OK step: refuses bad directories, stores the settings; true when
    // the dialog may close.
    bool ControlActionOK();

    // Chooses a folder; the default asks the user (tests replace it).
    using TChooseDir = std::function<QString(QWidget *, const QString &ATitle, const QString &AStartDir)>;
    void SetChooseDir(TChooseDir AFunc) { FChooseDir = std::move(AFunc); }

    void accept() override;

private:
    void BrowseInto(QLineEdit *AEdit, const QString &ATitle);
    void Refuse(QLineEdit *AEdit, const QString &AText);

    QLineEdit *FEdXPMDirectory = nullptr;
    QLineEdit *FEdOutputDirectory = nullptr;
    QCheckBox *FCkBoxXPMAutoCheck = nullptr;
    QAction *FActionXPMDirectory = nullptr;
    QAction *FActionOutputDirectory = nullptr;
    QAction *FControlActionOK = nullptr;
    QAction *FControlActionCancel = nullptr;
    TChooseDir FChooseDir;
};

// Shows the dialog modally; true when it was closed with OK.
bool ShowOptionsDlg(QWidget *AParent);
