// The document view of the "LDT" tab: one open LDT file shown as the LDT
// tree and the error tree on the left, and on the right the line list, the
// raw text, the file information and field statistics pages and the test
// module's protocol. List and raw text follow each other without echoes.
#pragma once

#include "LDT3.ListModel.h"

#include <QList>
#include <QWidget>

#include <memory>

class QAction;
class QLabel;
class QLineEdit;
class QMenu;
class QSplitter;
class QStatusBar;
class QTabWidget;
class QToolBar;
class QTreeView;
class TAppReg;
class TLDTDetailDlg;
class TLDTFrameActions;
class TLDT3LineList;
class TLDT3ListView;
class TLDT3RawView;
class TLDT3TreeModel;
class TLDT3Node;
class TVexWebBrowser;

class TLDTFrame : public QWidget
{
    Q_OBJECT
public:
    // More invalid lines than this reject a file.
    static constexpr int MaxInvalidLines = 30;
    static constexpr int SearchFieldWidth = 121;

    explicit TLDTFrame(QWidget *AParent = nullptr);
    ~TLDTFrame() override;

    // True when the file was shown; false when it was rejected. Errors of the
    // operating system pass on as ELDT3Error after the view was reset.
    bool OpenLDTFile(const QString &AFileName);
    // True when no file is open any more.
    bool CloseLDTFile();
    // No file shown: no range, empty trees, list and raw text, pages hidden.
    void Clear();
    // The file opened last, as an absolute name (kept after closing).
    QString FileName() const;
    bool FileIsOpen() const;
    TLDT3LineList &LineList() const { return *FLineList; }

    // Right pages in their order, and the left ones.
    enum { pageList = 0, pageRaw = 1, pageFileInfo = 2, pageFileStat = 3, pageXPM = 4 };
    enum { pageLDTTree = 0, pageErrors = 1 };
    // Shows a page; pages it does not have, or hidden ones, are ignored.
    void ActivateRightPage(int AIndex);
    void ActivateLeftPage(int AIndex);
    // The right page shown.
    int RightPage() const;
    bool RightPageVisible(int AIndex) const;
    bool LeftPageVisible(int AIndex) const;
    bool XPMPageVisible() const { return RightPageVisible(pageXPM); }

    // The LDT tree's context menu for an item (its attachments' commands);
    // empty for an item without attachments or no item.
    std::unique_ptr<QMenu> CreateTVContextMenu(const QModelIndex &AItem);

    // Runs the test module on the file (messages, then the PDF protocol,
    // shown on the page "XPM-Prüfprotokoll"); false when no protocol came.
    bool ActionXPMExecute();

    // The HTML views, null until first used.
    TVexWebBrowser *FileInfoView() const { return FWBFileInfo; }
    TVexWebBrowser *FileStatView() const { return FWBFileStat; }
    TVexWebBrowser *XPMView() const { return FWBXPM; }
    void WBShowFileInfo(const QString &AHTMLStr);
    void WBShowFileStat(const QString &AHTMLStr);
    // A local file (the PDF protocol); empty: an empty page.
    bool WBShowXPMFile(const QString &AFileName);

    QLineEdit *EdSearch() const { return FEdSearch; }
    // Runs "go to line"; false when it did not run.
    bool GotoLine();
    // The view's commands, menus and search.
    TLDTFrameActions *Actions() const { return FActions; }

    QAction *ActionToggleBase64() const { return FActionToggleBase64; }
    QAction *ActionToggleLevelIndent() const { return FActionToggleLevelIndent; }
    QAction *ActionToggleShowDetail() const { return FActionToggleShowDetail; }
    QAction *ActionColSettingsDlg() const { return FActionColSettingsDlg; }
    bool LevelIndent() const;
    bool IgnoreBase64Lines() const;

    // The list and raw text.
    TLDT3ListView *ListView() const { return FLV; }
    TLDT3ListModel *ListModel() const { return FListModel; }
    TLDT3RawView *RawView() const { return FRaw; }
    QTreeView *LDTTree() const { return FTV; }
    QTreeView *ErrorTree() const { return FTVErrors; }
    TLDT3TreeModel *LDTTreeModel() const { return FTVModel; }
    TLDT3TreeModel *ErrorTreeModel() const { return FTVErrorsModel; }
    // Select the tree item of the current line without the tree's own
    // selection handling; true when found.
    bool TrySyncTV();
    bool TrySyncTVErrors();
    TColumnInfos &ColumnInfo() { return FColumnInfo; }
    const QList<int> &CurrentOrder() const { return FCurrentOrder; }
    void RefreshLVColumns();
    void SynchLVColumnInfo();

    // Selection: the selected row's line and its number (null / 0 when none).
    TLDT3Line *CurrentLine() const;
    int CurrentZeile() const;
    // Raw text and list to line ALineNo (a hidden line: the nearest shown one before it).
    bool GotoNearestZeile(int ALineNo);
    bool GotoLDT3Line(const TLDT3Line *ALine);
    // The marked range of 0-based lines; -1, -1 for none.
    void SetRange(int AStart, int AEnde);
    int RangeStart() const { return FStart; }
    int RangeEnde() const { return FEnde; }

    // The detail dialog of the current line (owned; one per view).
    TLDTDetailDlg *DetailDlg() const { return FDetailDlg; }
    bool DetailDlgShowing() const;
    void ShowDetailDlg();
    void HideDetailDlg();

    void RebuildLines();
    void ResetLines();

    int PCLeftWidth() const { return FPCLeftWidth; }
    void Load(TAppReg &AReg, const QString &ASection);
    void Save(TAppReg &AReg, const QString &ASection);

    // Status lines: the frame's, the list's top line, the raw text's, the trees'.
    QString StatusText() const;
    QString StatusBarTopText() const;
    QString RawStatusText() const;
    QString TreeStatusText() const;
    QString ErrorTreeStatusText() const;
    QStatusBar *StatusBar() const { return FStatusBar; }
    QString StatusPanelText(int APanel) const;
    void UpdateStatusBarTop(const QString &S);
    void UpdateStatusBarFrame(const QString &S);
    void SetStatusPanelText(int APanel, const QString &S);

Q_SIGNALS:
    // An information page for the host to show.
    void ShowXHTML(const QString &ACaption, const QString &AXHTML);
    // The file was opened or closed.
    void StateChanged();

protected:
    void resizeEvent(QResizeEvent *AEvent) override;
    void showEvent(QShowEvent *AEvent) override;

private:
    void BuildListPage(QWidget *APage);
    TVexWebBrowser *EnsureBrowser(TVexWebBrowser *&AView, int APage, const QString &AName);
    void SetRightPageVisible(int AIndex, bool AVisible);
    void SetLeftPageVisible(int AIndex, bool AVisible);
    void SetTreeStatus(const QString &S);
    void UpdateLineStatus();
    void OnLVSelectionChanged(int ARow);
    void UpdateActions();
    void FillTrees();
    void OnTVSelected(const QModelIndex &AIndex);
    void OnTVErrorsSelected(const QModelIndex &AIndex);
    void OnTVContextMenu(const QPoint &APos);
    void OnTVDoubleClicked(const QModelIndex &AIndex);
    // Where saving an attachment starts: the folder of the file.
    QString AnlageSaveDir() const;
    void UpdateAnhangMark();
    bool SyncTree(QTreeView *ATree, TLDT3TreeModel *AModel, const TLDT3Node *ANode);
    void ApplyLeftWidth();
    void SplitterMoved();

    std::unique_ptr<TLDT3LineList> FLineList;
    TColumnInfos FColumnInfo;
    QList<int> FCurrentOrder;
    qint32 FStart = -1;
    qint32 FEnde = -1;
    qint32 FPCLeftWidth = 0;

    QLabel *FStatusFrame = nullptr;
    QSplitter *FSplitter = nullptr;
    QTabWidget *FPCLeft = nullptr;
    QTabWidget *FPCRight = nullptr;
    QList<QWidget *> FLeftPages;
    QList<QWidget *> FRightPages;
    QLabel *FTVStatus = nullptr;
    QLabel *FTVErrorsStatus = nullptr;
    QTreeView *FTV = nullptr;
    QTreeView *FTVErrors = nullptr;
    TLDT3TreeModel *FTVModel = nullptr;
    TLDT3TreeModel *FTVErrorsModel = nullptr;
    // the item of the first line of the selected attachment
    const TLDT3Node *FAnhangNode = nullptr;
    // set while the view itself moves a tree's selection
    bool FSyncingTree = false;
    QToolBar *FNavBar = nullptr;
    QToolBar *FSearchBar = nullptr;
    QLineEdit *FEdSearch = nullptr;
    QLabel *FStatusBarTop = nullptr;
    TLDT3ListModel *FListModel = nullptr;
    TLDT3ListView *FLV = nullptr;
    QStatusBar *FStatusBar = nullptr;
    QList<QLabel *> FPanels;
    TLDT3RawView *FRaw = nullptr;
    QLabel *FRawStatus = nullptr;
    TVexWebBrowser *FWBFileInfo = nullptr;
    TVexWebBrowser *FWBFileStat = nullptr;
    TVexWebBrowser *FWBXPM = nullptr;
    QAction *FActionToggleBase64 = nullptr;
    QAction *FActionToggleLevelIndent = nullptr;
    QAction *FActionToggleShowDetail = nullptr;
    QAction *FActionColSettingsDlg = nullptr;
    TLDTDetailDlg *FDetailDlg = nullptr;
    TLDTFrameActions *FActions = nullptr;
};
