// Progress of worker runs as lines on a console stream (the checker's
// presenter). Ctrl+C cancels a run that allows cancelling.
#pragma once

#include "Vex_ExThread.h"

#include <cstdio>

class TConsoleThreadInfoPresenter : public TThreadInfoPresenter
{
public:
    explicit TConsoleThreadInfoPresenter(std::FILE *AOut = stderr) : FOut(AOut) {}
    std::unique_ptr<TThreadInfoWindow> CreateThreadInfoForm(const QString &ACaption, int AExtraLines,
                                                            bool AShowProgress, bool AAllowCancel) override;

    // Async-signal-safe: asks the running window to cancel (from a SIGINT handler).
    static void RequestCancel();
    static bool CancelRequested();
    static void ResetCancel();

private:
    std::FILE *FOut;
};
