#include "LDT3.Data.h"
#include "LDT3.Feld.h"
#include "LDT3.Html.h"
#include "LDT3.RegelInfo.h"

#include "TestUtil.h"

#include <QRegularExpression>
#include <QXmlStreamReader>

namespace {

QString Title(const QString &APage)
{
    static const QRegularExpression Re(QStringLiteral("<title>(.*)</title>\r\n"));
    return Re.match(APage).captured(1);
}

QString ParseError(const QString &AXml)
{
    QXmlStreamReader R(AXml);
    while (!R.atEnd())
        R.readNext();
    return R.hasError() ? R.errorString() + QStringLiteral(" at line %1").arg(R.lineNumber()) : QString();
}

// Ids of the tables of a page, in order.
QStringList TableIds(const QString &APage)
{
    static const QRegularExpression Re(QStringLiteral("<table id=\"([^\"]+)\""));
    QStringList Ids;
    for (const auto &M : Re.globalMatch(APage))
        Ids << M.captured(1);
    return Ids;
}

const QString SyntaxHelp = QStringLiteral(
    "<h3>FK: &lt;Nr&gt;</h3>\r\n<h3>E-Regel: e + &lt;Nr&gt;</h3>\r\n<h3>F-Regel: f + &lt;Nr&gt;</h3>\r\n"
    "<h3>K-Regel: k + &lt;Nr&gt;</h3>\r\n<p><br />Beispiele:<br />\r\n<br />\r\n"
    "8000 sucht nach FK 8000<br />\r\ne3 sucht nach E-Regel E003<br />\r\n</p>\r\n");
const QString NotFound = QStringLiteral("<h2>Nicht gefunden!</h2>\r\n");

} // namespace

TEST(InfoQuery, ClassifiesAndAnswers)
{
    using D = TLDT3Data;
    struct Case
    {
        const char *Query;
        D::TInfoTyp Typ;
        int Num;
        const char *Str;
        const char *Title;
        QStringList Ids;  // tables on the page, in order
        QString KeyLine;  // a line the page must hold
    };
    const QString Satzart = QStringLiteral("<td class=\"feld name\">Satzart</td>\r\n");
    const QStringList FK8000 = {"FK8000", "E004", "K011", "K025", "K027", "K113"};
    const Case Cases[] = {
        {"8000", D::itFeld, 8000, "8000", "FK 8000", FK8000, Satzart},
        {"FK 8000", D::itFeld, 8000, "8000", "FK 8000", FK8000, Satzart},
        {"fk8000", D::itFeld, 8000, "8000", "FK 8000", FK8000, Satzart},
        {"  8000 ", D::itFeld, 8000, "8000", "FK 8000", FK8000, Satzart},
        {" Fk 8000", D::itFeld, 8000, "8000", "FK 8000", FK8000, Satzart},
        {"e3", D::itERegel, 3, "E003", "E003", {"E003"}, "<td class=\"regel name\">E003</td>\r\n"},
        {"E003", D::itERegel, 3, "E003", "E003", {"E003"}, "<td>\r\n002-999<br />\r\n</td>\r\n"},
        {"F7", D::itFRegel, 7, "F007", "F007", {"F007"}, "<td class=\"regel name\">F007</td>\r\n"},
        {"k1", D::itKRegel, 1, "K001", "K001", {"K001"}, "<td class=\"regel name\">K001</td>\r\n"},
        {"R8000", D::itAlleRegeln, 8000, "8000", "Regel-Information",
         {"E004", "K011", "K025", "K027", "K113"}, "<th>Katergorie</th>\r\n"},
        {"9999", D::itFeld, 9999, "9999", "Suche nach Feld \"9999\"...", {}, NotFound},
        {"E999", D::itERegel, 999, "E999", "Suche nach E-Regel \"E999\"...", {}, NotFound},
        {"F19", D::itFRegel, 19, "F019", "Suche nach F-Regel \"F019\"...", {}, NotFound},
        {"", D::itNone, -1, "", "Suche nach ...", {}, SyntaxHelp},
        {"   ", D::itNone, -1, "", "Suche nach ...", {}, SyntaxHelp},
        {"x", D::itNone, -1, "", "Suche nach ...", {}, SyntaxHelp},
        {"FK", D::itNone, -1, "", "Suche nach ...", {}, SyntaxHelp},
        {"-3", D::itNone, -1, "", "Suche nach ...", {}, SyntaxHelp},
        {"8000a", D::itFeld, -1, "", "Suche nach Feld...", {}, SyntaxHelp},
        {"0", D::itFeld, 0, "", "Suche nach Feld...", {}, SyntaxHelp},
        {"e", D::itERegel, -1, "", "Suche nach E-Regel...", {}, SyntaxHelp},
        {"k0", D::itKRegel, 0, "", "Suche nach K-Regel...", {}, SyntaxHelp},
        {"R3000", D::itAlleRegeln, 3000, "3000", "Suche nach  \"3000\"...", {}, NotFound},
        {"r", D::itAlleRegeln, -1, "", "Suche nach ...", {}, SyntaxHelp},
    };
    for (const Case &C : Cases) {
        SCOPED_TRACE(C.Query);
        const QString Query = QString::fromLatin1(C.Query);
        int Num = 42;
        QString Str = QStringLiteral("stale");
        EXPECT_EQ(D::GetInfoTyp(Query, Num, Str), C.Typ);
        EXPECT_EQ(Num, C.Num);
        EXPECT_EQ(Str, QString::fromLatin1(C.Str));

        D::TInfoTyp Typ = D::itFeld;
        const QString Page = D::GetInfoXHTML(Query, Typ);
        EXPECT_EQ(Typ, C.Typ);
        EXPECT_EQ(Page, D::GetInfoXHTML(Query));
        EXPECT_EQ(Title(Page), XmlEscape(QString::fromLatin1(C.Title)));
        EXPECT_EQ(TableIds(Page), C.Ids);
        EXPECT_TRUE(Page.contains(C.KeyLine)) << C.KeyLine.toStdString();
        EXPECT_EQ(ParseError(Page), QString());
        if (C.Ids.isEmpty()) { // a search page says what was searched in its heading
            EXPECT_TRUE(Page.contains("<body>\r\n<h1>" + XmlEscape(QString::fromLatin1(C.Title)) +
                                      "</h1>\r\n"));
        }
    }
}

TEST(InfoQuery, SearchPageBytes)
{
    const QString Page = TLDT3Data::GetInfoXHTML(QStringLiteral("9999"));
    const QString Title = QStringLiteral("Suche nach Feld \"9999\"...");
    EXPECT_EQ(Page, XHTMLStrictDoc(Title, TLDT3Html::LookupStyle(),
                                   "<h1>" + XmlEscape(Title) + "</h1>\r\n" + NotFound));
    EXPECT_EQ(TLDT3Data::GetInfoXHTML(QString()),
              XHTMLStrictDoc(QStringLiteral("Suche nach ..."), TLDT3Html::LookupStyle(),
                             "<h1>Suche nach ...</h1>\r\n" + SyntaxHelp));
}

TEST(FeldInfo, FieldTableBytes)
{
    const TLDT3FeldDict &F = *GetLDT3FeldDict();
    EXPECT_EQ(F.GetFeldInfoTableXHTML(1), QStringLiteral(
        "<table id=\"FK0001\" class=\"feld\" width=\"100%\">\r\n<tbody>\r\n"
        "<tr>\r\n<th class=\"feld name\">FK 0001</th>\r\n<td class=\"feld name\">Version XDT</td>\r\n</tr>\r\n"
        "<tr>\r\n<th>Format</th>\r\n<td>alnum</td>\r\n</tr>\r\n"
        "<tr>\r\n<th>Feldlänge</th>\r\n<td>\r\n1 ≤ 12 (F007)<br />\r\n</td>\r\n</tr>\r\n"
        "<tr>\r\n<th>Erläuterung</th>\r\n<td>\r\n"
        "Angabe der Version der LDT-Satzbeschreibung, nach der der Datensatz erstellt wurde<br />\r\n"
        "</td>\r\n</tr>\r\n"
        "<tr>\r\n<th>E-Regel</th>\r\n<td>E001</td>\r\n</tr>\r\n"
        "<tr>\r\n<th>Format-Regel</th>\r\n<td>F007</td>\r\n</tr>\r\n"
        "</tbody>\r\n</table>\r\n"));

    const QString T0201 = F.GetFeldInfoTableXHTML(201);
    EXPECT_TRUE(T0201.contains("<th>Feldlänge</th>\r\n<td>\r\n9 (F010)<br />\r\n9 (F021)<br />\r\n</td>\r\n"));
    EXPECT_TRUE(T0201.contains("<th>Format-Regeln</th>\r\n<td>F010, F021</td>\r\n"));
    EXPECT_TRUE(T0201.contains("<th>Kontext-Regeln</th>\r\n<td>K020, K044</td>\r\n"));
    EXPECT_FALSE(T0201.contains("E-Regel"));

    const QString T8101 = F.GetFeldInfoTableXHTML(8101);
    EXPECT_TRUE(T8101.contains("<th>Folge-Objekt</th>\r\n<td>Obj_0001</td>\r\n"));
    // Explanation lines one by one, the empty line inside kept.
    const QString T3622 = F.GetFeldInfoTableXHTML(3622);
    EXPECT_TRUE(T3622.contains("<br />\r\nEinheit: Zentimeter [cm]<br />\r\n</td>"));
    EXPECT_TRUE(T3622.contains("<td>\r\nvar<br />\r\n</td>"));

    for (int FK : {-1, 0, 9999, 4711})
        EXPECT_TRUE(F.GetFeldInfoTableXHTML(FK).isEmpty()) << FK;
}

TEST(FeldInfo, FieldPageAndRulesPage)
{
    const TLDT3FeldDict &F = *GetLDT3FeldDict();
    const TLDT3RegelDict &R = *GetLDT3RegelDict();
    const QString Msg = QStringLiteral("<table class=\"xpm\"><tr><td>XPM</td></tr></table>\r\n");
    const QString Page = F.GetFeldInfoXHTML(201, Msg);
    EXPECT_EQ(Page, XHTMLStrictDoc(QStringLiteral("FK 0201"), TLDT3Html::FeldInfoStyle(),
                                   Msg + F.GetFeldInfoTableXHTML(201) +
                                       R.GetRegelInfoTableXHTML(QStringList{"F010", "F021", "K020", "K044"})));
    EXPECT_EQ(F.GetFeldInfoXHTML(QStringLiteral("0201"), Msg), Page);
    EXPECT_EQ(F.GetFeldRegelInfoTableXHTML(QStringLiteral("201")), F.GetFeldRegelInfoTableXHTML(201));

    EXPECT_TRUE(F.GetFeldInfoXHTML(QStringLiteral("x"), QString()).isEmpty());
    EXPECT_TRUE(F.GetFeldInfoXHTML(9999, QString()).isEmpty());
    EXPECT_TRUE(F.GetFeldRegelInfoXHTML(3000).isEmpty()); // field without rules
    EXPECT_TRUE(F.GetFeldRegelInfoXHTML(QStringLiteral("")).isEmpty());

    // The rules of FK 5001: F008, F009, K018, K019.
    EXPECT_EQ(TableIds(F.GetFeldRegelInfoXHTML(5001)), (QStringList{"F008", "F009", "K018", "K019"}));
}

// Every page the lookup can give parses as XML.
TEST(FeldInfo, EveryPageIsWellFormed)
{
    const TLDT3FeldDict &F = *GetLDT3FeldDict();
    const QStringList Felder = F.GetFelder();
    ASSERT_EQ(Felder.size(), 396);
    int RulesPages = 0;
    for (const QString &FK : Felder) {
        const QString Page = TLDT3Data::GetInfoXHTML(FK);
        EXPECT_EQ(Title(Page), "FK " + FK);
        EXPECT_EQ(ParseError(Page), QString()) << FK.toStdString();
        if (!F.GetFeldRegeln(FK.toInt()).isEmpty()) {
            const QString Rules = TLDT3Data::GetInfoXHTML("R" + FK);
            EXPECT_EQ(Title(Rules), "Regel-Information") << FK.toStdString();
            EXPECT_EQ(ParseError(Rules), QString()) << FK.toStdString();
            ++RulesPages;
        }
    }
    EXPECT_GT(RulesPages, 200);
    for (const QString &Regel : GetLDT3RegelDict()->GetAlleRegeln()) {
        const QString Page = TLDT3Data::GetInfoXHTML(Regel);
        EXPECT_EQ(Title(Page), Regel);
        EXPECT_EQ(ParseError(Page), QString()) << Regel.toStdString();
    }
}

// Every rule a field names has a description (so every rule row of a field
// page leads to a table), and the fields named in a rule's text name it.
TEST(FeldInfo, FieldRulesAreDescribed)
{
    const TLDT3FeldDict &F = *GetLDT3FeldDict();
    const TLDT3RegelDict &R = *GetLDT3RegelDict();
    for (const QString &FK : F.GetFelder())
        for (const QString &Regel : F.GetFeldRegeln(FK.toInt()))
            EXPECT_NE(R.FindRegel(Regel), nullptr) << FK.toStdString() << " " << Regel.toStdString();
    static const QRegularExpression Named(QStringLiteral("Die Regel wird genannt von FK (\\d{4})"));
    for (const QString &Regel : R.GetAlleRegeln()) {
        const auto M = Named.match(R.FindRegel(Regel)->Pruefung);
        if (M.hasMatch()) {
            EXPECT_TRUE(F.GetFeldRegeln(M.captured(1).toInt()).contains(Regel)) << Regel.toStdString();
        }
    }
}
