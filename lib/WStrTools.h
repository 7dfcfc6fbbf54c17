// String functions, text comparers and the Format helper.
#pragma once

#include <QChar>
#include <QCollator>
#include <QList>
#include <QString>
#include <QStringList>

#include <array>
#include <cstdint>
#include <initializer_list>
#include <string_view>

// A set of characters of the byte range (U+0000 to U+00FF). Characters above
// U+00FF are never in it.
class TCharSet
{
public:
    constexpr TCharSet() = default;
    // Every byte of AChars (taken as Latin-1) is in the set.
    constexpr TCharSet(std::string_view AChars)
    {
        for (char c : AChars)
            Include(static_cast<unsigned char>(c));
    }
    constexpr TCharSet(const char *AChars) : TCharSet(std::string_view(AChars)) {}
    static constexpr TCharSet Range(unsigned char AFrom, unsigned char ATo)
    {
        TCharSet r;
        for (unsigned c = AFrom; c <= ATo; ++c)
            r.Include(static_cast<unsigned char>(c));
        return r;
    }
    constexpr TCharSet &Include(unsigned char C)
    {
        FBits[C >> 6] |= uint64_t(1) << (C & 63);
        return *this;
    }
    constexpr TCharSet operator+(const TCharSet &AOther) const
    {
        TCharSet r = *this;
        for (int i = 0; i < 4; ++i)
            r.FBits[i] |= AOther.FBits[i];
        return r;
    }
    constexpr bool Contains(char16_t C) const
    {
        return C < 256 && (FBits[C >> 6] >> (C & 63)) & 1;
    }
    bool Contains(QChar C) const { return Contains(C.unicode()); }

private:
    std::array<uint64_t, 4> FBits{};
};

// Texts compared by the locale-aware comparison of the user's locale
// (QLocale(), which is the system locale unless the program set another
// default). Texts that the collation ranks equal but that differ (after
// lower-casing when case-insensitive) are ordered by their code units, so that
// Equals holds exactly when GetHashCode's input is the same.
class TStrComparer
{
public:
    explicit TStrComparer(bool ACaseInsensitive = false);
    static TStrComparer CreateIgnoreCase() { return TStrComparer(true); }
    virtual ~TStrComparer() = default;
    TStrComparer(const TStrComparer &) = default;
    TStrComparer &operator=(const TStrComparer &) = default;

    // -1, 0 or 1.
    virtual int Compare(const QString &ALeft, const QString &ARight) const;
    bool Equals(const QString &ALeft, const QString &ARight) const { return Compare(ALeft, ARight) == 0; }
    int GetHashCode(const QString &AValue) const;
    bool CaseInsensitive() const { return FCaseInsensitive; }

    // A std::less-style adaptor for std::sort and ordered containers. It refers
    // to this comparer, which must outlive it.
    struct TLess
    {
        const TStrComparer *FComparer;
        bool operator()(const QString &A, const QString &B) const { return FComparer->Compare(A, B) < 0; }
    };
    TLess Less() const { return TLess{this}; }

protected:
    // The locale comparison without the natural rule.
    int PlainCompare(const QString &ALeft, const QString &ARight) const;

private:
    bool FCaseInsensitive;
    QCollator FCollator;
};

// Compares the texts before the first run of digits, then that run's value.
// Texts without digits are compared plainly, so the order is not transitive
// for every mix of texts ("a1" < "a-1" < "a-z" < "a1" in most locales): sort
// with std::stable_sort (a merge sort that stays in its range), not std::sort,
// which may then read outside it.
class TNaturalStrComparer : public TStrComparer
{
public:
    explicit TNaturalStrComparer(bool ACaseInsensitive = false) : TStrComparer(ACaseInsensitive) {}
    static TNaturalStrComparer CreateIgnoreCase() { return TNaturalStrComparer(true); }
    int Compare(const QString &ALeft, const QString &ARight) const override;
};

// A default-constructible std::less-style adaptor that holds its own comparer,
// for ordered containers: std::map<QString, T, TStrLess<TNaturalStrComparer>>.
template <typename TComparer, bool ACaseInsensitive = false>
struct TStrLess
{
    TComparer FComparer{ACaseInsensitive};
    bool operator()(const QString &A, const QString &B) const { return FComparer.Compare(A, B) < 0; }
};

// Bob Jenkins' lookup3 hashlittle.
uint32_t HashLittle(const void *AKey, size_t ALength, uint32_t AInitVal);

QString TrimBlanks(const QString &S);
// TrimBlanks without a copy.
QStringView TrimBlanksView(QStringView S);
QString TrimLeftChar(const QString &S, QChar C);
QString TrimCharSet(const QString &S, const TCharSet &ASet);
QString ReplaceChar(const QString &S, QChar AOld, QChar ANew);
QChar FirstCharOr(const QString &S, QChar ADefault);
bool AllCharsInSet(const QString &S, const TCharSet &ASet);
bool FirstCharInSet(const QString &S, const TCharSet &ASet);
bool StartsWithStr(const QString &S, const QString &APrefix);
bool StartsWithChar(const QString &S, QChar C);
QString RepeatStr(const QString &S, int N);
// T with blanks trimmed is appended to S, with ASep between when S is not empty.
void AddWithSeparator(QString &S, const QString &ASep, const QString &T);
QStringList SplitStr(const QString &S, QChar ASepChar, bool ATrim, bool ASkipEmpty);
QString JoinStrings(const QStringList &AItems, const QString &ASep, bool AKeepEmpty);
QString JoinIntegers(const QList<int> &AItems, const QString &ASep);
int DigitSum(int64_t AValue);
QByteArray PtrToBytes(const void *P, qsizetype N);
// Readable dump: runs of printable bytes in apostrophes, control bytes as <CR>
// etc., 0x80-0x9F as $XX, items separated by blanks.
QString DumpBytes(const void *P, qsizetype N);
// 1-based position of the first digit (0: none); APrefix = the text before it,
// ANumber = the value of the digit run (0 when it does not fit in 64 bits).
int SplitNaturalKey(const QString &S, int64_t &ANumber, QString &APrefix);
int NaturalCompareStr(const QString &A, const QString &B);
QString URLEncode(const QString &S, bool APlusForBlank = false);
QString ResNameStr(const QString &AName);
QString ResNameStr(uint16_t AIdent);
QString MakeResURL(const QString &AModuleName, const QString &AResName, const QString &AResType = QString());
// An empty module name means the running program.
QString MakeModuleResURL(const QString &AModuleFileName, const QString &AResName, const QString &AResType = QString());
void DebugOut(const QString &S);

// One argument of Format.
class TFormatArg
{
public:
    enum TKind { akInt, akUInt, akFloat, akStr };
    TFormatArg(int V) : FKind(akInt), FInt(V) {}
    TFormatArg(long V) : FKind(akInt), FInt(V) {}
    TFormatArg(long long V) : FKind(akInt), FInt(V) {}
    TFormatArg(unsigned V) : FKind(akUInt), FUInt(V) {}
    TFormatArg(unsigned long V) : FKind(akUInt), FUInt(V) {}
    TFormatArg(unsigned long long V) : FKind(akUInt), FUInt(V) {}
    TFormatArg(double V) : FKind(akFloat), FFloat(V) {}
    TFormatArg(const QString &V) : FKind(akStr), FStr(V) {}
    TFormatArg(QStringView V) : FKind(akStr), FStr(V.toString()) {}
    TFormatArg(QLatin1StringView V) : FKind(akStr), FStr(V) {}
    TFormatArg(const char *V) : FKind(akStr), FStr(QString::fromUtf8(V)) {}
    TFormatArg(QChar V) : FKind(akStr), FStr(V) {}

    TKind Kind() const { return FKind; }
    int64_t AsInt() const;
    uint64_t AsUInt() const;
    double AsFloat() const;
    QString AsStr() const;

private:
    TKind FKind;
    int64_t FInt = 0;
    uint64_t FUInt = 0;
    double FFloat = 0;
    QString FStr;
};

// Fills the placeholders of AFmt: "%" ["-"] [width] ["." precision] type,
// width and precision may be "*" (taken from the arguments). Types: s text,
// d signed, u unsigned, x hexadecimal, f fixed, n number with the locale's
// thousands separator (precision = decimals, default 0), and "%%". Numbers use
// the user's locale: QLocale(), the system locale unless the program set another
// default. A placeholder with no argument left, or of an unknown type, is
// written as it stands. Arguments convert between kinds: a number for %s gives
// its decimal text, a float for %d is truncated.
QString Format(const QString &AFmt, std::initializer_list<TFormatArg> AArgs);
