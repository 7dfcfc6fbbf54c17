#include "Vex_IntList.h"

#include <algorithm>
#include <stdexcept>

namespace {

int StrToIntDef(const QString &S, int ADefault)
{
    bool ok = false;
    const int v = S.toInt(&ok);
    return ok ? v : ADefault;
}

} // namespace

qsizetype TSortedUniqueIntList::Find(int AValue) const
{
    const auto it = std::lower_bound(FList.cbegin(), FList.cend(), AValue);
    const qsizetype place = it - FList.cbegin();
    if (it != FList.cend() && *it == AValue)
        return place;
    return -(place + 1);
}

bool TSortedUniqueIntList::Add(int AValue)
{
    // Appending in ascending order is the common case: no search needed.
    if (FList.isEmpty() || FList.constLast() < AValue) {
        FList.append(AValue);
        return true;
    }
    const qsizetype i = Find(AValue);
    if (i >= 0)
        return false;
    FList.insert(-i - 1, AValue);
    return true;
}

bool TSortedUniqueIntList::Add(const QString &AStrValue)
{
    bool ok = false;
    const int v = AStrValue.toInt(&ok);
    return ok && Add(v);
}

bool TSortedUniqueIntList::AddIfGreaterZero(int AValue)
{
    return AValue > 0 && Add(AValue);
}

bool TSortedUniqueIntList::AddIfGreaterZero(const QString &AStrValue)
{
    return AddIfGreaterZero(StrToIntDef(AStrValue, 0));
}

bool TSortedUniqueIntList::AddIfGreaterOrEqualZero(int AValue)
{
    return AValue >= 0 && Add(AValue);
}

bool TSortedUniqueIntList::AddIfGreaterOrEqualZero(const QString &AStrValue)
{
    return AddIfGreaterOrEqualZero(StrToIntDef(AStrValue, -1));
}

void TSortedUniqueIntList::AddRange(std::span<const int> AValues)
{
    for (int v : AValues)
        Add(v);
}

void TSortedUniqueIntList::AddRange(int AValueFrom, int AValueTo)
{
    if (AValueTo < AValueFrom)
        return;
    // 64-bit counter: AValueTo may be INT_MAX.
    for (qint64 v = AValueFrom; v <= AValueTo; ++v)
        Add(int(v));
}

void TSortedUniqueIntList::SetCapacity(int ACapacity)
{
    if (ACapacity < FList.size())
        throw std::out_of_range("TSortedUniqueIntList: capacity below count");
    if (ACapacity < FList.capacity())
        FList.squeeze();
    FList.reserve(ACapacity);
}

int TSortedUniqueIntList::Items(int AIndex) const
{
    if (AIndex < 0 || AIndex >= FList.size())
        throw std::out_of_range("TSortedUniqueIntList: index out of range");
    return FList.at(AIndex);
}

int TSortedUniqueIntList::IndexOf(int AValue) const
{
    const qsizetype i = Find(AValue);
    return i >= 0 ? int(i) : -1;
}

void TSortedUniqueIntList::Delete(int AIndex)
{
    if (AIndex < 0 || AIndex >= FList.size())
        throw std::out_of_range("TSortedUniqueIntList: index out of range");
    FList.removeAt(AIndex);
}

bool TSortedUniqueIntList::DeleteValue(int AValue)
{
    const qsizetype i = Find(AValue);
    if (i < 0)
        return false;
    FList.removeAt(i);
    return true;
}

void TSortedUniqueIntList::Assign(const TSortedUniqueIntList &AListA, TListAssignOp AOperator,
                                  const TSortedUniqueIntList *AListB)
{
    if (AListB) {
        const QList<int> a = AListA.FList; // AListA may be this list
        FList = a;
        Assign(*AListB, AOperator);
        return;
    }
    const QList<int> &src = AListA.FList;
    QList<int> r;
    switch (AOperator) {
    case laCopy:
        r = src;
        break;
    case laAnd:
        std::set_intersection(FList.cbegin(), FList.cend(), src.cbegin(), src.cend(), std::back_inserter(r));
        break;
    case laOr:
        std::set_union(FList.cbegin(), FList.cend(), src.cbegin(), src.cend(), std::back_inserter(r));
        break;
    case laXor:
        std::set_symmetric_difference(FList.cbegin(), FList.cend(), src.cbegin(), src.cend(), std::back_inserter(r));
        break;
    case laSrcUnique:
        std::set_difference(src.cbegin(), src.cend(), FList.cbegin(), FList.cend(), std::back_inserter(r));
        break;
    case laDestUnique:
        std::set_difference(FList.cbegin(), FList.cend(), src.cbegin(), src.cend(), std::back_inserter(r));
        break;
    }
    FList = std::move(r);
}

// --- TSortedUniqueIntListDict

TSortedUniqueIntList &TSortedUniqueIntListDict::ListFor(int AKey)
{
    auto &p = FDict[AKey];
    if (!p)
        p = std::make_unique<TSortedUniqueIntList>();
    return *p;
}

void TSortedUniqueIntListDict::Add(int AKey, int AValue)
{
    ListFor(AKey).Add(AValue);
}

void TSortedUniqueIntListDict::AddRange(int AKey, std::span<const int> AValues)
{
    ListFor(AKey).AddRange(AValues);
}

void TSortedUniqueIntListDict::AddRange(int AKey, int AValueFrom, int AValueTo)
{
    ListFor(AKey).AddRange(AValueFrom, AValueTo);
}

bool TSortedUniqueIntListDict::TryGetValue(int AKey, const TSortedUniqueIntList *&AList) const
{
    const auto it = FDict.find(AKey);
    AList = it != FDict.end() ? it->second.get() : nullptr;
    return AList != nullptr;
}

const TSortedUniqueIntList &TSortedUniqueIntListDict::Items(int AKey) const
{
    const auto it = FDict.find(AKey);
    if (it == FDict.end())
        throw std::out_of_range("TSortedUniqueIntListDict: key not found");
    return *it->second;
}

QList<int> TSortedUniqueIntListDict::Keys() const
{
    QList<int> r;
    r.reserve(qsizetype(FDict.size()));
    for (const auto &kv : FDict)
        r.append(kv.first);
    return r;
}

QList<const TSortedUniqueIntList *> TSortedUniqueIntListDict::Values() const
{
    QList<const TSortedUniqueIntList *> r;
    r.reserve(qsizetype(FDict.size()));
    for (const auto &kv : FDict)
        r.append(kv.second.get());
    return r;
}

QList<TSortedUniqueIntListDict::TPair> TSortedUniqueIntListDict::ToArray() const
{
    QList<TPair> r;
    r.reserve(qsizetype(FDict.size()));
    for (const auto &kv : FDict)
        r.append(TPair(kv.first, kv.second.get()));
    return r;
}

QList<int> TSortedUniqueIntListDict::GetIntArray(int AKey) const
{
    const auto it = FDict.find(AKey);
    return it != FDict.end() ? it->second->ToArray() : QList<int>();
}

int TSortedUniqueIntListDict::GetIntCount(int AKey) const
{
    const auto it = FDict.find(AKey);
    return it != FDict.end() ? it->second->Count() : 0;
}
