#include "LDT3.Frame.h"

#include "LDT3.AnlageMenu.h"
#include "LDT3.AppSettings.h"
#include "LDT3.Base.h"
#include "LDT3.Data.h"
#include "LDT3.Detail.h"
#include "LDT3.FrameActions.h"
#include "LDT3.LVBase.h"
#include "LDT3.ListView.h"
#include "LDT3.RawView.h"
#include "LDT3.TVBase.h"
#include "LDT3.TreeModel.h"
#include "LDT3.Anlagen.h"
#include "LDT3.XPMCheck.h"
#include "LDT3.XPMThrd.h"
#include "Vex_AppRegistry.h"
#include "Vex_Icons.h"
#include "Vex_PageControl.h"
#include "Vex_WebBrowser.h"
#include "WStrTools.h"

#include <QAction>
#include <QFile>
#include <QFileInfo>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QSplitter>
#include <QStatusBar>
#include <QTabWidget>
#include <QToolBar>
#include <QToolButton>
#include <QTreeView>
#include <QVBoxLayout>

namespace {

const QString NoLDTFile = QStringLiteral("Diese Datei ist keine LDT-Datei");

QWidget *NewPage(QWidget *AParent, QVBoxLayout *&ALayout)
{
    auto *page = new QWidget(AParent);
    ALayout = new QVBoxLayout(page);
    ALayout->setContentsMargins(0, 0, 0, 0);
    ALayout->setSpacing(0);
    return page;
}

QLabel *NewStatusLine(QWidget *AParent, const QString &AName)
{
    auto *label = new QLabel(AParent);
    label->setObjectName(AName);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    label->setContentsMargins(4, 2, 4, 2);
    // a long text is cut, it never widens the pane: otherwise each new line's
    // path would lay out and repaint the whole window
    label->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    return label;
}

QTreeView *NewTree(QWidget *AParent, const QString &AName, QAbstractItemModel *AModel)
{
    auto *tree = new QTreeView(AParent);
    tree->setModel(AModel);
    tree->setObjectName(AName);
    tree->setHeaderHidden(true);
    tree->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tree->setUniformRowHeights(true);
    return tree;
}

} // namespace

TLDTFrame::TLDTFrame(QWidget *AParent)
    : QWidget(AParent), FLineList(std::make_unique<TLDT3LineList>()), FColumnInfo(DefaultColumnInfos())
{
    // the document's XPM check runs the installed test module (once per process)
    InstallXPMRunner();
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);

    FSplitter = new QSplitter(Qt::Horizontal, this);
    FSplitter->setObjectName(QStringLiteral("Splitter"));
    FSplitter->setChildrenCollapsible(true);
    layout->addWidget(FSplitter, 1);
    FStatusFrame = NewStatusLine(this, QStringLiteral("StatusBarFrame"));
    layout->addWidget(FStatusFrame);

    // left: the LDT tree and the error tree, each under its status line
    FPCLeft = new TVexPageControl(FSplitter);
    FPCLeft->setObjectName(QStringLiteral("PageControlLeft"));
    QVBoxLayout *l = nullptr;
    QWidget *page = NewPage(FPCLeft, l);
    FTVStatus = NewStatusLine(page, QStringLiteral("StatusBarTV"));
    FTVModel = new TLDT3TreeModel(TLDT3TreeModel::TKind::tkLDT, this);
    FTVModel->SetMarkImages(VexIcon(QStringLiteral("mark-error")), VexIcon(QStringLiteral("mark-range")));
    FTV = NewTree(page, QStringLiteral("TV"), FTVModel);
    l->addWidget(FTVStatus);
    l->addWidget(FTV, 1);
    FPCLeft->addTab(page, QStringLiteral("LDT-Baum"));
    FLeftPages << page;
    page = NewPage(FPCLeft, l);
    FTVErrorsStatus = NewStatusLine(page, QStringLiteral("StatusBarTVErrors"));
    FTVErrorsModel = new TLDT3TreeModel(TLDT3TreeModel::TKind::tkErrors, this);
    FTVErrorsModel->SetMarkImages(VexIcon(QStringLiteral("mark-error")), VexIcon(QStringLiteral("mark-range")));
    FTVErrors = NewTree(page, QStringLiteral("TVErrors"), FTVErrorsModel);
    l->addWidget(FTVErrorsStatus);
    l->addWidget(FTVErrors, 1);
    FPCLeft->addTab(page, VexIcon(QStringLiteral("mark-ok")), QStringLiteral("Fehler"));
    FLeftPages << page;

    // right: list, raw text and the three HTML pages (their views come on first use)
    FPCRight = new TVexPageControl(FSplitter);
    FPCRight->setObjectName(QStringLiteral("PageControlRight"));
    page = NewPage(FPCRight, l);
    BuildListPage(page);
    FPCRight->addTab(page, QStringLiteral("LDT-Liste"));
    FRightPages << page;
    page = NewPage(FPCRight, l);
    FRaw = new TLDT3RawView(page);
    FRaw->setObjectName(QStringLiteral("Raw"));
    FRawStatus = NewStatusLine(page, QStringLiteral("StatusBarRaw"));
    l->addWidget(FRaw, 1);
    l->addWidget(FRawStatus);
    FPCRight->addTab(page, QStringLiteral("Raw"));
    FRightPages << page;
    for (const QString &caption :
         {QStringLiteral("Datei-Info"), QStringLiteral("Feld-Statistik"), QStringLiteral("XPM-Prüfprotokoll")}) {
        page = NewPage(FPCRight, l);
        FPCRight->addTab(page, caption);
        FRightPages << page;
    }
    FSplitter->addWidget(FPCLeft);
    FSplitter->addWidget(FPCRight);
    FSplitter->setStretchFactor(0, 0);
    FSplitter->setStretchFactor(1, 1);
    connect(FSplitter, &QSplitter::splitterMoved, this, [this]() { SplitterMoved(); });
    connect(FPCLeft, &QTabWidget::currentChanged, this, [this]() { ApplyLeftWidth(); });

    connect(FTV->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex &ACurrent) { OnTVSelected(ACurrent); });
    connect(FTVErrors->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex &ACurrent) { OnTVErrorsSelected(ACurrent); });
    FTV->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(FTV, &QTreeView::customContextMenuRequested, this, &TLDTFrame::OnTVContextMenu);
    connect(FTV, &QTreeView::doubleClicked, this, &TLDTFrame::OnTVDoubleClicked);
    connect(FTV, &QTreeView::expanded, this, [this]() { UpdateAnhangMark(); });
    connect(FTV, &QTreeView::collapsed, this, [this]() { UpdateAnhangMark(); });

    connect(FRaw, &TLDT3RawView::StatusTextChanged, FRawStatus, &QLabel::setText);
    connect(FRaw, &TLDT3RawView::FollowZeile, this, [this](int AZeile) {
        if (DetailDlgShowing())
            GotoNearestZeile(AZeile);
    });

    FActionToggleBase64 = new QAction(VexIcon(QStringLiteral("base64")), QStringLiteral("&Base64 ausblenden"), this);
    FActionToggleBase64->setToolTip(QStringLiteral("Base64-kodierte Zeilen ausblenden"));
    FActionToggleBase64->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_B));
    FActionToggleBase64->setCheckable(true);
    FActionToggleBase64->setChecked(true);
    connect(FActionToggleBase64, &QAction::toggled, this, [this]() {
        if (FLineList->FileIsOpen()) {
            RebuildLines();
            ResetLines();
        }
    });
    FActionToggleLevelIndent =
        new QAction(VexIcon(QStringLiteral("columns")), QStringLiteral("&Inhalte einrücken"), this);
    FActionToggleLevelIndent->setToolTip(QStringLiteral("Inhalte einrücken"));
    FActionToggleLevelIndent->setCheckable(true);
    FActionToggleLevelIndent->setChecked(true);
    connect(FActionToggleLevelIndent, &QAction::toggled, FListModel, &TLDT3ListModel::SetLevelIndent);
    FActionToggleShowDetail =
        new QAction(VexIcon(QStringLiteral("details")), QStringLiteral("Detail-Informationen"), this);
    FActionToggleShowDetail->setToolTip(QStringLiteral("Zeige Details"));
    FActionToggleShowDetail->setCheckable(true);
    FActionToggleShowDetail->setEnabled(false);
    FActionColSettingsDlg = new QAction(QStringLiteral("&Spaltenauswahl der LDT-Liste"), this);
    FActionColSettingsDlg->setToolTip(QStringLiteral("Spaltenauswahl der LDT-Liste"));

    // the one detail dialog, a window of its own that goes with the view
    FDetailDlg = new TLDTDetailDlg(this);
    FDetailDlg->SetLDTFrame(this);
    FActions = new TLDTFrameActions(this);
    FActions->FillToolBars(FNavBar, FSearchBar, FEdSearch);

    Clear();
    SetLeftPageVisible(pageErrors, false);
    UpdateLineStatus();
    UpdateActions();
}

TLDTFrame::~TLDTFrame()
{
    // the commands and the detail dialog read the document: they go first
    delete FActions;
    FActions = nullptr;
    delete FDetailDlg;
    FDetailDlg = nullptr;
    // the views hold pointers into the document: let go of them first
    FTVModel->Clear();
    FTVErrorsModel->Clear();
    FRaw->Clear();
    FListModel->Clear();
}

void TLDTFrame::BuildListPage(QWidget *APage)
{
    auto *l = static_cast<QVBoxLayout *>(APage->layout());
    auto *bars = new QWidget(APage);
    auto *barsLayout = new QHBoxLayout(bars);
    barsLayout->setContentsMargins(0, 0, 0, 0);
    barsLayout->setSpacing(4);
    FNavBar = new QToolBar(bars);
    FNavBar->setObjectName(QStringLiteral("ToolBarNavigation"));
    FNavBar->setIconSize(QSize(16, 16));
    FSearchBar = new QToolBar(bars);
    FSearchBar->setObjectName(QStringLiteral("ToolBarSearch"));
    FSearchBar->setIconSize(QSize(16, 16));
    FEdSearch = new QLineEdit(FSearchBar);
    FEdSearch->setObjectName(QStringLiteral("EdSearch"));
    FEdSearch->setPlaceholderText(QStringLiteral("Suche in Datei..."));
    FEdSearch->setFixedWidth(SearchFieldWidth);
    QFont bold = FEdSearch->font();
    bold.setBold(true);
    FEdSearch->setFont(bold);
    FSearchBar->addWidget(FEdSearch);
    // the buttons come with the view's actions (TLDTFrameActions::FillToolBars)
    barsLayout->addWidget(FNavBar);
    barsLayout->addWidget(FSearchBar);
    barsLayout->addStretch(1);
    // bars and panels never hold the splitter off a narrow right pane
    bars->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    l->addWidget(bars);

    FStatusBarTop = NewStatusLine(APage, QStringLiteral("StatusBarTop"));
    l->addWidget(FStatusBarTop);

    FListModel = new TLDT3ListModel(FLineList.get(), this);
    FLV = new TLDT3ListView(APage);
    FLV->setObjectName(QStringLiteral("LV"));
    FLV->SetListModel(FListModel);
    FListModel->SetMarkImages(VexIcon(QStringLiteral("mark-error")), VexIcon(QStringLiteral("mark-range")),
                              VexIcon(QStringLiteral("mark-xpm")));
    FCurrentOrder = FLV->RefreshLVColumns(FColumnInfo);
    l->addWidget(FLV, 1);
    connect(FLV, &TLDT3ListView::LVSelectionChanged, this, &TLDTFrame::OnLVSelectionChanged);

    FStatusBar = new QStatusBar(APage);
    FStatusBar->setObjectName(QStringLiteral("StatusBarLV"));
    FStatusBar->setSizeGripEnabled(false);
    for (int w : {200, 200, 200, 50}) {
        auto *panel = new QLabel(FStatusBar);
        FPanels << panel;
        // the last panel reaches to the right edge ("Suchergebnis %d von %d" needs more than its 50)
        if (FPanels.size() == 4) {
            panel->setMinimumWidth(w);
            FStatusBar->addWidget(panel, 1);
        } else {
            panel->setFixedWidth(w);
            FStatusBar->addWidget(panel);
        }
    }
    FStatusBar->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    l->addWidget(FStatusBar);
}

QString TLDTFrame::FileName() const { return FLineList->FileName(); }
bool TLDTFrame::FileIsOpen() const { return FLineList->FileIsOpen(); }
bool TLDTFrame::LevelIndent() const { return FActionToggleLevelIndent->isChecked(); }
bool TLDTFrame::IgnoreBase64Lines() const { return FActionToggleBase64->isChecked(); }
QString TLDTFrame::StatusText() const { return FStatusFrame->text(); }
QString TLDTFrame::StatusBarTopText() const { return FStatusBarTop->text(); }
QString TLDTFrame::RawStatusText() const { return FRawStatus->text(); }
QString TLDTFrame::TreeStatusText() const { return FTVStatus->text(); }
QString TLDTFrame::ErrorTreeStatusText() const { return FTVErrorsStatus->text(); }
QString TLDTFrame::StatusPanelText(int APanel) const
{
    return APanel >= 0 && APanel < FPanels.size() ? FPanels[APanel]->text() : QString();
}
void TLDTFrame::UpdateStatusBarTop(const QString &S) { FStatusBarTop->setText(S); }
void TLDTFrame::UpdateStatusBarFrame(const QString &S) { FStatusFrame->setText(S); }
void TLDTFrame::SetStatusPanelText(int APanel, const QString &S)
{
    if (APanel >= 0 && APanel < FPanels.size())
        FPanels[APanel]->setText(S);
}

void TLDTFrame::SetTreeStatus(const QString &S)
{
    FTVStatus->setText(S);
    FTVErrorsStatus->setText(S);
}

TVexWebBrowser *TLDTFrame::EnsureBrowser(TVexWebBrowser *&AView, int APage, const QString &AName)
{
    if (!AView)
        AView = TVexWebBrowser::CreateNamed(FRightPages[APage], AName);
    return AView;
}

void TLDTFrame::WBShowFileInfo(const QString &AHTMLStr)
{
    TVexWebBrowser *v = EnsureBrowser(FWBFileInfo, pageFileInfo, QStringLiteral("WBFileInfo"));
    AHTMLStr.isEmpty() ? v->AboutBlank() : v->LoadFromString(AHTMLStr);
}

void TLDTFrame::WBShowFileStat(const QString &AHTMLStr)
{
    TVexWebBrowser *v = EnsureBrowser(FWBFileStat, pageFileStat, QStringLiteral("WBFileStat"));
    AHTMLStr.isEmpty() ? v->AboutBlank() : v->LoadFromString(AHTMLStr);
}

bool TLDTFrame::WBShowXPMFile(const QString &AFileName)
{
    TVexWebBrowser *v = EnsureBrowser(FWBXPM, pageXPM, QStringLiteral("WBXPM"));
    if (AFileName.isEmpty()) {
        v->AboutBlank();
        return true;
    }
    return v->NavigateToLocalFile(AFileName);
}

void TLDTFrame::SetRightPageVisible(int AIndex, bool AVisible) { FPCRight->setTabVisible(AIndex, AVisible); }
void TLDTFrame::SetLeftPageVisible(int AIndex, bool AVisible) { FPCLeft->setTabVisible(AIndex, AVisible); }
bool TLDTFrame::RightPageVisible(int AIndex) const
{
    return AIndex >= 0 && AIndex < FPCRight->count() && FPCRight->isTabVisible(AIndex);
}
bool TLDTFrame::LeftPageVisible(int AIndex) const
{
    return AIndex >= 0 && AIndex < FPCLeft->count() && FPCLeft->isTabVisible(AIndex);
}
int TLDTFrame::RightPage() const { return FPCRight->currentIndex(); }

void TLDTFrame::ActivateRightPage(int AIndex)
{
    if (RightPageVisible(AIndex))
        FPCRight->setCurrentIndex(AIndex);
}

void TLDTFrame::ActivateLeftPage(int AIndex)
{
    if (LeftPageVisible(AIndex))
        FPCLeft->setCurrentIndex(AIndex);
}

void TLDTFrame::Clear()
{
    // the views let go of the document before it frees the file
    FRaw->Clear();
    FListModel->Clear();
    FTVModel->Clear();
    FTVErrorsModel->Clear();
    FAnhangNode = nullptr;
    SetRange(-1, -1);
    FLineList->Clear();
    for (TVexWebBrowser *v : {FWBFileInfo, FWBFileStat, FWBXPM})
        if (v)
            v->AboutBlank();
    SetLeftPageVisible(pageErrors, false);
    for (int p : {pageRaw, pageFileInfo, pageFileStat, pageXPM})
        SetRightPageVisible(p, false);
    FPCRight->setCurrentIndex(pageList);
    FPCLeft->setCurrentIndex(pageLDTTree);
    FRawStatus->clear();
    if (FActions)
        FActions->ResetSearch();
}

void TLDTFrame::UpdateActions()
{
    const bool open = FLineList->FileIsOpen();
    FActionToggleBase64->setEnabled(open && FLineList->HasBase64Lines());
    FActionToggleLevelIndent->setEnabled(open && FLineList->PathAndLevelOkay());
    if (FActions)
        FActions->UpdateActions();
}

void TLDTFrame::RebuildLines()
{
    FLV->RebuildLines(IgnoreBase64Lines());
}

void TLDTFrame::ResetLines()
{
    FLV->ResetLines();
    UpdateLineStatus();
}

bool TLDTFrame::OpenLDTFile(const QString &AFileName)
{
    FStatusFrame->setText(AFileName);
    Clear();
    struct TAtEnd
    {
        TLDTFrame *F;
        ~TAtEnd()
        {
            F->ResetLines();
            F->UpdateActions();
            Q_EMIT F->StateChanged();
        }
    } atEnd{this};
    FLineList->SetMaxInvalidLines(MaxInvalidLines);
    // the absolute name: the test module runs in its own directory, where a
    // relative name would not find the file
    FLineList->GetLDT3FilePtrList(AFileName.isEmpty() ? AFileName : QFileInfo(AFileName).absoluteFilePath());
    RebuildLines();
    SetRightPageVisible(pageFileInfo, true);
    WBShowFileInfo(FLineList->GetFileInfoXHTML());
    if (FLineList->MaxInvalidLines() != 0 && FLineList->InvalidLines() > FLineList->MaxInvalidLines()) {
        FListModel->Clear();
        FLineList->Clear();
        FPCRight->setCurrentIndex(pageFileInfo);
        FStatusFrame->setText(Format(QStringLiteral("%s - [%s]"), {AFileName, NoLDTFile}));
        SetTreeStatus(NoLDTFile);
        return false;
    }
    SetRightPageVisible(pageRaw, true);
    SetRightPageVisible(pageFileStat, true);
    FillTrees();
    WBShowFileStat(FLineList->GetFeldStatistikXHTML());
    FRaw->SetPtrList(FLineList->PtrList());
    FPCRight->setCurrentIndex(pageList);
    SetTreeStatus(FLineList->XPMStatus());
    return true;
}

bool TLDTFrame::CloseLDTFile()
{
    Clear();
    UpdateLineStatus();
    FStatusFrame->setText(Format(QStringLiteral("%s - [Datei geschlossen]"), {FLineList->FileName()}));
    UpdateActions();
    Q_EMIT StateChanged();
    return !FLineList->FileIsOpen();
}

bool TLDTFrame::ActionXPMExecute()
{
    const QString dir = TLDT3AppSettings::XPMDir();
    const QString file = FLineList->FileName();
    if (dir.isEmpty() || file.isEmpty())
        return false;
    // the messages mark the lines; the file information page shows the result
    if (FLineList->FileIsOpen() && FLineList->XPMCheck()) {
        // both trees anew: the error tree was built again and the LDT
        // tree's items of newly marked lines carry the error mark
        FTVModel->SetMarkedItem(TLDT3TreeModel::mkRange, {});
        FAnhangNode = nullptr;
        SetRange(-1, -1);
        FillTrees();
        WBShowFileInfo(FLineList->GetFileInfoXHTML());
        FListModel->Refresh();
        SetTreeStatus(FLineList->XPMStatus());
    }
    WBShowXPMFile(QString());
    SetRightPageVisible(pageXPM, false);
    QString tmp = TLDT3Data::GetLDTTmpDir();
    if (!tmp.endsWith(QLatin1Char('/')))
        tmp += QLatin1Char('/');
    const QString prot = tmp + QStringLiteral("LDT3XPM_Prot.pdf");
    const QString stat = tmp + QStringLiteral("LDT3XPM_Stat.pdf");
    QFile::remove(prot);
    QFile::remove(stat);
    bool shown = false;
    if (XPMCheckPDF(file, dir, QString(), prot, stat)) {
        SetRightPageVisible(pageXPM, true);
        FPCRight->setCurrentIndex(pageXPM);
        shown = WBShowXPMFile(prot);
    }
    // the protocol is on show; the statistics are not needed
    TLDT3Data::DeleteFileAfterReboot(prot);
    TLDT3Data::TryDeleteFile(stat);
    Q_EMIT StateChanged();
    return shown;
}

QString TLDTFrame::AnlageSaveDir() const { return QFileInfo(FLineList->FileName()).absolutePath(); }

std::unique_ptr<QMenu> TLDTFrame::CreateTVContextMenu(const QModelIndex &AItem)
{
    auto menu = std::make_unique<QMenu>(FTV);
    if (FLineList->FileIsOpen())
        FillTVAnlageMenu(menu.get(), TLDT3TreeModel::NodeOf(AItem), *FLineList->PtrList(), AnlageSaveDir(), this);
    return menu;
}

void TLDTFrame::OnTVContextMenu(const QPoint &APos)
{
    std::unique_ptr<QMenu> menu = CreateTVContextMenu(FTV->indexAt(APos));
    if (menu->isEmpty())
        return;
    menu->exec(FTV->viewport()->mapToGlobal(APos));
    // a saved attachment shows its new file name
    FTV->viewport()->update();
}

void TLDTFrame::OnTVDoubleClicked(const QModelIndex &AIndex)
{
    if (AnlageDoubleClick(TLDT3TreeModel::NodeOf(AIndex), AnlageSaveDir(), this))
        FTV->viewport()->update();
}

TLDT3Line *TLDTFrame::CurrentLine() const { return FListModel->LineAt(FLV->LVCurrentIndex()); }

int TLDTFrame::CurrentZeile() const
{
    const TLDT3Line *line = CurrentLine();
    return line ? line->Zeile() : 0;
}

bool TLDTFrame::GotoNearestZeile(int ALineNo)
{
    FRaw->RawGotoZeile(ALineNo);
    bool exact = false;
    const TLDT3Line *line = FLineList->GetNearestLDT3LineFromZeile(ALineNo, exact);
    if (!line)
        return false;
    const int row = FListModel->RowOfLine(line);
    if (row < 0)
        return false;
    FLV->SetLVCurrentItem(row);
    return true;
}

bool TLDTFrame::GotoLDT3Line(const TLDT3Line *ALine)
{
    return ALine && GotoNearestZeile(ALine->Zeile());
}

void TLDTFrame::SetRange(int AStart, int AEnde)
{
    FStart = AStart;
    FEnde = AEnde;
    FListModel->SetRange(AStart, AEnde);
}

void TLDTFrame::UpdateLineStatus()
{
    FPanels[0]->setText(FLV->LineStatusText());
    FPanels[1]->setText(FLV->HiddenLinesStatusText());
}

void TLDTFrame::OnLVSelectionChanged(int ARow)
{
    (void)ARow;
    UpdateLineStatus();
    const TLDT3Line *line = CurrentLine();
    UpdateStatusBarTop(line ? line->LongPathFK() : QString());
    if (DetailDlgShowing())
        FDetailDlg->UpdateDetail();
    TrySyncTVErrors();
}

bool TLDTFrame::DetailDlgShowing() const { return FDetailDlg && FDetailDlg->Showing(); }
void TLDTFrame::ShowDetailDlg() { FDetailDlg->ShowDetail(); }
void TLDTFrame::HideDetailDlg() { FDetailDlg->hide(); }
bool TLDTFrame::GotoLine() { return FActions->GotoLine(); }

// The trees of the file: the LDT tree with Base64 runs collapsed, the error
// tree; the tab "Fehler" says whether there are errors.
void TLDTFrame::FillTrees()
{
    TLDT3Datenpaket *dp = FLineList->Datenpaket();
    FTVModel->SetDatenpaket(dp);
    FTVErrorsModel->SetDatenpaket(dp);
    if (FTVModel->rowCount() > 0)
        FTV->expand(FTVModel->index(0, 0));
    if (FTVModel->rowCount() > 1)
        FTV->expandRecursively(FTVModel->index(1, 0));
    FTVErrors->expandToDepth(0);
    const QModelIndex errTop = FTVErrorsModel->index(0, 0);
    const bool errors = errTop.isValid() && FTVErrorsModel->rowCount(errTop) > 0;
    FPCLeft->setTabIcon(pageErrors, VexIcon(errors ? QStringLiteral("mark-error") : QStringLiteral("mark-ok")));
    SetLeftPageVisible(pageErrors, true);
}

void TLDTFrame::OnTVSelected(const QModelIndex &AIndex)
{
    if (FSyncingTree)
        return;
    const TLDT3Node *node = TLDT3TreeModel::NodeOf(AIndex);
    FTVModel->SetMarkedItem(TLDT3TreeModel::mkRange, {});
    FAnhangNode = nullptr;
    if (!node) {
        SetRange(-1, -1);
        UpdateAnhangMark();
        return;
    }
    const TLDT3Base64AnlageNode *anlage = nullptr;
    if (node->ClassType()->InheritsFrom(TLDT3LineNode::Class())) {
        const auto *l = static_cast<const TLDT3LineNode *>(node);
        if (l->IsRoot()) {
            SetRange(-1, -1);
        } else {
            SetRange(l->StartIdx(), l->EndeIdx());
            GotoNearestZeile(l->Zeile());
        }
    } else {
        SetRange(-1, -1);
        if (node->ClassType()->InheritsFrom(TLDT3Base64AnlageNode::Class()))
            anlage = static_cast<const TLDT3Base64AnlageNode *>(node);
        else if (node->ClassType()->InheritsFrom(TLDT3Base64FileNode::Class()))
            anlage = static_cast<const TLDT3Base64FileNode *>(node)->AnlageNode();
    }
    if (anlage && anlage->Anlage()) {
        const TLDT3Base64Anlage *a = anlage->Anlage();
        SetRange(a->AnhangStartIdx(), a->AnhangEndeIdx());
        GotoNearestZeile(a->AnhangStartZeile());
        FAnhangNode = FLineList->GetLDT3LineNodeFromLDT3Line(CurrentLine());
    }
    if (FStart != FEnde)
        FTVModel->SetMarkedItem(TLDT3TreeModel::mkRange, AIndex);
    UpdateAnhangMark();
}

void TLDTFrame::OnTVErrorsSelected(const QModelIndex &AIndex)
{
    if (FSyncingTree)
        return;
    const TLDT3Node *node = TLDT3TreeModel::NodeOf(AIndex);
    if (node && node->ClassType()->InheritsFrom(TLDT3LineErrorNode::Class())) {
        const auto *e = static_cast<const TLDT3LineErrorNode *>(node);
        if (!e->IsRoot())
            GotoNearestZeile(e->Zeile());
    }
}

// The attachment mark sits on the item of the attachment's first line, or
// on its nearest ancestor that is not collapsed away.
void TLDTFrame::UpdateAnhangMark()
{
    QModelIndex item = FTVModel->IndexOf(FAnhangNode);
    for (QModelIndex p = item.parent(); p.isValid(); p = p.parent())
        if (!FTV->isExpanded(p))
            item = p;
    const bool changed = QModelIndex(FTVModel->MarkedItem(TLDT3TreeModel::mkAnhang)) != item;
    FTVModel->SetMarkedItem(TLDT3TreeModel::mkAnhang, item);
    if (changed)
        FListModel->Refresh();
}

bool TLDTFrame::SyncTree(QTreeView *ATree, TLDT3TreeModel *AModel, const TLDT3Node *ANode)
{
    const QModelIndex item = AModel->IndexOf(ANode);
    if (!item.isValid())
        return false;
    FSyncingTree = true;
    ATree->selectionModel()->setCurrentIndex(item, QItemSelectionModel::ClearAndSelect);
    FSyncingTree = false;
    ATree->scrollTo(item);
    return true;
}

bool TLDTFrame::TrySyncTV()
{
    const TLDT3Line *line = CurrentLine();
    return line && SyncTree(FTV, FTVModel, FLineList->GetLDT3LineNodeFromLDT3Line(line));
}

bool TLDTFrame::TrySyncTVErrors()
{
    const TLDT3Line *line = CurrentLine();
    return line && SyncTree(FTVErrors, FTVErrorsModel, FLineList->GetLDT3LineErrorNodeFromLDT3Line(line));
}

void TLDTFrame::RefreshLVColumns() { FCurrentOrder = FLV->RefreshLVColumns(FColumnInfo); }
void TLDTFrame::SynchLVColumnInfo() { FLV->SynchLVColumnInfo(FColumnInfo); }

void TLDTFrame::resizeEvent(QResizeEvent *AEvent)
{
    QWidget::resizeEvent(AEvent);
    ApplyLeftWidth();
}

void TLDTFrame::showEvent(QShowEvent *AEvent)
{
    QWidget::showEvent(AEvent);
    ApplyLeftWidth();
}

// A stored width that is unset or does not leave room for the right pane
// becomes a third of the view.
void TLDTFrame::ApplyLeftWidth()
{
    // a hidden view has no width of its own yet
    const int total = FSplitter->width();
    if (!isVisible() || total <= 0)
        return;
    if (FPCLeftWidth <= 0 || FPCLeftWidth >= width())
        FPCLeftWidth = width() / 3;
    FSplitter->setSizes({FPCLeftWidth, qMax(0, total - FPCLeftWidth - FSplitter->handleWidth())});
    FSplitter->setHandleWidth(FPCLeftWidth > 2 ? 3 : 12);
}

void TLDTFrame::SplitterMoved()
{
    const int left = FSplitter->sizes().value(0);
    FSplitter->setHandleWidth(left > 2 ? 3 : 12);
    FPCLeftWidth = left;
}

void TLDTFrame::Load(TAppReg &AReg, const QString &ASection)
{
    using namespace TAppRegKeys;
    TAppReg::RegLoadFont(AReg, FLV, ASection + QStringLiteral("\\LV"));
    TAppReg::RegLoadFont(AReg, FTV, ASection + QStringLiteral("\\TV"));
    FTVErrors->setFont(FTV->font());
    TAppReg::RegLoadFont(AReg, FRaw, ASection + QStringLiteral("\\RAW"));
    FPCLeftWidth = AReg.ReadInteger(ASection, PCLeft, FPCLeftWidth);
    FActionToggleLevelIndent->setChecked(AReg.ReadBool(ASection, Indent, LevelIndent()));
    FActionToggleBase64->setChecked(AReg.ReadBool(ASection, Base64, IgnoreBase64Lines()));
    TLDT3AppSettings::SetXPMDir(AReg.ReadString(ASection, XPMDirectory, TLDT3AppSettings::XPMDir()));
    TLDT3AppSettings::SetXPMAutoCheck(AReg.ReadBool(ASection, XPMAutoCheck, TLDT3AppSettings::XPMAutoCheck()));
    // goes through SetLDTTmpDir, which settles on a directory that exists
    TLDT3AppSettings::SetOutputDir(AReg.ReadString(ASection, OutputDirectory, TLDT3AppSettings::OutputDir()));
    FDetailDlg->Load(AReg, TAppRegKeys::DetailDlg);
    for (int c = 0; c < LDT3ColumnCount; ++c) {
        const QString sec = ASection + QLatin1Char('\\') + QString::number(c);
        TColumnInfo &info = FColumnInfo[c];
        info.Visible = AReg.ReadBool(sec, ColVisible, info.Visible);
        info.Width = AReg.ReadInteger(sec, ColWidth, info.Width);
        info.ColumnPosition = AReg.ReadInteger(sec, ColPosition, info.ColumnPosition);
    }
    RefreshLVColumns();
    ApplyLeftWidth();
}

void TLDTFrame::Save(TAppReg &AReg, const QString &ASection)
{
    using namespace TAppRegKeys;
    TAppReg::RegSaveFont(AReg, FLV, ASection + QStringLiteral("\\LV"));
    TAppReg::RegSaveFont(AReg, FTV, ASection + QStringLiteral("\\TV"));
    TAppReg::RegSaveFont(AReg, FRaw, ASection + QStringLiteral("\\RAW"));
    AReg.WriteInteger(ASection, PCLeft, FPCLeftWidth);
    AReg.WriteBool(ASection, Indent, LevelIndent());
    AReg.WriteBool(ASection, Base64, IgnoreBase64Lines());
    AReg.WriteString(ASection, XPMDirectory, TLDT3AppSettings::XPMDir());
    AReg.WriteBool(ASection, XPMAutoCheck, TLDT3AppSettings::XPMAutoCheck());
    AReg.WriteString(ASection, OutputDirectory, TLDT3AppSettings::OutputDir());
    FDetailDlg->Save(AReg, TAppRegKeys::DetailDlg);
    SynchLVColumnInfo();
    for (int c = 0; c < LDT3ColumnCount; ++c) {
        const QString sec = ASection + QLatin1Char('\\') + QString::number(c);
        const TColumnInfo &info = FColumnInfo[c];
        AReg.WriteBool(sec, ColVisible, info.Visible);
        AReg.WriteInteger(sec, ColWidth, info.Width);
        AReg.WriteInteger(sec, ColPosition, info.ColumnPosition);
        AReg.WriteString(sec, ColCaption, info.Caption);
    }
}
