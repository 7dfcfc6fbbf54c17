// The "Startseite" tab: the tree of links from config.xml beside a browser,
// with back, forward, refresh and an address line. The page talks to its
// browser only through IStartBrowser, so that any HTML view can serve.
#pragma once

#include "VentolixStart.h"

#include <QWidget>

class QAction;
class QLineEdit;
class QMenu;
class QSplitter;
class QToolBar;
class QTreeWidget;
class QTreeWidgetItem;

// What the start page needs of a browser.
class IStartBrowser : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;
    // The widget that shows the pages (placed into the page; not owned by it).
    virtual QWidget *View() = 0;
    // Opens AURL in place, or in a new browser window.
    virtual void NavigateToURL(const QString &AURL, bool AInNewWindow) = 0;
    virtual void GoBack() = 0;
    virtual void GoForward() = 0;
    // Reloads completely, bypassing the cache.
    virtual void Reload() = 0;
    virtual bool CanGoBack() const = 0;
    virtual bool CanGoForward() const = 0;

Q_SIGNALS:
    // A navigation in the view starts (also a link the user follows).
    void BeforeNavigate(const QString &AURL);
    // CanGoBack or CanGoForward may have changed.
    void CommandStateChanged();
};

class TVentolixStartPage : public QWidget
{
    Q_OBJECT
public:
    // AStart fills this page's tree from now on (BuildStartTree, UpdateConfig).
    TVentolixStartPage(TVentolixStart &AStart, IStartBrowser &ABrowser, QWidget *AParent = nullptr);
    ~TVentolixStartPage() override;

    // Shows the entries of AVentolix (null: none); selects and opens the
    // first. True when the tree has entries. Emits StartTreeBuilt.
    bool FillStartTree(const IXMLVentolix &AVentolix);
    // Loads the configuration and fills the tree.
    bool BuildStartTree() { return FStart.BuildStartTree(); }

    // Opens what a tree entry stands for (nothing for an empty address).
    void TVStartClick(QTreeWidgetItem *AItem);
    // Context menu at APos (tree viewport coordinates): remembers the entry's
    // address for "Link in neuem Fenster öffnen".
    void PopupMenuStartPopup(const QPoint &APos);
    void WBStartNavigateToURL(const QString &AURL, bool AInNewWindow);

    QString StartURL() const { return FStartURL; }
    // Width of the tree (persisted as "Main"/"TVStart"; 0 or less: a fifth).
    int TVStartWidth() const { return FTVStartWidth; }
    void SetTVStartWidth(int AWidth);

    QTreeWidget *TVStart() const { return FTVStart; }
    QLineEdit *PanelURL() const { return FPanelURL; }
    QSplitter *Splitter() const { return FSplitter; }
    QMenu *PopupMenuStart() const { return FPopupMenuStart; }
    QAction *ActionGoBack() const { return FActionGoBack; }
    QAction *ActionGoForward() const { return FActionGoForward; }
    QAction *ActionRefresh() const { return FActionRefresh; }
    QAction *ActionOpenLinkInNewWindow() const { return FActionOpenLinkInNewWindow; }

Q_SIGNALS:
    // The tree was filled; the tab is to be visible exactly when AHasEntries.
    void StartTreeBuilt(bool AHasEntries);

protected:
    void resizeEvent(QResizeEvent *AEvent) override;
    void showEvent(QShowEvent *AEvent) override;

private:
    void WBStartCommandStateChange();
    void SplitterMoved();
    void ApplyTVStartWidth();

    TVentolixStart &FStart;
    IStartBrowser &FBrowser;
    IXMLVentolix FIVentolix; // the tree's items point into it
    QTreeWidget *FTVStart = nullptr;
    QSplitter *FSplitter = nullptr;
    QToolBar *FToolBar = nullptr;
    QLineEdit *FPanelURL = nullptr;
    QMenu *FPopupMenuStart = nullptr;
    QAction *FActionGoBack = nullptr;
    QAction *FActionGoForward = nullptr;
    QAction *FActionRefresh = nullptr;
    QAction *FActionOpenLinkInNewWindow = nullptr;
    QString FStartURL;
    int FTVStartWidth = 0;
    bool FTVStartWidthAuto = false; // a fifth of the page, not chosen by anyone
};
