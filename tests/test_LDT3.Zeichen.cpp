#include "LDT3.Zeichen.h"

#include "TestUtil.h"

#include <algorithm>

TEST(LDT3Zeichen, EightSpecialBytesMapBothWays)
{
    const struct { uchar b; char16_t c; } special[] = {
        {0xA4, 0x20AC}, {0xA6, 0x0160}, {0xA8, 0x0161}, {0xB4, 0x017D},
        {0xB8, 0x017E}, {0xBC, 0x0152}, {0xBD, 0x0153}, {0xBE, 0x0178},
    };
    for (const auto &s : special) {
        EXPECT_EQ(LDT3BytesToStr(&s.b, 1, QChar(0)), QString(QChar(s.c)));
        EXPECT_EQ(LDT3CharToByte(QChar(s.c), 0), s.b);
        // the Latin-1 code point the byte used to stand for is outside the set
        EXPECT_EQ(LDT3CharToByte(QChar(char16_t(s.b)), '?'), uchar('?'));
        EXPECT_FALSE(LDT3StrAllowed(QString(QChar(char16_t(s.b))), false));
    }
}

TEST(LDT3Zeichen, EveryByteRoundTripsOrIsOutside)
{
    for (int b = 0; b < 256; ++b) {
        const uchar byte = uchar(b);
        const bool allowed = (b >= 0x20 && b <= 0x7F) || b >= 0xA1;
        EXPECT_EQ(LDT3BytesAllowed(&byte, 1, false), allowed) << b;
        const QString s = LDT3BytesToStr(&byte, 1, QChar(0));
        ASSERT_EQ(s.size(), 1);
        if (allowed) {
            EXPECT_EQ(LDT3CharToByte(s[0], 0), byte) << b;
            EXPECT_TRUE(LDT3StrAllowed(s, false)) << b;
        } else if (b != 0x0D && b != 0x0A) {
            EXPECT_EQ(s[0], QChar(0)) << b;
        }
    }
}

TEST(LDT3Zeichen, LineEndsOnlyWhereAllowed)
{
    const QByteArray crlf("01380001\r\n");
    const auto *p = reinterpret_cast<const uchar *>(crlf.constData());
    EXPECT_FALSE(LDT3BytesAllowed(p, crlf.size(), false));
    EXPECT_TRUE(LDT3BytesAllowed(p, crlf.size(), true));
    const QByteArray tab("a\tb");
    EXPECT_FALSE(LDT3BytesAllowed(reinterpret_cast<const uchar *>(tab.constData()), 3, true));
    EXPECT_TRUE(LDT3BytesAllowed(p, 0, false));
    EXPECT_FALSE(LDT3BytesAllowed(p, -1, true));
    EXPECT_FALSE(LDT3StrAllowed(QString(), true));
    EXPECT_TRUE(LDT3StrAllowed(QStringLiteral("a\r\n"), true));
    EXPECT_FALSE(LDT3StrAllowed(QStringLiteral("a\r\n"), false));
    EXPECT_EQ(LDT3CharToByte(QChar(0x0D), 0), 0x0D);
}

TEST(LDT3Zeichen, ConversionsKeepLength)
{
    const uchar bytes[] = {'a', 0x00, 0xA4, 0x80, 'z'};
    const QString s = LDT3BytesToStr(bytes, 5, QChar(0));
    EXPECT_EQ(s, QString::fromUtf16(u"a\u0000\u20AC\u0000z", 5));
    EXPECT_EQ(LDT3StrToBytes(QString::fromUtf16(u"\u20ACx\u00A0\u4E2D"), 0), QByteArray("\xA4x\0\0", 4));
    EXPECT_EQ(LDT3StrToBytes(QString(), 0), QByteArray());
    EXPECT_EQ(LDT3BytesToStr(bytes, 0, QChar(0)), QString());
}

// The block masks, with the vector unit and without, agree with the byte
// table: every byte value alone at every place of a block, and blocks of
// 64 consecutive values (special bytes next to each other and to others).
TEST(LDT3Zeichen, BlockMasksMatchTheByteTable)
{
    using namespace LDT3Zeichen;
    unsigned char block[64];
    auto check = [&](const char *AWhat, int AV, int AK) {
        for (const TByteMasks m : {ByteMasks64(block), ByteMasks64Portable(block)}) {
            for (int k = 0; k < 64; ++k) {
                const unsigned char b = block[k];
                ASSERT_EQ(bool(m.Special >> k & 1), !ByteAllowed(b)) << AWhat << " " << AV << " " << AK << " " << k;
                ASSERT_EQ(bool(m.Cr >> k & 1), b == 0x0D) << AWhat << " " << AV << " " << AK << " " << k;
                ASSERT_EQ(bool(m.Lf >> k & 1), b == 0x0A) << AWhat << " " << AV << " " << AK << " " << k;
            }
        }
    };
    for (int v = 0; v < 256; ++v) {
        for (int k = 0; k < 64; ++k) {
            std::fill(std::begin(block), std::end(block), 'A');
            block[k] = static_cast<unsigned char>(v);
            check("alone", v, k);
        }
    }
    for (int start = 0; start < 256; start += 8) {
        for (int k = 0; k < 64; ++k)
            block[k] = static_cast<unsigned char>(start + k);
        check("run", start, 0);
    }
}
