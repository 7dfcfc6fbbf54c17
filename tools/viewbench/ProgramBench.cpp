// viewbench --program: the whole desktop program (its main window, made as
// main() makes it, with WebEngine, start page and settings) opens FILE and
// is timed at what a person waits for: from the open call to the first
// painted rows, jumps (last line, a line number, a tree item to its line)
// and paging the list and the raw text, each with the repaint it causes.
#include "ProgramBench.h"

#include "BenchUtil.h"
#include "LDT3.Frame.h"
#include "LDT3.LVBase.h"
#include "LDT3.ListView.h"
#include "LDT3.RawView.h"
#include "LDT3.TVBase.h"
#include "LDT3.TreeModel.h"
#include "VentolixMain.h"
#include "VentolixStartUp.h"
#include "Vex_ExThread.h"
#include "Vex_MessageSink.h"
#include "Vex_ThreadInfoForm.h"
#include "Vex_WebBrowser.h"

#include <QApplication>
#include <QHash>
#include <QKeyEvent>
#include <QTreeView>
#include <QWindow>

#include <cstdio>
#include <random>

namespace {

using namespace bench;

// Counts paint events of the widgets it watches.
class TPaintWatch : public QObject
{
public:
    void Watch(QWidget *AWidget) { AWidget->installEventFilter(this); }
    int Count = 0;

protected:
    bool eventFilter(QObject *, QEvent *AEvent) override
    {
        if (AEvent->type() == QEvent::Paint)
            ++Count;
        return false;
    }
};

// Counts the paint events of every widget, by object name and class: which
// parts of the window a step repaints besides the view it moves.
class TAllPaints : public QObject
{
public:
    QHash<QString, int> Counts;

protected:
    bool eventFilter(QObject *AObject, QEvent *AEvent) override
    {
        if (AEvent->type() == QEvent::Paint && AObject->isWidgetType()) {
            const QObject *named = AObject;
            while (named && named->objectName().isEmpty())
                named = named->parent();
            ++Counts[QString::fromLatin1(AObject->metaObject()->className()) + QLatin1Char('@')
                     + (named ? named->objectName() : QString())];
        }
        return false;
    }
};

// Runs the event loop until a watched widget painted after ASince and the
// events it posted are done; false after ATimeoutMs without a paint.
bool WaitForPaint(TPaintWatch &AWatch, int ASince, int ATimeoutMs = 10000)
{
    QElapsedTimer t;
    t.start();
    while (AWatch.Count == ASince && t.elapsed() < ATimeoutMs)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    QCoreApplication::sendPostedEvents();
    return AWatch.Count != ASince;
}

void Settle(int AMs)
{
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < AMs)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
}

void PrintStats(const char *AName, const std::vector<double> &ATimes, int AMissed)
{
    const TStats s = Stats(ATimes);
    std::printf("%s_ms median=%.2f max=%.2f mean=%.2f n=%zu%s\n", AName, s.Median, s.Max, s.Mean, ATimes.size(),
                AMissed ? qPrintable(QStringLiteral(" ohne_repaint=%1").arg(AMissed)) : "");
}

// The largest parts of the resident memory now, in MB, on one line.
void PrintRssByMapping(const char *AName)
{
    const auto parts = RssByMapping();
    QStringList out;
    long rest = 0;
    for (size_t i = 0; i < parts.size(); ++i)
        if (i < 12)
            out << QStringLiteral("%1=%2").arg(parts[i].first).arg(parts[i].second / 1024.0, 0, 'f', 1);
        else
            rest += parts[i].second;
    out << QStringLiteral("rest=%1").arg(rest / 1024.0, 0, 'f', 1);
    std::printf("%s %s\n", AName, qPrintable(out.join(QLatin1Char(' '))));
}

} // namespace

int RunProgramBench(int argc, char **argv)
{
    TVexWebBrowser::PrepareApplication();
    QApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    args.removeAll(QStringLiteral("--program"));
    int pages = 100, jumps = 9;
    // --page-window: the window made for web pages from the start, as the program does without a file
    bool pageWindow = false;
    QString fileName;
    while (!args.isEmpty()) {
        const QString a = args.takeFirst();
        if (a == QLatin1String("--pages") && !args.isEmpty())
            pages = args.takeFirst().toInt();
        else if (a == QLatin1String("--jumps") && !args.isEmpty())
            jumps = args.takeFirst().toInt();
        else if (a == QLatin1String("--page-window"))
            pageWindow = true;
        else
            fileName = a;
    }
    if (fileName.isEmpty()) {
        std::fprintf(stderr, "Aufruf: viewbench --program [--pages N] [--jumps N] [--page-window] DATEI\n");
        return 64;
    }
    VentolixStartUp();
    // messages on stderr: a message box would wait for a click
    TStderrMessageSink sink;
    SetMessageSink(&sink);
    TThreadInfoFormPresenter presenter;
    SetThreadInfoPresenter(&presenter);

    int rc = 0;
    {
        QElapsedTimer t;
        t.start();
        TVentolixMainForm form;
        form.resize(1280, 760);
        if (pageWindow)
            TVexWebBrowser::PrepareWindowForPages(&form);
        else
            form.PrepareForCommandLine({fileName});
        form.show();
        const double startMs = Ms(t);
        TLDTFrame *frame = form.LDTFrame();
        TLDT3ListView *list = frame->ListView();
        TLDT3RawView *raw = frame->RawView();
        TPaintWatch watch;
        watch.Watch(list->viewport());
        watch.Watch(raw->viewport());
        std::printf("file=%s\nstart_ms=%.1f\nrss_kb_started=%ld\n", qPrintable(fileName), startMs, RssKb("VmRSS:"));
        PrintRssByMapping("rss_by_mapping_started");

        // Open: the file as the program's one argument, as main() hands it
        // over right after showing the window, up to the list's first painted rows.
        int since = watch.Count;
        t.restart();
        const double cpu0 = ProcessCpuMs();
        form.ProcessCommandLine({fileName});
        const bool opened = frame->FileIsOpen();
        const double callMs = Ms(t);
        const bool painted = WaitForPaint(watch, since);
        const double openMs = Ms(t);
        const double openCpuMs = ProcessCpuMs() - cpu0;
        std::printf("opened=%d\nopen_call_ms=%.1f\nopen_to_first_paint_ms=%.1f%s\nopen_cpu_ms=%.1f\n", opened, callMs,
                    openMs, painted ? "" : " (kein Repaint)", openCpuMs);
        std::printf("rss_kb_opened=%ld peak_kb_opened=%ld\n", RssKb("VmRSS:"), RssKb());
        const int rows = frame->ListModel()->rowCount();
        const int lines = raw->LineCount();
        std::printf("lines=%d rows=%d\n", lines, rows);
        if (!opened || rows == 0) {
            rc = 1;
        } else {
            std::mt19937 rnd(4242);
            auto timed = [&](const char *AName, const std::function<void(int)> &APrepare,
                             const std::function<void(int)> &AOp) {
                std::vector<double> times;
                int missed = 0;
                for (int i = 0; i < jumps; ++i) {
                    if (APrepare) {
                        APrepare(i);
                        Settle(30);
                    }
                    const int s = watch.Count;
                    QElapsedTimer op;
                    op.start();
                    AOp(i);
                    missed += !WaitForPaint(watch, s, 2000);
                    times.push_back(Ms(op));
                }
                PrintStats(AName, times, missed);
            };
            Settle(300);
            // the last line, from the top
            timed("jump_last", [&](int) { frame->GotoNearestZeile(1); },
                  [&](int) { frame->GotoNearestZeile(frame->LineList().PtrList()->Count()); });
            // line numbers spread over the file, as "go to line" moves
            std::uniform_int_distribution<int> zeile(1, frame->LineList().PtrList()->Count());
            timed("jump_line", nullptr, [&](int) { frame->GotoNearestZeile(zeile(rnd)); });
            // tree items: records seen without opening anything, and lines deep in their records
            TLDT3TreeModel *tm = frame->LDTTreeModel();
            QTreeView *tv = frame->LDTTree();
            auto itemOf = [&](int AZeile, bool ARecord) {
                QModelIndex i = tm->IndexOf(frame->LineList().GetLDT3LineNodeFromZeile(AZeile));
                while (ARecord && i.parent().isValid() && i.parent().parent().isValid())
                    i = i.parent();
                return i;
            };
            QModelIndex target;
            auto prepare = [&](bool ARecord) {
                return [&, ARecord](int) {
                    target = QModelIndex();
                    for (int tries = 0; tries < 50 && !target.isValid(); ++tries)
                        target = itemOf(zeile(rnd), ARecord);
                    for (QModelIndex p = target.parent(); p.isValid(); p = p.parent())
                        tv->expand(p);
                    tv->scrollTo(target);
                };
            };
            auto select = [&](int) { tv->setCurrentIndex(target); };
            timed("jump_tree_record", prepare(true), select);
            timed("jump_tree_line", prepare(false), select);

            // paging down, with the key a person presses
            auto pageDown = [&](const char *AName, QAbstractScrollArea *AView) {
                std::vector<double> times, cpu;
                int missed = 0;
                TAllPaints all;
                qApp->installEventFilter(&all);
                for (int i = 0; i < pages; ++i) {
                    const int s = watch.Count;
                    QElapsedTimer op;
                    op.start();
                    const double c0 = CpuMs();
                    QKeyEvent key(QEvent::KeyPress, Qt::Key_PageDown, Qt::NoModifier);
                    QCoreApplication::sendEvent(AView, &key);
                    missed += !WaitForPaint(watch, s, 2000);
                    times.push_back(Ms(op));
                    cpu.push_back(CpuMs() - c0);
                }
                qApp->removeEventFilter(&all);
                QStringList painted;
                for (auto it = all.Counts.cbegin(); it != all.Counts.cend(); ++it)
                    painted << QStringLiteral("%1=%2").arg(it.key()).arg(it.value());
                painted.sort();
                std::printf("%s_paints %s\n", AName, qPrintable(painted.join(QLatin1Char(' '))));
                PrintStats(AName, times, missed);
                const TStats c = Stats(cpu);
                std::printf("%s_cpu_ms median=%.2f max=%.2f\n", AName, c.Median, c.Max);
            };
            frame->GotoNearestZeile(1);
            list->setFocus();
            Settle(100);
            pageDown("list_page_down", list);
            frame->ActivateRightPage(TLDTFrame::pageRaw);
            raw->setFocus();
            Settle(300);
            pageDown("raw_page_down", raw);
            std::printf("peak_rss_kb=%ld\nchildren_peak_kb=%ld\n", RssKb(), ChildrenPeakKb());
            PrintRssByMapping("rss_by_mapping");
            // once a page was on show, WebEngine's drawing shares the window
            frame->ActivateRightPage(TLDTFrame::pageFileInfo);
            Settle(3000);
            frame->ActivateRightPage(TLDTFrame::pageList);
            list->setFocus();
            Settle(300);
            pageDown("list_page_down_after_page", list);
        }
        // with the file information page shown once (WebEngine started)
        std::printf("peak_rss_kb_with_page=%ld\nchildren_peak_kb_with_page=%ld\n", RssKb(), ChildrenPeakKb());
        PrintRssByMapping("rss_by_mapping_with_page");
        std::fflush(stdout);
    }
    TVexWebBrowser::CloseWindows();
    SetThreadInfoPresenter(nullptr);
    SetMessageSink(nullptr);
    return rc;
}
