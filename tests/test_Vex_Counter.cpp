#include "Vex_Counter.h"
#include "Vex_MinMax.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>

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

TEST(IntMinMaxDetector, TracksExtremes)
{
    TIntMinMaxDetector m = TIntMinMaxDetector::CreateNamed(QStringLiteral("Len"));
    EXPECT_FALSE(m.GotValues());
    EXPECT_EQ(m.Name(), QStringLiteral("Len"));
    for (int v : {7, 3, 9})
        m.Add(v);
    EXPECT_TRUE(m.GotValues());
    EXPECT_EQ(m.MinValue(), 3);
    EXPECT_EQ(m.MaxValue(), 9);
    EXPECT_EQ(m.Count(), 3u);

    m.Clear();
    EXPECT_FALSE(m.GotValues());
    // After Clear the first value sets both ends again, even when below the old minimum.
    m.Add(-5);
    EXPECT_EQ(m.MinValue(), -5);
    EXPECT_EQ(m.MaxValue(), -5);

    TIntMinMaxDetector d; // descending series: every value a new minimum
    for (int v : {INT_MAX, 10, INT_MIN})
        d.Add(v);
    EXPECT_EQ(d.MinValue(), INT_MIN);
    EXPECT_EQ(d.MaxValue(), INT_MAX);
}
