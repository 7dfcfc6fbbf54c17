#include "LDT3.PreviewFrame.h"

#include "LDT3.AppSettings.h"
#include "LDT3.Base.h"
#include "LDT3.Data.h"
#include "LDT3.LVBase.h"
#include "Vex_AppRegistry.h"
#include "Vex_WebBrowser.h"
#include "WStrTools.h"

#include <QAction>
#include <QLabel>
#include <QVBoxLayout>

TLDTPreviewFrame::TLDTPreviewFrame(QWidget *AParent) : QWidget(AParent), FLineList(std::make_unique<TLDT3LineList>())
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    FStatusFrame = new QLabel(this);
    FStatusFrame->setObjectName(QStringLiteral("StatusBarFrame"));
    FStatusFrame->setTextInteractionFlags(Qt::TextSelectableByMouse);
    FStatusFrame->setContentsMargins(4, 2, 4, 2);
    layout->addWidget(FStatusFrame);
    FWBFileInfo = TVexWebBrowser::CreateNamed(this, QStringLiteral("WBFileInfo"));
    layout->setStretchFactor(FWBFileInfo, 1);

    FActionToggleBase64 = new QAction(QStringLiteral("&Base64 ausblenden"), this);
    FActionToggleBase64->setToolTip(QStringLiteral("Base64-kodierte Zeilen ausblenden"));
    FActionToggleBase64->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_B));
    FActionToggleBase64->setCheckable(true);
    FActionToggleBase64->setChecked(true);
    connect(FActionToggleBase64, &QAction::toggled, this, [this](bool AOn) {
        if (FLineList->FileIsOpen())
            FLineList->BuildLineList(AOn);
    });
    FActionToggleLevelIndent = new QAction(QStringLiteral("&Inhalte einrücken"), this);
    FActionToggleLevelIndent->setToolTip(QStringLiteral("Inhalte einrücken"));
    FActionToggleLevelIndent->setCheckable(true);
    FActionToggleLevelIndent->setChecked(true);
    // the detail window and the column dialog belong to the full view
    FActionToggleShowDetail = new QAction(QStringLiteral("Detail-Informationen"), this);
    FActionToggleShowDetail->setToolTip(QStringLiteral("Zeige Details"));
    FActionToggleShowDetail->setCheckable(true);
    FActionToggleShowDetail->setEnabled(false);
    FActionColSettingsDlg = new QAction(QStringLiteral("&Spaltenauswahl der LDT-Liste"), this);
    FActionColSettingsDlg->setToolTip(QStringLiteral("Spaltenauswahl der LDT-Liste"));
    FActionColSettingsDlg->setEnabled(false);
    UpdateActions();
}

TLDTPreviewFrame::~TLDTPreviewFrame() = default;

QString TLDTPreviewFrame::FileName() const { return FLineList->FileName(); }
bool TLDTPreviewFrame::FileIsOpen() const { return FLineList->FileIsOpen(); }
bool TLDTPreviewFrame::LevelIndent() const { return FActionToggleLevelIndent->isChecked(); }
bool TLDTPreviewFrame::IgnoreBase64Lines() const { return FActionToggleBase64->isChecked(); }
QString TLDTPreviewFrame::StatusText() const { return FStatusFrame->text(); }

void TLDTPreviewFrame::Clear()
{
    FLineList->Clear();
    FWBFileInfo->AboutBlank();
}

void TLDTPreviewFrame::UpdateActions()
{
    const bool open = FLineList->FileIsOpen();
    FActionToggleBase64->setEnabled(open && FLineList->HasBase64Lines());
    FActionToggleLevelIndent->setEnabled(open && FLineList->PathAndLevelOkay());
}

bool TLDTPreviewFrame::OpenLDTFile(const QString &AFileName)
{
    FStatusFrame->setText(AFileName);
    Clear();
    struct TAtEnd
    {
        TLDTPreviewFrame *F;
        ~TAtEnd()
        {
            F->UpdateActions();
            Q_EMIT F->StateChanged();
        }
    } atEnd{this};
    FLineList->SetMaxInvalidLines(MaxInvalidLines);
    FLineList->GetLDT3FilePtrList(AFileName);
    FLineList->BuildLineList(IgnoreBase64Lines());
    FWBFileInfo->LoadFromString(FLineList->GetFileInfoXHTML());
    if (FLineList->MaxInvalidLines() != 0 && FLineList->InvalidLines() > FLineList->MaxInvalidLines()) {
        FLineList->Clear();
        FStatusFrame->setText(Format(QStringLiteral("%s - [%s]"), {AFileName, QStringLiteral("Diese Datei ist keine LDT-Datei")}));
        return false;
    }
    return true;
}

bool TLDTPreviewFrame::CloseLDTFile()
{
    Clear();
    FStatusFrame->setText(Format(QStringLiteral("%s - [Datei geschlossen]"), {FLineList->FileName()}));
    UpdateActions();
    Q_EMIT StateChanged();
    return !FLineList->FileIsOpen();
}

bool TLDTPreviewFrame::ActionXPMExecute()
{
    if (!FLineList->FileIsOpen())
        return false;
    const bool ran = FLineList->XPMCheck();
    // the file information page carries the test module's status
    FWBFileInfo->LoadFromString(FLineList->GetFileInfoXHTML());
    Q_EMIT StateChanged();
    return ran;
}

void TLDTPreviewFrame::ActivateRightPage(int AIndex)
{
    // the file information page is the only page of this view
    if (AIndex == 4 && FLineList->FileIsOpen())
        FWBFileInfo->setFocus();
}

void TLDTPreviewFrame::Load(TAppReg &AReg, const QString &ASection)
{
    using namespace TAppRegKeys;
    FActionToggleLevelIndent->setChecked(AReg.ReadBool(ASection, Indent, LevelIndent()));
    FActionToggleBase64->setChecked(AReg.ReadBool(ASection, Base64, IgnoreBase64Lines()));
    TLDT3AppSettings::SetXPMDir(AReg.ReadString(ASection, XPMDirectory, TLDT3AppSettings::XPMDir()));
    TLDT3AppSettings::SetXPMAutoCheck(AReg.ReadBool(ASection, XPMAutoCheck, TLDT3AppSettings::XPMAutoCheck()));
    // goes through SetLDTTmpDir, which settles on a directory that exists
    TLDT3AppSettings::SetOutputDir(AReg.ReadString(ASection, OutputDirectory, TLDT3AppSettings::OutputDir()));
}

void TLDTPreviewFrame::Save(TAppReg &AReg, const QString &ASection)
{
    using namespace TAppRegKeys;
    AReg.WriteBool(ASection, Indent, LevelIndent());
    AReg.WriteBool(ASection, Base64, IgnoreBase64Lines());
    AReg.WriteString(ASection, XPMDirectory, TLDT3AppSettings::XPMDir());
    AReg.WriteBool(ASection, XPMAutoCheck, TLDT3AppSettings::XPMAutoCheck());
    AReg.WriteString(ASection, OutputDirectory, TLDT3AppSettings::OutputDir());
}
