// The start page's browser over a QWebEngineView (the program's HTML view
// is one): history, reload without cache, and links in a new window.
#pragma once

#include "VentolixStartPage.h"

#include <functional>

class QWebEngineView;
class TVexWebBrowser;

class TWebEngineStartBrowser : public IStartBrowser
{
    Q_OBJECT
public:
    // Opens an address in a new window; without one the desktop's browser opens it.
    using TOpenInNewWindow = std::function<void(const QString &)>;
    // AView stays owned by whoever places it (the start page takes it as a child).
    explicit TWebEngineStartBrowser(QWebEngineView *AView, TOpenInNewWindow AOpenInNewWindow = {},
                                    QObject *AParent = nullptr);

    QWidget *View() override;
    void NavigateToURL(const QString &AURL, bool AInNewWindow) override;
    void GoBack() override;
    void GoForward() override;
    void Reload() override;
    bool CanGoBack() const override;
    bool CanGoForward() const override;

private:
    QWebEngineView *FView;
    // the program's view: it starts WebEngine only when it shows a page
    TVexWebBrowser *FVexView = nullptr;
    TOpenInNewWindow FOpenInNewWindow;
};
