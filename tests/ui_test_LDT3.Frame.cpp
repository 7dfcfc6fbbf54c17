// The document view: its tree models against the core's fill, its pages and
// status texts, the rejection of non-LDT files, trees, list and raw text in
// step without echoes, and its settings.
#include "LDT3.Frame.h"
#include "LDT3.ListView.h"
#include "LDT3.RawView.h"
#include "LDT3.TVBase.h"
#include "LDT3.TreeModel.h"
#include "UiTestUtil.h"
#include "Vex_AppRegistry.h"
#include "ViewTestUtil.h"

#include <QAbstractItemModelTester>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QSignalSpy>
#include <QSplitter>
#include <QSet>
#include <QStatusBar>
#include <QTabBar>
#include <QTabWidget>
#include <QTreeView>

using namespace treetest;
using viewtest::Opened;

namespace {

// Depth first: one line per item, two blanks of indent per level, as the
// in-memory tree control prints itself.
QString ModelAsText(const QAbstractItemModel &AModel, const QModelIndex &AParent = {}, int ALevel = 0)
{
    QString s;
    for (int r = 0; r < AModel.rowCount(AParent); ++r) {
        const QModelIndex i = AModel.index(r, 0, AParent);
        s += QString(2 * ALevel, QLatin1Char(' ')) + i.data().toString() + QLatin1Char('\n');
        s += ModelAsText(AModel, i, ALevel + 1);
    }
    return s;
}

// Every item's node in model order and in the control's creation order (depth first).
void ModelNodes(const QAbstractItemModel &AModel, const QModelIndex &AParent, std::vector<const TLDT3Node *> &ANodes)
{
    for (int r = 0; r < AModel.rowCount(AParent); ++r) {
        const QModelIndex i = AModel.index(r, 0, AParent);
        ANodes.push_back(TLDT3TreeModel::NodeOf(i));
        ModelNodes(AModel, i, ANodes);
    }
}

std::vector<const TLDT3Node *> ControlNodes(const TLDT3MemTreeControl &AControl)
{
    std::vector<const TLDT3Node *> nodes;
    for (int i = 0; i < AControl.Count(); ++i)
        nodes.push_back(AControl.Item(i).Data);
    return nodes;
}

// A result with objects, a field error and two Base64 runs split by a field.
QByteArray GeneratedFile()
{
    QByteArray b64a, b64b;
    for (int i = 0; i < 40; ++i)
        b64a += L(6329, "QUJD");
    for (int i = 0; i < 3; ++i)
        b64b += L(6329, "QUJD");
    const QByteArray anhang =
        Obj(8110, "Anhang", "Obj_0010", L(9970, "1") + b64a + L(8410, "zwischen") + b64b);
    return BefundFile(Befund(L(8410, "abc") + anhang + L(8410, "x") + L(7777, "unbekannt")));
}

QByteArray InvalidLinesFile(int AInvalid)
{
    QByteArray bytes = QByteArray("01380008220\r\n");
    for (int i = 0; i < AInvalid; ++i)
        bytes += "kaputt\r\n";
    return bytes;
}

QStringList AllFiles()
{
    QStringList files = testutil::SamplesDir().isEmpty() ? QStringList() : testutil::SampleFiles();
    for (const QString &n : QDir(testutil::ExamplesDir()).entryList({QStringLiteral("*.ldt")}, QDir::Files))
        files << QDir(testutil::ExamplesDir()).filePath(n);
    return files;
}

} // namespace

// The models show exactly the items, order, captions and nodes the core's
// fill gives a tree control, on every sample, the examples and generated files.
TEST(TreeModel, SameItemsAsTheFillOnEveryFile)
{
    QTemporaryDir dir;
    QStringList files = AllFiles();
    ASSERT_GE(files.size(), 18);
    files << testutil::WriteFile(dir, QStringLiteral("Z01gen.ldt"), GeneratedFile())
          << testutil::WriteFile(dir, QStringLiteral("Z01run.ldt"), Base64RunFile())
          << testutil::WriteFile(dir, QStringLiteral("Z01many.ldt"), viewtest::ManyLines(500));
    int withRuns = 0;
    for (const QString &f : files) {
        SCOPED_TRACE(f.toStdString());
        Opened o(f);
        ASSERT_TRUE(o.ok);
        TLDT3Datenpaket *dp = o.list.Datenpaket();
        ASSERT_NE(dp, nullptr);
        viewtest::WarningCollector warnings;
        TLDT3TreeModel ldt(TLDT3TreeModel::TKind::tkLDT);
        TLDT3TreeModel errors(TLDT3TreeModel::TKind::tkErrors);
        QAbstractItemModelTester t1(&ldt, QAbstractItemModelTester::FailureReportingMode::Warning);
        QAbstractItemModelTester t2(&errors, QAbstractItemModelTester::FailureReportingMode::Warning);
        ldt.SetDatenpaket(dp);
        errors.SetDatenpaket(dp);

        TLDT3MemTreeControl ldtControl, errorControl;
        FillLDTTreeView(&ldtControl, dp, true);
        FillErrorTreeView(&errorControl, dp);
        dp->SetTV(nullptr);
        EXPECT_EQ(ModelAsText(ldt), ldtControl.AsText());
        EXPECT_EQ(ModelAsText(errors), errorControl.AsText());
        std::vector<const TLDT3Node *> nodes;
        ModelNodes(ldt, {}, nodes);
        // the control's top items carry no node
        std::vector<const TLDT3Node *> expected = ControlNodes(ldtControl);
        ASSERT_EQ(nodes.size(), expected.size());
        for (size_t i = 0; i < nodes.size(); ++i) {
            if (expected[i]) {
                ASSERT_EQ(nodes[i], expected[i]) << "item " << i;
            }
        }
        if (ModelAsText(ldt).contains(QStringLiteral("Zeilen ausgeblendet")))
            ++withRuns;
        // every line's node finds its item, and the item gives back the node or its run
        for (int z = 1; z <= o.list.PtrList()->Count(); ++z) {
            const TLDT3LineNode *n = o.list.GetLDT3LineNodeFromZeile(z);
            if (!n)
                continue;
            const QModelIndex i = ldt.IndexOf(n);
            ASSERT_TRUE(i.isValid()) << "line " << z;
            EXPECT_EQ(ldt.parent(i), ldt.IndexOf(n->Parent())) << "line " << z;
        }
        ldt.Clear();
        errors.Clear();
        EXPECT_EQ(ldt.rowCount(), 0);
        EXPECT_TRUE(warnings.Messages.isEmpty()) << warnings.Messages.join(QLatin1Char('\n')).toStdString();
    }
    EXPECT_GE(withRuns, 3);
}

TEST(TreeModel, HintsAndErrorMarks)
{
    Opened o(GeneratedFile());
    ASSERT_TRUE(o.ok);
    TLDT3TreeModel ldt(TLDT3TreeModel::TKind::tkLDT);
    QPixmap pm(4, 4);
    pm.fill(Qt::red);
    ldt.SetMarkImages(QIcon(pm), QIcon(pm));
    ldt.SetDatenpaket(o.list.Datenpaket());
    int errorsMarked = 0, errorLines = 0;
    for (int z = 1; z <= o.list.PtrList()->Count(); ++z) {
        const TLDT3LineNode *n = o.list.GetLDT3LineNodeFromZeile(z);
        const QModelIndex i = ldt.IndexOf(n);
        if (TLDT3TreeModel::NodeOf(i) != n)
            continue; // a hidden line of a run
        EXPECT_EQ(i.data(Qt::ToolTipRole).toString(), QStringLiteral("Zeile %1").arg(z));
        const bool hasErrors = o.list.PtrList()->LineHasErrors(z - 1);
        errorLines += hasErrors;
        errorsMarked += !i.data(Qt::DecorationRole).value<QIcon>().isNull();
        EXPECT_EQ(!i.data(Qt::DecorationRole).value<QIcon>().isNull(), hasErrors) << "line " << z;
    }
    EXPECT_GE(errorLines, 1);
    EXPECT_EQ(errorsMarked, errorLines);
}

TEST(TreeModel, AttachmentFileItemHintsItsFileName)
{
    Opened o(testutil::SamplesDir() + QStringLiteral("/Z01_UseCase05_Befund_mitPDF.ldt"));
    ASSERT_TRUE(o.ok);
    TLDT3TreeModel ldt(TLDT3TreeModel::TKind::tkLDT);
    ldt.SetDatenpaket(o.list.Datenpaket());
    const QModelIndex b64 = ldt.index(1, 0);
    ASSERT_EQ(ldt.rowCount(b64), o.list.PtrList()->Base64AnalgenList().Count());
    const QModelIndex anlage = ldt.index(0, 0, b64);
    ASSERT_EQ(ldt.rowCount(anlage), 1);
    const QModelIndex file = ldt.index(0, 0, anlage);
    const TLDT3Node *n = TLDT3TreeModel::NodeOf(file);
    ASSERT_TRUE(n && n->ClassType()->InheritsFrom(TLDT3Base64FileNode::Class()));
    const QString name = static_cast<const TLDT3Base64FileNode *>(n)->FileName();
    EXPECT_FALSE(name.isEmpty());
    EXPECT_EQ(file.data(Qt::ToolTipRole).toString(), name);
    EXPECT_EQ(file.data().toString(), n->Caption());
    EXPECT_FALSE(anlage.data(Qt::ToolTipRole).isValid());
}

class Frame : public ::testing::Test
{
protected:
    uitest::TFreshConfigHome FHome;
    QTemporaryDir FTmp;
};

TEST_F(Frame, LayoutOfPagesBarsAndPanels)
{
    TLDTFrame f;
    auto *right = f.findChild<QTabWidget *>(QStringLiteral("PageControlRight"));
    auto *left = f.findChild<QTabWidget *>(QStringLiteral("PageControlLeft"));
    ASSERT_TRUE(right && left);
    QStringList captions;
    for (int i = 0; i < right->count(); ++i)
        captions << right->tabText(i);
    EXPECT_EQ(captions, QStringList({QStringLiteral("LDT-Liste"), QStringLiteral("Raw"), QStringLiteral("Datei-Info"),
                                     QStringLiteral("Feld-Statistik"), QStringLiteral("XPM-Prüfprotokoll")}));
    EXPECT_EQ(left->tabText(0), QStringLiteral("LDT-Baum"));
    EXPECT_EQ(left->tabText(1), QStringLiteral("Fehler"));
    // only the tree and the list show before a file
    for (int p = 0; p < 5; ++p)
        EXPECT_EQ(f.RightPageVisible(p), p == TLDTFrame::pageList) << p;
    EXPECT_TRUE(f.LeftPageVisible(TLDTFrame::pageLDTTree));
    EXPECT_FALSE(f.LeftPageVisible(TLDTFrame::pageErrors));
    // HTML views come on first use
    EXPECT_EQ(f.FileInfoView(), nullptr);
    EXPECT_EQ(f.FileStatView(), nullptr);
    EXPECT_EQ(f.XPMView(), nullptr);
    QLineEdit *ed = f.EdSearch();
    ASSERT_NE(ed, nullptr);
    EXPECT_EQ(ed->placeholderText(), QStringLiteral("Suche in Datei..."));
    EXPECT_EQ(ed->width(), 121);
    EXPECT_TRUE(ed->font().bold());
    QList<int> widths;
    for (QLabel *l : f.StatusBar()->findChildren<QLabel *>())
        widths << l->minimumWidth();
    EXPECT_EQ(widths, QList<int>({200, 200, 200, 50}));
    // the last panel reaches to the right edge
    f.resize(1600, 600);
    f.show();
    QLabel *last = f.StatusBar()->findChildren<QLabel *>().value(3);
    ASSERT_NE(last, nullptr);
    WAIT_UNTIL(last->width() > 200, 5000);
    EXPECT_GT(last->width(), 200);
    EXPECT_EQ(f.StatusPanelText(0), QStringLiteral("0 Einträge"));
}

TEST_F(Frame, ThirtyInvalidLinesOpenThirtyOneAreRejected)
{
    for (int invalid : {30, 31}) {
        const bool shown = invalid == 30;
        const QString file = testutil::WriteFile(FTmp, QStringLiteral("Z01_%1.ldt").arg(invalid), InvalidLinesFile(invalid));
        TLDTFrame f;
        EXPECT_EQ(f.OpenLDTFile(file), shown) << invalid;
        EXPECT_EQ(f.FileIsOpen(), shown);
        const QString no = QStringLiteral("Diese Datei ist keine LDT-Datei");
        EXPECT_EQ(f.StatusText(), shown ? file : file + QStringLiteral(" - [") + no + QLatin1Char(']'));
        EXPECT_EQ(f.TreeStatusText() == no, !shown);
        EXPECT_EQ(f.ErrorTreeStatusText() == no, !shown);
        EXPECT_EQ(f.RightPageVisible(TLDTFrame::pageRaw), shown);
        EXPECT_EQ(f.RightPageVisible(TLDTFrame::pageFileStat), shown);
        EXPECT_TRUE(f.RightPageVisible(TLDTFrame::pageFileInfo));
        EXPECT_EQ(f.RightPage(), shown ? int(TLDTFrame::pageList) : int(TLDTFrame::pageFileInfo));
        ASSERT_NE(f.FileInfoView(), nullptr);
        EXPECT_TRUE(f.FileInfoView()->LoadedString().contains(QStringLiteral("Datei-Information")));
        EXPECT_EQ(f.ListModel()->rowCount() > 0, shown);
        EXPECT_EQ(f.RawView()->LineCount() > 0, shown);
        EXPECT_EQ(f.LDTTreeModel()->rowCount() > 0, shown);
    }
}

TEST_F(Frame, OpenShowsEverythingAndCloseEmptiesIt)
{
    const QString file = testutil::SamplesDir() + QStringLiteral("/Z01_UseCase05_Befund_mitPDF.ldt");
    TLDTFrame f;
    ASSERT_TRUE(f.OpenLDTFile(file));
    for (int p : {TLDTFrame::pageList, TLDTFrame::pageRaw, TLDTFrame::pageFileInfo, TLDTFrame::pageFileStat})
        EXPECT_TRUE(f.RightPageVisible(p)) << p;
    EXPECT_FALSE(f.XPMPageVisible());
    EXPECT_TRUE(f.LeftPageVisible(TLDTFrame::pageErrors));
    ASSERT_NE(f.FileStatView(), nullptr);
    EXPECT_FALSE(f.FileStatView()->LoadedString().isEmpty());
    EXPECT_EQ(f.RawView()->LineCount(), f.LineList().PtrList()->Count());
    EXPECT_EQ(f.ListModel()->rowCount(), f.LineList().Count());
    EXPECT_EQ(f.CurrentZeile(), 1);
    EXPECT_EQ(f.StatusPanelText(0), QStringLiteral("Zeile 1 von %1").arg(f.LineList().PtrList()->Count()));
    EXPECT_EQ(f.StatusPanelText(1), QStringLiteral("%1 Zeilen ausgeblendet").arg(f.LineList().InvisibleLines()));
    EXPECT_GT(f.LineList().InvisibleLines(), 0);
    EXPECT_EQ(f.StatusBarTopText(), f.CurrentLine()->LongPathFK());
    // the Base64 option shows the hidden lines
    f.ActionToggleBase64()->setChecked(false);
    EXPECT_EQ(f.ListModel()->rowCount(), f.LineList().PtrList()->Count());
    EXPECT_EQ(f.StatusPanelText(1), QStringLiteral("0 Zeilen ausgeblendet"));

    EXPECT_TRUE(f.CloseLDTFile());
    EXPECT_EQ(f.StatusText(), f.FileName() + QStringLiteral(" - [Datei geschlossen]"));
    EXPECT_EQ(f.ListModel()->rowCount(), 0);
    EXPECT_EQ(f.RawView()->LineCount(), 0);
    EXPECT_EQ(f.LDTTreeModel()->rowCount(), 0);
    EXPECT_EQ(f.ErrorTreeModel()->rowCount(), 0);
    EXPECT_EQ(f.StatusPanelText(0), QStringLiteral("0 Einträge"));
    for (int p = 1; p < 5; ++p)
        EXPECT_FALSE(f.RightPageVisible(p)) << p;
}

// A tree item marks its lines and moves list and raw text once each; the
// list's move comes back to neither tree.
TEST_F(Frame, TreeSelectionMovesListAndRawOnceWithoutEcho)
{
    const QString file = testutil::WriteFile(FTmp, QStringLiteral("Z01gen.ldt"), GeneratedFile());
    TLDTFrame f;
    ASSERT_TRUE(f.OpenLDTFile(file));
    const TLDT3LineNode *obj = f.LineList().GetLDT3LineNodeFromZeile(6); // Obj_0010
    ASSERT_NE(obj, nullptr);
    ASSERT_GT(obj->NodeSize(), 3);
    const QModelIndex item = f.LDTTreeModel()->IndexOf(obj);
    ASSERT_TRUE(item.isValid());

    QSignalSpy list(f.ListView(), &TLDT3ListView::LVSelectionChanged);
    QSignalSpy raw(f.RawView(), &TLDT3RawView::StatusTextChanged);
    QSignalSpy follow(f.RawView(), &TLDT3RawView::FollowZeile);
    QSignalSpy tree(f.LDTTree()->selectionModel(), &QItemSelectionModel::currentChanged);
    QSignalSpy errors(f.ErrorTree()->selectionModel(), &QItemSelectionModel::currentChanged);
    f.LDTTree()->setCurrentIndex(item);
    EXPECT_EQ(tree.count(), 1);
    EXPECT_EQ(list.count(), 1);
    EXPECT_EQ(raw.count(), 1);
    EXPECT_EQ(follow.count(), 0);
    EXPECT_LE(errors.count(), 1);
    EXPECT_EQ(f.CurrentZeile(), 6);
    EXPECT_EQ(f.RawView()->CaretLine(), 5);
    EXPECT_EQ(f.RangeStart(), obj->StartIdx());
    EXPECT_EQ(f.RangeEnde(), obj->EndeIdx());
    EXPECT_EQ(f.ListModel()->RangeStart(), obj->StartIdx());
    // the selected item carries the range mark
    EXPECT_EQ(QModelIndex(f.LDTTreeModel()->MarkedItem(TLDT3TreeModel::mkRange)), item);
    // wheat on the range's rows except on error-marked ones
    const int row = f.ListModel()->RowOfLine(f.CurrentLine());
    EXPECT_EQ(f.ListModel()->index(row, 1).data(Qt::BackgroundRole).value<QBrush>().color(),
              QColor(QRgb(LDT3RangeColor)));

    // selecting a line with an error in the list moves the error tree once
    list.clear();
    raw.clear();
    tree.clear();
    errors.clear();
    int errorRow = -1;
    for (int r = 0; r < f.ListModel()->rowCount() && errorRow < 0; ++r)
        if (f.ListModel()->LineAt(r)->LineHasErrors())
            errorRow = r;
    ASSERT_GE(errorRow, 0);
    f.ListView()->SetLVCurrentItem(errorRow);
    EXPECT_EQ(list.count(), 1);
    EXPECT_EQ(errors.count(), 1);
    EXPECT_EQ(tree.count(), 0);
    EXPECT_EQ(raw.count(), 0);
    const TLDT3Node *errNode = TLDT3TreeModel::NodeOf(f.ErrorTree()->currentIndex());
    ASSERT_NE(errNode, nullptr);
    EXPECT_EQ(static_cast<const TLDT3LineErrorNode *>(errNode)->Zeile(), f.CurrentZeile());
    // the sync did not move the list again
    EXPECT_EQ(f.ListView()->LVCurrentIndex(), errorRow);
    EXPECT_EQ(f.StatusPanelText(0), QStringLiteral("Zeile %1 von %2").arg(f.CurrentZeile()).arg(f.LineList().PtrList()->Count()));
}

// The attachment's file item marks its range and puts the attachment mark on
// the item of its first line, or on the nearest ancestor left visible.
TEST_F(Frame, AttachmentMarkOnNearestVisibleAncestor)
{
    const QString file = testutil::SamplesDir() + QStringLiteral("/Z01_UseCase05_Befund_mitPDF.ldt");
    TLDTFrame f;
    f.resize(1000, 700);
    ASSERT_TRUE(f.OpenLDTFile(file));
    TLDT3TreeModel *m = f.LDTTreeModel();
    const QModelIndex b64 = m->index(1, 0);
    const QModelIndex fileItem = m->index(0, 0, m->index(0, 0, b64));
    ASSERT_TRUE(fileItem.isValid());
    f.LDTTree()->setCurrentIndex(fileItem);
    const auto *fn = static_cast<const TLDT3Base64FileNode *>(TLDT3TreeModel::NodeOf(fileItem));
    const TLDT3Base64Anlage *a = fn->AnlageNode()->Anlage();
    EXPECT_EQ(f.RangeStart(), a->AnhangStartIdx());
    EXPECT_EQ(f.RangeEnde(), a->AnhangEndeIdx());
    EXPECT_EQ(f.CurrentZeile(), a->AnhangStartZeile());
    const QModelIndex first = m->IndexOf(f.LineList().GetLDT3LineNodeFromZeile(a->AnhangStartZeile()));
    ASSERT_TRUE(first.isValid());
    // only the LDT item is open: the mark sits on the record's item below it
    QModelIndex visible = first;
    while (visible.parent().isValid() && visible.parent() != m->index(0, 0))
        visible = visible.parent();
    EXPECT_EQ(QModelIndex(m->MarkedItem(TLDT3TreeModel::mkAnhang)), visible);
    EXPECT_FALSE(visible.data(Qt::DecorationRole).value<QIcon>().isNull() && m->HasErrorMark(TLDT3TreeModel::NodeOf(visible)));
    // opening the way down moves it to the line's own item
    for (QModelIndex p = first.parent(); p.isValid(); p = p.parent())
        f.LDTTree()->expand(p);
    EXPECT_EQ(QModelIndex(m->MarkedItem(TLDT3TreeModel::mkAnhang)), first);
    f.LDTTree()->collapse(m->index(0, 0));
    EXPECT_EQ(QModelIndex(m->MarkedItem(TLDT3TreeModel::mkAnhang)), m->index(0, 0));
}

// A tree that cannot be built says why through the message sink, once, and
// the file still opens with the part that was built, its list and raw text.
TEST_F(Frame, TreeBuildErrorIsShownAndTheFileStillOpens)
{
    // a record ends while an attribute is open: the structure check passes, the build stops
    const QByteArray bytes = BefundFile(L(8000, "8205") + L(8145, "Patient") + L(8001, "8205"));
    const QString file = testutil::WriteFile(FTmp, QStringLiteral("Z01_bruch.ldt"), bytes);
    RecordingSink sink;
    TLDTFrame f;
    ASSERT_TRUE(f.OpenLDTFile(file));
    ASSERT_EQ(sink.Texts.size(), 1);
    EXPECT_EQ(sink.Texts.first(), QStringLiteral("Unerwartetes Satzende \"8205\"."));
    EXPECT_EQ(f.LineList().Datenpaket()->BuildError(), sink.Texts.first());
    EXPECT_TRUE(f.FileIsOpen());
    EXPECT_EQ(f.ListModel()->rowCount(), f.LineList().Count());
    EXPECT_EQ(f.RawView()->LineCount(), f.LineList().PtrList()->Count());
    EXPECT_TRUE(f.RightPageVisible(TLDTFrame::pageRaw));
    EXPECT_EQ(f.RightPage(), int(TLDTFrame::pageList));
    // the tree holds what was built before the fault
    ASSERT_GE(f.LDTTreeModel()->rowCount(), 1);
    EXPECT_GE(f.LDTTreeModel()->rowCount(f.LDTTreeModel()->index(0, 0)), 1);
    EXPECT_EQ(f.CurrentZeile(), 1);
}

TEST_F(Frame, SettingsRoundTrip)
{
    {
        TLDTFrame f;
        f.resize(900, 600);
        TColumnInfos &info = f.ColumnInfo();
        info[lcFeldName].Visible = false;
        info[lcInhalt].Width = 333;
        std::swap(info[lcZeile].ColumnPosition, info[lcFK].ColumnPosition);
        f.RefreshLVColumns();
        f.ActionToggleBase64()->setChecked(false);
        f.ActionToggleLevelIndent()->setChecked(false);
        TAppReg reg(QStringLiteral("FrameTest"));
        f.Load(reg, QStringLiteral("Leer")); // nothing stored: every value stays
        EXPECT_FALSE(f.IgnoreBase64Lines());
        EXPECT_EQ(f.ColumnInfo()[lcInhalt].Width, 333);
        f.Save(reg, QStringLiteral("LDT"));
        reg.WriteInteger(QStringLiteral("LDT"), TAppRegKeys::PCLeft, 250);
        reg.Close();
    }
    TLDTFrame g;
    g.resize(900, 600);
    TAppReg reg(QStringLiteral("FrameTest"));
    g.Load(reg, QStringLiteral("LDT"));
    EXPECT_FALSE(g.IgnoreBase64Lines());
    EXPECT_FALSE(g.LevelIndent());
    EXPECT_FALSE(g.ListModel()->LevelIndent());
    EXPECT_EQ(g.PCLeftWidth(), 250);
    const TColumnInfos &info = g.ColumnInfo();
    EXPECT_FALSE(info[lcFeldName].Visible);
    EXPECT_EQ(info[lcFeldName].ColumnIndex, -1);
    EXPECT_EQ(info[lcInhalt].Width, 333);
    EXPECT_EQ(info[lcZeile].ColumnPosition, 2);
    EXPECT_EQ(info[lcFK].ColumnPosition, 0);
    EXPECT_EQ(reg.ReadString(QStringLiteral("LDT\\3"), TAppRegKeys::ColCaption, QString()), QStringLiteral("Inhalt"));
}

TEST_F(Frame, LeftWidthRules)
{
    TLDTFrame f;
    f.resize(900, 600);
    f.show();
    // unset: a third of the view
    EXPECT_EQ(f.PCLeftWidth(), 300);
    TAppReg reg(QStringLiteral("FrameTest"));
    for (auto [stored, expected] : {std::pair{200, 200}, std::pair{0, 300}, std::pair{-5, 300}, std::pair{900, 300},
                                    std::pair{2000, 300}}) {
        reg.WriteInteger(QStringLiteral("LDT"), TAppRegKeys::PCLeft, stored);
        f.Load(reg, QStringLiteral("LDT"));
        EXPECT_EQ(f.PCLeftWidth(), expected) << stored;
        EXPECT_EQ(f.findChild<QSplitter *>(QStringLiteral("Splitter"))->sizes().value(0), expected) << stored;
    }
}

// Which widgets get paint events while it lives.
class TPaintRecorder : public QObject
{
public:
    TPaintRecorder() { qApp->installEventFilter(this); }
    ~TPaintRecorder() override { qApp->removeEventFilter(this); }
    QSet<const QWidget *> Painted;

protected:
    bool eventFilter(QObject *AObject, QEvent *AEvent) override
    {
        if (AEvent->type() == QEvent::Paint && AObject->isWidgetType())
            Painted.insert(static_cast<QWidget *>(AObject));
        return false;
    }
};

// The widgets of AWidgets, or inside them, that were painted.
QStringList PaintedInside(const TPaintRecorder &ARecorder, const QList<QWidget *> &AWidgets)
{
    QStringList names;
    for (const QWidget *w : ARecorder.Painted)
        for (const QWidget *outer : AWidgets)
            if (w == outer || outer->isAncestorOf(w))
                names << QString::fromLatin1(w->metaObject()->className()) + QLatin1Char('/') + outer->objectName();
    return names;
}

// A page down in the list and in the raw text repaints that view and its
// status lines, never the tool bars, the search field, the tabs or the trees
// (a status line's new text once made the whole right pane repaint).
TEST_F(Frame, PageStepRepaintsOnlyTheViewAndItsStatusLines)
{
    const QString file = testutil::WriteFile(FTmp, QStringLiteral("Z01viele.ldt"), viewtest::ManyLines(3000));
    TLDTFrame f;
    f.resize(1000, 600);
    f.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&f));
    ASSERT_TRUE(f.OpenLDTFile(file));
    const QList<QWidget *> mustStay{f.findChild<QWidget *>(QStringLiteral("ToolBarNavigation")),
                                    f.findChild<QWidget *>(QStringLiteral("ToolBarSearch")),
                                    f.findChild<QWidget *>(QStringLiteral("PageControlLeft"))};
    for (QWidget *w : mustStay)
        ASSERT_NE(w, nullptr);
    QList<QWidget *> tabBars;
    for (QTabBar *b : f.findChildren<QTabBar *>())
        tabBars << b;

    auto step = [&](QWidget *AView, QWidget *AViewport, TPaintRecorder &ARecorder) {
        QTest::keyClick(AView, Qt::Key_PageDown);
        WAIT_UNTIL(ARecorder.Painted.contains(AViewport), 5000);
        // the layout requests the step posted, and the repaints they ask for
        for (int i = 0; i < 50; ++i)
            QCoreApplication::processEvents();
        return ARecorder.Painted.contains(AViewport);
    };
    struct TCase
    {
        int Page;
        QWidget *View, *Viewport;
        QList<QWidget *> MustPaint;
        QList<QWidget *> MustStay;
    };
    const QList<TCase> cases{
        {TLDTFrame::pageList, f.ListView(), f.ListView()->viewport(),
         {f.StatusBar()->findChildren<QLabel *>().value(0)},
         mustStay + tabBars},
        {TLDTFrame::pageRaw, f.RawView(), f.RawView()->viewport(),
         {f.findChild<QWidget *>(QStringLiteral("StatusBarRaw"))},
         QList<QWidget *>{mustStay.last()} + tabBars},
    };
    for (const TCase &c : cases) {
        f.ActivateRightPage(c.Page);
        c.View->setFocus();
        {
            // the first step enables the buttons back to the start
            TPaintRecorder first;
            ASSERT_TRUE(step(c.View, c.Viewport, first)) << c.Page;
        }
        for (int i = 0; i < 2; ++i) {
            TPaintRecorder rec;
            ASSERT_TRUE(step(c.View, c.Viewport, rec)) << c.Page;
            for (QWidget *w : c.MustPaint)
                EXPECT_TRUE(rec.Painted.contains(w)) << c.Page << " " << qPrintable(w->objectName());
            EXPECT_EQ(PaintedInside(rec, c.MustStay), QStringList()) << c.Page;
        }
    }
}

VENTOLIX_UI_TEST_MAIN()
