// viewbench: opens an LDT file into the line list and the raw text, side by
// side in a shown window, and times what a user waits for: from the open
// call to the first painted rows, jumps (last line, a line number) with their
// repaint, and paging down both views. Prints key=value lines.
//
//   viewbench [--pages N] [--hold] [--range START END] [--select ZEILE] FILE
//
// --hold keeps the window open (for screenshots) with the 0-based line range
// START..END marked and line ZEILE selected.
//
//   viewbench --program [--pages N] [--jumps N] FILE
//
// times the whole program instead (ProgramBench.cpp).
#include "BenchUtil.h"
#include "LDT3.ListView.h"
#include "LDT3.RawView.h"
#include "ProgramBench.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QPainter>
#include <QScrollBar>
#include <QSplitter>
#include <QVBoxLayout>
#include <QWindow>

#include <algorithm>
#include <ctime>
#include <cstdio>
#include <string_view>
#include <vector>

namespace {

QIcon MarkIcon(QColor AColor, bool ATriangle)
{
    QPixmap pm(16, 16);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setBrush(AColor);
    p.setPen(AColor.darker());
    if (ATriangle)
        p.drawPolygon(QPolygonF({QPointF(3, 2), QPointF(14, 8), QPointF(3, 14)}));
    else
        p.drawEllipse(QRectF(2, 2, 12, 12));
    return QIcon(pm);
}

} // namespace

using namespace bench;

int main(int argc, char **argv)
{
    for (int i = 1; i < argc; ++i)
        if (std::string_view(argv[i]) == "--program")
            return RunProgramBench(argc, argv);
    QApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    int pages = 200;
    bool hold = false;
    int rangeStart = -1, rangeEnde = -1, selectZeile = 0;
    QString fileName;
    while (!args.isEmpty()) {
        const QString a = args.takeFirst();
        if (a == QLatin1String("--pages") && !args.isEmpty())
            pages = args.takeFirst().toInt();
        else if (a == QLatin1String("--hold"))
            hold = true;
        else if (a == QLatin1String("--range") && args.size() >= 2) {
            rangeStart = args.takeFirst().toInt();
            rangeEnde = args.takeFirst().toInt();
        } else if (a == QLatin1String("--select") && !args.isEmpty())
            selectZeile = args.takeFirst().toInt();
        else
            fileName = a;
    }
    if (fileName.isEmpty()) {
        std::fprintf(stderr, "Aufruf: viewbench [--pages N] [--hold] [--range START ENDE] [--select ZEILE] DATEI\n");
        return 64;
    }

    TLDT3LineList lineList;
    QWidget window;
    window.setWindowTitle(QStringLiteral("viewbench - ") + fileName);
    auto *layout = new QVBoxLayout(&window);
    auto *splitter = new QSplitter(&window);
    layout->addWidget(splitter);
    // each view with the status line the document view gives it
    auto addPane = [splitter](QWidget *AView) {
        auto *pane = new QWidget(splitter);
        auto *l = new QVBoxLayout(pane);
        l->setContentsMargins(0, 0, 0, 0);
        AView->setParent(pane);
        l->addWidget(AView);
        auto *status = new QLabel(pane);
        l->addWidget(status);
        return status;
    };
    auto *list = new TLDT3ListView;
    auto *raw = new TLDT3RawView;
    QLabel *listStatus = addPane(list);
    QLabel *rawStatus = addPane(raw);
    QObject::connect(raw, &TLDT3RawView::StatusTextChanged, rawStatus, &QLabel::setText);
    QObject::connect(list, &TLDT3ListView::LVSelectionChanged, listStatus, [list, listStatus]() {
        listStatus->setText(list->LineStatusText() + QStringLiteral("  |  ") + list->HiddenLinesStatusText());
    });
    TLDT3ListModel model(&lineList);
    model.SetMarkImages(MarkIcon(QColor(0xE0, 0x30, 0x30), false), MarkIcon(QColor(0xC0, 0x80, 0x20), true),
                        MarkIcon(QColor(0x30, 0x60, 0xE0), false));
    list->SetListModel(&model);
    TColumnInfos columns = DefaultColumnInfos();
    list->RefreshLVColumns(columns);
    splitter->setSizes({800, 600});
    window.resize(1400, 800);
    window.show();
    QElapsedTimer wait;
    wait.start();
    while ((!window.windowHandle() || !window.windowHandle()->isExposed()) && wait.elapsed() < 10000)
        app.processEvents(QEventLoop::AllEvents, 10);
    app.processEvents();

    // Open: load and trees, rows, raw text, then both views paint their first rows.
    QElapsedTimer t;
    t.start();
    lineList.SetMaxInvalidLines(30);
    lineList.GetLDT3FilePtrList(fileName);
    const double loadMs = Ms(t);
    const long rssLoaded = RssKb("VmRSS:"), peakLoaded = RssKb();
    list->RebuildLines(true);
    const double rowsMs = Ms(t);
    list->ResetLines();
    const double resetMs = Ms(t);
    raw->SetPtrList(lineList.PtrList());
    const double rawMs = Ms(t);
    list->viewport()->repaint();
    raw->viewport()->repaint();
    const double openMs = Ms(t);
    std::printf("open_steps_ms rows=%.1f reset_select=%.1f raw=%.1f paint=%.1f\n", rowsMs - loadMs,
                resetMs - rowsMs, rawMs - resetMs, openMs - rawMs);
    std::printf("rss_kb after_load=%ld peak_after_load=%ld after_first_paint=%ld\n", rssLoaded, peakLoaded,
                RssKb("VmRSS:"));
    const int lines = raw->LineCount();
    const int rows = model.rowCount();
    std::printf("file=%s\nlines=%d rows=%d\nload_ms=%.1f\nopen_to_first_paint_ms=%.1f\n", qPrintable(fileName), lines,
                rows, loadMs, openMs);

    if (hold) {
        model.SetRange(rangeStart, rangeEnde);
        if (selectZeile > 0) {
            bool exact = false;
            if (TLDT3Line *l = lineList.GetNearestLDT3LineFromZeile(selectZeile, exact))
                list->SetLVCurrentIndex(l->InListIndex());
            raw->RawGotoZeile(selectZeile);
        }
        std::fflush(stdout);
        return app.exec();
    }
    if (rows == 0)
        return 1;

    // Jumps, each with the repaint it causes.
    t.restart();
    list->SetLVCurrentIndex(rows - 1);
    list->viewport()->repaint();
    std::printf("list_jump_last_ms=%.2f\n", Ms(t));
    t.restart();
    raw->RawGotoIndex(lines - 1);
    raw->viewport()->repaint();
    std::printf("raw_jump_last_ms=%.2f\n", Ms(t));
    t.restart();
    const int zeile = lines / 2 + 1;
    raw->RawGotoZeile(zeile);
    bool exact = false;
    if (TLDT3Line *l = lineList.GetNearestLDT3LineFromZeile(zeile, exact))
        list->SetLVCurrentIndex(l->InListIndex());
    raw->viewport()->repaint();
    list->viewport()->repaint();
    std::printf("goto_line_both_ms=%.2f (Zeile %d)\n", Ms(t), zeile);

    // Paging down from the top, one repaint per page.
    auto page = [&](QAbstractScrollArea *AView, const char *AName) {
        AView->verticalScrollBar()->setValue(0);
        AView->viewport()->repaint();
        std::vector<double> times, cpu;
        for (int i = 0; i < pages; ++i) {
            t.restart();
            const double c0 = CpuMs();
            AView->verticalScrollBar()->triggerAction(QAbstractSlider::SliderPageStepAdd);
            AView->viewport()->repaint();
            cpu.push_back(CpuMs() - c0);
            times.push_back(Ms(t));
        }
        const TStats s = Stats(times), c = Stats(cpu);
        std::printf("%s_page_down_ms mean=%.3f p95=%.3f max=%.3f cpu_mean=%.3f cpu_p95=%.3f (%d pages of %d)\n",
                    AName, s.Mean, s.P95, s.Max, c.Mean, c.P95, pages, AView->verticalScrollBar()->pageStep());
    };
    page(list, "list");
    page(raw, "raw");

    // The whole program's peak while viewing; copying all text adds its copy after it.
    std::printf("peak_rss_kb=%ld\n", RssKb());
    t.restart();
    raw->SelectAll();
    raw->Copy();
    std::printf("raw_select_all_copy_ms=%.1f\n", Ms(t));
    raw->Clear();
    std::printf("peak_rss_kb_after_copy=%ld\n", RssKb());
    return 0;
}
