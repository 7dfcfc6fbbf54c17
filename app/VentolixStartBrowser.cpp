#include "VentolixStartBrowser.h"

#include "Vex_WebBrowser.h"

#include <QAction>
#include <QDesktopServices>
#include <QUrl>
#include <QWebEngineHistory>
#include <QWebEngineView>

TWebEngineStartBrowser::TWebEngineStartBrowser(QWebEngineView *AView, TOpenInNewWindow AOpenInNewWindow,
                                               QObject *AParent)
    : IStartBrowser(AParent), FView(AView), FOpenInNewWindow(std::move(AOpenInNewWindow))
{
    // a link the user follows shows its address as soon as the view takes it
    connect(FView, &QWebEngineView::urlChanged, this, [this](const QUrl &AURL) {
        Q_EMIT BeforeNavigate(AURL.toString());
        Q_EMIT CommandStateChanged();
    });
    connect(FView, &QWebEngineView::loadFinished, this, [this]() { Q_EMIT CommandStateChanged(); });
    // asking a plain view for its actions makes its page; ours reports them without
    FVexView = qobject_cast<TVexWebBrowser *>(AView);
    if (FVexView)
        connect(FVexView, &TVexWebBrowser::NavigationStateChanged, this, [this]() { Q_EMIT CommandStateChanged(); });
    else
        for (auto action : {QWebEnginePage::Back, QWebEnginePage::Forward})
            connect(FView->pageAction(action), &QAction::changed, this, [this]() { Q_EMIT CommandStateChanged(); });
}

QWidget *TWebEngineStartBrowser::View()
{
    return FView;
}

void TWebEngineStartBrowser::NavigateToURL(const QString &AURL, bool AInNewWindow)
{
    if (!AInNewWindow && FVexView)
        FVexView->NavigateToURL(QUrl(AURL)); // shown when the start page is
    else if (!AInNewWindow)
        FView->setUrl(QUrl(AURL)); // errors show in the view; nothing waits for the page
    else if (FOpenInNewWindow)
        FOpenInNewWindow(AURL);
    else
        QDesktopServices::openUrl(QUrl(AURL));
}

void TWebEngineStartBrowser::GoBack()
{
    if (CanGoBack())
        FView->back();
}

void TWebEngineStartBrowser::GoForward()
{
    if (CanGoForward())
        FView->forward();
}

void TWebEngineStartBrowser::Reload()
{
    if (FVexView)
        FVexView->RefreshNoCache();
    else
        FView->triggerPageAction(QWebEnginePage::ReloadAndBypassCache);
}

bool TWebEngineStartBrowser::CanGoBack() const
{
    return FVexView ? FVexView->CanGoBack() : FView->history()->canGoBack();
}

bool TWebEngineStartBrowser::CanGoForward() const
{
    return FVexView ? FVexView->CanGoForward() : FView->history()->canGoForward();
}
