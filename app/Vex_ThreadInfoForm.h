// The modal progress window of worker runs: a title line, status lines, an
// optional progress bar and an optional cancel button, built at run time.
#pragma once

#include "Vex_ExThread.h"

#include <QDialog>
#include <QElapsedTimer>
#include <QLabel>
#include <QTimer>
#include <QVector>

#include <atomic>
#include <vector>

class QEventLoop;
class QFrame;
class QProgressBar;
class QPushButton;

// A label that shortens its text to its width (none, path, end, word ellipsis).
class TEllipsisLabel : public QLabel
{
public:
    using QLabel::QLabel;
    void SetFullText(const QString &AText);
    QString FullText() const { return FFullText; }
    void SetEllipsis(int AMode);
    int Ellipsis() const { return FEllipsis; }

protected:
    void resizeEvent(QResizeEvent *AEvent) override;

private:
    void Refit();
    QString FFullText;
    int FEllipsis = 0;
};

// The window stays hidden while a run is short: it shows when the run is
// still going after ShowDelayMs, and applies the worker's messages at most
// every UpdateIntervalMs (a close at once). Its own modal event loop keeps
// the program alive; nothing processes events inside the work.
class TThreadInfoForm : public QDialog, public TThreadInfoWindow
{
public:
    // Results of the modal loop.
    enum { mrNone = 0, mrCancel = 2, mrWorkerClosed = 100 };
    static constexpr int ShowDelayMs = 500;
    static constexpr int UpdateIntervalMs = 150;

    TThreadInfoForm(const QString &ACaption, int AExtraLines, bool AShowProgress, bool AAllowCancel,
                    QWidget *AParent = nullptr);
    ~TThreadInfoForm() override;

    std::shared_ptr<TThreadInfoChannel> Channel() const override { return FChannel; }
    void ProcessPending() override;
    bool ShowModal() override;
    void FlashIfIconic() override;

    // For inspection by tests and callers.
    int LineCount() const { return FLineArr.size(); }
    TEllipsisLabel *LineLabel(int ALine) const;
    QProgressBar *ProgressBar() const { return FProgressBar; }
    QPushButton *CancelButton() const { return FCancelBtn; }
    bool CanCancel() const { return FCanCancel; }
    // Whether the window was shown during its modal run.
    bool WasShown() const { return FWasShown; }
    // How often the worker's messages were applied.
    int UpdateCount() const { return FUpdateCount; }

    void reject() override;
    void done(int AResult) override;

protected:
    bool event(QEvent *AEvent) override;
    // While the window waits hidden, the program takes no user input.
    bool eventFilter(QObject *AWatched, QEvent *AEvent) override;
    void closeEvent(QCloseEvent *AEvent) override;

private:
    struct TLine
    {
        QFrame *PanelCtrl = nullptr;
        TEllipsisLabel *LabelCtrl = nullptr;
    };

    // Applies the worker's messages; true when one of them closed the window.
    bool HandleMessages();
    // The same, throttled: a close applies at once, anything else at most
    // every UpdateIntervalMs.
    void OnWakeUp();
    void SetCanCancel(bool AValue);
    void AdjustLayout();

    std::shared_ptr<TThreadInfoChannel> FChannel = std::make_shared<TThreadInfoChannel>();
    bool FCanCancel = false;
    QPushButton *FCancelBtn = nullptr;
    QVector<TLine> FLineArr;
    QProgressBar *FProgressBar = nullptr;
    int FProgressMin = 0;
    int FProgressMax = 0;
    int FProgressDelta = 0;
    bool FWorkerClosed = false;
    bool FWasShown = false;
    int FUpdateCount = 0;
    QEventLoop *FLoop = nullptr;
    QTimer FShowTimer;
    QTimer FApplyTimer;
    QElapsedTimer FLastApply;
    std::vector<TThreadInfoMsg> FPending; // taken, not yet applied
    std::atomic<bool> FWakePending{false};
};

// Registers the modal window as the process's presenter of worker runs.
class TThreadInfoFormPresenter : public TThreadInfoPresenter
{
public:
    std::unique_ptr<TThreadInfoWindow> CreateThreadInfoForm(const QString &ACaption, int AExtraLines,
                                                            bool AShowProgress, bool AAllowCancel) override;
};
