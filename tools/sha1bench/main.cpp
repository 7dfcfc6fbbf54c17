// Measures the SHA-1 throughput of both code paths over a mapped file.
#include "Vex_SHA1.h"

#include <QFile>

#include <chrono>
#include <cstdio>

int main(int argc, char **argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: sha1bench <file> [repeats]\n");
        return 2;
    }
    QFile f(QString::fromLocal8Bit(argv[1]));
    if (!f.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "cannot open %s\n", argv[1]);
        return 1;
    }
    const qint64 size = f.size();
    const uchar *p = size ? f.map(0, size) : nullptr;
    if (size && !p) {
        std::fprintf(stderr, "cannot map %s\n", argv[1]);
        return 1;
    }
    const int repeats = argc > 2 ? std::max(1, std::atoi(argv[2])) : 3;
    // Touch every page once so that the first timed run does not pay for faults.
    (void)TSHA1::Hash(p, size, TSHA1::shaPortable);
    for (TSHA1::TImpl impl : {TSHA1::shaAuto, TSHA1::shaPortable}) {
        const bool hw = TSHA1(impl).UsesHardware();
        if (impl == TSHA1::shaAuto && !hw)
            continue;
        double best = 1e30;
        QString hex;
        for (int i = 0; i < repeats; ++i) {
            const auto t0 = std::chrono::steady_clock::now();
            hex = TSHA1::ToHex(TSHA1::Hash(p, size, impl));
            const double s = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
            best = std::min(best, s);
        }
        std::printf("%-9s %s  %.1f MB/s\n", hw ? "sha-ni" : "portable", qPrintable(hex),
                    best > 0 ? double(size) / 1e6 / best : 0.0);
    }
    return 0;
}
