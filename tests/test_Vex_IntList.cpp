#include "Vex_IntList.h"

#include <gtest/gtest.h>

#include <climits>
#include <random>
#include <set>
#include <stdexcept>

TEST(SortedUniqueIntList, AddKeepsOrderAndRejectsDuplicates)
{
    TSortedUniqueIntList l;
    EXPECT_TRUE(l.Add(5));
    EXPECT_TRUE(l.Add(3));
    EXPECT_FALSE(l.Add(5));
    EXPECT_TRUE(l.Add(9));
    EXPECT_EQ(l.ToArray(), QList<int>({3, 5, 9}));
}

TEST(SortedUniqueIntList, MatchesStdSetOnRandomInput)
{
    std::mt19937 rng(42);
    std::uniform_int_distribution<int> dist(-500, 500);
    TSortedUniqueIntList l;
    std::set<int> ref;
    for (int i = 0; i < 5000; ++i) {
        const int v = dist(rng);
        if (i % 7 == 0) {
            EXPECT_EQ(l.DeleteValue(v), ref.erase(v) == 1);
        } else {
            EXPECT_EQ(l.Add(v), ref.insert(v).second);
        }
    }
    ASSERT_EQ(l.Count(), int(ref.size()));
    int idx = 0;
    for (int v : ref) {
        EXPECT_EQ(l.Items(idx), v);
        EXPECT_EQ(l.IndexOf(v), idx);
        ++idx;
    }
    EXPECT_EQ(l.IndexOf(10000), -1);
    EXPECT_FALSE(l.Exists(-10000));
}

TEST(SortedUniqueIntList, TextVariants)
{
    struct Case { const char *Text; bool Plain, GreaterZero, GreaterOrEqualZero; } cases[] = {
        {"12", true, true, true},
        {"0", true, false, true},
        {"-3", true, false, false},
        {"abc", false, false, false},
        {"", false, false, false},
        {"99999999999", false, false, false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.Text);
        const QString s = QString::fromLatin1(c.Text);
        TSortedUniqueIntList a, b, d;
        EXPECT_EQ(a.Add(s), c.Plain);
        EXPECT_EQ(b.AddIfGreaterZero(s), c.GreaterZero);
        EXPECT_EQ(d.AddIfGreaterOrEqualZero(s), c.GreaterOrEqualZero);
        EXPECT_EQ(b.Count(), c.GreaterZero ? 1 : 0);
        EXPECT_EQ(d.Count(), c.GreaterOrEqualZero ? 1 : 0);
    }
    TSortedUniqueIntList l;
    EXPECT_FALSE(l.AddIfGreaterZero(0));
    EXPECT_TRUE(l.AddIfGreaterOrEqualZero(0));
    EXPECT_FALSE(l.AddIfGreaterOrEqualZero(0)); // already present
}

TEST(SortedUniqueIntList, Ranges)
{
    TSortedUniqueIntList l;
    l.AddRange(7, 5);
    EXPECT_EQ(l.Count(), 0);
    l.AddRange(5, 7);
    EXPECT_EQ(l.ToArray(), QList<int>({5, 6, 7}));
    l.AddRange(QList<int>{9, 1, 6});
    EXPECT_EQ(l.ToArray(), QList<int>({1, 5, 6, 7, 9}));
    std::set<int> s{3, 4};
    l.AddRange(s);
    EXPECT_EQ(l.ToArray(), QList<int>({1, 3, 4, 5, 6, 7, 9}));

    // The upper end of the integer range must not loop for ever.
    TSortedUniqueIntList top;
    top.AddRange(INT_MAX - 2, INT_MAX);
    EXPECT_EQ(top.ToArray(), QList<int>({INT_MAX - 2, INT_MAX - 1, INT_MAX}));
}

TEST(SortedUniqueIntList, IndexErrorsAndDelete)
{
    TSortedUniqueIntList l{4, 2, 8};
    EXPECT_THROW(l.Items(3), std::out_of_range);
    EXPECT_THROW(l.Items(-1), std::out_of_range);
    EXPECT_THROW(l.Delete(3), std::out_of_range);
    l.Delete(0);
    EXPECT_EQ(l.ToArray(), QList<int>({4, 8}));
    EXPECT_FALSE(l.DeleteValue(2));
    EXPECT_THROW(l.SetCapacity(1), std::out_of_range);
    l.SetCapacity(100);
    EXPECT_GE(l.Capacity(), 100);
    QList<int> seen;
    for (int v : l)
        seen << v;
    EXPECT_EQ(seen, QList<int>({4, 8}));
}

TEST(SortedUniqueIntList, AssignOperators)
{
    const TSortedUniqueIntList a{1, 2, 3, 4};
    const TSortedUniqueIntList b{3, 4, 5};
    struct Case { TSortedUniqueIntList::TListAssignOp Op; QList<int> Expected; } cases[] = {
        {TSortedUniqueIntList::laCopy, {3, 4, 5}},
        {TSortedUniqueIntList::laAnd, {3, 4}},
        {TSortedUniqueIntList::laOr, {1, 2, 3, 4, 5}},
        {TSortedUniqueIntList::laXor, {1, 2, 5}},
        {TSortedUniqueIntList::laSrcUnique, {5}},
        {TSortedUniqueIntList::laDestUnique, {1, 2}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(int(c.Op));
        TSortedUniqueIntList l{99};
        l.Assign(a, c.Op, &b); // becomes a, then combined with b
        EXPECT_EQ(l.ToArray(), c.Expected);
        TSortedUniqueIntList m = a;
        m.Assign(b, c.Op); // combines itself with b
        EXPECT_EQ(m.ToArray(), c.Expected);
    }
    // Combining a list with itself as the first source.
    TSortedUniqueIntList self{1, 2};
    self.Assign(self, TSortedUniqueIntList::laOr, &b);
    EXPECT_EQ(self.ToArray(), QList<int>({1, 2, 3, 4, 5}));
}

TEST(SortedUniqueIntListDict, AddAndLookup)
{
    TSortedUniqueIntListDict d(true);
    d.Add(10, 5);
    d.Add(10, 1);
    d.Add(10, 5);
    d.AddRange(20, 3, 4);
    d.AddRange(30, QList<int>{7, 6});
    EXPECT_EQ(d.Count(), 3);
    EXPECT_EQ(d.GetIntArray(10), QList<int>({1, 5}));
    EXPECT_EQ(d.GetIntCount(20), 2);
    EXPECT_EQ(d.GetIntArray(30), QList<int>({6, 7}));
    EXPECT_TRUE(d.GetIntArray(99).isEmpty());
    EXPECT_EQ(d.GetIntCount(99), 0);
    EXPECT_FALSE(d.ContainsKey(99));
    EXPECT_THROW(d.Items(99), std::out_of_range);
    EXPECT_EQ(d.Items(10).Count(), 2);

    const TSortedUniqueIntList *l = nullptr;
    EXPECT_TRUE(d.TryGetValue(20, l));
    ASSERT_NE(l, nullptr);
    EXPECT_EQ(l->ToArray(), QList<int>({3, 4}));
    EXPECT_FALSE(d.TryGetValue(21, l));
    EXPECT_EQ(l, nullptr);

    QList<int> keys = d.Keys();
    std::sort(keys.begin(), keys.end());
    EXPECT_EQ(keys, QList<int>({10, 20, 30}));
    int total = 0;
    for (const auto &p : d.ToArray())
        total += p.second->Count();
    EXPECT_EQ(total, 6);

    d.Clear();
    EXPECT_EQ(d.Count(), 0);
    EXPECT_FALSE(d.ContainsKey(10));
}
