#include "Vex_ConsolePresenter.h"

#include <QVector>

#include <atomic>
#include <csignal>

namespace {

volatile std::sig_atomic_t GCancelRequested = 0;

class TConsoleThreadInfoWindow : public TThreadInfoWindow
{
public:
    TConsoleThreadInfoWindow(std::FILE *AOut, const QString &ACaption, int AExtraLines, bool AShowProgress,
                             bool AAllowCancel)
        : FOut(AOut), FLines(AExtraLines + 1), FShowProgress(AShowProgress), FCanCancel(AAllowCancel),
          FHasCancel(AAllowCancel)
    {
        FLines[0] = ACaption;
        Print(ACaption);
    }
    ~TConsoleThreadInfoWindow() override { FChannel->Detach(); }

    std::shared_ptr<TThreadInfoChannel> Channel() const override { return FChannel; }

    void ProcessPending() override { Drain(); }

    bool ShowModal() override
    {
        for (;;) {
            if (Drain())
                return true;
            if (FCanCancel && GCancelRequested) {
                GCancelRequested = 0;
                Print(QStringLiteral("Abgebrochen."));
                return true;
            }
            FChannel->WaitForMessage(100);
        }
    }

private:
    void Print(const QString &AText)
    {
        std::fprintf(FOut, "%s\n", AText.toLocal8Bit().constData());
        std::fflush(FOut);
    }

    // Handles the posted messages; true when the worker closed the window.
    bool Drain()
    {
        bool closed = false;
        for (const TThreadInfoMsg &m : FChannel->TakeAll()) {
            switch (m.Kind) {
            case TThreadInfoMsg::tiText:
                if (m.Line >= 0 && m.Line < FLines.size() && FLines[m.Line] != m.Text) {
                    FLines[m.Line] = m.Text;
                    if (!m.Text.isEmpty())
                        Print(m.Line == 0 ? m.Text : QStringLiteral("  ") + m.Text);
                }
                break;
            case TThreadInfoMsg::tiRange:
                FMin = m.Value;
                FMax = m.Value2;
                break;
            case TThreadInfoMsg::tiProgress:
                if (FShowProgress) {
                    const int percent = ThreadInfoProgressPos(FMin, FMax, m.Value) / 500;
                    if (percent / 10 != FLastPercent / 10 || (percent == 100 && FLastPercent != 100)) {
                        FLastPercent = percent;
                        Print(QStringLiteral("  %1 %").arg(percent));
                    }
                }
                break;
            case TThreadInfoMsg::tiCanCancel:
                if (FHasCancel)
                    FCanCancel = m.Value != 0;
                break;
            case TThreadInfoMsg::tiEllipsis:
                break;
            case TThreadInfoMsg::tiClose:
                closed = true;
                break;
            }
        }
        return closed;
    }

    std::FILE *FOut;
    std::shared_ptr<TThreadInfoChannel> FChannel = std::make_shared<TThreadInfoChannel>();
    QVector<QString> FLines;
    bool FShowProgress;
    bool FCanCancel;
    bool FHasCancel;
    int FMin = 0;
    int FMax = 0;
    int FLastPercent = -100;
};

} // namespace

std::unique_ptr<TThreadInfoWindow> TConsoleThreadInfoPresenter::CreateThreadInfoForm(const QString &ACaption,
                                                                                     int AExtraLines,
                                                                                     bool AShowProgress,
                                                                                     bool AAllowCancel)
{
    return std::make_unique<TConsoleThreadInfoWindow>(FOut, ACaption, AExtraLines, AShowProgress, AAllowCancel);
}

void TConsoleThreadInfoPresenter::RequestCancel() { GCancelRequested = 1; }

bool TConsoleThreadInfoPresenter::CancelRequested() { return GCancelRequested != 0; }

void TConsoleThreadInfoPresenter::ResetCancel() { GCancelRequested = 0; }
