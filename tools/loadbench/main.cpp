// loadbench FILE: loads FILE into the line pointer list once and prints the
// time of LoadFromFile alone, the line count and the file size, as
// "ok=1 lines=N bytes=N load_ms=X" (read by tools/bench).
#include "LDT3.Base.h"
#include "LDT3.FilePtrList.h"

#include <QElapsedTimer>
#include <QString>

#include <cstdio>

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::fputs("Aufruf: loadbench DATEI\n", stderr);
        return 64;
    }
    try {
        TLDT3FilePtrList list;
        QElapsedTimer timer;
        timer.start();
        const bool ok = list.LoadFromFile(QString::fromLocal8Bit(argv[1]));
        const qint64 ns = timer.nsecsElapsed();
        std::printf("ok=%d lines=%lld bytes=%lld load_ms=%.3f\n", ok ? 1 : 0,
                    static_cast<long long>(list.Count()), static_cast<long long>(list.FileSize()),
                    double(ns) / 1e6);
        return ok ? 0 : 1;
    } catch (const ELDT3Error &e) {
        std::fprintf(stderr, "loadbench: %s\n", e.what());
        return 2;
    }
}
