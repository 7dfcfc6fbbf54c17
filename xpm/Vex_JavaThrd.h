// Worker that runs a Java program as a hidden child process with captured
// standard handles, polls it every 100 ms and shows the first line of its
// latest output on line 2 of the progress window.
#pragma once

#include "Vex_ExThread.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

// The three standard handles of a child; -1 = closed.
struct TPipeStdHandles
{
    int StdIn = -1;
    int StdOut = -1;
    int StdErr = -1;
};

class TJavaExecThrd : public TExecuteThread
{
public:
    // Sets AProcExitCode to 4294967295 at once; the run stores the child's
    // exit code there. Empty AJavaFileName: "java" from the search path;
    // empty ACurrentDir: the current directory. Streams are the caller's and
    // may be null. Without AProcExitCode the code is kept in the object.
    TJavaExecThrd(const QString &ACaption, const QString &AJavaFileName, const QString &ACommandLine,
                  const QString &ACurrentDir, QByteArray *AOutputStream, QByteArray *AErrorStream,
                  quint32 *AProcExitCode);
    ~TJavaExecThrd() override;

    quint32 ProcExitCode() const { return *FProcExitCode; }
    // errno of the last failed system call of the run, 0 when none.
    int LastError() const { return FLastError; }
    // Process id of the child once started, 0 before.
    qint64 ProcessId() const { return FPid; }
    QString Executable() const;
    // The argument list made from the command line (double quotes group).
    QStringList Arguments() const;

    // The text shown for an output chunk: its first line, or empty.
    static QString FirstOutputLine(const QByteArray &AChunk);

protected:
    void ProcToExecute() override;
    // The runner steps; descendants call it from their own procedure.
    void RunProcess();
    void SetStreams(QByteArray *AOutputStream, QByteArray *AErrorStream);

private:
    void ClosePipes();
    void ReadPipe(int AFd, QByteArray *AStream, bool AIsOutput);

    quint32 FOwnExitCode = 0xFFFFFFFFu;
    quint32 *FProcExitCode;
    QString FCaption;
    QString FJavaFileName;
    QString FCommandLine;
    QString FCurrentDir;
    QByteArray *FOutputStream;
    QByteArray *FErrorStream;
    TPipeStdHandles FRead;  // parent's read ends of output and error, child's read end of input
    TPipeStdHandles FWrite; // parent's write end of input, child's write ends of output and error
    qint64 FPid = 0;
    int FLastError = 0;
};
