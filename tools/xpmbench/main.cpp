// Loads a generated XPM result with many messages and prints the time taken.
// Usage: xpmbench [messages] [copy-of-result.xml]  (default 100000 messages)
#include "LDT3.XML_XPM_List.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>
#include <time.h>
#include <cstdlib>

// CPU time of the process: a busy machine does not inflate it.
static double CpuMs()
{
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return ts.tv_sec * 1e3 + ts.tv_nsec / 1e6;
}

int main(int argc, char **argv)
{
    const int n = argc > 1 ? std::atoi(argv[1]) : 100000;
    QByteArray xml = "<?xml version=\"1.0\" encoding=\"ISO-8859-15\"?>\n<data>\n<parameter><ABBRUCH>0</ABBRUCH>"
                     "<FEHLER>1</FEHLER><ERGEBNIS>2</ERGEBNIS><ERGEBNIS_TEXT>fehlerhaft</ERGEBNIS_TEXT></parameter>\n";
    static const char *const typen[] = {"F", "W", "I", "F*", "A"};
    for (int i = 0; i < n; ++i) {
        xml += "<record><GRUPPE>Feldpr\xfc" "fung</GRUPPE><FEHLER_NR>K";
        xml += QByteArray::number(i % 1000);
        xml += " (";
        xml += typen[i % 5];
        if (i % 7 != 0) {
            xml += '/';
            xml += QByteArray::number(i / 3 + 1);
            if (i % 2)
                xml += ",12";
        }
        xml += ")</FEHLER_NR><MELDUNG>&lt;b&gt;Der Inhalt von Feld 8000 ist ung\xfcltig&lt;/b&gt;</MELDUNG></record>\n";
    }
    xml += "</data>\n";
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("xpm.xml"));
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(xml) != xml.size())
        return 1;
    f.close();

    QElapsedTimer t;
    t.start();
    const double cpu0 = CpuMs();
    const auto list = LoadXPMErrList(path);
    const qint64 loadMs = t.elapsed();
    const double loadCpuMs = CpuMs() - cpu0;
    if (argc > 2) { QFile::copy(path, QString::fromLocal8Bit(argv[2])); }
    t.restart();
    const QString table = list ? list->GetXPMMessageTableXHTML() : QString();
    const qint64 tableMs = t.elapsed();
    std::printf("messages: %d, file: %lld bytes, load: %lld ms (cpu %.0f ms), message table: %lld ms (%lld chars), lines: %lld\n",
                list ? list->Count() : -1, static_cast<long long>(xml.size()), static_cast<long long>(loadMs), loadCpuMs,
                static_cast<long long>(tableMs), static_cast<long long>(table.size()),
                static_cast<long long>(list ? list->AlleZeilen().size() : 0));
    return list && list->Count() == n ? 0 : 1;
}
