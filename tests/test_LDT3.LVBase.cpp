// The line list model and the file reports.
#include "LDT3.LVBase.h"

#include "LDT3.Feld.h"
#include "LDT3.Html.h"
#include "TreeTestUtil.h"
#include "Vex_SHA1.h"
#include "WStrTools.h"

#include <QHash>
#include <QLocale>
#include <QSet>
#include <QRegularExpression>
#include <QXmlStreamReader>

using namespace treetest;

namespace {

// A list model opened on the given bytes.
struct Opened
{
    QTemporaryDir dir;
    TLDT3LineList list;
    bool ok = false;
    QString path;

    explicit Opened(const QByteArray &bytes, const QString &name = QStringLiteral("Z0112345.ldt"))
    {
        path = testutil::WriteFile(dir, name, bytes);
        list.SetMaxInvalidLines(30);
        ok = list.GetLDT3FilePtrList(path);
    }
};

// A result file whose checksum line holds the SHA-1 of everything before it.
QByteArray SignedBefundFile(const QByteArray &middle)
{
    QByteArray b = Rec("8220", L(1, "LDT3.2.4")) + middle + L(8000, "8221");
    const QByteArray head = b;
    b += L(9300, TSHA1::HashHex(head.constData(), head.size()).toLatin1());
    b += L(8001, "8221");
    return b;
}

// Label/value/class of every row of the file information table.
struct InfoRow
{
    QString Label, Value, Class;
};

QList<InfoRow> InfoRows(const QString &APage)
{
    static const QRegularExpression re(
        QStringLiteral("<tr(?: class=\"([a-z]+)\")?>\r\n<td>(.*)</td>\r\n<td>(.*)</td>\r\n</tr>"));
    QList<InfoRow> r;
    for (auto it = re.globalMatch(APage); it.hasNext();) {
        const auto m = it.next();
        r.append({m.captured(2), m.captured(3), m.captured(1)});
    }
    return r;
}

QStringList Labels(const QList<InfoRow> &ARows)
{
    QStringList r;
    for (const InfoRow &x : ARows)
        r << x.Label;
    return r;
}

const InfoRow *FindRow(const QList<InfoRow> &ARows, const QString &ALabel)
{
    for (const InfoRow &x : ARows)
        if (x.Label == ALabel)
            return &x;
    return nullptr;
}

// Well-formed XML; the entity nbsp is the only one the pages use beyond the
// predefined ones, so it is declared for the check.
QString XmlError(QString APage)
{
    APage.replace(QStringLiteral("&nbsp;"), QStringLiteral("&#160;"));
    QXmlStreamReader r(APage);
    while (!r.atEnd())
        r.readNext();
    return r.hasError() ? r.errorString() + QStringLiteral(" at line ") + QString::number(r.lineNumber()) : QString();
}

class GermanLocale : public ::testing::Test
{
protected:
    void SetUp() override
    {
        FOld = QLocale();
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    }
    void TearDown() override { QLocale::setDefault(FOld); }
    QLocale FOld;
};

} // namespace

// ---------------------------------------------------------------- rows and lookups

TEST(LineList, HiddenBase64LinesAndNearestRows)
{
    Opened o(Base64RunFile());
    ASSERT_TRUE(o.ok);
    ASSERT_EQ(o.list.PtrList()->Count(), 1000);
    EXPECT_TRUE(o.list.HasBase64Lines());

    ASSERT_TRUE(o.list.BuildLineList(true));
    EXPECT_EQ(o.list.Count(), 100);
    EXPECT_EQ(o.list.InvisibleLines(), 900);
    EXPECT_EQ(o.list.GetLDT3LineFromZeile(500), nullptr);
    for (int r = 0; r < o.list.Count(); ++r)
        ASSERT_EQ(o.list.Items(r)->InListIndex(), r);
    EXPECT_EQ(o.list.Items(50)->Zeile(), 951);

    struct Case { int zeile; int expectZeile; bool exact; };
    const Case cases[] = {
        {500, 50, false}, {51, 50, false}, {950, 50, false}, {50, 50, true},
        {951, 951, true}, {1000, 1000, true}, {1001, 0, false}, {0, 0, false},
    };
    for (const Case &c : cases) {
        bool exact = !c.exact;
        const TLDT3Line *l = o.list.GetNearestLDT3LineFromZeile(c.zeile, exact);
        EXPECT_EQ(l ? l->Zeile() : 0, c.expectZeile) << c.zeile;
        EXPECT_EQ(exact, c.exact) << c.zeile;
    }

    // every line shown: a missing number gives null
    ASSERT_TRUE(o.list.BuildLineList(false));
    EXPECT_EQ(o.list.Count(), 1000);
    EXPECT_EQ(o.list.InvisibleLines(), 0);
    bool exact = true;
    EXPECT_EQ(o.list.GetNearestLDT3LineFromZeile(1001, exact), nullptr);
    EXPECT_FALSE(exact);
    EXPECT_EQ(o.list.GetNearestLDT3LineFromZeile(-5, exact), nullptr);
    ASSERT_NE(o.list.GetLDT3LineFromZeile(500), nullptr);
    EXPECT_EQ(o.list.GetLDT3LineFromZeile(500)->InListIndex(), 499);
    EXPECT_THROW(o.list.Items(1000), std::out_of_range);
    EXPECT_THROW(o.list.Items(-1), std::out_of_range);
}

TEST(LineList, NearestRowOfAHiddenFirstLineIsNull)
{
    Opened o(L(6329, "QUJD") + L(6329, "QUJD") + BefundFile(QByteArray()));
    ASSERT_TRUE(o.ok);
    ASSERT_TRUE(o.list.BuildLineList(true));
    bool exact = true;
    EXPECT_EQ(o.list.GetNearestLDT3LineFromZeile(1, exact), nullptr);
    EXPECT_EQ(o.list.GetNearestLDT3LineFromZeile(2, exact), nullptr);
    EXPECT_FALSE(exact);
    ASSERT_NE(o.list.GetNearestLDT3LineFromZeile(3, exact), nullptr);
    EXPECT_TRUE(exact);
}

TEST(LineList, OpenFailsForAnEmptyOrMissingFile)
{
    Opened empty{QByteArray()};
    EXPECT_FALSE(empty.ok);
    EXPECT_EQ(empty.list.Datenpaket(), nullptr);
    EXPECT_FALSE(empty.list.BuildLineList(false));
    EXPECT_EQ(empty.list.Count(), 0);

    TLDT3LineList list;
    EXPECT_THROW(list.GetLDT3FilePtrList(QStringLiteral("/nonexistent/dir/Z0112345.ldt")), ELDT3Error);
    EXPECT_EQ(list.FileName(), QStringLiteral("/nonexistent/dir/Z0112345.ldt"));
    EXPECT_EQ(list.Datenpaket(), nullptr);
}

TEST(LineList, RejectedFileKeepsItsInvalidLineCount)
{
    QByteArray b = BefundFile(QByteArray());
    for (int i = 0; i < 40; ++i)
        b += "garbage\r\n";
    Opened o(b);
    EXPECT_FALSE(o.ok);
    EXPECT_GT(o.list.InvalidLines(), 30);
    EXPECT_EQ(o.list.Datenpaket(), nullptr);
    EXPECT_FALSE(o.list.SyncTreeEnabled());
}

TEST(LineList, ReopenReplacesEverything)
{
    Opened o(BefundFile(Befund(L(8410, "X"))));
    ASSERT_TRUE(o.ok);
    ASSERT_TRUE(o.list.BuildLineList(false));
    ASSERT_TRUE(o.list.FindStr(QStringLiteral("8410")));
    const QString second = testutil::WriteFile(o.dir, QStringLiteral("Z0154321.ldt"), AuftragFile(QByteArray()));
    ASSERT_TRUE(o.list.GetLDT3FilePtrList(second));
    EXPECT_EQ(o.list.Count(), 0); // rows come with BuildLineList
    EXPECT_TRUE(o.list.SearchPattern().isEmpty());
    EXPECT_EQ(o.list.FoundCount(), 0);
    EXPECT_EQ(o.list.FileName(), second);
    ASSERT_TRUE(o.list.BuildLineList(false));
    EXPECT_EQ(o.list.Count(), 6);
    EXPECT_TRUE(o.list.SyncTreeEnabled());
}

TEST(LineList, SearchHits)
{
    Opened o(BefundFile(Befund(L(8410, "Natrium") + L(8410, "Kalium") + L(8411, "Natrium im Serum"))));
    ASSERT_TRUE(o.ok);
    EXPECT_TRUE(o.list.FindStr(QStringLiteral("Natrium")));
    EXPECT_EQ(o.list.SearchPattern(), QStringLiteral("Natrium"));
    ASSERT_EQ(o.list.FoundCount(), 2);
    EXPECT_EQ(o.list.FoundZeile(0), 5);
    EXPECT_EQ(o.list.FoundZeile(1), 7);
    EXPECT_EQ(o.list.FoundZeile(-1), 0);
    EXPECT_EQ(o.list.FoundZeile(o.list.FoundCount()), 0);
    EXPECT_FALSE(o.list.FindStr(QStringLiteral("Chlorid")));
    EXPECT_EQ(o.list.FoundZeile(0), 0);
}

TEST(LineList, TreeNodesAndViewItems)
{
    QByteArray bad = L(8410, "y");
    bad[2] = '9'; // wrong length
    Opened o(BefundFile(Befund(L(8410, "x") + bad)));
    ASSERT_TRUE(o.ok);
    ASSERT_TRUE(o.list.BuildLineList(false));
    ASSERT_TRUE(o.list.LDTTreeBuilt());

    const TLDT3Line *line5 = o.list.GetLDT3LineFromZeile(5);
    const TLDT3Line *line6 = o.list.GetLDT3LineFromZeile(6);
    TLDT3LineNode *node = o.list.GetLDT3LineNodeFromLDT3Line(line5);
    ASSERT_NE(node, nullptr);
    EXPECT_EQ(node->Zeile(), 5);
    EXPECT_EQ(o.list.GetLDT3LineNodeFromLDT3Line(nullptr), nullptr);
    EXPECT_EQ(o.list.GetLDT3LineErrorNodeFromLDT3Line(line5), nullptr);
    ASSERT_NE(o.list.GetLDT3LineErrorNodeFromLDT3Line(line6), nullptr);
    EXPECT_EQ(o.list.GetLDT3LineErrorNodeFromLDT3Line(line6)->Zeile(), 6);

    TLDT3MemTreeControl tv, etv;
    // before the views are filled no item shows the node
    EXPECT_EQ(o.list.GetTVNodeFromZeile(&tv, 5), TLDT3ItemID(0));
    FillLDTTreeView(&tv, o.list.Datenpaket(), false);
    FillErrorTreeView(&etv, o.list.Datenpaket());
    const TLDT3ItemID item = o.list.GetTVNodeFromLDT3Line(&tv, line5);
    ASSERT_NE(item, TLDT3ItemID(0));
    EXPECT_EQ(tv.Item(tv.ItemNo(item)).Data, node);
    EXPECT_EQ(o.list.GetTVNodeFromZeile(&tv, 5), item);
    EXPECT_EQ(o.list.GetTVNodeFromZeile(nullptr, 5), TLDT3ItemID(0));
    EXPECT_EQ(o.list.GetTVNodeFromZeile(&tv, 5000), TLDT3ItemID(0));
    const TLDT3ItemID eitem = o.list.GetTVErrorsNodeFromLDT3Line(&etv, line6);
    ASSERT_NE(eitem, TLDT3ItemID(0));
    EXPECT_EQ(etv.Item(etv.ItemNo(eitem)).Text, Format(QStringLiteral("Zeile %d: %s"), {6, line6->ErrorMsg()}));
    EXPECT_EQ(o.list.GetTVErrorsNodeFromZeile(&etv, 5), TLDT3ItemID(0));
    // a handle of another control is no item of this one
    etv.ClearItems();
    EXPECT_EQ(o.list.GetTVErrorsNodeFromZeile(&etv, 6), TLDT3ItemID(0));
}

// ---------------------------------------------------------------- what a row shows

TEST(LineRow, RecordLinesAndColours)
{
    Opened o(BefundFile(Befund(Obj(8145, "Patient", "Obj_0045", L(3101, "Muster")))));
    ASSERT_TRUE(o.ok);
    ASSERT_TRUE(o.list.BuildLineList(false));
    const TLDT3FeldDict *dict = GetLDT3FeldDict();

    const TLDT3Line *start = o.list.GetLDT3LineFromZeile(1);
    ASSERT_FALSE(dict->GetBedeutung(8000, QStringLiteral("8220")).isEmpty());
    EXPECT_EQ(start->GetColumn(lcBeschreibung), QStringLiteral("< ") + dict->GetBedeutung(8000, QStringLiteral("8220")));
    const TLDT3Line *ende = o.list.GetLDT3LineFromZeile(3);
    EXPECT_EQ(ende->GetColumn(lcBeschreibung), dict->GetBedeutung(8001, QStringLiteral("8220")) + QStringLiteral(" >"));
    EXPECT_EQ(start->GetColumn(lcZeile), QStringLiteral("1"));
    EXPECT_EQ(start->GetColumn(lcLen), QStringLiteral("013"));
    EXPECT_EQ(start->GetColumn(lcFK), QStringLiteral("8000"));
    EXPECT_EQ(start->GetColumn(lcInhalt), QStringLiteral("8220"));
    EXPECT_EQ(start->GetColumn(lcFeldName), dict->GetFeldName(8000));
    EXPECT_EQ(start->GetColumn(lcStatus), QString());

    struct Case { int zeile; TLDT3Color fk, inhalt, beschreibung; TLDT3FontStyles style; };
    using namespace LDT3Colors;
    const Case cases[] = {
        {1, Orange, Orange, Orange, fsBold | fsItalic},        // record start
        {2, Fuchsia, Fuchsia, Navy, fsItalic},                 // version
        {3, Peru, Peru, Peru, fsBold | fsItalic},              // record end
        {5, DarkGreen, DarkGreen, DarkGreen, fsBold | fsItalic}, // attribute
        {6, Blue, Blue, Navy, fsBold | fsItalic},              // object start
        {7, DimGray, Black, Navy, fsItalic},                   // plain field
        {8, Navy, Navy, Navy, fsBold | fsItalic},              // object end
        {11, Purple, Purple, Navy, fsItalic},                  // checksum
    };
    for (const Case &c : cases) {
        const TLDT3Line *l = o.list.GetLDT3LineFromZeile(c.zeile);
        ASSERT_NE(l, nullptr);
        EXPECT_EQ(l->GetFontColor(lcFK), c.fk) << c.zeile;
        EXPECT_EQ(l->GetFontColor(lcInhalt), c.inhalt) << c.zeile;
        EXPECT_EQ(l->GetFontColor(lcBeschreibung), c.beschreibung) << c.zeile;
        EXPECT_EQ(l->GetFontStyles(lcBeschreibung), c.style) << c.zeile;
        EXPECT_EQ(l->GetFontColor(lcZeile), Chocolate);
        EXPECT_EQ(l->GetFontColor(lcLen), Teal);
        EXPECT_EQ(l->GetFontColor(lcFeldName), DimGray);
        for (int col = 0; col < LDT3ColumnCount; ++col)
            EXPECT_EQ(l->GetBrushColor(col), White);
    }

    const TLDT3Line *field = o.list.GetLDT3LineFromZeile(7);
    EXPECT_EQ(field->ImageIndex(), LDT3ImageNone);
    EXPECT_EQ(field->GetFontColor(lcStatus), Black);
    EXPECT_EQ(field->GetFontStyles(lcStatus), 0);
    EXPECT_EQ(field->DetailCaption(), Format(QStringLiteral("Information zu %s"), {field->LongPathFK()}));
    EXPECT_EQ(field->DetailInfoXHTML(), dict->GetFeldInfoXHTML(3101, QString()));
    const QString tip = field->InfoTip();
    EXPECT_TRUE(tip.startsWith(QStringLiteral("Zeile: 7 Länge: \"015\" FK: \"3101\" Inhalt: \"Muster\"\n"))) << tip.toStdString();
    ASSERT_FALSE(field->LongPathFK().isEmpty());
    EXPECT_TRUE(tip.endsWith(QLatin1Char('\n') + field->LongPathFK() + QLatin1Char('\n') + field->ShortPathFK()));
}

TEST(LineRow, UnparsableLine)
{
    Opened o(BefundFile(Befund(L(8410, "x") + QByteArray("x7\r\n") + L(8410, "z"))));
    ASSERT_TRUE(o.ok);
    ASSERT_TRUE(o.list.BuildLineList(false));
    const TLDT3Line *l = o.list.GetLDT3LineFromZeile(6);
    ASSERT_NE(l, nullptr);
    ASSERT_FALSE(l->LineOK());
    EXPECT_EQ(l->GetColumn(lcZeile), QStringLiteral("6"));
    for (int c : {lcLen, lcFK, lcBeschreibung, lcFeldName})
        EXPECT_TRUE(l->GetColumn(c).isEmpty()) << c;
    EXPECT_EQ(l->GetColumn(lcInhalt), o.list.PtrList()->DumpOrgBytesAnsi(5));
    EXPECT_FALSE(l->GetColumn(lcStatus).isEmpty());
    EXPECT_EQ(l->GetColumn(lcStatus), o.list.PtrList()->ErrorMsg(5));
    EXPECT_EQ(l->GetFontColor(lcStatus), LDT3Colors::Tomato);
    EXPECT_EQ(l->GetFontStyles(lcStatus), fsBold);
    EXPECT_EQ(l->ImageIndex(), LDT3ImageError);
    EXPECT_EQ(l->DetailCaption(), QStringLiteral("Fehlerhafte Zeile: 6"));
    EXPECT_EQ(l->InfoTip(), QStringLiteral("Zeile: 6\n") + o.list.PtrList()->DumpOrgBytesAnsi(5));
    EXPECT_EQ(l->DetailInfoXHTML(), QStringLiteral("<HTML>") + XmlEscape(l->StatusText()) + QStringLiteral("</HTML>"));
}

TEST(LineRow, NulShownAsTriangleAndFieldErrorInDetail)
{
    // a byte outside the character set reads as NUL
    QByteArray bad = L(8410, QByteArray("a\x01") + "b");
    Opened o(BefundFile(Befund(bad)));
    ASSERT_TRUE(o.ok);
    ASSERT_TRUE(o.list.BuildLineList(false));
    const TLDT3Line *l = o.list.GetLDT3LineFromZeile(5);
    ASSERT_TRUE(l->Inhalt().contains(QChar(0)));
    EXPECT_EQ(l->GetColumn(lcInhalt), QStringLiteral("a\u25B2b"));
    EXPECT_TRUE(l->InfoTip().contains(QStringLiteral("Inhalt: \"a\u25B2b\"")));
    EXPECT_TRUE(l->LineHasErrors());
}

TEST(LineRow, FieldErrorShownOnTheFieldPage)
{
    Opened o(BefundFile(Befund(L(3103, "20251399")))); // no such date
    ASSERT_TRUE(o.ok);
    ASSERT_TRUE(o.list.BuildLineList(false));
    const TLDT3Line *l = o.list.GetLDT3LineFromZeile(5);
    ASSERT_TRUE(l->LineOK());
    ASSERT_FALSE(l->FeldOK());
    const QString m = QStringLiteral("<p class=\"error\">Fehler: ") + XmlEscape(l->StatusText()) + QStringLiteral("</p>");
    EXPECT_EQ(l->DetailInfoXHTML(), GetLDT3FeldDict()->GetFeldInfoXHTML(3103, m));
}

// ---------------------------------------------------------------- test module marks

TEST(LineList, XPMMarkOverErrorMarkAndErrorTreeRebuilt)
{
    QByteArray bad = L(8410, "y");
    bad[2] = '9'; // wrong length
    Opened o(BefundFile(Befund(L(8410, "x") + bad)));
    ASSERT_TRUE(o.ok);
    ASSERT_TRUE(o.list.BuildLineList(false));
    EXPECT_EQ(o.list.XPMStatus(), QStringLiteral("Es erfolgte keine XPM-Prüfung"));
    EXPECT_FALSE(o.list.XPMCheckDone());
    EXPECT_FALSE(o.list.XPMCheck()); // no directory configured
    const int errorsBefore = o.list.Datenpaket()->ErrorRoot()->ChildCount();

    auto xpm = std::make_unique<TXPMErrList>();
    xpm->Parameter.ERGEBNIS = QStringLiteral("Fehlerhaft");
    xpm->Parameter.ERGEBNIS_TEXT = QStringLiteral("2 Fehler");
    TXPMErrRec r;
    r.ErrTyp = QStringLiteral("F");
    r.ErrName = QStringLiteral("K042");
    r.ErrMsg = QStringLiteral("Feld <8410> falsch");
    for (const char *z : {"5", "6"}) {
        r.ErrZeile = QString::fromLatin1(z);
        xpm->Add(r);
    }
    const QString pageForLine5 = xpm->GetXPMMessageTableForZeileXHTML(5);
    ASSERT_TRUE(o.list.SetXPMResult(std::move(xpm)));
    EXPECT_TRUE(o.list.XPMCheckDone());
    EXPECT_EQ(o.list.XPMStatus(), QStringLiteral("XPM: Fehlerhaft - 2 Fehler"));

    const TLDT3Line *l6 = o.list.GetLDT3LineFromZeile(6); // length error and XPM
    EXPECT_EQ(l6->ImageIndex(), LDT3ImageXPM);
    EXPECT_TRUE(l6->ErrorMsg().startsWith(QStringLiteral("XPM [K042], ")));
    const TLDT3Line *l5 = o.list.GetLDT3LineFromZeile(5); // XPM only
    EXPECT_EQ(l5->ImageIndex(), LDT3ImageXPM);
    EXPECT_EQ(l5->StatusText(), QStringLiteral("XPM [K042]"));
    EXPECT_EQ(l5->GetFontColor(lcStatus), LDT3Colors::Tomato);
    EXPECT_EQ(l5->DetailInfoXHTML(), GetLDT3FeldDict()->GetFeldInfoXHTML(8410, pageForLine5));

    // the error tree now holds line 5 too
    EXPECT_EQ(o.list.Datenpaket()->ErrorRoot()->ChildCount(), errorsBefore + 1);
    ASSERT_NE(o.list.GetLDT3LineErrorNodeFromZeile(5), nullptr);
    EXPECT_EQ(o.list.GetLDT3LineErrorNodeFromZeile(5)->Zeile(), 5);

    // at most one result per loaded file
    EXPECT_FALSE(o.list.SetXPMResult(std::make_unique<TXPMErrList>()));
    EXPECT_FALSE(o.list.XPMCheck());

    // the file information page shows the result first
    const QString info = o.list.GetFileInfoXHTML();
    EXPECT_LT(info.indexOf(QStringLiteral("<div class=\"xpm\">")), info.indexOf(QStringLiteral("<table summary=\"Datei-Information\">")));
    EXPECT_TRUE(XmlError(info).isEmpty()) << XmlError(info).toStdString();

    // a new open drops the result
    ASSERT_TRUE(o.list.GetLDT3FilePtrList(o.path));
    EXPECT_FALSE(o.list.XPMCheckDone());
    EXPECT_EQ(o.list.PtrList()->XPMErrList(), nullptr);
}

// ---------------------------------------------------------------- reports

TEST(FileReports, StyleBlocks)
{
    const QString open = QStringLiteral("<style type=\"text/css\">\r\n/*<![CDATA[*/\r\n");
    const QString close = QStringLiteral("/*]]>*/\r\n</style>\r\n");
    const QStringList rules = {
        "body {font-family: Calibri,sans-serif; font-size: 12pt; color:black;}",
        "h1 {color:blue;}",
        "h2,h3 {color:darkblue;}",
        "table, th, td {border: 1px solid #CCC; border-collapse: collapse;}",
        "th, td {padding: 2px 5px 2px 5px;}",
        "th {background-color: #e7c157;}",
        ".xpm th {background-color: #ba0066; color: #ffffff}",
        "caption {text-align: left;}",
        ".xpm caption {font-weight: bold; font-style: italic; color: #ba0066;}",
        ".info {font-weight: bold; color: navy;}",
        ".error {font-weight: bold; color: red;}",
        ".okay {font-weight: bold; color: green;}",
        ".warning {font-weight: bold; color: #e7b107;}",
        ".normal {font-weight: bold; color: black;}",
    };
    auto block = [&](std::initializer_list<int> AIdx, const QString &AFirst = QString()) {
        QString s = open;
        bool first = true;
        for (int i : AIdx) {
            s += (first && !AFirst.isEmpty() ? AFirst : rules[i - 1]) + QStringLiteral("\r\n");
            first = false;
        }
        return s + close;
    };
    Opened o(BefundFile(QByteArray()));
    ASSERT_TRUE(o.ok);
    EXPECT_TRUE(o.list.GetFileInfoXHTML().contains(block({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14})));
    EXPECT_TRUE(o.list.GetFeldStatistikXHTML().contains(block({1, 2, 3, 4, 5, 6, 8})));
    EXPECT_TRUE(o.list.GetFileContentXHTML().contains(
        block({1, 2, 3, 4, 8}, QStringLiteral("body {font-family: Calibri,sans-serif; font-size: 11pt; color:black;}"))));
}

TEST(FileReports, CleanFileHasOnlyTheBasicRows)
{
    Opened o(SignedBefundFile(Befund(L(8410, "NA"))));
    ASSERT_TRUE(o.ok);
    ASSERT_TRUE(o.list.CheckSumOkay());
    const QString page = o.list.GetFileInfoXHTML();
    const QList<InfoRow> rows = InfoRows(page);
    // an LDT3.2.4 file: the row "Geprüft nach" names the tables that checked it
    const QStringList expected = {
        "Dateiname", "Status Dateiname", "LDT-Version", "Status LDT-Version", "Geprüft nach", "Prüfsumme in Datei",
        "Prüfsumme berechnet", "Status Prüfsumme", "Status Zeichensatz ISO 8859-15", "Dateigröße", "Zeilen",
        "Durchschnittliche Zeilenlänge",
    };
    EXPECT_EQ(Labels(rows), expected);
    EXPECT_EQ(FindRow(rows, QStringLiteral("Geprüft nach"))->Value, QStringLiteral("LDT3.2.20"));
    for (const InfoRow &r : rows) {
        if (r.Label.startsWith(QStringLiteral("Status"))) {
            EXPECT_EQ(r.Value, QStringLiteral("OK")) << r.Label.toStdString();
            EXPECT_EQ(r.Class, QStringLiteral("okay")) << r.Label.toStdString();
        } else {
            EXPECT_TRUE(r.Class.isEmpty()) << r.Label.toStdString();
        }
    }
    EXPECT_EQ(FindRow(rows, QStringLiteral("Zeilen"))->Value, QStringLiteral("9"));
    EXPECT_TRUE(page.contains(QStringLiteral("<h1>Datei-Information</h1>\r\n<h3>Datei: ") + XmlEscape(o.path) +
                              QStringLiteral("</h3>\r\n<div>\r\n<table summary=\"Datei-Information\">\r\n<tr>\r\n"
                                             "<th>Name</th>\r\n<th>Wert</th>\r\n</tr>\r\n")));
    EXPECT_TRUE(XmlError(page).isEmpty());
}

TEST(FileReports, EmptyLineRows)
{
    const QByteArray file = BefundFile(Befund(L(8410, "NA")));
    {
        Opened o(file + "\r\n\r\n");
        ASSERT_TRUE(o.ok);
        const QList<InfoRow> rows = InfoRows(o.list.GetFileInfoXHTML());
        const InfoRow *atEnd = FindRow(rows, QStringLiteral("Leere Zeilen am Ende der Datei"));
        ASSERT_NE(atEnd, nullptr);
        EXPECT_EQ(atEnd->Value, QStringLiteral("2"));
        EXPECT_EQ(atEnd->Class, QStringLiteral("warning"));
        EXPECT_EQ(FindRow(rows, QStringLiteral("Leere Zeilen innerhalb der Datei ")), nullptr);
        EXPECT_EQ(FindRow(rows, QStringLiteral("Leere Zeilen insgesamt")), nullptr);
    }
    {
        const int cut = file.indexOf("\r\n") + 2;
        Opened o(file.left(cut) + "\r\n" + file.mid(cut) + "\r\n\r\n");
        ASSERT_TRUE(o.ok);
        const QList<InfoRow> rows = InfoRows(o.list.GetFileInfoXHTML());
        const QStringList labels = Labels(rows);
        const qsizetype first = labels.indexOf(QStringLiteral("Leere Zeilen am Ende der Datei"));
        ASSERT_GE(first, 0);
        ASSERT_LT(first + 2, labels.size());
        EXPECT_EQ(labels[first + 1], QStringLiteral("Leere Zeilen innerhalb der Datei "));
        EXPECT_EQ(labels[first + 2], QStringLiteral("Leere Zeilen insgesamt"));
        EXPECT_EQ(rows[first + 1].Value, QStringLiteral("1"));
        EXPECT_EQ(rows[first + 2].Value, QStringLiteral("3"));
        EXPECT_EQ(rows[first + 2].Class, QStringLiteral("warning"));
    }
}

TEST(FileReports, ErrorAndCountRows)
{
    QByteArray bad = L(8410, "y");
    bad[2] = '9'; // wrong length
    // a record end is missing and an object has no end
    const QByteArray b = Rec("8220", L(1, "LDT3.2.4") + L(1, "LDT3.2.4")) + L(8000, "8205") + bad +
                         L(8145, "Patient") + L(8002, "Obj_0045") + Rec("8221", L(9300, "x"));
    Opened o(b, QStringLiteral("falsch.ldt"));
    ASSERT_TRUE(o.ok);
    const QList<InfoRow> rows = InfoRows(o.list.GetFileInfoXHTML());
    struct Case { const char *label; const char *value; const char *cls; };
    const Case cases[] = {
        {"Status Dateiname", "Fehler: Der Dateiname entspricht nicht der Dateinamenskonvention &quot;Z01nnnnn.ldt&quot;", "error"},
        {"Status Prüfsumme", "Fehler", "error"},
        {"Zeilen mit Längenfehlern", "1", "error"},
        {"Mehrfache Versionsangaben (FK 0001)", "1", "error"},
        {"Anzahl Satzart (FK 8000)", "3", "error"},
        {"Anzahl Satzende (FK 8001)", "2", "error"},
        {"Anzahl Objektattribute", "1", "error"},
        {"Anzahl Objektident(FK 8002)", "1", "error"},
        {"Anzahl Objektende(FK 8003)", "0", "error"},
    };
    for (const Case &c : cases) {
        const InfoRow *r = FindRow(rows, QString::fromUtf8(c.label));
        ASSERT_NE(r, nullptr) << c.label;
        EXPECT_EQ(r->Value, QString::fromUtf8(c.value)) << c.label;
        EXPECT_EQ(r->Class, QString::fromUtf8(c.cls)) << c.label;
    }
    EXPECT_EQ(FindRow(rows, QStringLiteral("Ungültige Zeilen")), nullptr);
}

TEST(FileReports, AttachmentRows)
{
    QByteArray b64;
    for (int i = 0; i < 3; ++i)
        b64 += L(6329, "QUJD");
    Opened o(BefundFile(Befund(Obj(8110, "Anhang", "Obj_0010", Obj(8242, "x", "Obj_0068", b64) + L(6303, "pdf")))));
    ASSERT_TRUE(o.ok);
    ASSERT_EQ(o.list.PtrList()->Base64AnalgenList().Count(), 1);
    const TLDT3Base64Anlage *a = o.list.PtrList()->Base64AnalgenList().Items(0);
    const QList<InfoRow> rows = InfoRows(o.list.GetFileInfoXHTML());
    ASSERT_NE(FindRow(rows, QStringLiteral("Base64-kodierte Anlagen")), nullptr);
    EXPECT_EQ(FindRow(rows, QStringLiteral("Base64-kodierte Anlagen"))->Value, QStringLiteral("1"));
    EXPECT_EQ(FindRow(rows, QStringLiteral("Anlage 1 - Dokumententyp")), nullptr);
    ASSERT_NE(FindRow(rows, QStringLiteral("Anlage 1 - Dateiformat")), nullptr);
    EXPECT_EQ(FindRow(rows, QStringLiteral("Anlage 1 - Dateiformat"))->Value, QStringLiteral("pdf"));
    const InfoRow *z = FindRow(rows, QStringLiteral("Anlage 1 - Zeilen"));
    ASSERT_NE(z, nullptr);
    EXPECT_EQ(z->Value, QString::number(a->StartZeile()) + QStringLiteral(" - ") + QString::number(a->EndeZeile()));
    EXPECT_EQ(rows.last().Label, QStringLiteral("Anlage 1 - Zeilen"));
}

TEST(FileReports, AmpersandInTheFileName)
{
    Opened o(BefundFile(QByteArray()), QStringLiteral("Z01&1234.ldt"));
    ASSERT_TRUE(o.ok);
    const QString page = o.list.GetFileInfoXHTML();
    const QString escaped = XmlEscape(o.path);
    ASSERT_TRUE(escaped.contains(QStringLiteral("&amp;")));
    EXPECT_TRUE(page.contains(QStringLiteral("<h3>Datei: ") + escaped + QStringLiteral("</h3>")));
    EXPECT_EQ(InfoRows(page).first().Value, escaped);
    EXPECT_TRUE(XmlError(page).isEmpty());
}

TEST(FileReports, StatisticsRows)
{
    Opened o(BefundFile(Befund(L(8410, "A") + L(8410, "B") + Obj(8145, "Patient", "Obj_0045", L(3101, "M")))));
    ASSERT_TRUE(o.ok);
    const QString page = o.list.GetFeldStatistikXHTML();
    for (const TLDT3FeldStatistikRec &r : o.list.PtrList()->GetFeldStatistikList()) {
        const QString row = QStringLiteral("<tr>\r\n<td>") + (r.FKStr.isEmpty() ? QStringLiteral("&nbsp;") : r.FKStr) +
                            QStringLiteral("</td>\r\n<td align=\"right\">") + QString::number(r.Anzahl) +
                            QStringLiteral("</td>\r\n<td>") + (r.Name.isEmpty() ? QStringLiteral("&nbsp;") : XmlEscape(r.Name)) +
                            QStringLiteral("</td>\r\n</tr>\r\n");
        EXPECT_TRUE(page.contains(row)) << row.toStdString();
    }
    EXPECT_TRUE(page.contains(QStringLiteral("<td>FK 8410</td>\r\n<td align=\"right\">2</td>")));
    EXPECT_TRUE(XmlError(page).isEmpty());
}

TEST(FileReports, ContentRowsByLevel)
{
    // attributes nested seven deep sit at levels 0, 2, ... 12 (a well-formed
    // file has attributes at even levels only; level 3 shares cyan with 2)
    QByteArray inner = L(3101, "Tief");
    for (int d = 0; d < 7; ++d)
        inner = Obj(8145, "Patient", "Obj_0045", inner);
    Opened o(BefundFile(Befund(inner)));
    ASSERT_TRUE(o.ok);
    ASSERT_TRUE(o.list.PathAndLevelOkay());
    const TLDT3FilePtrList &f = *o.list.PtrList();
    const QString page = o.list.GetFileContentXHTML();
    const QHash<int, QString> colours = {{0, "lime"}, {2, "cyan"},  {4, "lightblue"}, {6, "lightgray"},
                                         {8, "olive"}, {10, "yellow"}, {12, "red"}};
    QSet<int> seen;
    for (int i = 0; i < f.Count(); ++i) {
        if (!f.IsObjektAttribut(i))
            continue;
        seen.insert(f.Level(i));
        ASSERT_TRUE(colours.contains(f.Level(i))) << f.Level(i);
        EXPECT_TRUE(page.contains(QStringLiteral("<tr bgcolor=\"") + colours[f.Level(i)] + QStringLiteral("\">\r\n<td>") +
                                  XmlEscape(f.LongPathFK(i)) + QStringLiteral("</td>\r\n<td><b>")))
            << f.Level(i);
    }
    EXPECT_EQ(seen.size(), 7);
    // record and object lines give no rows
    for (int i = 0; i < f.Count(); ++i) {
        if (f.IsSatzArt(i) || f.IsObjektIdent(i) || f.IsObjektEnde(i) || f.IsSatzEnde(i)) {
            EXPECT_FALSE(page.contains(QStringLiteral("<td>") + XmlEscape(f.LongPathFK(i)) + QStringLiteral("</td>")))
                << i;
        }
    }
    // plain field rows show the meaning or the content
    EXPECT_TRUE(page.contains(QStringLiteral("<td>Tief</td>\r\n<td>Tief</td>\r\n</tr>")));
    EXPECT_TRUE(XmlError(page).isEmpty()) << XmlError(page).toStdString();
}

TEST_F(GermanLocale, FileSizeTexts)
{
    struct Case { int dec; bool bytes; qint64 size; const char *text; };
    const Case cases[] = {
        {2, true, 1024, "1.024 Byte"},
        {2, true, 1025, "1,00 KB (1.025 Byte)"},
        {2, false, 1536, "1,50 KB"},
        {2, true, 1048576, "1.024,00 KB (1.048.576 Byte)"},
        {1, true, 1048577, "1,0 MB (1.048.577 Byte)"},
        {2, true, 1073741825, "1,00 GB (1.073.741.825 Byte)"},
        {3, false, 5368709120LL, "5,000 GB"},
        {-1, true, 5368709120LL, "5.368.709.120 Byte"},
        {2, true, -5, "-5 Byte"},
        {2, true, 0, "0 Byte"},
    };
    for (const Case &c : cases)
        EXPECT_EQ(FormatFileSize(c.dec, c.bytes, c.size), QString::fromUtf8(c.text)) << c.size;
}

TEST(FileReports, EverySampleGivesWellFormedReports)
{
    const QStringList files = testutil::SampleFiles();
    ASSERT_EQ(files.size(), 18);
    for (const QString &fn : files) {
        TLDT3LineList list;
        list.SetMaxInvalidLines(30);
        ASSERT_TRUE(list.GetLDT3FilePtrList(fn)) << fn.toStdString();
        for (const QString &page :
             {list.GetFileInfoXHTML(), list.GetFeldStatistikXHTML(), list.GetFileContentXHTML()}) {
            EXPECT_TRUE(page.startsWith(QStringLiteral("<?xml")));
            const QString err = XmlError(page);
            EXPECT_TRUE(err.isEmpty()) << fn.toStdString() << ": " << err.toStdString();
        }
    }
}

// Rows are line indexes: the object made by value and the one kept by address
// say the same, a kept one stays where it is, and a rebuild starts afresh.
TEST(LineList, RowsByValueAndKeptRows)
{
    Opened o(Base64RunFile());
    ASSERT_TRUE(o.ok);
    for (const bool hide : {true, false}) {
        SCOPED_TRACE(hide);
        ASSERT_TRUE(o.list.BuildLineList(hide));
        struct Case { int zeile; int row; };
        const Case shown[] = {{1, 0}, {50, 49}, {951, hide ? 50 : 950}, {1000, hide ? 99 : 999}};
        for (const Case &c : shown) {
            EXPECT_EQ(o.list.RowOfZeile(c.zeile), c.row) << c.zeile;
            const TLDT3Line byValue = o.list.Line(c.row);
            EXPECT_EQ(byValue.Zeile(), c.zeile);
            EXPECT_EQ(byValue.InListIndex(), c.row);
            EXPECT_EQ(o.list.PtrIdxOfRow(c.row), c.zeile - 1);
            const TLDT3Line *kept = o.list.Items(c.row);
            EXPECT_EQ(kept->Zeile(), c.zeile);
            EXPECT_EQ(kept->InListIndex(), c.row);
            for (int col = 0; col < LDT3ColumnCount; ++col)
                EXPECT_EQ(kept->GetColumn(col), byValue.GetColumn(col)) << c.zeile << " " << col;
            EXPECT_EQ(o.list.GetLDT3LineFromZeile(c.zeile), kept);
        }
        const int hiddenRow = o.list.RowOfZeile(500);
        EXPECT_EQ(hiddenRow, hide ? -1 : 499);
        for (const int z : {0, -1, 1001})
            EXPECT_EQ(o.list.RowOfZeile(z), -1) << z;
        EXPECT_THROW(o.list.Line(o.list.Count()), std::out_of_range);
        EXPECT_THROW(o.list.Line(-1), std::out_of_range);
    }
    // many rows kept one after the other never move the first
    const TLDT3Line *first = o.list.Items(0);
    for (int r = 1; r < o.list.Count(); ++r)
        o.list.Items(r);
    EXPECT_EQ(o.list.Items(0), first);
    EXPECT_EQ(o.list.Items(0)->Zeile(), 1);
}
