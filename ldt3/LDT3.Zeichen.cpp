#include "LDT3.Zeichen.h"

#include <QtEndian>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace LDT3Zeichen {

namespace {
constexpr quint64 kOnes = 0x0101010101010101ULL;
constexpr quint64 kHigh = 0x8080808080808080ULL;

// The high bit of every byte of AWord that equals AByte (exact per byte).
inline quint64 BytesEqual(quint64 AWord, unsigned char AByte)
{
    const quint64 x = AWord ^ (kOnes * AByte);
    return ~(((x & ~kHigh) + ~kHigh) | x) & kHigh;
}

// The high bits of the eight bytes as the low eight bits.
inline quint64 Gather(quint64 AHighBits)
{
    return ((AHighBits >> 7) * 0x0102040810204080ULL) >> 56;
}
} // namespace

TByteMasks ByteMasks64Portable(const unsigned char *P)
{
    TByteMasks m{0, 0, 0};
    for (int k = 0; k < 8; ++k) {
        const quint64 w = qFromLittleEndian<quint64>(P + 8 * k);
        // outside the set: low seven bits below 0x20 (adding 0x60 then
        // leaves the high bit clear, and no byte carries into the next), or 0xA0
        const quint64 below = ~((w & ~kHigh) + 0x60 * kOnes) & kHigh;
        m.Special |= Gather(below | BytesEqual(w, 0xA0)) << (8 * k);
        m.Cr |= Gather(BytesEqual(w, 0x0D)) << (8 * k);
        m.Lf |= Gather(BytesEqual(w, 0x0A)) << (8 * k);
    }
    return m;
}

TByteMasks ByteMasks64(const unsigned char *P)
{
#if defined(__SSE2__)
    const __m128i low7 = _mm_set1_epi8(0x7F);
    const __m128i space = _mm_set1_epi8(0x20);
    const __m128i nbsp = _mm_set1_epi8(char(0xA0));
    const __m128i cr = _mm_set1_epi8(0x0D);
    const __m128i lf = _mm_set1_epi8(0x0A);
    TByteMasks m{0, 0, 0};
    for (int k = 0; k < 4; ++k) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i *>(P + 16 * k));
        const __m128i special = _mm_or_si128(_mm_cmplt_epi8(_mm_and_si128(v, low7), space), _mm_cmpeq_epi8(v, nbsp));
        m.Special |= quint64(quint32(_mm_movemask_epi8(special))) << (16 * k);
        m.Cr |= quint64(quint32(_mm_movemask_epi8(_mm_cmpeq_epi8(v, cr)))) << (16 * k);
        m.Lf |= quint64(quint32(_mm_movemask_epi8(_mm_cmpeq_epi8(v, lf)))) << (16 * k);
    }
    return m;
#else
    return ByteMasks64Portable(P);
#endif
}

static constexpr std::array<unsigned char, 256> MakeByteClass()
{
    std::array<unsigned char, 256> t{};
    for (int b = 0; b < 256; ++b) {
        unsigned char c = 0;
        if ((b >= 0x20 && b <= 0x7F) || b >= 0xA1)
            c |= cAllowed;
        if (b == 0x0D || b == 0x0A)
            c |= cLineEnd;
        if (b >= '0' && b <= '9')
            c |= cDigit;
        if ((b >= 0x20 && b <= 0x7E && b != 0x27) || b >= 0xA1)
            c |= cPrintable;
        t[b] = c;
    }
    return t;
}

static constexpr std::array<char16_t, 256> MakeIso885915()
{
    std::array<char16_t, 256> t{};
    for (int b = 0; b < 256; ++b)
        t[b] = char16_t(b);
    t[0xA4] = 0x20AC;
    t[0xA6] = 0x0160;
    t[0xA8] = 0x0161;
    t[0xB4] = 0x017D;
    t[0xB8] = 0x017E;
    t[0xBC] = 0x0152;
    t[0xBD] = 0x0153;
    t[0xBE] = 0x0178;
    return t;
}

extern const std::array<unsigned char, 256> ByteClass = MakeByteClass();
extern const std::array<char16_t, 256> Iso885915 = MakeIso885915();

} // namespace LDT3Zeichen

using namespace LDT3Zeichen;

QString LDT3BytesToStr(const unsigned char *P, qint64 Len, QChar FillChar)
{
    if (Len < 1 || !P)
        return QString();
    QString r(Len, Qt::Uninitialized);
    char16_t *d = reinterpret_cast<char16_t *>(r.data());
    const char16_t fill = FillChar.unicode();
    for (qint64 i = 0; i < Len; ++i) {
        const unsigned char b = P[i];
        d[i] = (ByteClass[b] & (cAllowed | cLineEnd)) ? Iso885915[b] : fill;
    }
    return r;
}

bool LDT3BytesAllowed(const unsigned char *P, qint64 Len, bool AllowCrLf)
{
    if (Len < 0)
        return false;
    const unsigned char mask = AllowCrLf ? (cAllowed | cLineEnd) : cAllowed;
    for (qint64 i = 0; i < Len; ++i)
        if (!(ByteClass[P[i]] & mask))
            return false;
    return true;
}

unsigned char LDT3CharToByte(QChar C, unsigned char Replacement)
{
    const char16_t u = C.unicode();
    if (u == 0x0D || u == 0x0A)
        return static_cast<unsigned char>(u);
    if (u <= 0xFF) {
        // A Latin-1 code point is in the set when its byte is allowed and
        // the byte still means that code point in ISO 8859-15.
        return (ByteAllowed(static_cast<unsigned char>(u)) && Iso885915[u] == u)
                   ? static_cast<unsigned char>(u) : Replacement;
    }
    switch (u) {
    case 0x20AC: return 0xA4;
    case 0x0160: return 0xA6;
    case 0x0161: return 0xA8;
    case 0x017D: return 0xB4;
    case 0x017E: return 0xB8;
    case 0x0152: return 0xBC;
    case 0x0153: return 0xBD;
    case 0x0178: return 0xBE;
    default: return Replacement;
    }
}

static bool CharAllowed(QChar C, bool AllowCrLf)
{
    const char16_t u = C.unicode();
    if (u == 0x0D || u == 0x0A)
        return AllowCrLf;
    // 0 is never an allowed byte, so it serves as the "not in the set" marker
    return LDT3CharToByte(C, 0) != 0;
}

bool LDT3StrAllowed(const QString &S, bool AllowCrLf)
{
    if (S.isEmpty())
        return false;
    for (QChar c : S)
        if (!CharAllowed(c, AllowCrLf))
            return false;
    return true;
}

QByteArray LDT3StrToBytes(const QString &S, unsigned char Replacement)
{
    QByteArray r(S.size(), Qt::Uninitialized);
    for (qsizetype i = 0; i < S.size(); ++i)
        r[i] = char(LDT3CharToByte(S[i], Replacement));
    return r;
}
