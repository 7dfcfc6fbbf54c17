// Small measuring helpers shared by the two modes of viewbench.
#pragma once

#include <QByteArray>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QHash>
#include <QString>

#include <algorithm>
#include <cctype>
#include <utility>
#include <ctime>
#include <vector>

namespace bench {

// A field of /proc/<APid>/status in KiB: VmHWM (peak) or VmRSS (now); -1 when unreadable.
inline long StatusKb(const char *AKey, const QString &APid = QStringLiteral("self"))
{
    QFile f(QStringLiteral("/proc/%1/status").arg(APid));
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray key(AKey);
    for (const QByteArray &l : f.readAll().split('\n'))
        if (l.startsWith(key))
            return l.mid(key.size()).trimmed().split(' ').first().toLong();
    return -1;
}

inline long RssKb(const char *AKey = "VmHWM:")
{
    return StatusKb(AKey);
}

// The peak of every process this one started (WebEngine's renderer and GPU
// processes), summed: what the program holds outside its own process.
inline long ChildrenPeakKb(const QString &APid = QString::number(QCoreApplication::applicationPid()))
{
    long sum = 0;
    for (const QString &task : QDir(QStringLiteral("/proc/%1/task").arg(APid)).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QFile f(QStringLiteral("/proc/%1/task/%2/children").arg(APid, task));
        if (!f.open(QIODevice::ReadOnly))
            continue;
        for (const QByteArray &child : f.readAll().split(' ')) {
            const QString pid = QString::fromLatin1(child.trimmed());
            if (pid.isEmpty())
                continue;
            sum += qMax(0L, StatusKb("VmHWM:", pid)) + ChildrenPeakKb(pid);
        }
    }
    return sum;
}

// The resident memory of this process by what it maps, in KiB, largest
// first: each shared library and mapped file by its name, anonymous memory
// (heap, thread stacks, arenas) as "[anon]".
inline std::vector<std::pair<QString, long>> RssByMapping()
{
    QFile f(QStringLiteral("/proc/self/smaps"));
    std::vector<std::pair<QString, long>> parts;
    if (!f.open(QIODevice::ReadOnly))
        return parts;
    QHash<QString, long> kb;
    QString current;
    for (const QByteArray &l : f.readAll().split('\n')) {
        if (l.isEmpty())
            continue;
        if (l.startsWith("Rss:")) {
            kb[current] += l.mid(4).trimmed().split(' ').first().toLong();
        } else if (!l.at(0) || !std::isupper(static_cast<unsigned char>(l.at(0)))) {
            // a mapping's header line: address range, permissions, offset, device, inode, name
            const QList<QByteArray> cols = l.simplified().split(' ');
            QString name = cols.size() > 5 ? QString::fromLocal8Bit(cols.mid(5).join(' ')) : QString();
            if (name.isEmpty() || name.startsWith(QLatin1Char('[')))
                name = QStringLiteral("[anon]");
            current = name.section(QLatin1Char('/'), -1);
        }
    }
    for (auto it = kb.cbegin(); it != kb.cend(); ++it)
        parts.emplace_back(it.key(), it.value());
    std::sort(parts.begin(), parts.end(), [](const auto &a, const auto &b) { return a.second > b.second; });
    return parts;
}

struct TStats
{
    double Median = 0, Mean = 0, P95 = 0, Max = 0;
};

inline TStats Stats(std::vector<double> v)
{
    TStats s;
    if (v.empty())
        return s;
    std::sort(v.begin(), v.end());
    for (double x : v)
        s.Mean += x;
    s.Mean /= double(v.size());
    const size_t n = v.size();
    s.Median = n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
    s.P95 = v[std::min(n - 1, size_t(double(n) * 0.95))];
    s.Max = v.back();
    return s;
}

inline double Ms(const QElapsedTimer &t)
{
    return double(t.nsecsElapsed()) / 1e6;
}

// CPU time of this thread in ms: what the views cost, apart from a busy machine.
inline double CpuMs()
{
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return double(ts.tv_sec) * 1e3 + double(ts.tv_nsec) / 1e6;
}

// CPU time of the whole process (all threads, user and system) in ms.
inline double ProcessCpuMs()
{
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return double(ts.tv_sec) * 1e3 + double(ts.tv_nsec) / 1e6;
}

} // namespace bench
