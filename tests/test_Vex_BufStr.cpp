#include "Vex_BufStr.h"

#include <gtest/gtest.h>

TEST(BufferedString, LinesAndLength)
{
    TBufferedString b;
    b.AddLine(QString());
    EXPECT_EQ(b.AsString(), QStringLiteral("\r\n"));
    b.Clear();
    EXPECT_EQ(b.Len(), 0);
    EXPECT_TRUE(b.AsString().isEmpty());

    b.Add(QStringLiteral("abc"));
    b.AddNewLine();
    EXPECT_EQ(b.Len(), 5);
    b.Add(QString());
    EXPECT_EQ(b.Len(), 5);

    TBufferedString s(QStringLiteral("Start"));
    s.Add(QLatin1StringView("\xe4-"));
    EXPECT_EQ(s.AsString(), QStringLiteral("Start\u00e4-"));
}

TEST(BufferedString, MatchesPlainConcatenationAcrossPageBoundaries)
{
    // Texts of lengths around the 4096-unit page, appended in every form.
    TBufferedString b;
    QString expected;
    for (int len : {1, 4093, 4094, 4095, 4096, 4097, 0, 8191, 8192, 3, 12000}) {
        const QString s(len, QChar(u'a' + len % 26));
        b.Add(s);
        expected += s;
        b.AddLine(s);
        expected += s + QStringLiteral("\r\n");
        b.AddNewLine();
        expected += QStringLiteral("\r\n");
        ASSERT_EQ(b.Len(), expected.size());
        ASSERT_GE(b.Capacity(), b.Len());
    }
    EXPECT_EQ(b.AsString(), expected);
}

TEST(BufferedString, ManyLinesGrowInWholePages)
{
    TBufferedString b;
    const QString line = QStringLiteral("<tr><td>8000</td><td>Satzart</td></tr>");
    for (int i = 0; i < 10000; ++i)
        b.AddLine(line);
    EXPECT_EQ(b.Len(), 10000 * (line.size() + 2));
    EXPECT_EQ(b.Capacity() % 4096, 0);
    EXPECT_LT(b.Capacity() - b.Len(), 2 * 4096);
}
