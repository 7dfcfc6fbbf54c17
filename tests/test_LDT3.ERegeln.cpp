#include "LDT3.ERegeln.h"

#include "LDT3.Base.h"
#include "LDT3.FRegeln.h"
#include "TestUtil.h"

#include <QDir>
#include <QSet>
#include <QTemporaryDir>

#include <memory>

namespace {

// One service for all tests; building it loads the whole table.
const TLDT3ErlaubeInhalte &Service()
{
    static const auto s = std::make_unique<TLDT3ErlaubeInhalte>();
    return *s;
}

// ---------------------------------------------------------------------------
// Permitted contents

struct TECase
{
    int Regel;
    const char *Inhalt; // UTF-8
    int FK;
    bool Erlaubt;
};

std::ostream &operator<<(std::ostream &os, const TECase &c)
{
    return os << "E" << c.Regel << " \"" << c.Inhalt << "\" FK " << c.FK;
}

class ErlaubtTable : public ::testing::TestWithParam<TECase> {};

TEST_P(ErlaubtTable, IstInhaltErlaubt)
{
    const TECase &c = GetParam();
    EXPECT_EQ(Service().IstInhaltErlaubt(c.Regel, QString::fromUtf8(c.Inhalt), c.FK), c.Erlaubt);
}

const TECase ECases[] = {
    {4, "8215", 8000, true}, {4, "8215 ", 8000, false}, {4, "08215", 8000, false}, {4, "", 8000, false},
    {4, "8299", 8000, false},
    {5, "h", 8422, false}, {5, "++", 8422, true}, {5, "!-", 8422, true},
    {36, "", 3564, true}, {36, "irgendwas", 3564, true},
    {0, "", 3000, true}, {0, "beliebig", 3000, true},
    {3, "002", 5005, true}, {3, "999", 5005, true}, {3, "2", 5005, true}, {3, "1", 5005, false},
    {3, "001", 5005, false}, {3, "1000", 5005, false}, {3, "12a", 5005, false}, {3, "", 5005, false},
    {3, "99999999999999999999", 5005, false},
    {12, "1", 8429, true}, {12, "0", 8429, false}, {12, "000", 8429, false}, {12, "0001", 8429, true},
    {12, "2147483647", 8429, true}, {12, "2147483648", 8429, false}, {12, "-1", 8429, false},
    {12, "99999999999999999999", 8429, false},
    {28, "Iva-p", 7414, true}, {28, "", 7414, true},
    // The group code must be one of the codes of the table.
    {28, "6,1", 7413, true}, {28, "0,0", 7413, true}, {28, "Iva-p", 7413, false}, {28, "9,9", 7413, false},
    {28, "6.1", 7413, false},
    {66, "Obj_0100", 8002, true}, {66, "Obj_0009", 8002, false}, {66, "obj_0001", 8002, false},
    {71, "Abrechnungsinformation", 8101, true}, {71, "Abrechnungsinformationen", 8101, false},
    {163, "UTC-9:30", 7273, true}, {163, "UTC\u22129:30", 7273, false},
    {14, "89", 0, true}, {1, "LDT3.1.3", 1, true}, {1, "LDT3.1.2", 1, false},
    // Rules without values permit nothing.
    {43, "", 0, false}, {999, "1", 0, false}, {-3, "1", 0, false},
};

INSTANTIATE_TEST_SUITE_P(Examples, ErlaubtTable, ::testing::ValuesIn(ECases));

TEST(ERegeln, E157FollowsTheChecksumVerdict)
{
    TLDT3ErlaubeInhalte s;
    const QString sha = QStringLiteral("0123456789abcdef0123456789abcdef01234567");
    EXPECT_FALSE(s.IstInhaltErlaubt(157, sha, 9300));
    s.SetPruefsumme_E157(true);
    EXPECT_TRUE(s.IstInhaltErlaubt(157, sha, 9300));
    EXPECT_TRUE(s.IstInhaltErlaubt(157, QString(), 9300));
    s.SetPruefsumme_E157(false);
    EXPECT_FALSE(s.IstInhaltErlaubt(157, sha, 9300));
}

// ---------------------------------------------------------------------------
// Meanings

struct TBCase
{
    int Regel;
    const char *Inhalt;
    const char *Bedeutung; // UTF-8; empty: no meaning
};

class BedeutungTable : public ::testing::TestWithParam<TBCase> {};

TEST_P(BedeutungTable, GetBedeutung)
{
    const TBCase &c = GetParam();
    EXPECT_EQ(Service().GetBedeutung(c.Regel, QString::fromUtf8(c.Inhalt)), QString::fromUtf8(c.Bedeutung))
        << "E" << c.Regel << " " << c.Inhalt;
}

const TBCase BCases[] = {
    {4, "8215", "Auftrag"}, {4, "8220", "L (Labor)-Datenpaket-Header"}, {4, "9999", ""},
    {5, "+", "schwach erhöht"}, {5, "H", "schwach erhöht"}, {5, "--", "stark erniedrigt"},
    {5, "N", "im Normalbereich (bei nicht numerischen Werten: normal)"},
    {28, "6,1", "Iva-p"}, {28, "2,1", "I/II, I-II"},
    {36, "", "Feld kann ohne Inhalt übertragen werden"},
    {66, "Obj_0068", "Obj_Fließtext"}, {66, "Obj_0004", "Obj_Abrechnung IGe-Leistungen"},
    {1, "LDT3.1.3", "LDT3.1.3"}, {114, "Fliesstext", "Fliesstext"},
    {90, "Krebsfrueherkennung_Frauen", "Krebsfrueherkennung_Frauen"},
    // Two-digit status codes written with one digit.
    {23, "7", "Laborarzt/Befundersteller"}, {23, "07", "Laborarzt/Befundersteller"}, {23, "77", ""}, {23, "", ""},
    {22, "1", ""}, {7, "1", ""},
    // Judged by code, or values without meaning.
    {3, "5", ""}, {12, "1", ""}, {157, "x", ""}, {10, "00", ""}, {163, "UTC+1", "MEZ"}, {163, "UTC+3", ""},
};

INSTANTIATE_TEST_SUITE_P(Examples, BedeutungTable, ::testing::ValuesIn(BCases));

TEST(ERegeln, OneDigitStatusCodesReadAsTwoDigits)
{
    const TLDT3ErlaubeInhalte &s = Service();
    for (int regel : {23, 27, 29}) {
        for (const QString &wert : s.Dict().ErlaubteWerte(regel)) {
            if (!wert.startsWith(QLatin1Char('0')))
                continue;
            ASSERT_FALSE(s.GetBedeutung(regel, wert).isEmpty()) << regel << " " << wert.toStdString();
            EXPECT_EQ(s.GetBedeutung(regel, wert.mid(1)), s.GetBedeutung(regel, wert))
                << regel << " " << wert.toStdString();
        }
    }
    // Other two-digit rules are read exactly.
    EXPECT_FALSE(s.GetBedeutung(20, QStringLiteral("01")).isEmpty());
    EXPECT_TRUE(s.GetBedeutung(20, QStringLiteral("1")).isEmpty());
}

TEST(ERegeln, GetERegelSingleValue)
{
    const TLDT3ErlaubeInhalte &s = Service();
    QString v = QStringLiteral("alt");
    EXPECT_TRUE(s.GetERegelSingleValue(1, v));
    EXPECT_EQ(v, QStringLiteral("LDT3.1.3"));
    v = QStringLiteral("alt");
    EXPECT_FALSE(s.GetERegelSingleValue(4, v));
    EXPECT_TRUE(v.isEmpty());
    v = QStringLiteral("alt");
    EXPECT_FALSE(s.GetERegelSingleValue(3, v));
    EXPECT_TRUE(v.isEmpty());
    EXPECT_TRUE(s.GetERegelSingleValue(36, v));
    EXPECT_TRUE(v.isEmpty());
}

TEST(ERegeln, IsERegelDefined)
{
    const TLDT3ErlaubeInhalte &s = Service();
    for (int r : {0, 3, 12, 28, 36, 157, 1, 166})
        EXPECT_TRUE(s.IsERegelDefined(r)) << r;
    for (int r : {43, 45, 117, 140, 148, 167, -1})
        EXPECT_FALSE(s.IsERegelDefined(r)) << r;
}

// ---------------------------------------------------------------------------
// The table

TEST(ERegeln, TableSize)
{
    const TLDT3EDict &d = Service().Dict();
    EXPECT_EQ(LDT3ETableCount, 682);
    EXPECT_EQ(d.WertCount(), 682);
    const QList<int> regeln = d.Regeln();
    EXPECT_EQ(regeln.size(), 158);
    QList<int> missing;
    for (int r = 1; r <= 166; ++r)
        if (!regeln.contains(r))
            missing << r;
    EXPECT_EQ(missing, (QList<int>{3, 12, 43, 45, 117, 140, 148, 157}));
    EXPECT_EQ(d.ToArray(14).size(), 79);
    EXPECT_EQ(d.ToArray(28).size(), 28);
    EXPECT_EQ(d.ToArray(66).size(), 49);
    EXPECT_EQ(d.ToArray(163).size(), 39);
}

TEST(ERegeln, TableIsInRuleOrder)
{
    for (int i = 1; i < LDT3ETableCount; ++i)
        ASSERT_LE(LDT3ETable[i - 1].ERegel, LDT3ETable[i].ERegel) << i;
}

TEST(ERegeln, ObjectAttributeRulesHaveTheirNameAsMeaning)
{
    const TLDT3EDict &d = Service().Dict();
    QList<int> attr;
    for (int r = 71; r <= 162; ++r)
        if (d.ToArray(r).size() == 1)
            attr << r;
    EXPECT_EQ(attr.size(), 85); // 84 fields and E114
    for (int r : attr) {
        const TLDT3EPairArray a = d.ToArray(r);
        EXPECT_EQ(a[0].Key, a[0].Value) << r;
        EXPECT_FALSE(a[0].Key.isEmpty()) << r;
    }
}

TEST(ERegeln, RegionCodesOfFormatRulesAreE014WithoutThreeCodes)
{
    const QStringList e014 = Service().Dict().ErlaubteWerte(14);
    QStringList others;
    for (const QString &kk : e014)
        if (!IsFRegelRegionCode(kk))
            others << kk;
    EXPECT_EQ(others, (QStringList{QStringLiteral("89"), QStringLiteral("90"), QStringLiteral("91")}));
}

// Every value of the LDT 3 text table is in the built-in table, in the same
// order, and its meaning is taken over unless fixed otherwise.
TEST(ERegeln, TableAgreesWithTextTable)
{
    const QString path = QString::fromUtf8(VENTOLIX_SOURCE_DIR) + QStringLiteral("/data/ldt3-tables/evalues.tsv");
    const QByteArray tsv = testutil::ReadAll(path);
    ASSERT_FALSE(tsv.isEmpty()) << "no text table at " << path.toStdString();

    // Rules whose meanings the 3.1.3 list states itself (tools/ldt3_ewerte.tsv) rather than the text table.
    const QSet<int> fixed{1, 4, 5, 28, 36, 66};
    const TLDT3EDict &d = Service().Dict();
    const QList<QByteArray> lines = tsv.split('\n');
    int row = 0, compared = 0;
    for (qsizetype i = 1; i < lines.size(); ++i) {
        if (lines[i].isEmpty())
            continue;
        const QStringList cols = QString::fromUtf8(lines[i]).split(QLatin1Char('\t'));
        ASSERT_GE(cols.size(), 3) << i;
        int regel = 0;
        ASSERT_TRUE(StrToERegel(cols[0], regel));
        const QString wert = QString(cols[1]).replace(QChar(0x2212), QLatin1Char('-'));
        ASSERT_LT(row, LDT3ETableCount);
        EXPECT_EQ(LDT3ETable[row].ERegel, regel) << "row " << row;
        EXPECT_EQ(QString::fromUtf16(LDT3ETable[row].Wert), wert) << "row " << row;
        ++row;
        ASSERT_TRUE(d.WertExists(regel, wert)) << cols[0].toStdString() << " " << wert.toStdString();
        const QString bedeutung = d.GetBedeutung(regel, wert);
        if (regel >= 71 && regel <= 162 && d.ToArray(regel).size() == 1) {
            EXPECT_EQ(bedeutung, wert);
        } else if (!fixed.contains(regel)) {
            EXPECT_EQ(bedeutung, cols[2]) << cols[0].toStdString() << " " << wert.toStdString();
            ++compared;
        }
    }
    EXPECT_EQ(row, 682);
    EXPECT_GT(compared, 400);
}

TEST(ERegeln, DuplicateValueRaises)
{
    TLDT3EItemDict item;
    item.Add(QStringLiteral("1"), QStringLiteral("eins"));
    EXPECT_THROW(item.Add(QStringLiteral("1"), QStringLiteral("noch eins")), ELDT3Error);
    EXPECT_EQ(item.GetBedeutung(QStringLiteral("1")), QStringLiteral("eins"));
    item.AddOrSet(QStringLiteral("1"), QStringLiteral("neu"));
    EXPECT_EQ(item.GetBedeutung(QStringLiteral("1")), QStringLiteral("neu"));
    item.Add(QStringLiteral(" 1"), QString()); // not the same value
    EXPECT_EQ(item.Count(), 2);

    TLDT3EDict d;
    EXPECT_THROW(d.Add(4, QStringLiteral("8215"), QStringLiteral("x")), ELDT3Error);
    d.Add(4, QStringLiteral("8216"), QStringLiteral("x"));
    EXPECT_TRUE(d.WertExists(4, QStringLiteral("8216")));
    d.RemoveWert(4, QStringLiteral("8216"));
    EXPECT_FALSE(d.WertExists(4, QStringLiteral("8216")));
    d.RemoveRegel(4);
    EXPECT_FALSE(d.RegelExists(4));
    EXPECT_TRUE(d.ErlaubteWerte(4).isEmpty());
    EXPECT_TRUE(d.GetBedeutung(4, QStringLiteral("8215")).isEmpty());
}

// ---------------------------------------------------------------------------
// Sorting and the text file

QStringList Keys(const TLDT3EPairArray &A)
{
    QStringList r;
    for (const TLDT3EPair &p : A)
        r << p.Key;
    return r;
}

TEST(ERegeln, SortPerKeyIsNatural)
{
    TLDT3EPairArray a = Service().ToArray(66);
    TLDT3ErlaubeInhalte::SortPerKey(a);
    ASSERT_EQ(a.size(), 49);
    EXPECT_EQ(a[0].Key, QStringLiteral("Obj_0001"));
    EXPECT_EQ(a[1].Key, QStringLiteral("Obj_0002"));
    EXPECT_EQ(a.last().Key, QStringLiteral("Obj_0100"));

    TLDT3EPairArray b = Service().ToArray(50);
    TLDT3ErlaubeInhalte::SortPerKey(b);
    EXPECT_EQ(Keys(b), QStringLiteral("1 2 3 4 5 6 7 8 9 10 11 99").split(QLatin1Char(' ')));

    TLDT3EPairArray c = Service().ToArray(163);
    TLDT3ErlaubeInhalte::SortPerKey(c);
    const QStringList k = Keys(c);
    EXPECT_LT(k.indexOf(QStringLiteral("UTC+9")), k.indexOf(QStringLiteral("UTC+10")));
    EXPECT_LT(k.indexOf(QStringLiteral("UTC+2")), k.indexOf(QStringLiteral("UTC+12:45")));
}

TEST(ERegeln, SortPerValueOrdersByMeaning)
{
    TLDT3EPairArray a = Service().ToArray(2);
    TLDT3ErlaubeInhalte::SortPerValue(a);
    EXPECT_EQ(Keys(a), (QStringList{QStringLiteral("3"), QStringLiteral("1"), QStringLiteral("5")}));

    // Equal meanings end up next to each other.
    TLDT3EPairArray e = Service().ToArray(5);
    TLDT3ErlaubeInhalte::SortPerValue(e);
    ASSERT_EQ(e.size(), 15);
    for (qsizetype i = 0; i < e.size(); ++i)
        for (qsizetype j = i + 2; j < e.size(); ++j) {
            if (e[i].Value == e[j].Value) {
                EXPECT_EQ(e[i + 1].Value, e[i].Value) << i;
            }
        }
}

TEST(ERegeln, SaveToFile)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString fn = dir.filePath(QStringLiteral("eregeln.txt"));
    ASSERT_TRUE(Service().Dict().SaveToFile(fn));
    const QByteArray bytes = testutil::ReadAll(fn);
    ASSERT_TRUE(bytes.startsWith("[E001]\r\n\"LDT3.1.3\"=\"LDT3.1.3\"\r\n\r\n[E002]\r\n"));
    EXPECT_TRUE(bytes.endsWith("\r\n"));
    EXPECT_FALSE(bytes.contains("\r\n\r\n\r\n"));
    const QList<QByteArray> lines = bytes.split('\n');
    int headers = 0, values = 0;
    for (const QByteArray &l : lines) {
        if (l.startsWith('['))
            ++headers;
        else if (l.startsWith('"'))
            ++values;
    }
    EXPECT_EQ(headers, 158);
    EXPECT_EQ(values, 682);
    EXPECT_TRUE(bytes.contains("[E004]\r\n\"8205\"=\"Befund\"\r\n\"8215\"=\"Auftrag\"\r\n\"8220\""));
    EXPECT_TRUE(bytes.contains("[E036]\r\n\"\"=\"Feld kann ohne Inhalt \xfc" "bertragen werden\"\r\n"));
    // Natural order within a rule: 9 before 10.
    const qsizetype e050 = bytes.indexOf("[E050]");
    ASSERT_GE(e050, 0);
    EXPECT_LT(bytes.indexOf("\"9\"=\"GKV Laborfacharzt pr\xe4ventiv\"", e050), bytes.indexOf("\"10\"=", e050));
}

TEST(ERegeln, SaveToFileFailureRaises)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    EXPECT_THROW(Service().Dict().SaveToFile(dir.filePath(QStringLiteral("no/such/dir/x.txt"))), ELDT3Error);
}

} // namespace
