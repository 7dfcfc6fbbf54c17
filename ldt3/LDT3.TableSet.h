// The compiled-in table sets: the field, rule and value tables of one LDT
// version each. LDT 3.1.3 is the default; a file's version line (FK 0001)
// chooses the set that checks it, and the lookup pages can show any set.
#pragma once

#include "LDT3.ERegeln.h"
#include "LDT3.Feld.h"
#include "LDT3.RegelInfo.h"

#include <QString>
#include <QStringList>

#include <iterator>

// One set as generated (tools/gen_tableset.py); the default set's tables are
// the classes' own initialisers, so its function pointers are null.
struct TLDT3TableSetDef
{
    const char16_t *Version;       // "LDT3.2.20"
    const char16_t *VersionPrefix; // version lines starting so choose the set; null: the default
    void (*InitFelder)(TLDT3FeldDict &);
    void (*InitFeldErl)(TLDT3FeldDict &);
    void (*InitRegeln)(TLDT3RegelDict &);
    const TLDT3ETableRow *ETable;
    int ETableCount;
    const int *RemovedFKs; // fields of the default set that this version no longer has
    int RemovedFKCount;
};

// The sets in order; the first is the default (generated into LDT3.TableSetList.cpp).
extern const TLDT3TableSetDef *const LDT3TableSetDefs[];
extern const int LDT3TableSetDefCount;

// A handle of one set; cheap to copy. The default handle is LDT 3.1.3.
class TLDT3TableSet
{
public:
    TLDT3TableSet() = default;

    static int Count();
    // The set at AIndex (0 = default); the default set for an index out of range.
    static TLDT3TableSet At(int AIndex);
    // The set that checks a file with this version line: the set whose
    // prefix the version starts with ("LDT3.2.4" -> LDT3.2.20), else the default
    // (LDT3.1.x, no version line, anything else).
    static TLDT3TableSet ForXDTVersion(const QString &AXDTVersion);
    // A set by its version: "3.2.20", "LDT3.2.20" or "LDT 3.2.20". False when none has it.
    static bool FromName(const QString &AName, TLDT3TableSet &ASet);
    // The versions of all sets, default first ("LDT3.1.3", "LDT3.2.20").
    static QStringList Versions();

    int Index() const { return FIndex; }
    bool IsDefault() const { return FIndex == 0; }
    // "LDT3.2.20", as the version line writes it.
    QString Version() const;
    // "LDT 3.2.20", for messages.
    QString DisplayName() const;
    const TLDT3TableSetDef &Def() const { return *LDT3TableSetDefs[FIndex]; }
    // The set's process-wide dictionaries, built on first use.
    TLDT3FeldDict *FeldDict() const { return GetLDT3FeldDict(FIndex); }
    TLDT3RegelDict *RegelDict() const { return GetLDT3RegelDict(FIndex); }

    bool operator==(const TLDT3TableSet &) const = default;

private:
    explicit TLDT3TableSet(int AIndex) : FIndex(AIndex) {}
    int FIndex = 0;
};

// The main window's title: "%s - %s - [%s]" with the application title, the
// set's version and the file name; without a file name "%s - %s".
QString LDT3WindowTitle(const QString &AAppTitle, const TLDT3TableSet &ASet, const QString &AFileName);
