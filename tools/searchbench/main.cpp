// searchbench: opens an LDT file in the document view in a shown window and
// times what the search field costs the user: typing a text (the colour
// test scans the file), the first Enter (every hit found, the first one
// selected and painted) and the next Enter. Prints key=value lines; times in
// ms, each from the start of the step to the end of the repaint.
//
//   searchbench FILE TEXT...
#include "LDT3.Frame.h"
#include "LDT3.FrameActions.h"
#include "LDT3.ListView.h"
#include "LDT3.RawView.h"
#include "Vex_WebBrowser.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QWindow>

#include <cstdio>

namespace {

double Ms(const QElapsedTimer &t) { return double(t.nsecsElapsed()) / 1e6; }

// Paints what the step changed, as the event loop would before the next input.
void Repaint(TLDTFrame &F)
{
    F.ListView()->viewport()->repaint();
    F.RawView()->viewport()->repaint();
}

} // namespace

int main(int argc, char **argv)
{
    TVexWebBrowser::PrepareApplication();
    QApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    if (args.size() < 2) {
        std::fprintf(stderr, "Aufruf: searchbench DATEI TEXT...\n");
        return 64;
    }
    const QString file = args.takeFirst();
    TLDTFrame f;
    f.resize(1100, 700);
    f.show();
    if (!f.windowHandle() || !f.OpenLDTFile(file)) {
        std::fprintf(stderr, "searchbench: %s nicht geöffnet\n", qPrintable(file));
        return 1;
    }
    QApplication::processEvents();
    std::printf("file=%s\nlines=%d\n", qPrintable(file), f.LineList().PtrList()->Count());
    QLineEdit *ed = f.EdSearch();
    for (const QString &text : args) {
        f.ListView()->SetLVCurrentItem(0);
        QApplication::processEvents();
        QElapsedTimer t;
        t.start();
        ed->setText(text);
        ed->repaint();
        const double typing = Ms(t);
        t.restart();
        f.Actions()->SearchEnter();
        Repaint(f);
        const double first = Ms(t);
        const int hits = f.LineList().FoundCount();
        const int firstZeile = f.CurrentZeile();
        t.restart();
        f.Actions()->SearchEnter();
        Repaint(f);
        const double next = Ms(t);
        std::printf("text=%s hits=%d first_line=%d second_line=%d type_ms=%.1f enter_ms=%.1f next_ms=%.1f\n",
                    qPrintable(text), hits, firstZeile, f.CurrentZeile(), typing, first, next);
        std::fflush(stdout);
        // a new text searches anew
        ed->clear();
    }
    return 0;
}
