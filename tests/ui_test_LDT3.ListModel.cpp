// The line list's table model and its view: cells on demand, the marked
// range, columns from the settings, rows after rebuilding, the fifth place.
#include "LDT3.ListView.h"
#include "ViewTestUtil.h"

#include <QAbstractItemModelTester>
#include <QApplication>
#include <QHeaderView>
#include <QPixmap>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>

using namespace treetest;
using viewtest::ManyLines;
using viewtest::Opened;

namespace {

QIcon ColorIcon(Qt::GlobalColor AColor)
{
    QPixmap pm(8, 8);
    pm.fill(AColor);
    return QIcon(pm);
}

// A document, its table model and the view over it.
struct ListFixture
{
    Opened o;
    TLDT3ListModel model{&o.list};
    TLDT3ListView view;
    explicit ListFixture(const QByteArray &ABytes) : o(ABytes) { view.SetListModel(&model); }
};

QColor Bg(const QAbstractItemModel &M, int ARow, int ACol)
{
    return M.index(ARow, ACol).data(Qt::BackgroundRole).value<QBrush>().color();
}

} // namespace

// ---------------------------------------------------------------- the model contract

TEST(ListModel, ModelTesterOnSamplesAndExamples)
{
    QStringList files = testutil::SampleFiles();
    ASSERT_EQ(files.size(), 18);
    for (const QString &n : QDir(testutil::ExamplesDir()).entryList({QStringLiteral("*.ldt")}, QDir::Files))
        files << QDir(testutil::ExamplesDir()).filePath(n);
    for (const QString &f : files) {
        SCOPED_TRACE(f.toStdString());
        Opened o(f);
        ASSERT_TRUE(o.ok);
        TLDT3ListModel model(&o.list);
        viewtest::WarningCollector warnings;
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Warning);
        model.RebuildLines(true);
        const int shown = model.rowCount();
        EXPECT_EQ(shown + o.list.InvisibleLines(), o.list.PtrList()->Count());
        model.RebuildLines(false);
        EXPECT_EQ(model.rowCount(), o.list.PtrList()->Count());
        model.SetRange(2, 20);
        model.SetLevelIndent(false);
        model.SetBaseFont(QFont(QStringLiteral("Sans"), 11));
        model.SetLVCount(5);
        model.RebuildLines(true);
        EXPECT_EQ(model.rowCount(), shown);
        // every cell and role of every row: each asks its line, none may fail
        for (int r = 0; r < model.rowCount(); ++r)
            for (int c = 0; c < model.columnCount(); ++c)
                for (int role : {Qt::DisplayRole, Qt::DecorationRole, Qt::ForegroundRole, Qt::FontRole,
                                 Qt::BackgroundRole, Qt::TextAlignmentRole, Qt::ToolTipRole})
                    model.index(r, c).data(role);
        model.Clear();
        EXPECT_EQ(model.rowCount(), 0);
        EXPECT_TRUE(warnings.Messages.isEmpty()) << warnings.Messages.join(QLatin1Char('\n')).toStdString();
    }
}

TEST(ListModel, CellsComeFromTheirLineAndColumn)
{
    Opened o(QDir(testutil::ExamplesDir()).filePath(QStringLiteral("Z01_Fehlerhaft.ldt")));
    ASSERT_TRUE(o.ok);
    TLDT3ListModel model(&o.list);
    QFont base(QStringLiteral("Sans"), 13);
    model.SetBaseFont(base);
    model.SetLevelIndent(false);
    ASSERT_TRUE(model.RebuildLines(true));
    EXPECT_EQ(model.headerData(0, Qt::Horizontal).toString(), QStringLiteral("!"));
    for (int c = 0; c < LDT3ColumnCount; ++c)
        EXPECT_EQ(model.headerData(LVModelColumn(c), Qt::Horizontal).toString(), LDT3ColumnCaption(c));
    int errorRows = 0;
    for (int r = 0; r < model.rowCount(); ++r) {
        const TLDT3Line *line = o.list.Items(r);
        EXPECT_FALSE(model.index(r, LVImageColumn).data().isValid());
        for (int c = 0; c < LDT3ColumnCount; ++c) {
            const QModelIndex i = model.index(r, LVModelColumn(c));
            EXPECT_EQ(i.data().toString(), line->GetColumn(c)) << r << " " << c;
            EXPECT_EQ(i.data(Qt::ForegroundRole).value<QBrush>().color().rgb() & 0xFFFFFF, line->GetFontColor(c));
            const QFont f = i.data(Qt::FontRole).value<QFont>();
            EXPECT_EQ(f.bold(), bool(line->GetFontStyles(c) & fsBold)) << r << " " << c;
            EXPECT_EQ(f.italic(), bool(line->GetFontStyles(c) & fsItalic)) << r << " " << c;
            EXPECT_EQ(f.pointSize(), 13);
            EXPECT_EQ(i.data(Qt::ToolTipRole).toString(), line->InfoTip());
            const int align = i.data(Qt::TextAlignmentRole).toInt() & Qt::AlignHorizontal_Mask;
            EXPECT_EQ(align, c == lcZeile || c == lcLen ? int(Qt::AlignRight) : int(Qt::AlignLeft));
        }
        if (line->ImageIndex() == LDT3ImageError)
            ++errorRows;
    }
    EXPECT_GE(errorRows, 4); // the example's faults
}

TEST(ListModel, HugeLineCellsStayBounded)
{
    // one line of 3 MB (its length prefix is wrong, it still parses) and one that does not parse
    const QByteArray huge = "0998410" + QByteArray(3 << 20, 'x') + "\r\n";
    const QByteArray broken = "x" + QByteArray(1 << 20, 'y') + "\r\n";
    Opened o(BefundFile(Befund(huge + broken)));
    ASSERT_TRUE(o.ok);
    TLDT3ListModel model(&o.list);
    ASSERT_TRUE(model.RebuildLines(true));
    for (int row : {4, 5}) {
        ASSERT_GT(o.list.Items(row)->GetColumn(lcInhalt).size(), LVMaxCellChars);
        const QString cell = model.index(row, LVModelColumn(lcInhalt)).data().toString();
        EXPECT_EQ(cell.size(), LVMaxCellChars + 1) << row;
        EXPECT_TRUE(cell.endsWith(QChar(0x2026)));
        EXPECT_TRUE(o.list.Items(row)->GetColumn(lcInhalt).startsWith(cell.chopped(1)));
        EXPECT_LE(model.index(row, 1).data(Qt::ToolTipRole).toString().size(), LVMaxTipChars + 1);
    }
    EXPECT_EQ(model.index(4, LVModelColumn(lcZeile)).data().toString(), QStringLiteral("5"));
}

// ---------------------------------------------------------------- indent

TEST(ListModel, LevelIndentPerLineClass)
{
    const QByteArray body =
        Obj(8145, "Patient", "Obj_0045", L(3101, "Muster") + Obj(8242, "x", "Obj_0068", L(6303, "pdf")));
    Opened o(BefundFile(Befund(body)));
    ASSERT_TRUE(o.ok);
    TLDT3ListModel model(&o.list);
    ASSERT_TRUE(model.RebuildLines(true));
    const int col = LVModelColumn(lcInhalt);
    int deepest = 0;
    for (int r = 0; r < model.rowCount(); ++r) {
        const TLDT3Line *line = o.list.Items(r);
        const TLDT3::TFKTyp t = line->FKTyp();
        const bool dotted = t == TLDT3::fkt_ObjektIdent || t == TLDT3::fkt_ObjektEnde || t == TLDT3::fkt_ObjektAttribut;
        const QString unit = dotted ? QStringLiteral("\u00B7  ") : QStringLiteral("   ");
        EXPECT_EQ(model.index(r, col).data().toString(), unit.repeated(line->Level()) + line->GetColumn(lcInhalt))
            << "Zeile " << line->Zeile();
        deepest = qMax(deepest, line->Level());
    }
    EXPECT_GE(deepest, 2);
    // the inner object's start line: "·  " per level, then "Obj_0068"
    const TLDT3Line *inner = o.list.GetLDT3LineFromZeile(9);
    ASSERT_NE(inner, nullptr);
    ASSERT_EQ(inner->FK(), 8002);
    EXPECT_EQ(model.index(inner->InListIndex(), col).data().toString(),
              QStringLiteral("\u00B7  ").repeated(inner->Level()) + QStringLiteral("Obj_0068"));

    QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
    model.SetLevelIndent(false);
    EXPECT_EQ(changed.count(), 1);
    EXPECT_EQ(model.index(inner->InListIndex(), col).data().toString(), QStringLiteral("Obj_0068"));
    model.SetLevelIndent(false);
    EXPECT_EQ(changed.count(), 1); // no change, no signal
}

// ---------------------------------------------------------------- the marked range

TEST(ListModel, WheatRangeExceptOnErrorRows)
{
    // line 6 has a wrong length prefix (error mark), line 7 gets a test-module message
    QByteArray bad = L(8410, "y");
    bad[2] = '9';
    Opened o(BefundFile(Befund(L(8410, "a") + bad + L(8410, "b") + L(8410, "c"))));
    ASSERT_TRUE(o.ok);
    auto xpm = std::make_unique<TXPMErrList>();
    TXPMErrRec rec;
    rec.ErrTyp = QStringLiteral("F");
    rec.ErrName = QStringLiteral("K042");
    rec.ErrZeile = QStringLiteral("7");
    xpm->Add(rec);
    ASSERT_TRUE(o.list.SetXPMResult(std::move(xpm)));

    TLDT3ListModel model(&o.list);
    const QIcon errorIcon = ColorIcon(Qt::red), rangeIcon = ColorIcon(Qt::yellow), xpmIcon = ColorIcon(Qt::blue);
    model.SetMarkImages(errorIcon, rangeIcon, xpmIcon);
    ASSERT_TRUE(model.RebuildLines(true));
    auto image = [&](int ARow) { return model.index(ARow, LVImageColumn).data(Qt::DecorationRole).value<QIcon>().cacheKey(); };
    ASSERT_EQ(o.list.Items(5)->ImageIndex(), LDT3ImageError);
    ASSERT_EQ(o.list.Items(6)->ImageIndex(), LDT3ImageXPM);

    const QColor wheat(0xF5, 0xDE, 0xB3);
    EXPECT_EQ(image(5), errorIcon.cacheKey());
    EXPECT_EQ(image(6), xpmIcon.cacheKey());
    EXPECT_EQ(model.index(4, 0).data(Qt::DecorationRole), QVariant());

    QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
    model.SetRange(3, 8); // lines 4 to 9
    EXPECT_EQ(changed.count(), 1);
    struct Case { int row; bool wheat; qint64 icon; };
    const Case cases[] = {
        {2, false, 0},                   // before the range
        {3, true, rangeIcon.cacheKey()}, // first line of the range
        {4, true, rangeIcon.cacheKey()},
        {5, false, errorIcon.cacheKey()}, // error mark stays, no wheat
        {6, true, rangeIcon.cacheKey()},  // the test module's mark gives way to the range
        {8, true, rangeIcon.cacheKey()},  // last line of the range
        {9, false, 0},                    // after it
    };
    for (const Case &c : cases) {
        for (int col = 0; col < LVModelColumnCount; ++col)
            EXPECT_EQ(Bg(model, c.row, col) == wheat, c.wheat) << "row " << c.row << " col " << col;
        if (c.icon)
            EXPECT_EQ(image(c.row), c.icon) << "row " << c.row;
        else
            EXPECT_FALSE(model.index(c.row, 0).data(Qt::DecorationRole).isValid()) << "row " << c.row;
    }
    EXPECT_EQ(Bg(model, 2, 3), QColor(Qt::white));

    // a range of one line is no marked range
    model.SetRange(4, 4);
    EXPECT_FALSE(model.RangeMarked());
    EXPECT_NE(Bg(model, 4, 1), wheat);
    model.SetRange(4, 4);
    EXPECT_EQ(changed.count(), 2);
    model.SetRange(-1, -1);
    EXPECT_NE(Bg(model, 3, 1), wheat);
}

TEST(ListView, RangeNeverChangesTheSelection)
{
    ListFixture f(ManyLines(60));
    ASSERT_TRUE(f.o.ok);
    TLDT3ListModel &model = f.model;
    TLDT3ListView &view = f.view;
    view.RebuildLines(true);
    view.SetLVCurrentIndex(12);
    QSignalSpy sel(view.selectionModel(), &QItemSelectionModel::selectionChanged);
    QSignalSpy cur(view.selectionModel(), &QItemSelectionModel::currentChanged);
    QSignalSpy lv(&view, &TLDT3ListView::LVSelectionChanged);
    model.SetRange(5, 40);
    model.SetRange(20, 30);
    model.SetRange(-1, -1);
    EXPECT_EQ(sel.count(), 0);
    EXPECT_EQ(cur.count(), 0);
    EXPECT_EQ(lv.count(), 0);
    EXPECT_EQ(view.LVCurrentIndex(), 12);
}

// ---------------------------------------------------------------- rows

TEST(ListView, RowCountFollowsBase64Option)
{
    ListFixture f(Base64RunFile());
    ASSERT_TRUE(f.o.ok);
    TLDT3ListModel &model = f.model;
    TLDT3ListView &view = f.view;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    QSignalSpy resets(&model, &QAbstractItemModel::modelReset);
    QSignalSpy lv(&view, &TLDT3ListView::LVSelectionChanged);

    EXPECT_EQ(model.rowCount(), 0);
    ASSERT_TRUE(view.RebuildLines(true));
    EXPECT_EQ(model.rowCount(), 100);
    EXPECT_EQ(resets.count(), 1);
    view.ResetLines();
    EXPECT_EQ(view.LVCurrentIndex(), 0);
    // the same count repaints the rows without laying every row out again
    EXPECT_EQ(resets.count(), 1);
    ASSERT_GE(lv.count(), 1);
    EXPECT_EQ(lv.last().at(0).toInt(), 0);
    EXPECT_EQ(model.index(50, LVModelColumn(lcZeile)).data().toString(), QStringLiteral("951"));

    ASSERT_TRUE(view.RebuildLines(false));
    EXPECT_EQ(model.rowCount(), 1000);
    EXPECT_EQ(model.index(50, LVModelColumn(lcZeile)).data().toString(), QStringLiteral("51"));
    EXPECT_EQ(view.LVCurrentIndex(), -1); // rows replaced: no row is selected until ResetLines
    view.ResetLines();
    EXPECT_EQ(view.LVCurrentIndex(), 0);

    // a count never reaches beyond the document's rows
    model.SetLVCount(5000);
    EXPECT_EQ(model.rowCount(), 1000);
    ASSERT_TRUE(view.RebuildLines(true));
    EXPECT_EQ(model.rowCount(), 100);
    EXPECT_EQ(model.LineAt(100), nullptr);
    EXPECT_EQ(model.LineAt(-1), nullptr);
    EXPECT_EQ(model.RowOfLine(f.o.list.Items(99)), 99);
    EXPECT_EQ(model.RowOfLine(nullptr), -1);
    model.Clear();
    f.o.list.Clear();
    EXPECT_EQ(model.rowCount(), 0);
    EXPECT_FALSE(view.SetLVCurrentIndex(0));
}

TEST(ListView, StatusTexts)
{
    ListFixture f(Base64RunFile());
    ASSERT_TRUE(f.o.ok);
    TLDT3ListModel &model = f.model;
    TLDT3ListView &view = f.view;
    EXPECT_EQ(view.LineStatusText(), QStringLiteral("0 Einträge"));
    view.RebuildLines(true);
    EXPECT_EQ(view.LineStatusText(), QStringLiteral("100 Einträge"));
    EXPECT_EQ(view.HiddenLinesStatusText(), QStringLiteral("900 Zeilen ausgeblendet"));
    view.SetLVCurrentIndex(50);
    EXPECT_EQ(view.LineStatusText(), QStringLiteral("Zeile 951 von 1000"));
    model.SetLVCount(1);
    EXPECT_EQ(view.LineStatusText(), QStringLiteral("1 Eintrag"));
    view.RebuildLines(false);
    EXPECT_EQ(view.HiddenLinesStatusText(), QStringLiteral("0 Zeilen ausgeblendet"));
}

TEST(ListView, SelectedRowComesToTheFifthVisiblePlace)
{
    ListFixture f(ManyLines(300));
    ASSERT_TRUE(f.o.ok);
    TLDT3ListView &view = f.view;
    view.resize(900, 400); // wide enough for every column: no horizontal scroll bar comes and goes
    view.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
    view.RebuildLines(true);
    view.ResetLines();
    const int visible = view.VisibleRowCount();
    ASSERT_GT(visible, 10);
    const int maxTop = 300 - visible;
    ASSERT_EQ(view.verticalScrollBar()->maximum(), maxTop);

    struct Case { int row; int top; };
    const Case cases[] = {
        {100, 96},            // down from the top
        {103, 99},            // a little further, still inside the page
        {50, 46},             // up
        {48, 44},             // up by two: the row would fall above the fifth place
        {3, 0},               // near the first row: as far as the rows go
        {299, maxTop},        // the last row: bottom of the list
        {150, 146},
        {150, 146},           // again: stays
    };
    QSignalSpy lv(&view, &TLDT3ListView::LVSelectionChanged);
    for (const Case &c : cases) {
        view.SetLVCurrentItem(c.row);
        EXPECT_EQ(view.LVCurrentIndex(), c.row);
        EXPECT_EQ(view.TopIndex(), c.top) << "row " << c.row;
        EXPECT_EQ(view.currentIndex().row(), c.row);
    }
    EXPECT_EQ(lv.count(), 7); // one per change of the selected row

    view.SetMakeVisibleOnTop(false);
    view.SetLVCurrentItem(200);
    EXPECT_EQ(view.TopIndex(), 200 - visible + 1); // only made visible, at the bottom
    view.SetLVCurrentItem(-1);
    EXPECT_EQ(view.LVCurrentIndex(), -1);
    EXPECT_FALSE(view.SetLVCurrentIndex(300));
    EXPECT_EQ(view.LVCurrentIndex(), -1);
}

// ---------------------------------------------------------------- columns

namespace {

struct ColumnView : ListFixture
{
    ColumnView() : ListFixture(ManyLines(20))
    {
        view.resize(300, 200); // narrower than the columns: the last one does not stretch
        view.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&view));
        view.RebuildLines(true);
    }
    QList<int> VisualOrder() const
    {
        QList<int> r;
        const QHeaderView *hh = view.horizontalHeader();
        for (int v = 0; v < hh->count(); ++v)
            if (!hh->isSectionHidden(hh->logicalIndex(v)))
                r << hh->logicalIndex(v) - 1;
        return r;
    }
};

} // namespace

TEST(ListView, ColumnsFromSettingsAndBack)
{
    ColumnView cv;
    TColumnInfos info = DefaultColumnInfos();
    info[lcLen].Visible = false;
    info[lcFeldName].Visible = false;
    info[lcInhalt].Width = 222;
    info[lcStatus].Width = 77;
    // shown order: Status, Zeile, FK, Inhalt, Beschreibung
    info[lcStatus].ColumnPosition = 0;
    info[lcZeile].ColumnPosition = 2;
    info[lcLen].ColumnPosition = 1;
    info[lcFK].ColumnPosition = 3;
    info[lcInhalt].ColumnPosition = 4;
    info[lcBeschreibung].ColumnPosition = 5;
    info[lcFeldName].ColumnPosition = 6;

    const QList<int> order = cv.view.RefreshLVColumns(info);
    EXPECT_EQ(order, (QList<int>{-1, lcStatus, lcZeile, lcFK, lcInhalt, lcBeschreibung}));
    EXPECT_EQ(cv.VisualOrder(), order);
    const QHeaderView *hh = cv.view.horizontalHeader();
    EXPECT_EQ(hh->sectionSize(LVImageColumn), LVImageColumnWidth);
    EXPECT_EQ(hh->sectionResizeMode(LVImageColumn), QHeaderView::Fixed);
    EXPECT_EQ(hh->sectionSize(LVModelColumn(lcInhalt)), 222);
    EXPECT_EQ(hh->sectionSize(LVModelColumn(lcStatus)), 77);
    EXPECT_TRUE(hh->sectionsMovable());
    EXPECT_FALSE(cv.view.isSortingEnabled());
    struct Sub { int col; int sub; int index; };
    for (const Sub &s : {Sub{lcStatus, 0, 1}, Sub{lcZeile, 1, 2}, Sub{lcFK, 2, 3}, Sub{lcInhalt, 3, 4},
                         Sub{lcBeschreibung, 4, 5}, Sub{lcLen, 6, -1}, Sub{lcFeldName, 6, -1}}) {
        EXPECT_EQ(info[s.col].SubItemPosition, s.sub) << s.col;
        EXPECT_EQ(info[s.col].ColumnIndex, s.index) << s.col;
    }

    // read back unchanged: the same settings
    TColumnInfos back = info;
    for (TColumnInfo &i : back)
        i.Width = -1;
    cv.view.SynchLVColumnInfo(back);
    for (int c = 0; c < LDT3ColumnCount; ++c) {
        EXPECT_EQ(back[c].ColumnPosition, info[c].ColumnPosition) << c;
        if (info[c].Visible)
            EXPECT_EQ(back[c].Width, info[c].Width) << c;
        else
            EXPECT_EQ(back[c].Width, -1) << c; // hidden columns keep what they had
    }

    // the user drags Beschreibung to the front and widens FK; hidden Len keeps place 1
    QHeaderView *h = cv.view.horizontalHeader();
    h->moveSection(h->visualIndex(LVModelColumn(lcBeschreibung)), 1);
    h->resizeSection(LVModelColumn(lcFK), 90);
    cv.view.SynchLVColumnInfo(info);
    struct Pos { int col; int pos; };
    for (const Pos &p : {Pos{lcBeschreibung, 0}, Pos{lcLen, 1}, Pos{lcStatus, 2}, Pos{lcZeile, 3}, Pos{lcFK, 4},
                         Pos{lcInhalt, 5}, Pos{lcFeldName, 6}})
        EXPECT_EQ(info[p.col].ColumnPosition, p.pos) << p.col;
    EXPECT_EQ(info[lcFK].Width, 90);

    // a fresh view given these settings shows the same columns
    ColumnView again;
    TColumnInfos copy = info;
    again.view.RefreshLVColumns(copy);
    EXPECT_EQ(again.VisualOrder(), (QList<int>{-1, lcBeschreibung, lcStatus, lcZeile, lcFK, lcInhalt}));
    EXPECT_EQ(again.view.horizontalHeader()->sectionSize(LVModelColumn(lcFK)), 90);

    // showing a hidden column again puts it at its kept place
    copy[lcLen].Visible = true;
    again.view.RefreshLVColumns(copy);
    EXPECT_EQ(again.VisualOrder(), (QList<int>{-1, lcBeschreibung, lcLen, lcStatus, lcZeile, lcFK, lcInhalt}));
}

TEST(ListView, ImageColumnStaysFirst)
{
    ColumnView cv;
    TColumnInfos info = DefaultColumnInfos();
    cv.view.RefreshLVColumns(info);
    QHeaderView *h = cv.view.horizontalHeader();
    h->moveSection(0, 4);
    EXPECT_EQ(h->visualIndex(LVImageColumn), 0);
    h->moveSection(h->visualIndex(LVModelColumn(lcStatus)), 0);
    EXPECT_EQ(h->visualIndex(LVImageColumn), 0);
    cv.view.SynchLVColumnInfo(info);
    EXPECT_EQ(info[lcStatus].ColumnPosition, 0);
    EXPECT_EQ(info[lcZeile].ColumnPosition, 1);
}

int main(int argc, char **argv)
{
    return viewtest::RunWidgetTests(argc, argv);
}
