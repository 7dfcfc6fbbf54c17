#include "Vex_ExThread.h"

#include "Vex_Error.h"
#include "Vex_MessageSink.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QThread>
#include <QTimer>

#include <chrono>
#include <cmath>

// ---------------------------------------------------------------------------
// TManualResetEvent

void TManualResetEvent::Set()
{
    {
        std::lock_guard<std::mutex> guard(FMutex);
        FSignalled = true;
    }
    FCond.notify_all();
}

void TManualResetEvent::Reset()
{
    std::lock_guard<std::mutex> guard(FMutex);
    FSignalled = false;
}

bool TManualResetEvent::IsSet() const
{
    std::lock_guard<std::mutex> guard(FMutex);
    return FSignalled;
}

bool TManualResetEvent::Wait(int ATimeoutMs) const
{
    std::unique_lock<std::mutex> lock(FMutex);
    if (ATimeoutMs < 0) {
        FCond.wait(lock, [this] { return FSignalled; });
        return true;
    }
    return FCond.wait_for(lock, std::chrono::milliseconds(ATimeoutMs), [this] { return FSignalled; });
}

// ---------------------------------------------------------------------------
// TThreadInfoChannel

bool TThreadInfoChannel::Post(TThreadInfoMsg AMsg)
{
    std::lock_guard<std::mutex> guard(FMutex);
    if (!FAttached)
        return false;
    FQueue.push_back(std::move(AMsg));
    FCond.notify_all();
    if (FWakeUp)
        FWakeUp();
    return true;
}

std::vector<TThreadInfoMsg> TThreadInfoChannel::TakeAll()
{
    std::lock_guard<std::mutex> guard(FMutex);
    std::vector<TThreadInfoMsg> r(std::make_move_iterator(FQueue.begin()), std::make_move_iterator(FQueue.end()));
    FQueue.clear();
    return r;
}

bool TThreadInfoChannel::WaitForMessage(int ATimeoutMs)
{
    std::unique_lock<std::mutex> lock(FMutex);
    return FCond.wait_for(lock, std::chrono::milliseconds(ATimeoutMs), [this] { return !FQueue.empty(); });
}

void TThreadInfoChannel::SetWakeUp(std::function<void()> AWakeUp)
{
    std::lock_guard<std::mutex> guard(FMutex);
    FWakeUp = std::move(AWakeUp);
}

void TThreadInfoChannel::Detach()
{
    std::lock_guard<std::mutex> guard(FMutex);
    FAttached = false;
    FWakeUp = nullptr;
    FQueue.clear();
}

bool TThreadInfoChannel::IsAttached() const
{
    std::lock_guard<std::mutex> guard(FMutex);
    return FAttached;
}

int ThreadInfoProgressPos(int AMin, int AMax, int AValue)
{
    const qint64 delta = qint64(AMax) - AMin;
    if (delta == 0)
        return 50000;
    // nearbyint rounds ties to even in the default rounding mode
    const double pos = std::nearbyint(50000.0 / double(delta) * double(qint64(AValue) - AMin));
    if (pos < 0)
        return 0;
    if (pos > 50000)
        return 50000;
    return int(pos);
}

// ---------------------------------------------------------------------------
// TExecuteThread

TExecuteThread::TExecuteThread() = default;

TExecuteThread::~TExecuteThread()
{
    if (FStarted) {
        // the user-interface side says when it has finished with this object
        FCanFreeEvent.Wait(-1);
        Terminate();
        if (FThread.joinable() && !IsWorkerThread())
            FThread.join();
    }
}

void TExecuteThread::Start()
{
    if (FStarted)
        return;
    FStarted = true;
    FThread = std::thread([this] { Execute(); });
}

void TExecuteThread::Terminate()
{
    FTerminated.store(true);
    TerminatedSet();
}

void TExecuteThread::TerminatedSet() { FShutDownEvent.Set(); }

QString TExecuteThread::FatalExceptionMsg() const
{
    return FFinished.load() ? FFatalMsg : QString();
}

bool TExecuteThread::HasFatalException() const { return FFinished.load() && FFatalException != nullptr; }

void TExecuteThread::Execute()
{
    FThreadId = std::this_thread::get_id();
    try {
        ProcToExecute();
    } catch (const ELDT3Error &e) {
        FFatalException = std::current_exception();
        FFatalMsg = e.Message();
    } catch (const std::exception &e) {
        FFatalException = std::current_exception();
        FFatalMsg = QString::fromUtf8(e.what());
    } catch (...) {
        FFatalException = std::current_exception();
        FFatalMsg = QStringLiteral("Unbekannter Fehler");
    }
    {
        // from here on a cancel no longer counts as a cancellation
        std::lock_guard<std::recursive_mutex> guard(FLock);
        FProcDone.store(true);
    }
    CloseThreadInfo();
    FFinished.store(true);
    FFinishedEvent.Set();
}

bool TExecuteThread::IsWorkerThread() const { return FStarted && std::this_thread::get_id() == FThread.get_id(); }

bool TExecuteThread::ShutDownRequested() const { return FTerminated.load() || FShutDownEvent.IsSet(); }

bool TExecuteThread::WaitShutDownRequested(int ATimeoutMs) const
{
    if (FTerminated.load())
        return true;
    return FShutDownEvent.Wait(ATimeoutMs);
}

void TExecuteThread::Cancel()
{
    {
        std::lock_guard<std::recursive_mutex> guard(FLock);
        if (!FProcDone.load())
            FCanceled.store(true);
        FThreadInfoHWND.store(nullptr);
        Terminate();
    }
    if (!IsWorkerThread())
        std::this_thread::yield();
}

void TExecuteThread::MarkFreeable() { FCanFreeEvent.Set(); }

void TExecuteThread::SetThreadInfoHWnd(std::shared_ptr<TThreadInfoChannel> AHWnd)
{
    FThreadInfoHWND.exchange(std::move(AHWnd));
}

std::shared_ptr<TThreadInfoChannel> TExecuteThread::InfoHWnd() const { return FThreadInfoHWND.load(); }

quint32 TExecuteThread::WaitForExitCode()
{
    if (!FStarted)
        return FReturnValue.load();
    if (IsWorkerThread())
        return FReturnValue.load();
    QCoreApplication *app = QCoreApplication::instance();
    if (app && QThread::currentThread() == app->thread() && !FFinishedEvent.IsSet()) {
        // The worker may still hand a message to this thread (the message
        // sink): a local loop serves it, without user input, until the end.
        QEventLoop loop;
        QTimer poll;
        poll.setInterval(5);
        QObject::connect(&poll, &QTimer::timeout, &loop, [&]() {
            if (FFinishedEvent.IsSet())
                loop.quit();
        });
        poll.start();
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    } else {
        FFinishedEvent.Wait(-1);
    }
    if (FThread.joinable())
        FThread.join();
    return FReturnValue.load();
}

bool TExecuteThread::PostToInfo(TThreadInfoMsg AMsg)
{
    std::shared_ptr<TThreadInfoChannel> ch = InfoHWnd();
    if (!ch)
        return false;
    return ch->Post(std::move(AMsg));
}

void TExecuteThread::CloseThreadInfo()
{
    TThreadInfoMsg m;
    m.Kind = TThreadInfoMsg::tiClose;
    // a post fails only when the window is gone: nothing left to close then
    PostToInfo(std::move(m));
}

void TExecuteThread::ShowInfoMsg(int ALine, const QString &AMsg)
{
    if (ALine < 0)
        return;
    TThreadInfoMsg m;
    m.Kind = TThreadInfoMsg::tiText;
    m.Line = ALine;
    m.Text = QString(AMsg.constData(), AMsg.size()); // a deep copy travels
    PostToInfo(std::move(m));
}

void TExecuteThread::SetProgress(int AValue)
{
    TThreadInfoMsg m;
    m.Kind = TThreadInfoMsg::tiProgress;
    m.Value = AValue;
    PostToInfo(std::move(m));
}

void TExecuteThread::SetProgressMinMax(int AMin, int AMax)
{
    TThreadInfoMsg m;
    m.Kind = TThreadInfoMsg::tiRange;
    m.Value = AMin;
    m.Value2 = AMax;
    PostToInfo(std::move(m));
}

void TExecuteThread::DisableCancelBtn()
{
    TThreadInfoMsg m;
    m.Kind = TThreadInfoMsg::tiCanCancel;
    m.Value = 0;
    PostToInfo(std::move(m));
}

void TExecuteThread::EnableCancelBtn()
{
    TThreadInfoMsg m;
    m.Kind = TThreadInfoMsg::tiCanCancel;
    m.Value = 1;
    PostToInfo(std::move(m));
}

void TExecuteThread::SetEllipsisPosition(int ALine, int AEllipsis)
{
    if (ALine < 0)
        return;
    TThreadInfoMsg m;
    m.Kind = TThreadInfoMsg::tiEllipsis;
    m.Line = ALine;
    m.Value = AEllipsis;
    PostToInfo(std::move(m));
}

void TExecuteThread::SyncShowMsg(const QString &AMsg)
{
    GetMessageSink().ShowMessage(TMsgKind::mkInformation, QStringLiteral("Information"), AMsg);
}

void TExecuteThread::SyncShowErrMsg(const QString &AMsg)
{
    GetMessageSink().ShowMessage(TMsgKind::mkError, QStringLiteral("Information"), AMsg);
}

bool TExecuteThread::SyncConf(const QString &AMsg)
{
    return GetMessageSink().Confirm(QStringLiteral("Bestätigung"), AMsg);
}

// Format never fails: a placeholder it cannot fill stays as it stands.
void TExecuteThread::SyncShowMsgFmt(const QString &AMsg, std::initializer_list<TFormatArg> AParams)
{
    SyncShowMsg(Format(AMsg, AParams));
}

void TExecuteThread::SyncShowErrMsgFmt(const QString &AMsg, std::initializer_list<TFormatArg> AParams)
{
    SyncShowErrMsg(Format(AMsg, AParams));
}

bool TExecuteThread::SyncConfFmt(const QString &AMsg, std::initializer_list<TFormatArg> AParams)
{
    return SyncConf(Format(AMsg, AParams));
}

// ---------------------------------------------------------------------------
// Running a worker

namespace {

// Used when no presenter is registered: nothing is shown, nothing cancels.
class TSilentThreadInfoWindow : public TThreadInfoWindow
{
public:
    std::shared_ptr<TThreadInfoChannel> Channel() const override { return FChannel; }
    void ProcessPending() override { FChannel->TakeAll(); }
    bool ShowModal() override
    {
        for (;;) {
            FChannel->WaitForMessage(100);
            for (const TThreadInfoMsg &m : FChannel->TakeAll())
                if (m.Kind == TThreadInfoMsg::tiClose)
                    return true;
        }
    }
    ~TSilentThreadInfoWindow() override { FChannel->Detach(); }

private:
    std::shared_ptr<TThreadInfoChannel> FChannel = std::make_shared<TThreadInfoChannel>();
};

std::atomic<TThreadInfoPresenter *> GPresenter{nullptr};

} // namespace

void SetThreadInfoPresenter(TThreadInfoPresenter *APresenter) { GPresenter.store(APresenter); }

TThreadInfoPresenter *GetThreadInfoPresenter() { return GPresenter.load(); }

bool ExecuteWithThreadInfo(TExecuteThread &AThread, const QString &ACaption, int AExtraLines, bool AShowProgress,
                           bool AAllowCancel)
{
    TThreadInfoPresenter *presenter = GetThreadInfoPresenter();
    std::unique_ptr<TThreadInfoWindow> window;
    if (presenter)
        window = presenter->CreateThreadInfoForm(ACaption, AExtraLines, AShowProgress, AAllowCancel);
    if (!window)
        window = std::make_unique<TSilentThreadInfoWindow>();

    auto finish = [&]() {
        AThread.MarkFreeable();
        AThread.WaitForExitCode();
    };
    try {
        AThread.SetThreadInfoHWnd(window->Channel());
        AThread.Start();
        while (!AThread.Finished()) {
            window->ProcessPending();
            if (AThread.Finished())
                break;
            if (window->ShowModal()) {
                AThread.Cancel();
                break;
            }
            // no result: the application is shutting down; keep waiting for the worker
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
    } catch (...) {
        AThread.Cancel();
        finish();
        throw;
    }
    finish();
    window->ProcessPending(); // what the worker posted before it ended
    const bool result = AThread.Finished() && !AThread.Canceled();
    window->FlashIfIconic();
    window.reset();
    if (AThread.HasFatalException())
        throw ELDT3Error(AThread.FatalExceptionMsg());
    return result;
}
