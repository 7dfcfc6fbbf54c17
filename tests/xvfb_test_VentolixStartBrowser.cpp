#include "TestUtil.h"

#include "VentolixStartBrowser.h"

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTreeWidget>
#include <QUrl>
#include <QWebEngineView>

namespace {

class StartBrowser : public ::testing::Test
{
protected:
    QTemporaryDir FDir;
    QString FileURL(const QString &AName, const QByteArray &ABody)
    {
        return QUrl::fromLocalFile(testutil::WriteFile(FDir, AName, ABody)).toString();
    }
};

// Waits (bounded) for the view to finish loading.
bool Loaded(QSignalSpy &ASpy)
{
    return ASpy.count() > 0 || ASpy.wait(20000);
}

} // namespace

TEST_F(StartBrowser, HistoryReloadAndNewWindow)
{
    const QString a = FileURL(QStringLiteral("a.html"), "<html><body><p>Seite A</p></body></html>");
    const QString b = FileURL(QStringLiteral("b.html"), "<html><body><p>Seite B</p></body></html>");
    auto *view = new QWebEngineView;
    QStringList newWindows;
    TWebEngineStartBrowser browser(view, [&](const QString &AURL) { newWindows << AURL; });
    view->resize(400, 300);
    view->show();
    QSignalSpy before(&browser, &IStartBrowser::BeforeNavigate);
    QSignalSpy state(&browser, &IStartBrowser::CommandStateChanged);

    QSignalSpy load1(view, &QWebEngineView::loadFinished);
    browser.NavigateToURL(a, false);
    ASSERT_TRUE(Loaded(load1));
    EXPECT_FALSE(browser.CanGoBack());
    QSignalSpy load2(view, &QWebEngineView::loadFinished);
    browser.NavigateToURL(b, false);
    ASSERT_TRUE(Loaded(load2));
    EXPECT_TRUE(browser.CanGoBack());
    EXPECT_FALSE(browser.CanGoForward());
    EXPECT_GT(state.count(), 0);
    ASSERT_GE(before.count(), 2);
    EXPECT_EQ(before.last()[0].toString(), b);

    QSignalSpy load3(view, &QWebEngineView::loadFinished);
    browser.GoBack();
    ASSERT_TRUE(Loaded(load3));
    EXPECT_EQ(view->url().toString(), a);
    EXPECT_TRUE(browser.CanGoForward());
    QSignalSpy load4(view, &QWebEngineView::loadFinished);
    browser.Reload();
    ASSERT_TRUE(Loaded(load4));
    EXPECT_EQ(view->url().toString(), a);

    browser.NavigateToURL(b, true);
    EXPECT_EQ(newWindows, QStringList{b});
    EXPECT_EQ(view->url().toString(), a);
    delete view;
}

TEST_F(StartBrowser, StartPageOpensALocalCopyInTheView)
{
    TStartEnv env;
    env.DataDir = FDir.path();
    QDir().mkpath(FDir.filePath(QStringLiteral("kopie")));
    const QString local = FileURL(QStringLiteral("kopie/ldt.html"), "<html><body><h1>LDT</h1></body></html>");
    env.BundledConfigFileName = testutil::WriteFile(
        FDir, QStringLiteral("config.xml"),
        "<Ventolix><Application/><Startseite><Level1 Name=\"LDT\" Online=\"https://example.invalid/\" "
        "Offline=\"kopie/ldt.html\" LocalDownload=\"true\"/></Startseite></Ventolix>");
    TVentolixStart start(env);
    auto *view = new QWebEngineView;
    TWebEngineStartBrowser browser(view);
    TVentolixStartPage page(start, browser);
    page.resize(800, 500);
    page.show();
    QSignalSpy load(view, &QWebEngineView::loadFinished);
    ASSERT_TRUE(page.BuildStartTree());
    ASSERT_TRUE(Loaded(load));
    EXPECT_TRUE(load.first()[0].toBool());
    EXPECT_EQ(view->url().toString(), local);
    EXPECT_EQ(page.PanelURL()->text(), local);
    EXPECT_FALSE(page.ActionGoBack()->isEnabled());
}

int main(int argc, char **argv)
{
    qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
