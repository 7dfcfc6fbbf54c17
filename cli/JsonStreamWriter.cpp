#include "JsonStreamWriter.h"

#include <QIODevice>
#include <QJsonArray>
#include <QLocale>
#include <QTextStream>

#include <charconv>
#include <cmath>
#include <cstring>

namespace {

constexpr qsizetype kFlushAt = 1 << 16;

char HexDigit(uint AValue) { return char(AValue < 10 ? '0' + AValue : 'a' + AValue - 10); }

} // namespace

TJsonStreamWriter::TJsonStreamWriter(QTextStream &AOut) : FOut(AOut) { FBuf.reserve(kFlushAt + 4096); }

TJsonStreamWriter::~TJsonStreamWriter() { Flush(); }

void TJsonStreamWriter::Flush()
{
    if (FBuf.isEmpty())
        return;
    if (QIODevice *d = FOut.device()) {
        FOut.flush();
        d->write(FBuf);
    } else {
        FOut << QString::fromUtf8(FBuf);
    }
    FBuf.clear();
}

void TJsonStreamWriter::FlushIfFull()
{
    if (FBuf.size() >= kFlushAt)
        Flush();
}

void TJsonStreamWriter::Indent(qsizetype ADepth)
{
    const qsizetype at = FBuf.size();
    FBuf.resize(at + 4 * ADepth);
    std::memset(FBuf.data() + at, ' ', size_t(4 * ADepth));
}

// Before each value: the separator and indent of its container, or nothing
// after a key or at the top.
void TJsonStreamWriter::BeforeValue()
{
    if (FAfterKey) {
        FAfterKey = false;
        return;
    }
    if (FHasItems.empty())
        return;
    FBuf.append(FHasItems.back() ? ",\n" : "\n");
    FHasItems.back() = true;
    Indent(qsizetype(FHasItems.size()));
}

void TJsonStreamWriter::Open(char ABracket)
{
    BeforeValue();
    FBuf.append(ABracket);
    FHasItems.push_back(false);
}

void TJsonStreamWriter::Close(char ABracket)
{
    FHasItems.pop_back();
    // an empty container still breaks the line, as QJsonDocument does
    FBuf.append('\n');
    Indent(qsizetype(FHasItems.size()));
    FBuf.append(ABracket);
    if (FHasItems.empty())
        FBuf.append('\n');
    FlushIfFull();
}

void TJsonStreamWriter::BeginArray() { Open('['); }
void TJsonStreamWriter::EndArray() { Close(']'); }
void TJsonStreamWriter::BeginObject() { Open('{'); }
void TJsonStreamWriter::EndObject() { Close('}'); }

void TJsonStreamWriter::Key(QStringView AKey)
{
    BeforeValue();
    AppendString(FBuf, AKey);
    FBuf.append(": ");
    FAfterKey = true;
}

void TJsonStreamWriter::Value(qint64 AValue)
{
    BeforeValue();
    char digits[24];
    const auto r = std::to_chars(digits, digits + sizeof digits, AValue);
    FBuf.append(digits, r.ptr - digits);
    FlushIfFull();
}

void TJsonStreamWriter::Value(bool AValue)
{
    BeforeValue();
    FBuf.append(AValue ? "true" : "false");
}

void TJsonStreamWriter::Value(QStringView AValue)
{
    BeforeValue();
    AppendString(FBuf, AValue);
    FlushIfFull();
}

void TJsonStreamWriter::Value(const QJsonValue &AValue)
{
    switch (AValue.type()) {
    case QJsonValue::Bool:
        Value(AValue.toBool());
        break;
    case QJsonValue::Double: {
        // QJsonValue keeps integers as integers; both print alike when whole
        const double d = AValue.toDouble();
        const qint64 i = AValue.toInteger();
        if (double(i) == d && std::abs(d) < 9007199254740992.0) {
            Value(i);
        } else {
            BeforeValue();
            FBuf.append(std::isfinite(d) ? QByteArray::number(d, 'g', QLocale::FloatingPointShortest)
                                         : QByteArray("null"));
        }
        break;
    }
    case QJsonValue::String:
        Value(QStringView(AValue.toString()));
        break;
    case QJsonValue::Array:
        BeginArray();
        for (const QJsonValue &v : AValue.toArray())
            Value(v);
        EndArray();
        break;
    case QJsonValue::Object:
        BeginObject();
        Members(AValue.toObject());
        EndObject();
        break;
    case QJsonValue::Null:
    case QJsonValue::Undefined:
        BeforeValue();
        FBuf.append("null");
        break;
    }
}

void TJsonStreamWriter::Members(const QJsonObject &AObject, QStringView AStreamedKey,
                                const std::function<void()> &AStream)
{
    bool streamed = AStreamedKey.isEmpty();
    auto stream = [&] {
        Key(AStreamedKey);
        AStream();
        streamed = true;
    };
    for (auto it = AObject.begin(); it != AObject.end(); ++it) {
        if (!streamed && QStringView(it.key()) > AStreamedKey)
            stream();
        Key(it.key());
        Value(it.value());
    }
    if (!streamed)
        stream();
}

void TJsonStreamWriter::AppendString(QByteArray &ABuf, QStringView AText)
{
    // written through a pointer into room for the worst case (six bytes a
    // unit), then cut to what was written: no check per byte
    const qsizetype at = ABuf.size();
    ABuf.resize(at + 2 + 6 * AText.size());
    char *out = ABuf.data() + at;
    *out++ = '"';
    const char16_t *p = AText.utf16();
    const char16_t *const end = p + AText.size();
    auto escape = [&out](char16_t AUnit) {
        *out++ = '\\';
        *out++ = 'u';
        *out++ = HexDigit(AUnit >> 12);
        *out++ = HexDigit((AUnit >> 8) & 0xF);
        *out++ = HexDigit((AUnit >> 4) & 0xF);
        *out++ = HexDigit(AUnit & 0xF);
    };
    while (p != end) {
        const char16_t u = *p++;
        if (u < 0x80) {
            if (u >= 0x20 && u != '"' && u != '\\') {
                *out++ = char(u);
                continue;
            }
            switch (u) {
            case '"': *out++ = '\\'; *out++ = '"'; break;
            case '\\': *out++ = '\\'; *out++ = '\\'; break;
            case '\b': *out++ = '\\'; *out++ = 'b'; break;
            case '\f': *out++ = '\\'; *out++ = 'f'; break;
            case '\n': *out++ = '\\'; *out++ = 'n'; break;
            case '\r': *out++ = '\\'; *out++ = 'r'; break;
            case '\t': *out++ = '\\'; *out++ = 't'; break;
            default: escape(u); break;
            }
        } else if (u < 0x800) {
            *out++ = char(0xC0 | (u >> 6));
            *out++ = char(0x80 | (u & 0x3F));
        } else if (u < 0xD800 || u > 0xDFFF) {
            *out++ = char(0xE0 | (u >> 12));
            *out++ = char(0x80 | ((u >> 6) & 0x3F));
            *out++ = char(0x80 | (u & 0x3F));
        } else if (u < 0xDC00 && p != end && *p >= 0xDC00 && *p <= 0xDFFF) {
            const char32_t c = 0x10000 + ((char32_t(u) - 0xD800) << 10) + (char32_t(*p++) - 0xDC00);
            *out++ = char(0xF0 | (c >> 18));
            *out++ = char(0x80 | ((c >> 12) & 0x3F));
            *out++ = char(0x80 | ((c >> 6) & 0x3F));
            *out++ = char(0x80 | (c & 0x3F));
        } else {
            // a lone surrogate has no UTF-8 form
            escape(u);
        }
    }
    *out++ = '"';
    ABuf.truncate(out - ABuf.constData());
}
