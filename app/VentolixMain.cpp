#include "VentolixMain.h"

#include "LDT3.AppSettings.h"
#include "LDT3.Base.h"
#include "LDT3.Data.h"
#include "LDT3.Feld.h"
#include "LDT3.FilePtrList.h"
#include "LDT3.LVBase.h"
#include "LDT3.Html.h"
#include "LDT3.Frame.h"
#include "VentolixOptions.h"
#include "VentolixStart.h"
#include "VentolixStartBrowser.h"
#include "VentolixStartPage.h"
#include "Vex_AppRegistry.h"
#include "Vex_BufStr.h"
#include "Vex_Icons.h"
#include "Vex_MessageSink.h"
#include "Vex_PageControl.h"
#include "Vex_Shell.h"
#include "Vex_VerInfo.h"
#include "Vex_WebBrowser.h"
#include "WStrTools.h"

#include <QAction>
#include <QApplication>
#include <QBuffer>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QSaveFile>
#include <QSplitter>
#include <QStatusBar>
#include <QTabBar>
#include <QTabWidget>
#include <QTimer>
#include <QToolBar>
#include <QTreeWidget>
#include <QUrl>
#include <QVBoxLayout>

namespace {

// The open dialog's filters: pairs of description and pattern.
const char *const OpenFilterText =
    "LDT-Dateien (*.ldt)|*.ldt|LDT3-Dateien (Z01*.ldt)|Z01*.ldt|Alle Dateien (*.*)|*.*";

struct TOpenFilter
{
    QString Description;
    QString Patterns;
};

// On this platform "*.*" (all files) is "*", and an extension is matched in
// both cases.
QList<TOpenFilter> OpenFilterTable()
{
    QList<TOpenFilter> r;
    const QStringList parts = QString::fromUtf8(OpenFilterText).split(QLatin1Char('|'));
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QString pattern = parts[i + 1];
        if (pattern == QLatin1String("*.*"))
            pattern = QStringLiteral("*");
        else if (const int dot = pattern.lastIndexOf(QLatin1Char('.')); dot >= 0)
            pattern += QLatin1Char(' ') + pattern.left(dot) + pattern.mid(dot).toUpper();
        r << TOpenFilter{parts[i], pattern};
    }
    return r;
}

QAction *NewAction(QObject *AOwner, const QString &ACaption, const QString &AToolTip,
                   const QString &AStatusTip = QString(), const QKeySequence &AShortcut = QKeySequence())
{
    auto *a = new QAction(ACaption, AOwner);
    a->setToolTip(AToolTip);
    // the status line shows the long text where there is one, else the tooltip
    a->setStatusTip(AStatusTip.isEmpty() ? AToolTip : AStatusTip);
    if (!AShortcut.isEmpty())
        a->setShortcut(AShortcut);
    return a;
}

bool IsInside(const QWidget *AWidget, const QWidget *AContainer)
{
    return AWidget && AContainer && (AWidget == AContainer || AContainer->isAncestorOf(AWidget));
}

} // namespace

TVentolixMainForm::TVentolixMainForm(QWidget *AParent) : QMainWindow(AParent)
{
    setObjectName(QStringLiteral("VentolixMainForm"));
    resize(DesignWidth, DesignHeight);
    setWindowIcon(VexIcon(QStringLiteral("ventolix")));
    setAcceptDrops(true);

    FUpdateActionsTimer = new QTimer(this);
    FUpdateActionsTimer->setSingleShot(true);
    FUpdateActionsTimer->setInterval(0);
    connect(FUpdateActionsTimer, &QTimer::timeout, this, &TVentolixMainForm::UpdateActions);

    FLDTFrame = new TLDTFrame(nullptr);
    CreateActions();
    CreatePages();
    CreateMenusAndToolBar();
    statusBar();
    connect(FLDTFrame, &TLDTFrame::StateChanged, this, &TVentolixMainForm::RequestUpdateActions);
    connect(FLDTFrame, &TLDTFrame::ShowXHTML, this,
            [this](const QString &, const QString &AXHTML) { WBInfoShow(AXHTML, true); });
    connect(qApp, &QGuiApplication::applicationStateChanged, this, &TVentolixMainForm::RequestUpdateActions);
    // keys reach the window before its controls (Escape rules)
    qApp->installEventFilter(this);
    FormCreate();
}

TVentolixMainForm::~TVentolixMainForm()
{
    qApp->removeEventFilter(this);
}

void TVentolixMainForm::CreateActions()
{
    FileOpen = NewAction(this, QStringLiteral("LDT-Datei ö&ffnen..."), QStringLiteral("LDT-Datei öffnen"),
                         QStringLiteral("Vorhandene LDT-Datei öffnen"), QKeySequence(Qt::CTRL | Qt::Key_O));
    FileOpen->setIcon(VexIcon(QStringLiteral("open")));
    connect(FileOpen, &QAction::triggered, this, &TVentolixMainForm::FileOpenExecute);
    FileOpenWith = NewAction(this, QStringLiteral("LDT-Datei öffnen mit..."), QStringLiteral("LDT-Datei öffnen mit..."),
                             QStringLiteral("Vorhandene LDT-Datei öffnen mit..."));
    connect(FileOpenWith, &QAction::triggered, this, &TVentolixMainForm::FileOpenWithExecute);
    FileSaveAs = NewAction(this, QStringLiteral("LDT-Datei speichern &unter..."),
                           QStringLiteral("LDT-Datei speichern unter"),
                           QStringLiteral("Aktive LDT-Datei unter einem neuen Namen speichern"));
    FileSaveAs->setIcon(VexIcon(QStringLiteral("save-as")));
    connect(FileSaveAs, &QAction::triggered, this, &TVentolixMainForm::FileSaveAsExecute);
    FileClose = NewAction(this, QStringLiteral("LDT-Datei schliessen"), QStringLiteral("LDT-Datei schliessen"),
                          QStringLiteral("Geöffnete LDT-Datei schliessen"));
    FileClose->setIcon(VexIcon(QStringLiteral("close")));
    connect(FileClose, &QAction::triggered, this, [this]() {
        FLDTFrame->CloseLDTFile();
        RequestUpdateActions();
    });
    FileReopen = NewAction(this, QStringLiteral("LDT-Datei erneut öffnen"), QStringLiteral("LDT-Datei erneut öffnen"),
                           QStringLiteral("Vorhandene LDT-Datei erneut öffnen"));
    FileReopen->setIcon(VexIcon(QStringLiteral("reopen")));
    connect(FileReopen, &QAction::triggered, this, [this]() { OpenLDTFile(FLDTFrame->FileName()); });
    FileExit = NewAction(this, QStringLiteral("&Beenden"), QStringLiteral("Beenden"), QStringLiteral("Anwendung beenden"));
    FileExit->setIcon(VexIcon(QStringLiteral("quit")));
    connect(FileExit, &QAction::triggered, this, &QWidget::close);

    ActionXPM = NewAction(this, QStringLiteral("LDT-Datei mit KBV-XPM prüfen"),
                          QStringLiteral("LDT-Datei mit KBV-XPM prüfen (PDF-Ausgabe)"), QString(),
                          QKeySequence(Qt::CTRL | Qt::Key_P));
    ActionXPM->setIcon(VexIcon(QStringLiteral("xpm")));
    connect(ActionXPM, &QAction::triggered, this, &TVentolixMainForm::ActionXPMExecute);
    ActionSettings = NewAction(this, QStringLiteral("Einstellungen"), QStringLiteral("Ventolix-Einstellungen"), QString(),
                               QKeySequence(Qt::CTRL | Qt::Key_E));
    ActionSettings->setIcon(VexIcon(QStringLiteral("settings")));
    connect(ActionSettings, &QAction::triggered, this, [this]() { ShowOptionsDlg(this); });

    ActionSearchInFile = NewAction(this, QStringLiteral("In LDT-Datei suchen"), QStringLiteral("Suche in LDT-Datei"),
                                   QString(), QKeySequence(Qt::CTRL | Qt::Key_F));
    ActionSearchInFile->setIcon(VexIcon(QStringLiteral("search")));
    connect(ActionSearchInFile, &QAction::triggered, this, [this]() {
        ActivatePage(tabLDT);
        FLDTFrame->ActivateRightPage(0);
        if (QLineEdit *ed = FLDTFrame->EdSearch())
            ed->setFocus();
    });
    ActionGotoLine = NewAction(this, QStringLiteral("Gehe zu Zeile"), QStringLiteral("Gehe zu Zeile"), QString(),
                               QKeySequence(Qt::CTRL | Qt::Key_G));
    ActionGotoLine->setIcon(VexIcon(QStringLiteral("goto-line")));
    connect(ActionGotoLine, &QAction::triggered, this, [this]() {
        if (FLDTFrame->GotoLine())
            ActivatePage(tabLDT);
    });
    ActionAuskunft = NewAction(this, QStringLiteral("Feld- und Regel-Auskunft"), QStringLiteral("Feld- und Regel-Auskunft"),
                               QString(), QKeySequence(Qt::CTRL | Qt::Key_I));
    ActionAuskunft->setIcon(VexIcon(QStringLiteral("lookup")));
    connect(ActionAuskunft, &QAction::triggered, this, [this]() {
        ActivatePage(tabAuskunft);
        FEdAuskunft->setFocus();
    });
    ActionAbout = NewAction(this, QStringLiteral("&Info über"), QStringLiteral("Info über Ventolix"));
    ActionAbout->setIcon(VexIcon(QStringLiteral("about")));
    connect(ActionAbout, &QAction::triggered, this, [this]() { WBInfoShow(GetAboutXHTML(), true); });
    ActionCheckUpdates = NewAction(this, QStringLiteral("Auf Updates prüfen"), QStringLiteral("Auf Updates prüfen"));
    connect(ActionCheckUpdates, &QAction::triggered, this, [this]() { UpdateConfig(true); });

    // every shortcut works wherever the focus is in the window
    for (QAction *a : {FileOpen, FileOpenWith, FileSaveAs, FileClose, FileReopen, FileExit, ActionXPM, ActionSettings,
                       ActionSearchInFile, ActionGotoLine, ActionAuskunft, ActionAbout, ActionCheckUpdates})
        addAction(a);
}

QAction *TVentolixMainForm::AttachViewAction(QAction *AViewAction, const QString &ACaption)
{
    // the entry has its own caption and follows the view's action
    auto *a = new QAction(ACaption, this);
    a->setToolTip(AViewAction->toolTip());
    a->setStatusTip(AViewAction->statusTip());
    a->setShortcut(AViewAction->shortcut());
    a->setIcon(AViewAction->icon());
    auto follow = [a, AViewAction]() {
        a->setCheckable(AViewAction->isCheckable());
        a->setChecked(AViewAction->isChecked());
        a->setEnabled(AViewAction->isEnabled());
    };
    follow();
    connect(AViewAction, &QAction::changed, a, follow);
    connect(AViewAction, &QAction::toggled, a, follow);
    connect(a, &QAction::triggered, AViewAction, [a, AViewAction]() {
        AViewAction->trigger();
        a->setChecked(AViewAction->isChecked());
    });
    addAction(a);
    return a;
}

void TVentolixMainForm::CreateMenusAndToolBar()
{
    QMenu *datei = menuBar()->addMenu(QStringLiteral("&Datei"));
    datei->addAction(FileOpen);
    datei->addAction(FileOpenWith);
    datei->addAction(FileSaveAs);
    datei->addSeparator();
    datei->addAction(FileClose);
    datei->addAction(FileReopen);
    datei->addSeparator();
    datei->addAction(ActionXPM);
    datei->addSeparator();
    datei->addAction(ActionSettings);
    datei->addSeparator();
    datei->addAction(FileExit);

    QMenu *ansicht = menuBar()->addMenu(QStringLiteral("&Ansicht"));
    ansicht->addAction(AttachViewAction(FLDTFrame->ActionToggleBase64(), QStringLiteral("&Base64 ausblenden")));
    ansicht->addAction(AttachViewAction(FLDTFrame->ActionToggleLevelIndent(), QStringLiteral("Inhalte ein&rücken")));
    ansicht->addAction(AttachViewAction(FLDTFrame->ActionToggleShowDetail(), QStringLiteral("Zeige Details")));
    ansicht->addSeparator();
    ansicht->addAction(AttachViewAction(FLDTFrame->ActionColSettingsDlg(), QStringLiteral("&Spaltenauswahl")));

    QMenu *suche = menuBar()->addMenu(QStringLiteral("&Suche"));
    suche->addAction(ActionSearchInFile);
    suche->addAction(ActionGotoLine);
    suche->addAction(ActionAuskunft);

    QMenu *hilfe = menuBar()->addMenu(QStringLiteral("&Hilfe"));
    hilfe->addAction(ActionAbout);
    hilfe->addAction(ActionCheckUpdates);
    FMenus = {datei, ansicht, suche, hilfe};
    for (QMenu *m : FMenus)
        connect(m, &QMenu::aboutToShow, this, &TVentolixMainForm::UpdateActions);

    FToolBar = addToolBar(QStringLiteral("Werkzeuge"));
    FToolBar->setObjectName(QStringLiteral("ToolBar"));
    FToolBar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    FToolBar->setMovable(false);
    FToolBar->addAction(FileOpen);
    FToolBar->addAction(FileSaveAs);
    FToolBar->addSeparator();
    FToolBar->addAction(FileClose);
    FToolBar->addAction(FileReopen);
    FToolBar->addSeparator();
    FToolBar->addAction(ActionXPM);
    FToolBar->addSeparator();
    FToolBar->addAction(ActionAbout);
    FToolBar->addAction(ActionSettings);
}

void TVentolixMainForm::CreatePages()
{
    FPageControl = new TVexPageControl(this);
    FPageControl->setObjectName(QStringLiteral("PageControl"));
    setCentralWidget(FPageControl);

    // Startseite: link tree beside the browser (hidden until the tree has entries)
    CreateStartPage();

    // Feld- und Regel-Auskunft: search strip above the view
    FTabAuskunft = new QWidget(FPageControl);
    auto *auskunftLayout = new QVBoxLayout(FTabAuskunft);
    auskunftLayout->setContentsMargins(0, 0, 0, 0);
    auto *strip = new QWidget(FTabAuskunft);
    auto *stripLayout = new QHBoxLayout(strip);
    stripLayout->setContentsMargins(6, 4, 6, 4);
    auto *label = new QLabel(QStringLiteral("Suche nach:"), strip);
    FEdAuskunft = new QLineEdit(strip);
    FEdAuskunft->setObjectName(QStringLiteral("EdAuskunft"));
    FEdAuskunft->setPlaceholderText(QStringLiteral("Feldkennung oder Regel..."));
    FEdAuskunft->setMinimumWidth(220);
    // dropped files go to the window, not into the field as text
    FEdAuskunft->setAcceptDrops(false);
    FEdAuskunft->setMaximumWidth(300);
    label->setBuddy(FEdAuskunft);
    stripLayout->addWidget(label);
    stripLayout->addWidget(FEdAuskunft);
    // the table set the pages come from; a file that opens chooses its own
    FCBAuskunftVersion = new QComboBox(strip);
    FCBAuskunftVersion->setObjectName(QStringLiteral("CBAuskunftVersion"));
    FCBAuskunftVersion->setToolTip(QStringLiteral("LDT-Version der Feld- und Regeltabellen"));
    FCBAuskunftVersion->addItems(TLDT3TableSet::Versions());
    FCBAuskunftVersion->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    stripLayout->addWidget(FCBAuskunftVersion);
    stripLayout->addStretch(1);
    auskunftLayout->addWidget(strip);
    FWBAuskunftHost = new QWidget(FTabAuskunft);
    FWBAuskunftHost->setLayout(new QVBoxLayout);
    FWBAuskunftHost->layout()->setContentsMargins(0, 0, 0, 0);
    auskunftLayout->addWidget(FWBAuskunftHost, 1);
    connect(FEdAuskunft, &QLineEdit::textChanged, this, &TVentolixMainForm::ShowAuskunft);
    connect(FCBAuskunftVersion, &QComboBox::currentIndexChanged, this,
            [this]() { ShowAuskunft(FEdAuskunft->text()); });

    FTabInfo = new QWidget(FPageControl);
    FTabInfo->setLayout(new QVBoxLayout);
    FTabInfo->layout()->setContentsMargins(0, 0, 0, 0);

    FPageControl->addTab(FStartPage, QStringLiteral("Startseite"));
    FPageControl->addTab(FLDTFrame, QStringLiteral("LDT"));
    FPageControl->addTab(FTabAuskunft, QStringLiteral("Feld- und Regel-Auskunft"));
    FPageControl->addTab(FTabInfo, QStringLiteral("Information"));
    FPageControl->setTabVisible(tabStart, false);
    connect(FPageControl, &QTabWidget::currentChanged, this, &TVentolixMainForm::RequestUpdateActions);
}

void TVentolixMainForm::CreateStartPage()
{
    // the update address comes with the settings (Load)
    FStart = std::make_unique<TVentolixStart>(DefaultStartEnv(DefaultUpdateURL(), GetAppTitle()));
    FWBStart = TVexWebBrowser::CreateNamed(nullptr, QStringLiteral("WBStart"));
    // made after the view has its final page: it follows that page's back/forward state
    FWBStartAdapter = new TWebEngineStartBrowser(
        FWBStart, [](const QString &AURL) { TVexWebBrowser::NewWindow()->NavigateToURL(QUrl(AURL)); }, this);
    FStartPage = new TVentolixStartPage(*FStart, *FWBStartAdapter, FPageControl);
    FStartPage->setObjectName(QStringLiteral("TabStart"));
    ActionGoBack = FStartPage->ActionGoBack();
    ActionGoForward = FStartPage->ActionGoForward();
    ActionRefresh = FStartPage->ActionRefresh();
    ActionOpenLinkInNewWindow = FStartPage->ActionOpenLinkInNewWindow();
    connect(FStartPage, &TVentolixStartPage::StartTreeBuilt, this, [this](bool AHasEntries) {
        FPageControl->setTabVisible(tabStart, AHasEntries);
        if (AHasEntries)
            ActivatePage(tabStart);
    });
}

void TVentolixMainForm::FormCreate()
{
    UpdateCaption(QString());
    LoadRegistry();
    WBInfoShow(GetAboutXHTML(), true);
    ShowAuskunft(QString());
    UpdateConfig(false);
    UpdateActions();
}

void TVentolixMainForm::ProcessCommandLine(const QStringList &AArgs)
{
    if (AArgs.size() == 1)
        OpenLDTFile(AArgs.first());
    else if (AArgs.isEmpty() && !FPageControl->isTabVisible(tabStart))
        ActivatePage(tabInfo);
}

void TVentolixMainForm::PrepareForCommandLine(const QStringList &AArgs)
{
    if (AArgs.size() != 1)
        TVexWebBrowser::PrepareWindowForPages(this);
}

void TVentolixMainForm::UpdateConfig(bool AForceDownload)
{
    FStart->UpdateConfig(AForceDownload);
}

bool TVentolixMainForm::BuildStartTree()
{
    return FStart->BuildStartTree();
}

int TVentolixMainForm::TVStartWidth() const
{
    return FStartPage->TVStartWidth();
}

QString TVentolixMainForm::LastUpdateCheck() const
{
    return FStart->LastUpdateCheck();
}

void TVentolixMainForm::UpdateCaption(const QString &AFileName)
{
    // the tables that check the open file; the default ones without a file
    TLDT3TableSet set;
    if (FLDTFrame->FileIsOpen())
        set = FLDTFrame->LineList().PtrList()->TableSet();
    setWindowTitle(LDT3WindowTitle(GetAppTitle(), set, AFileName));
}

bool TVentolixMainForm::OpenLDTFile(const QString &AFileName)
{
    UpdateCaption(AFileName);
    bool ok = false;
    try {
        ok = FLDTFrame->OpenLDTFile(AFileName);
    } catch (const ELDT3Error &e) {
        ShowError(e.Message());
    }
    UpdateCaption(AFileName);
    if (FLDTFrame->FileIsOpen())
        SetAuskunftTableSet(FLDTFrame->LineList().PtrList()->TableSet());
    ActivatePage(tabLDT);
    RequestUpdateActions();
    return ok;
}

void TVentolixMainForm::ActivatePage(int AIndex)
{
    if (AIndex < 0 || AIndex >= FPageControl->count() || !FPageControl->isTabVisible(AIndex))
        return;
    FPageControl->setCurrentIndex(AIndex);
}

void TVentolixMainForm::WBInfoShow(const QString &AHTMLStr, bool AForceActive)
{
    if (!FWBInfo) {
        FWBInfo = TVexWebBrowser::CreateNamed(FTabInfo, QStringLiteral("WBInfo"));
        FWBInfo->SetLinksInNewWindow(true);
        FWBInfo->AboutBlank();
    }
    FWBInfo->LoadFromString(AHTMLStr);
    if (AForceActive)
        ActivatePage(tabInfo);
}

void TVentolixMainForm::WBAuskunftShow(const QString &AHTMLStr)
{
    if (!FWBAuskunft) {
        FWBAuskunft = TVexWebBrowser::CreateNamed(FWBAuskunftHost, QStringLiteral("WBAuskunft"));
        // not reached with the tab key
        FWBAuskunft->setFocusPolicy(Qt::ClickFocus);
        FWBAuskunft->AboutBlank();
    }
    FWBAuskunft->LoadFromString(AHTMLStr);
}

TLDT3TableSet TVentolixMainForm::AuskunftTableSet() const
{
    return TLDT3TableSet::At(FCBAuskunftVersion->currentIndex());
}

void TVentolixMainForm::SetAuskunftTableSet(const TLDT3TableSet &ASet)
{
    // shows the page of the set at once when it changes
    FCBAuskunftVersion->setCurrentIndex(ASet.Index());
}

QString TVentolixMainForm::AuskunftEmptyResult() const
{
    return FAuskunftEmptyResults.value(AuskunftTableSet().Version());
}

void TVentolixMainForm::ShowAuskunft(const QString &ASearchStr)
{
    const TLDT3TableSet set = AuskunftTableSet();
    TLDT3Data::TInfoTyp typ = TLDT3Data::itNone;
    QString page;
    if (ASearchStr.isEmpty()) {
        // the page for no query is made once per set
        QString &cached = FAuskunftEmptyResults[set.Version()];
        if (cached.isEmpty())
            cached = TLDT3Data::GetInfoXHTML(QString(), typ, set);
        page = cached;
    } else {
        page = TLDT3Data::GetInfoXHTML(ASearchStr, typ, set);
    }
    if (page == FAuskunftLastResult)
        return;
    FAuskunftLastResult = page;
    WBAuskunftShow(page);
}

void TVentolixMainForm::Load(TAppReg &AReg)
{
    using namespace TAppRegKeys;
    AReg.LoadForm(this, Main);
    FStart->SetUpdateURL(AReg.ReadString(Main, UpdateURL, DefaultUpdateURL()));
    FStart->SetLastUpdateCheck(AReg.ReadString(Main, TAppRegKeys::LastUpdateCheck, QString()));
    FStartPage->SetTVStartWidth(AReg.ReadInteger(Main, TVStart, 0));
    FFilterIndex = AReg.ReadInteger(Main, Filter, 1);
    FLDTFrame->Load(AReg, LDT);
}

void TVentolixMainForm::Save(TAppReg &AReg)
{
    using namespace TAppRegKeys;
    AReg.SaveForm(this, Main);
    AReg.WriteString(Main, TAppRegKeys::LastUpdateCheck, FStart->LastUpdateCheck());
    AReg.WriteInteger(Main, TVStart, FStartPage->TVStartWidth());
    AReg.WriteInteger(Main, Filter, FFilterIndex);
    FLDTFrame->Save(AReg, LDT);
}

void TVentolixMainForm::WithStore(void (TVentolixMainForm::*AStep)(TAppReg &))
{
    // the store is closed afterwards also after an error; the first error shows
    QString error;
    try {
        (this->*AStep)(GetAppReg());
    } catch (const ELDT3Error &e) {
        error = e.Message();
    }
    try {
        GetAppReg().Close();
    } catch (const ELDT3Error &e) {
        if (error.isEmpty())
            error = e.Message();
    }
    if (!error.isEmpty())
        ShowError(error);
}

void TVentolixMainForm::LoadRegistry()
{
    WithStore(&TVentolixMainForm::Load);
}

void TVentolixMainForm::SaveRegistry()
{
    WithStore(&TVentolixMainForm::Save);
}

void TVentolixMainForm::closeEvent(QCloseEvent *AEvent)
{
    SaveRegistry();
    QMainWindow::closeEvent(AEvent);
}

void TVentolixMainForm::ShowError(const QString &AText)
{
    GetMessageSink().ShowMessage(TMsgKind::mkError, GetAppTitle(), AText);
}

void TVentolixMainForm::ShowInfo(const QString &AText)
{
    GetMessageSink().ShowMessage(TMsgKind::mkInformation, GetAppTitle(), AText);
}

bool TVentolixMainForm::CurrentFileExists() const
{
    const QString name = FLDTFrame->FileName();
    return !name.isEmpty() && QFileInfo(name).isFile();
}

void TVentolixMainForm::RequestUpdateActions()
{
    FUpdateActionsTimer->start();
}

void TVentolixMainForm::UpdateActions()
{
    const bool exists = CurrentFileExists();
    const bool open = FLDTFrame->FileIsOpen();
    FileOpenWith->setEnabled(exists);
    FileSaveAs->setEnabled(exists);
    FileClose->setEnabled(open);
    FileReopen->setEnabled(exists && !open);
    ActionXPM->setEnabled(exists);
    ActionSearchInFile->setEnabled(open);
    ActionGotoLine->setEnabled(open);
}

QStringList TVentolixMainForm::OpenFilters()
{
    QStringList r;
    for (const TOpenFilter &f : OpenFilterTable())
        r << f.Description + QStringLiteral(" (") + f.Patterns + QLatin1Char(')');
    return r;
}

QStringList TVentolixMainForm::OpenFilterNames()
{
    QStringList r;
    for (const TOpenFilter &f : OpenFilterTable())
        r << f.Description;
    return r;
}

std::unique_ptr<QFileDialog> TVentolixMainForm::CreateOpenDialog()
{
    auto dlg = std::make_unique<QFileDialog>(this, QStringLiteral("LDT-Datei öffnen"));
    dlg->setAcceptMode(QFileDialog::AcceptOpen);
    dlg->setFileMode(QFileDialog::ExistingFile);
    // the description shows, the pattern behind it filters
    dlg->setOption(QFileDialog::HideNameFilterDetails, true);
    dlg->setOption(QFileDialog::DontUseNativeDialog, true);
    const QStringList filters = OpenFilters();
    dlg->setNameFilters(filters);
    if (FFilterIndex >= 1 && FFilterIndex <= filters.size())
        dlg->selectNameFilter(filters[FFilterIndex - 1]);
    const QString cur = FLDTFrame->FileName();
    if (!cur.isEmpty())
        dlg->setDirectory(QFileInfo(cur).absolutePath());
    return dlg;
}

void TVentolixMainForm::FileOpenExecute()
{
    std::unique_ptr<QFileDialog> dlg = CreateOpenDialog();
    if (dlg->exec() != QDialog::Accepted || dlg->selectedFiles().isEmpty())
        return;
    // the dialog names the chosen filter by its description
    const int idx = OpenFilterNames().indexOf(dlg->selectedNameFilter());
    if (idx >= 0)
        FFilterIndex = idx + 1;
    OpenLDTFile(dlg->selectedFiles().first());
}

void TVentolixMainForm::FileOpenWithExecute()
{
    if (!CurrentFileExists())
        return;
    // our chooser of the programs the desktop has for the file
    ShellOpenWithDlg(FLDTFrame->FileName());
}

std::unique_ptr<QFileDialog> TVentolixMainForm::CreateSaveDialog()
{
    const QFileInfo cur(FLDTFrame->FileName());
    auto dlg = std::make_unique<QFileDialog>(this, QStringLiteral("LDT-Datei speichern unter"), cur.absolutePath());
    dlg->setAcceptMode(QFileDialog::AcceptSave);
    dlg->setFileMode(QFileDialog::AnyFile);
    dlg->setOption(QFileDialog::DontUseNativeDialog, true);
    dlg->setOption(QFileDialog::HideNameFilterDetails, true);
    dlg->setNameFilters(OpenFilters());
    dlg->selectFile(cur.fileName());
    return dlg;
}

void TVentolixMainForm::FileSaveAsExecute()
{
    if (FLDTFrame->FileName().isEmpty())
        return;
    std::unique_ptr<QFileDialog> dlg = CreateSaveDialog();
    if (dlg->exec() != QDialog::Accepted || dlg->selectedFiles().isEmpty())
        return;
    const QString target = dlg->selectedFiles().first();
    if (target.isEmpty() || !CurrentFileExists())
        return;
    QString error;
    if (!SaveLDTCopy(target, error))
        GetMessageSink().ShowMessage(TMsgKind::mkInformation, QString(), error);
}

bool TVentolixMainForm::SaveLDTCopy(const QString &ATarget, QString &AError)
{
    QFile in(FLDTFrame->FileName());
    if (!in.open(QIODevice::ReadOnly)) {
        AError = in.errorString();
        return false;
    }
    QSaveFile out(ATarget);
    // unbuffered, so a failing write reports the system's reason
    if (!out.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        AError = out.errorString();
        return false;
    }
    QByteArray block(1 << 20, Qt::Uninitialized);
    for (;;) {
        const qint64 n = in.read(block.data(), block.size());
        if (n < 0) {
            AError = in.errorString();
            out.cancelWriting();
            return false;
        }
        if (n == 0)
            break;
        // a short write is retried: the next one tells the system's reason
        for (qint64 done = 0; done < n;) {
            const qint64 w = out.write(block.constData() + done, n - done);
            if (w <= 0) {
                AError = out.errorString();
                out.cancelWriting();
                return false;
            }
            done += w;
        }
    }
    if (!out.commit()) {
        AError = out.errorString();
        return false;
    }
    return true;
}

void TVentolixMainForm::ActionXPMExecute()
{
    const QString dir = TLDT3AppSettings::XPMDir();
    if (dir.isEmpty() || !QFileInfo(dir).isDir()) {
        ShowInfo(dir.isEmpty() ? QStringLiteral("Das Verzeichnis des LDT 3.0-Prüfmoduls muss angegeben werde.")
                               : QStringLiteral("Das Verzeichnis des LDT 3.0-Prüfmoduls wurde nicht gefunden."));
        ShowOptionsDlg(this);
    }
    const QString now = TLDT3AppSettings::XPMDir();
    if (now.isEmpty() || !QFileInfo(now).isDir())
        return;
    try {
        FLDTFrame->ActionXPMExecute();
    } catch (const ELDT3Error &e) {
        ShowError(e.Message());
    }
    ActivatePage(tabLDT);
    FLDTFrame->ActivateRightPage(4);
}

void TVentolixMainForm::dragEnterEvent(QDragEnterEvent *AEvent)
{
    const QList<QUrl> urls = AEvent->mimeData()->urls();
    if (!urls.isEmpty() && urls.first().isLocalFile())
        AEvent->acceptProposedAction();
}

void TVentolixMainForm::dropEvent(QDropEvent *AEvent)
{
    const QList<QUrl> urls = AEvent->mimeData()->urls();
    if (urls.isEmpty() || !urls.first().isLocalFile())
        return;
    AEvent->acceptProposedAction();
    // the first file only; the others are ignored
    const QString name = urls.first().toLocalFile();
    // opened after the drop has finished, so the source is not kept waiting
    QTimer::singleShot(0, this, [this, name]() { OpenLDTFile(name); });
}

bool TVentolixMainForm::eventFilter(QObject *AWatched, QEvent *AEvent)
{
    if (AEvent->type() == QEvent::KeyPress && static_cast<QKeyEvent *>(AEvent)->key() == Qt::Key_Escape &&
        static_cast<QKeyEvent *>(AEvent)->modifiers() == Qt::NoModifier) {
        auto *w = qobject_cast<QWidget *>(AWatched);
        if (w && w->window() == this && HandleEscape())
            return true;
    }
    return QMainWindow::eventFilter(AWatched, AEvent);
}

bool TVentolixMainForm::HandleEscape()
{
    QWidget *focus = QApplication::focusWidget();
    if (!focus || focus->window() != this)
        return false;
    if (IsInside(focus, FWBInfo) || IsInside(focus, FWBAuskunft)) {
        ActivatePage(tabLDT);
        return true;
    }
    if (focus == FEdAuskunft) {
        if (!FEdAuskunft->text().isEmpty())
            FEdAuskunft->clear();
        else
            ActivatePage(tabLDT);
        return true;
    }
    if ((focus == FPageControl || focus == FPageControl->tabBar()) && FPageControl->currentIndex() == tabAuskunft) {
        FEdAuskunft->setFocus();
        FEdAuskunft->clear();
        return true;
    }
    return false;
}

QString TVentolixMainForm::GetAboutXHTML() const
{
    const QString title = GetAppTitle();
    TBufferedString head;
    TLDT3Html::AddStyleBegin(head);
    head.AddLine(QStringLiteral("body { font-family: \"Lucida Sans\", \"Lucida Sans Unicode\", \"DejaVu Sans\", "
                                "Verdana, Arial, sans-serif; font-size: 10pt; color: #26348C; margin: 20px; }"));
    head.AddLine(QStringLiteral("p.center { text-align: center; }"));
    head.AddLine(QStringLiteral("p.left { text-align: left; }"));
    head.AddLine(QStringLiteral("p.product { text-align: center; font-size: 24pt; font-weight: bold; color: #BA0066; "
                                "margin: 6px 0; }"));
    head.AddLine(QStringLiteral("p.small { text-align: center; font-size: 8pt; color: #26348C; }"));
    head.AddLine(QStringLiteral("hr { border: 0; height: 1px; background-color: #C0C0C0; color: #C0C0C0; }"));
    head.AddLine(QStringLiteral("a { color: #BA0066; }"));
    TLDT3Html::AddStyleEnd(head);

    TBufferedString body;
    const QPixmap logo = VexIcon(QStringLiteral("ventolix")).pixmap(128, 128);
    if (!logo.isNull()) {
        QByteArray png;
        QBuffer buf(&png);
        buf.open(QIODevice::WriteOnly);
        logo.save(&buf, "PNG");
        body.AddLine(QStringLiteral("<p class=\"center\"><img src=\"data:image/png;base64,%1\" alt=\"%2\" "
                                    "width=\"128\" height=\"128\" /></p>")
                         .arg(QString::fromLatin1(png.toBase64()), XmlEscape(title)));
    }
    body.AddLine(QStringLiteral("<hr />"));
    body.AddLine(QStringLiteral("<p class=\"product\">%1</p>").arg(XmlEscape(title)));
    body.AddLine(QStringLiteral("<p class=\"center\">Linux-Edition</p>"));
    body.AddLine(QStringLiteral("<p class=\"center\">") +
                 XmlEscape(Format(QStringLiteral("Version %s"), {GetFileVersionInfo().FileVersion()})) +
                 QStringLiteral("</p>"));
    body.AddLine(QStringLiteral("<p class=\"center\">Tool zum Anzeigen und Analysieren<br />von LDT 3.x Dateien</p>"));
    body.AddLine(QStringLiteral("<hr />"));
    // placeholder contact data: no real address, numbers or domains
    body.AddLine(QStringLiteral("<p class=\"center\">Norvalis GmbH<br />Beispielweg 0<br />00000 Musterstadt</p>"));
    body.AddLine(QStringLiteral("<p class=\"center\">Telefon: +49 (0) 000 0000000-0<br />"
                                "Fax: +49 (0) 000 0000000-9</p>"));
    body.AddLine(QStringLiteral("<p class=\"center\"><a href=\"https://www.norvalis.example/\">www.norvalis.example</a>"
                                "<br /><a href=\"mailto:info@norvalis.example\">info@norvalis.example</a></p>"));
    body.AddLine(QStringLiteral("<hr />"));
    body.AddLine(QStringLiteral("<p class=\"small\">© Norvalis GmbH. Alle Rechte vorbehalten.</p>"));
    return XHTMLTransitionalDoc(title, head.AsString(), body.AsString());
}
