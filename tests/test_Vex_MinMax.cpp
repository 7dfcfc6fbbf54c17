#include "Vex_MinMax.h"

#include <gtest/gtest.h>

#include <climits>

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
