#include "LDT3.FRegeln.h"

#include "LDT3.Base.h"

#include <QStringList>

namespace {

constexpr TCharSet csUpper = TCharSet::Range('A', 'Z');
constexpr TCharSet csDigits = TCharSet::Range('0', '9');
constexpr TCharSet csAlnum = csUpper + csDigits + TCharSet::Range('a', 'z');

inline bool IsDigit(QChar C) { return csDigits.Contains(C); }
inline bool IsUpper(QChar C) { return csUpper.Contains(C); }

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

// The ALen characters from APos on are digits; the caller has checked the length.
bool DigitsAt(const QString &S, int APos, int ALen)
{
    for (int i = APos; i < APos + ALen; ++i)
        if (!IsDigit(S.at(i)))
            return false;
    return true;
}

// Length of the run of characters in ASet that starts at APos.
qsizetype RunLength(const QString &S, qsizetype APos, const TCharSet &ASet)
{
    qsizetype n = APos;
    while (n < S.size() && ASet.Contains(S.at(n)))
        ++n;
    return n - APos;
}

bool IsRegionCode(int AKK)
{
    // 01, 02, 03, 06-21, 24, 25, 27, 28, 31, 37-73, 78-81, 83, 85-88, 93-96, 98, 99
    static const struct { int Lo, Hi; } ranges[] = {
        {1, 3}, {6, 21}, {24, 25}, {27, 28}, {31, 31}, {37, 73},
        {78, 81}, {83, 83}, {85, 88}, {93, 96}, {98, 99},
    };
    for (const auto &r : ranges)
        if (AKK >= r.Lo && AKK <= r.Hi)
            return true;
    return false;
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

void TakeCharsInSet(QString &S, const TCharSet &ASet, QString &APrefix)
{
    const qsizetype n = RunLength(S, 0, ASet);
    APrefix = S.left(n);
    S.remove(0, n);
}

bool IsFRegelRegionCode(const QString &AKK)
{
    return IsDigitsOfLen(AKK, 2) && IsRegionCode(DigitsValue(AKK, 0, 2));
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
    const QStringList parts = SplitStr(AInhalt.mid(3), QLatin1Char('.'), false, false);
    if (parts.size() != 3)
        return false;
    for (const QString &p : parts)
        if (!TLDT3::Is_num(p))
            return false;
    return parts[0].size() == 1 && parts[1].size() <= 2 && parts[2].size() <= 4;
}

bool CheckF008(const QString &AInhalt)
{
    static constexpr TCharSet setG = csUpper;
    static constexpr TCharSet setN = csDigits;
    static constexpr TCharSet setK = csUpper + TCharSet("abcd");
    static constexpr TCharSet setE = csUpper + TCharSet("1234");
    static constexpr TCharSet setS = TCharSet("/");
    static constexpr TCharSet setL = csUpper + csDigits + TCharSet("#$*<>");

    if (AInhalt.isEmpty() || AInhalt.size() > 9)
        return false;
    // The runs that TakeCharsInSet would cut one after the other, measured in
    // place: this check runs for every fee number of a file.
    qsizetype pos = 0;
    auto take = [&](const TCharSet &ASet) {
        const qsizetype len = RunLength(AInhalt, pos, ASet);
        pos += len;
        return len;
    };
    const qsizetype g = take(setG), n = take(setN), k = take(setK), e = take(setE), s = take(setS),
                    l = take(setL);
    // The fee number consists of these six parts only: anything left over
    // (such as a trailing "-") is not part of the pattern.
    if (pos != AInhalt.size())
        return false;
    return (g > 0 || n > 0) && s <= 1 && s == l && k <= 1 && e <= k && n >= k && n <= 4;
}

bool CheckF009(const QString &AInhalt)
{
    if (AInhalt.size() == 5)
        return TLDT3::Is_num(AInhalt);
    return AInhalt.size() == 6 && DigitsAt(AInhalt, 0, 5) && IsUpper(AInhalt.at(5));
}

bool CheckF010(const QString &AInhalt)
{
    if (!IsDigitsOfLen(AInhalt, 9))
        return false;
    if (AInhalt.startsWith(QLatin1String("00")))
        return CheckF014(AInhalt);
    return IsRegionCode(DigitsValue(AInhalt, 0, 2));
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
    const QStringList parts = SplitStr(AInhalt, QLatin1Char('/'), false, false);
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
    if (!DigitsAt(parts[1], 0, 2) || !DigitsAt(parts[2], 0, 4) || !DigitsAt(parts[3], 0, 2))
        return false;
    const int month = DigitsValue(parts[2], 2, 2);
    if (month < 1 || month > 12)
        return false;
    return AllCharsInSet(parts[4], csAlnum);
}

bool CheckF013(const QString &AInhalt)
{
    if (AInhalt.size() != 10 || !IsUpper(AInhalt.at(0)) || !DigitsAt(AInhalt, 1, 9))
        return false;
    // Ten digits: the letter's place in the alphabet (A = 01) and characters 2 to 9.
    const int letter = AInhalt.at(0).unicode() - 'A' + 1;
    int digits[10] = {letter / 10, letter % 10};
    for (int i = 2; i < 10; ++i)
        digits[i] = DigitAt(AInhalt, i - 1);
    int sum = 0;
    for (int i = 1; i <= 10; ++i)
        sum += DigitSum(i % 2 == 0 ? digits[i - 1] * 2 : digits[i - 1]);
    return sum % 10 == DigitAt(AInhalt, 9);
}

bool CheckF014(const QString &AInhalt)
{
    return IsDigitsOfLen(AInhalt, 9) && AInhalt.startsWith(QLatin1String("00"))
        && CheckDigit49(AInhalt, 2) == DigitAt(AInhalt, 8);
}

bool CheckF015(const QString &AInhalt)
{
    return AInhalt.size() == 7 && DigitsAt(AInhalt, 0, 3) && AInhalt.at(3) == QLatin1Char('/')
        && DigitsAt(AInhalt, 4, 3);
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
        && IsRegionCode(DigitsValue(AInhalt, 2, 2));
}

bool CheckF022(const QString &AInhalt)
{
    return IsDigitsOfLen(AInhalt, 9) && AInhalt.startsWith(QLatin1String("555555"));
}

bool CheckF023(const QString &AInhalt)
{
    // n, nn, n-n, n-nn, nn-nn
    const qsizetype dash = AInhalt.indexOf(QLatin1Char('-'));
    const QString from = dash < 0 ? AInhalt : AInhalt.left(dash);
    if (from.isEmpty() || from.size() > 2 || !TLDT3::Is_num(from))
        return false;
    if (dash < 0)
        return true;
    const QString to = AInhalt.mid(dash + 1);
    return !to.isEmpty() && to.size() >= from.size() && to.size() <= 2 && TLDT3::Is_num(to);
}

bool CheckF024(const QString &AInhalt)
{
    // HPV-Typ-Nummer | [Gruppenname ':'] HPV-Typ-Nummer (('/' | '_') HPV-Typ-Nummer)+
    // with names and numbers alphanumeric.
    const auto isAlnum = [](QStringView S) {
        if (S.isEmpty())
            return false;
        for (QChar c : S)
            if (!csAlnum.Contains(c))
                return false;
        return true;
    };
    QStringView rest(AInhalt);
    const qsizetype colon = rest.indexOf(QLatin1Char(':'));
    const bool named = colon >= 0;
    if (named) {
        if (!isAlnum(rest.left(colon)))
            return false;
        rest = rest.mid(colon + 1);
    }
    int numbers = 0;
    qsizetype start = 0;
    for (qsizetype i = 0; i <= rest.size(); ++i) {
        if (i < rest.size() && rest[i] != QLatin1Char('/') && rest[i] != QLatin1Char('_'))
            continue;
        if (!isAlnum(rest.mid(start, i - start)))
            return false;
        ++numbers;
        start = i + 1;
    }
    // a single number takes no group name
    return named ? numbers >= 2 : numbers >= 1;
}

bool CheckFRegel(int AFRegel, const QString &AInhalt)
{
    using TCheck = bool (*)(const QString &);
    static const TCheck checks[24] = {
        CheckF001, CheckF002, CheckF003, CheckF004, CheckF005, CheckF006, CheckF007, CheckF008,
        CheckF009, CheckF010, CheckF011, CheckF012, CheckF013, CheckF014, CheckF015, CheckF016,
        CheckF017, CheckF018, CheckF019, CheckF020, CheckF021, CheckF022, CheckF023, CheckF024,
    };
    if (AFRegel == 0)
        return true;
    if (AFRegel < 1 || AFRegel > 24)
        return false;
    return checks[AFRegel - 1](AInhalt);
}
