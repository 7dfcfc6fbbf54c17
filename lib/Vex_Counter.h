// Counts per integer key.
#pragma once

#include <QHash>
#include <QList>

#include <utility>

class TCountDictionary
{
public:
    using TPair = std::pair<int, int>;

    TCountDictionary() = default;

    void Clear() { FDict.clear(); }
    // Adds ACount to the key's count; a new key starts at ACount.
    void Add(int AKey, int ACount = 1) { FDict[AKey] += ACount; }
    void AddArray(const QList<TPair> &APairs);
    // 0 for a missing key.
    int GetCount(int AKey) const { return FDict.value(AKey, 0); }
    bool ContainsKey(int AKey) const { return FDict.contains(AKey); }
    // All pairs in no defined order.
    QList<TPair> ToArray() const;
    int KeyCount() const { return int(FDict.size()); }
    QList<int> Keys() const { return FDict.keys(); }
    QList<int> KeyArray() const { return FDict.keys(); }

private:
    QHash<int, int> FDict;
};
