#include "Vex_BufStr.h"

#include <cstring>
#include <new>

namespace {
constexpr qsizetype cPage = 4096;
const char16_t cCrLf[2] = {u'\r', u'\n'};
}

void TBufferedString::Clear()
{
    FStart.reset();
    FPosition = 0;
    FEnd = 0;
}

void TBufferedString::Reserve(qsizetype ANeed)
{
    if (FEnd - FPosition > ANeed)
        return;
    // The room after growing always exceeds ANeed, whatever was free before.
    const qsizetype grow = (ANeed / cPage + 1) * cPage;
    const qsizetype newEnd = FEnd + grow;
    // realloc: large blocks are moved by remapping pages, not by copying.
    void *p = std::realloc(FStart.get(), size_t(newEnd) * sizeof(char16_t));
    if (!p)
        throw std::bad_alloc();
    (void)FStart.release();
    FStart.reset(static_cast<char16_t *>(p));
    FEnd = newEnd;
}

void TBufferedString::Append(const QChar *P, qsizetype N, qsizetype AExtra)
{
    if (N == 0 && AExtra == 0)
        return;
    Reserve(N + AExtra);
    if (N)
        std::memcpy(FStart.get() + FPosition, P, size_t(N) * sizeof(char16_t));
    FPosition += N;
}

void TBufferedString::Add(QLatin1StringView S)
{
    const qsizetype n = S.size();
    if (n == 0)
        return;
    Reserve(n);
    char16_t *d = FStart.get() + FPosition;
    const unsigned char *s = reinterpret_cast<const unsigned char *>(S.data());
    for (qsizetype i = 0; i < n; ++i)
        d[i] = s[i];
    FPosition += n;
}

void TBufferedString::AddLine(const QString &S)
{
    Append(S.constData(), S.size(), 4);
    std::memcpy(FStart.get() + FPosition, cCrLf, sizeof(cCrLf));
    FPosition += 2;
}

void TBufferedString::AddNewLine()
{
    Reserve(4);
    std::memcpy(FStart.get() + FPosition, cCrLf, sizeof(cCrLf));
    FPosition += 2;
}
