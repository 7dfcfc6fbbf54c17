#include "UiTestUtil.h"

#include <QDesktopServices>
#include <QDragEnterEvent>
#include <QMimeData>
#include <QTabWidget>
#include <QVBoxLayout>

namespace {

// Records the addresses the desktop was asked to open.
class TUrlCatcher : public QObject
{
    Q_OBJECT
public:
    QList<QUrl> Urls;
public Q_SLOTS:
    void Open(const QUrl &AUrl) { Urls << AUrl; }
};

// A container that takes every drop, to see where drops over a view end.
class TDropTarget : public QWidget
{
public:
    TDropTarget() { setAcceptDrops(true); }
    int Entered = 0;

protected:
    void dragEnterEvent(QDragEnterEvent *AEvent) override
    {
        ++Entered;
        AEvent->acceptProposedAction();
    }
};

QByteArray TinyPdf()
{
    return "%PDF-1.4\n1 0 obj<</Type/Catalog/Pages 2 0 R>>endobj\n"
           "2 0 obj<</Type/Pages/Kids[3 0 R]/Count 1>>endobj\n"
           "3 0 obj<</Type/Page/Parent 2 0 R/MediaBox[0 0 300 200]>>endobj\n"
           "trailer<</Root 1 0 R>>\n%%EOF\n";
}

QList<TVexWebBrowser *> TopLevelViews()
{
    QList<TVexWebBrowser *> r;
    for (QWidget *w : QApplication::topLevelWidgets())
        if (auto *v = qobject_cast<TVexWebBrowser *>(w); v && v->isVisible())
            r << v;
    return r;
}

class WebBrowser : public ::testing::Test
{
protected:
    void TearDown() override
    {
        for (TVexWebBrowser *v : TopLevelViews())
            if (v != &FView)
                v->close();
        // the closed windows delete themselves
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    QString Html(const char *AName, const QString &ABody)
    {
        return testutil::WriteFile(FTmp, QString::fromLatin1(AName),
                                   (QStringLiteral("<html><head><meta charset=\"utf-8\"><title>%1</title></head><body>")
                                        .arg(QString::fromLatin1(AName)) +
                                    ABody + QStringLiteral("</body></html>"))
                                       .toUtf8());
    }
    QTemporaryDir FTmp;
    TVexWebBrowser FView;
};

} // namespace

TEST_F(WebBrowser, StringsShowAsUtf8Pages)
{
    FView.show();
    const QString text = QStringLiteral("Prüfsumme äöüß € Ω");
    ASSERT_TRUE(uitest::LoadAndWait(&FView, [&]() {
        FView.LoadFromString(QStringLiteral("<html><head><title>T</title></head><body><p id=\"p\">%1</p></body></html>").arg(text));
    }));
    EXPECT_EQ(uitest::RunJs(&FView, QStringLiteral("document.getElementById('p').textContent")).toString(), text);
    EXPECT_EQ(FView.LoadedString().contains(text), true);
    // a page larger than WebEngine takes directly shows as well, to its end
    QString big = QStringLiteral("<html><body>");
    big.reserve(int(TVexWebBrowser::MaxDirectContent) + 1000);
    while (big.size() < TVexWebBrowser::MaxDirectContent + 100)
        big += QStringLiteral("<p>Zeile äöü</p>\n");
    big += QStringLiteral("<p id=\"ende\">Ende ß</p></body></html>");
    ASSERT_TRUE(uitest::LoadAndWait(&FView, [&]() { FView.LoadFromString(big); }));
    EXPECT_EQ(uitest::RunJs(&FView, QStringLiteral("document.getElementById('ende').textContent")).toString(),
              QStringLiteral("Ende ß"));
    // an empty text is an empty page
    ASSERT_TRUE(uitest::LoadAndWait(&FView, [&]() { FView.LoadFromString(QString()); }));
    EXPECT_EQ(FView.url(), QUrl(QStringLiteral("about:blank")));
    EXPECT_EQ(uitest::RunJs(&FView, QStringLiteral("document.body ? document.body.innerHTML : ''")).toString(), QString());
}

TEST_F(WebBrowser, LocalFilesIncludingPdf)
{
    FView.show();
    EXPECT_FALSE(FView.NavigateToLocalFile(FTmp.filePath(QStringLiteral("fehlt.html"))));
    EXPECT_FALSE(FView.NavigateToLocalFile(QString()));
    EXPECT_FALSE(FView.NavigateToLocalFile(FTmp.path())); // a directory is no file
    const QString page = Html("a.html", QStringLiteral("<p>A</p>"));
    bool ok = false;
    ASSERT_TRUE(uitest::LoadAndWait(&FView, [&]() { ok = FView.NavigateToLocalFile(page); }));
    EXPECT_TRUE(ok);
    EXPECT_EQ(FView.url(), QUrl::fromLocalFile(page));
    const QString pdf = testutil::WriteFile(FTmp, QStringLiteral("protokoll.pdf"), TinyPdf());
    EXPECT_TRUE(uitest::LoadAndWait(&FView, [&]() { ok = FView.NavigateToLocalFile(pdf); }));
    EXPECT_TRUE(ok);
    EXPECT_EQ(FView.url(), QUrl::fromLocalFile(pdf));
}

TEST_F(WebBrowser, BackAndForwardAreReportedAndReloadBypassesTheCache)
{
    FView.show();
    QSignalSpy state(&FView, &TVexWebBrowser::NavigationStateChanged);
    ASSERT_TRUE(uitest::LoadAndWait(&FView, [&]() { FView.NavigateToLocalFile(Html("a.html", QStringLiteral("A"))); }));
    EXPECT_FALSE(FView.CanGoBack());
    ASSERT_TRUE(uitest::LoadAndWait(&FView, [&]() { FView.NavigateToURL(QUrl::fromLocalFile(Html("b.html", QStringLiteral("B")))); }));
    QTRY_VERIFY(FView.CanGoBack());
    EXPECT_FALSE(FView.CanGoForward());
    EXPECT_FALSE(state.isEmpty());
    EXPECT_TRUE(state.last().at(0).toBool());
    ASSERT_TRUE(uitest::LoadAndWait(&FView, [&]() { FView.back(); }));
    QTRY_VERIFY(FView.CanGoForward());
    EXPECT_EQ(FView.url().fileName(), QStringLiteral("a.html"));
    // the reload reads the changed file
    Html("a.html", QStringLiteral("<p id=\"p\">neu</p>"));
    ASSERT_TRUE(uitest::LoadAndWait(&FView, [&]() { FView.RefreshNoCache(); }));
    EXPECT_EQ(uitest::RunJs(&FView, QStringLiteral("document.getElementById('p').textContent")).toString(),
              QStringLiteral("neu"));
}

TEST_F(WebBrowser, FollowedLinksOpenInANewWindowAndMailGoesToTheDesktop)
{
    TUrlCatcher mail;
    QDesktopServices::setUrlHandler(QStringLiteral("mailto"), &mail, "Open");
    const QString target = Html("ziel.html", QStringLiteral("Ziel"));
    const QString page = QStringLiteral("<html><body><a id=\"l\" href=\"%1\">Link</a> "
                                        "<a id=\"m\" href=\"mailto:info@norvalis.example\">Mail</a></body></html>")
                             .arg(QUrl::fromLocalFile(target).toString());
    struct TCase
    {
        bool NewWindow;
    } cases[] = {{true}, {false}};
    for (const TCase &c : cases) {
        SCOPED_TRACE(c.NewWindow);
        FView.SetLinksInNewWindow(c.NewWindow);
        FView.show();
        // local pages may follow links to local files
        ASSERT_TRUE(uitest::LoadAndWait(&FView, [&]() { FView.NavigateToLocalFile(Html("start.html", page)); }));
        const int before = TopLevelViews().size();
        if (c.NewWindow) {
            uitest::RunJs(&FView, QStringLiteral("document.getElementById('l').click(); 1"));
            QTRY_COMPARE(TopLevelViews().size(), before + 1);
            EXPECT_EQ(FView.url().fileName(), QStringLiteral("start.html"));
            TVexWebBrowser *opened = TopLevelViews().last();
            QTRY_COMPARE(opened->url().fileName(), QStringLiteral("ziel.html"));
        } else {
            EXPECT_TRUE(uitest::LoadAndWait(&FView, [&]() {
                uitest::RunJs(&FView, QStringLiteral("document.getElementById('l').click(); 1"));
            }));
            EXPECT_EQ(FView.url().fileName(), QStringLiteral("ziel.html"));
            EXPECT_EQ(TopLevelViews().size(), before);
            ASSERT_TRUE(uitest::LoadAndWait(&FView, [&]() { FView.back(); }));
        }
        mail.Urls.clear();
        uitest::RunJs(&FView, QStringLiteral("document.getElementById('m').click(); 1"));
        QTRY_COMPARE(mail.Urls.size(), 1);
        EXPECT_EQ(mail.Urls.first(), QUrl(QStringLiteral("mailto:info@norvalis.example")));
        EXPECT_EQ(FView.url().fileName(), QStringLiteral("start.html"));
    }
    QDesktopServices::unsetUrlHandler(QStringLiteral("mailto"));
}

TEST_F(WebBrowser, DropsOverAViewReachTheWidgetBelow)
{
    TDropTarget host;
    host.setLayout(new QVBoxLayout);
    auto *view = TVexWebBrowser::CreateNamed(&host, QStringLiteral("WBTest"));
    EXPECT_EQ(view->objectName(), QStringLiteral("WBTest"));
    EXPECT_EQ(view->parentWidget(), &host);
    host.resize(400, 300);
    host.show();
    ASSERT_TRUE(uitest::LoadAndWait(view, [&]() { view->LoadFromString(QStringLiteral("<p>x</p>")); }));
    QMimeData mime;
    mime.setUrls({QUrl::fromLocalFile(QStringLiteral("/tmp/Z01.ldt"))});
    mime.setText(QStringLiteral("/tmp/Z01.ldt"));
    // every widget of the view, including the one WebEngine draws into
    QList<QWidget *> parts = view->findChildren<QWidget *>();
    parts << view;
    for (QWidget *w : parts) {
        SCOPED_TRACE(w->metaObject()->className());
        const int before = host.Entered;
        QDragEnterEvent enter(w->rect().center(), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(w, &enter);
        EXPECT_EQ(host.Entered, before + 1);
    }
}

// A view nobody sees starts no WebEngine page: what it is asked to show waits,
// the last request wins, and it loads when the view appears. A tab passed on
// the way to another before the event loop ran shows nothing.
TEST_F(WebBrowser, HiddenViewsLoadWhenTheyFirstShow)
{
    QTabWidget tabs;
    auto *first = new QWidget;
    auto *second = new QWidget;
    second->setLayout(new QVBoxLayout);
    auto *other = new QWidget;
    other->setLayout(new QVBoxLayout);
    tabs.addTab(first, QStringLiteral("eins"));
    tabs.addTab(second, QStringLiteral("zwei"));
    tabs.addTab(other, QStringLiteral("drei"));
    auto *view = TVexWebBrowser::CreateNamed(second, QStringLiteral("WBZwei"));
    auto *passed = TVexWebBrowser::CreateNamed(other, QStringLiteral("WBDrei"));
    tabs.resize(400, 300);
    tabs.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&tabs));

    view->LoadFromString(QStringLiteral("<p id=\"p\">alt</p>"));
    view->LoadFromString(QStringLiteral("<p id=\"p\">neu</p>"));
    passed->LoadFromString(QStringLiteral("<p>drei</p>"));
    EXPECT_TRUE(view->LoadedString().contains(QStringLiteral("neu")));
    for (TVexWebBrowser *v : {view, passed}) {
        EXPECT_FALSE(v->HasPage());
        EXPECT_TRUE(v->LoadPending());
        EXPECT_FALSE(v->CanGoBack());
    }
    // shown and left again before anything ran
    tabs.setCurrentIndex(2);
    tabs.setCurrentIndex(1);
    ASSERT_TRUE(uitest::LoadAndWait(view, []() {}));
    EXPECT_TRUE(view->HasPage());
    EXPECT_FALSE(view->LoadPending());
    EXPECT_EQ(uitest::RunJs(view, QStringLiteral("document.getElementById('p').textContent")).toString(),
              QStringLiteral("neu"));
    QCoreApplication::processEvents();
    EXPECT_FALSE(passed->HasPage());
    EXPECT_TRUE(passed->LoadPending());
    // a visible view loads at once
    ASSERT_TRUE(uitest::LoadAndWait(view, [&]() { view->LoadFromString(QStringLiteral("<p id=\"p\">jetzt</p>")); }));
    EXPECT_EQ(uitest::RunJs(view, QStringLiteral("document.getElementById('p').textContent")).toString(),
              QStringLiteral("jetzt"));
    // a file that is gone is refused at once, not when the view shows
    tabs.setCurrentIndex(0);
    EXPECT_FALSE(passed->NavigateToLocalFile(FTmp.filePath(QStringLiteral("fehlt.pdf"))));
    EXPECT_TRUE(passed->LoadPending());
}

VENTOLIX_UI_TEST_MAIN()

#include "web_test_Vex_WebBrowser.moc"
