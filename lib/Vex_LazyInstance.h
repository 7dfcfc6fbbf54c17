// A process-wide object made on first use, without a lock: when two threads
// make it at once, the first to store it wins and the other's is destroyed.
#pragma once

#include <atomic>
#include <memory>

template <class T> T *VexLazyInstance(std::atomic<T *> &AReference)
{
    T *p = AReference.load(std::memory_order_acquire);
    if (p)
        return p;
    auto created = std::make_unique<T>(); // may throw; the reference stays empty
    T *expected = nullptr;
    if (AReference.compare_exchange_strong(expected, created.get(), std::memory_order_acq_rel))
        return created.release();
    return expected;
}
