#include "Vex_WebBrowser.h"

#include "LDT3.Base.h"
#include "LDT3.Data.h"

#include <QAction>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QDragEnterEvent>
#include <QFile>
#include <QFileInfo>
#include <QApplication>
#include <QGuiApplication>
#include <QLayout>
#include <QOpenGLWidget>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineSettings>
#include <QTimer>

#include <algorithm>

#include <unistd.h>

namespace {
const QString GLMarkerName = QStringLiteral("GLMarker");
}

class TVexWebPage : public QWebEnginePage
{
public:
    TVexWebPage(QWebEngineProfile *AProfile, TVexWebBrowser *AView) : QWebEnginePage(AProfile, AView), FView(AView) {}

protected:
    bool acceptNavigationRequest(const QUrl &AURL, NavigationType AType, bool AIsMainFrame) override
    {
        return FView->AcceptNavigation(AURL, AType == NavigationTypeLinkClicked, AIsMainFrame);
    }

private:
    TVexWebBrowser *FView;
};

void TVexWebBrowser::PrepareApplication()
{
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    // Chromium will not run its sandbox for root; without this the view stays empty.
    if (geteuid() == 0 && qEnvironmentVariableIsEmpty("QTWEBENGINE_DISABLE_SANDBOX"))
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
}

TVexWebBrowser::TVexWebBrowser(QWidget *AParent) : QWebEngineView(AParent)
{
    // drops go to the window below, never into a page
    setAcceptDrops(false);
    RefuseDrops(this);
}

void TVexWebBrowser::PrepareWindowForPages(QWidget *AWindow)
{
    // A hidden OpenGL child tells the window when it is made, without
    // starting WebEngine. Not on the headless platforms of tests, whose
    // windows cannot draw through OpenGL.
    const QString platform = QGuiApplication::platformName();
    if (!AWindow || platform == QLatin1String("offscreen") || platform == QLatin1String("minimal")
        || AWindow->findChild<QOpenGLWidget *>(GLMarkerName, Qt::FindDirectChildrenOnly))
        return;
    auto *glMarker = new QOpenGLWidget(AWindow);
    glMarker->setObjectName(GLMarkerName);
    glMarker->hide();
}

bool TVexWebBrowser::IsWindowPreparedForPages(const QWidget *AWindow)
{
    if (!AWindow)
        return false;
    // a window's own marker, not one of a window it owns (a dialog)
    const auto markers = AWindow->findChildren<QOpenGLWidget *>(GLMarkerName);
    return std::any_of(markers.begin(), markers.end(), [&](const QOpenGLWidget *m) { return m->window() == AWindow->window(); });
}

QWebEnginePage *TVexWebBrowser::Page()
{
    if (FPage)
        return FPage;
    // the first page of the process starts WebEngine
    FPage = new TVexWebPage(QWebEngineProfile::defaultProfile(), this);
    setPage(FPage);
    QWebEngineSettings *s = FPage->settings();
    s->setAttribute(QWebEngineSettings::PluginsEnabled, true);
    s->setAttribute(QWebEngineSettings::PdfViewerEnabled, true);
    s->setAttribute(QWebEngineSettings::LocalContentCanAccessFileUrls, true);
    auto stateChanged = [this]() { Q_EMIT NavigationStateChanged(CanGoBack(), CanGoForward()); };
    connect(FPage->action(QWebEnginePage::Back), &QAction::changed, this, stateChanged);
    connect(FPage->action(QWebEnginePage::Forward), &QAction::changed, this, stateChanged);
    return FPage;
}

void TVexWebBrowser::Request(std::function<void()> ALoad)
{
    if (isVisible()) {
        FPending = {};
        Page();
        ALoad();
    } else {
        // a later request replaces an earlier one nobody saw
        FPending = std::move(ALoad);
    }
}

void TVexWebBrowser::RunPending()
{
    // still on show: a tab shown only on the way to another shows nothing
    if (!FPending || !isVisible())
        return;
    std::function<void()> run = std::move(FPending);
    FPending = {};
    Page();
    run();
}

void TVexWebBrowser::showEvent(QShowEvent *AEvent)
{
    QWebEngineView::showEvent(AEvent);
    if (FPending)
        QTimer::singleShot(0, this, [this]() { RunPending(); });
}

TVexWebBrowser *TVexWebBrowser::CreateNamed(QWidget *AOwner, const QString &AName)
{
    auto *v = new TVexWebBrowser(AOwner);
    v->setObjectName(AName);
    if (AOwner && AOwner->layout())
        AOwner->layout()->addWidget(v);
    return v;
}

TVexWebBrowser *TVexWebBrowser::NewWindow()
{
    auto *w = new TVexWebBrowser(nullptr);
    PrepareWindowForPages(w);
    // WebEngine hands its new windows' pages over at once
    w->Page();
    w->setAttribute(Qt::WA_DeleteOnClose);
    // the program ends with its main window, not with the last page window
    w->setAttribute(Qt::WA_QuitOnClose, false);
    w->resize(900, 700);
    w->show();
    return w;
}

void TVexWebBrowser::CloseWindows()
{
    for (QWidget *w : QApplication::topLevelWidgets())
        if (qobject_cast<TVexWebBrowser *>(w) && w->testAttribute(Qt::WA_DeleteOnClose))
            delete w;
}

void TVexWebBrowser::RefuseDrops(QObject *AObject)
{
    if (auto *w = qobject_cast<QWidget *>(AObject)) {
        w->setAcceptDrops(false);
        w->installEventFilter(this);
    }
    for (QObject *c : AObject->children())
        if (c->isWidgetType())
            RefuseDrops(c);
}

void TVexWebBrowser::childEvent(QChildEvent *AEvent)
{
    QWebEngineView::childEvent(AEvent);
    // WebEngine's drawing widget is created later and would take drops itself
    if (AEvent->added() && AEvent->child()->isWidgetType())
        RefuseDrops(AEvent->child());
}

bool TVexWebBrowser::eventFilter(QObject *AWatched, QEvent *AEvent)
{
    switch (AEvent->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::Drop:
        // should WebEngine turn drops back on, still let the window below have them
        if (auto *w = qobject_cast<QWidget *>(AWatched); w && w->acceptDrops())
            w->setAcceptDrops(false);
        break;
    case QEvent::ChildAdded:
        if (auto *ce = static_cast<QChildEvent *>(AEvent); ce->child()->isWidgetType())
            RefuseDrops(ce->child());
        break;
    default:
        break;
    }
    return QWebEngineView::eventFilter(AWatched, AEvent);
}

void TVexWebBrowser::About(const QString &AText)
{
    FLoadedString.clear();
    const QUrl url(QStringLiteral("about:") + (AText.isEmpty() ? QStringLiteral("blank") : AText));
    Request([this, url]() { load(url); });
}

void TVexWebBrowser::AboutBlank()
{
    About(QString());
}

void TVexWebBrowser::LoadFromString(const QString &AText)
{
    if (AText.isEmpty()) {
        AboutBlank();
        return;
    }
    const QByteArray bytes = AText.toUtf8();
    // WebEngine takes at most 2 MB of content directly; a larger page goes
    // through a temporary file that is deleted when the program ends
    if (bytes.size() > MaxDirectContent) {
        QString name;
        try {
            name = TLDT3Data::MakeTmpFile(QStringLiteral("WEB")) + QStringLiteral(".html");
        } catch (const ELDT3Error &) {
        }
        QFile f(name);
        if (!name.isEmpty() && f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size()) {
            f.close();
            TLDT3Data::DeleteFileAfterReboot(name);
            Request([this, url = QUrl::fromLocalFile(name)]() { load(url); });
            FLoadedString = AText;
            return;
        }
        f.close();
        if (!name.isEmpty())
            QFile::remove(name);
    }
    Request([this, bytes]() {
        setContent(bytes, QStringLiteral("text/html;charset=UTF-8"), QUrl(QStringLiteral("about:blank")));
    });
    FLoadedString = AText;
}

bool TVexWebBrowser::NavigateToLocalFile(const QString &AFileName)
{
    if (AFileName.isEmpty() || !QFileInfo(AFileName).isFile())
        return false;
    FLoadedString.clear();
    Request([this, url = QUrl::fromLocalFile(QFileInfo(AFileName).absoluteFilePath())]() { load(url); });
    return true;
}

void TVexWebBrowser::NavigateToURL(const QUrl &AURL, bool AInNewWindow)
{
    if (AInNewWindow) {
        NewWindow()->load(AURL);
        return;
    }
    FLoadedString.clear();
    Request([this, AURL]() { load(AURL); });
}

bool TVexWebBrowser::AcceptNavigation(const QUrl &AURL, bool ALinkClicked, bool AMainFrame)
{
    if (AURL.scheme().compare(QLatin1String("mailto"), Qt::CaseInsensitive) == 0) {
        QDesktopServices::openUrl(AURL);
        return false;
    }
    if (AMainFrame)
        Q_EMIT BeforeNavigate(AURL);
    if (FLinksInNewWindow && ALinkClicked && AMainFrame) {
        NavigateToURL(AURL, true);
        return false;
    }
    return true;
}

QWebEngineView *TVexWebBrowser::createWindow(QWebEnginePage::WebWindowType)
{
    return NewWindow();
}

bool TVexWebBrowser::CanGoBack() const
{
    return FPage && FPage->action(QWebEnginePage::Back)->isEnabled();
}

bool TVexWebBrowser::CanGoForward() const
{
    return FPage && FPage->action(QWebEnginePage::Forward)->isEnabled();
}

void TVexWebBrowser::RefreshNoCache()
{
    // a page still waiting to show is loaded fresh anyway
    if (FPage && !FPending)
        FPage->triggerAction(QWebEnginePage::ReloadAndBypassCache);
}
