#include "TestUtil.h"

#include "LDT3.Base.h"
#include "LocalHttpServer.h"
#include "VentolixStart.h"
#include "XpmTestUtil.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QUrl>

using namespace xpmtest;
using testutil::ReadAll;

namespace {

// A configuration with the given Application and Startseite contents.
QByteArray Config(const QByteArray &AStartseite, const QByteArray &AVersion = "0.1.0.0",
                  const QByteArray &AUpgradePath = "")
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Ventolix>\n  <Application>\n    <AppVersion Version=\"" +
           AVersion + "\" UpgradePath=\"" + AUpgradePath +
           "\"/>\n    <AppEdition Edition=\"Test\"/>\n  </Application>\n  <Startseite>" + AStartseite +
           "</Startseite>\n</Ventolix>\n";
}

QByteArray Entry(int ALevel, const QByteArray &AName, const QByteArray &AOnline, const QByteArray &AOffline = "",
                 const char *ALocal = "false", const QByteArray &AChildren = "")
{
    return "<Level" + QByteArray::number(ALevel) + " Name=\"" + AName + "\" Online=\"" + AOnline + "\" Offline=\"" +
           AOffline + "\" LocalDownload=\"" + ALocal + "\">" + AChildren + "</Level" + QByteArray::number(ALevel) +
           ">";
}

// Names of all entries, depth first, indented by level.
QStringList Names(const TXMLStartseite &AStart)
{
    QStringList r;
    const std::function<void(const TXMLStartEntry &)> add = [&](const TXMLStartEntry &E) {
        r << QString(E.Level() - 1, QLatin1Char(' ')) + E.Name();
        for (int i = 0; i < E.Count(); ++i)
            add(E.Items(i));
    };
    for (int i = 0; i < AStart.Count(); ++i)
        add(AStart.Level1(i));
    return r;
}

QStringList FilesIn(const QString &ADir)
{
    QStringList r;
    QDir d(ADir);
    for (const QFileInfo &fi : d.entryInfoList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden,
                                               QDir::Name)) {
        if (fi.isDir())
            for (const QString &f : FilesIn(fi.filePath()))
                r << fi.fileName() + QLatin1Char('/') + f;
        else
            r << fi.fileName();
    }
    return r;
}

} // namespace

// ---------------------------------------------------------------- versions

TEST(StartVersion, TextToNumberAndBack)
{
    struct { const char *Text; quint64 Want; const char *Back; } cases[] = {
        {"1.2", 0x0001000200000000ull, "1.2.0.0"},
        {"1.2.3.4", 0x0001000200030004ull, "1.2.3.4"},
        {"65535.0.0.1", 0xFFFF000000000001ull, "65535.0.0.1"},
        {"0.1.0", 0x0000000100000000ull, "0.1.0.0"},
        {"1..3", 0x0001000000030000ull, "1.0.3.0"},
        {"", 0, "0.0.0.0"},
        {"1.70000", InvalidFileVersion, ""},
        {"1.65536", InvalidFileVersion, ""},
        {"1.2.3.4.5", InvalidFileVersion, ""},
        {"1.x", InvalidFileVersion, ""},
        {"-1.2", InvalidFileVersion, ""},
        {" 1.2", InvalidFileVersion, ""},
        {"1.000002", InvalidFileVersion, ""},
        {"00001.2", 0x0001000200000000ull, "1.2.0.0"},
    };
    for (const auto &c : cases) {
        const quint64 v = StrToFileVersion(QString::fromLatin1(c.Text));
        EXPECT_EQ(v, c.Want) << c.Text;
        EXPECT_EQ(FileVersionToStr(v), QString::fromLatin1(c.Back)) << c.Text;
    }
    EXPECT_LT(StrToFileVersion(QStringLiteral("1.9.9.9")), StrToFileVersion(QStringLiteral("2")));
    EXPECT_LT(StrToFileVersion(QStringLiteral("0.1.0.65535")), StrToFileVersion(QStringLiteral("0.1.1")));
}

TEST(StartVersion, AppInfoOfMissingVersionIsInvalid)
{
    struct { QByteArray Version; quint64 Want; } cases[] = {
        {"", InvalidFileVersion}, {"1.70000", InvalidFileVersion}, {"2.1", 0x0002000100000000ull}};
    for (const auto &c : cases) {
        IXMLVentolix cfg;
        ASSERT_TRUE(LoadStartConfigFromBytes(Config("", c.Version, "http://x/y.deb"), cfg));
        const TAppInfoRec info = GetAppInfo(cfg->Application());
        EXPECT_EQ(info.VersionUInt64, c.Want) << c.Version.constData();
        EXPECT_EQ(info.UpgradePath, QStringLiteral("http://x/y.deb"));
        EXPECT_EQ(info.Edition, QStringLiteral("Test"));
    }
}

// ---------------------------------------------------------------- reading

TEST(StartConfig, ThreeLevelsInDocumentOrder)
{
    const QByteArray xml = Config(
        Entry(1, "A", "http://a", "", "false",
              Entry(2, "A1", "http://a1", "", "false",
                    Entry(3, "A1x", "http://a1x") + "<Level4 Name=\"zu tief\"/>" + Entry(3, "A1y", "")) +
                  Entry(2, "A2", "")) +
        "<Fremd><Level1 Name=\"versteckt\"/></Fremd>" + Entry(1, "B", "http://b") + Entry(1, "C", ""));
    IXMLVentolix cfg;
    ASSERT_TRUE(LoadStartConfigFromBytes(xml, cfg));
    EXPECT_EQ(Names(cfg->Startseite()),
              (QStringList{"A", " A1", "  A1x", "  A1y", " A2", "B", "C"}));
    EXPECT_EQ(cfg->Startseite().Level1(1).Count(), 0);
    EXPECT_EQ(cfg->Application().AppVersion().Version(), QStringLiteral("0.1.0.0"));
}

TEST(StartConfig, LocalDownloadIsTrueOnlyWhenSaidSo)
{
    struct { const char *Attr; bool Want; } cases[] = {
        {"true", true}, {"TRUE", true}, {"1", true}, {"false", false}, {"0", false}, {"ja", false}, {"", false}};
    for (const auto &c : cases) {
        IXMLVentolix cfg;
        ASSERT_TRUE(LoadStartConfigFromBytes(Config(Entry(1, "A", "http://a", "a.html", c.Attr)), cfg));
        EXPECT_EQ(cfg->Startseite().Level1(0).LocalDownload(), c.Want) << c.Attr;
    }
    IXMLVentolix cfg;
    ASSERT_TRUE(LoadStartConfigFromBytes(Config("<Level1 Name=\"ohne\"/>"), cfg));
    EXPECT_FALSE(cfg->Startseite().Level1(0).LocalDownload());
}

TEST(StartConfig, RefusedDocuments)
{
    const QByteArray good = Config(Entry(1, "A", "http://a"));
    struct { const char *What; QByteArray Xml; } cases[] = {
        {"empty", ""},
        {"not XML", "das ist kein XML"},
        {"cut off", good.left(good.size() - 10)},
        {"no Application", "<Ventolix><Startseite>" + Entry(1, "A", "http://a") + "</Startseite></Ventolix>"},
        {"no Startseite", "<Ventolix><Application/></Ventolix>"},
        {"other document element", "<Andere><Application/><Startseite/></Andere>"},
        {"external entity",
         "<?xml version=\"1.0\"?><!DOCTYPE Ventolix [<!ENTITY x SYSTEM \"file:///etc/passwd\">]>"
         "<Ventolix><Application/><Startseite><Level1 Name=\"&x;\"/></Startseite></Ventolix>"},
        {"internal entity",
         "<?xml version=\"1.0\"?><!DOCTYPE Ventolix [<!ENTITY a \"aaaaaaaaaa\"><!ENTITY b \"&a;&a;&a;&a;\">]>"
         "<Ventolix><Application/><Startseite><Level1 Name=\"&b;\"/></Startseite></Ventolix>"},
        {"plain doctype", "<!DOCTYPE Ventolix><Ventolix><Application/><Startseite/></Ventolix>"},
        {"undeclared entity", "<Ventolix><Application/><Startseite><Level1 Name=\"&x;\"/></Startseite></Ventolix>"},
        {"trailing garbage", good + "<zweites/>"},
    };
    for (const auto &c : cases) {
        IXMLVentolix cfg = std::make_shared<TXMLVentolix>();
        EXPECT_FALSE(LoadStartConfigFromBytes(c.Xml, cfg)) << c.What;
        EXPECT_FALSE(cfg) << c.What; // an earlier configuration is released
    }
    IXMLVentolix cfg;
    EXPECT_TRUE(LoadStartConfigFromBytes("<Ventolix><Application/><Startseite/></Ventolix>", cfg));
    EXPECT_EQ(cfg->Startseite().Count(), 0);
    EXPECT_FALSE(LoadStartConfig(QStringLiteral("/nicht/da/config.xml"), cfg));
    EXPECT_FALSE(cfg);
}

TEST(StartConfig, BundledConfigurationIsUseful)
{
    IXMLVentolix cfg;
    ASSERT_TRUE(LoadStartConfig(QStringLiteral(VENTOLIX_SOURCE_DIR "/data/config.xml"), cfg));
    const TXMLStartseite &s = cfg->Startseite();
    ASSERT_GE(s.Count(), 3);
    int entries = 0, levels3 = 0;
    const std::function<void(const TXMLStartEntry &)> check = [&](const TXMLStartEntry &E) {
        ++entries;
        levels3 += E.Level() == 3;
        EXPECT_FALSE(E.LocalDownload()) << E.Name().toStdString();
        EXPECT_FALSE(E.Name().isEmpty());
        EXPECT_TRUE(GetStartRec(E, QStringLiteral("/tmp")).URLToCall.startsWith(u"https://")) << E.Name().toStdString();
        for (int i = 0; i < E.Count(); ++i)
            check(E.Items(i));
    };
    for (int i = 0; i < s.Count(); ++i)
        check(s.Level1(i));
    EXPECT_GT(levels3, 0);
    EXPECT_GE(entries, 10);
}

TEST(StartConfig, BuildPutsTheBundledConfigurationNextToTheProgram)
{
    const QByteArray bundled = ReadAll(QStringLiteral(VENTOLIX_SOURCE_DIR "/data/config.xml"));
    ASSERT_FALSE(bundled.isEmpty());
    EXPECT_EQ(ReadAll(QStringLiteral(VENTOLIX_BIN_DIR "/app/config.xml")), bundled);
}

// ---------------------------------------------------------------- what an entry opens

TEST(StartRec, OnlyWebAddressesAndExistingLocalCopies)
{
    QTemporaryDir dir;
    const QString data = dir.path();
    QDir().mkpath(data + QStringLiteral("/docs"));
    testutil::WriteFile(dir, QStringLiteral("docs/da.html"), "lokal");
    const QString localURL = QUrl::fromLocalFile(data + QStringLiteral("/docs/da.html")).toString();
    struct { const char *What; QByteArray Online, Offline; const char *Local; QString WantCall; bool WantLocalName; } cases[] = {
        {"http", "http://example.invalid/a", "", "false", QStringLiteral("http://example.invalid/a"), false},
        {"https", "https://example.invalid/a", "", "false", QStringLiteral("https://example.invalid/a"), false},
        {"ftp", "ftp://example.invalid/a", "", "false", QStringLiteral("ftp://example.invalid/a"), false},
        {"mailto", "mailto:info@example.invalid", "", "false", QString(), false},
        {"file", "file:///etc/passwd", "", "false", QString(), false},
        {"javascript", "javascript:alert(1)", "", "false", QString(), false},
        {"relative", "seite.html", "", "false", QString(), false},
        {"empty", "", "", "false", QString(), false},
        {"local copy wins", "http://example.invalid/a", "docs/da.html", "true", localURL, true},
        {"local copy wins without online", "", "docs/da.html", "true", localURL, true},
        {"missing local copy", "http://example.invalid/a", "docs/fehlt.html", "true",
         QStringLiteral("http://example.invalid/a"), true},
        {"local copy not wanted", "http://example.invalid/a", "docs/da.html", "false",
         QStringLiteral("http://example.invalid/a"), false},
        {"climbing out", "http://example.invalid/a", "../docs/da.html", "true",
         QStringLiteral("http://example.invalid/a"), false},
        {"absolute", "http://example.invalid/a", "/etc/passwd", "true", QStringLiteral("http://example.invalid/a"),
         false},
        {"backslashes", "", "docs\\da.html", "true", localURL, true},
    };
    for (const auto &c : cases) {
        IXMLVentolix cfg;
        ASSERT_TRUE(LoadStartConfigFromBytes(Config(Entry(1, "E", c.Online, c.Offline, c.Local)), cfg)) << c.What;
        const TStartRec r = GetStartRec(cfg->Startseite().Level1(0), data);
        EXPECT_EQ(r.URLToCall, c.WantCall) << c.What;
        EXPECT_EQ(!r.LocalFileName.isEmpty(), c.WantLocalName) << c.What;
        if (c.WantLocalName) {
            EXPECT_TRUE(r.LocalFileName.startsWith(data + QLatin1Char('/'))) << c.What;
            EXPECT_EQ(r.LocalFileURL, QUrl::fromLocalFile(r.LocalFileName).toString()) << c.What;
        }
        EXPECT_EQ(r.Name, QStringLiteral("E"));
    }
}

// ---------------------------------------------------------------- update against a local server

namespace {

class StartUpdate : public ::testing::Test
{
protected:
    TLocalHttpServer FServer;
    QTemporaryDir FDir;
    TScopedRecorder FRec;
    TRecordingSink FSink;
    QDate FToday{2026, 12, 9};
    std::vector<IXMLVentolix> FFilled; // what the tree was filled with
    std::unique_ptr<TVentolixStart> FStart;

    void SetUp() override
    {
        ASSERT_GT(FServer.Port(), 0);
        TStartEnv env;
        env.DataDir = FDir.filePath(QStringLiteral("daten"));
        env.BundledConfigFileName = testutil::WriteFile(FDir, QStringLiteral("bundled.xml"),
                                                        Config(Entry(1, "Mitgeliefert", "http://example.invalid/")));
        env.UpdateURL = FServer.Url("/config.xml");
        env.OwnVersion = StrToFileVersion(QStringLiteral("1.2.3.4"));
        env.AppTitle = QStringLiteral("Norvalis Ventolix");
        env.Today = [this]() { return FToday; };
        FStart = std::make_unique<TVentolixStart>(env);
        FStart->SetFillStartTree([this](const IXMLVentolix &C) {
            FFilled.push_back(C);
            return C && C->Startseite().Count() > 0;
        });
    }

    QString DataDir() const { return FStart->Env().DataDir; }
    QString Cfg() const { return FStart->ConfigFileName(); }
    void WriteOldConfig(const QByteArray &ABytes)
    {
        QDir().mkpath(DataDir());
        QFile f(Cfg());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(ABytes);
    }
    QString TodayStr() const { return FToday.toString(QStringLiteral("yyyyMMdd")); }
    QStringList LastTree() const
    {
        return FFilled.empty() || !FFilled.back() ? QStringList() : Names(FFilled.back()->Startseite());
    }
    std::vector<QString> Shown(TMsgKind AKind, const QString &AHeading) const
    {
        std::vector<QString> r;
        for (const auto &s : FSink.Shown)
            if (s.Kind == AKind && s.Heading == AHeading)
                r.push_back(s.Text);
        return r;
    }
};

const QByteArray OldConfig = Config(Entry(1, "Alt", "http://example.invalid/alt"));

} // namespace

TEST_F(StartUpdate, NewConfigurationReplacesTheOldOneAndRebuildsTheTree)
{
    WriteOldConfig(OldConfig);
    const QByteArray fresh = Config(Entry(1, "Neu", "http://example.invalid/neu", "", "false",
                                          Entry(2, "Kind", "http://example.invalid/kind")));
    FServer.SetRoute("/config.xml", fresh);
    FStart->UpdateConfig(false);
    EXPECT_EQ(ReadAll(Cfg()), fresh);
    EXPECT_EQ(FStart->LastUpdateCheck(), TodayStr());
    EXPECT_EQ(LastTree(), (QStringList{"Neu", " Kind"}));
    EXPECT_EQ(FilesIn(DataDir()), QStringList{"config.xml"}); // no .tmp or .bak left
    EXPECT_TRUE(FSink.Shown.empty());
    EXPECT_TRUE(FSink.Asked.empty()); // own version 1.2.3.4 is newer than 0.1.0.0
}

TEST_F(StartUpdate, ChecksOncePerDayUnlessForced)
{
    FServer.SetRoute("/config.xml", Config(Entry(1, "Neu", "http://example.invalid/")));
    FStart->UpdateConfig(false);
    FStart->UpdateConfig(false); // second start on the same day
    EXPECT_EQ(FServer.Hits("/config.xml"), 1);
    EXPECT_EQ(FFilled.size(), 2u); // the tree is built every time
    FStart->UpdateConfig(true); // "Auf Updates prüfen"
    EXPECT_EQ(FServer.Hits("/config.xml"), 2);
    EXPECT_EQ(Shown(TMsgKind::mkInformation, QStringLiteral("Information")),
              std::vector<QString>{QStringLiteral("Keine neuere Version verfügbar.")});
    FToday = FToday.addDays(1);
    FStart->UpdateConfig(false);
    EXPECT_EQ(FServer.Hits("/config.xml"), 3);
    EXPECT_EQ(FStart->LastUpdateCheck(), TodayStr());
}

TEST_F(StartUpdate, MalformedOrEmptyConfigurationIsDiscarded)
{
    const QByteArray bad[] = {
        "",
        "<Ventolix><Application/><Startseite>",
        "<Ventolix><Application/><Startseite/></Ventolix>", // well-formed, but an empty tree
        "<Ventolix><Startseite>" + Entry(1, "A", "http://a") + "</Startseite></Ventolix>",
        "<!DOCTYPE Ventolix [<!ENTITY x SYSTEM \"file:///etc/passwd\">]><Ventolix><Application/><Startseite>"
        "<Level1 Name=\"&x;\"/></Startseite></Ventolix>",
    };
    for (const QByteArray &b : bad) {
        WriteOldConfig(OldConfig);
        FStart->SetLastUpdateCheck(QString());
        FServer.SetRoute("/config.xml", b);
        FStart->UpdateConfig(false);
        EXPECT_EQ(ReadAll(Cfg()), OldConfig) << b.constData();
        EXPECT_EQ(LastTree(), QStringList{"Alt"}) << b.constData();
        EXPECT_EQ(FilesIn(DataDir()), QStringList{"config.xml"}) << b.constData();
        EXPECT_EQ(FStart->LastUpdateCheck(), QString()) << b.constData(); // the next start tries again
    }
    EXPECT_TRUE(FSink.Shown.empty());
}

TEST_F(StartUpdate, CancelledDownloadLeavesTheDayUnchecked)
{
    WriteOldConfig(OldConfig);
    FStart->SetUpdateURL(FServer.Url("/slow"));
    FRec.Rec().CancelWhen = [](const TRecording &R) {
        for (const auto &m : R.Msgs)
            if (m.Kind == TThreadInfoMsg::tiProgress)
                return true;
        return false;
    };
    FStart->UpdateConfig(false);
    EXPECT_TRUE(FRec.Rec().Shown);
    EXPECT_EQ(FStart->LastUpdateCheck(), QString());
    EXPECT_EQ(ReadAll(Cfg()), OldConfig);
    EXPECT_EQ(FilesIn(DataDir()), QStringList{"config.xml"});
    EXPECT_TRUE(FSink.Shown.empty());
    EXPECT_EQ(LastTree(), QStringList{"Alt"});
}

TEST_F(StartUpdate, DownloadErrorIsShownInTheErrorBoxAndCountsTheDay)
{
    const QString url = FServer.Url("/config.xml"); // no route: 404
    WriteOldConfig(OldConfig);
    FStart->UpdateConfig(false); // not yet checked today: shown
    ASSERT_EQ(Shown(TMsgKind::mkError, QStringLiteral("Fehler")).size(), 1u);
    EXPECT_TRUE(Shown(TMsgKind::mkError, QStringLiteral("Fehler"))[0].startsWith(
        QStringLiteral("Fehler beim Download von \"%1\"\n").arg(url)));
    EXPECT_EQ(FStart->LastUpdateCheck(), TodayStr());
    EXPECT_EQ(ReadAll(Cfg()), OldConfig);
    EXPECT_EQ(FilesIn(DataDir()), QStringList{"config.xml"});
    FStart->UpdateConfig(false); // done for today: nothing at all
    EXPECT_EQ(FServer.Hits("/config.xml"), 1);
    FStart->UpdateConfig(true); // forced: shown again
    const auto errors = Shown(TMsgKind::mkError, QStringLiteral("Fehler"));
    ASSERT_EQ(errors.size(), 2u);
    EXPECT_TRUE(errors[1].contains(QStringLiteral("404"))) << errors[1].toStdString();
}

TEST_F(StartUpdate, NoUpdateAddressContactsNobody)
{
    FStart->SetUpdateURL(QString());
    FStart->UpdateConfig(false);
    EXPECT_TRUE(FSink.Shown.empty());
    EXPECT_EQ(LastTree(), QStringList{"Mitgeliefert"}); // the bundled configuration
    FStart->UpdateConfig(true);
    EXPECT_EQ(Shown(TMsgKind::mkInformation, QStringLiteral("Information")),
              std::vector<QString>{QString::fromUtf8(NoUpdateURLMsg)});
    EXPECT_EQ(FServer.TotalHits(), 0);
    EXPECT_FALSE(QFileInfo::exists(DataDir())); // nothing written either
    EXPECT_FALSE(FRec.Rec().Shown);
}

TEST_F(StartUpdate, UserConfigurationWinsOverTheBundledOne)
{
    EXPECT_TRUE(FStart->BuildStartTree());
    EXPECT_EQ(LastTree(), QStringList{"Mitgeliefert"});
    WriteOldConfig(OldConfig);
    EXPECT_TRUE(FStart->BuildStartTree());
    EXPECT_EQ(LastTree(), QStringList{"Alt"});
    WriteOldConfig("kaputt"); // an unreadable own copy falls back to the bundled one
    EXPECT_TRUE(FStart->BuildStartTree());
    EXPECT_EQ(LastTree(), QStringList{"Mitgeliefert"});
    TStartEnv env = FStart->Env();
    env.BundledConfigFileName.clear();
    TVentolixStart none(env);
    EXPECT_FALSE(none.BuildStartTree());
    EXPECT_FALSE(none.Ventolix());
}

TEST_F(StartUpdate, NewerVersionOffersItsDownloadUnderTheServersName)
{
    const QByteArray package = "!<arch>\npaketinhalt";
    FServer.SetRoute("/pool/ventolix_9.0.1_amd64.deb", package);
    FServer.SetRoute("/config.xml", Config(Entry(1, "Neu", "http://example.invalid/"), "9.0.1",
                                           FServer.Url("/pool/ventolix_9.0.1_amd64.deb").toUtf8()));
    FSink.ConfirmAnswer = true;
    FStart->UpdateConfig(false);
    ASSERT_EQ(FSink.Asked.size(), 1u);
    EXPECT_EQ(FSink.Asked[0].first, QString());
    EXPECT_EQ(FSink.Asked[0].second, QStringLiteral("Eine neuere Version steht zum Download zur Verfügung\n"
                                                    "Alt: \"1.2.3.4\" Neu: \"9.0.1.0\"\n"
                                                    "Wollen Sie diese jetzt herunterladen?"));
    const QString target = DataDir() + QStringLiteral("/Updates/ventolix_9.0.1_amd64.deb");
    EXPECT_EQ(ReadAll(target), package);
    EXPECT_EQ(FilesIn(DataDir() + QStringLiteral("/Updates")), QStringList{"ventolix_9.0.1_amd64.deb"});
    EXPECT_EQ(Shown(TMsgKind::mkInformation, QStringLiteral("Norvalis Ventolix")),
              std::vector<QString>{QStringLiteral("Die Datei \"ventolix_9.0.1_amd64.deb\" wurde im Verzeichnis\n\n\"") +
                                   DataDir() + QStringLiteral("/Updates/\"\n\ngespeichert.")});
}

TEST_F(StartUpdate, DeclinedOrInvalidVersionDownloadsNothing)
{
    FServer.SetRoute("/p.deb", "x");
    struct { QByteArray Version; bool Asked; } cases[] = {{"9", true}, {"1.70000", false}, {"1.2.3.4", false}};
    for (const auto &c : cases) {
        FSink.Asked.clear();
        FSink.Shown.clear();
        FServer.SetRoute("/config.xml",
                         Config(Entry(1, "Neu", "http://example.invalid/"), c.Version, FServer.Url("/p.deb").toUtf8()));
        FStart->UpdateConfig(false); // first check of the day; later ones forced
        FStart->UpdateConfig(true);
        EXPECT_EQ(FSink.Asked.size(), c.Asked ? 2u : 0u) << c.Version.constData();
        // an equal version says so when forced; an invalid one says nothing
        EXPECT_EQ(Shown(TMsgKind::mkInformation, QStringLiteral("Information")).size(),
                  c.Version == "1.2.3.4" ? 1u : 0u)
            << c.Version.constData();
    }
    EXPECT_EQ(FServer.Hits("/p.deb"), 0);
    EXPECT_FALSE(QFileInfo::exists(DataDir() + QStringLiteral("/Updates")));
}

TEST_F(StartUpdate, InstallerNotFoundIsReportedWhenForced)
{
    const QString url = FServer.Url("/fehlt.deb");
    FServer.SetRoute("/config.xml", Config(Entry(1, "Neu", "http://example.invalid/"), "9", url.toUtf8()));
    FSink.ConfirmAnswer = true;
    FStart->UpdateConfig(false); // the configuration counted the day: not shown
    EXPECT_TRUE(Shown(TMsgKind::mkError, QStringLiteral("Fehler")).empty());
    FStart->UpdateConfig(true);
    const auto errors = Shown(TMsgKind::mkError, QStringLiteral("Fehler"));
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_TRUE(errors[0].startsWith(QStringLiteral("Fehler beim Download von \"%1\"\n").arg(url)));
    EXPECT_EQ(FilesIn(DataDir() + QStringLiteral("/Updates")), QStringList());
}

TEST_F(StartUpdate, LocalCopiesAreFetchedReplacedAndKeptOnFailure)
{
    FServer.SetRoute("/a.html", "A1");
    FServer.SetRoute("/c.pdf", "C1");
    const QByteArray tree =
        Entry(1, "A", FServer.Url("/a.html").toUtf8(), "docs/a.html", "true",
              Entry(2, "B", "http://example.invalid/b", "", "false",
                    Entry(3, "C", FServer.Url("/c.pdf").toUtf8(), "docs/tief/c.pdf", "true"))) +
        Entry(1, "Mail", "mailto:x@example.invalid", "docs/m.html", "true") +
        Entry(1, "Ausbruch", FServer.Url("/a.html").toUtf8(), "../../ausbruch.html", "true") +
        Entry(1, "Ohne", FServer.Url("/a.html").toUtf8(), "docs/ohne.html", "false");
    FServer.SetRoute("/config.xml", Config(tree));
    FStart->UpdateConfig(false);
    EXPECT_TRUE(FSink.Shown.empty());
    EXPECT_EQ(FilesIn(DataDir()), (QStringList{"config.xml", "docs/a.html", "docs/tief/c.pdf"}));
    EXPECT_EQ(ReadAll(DataDir() + QStringLiteral("/docs/tief/c.pdf")), "C1");
    EXPECT_FALSE(QFileInfo::exists(FDir.filePath(QStringLiteral("../ausbruch.html"))));
    EXPECT_EQ(FServer.Hits("/a.html"), 1);
    // the local copy now opens instead of the online address
    EXPECT_EQ(FStart->GetStartRec(FStart->Ventolix()->Startseite().Level1(0)).URLToCall,
              QUrl::fromLocalFile(DataDir() + QStringLiteral("/docs/a.html")).toString());

    const TXMLStartseite &start = FStart->Ventolix()->Startseite();
    FStart->UpdateLocalDownloads(start, false); // present copies are not fetched again
    EXPECT_EQ(FServer.Hits("/a.html"), 1);

    FServer.SetRoute("/a.html", "A2");
    FServer.SetRoute("/c.pdf", "C2");
    FStart->UpdateLocalDownloads(start, true);
    EXPECT_EQ(ReadAll(DataDir() + QStringLiteral("/docs/a.html")), "A2");
    EXPECT_EQ(ReadAll(DataDir() + QStringLiteral("/docs/tief/c.pdf")), "C2");

    FServer.SetRoute("/a.html", "weg", 404);
    EXPECT_THROW(FStart->UpdateLocalDownloads(start, true), ELDT3Error);
    EXPECT_EQ(ReadAll(DataDir() + QStringLiteral("/docs/a.html")), "A2");
    EXPECT_EQ(FilesIn(DataDir()), (QStringList{"config.xml", "docs/a.html", "docs/tief/c.pdf"}));
}

int main(int argc, char **argv)
{
    UnsetProxies();
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
