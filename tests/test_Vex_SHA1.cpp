#include "Vex_SHA1.h"
#include "Vex_SHA1Prefix.h"

#include <QCryptographicHash>

#include <gtest/gtest.h>

#include <random>

#include "TestUtil.h"

namespace {

QByteArray RandomBytes(std::mt19937 &ARng, qsizetype N)
{
    QByteArray b(N, Qt::Uninitialized);
    for (char &c : b)
        c = char(ARng());
    return b;
}

QString QtSha1(const QByteArray &A)
{
    return QString::fromLatin1(QCryptographicHash::hash(A, QCryptographicHash::Sha1).toHex());
}

// Both code paths; the hardware one only where the CPU has it.
std::vector<TSHA1::TImpl> Impls()
{
    std::vector<TSHA1::TImpl> r{TSHA1::shaPortable};
    if (TSHA1::HardwareAvailable())
        r.push_back(TSHA1::shaAuto);
    return r;
}

} // namespace

TEST(SHA1, ImplementationSelection)
{
    EXPECT_FALSE(TSHA1(TSHA1::shaPortable).UsesHardware());
    EXPECT_EQ(TSHA1().UsesHardware(), TSHA1::HardwareAvailable());
    if (!TSHA1::HardwareAvailable())
        GTEST_SKIP() << "CPU without SHA instructions: only the portable code is tested";
}

TEST(SHA1, FipsVectors)
{
    struct Case { QByteArray Msg; int Repeat; const char *Hex; } cases[] = {
        {"abc", 1, "a9993e364706816aba3e25717850c26c9cd0d89d"},
        {"", 1, "da39a3ee5e6b4b0d3255bfef95601890afd80709"},
        {"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq", 1, "84983e441c3bd26ebaae4aa1f95129e5e54670f1"},
        {"a", 1000000, "34aa973cd4c4daa4f61eeb2bdbad27316534016f"},
        {"abcdefghbcdefghicdefghijdefghijkefghijklfghijklmghijklmnhijklmnoijklmnopjklmnopqklmnopqrlmnopqrsmnopqrstnopqrstu",
         1, "a49b2446a02c645bf419f995b67091253a04a259"},
    };
    for (TSHA1::TImpl impl : Impls()) {
        for (const Case &c : cases) {
            SCOPED_TRACE(c.Hex);
            SCOPED_TRACE(int(impl));
            TSHA1 h(impl);
            if (c.Repeat == 1) {
                h.Update(c.Msg.constData(), c.Msg.size());
            } else {
                const QByteArray chunk = c.Msg.repeated(1000);
                for (int i = 0; i < c.Repeat / 1000; ++i)
                    h.Update(chunk.constData(), chunk.size());
            }
            EXPECT_EQ(TSHA1::ToHex(h.Final()), QString::fromLatin1(c.Hex));
        }
    }
}

TEST(SHA1, MatchesQtOnBoundaryAndRandomLengths)
{
    std::mt19937 rng(1234);
    std::vector<qsizetype> lengths{0, 1, 55, 56, 63, 64, 65, 119, 120, 127, 128, 129, 191, 192};
    std::uniform_int_distribution<qsizetype> lenDist(0, 100 * 1024);
    for (int i = 0; i < 60; ++i)
        lengths.push_back(lenDist(rng));
    for (qsizetype len : lengths) {
        SCOPED_TRACE(len);
        const QByteArray data = RandomBytes(rng, len);
        const QString expected = QtSha1(data);
        for (TSHA1::TImpl impl : Impls())
            ASSERT_EQ(TSHA1::ToHex(TSHA1::Hash(data.constData(), data.size(), impl)), expected) << int(impl);
    }
}

TEST(SHA1, ChunkedFeedingGivesTheSameDigest)
{
    std::mt19937 rng(99);
    for (int round = 0; round < 40; ++round) {
        const QByteArray data = RandomBytes(rng, qsizetype(rng() % 20000));
        const QString expected = QtSha1(data);
        for (TSHA1::TImpl impl : Impls()) {
            TSHA1 h(impl);
            qsizetype pos = 0;
            while (pos < data.size()) {
                // Mostly small pieces that straddle block boundaries, some large.
                const qsizetype n = std::min<qsizetype>(data.size() - pos, rng() % 8 ? rng() % 70 : rng() % 5000);
                h.Update(data.constData() + pos, n);
                pos += n;
            }
            ASSERT_EQ(TSHA1::ToHex(h.Final()), expected) << "round " << round << " impl " << int(impl);
        }
    }
}

TEST(SHA1, ObjectIsReusableAfterFinal)
{
    TSHA1 h;
    h.Update("xyz", 3);
    (void)h.Final();
    h.Update("abc", 3);
    EXPECT_EQ(TSHA1::ToHex(h.Final()), QStringLiteral("a9993e364706816aba3e25717850c26c9cd0d89d"));
    h.Update("abc", -5); // negative length: nothing hashed
    EXPECT_EQ(TSHA1::ToHex(h.Final()), QStringLiteral("da39a3ee5e6b4b0d3255bfef95601890afd80709"));
    EXPECT_EQ(TSHA1::HashHex("abc", 3), QStringLiteral("a9993e364706816aba3e25717850c26c9cd0d89d"));
}

TEST(SHA1, PrefixDigestsAgreeWithOnePass)
{
    const qint64 step = TSHA1PrefixHasher::kStep;
    std::mt19937 rng(7);
    // 200 KB stays without the thread; 6 MB + 5 is hashed ahead on it.
    for (qint64 size : {qint64(200000), 6 * step + 5}) {
        SCOPED_TRACE(size);
        QByteArray data(size, Qt::Uninitialized);
        for (char &c : data)
            c = char(rng());
        const auto *p = reinterpret_cast<const uint8_t *>(data.constData());
        TSHA1PrefixHasher hasher(p, size);
        // In rising order (as a reader asks), then a smaller one again.
        for (qint64 len : {qint64(0), qint64(1), step - 1, step, step + 1, 5 * step + 17, size - 1, size, qint64(3)}) {
            if (len > size)
                continue;
            ASSERT_EQ(TSHA1::ToHex(hasher.Digest(len)), TSHA1::HashHex(p, len)) << len;
        }
    }
}

TEST(SHA1, PrefixHasherStopsWhenDestroyedEarly)
{
    QByteArray data(64 * TSHA1PrefixHasher::kStep, 'x');
    for (int i = 0; i < 5; ++i)
        TSHA1PrefixHasher(reinterpret_cast<const uint8_t *>(data.constData()), data.size());
}
