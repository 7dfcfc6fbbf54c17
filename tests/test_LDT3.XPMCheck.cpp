#include "TestUtil.h"

#include "LDT3.AppSettings.h"
#include "LDT3.FilePtrList.h"
#include "LDT3.XPMCheck.h"
#include "XpmTestUtil.h"

#include <QDir>

#include <algorithm>

using namespace xpmtest;

namespace {

QString StandinDir() { return QString::fromUtf8(VENTOLIX_XPM_STANDIN_DIR); }

TXPMErrRec Rec(const QString &AName, const QString &ATyp, const QString &AZeile)
{
    TXPMErrRec r;
    r.ErrName = AName;
    r.ErrTyp = ATyp;
    r.ErrZeile = AZeile;
    return r;
}

QList<int> LineErrorIdx(const TLDT3FilePtrList &L)
{
    QList<int> r;
    for (int i = 0; i < L.LineErrorList().Count(); ++i)
        r << L.LineErrorList().Items(i).PtrIdx();
    return r;
}

QList<int> Codes(const TLDT3FilePtrList &L)
{
    QList<int> r;
    for (int i = 0; i < L.Count(); ++i)
        r << L.LineErrorCode(i);
    return r;
}

// A copy of a KBV sample under a name with a blank, loaded.
class XPMCheckOnFile : public ::testing::Test
{
protected:
    void SetUp() override
    {
        const QStringList samples = testutil::SampleFiles();
        ASSERT_FALSE(samples.isEmpty());
        FFile = FDir.filePath(QStringLiteral("mein befund.ldt"));
        ASSERT_TRUE(QFile::copy(samples.first(), FFile));
        FList.LoadFromFile(FFile);
        ASSERT_GT(FList.Count(), 5);
        // the first line without any error
        for (int i = 0; i < FList.Count() && FClean < 0; ++i)
            if (FList.LineNoError(i))
                FClean = i;
        ASSERT_GE(FClean, 0);
        TLDT3AppSettings::SetXPMAutoCheck(false);
    }
    void TearDown() override
    {
        TLDT3AppSettings::SetXPMDir(QString());
        TLDT3AppSettings::SetXPMAutoCheck(false);
    }
    QTemporaryDir FDir;
    QString FFile;
    TLDT3FilePtrList FList;
    int FClean = -1;
    TScopedRecorder FRec;
    TRecordingSink FSink;
};

} // namespace

TEST(XPMCheckTexts, StatusAndLineItem)
{
    EXPECT_EQ(XPMStatus(nullptr), QStringLiteral("Es erfolgte keine XPM-Prüfung"));
    TXPMErrList l;
    l.Parameter.ERGEBNIS = QStringLiteral("2");
    l.Parameter.ERGEBNIS_TEXT = QStringLiteral("Datei fehlerhaft");
    EXPECT_EQ(XPMStatus(&l), QStringLiteral("XPM: 2 - Datei fehlerhaft"));

    l.Add(Rec(QStringLiteral("K01 "), QStringLiteral("F"), QStringLiteral("4")));
    l.Add(Rec(QString(), QStringLiteral("W"), QStringLiteral("4")));
    l.Add(Rec(QStringLiteral("K02"), QStringLiteral("A"), QStringLiteral("4")));
    l.Add(Rec(QString(), QStringLiteral("W"), QStringLiteral("5")));
    struct { int Code, Zeile; const TXPMErrList *List; QString Item; } cases[] = {
        {LE_XPMError, 4, &l, QStringLiteral("XPM [K01, K02]")},
        {LE_XPMError | LE_CrLf, 5, &l, QStringLiteral("XPM")},
        {LE_CrLf, 4, &l, QString()},
        {LE_XPMError, 4, nullptr, QString()}, // the bit adds nothing without a result
    };
    for (const auto &c : cases)
        EXPECT_EQ(XPMLineErrorItem(c.Code, c.Zeile, c.List), c.Item) << c.Zeile;
}

TEST_F(XPMCheckOnFile, NoDirectoryNoRun)
{
    const QList<int> before = Codes(FList);
    for (const QString &dir : {QString(), FDir.filePath(QStringLiteral("fehlt"))}) {
        TLDT3AppSettings::SetXPMDir(dir);
        std::unique_ptr<TXPMErrList> xpm;
        EXPECT_FALSE(XPMCheck(FList, xpm));
        EXPECT_EQ(xpm, nullptr);
        TLDT3AppSettings::SetXPMAutoCheck(true);
        XPMAutoCheckOnLoad(FList, xpm);
        EXPECT_EQ(xpm, nullptr);
    }
    EXPECT_EQ(Codes(FList), before);
    EXPECT_TRUE(FRec.Rec().Msgs.empty()); // nothing was started
    EXPECT_TRUE(FSink.Shown.empty());
}

TEST_F(XPMCheckOnFile, MarksLinesOnceAndListsThemAsErroneous)
{
    if (StandinDir().isEmpty())
        GTEST_SKIP() << "no JDK: stand-in module not built";
    TLDT3AppSettings::SetXPMDir(StandinDir());
    const int zeile = FClean + 1;
    const QByteArray msgs = QByteArray::number(zeile) + "|W|K089|Feld|Wert fehlt;" +
                            QByteArray::number(zeile + 1) + "|I|K001|Info|nur Hinweis;0|F|K999|Datei|ohne Zeile";
    TScopedEnv m("XPMSTANDIN_MESSAGES", msgs);
    const QString args = FDir.filePath(QStringLiteral("args.txt"));
    TScopedEnv a("XPMSTANDIN_ARGS", args.toUtf8());
    const auto countersBefore = FList.ErrorCounter().ToArray();
    const int fileErrorsBefore = FList.FileErrors();
    ASSERT_FALSE(LineErrorIdx(FList).contains(FClean));

    std::unique_ptr<TXPMErrList> xpm;
    ASSERT_TRUE(XPMCheck(FList, xpm));
    ASSERT_NE(xpm, nullptr);
    EXPECT_TRUE(FList.LineHasXPMErrors(FClean));
    EXPECT_TRUE(FList.LineHasErrors(FClean));
    EXPECT_FALSE(FList.LineHasXPMErrors(FClean + 1)); // an info does not mark
    EXPECT_TRUE(LineErrorIdx(FList).contains(FClean));
    EXPECT_EQ(FList.ErrorCounter().ToArray(), countersBefore);
    EXPECT_EQ(FList.FileErrors(), fileErrorsBefore);
    EXPECT_EQ(XPMLineErrorItem(FList.LineErrorCode(FClean), zeile, xpm.get()), QStringLiteral("XPM [K089]"));
    EXPECT_EQ(XPMStatus(xpm.get()), QStringLiteral("XPM: 2 - Datei fehlerhaft"));

    // the second check does nothing
    ASSERT_TRUE(QFile::remove(args));
    const TXPMErrList *first = xpm.get();
    const QList<int> codes = Codes(FList);
    EXPECT_FALSE(XPMCheck(FList, xpm));
    EXPECT_EQ(xpm.get(), first);
    EXPECT_EQ(Codes(FList), codes);
    EXPECT_FALSE(QFileInfo::exists(args));

    QString report;
    QTextStream out(&report);
    WriteXPMReport(xpm.get(), out);
    out.flush();
    EXPECT_TRUE(report.startsWith(QStringLiteral("XPM: 2 - Datei fehlerhaft\nDatei: F K999 [Datei] ohne Zeile\n"
                                                 "Zeile %1: W K089 [Feld] Wert fehlt\n").arg(zeile)))
        << report.toStdString();
}

TEST_F(XPMCheckOnFile, AutomaticCheckRunsOnlyWhenSwitchedOn)
{
    if (StandinDir().isEmpty())
        GTEST_SKIP() << "no JDK: stand-in module not built";
    TLDT3AppSettings::SetXPMDir(StandinDir());
    TScopedEnv m("XPMSTANDIN_MESSAGES", QByteArray::number(FClean + 1) + "|F|K1|G|x");
    std::unique_ptr<TXPMErrList> xpm;
    XPMAutoCheckOnLoad(FList, xpm);
    EXPECT_EQ(xpm, nullptr);
    TLDT3AppSettings::SetXPMAutoCheck(true);
    XPMAutoCheckOnLoad(FList, xpm);
    ASSERT_NE(xpm, nullptr);
    EXPECT_TRUE(FList.LineHasXPMErrors(FClean));
}
