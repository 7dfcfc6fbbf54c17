#include "LDT3.Base.h"

#include "TestUtil.h"

TEST(LDT3Base, FKClassesAtRangeBorders)
{
    struct { int fk; TLDT3::TFKTyp typ; } cases[] = {
        {0, TLDT3::fkt_None}, {1, TLDT3::fkt_XDTVersion}, {8000, TLDT3::fkt_SatzArt},
        {8001, TLDT3::fkt_SatzEnde}, {8002, TLDT3::fkt_ObjektIdent}, {8003, TLDT3::fkt_ObjektEnde},
        {9300, TLDT3::fkt_Pruefsumme}, {6329, TLDT3::fkt_Base64CodierteZeile},
        {8099, TLDT3::fkt_None}, {8100, TLDT3::fkt_ObjektAttribut}, {8299, TLDT3::fkt_ObjektAttribut},
        {8300, TLDT3::fkt_None}, {9999, TLDT3::fkt_None},
    };
    for (const auto &c : cases)
        EXPECT_EQ(TLDT3::GetFKTyp(c.fk), c.typ) << c.fk;
}

TEST(LDT3Base, VersionComparison)
{
    struct { const char *v; bool atLeast312; } cases[] = {
        {"LDT3.1.2", true}, {"LDT3.2.0", true}, {"LDT3.1.3", true}, {"LDT3.1.3.", true},
        {"LDT3.0.9", false}, {"LDT2.9.9", false}, {"LDT3.1", false}, {"LDT3.1.x", false},
        {"LDT3..1.3", false}, {"LDT10.0.0", false}, {"ldt3.1.3", false}, {"", false},
        {"LDT3.1.99999999999999999999", false}, {"LDT4.0.0", true}, {"LDT3.1.2.0", false},
    };
    for (const auto &c : cases)
        EXPECT_EQ(TLDT3::IsLDTVersionOrHigher(QString::fromUtf8(c.v), 3, 1, 2), c.atLeast312) << c.v;
    EXPECT_TRUE(TLDT3::VersionIsLDT(QStringLiteral("LDT")));
    EXPECT_FALSE(TLDT3::VersionIsLDT(QString()));
}

TEST(LDT3Base, NumberTexts)
{
    EXPECT_EQ(TLDT3::IntToStr_LZ(7, 3), QStringLiteral("007"));
    EXPECT_EQ(TLDT3::IntToStr_LZ(12345, 3), QStringLiteral("12345"));
    EXPECT_EQ(TLDT3::IntToFK(1), QStringLiteral("0001"));
    EXPECT_EQ(TLDT3::FKAndPrefix(8000), QStringLiteral("FK 8000"));
    EXPECT_EQ(TLDT3::FKAndPrefix(0), QString());
    EXPECT_EQ(TLDT3::FLFromInhalt(QString()), QStringLiteral("009"));
    EXPECT_EQ(TLDT3::FLFromInhalt(QString(991, QLatin1Char('x'))), QStringLiteral("1000"));
    EXPECT_EQ(TLDT3::IntToTBytes_LZ(42, 3), QByteArray("042"));
}

TEST(LDT3Base, ObjektNumbers)
{
    EXPECT_EQ(TLDT3::GetObjektNumber(QStringLiteral("Obj_0069"), -1), 69);
    EXPECT_EQ(TLDT3::GetObjektNumber(QStringLiteral("Obj_abc"), -1), -1);
    EXPECT_EQ(TLDT3::GetObjektNumber(QStringLiteral("obj_0010"), 5), 5);
    EXPECT_EQ(TLDT3::GetObjektNumber(QStringLiteral("Obj_"), 7), 7);
}

TEST(LDT3Base, DataTypes)
{
    struct { TLDT3::DataTyp t; const char *s; bool ok; } cases[] = {
        {TLDT3::num, "0123", true}, {TLDT3::num, "", false}, {TLDT3::num, "12a", false},
        {TLDT3::f, "1.5", true}, {TLDT3::f, ".", true}, {TLDT3::f, "5.", true}, {TLDT3::f, ".5", true},
        {TLDT3::f, "1.2.3", false}, {TLDT3::f, "-1", false},
        {TLDT3::date, "20230229", true}, {TLDT3::date, "20230231", true}, {TLDT3::date, "00000101", false},
        {TLDT3::date, "20231301", false}, {TLDT3::date, "20231200", false}, {TLDT3::date, "2023120", false},
        {TLDT3::alnum, "Müller €", true}, {TLDT3::alnum, "a\tb", false}, {TLDT3::alnum, "a\r\n", false},
        {TLDT3::alnum, "", false},
    };
    for (const auto &c : cases)
        EXPECT_EQ(TLDT3::CheckDataTyp(c.t, QString::fromUtf8(c.s)), c.ok) << c.s;
    EXPECT_TRUE(TLDT3::Is_zero(QStringLiteral("000")));
    EXPECT_FALSE(TLDT3::Is_zero(QStringLiteral("010")));
}

TEST(LDT3Base, DateAndTimeDisplay)
{
    EXPECT_EQ(TLDT3::LDT3DateToStr(QStringLiteral("20231224")), QStringLiteral("24.12.2023"));
    EXPECT_EQ(TLDT3::LDT3DateToStr(QStringLiteral("2023122")), QString());
    struct { const char *in, *out; } times[] = {
        {"143000", "14:30 Uhr"}, {"143005", "14:30:05 Uhr"}, {"143000120", "14:30:00:120 Uhr"},
        {"143000000", "14:30 Uhr"}, {"143005000", "14:30:05 Uhr"}, {"1430", ""}, {"14300a", ""},
    };
    for (const auto &t : times)
        EXPECT_EQ(TLDT3::LDT3TimeToStr(QString::fromUtf8(t.in)), QString::fromUtf8(t.out)) << t.in;
}

TEST(LDT3Base, FileNameRule)
{
    struct { const char *name; bool ok; } cases[] = {
        {"/tmp/dir/z01abc.LDT", true}, {"Z01.ldt", true}, {"Z01_Befund_1.ldt", true},
        {"Z01-abc.ldt", false}, {"Z0.ldt", false}, {"Z01abc.ldt.bak", false}, {"X01abc.ldt", false},
        {"C:\\daten\\Z01abc.ldt", true}, {"/a.b/Z01ä.ldt", false}, {"Z01 abc.ldt", false},
    };
    for (const auto &c : cases)
        EXPECT_EQ(TLDT3::CheckFileName(QString::fromUtf8(c.name)), c.ok) << c.name;
    EXPECT_FALSE(TLDT3::CheckFileName(QStringLiteral("Z01") + QString(250, QLatin1Char('a')) + QStringLiteral(".ldt")));
}

TEST(LDT3Base, RuleNames)
{
    EXPECT_EQ(ERegelToStr(1), QStringLiteral("E001"));
    EXPECT_EQ(KRegelToStr(123), QStringLiteral("K123"));
    EXPECT_EQ(FRegelToStr(0), QString());
    EXPECT_EQ(ERegelnToStrArray({3, 0, 157}), QStringList({QStringLiteral("E003"), QStringLiteral("E157")}));

    int n = -1;
    EXPECT_TRUE(StrToERegel(QString(), n));
    EXPECT_EQ(n, 0);
    EXPECT_TRUE(StrToFRegel(QStringLiteral("F012"), n));
    EXPECT_EQ(n, 12);
    for (const char *bad : {"K12", "E123", "k123", "K1234", "K12a"}) {
        try {
            StrToKRegel(QString::fromUtf8(bad), n);
            ADD_FAILURE() << bad << " was accepted";
        } catch (const ELDT3Error &e) {
            EXPECT_EQ(e.Message(), QStringLiteral("Fehler: Unglültige Regelangabe: \"%1\"").arg(QString::fromUtf8(bad)));
        }
    }
}
