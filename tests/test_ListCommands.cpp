// The checker's --report and --line output.
#include "LDT3.LVBase.h"
#include "ListCommands.h"

#include "TreeTestUtil.h"

using namespace treetest;

TEST(ListCommands, LineShowsEveryColumnTipAndCaption)
{
    QTemporaryDir dir;
    const QString path = testutil::WriteFile(dir, QStringLiteral("Z0112345.ldt"),
                                             BefundFile(Befund(L(8410, "NA") + QByteArray("kaputt\r\n"))));
    QString out, err;
    QTextStream o(&out), e(&err);
    ASSERT_EQ(PrintListLine(path, 5, 30, o, e), 0) << err.toStdString();
    TLDT3LineList list;
    ASSERT_TRUE(list.GetLDT3FilePtrList(path));
    const TLDT3Line line(list.PtrList(), 4);
    QStringList expected;
    for (int c = 0; c < LDT3ColumnCount; ++c)
        expected << LDT3ColumnCaption(c) + QStringLiteral(": ") + line.GetColumn(c);
    expected << QStringLiteral("Tooltip:");
    for (const QString &l : line.InfoTip().split(QLatin1Char('\n')))
        expected << QStringLiteral("  ") + l;
    expected << QStringLiteral("Detail: ") + line.DetailCaption();
    EXPECT_EQ(out, expected.join(QLatin1Char('\n')) + QLatin1Char('\n'));
    EXPECT_TRUE(out.startsWith(QStringLiteral("Zeile: 5\nLänge: 011\nFeld: 8410\nInhalt: NA\n")));

    out.clear();
    ASSERT_EQ(PrintListLine(path, 6, 30, o, e), 0);
    EXPECT_TRUE(out.contains(QStringLiteral("\nDetail: Fehlerhafte Zeile: 6\n")));
    EXPECT_EQ(PrintListLine(path, 99, 30, o, e), 1);
    EXPECT_EQ(PrintListLine(dir.filePath("fehlt.ldt"), 1, 30, o, e), 2);
}

TEST(ListCommands, Reports)
{
    TListReport r;
    EXPECT_TRUE(ParseListReport(QStringLiteral("stats"), r));
    EXPECT_EQ(r, TListReport::Stats);
    EXPECT_FALSE(ParseListReport(QStringLiteral("Info"), r));

    QTemporaryDir dir;
    const QString path = testutil::WriteFile(dir, QStringLiteral("Z0112345.ldt"), BefundFile(Befund(L(8410, "NA"))));
    TLDT3LineList list;
    ASSERT_TRUE(list.GetLDT3FilePtrList(path));
    struct Case { TListReport report; QString page; };
    const Case cases[] = {{TListReport::Info, list.GetFileInfoXHTML()},
                          {TListReport::Stats, list.GetFeldStatistikXHTML()},
                          {TListReport::Content, list.GetFileContentXHTML()}};
    for (const Case &c : cases) {
        QString out, err;
        QTextStream o(&out), e(&err);
        EXPECT_EQ(PrintListReport(path, c.report, 30, o, e), 0);
        EXPECT_EQ(out, c.page);
    }
}
