#include "Vex_SHA1.h"

#include <algorithm>
#include <cstring>

#if defined(__x86_64__) || defined(__i386__)
#include <cpuid.h>
#include <immintrin.h>
#define VEX_SHA1_X86 1
#endif

namespace {

inline uint32_t Rol(uint32_t x, int n) { return (x << n) | (x >> (32 - n)); }

inline uint32_t Be32(const uint8_t *p)
{
    return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | uint32_t(p[3]);
}

void BlocksPortable(uint32_t AState[5], const uint8_t *AData, size_t ABlocks)
{
    for (; ABlocks; --ABlocks, AData += 64) {
        uint32_t w[16];
        for (int i = 0; i < 16; ++i)
            w[i] = Be32(AData + 4 * i);
        uint32_t a = AState[0], b = AState[1], c = AState[2], d = AState[3], e = AState[4];
        for (int t = 0; t < 80; ++t) {
            uint32_t wt;
            if (t < 16) {
                wt = w[t];
            } else {
                wt = Rol(w[(t + 13) & 15] ^ w[(t + 8) & 15] ^ w[(t + 2) & 15] ^ w[t & 15], 1);
                w[t & 15] = wt;
            }
            uint32_t f, k;
            if (t < 20) {
                f = (b & c) | (~b & d);
                k = 0x5A827999;
            } else if (t < 40) {
                f = b ^ c ^ d;
                k = 0x6ED9EBA1;
            } else if (t < 60) {
                f = (b & c) | (b & d) | (c & d);
                k = 0x8F1BBCDC;
            } else {
                f = b ^ c ^ d;
                k = 0xCA62C1D6;
            }
            const uint32_t tmp = Rol(a, 5) + f + e + k + wt;
            e = d;
            d = c;
            c = Rol(b, 30);
            b = a;
            a = tmp;
        }
        AState[0] += a;
        AState[1] += b;
        AState[2] += c;
        AState[3] += d;
        AState[4] += e;
    }
}

#ifdef VEX_SHA1_X86
// Four rounds per sha1rnds4; the message schedule runs three groups ahead.
__attribute__((target("sha,sse4.1")))
void BlocksSHANI(uint32_t AState[5], const uint8_t *AData, size_t ABlocks)
{
    const __m128i cMask = _mm_set_epi64x(0x0001020304050607LL, 0x08090a0b0c0d0e0fLL);
    __m128i abcd = _mm_shuffle_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i *>(AState)), 0x1B);
    __m128i E0 = _mm_set_epi32(int(AState[4]), 0, 0, 0);
    __m128i E1, M0, M1, M2, M3;
    for (; ABlocks; --ABlocks, AData += 64) {
        const __m128i abcdSave = abcd;
        const __m128i e0Save = E0;
        // rounds 0-3
        M0 = _mm_shuffle_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i *>(AData + 0)), cMask);
        E0 = _mm_add_epi32(E0, M0);
        E1 = abcd;
        abcd = _mm_sha1rnds4_epu32(abcd, E0, 0);
        // rounds 4-7
        M1 = _mm_shuffle_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i *>(AData + 16)), cMask);
        E1 = _mm_sha1nexte_epu32(E1, M1);
        E0 = abcd;
        abcd = _mm_sha1rnds4_epu32(abcd, E1, 0);
        M0 = _mm_sha1msg1_epu32(M0, M1);
        // rounds 8-11
        M2 = _mm_shuffle_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i *>(AData + 32)), cMask);
        E0 = _mm_sha1nexte_epu32(E0, M2);
        E1 = abcd;
        abcd = _mm_sha1rnds4_epu32(abcd, E0, 0);
        M1 = _mm_sha1msg1_epu32(M1, M2);
        M0 = _mm_xor_si128(M0, M2);
        // rounds 12-15
        M3 = _mm_shuffle_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i *>(AData + 48)), cMask);
        E1 = _mm_sha1nexte_epu32(E1, M3);
        E0 = abcd;
        M0 = _mm_sha1msg2_epu32(M0, M3);
        abcd = _mm_sha1rnds4_epu32(abcd, E1, 0);
        M2 = _mm_sha1msg1_epu32(M2, M3);
        M1 = _mm_xor_si128(M1, M3);
        // rounds 16-19
        E0 = _mm_sha1nexte_epu32(E0, M0);
        E1 = abcd;
        M1 = _mm_sha1msg2_epu32(M1, M0);
        abcd = _mm_sha1rnds4_epu32(abcd, E0, 0);
        M3 = _mm_sha1msg1_epu32(M3, M0);
        M2 = _mm_xor_si128(M2, M0);
        // rounds 20-23
        E1 = _mm_sha1nexte_epu32(E1, M1);
        E0 = abcd;
        M2 = _mm_sha1msg2_epu32(M2, M1);
        abcd = _mm_sha1rnds4_epu32(abcd, E1, 1);
        M0 = _mm_sha1msg1_epu32(M0, M1);
        M3 = _mm_xor_si128(M3, M1);
        // rounds 24-27
        E0 = _mm_sha1nexte_epu32(E0, M2);
        E1 = abcd;
        M3 = _mm_sha1msg2_epu32(M3, M2);
        abcd = _mm_sha1rnds4_epu32(abcd, E0, 1);
        M1 = _mm_sha1msg1_epu32(M1, M2);
        M0 = _mm_xor_si128(M0, M2);
        // rounds 28-31
        E1 = _mm_sha1nexte_epu32(E1, M3);
        E0 = abcd;
        M0 = _mm_sha1msg2_epu32(M0, M3);
        abcd = _mm_sha1rnds4_epu32(abcd, E1, 1);
        M2 = _mm_sha1msg1_epu32(M2, M3);
        M1 = _mm_xor_si128(M1, M3);
        // rounds 32-35
        E0 = _mm_sha1nexte_epu32(E0, M0);
        E1 = abcd;
        M1 = _mm_sha1msg2_epu32(M1, M0);
        abcd = _mm_sha1rnds4_epu32(abcd, E0, 1);
        M3 = _mm_sha1msg1_epu32(M3, M0);
        M2 = _mm_xor_si128(M2, M0);
        // rounds 36-39
        E1 = _mm_sha1nexte_epu32(E1, M1);
        E0 = abcd;
        M2 = _mm_sha1msg2_epu32(M2, M1);
        abcd = _mm_sha1rnds4_epu32(abcd, E1, 1);
        M0 = _mm_sha1msg1_epu32(M0, M1);
        M3 = _mm_xor_si128(M3, M1);
        // rounds 40-43
        E0 = _mm_sha1nexte_epu32(E0, M2);
        E1 = abcd;
        M3 = _mm_sha1msg2_epu32(M3, M2);
        abcd = _mm_sha1rnds4_epu32(abcd, E0, 2);
        M1 = _mm_sha1msg1_epu32(M1, M2);
        M0 = _mm_xor_si128(M0, M2);
        // rounds 44-47
        E1 = _mm_sha1nexte_epu32(E1, M3);
        E0 = abcd;
        M0 = _mm_sha1msg2_epu32(M0, M3);
        abcd = _mm_sha1rnds4_epu32(abcd, E1, 2);
        M2 = _mm_sha1msg1_epu32(M2, M3);
        M1 = _mm_xor_si128(M1, M3);
        // rounds 48-51
        E0 = _mm_sha1nexte_epu32(E0, M0);
        E1 = abcd;
        M1 = _mm_sha1msg2_epu32(M1, M0);
        abcd = _mm_sha1rnds4_epu32(abcd, E0, 2);
        M3 = _mm_sha1msg1_epu32(M3, M0);
        M2 = _mm_xor_si128(M2, M0);
        // rounds 52-55
        E1 = _mm_sha1nexte_epu32(E1, M1);
        E0 = abcd;
        M2 = _mm_sha1msg2_epu32(M2, M1);
        abcd = _mm_sha1rnds4_epu32(abcd, E1, 2);
        M0 = _mm_sha1msg1_epu32(M0, M1);
        M3 = _mm_xor_si128(M3, M1);
        // rounds 56-59
        E0 = _mm_sha1nexte_epu32(E0, M2);
        E1 = abcd;
        M3 = _mm_sha1msg2_epu32(M3, M2);
        abcd = _mm_sha1rnds4_epu32(abcd, E0, 2);
        M1 = _mm_sha1msg1_epu32(M1, M2);
        M0 = _mm_xor_si128(M0, M2);
        // rounds 60-63
        E1 = _mm_sha1nexte_epu32(E1, M3);
        E0 = abcd;
        M0 = _mm_sha1msg2_epu32(M0, M3);
        abcd = _mm_sha1rnds4_epu32(abcd, E1, 3);
        M2 = _mm_sha1msg1_epu32(M2, M3);
        M1 = _mm_xor_si128(M1, M3);
        // rounds 64-67
        E0 = _mm_sha1nexte_epu32(E0, M0);
        E1 = abcd;
        M1 = _mm_sha1msg2_epu32(M1, M0);
        abcd = _mm_sha1rnds4_epu32(abcd, E0, 3);
        M3 = _mm_sha1msg1_epu32(M3, M0);
        M2 = _mm_xor_si128(M2, M0);
        // rounds 68-71
        E1 = _mm_sha1nexte_epu32(E1, M1);
        E0 = abcd;
        M2 = _mm_sha1msg2_epu32(M2, M1);
        abcd = _mm_sha1rnds4_epu32(abcd, E1, 3);
        M3 = _mm_xor_si128(M3, M1);
        // rounds 72-75
        E0 = _mm_sha1nexte_epu32(E0, M2);
        E1 = abcd;
        M3 = _mm_sha1msg2_epu32(M3, M2);
        abcd = _mm_sha1rnds4_epu32(abcd, E0, 3);
        // rounds 76-79
        E1 = _mm_sha1nexte_epu32(E1, M3);
        E0 = abcd;
        abcd = _mm_sha1rnds4_epu32(abcd, E1, 3);
        E0 = _mm_sha1nexte_epu32(E0, e0Save);
        abcd = _mm_add_epi32(abcd, abcdSave);
    }
    _mm_storeu_si128(reinterpret_cast<__m128i *>(AState), _mm_shuffle_epi32(abcd, 0x1B));
    AState[4] = uint32_t(_mm_extract_epi32(E0, 3));
}
#endif

} // namespace

bool TSHA1::HardwareAvailable()
{
#ifdef VEX_SHA1_X86
    // CPUID leaf 7: EBX bit 29 = SHA; leaf 1: ECX bit 19 = SSE4.1
    static const bool has = [] {
        unsigned a = 0, b = 0, c = 0, d = 0;
        if (!__get_cpuid(1, &a, &b, &c, &d) || !(c & (1u << 19)))
            return false;
        if (!__get_cpuid_count(7, 0, &a, &b, &c, &d))
            return false;
        return (b & (1u << 29)) != 0;
    }();
    return has;
#else
    return false;
#endif
}

TSHA1::TSHA1(TImpl AImpl) : FBlocks(BlocksPortable)
{
#ifdef VEX_SHA1_X86
    if (AImpl == shaAuto && HardwareAvailable())
        FBlocks = BlocksSHANI;
#else
    (void)AImpl;
#endif
    Init();
}

bool TSHA1::UsesHardware() const
{
    return FBlocks != BlocksPortable;
}

void TSHA1::Init()
{
    FState[0] = 0x67452301;
    FState[1] = 0xEFCDAB89;
    FState[2] = 0x98BADCFE;
    FState[3] = 0x10325476;
    FState[4] = 0xC3D2E1F0;
    FLength = 0;
    FBufLen = 0;
}

void TSHA1::Update(const void *AData, qsizetype ALen)
{
    if (ALen <= 0)
        return;
    const uint8_t *p = static_cast<const uint8_t *>(AData);
    size_t n = size_t(ALen);
    FLength += n;
    if (FBufLen) {
        const size_t take = std::min(n, sizeof(FBuffer) - FBufLen);
        std::memcpy(FBuffer + FBufLen, p, take);
        FBufLen += take;
        p += take;
        n -= take;
        if (FBufLen < sizeof(FBuffer))
            return;
        FBlocks(FState, FBuffer, 1);
        FBufLen = 0;
    }
    if (n >= 64) {
        FBlocks(FState, p, n / 64);
        p += n & ~size_t(63);
        n &= 63;
    }
    if (n) {
        std::memcpy(FBuffer, p, n);
        FBufLen = n;
    }
}

TSHA1::TDigest TSHA1::Final()
{
    const uint64_t bits = FLength * 8;
    FBuffer[FBufLen++] = 0x80;
    if (FBufLen > 56) {
        std::memset(FBuffer + FBufLen, 0, 64 - FBufLen);
        FBlocks(FState, FBuffer, 1);
        FBufLen = 0;
    }
    std::memset(FBuffer + FBufLen, 0, 56 - FBufLen);
    for (int i = 0; i < 8; ++i)
        FBuffer[56 + i] = uint8_t(bits >> (56 - 8 * i));
    FBlocks(FState, FBuffer, 1);
    TDigest d;
    for (int i = 0; i < 5; ++i) {
        d[4 * i] = uint8_t(FState[i] >> 24);
        d[4 * i + 1] = uint8_t(FState[i] >> 16);
        d[4 * i + 2] = uint8_t(FState[i] >> 8);
        d[4 * i + 3] = uint8_t(FState[i]);
    }
    Init();
    return d;
}

TSHA1::TDigest TSHA1::Hash(const void *AData, qsizetype ALen, TImpl AImpl)
{
    TSHA1 h(AImpl);
    h.Update(AData, ALen);
    return h.Final();
}

QString TSHA1::ToHex(const TDigest &ADigest)
{
    static const char cHex[] = "0123456789abcdef";
    QString r(40, Qt::Uninitialized);
    QChar *p = r.data();
    for (uint8_t b : ADigest) {
        *p++ = QLatin1Char(cHex[b >> 4]);
        *p++ = QLatin1Char(cHex[b & 15]);
    }
    return r;
}
