#include "TestUtil.h"

#include "LDT3.Data.h"
#include "LDT3.XPMThrd.h"
#include "XpmTestUtil.h"

#include <QDir>

#include <chrono>
#include <signal.h>
#include <thread>

using namespace xpmtest;

namespace {

QString StandinDir() { return QString::fromUtf8(VENTOLIX_XPM_STANDIN_DIR); }

#define REQUIRE_STANDIN()                                                                                          \
    if (StandinDir().isEmpty() || !QFileInfo::exists(StandinDir() + QStringLiteral("/Bin/standin.jar")))          \
    GTEST_SKIP() << "no JDK: stand-in module not built"

QStringList TmpResultFiles()
{
    return QDir(TLDT3Data::GetLDTTmpDir()).entryList({QStringLiteral("PRO*"), QStringLiteral("STA*")}, QDir::Files);
}

// Kills the stand-in whose process id it wrote, waiting (bounded) for the file.
void KillStandin(const QString &APidFile)
{
    for (int i = 0; i < 200 && testutil::ReadAll(APidFile).isEmpty(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(25));
    const pid_t pid = pid_t(testutil::ReadAll(APidFile).trimmed().toLongLong());
    if (pid > 0)
        ::kill(pid, SIGKILL);
}

class XPMRun : public ::testing::Test
{
protected:
    void SetUp() override
    {
        FLdt = testutil::WriteFile(FDir, QStringLiteral("mein befund.ldt"), QByteArray("01380008220\r\n"));
    }
    QTemporaryDir FDir;
    QString FLdt;
    TScopedRecorder FRec;
    TRecordingSink FSink;
};

} // namespace

TEST(XPMCommand, CommandLinesQuoteEveryPath)
{
    EXPECT_EQ(TXPMCommand::CommandLineXML(QStringLiteral("Konfig/konfig.xml"), QStringLiteral("/t/PRO1"),
                                          QStringLiteral("/t/STA1"), QStringLiteral("/d/a b.ldt")),
              QStringLiteral("-Dfile.encoding=8859_15 -cp \"Bin/*\" de.kbv.xpm.modul.ldk.start.StartKonsole "
                             "-c \"Konfig/konfig.xml\" -p FehlerListe=\"/t/PRO1\" -p FehlerListe@Format=xml "
                             "-p StatistikListe=\"/t/STA1\" -p StatistikListe@Format=xml -f \"/d/a b.ldt\""));
    EXPECT_EQ(TXPMCommand::CommandLinePDF(QStringLiteral("/k.xml"), QString(), QStringLiteral("/s.pdf"),
                                          QStringLiteral("/x.ldt")),
              QStringLiteral("-Dfile.encoding=8859_15 -cp \"Bin/*\" de.kbv.xpm.modul.ldk.start.StartKonsole "
                             "-c \"/k.xml\" -p StatistikListe=\"/s.pdf\" -p StatistikListe@Format=pdf -f \"/x.ldt\""));
    // a quote inside a path survives the argument splitting
    TJavaExecThrd t(QString(), QString(),
                    TXPMCommand::CommandLinePDF(QStringLiteral("k"), QString(), QString(), QStringLiteral("/a\"b c")),
                    QString(), nullptr, nullptr, nullptr);
    EXPECT_EQ(t.Arguments().last(), QStringLiteral("/a\"b c"));
}

TEST_F(XPMRun, PreRunChecksFailBeforeAnyProcessStarts)
{
    const QString noBin = FDir.filePath(QStringLiteral("ohneBin"));
    const QString noKonfig = FDir.filePath(QStringLiteral("ohneKonfig"));
    QDir().mkpath(noBin);
    QDir().mkpath(noKonfig + QStringLiteral("/Bin"));
    const QString args = FDir.filePath(QStringLiteral("args.txt"));
    TScopedEnv env("XPMSTANDIN_ARGS", args.toUtf8());
    struct { QString File, Dir, Text; } cases[] = {
        {FDir.filePath(QStringLiteral("fehlt.ldt")), noBin,
         QStringLiteral("Zu prüfende Datei \"%1\"\nnicht gefunden.").arg(FDir.filePath(QStringLiteral("fehlt.ldt")))},
        {FLdt, FDir.filePath(QStringLiteral("nichtda")),
         QStringLiteral("Vezeichnis \"%1\"\ndes KBV-Prüfmoduls nicht gefunden.").arg(FDir.filePath(QStringLiteral("nichtda")))},
        {FLdt, noBin, QStringLiteral("Bin-Vezeichnis \"%1/Bin\"\ndes KBV-Prüfmoduls nicht gefunden.").arg(noBin)},
        {FLdt, noKonfig,
         QStringLiteral("Konfigurations-Datei \"%1/Konfig/konfig.xml\"\ndes KBV-Prüfmoduls nicht gefunden.").arg(noKonfig)},
    };
    for (const auto &c : cases) {
        FSink.Shown.clear();
        std::unique_ptr<TXPMErrList> list = std::make_unique<TXPMErrList>();
        EXPECT_FALSE(XPMCheckXML(c.File, c.Dir, QString(), list));
        EXPECT_EQ(list, nullptr);
        EXPECT_FALSE(XPMCheckPDF(c.File, c.Dir, QString(), FDir.filePath(QStringLiteral("p.pdf")), QString()));
        ASSERT_EQ(FSink.Shown.size(), 2u);
        for (const auto &s : FSink.Shown) {
            EXPECT_EQ(s.Kind, TMsgKind::mkError);
            EXPECT_EQ(s.Heading, QStringLiteral("Fehler beim Starten des KBV-Prüfmoduls"));
            EXPECT_EQ(s.Text, c.Text);
        }
    }
    EXPECT_FALSE(QFileInfo::exists(args)); // nothing was started
    EXPECT_TRUE(FRec.Rec().Msgs.empty());
}

TEST_F(XPMRun, XmlRunMarksLinesAndPassesBlankedNamesIntact)
{
    REQUIRE_STANDIN();
    const QStringList before = TmpResultFiles();
    const QString args = FDir.filePath(QStringLiteral("args.txt"));
    TScopedEnv a("XPMSTANDIN_ARGS", args.toUtf8());
    TScopedEnv m("XPMSTANDIN_MESSAGES", "2|W|K089|Feld|Wert <b>fehlt</b>;0|I|K001|Info|ohne Zeile;3|F|K100|X|kaputt");
    std::unique_ptr<TXPMErrList> list;
    ASSERT_TRUE(XPMCheckXML(FLdt, StandinDir(), QString(), list));
    ASSERT_NE(list, nullptr);
    EXPECT_TRUE(FSink.Shown.empty());
    EXPECT_EQ(list->Count(), 3);
    EXPECT_TRUE(list->IsFehlerZeile(2));
    EXPECT_TRUE(list->IsFehlerZeile(3));
    EXPECT_TRUE(list->IsInfoZeile(-1));
    EXPECT_EQ(list->XPMShortFehlerName(2), QStringLiteral("K089"));
    EXPECT_EQ(list->Parameter.DATEI, FLdt);

    const QStringList passed = QString::fromUtf8(testutil::ReadAll(args)).split(u'\n');
    const qsizetype f = passed.indexOf(QStringLiteral("-f"));
    ASSERT_GE(f, 0);
    EXPECT_EQ(passed.value(f + 1), FLdt);
    EXPECT_TRUE(passed.contains(QStringLiteral("Konfig/konfig.xml")));
    EXPECT_TRUE(passed.contains(QStringLiteral("FehlerListe@Format=xml")));
    EXPECT_TRUE(passed.contains(QStringLiteral("cwd=") + QDir(StandinDir()).absolutePath()));

    EXPECT_EQ(TextsOf(FRec.Rec(), 1), QStringList{QStringLiteral("Datei: \"%1\"").arg(FLdt)});
    EXPECT_EQ(TextsOf(FRec.Rec(), 2), QStringList{QStringLiteral("Prüfe mein befund.ldt")});
    EXPECT_EQ(TmpResultFiles(), before); // both temporary result files are gone
}

TEST_F(XPMRun, MalformedResultIsReportedNotCrashing)
{
    REQUIRE_STANDIN();
    const QString bad =
        testutil::WriteFile(FDir, QStringLiteral("bad.xml"), "<?xml version=\"1.0\"?><data><parameter></data>");
    TScopedEnv r("XPMSTANDIN_RESULT", bad.toUtf8());
    std::unique_ptr<TXPMErrList> list;
    EXPECT_FALSE(XPMCheckXML(FLdt, StandinDir(), QString(), list));
    EXPECT_EQ(list, nullptr);
    ASSERT_EQ(FSink.Shown.size(), 1u);
    EXPECT_EQ(FSink.Shown[0].Heading, QStringLiteral("Fehler beim Starten des KBV-Prüfmoduls"));
    EXPECT_TRUE(FSink.Shown[0].Text.contains(QStringLiteral("XML-Fehler in Zeile 1"))) << FSink.Shown[0].Text.toStdString();
}

TEST_F(XPMRun, CancelBeforeTheListIsWrittenLeavesNoList)
{
    REQUIRE_STANDIN();
    const QString pidFile = FDir.filePath(QStringLiteral("pid"));
    TScopedEnv p("XPMSTANDIN_PIDFILE", pidFile.toUtf8());
    TScopedEnv s("XPMSTANDIN_SLEEP_MS", "4000");
    FRec.Rec().CancelAfterTexts = 2; // caption, then the module's first output line
    std::unique_ptr<TXPMErrList> list;
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(XPMCheckXML(FLdt, StandinDir(), QString(), list));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(3500));
    EXPECT_EQ(list, nullptr);
    EXPECT_TRUE(FSink.Shown.empty());
    KillStandin(pidFile);
}

TEST_F(XPMRun, JavaNotFound)
{
    QTemporaryDir emptyPath;
    const QString dir = StandinDir().isEmpty() ? FDir.path() : StandinDir();
    QDir().mkpath(FDir.filePath(QStringLiteral("Bin")));
    QDir().mkpath(FDir.filePath(QStringLiteral("Konfig")));
    testutil::WriteFile(FDir, QStringLiteral("Konfig/konfig.xml"), "<konfig/>");
    TScopedEnv path("PATH", emptyPath.path().toUtf8());
    std::unique_ptr<TXPMErrList> list;
    EXPECT_FALSE(XPMCheckXML(FLdt, dir, QString(), list)); // quietly false
    EXPECT_TRUE(FSink.Shown.empty());
    EXPECT_TRUE(XPMCheckPDF(FLdt, dir, QString(), FDir.filePath(QStringLiteral("p.pdf")), QString()));
    ASSERT_EQ(FSink.Shown.size(), 1u);
    EXPECT_EQ(FSink.Shown[0].Kind, TMsgKind::mkError);
    EXPECT_EQ(FSink.Shown[0].Heading, QStringLiteral("Information des Prüfmoduls"));
    EXPECT_EQ(FSink.Shown[0].Text, QStringLiteral("Exitcode: 4294967295\n\n"));
}

TEST_F(XPMRun, PdfRunReportsExitCodeAndOutput)
{
    REQUIRE_STANDIN();
    const QString prot = FDir.filePath(QStringLiteral("LDT3XPM_Prot.pdf"));
    const QString stat = FDir.filePath(QStringLiteral("LDT3XPM_Stat.pdf"));
    struct { QByteArray Out, Err, Exit; TMsgKind Kind; QString Text; } cases[] = {
        {"", "", "0", TMsgKind::mkInformation, QStringLiteral("Exitcode: 0\n\n")},
        {"", "Warnung\n", "0", TMsgKind::mkError, QStringLiteral("Exitcode: 0\n\n\nFehler: \n\nWarnung\n")},
        {"Fertig\n", "", "3", TMsgKind::mkError, QStringLiteral("Exitcode: 3\n\nAusgabe: \n\nFertig\n")},
    };
    for (const auto &c : cases) {
        QFile::remove(prot);
        QFile::remove(stat);
        FSink.Shown.clear();
        TScopedEnv o("XPMSTANDIN_STDOUT", c.Out);
        TScopedEnv e("XPMSTANDIN_STDERR", c.Err);
        TScopedEnv x("XPMSTANDIN_EXIT", c.Exit);
        EXPECT_TRUE(XPMCheckPDF(FLdt, StandinDir(), QString(), prot, stat));
        ASSERT_EQ(FSink.Shown.size(), 1u);
        EXPECT_EQ(FSink.Shown[0].Kind, c.Kind);
        EXPECT_EQ(FSink.Shown[0].Text, c.Text);
        EXPECT_TRUE(testutil::ReadAll(prot).startsWith("%PDF-"));
        EXPECT_TRUE(testutil::ReadAll(stat).startsWith("%PDF-"));
    }
}
