#include "Vex_Counter.h"

#include <gtest/gtest.h>

#include <algorithm>

TEST(CountDictionary, AddsUpPerKey)
{
    TCountDictionary d;
    d.Add(8000, 1);
    d.Add(8000, 1);
    d.AddArray({{-1, 3}, {8000, 5}, {6329, 0}});
    EXPECT_EQ(d.GetCount(8000), 7);
    EXPECT_EQ(d.GetCount(-1), 3);
    EXPECT_EQ(d.GetCount(1234), 0);
    EXPECT_FALSE(d.ContainsKey(1234));
    EXPECT_TRUE(d.ContainsKey(6329)); // a zero count still makes the key
    EXPECT_EQ(d.KeyCount(), 3);

    QList<TCountDictionary::TPair> pairs = d.ToArray();
    std::sort(pairs.begin(), pairs.end());
    EXPECT_EQ(pairs, (QList<TCountDictionary::TPair>{{-1, 3}, {6329, 0}, {8000, 7}}));

    d.Clear();
    EXPECT_EQ(d.KeyCount(), 0);
    EXPECT_EQ(d.GetCount(8000), 0);
}
