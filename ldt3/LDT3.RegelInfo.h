// The rule dictionary: a readable description of every rule of one table
// set's rule table (LDT 3.1.3 by default, see LDT3.TableSet.h; E: permitted
// contents, F: formats, K: context rules), and the information pages made from
// them. Context rules are only described, never evaluated.
#pragma once

#include <QHash>
#include <QString>
#include <QStringList>

// One rule description.
struct TLDT3RegelInfo
{
    QString Regel;        // name and key, e.g. "E004"
    QString Kategorie;    // "Basis", "KBV" or "QMS" (later tables print "SV" for "QMS")
    QString Fehlerstatus; // "F", "W" or "I"
    QString Pruefung;     // what the rule demands; never empty
    QString Erlaeuterung; // explanation; may be empty
};

class TLDT3RegelDict
{
public:
    // Builds all descriptions of table set ATableSet (0 = LDT 3.1.3, see
    // LDT3.TableSet.h); throws ELDT3Error on a repeated name.
    explicit TLDT3RegelDict(int ATableSet = 0);
    virtual ~TLDT3RegelDict();
    TLDT3RegelDict(const TLDT3RegelDict &) = delete;
    TLDT3RegelDict &operator=(const TLDT3RegelDict &) = delete;

    int Count() const { return int(FDict.size()); }
    // The description of a rule (exact, case-sensitive name), or nullptr.
    const TLDT3RegelInfo *FindRegel(const QString &ARegel) const;

    // Names of all rules beginning with ACh (case-sensitive), ascending.
    QStringList GetRegeln(QChar ACh) const;
    QStringList GetERegeln() const { return GetRegeln(QLatin1Char('E')); }
    QStringList GetFRegeln() const { return GetRegeln(QLatin1Char('F')); }
    QStringList GetKRegeln() const { return GetRegeln(QLatin1Char('K')); }
    // E-rules, then F-rules, then K-rules, each group ascending.
    QStringList GetAlleRegeln() const;

    // Table fragment of one rule; empty for a name without description.
    QString GetRegelInfoTableXHTML(const QString &ARegel) const;
    // The fragments of all names in order (names without description add nothing).
    QString GetRegelInfoTableXHTML(const QStringList &ARegelArr) const;
    // Page of one rule, titled with its name; empty without description.
    QString GetRegelInfoXHTML(const QString &ARegel) const;
    // One page "Regel-Information" with the fragments of all names; empty when
    // none of them is described.
    QString GetRegelInfoXHTML(const QStringList &ARegelArr) const;

    // Adds a description (the generated tables); throws ELDT3Error on a repeated name.
    void AddRegel(const QString &ARegel, const QString &AKategorie, const QString &AFehlerstatus,
                  const QString &APruefung, const QString &AErlaeuterung);

private:
    void InitRegeln();
    // The built-in descriptions (generated).
    void InitERegeln();
    void InitFRegeln();
    void InitKRegeln();

    QHash<QString, TLDT3RegelInfo> FDict;
};

// The process-wide rule dictionary, built on first use (thread-safe; at most
// one instance survives).
TLDT3RegelDict *GetLDT3RegelDict();
// The rule dictionary of table set ATableSet (LDT3.TableSet.h).
TLDT3RegelDict *GetLDT3RegelDict(int ATableSet);
// Frees the process-wide rule dictionaries; called at process end after the
// field dictionary has been freed.
void FreeLDT3RegelDict();
