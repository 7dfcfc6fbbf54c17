#include "TestUtil.h"

#include "LDT3.Base.h"
#include "LocalHttpServer.h"
#include "Vex_Download.h"
#include "XpmTestUtil.h"

#include <QCoreApplication>
#include <QDir>

#include <chrono>

using namespace xpmtest;

namespace {

QStringList FilesIn(const QTemporaryDir &ADir)
{
    return QDir(ADir.path()).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot);
}

// Runs DownloadURLToFile and returns the error text, or "" on success, "<abgebrochen>" when cancelled.
QString Download(const QString &AUrl, const QString &ADest)
{
    try {
        return DownloadURLToFile(AUrl, ADest, QString(), false) ? QString() : QStringLiteral("<abgebrochen>");
    } catch (const ELDT3Error &e) {
        return e.Message();
    }
}

class Download : public ::testing::Test
{
protected:
    TLocalHttpServer FServer;
    QTemporaryDir FDir;
    TScopedRecorder FRec;
    QString Target() const { return FDir.filePath(QStringLiteral("ziel.txt")); }
};

} // namespace

TEST_F(Download, FileArrivesWholeWithProgressToTheEnd)
{
    ASSERT_GT(FServer.Port(), 0);
    EXPECT_EQ(::Download(FServer.Url("/file.txt"), Target()), QString());
    EXPECT_EQ(testutil::ReadAll(Target()), FServer.Body());
    EXPECT_EQ(FilesIn(FDir), QStringList{QStringLiteral("ziel.txt")}); // no temporary left behind
    int lastPos = -1;
    bool ranged = false;
    for (const auto &m : FRec.Rec().Msgs) {
        ranged |= m.Kind == TThreadInfoMsg::tiRange && m.Value == 0 && m.Value2 == 100;
        if (m.Kind == TThreadInfoMsg::tiProgress)
            lastPos = m.Value;
    }
    EXPECT_TRUE(ranged);
    EXPECT_EQ(lastPos, 100);
    EXPECT_EQ(TextsOf(FRec.Rec(), 1), QStringList{QDir::toNativeSeparators(Target())});
}

TEST_F(Download, HttpErrorIsReportedWithStatusAndLeavesNoFile)
{
    const QString url = FServer.Url("/missing");
    const QString err = ::Download(url, Target());
    EXPECT_TRUE(err.startsWith(QStringLiteral("Fehler beim Download von \"%1\"\n").arg(url))) << err.toStdString();
    EXPECT_TRUE(err.contains(QStringLiteral("404"))) << err.toStdString();
    EXPECT_TRUE(FilesIn(FDir).isEmpty());
}

TEST_F(Download, RedirectToAnotherPathIsAbortedAndReported)
{
    const QString url = FServer.Url("/redirect");
    const QString err = ::Download(url, Target());
    EXPECT_TRUE(err.startsWith(QStringLiteral("Fehler beim Download von \"%1\"\n").arg(url))) << err.toStdString();
    EXPECT_TRUE(err.contains(FServer.Url("/file.txt"))) << err.toStdString();
    EXPECT_TRUE(FilesIn(FDir).isEmpty());
}

TEST_F(Download, CancelDuringSlowBodyReturnsFalseAndLeavesNoFile)
{
    FRec.Rec().CancelWhen = [](const TRecording &R) {
        for (const auto &m : R.Msgs)
            if (m.Kind == TThreadInfoMsg::tiProgress)
                return true;
        return false;
    };
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(::Download(FServer.Url("/slow"), Target()), QStringLiteral("<abgebrochen>"));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
    EXPECT_TRUE(FilesIn(FDir).isEmpty());
}

TEST_F(Download, InvalidUrlOrMissingDirectoryGivesResultOne)
{
    struct { QString Url, Dest; } cases[] = {
        {QStringLiteral("das ist keine URL"), Target()},
        {QStringLiteral("http://"), Target()},
        {FServer.Url("/file.txt"), FDir.filePath(QStringLiteral("fehlt/ziel.txt"))},
    };
    for (const auto &c : cases) {
        qint32 res = 77;
        TURLDownloadToFileThread t(c.Url, c.Dest, QString(), res, true);
        EXPECT_EQ(res, TDownloadRes::Invalid);
        EXPECT_TRUE(ExecuteWithThreadInfo(t, QStringLiteral("Datei-Download..."), 1, true, true));
        EXPECT_EQ(res, TDownloadRes::Invalid) << c.Url.toStdString();
        EXPECT_TRUE(::Download(c.Url, c.Dest).startsWith(QStringLiteral("Fehler beim Download von \"%1\"\n").arg(c.Url)));
    }
    EXPECT_TRUE(FilesIn(FDir).isEmpty());
}

int main(int argc, char **argv)
{
    UnsetProxies();
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
