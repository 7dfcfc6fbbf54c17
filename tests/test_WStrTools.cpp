#include "WStrTools.h"

#include <QLocale>

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <random>

#include "TestUtil.h"

namespace {

// Comparers and Format read the program's default locale; each test fixes it.
class LocaleGuard
{
public:
    explicit LocaleGuard(const QLocale &ALocale) : FOld(QLocale()) { QLocale::setDefault(ALocale); }
    ~LocaleGuard() { QLocale::setDefault(FOld); }

private:
    QLocale FOld;
};

const QLocale cGerman(QLocale::German, QLocale::Germany);
const QLocale cEnglish(QLocale::English, QLocale::UnitedStates);

} // namespace

TEST(WStrTools, TrimAndCharFunctions)
{
    EXPECT_EQ(TrimBlanks(QStringLiteral("  a b \t ")), QStringLiteral("a b \t"));
    EXPECT_EQ(TrimBlanks(QStringLiteral("   ")), QString());
    EXPECT_EQ(TrimLeftChar(QStringLiteral("000120"), u'0'), QStringLiteral("120"));
    EXPECT_EQ(TrimLeftChar(QStringLiteral("000"), u'0'), QString());

    const TCharSet digits("0123456789");
    const TCharSet withUmlaut = TCharSet("x") + TCharSet::Range(0xE4, 0xE4);
    EXPECT_EQ(TrimCharSet(QStringLiteral("12ab3c45"), digits), QStringLiteral("ab3c"));
    EXPECT_EQ(TrimCharSet(QStringLiteral("\u00e4x\u00e4"), withUmlaut), QString());
    // U+0130 would alias 0x30 ('0') if the high byte were dropped.
    EXPECT_FALSE(digits.Contains(QChar(0x0130)));
    EXPECT_FALSE(AllCharsInSet(QStringLiteral("12\u01303"), digits));
    EXPECT_TRUE(AllCharsInSet(QString(), digits));
    EXPECT_TRUE(AllCharsInSet(QStringLiteral("0815"), digits));
    EXPECT_TRUE(FirstCharInSet(QStringLiteral("1a"), digits));
    EXPECT_FALSE(FirstCharInSet(QString(), digits));
    EXPECT_FALSE(FirstCharInSet(QStringLiteral("a1"), digits));

    EXPECT_EQ(ReplaceChar(QStringLiteral("a.b.c"), u'.', u'/'), QStringLiteral("a/b/c"));
    EXPECT_EQ(FirstCharOr(QString(), u'?'), QChar(u'?'));
    EXPECT_EQ(FirstCharOr(QStringLiteral("xy"), u'?'), QChar(u'x'));
    EXPECT_FALSE(StartsWithStr(QStringLiteral("abc"), QString()));
    EXPECT_TRUE(StartsWithStr(QStringLiteral("abc"), QStringLiteral("ab")));
    EXPECT_FALSE(StartsWithStr(QStringLiteral("abc"), QStringLiteral("AB")));
    EXPECT_FALSE(StartsWithChar(QString(), u'a'));
    EXPECT_TRUE(StartsWithChar(QStringLiteral("abc"), u'a'));
    EXPECT_EQ(RepeatStr(QStringLiteral("ab"), 3), QStringLiteral("ababab"));
    EXPECT_EQ(RepeatStr(QStringLiteral("ab"), 0), QString());
    EXPECT_EQ(RepeatStr(QStringLiteral("ab"), -2), QString());
}

TEST(WStrTools, AddWithSeparator)
{
    QString s;
    AddWithSeparator(s, QStringLiteral(", "), QStringLiteral("   "));
    EXPECT_EQ(s, QString());
    AddWithSeparator(s, QStringLiteral(", "), QStringLiteral(" Mustermann "));
    EXPECT_EQ(s, QStringLiteral("Mustermann"));
    AddWithSeparator(s, QStringLiteral(", "), QStringLiteral("   "));
    EXPECT_EQ(s, QStringLiteral("Mustermann"));
    AddWithSeparator(s, QStringLiteral(", "), QStringLiteral("Max"));
    EXPECT_EQ(s, QStringLiteral("Mustermann, Max"));
}

TEST(WStrTools, SplitStr)
{
    struct Case { const char *S; bool Trim, Skip; QStringList Expected; } cases[] = {
        {"", false, false, {}},
        {"abc", false, false, {"abc"}},
        {".", false, false, {""}},
        {".", false, true, {}},
        {"3..1.", false, false, {"3", "", "1"}},
        {"3..1.", false, true, {"3", "1"}},
        {"a..", false, false, {"a", ""}},
        {" a . b ", false, false, {" a ", " b "}},
        {" a . b ", true, false, {"a", "b"}},
        {"a.  .b", true, false, {"a", "", "b"}},
        {"a.  .b", true, true, {"a", "b"}},
        {"a.  ", true, false, {"a", ""}},
        {"a.  ", true, true, {"a"}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.S);
        SCOPED_TRACE(c.Trim);
        SCOPED_TRACE(c.Skip);
        EXPECT_EQ(SplitStr(QString::fromLatin1(c.S), u'.', c.Trim, c.Skip), c.Expected);
    }
}

TEST(WStrTools, JoinFunctions)
{
    const QStringList items{"a", "", "b", ""};
    EXPECT_EQ(JoinStrings(items, QStringLiteral(", "), true), QStringLiteral("a, , b, "));
    EXPECT_EQ(JoinStrings(items, QStringLiteral(", "), false), QStringLiteral("a, b"));
    EXPECT_EQ(JoinStrings({"", "x"}, QStringLiteral(", "), false), QStringLiteral("x"));
    EXPECT_EQ(JoinStrings({}, QStringLiteral(", "), true), QString());
    EXPECT_EQ(JoinIntegers({1, -20, 300}, QStringLiteral(";")), QStringLiteral("1;-20;300"));
    EXPECT_EQ(JoinIntegers({}, QStringLiteral(";")), QString());
}

TEST(WStrTools, DigitSumAndBytes)
{
    EXPECT_EQ(DigitSum(0), 0);
    EXPECT_EQ(DigitSum(1234), 10);
    EXPECT_EQ(DigitSum(-1234), 10);
    EXPECT_EQ(DigitSum(INT64_MIN), 89); // 9223372036854775808
    EXPECT_EQ(DigitSum(INT64_MAX), 88);

    const char raw[] = "ab\0c";
    EXPECT_EQ(PtrToBytes(raw, 4), QByteArray("ab\0c", 4));
    EXPECT_TRUE(PtrToBytes(raw, -1).isEmpty());
    EXPECT_TRUE(PtrToBytes(raw, 0).isEmpty());
}

TEST(WStrTools, DumpBytes)
{
    const QByteArray line("0138000LDT\r\n");
    EXPECT_EQ(DumpBytes(line.constData(), line.size()), QStringLiteral("'0138000LDT' <CR> <LF>"));

    struct Case { QByteArray Bytes; QString Expected; } cases[] = {
        {QByteArray("a'b"), QStringLiteral("'a' <APOS> 'b'")},
        {QByteArray("\x00\x1f\x7f\xa0", 4), QStringLiteral("<NUL> <US> <DEL> <NBSP>")},
        {QByteArray("\x80\x9f\xa1\xa4\xff"), QStringLiteral("$80 $9F '\u00a1\u00a4\u00ff'")},
        {QByteArray("x\ty"), QStringLiteral("'x' <HT> 'y'")},
        {QByteArray(" "), QStringLiteral("' '")},
        {QByteArray("\x11\x13"), QStringLiteral("<XON> <XOFF>")},
        {QByteArray(), QString()},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.Bytes.toHex().toStdString());
        EXPECT_EQ(DumpBytes(c.Bytes.constData(), c.Bytes.size()), c.Expected);
    }
}

TEST(WStrTools, URLEncodeAndResourceURLs)
{
    EXPECT_EQ(URLEncode(QStringLiteral("aZ09-._")), QStringLiteral("aZ09-._"));
    EXPECT_EQ(URLEncode(QStringLiteral("\u00e4")), QStringLiteral("%E4"));
    EXPECT_EQ(URLEncode(QStringLiteral("a b"), false), QStringLiteral("a%20b"));
    EXPECT_EQ(URLEncode(QStringLiteral("a b"), true), QStringLiteral("a+b"));
    EXPECT_EQ(URLEncode(QStringLiteral("\n/")), QStringLiteral("%0A%2F"));
    EXPECT_EQ(URLEncode(QStringLiteral("\u20ac")), QStringLiteral("%20AC"));

    EXPECT_EQ(ResNameStr(QStringLiteral("ABOUT")), QStringLiteral("ABOUT"));
    EXPECT_EQ(ResNameStr(uint16_t(23)), QStringLiteral("#23"));
    EXPECT_EQ(MakeResURL(QStringLiteral("C:\\Prog\\V x.exe"), QStringLiteral("ABOUT.HTM"), ResNameStr(uint16_t(23))),
              QStringLiteral("res://C%3A%5CProg%5CV%20x.exe/%2323/ABOUT.HTM"));
    EXPECT_EQ(MakeResURL(QStringLiteral("m.dll"), QStringLiteral("X")), QStringLiteral("res://m.dll/X"));
    EXPECT_EQ(MakeResURL(QString(), QStringLiteral("X")), QString());
    EXPECT_EQ(MakeResURL(QStringLiteral("m.dll"), QString()), QString());
    EXPECT_EQ(MakeModuleResURL(QStringLiteral("/opt/v/m.so"), QStringLiteral("X"), QStringLiteral("HTML")),
              QStringLiteral("res://%2Fopt%2Fv%2Fm.so/HTML/X"));
}

TEST(WStrTools, HashLittleReferenceValues)
{
    // Published check values of lookup3.c.
    EXPECT_EQ(HashLittle("", 0, 0), 0xdeadbeefu);
    EXPECT_EQ(HashLittle("", 0, 0xdeadbeef), 0xbd5b7ddeu);
    EXPECT_EQ(HashLittle("Four score and seven years ago", 30, 0), 0x17770551u);
    EXPECT_EQ(HashLittle("Four score and seven years ago", 30, 1), 0xcd628161u);

    // The comparer hashes the UTF-16 code units.
    const QString s = QStringLiteral("Four score");
    EXPECT_EQ(uint32_t(TStrComparer(false).GetHashCode(s)), HashLittle(s.constData(), size_t(s.size()) * 2, 0));
}

TEST(WStrTools, ComparerIsLocaleAware)
{
    LocaleGuard g(cGerman);
    const TStrComparer cs(false);
    const TStrComparer ci = TStrComparer::CreateIgnoreCase();
    // Code-unit order would put "B" before "a" and "ä" after "b".
    EXPECT_EQ(cs.Compare(QStringLiteral("a"), QStringLiteral("B")), -1);
    EXPECT_EQ(cs.Compare(QStringLiteral("\u00e4b"), QStringLiteral("b")), -1);
    EXPECT_EQ(cs.Compare(QStringLiteral("b"), QStringLiteral("\u00e4b")), 1);
    EXPECT_NE(cs.Compare(QStringLiteral("abc"), QStringLiteral("ABC")), 0);
    EXPECT_EQ(ci.Compare(QStringLiteral("abc"), QStringLiteral("ABC")), 0);
    EXPECT_TRUE(ci.Equals(QStringLiteral("Stra\u00dfe"), QStringLiteral("STRA\u00dfE")));
    EXPECT_FALSE(cs.Equals(QStringLiteral("Stra\u00dfe"), QStringLiteral("STRA\u00dfE")));
}

TEST(WStrTools, HashConsistentWithEquality)
{
    LocaleGuard g(cGerman);
    const TStrComparer ci(true);
    const TStrComparer cs(false);
    // Short texts over an alphabet with case pairs, umlauts, sharp s and
    // characters that collations like to ignore.
    const QString alphabet = QStringLiteral("aAbB\u00e4\u00c4\u00df-. \u0000\u00ad0");
    std::mt19937 rng(7);
    QStringList texts;
    for (int i = 0; i < 400; ++i) {
        QString t;
        const int len = int(rng() % 4);
        for (int j = 0; j < len; ++j)
            t += alphabet.at(rng() % alphabet.size());
        texts << t;
    }
    int equalPairs = 0;
    for (const QString &a : texts) {
        for (const QString &b : texts) {
            for (const TStrComparer *c : {&ci, &cs}) {
                const int ab = c->Compare(a, b);
                ASSERT_EQ(ab, -c->Compare(b, a));
                if (ab == 0) {
                    ++equalPairs;
                    ASSERT_EQ(c->GetHashCode(a), c->GetHashCode(b))
                        << a.toStdString() << " / " << b.toStdString() << " ci=" << c->CaseInsensitive();
                }
            }
        }
    }
    EXPECT_GT(equalPairs, 800); // not just the identical pairs
    EXPECT_EQ(ci.GetHashCode(QStringLiteral("AbC")), ci.GetHashCode(QStringLiteral("aBc")));
    EXPECT_NE(cs.GetHashCode(QStringLiteral("AbC")), cs.GetHashCode(QStringLiteral("aBc")));
}

TEST(WStrTools, SplitNaturalKey)
{
    struct Case { QString S; int Pos; int64_t Number; QString Prefix; } cases[] = {
        {QStringLiteral("item10x"), 5, 10, QStringLiteral("item")},
        {QStringLiteral("42"), 1, 42, QString()},
        {QStringLiteral("abc"), 0, 0, QString()},
        {QString(), 0, 0, QString()},
        {QStringLiteral("a2b10"), 2, 2, QStringLiteral("a")},
        {QStringLiteral("x9223372036854775807"), 2, INT64_MAX, QStringLiteral("x")},
        {QStringLiteral("x9223372036854775808"), 2, 0, QStringLiteral("x")},
        {QStringLiteral("x99999999999999999999999"), 2, 0, QStringLiteral("x")},
        {QStringLiteral("\u0663x5"), 3, 5, QStringLiteral("\u0663x")}, // only ASCII digits count
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.S.toStdString());
        int64_t n = -1;
        QString p = QStringLiteral("junk");
        EXPECT_EQ(SplitNaturalKey(c.S, n, p), c.Pos);
        EXPECT_EQ(n, c.Number);
        EXPECT_EQ(p, c.Prefix);
    }
}

TEST(WStrTools, NaturalComparison)
{
    LocaleGuard g(cGerman);
    const TNaturalStrComparer nat(false);
    struct Case { const char *A, *B; int Expected; } cases[] = {
        {"item2", "item10", -1},
        {"item10", "item2", 1},
        {"item10", "item10", 0},
        {"a2b9", "a2b10", 1},   // only the first digit run counts: plain comparison
        {"2", "10", -1},
        {"abc", "abd", -1},     // no digits
        {"abc", "ab1", 1},      // one side without digits: plain comparison
        {"b1", "a2", 1},        // prefix decides before the number
        {"x007", "x7", -1},     // equal numbers: plain comparison
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(std::string(c.A) + " vs " + c.B);
        const QString a = QString::fromLatin1(c.A), b = QString::fromLatin1(c.B);
        EXPECT_EQ(nat.Compare(a, b), c.Expected);
        EXPECT_EQ(NaturalCompareStr(a, b), c.Expected);
    }
    // The case-insensitive natural comparer ignores case in prefixes.
    const TNaturalStrComparer natCi(true);
    EXPECT_EQ(natCi.Compare(QStringLiteral("ITEM2"), QStringLiteral("item10")), -1);
    EXPECT_EQ(natCi.Compare(QStringLiteral("Item2"), QStringLiteral("iTEM2")), 0);

    QStringList l{"E10", "E2", "E1", "E3", "E100", "E20"};
    std::sort(l.begin(), l.end(), nat.Less());
    EXPECT_EQ(l, QStringList({"E1", "E2", "E3", "E10", "E20", "E100"}));
}

TEST(WStrTools, FormatPlaceholders)
{
    LocaleGuard g(cGerman);
    struct Case { QString Fmt; std::initializer_list<TFormatArg> Args; QString Expected; };
    const Case cases[] = {
        {QStringLiteral("%s_Anhang_%d"), {QStringLiteral("Datei"), 3}, QStringLiteral("Datei_Anhang_3")},
        {QStringLiteral("Zeile %d: %s"), {-12, "x\u00e4"}, QStringLiteral("Zeile -12: x\u00e4")},
        {QStringLiteral("%u%%"), {4000000000u}, QStringLiteral("4000000000%")},
        {QStringLiteral("%d"), {1234567}, QStringLiteral("1234567")}, // %d has no separators
        {QStringLiteral("%n"), {1234567}, QStringLiteral("1.234.567")},
        {QStringLiteral("%n"), {-1234}, QStringLiteral("-1.234")},
        {QStringLiteral("%n"), {999}, QStringLiteral("999")},
        {QStringLiteral("%n"), {1234.6}, QStringLiteral("1.235")},
        {QStringLiteral("%.*n"), {2, 1234.5}, QStringLiteral("1.234,50")},
        {QStringLiteral("%.*n MB (%.0n Byte)"), {1, 5.25, qint64(5505024)}, QStringLiteral("5,3 MB (5.505.024 Byte)")},
        {QStringLiteral("%.0n"), {qint64(9007199254740993)}, QStringLiteral("9.007.199.254.740.993")},
        {QStringLiteral("%3d|%-3d|%.3d"), {7, 7, 7}, QStringLiteral("  7|7  |007")},
        {QStringLiteral("%.2s"), {"abc"}, QStringLiteral("ab")},
        {QStringLiteral("%s %s"), {"only"}, QStringLiteral("only %s")}, // missing argument
        {QStringLiteral("100%"), {}, QStringLiteral("100%")},
        {QStringLiteral("%x"), {255}, QStringLiteral("FF")},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.Fmt.toStdString());
        EXPECT_EQ(Format(c.Fmt, c.Args), c.Expected);
    }
}

TEST(WStrTools, FormatFollowsTheLocale)
{
    {
        LocaleGuard g(cEnglish);
        EXPECT_EQ(Format(QStringLiteral("%.*n"), {2, 1234.5}), QStringLiteral("1,234.50"));
        EXPECT_EQ(Format(QStringLiteral("%n"), {1234567}), QStringLiteral("1,234,567"));
    }
    {
        LocaleGuard g(cGerman);
        EXPECT_EQ(Format(QStringLiteral("%.*n"), {2, 1234.5}), QStringLiteral("1.234,50"));
    }
}
