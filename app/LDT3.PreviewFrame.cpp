#include "LDT3.PreviewFrame.h"

#include "LDT3.AppSettings.h"
#include "LDT3.Base.h"
#include "LDT3.Data.h"
#include "LDT3.LVBase.h"
#include "LDT3.XPMThrd.h"
#include "Vex_AppRegistry.h"
#include "Vex_WebBrowser.h"
#include "WStrTools.h"

#include <QAction>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QTabWidget>
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
    FPages = new QTabWidget(this);
    FPages->setObjectName(QStringLiteral("PageControlRight"));
    layout->addWidget(FPages, 1);
    auto *infoPage = new QWidget(FPages);
    infoPage->setLayout(new QVBoxLayout);
    infoPage->layout()->setContentsMargins(0, 0, 0, 0);
    FWBFileInfo = TVexWebBrowser::CreateNamed(infoPage, QStringLiteral("WBFileInfo"));
    auto *xpmPage = new QWidget(FPages);
    xpmPage->setLayout(new QVBoxLayout);
    xpmPage->layout()->setContentsMargins(0, 0, 0, 0);
    FWBXPM = TVexWebBrowser::CreateNamed(xpmPage, QStringLiteral("WBXPM"));
    FPages->addTab(infoPage, QStringLiteral("Datei-Info"));
    FPages->addTab(xpmPage, QStringLiteral("XPM-Prüfprotokoll"));
    FPages->setTabVisible(1, false);

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
    FWBXPM->AboutBlank();
    FPages->setTabVisible(1, false);
    FPages->setCurrentIndex(0);
}

int TLDTPreviewFrame::RightPage() const
{
    return FPages->currentIndex() == 1 ? pageXPM : pageFileInfo;
}

bool TLDTPreviewFrame::XPMPageVisible() const
{
    return FPages->isTabVisible(1);
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
    // the absolute name: the test module runs in its own directory, where a
    // relative name would not find the file
    FLineList->GetLDT3FilePtrList(AFileName.isEmpty() ? AFileName : QFileInfo(AFileName).absoluteFilePath());
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
    const QString dir = TLDT3AppSettings::XPMDir();
    const QString file = FLineList->FileName();
    if (dir.isEmpty() || file.isEmpty())
        return false;
    // the messages mark the lines; the file information page shows the result
    if (FLineList->FileIsOpen() && FLineList->XPMCheck())
        FWBFileInfo->LoadFromString(FLineList->GetFileInfoXHTML());
    FWBXPM->AboutBlank();
    FPages->setTabVisible(1, false);
    QString tmp = TLDT3Data::GetLDTTmpDir();
    if (!tmp.endsWith(QLatin1Char('/')))
        tmp += QLatin1Char('/');
    const QString prot = tmp + QStringLiteral("LDT3XPM_Prot.pdf");
    const QString stat = tmp + QStringLiteral("LDT3XPM_Stat.pdf");
    QFile::remove(prot);
    QFile::remove(stat);
    bool shown = false;
    if (XPMCheckPDF(file, dir, QString(), prot, stat)) {
        FPages->setTabVisible(1, true);
        FPages->setCurrentIndex(1);
        shown = FWBXPM->NavigateToLocalFile(prot);
    }
    // the protocol is on show; the statistics are not needed
    TLDT3Data::DeleteFileAfterReboot(prot);
    TLDT3Data::TryDeleteFile(stat);
    Q_EMIT StateChanged();
    return shown;
}

void TLDTPreviewFrame::ActivateRightPage(int AIndex)
{
    if (AIndex == pageFileInfo)
        FPages->setCurrentIndex(0);
    else if (AIndex == pageXPM && FPages->isTabVisible(1))
        FPages->setCurrentIndex(1);
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
