#include "VentolixOptions.h"

#include "LDT3.AppSettings.h"
#include "LDT3.Data.h"
#include "Vex_MessageSink.h"
#include "Vex_VerInfo.h"
#include "WStrTools.h"

#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

bool IsExistingDir(const QString &AText)
{
    return !AText.isEmpty() && QFileInfo(AText).isDir();
}

QToolButton *BrowseButton(QAction *AAction, QWidget *AParent)
{
    auto *b = new QToolButton(AParent);
    b->setDefaultAction(AAction);
    b->setToolButtonStyle(Qt::ToolButtonTextOnly);
    b->setText(QStringLiteral("..."));
    return b;
}

} // namespace

TVentolixOptionsDlg::TVentolixOptionsDlg(QWidget *AParent) : QDialog(AParent)
{
    setObjectName(QStringLiteral("VentolixOptionsDlg"));
    setWindowTitle(QStringLiteral("Ventolix-Einstellungen"));
    setWindowFlags((windowFlags() | Qt::MSWindowsFixedSizeDialogHint) & ~Qt::WindowContextHelpButtonHint);
    FChooseDir = [](QWidget *AParent, const QString &ATitle, const QString &AStartDir) {
        return QFileDialog::getExistingDirectory(AParent, ATitle, AStartDir, QFileDialog::ShowDirsOnly);
    };

    FActionXPMDirectory = new QAction(QStringLiteral("KBV-XPM-Verzeichnis ändern"), this);
    FActionXPMDirectory->setToolTip(FActionXPMDirectory->text());
    connect(FActionXPMDirectory, &QAction::triggered, this, [this]() {
        BrowseInto(FEdXPMDirectory, QStringLiteral("Verzeichnis des KBV-Prüfmoduls auswählen"));
    });
    FActionOutputDirectory = new QAction(QStringLiteral("Ausgabe-Verzeichnis ändern"), this);
    FActionOutputDirectory->setToolTip(FActionOutputDirectory->text());
    connect(FActionOutputDirectory, &QAction::triggered, this, [this]() {
        BrowseInto(FEdOutputDirectory, QStringLiteral("Verzeichnis für Anlagen und temporäre Dateien auswählen"));
    });
    FControlActionOK = new QAction(QStringLiteral("O&K"), this);
    connect(FControlActionOK, &QAction::triggered, this, &TVentolixOptionsDlg::accept);
    FControlActionCancel = new QAction(QStringLiteral("A&bbrechen"), this);
    connect(FControlActionCancel, &QAction::triggered, this, &TVentolixOptionsDlg::reject);

    auto *left = new QWidget(this);
    auto *grid = new QGridLayout(left);
    auto *label1 = new QLabel(QStringLiteral("Verzeichnis des LDT 3.0-Prüfmoduls (\"XPM-LDK.praxis\")"), left);
    label1->setObjectName(QStringLiteral("Label1"));
    FEdXPMDirectory = new QLineEdit(TLDT3AppSettings::XPMDir(), left);
    FEdXPMDirectory->setObjectName(QStringLiteral("EdXPMDirectory"));
    label1->setBuddy(FEdXPMDirectory);
    FCkBoxXPMAutoCheck =
        new QCheckBox(QStringLiteral("Dateien beim Öffnen automatisch mit dem LDT 3.0 Prüfmodul prüfen"), left);
    FCkBoxXPMAutoCheck->setObjectName(QStringLiteral("CkBoxXPMAutoCheck"));
    FCkBoxXPMAutoCheck->setChecked(TLDT3AppSettings::XPMAutoCheck());
    auto *label2 = new QLabel(QStringLiteral("Verzeichnis für Anlagen und temporäre Dateien"), left);
    label2->setObjectName(QStringLiteral("Label2"));
    FEdOutputDirectory = new QLineEdit(TLDT3AppSettings::OutputDir(), left);
    FEdOutputDirectory->setObjectName(QStringLiteral("EdOutputDirectory"));
    label2->setBuddy(FEdOutputDirectory);
    auto *label3 = new QLabel(
        // clang-format off
        QStringLiteral("Hinweis: Dateien in diesem Verzeichnis werden ohne Nachfrage überschrieben bzw. nach Programmende automatich gelöscht. Wenn Sie die Anlagen benötigen, speichern Sie diese bitte explizit in einem anderen Verzeichnis."),
        // clang-format on
        left);
    label3->setObjectName(QStringLiteral("Label3"));
    label3->setWordWrap(true);
    grid->addWidget(label1, 0, 0, 1, 2);
    grid->addWidget(FEdXPMDirectory, 1, 0);
    grid->addWidget(BrowseButton(FActionXPMDirectory, left), 1, 1);
    grid->addWidget(FCkBoxXPMAutoCheck, 2, 0, 1, 2);
    grid->setRowMinimumHeight(3, 12);
    grid->addWidget(label2, 4, 0, 1, 2);
    grid->addWidget(FEdOutputDirectory, 5, 0);
    grid->addWidget(BrowseButton(FActionOutputDirectory, left), 5, 1);
    grid->addWidget(label3, 6, 0, 1, 2);
    grid->setRowStretch(7, 1);

    auto *buttons = new QWidget(this);
    auto *bl = new QVBoxLayout(buttons);
    auto *button1 = new QPushButton(FControlActionOK->text(), buttons);
    button1->setObjectName(QStringLiteral("Button1"));
    button1->setDefault(true);
    connect(button1, &QPushButton::clicked, FControlActionOK, &QAction::trigger);
    auto *button2 = new QPushButton(FControlActionCancel->text(), buttons);
    button2->setObjectName(QStringLiteral("Button2"));
    connect(button2, &QPushButton::clicked, FControlActionCancel, &QAction::trigger);
    bl->addWidget(button1);
    bl->addWidget(button2);
    bl->addStretch(1);

    auto *main = new QHBoxLayout(this);
    main->addWidget(left, 1);
    main->addWidget(buttons);
    setFixedSize(645, 273);

    // a fresh installation: an existing directory typed in switches the check on
    connect(FEdXPMDirectory, &QLineEdit::textChanged, this, [this](const QString &AText) {
        if (TLDT3AppSettings::XPMDir().isEmpty() && IsExistingDir(AText))
            FCkBoxXPMAutoCheck->setChecked(true);
    });
}

void TVentolixOptionsDlg::BrowseInto(QLineEdit *AEdit, const QString &ATitle)
{
    const QString start = IsExistingDir(AEdit->text()) ? AEdit->text() : QString();
    const QString dir = FChooseDir(this, ATitle, start);
    if (!dir.isEmpty())
        AEdit->setText(QDir::toNativeSeparators(dir));
}

void TVentolixOptionsDlg::Refuse(QLineEdit *AEdit, const QString &AText)
{
    AEdit->setFocus();
    GetMessageSink().ShowMessage(TMsgKind::mkError, GetAppTitle(), AText);
}

bool TVentolixOptionsDlg::ControlActionOK()
{
    const QString xpm = FEdXPMDirectory->text();
    const QString out = FEdOutputDirectory->text();
    if (!xpm.isEmpty() && !IsExistingDir(xpm)) {
        Refuse(FEdXPMDirectory, Format(QStringLiteral("Verzeichnis \"%s\" exisiert nicht"), {xpm}));
        return false;
    }
    if (xpm.isEmpty() && FCkBoxXPMAutoCheck->isChecked()) {
        Refuse(FEdXPMDirectory, QStringLiteral("Wenn die automatische Prüfung gewählt ist, muss das Verzeichnis des LDT 3.0-Prüfmoduls angegeben werden"));
        return false;
    }
    if (!out.isEmpty() && !IsExistingDir(out)) {
        Refuse(FEdOutputDirectory, Format(QStringLiteral("Verzeichnis \"%s\" exisiert nicht"), {out}));
        return false;
    }
    TLDT3AppSettings::SetXPMDir(xpm);
    TLDT3AppSettings::SetXPMAutoCheck(FCkBoxXPMAutoCheck->isChecked());
    TLDT3AppSettings::SetOutputDir(out);
    const QString effective = TLDT3Data::GetLDTTmpDir();
    if (QDir::cleanPath(effective) != QDir::cleanPath(out)) {
        FEdOutputDirectory->setText(effective);
        GetMessageSink().ShowMessage(
            TMsgKind::mkInformation, GetAppTitle(),
            Format(QStringLiteral("Wenn keine explizite Angabe erfolgt, werden temporäre\nDateien in diesem Verzeichnis abgelegt:\n\"%s\""),
                   {effective}));
        return false;
    }
    return true;
}

void TVentolixOptionsDlg::accept()
{
    if (ControlActionOK())
        QDialog::accept();
}

bool ShowOptionsDlg(QWidget *AParent)
{
    TVentolixOptionsDlg dlg(AParent);
    return dlg.exec() == QDialog::Accepted;
}
