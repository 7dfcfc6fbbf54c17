#include "TestUtil.h"

#include "LDT3.Base.h"
#include "Vex_ConsolePresenter.h"
#include "Vex_ExThread.h"
#include "XpmTestUtil.h"

#include <chrono>
#include <cstdio>
#include <functional>

using namespace xpmtest;

namespace {

class ExThread : public ::testing::Test
{
protected:
    void SetUp() override { SetThreadInfoPresenter(&FPresenter); }
    void TearDown() override { SetThreadInfoPresenter(nullptr); }
    TRecordingPresenter FPresenter;
};

} // namespace

TEST_F(ExThread, WorkerThatEndsAtOnceCountsAsFinishedNotCancelled)
{
    // the worker's own close must never count as a cancel, however the race goes
    for (int i = 0; i < 30; ++i) {
        TLambdaThread t([](TLambdaThread &) {});
        EXPECT_TRUE(ExecuteWithThreadInfo(t, QStringLiteral("x"), 1, false, true)) << i;
        EXPECT_FALSE(t.Canceled());
        EXPECT_TRUE(t.Finished());
    }
}

TEST_F(ExThread, CancelStopsCooperativeWorkerAndDropsLaterPosts)
{
    FPresenter.Rec.CancelAfterTexts = 1;
    bool sawShutdown = false;
    TLambdaThread t([&](TLambdaThread &w) {
        w.Text(1, QStringLiteral("läuft"));
        const auto start = std::chrono::steady_clock::now();
        while (!w.WaitShutDownRequested(20))
            if (std::chrono::steady_clock::now() - start > std::chrono::seconds(5))
                return;
        sawShutdown = true;
        w.Text(1, QStringLiteral("nach dem Abbruch"));
    });
    EXPECT_FALSE(ExecuteWithThreadInfo(t, QStringLiteral("x"), 1, false, true));
    EXPECT_TRUE(t.Canceled());
    EXPECT_TRUE(sawShutdown);
    for (const auto &m : FPresenter.Rec.Msgs)
        EXPECT_NE(m.Text, QStringLiteral("nach dem Abbruch"));
}

TEST_F(ExThread, WorkerExceptionIsRaisedOnCallerWithSameText)
{
    TLambdaThread t([](TLambdaThread &) { throw ELDT3Error(QStringLiteral("Datei kaputt: ü")); });
    try {
        ExecuteWithThreadInfo(t, QStringLiteral("x"), 1, false, true);
        FAIL() << "no exception";
    } catch (const ELDT3Error &e) {
        EXPECT_EQ(e.Message(), QStringLiteral("Datei kaputt: ü"));
    }
}

TEST_F(ExThread, PostsTravelInOrderAndNegativeLinesAreNotPosted)
{
    TLambdaThread t([](TLambdaThread &w) {
        w.Text(-1, QStringLiteral("nie"));
        w.Ellipsis(-1, 2);
        w.Range(0, 10);
        w.Text(2, QStringLiteral("zwei"));
        w.Progress(5);
    });
    ASSERT_TRUE(ExecuteWithThreadInfo(t, QStringLiteral("x"), 2, true, true));
    std::vector<TThreadInfoMsg::TKind> kinds;
    for (const auto &m : FPresenter.Rec.Msgs)
        kinds.push_back(m.Kind);
    const std::vector<TThreadInfoMsg::TKind> expected{TThreadInfoMsg::tiRange, TThreadInfoMsg::tiText,
                                                      TThreadInfoMsg::tiProgress, TThreadInfoMsg::tiClose};
    EXPECT_EQ(kinds, expected);
    EXPECT_EQ(FPresenter.Rec.Msgs[1].Line, 2);
    EXPECT_EQ(FPresenter.Rec.Msgs[1].Text, QStringLiteral("zwei"));
}

TEST(ExThreadProgress, ScalesToFiftyThousandRoundingTiesToEven)
{
    struct { int Min, Max, Value, Pos; } cases[] = {
        {0, 0, 5, 50000},       // no range: full bar
        {7, 7, 0, 50000},
        {0, 100, 50, 25000},
        {0, 3, 1, 16667},
        {0, 20000, 1, 2},       // 2.5 -> 2
        {0, 20000, 3, 8},       // 7.5 -> 8
        {10, 110, 60, 25000},
        {0, 100, 250, 50000},   // beyond the end stays full
        {0, 100, -5, 0},
    };
    for (const auto &c : cases)
        EXPECT_EQ(ThreadInfoProgressPos(c.Min, c.Max, c.Value), c.Pos) << c.Min << " " << c.Max << " " << c.Value;
}

TEST(ExThreadPlain, RunsWithoutPresenterAndUnstartedWorkerFreesAtOnce)
{
    SetThreadInfoPresenter(nullptr);
    int ran = 0;
    TLambdaThread t([&](TLambdaThread &w) {
        w.Text(1, QStringLiteral("a"));
        ++ran;
    });
    EXPECT_TRUE(ExecuteWithThreadInfo(t, QStringLiteral("x"), 1, false, false));
    EXPECT_EQ(ran, 1);
    TLambdaThread never([](TLambdaThread &) {});
    (void)never; // destroyed without a run: must not wait
}

TEST(ExThreadConsole, PrintsProgressAndCancelsOnRequest)
{
    std::FILE *out = std::tmpfile();
    ASSERT_NE(out, nullptr);
    TConsoleThreadInfoPresenter console(out);
    SetThreadInfoPresenter(&console);
    TConsoleThreadInfoPresenter::ResetCancel();

    TLambdaThread ok([](TLambdaThread &w) {
        w.Text(1, QStringLiteral("Zeile eins"));
        w.Range(0, 4);
        w.Progress(2);
        w.Progress(4);
    });
    EXPECT_TRUE(ExecuteWithThreadInfo(ok, QStringLiteral("Titel"), 1, true, true));

    TLambdaThread slow([](TLambdaThread &w) {
        TConsoleThreadInfoPresenter::RequestCancel();
        w.WaitShutDownRequested(5000);
    });
    EXPECT_FALSE(ExecuteWithThreadInfo(slow, QStringLiteral("Titel"), 1, false, true));
    EXPECT_TRUE(slow.Canceled());
    SetThreadInfoPresenter(nullptr);

    std::rewind(out);
    QByteArray text;
    char buf[256];
    while (std::fgets(buf, sizeof buf, out))
        text += buf;
    std::fclose(out);
    const QString s = QString::fromLocal8Bit(text);
    EXPECT_TRUE(s.contains(QStringLiteral("Titel\n")));
    EXPECT_TRUE(s.contains(QStringLiteral("  Zeile eins\n")));
    EXPECT_TRUE(s.contains(QStringLiteral("  50 %\n")));
    EXPECT_TRUE(s.contains(QStringLiteral("  100 %\n")));
    EXPECT_TRUE(s.contains(QStringLiteral("Abgebrochen.")));
}
