#include "LDT3.RegelInfo.h"

#include "TestUtil.h"

#include <QXmlStreamReader>

#include <thread>
#include <vector>

namespace {

const TLDT3RegelDict &Dict() { return *GetLDT3RegelDict(); }

bool IsWellFormed(const QString &AXml, QString *AError = nullptr)
{
    QXmlStreamReader R(AXml);
    while (!R.atEnd())
        R.readNext();
    if (R.hasError() && AError)
        *AError = R.errorString() + QStringLiteral(" at line %1").arg(R.lineNumber());
    return !R.hasError();
}

} // namespace

TEST(RegelDict, NameLists)
{
    const QStringList E = Dict().GetERegeln(), F = Dict().GetFRegeln(), K = Dict().GetKRegeln();
    EXPECT_EQ(E.size(), 162);
    EXPECT_EQ(E.first(), "E001");
    EXPECT_EQ(E.last(), "E166");
    for (const char *Absent : {"E043", "E117", "E140", "E148"})
        EXPECT_FALSE(E.contains(QLatin1String(Absent))) << Absent;
    EXPECT_EQ(F.size(), 21);
    EXPECT_FALSE(F.contains("F019"));
    EXPECT_EQ(F.last(), "F022");
    EXPECT_EQ(K.size(), 103);
    EXPECT_EQ(K.first(), "K001");
    EXPECT_EQ(K.last(), "K121");
    EXPECT_EQ(Dict().GetAlleRegeln(), E + F + K);
    EXPECT_EQ(Dict().Count(), 286);
    EXPECT_TRUE(Dict().GetRegeln(QLatin1Char('e')).isEmpty());
    QStringList Sorted = E;
    std::sort(Sorted.begin(), Sorted.end());
    EXPECT_EQ(E, Sorted);
}

TEST(RegelDict, CountsByCategoryAndState)
{
    QHash<QString, int> Kat, State;
    int EmptyPruefung = 0;
    for (const QString &R : Dict().GetAlleRegeln()) {
        const TLDT3RegelInfo *I = Dict().FindRegel(R);
        ASSERT_NE(I, nullptr);
        EXPECT_EQ(I->Regel, R);
        ++Kat[I->Kategorie];
        ++State[I->Fehlerstatus];
        EmptyPruefung += I->Pruefung.isEmpty();
    }
    EXPECT_EQ(Kat.value("Basis"), 206);
    EXPECT_EQ(Kat.value("KBV"), 51);
    EXPECT_EQ(Kat.value("QMS"), 29);
    EXPECT_EQ(State.value("F"), 282);
    EXPECT_EQ(State.value("W"), 2);
    EXPECT_EQ(State.value("I"), 2);
    EXPECT_EQ(EmptyPruefung, 0);
}

TEST(RegelDict, TellingRows)
{
    struct Row { const char16_t *Regel, *Kat, *State, *Pruef, *Erl; };
    const Row Rows[] = {
        {u"E001", u"Basis", u"W", u"LDT3.1.3", u"zulässiger Inhalt für FK 0001"},
        {u"E002", u"KBV", u"F", u"1, 3, 5", u"1 = Mitglied\n3 = Familienversicherter\n5 = Rentner"},
        {u"E003", u"Basis", u"F", u"002-999", u""},
        {u"E004", u"Basis", u"F", u"8220, 8221, 8230, 8231, 8205, 8215", u""},
        {u"E012", u"Basis", u"F", u">0", u""},
        {u"E036", u"Basis", u"F", u"Feld kann ohne Inhalt übertragen werden",
         u"Damit wird die Formatierung von zu übertragenden Texten mit Leerzeilen ermöglicht."},
        {u"E157", u"Basis", u"F",
         u"Der Prüfwert wird mit dem Algorithmus SHA-1 berechnet. Der SHA-1 Wert wird aus allen "
         u"Zeichen vor der Zeile der Feldkennung 9300 generiert.",
         u"Dient der Sicherstellung der Integrität der Daten in der Datei."},
        {u"F001", u"KBV", u"F", u"nnnnn", u"Format der Abrechnungs-VKNR"},
        {u"K001", u"Basis", u"F", u"Entweder FK 6305 oder FK 8242 ist vorhanden.", u""},
        {u"K087", u"KBV", u"I",
         u"Falls eine Versichertenkarte eingelesen wurde, dann muss die FK 4109 vorhanden sein.", u""},
    };
    for (const Row &R : Rows) {
        const TLDT3RegelInfo *I = Dict().FindRegel(QString::fromUtf16(R.Regel));
        ASSERT_NE(I, nullptr) << QString::fromUtf16(R.Regel).toStdString();
        EXPECT_EQ(I->Kategorie, QString::fromUtf16(R.Kat));
        EXPECT_EQ(I->Fehlerstatus, QString::fromUtf16(R.State));
        EXPECT_EQ(I->Pruefung, QString::fromUtf16(R.Pruef));
        EXPECT_EQ(I->Erlaeuterung, QString::fromUtf16(R.Erl));
    }
    EXPECT_EQ(Dict().FindRegel("K088")->Fehlerstatus, "I");
    EXPECT_EQ(Dict().FindRegel("K042")->Fehlerstatus, "W");
    EXPECT_EQ(Dict().FindRegel("K042")->Erlaeuterung, "Abbildung von Unterüberweisungen im LDT-Datensatz");
    const QStringList F010 = Dict().FindRegel("F010")->Erlaeuterung.split('\n');
    ASSERT_EQ(F010.size(), 4);
    EXPECT_EQ(F010[0], "Format BSNR");
    EXPECT_EQ(Dict().FindRegel("F011")->Pruefung, "nnnnnnmff");
    EXPECT_TRUE(Dict().FindRegel("F011")->Erlaeuterung.contains("999999900"));
}

TEST(RegelDict, LookupIsExact)
{
    EXPECT_NE(Dict().FindRegel("E004"), nullptr);
    for (const char *Q : {"e004", "E4", "E 004", "E004 ", "", "F019", "E043"}) {
        EXPECT_EQ(Dict().FindRegel(QLatin1String(Q)), nullptr) << Q;
        EXPECT_TRUE(Dict().GetRegelInfoTableXHTML(QLatin1String(Q)).isEmpty()) << Q;
        EXPECT_TRUE(Dict().GetRegelInfoXHTML(QLatin1String(Q)).isEmpty()) << Q;
    }
    EXPECT_TRUE(Dict().GetRegelInfoXHTML(QStringList{"x", "E043"}).isEmpty());
    EXPECT_TRUE(Dict().GetRegelInfoXHTML(QStringList{}).isEmpty());
}

// Value lists that differ from the later public table show our values.
TEST(RegelDict, PruefungListsOurValues)
{
    EXPECT_EQ(Dict().FindRegel("E018")->Pruefung, "M, W, X");
    EXPECT_FALSE(Dict().FindRegel("E018")->Erlaeuterung.contains("D = "));
    EXPECT_TRUE(Dict().FindRegel("E014")->Pruefung.endsWith("88, 89, 90, 91, 93, 94, 95, 96, 98, 99"));
    EXPECT_TRUE(Dict().FindRegel("E163")->Pruefung.startsWith("UTC-12, UTC-11"));
    EXPECT_EQ(Dict().FindRegel("E020")->Pruefung, "00, 01, 02, 03, 04, 05, 06, 07, 08, 09");
    EXPECT_FALSE(Dict().FindRegel("E050")->Erlaeuterung.contains("12 = "));
    EXPECT_FALSE(Dict().FindRegel("E050")->Erlaeuterung.contains("** "));
    EXPECT_TRUE(Dict().FindRegel("E050")->Erlaeuterung.contains("99 = "));
}

TEST(RegelDict, RulePageBytes)
{
    const QString Table = Dict().GetRegelInfoTableXHTML(QStringLiteral("E001"));
    EXPECT_EQ(Table, QStringLiteral(
        "<table id=\"E001\" class=\"regel\" width=\"100%\">\r\n<tbody>\r\n"
        "<tr>\r\n<th class=\"regel name\">Regel</th>\r\n<td class=\"regel name\">E001</td>\r\n</tr>\r\n"
        "<tr>\r\n<th>Katergorie</th>\r\n<td>Basis</td>\r\n</tr>\r\n"
        "<tr>\r\n<th>Fehlerstatus</th>\r\n<td>W</td>\r\n</tr>\r\n"
        "<tr>\r\n<th>Prüfung</th>\r\n<td>\r\nLDT3.1.3<br />\r\n</td>\r\n</tr>\r\n"
        "<tr>\r\n<th>Erläuterung</th>\r\n<td>\r\nzulässiger Inhalt für FK 0001<br />\r\n</td>\r\n</tr>\r\n"
        "</tbody>\r\n</table>\r\n"));
    // No Erläuterung row when it is empty; special characters escaped.
    const QString E012 = Dict().GetRegelInfoTableXHTML(QStringLiteral("E012"));
    EXPECT_TRUE(E012.contains("<td>\r\n&gt;0<br />\r\n</td>"));
    EXPECT_FALSE(E012.contains("Erläuterung"));

    const QString Page = Dict().GetRegelInfoXHTML(QStringLiteral("E001"));
    EXPECT_TRUE(Page.contains("<title>E001</title>\r\n"));
    EXPECT_TRUE(Page.endsWith("<body>\r\n" + Table + "</body>\r\n</html>\r\n"));

    const QString Multi = Dict().GetRegelInfoXHTML(QStringList{"E001", "nix", "K001"});
    EXPECT_TRUE(Multi.contains("<title>Regel-Information</title>"));
    EXPECT_TRUE(Multi.contains(Table + Dict().GetRegelInfoTableXHTML(QStringLiteral("K001")) +
                               "</body>"));
}

TEST(RegelDict, EveryRulePageIsWellFormed)
{
    for (const QString &R : Dict().GetAlleRegeln()) {
        QString Err;
        EXPECT_TRUE(IsWellFormed(Dict().GetRegelInfoXHTML(R), &Err)) << R.toStdString() << ": "
                                                                     << Err.toStdString();
    }
    QString Err;
    EXPECT_TRUE(IsWellFormed(Dict().GetRegelInfoXHTML(Dict().GetAlleRegeln()), &Err)) << Err.toStdString();
}

TEST(RegelDict, AccessorGivesOneInstanceAcrossThreads)
{
    FreeLDT3RegelDict();
    std::vector<TLDT3RegelDict *> Seen(4, nullptr);
    std::vector<std::thread> Threads;
    for (int i = 0; i < 4; ++i)
        Threads.emplace_back([&Seen, i] { Seen[i] = GetLDT3RegelDict(); });
    for (auto &T : Threads)
        T.join();
    for (TLDT3RegelDict *D : Seen)
        EXPECT_EQ(D, GetLDT3RegelDict());
}
