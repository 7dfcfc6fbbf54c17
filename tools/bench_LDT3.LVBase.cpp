// bench_LDT3.LVBase FILE [load|open]: times the list model's open sequence
// (load, trees, rows with and without Base64 lines) or, with "load", the
// file load alone; prints MB/s and the peak resident memory of the process.
#include "LDT3.LVBase.h"

#include <QElapsedTimer>
#include <QString>

#include <sys/resource.h>

#include <cstdio>
#include <cstring>

static long PeakKB()
{
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_maxrss;
}

int main(int argc, char **argv)
{
    if (argc < 2 || argc > 3) {
        std::fputs("Aufruf: bench_LDT3.LVBase DATEI [load|open]\n", stderr);
        return 64;
    }
    const QString file = QString::fromLocal8Bit(argv[1]);
    const bool loadOnly = argc == 3 && std::strcmp(argv[2], "load") == 0;
    try {
        QElapsedTimer t;
        if (loadOnly) {
            TLDT3FilePtrList list;
            t.start();
            const bool ok = list.LoadFromFile(file);
            const double ms = double(t.nsecsElapsed()) / 1e6;
            const double mb = double(list.FileSize()) / 1048576.0;
            std::printf("load ok=%d lines=%d MB=%.1f load_ms=%.0f MB/s=%.1f peak_MB=%.1f\n", ok, list.Count(), mb, ms,
                        mb / (ms / 1000), PeakKB() / 1024.0);
            return ok ? 0 : 1;
        }
        TLDT3LineList list;
        list.SetMaxInvalidLines(30);
        t.start();
        const bool ok = list.GetLDT3FilePtrList(file);
        const double openMs = double(t.nsecsElapsed()) / 1e6;
        t.restart();
        list.BuildLineList(false);
        const double rowsMs = double(t.nsecsElapsed()) / 1e6;
        const int rowsAll = list.Count();
        t.restart();
        list.BuildLineList(true);
        const double rowsNoB64Ms = double(t.nsecsElapsed()) / 1e6;
        const double mb = double(list.PtrList()->FileSize()) / 1048576.0;
        const double total = openMs + rowsMs;
        std::printf("open ok=%d lines=%d rows=%d rows_no_base64=%d MB=%.1f open_ms=%.0f rows_ms=%.0f "
                    "rows_no_base64_ms=%.0f total_ms=%.0f MB/s=%.1f peak_MB=%.1f tree_built=%d\n",
                    ok, list.PtrList()->Count(), rowsAll, list.Count(), mb, openMs, rowsMs, rowsNoB64Ms, total,
                    mb / (total / 1000), PeakKB() / 1024.0, list.LDTTreeBuilt());
        return ok ? 0 : 1;
    } catch (const ELDT3Error &e) {
        std::fprintf(stderr, "bench_LDT3.LVBase: %s\n", e.what());
        return 2;
    }
}
