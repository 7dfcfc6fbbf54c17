// The LDT character set (ISO 8859-15 bytes) and the conversions between
// file bytes and UTF-16 text. One byte is one UTF-16 code unit.
#pragma once

#include <QByteArray>
#include <QString>

#include <array>

namespace LDT3Zeichen {
// Byte classes, one table lookup per byte.
enum : unsigned char { cAllowed = 1, cLineEnd = 2, cDigit = 4, cPrintable = 8 };
extern const std::array<unsigned char, 256> ByteClass;
// ISO 8859-15 code point of every byte (control bytes map to themselves).
extern const std::array<char16_t, 256> Iso885915;

inline bool ByteAllowed(unsigned char b) { return ByteClass[b] & cAllowed; }
inline bool ByteIsDigit(unsigned char b) { return ByteClass[b] & cDigit; }

// One bit per byte of a block of 64 (bit k for byte k): outside the
// character set (CR and LF among them), CR, LF.
struct TByteMasks
{
    quint64 Special;
    quint64 Cr;
    quint64 Lf;
};
// The masks of the 64 bytes at P, eight bytes at a time (any machine).
TByteMasks ByteMasks64Portable(const unsigned char *P);
// The same, with the vector unit where there is one.
TByteMasks ByteMasks64(const unsigned char *P);
}

QString LDT3BytesToStr(const unsigned char *P, qint64 Len, QChar FillChar);
bool LDT3BytesAllowed(const unsigned char *P, qint64 Len, bool AllowCrLf);
unsigned char LDT3CharToByte(QChar C, unsigned char Replacement);
bool LDT3StrAllowed(const QString &S, bool AllowCrLf);
QByteArray LDT3StrToBytes(const QString &S, unsigned char Replacement);
