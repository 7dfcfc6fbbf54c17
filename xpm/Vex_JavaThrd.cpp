#include "Vex_JavaThrd.h"

#include "LDT3.Zeichen.h"

#include <QDir>
#include <QProcess>

#include <cerrno>
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <thread>
#include <vector>

extern char **environ;

namespace {

constexpr int PipeBufferSize = 0xFFFE;
constexpr int PollIntervalMs = 100;

void CloseFd(int &AFd)
{
    if (AFd >= 0)
        ::close(AFd);
    AFd = -1;
}

// A child we stop waiting for runs on; someone must still collect its status.
void ReapLater(pid_t APid)
{
    std::thread([APid]() {
        int status = 0;
        while (::waitpid(APid, &status, 0) < 0 && errno == EINTR) {
        }
    }).detach();
}

} // namespace

TJavaExecThrd::TJavaExecThrd(const QString &ACaption, const QString &AJavaFileName, const QString &ACommandLine,
                             const QString &ACurrentDir, QByteArray *AOutputStream, QByteArray *AErrorStream,
                             quint32 *AProcExitCode)
    : FProcExitCode(AProcExitCode ? AProcExitCode : &FOwnExitCode), FCaption(ACaption),
      FJavaFileName(AJavaFileName), FCommandLine(ACommandLine), FCurrentDir(ACurrentDir),
      FOutputStream(AOutputStream), FErrorStream(AErrorStream)
{
    *FProcExitCode = 0xFFFFFFFFu;
}

TJavaExecThrd::~TJavaExecThrd() = default;

void TJavaExecThrd::SetStreams(QByteArray *AOutputStream, QByteArray *AErrorStream)
{
    FOutputStream = AOutputStream;
    FErrorStream = AErrorStream;
}

QString TJavaExecThrd::Executable() const
{
    QString exe = FJavaFileName.isEmpty() ? QStringLiteral("java") : FJavaFileName;
    // a quoted name (as a Windows-style command line would give it) stands for itself
    if (exe.size() >= 2 && exe.startsWith(u'"') && exe.endsWith(u'"'))
        exe = exe.mid(1, exe.size() - 2);
    return exe;
}

QStringList TJavaExecThrd::Arguments() const { return QProcess::splitCommand(FCommandLine); }

QString TJavaExecThrd::FirstOutputLine(const QByteArray &AChunk)
{
    // the module writes ISO 8859-15 (it is started with that file encoding)
    QString s = LDT3BytesToStr(reinterpret_cast<const unsigned char *>(AChunk.constData()), AChunk.size(), u' ');
    // lines end with CR LF or, on this platform, with a bare LF
    qsizetype end = s.indexOf(u'\r');
    const qsizetype lf = s.indexOf(u'\n');
    if (end < 0 || (lf >= 0 && lf < end))
        end = lf;
    if (end >= 0)
        s.truncate(end);
    return s;
}

void TJavaExecThrd::ProcToExecute() { RunProcess(); }

void TJavaExecThrd::ClosePipes()
{
    CloseFd(FRead.StdIn);
    CloseFd(FRead.StdOut);
    CloseFd(FRead.StdErr);
    CloseFd(FWrite.StdIn);
    CloseFd(FWrite.StdOut);
    CloseFd(FWrite.StdErr);
}

void TJavaExecThrd::ReadPipe(int AFd, QByteArray *AStream, bool AIsOutput)
{
    if (AFd < 0)
        return;
    int avail = 0;
    if (::ioctl(AFd, FIONREAD, &avail) != 0 || avail <= 0)
        return;
    QByteArray chunk(avail, Qt::Uninitialized);
    qsizetype got = 0;
    while (got < avail) {
        const ssize_t n = ::read(AFd, chunk.data() + got, size_t(avail - got));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        got += n;
    }
    chunk.truncate(got);
    if (chunk.isEmpty())
        return;
    if (AStream)
        AStream->append(chunk);
    if (AIsOutput) {
        const QString line = FirstOutputLine(chunk);
        if (!line.isEmpty()) {
            ShowInfoMsg(2, line);
            std::this_thread::yield();
        }
    }
}

void TJavaExecThrd::RunProcess()
{
    ShowInfoMsg(1, FCaption);
    FLastError = 0;

    // stdin, stdout, stderr; [0] read end, [1] write end
    int fds[3][2] = {{-1, -1}, {-1, -1}, {-1, -1}};
    for (auto &p : fds) {
        if (::pipe2(p, O_CLOEXEC) != 0) {
            FLastError = errno;
            for (auto &q : fds) {
                CloseFd(q[0]);
                CloseFd(q[1]);
            }
            return;
        }
        ::fcntl(p[0], F_SETPIPE_SZ, PipeBufferSize);
    }
    FRead = {fds[0][0], fds[1][0], fds[2][0]};
    FWrite = {fds[0][1], fds[1][1], fds[2][1]};

    const QByteArray exe = QFile::encodeName(Executable());
    std::vector<QByteArray> args;
    args.push_back(exe);
    for (const QString &a : Arguments())
        args.push_back(QFile::encodeName(a));
    std::vector<char *> argv;
    for (QByteArray &a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawnattr_t attr;
    posix_spawn_file_actions_init(&actions);
    posix_spawnattr_init(&attr);
    posix_spawn_file_actions_adddup2(&actions, FRead.StdIn, 0);
    posix_spawn_file_actions_adddup2(&actions, FWrite.StdOut, 1);
    posix_spawn_file_actions_adddup2(&actions, FWrite.StdErr, 2);
    const QByteArray cwd = QFile::encodeName(FCurrentDir);
    if (!FCurrentDir.isEmpty())
        posix_spawn_file_actions_addchdir_np(&actions, cwd.constData());
    // own process group: a Ctrl+C of the user cancels our run, not the child
    sigset_t none, defaults;
    sigemptyset(&none);
    sigemptyset(&defaults);
    sigaddset(&defaults, SIGINT);
    sigaddset(&defaults, SIGPIPE);
    posix_spawnattr_setpgroup(&attr, 0);
    posix_spawnattr_setsigmask(&attr, &none);
    posix_spawnattr_setsigdefault(&attr, &defaults);
    posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETPGROUP | POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);

    pid_t pid = 0;
    const int rc = ::posix_spawnp(&pid, exe.constData(), &actions, &attr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attr);
    // the child's ends belong to the child now
    CloseFd(FRead.StdIn);
    CloseFd(FWrite.StdOut);
    CloseFd(FWrite.StdErr);
    if (rc != 0) {
        FLastError = rc;
        ClosePipes();
        return;
    }
    FPid = pid;

    bool ended = false;
    while (!ShutDownRequested()) {
        int status = 0;
        const pid_t w = ::waitpid(pid, &status, WNOHANG);
        if (w == pid) {
            ReadPipe(FRead.StdOut, FOutputStream, true);
            ReadPipe(FRead.StdErr, FErrorStream, false);
            if (WIFEXITED(status))
                *FProcExitCode = quint32(WEXITSTATUS(status));
            else if (WIFSIGNALED(status))
                *FProcExitCode = quint32(128 + WTERMSIG(status));
            ended = true;
            break;
        }
        if (w < 0 && errno != EINTR) {
            FLastError = errno;
            break;
        }
        WaitShutDownRequested(PollIntervalMs);
        ReadPipe(FRead.StdOut, FOutputStream, true);
        ReadPipe(FRead.StdErr, FErrorStream, false);
    }
    if (!ended)
        ReapLater(pid);
    ClosePipes();
}
