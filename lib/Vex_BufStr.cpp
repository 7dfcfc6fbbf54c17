#include "Vex_BufStr.h"

namespace {
constexpr qsizetype cPage = 4096;
}

void TBufferedString::Reserve(qsizetype ANeed)
{
    const qsizetype cap = FBuffer.capacity();
    if (cap - FBuffer.size() > ANeed)
        return;
    // The room after growing always exceeds ANeed, whatever was free before.
    // Growing in place keeps the text (realloc moves large blocks by remapping).
    FBuffer.reserve(cap + (ANeed / cPage + 1) * cPage);
}

void TBufferedString::Append(const QChar *P, qsizetype N, qsizetype AExtra)
{
    if (N == 0)
        return;
    Reserve(N + AExtra);
    FBuffer.append(P, N);
}

void TBufferedString::Add(QLatin1StringView S)
{
    if (S.isEmpty())
        return;
    Reserve(S.size());
    FBuffer.append(S);
}

void TBufferedString::AddLine(QStringView S)
{
    Reserve(S.size() + 4);
    FBuffer.append(S.data(), S.size());
    FBuffer.append(QLatin1StringView("\r\n"));
}

void TBufferedString::AddNewLine()
{
    Reserve(4);
    FBuffer.append(QLatin1StringView("\r\n"));
}
