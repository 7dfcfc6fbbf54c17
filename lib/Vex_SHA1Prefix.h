// SHA-1 of the prefixes of one buffer, hashed ahead on a thread of its own:
// a reader that walks the buffer can ask for the digest of everything
// before its position and mostly finds it done.
#pragma once

#include "Vex_SHA1.h"

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

class TSHA1PrefixHasher
{
public:
    // Starts hashing AData[0, ALen); the buffer must outlive the object.
    // AReleaseBehind: AData is a read-only file mapping whose pages the
    // thread drops from the resident set once hashed (Vex_PageRelease).
    TSHA1PrefixHasher(const uint8_t *AData, qint64 ALen, bool AReleaseBehind = false);
    ~TSHA1PrefixHasher();
    TSHA1PrefixHasher(const TSHA1PrefixHasher &) = delete;
    TSHA1PrefixHasher &operator=(const TSHA1PrefixHasher &) = delete;

    // Digest of AData[0, APrefixLen) (0 <= APrefixLen <= ALen); waits for
    // the thread when it is behind.
    TSHA1::TDigest Digest(qint64 APrefixLen);

    static constexpr qint64 kStep = qint64(1) << 20;

private:
    void Run();

    const uint8_t *FData;
    qint64 FLen;
    bool FReleaseBehind;
    // FStates[k]: the state after the first k steps.
    std::vector<TSHA1> FStates;
    std::mutex FMutex;
    std::condition_variable FProgress;
    qint64 FDone = 0; // steps hashed
    std::atomic<bool> FStop{false};
    std::thread FThread;
};
