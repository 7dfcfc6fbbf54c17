// The HTML view of every page the program shows, over Qt WebEngine: pages
// from strings, local files (PDF files in WebEngine's viewer), navigation in
// place or in a new top-level window, back/forward state and reload.
//
// A view starts WebEngine only when it first shows a page: what a hidden view
// is asked to show waits until the view appears, so pages on tabs nobody
// looks at cost neither Chromium's start nor a renderer.
#pragma once

#include <QUrl>
#include <QWebEngineView>

#include <functional>

class QWebEnginePage;

class TVexWebBrowser : public QWebEngineView
{
    Q_OBJECT
public:
    // Pages up to this size (UTF-8 bytes) are handed to WebEngine directly.
    static constexpr qsizetype MaxDirectContent = 1800 * 1024;

    explicit TVexWebBrowser(QWidget *AParent = nullptr);
    // A view with an object name; a parent widget also becomes its container.
    static TVexWebBrowser *CreateNamed(QWidget *AOwner, const QString &AName);

    // Sets what WebEngine needs before the application object exists: shared
    // OpenGL contexts, and no Chromium sandbox when running as root (Chromium
    // refuses to start its sandbox there). Call first thing in main().
    static void PrepareApplication();

    // WebEngine draws through OpenGL, and a window learns that when its first
    // page appears: the window is then made anew (it blinks, a window manager
    // may place it elsewhere). A window prepared before it is first shown is
    // made for pages from the start, at a price: everything it repaints is
    // then composed through OpenGL, which under software OpenGL makes each
    // step in the line list about 15 ms slower. So only windows that show a
    // page at once are prepared. Does nothing on the headless test platforms.
    static void PrepareWindowForPages(QWidget *AWindow);
    static bool IsWindowPreparedForPages(const QWidget *AWindow);

    // "about:<AText>", "about:blank" for an empty text.
    void About(const QString &AText);
    void AboutBlank();
    // Shows the text as a page (UTF-8, base URL "about:blank"; a page larger
    // than MaxDirectContent from a temporary file); empty text: blank page.
    void LoadFromString(const QString &AText);
    // False when the file does not exist; a PDF file shows in the PDF viewer.
    bool NavigateToLocalFile(const QString &AFileName);
    // In this view, or in a new top-level window of ours.
    void NavigateToURL(const QUrl &AURL, bool AInNewWindow = false);

    // Followed links open in a new window (mailto: goes to the mail program).
    void SetLinksInNewWindow(bool AValue) { FLinksInNewWindow = AValue; }
    bool LinksInNewWindow() const { return FLinksInNewWindow; }

    bool CanGoBack() const;
    bool CanGoForward() const;
    // Reloads the page bypassing the cache.
    void RefreshNoCache();

    // The text last given to LoadFromString (empty after other navigation).
    const QString &LoadedString() const { return FLoadedString; }

    // Whether WebEngine's page exists (made when the view first shows a page).
    bool HasPage() const { return FPage != nullptr; }
    // What the view was asked to show waits until it is visible.
    bool LoadPending() const { return bool(FPending); }
    // Our page, made now if needed (starts WebEngine); use it rather than page().
    QWebEnginePage *Page();

    // A new top-level view of ours (deleted when closed).
    static TVexWebBrowser *NewWindow();
    // Deletes the windows NewWindow made (before the application ends).
    static void CloseWindows();

Q_SIGNALS:
    void NavigationStateChanged(bool ACanGoBack, bool ACanGoForward);
    // Before a navigation of the main frame starts.
    void BeforeNavigate(const QUrl &AURL);

protected:
    QWebEngineView *createWindow(QWebEnginePage::WebWindowType AType) override;
    void showEvent(QShowEvent *AEvent) override;
    void childEvent(QChildEvent *AEvent) override;
    bool eventFilter(QObject *AWatched, QEvent *AEvent) override;

private:
    friend class TVexWebPage;
    // True when the navigation may go on in this view.
    bool AcceptNavigation(const QUrl &AURL, bool ALinkClicked, bool AMainFrame);
    void RefuseDrops(QObject *AObject);
    // Runs ALoad now when the view is visible, else when it appears.
    void Request(std::function<void()> ALoad);
    void RunPending();

    bool FLinksInNewWindow = false;
    QString FLoadedString;
    QWebEnginePage *FPage = nullptr;
    std::function<void()> FPending;
};
