// Text builder for large pages: one growable UTF-16 buffer.
#pragma once

#include <QString>

#include <cstdlib>
#include <memory>

class TBufferedString
{
public:
    TBufferedString() = default;
    explicit TBufferedString(const QString &S) { Add(S); }
    TBufferedString(const TBufferedString &) = delete;
    TBufferedString &operator=(const TBufferedString &) = delete;

    // Frees the buffer.
    void Clear();
    void Add(const QString &S) { Append(S.constData(), S.size(), 0); }
    void Add(QLatin1StringView S);
    void AddLine(const QString &S);
    void AddNewLine();

    QString AsString() const { return QString(reinterpret_cast<const QChar *>(FStart.get()), FPosition); }
    qsizetype Len() const { return FPosition; }
    // Room allocated, in UTF-16 code units.
    qsizetype Capacity() const { return FEnd; }

private:
    struct TFree
    {
        void operator()(char16_t *p) const { std::free(p); }
    };
    // Makes sure more than ANeed code units are free, growing by ANeed rounded
    // up to whole 4096-unit pages.
    void Reserve(qsizetype ANeed);
    void Append(const QChar *P, qsizetype N, qsizetype AExtra);

    std::unique_ptr<char16_t[], TFree> FStart;
    qsizetype FPosition = 0; // used part: [0, FPosition)
    qsizetype FEnd = 0;      // allocated size
};
