#include "TestUtil.h"

#include "Vex_ThreadInfoForm.h"

#include <QApplication>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <atomic>
#include <chrono>
#include <thread>
#include <functional>

namespace {

class TLambdaThread : public TExecuteThread
{
public:
    explicit TLambdaThread(std::function<void(TLambdaThread &)> AProc) : FProc(std::move(AProc)) {}
    void Text(int ALine, const QString &S) { ShowInfoMsg(ALine, S); }

protected:
    void ProcToExecute() override { FProc(*this); }

private:
    std::function<void(TLambdaThread &)> FProc;
};

// Waits (bounded) for the worker's cancel, so a test never hangs.
void WaitForCancel(TLambdaThread &w, int AMaxMs = 5000) { w.WaitShutDownRequested(AMaxMs); }

// Remembers the window it built so a test can act on it while it is modal.
class TSpyPresenter : public TThreadInfoFormPresenter
{
public:
    TThreadInfoForm *Last = nullptr;
    std::unique_ptr<TThreadInfoWindow> CreateThreadInfoForm(const QString &C, int E, bool P, bool A) override
    {
        auto w = TThreadInfoFormPresenter::CreateThreadInfoForm(C, E, P, A);
        Last = static_cast<TThreadInfoForm *>(w.get());
        return w;
    }
};

// Runs AAction on the shown window as soon as it is visible.
void WhenShown(TSpyPresenter &P, std::function<void(TThreadInfoForm &)> AAction)
{
    auto *timer = new QTimer;
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, &P, AAction]() {
        if (P.Last && P.Last->isVisible()) {
            timer->stop();
            timer->deleteLater();
            AAction(*P.Last);
        }
    });
    timer->start();
}

class ThreadInfoForm : public ::testing::Test
{
protected:
    void SetUp() override { SetThreadInfoPresenter(&FSpy); }
    void TearDown() override { SetThreadInfoPresenter(nullptr); }
    TSpyPresenter FSpy;
};

void PostText(TThreadInfoForm &F, int ALine, const QString &S)
{
    TThreadInfoMsg m;
    m.Kind = TThreadInfoMsg::tiText;
    m.Line = ALine;
    m.Text = S;
    F.Channel()->Post(m);
}

void Post(TThreadInfoForm &F, TThreadInfoMsg::TKind K, int ALine, int V, int V2 = 0)
{
    TThreadInfoMsg m;
    m.Kind = K;
    m.Line = ALine;
    m.Value = V;
    m.Value2 = V2;
    F.Channel()->Post(m);
}

} // namespace

TEST(ThreadInfoFormBuild, HasTitleStatusLinesBarAndCancelButton)
{
    TThreadInfoForm f(QStringLiteral("Datei-Download..."), 2, true, true);
    EXPECT_EQ(f.windowTitle(), QStringLiteral("Information"));
    ASSERT_EQ(f.LineCount(), 3);
    EXPECT_EQ(f.LineLabel(0)->text(), QStringLiteral("Datei-Download..."));
    EXPECT_TRUE(f.LineLabel(0)->font().bold());
    EXPECT_FALSE(f.LineLabel(1)->font().bold());
    EXPECT_NE(f.findChild<QFrame *>(QStringLiteral("Pan2")), nullptr);
    EXPECT_NE(f.findChild<QLabel *>(QStringLiteral("Label2")), nullptr);
    ASSERT_NE(f.ProgressBar(), nullptr);
    EXPECT_EQ(f.ProgressBar()->objectName(), QStringLiteral("Progress"));
    EXPECT_EQ(f.ProgressBar()->maximum(), 1024);
    ASSERT_NE(f.CancelButton(), nullptr);
    EXPECT_EQ(f.CancelButton()->text(), QStringLiteral("A&bbrechen"));
    EXPECT_TRUE(f.CancelButton()->isDefault());
    EXPECT_TRUE(f.windowFlags() & Qt::WindowCloseButtonHint);
    EXPECT_GE(f.width(), 480);

    TThreadInfoForm plain(QStringLiteral("x"), 1, false, false);
    EXPECT_EQ(plain.ProgressBar(), nullptr);
    EXPECT_EQ(plain.CancelButton(), nullptr);
    EXPECT_FALSE(plain.windowFlags() & Qt::WindowCloseButtonHint); // close item greyed
}

TEST(ThreadInfoFormMessages, TextsRangesAndOutOfRangeValues)
{
    TThreadInfoForm f(QStringLiteral("Titel"), 1, true, true);
    PostText(f, 1, QStringLiteral("Status"));
    PostText(f, 5, QStringLiteral("verloren"));
    Post(f, TThreadInfoMsg::tiProgress, 0, 3); // no range yet: full bar
    f.ProcessPending();
    EXPECT_EQ(f.LineLabel(1)->FullText(), QStringLiteral("Status"));
    EXPECT_EQ(f.ProgressBar()->value(), f.ProgressBar()->maximum());

    Post(f, TThreadInfoMsg::tiRange, 0, 0, 200);
    f.ProcessPending();
    EXPECT_EQ(f.ProgressBar()->maximum(), 50000);
    EXPECT_EQ(f.ProgressBar()->value(), 0);
    Post(f, TThreadInfoMsg::tiProgress, 0, 50);
    f.ProcessPending();
    EXPECT_EQ(f.ProgressBar()->value(), 12500);

    Post(f, TThreadInfoMsg::tiEllipsis, 1, 2);
    Post(f, TThreadInfoMsg::tiEllipsis, 1, 7); // ignored
    Post(f, TThreadInfoMsg::tiEllipsis, 9, 1); // ignored
    f.ProcessPending();
    EXPECT_EQ(f.LineLabel(1)->Ellipsis(), 2);

    Post(f, TThreadInfoMsg::tiCanCancel, 0, 0);
    f.ProcessPending();
    EXPECT_FALSE(f.CanCancel());
    EXPECT_FALSE(f.CancelButton()->isEnabled());
    EXPECT_FALSE(f.CancelButton()->isVisibleTo(&f));
    Post(f, TThreadInfoMsg::tiCanCancel, 0, 1);
    f.ProcessPending();
    EXPECT_TRUE(f.CanCancel());
}

TEST_F(ThreadInfoForm, CancelButtonEscapeAndCloseCancelTheRun)
{
    const std::function<void(TThreadInfoForm &)> actions[] = {
        [](TThreadInfoForm &f) { QTest::mouseClick(f.CancelButton(), Qt::LeftButton); },
        [](TThreadInfoForm &f) { QTest::keyClick(&f, Qt::Key_Escape); },
        [](TThreadInfoForm &f) { f.close(); },
    };
    int i = 0;
    for (const auto &act : actions) {
        FSpy.Last = nullptr;
        TLambdaThread t([](TLambdaThread &w) {
            w.Text(1, QStringLiteral("warte"));
            WaitForCancel(w);
        });
        WhenShown(FSpy, act);
        EXPECT_FALSE(ExecuteWithThreadInfo(t, QStringLiteral("Titel"), 2, false, true)) << i;
        EXPECT_TRUE(t.Canceled()) << i;
        ++i;
    }
}

TEST_F(ThreadInfoForm, CloseIsIgnoredWhenCancellingIsNotAllowed)
{
    bool stillVisible = false;
    TLambdaThread t([](TLambdaThread &w) { w.WaitShutDownRequested(TThreadInfoForm::ShowDelayMs + 400); });
    WhenShown(FSpy, [&](TThreadInfoForm &f) {
        f.close();
        QTest::keyClick(&f, Qt::Key_Escape);
        stillVisible = f.isVisible();
    });
    const auto start = std::chrono::steady_clock::now();
    EXPECT_TRUE(ExecuteWithThreadInfo(t, QStringLiteral("Titel"), 1, false, false));
    EXPECT_FALSE(t.Canceled());
    EXPECT_TRUE(stillVisible);
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(TThreadInfoForm::ShowDelayMs + 350));
}

TEST_F(ThreadInfoForm, WorkerTextsReachTheShownWindowAndItsEndClosesIt)
{
    QString seen;
    TLambdaThread t([](TLambdaThread &w) {
        w.Text(1, QStringLiteral("Schritt 1"));
        w.WaitShutDownRequested(TThreadInfoForm::ShowDelayMs + 300);
    });
    WhenShown(FSpy, [&](TThreadInfoForm &f) {
        QTest::qWait(100);
        seen = f.LineLabel(1)->FullText();
    });
    EXPECT_TRUE(ExecuteWithThreadInfo(t, QStringLiteral("Titel"), 1, false, true));
    EXPECT_EQ(seen, QStringLiteral("Schritt 1"));
}

namespace {

// Counts the progress windows that were shown.
class TShowCounter : public QObject
{
public:
    int Shown = 0;
    TShowCounter() { qApp->installEventFilter(this); }
    ~TShowCounter() override { qApp->removeEventFilter(this); }
    bool eventFilter(QObject *AWatched, QEvent *AEvent) override
    {
        if (AEvent->type() == QEvent::Show && dynamic_cast<TThreadInfoForm *>(AWatched))
            ++Shown;
        return false;
    }
};

} // namespace

TEST_F(ThreadInfoForm, ShortRunShowsNoWindow)
{
    TShowCounter counter;
    TLambdaThread t([](TLambdaThread &w) {
        for (int i = 0; i < 50; ++i)
            w.Text(1, QStringLiteral("Schritt %1").arg(i));
    });
    EXPECT_TRUE(ExecuteWithThreadInfo(t, QStringLiteral("Titel"), 1, true, true));
    EXPECT_EQ(counter.Shown, 0);
}

TEST_F(ThreadInfoForm, LongRunShowsAfterTheDelayAndUpdatesAtMostEvery150ms)
{
    TShowCounter counter;
    std::atomic<bool> posting{true};
    TLambdaThread t([&posting](TLambdaThread &w) {
        // a text every millisecond until the test has looked, then wait for the cancel
        for (int i = 0; posting.load() && !w.ShutDownRequested(); ++i) {
            w.Text(1, QStringLiteral("Schritt %1").arg(i));
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        WaitForCancel(w);
    });
    const auto start = std::chrono::steady_clock::now();
    std::chrono::steady_clock::duration shownAfter{};
    int updates = 0;
    std::chrono::steady_clock::duration watched{};
    WhenShown(FSpy, [&](TThreadInfoForm &f) {
        shownAfter = std::chrono::steady_clock::now() - start;
        const int before = f.UpdateCount();
        const auto from = std::chrono::steady_clock::now();
        QTest::qWait(600);
        watched = std::chrono::steady_clock::now() - from;
        updates = f.UpdateCount() - before;
        posting.store(false);
        QTest::mouseClick(f.CancelButton(), Qt::LeftButton);
    });
    EXPECT_FALSE(ExecuteWithThreadInfo(t, QStringLiteral("Titel"), 1, true, true));
    EXPECT_EQ(counter.Shown, 1);
    EXPECT_GE(shownAfter, std::chrono::milliseconds(TThreadInfoForm::ShowDelayMs - 20));
    // about 600 texts arrived while watched; at most one update per interval (+1 for the edges)
    const int most = int(std::chrono::duration_cast<std::chrono::milliseconds>(watched).count()
                         / TThreadInfoForm::UpdateIntervalMs) + 1;
    EXPECT_GE(updates, 2);
    EXPECT_LE(updates, most);
}

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
