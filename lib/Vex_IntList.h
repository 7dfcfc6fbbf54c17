// A sorted set of integers and a dictionary of such sets.
#pragma once

#include <QList>
#include <QString>

#include <initializer_list>
#include <memory>
#include <span>
#include <unordered_map>
#include <utility>

// Integers in ascending order without duplicates. Enumerates ascending.
class TSortedUniqueIntList
{
public:
    // Set operations of Assign.
    enum TListAssignOp { laCopy, laAnd, laOr, laXor, laSrcUnique, laDestUnique };
    using const_iterator = QList<int>::const_iterator;

    TSortedUniqueIntList() = default;
    TSortedUniqueIntList(std::initializer_list<int> AValues) { AddRange(std::span<const int>(AValues.begin(), AValues.size())); }

    // True when the value was new.
    bool Add(int AValue);
    // False when the text is no integer.
    bool Add(const QString &AStrValue);
    bool AddIfGreaterZero(int AValue);
    bool AddIfGreaterZero(const QString &AStrValue);
    bool AddIfGreaterOrEqualZero(int AValue);
    bool AddIfGreaterOrEqualZero(const QString &AStrValue);

    void AddRange(std::span<const int> AValues);
    void AddRange(const QList<int> &AValues) { AddRange(std::span<const int>(AValues.constData(), size_t(AValues.size()))); }
    template <typename TEnumerable>
        requires requires(const TEnumerable &e) { e.begin(); e.end(); }
    void AddRange(const TEnumerable &AValues)
    {
        for (int v : AValues)
            Add(v);
    }
    // Every integer from AValueFrom to AValueTo inclusive.
    void AddRange(int AValueFrom, int AValueTo);

    void Clear() { FList.clear(); }
    int Count() const { return int(FList.size()); }
    int Capacity() const { return int(FList.capacity()); }
    // Throws std::out_of_range below Count.
    void SetCapacity(int ACapacity);
    // Throws std::out_of_range for a bad index.
    int Items(int AIndex) const;
    int operator[](int AIndex) const { return Items(AIndex); }
    int IndexOf(int AValue) const;
    bool Exists(int AValue) const { return IndexOf(AValue) >= 0; }
    // Throws std::out_of_range for a bad index.
    void Delete(int AIndex);
    bool DeleteValue(int AValue);
    QList<int> ToArray() const { return FList; }

    // Without AListB: combines this list with AListA. With AListB: becomes a
    // copy of AListA, then combines with AListB.
    void Assign(const TSortedUniqueIntList &AListA, TListAssignOp AOperator = laCopy,
                const TSortedUniqueIntList *AListB = nullptr);

    const_iterator begin() const { return FList.cbegin(); }
    const_iterator end() const { return FList.cend(); }

    bool operator==(const TSortedUniqueIntList &AOther) const = default;

private:
    // Index of AValue, or of the place where it belongs (negative: -(place + 1)).
    qsizetype Find(int AValue) const;

    QList<int> FList;
};

// Integer key -> sorted set of integers. The dictionary owns its lists.
class TSortedUniqueIntListDict
{
public:
    using TPair = std::pair<int, const TSortedUniqueIntList *>;

    // Keys are plain integers; the lists are owned in any case.
    explicit TSortedUniqueIntListDict(bool AOwnsKeys = false) { (void)AOwnsKeys; }
    TSortedUniqueIntListDict(const TSortedUniqueIntListDict &) = delete;
    TSortedUniqueIntListDict &operator=(const TSortedUniqueIntListDict &) = delete;

    void Add(int AKey, int AValue);
    void AddRange(int AKey, std::span<const int> AValues);
    void AddRange(int AKey, const QList<int> &AValues) { AddRange(AKey, std::span<const int>(AValues.constData(), size_t(AValues.size()))); }
    void AddRange(int AKey, int AValueFrom, int AValueTo);

    bool TryGetValue(int AKey, const TSortedUniqueIntList *&AList) const;
    bool ContainsKey(int AKey) const { return FDict.find(AKey) != FDict.end(); }
    // Throws std::out_of_range for a missing key.
    const TSortedUniqueIntList &Items(int AKey) const;
    int Count() const { return int(FDict.size()); }
    QList<int> Keys() const;
    QList<const TSortedUniqueIntList *> Values() const;
    QList<TPair> ToArray() const;
    // The key's values ascending; empty for a missing key.
    QList<int> GetIntArray(int AKey) const;
    int GetIntCount(int AKey) const;
    void Clear() { FDict.clear(); }

private:
    TSortedUniqueIntList &ListFor(int AKey);

    std::unordered_map<int, std::unique_ptr<TSortedUniqueIntList>> FDict;
};
