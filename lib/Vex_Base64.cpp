#include "Vex_Base64.h"

#include <QBuffer>
#include <QFileDevice>

#include <array>
#include <cstring>

namespace {

constexpr uint8_t cSkip = 0xFF;

constexpr std::array<uint8_t, 256> MakeTable()
{
    std::array<uint8_t, 256> t{};
    for (auto &v : t)
        v = cSkip;
    const char *alphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    for (uint8_t i = 0; i < 64; ++i)
        t[static_cast<unsigned char>(alphabet[i])] = i;
    return t;
}

constexpr std::array<uint8_t, 256> cDecode = MakeTable();

constexpr qsizetype cInChunk = 2736;

} // namespace

TBase64Decoder::TBase64Decoder(QIODevice &AOut)
    : FOut(AOut), FOutBuf(std::make_unique<uint8_t[]>(cOutSize))
{
}

bool TBase64Decoder::Flush()
{
    if (FOutLen == 0 || FFailed)
        return !FFailed;
    const qint64 n = FOut.write(reinterpret_cast<const char *>(FOutBuf.get()), FOutLen);
    if (n != FOutLen)
        FFailed = true;
    else
        FWritten += n;
    FOutLen = 0;
    return !FFailed;
}

bool TBase64Decoder::Feed(const void *AData, qsizetype ALen)
{
    if (FFailed)
        return false;
    const uint8_t *p = static_cast<const uint8_t *>(AData);
    const uint8_t *const end = p + (ALen > 0 ? ALen : 0);
    uint32_t acc = FAcc;
    int count = FCount;
    uint8_t *out = FOutBuf.get();
    while (p < end) {
        // Room for the bytes a full run of input could still give.
        if (FOutLen > cOutSize - 3 && !Flush())
            return false;
        const uint8_t v = cDecode[*p++];
        if (v == cSkip)
            continue;
        acc = acc << 6 | v;
        if (++count == 4) {
            out[FOutLen] = uint8_t(acc >> 16);
            out[FOutLen + 1] = uint8_t(acc >> 8);
            out[FOutLen + 2] = uint8_t(acc);
            FOutLen += 3;
            acc = 0;
            count = 0;
        }
    }
    FAcc = acc;
    FCount = count;
    return true;
}

bool TBase64Decoder::Finish()
{
    if (FFailed)
        return false;
    if (FOutLen > cOutSize - 3 && !Flush())
        return false;
    uint8_t *out = FOutBuf.get();
    if (FCount == 3) {
        // 18 bits: two bytes and 2 bits of padding
        out[FOutLen++] = uint8_t(FAcc >> 10);
        out[FOutLen++] = uint8_t(FAcc >> 2);
    } else if (FCount == 2) {
        // 12 bits: one byte and 4 bits of padding
        out[FOutLen++] = uint8_t(FAcc >> 4);
    }
    FAcc = 0;
    FCount = 0;
    if (!Flush())
        return false;
    // A full disk shows up only when the file's own buffer is written.
    if (auto *file = qobject_cast<QFileDevice *>(&FOut)) {
        if (!file->flush())
            FFailed = true;
    }
    return !FFailed;
}

bool Base64DecodeStream(QIODevice &AIn, QIODevice &AOut)
{
    TBase64Decoder dec(AOut);
    char buf[cInChunk];
    for (;;) {
        const qint64 n = AIn.read(buf, cInChunk);
        if (n < 0)
            return false;
        if (n == 0)
            break;
        if (!dec.Feed(buf, n))
            return false;
    }
    return dec.Finish();
}

QByteArray Base64Decode(const QByteArray &AData)
{
    QByteArray r;
    r.reserve(AData.size() / 4 * 3 + 3);
    QBuffer out(&r);
    out.open(QIODevice::WriteOnly);
    TBase64Decoder dec(out);
    dec.Feed(AData.constData(), AData.size());
    dec.Finish();
    return r;
}
