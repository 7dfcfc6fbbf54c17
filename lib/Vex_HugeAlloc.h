// Large arrays in memory the system may back with 2 MiB pages. Fresh memory
// in 4 KiB pages costs one page fault per page, which on a large file is a
// good part of the open; the arrays of lines, rows and tree nodes come from
// here instead.
#pragma once

#include <cstddef>
#include <new>
#include <vector>

constexpr std::size_t kVexHugePage = std::size_t(2) << 20;
// ABytes rounded up to whole huge pages.
constexpr std::size_t VexHugeRoundUp(std::size_t ABytes) { return (ABytes + kVexHugePage - 1) & ~(kVexHugePage - 1); }

// Memory of at least ABytes, aligned to 2 MiB and advised for huge pages;
// ABytes is rounded up to a multiple of 2 MiB. With APrefault a thread of
// its own faults the pages in from the front while the caller fills them.
// Throws std::bad_alloc.
void *VexHugeAlloc(std::size_t ABytes, bool APrefault = false);
// Frees memory of VexHugeAlloc with the same ABytes.
void VexHugeFree(void *P, std::size_t ABytes) noexcept;

// Allocator for std::vector: blocks of 1 MiB and more come prefaulted from
// VexHugeAlloc, smaller ones from the heap.
template <class T> struct TVexHugeAllocator
{
    using value_type = T;
    static constexpr std::size_t kMinHuge = std::size_t(1) << 20;

    TVexHugeAllocator() = default;
    template <class U> TVexHugeAllocator(const TVexHugeAllocator<U> &) noexcept {}

    T *allocate(std::size_t N)
    {
        if (N > std::size_t(-1) / sizeof(T))
            throw std::bad_array_new_length();
        const std::size_t bytes = N * sizeof(T);
        if (bytes >= kMinHuge)
            return static_cast<T *>(VexHugeAlloc(bytes, true));
        return static_cast<T *>(::operator new(bytes, std::align_val_t(alignof(T))));
    }
    void deallocate(T *P, std::size_t N) noexcept
    {
        const std::size_t bytes = N * sizeof(T);
        if (bytes >= kMinHuge)
            VexHugeFree(P, bytes);
        else
            ::operator delete(P, std::align_val_t(alignof(T)));
    }
    template <class U> bool operator==(const TVexHugeAllocator<U> &) const noexcept { return true; }
};

template <class T> using TVexBigVector = std::vector<T, TVexHugeAllocator<T>>;
