#include "LDT3.FRegeln.h"

#include "LDT3.Base.h"

#include <QStringList>

namespace {

inline bool IsDigit(QChar C) { return C.unicode() >= '0' && C.unicode() <= '9'; }
inline bool IsUpper(QChar C) { return C.unicode() >= 'A' && C.unicode() <= 'Z'; }
inline bool IsLower(QChar C) { return C.unicode() >= 'a' && C.unicode() <= 'z'; }

// Value of the digits S[APos .. APos+ALen-1] (0-based); the caller has checked
// they are digits. At most four digits are ever read, so nothing overflows.
int DigitsValue(const QString &S, int APos, int ALen)
{
    int v = 0;
    for (int i = APos; i < APos + ALen; ++i)
        v = v * 10 + (S.at(i).unicode() - '0');
    return v;
}

inline int DigitAt(const QString &S, int APos) { return S.at(APos).unicode() - '0'; }

bool IsDigitsOfLen(const QString &S, int ALen)
{
    return S.size() == ALen && TLDT3::Is_num(S);
}

// Pieces of S at ASep; an empty piece between two separators is kept, an empty
// piece after the last separator is dropped.
QStringList SplitKeepEmpty(const QString &S, QChar ASep)
{
    QStringList r = S.split(ASep);
    if (!r.isEmpty() && r.last().isEmpty())
        r.removeLast();
    return r;
}

TFRegelCharSet MakeSet(const char *AChars, bool AUpper, bool ADigits)
{
    TFRegelCharSet s;
    for (const char *p = AChars; *p; ++p)
        s.set(static_cast<unsigned char>(*p));
    if (AUpper)
        for (int c = 'A'; c <= 'Z'; ++c)
            s.set(c);
    if (ADigits)
        for (int c = '0'; c <= '9'; ++c)
            s.set(c);
    return s;
}

// Date split into year, month and day; S must be 8 digits.
struct TYMD
{
    int Y, M, D;
};
TYMD SplitDate(const QString &S) { return {DigitsValue(S, 0, 4), DigitsValue(S, 4, 2), DigitsValue(S, 6, 2)}; }

bool FullDateValid(const TYMD &d) { return d.Y != 0 && d.M >= 1 && d.M <= 12 && d.D >= 1 && d.D <= 31; }

// Check digit of six digits starting at APos, weights 4 and 9 alternating.
int CheckDigit49(const QString &S, int APos)
{
    int sum = 0;
    for (int i = 0; i < 6; ++i)
        sum += DigitAt(S, APos + i) * (i % 2 == 0 ? 4 : 9);
    const int p = 10 - sum % 10;
    return p == 10 ? 0 : p;
}

} // namespace

void TakeCharsInSet(QString &S, const TFRegelCharSet &ASet, QString &APrefix)
{
    qsizetype n = 0;
    while (n < S.size() && S.at(n).unicode() < 256 && ASet.test(S.at(n).unicode()))
        ++n;
    APrefix = S.left(n);
    S.remove(0, n);
}

bool IsFRegelRegionCode(const QString &AKK)
{
    if (!IsDigitsOfLen(AKK, 2))
        return false;
    const int kk = DigitsValue(AKK, 0, 2);
    // 01, 02, 03, 06-21, 24, 25, 27, 28, 31, 37-73, 78-81, 83, 85-88, 93-96, 98, 99
    static const struct { int Lo, Hi; } ranges[] = {
        {1, 3}, {6, 21}, {24, 25}, {27, 28}, {31, 31}, {37, 73},
        {78, 81}, {83, 83}, {85, 88}, {93, 96}, {98, 99},
    };
    for (const auto &r : ranges)
        if (kk >= r.Lo && kk <= r.Hi)
            return true;
    return false;
}

bool CheckF001(const QString &AInhalt) { return IsDigitsOfLen(AInhalt, 5); }

bool CheckF002(const QString &AInhalt) { return TLDT3::Is_date(AInhalt); }

bool CheckF003(const QString &AInhalt)
{
    if (!IsDigitsOfLen(AInhalt, 8))
        return false;
    const TYMD d = SplitDate(AInhalt);
    if (d.D == 0)
        return d.M == 0 || (d.M >= 1 && d.M <= 12 && d.Y > 0);
    return FullDateValid(d);
}

bool CheckF004(const QString &AInhalt)
{
    const qsizetype n = AInhalt.size();
    if (n != 3 && n != 5 && n != 6)
        return false;
    if (!IsUpper(AInhalt.at(0)) || !IsDigit(AInhalt.at(1)) || !IsDigit(AInhalt.at(2)))
        return false;
    if (n == 3)
        return true;
    if (AInhalt.at(3) != QLatin1Char('.') || !IsDigit(AInhalt.at(4)))
        return false;
    return n == 5 || IsDigit(AInhalt.at(5)) || AInhalt.at(5) == QLatin1Char('-');
}

bool CheckF005(const QString &AInhalt)
{
    return IsDigitsOfLen(AInhalt, 3) && DigitAt(AInhalt, 0) <= 5 && DigitAt(AInhalt, 2) <= 6;
}

bool CheckF006(const QString &AInhalt)
{
    return IsDigitsOfLen(AInhalt, 4) && DigitsValue(AInhalt, 2, 2) < 60;
}

bool CheckF007(const QString &AInhalt)
{
    if (!AInhalt.startsWith(QLatin1String("LDT")))
        return false;
    const QStringList parts = SplitKeepEmpty(AInhalt.mid(3), QLatin1Char('.'));
    if (parts.size() != 3)
        return false;
    for (const QString &p : parts)
        if (!TLDT3::Is_num(p))
            return false;
    return parts[0].size() == 1 && parts[1].size() <= 2 && parts[2].size() <= 4;
}

bool CheckF008(const QString &AInhalt)
{
    static const TFRegelCharSet setG = MakeSet("", true, false);
    static const TFRegelCharSet setN = MakeSet("", false, true);
    static const TFRegelCharSet setK = MakeSet("abcd", true, false);
    static const TFRegelCharSet setE = MakeSet("1234", true, false);
    static const TFRegelCharSet setS = MakeSet("/", false, false);
    static const TFRegelCharSet setL = MakeSet("#$*<>", true, true);

    if (AInhalt.isEmpty() || AInhalt.size() > 9)
        return false;
    QString rest = AInhalt;
    QString g, n, k, e, s, l;
    TakeCharsInSet(rest, setG, g);
    TakeCharsInSet(rest, setN, n);
    TakeCharsInSet(rest, setK, k);
    TakeCharsInSet(rest, setE, e);
    TakeCharsInSet(rest, setS, s);
    TakeCharsInSet(rest, setL, l);
    // The fee number consists of these six parts only: anything left over
    // (such as a trailing "-") is not part of the pattern.
    if (!rest.isEmpty())
        return false;
    return (!g.isEmpty() || !n.isEmpty()) && s.size() <= 1 && s.size() == l.size() && k.size() <= 1
        && e.size() <= k.size() && n.size() >= k.size() && n.size() <= 4;
}

bool CheckF009(const QString &AInhalt)
{
    if (AInhalt.size() == 5)
        return TLDT3::Is_num(AInhalt);
    return AInhalt.size() == 6 && TLDT3::Is_num(AInhalt.left(5)) && IsUpper(AInhalt.at(5));
}

bool CheckF010(const QString &AInhalt)
{
    if (!IsDigitsOfLen(AInhalt, 9))
        return false;
    if (AInhalt.startsWith(QLatin1String("00")))
        return CheckF014(AInhalt);
    return IsFRegelRegionCode(AInhalt.left(2));
}

bool CheckF011(const QString &AInhalt)
{
    if (!IsDigitsOfLen(AInhalt, 9))
        return false;
    if (AInhalt == QLatin1String("999999900"))
        return true;
    return CheckDigit49(AInhalt, 0) == DigitAt(AInhalt, 6);
}

bool CheckF012(const QString &AInhalt)
{
    if (AInhalt.size() != 16)
        return false;
    const QStringList parts = SplitKeepEmpty(AInhalt, QLatin1Char('/'));
    if (parts.size() != 5)
        return false;
    static const int lens[5] = {1, 2, 4, 2, 3};
    for (int i = 0; i < 5; ++i)
        if (parts[i].size() != lens[i])
            return false;
    const QChar a = parts[0].at(0);
    if (a != QLatin1Char('V') && a != QLatin1Char('X') && a != QLatin1Char('Y') && a != QLatin1Char('Z'))
        return false;
    // Two digits are always below 100.
    if (!TLDT3::Is_num(parts[1]) || !TLDT3::Is_num(parts[2]) || !TLDT3::Is_num(parts[3]))
        return false;
    const int month = DigitsValue(parts[2], 2, 2);
    if (month < 1 || month > 12)
        return false;
    for (QChar c : parts[4])
        if (!IsUpper(c) && !IsLower(c) && !IsDigit(c))
            return false;
    return true;
}

bool CheckF013(const QString &AInhalt)
{
    if (AInhalt.size() != 10 || !IsUpper(AInhalt.at(0)) || !TLDT3::Is_num(AInhalt.mid(1)))
        return false;
    const int letter = AInhalt.at(0).unicode() - 'A' + 1;
    const QString digits = TLDT3::IntToStr_LZ(letter, 2) + AInhalt.mid(1, 8);
    int sum = 0;
    for (int i = 1; i <= 10; ++i) {
        int d = DigitAt(digits, i - 1);
        if (i % 2 == 0)
            d *= 2;
        sum += d / 10 + d % 10;
    }
    return sum % 10 == DigitAt(AInhalt, 9);
}

bool CheckF014(const QString &AInhalt)
{
    return IsDigitsOfLen(AInhalt, 9) && AInhalt.startsWith(QLatin1String("00"))
        && CheckDigit49(AInhalt, 2) == DigitAt(AInhalt, 8);
}

bool CheckF015(const QString &AInhalt)
{
    return AInhalt.size() == 7 && TLDT3::Is_num(AInhalt.left(3)) && AInhalt.at(3) == QLatin1Char('/')
        && TLDT3::Is_num(AInhalt.mid(4));
}

bool CheckF016(const QString &AInhalt)
{
    if ((AInhalt.size() != 6 && AInhalt.size() != 9) || !TLDT3::Is_num(AInhalt))
        return false;
    return DigitsValue(AInhalt, 0, 2) <= 23 && DigitsValue(AInhalt, 2, 2) < 60 && DigitsValue(AInhalt, 4, 2) < 60;
}

bool CheckF017(const QString &AInhalt)
{
    return IsDigitsOfLen(AInhalt, 4) && (AInhalt.at(0) == QLatin1Char('1') || AInhalt.at(0) == QLatin1Char('2'));
}

bool CheckF018(const QString &AInhalt)
{
    if (!IsDigitsOfLen(AInhalt, 8))
        return false;
    const TYMD d = SplitDate(AInhalt);
    if (d.D == 0)
        return d.Y > 0 && d.M <= 12;
    return FullDateValid(d);
}

bool CheckF019(const QString &AInhalt) { return IsDigitsOfLen(AInhalt, 2); }

bool CheckF020(const QString &AInhalt)
{
    if (!IsDigitsOfLen(AInhalt, 8))
        return false;
    int sum = 0;
    for (int i = 1; i <= 7; ++i)
        sum += i * DigitAt(AInhalt, i - 1);
    // A remainder of 10 has no check digit: such numbers are never valid.
    return sum % 11 == DigitAt(AInhalt, 7);
}

bool CheckF021(const QString &AInhalt)
{
    return IsDigitsOfLen(AInhalt, 9) && AInhalt.startsWith(QLatin1String("35"))
        && IsFRegelRegionCode(AInhalt.mid(2, 2));
}

bool CheckF022(const QString &AInhalt)
{
    return IsDigitsOfLen(AInhalt, 9) && AInhalt.startsWith(QLatin1String("555555"));
}

bool CheckFRegel(int AFRegel, const QString &AInhalt)
{
    using TCheck = bool (*)(const QString &);
    static const TCheck checks[22] = {
        CheckF001, CheckF002, CheckF003, CheckF004, CheckF005, CheckF006, CheckF007, CheckF008,
        CheckF009, CheckF010, CheckF011, CheckF012, CheckF013, CheckF014, CheckF015, CheckF016,
        CheckF017, CheckF018, CheckF019, CheckF020, CheckF021, CheckF022,
    };
    if (AFRegel == 0)
        return true;
    if (AFRegel < 1 || AFRegel > 22)
        return false;
    return checks[AFRegel - 1](AInhalt);
}
