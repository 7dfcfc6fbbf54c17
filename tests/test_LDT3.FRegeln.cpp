#include "LDT3.FRegeln.h"

#include "TestUtil.h"

namespace {

struct TFCase
{
    int Regel;
    const char *Inhalt;
    bool Valid;
};

std::ostream &operator<<(std::ostream &os, const TFCase &c)
{
    return os << "F" << c.Regel << " \"" << c.Inhalt << "\" -> " << (c.Valid ? "valid" : "invalid");
}

class FRegelTable : public ::testing::TestWithParam<TFCase> {};

TEST_P(FRegelTable, CheckFRegel)
{
    const TFCase &c = GetParam();
    EXPECT_EQ(CheckFRegel(c.Regel, QString::fromLatin1(c.Inhalt)), c.Valid);
}

const TFCase FCases[] = {
    {1, "12345", true}, {1, "1234", false}, {1, "1234A", false}, {1, "123456", false},
    {2, "20240229", true}, {2, "20230231", true}, {2, "00000101", false}, {2, "20241301", false},
    {2, "20240100", false},
    {3, "00000000", true}, {3, "19800000", true}, {3, "19800500", true}, {3, "00000500", false},
    {3, "19801232", false}, {3, "19801300", false}, {3, "1980050", false},
    {18, "19800000", true}, {18, "19800500", true}, {18, "00000000", false}, {18, "19801300", false},
    {18, "19800532", false}, {18, "00000501", false},
    {4, "A01", true}, {4, "A01.1", true}, {4, "A01.12", true}, {4, "A01.1-", true}, {4, "a01", false},
    {4, "A1", false}, {4, "A01.-", false}, {4, "A01.12-", false}, {4, "A01-1", false},
    {5, "526", true}, {5, "627", false}, {5, "527", false}, {5, "000", true},
    {6, "9959", true}, {6, "1260", false}, {6, "959", false},
    {7, "LDT3.1.3", true}, {7, "LDT3.12.1234", true}, {7, "LDT3.1.12345", false}, {7, "ldt3.1.3", false},
    {7, "LDT3.1", false}, {7, "LDT3..1", false}, {7, "LDT3.123.1", false}, {7, "LDT3.1.3.", true},
    {7, "LDT31.1.3", false}, {7, "LDT3.1.3.4", false}, {7, "LDTa.1.3", false},
    {8, "01234", false}, {8, "1234", true}, {8, "A", true}, {8, "ABC", true}, {8, "1234A1", true},
    {8, "12AB", false}, {8, "1234/A", true}, {8, "A1234B2/X", true}, {8, "1234/", false},
    {8, "1234A5", false}, {8, "", false}, {8, "A1234B2/XY", false}, {8, "1234a", true},
    {8, "12a34", false},
    // Characters after the six parts are not part of a fee number.
    {8, "1234-", false}, {8, "A1 ", false},
    {9, "12345", true}, {9, "12345B", true}, {9, "12345b", false}, {9, "1234", false},
    {9, "1234B", false}, {9, "123456", false},
    {10, "001234566", true}, {10, "001234567", false}, {10, "381234500", true}, {10, "041234500", false},
    {10, "901234500", false}, {10, "99123450", false},
    {11, "123456601", true}, {11, "999999900", true}, {11, "123456701", false}, {11, "12345660A", false},
    {12, "V/01/1901/12/AB1", true}, {12, "A/01/1901/12/AB1", false}, {12, "V/01/1913/12/AB1", false},
    {12, "Z/99/2300/01/zz9", false}, {12, "Z/99/2312/01/zz9", true}, {12, "V/0A/1901/12/AB1", false},
    {12, "V/01/1901/12/A-1", false}, {12, "V//011901/12/AB1", false},
    {13, "A123456780", true}, {13, "A123456781", false}, {13, "a123456780", false},
    {13, "A12345678", false},
    {14, "001234566", true}, {14, "011234566", false}, {14, "001234565", false},
    {15, "120/080", true}, {15, "120-080", false}, {15, "12/0800", false}, {15, "120/08a", false},
    {16, "235959", true}, {16, "235959999", true}, {16, "240000", false}, {16, "2359590", false},
    {16, "236000", false}, {16, "235960", false},
    {17, "1999", true}, {17, "2999", true}, {17, "0999", false}, {17, "3000", false},
    {19, "12", true}, {19, "1", false}, {19, "1a", false},
    {20, "01234562", true}, {20, "01234563", false}, {20, "00000030", false}, {20, "00000031", false},
    {20, "00000032", false}, {20, "00000033", false}, {20, "00000034", false}, {20, "00000035", false},
    {20, "00000036", false}, {20, "00000037", false}, {20, "00000038", false}, {20, "00000039", false},
    {21, "353812345", true}, {21, "363812345", false}, {21, "350412345", false},
    {22, "555555123", true}, {22, "555556123", false}, {22, "55555512", false},
    // LDT 3.2: months or a range of months; an HPV type or a group of types
    {23, "2", true}, {23, "12", true}, {23, "3-6", true}, {23, "3-12", true}, {23, "10-12", true},
    {23, "123", false}, {23, "10-2", false}, {23, "3-", false}, {23, "-6", false}, {23, "3-6-9", false},
    {23, "a", false}, {23, "", false},
    {24, "18", true}, {24, "31/33", true}, {24, "31_33", true}, {24, "G1:31/33/52/58", true}, {24, "HPV16", true},
    {24, "G1:31", false}, {24, ":31/33", false}, {24, "31/", false}, {24, "31//33", false}, {24, "G1:", false},
    {24, "3 1", false}, {24, "G:1:31/33", false}, {24, "", false},
    // No rule, unknown rules
    {0, "", true}, {0, "anything", true}, {25, "12", false}, {-1, "12", false},
};

INSTANTIATE_TEST_SUITE_P(Examples, FRegelTable, ::testing::ValuesIn(FCases));

TEST(FRegeln, CharactersOutsideLatin1BelongToNoSet)
{
    // U+0131 and U+FF11 would be 'A'/'1' if only the low byte were looked at.
    EXPECT_FALSE(CheckF008(QStringLiteral("1234") + QChar(0x0141)));
    EXPECT_FALSE(CheckF001(QStringLiteral("1234") + QChar(0xFF11)));
    EXPECT_FALSE(CheckF004(QString(QChar(0x0141)) + QStringLiteral("01")));

    const TCharSet digits = TCharSet::Range('0', '9');
    QString s = QStringLiteral("12") + QChar(0x0131) + QStringLiteral("3");
    QString prefix;
    TakeCharsInSet(s, digits, prefix);
    EXPECT_EQ(prefix, QStringLiteral("12"));
    EXPECT_EQ(s, QString(QChar(0x0131)) + QStringLiteral("3"));
}

TEST(FRegeln, TakeCharsInSetCutsLongestRun)
{
    const TCharSet set("ab");
    QString s = QStringLiteral("abbaXab");
    QString prefix;
    TakeCharsInSet(s, set, prefix);
    EXPECT_EQ(prefix, QStringLiteral("abba"));
    EXPECT_EQ(s, QStringLiteral("Xab"));
    TakeCharsInSet(s, set, prefix); // no leading run: empty prefix, S unchanged
    EXPECT_TRUE(prefix.isEmpty());
    EXPECT_EQ(s, QStringLiteral("Xab"));
    QString all = QStringLiteral("ab");
    TakeCharsInSet(all, set, prefix);
    EXPECT_EQ(prefix, QStringLiteral("ab"));
    EXPECT_TRUE(all.isEmpty());
}

TEST(FRegeln, RegionCodes)
{
    QStringList codes;
    for (int kk = 0; kk <= 99; ++kk) {
        const QString s = QStringLiteral("%1").arg(kk, 2, 10, QLatin1Char('0'));
        if (IsFRegelRegionCode(s))
            codes << s;
    }
    EXPECT_EQ(codes.size(), 76);
    for (const char *c : {"01", "03", "06", "21", "31", "37", "73", "81", "83", "88", "93", "96", "98", "99"})
        EXPECT_TRUE(codes.contains(QLatin1String(c))) << c;
    for (const char *c : {"00", "04", "05", "22", "23", "26", "29", "36", "74", "77", "82", "84", "89", "90",
                          "91", "92", "97"})
        EXPECT_FALSE(codes.contains(QLatin1String(c))) << c;
    EXPECT_FALSE(IsFRegelRegionCode(QStringLiteral("1")));
    EXPECT_FALSE(IsFRegelRegionCode(QStringLiteral("001")));

    // F010 and F021 agree on the region set.
    for (int kk = 1; kk <= 99; ++kk) {
        const QString s = QStringLiteral("%1").arg(kk, 2, 10, QLatin1Char('0'));
        EXPECT_EQ(CheckF010(s + QStringLiteral("1234500")), IsFRegelRegionCode(s)) << kk;
        EXPECT_EQ(CheckF021(QStringLiteral("35") + s + QStringLiteral("12345")), IsFRegelRegionCode(s)) << kk;
    }
}

TEST(FRegeln, CheckDigitsOfAllSixDigitBodies)
{
    // For every body exactly one check digit makes F011 and F014 valid, and it
    // is the same digit for both rules.
    for (int body : {0, 1, 123456, 999998, 500000, 48213}) {
        const QString b = QStringLiteral("%1").arg(body, 6, 10, QLatin1Char('0'));
        int validF011 = 0, validF014 = 0, digitF011 = -1, digitF014 = -1;
        for (int d = 0; d <= 9; ++d) {
            if (CheckF011(b + QString::number(d) + QStringLiteral("12"))) {
                ++validF011;
                digitF011 = d;
            }
            if (CheckF014(QStringLiteral("00") + b + QString::number(d))) {
                ++validF014;
                digitF014 = d;
            }
        }
        EXPECT_EQ(validF011, 1) << body;
        EXPECT_EQ(validF014, 1) << body;
        EXPECT_EQ(digitF011, digitF014) << body;
    }
}

} // namespace
