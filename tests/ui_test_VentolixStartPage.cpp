#include "TestUtil.h"

#include "VentolixStartPage.h"

#include <QAbstractItemModelTester>
#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QPointer>
#include <QSignalSpy>
#include <QSplitter>
#include <QTest>
#include <QTreeWidget>
#include <QUrl>

namespace {

// Records what the page asks of its browser.
class TFakeBrowser : public IStartBrowser
{
public:
    QStringList Navigated; // "neu: " marks a new window
    int Backs = 0, Forwards = 0, Reloads = 0;
    bool Back = false, Forward = false;
    QPointer<QWidget> FView = new QWidget;

    ~TFakeBrowser() override { delete FView; } // when no page took it
    QWidget *View() override { return FView; }
    void NavigateToURL(const QString &AURL, bool AInNewWindow) override
    {
        Navigated << (AInNewWindow ? QStringLiteral("neu: ") : QString()) + AURL;
        if (!AInNewWindow)
            Q_EMIT BeforeNavigate(AURL);
    }
    void GoBack() override { ++Backs; }
    void GoForward() override { ++Forwards; }
    void Reload() override { ++Reloads; }
    bool CanGoBack() const override { return Back; }
    bool CanGoForward() const override { return Forward; }
};

QByteArray Entry(int ALevel, const QByteArray &AName, const QByteArray &AOnline, const QByteArray &AChildren = "",
                 const QByteArray &AOffline = "", const char *ALocal = "false")
{
    const QByteArray n = QByteArray::number(ALevel);
    return "<Level" + n + " Name=\"" + AName + "\" Online=\"" + AOnline + "\" Offline=\"" + AOffline +
           "\" LocalDownload=\"" + ALocal + "\">" + AChildren + "</Level" + n + ">";
}

IXMLVentolix Load(const QByteArray &AStartseite)
{
    IXMLVentolix cfg;
    LoadStartConfigFromBytes("<Ventolix><Application/><Startseite>" + AStartseite + "</Startseite></Ventolix>", cfg);
    return cfg;
}

const QByteArray ThreeLevels =
    Entry(1, "A", "https://a.invalid/",
          Entry(2, "A1", "https://a1.invalid/", Entry(3, "A1x", "http://a1x.invalid/")) +
              Entry(2, "A2", "ftp://a2.invalid/")) +
    Entry(1, "B", "https://b.invalid/") + Entry(1, "Post", "mailto:info@example.invalid");

class StartPage : public ::testing::Test
{
protected:
    QTemporaryDir FDir;
    TVentolixStart FStart{[this]() {
        TStartEnv env;
        env.DataDir = FDir.path();
        return env;
    }()};
    TFakeBrowser FBrowser;
    std::unique_ptr<TVentolixStartPage> FPage;
    std::unique_ptr<QAbstractItemModelTester> FTester;

    void SetUp() override
    {
        FPage = std::make_unique<TVentolixStartPage>(FStart, FBrowser);
        FTester = std::make_unique<QAbstractItemModelTester>(
            FPage->TVStart()->model(), QAbstractItemModelTester::FailureReportingMode::Fatal);
        FPage->resize(1000, 600);
        FPage->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(FPage.get()));
    }
    void TearDown() override
    {
        FTester.reset();
        FPage.reset();
    }
    QTreeWidget *Tree() const { return FPage->TVStart(); }
    QTreeWidgetItem *Find(const QString &AName) const
    {
        const auto found = Tree()->findItems(AName, Qt::MatchExactly | Qt::MatchRecursive);
        return found.isEmpty() ? nullptr : found.first();
    }
    QPoint Center(QTreeWidgetItem *AItem) const { return Tree()->visualItemRect(AItem).center(); }
    void Click(const QString &AName)
    {
        QTreeWidgetItem *item = Find(AName);
        ASSERT_TRUE(item) << AName.toStdString();
        QTest::mouseClick(Tree()->viewport(), Qt::LeftButton, {}, Center(item));
    }
};

} // namespace

TEST_F(StartPage, ThreeLevelsOpenFirstEntrySelectedAndOpened)
{
    QSignalSpy built(FPage.get(), &TVentolixStartPage::StartTreeBuilt);
    EXPECT_TRUE(FPage->FillStartTree(Load(ThreeLevels)));
    ASSERT_EQ(Tree()->topLevelItemCount(), 3);
    EXPECT_TRUE(Find("A")->isExpanded());
    EXPECT_TRUE(Find("A1")->isExpanded()); // expanded fully
    EXPECT_EQ(Find("A1")->childCount(), 1);
    EXPECT_EQ(Find("B")->childCount(), 0); // nothing to expand
    EXPECT_TRUE(Tree()->visualItemRect(Find("A1x")).isValid()); // the third level shows at once
    EXPECT_EQ(Tree()->currentItem(), Find("A"));
    EXPECT_EQ(FBrowser.Navigated, QStringList{"https://a.invalid/"});
    EXPECT_EQ(FPage->PanelURL()->text(), QStringLiteral("https://a.invalid/"));
    ASSERT_EQ(built.count(), 1);
    EXPECT_TRUE(built[0][0].toBool());
}

TEST_F(StartPage, ClickOpensEntriesOfAllLevelsButNoMailAddress)
{
    FPage->FillStartTree(Load(ThreeLevels));
    FBrowser.Navigated.clear();
    for (const char *name : {"A1x", "A1", "A2", "B", "Post", "A"})
        Click(QString::fromLatin1(name));
    EXPECT_EQ(FBrowser.Navigated, (QStringList{"http://a1x.invalid/", "https://a1.invalid/", "ftp://a2.invalid/",
                                               "https://b.invalid/", "https://a.invalid/"}));
    EXPECT_EQ(FPage->PanelURL()->text(), QStringLiteral("https://a.invalid/"));
}

TEST_F(StartPage, HintIsTheAddressAClickOpens)
{
    QDir().mkpath(FDir.filePath(QStringLiteral("lokal")));
    testutil::WriteFile(FDir, QStringLiteral("lokal/b.html"), "<p>b</p>");
    FPage->FillStartTree(Load(ThreeLevels + Entry(1, "Kopie", "https://k.invalid/", "", "lokal/b.html", "true")));
    const QString local = QUrl::fromLocalFile(FDir.filePath(QStringLiteral("lokal/b.html"))).toString();
    EXPECT_EQ(Find("A1x")->data(0, Qt::ToolTipRole).toString(), QStringLiteral("http://a1x.invalid/"));
    EXPECT_FALSE(Find("Post")->data(0, Qt::ToolTipRole).isValid());
    EXPECT_EQ(Find("Kopie")->data(0, Qt::ToolTipRole).toString(), local);
    FBrowser.Navigated.clear();
    Click(QStringLiteral("Kopie")); // the local copy wins over the online address
    EXPECT_EQ(FBrowser.Navigated, QStringList{local});
}

TEST_F(StartPage, LinkInNewWindowTakesTheEntryUnderTheMouse)
{
    FPage->FillStartTree(Load(ThreeLevels));
    FBrowser.Navigated.clear();
    QAction *open = FPage->ActionOpenLinkInNewWindow();
    EXPECT_EQ(open->text(), QStringLiteral("Link in neuem Fenster öffnen"));
    FPage->PopupMenuStartPopup(Center(Find("A2")));
    EXPECT_EQ(FPage->StartURL(), QStringLiteral("ftp://a2.invalid/"));
    ASSERT_TRUE(open->isEnabled());
    open->trigger();
    EXPECT_EQ(FBrowser.Navigated, QStringList{"neu: ftp://a2.invalid/"});
    EXPECT_EQ(FPage->PanelURL()->text(), QStringLiteral("https://a.invalid/")); // this page did not move

    FPage->PopupMenuStartPopup(Center(Find("Post")));
    EXPECT_FALSE(open->isEnabled());
    FPage->PopupMenuStartPopup(QPoint(5, Tree()->viewport()->height() - 2)); // below the entries
    EXPECT_TRUE(FPage->StartURL().isEmpty());
    EXPECT_FALSE(open->isEnabled());
    EXPECT_EQ(FBrowser.Navigated.size(), 1);
}

TEST_F(StartPage, BackAndForwardFollowTheBrowser)
{
    EXPECT_FALSE(FPage->ActionGoBack()->isEnabled());
    EXPECT_FALSE(FPage->ActionGoForward()->isEnabled());
    EXPECT_TRUE(FPage->ActionRefresh()->isEnabled());
    FBrowser.Back = true;
    Q_EMIT FBrowser.CommandStateChanged();
    EXPECT_TRUE(FPage->ActionGoBack()->isEnabled());
    EXPECT_FALSE(FPage->ActionGoForward()->isEnabled());
    FPage->ActionGoBack()->trigger();
    FBrowser.Back = false;
    FBrowser.Forward = true;
    Q_EMIT FBrowser.CommandStateChanged();
    EXPECT_FALSE(FPage->ActionGoBack()->isEnabled());
    FPage->ActionGoForward()->trigger();
    FPage->ActionRefresh()->trigger();
    EXPECT_EQ(FBrowser.Backs, 1);
    EXPECT_EQ(FBrowser.Forwards, 1);
    EXPECT_EQ(FBrowser.Reloads, 1);
    Q_EMIT FBrowser.BeforeNavigate(QStringLiteral("https://gefolgt.invalid/"));
    EXPECT_EQ(FPage->PanelURL()->text(), QStringLiteral("https://gefolgt.invalid/"));
}

TEST_F(StartPage, NoEntriesMeansNoTab)
{
    FPage->FillStartTree(Load(ThreeLevels));
    QSignalSpy built(FPage.get(), &TVentolixStartPage::StartTreeBuilt);
    FBrowser.Navigated.clear();
    EXPECT_FALSE(FPage->FillStartTree(Load("")));
    EXPECT_EQ(Tree()->topLevelItemCount(), 0);
    EXPECT_FALSE(FPage->FillStartTree(IXMLVentolix()));
    EXPECT_FALSE(FPage->BuildStartTree()); // no config.xml anywhere
    ASSERT_EQ(built.count(), 3);
    for (const auto &args : built)
        EXPECT_FALSE(args[0].toBool());
    EXPECT_TRUE(FBrowser.Navigated.isEmpty());
}

TEST_F(StartPage, BundledConfigurationFillsTheTree)
{
    TStartEnv env;
    env.DataDir = FDir.path();
    env.BundledConfigFileName = QStringLiteral(VENTOLIX_SOURCE_DIR "/data/config.xml");
    TVentolixStart start(env);
    TFakeBrowser browser;
    TVentolixStartPage page(start, browser);
    QAbstractItemModelTester tester(page.TVStart()->model(), QAbstractItemModelTester::FailureReportingMode::Fatal);
    QSignalSpy built(&page, &TVentolixStartPage::StartTreeBuilt);
    start.UpdateConfig(false); // no update address: contacts nobody, builds the tree
    ASSERT_EQ(built.count(), 1);
    EXPECT_TRUE(built[0][0].toBool());
    EXPECT_GE(page.TVStart()->topLevelItemCount(), 3);
    ASSERT_EQ(browser.Navigated.size(), 1);
    EXPECT_TRUE(browser.Navigated[0].startsWith(u"https://"));
}

TEST_F(StartPage, EitherMayGoFirst)
{
    TStartEnv env;
    env.BundledConfigFileName = QStringLiteral(VENTOLIX_SOURCE_DIR "/data/config.xml");
    auto start = std::make_unique<TVentolixStart>(env);
    {
        TFakeBrowser browser;
        TVentolixStartPage page(*start, browser);
        EXPECT_TRUE(start->BuildStartTree());
    }
    EXPECT_FALSE(start->BuildStartTree()); // the page is gone: no tree to fill
    TFakeBrowser browser;
    auto page = std::make_unique<TVentolixStartPage>(*start, browser);
    EXPECT_TRUE(start->BuildStartTree());
    start.reset(); // as in a main window whose members go before its child widgets
    page.reset();
}

TEST_F(StartPage, SplitterKeepsTheTreeWidthAndWidensWhenCollapsed)
{
    QSplitter *split = FPage->Splitter();
    EXPECT_EQ(FPage->TVStartWidth(), 200); // nothing stored: a fifth
    EXPECT_EQ(split->sizes().value(0), 200);
    FPage->resize(1500, 600); // a width nobody chose stays a fifth
    EXPECT_EQ(FPage->TVStartWidth(), 300);
    FPage->resize(1000, 600);
    EXPECT_EQ(FPage->TVStartWidth(), 200);
    FPage->SetTVStartWidth(5000); // wider than the page: a fifth again
    EXPECT_EQ(FPage->TVStartWidth(), 200);
    FPage->SetTVStartWidth(300);
    EXPECT_EQ(split->sizes().value(0), 300);
    EXPECT_EQ(split->handleWidth(), 3);
    EXPECT_EQ(Tree()->minimumWidth(), 30);
    FPage->resize(1200, 600); // the tree keeps its width
    QApplication::processEvents();
    EXPECT_EQ(split->sizes().value(0), 300);
    EXPECT_EQ(FPage->TVStartWidth(), 300);

    split->setSizes({0, 1200});
    Q_EMIT split->splitterMoved(0, 1);
    EXPECT_EQ(FPage->TVStartWidth(), 0);
    EXPECT_EQ(split->handleWidth(), 12);
    EXPECT_EQ(Tree()->minimumWidth(), 240);
}

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
