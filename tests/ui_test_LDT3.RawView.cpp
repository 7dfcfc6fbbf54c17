// The raw text view: lines from the mapped bytes, whole-line selection,
// caret and status texts, copy and select all, line geometry.
#include "LDT3.RawView.h"
#include "ViewTestUtil.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QFontInfo>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>

using namespace treetest;
using viewtest::ManyLines;
using viewtest::Opened;

namespace {

// ISO 8859-15 content (ö, ß, €), an LF-only line end and a last line without one.
QByteArray MixedFile()
{
    return BefundFile(Befund(L(8411, "Gr\xF6\xDF" "e \xA4") + L(8410, "ctl\x01x").replace("\r\n", "\n"))) +
           "0128410ende";
}


// The text of a line as the file holds it (controls kept), without its line end.
QString Expected(const TLDT3FilePtrList &AList, int AIndex)
{
    QString s = AList.AsString().mid(AList.Offset(AIndex), AList.LenOrgLine(AIndex));
    while (s.endsWith(QLatin1Char('\n')) || s.endsWith(QLatin1Char('\r')))
        s.chop(1);
    return s;
}

struct RawFixture
{
    Opened o;
    TLDT3RawView view;
    explicit RawFixture(const QByteArray &ABytes) : o(ABytes)
    {
        view.resize(400, 300);
        view.SetPtrList(o.list.PtrList());
    }
};

} // namespace

TEST(RawView, LinesComeFromTheMappedBytes)
{
    RawFixture f(MixedFile());
    ASSERT_TRUE(f.o.ok);
    const TLDT3FilePtrList &pl = *f.o.list.PtrList();
    ASSERT_EQ(f.view.LineCount(), pl.Count());
    for (int i = 0; i < pl.Count(); ++i)
        EXPECT_EQ(f.view.LineText(i), Expected(pl, i)) << i;
    EXPECT_EQ(f.view.LineText(4), QStringLiteral("0168411Größe €"));
    EXPECT_EQ(f.view.LineText(5), QStringLiteral("0148410ctl\x01x"));
    EXPECT_EQ(f.view.LineText(pl.Count() - 1), QStringLiteral("0128410ende"));
    EXPECT_EQ(f.view.LineText(pl.Count()), QString());
    EXPECT_EQ(f.view.StatusText(), QString::fromUtf8("Zeile: 1 von %1 - Zeichen: 0").arg(pl.Count()));
}

TEST(RawView, GotoSelectsTheWholeLineWithoutFollowing)
{
    RawFixture f(MixedFile());
    ASSERT_TRUE(f.o.ok);
    const int n = f.view.LineCount();
    QSignalSpy status(&f.view, &TLDT3RawView::StatusTextChanged);
    QSignalSpy follow(&f.view, &TLDT3RawView::FollowZeile);
    for (int i : {0, 4, 5, n - 1}) {
        ASSERT_TRUE(f.view.RawGotoIndex(i));
        EXPECT_EQ(f.view.SelectedText(), f.view.LineText(i)) << i;
        EXPECT_EQ(f.view.CaretLine(), i);
        EXPECT_EQ(f.view.StatusText(), QStringLiteral("Zeile: %1 von %2").arg(i + 1).arg(n));
    }
    EXPECT_EQ(status.count(), 4);
    EXPECT_EQ(status.last().at(0).toString(), QStringLiteral("Zeile: %1 von %1").arg(n));
    EXPECT_TRUE(f.view.RawGotoZeile(5));
    EXPECT_EQ(f.view.CaretLine(), 4);
    for (int bad : {-1, n}) {
        EXPECT_FALSE(f.view.RawGotoIndex(bad));
        EXPECT_EQ(f.view.CaretLine(), 4);
    }
    EXPECT_FALSE(f.view.RawGotoZeile(0));
    EXPECT_EQ(follow.count(), 0);
}

TEST(RawView, SelectAllAndCopyTheWholeFile)
{
    RawFixture f(MixedFile());
    ASSERT_TRUE(f.o.ok);
    const QString whole = f.o.list.PtrList()->AsString();
    const int n = f.view.LineCount();
    QTest::keyClick(&f.view, Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(f.view.SelectionStart(), 0);
    EXPECT_EQ(f.view.SelectionEnd(), f.o.list.PtrList()->FileSize());
    EXPECT_EQ(f.view.SelectedText(), whole);
    EXPECT_EQ(f.view.StatusText(), QStringLiteral("Zeile: %1 von %1").arg(n));
    QApplication::clipboard()->clear();
    QTest::keyClick(&f.view, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->text(), whole);

    // one line, copied with its own text only
    f.view.RawGotoIndex(4);
    f.view.Copy();
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("0168411Größe €"));
    // after select all the caret keys go on from the end of the last line
    QTest::keyClick(&f.view, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(&f.view, Qt::Key_Left);
    EXPECT_EQ(f.view.CaretLine(), n - 1);
    EXPECT_EQ(f.view.CaretColumn(), f.view.LineText(n - 1).size() - 1);
    EXPECT_FALSE(f.view.HasSelection());
}

TEST(RawView, CopyKeysWinOverTheWindowsShortcuts)
{
    Opened o(ManyLines(20));
    ASSERT_TRUE(o.ok);
    QWidget window;
    auto *view = new TLDT3RawView(&window);
    int actionFired = 0;
    for (QKeySequence::StandardKey key : {QKeySequence::Copy, QKeySequence::SelectAll}) {
        auto *action = new QAction(&window);
        action->setShortcut(key);
        QObject::connect(action, &QAction::triggered, [&]() { ++actionFired; });
        window.addAction(action);
    }
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    view->SetPtrList(o.list.PtrList());
    view->setFocus();
    QApplication::clipboard()->clear();
    QTest::keyClick(view, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(view, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(actionFired, 0);
    EXPECT_EQ(QApplication::clipboard()->text(), o.list.PtrList()->AsString());
}

TEST(RawView, CaretKeysStatusAndFollowWithoutEcho)
{
    RawFixture f(ManyLines(100));
    ASSERT_TRUE(f.o.ok);
    const int n = f.view.LineCount();
    QList<int> followed;
    // as the document view does: follow the caret's line and select it here again
    const QMetaObject::Connection echo = QObject::connect(&f.view, &TLDT3RawView::FollowZeile, &f.view, [&](int AZeile) {
        followed << AZeile;
        f.view.RawGotoZeile(AZeile);
    });
    QTest::keyClick(&f.view, Qt::Key_Down);
    EXPECT_EQ(followed, QList<int>{2});
    EXPECT_EQ(f.view.StatusText(), QStringLiteral("Zeile: 2 von %1").arg(n)); // the line is selected again

    QObject::disconnect(echo);
    QSignalSpy follow(&f.view, &TLDT3RawView::FollowZeile);
    f.view.SetPtrList(f.o.list.PtrList());
    struct Step { Qt::Key key; Qt::KeyboardModifiers mods; int line; int col; bool sel; };
    const int len0 = f.view.LineText(0).size();
    const Step steps[] = {
        {Qt::Key_End, Qt::NoModifier, 0, len0, false},
        {Qt::Key_Right, Qt::NoModifier, 1, 0, false},   // over the line end
        {Qt::Key_Left, Qt::NoModifier, 0, len0, false},
        {Qt::Key_Down, Qt::ShiftModifier, 1, int(qMin(len0, f.view.LineText(1).size())), true},
        {Qt::Key_Home, Qt::NoModifier, 1, 0, false},
        {Qt::Key_PageDown, Qt::NoModifier, 1 + f.view.VisibleLineCount(), 0, false},
        {Qt::Key_End, Qt::ControlModifier, n - 1, int(f.view.LineText(n - 1).size()), false},
        {Qt::Key_Down, Qt::NoModifier, n - 1, int(f.view.LineText(n - 1).size()), false}, // stays: no change
        {Qt::Key_Home, Qt::ControlModifier, 0, 0, false},
    };
    int changes = 0;
    for (const Step &s : steps) {
        const int before = f.view.CaretLine() * 10000 + f.view.CaretColumn();
        QTest::keyClick(&f.view, s.key, s.mods);
        EXPECT_EQ(f.view.CaretLine(), s.line) << s.key;
        EXPECT_EQ(f.view.CaretColumn(), s.col) << s.key;
        EXPECT_EQ(f.view.HasSelection(), s.sel) << s.key;
        const QString expect = s.sel ? QStringLiteral("Zeile: %1 von %2").arg(s.line + 1).arg(n)
                                     : QStringLiteral("Zeile: %1 von %2 - Zeichen: %3").arg(s.line + 1).arg(n).arg(s.col);
        EXPECT_EQ(f.view.StatusText(), expect) << s.key;
        if (f.view.CaretLine() * 10000 + f.view.CaretColumn() != before || s.sel)
            ++changes;
    }
    EXPECT_EQ(follow.count(), changes);
    EXPECT_EQ(follow.last().at(0).toInt(), 1);
}

TEST(RawView, MouseSetsCaretAndDoubleClickSelectsTheLine)
{
    RawFixture f(ManyLines(50));
    ASSERT_TRUE(f.o.ok);
    f.view.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&f.view));
    QSignalSpy follow(&f.view, &TLDT3RawView::FollowZeile);
    const QPoint p(1, f.view.YOfLine(3) + f.view.LineHeight() / 2);
    QTest::mouseClick(f.view.viewport(), Qt::LeftButton, Qt::NoModifier, p);
    EXPECT_EQ(f.view.CaretLine(), 3);
    EXPECT_EQ(f.view.CaretColumn(), 0);
    ASSERT_EQ(follow.count(), 1);
    EXPECT_EQ(follow.last().at(0).toInt(), 4);
    QTest::mouseClick(f.view.viewport(), Qt::LeftButton, Qt::ShiftModifier,
                      QPoint(1, f.view.YOfLine(5) + f.view.LineHeight() / 2));
    EXPECT_EQ(f.view.SelectedText(), f.view.LineText(3) + "\r\n" + f.view.LineText(4) + "\r\n");
    QTest::mouseDClick(f.view.viewport(), Qt::LeftButton, Qt::NoModifier, p);
    EXPECT_EQ(f.view.SelectedText(), f.view.LineText(3));
}

TEST(RawView, LineToPixelAtTheLastLine)
{
    RawFixture f(ManyLines(300));
    ASSERT_TRUE(f.o.ok);
    f.view.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&f.view));
    const int h = f.view.viewport()->height();
    const int visible = f.view.VisibleLineCount();
    ASSERT_EQ(visible, h / f.view.LineHeight());
    EXPECT_EQ(f.view.verticalScrollBar()->maximum(), 300 - visible);

    ASSERT_TRUE(f.view.RawGotoIndex(299));
    EXPECT_EQ(f.view.TopLine(), 300 - visible);
    const int y = f.view.YOfLine(299);
    EXPECT_GE(y, 0);
    EXPECT_LE(y + f.view.LineHeight(), h);
    EXPECT_EQ(f.view.LineAtY(y), 299);
    EXPECT_EQ(f.view.LineAtY(y + f.view.LineHeight() - 1), 299);
    EXPECT_EQ(f.view.LineAtY(y - 1), 298);
    EXPECT_EQ(f.view.LineAtY(10 * h), 299);
    EXPECT_EQ(f.view.LineAtY(0), 300 - visible);

    ASSERT_TRUE(f.view.RawGotoIndex(0));
    EXPECT_EQ(f.view.TopLine(), 0);
    EXPECT_EQ(f.view.YOfLine(0), 0);
    EXPECT_EQ(f.view.LineAtY(-1), 0);
    ASSERT_TRUE(f.view.RawGotoIndex(150)); // far below: comes in at the bottom
    EXPECT_EQ(f.view.YOfLine(150), (visible - 1) * f.view.LineHeight());
}

TEST(RawView, ClearedFileShowsNothing)
{
    RawFixture f(ManyLines(40));
    ASSERT_TRUE(f.o.ok);
    f.view.RawGotoIndex(10);
    // the document cleared before the view was told: nothing of the freed bytes is read
    f.o.list.Clear();
    EXPECT_EQ(f.view.LineCount(), 0);
    EXPECT_EQ(f.view.SelectedText(), QString());
    EXPECT_EQ(f.view.StatusText(), QString());
    EXPECT_FALSE(f.view.RawGotoIndex(0));
    EXPECT_FALSE(f.view.grab().isNull());
    QSignalSpy status(&f.view, &TLDT3RawView::StatusTextChanged);
    f.view.Clear();
    ASSERT_EQ(status.count(), 1);
    EXPECT_EQ(status.last().at(0).toString(), QString());
    f.view.SelectAll();
    f.view.Copy();
    EXPECT_FALSE(f.view.HasSelection());
}

TEST(RawView, DefaultFontIsFixedPitchOf21Pixels)
{
    const QFont font = TLDT3RawView::DefaultFont();
    EXPECT_TRUE(QFontInfo(font).fixedPitch());
    EXPECT_LE(QFontMetrics(font).height(), 21);
    EXPECT_GE(QFontMetrics(font).height(), 17);
    TLDT3RawView view;
    EXPECT_EQ(view.font(), font);
    EXPECT_EQ(view.LineHeight(), QFontMetrics(font).height());
}

int main(int argc, char **argv)
{
    return viewtest::RunWidgetTests(argc, argv);
}
