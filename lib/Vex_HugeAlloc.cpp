#include "Vex_HugeAlloc.h"

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <system_error>
#include <thread>

#include <sys/mman.h>

namespace {
// Faults fresh blocks in on a thread of its own, one huge page at a time
// from the front, so that the kernel clears the pages on the other core
// while the caller fills them. Populating never changes the contents, so
// it may run over pages the caller is writing already.
class TPrefaulter
{
public:
    void Add(char *P, std::size_t ABytes)
    {
        std::lock_guard<std::mutex> guard(FMutex);
        if (!FStarted) {
            try {
                std::thread([this] { Run(); }).detach();
            } catch (const std::system_error &) {
                return; // no thread: the caller faults the pages itself
            }
            FStarted = true;
        }
        FJobs.push_back({P, P + ABytes});
        FWake.notify_one();
    }

    // Drops the work on [P, P + ABytes) and waits for a step in it to end:
    // the range may be unmapped and mapped again for something else.
    void Cancel(char *P, std::size_t ABytes)
    {
        std::unique_lock<std::mutex> lock(FMutex);
        char *const end = P + ABytes;
        for (auto it = FJobs.begin(); it != FJobs.end();)
            it = (it->Begin < end && P < it->End) ? FJobs.erase(it) : it + 1;
        FDone.wait(lock, [&] { return !(FStep && FStep < end && P < FStep + kVexHugePage); });
    }

private:
    struct TJob
    {
        char *Begin;
        char *End;
    };

    void Run()
    {
        std::unique_lock<std::mutex> lock(FMutex);
        for (;;) {
            FWake.wait(lock, [this] { return !FJobs.empty(); });
            TJob &job = FJobs.front();
            FStep = job.Begin;
            job.Begin += kVexHugePage;
            if (job.Begin >= job.End)
                FJobs.pop_front();
            lock.unlock();
#ifdef MADV_POPULATE_WRITE
            madvise(FStep, kVexHugePage, MADV_POPULATE_WRITE);
#endif
            lock.lock();
            FStep = nullptr;
            FDone.notify_all();
        }
    }

    std::mutex FMutex;
    std::condition_variable FWake;
    std::condition_variable FDone;
    std::deque<TJob> FJobs;
    char *FStep = nullptr; // the huge page being populated
    bool FStarted = false;
};

TPrefaulter &Prefaulter()
{
    // Never destroyed: blocks of static objects may be freed after it, and
    // its thread ends with the process.
    static TPrefaulter *prefaulter = new TPrefaulter;
    return *prefaulter;
}
} // namespace

void *VexHugeAlloc(std::size_t ABytes, bool APrefault)
{
    if (ABytes == 0 || ABytes > std::size_t(-1) - 2 * kVexHugePage)
        throw std::bad_alloc();
    const std::size_t size = VexHugeRoundUp(ABytes);
    // Map one huge page more and trim both ends to the alignment.
    const std::size_t span = size + kVexHugePage;
    void *p = mmap(nullptr, span, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (p == MAP_FAILED)
        throw std::bad_alloc();
    const std::uintptr_t start = reinterpret_cast<std::uintptr_t>(p);
    const std::uintptr_t aligned = (start + kVexHugePage - 1) & ~std::uintptr_t(kVexHugePage - 1);
    if (aligned > start)
        munmap(p, aligned - start);
    const std::uintptr_t end = start + span;
    if (end > aligned + size)
        munmap(reinterpret_cast<void *>(aligned + size), end - aligned - size);
    char *block = reinterpret_cast<char *>(aligned);
#ifdef MADV_HUGEPAGE
    madvise(block, size, MADV_HUGEPAGE);
#endif
    if (APrefault && size > kVexHugePage)
        Prefaulter().Add(block, size);
    return block;
}

void VexHugeFree(void *P, std::size_t ABytes) noexcept
{
    if (!P)
        return;
    const std::size_t size = VexHugeRoundUp(ABytes);
    Prefaulter().Cancel(static_cast<char *>(P), size);
    munmap(P, size);
}
