// Drops pages of a read-only file mapping from the process's resident set
// once a pass is done with them. They stay in the page cache, so a later read
// of the mapping faults them back in cheaply; the mapping and its bytes stay
// as they are. Never use it on memory the process wrote (it would be lost).
#pragma once

#include <QtGlobal>

// Releases behind a pass that walks a mapping from the front, in steps of
// at least kStep bytes; the rest goes when the pass ends (Finish or the
// releaser's end).
class TVexPageReleaser
{
public:
    static constexpr qint64 kStep = qint64(4) << 20;

    // ABase: the first byte of a read-only file mapping of ASize bytes. A null
    // base (bytes that are not such a mapping) releases nothing.
    TVexPageReleaser(const uchar *ABase, qint64 ASize);
    ~TVexPageReleaser() { Finish(); }
    TVexPageReleaser(const TVexPageReleaser &) = delete;
    TVexPageReleaser &operator=(const TVexPageReleaser &) = delete;
    // The pass is done with the bytes before AOffset.
    void Passed(qint64 AOffset) noexcept
    {
        if (AOffset - FDone >= kStep)
            Release(AOffset);
    }
    // The pass is done with the whole mapping.
    void Finish() noexcept { Release(FSize); }

    // Releases every page of the mapping ABase, ASize (as above).
    static void ReleaseAll(const uchar *ABase, qint64 ASize) noexcept { TVexPageReleaser all(ABase, ASize); }
    // Releases the whole pages within bytes [AFrom, ATo) of the mapping (a
    // pass that walks one piece of it; the pages it shares with its
    // neighbours stay).
    static void ReleaseInside(const uchar *ABase, qint64 ASize, qint64 AFrom, qint64 ATo) noexcept;

private:
    void Release(qint64 AOffset) noexcept;

    const uchar *FBase;
    qint64 FSize;
    qint64 FDone = 0; // released up to here; a multiple of the page size
};
