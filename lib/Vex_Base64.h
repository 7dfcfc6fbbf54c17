// Base64 decoding (RFC 4648 alphabet). Every byte outside the alphabet, "="
// and line breaks included, is skipped; bad input is never an error.
#pragma once

#include <QByteArray>
#include <QIODevice>

#include <cstdint>
#include <memory>

// Streaming decoder: feed byte ranges in order, then Finish. Writes the decoded
// bytes into AOut, which must stay open while the decoder is used.
class TBase64Decoder
{
public:
    explicit TBase64Decoder(QIODevice &AOut);
    TBase64Decoder(const TBase64Decoder &) = delete;
    TBase64Decoder &operator=(const TBase64Decoder &) = delete;

    // False once a write to the output has failed.
    bool Feed(const void *AData, qsizetype ALen);
    // Writes the remainder (3 characters give 2 bytes, 2 give 1, 1 nothing)
    // and flushes a file device. False when any write failed.
    bool Finish();

    bool Failed() const { return FFailed; }
    // Bytes handed to the output so far.
    qint64 BytesWritten() const { return FWritten; }

private:
    bool Flush();

    static constexpr qsizetype cOutSize = 48 * 1024;
    QIODevice &FOut;
    std::unique_ptr<uint8_t[]> FOutBuf;
    qsizetype FOutLen = 0;
    uint32_t FAcc = 0; // up to three pending 6-bit values
    int FCount = 0;    // number of pending values
    qint64 FWritten = 0;
    bool FFailed = false;
};

// Reads AIn to its end in chunks of 2736 bytes and writes the decoded bytes to
// AOut. False when reading or writing failed.
bool Base64DecodeStream(QIODevice &AIn, QIODevice &AOut);

// Decodes a whole byte array in memory.
QByteArray Base64Decode(const QByteArray &AData);
