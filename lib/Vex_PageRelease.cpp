#include "Vex_PageRelease.h"

#include <cstdint>

#include <sys/mman.h>
#include <unistd.h>

namespace {
qint64 PageSize()
{
    static const qint64 page = qint64(sysconf(_SC_PAGESIZE));
    return page;
}
} // namespace

TVexPageReleaser::TVexPageReleaser(const uchar *ABase, qint64 ASize) : FBase(ABase), FSize(ASize > 0 ? ASize : 0)
{
    // a mapping starts on a page; anything else is not one
    if (reinterpret_cast<std::uintptr_t>(ABase) % std::uintptr_t(PageSize()) != 0)
        FBase = nullptr;
    if (!FBase)
        FSize = 0;
}

void TVexPageReleaser::Release(qint64 AOffset) noexcept
{
    if (!FBase || AOffset <= FDone)
        return;
    const qint64 page = PageSize();
    // The page AOffset lies in may still be read: it goes with the next
    // step. At the end the mapping's last, partly filled page goes too.
    const qint64 end = AOffset >= FSize ? (FSize + page - 1) / page * page : AOffset / page * page;
    if (end <= FDone)
        return;
    madvise(const_cast<uchar *>(FBase) + FDone, size_t(end - FDone), MADV_DONTNEED);
    FDone = end;
}

void TVexPageReleaser::ReleaseInside(const uchar *ABase, qint64 ASize, qint64 AFrom, qint64 ATo) noexcept
{
    const qint64 page = PageSize();
    if (!ABase || ASize <= 0 || reinterpret_cast<std::uintptr_t>(ABase) % std::uintptr_t(page) != 0)
        return;
    const qint64 from = (qMax<qint64>(AFrom, 0) + page - 1) / page * page;
    // the mapping's last, partly filled page belongs to the piece that ends it
    const qint64 to = ATo >= ASize ? (ASize + page - 1) / page * page : qMax<qint64>(ATo, 0) / page * page;
    if (to > from)
        madvise(const_cast<uchar *>(ABase) + from, size_t(to - from), MADV_DONTNEED);
}
