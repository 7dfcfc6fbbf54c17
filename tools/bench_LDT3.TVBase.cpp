// bench_LDT3.TVBase FILE: loads FILE, builds its three trees and fills an
// in-memory tree control, and prints times, node counts and memory:
//   ok=1 lines=N nodes=N load_ms=X build_ms=X fill_ms=X free_ms=X
//   cpu: load_ms=X build_ms=X fill_ms=X free_ms=X   (user + system time)
//   sys: load_ms=X build_ms=X                        (system time alone)
//   node_bytes=N pool_bytes=N rss_tree_kb=N peak_kb=N huge_kb=N
// node_bytes is the memory of the nodes and their child arrays per node;
// rss_tree_kb is the growth of the resident set from the loaded file to the
// built tree.
#include "LDT3.Base.h"
#include "LDT3.FilePtrList.h"
#include "LDT3.TVBase.h"

#include <QElapsedTimer>
#include <QFile>
#include <QString>

#include <cstdio>
#include <cstdlib>
#include <vector>

#include <sys/resource.h>

namespace {

// A value of /proc/self/status in kB ("VmRSS", "VmHWM").
long long StatusKB(const char *AKey, const char *AFile = "/proc/self/status")
{
    QFile f(QString::fromLatin1(AFile));
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray key = QByteArray(AKey) + ':';
    for (const QByteArray &line : f.readAll().split('\n'))
        if (line.startsWith(key))
            return line.mid(key.size()).trimmed().split(' ').value(0).toLongLong();
    return -1;
}

// CPU time of the process (user + system) in milliseconds; on a busy
// machine a fairer measure than the wall clock.
double CpuMs()
{
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return (u.ru_utime.tv_sec + u.ru_stime.tv_sec) * 1e3 + (u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e3;
}

// System part of CpuMs: mostly the kernel clearing fresh pages.
double SysMs()
{
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_stime.tv_sec * 1e3 + u.ru_stime.tv_usec / 1e3;
}

long long CountNodes(const TLDT3Node *ARoot)
{
    long long n = 0;
    std::vector<const TLDT3Node *> stack{ARoot};
    while (!stack.empty()) {
        const TLDT3Node *x = stack.back();
        stack.pop_back();
        for (int i = 0; i < x->ChildCount(); ++i) {
            stack.push_back(x->Childs(i));
            ++n;
        }
    }
    return n;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::fputs("Aufruf: bench_LDT3.TVBase DATEI\n", stderr);
        return 64;
    }
    try {
        TLDT3FilePtrList list;
        list.SetMaxInvalidLines(30);
        QElapsedTimer timer;
        timer.start();
        double cpu = CpuMs();
        double sys = SysMs();
        const bool loaded = list.LoadFromFile(QString::fromLocal8Bit(argv[1]));
        const double loadMs = timer.nsecsElapsed() / 1e6;
        const double loadCpu = CpuMs() - cpu;
        const double loadSys = SysMs() - sys;
        if (!loaded) {
            std::fputs("bench_LDT3.TVBase: Datei nicht geladen\n", stderr);
            return 1;
        }
        const long long rssBefore = StatusKB("VmRSS");
        const std::size_t poolBefore = LDT3NodePoolBytes();

        timer.restart();
        cpu = CpuMs();
        sys = SysMs();
        auto dp = std::make_unique<TLDT3Datenpaket>(&list);
        const bool built = dp->BuildLDTTree();
        dp->BuildBase64Tree();
        dp->BuildErrorTree();
        const double buildMs = timer.nsecsElapsed() / 1e6;
        const double buildCpu = CpuMs() - cpu;
        const double buildSys = SysMs() - sys;
        // BENCH_BUILD_REPEAT=N builds N more trees, for a profiler to see
        // the build rather than the load.
        for (int r = qEnvironmentVariableIntValue("BENCH_BUILD_REPEAT"); r > 0; --r) {
            TLDT3Datenpaket again(&list);
            again.BuildLDTTree();
        }
        const long long rssTree = StatusKB("VmRSS") - rssBefore;
        const long long hugeKb = StatusKB("AnonHugePages", "/proc/self/smaps_rollup");
        const std::size_t poolBytes = LDT3NodePoolBytes() - poolBefore;
        if (qEnvironmentVariableIsSet("BENCH_BUILD_ONLY")) {
            std::printf("build_cpu_ms=%.1f (sys %.1f) load_cpu_ms=%.1f (sys %.1f)\n", buildCpu, buildSys, loadCpu, loadSys);
            std::fflush(stdout);
            std::_Exit(0);
        }
        const long long nodes = CountNodes(dp->LDTRoot()) + CountNodes(dp->Base64Root()) + CountNodes(dp->ErrorRoot());
        timer.restart();
        cpu = CpuMs();
        {
            TLDT3MemTreeControl view;
            FillLDTTreeView(&view, dp.get(), true);
            dp->SetTV(nullptr);
        }
        const double fillMs = timer.nsecsElapsed() / 1e6;
        const double fillCpu = CpuMs() - cpu;

        timer.restart();
        cpu = CpuMs();
        dp.reset();
        const double freeMs = timer.nsecsElapsed() / 1e6;
        const double freeCpu = CpuMs() - cpu;

        std::printf("ok=%d lines=%d nodes=%lld load_ms=%.1f build_ms=%.1f fill_ms=%.1f free_ms=%.1f\n", built ? 1 : 0,
                    list.Count(), nodes, loadMs, buildMs, fillMs, freeMs);
        std::printf("cpu: load_ms=%.1f build_ms=%.1f fill_ms=%.1f free_ms=%.1f\n", loadCpu, buildCpu, fillCpu, freeCpu);
        std::printf("sys: load_ms=%.1f build_ms=%.1f\n", loadSys, buildSys);
        std::printf("node_bytes=%.1f pool_bytes=%zu rss_tree_kb=%lld peak_kb=%lld huge_kb=%lld\n",
                    nodes ? double(poolBytes) / double(nodes) : 0.0, poolBytes, rssTree, StatusKB("VmHWM"), hugeKb);
        return built ? 0 : 1;
    } catch (const ELDT3Error &e) {
        std::fprintf(stderr, "bench_LDT3.TVBase: %s\n", e.what());
        return 2;
    }
}
