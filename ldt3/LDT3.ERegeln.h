// Permitted contents (E-rules): the built-in table of all E-rule values with
// their meanings, the content test against a rule and the meaning of a content.
#pragma once

#include <QHash>
#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>

#include <memory>
#include <unordered_map>
#include <vector>

struct TLDT3TableSetDef;

// One permitted value of a rule: Key is the value (Wert), Value its meaning (Bedeutung).
struct TLDT3EPair
{
    QString Key;
    QString Value;
};
using TLDT3EPairArray = QList<TLDT3EPair>;

// One row of the built-in table.
struct TLDT3ETableRow
{
    int ERegel;
    const char16_t *Wert;
    const char16_t *Bedeutung;
};

// The built-in table in table order (generated into LDT3.ERegelnTable.cpp).
extern const TLDT3ETableRow LDT3ETable[];
extern const int LDT3ETableCount;

// The values of one rule. Values are compared exactly (case-sensitive, no trimming).
class TLDT3EItemDict
{
public:
    TLDT3EItemDict() = default;
    virtual ~TLDT3EItemDict() = default;

    void Clear()
    {
        FEItemDict.clear();
        FWertBytes.clear();
    }
    // Throws ELDT3Error when the rule already has the value.
    void Add(const QString &AWert, const QString &ABedeutung);
    void AddOrSet(const QString &AWert, const QString &ABedeutung);
    void Remove(const QString &AWert);
    bool WertExists(const QString &AWert) const { return FEItemDict.contains(AWert); }
    // WertExists for a content as the file's ISO 8859-15 bytes, without making its text.
    bool WertExists(const unsigned char *P, qsizetype ALen) const
    {
        return FWertBytes.contains(QByteArray::fromRawData(reinterpret_cast<const char *>(P), ALen));
    }
    QString GetBedeutung(const QString &AWert) const { return FEItemDict.value(AWert); }
    // The values sorted ascending (plain code-unit order).
    QStringList ErlaubteWerte() const;
    // All pairs in the map's own order.
    TLDT3EPairArray ToArray() const;
    int Count() const { return int(FEItemDict.size()); }

private:
    void AddWertBytes(const QString &AWert);

    QHash<QString, QString> FEItemDict;
    // The values as file bytes; a value with a character outside the
    // character set can be in no line and is left out.
    QSet<QByteArray> FWertBytes;
};

// All rules, filled from the built-in table on construction.
class TLDT3EDict
{
public:
    TLDT3EDict();
    // Filled from another table of ACount rows.
    TLDT3EDict(const TLDT3ETableRow *ATable, int ACount);
    ~TLDT3EDict();
    TLDT3EDict(const TLDT3EDict &) = delete;
    TLDT3EDict &operator=(const TLDT3EDict &) = delete;

    void Clear() { FEDict.clear(); }
    void Add(int AERegel, const QString &AWert, const QString &ABedeutung);
    void RemoveWert(int AERegel, const QString &AWert);
    void RemoveRegel(int AERegel) { FEDict.erase(AERegel); }
    bool RegelExists(int AERegel) const;
    bool WertExists(int AERegel, const QString &AWert) const;
    bool WertExists(int AERegel, const unsigned char *P, qsizetype ALen) const;
    QString GetBedeutung(int AERegel, const QString &AWert) const;
    QStringList ErlaubteWerte(int AERegel) const;
    TLDT3EPairArray ToArray(int AERegel) const;
    // Rule numbers in ascending order.
    QList<int> Regeln() const;
    // Number of values of all rules.
    int WertCount() const;
    // Writes the table as text ([E001] sections of "value"="meaning" lines, CR LF,
    // ISO 8859-15). Throws ELDT3Error when the file cannot be written.
    bool SaveToFile(const QString &AFileName) const;

    // The values of a rule; null for a rule without table.
    const TLDT3EItemDict *Find(int AERegel) const;

private:
    void Init(const TLDT3ETableRow *ATable, int ACount);

    std::unordered_map<int, std::unique_ptr<TLDT3EItemDict>> FEDict;
};

// The permitted-contents service: table rules plus the rules judged by code.
class TLDT3ErlaubeInhalte
{
public:
    // The LDT 3.1.3 rules.
    TLDT3ErlaubeInhalte();
    // The rules of a table set; a set with a version prefix judges E001 by
    // code: its own version and every earlier one of the prefix.
    explicit TLDT3ErlaubeInhalte(const TLDT3TableSetDef &ASet);
    ~TLDT3ErlaubeInhalte();
    TLDT3ErlaubeInhalte(const TLDT3ErlaubeInhalte &) = delete;
    TLDT3ErlaubeInhalte &operator=(const TLDT3ErlaubeInhalte &) = delete;

    void SetPruefsumme_E157(bool AValue) { FPruefsumme_E157 = AValue; }
    bool Pruefsumme_E157() const { return FPruefsumme_E157; }

    bool IstInhaltErlaubt(int AERegel, const QString &AInhalt, int AFK) const;
    // The same for a content as the file's bytes (as LDT3BytesToStr reads them).
    bool IstInhaltErlaubt(int AERegel, const unsigned char *P, qsizetype ALen, int AFK) const;
    QString GetBedeutung(int AERegel, const QString &AInhalt) const;
    bool GetERegelSingleValue(int AERegel, QString &AValue) const;
    bool IsERegelDefined(int AERegel) const;
    TLDT3EPairArray ToArray(int AERegel) const { return FDict->ToArray(AERegel); }
    const TLDT3EDict &Dict() const { return *FDict; }

    // Natural order (NaturalCompareStr) by value resp. by meaning; not stable.
    static void SortPerKey(TLDT3EPairArray &APairArr);
    static void SortPerValue(TLDT3EPairArray &APairArr);

private:
    bool IsSpezialERegel(int AERegel) const;
    bool IsErlaubteVersion(const QString &AInhalt) const;
    void IndexTableRules();

    std::unique_ptr<TLDT3EDict> FDict;
    QList<int> FSpezialERegeln;
    // By rule number: the values of a rule judged by its table alone (null
    // for the special rules), one look-up for the field checks.
    std::vector<const TLDT3EItemDict *> FTableRules;
    QString FVersionPrefix; // "LDT3.2."; empty: E001 is a table rule
    int FVersionMax = -1;   // the set's own last version number after the prefix
    bool FPruefsumme_E157 = false;
};
