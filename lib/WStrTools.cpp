#include "WStrTools.h"

#include <QCoreApplication>
#include <QDebug>
#include <QLocale>

#include <algorithm>
#include <cstring>
#include <memory>

// --- lookup3 (Bob Jenkins, public domain), hashlittle only

namespace {

inline uint32_t Rot(uint32_t x, int k) { return (x << k) | (x >> (32 - k)); }

inline void Mix(uint32_t &a, uint32_t &b, uint32_t &c)
{
    a -= c; a ^= Rot(c, 4);  c += b;
    b -= a; b ^= Rot(a, 6);  a += c;
    c -= b; c ^= Rot(b, 8);  b += a;
    a -= c; a ^= Rot(c, 16); c += b;
    b -= a; b ^= Rot(a, 19); a += c;
    c -= b; c ^= Rot(b, 4);  b += a;
}

inline void Final(uint32_t &a, uint32_t &b, uint32_t &c)
{
    c ^= b; c -= Rot(b, 14);
    a ^= c; a -= Rot(c, 11);
    b ^= a; b -= Rot(a, 25);
    c ^= b; c -= Rot(b, 16);
    a ^= c; a -= Rot(c, 4);
    b ^= a; b -= Rot(a, 14);
    c ^= b; c -= Rot(b, 24);
}

inline uint32_t Le32(const unsigned char *k)
{
    return uint32_t(k[0]) | uint32_t(k[1]) << 8 | uint32_t(k[2]) << 16 | uint32_t(k[3]) << 24;
}

} // namespace

uint32_t HashLittle(const void *AKey, size_t ALength, uint32_t AInitVal)
{
    const unsigned char *k = static_cast<const unsigned char *>(AKey);
    uint32_t a, b, c;
    a = b = c = 0xdeadbeef + uint32_t(ALength) + AInitVal;
    while (ALength > 12) {
        a += Le32(k);
        b += Le32(k + 4);
        c += Le32(k + 8);
        Mix(a, b, c);
        ALength -= 12;
        k += 12;
    }
    switch (ALength) {
    case 12: c += uint32_t(k[11]) << 24; [[fallthrough]];
    case 11: c += uint32_t(k[10]) << 16; [[fallthrough]];
    case 10: c += uint32_t(k[9]) << 8; [[fallthrough]];
    case 9: c += k[8]; [[fallthrough]];
    case 8: b += uint32_t(k[7]) << 24; [[fallthrough]];
    case 7: b += uint32_t(k[6]) << 16; [[fallthrough]];
    case 6: b += uint32_t(k[5]) << 8; [[fallthrough]];
    case 5: b += k[4]; [[fallthrough]];
    case 4: a += uint32_t(k[3]) << 24; [[fallthrough]];
    case 3: a += uint32_t(k[2]) << 16; [[fallthrough]];
    case 2: a += uint32_t(k[1]) << 8; [[fallthrough]];
    case 1: a += k[0]; break;
    case 0: return c;
    }
    Final(a, b, c);
    return c;
}

// --- Comparers

namespace {

inline int Sign(int v) { return v < 0 ? -1 : (v > 0 ? 1 : 0); }

inline int CodeUnitCompare(const QString &A, const QString &B)
{
    return Sign(QString::compare(A, B, Qt::CaseSensitive));
}

} // namespace

TStrComparer::TStrComparer(bool ACaseInsensitive)
    : FCaseInsensitive(ACaseInsensitive), FCollator(QLocale())
{
    FCollator.setCaseSensitivity(ACaseInsensitive ? Qt::CaseInsensitive : Qt::CaseSensitive);
}

int TStrComparer::PlainCompare(const QString &ALeft, const QString &ARight) const
{
    const int r = Sign(FCollator.compare(ALeft, ARight));
    if (r != 0)
        return r;
    // The collation may rank different texts equal; keep equality exact.
    if (FCaseInsensitive)
        return CodeUnitCompare(ALeft.toLower(), ARight.toLower());
    return CodeUnitCompare(ALeft, ARight);
}

int TStrComparer::Compare(const QString &ALeft, const QString &ARight) const
{
    return PlainCompare(ALeft, ARight);
}

int TStrComparer::GetHashCode(const QString &AValue) const
{
    const QString s = FCaseInsensitive ? AValue.toLower() : AValue;
    return int(HashLittle(s.constData(), size_t(s.size()) * sizeof(QChar), 0));
}

namespace {

template <typename TPlain>
int NaturalCompare(const QString &L, const QString &R, TPlain APlain)
{
    int64_t nl = 0, nr = 0;
    QString pl, pr;
    if (SplitNaturalKey(L, nl, pl) == 0 || SplitNaturalKey(R, nr, pr) == 0)
        return APlain(L, R);
    if (const int r = APlain(pl, pr))
        return r;
    if (nl != nr)
        return nl < nr ? -1 : 1;
    return APlain(L, R);
}

// The case-sensitive comparer of the current locale, rebuilt when the
// program's default locale changes.
const TStrComparer &CaseSensitiveComparer()
{
    thread_local std::unique_ptr<TStrComparer> comparer;
    thread_local QLocale locale;
    const QLocale current;
    if (!comparer || !(current == locale)) {
        comparer = std::make_unique<TStrComparer>(false);
        locale = current;
    }
    return *comparer;
}

} // namespace

int TNaturalStrComparer::Compare(const QString &ALeft, const QString &ARight) const
{
    return NaturalCompare(ALeft, ARight,
                          [this](const QString &A, const QString &B) { return PlainCompare(A, B); });
}

int NaturalCompareStr(const QString &A, const QString &B)
{
    const TStrComparer &c = CaseSensitiveComparer();
    return NaturalCompare(A, B, [&c](const QString &L, const QString &R) { return c.Compare(L, R); });
}

int SplitNaturalKey(const QString &S, int64_t &ANumber, QString &APrefix)
{
    ANumber = 0;
    APrefix.clear();
    const qsizetype n = S.size();
    const QChar *p = S.constData();
    qsizetype i = 0;
    while (i < n && !(p[i] >= u'0' && p[i] <= u'9'))
        ++i;
    if (i == n)
        return 0;
    APrefix = S.left(i);
    uint64_t v = 0;
    bool overflow = false;
    for (qsizetype j = i; j < n && p[j] >= u'0' && p[j] <= u'9'; ++j) {
        const unsigned d = p[j].unicode() - u'0';
        if (v > (uint64_t(INT64_MAX) - d) / 10)
            overflow = true;
        else
            v = v * 10 + d;
    }
    ANumber = overflow ? 0 : int64_t(v);
    return int(i + 1);
}

// --- Character and text functions

QStringView TrimBlanksView(QStringView S)
{
    qsizetype b = 0, e = S.size();
    while (b < e && S.at(b) == u' ')
        ++b;
    while (e > b && S.at(e - 1) == u' ')
        --e;
    return S.mid(b, e - b);
}

QString TrimBlanks(const QString &S)
{
    const QStringView t = TrimBlanksView(S);
    return t.size() == S.size() ? S : t.toString();
}

QString TrimLeftChar(const QString &S, QChar C)
{
    qsizetype b = 0;
    while (b < S.size() && S.at(b) == C)
        ++b;
    return b == 0 ? S : S.mid(b);
}

QString TrimCharSet(const QString &S, const TCharSet &ASet)
{
    qsizetype b = 0, e = S.size();
    while (b < e && ASet.Contains(S.at(b)))
        ++b;
    while (e > b && ASet.Contains(S.at(e - 1)))
        --e;
    return (b == 0 && e == S.size()) ? S : S.mid(b, e - b);
}

QString ReplaceChar(const QString &S, QChar AOld, QChar ANew)
{
    QString r = S;
    r.replace(AOld, ANew);
    return r;
}

QChar FirstCharOr(const QString &S, QChar ADefault)
{
    return S.isEmpty() ? ADefault : S.at(0);
}

bool AllCharsInSet(const QString &S, const TCharSet &ASet)
{
    for (QChar c : S)
        if (!ASet.Contains(c))
            return false;
    return true;
}

bool FirstCharInSet(const QString &S, const TCharSet &ASet)
{
    return !S.isEmpty() && ASet.Contains(S.at(0));
}

bool StartsWithStr(const QString &S, const QString &APrefix)
{
    return !APrefix.isEmpty() && S.startsWith(APrefix, Qt::CaseSensitive);
}

bool StartsWithChar(const QString &S, QChar C)
{
    return !S.isEmpty() && S.at(0) == C;
}

QString RepeatStr(const QString &S, int N)
{
    return N < 1 ? QString() : S.repeated(N);
}

void AddWithSeparator(QString &S, const QString &ASep, const QString &T)
{
    const QStringView t = TrimBlanksView(T);
    if (t.isEmpty())
        return;
    if (S.isEmpty())
        S = t.size() == T.size() ? T : t.toString();
    else
        S.append(ASep).append(t);
}

QStringList SplitStr(const QString &S, QChar ASepChar, bool ATrim, bool ASkipEmpty)
{
    QStringList r;
    if (S.isEmpty())
        return r;
    qsizetype start = 0;
    const qsizetype n = S.size();
    for (qsizetype i = 0; i <= n; ++i) {
        const bool atEnd = i == n;
        if (!atEnd && S.at(i) != ASepChar)
            continue;
        QString piece = S.mid(start, i - start);
        start = i + 1;
        // An empty last piece (S ends with the separator) is never added.
        if (atEnd && piece.isEmpty())
            break;
        if (ATrim && !piece.isEmpty())
            piece = TrimBlanks(piece);
        if (piece.isEmpty() && ASkipEmpty)
            continue;
        r.append(piece);
    }
    return r;
}

QString JoinStrings(const QStringList &AItems, const QString &ASep, bool AKeepEmpty)
{
    QString r;
    bool first = true;
    for (const QString &s : AItems) {
        if (s.isEmpty() && !AKeepEmpty)
            continue;
        if (!first)
            r += ASep;
        r += s;
        first = false;
    }
    return r;
}

QString JoinIntegers(const QList<int> &AItems, const QString &ASep)
{
    QString r;
    for (qsizetype i = 0; i < AItems.size(); ++i) {
        if (i)
            r += ASep;
        r += QString::number(AItems.at(i));
    }
    return r;
}

int DigitSum(int64_t AValue)
{
    // Magnitude as unsigned: INT64_MIN has no positive counterpart.
    uint64_t v = AValue < 0 ? 0 - uint64_t(AValue) : uint64_t(AValue);
    int sum = 0;
    while (v) {
        sum += int(v % 10);
        v /= 10;
    }
    return sum;
}

QByteArray PtrToBytes(const void *P, qsizetype N)
{
    if (N <= 0 || !P)
        return QByteArray();
    return QByteArray(static_cast<const char *>(P), N);
}

QString DumpBytes(const void *P, qsizetype N)
{
    static const char *const cCtrlNames[32] = {
        "<NUL>", "<SOH>", "<STX>", "<ETX>", "<EOT>", "<ENQ>", "<ACK>", "<BEL>",
        "<BS>", "<HT>", "<LF>", "<VT>", "<FF>", "<CR>", "<SO>", "<SI>",
        "<DLE>", "<XON>", "<DC2>", "<XOFF>", "<DC4>", "<NAK>", "<SYN>", "<ETB>",
        "<CAN>", "<EM>", "<SUB>", "<ESC>", "<FS>", "<GS>", "<RS>", "<US>"};
    static const char cHex[] = "0123456789ABCDEF";
    QString r;
    if (N <= 0 || !P)
        return r;
    r.reserve(N + 8);
    const unsigned char *b = static_cast<const unsigned char *>(P);
    bool inRun = false;
    for (qsizetype i = 0; i < N; ++i) {
        const unsigned char c = b[i];
        const bool printable = (c >= 0x20 && c <= 0x7E && c != 0x27) || c >= 0xA1;
        if (printable) {
            if (!inRun) {
                if (!r.isEmpty())
                    r += u' ';
                r += u'\'';
                inRun = true;
            }
            r += QChar(c);
            continue;
        }
        if (inRun) {
            r += u'\'';
            inRun = false;
        }
        if (!r.isEmpty())
            r += u' ';
        if (c < 0x20)
            r += QLatin1StringView(cCtrlNames[c]);
        else if (c == 0x27)
            r += QLatin1StringView("<APOS>");
        else if (c == 0x7F)
            r += QLatin1StringView("<DEL>");
        else if (c == 0xA0)
            r += QLatin1StringView("<NBSP>");
        else { // 0x80 to 0x9F
            r += u'$';
            r += QLatin1Char(cHex[c >> 4]);
            r += QLatin1Char(cHex[c & 15]);
        }
    }
    if (inRun)
        r += u'\'';
    return r;
}

QString URLEncode(const QString &S, bool APlusForBlank)
{
    QString r;
    r.reserve(S.size());
    for (QChar ch : S) {
        const char16_t c = ch.unicode();
        if ((c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z') || (c >= u'0' && c <= u'9') ||
            c == u'-' || c == u'.' || c == u'_') {
            r += ch;
        } else if (c == u' ') {
            r += APlusForBlank ? QLatin1StringView("+") : QLatin1StringView("%20");
        } else {
            r += u'%';
            r += QString::number(c, 16).toUpper().rightJustified(2, u'0');
        }
    }
    return r;
}

QString ResNameStr(const QString &AName)
{
    return AName;
}

QString ResNameStr(uint16_t AIdent)
{
    return QLatin1Char('#') + QString::number(AIdent);
}

QString MakeResURL(const QString &AModuleName, const QString &AResName, const QString &AResType)
{
    if (AModuleName.isEmpty() || AResName.isEmpty())
        return QString();
    QString r = QLatin1StringView("res://") + URLEncode(AModuleName);
    if (!AResType.isEmpty())
        r += QLatin1Char('/') + URLEncode(AResType);
    r += QLatin1Char('/') + URLEncode(AResName);
    return r;
}

QString MakeModuleResURL(const QString &AModuleFileName, const QString &AResName, const QString &AResType)
{
    QString module = AModuleFileName;
    if (module.isEmpty() && QCoreApplication::instance())
        module = QCoreApplication::applicationFilePath();
    return MakeResURL(module, AResName, AResType);
}

void DebugOut(const QString &S)
{
    qDebug().noquote() << S;
}

// --- Format

int64_t TFormatArg::AsInt() const
{
    switch (FKind) {
    case akInt: return FInt;
    case akUInt: return int64_t(FUInt);
    case akFloat: return int64_t(FFloat);
    case akStr: return FStr.toLongLong();
    }
    return 0;
}

uint64_t TFormatArg::AsUInt() const
{
    switch (FKind) {
    case akInt: return uint64_t(FInt);
    case akUInt: return FUInt;
    case akFloat: return FFloat > 0 ? uint64_t(FFloat) : 0;
    case akStr: return FStr.toULongLong();
    }
    return 0;
}

double TFormatArg::AsFloat() const
{
    switch (FKind) {
    case akInt: return double(FInt);
    case akUInt: return double(FUInt);
    case akFloat: return FFloat;
    case akStr: return FStr.toDouble();
    }
    return 0;
}

QString TFormatArg::AsStr() const
{
    switch (FKind) {
    case akInt: return QString::number(FInt);
    case akUInt: return QString::number(FUInt);
    case akFloat: return QString::number(FFloat);
    case akStr: return FStr;
    }
    return QString();
}

QString Format(const QString &AFmt, std::initializer_list<TFormatArg> AArgs)
{
    QLocale grouped;
    grouped.setNumberOptions(grouped.numberOptions() & ~QLocale::OmitGroupSeparator);
    QLocale plain = grouped;
    plain.setNumberOptions(grouped.numberOptions() | QLocale::OmitGroupSeparator);

    const TFormatArg *arg = AArgs.begin();
    const TFormatArg *const argEnd = AArgs.end();
    const qsizetype n = AFmt.size();
    QString r;
    r.reserve(n + 16);
    qsizetype i = 0;
    while (i < n) {
        const QChar c = AFmt.at(i);
        if (c != u'%') {
            r += c;
            ++i;
            continue;
        }
        const qsizetype start = i++;
        if (i < n && AFmt.at(i) == u'%') {
            r += u'%';
            ++i;
            continue;
        }
        bool ok = true;
        // A number or "*" (taken from the arguments); -1 when absent.
        auto readNumber = [&]() -> int {
            if (i < n && AFmt.at(i) == u'*') {
                ++i;
                if (arg == argEnd) {
                    ok = false;
                    return -1;
                }
                return int(std::clamp<int64_t>((arg++)->AsInt(), 0, 1 << 20));
            }
            int v = -1;
            while (i < n && AFmt.at(i).isDigit() && AFmt.at(i).unicode() < 128) {
                v = (v < 0 ? 0 : v) * 10 + (AFmt.at(i).unicode() - u'0');
                v = qMin(v, 1 << 20);
                ++i;
            }
            return v;
        };
        const bool left = i < n && AFmt.at(i) == u'-';
        if (left)
            ++i;
        const int width = readNumber();
        int prec = -1;
        if (ok && i < n && AFmt.at(i) == u'.') {
            ++i;
            prec = readNumber();
            if (prec < 0)
                prec = 0;
        }
        if (!ok || i >= n || arg == argEnd) {
            // Incomplete placeholder or no argument left: keep the text.
            r += AFmt.mid(start, (i < n ? i + 1 : n) - start);
            i = i < n ? i + 1 : n;
            continue;
        }
        const char16_t type = AFmt.at(i).toLower().unicode();
        QString item;
        switch (type) {
        case u'd': {
            const int64_t v = arg->AsInt();
            item = QString::number(v < 0 ? 0 - uint64_t(v) : uint64_t(v));
            if (prec > item.size())
                item = item.rightJustified(prec, u'0');
            if (v < 0)
                item.prepend(u'-');
            break;
        }
        case u'u':
            item = QString::number(arg->AsUInt());
            if (prec > item.size())
                item = item.rightJustified(prec, u'0');
            break;
        case u'x':
            item = QString::number(arg->AsUInt(), 16).toUpper();
            if (prec > item.size())
                item = item.rightJustified(prec, u'0');
            break;
        case u's':
            item = arg->AsStr();
            if (prec >= 0 && prec < item.size())
                item.truncate(prec);
            break;
        case u'n':
            if (prec <= 0 && arg->Kind() == TFormatArg::akUInt)
                item = grouped.toString(qulonglong(arg->AsUInt()));
            else if (prec <= 0 && arg->Kind() != TFormatArg::akFloat)
                item = grouped.toString(qlonglong(arg->AsInt()));
            else
                item = grouped.toString(arg->AsFloat(), 'f', prec < 0 ? 0 : prec);
            break;
        case u'f':
            item = plain.toString(arg->AsFloat(), 'f', prec < 0 ? 2 : prec);
            break;
        default:
            // Unknown type: keep the placeholder, the argument stays unused.
            r += AFmt.mid(start, i + 1 - start);
            ++i;
            continue;
        }
        ++arg;
        ++i;
        if (width > item.size())
            item = left ? item.leftJustified(width) : item.rightJustified(width);
        r += item;
    }
    return r;
}
