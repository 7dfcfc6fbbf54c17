#include "VentolixStartBrowser.h"

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
    for (auto action : {QWebEnginePage::Back, QWebEnginePage::Forward})
        connect(FView->pageAction(action), &QAction::changed, this, [this]() { Q_EMIT CommandStateChanged(); });
}

QWidget *TWebEngineStartBrowser::View()
{
    return FView;
}

void TWebEngineStartBrowser::NavigateToURL(const QString &AURL, bool AInNewWindow)
{
    if (!AInNewWindow)
        FView->setUrl(QUrl(AURL)); // errors show in the view; nothing waits for the page
    else if (FOpenInNewWindow)
        FOpenInNewWindow(AURL);
    else
        QDesktopServices::openUrl(QUrl(AURL));
}

void TWebEngineStartBrowser::GoBack()
{
    FView->back();
}

void TWebEngineStartBrowser::GoForward()
{
    FView->forward();
}

void TWebEngineStartBrowser::Reload()
{
    FView->triggerPageAction(QWebEnginePage::ReloadAndBypassCache);
}

bool TWebEngineStartBrowser::CanGoBack() const
{
    return FView->history()->canGoBack();
}

bool TWebEngineStartBrowser::CanGoForward() const
{
    return FView->history()->canGoForward();
}
