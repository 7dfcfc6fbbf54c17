// The modal progress window of worker runs: a title line, status lines, an
// optional progress bar and an optional cancel button, built at run time.
#pragma once

#include "Vex_ExThread.h"

#include <QDialog>
#include <QLabel>
#include <QVector>

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

class TThreadInfoForm : public QDialog, public TThreadInfoWindow
{
public:
    // Results of the modal loop.
    enum { mrNone = 0, mrCancel = 2, mrWorkerClosed = 100 };

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

    void reject() override;

protected:
    bool event(QEvent *AEvent) override;
    void closeEvent(QCloseEvent *AEvent) override;

private:
    struct TLine
    {
        QFrame *PanelCtrl = nullptr;
        TEllipsisLabel *LabelCtrl = nullptr;
    };

    // Applies the worker's messages; true when one of them closed the window.
    bool HandleMessages();
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
};

// Registers the modal window as the process's presenter of worker runs.
class TThreadInfoFormPresenter : public TThreadInfoPresenter
{
public:
    std::unique_ptr<TThreadInfoWindow> CreateThreadInfoForm(const QString &ACaption, int AExtraLines,
                                                            bool AShowProgress, bool AAllowCancel) override;
};
