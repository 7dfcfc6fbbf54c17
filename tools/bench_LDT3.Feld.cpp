// Measures building the field dictionary and the field check per line.
// Usage: bench_LDT3.Feld [LDT files...]  (without files: built-in contents)
#include "LDT3.Feld.h"
#include "LDT3.Zeichen.h"

#include <QFile>

#include <time.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>
#include <vector>

using Clock = std::chrono::steady_clock;

static double MsSince(Clock::time_point t0)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - t0).count();
}

// CPU time of this thread: unlike wall time, not inflated by other processes
// on a busy machine.
static double CpuMs()
{
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return ts.tv_sec * 1e3 + ts.tv_nsec / 1e6;
}

int main(int argc, char **argv)
{
    // First build in the process (what the program pays once), then repeated builds.
    const double c0 = CpuMs();
    auto t0 = Clock::now();
    TLDT3FeldDict *d = GetLDT3FeldDict();
    const double first = MsSince(t0);
    const double firstCpu = CpuMs() - c0;
    std::vector<double> runs;
    for (int i = 0; i < 50; ++i) {
        t0 = Clock::now();
        auto tmp = std::make_unique<TLDT3FeldDict>();
        runs.push_back(MsSince(t0));
    }
    std::sort(runs.begin(), runs.end());
    std::printf("build: first %.2f ms wall / %.2f ms CPU, repeated min %.2f / median %.2f / max %.2f ms (%d fields)\n",
                first, firstCpu, runs.front(), runs[runs.size() / 2], runs.back(), d->Count());

    // Field lines: FK and content bytes.
    struct Line { int FK; QByteArray Inhalt; };
    std::vector<Line> lines;
    for (int i = 1; i < argc; ++i) {
        QFile f(QString::fromLocal8Bit(argv[i]));
        if (!f.open(QIODevice::ReadOnly))
            continue;
        for (QByteArray l : f.readAll().split('\n')) {
            if (l.endsWith('\r'))
                l.chop(1);
            if (l.size() >= 7)
                lines.push_back({l.mid(3, 4).toInt(), l.mid(7)});
        }
    }
    if (lines.empty())
        lines = {{8000, "8215"}, {3101, "Mustermann"}, {3103, "19800101"}, {8410, "GLU"},
                 {8420, "5.6"}, {8421, "mmol/l"}, {6329, QByteArray(60, 'A')}, {201, "381234500"}};

    const int target = 2'000'000;
    const int rounds = std::max(1, int(target / lines.size()));
    QString msg;
    long long bad = 0;
    t0 = Clock::now();
    for (int r = 0; r < rounds; ++r)
        for (const Line &l : lines)
            bad += d->CheckFeld(l.FK, reinterpret_cast<const unsigned char *>(l.Inhalt.constData()),
                                l.Inhalt.size(), msg) != 0;
    const double bytesMs = MsSince(t0);
    t0 = Clock::now();
    for (int r = 0; r < rounds; ++r)
        for (const Line &l : lines)
            bad += d->CheckFeld(l.FK, LDT3BytesToStr(reinterpret_cast<const unsigned char *>(l.Inhalt.constData()),
                                                     l.Inhalt.size(), QChar(0)), msg) != 0;
    const double textMs = MsSince(t0);
    const double n = double(rounds) * double(lines.size());
    std::printf("CheckFeld over %.0f lines (%zu distinct): bytes %.1f ns/line, text (incl. conversion) %.1f ns/line [%lld faults]\n",
                n, lines.size(), bytesMs * 1e6 / n, textMs * 1e6 / n, bad);
    return 0;
}
