#include "LDT3.XPMHook.h"

#include <atomic>

static std::atomic<TLDT3XPMRunner *> GXPMRunner{nullptr};

void SetLDT3XPMRunner(TLDT3XPMRunner *ARunner)
{
    GXPMRunner.store(ARunner, std::memory_order_release);
}

TLDT3XPMRunner *GetLDT3XPMRunner()
{
    return GXPMRunner.load(std::memory_order_acquire);
}
