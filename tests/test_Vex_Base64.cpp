#include "Vex_Base64.h"

#include <QBuffer>
#include <QFile>

#include <gtest/gtest.h>

#include <random>

#include "TestUtil.h"

namespace {

QByteArray DecodeByteByByte(const QByteArray &AIn)
{
    QByteArray r;
    QBuffer out(&r);
    out.open(QIODevice::WriteOnly);
    TBase64Decoder dec(out);
    for (char c : AIn)
        dec.Feed(&c, 1);
    EXPECT_TRUE(dec.Finish());
    return r;
}

QByteArray DecodeStream(const QByteArray &AIn)
{
    QByteArray src = AIn, r;
    QBuffer in(&src), out(&r);
    in.open(QIODevice::ReadOnly);
    out.open(QIODevice::WriteOnly);
    EXPECT_TRUE(Base64DecodeStream(in, out));
    return r;
}

QByteArray RandomBytes(std::mt19937 &ARng, qsizetype N)
{
    QByteArray b(N, Qt::Uninitialized);
    for (char &c : b)
        c = char(ARng());
    return b;
}

// Accepts a limited number of bytes, then refuses, like a full disk.
class TLimitedDevice : public QIODevice
{
public:
    explicit TLimitedDevice(qint64 ALimit) : FLimit(ALimit) { open(QIODevice::WriteOnly); }
    qint64 FLimit;

protected:
    qint64 readData(char *, qint64) override { return -1; }
    qint64 writeData(const char *, qint64 ALen) override
    {
        if (ALen > FLimit)
            return -1;
        FLimit -= ALen;
        return ALen;
    }
};

} // namespace

TEST(Base64, DecodesTextsWithSkippedCharactersAndRemainders)
{
    struct Case { QByteArray In, Out; } cases[] = {
        // RFC 4648 test vectors
        {"", ""},
        {"Zg==", "f"},
        {"Zm8=", "fo"},
        {"Zm9v", "foo"},
        {"Zm9vYg==", "foob"},
        {"Zm9vYmE=", "fooba"},
        {"Zm9vYmFy", "foobar"},
        // remainders without padding: 3 -> 2 bytes, 2 -> 1 byte, 1 -> nothing
        {"Zm9vYmE", "fooba"},
        {"Zm9vYg", "foob"},
        {"Zm9vY", "foo"},
        {"Z", ""},
        // everything outside the alphabet is skipped, "=" in the middle too
        {"Zm9v\r\nYmFy\r\n", "foobar"},
        {"Z=m9v", "foo"},
        {" Z m 9 v ", "foo"},
        {QByteArray("Zm9v\x00\xff\x80-_!YmFy", 14), "foobar"},
        {"====", ""},
        {"+/+/", "\xfb\xff\xbf"},
        {"////", "\xff\xff\xff"},
        {"AAAA", QByteArray(3, '\0')},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.In.toStdString());
        EXPECT_EQ(Base64Decode(c.In), c.Out);
        EXPECT_EQ(DecodeByteByByte(c.In), c.Out);
        EXPECT_EQ(DecodeStream(c.In), c.Out);
    }
}

TEST(Base64, RoundTripOfRandomDataInAnyPieces)
{
    std::mt19937 rng(5);
    for (qsizetype len : {qsizetype(1), qsizetype(2), qsizetype(3), qsizetype(2051), qsizetype(2052),
                          qsizetype(49151), qsizetype(49152), qsizetype(49153), qsizetype(3000001)}) {
        SCOPED_TRACE(len);
        const QByteArray data = RandomBytes(rng, len);
        // Lines of 76 characters with CR LF, as attachment lines are cut.
        QByteArray enc = data.toBase64();
        QByteArray lines;
        for (qsizetype i = 0; i < enc.size(); i += 76)
            lines += enc.mid(i, 76) + "\r\n";
        ASSERT_EQ(DecodeStream(lines), data);

        // Fed in random pieces straight from the buffer.
        QByteArray r;
        QBuffer out(&r);
        out.open(QIODevice::WriteOnly);
        TBase64Decoder dec(out);
        qsizetype pos = 0;
        while (pos < lines.size()) {
            const qsizetype n = std::min<qsizetype>(lines.size() - pos, rng() % 200);
            ASSERT_TRUE(dec.Feed(lines.constData() + pos, n));
            pos += n;
        }
        ASSERT_TRUE(dec.Finish());
        EXPECT_EQ(dec.BytesWritten(), len);
        ASSERT_EQ(r, data);
    }
}

TEST(Base64, ReportsWriteFailures)
{
    std::mt19937 rng(8);
    const QByteArray enc = RandomBytes(rng, 200000).toBase64();
    for (qint64 limit : {qint64(0), qint64(1000), qint64(149999)}) {
        SCOPED_TRACE(limit);
        TLimitedDevice dev(limit);
        TBase64Decoder dec(dev);
        dec.Feed(enc.constData(), enc.size());
        EXPECT_FALSE(dec.Finish());
        EXPECT_TRUE(dec.Failed());
        EXPECT_LE(dec.BytesWritten(), limit);
    }
    {
        // Small output that fits the device: success.
        TLimitedDevice dev(3);
        TBase64Decoder dec(dev);
        dec.Feed("Zm9v", 4);
        EXPECT_TRUE(dec.Finish());
    }
    {
        // A stream whose output device is not writable.
        QByteArray src("Zm9vYmFy"), dst;
        QBuffer in(&src), out(&dst);
        in.open(QIODevice::ReadOnly);
        out.open(QIODevice::ReadOnly);
        EXPECT_FALSE(Base64DecodeStream(in, out));
    }
    {
        // An input device that cannot be read.
        QByteArray dst;
        QBuffer in, out(&dst);
        out.open(QIODevice::WriteOnly);
        EXPECT_FALSE(Base64DecodeStream(in, out));
    }
}

TEST(Base64, FullDiskIsNotSuccess)
{
    QFile full(QStringLiteral("/dev/full"));
    if (!full.open(QIODevice::WriteOnly))
        GTEST_SKIP() << "no /dev/full";
    // Less than the file's own write buffer: the failure shows only on flush.
    QByteArray src("Zm9vYmFy"), enc = src;
    QBuffer in(&enc);
    in.open(QIODevice::ReadOnly);
    EXPECT_FALSE(Base64DecodeStream(in, full));
}
