// A process-wide object made on first use, without a lock: when two threads
// make it at once, the first to store it wins and the other's is destroyed.
// AMake returns the new object as a std::unique_ptr.
#pragma once

#include <atomic>
#include <memory>

template <class T, class TMake> T *VexLazyInstance(std::atomic<T *> &AReference, TMake AMake)
{
    T *p = AReference.load(std::memory_order_acquire);
    if (p)
        return p;
    std::unique_ptr<T> created = AMake(); // may throw; the reference stays empty
    T *expected = nullptr;
    if (AReference.compare_exchange_strong(expected, created.get(), std::memory_order_acq_rel))
        return created.release();
    return expected;
}

template <class T> T *VexLazyInstance(std::atomic<T *> &AReference)
{
    return VexLazyInstance(AReference, [] { return std::make_unique<T>(); });
}
