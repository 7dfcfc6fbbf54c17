// Worker threads with a progress presenter. A worker never touches the user
// interface: it posts copies of its texts and numbers into a mailbox that the
// presenter of the current run drains on the user-interface thread.
#pragma once

#include "WStrTools.h"

#include <QString>

#include <atomic>
#include <condition_variable>
#include <deque>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

// Manual-reset event: stays signalled until reset.
class TManualResetEvent
{
public:
    void Set();
    void Reset();
    bool IsSet() const;
    // Waits up to ATimeoutMs (negative: without limit); true when signalled.
    bool Wait(int ATimeoutMs) const;

private:
    mutable std::mutex FMutex;
    mutable std::condition_variable FCond;
    bool FSignalled = false;
};

// One posted message of a worker to its progress window.
struct TThreadInfoMsg
{
    enum TKind {
        tiText,       // Line, Text
        tiRange,      // Value = Min, Value2 = Max
        tiProgress,   // Value = position
        tiCanCancel,  // Value = 0 / 1
        tiEllipsis,   // Line, Value = mode 0..3
        tiClose,
    };
    TKind Kind = tiClose;
    int Line = 0;
    int Value = 0;
    int Value2 = 0;
    QString Text;
};

// The worker's channel to its progress window (the "window handle"). Posting
// is thread-safe and never waits for the receiver; it fails once the window
// is gone.
class TThreadInfoChannel
{
public:
    bool Post(TThreadInfoMsg AMsg);
    // Receiver side: the messages posted so far, in order.
    std::vector<TThreadInfoMsg> TakeAll();
    // Receiver side: waits up to ATimeoutMs for a message; true when one is pending.
    bool WaitForMessage(int ATimeoutMs);
    // Receiver side: called (under the channel's lock) after every successful post.
    void SetWakeUp(std::function<void()> AWakeUp);
    // Receiver side: the window is gone; later posts fail.
    void Detach();
    bool IsAttached() const;

private:
    mutable std::mutex FMutex;
    std::condition_variable FCond;
    std::deque<TThreadInfoMsg> FQueue;
    std::function<void()> FWakeUp;
    bool FAttached = true;
};

// Scales a worker's progress value to the window's bar of 0..50000.
int ThreadInfoProgressPos(int AMin, int AMax, int AValue);

class TExecuteThread
{
public:
    TExecuteThread();
    virtual ~TExecuteThread();
    TExecuteThread(const TExecuteThread &) = delete;
    TExecuteThread &operator=(const TExecuteThread &) = delete;

    void Start();
    // Sets Terminated and signals the shutdown event.
    void Terminate();
    bool Terminated() const { return FTerminated.load(); }
    bool Finished() const { return FFinished.load(); }
    bool Started() const { return FStarted; }
    bool Canceled() const { return FCanceled.load(); }
    const TManualResetEvent &ShutDownEvent() const { return FShutDownEvent; }
    // Message of an exception that ended the worker; empty when none.
    QString FatalExceptionMsg() const;
    bool HasFatalException() const;

    bool ShutDownRequested() const;
    bool WaitShutDownRequested(int ATimeoutMs) const;
    void Cancel();
    void MarkFreeable();
    void SetThreadInfoHWnd(std::shared_ptr<TThreadInfoChannel> AHWnd);
    // Waits for the end of the thread; on the application's main thread the
    // event loop keeps running meanwhile. Returns the thread's exit code.
    quint32 WaitForExitCode();
    void Lock() { FLock.lock(); }
    void Unlock() { FLock.unlock(); }

    // Offered to descendants: message boxes shown through the message sink.
    void SyncShowMsg(const QString &AMsg);
    void SyncShowErrMsg(const QString &AMsg);
    bool SyncConf(const QString &AMsg);
    void SyncShowMsgFmt(const QString &AMsg, std::initializer_list<TFormatArg> AParams);
    void SyncShowErrMsgFmt(const QString &AMsg, std::initializer_list<TFormatArg> AParams);
    bool SyncConfFmt(const QString &AMsg, std::initializer_list<TFormatArg> AParams);

protected:
    virtual void ProcToExecute() = 0;
    virtual void TerminatedSet();
    void SetReturnValue(quint32 AValue) { FReturnValue = AValue; }

    void CloseThreadInfo();
    void ShowInfoMsg(int ALine, const QString &AMsg);
    void SetProgress(int AValue);
    void SetProgressMinMax(int AMin, int AMax);
    void DisableCancelBtn();
    void EnableCancelBtn();
    void SetEllipsisPosition(int ALine, int AEllipsis);

private:
    void Execute();
    bool PostToInfo(TThreadInfoMsg AMsg);
    std::shared_ptr<TThreadInfoChannel> InfoHWnd() const;
    bool IsWorkerThread() const;

    std::thread FThread;
    std::thread::id FThreadId;
    bool FStarted = false;
    std::atomic<bool> FTerminated{false};
    std::atomic<bool> FFinished{false};
    std::atomic<bool> FProcDone{false};
    std::atomic<bool> FCanceled{false};
    std::atomic<quint32> FReturnValue{0};
    std::exception_ptr FFatalException;
    QString FFatalMsg;
    std::atomic<std::shared_ptr<TThreadInfoChannel>> FThreadInfoHWND;
    TManualResetEvent FCanFreeEvent;
    TManualResetEvent FShutDownEvent;
    TManualResetEvent FFinishedEvent;
    std::recursive_mutex FLock;
};

// The progress window of one run, on the user-interface thread.
class TThreadInfoWindow
{
public:
    virtual ~TThreadInfoWindow() = default;
    // The worker's end of the window.
    virtual std::shared_ptr<TThreadInfoChannel> Channel() const = 0;
    // Handles what is pending (input and posted messages) without waiting.
    virtual void ProcessPending() = 0;
    // Shows the window modally until it is closed (by the user's cancel or the
    // worker's close). False when it ended without a result (shutting down).
    virtual bool ShowModal() = 0;
    // The run is over: draw attention if the application is minimized.
    virtual void FlashIfIconic() {}
};

// Builds progress windows: the desktop's modal window, the checker's console
// lines, a test's recorder.
class TThreadInfoPresenter
{
public:
    virtual ~TThreadInfoPresenter() = default;
    virtual std::unique_ptr<TThreadInfoWindow> CreateThreadInfoForm(const QString &ACaption, int AExtraLines,
                                                                    bool AShowProgress, bool AAllowCancel) = 0;
};

// The process's presenter (not owned). Without one, runs wait silently.
void SetThreadInfoPresenter(TThreadInfoPresenter *APresenter);
TThreadInfoPresenter *GetThreadInfoPresenter();

// Runs the worker with a progress window; true when it finished and was not
// cancelled. An exception that ended the worker is raised again here as
// ELDT3Error with the same message.
bool ExecuteWithThreadInfo(TExecuteThread &AThread, const QString &ACaption, int AExtraLines, bool AShowProgress,
                           bool AAllowCancel);
