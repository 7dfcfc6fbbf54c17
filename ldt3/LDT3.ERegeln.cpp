#include "LDT3.ERegeln.h"

#include "LDT3.Base.h"
#include "LDT3.TableSet.h"
#include "LDT3.Zeichen.h"
#include "WStrTools.h"

#include <QFile>

#include <algorithm>
#include <limits>

// ---------------------------------------------------------------------------
// TLDT3EItemDict

void TLDT3EItemDict::Add(const QString &AWert, const QString &ABedeutung)
{
    if (FEItemDict.contains(AWert))
        throw ELDT3Error(QStringLiteral("Fehler: Doppelter Wert \"%1\" in Regeltabelle").arg(AWert));
    FEItemDict.insert(AWert, ABedeutung);
    AddWertBytes(AWert);
}

void TLDT3EItemDict::AddOrSet(const QString &AWert, const QString &ABedeutung)
{
    FEItemDict.insert(AWert, ABedeutung);
    AddWertBytes(AWert);
}

void TLDT3EItemDict::Remove(const QString &AWert)
{
    FEItemDict.remove(AWert);
    // The encoding is one to one, so the bytes belong to this value only.
    if (LDT3StrAllowed(AWert, false))
        FWertBytes.remove(LDT3StrToBytes(AWert, 0));
}

void TLDT3EItemDict::AddWertBytes(const QString &AWert)
{
    if (LDT3StrAllowed(AWert, false))
        FWertBytes.insert(LDT3StrToBytes(AWert, 0));
}

QStringList TLDT3EItemDict::ErlaubteWerte() const
{
    QStringList r = FEItemDict.keys();
    std::sort(r.begin(), r.end());
    return r;
}

TLDT3EPairArray TLDT3EItemDict::ToArray() const
{
    TLDT3EPairArray r;
    r.reserve(FEItemDict.size());
    for (auto it = FEItemDict.cbegin(); it != FEItemDict.cend(); ++it)
        r.append({it.key(), it.value()});
    return r;
}

// ---------------------------------------------------------------------------
// TLDT3EDict

TLDT3EDict::TLDT3EDict() { Init(LDT3ETable, LDT3ETableCount); }

TLDT3EDict::TLDT3EDict(const TLDT3ETableRow *ATable, int ACount) { Init(ATable, ACount); }

TLDT3EDict::~TLDT3EDict() = default;

void TLDT3EDict::Init(const TLDT3ETableRow *ATable, int ACount)
{
    for (int i = 0; i < ACount; ++i) {
        const TLDT3ETableRow &row = ATable[i];
        Add(row.ERegel, QString::fromUtf16(row.Wert), QString::fromUtf16(row.Bedeutung));
    }
}

const TLDT3EItemDict *TLDT3EDict::Find(int AERegel) const
{
    const auto it = FEDict.find(AERegel);
    return it == FEDict.end() ? nullptr : it->second.get();
}

void TLDT3EDict::Add(int AERegel, const QString &AWert, const QString &ABedeutung)
{
    std::unique_ptr<TLDT3EItemDict> &item = FEDict[AERegel];
    if (!item)
        item = std::make_unique<TLDT3EItemDict>();
    try {
        item->Add(AWert, ABedeutung);
    } catch (const ELDT3Error &) {
        throw ELDT3Error(QStringLiteral("Fehler: Doppelter Wert \"%1\" in Regel %2")
                             .arg(AWert, ERegelToStr(AERegel)));
    }
}

void TLDT3EDict::RemoveWert(int AERegel, const QString &AWert)
{
    const auto it = FEDict.find(AERegel);
    if (it != FEDict.end())
        it->second->Remove(AWert);
}

bool TLDT3EDict::RegelExists(int AERegel) const
{
    const TLDT3EItemDict *item = Find(AERegel);
    return item && item->Count() > 0;
}

bool TLDT3EDict::WertExists(int AERegel, const QString &AWert) const
{
    const TLDT3EItemDict *item = Find(AERegel);
    return item && item->WertExists(AWert);
}

bool TLDT3EDict::WertExists(int AERegel, const unsigned char *P, qsizetype ALen) const
{
    const TLDT3EItemDict *item = Find(AERegel);
    return item && item->WertExists(P, ALen);
}

QString TLDT3EDict::GetBedeutung(int AERegel, const QString &AWert) const
{
    const TLDT3EItemDict *item = Find(AERegel);
    return item ? item->GetBedeutung(AWert) : QString();
}

QStringList TLDT3EDict::ErlaubteWerte(int AERegel) const
{
    const TLDT3EItemDict *item = Find(AERegel);
    return item ? item->ErlaubteWerte() : QStringList();
}

TLDT3EPairArray TLDT3EDict::ToArray(int AERegel) const
{
    const TLDT3EItemDict *item = Find(AERegel);
    return item ? item->ToArray() : TLDT3EPairArray();
}

QList<int> TLDT3EDict::Regeln() const
{
    QList<int> r;
    r.reserve(int(FEDict.size()));
    for (const auto &kv : FEDict)
        r.append(kv.first);
    std::sort(r.begin(), r.end());
    return r;
}

int TLDT3EDict::WertCount() const
{
    int n = 0;
    for (const auto &kv : FEDict)
        n += kv.second->Count();
    return n;
}

bool TLDT3EDict::SaveToFile(const QString &AFileName) const
{
    const TNaturalStrComparer comparer(false);
    QString text;
    for (int regel : Regeln()) {
        if (!text.isEmpty())
            text += QLatin1String("\r\n");
        text += QLatin1Char('[') + ERegelToStr(regel) + QLatin1String("]\r\n");
        TLDT3EPairArray pairs = ToArray(regel);
        std::stable_sort(pairs.begin(), pairs.end(), [&comparer](const TLDT3EPair &a, const TLDT3EPair &b) {
            return comparer.Compare(a.Key, b.Key) < 0;
        });
        for (const TLDT3EPair &p : pairs)
            text += QLatin1Char('"') + p.Key + QLatin1String("\"=\"") + p.Value + QLatin1String("\"\r\n");
    }
    QFile f(AFileName);
    const QByteArray bytes = LDT3StrToBytes(text, '?');
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(bytes) != bytes.size() || !f.flush())
        throw ELDT3Error(QStringLiteral("Die Datei \"%1\" kann nicht geschrieben werden: %2")
                             .arg(AFileName, f.errorString()));
    return true;
}

// ---------------------------------------------------------------------------
// TLDT3ErlaubeInhalte

namespace {
constexpr int FK_Gruppe = 7414;
constexpr int E001 = 1, E003 = 3, E012 = 12, E023 = 23, E027 = 27, E028 = 28, E029 = 29, E036 = 36, E157 = 157;

// Digits only and a value from AMin to AMax. A value beyond a 32-bit integer
// is not permitted (it is an answer, not an error).
bool IsNumInRange(const QString &AInhalt, int AMin, int AMax)
{
    if (!TLDT3::Is_num(AInhalt))
        return false;
    bool ok = false;
    const int v = AInhalt.toInt(&ok);
    return ok && v >= AMin && v <= AMax;
}
} // namespace

TLDT3ErlaubeInhalte::TLDT3ErlaubeInhalte()
    : FDict(std::make_unique<TLDT3EDict>()), FSpezialERegeln({0, E003, E012, E028, E036, E157})
{
    IndexTableRules();
}

TLDT3ErlaubeInhalte::TLDT3ErlaubeInhalte(const TLDT3TableSetDef &ASet)
    : FDict(std::make_unique<TLDT3EDict>(ASet.ETable, ASet.ETableCount)), FSpezialERegeln({0, E003, E012, E028, E036, E157})
{
    if (ASet.VersionPrefix) {
        FVersionPrefix = QString::fromUtf16(ASet.VersionPrefix);
        const QString own = QString::fromUtf16(ASet.Version);
        bool ok = false;
        if (own.startsWith(FVersionPrefix))
            FVersionMax = own.mid(FVersionPrefix.size()).toInt(&ok);
        if (!ok)
            throw ELDT3Error(QStringLiteral("Fehler: Die Version %1 beginnt nicht mit %2").arg(own, FVersionPrefix));
        FSpezialERegeln.insert(1, E001);
    }
    IndexTableRules();
}

void TLDT3ErlaubeInhalte::IndexTableRules()
{
    // rule numbers are small (E001 to E999); others keep the general way
    constexpr int kMax = 1000;
    FTableRules.assign(kMax, nullptr);
    for (int regel : FDict->Regeln())
        if (regel >= 0 && regel < kMax && !IsSpezialERegel(regel))
            FTableRules[size_t(regel)] = FDict->Find(regel);
}

TLDT3ErlaubeInhalte::~TLDT3ErlaubeInhalte() = default;

bool TLDT3ErlaubeInhalte::IsErlaubteVersion(const QString &AInhalt) const
{
    // "LDT3.2.4" for the set LDT3.2.20: the prefix, then a number up to the
    // set's own, written without leading zero.
    if (!AInhalt.startsWith(FVersionPrefix))
        return false;
    const QString n = AInhalt.mid(FVersionPrefix.size());
    if (n.isEmpty() || n.size() > 3 || !TLDT3::Is_num(n) || (n.size() > 1 && n[0] == QLatin1Char('0')))
        return false;
    return n.toInt() <= FVersionMax;
}

bool TLDT3ErlaubeInhalte::IsSpezialERegel(int AERegel) const
{
    return std::binary_search(FSpezialERegeln.cbegin(), FSpezialERegeln.cend(), AERegel);
}

bool TLDT3ErlaubeInhalte::IstInhaltErlaubt(int AERegel, const QString &AInhalt, int AFK) const
{
    if (!IsSpezialERegel(AERegel))
        return FDict->WertExists(AERegel, AInhalt);
    switch (AERegel) {
    case 0:
    case E036:
        return true;
    case E001:
        return IsErlaubteVersion(AInhalt);
    case E003:
        return IsNumInRange(AInhalt, 2, 999);
    case E012:
        return IsNumInRange(AInhalt, 1, std::numeric_limits<int>::max());
    case E028:
        // The group text (FK 7414) is free; the group code (FK 7413) must be
        // one of the codes of the table.
        return AFK == FK_Gruppe || FDict->WertExists(E028, AInhalt);
    case E157:
        return FPruefsumme_E157;
    default:
        return false;
    }
}

bool TLDT3ErlaubeInhalte::IstInhaltErlaubt(int AERegel, const unsigned char *P, qsizetype ALen, int AFK) const
{
    // The table rules are looked up on the bytes; the special rules need the text.
    if (AERegel >= 0 && AERegel < int(FTableRules.size()) && FTableRules[size_t(AERegel)])
        return FTableRules[size_t(AERegel)]->WertExists(P, ALen);
    if (!IsSpezialERegel(AERegel))
        return FDict->WertExists(AERegel, P, ALen);
    if (AERegel == E028 && AFK != FK_Gruppe)
        return FDict->WertExists(E028, P, ALen);
    return IstInhaltErlaubt(AERegel, LDT3BytesToStr(P, ALen, QChar(0)), AFK);
}

QString TLDT3ErlaubeInhalte::GetBedeutung(int AERegel, const QString &AInhalt) const
{
    QString r = FDict->GetBedeutung(AERegel, AInhalt);
    // Two-digit status codes may be written with one digit ("7" for "07").
    if (r.isEmpty() && (AERegel == E023 || AERegel == E027 || AERegel == E029) && AInhalt.size() == 1)
        r = FDict->GetBedeutung(AERegel, QLatin1Char('0') + AInhalt);
    return r;
}

bool TLDT3ErlaubeInhalte::GetERegelSingleValue(int AERegel, QString &AValue) const
{
    AValue.clear();
    const QStringList werte = FDict->ErlaubteWerte(AERegel);
    if (werte.size() != 1)
        return false;
    AValue = werte.first();
    return true;
}

bool TLDT3ErlaubeInhalte::IsERegelDefined(int AERegel) const
{
    return IsSpezialERegel(AERegel) || FDict->RegelExists(AERegel);
}

// Merge sort: stays within bounds even where the natural order is not a
// strict weak order (texts with and without digits mixed).
void TLDT3ErlaubeInhalte::SortPerKey(TLDT3EPairArray &APairArr)
{
    std::stable_sort(APairArr.begin(), APairArr.end(),
              [](const TLDT3EPair &a, const TLDT3EPair &b) { return NaturalCompareStr(a.Key, b.Key) < 0; });
}

void TLDT3ErlaubeInhalte::SortPerValue(TLDT3EPairArray &APairArr)
{
    std::stable_sort(APairArr.begin(), APairArr.end(),
              [](const TLDT3EPair &a, const TLDT3EPair &b) { return NaturalCompareStr(a.Value, b.Value) < 0; });
}
