// The main window: tabs for the start page, the document view, the field and
// rule lookup and information pages; menus, tool bar and the file actions;
// start-up, command line, drag and drop, window title and settings.
#pragma once

#include "LDT3.TableSet.h"

#include <QHash>
#include <QMainWindow>
#include <QStringList>

#include <memory>

class QAction;
class QComboBox;
class QFileDialog;
class QLabel;
class QLineEdit;
class QMenu;
class QSplitter;
class QTabWidget;
class QTimer;
class QToolBar;
class QTreeWidget;
class TAppReg;
class TLDTFrame;
class TVexWebBrowser;
class TVentolixStart;
class TVentolixStartPage;
class TWebEngineStartBrowser;

class TVentolixMainForm : public QMainWindow
{
    Q_OBJECT
public:
    // Tabs, in this order.
    enum { tabStart = 0, tabLDT = 1, tabAuskunft = 2, tabInfo = 3 };
    // The window's design size.
    static constexpr int DesignWidth = 1111;
    static constexpr int DesignHeight = 628;

    explicit TVentolixMainForm(QWidget *AParent = nullptr);
    ~TVentolixMainForm() override;

    // Exactly one argument is a file to open; more are ignored.
    void ProcessCommandLine(const QStringList &AArgs);
    // Before the window is first shown: without a file to open it shows a web
    // page at once (start or information page), so it is made for pages from
    // the start; with a file it stays a plain window, whose list and raw text
    // repaint faster, until the user first shows a page.
    void PrepareForCommandLine(const QStringList &AArgs);

    // Title, open in the document view, show the "LDT" tab.
    bool OpenLDTFile(const QString &AFileName);
    // Shows the tab; an index outside the visible tabs is ignored.
    void ActivatePage(int AIndex);
    void WBInfoShow(const QString &AHTMLStr, bool AForceActive);
    void WBAuskunftShow(const QString &AHTMLStr);
    void ShowAuskunft(const QString &ASearchStr);
    // The table set the lookup tab shows (its combo box).
    TLDT3TableSet AuskunftTableSet() const;
    void SetAuskunftTableSet(const TLDT3TableSet &ASet);
    // Daily start-page update; ends by building the start tree.
    void UpdateConfig(bool AForceDownload);
    // True when the start tree got entries ("Startseite" then shows).
    bool BuildStartTree();

    void Load(TAppReg &AReg);
    void Save(TAppReg &AReg);
    // Load/Save on the process-wide store, closing it afterwards also after an error.
    void LoadRegistry();
    void SaveRegistry();

    // Copies the open file unchanged to ATarget (through a temporary file
    // beside it, so a failed copy leaves an existing ATarget as it was).
    // False with the system's error text in AError.
    bool SaveLDTCopy(const QString &ATarget, QString &AError);
    QString GetAboutXHTML() const;
    void UpdateCaption(const QString &AFileName);

    // The dialogs the actions show, built and configured but not run.
    std::unique_ptr<QFileDialog> CreateOpenDialog();
    std::unique_ptr<QFileDialog> CreateSaveDialog();
    // The open-dialog filters as shown ("description (patterns)").
    static QStringList OpenFilters();
    // Their descriptions, as the dialog shows them.
    static QStringList OpenFilterNames();

    // Re-evaluates every action's enabled state now.
    void UpdateActions();

    // Parts, for the program's tests.
    TLDTFrame *LDTFrame() const { return FLDTFrame; }
    QTabWidget *PageControl() const { return FPageControl; }
    QLineEdit *EdAuskunft() const { return FEdAuskunft; }
    QComboBox *CBAuskunftVersion() const { return FCBAuskunftVersion; }
    TVentolixStartPage *StartPage() const { return FStartPage; }
    TVentolixStart &Start() const { return *FStart; }
    TVexWebBrowser *WBInfo() const { return FWBInfo; }
    TVexWebBrowser *WBAuskunft() const { return FWBAuskunft; }
    // The cached page for the empty query of the set shown.
    QString AuskunftEmptyResult() const;
    const QString &AuskunftLastResult() const { return FAuskunftLastResult; }
    int FilterIndex() const { return FFilterIndex; }
    int TVStartWidth() const;
    QString LastUpdateCheck() const;
    QList<QMenu *> Menus() const { return FMenus; }
    QToolBar *ToolBar() const { return FToolBar; }

    QAction *FileOpen = nullptr;
    QAction *FileOpenWith = nullptr;
    QAction *FileSaveAs = nullptr;
    QAction *FileClose = nullptr;
    QAction *FileReopen = nullptr;
    QAction *FileExit = nullptr;
    QAction *ActionXPM = nullptr;
    QAction *ActionSettings = nullptr;
    QAction *ActionSearchInFile = nullptr;
    QAction *ActionGotoLine = nullptr;
    QAction *ActionAuskunft = nullptr;
    QAction *ActionAbout = nullptr;
    QAction *ActionCheckUpdates = nullptr;
    // the start page's own actions
    QAction *ActionGoBack = nullptr;
    QAction *ActionGoForward = nullptr;
    QAction *ActionRefresh = nullptr;
    QAction *ActionOpenLinkInNewWindow = nullptr;

protected:
    void closeEvent(QCloseEvent *AEvent) override;
    void dragEnterEvent(QDragEnterEvent *AEvent) override;
    void dropEvent(QDropEvent *AEvent) override;
    bool eventFilter(QObject *AWatched, QEvent *AEvent) override;

private:
    void CreateActions();
    void CreateMenusAndToolBar();
    void CreatePages();
    // The document view's action carried by an entry of the "Ansicht" menu.
    QAction *AttachViewAction(QAction *AViewAction, const QString &ACaption);
    void FormCreate();
    // Runs a load or save step on the process-wide store and closes it.
    void WithStore(void (TVentolixMainForm::*AStep)(TAppReg &));
    // Queues one re-evaluation of the enable rules for when the loop is idle.
    void RequestUpdateActions();
    bool HandleEscape();
    void ShowError(const QString &AText);
    void ShowInfo(const QString &AText);
    bool CurrentFileExists() const;

    void FileOpenExecute();
    void FileOpenWithExecute();
    void FileSaveAsExecute();
    void ActionXPMExecute();
    void CreateStartPage();

    TLDTFrame *FLDTFrame = nullptr;
    TVexWebBrowser *FWBInfo = nullptr;
    TVexWebBrowser *FWBAuskunft = nullptr;
    TVexWebBrowser *FWBStart = nullptr;
    QTabWidget *FPageControl = nullptr;
    QWidget *FTabAuskunft = nullptr;
    QWidget *FTabInfo = nullptr;
    QWidget *FWBAuskunftHost = nullptr;
    QLineEdit *FEdAuskunft = nullptr;
    QComboBox *FCBAuskunftVersion = nullptr;
    std::unique_ptr<TVentolixStart> FStart;
    TWebEngineStartBrowser *FWBStartAdapter = nullptr;
    TVentolixStartPage *FStartPage = nullptr;
    QToolBar *FToolBar = nullptr;
    QList<QMenu *> FMenus;
    QTimer *FUpdateActionsTimer = nullptr;

    // the page for the empty query, per table set version
    QHash<QString, QString> FAuskunftEmptyResults;
    QString FAuskunftLastResult;
    int FFilterIndex = 1;
};
