// Test helpers for worker runs: a worker made of a lambda and a presenter
// that records what a worker posts.
#pragma once

#include "Vex_ExThread.h"
#include "Vex_MessageSink.h"

#include <QByteArray>
#include <QtGlobal>

#include <QStringList>

#include <functional>
#include <vector>

namespace xpmtest {

// A worker whose procedure is a lambda; it may use the protected posting calls.
class TLambdaThread : public TExecuteThread
{
public:
    explicit TLambdaThread(std::function<void(TLambdaThread &)> AProc) : FProc(std::move(AProc)) {}
    void Text(int ALine, const QString &S) { ShowInfoMsg(ALine, S); }
    void Progress(int V) { SetProgress(V); }
    void Range(int A, int B) { SetProgressMinMax(A, B); }
    void Ellipsis(int ALine, int AMode) { SetEllipsisPosition(ALine, AMode); }

protected:
    void ProcToExecute() override { FProc(*this); }

private:
    std::function<void(TLambdaThread &)> FProc;
};

// Records what reaches the window; cancels when told to.
struct TRecording
{
    std::vector<TThreadInfoMsg> Msgs;
    bool Shown = false;
    int CancelAfterTexts = -1; // cancel once that many texts arrived
    std::function<bool(const TRecording &)> CancelWhen; // or when this says so
};

class TRecordingWindow : public TThreadInfoWindow
{
public:
    explicit TRecordingWindow(TRecording &ARec) : FRec(ARec) {}
    ~TRecordingWindow() override { FChannel->Detach(); }
    std::shared_ptr<TThreadInfoChannel> Channel() const override { return FChannel; }
    void ProcessPending() override { Drain(); }
    bool ShowModal() override
    {
        if (Drain())
            return true;
        FRec.Shown = true;
        for (;;) {
            FChannel->WaitForMessage(50);
            if (Drain())
                return true;
            if (FRec.CancelAfterTexts >= 0 && Texts() >= FRec.CancelAfterTexts)
                return true;
            if (FRec.CancelWhen && FRec.CancelWhen(FRec))
                return true;
        }
    }

private:
    int Texts() const
    {
        int n = 0;
        for (const auto &m : FRec.Msgs)
            n += m.Kind == TThreadInfoMsg::tiText;
        return n;
    }
    bool Drain()
    {
        bool closed = false;
        for (auto &m : FChannel->TakeAll()) {
            closed |= m.Kind == TThreadInfoMsg::tiClose;
            FRec.Msgs.push_back(m);
        }
        return closed;
    }
    TRecording &FRec;
    std::shared_ptr<TThreadInfoChannel> FChannel = std::make_shared<TThreadInfoChannel>();
};

class TRecordingPresenter : public TThreadInfoPresenter
{
public:
    TRecording Rec;
    std::unique_ptr<TThreadInfoWindow> CreateThreadInfoForm(const QString &, int, bool, bool) override
    {
        return std::make_unique<TRecordingWindow>(Rec);
    }
};

// The texts posted for one line, in order.
inline QStringList TextsOf(const TRecording &ARec, int ALine)
{
    QStringList r;
    for (const auto &m : ARec.Msgs)
        if (m.Kind == TThreadInfoMsg::tiText && m.Line == ALine)
            r << m.Text;
    return r;
}

// Registers a recording presenter for the lifetime of the object.
struct TScopedRecorder
{
    TRecordingPresenter Presenter;
    TScopedRecorder() { SetThreadInfoPresenter(&Presenter); }
    ~TScopedRecorder() { SetThreadInfoPresenter(nullptr); }
    TRecording &Rec() { return Presenter.Rec; }
};

// Records the messages that core code shows.
struct TRecordingSink : TMessageSink
{
    struct TShown
    {
        TMsgKind Kind;
        QString Heading;
        QString Text;
    };
    std::vector<TShown> Shown;
    TRecordingSink() { SetMessageSink(this); }
    ~TRecordingSink() override { SetMessageSink(nullptr); }
    void ShowMessage(TMsgKind AKind, const QString &AHeading, const QString &AText) override
    {
        Shown.push_back({AKind, AHeading, AText});
    }
    // Questions asked (heading, text) and the answer given to all of them.
    std::vector<std::pair<QString, QString>> Asked;
    bool ConfirmAnswer = false;
    bool Confirm(const QString &AHeading, const QString &AText) override
    {
        Asked.emplace_back(AHeading, AText);
        return ConfirmAnswer;
    }
};

// Sets an environment variable for the lifetime of the object (the child
// processes inherit it).
class TScopedEnv
{
public:
    TScopedEnv(const char *AName, const QByteArray &AValue) : FName(AName), FHad(qEnvironmentVariableIsSet(AName))
    {
        if (FHad)
            FOld = qgetenv(AName);
        qputenv(AName, AValue);
    }
    ~TScopedEnv()
    {
        if (FHad)
            qputenv(FName, FOld);
        else
            qunsetenv(FName);
    }

private:
    const char *FName;
    bool FHad;
    QByteArray FOld;
};

} // namespace xpmtest
