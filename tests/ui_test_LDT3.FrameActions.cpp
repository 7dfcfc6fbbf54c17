// The document view's commands: the enable rules of the navigation over
// view states, moving by page, line, error and search hit, go to line, the
// Base64 option, the search field, and the list's and raw text's menus.
#include "LDT3.Feld.h"
#include "LDT3.Frame.h"
#include "LDT3.FrameActions.h"
#include "LDT3.ListView.h"
#include "LDT3.RawView.h"
#include "LDT3.TVBase.h"
#include "LDT3.TreeModel.h"
#include "UiTestUtil.h"
#include "ViewTestUtil.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QFontDialog>
#include <QInputDialog>
#include <QLineEdit>
#include <QMenu>
#include <QTimer>
#include <QTreeView>

using namespace treetest;

namespace {

// 21 lines: two unknown fields (lines 7 and 11) and the wrong checksum (line 20)
// are the file's line errors;
// "Suchwort" on lines 5 and 9, "Einzeln" on line 10.
QByteArray SearchFile()
{
    QByteArray body = L(8410, "Suchwort eins") + L(8410, "x") + L(7777, "unbekannt") + L(8410, "x") +
                      L(8410, "Suchwort zwei") + L(8410, "Einzeln") + L(7777, "unbekannt");
    for (int i = 0; i < 6; ++i)
        body += L(8410, "x");
    return BefundFile(Befund(body));
}

QString Entries(const QMenu *AMenu)
{
    QStringList s;
    for (const QAction *a : AMenu->actions())
        if (a->isVisible())
            s << (a->isSeparator() ? QStringLiteral("-") : a->text());
    return s.join(QLatin1Char('|'));
}

// The node of the LDT tree's current item as its line number (0: none).
int TreeZeile(const TLDTFrame &F)
{
    const TLDT3Node *n = TLDT3TreeModel::NodeOf(F.LDTTree()->currentIndex());
    return n && n->ClassType()->InheritsFrom(TLDT3LineNode::Class()) ? static_cast<const TLDT3LineNode *>(n)->Zeile() : 0;
}

class FrameActions : public ::testing::Test
{
protected:
    uitest::TFreshConfigHome FHome;
    QTemporaryDir FTmp;
    QString Write(const QByteArray &ABytes, const QString &AName = QStringLiteral("Z01search.ldt"))
    {
        return testutil::WriteFile(FTmp, AName, ABytes);
    }
};

} // namespace

// One table: what each navigation command allows in a few states of the view.
TEST_F(FrameActions, NavigationEnableRulesOverViewStates)
{
    TLDTFrame f;
    f.resize(900, 600);
    TLDTFrameActions *a = f.Actions();
    struct Row
    {
        const char *State;
        std::function<void()> Enter;
        // first, prev page, prev line, next line, next page, last, prev error, next error, goto, sync, details
        std::array<bool, 11> Enabled;
    };
    const QString file = Write(SearchFile());
    const Row rows[] = {
        {"keine Datei", [] {}, {false, false, false, false, false, false, false, false, false, false, false}},
        {"Zeile 1", [&] { ASSERT_TRUE(f.OpenLDTFile(file)); },
         {false, false, false, true, true, true, false, true, true, true, true}},
        {"erster Fehler", [&] { f.GotoNearestZeile(7); },
         {true, true, true, true, true, true, false, true, true, true, true}},
        {"zwischen den Fehlern", [&] { f.GotoNearestZeile(9); },
         {true, true, true, true, true, true, true, true, true, true, true}},
        {"zweiter Fehler", [&] { f.GotoNearestZeile(11); },
         {true, true, true, true, true, true, true, true, true, true, true}},
        {"letzter Fehler", [&] { f.GotoNearestZeile(20); },
         {true, true, true, true, true, true, true, false, true, true, true}},
        {"letzte Zeile", [&] { f.GotoNearestZeile(21); },
         {true, true, true, false, false, false, true, false, true, true, true}},
        {"keine Auswahl", [&] { f.ListView()->SetLVCurrentItem(-1); },
         {false, false, false, true, true, true, false, false, true, true, false}},
        {"geschlossen", [&] { f.CloseLDTFile(); },
         {false, false, false, false, false, false, false, false, false, false, false}},
    };
    const QList<QAction *> actions = {a->ActionFirstLine(), a->ActionPrevPage(),  a->ActionPrevLine(),
                                      a->ActionNextLine(),  a->ActionNextPage(),  a->ActionLastLine(),
                                      a->ActionPrevError(), a->ActionNextError(), a->ActionGotoLine(),
                                      a->ActionSyncTree(),  f.ActionToggleShowDetail()};
    for (const Row &r : rows) {
        SCOPED_TRACE(r.State);
        r.Enter();
        if (r.State == std::string("Zeile 1")) {
            ASSERT_EQ(f.LineList().PtrList()->LineErrorList().Count(), 3);
        }
        for (int i = 0; i < actions.size(); ++i)
            EXPECT_EQ(actions[i]->isEnabled(), r.Enabled[i]) << actions[i]->toolTip().toStdString();
    }
}

TEST_F(FrameActions, LinesPagesAndErrorsMoveTheListAndErrorsTheTree)
{
    TLDTFrame f;
    f.resize(900, 600);
    f.show();
    ASSERT_TRUE(f.OpenLDTFile(Write(viewtest::ManyLines(500))));
    TLDTFrameActions *a = f.Actions();
    const int page = f.ListView()->VisibleRowCount();
    ASSERT_GT(page, 5);
    a->ActionNextLine()->trigger();
    EXPECT_EQ(f.ListView()->LVCurrentIndex(), 1);
    a->ActionNextPage()->trigger();
    EXPECT_EQ(f.ListView()->LVCurrentIndex(), f.ListView()->TopIndex() + 5 - 1) << "fifth visible place";
    const int top = f.ListView()->TopIndex();
    a->ActionNextPage()->trigger();
    EXPECT_EQ(f.ListView()->LVCurrentIndex(), top + page);
    a->ActionLastLine()->trigger();
    EXPECT_EQ(f.ListView()->LVCurrentIndex(), 499);
    a->ActionNextPage()->trigger(); // disabled on the last row
    EXPECT_EQ(f.ListView()->LVCurrentIndex(), 499);
    const int top2 = f.ListView()->TopIndex();
    a->ActionPrevPage()->trigger();
    EXPECT_EQ(f.ListView()->LVCurrentIndex(), qMax(0, top2 - page));
    a->ActionPrevLine()->trigger();
    EXPECT_EQ(f.ListView()->LVCurrentIndex(), qMax(0, top2 - page) - 1);
    a->ActionFirstLine()->trigger();
    EXPECT_EQ(f.ListView()->LVCurrentIndex(), 0);

    // errors: the line and its item in the LDT tree
    TLDTFrame g;
    ASSERT_TRUE(g.OpenLDTFile(Write(SearchFile(), QStringLiteral("Z01err.ldt"))));
    for (auto [next, zeile] : {std::pair{true, 7}, std::pair{true, 11}, std::pair{true, 20}, std::pair{true, 20},
                               std::pair{false, 11}, std::pair{false, 7}, std::pair{false, 7}}) {
        (next ? g.Actions()->ActionNextError() : g.Actions()->ActionPrevError())->trigger();
        EXPECT_EQ(g.CurrentZeile(), zeile);
        EXPECT_EQ(TreeZeile(g), zeile);
    }
}

TEST_F(FrameActions, Base64OptionNeedsBase64LinesAndCountsWhatItHides)
{
    TLDTFrame f;
    ASSERT_TRUE(f.OpenLDTFile(Write(viewtest::ManyLines(40))));
    EXPECT_FALSE(f.ActionToggleBase64()->isEnabled());

    ASSERT_TRUE(f.OpenLDTFile(testutil::SamplesDir() + QStringLiteral("/Z01_UseCase05_Befund_mitPDF.ldt")));
    ASSERT_TRUE(f.ActionToggleBase64()->isEnabled());
    const int all = f.LineList().PtrList()->Count();
    const int shown = f.ListModel()->rowCount();
    const int hidden = f.LineList().InvisibleLines();
    ASSERT_GT(hidden, 0);
    EXPECT_EQ(shown + hidden, all);
    f.ListView()->SetLVCurrentItem(7);
    f.ActionToggleBase64()->trigger();
    EXPECT_FALSE(f.IgnoreBase64Lines());
    EXPECT_EQ(f.ListModel()->rowCount(), all);
    EXPECT_EQ(f.ListView()->LVCurrentIndex(), 0);
    EXPECT_EQ(f.StatusPanelText(1), QStringLiteral("0 Zeilen ausgeblendet"));
    f.ListView()->SetLVCurrentItem(3);
    f.ActionToggleBase64()->trigger();
    EXPECT_EQ(f.ListModel()->rowCount(), shown);
    EXPECT_EQ(f.ListView()->LVCurrentIndex(), 0);
    EXPECT_EQ(f.StatusPanelText(1), QStringLiteral("%1 Zeilen ausgeblendet").arg(hidden));
}

// Answers of the "Gehe zu Zeile" dialog: what is no line number does nothing,
// a hidden line leads to the shown line before it, a missing one is reported.
TEST_F(FrameActions, GotoLineAnswers)
{
    TLDTFrame f;
    ASSERT_TRUE(f.OpenLDTFile(Write(Base64RunFile(), QStringLiteral("Z01run.ldt"))));
    ASSERT_TRUE(f.IgnoreBase64Lines());
    RecordingSink sink;
    struct Row
    {
        const char *Text;
        int Zeile;       // the current line afterwards
        const char *Msg; // the message shown, empty: none
    };
    const Row rows[] = {
        {"0", 3, ""},
        {"abc", 3, ""},
        {"-5", 3, ""},
        {"", 3, ""},
        {"12", 12, ""},
        {" 40 ", 40, ""},
        {"51", 50, ""},  // hidden: the last shown line before the run
        {"600", 50, ""},
        {"951", 951, ""},
        {"1000", 1000, ""},
        {"1001", 3, "Zeile 1001 nicht gefunden"},
    };
    for (const Row &r : rows) {
        SCOPED_TRACE(r.Text);
        f.GotoNearestZeile(3);
        f.LDTTree()->setCurrentIndex({});
        sink.Texts.clear();
        f.Actions()->GotoLineText(QString::fromUtf8(r.Text));
        EXPECT_EQ(f.CurrentZeile(), r.Zeile);
        EXPECT_EQ(sink.Texts.join(QString()), QString::fromUtf8(r.Msg));
        // a move synchronises the trees; no move leaves them
        const bool moved = QByteArray(r.Text).trimmed().toInt() > 0 && !*r.Msg;
        EXPECT_EQ(TreeZeile(f) != 0, moved);
    }
    // the dialog itself
    uitest::WhenModal<QInputDialog>([](QInputDialog *D) {
        EXPECT_EQ(D->windowTitle(), QStringLiteral("Gehe zu Zeile"));
        EXPECT_EQ(D->labelText(), QStringLiteral("Zeile:"));
        EXPECT_TRUE(D->textValue().isEmpty());
        EXPECT_EQ(D->cancelButtonText(), QStringLiteral("Abbrechen"));
        D->setTextValue(QStringLiteral("7"));
        D->accept();
    });
    EXPECT_TRUE(f.GotoLine());
    EXPECT_EQ(f.CurrentZeile(), 7);
    EXPECT_EQ(TreeZeile(f), 7);
}

// Enter: the first hit of a new text, then the next hit of the same text;
// the field's colour says whether the text occurs.
TEST_F(FrameActions, SearchFieldColourAndEnter)
{
    TLDTFrame f;
    ASSERT_TRUE(f.OpenLDTFile(Write(SearchFile())));
    QLineEdit *ed = f.EdSearch();
    struct Row
    {
        const char *Text;
        bool Occurs;
        std::array<int, 3> Zeilen; // the current line after the 1st, 2nd and 3rd Enter
        std::array<const char *, 3> Panel3;
    };
    const Row rows[] = {
        {"Suchwort", true, {5, 9, 9}, {"Suchergebnis 1 von 2", "Suchergebnis 2 von 2", "Suchergebnis 2 von 2"}},
        {"Einzeln", true, {10, 10, 10}, {"Suchergebnis 1 von 1", "Suchergebnis 1 von 1", "Suchergebnis 1 von 1"}},
        {"gibt es nicht", false, {2, 2, 2}, {"", "", ""}},
    };
    for (const Row &r : rows) {
        SCOPED_TRACE(r.Text);
        f.GotoNearestZeile(2);
        f.SetStatusPanelText(2, QStringLiteral("alt"));
        ed->setText(QString::fromUtf8(r.Text));
        EXPECT_EQ(ed->palette().color(QPalette::Text), QColor(r.Occurs ? 0x008000 : 0xFF0000));
        EXPECT_TRUE(f.StatusPanelText(2).isEmpty());
        for (int i = 0; i < 3; ++i) {
            QTest::keyClick(ed, Qt::Key_Return);
            EXPECT_EQ(f.CurrentZeile(), r.Zeilen[i]) << "Enter " << i + 1;
            EXPECT_EQ(f.StatusPanelText(3), QString::fromUtf8(r.Panel3[i])) << "Enter " << i + 1;
        }
        if (r.Occurs) {
            EXPECT_EQ(f.StatusPanelText(2), QStringLiteral("%1 Zeilen gefunden").arg(f.LineList().FoundCount()));
        }
    }
    ed->clear();
    EXPECT_EQ(ed->palette().color(QPalette::Text), QColor(0xFF0000));

    // the four hit commands over two hits
    ed->setText(QStringLiteral("Suchwort"));
    QTest::keyClick(ed, Qt::Key_Return);
    TLDTFrameActions *a = f.Actions();
    EXPECT_FALSE(a->ActionFirstFound()->isEnabled());
    EXPECT_FALSE(a->ActionPrevFound()->isEnabled());
    EXPECT_TRUE(a->ActionNextFound()->isEnabled());
    a->ActionLastFound()->trigger();
    EXPECT_EQ(f.CurrentZeile(), 9);
    EXPECT_FALSE(a->ActionLastFound()->isEnabled());
    a->ActionPrevFound()->trigger();
    EXPECT_EQ(f.CurrentZeile(), 5);
    EXPECT_EQ(a->FoundIndex(), 0);
    // another file forgets the hit
    ASSERT_TRUE(f.OpenLDTFile(Write(SearchFile(), QStringLiteral("Z01other.ldt"))));
    EXPECT_EQ(a->FoundIndex(), -1);
    EXPECT_FALSE(a->ActionNextFound()->isEnabled());
    EXPECT_TRUE(f.StatusPanelText(3).isEmpty());
}

// The list's menu and its information submenu for the current line's field.
TEST_F(FrameActions, ListMenuInformationEntriesShowTheirPages)
{
    TLDTFrame f;
    ASSERT_TRUE(f.OpenLDTFile(testutil::SamplesDir() + QStringLiteral("/Z01_UseCase05_Befund_mitPDF.ldt")));
    TLDTFrameActions *a = f.Actions();
    Q_EMIT a->ListMenu()->aboutToShow();
    EXPECT_EQ(Entries(a->ListMenu()),
              QStringLiteral("Synchronisiere mit Baumansicht|Informationen...|Gehe zu Zeile|-|Detail-Informationen|"
                             "&Base64 ausblenden|&Inhalte einrücken|-|&Spaltenauswahl der LDT-Liste|"
                             "Schri&ftart wählen..."));
    EXPECT_EQ(a->ListMenu()->defaultAction(), a->ActionSyncTree());

    // a field with every kind of rule
    const TLDT3FeldDict *dict = GetLDT3FeldDict(f.LineList().PtrList()->TableSet().Index());
    int row = -1;
    for (int r = 0; r < f.ListModel()->rowCount() && row < 0; ++r) {
        const int fk = f.ListModel()->LineAt(r)->FK();
        if (!dict->GetFeldERegeln(fk).isEmpty() && !dict->GetFeldFRegeln(fk).isEmpty())
            row = r;
    }
    ASSERT_GE(row, 0);
    f.ListView()->SetLVCurrentItem(row);
    const int fk = f.CurrentLine()->FK();
    Q_EMIT a->ListMenu()->aboutToShow();
    const QList<QAction *> entries = a->InfoMenu()->actions();
    ASSERT_GE(entries.size(), 3);
    const QString fkText = QStringLiteral("FK %1").arg(fk, 4, 10, QLatin1Char('0'));
    EXPECT_EQ(entries[0]->text(), QStringLiteral("Feld-Information ") + fkText);
    EXPECT_EQ(entries[0]->toolTip(), fkText);
    EXPECT_TRUE(entries[1]->text().startsWith(QStringLiteral("Erlaubte Inhalte E")));
    EXPECT_TRUE(entries[2]->text().startsWith(QStringLiteral("Format-Regel F")));
    EXPECT_EQ(entries.size(), 2 + dict->GetFeldFRegeln(fk).size() + dict->GetFeldKRegeln(fk).size());
    QSignalSpy shown(&f, &TLDTFrame::ShowXHTML);
    for (const QAction *e : entries) {
        shown.clear();
        const_cast<QAction *>(e)->trigger();
        ASSERT_EQ(shown.count(), 1) << e->text().toStdString();
        EXPECT_EQ(shown[0][0].toString(), QStringLiteral("Information"));
        const QString subject = e->toolTip();
        const QString digits = subject.startsWith(QStringLiteral("FK ")) ? subject.mid(3) : subject;
        EXPECT_TRUE(shown[0][1].toString().contains(digits)) << e->text().toStdString();
    }
    // built anew for the next line; hidden without a row
    f.ListView()->SetLVCurrentItem(0);
    Q_EMIT a->ListMenu()->aboutToShow();
    EXPECT_EQ(a->InfoMenu()->actions().value(0)->text(), QStringLiteral("Feld-Information FK 8000"));
    f.ListView()->SetLVCurrentItem(-1);
    Q_EMIT a->ListMenu()->aboutToShow();
    EXPECT_FALSE(Entries(a->ListMenu()).contains(QStringLiteral("Informationen...")));
}

TEST_F(FrameActions, RawMenuCopiesTheSelection)
{
    TLDTFrame f;
    const QByteArray bytes = viewtest::ManyLines(12);
    ASSERT_TRUE(f.OpenLDTFile(Write(bytes)));
    TLDTFrameActions *a = f.Actions();
    EXPECT_EQ(Entries(a->RawMenu()), QStringLiteral("Alles &markieren|&Kopieren|&Schriftart wählen..."));
    EXPECT_EQ(a->ActionRawCopy()->shortcut(), QKeySequence(QKeySequence::Copy));
    EXPECT_EQ(a->ActionRawCopy()->toolTip(), QStringLiteral("Kopieren"));
    EXPECT_EQ(a->ActionRawCopy()->statusTip(), QStringLiteral("Auswahl in die Zwischenablage kopieren"));
    f.RawView()->Clear();
    f.RawView()->SetPtrList(f.LineList().PtrList());
    EXPECT_FALSE(a->ActionRawCopy()->isEnabled());
    a->ActionRawSelectAll()->trigger();
    EXPECT_TRUE(a->ActionRawCopy()->isEnabled());
    QApplication::clipboard()->clear();
    a->ActionRawCopy()->trigger();
    EXPECT_EQ(QApplication::clipboard()->text(), QString::fromLatin1(bytes));
}

// The double-click on the list synchronises the trees.
TEST_F(FrameActions, DoubleClickOnTheListSynchronises)
{
    TLDTFrame f;
    ASSERT_TRUE(f.OpenLDTFile(Write(SearchFile())));
    f.ListView()->SetLVCurrentItem(8);
    f.LDTTree()->setCurrentIndex({});
    Q_EMIT f.ListView()->doubleClicked(f.ListModel()->index(8, 1));
    EXPECT_EQ(TreeZeile(f), 9);
}

// The raw text's font dialog offers fixed-pitch fonts only, the list's all.
TEST_F(FrameActions, FontDialogs)
{
    TLDTFrame f;
    for (bool raw : {false, true}) {
        QWidget *target = raw ? static_cast<QWidget *>(f.RawView()) : f.ListView();
        QFont chosen = target->font();
        chosen.setPointSize(chosen.pointSize() + 3);
        bool monospaced = !raw;
        uitest::WhenModal<QFontDialog>([&](QFontDialog *D) {
            monospaced = D->testOption(QFontDialog::MonospacedFonts);
            D->setCurrentFont(chosen);
            D->accept();
        });
        (raw ? f.Actions()->ActionRawFont() : f.Actions()->ActionLVFont())->trigger();
        EXPECT_EQ(monospaced, raw);
        EXPECT_EQ(target->font().pointSize(), chosen.pointSize()) << raw;
    }
}

VENTOLIX_UI_TEST_MAIN()
