#include "TestUtil.h"

#include "Vex_JavaThrd.h"
#include "XpmTestUtil.h"

#include <QDir>

#include <cerrno>
#include <chrono>
#include <signal.h>
#include <thread>

using namespace xpmtest;

namespace {

// The runner takes any program; the shell stands in for java here.
quint32 RunShell(const QString &AScript, QByteArray *AOut, QByteArray *AErr, TRecording *ARec = nullptr,
                 const QString &ADir = QString())
{
    TScopedRecorder rec;
    quint32 code = 0;
    TJavaExecThrd t(QStringLiteral("Caption"), QStringLiteral("/bin/sh"), QStringLiteral("-c \"%1\"").arg(AScript),
                    ADir, AOut, AErr, &code);
    EXPECT_EQ(code, 0xFFFFFFFFu); // set at creation
    EXPECT_TRUE(ExecuteWithThreadInfo(t, QStringLiteral("Titel"), 2, false, true));
    if (ARec)
        *ARec = rec.Rec();
    return code;
}

} // namespace

TEST(JavaThrd, CapturesOutputErrorAndExitCode)
{
    QByteArray out, err;
    TRecording rec;
    const quint32 code = RunShell(QStringLiteral("printf 'erste\\r\\nzweite\\r\\n'; printf kaputt >&2; exit 3"), &out,
                                  &err, &rec);
    EXPECT_EQ(code, 3u);
    EXPECT_EQ(out, QByteArray("erste\r\nzweite\r\n"));
    EXPECT_EQ(err, QByteArray("kaputt"));
    EXPECT_EQ(TextsOf(rec, 1), QStringList{QStringLiteral("Caption")});
    EXPECT_EQ(TextsOf(rec, 2), QStringList{QStringLiteral("erste")});
}

TEST(JavaThrd, RunsInTheGivenDirectoryAndWithoutStreams)
{
    QTemporaryDir dir;
    QByteArray out;
    EXPECT_EQ(RunShell(QStringLiteral("pwd"), &out, nullptr, nullptr, dir.path() + u'/'), 0u);
    EXPECT_EQ(QDir(QString::fromLocal8Bit(out.trimmed())).canonicalPath(), QDir(dir.path()).canonicalPath());
    EXPECT_EQ(RunShell(QStringLiteral("echo x; exit 0"), nullptr, nullptr), 0u);
}

TEST(JavaThrd, ProgramNotFoundLeavesExitCodeAllOnes)
{
    TScopedRecorder rec;
    quint32 code = 0;
    TJavaExecThrd t(QStringLiteral("c"), QStringLiteral("/nonexistent/dir/java"), QStringLiteral("-version"),
                    QString(), nullptr, nullptr, &code);
    EXPECT_TRUE(ExecuteWithThreadInfo(t, QStringLiteral("Titel"), 2, false, true));
    EXPECT_EQ(code, 4294967295u);
    EXPECT_EQ(t.LastError(), ENOENT);
    EXPECT_EQ(t.ProcessId(), 0);
}

TEST(JavaThrd, CancelLeavesTheChildRunning)
{
    TScopedRecorder rec;
    rec.Rec().CancelAfterTexts = 2; // caption, then the child's first line
    TJavaExecThrd t(QStringLiteral("c"), QStringLiteral("/bin/sh"),
                    QStringLiteral("-c \"echo gestartet; exec sleep 20\""), QString(), nullptr, nullptr, nullptr);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(ExecuteWithThreadInfo(t, QStringLiteral("Titel"), 2, false, true));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
    EXPECT_TRUE(t.Canceled());
    EXPECT_EQ(t.ProcExitCode(), 0xFFFFFFFFu);
    const pid_t pid = pid_t(t.ProcessId());
    ASSERT_GT(pid, 0);
    EXPECT_EQ(::kill(pid, 0), 0) << "child was killed";
    ::kill(pid, SIGKILL);
    // collected by the runner's reaper; wait until it is gone
    for (int i = 0; i < 100 && ::kill(pid, 0) == 0; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_NE(::kill(pid, 0), 0);
}

TEST(JavaThrd, FirstOutputLineAndArguments)
{
    struct { QByteArray Chunk; QString Line; } cases[] = {
        {"eins\r\nzwei\r\n", QStringLiteral("eins")},
        {"ganz ohne Zeilenende", QStringLiteral("ganz ohne Zeilenende")},
        {"\r\nnach leerer Zeile", QString()},
        {"unix\nzwei", QStringLiteral("unix")},
        {"nur CR\rweiter", QStringLiteral("nur CR")},
        {"Preis \xA4", QStringLiteral("Preis €")},
    };
    for (const auto &c : cases)
        EXPECT_EQ(TJavaExecThrd::FirstOutputLine(c.Chunk), c.Line) << c.Chunk.constData();

    TJavaExecThrd t(QString(), QString(), QStringLiteral("-cp \"Bin/*\" -p FehlerListe=\"/tmp/a b.xml\" -f \"/tmp/x y.ldt\""),
                    QString(), nullptr, nullptr, nullptr);
    EXPECT_EQ(t.Executable(), QStringLiteral("java"));
    const QStringList expected{QStringLiteral("-cp"), QStringLiteral("Bin/*"), QStringLiteral("-p"),
                               QStringLiteral("FehlerListe=/tmp/a b.xml"), QStringLiteral("-f"),
                               QStringLiteral("/tmp/x y.ldt")};
    EXPECT_EQ(t.Arguments(), expected);
}
