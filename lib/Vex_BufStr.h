// Text builder for large pages: one growable UTF-16 buffer that grows in whole
// pages of 4096 code units. AsString hands out the buffer itself (shared, not
// copied).
#pragma once

#include <QString>

class TBufferedString
{
public:
    TBufferedString() = default;
    explicit TBufferedString(const QString &S) { Add(S); }

    // Frees the buffer.
    void Clear() { FBuffer = QString(); }
    void Add(const QString &S) { Append(S.constData(), S.size(), 0); }
    void Add(QStringView S) { Append(S.data(), S.size(), 0); }
    void Add(QLatin1StringView S);
    void AddLine(const QString &S) { AddLine(QStringView(S)); }
    void AddLine(QStringView S);
    void AddNewLine();

    QString AsString() const { return FBuffer; }
    qsizetype Len() const { return FBuffer.size(); }
    // Room allocated, in UTF-16 code units.
    qsizetype Capacity() const { return FBuffer.capacity(); }

private:
    // Makes sure more than ANeed code units are free, growing by ANeed rounded
    // up to whole pages.
    void Reserve(qsizetype ANeed);
    void Append(const QChar *P, qsizetype N, qsizetype AExtra);

    QString FBuffer;
};
