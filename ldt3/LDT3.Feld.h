// The field dictionary: every LDT 3 field identifier (FK) with its name,
// follow object, data type, length/format alternatives, E-rule, K-rules and
// explanation, and the check of a field's content against them.
#pragma once

#include "LDT3.Base.h"
#include "LDT3.ERegeln.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <array>
#include <memory>

struct TLDT3TableSetDef;

// One length/format alternative of a field. Exactly one of: a range
// (MinLen, MaxLen >= 0; a fixed length has MinLen == MaxLen), a length list
// (LenArr not empty) or any length ("var").
struct TFmtRec
{
    int MinLen = -1;
    int MaxLen = -1;
    QList<int> LenArr;
    int FRegel = 0; // format rule the content must also satisfy; 0 = none

    bool IsRange() const { return MinLen >= 0 && MaxLen >= 0; }
    bool IsLenList() const { return !IsRange() && !LenArr.isEmpty(); }
    bool IsVar() const { return !IsRange() && LenArr.isEmpty(); }
};

// One field of the table.
struct TLDT3FeldDictRec
{
    QString Feldname;
    QString FolgeObj; // object that follows an object attribute (8100-8299); empty otherwise
    QList<TFmtRec> FmtArr; // alternatives in table order; one accepting the content suffices
    TLDT3::DataTyp DataTyp = TLDT3::alnum;
    int ERegel = 0; // permitted contents; 0 = none
    QList<int> KRegeln; // context rules, shown only
    QString Erl; // explanation, lines separated by line feeds
};

class TLDT3FeldDict
{
public:
    // Field check codes (distinct bits; 1 is the line-level "check skipped").
    enum : int {
        fc_Ok = 0,
        fc_Unbekannt = 2,
        fc_LeererInhalt = 4,
        fc_Datenformat = 8,
        fc_Datenlaenge = 16,
        fc_ERegel = 32,
        fc_FRegel = 64,
    };
    static constexpr int MaxFK = 9999;

    // Builds the whole table of the table set ATableSet (0 = LDT 3.1.3, see
    // LDT3.TableSet.h) and tests it; throws ELDT3Error on a faulty table.
    explicit TLDT3FeldDict(int ATableSet = 0);
    virtual ~TLDT3FeldDict();
    TLDT3FeldDict(const TLDT3FeldDict &) = delete;
    TLDT3FeldDict &operator=(const TLDT3FeldDict &) = delete;

    // Parses one format specification ("≤12|F007", "5,6|F009", "var", ...).
    // Returns false for an invalid one and never throws.
    static bool ParseFmt(const QString &AFmt, TFmtRec &AFmtRec);

    // Adds or replaces a field; throws ELDT3Error on bad input.
    void AddFeld(int AFK, const QString &AFName, const QString &AFolgeObj, const QString &AERegel,
                 TLDT3::DataTyp ADataTyp, const QStringList &AFormate, const QStringList &AKRegeln);
    // Sets the explanation of a field in the table; ignores unknown FKs.
    void SetFeldErl(int AFK, const QString &AErl);
    void Clear();

    // Look-ups; an FK that is not in the table gives empty results.
    bool FeldExists(int AFK) const { return FindFeld(AFK) != nullptr; }
    const TLDT3FeldDictRec *FindFeld(int AFK) const
    {
        if (AFK < 0 || AFK > MaxFK || FIndex[AFK] < 0)
            return nullptr;
        return &FDict[FIndex[AFK]];
    }
    int Count() const { return int(FDict.size()); }
    QString GetFeldName(int AFK) const;
    QString GetFeldNameOrFKStr(int AFK) const;
    QString GetFolgeObj(int AFK) const;
    QString GetBedeutung(int AFK, const QString &AInhalt) const;
    QString GetBedeutungOrInhalt(int AFK, const QString &AInhalt) const;
    QString GetDataTypStr(int AFK) const;
    QString GetFeldErl(int AFK) const;
    QString GetFeldERegel(int AFK) const;
    QStringList GetFeldERegeln(int AFK) const;
    QStringList GetFeldFRegeln(int AFK) const;
    QStringList GetFeldKRegeln(int AFK) const;
    TLDT3EPairArray GetErlaubteInhalteFromFeld(int AFK, bool ASortedByValue) const;
    // Every FK of the table as four digits, ascending.
    QStringList GetFelder() const;
    TLDT3EPairArray GetErlaubteInhalteFromERegel(int AERegel, bool ASortedByValue) const;

    static QString DataTypToStr(TLDT3::DataTyp ADataTyp);

    // Checks
    static bool CheckDataLaenge(const TFmtRec &AFmtRec, qsizetype ALen);
    static bool CheckDataLaenge(const TFmtRec &AFmtRec, const QString &AInhalt)
    {
        return CheckDataLaenge(AFmtRec, AInhalt.size());
    }
    // Judges a content: returns a field check code and a short message.
    int CheckFeld(int AFK, const QString &AInhalt, QString &Msg) const;
    // The same for the content bytes of a line (ISO 8859-15). Gives exactly the
    // result of the text form for LDT3BytesToStr(AInhalt, ALen, U+0000), but
    // builds a text only where a rule needs one. ACharsAllowed: the caller
    // knows every byte lies in the character set (the loader found it so).
    int CheckFeld(int AFK, const unsigned char *AInhalt, qsizetype ALen, QString &Msg,
                  bool ACharsAllowed = false) const;

    // The file checksum verdict that E-rule E157 (FK 9300) follows.
    void SetPruefsumme_E157(bool AValue);

    // Text forms of an alternative: "var", "5, 6", "9", "1 ≤ 60"; with rule "9 (F010)".
    static QString FmtLenToStr(const TFmtRec &AFmtRec);
    static QString FmtToStr(const TFmtRec &AFmtRec);

    // The LDT version the table describes ("LDT3.1.3").
    const QString &ImplementedVersion() const { return FImplementedVersion; }
    int TableSetIndex() const { return FTableSet; }

private:
    template <class TContent>
    int CheckFeldImpl(int AFK, const TContent &AContent, QString &Msg) const;

    // The built-in table (generated).
    void InitFelder();
    void InitFeldErl();

    // FK -> index into FDict, -1 when absent: one array access per look-up.
    std::array<qint16, MaxFK + 1> FIndex;
    QList<TLDT3FeldDictRec> FDict;
    std::unique_ptr<TLDT3ErlaubeInhalte> FErlaubteInhalte;
    // Scratch lists of AddFeld (construction only).
    QList<int> FKHelper;
    QList<TFmtRec> FFHelper;
    QString FImplementedVersion;
    int FTableSet = 0;
    const TLDT3TableSetDef *FDef = nullptr;

    // ---------------------------------------------------------------- information pages
public:
    // The field page: AXPMMsg (verbatim, when given), the field table and the
    // tables of the field's rules; empty for an FK not in the table.
    QString GetFeldInfoXHTML(int AFK, const QString &AXPMMsg) const;
    QString GetFeldInfoXHTML(const QString &AFKStr, const QString &AXPMMsg) const;
    // The field table fragment; empty for an FK not in the table.
    QString GetFeldInfoTableXHTML(int AFK) const;
    // The page "Regel-Information" of the field's rules; empty when none is described.
    QString GetFeldRegelInfoXHTML(int AFK) const;
    QString GetFeldRegelInfoXHTML(const QString &AFKStr) const;
    // The rule table fragments of the field; empty when none is described.
    QString GetFeldRegelInfoTableXHTML(int AFK) const;
    QString GetFeldRegelInfoTableXHTML(const QString &AFKStr) const;
    // E-rule, then F-rules (one per alternative naming one), then K-rules.
    QStringList GetFeldRegeln(int AFK) const;
};

// The process-wide field dictionary, built on first use (thread-safe; at most
// one instance survives). Throws ELDT3Error when the built-in table is faulty.
TLDT3FeldDict *GetLDT3FeldDict();
// The field dictionary of table set ATableSet (LDT3.TableSet.h); the default
// set's for an index out of range.
TLDT3FeldDict *GetLDT3FeldDict(int ATableSet);

// The checksum verdict that E157 follows belongs to the file loaded last: sets
// it in the dictionary of ATableSet and clears it in every other one built.
void SetLDT3Pruefsumme_E157(int ATableSet, bool AValue);

// Frees the process-wide dictionaries, the field dictionary first. Runs by
// itself at process end; later calls of the accessors build them anew.
void FreeLDT3Dicts();
