#include "Vex_SHA1Prefix.h"

#include "Vex_PageRelease.h"

#include <system_error>

TSHA1PrefixHasher::TSHA1PrefixHasher(const uint8_t *AData, qint64 ALen, bool AReleaseBehind)
    : FData(AData), FLen(ALen > 0 ? ALen : 0), FReleaseBehind(AReleaseBehind)
{
    FStates.resize(size_t(FLen / kStep) + 1);
    // Small buffers are hashed when asked.
    if (FLen < 4 * kStep)
        return;
    try {
        FThread = std::thread([this] { Run(); });
    } catch (const std::system_error &) {
        // no thread: Digest hashes what it needs itself
    }
}

TSHA1PrefixHasher::~TSHA1PrefixHasher()
{
    FStop.store(true, std::memory_order_relaxed);
    if (FThread.joinable())
        FThread.join();
}

void TSHA1PrefixHasher::Run()
{
    TSHA1 sha;
    const qint64 steps = FLen / kStep;
    TVexPageReleaser released(FReleaseBehind ? FData : nullptr, FLen);
    for (qint64 k = 0; k < steps && !FStop.load(std::memory_order_relaxed); ++k) {
        sha.Update(FData + k * kStep, kStep);
        released.Passed((k + 1) * kStep);
        std::lock_guard<std::mutex> guard(FMutex);
        FStates[size_t(k + 1)] = sha;
        FDone = k + 1;
        FProgress.notify_all();
    }
}

TSHA1::TDigest TSHA1PrefixHasher::Digest(qint64 APrefixLen)
{
    const qint64 len = APrefixLen < 0 ? 0 : (APrefixLen > FLen ? FLen : APrefixLen);
    const qint64 k = len / kStep;
    TSHA1 sha;
    {
        std::unique_lock<std::mutex> lock(FMutex);
        if (FThread.joinable())
            FProgress.wait(lock, [&] { return FDone >= k; });
        // Without the thread (or a state not reached) start from the front.
        if (FDone >= k)
            sha = FStates[size_t(k)];
    }
    const qint64 from = sha.Length();
    sha.Update(FData + from, len - from);
    return sha.Final();
}
