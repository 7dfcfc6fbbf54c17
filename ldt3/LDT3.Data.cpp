#include "LDT3.Data.h"

#include "LDT3.Base.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMutex>
#include <QSaveFile>
#include <QStandardPaths>
#include <QTemporaryFile>

namespace {

QMutex GMutex;
QString GConfiguredTmpDir;

QString WithSlash(const QString &ADir)
{
    if (ADir.isEmpty() || ADir.endsWith(QLatin1Char('/')))
        return ADir;
    return ADir + QLatin1Char('/');
}

// Deletes the scheduled files when the process ends.
struct TScheduled
{
    QStringList Files;
    ~TScheduled() { TLDT3Data::DeleteScheduledFiles(); }
};

TScheduled &Scheduled()
{
    static TScheduled s;
    return s;
}

QStringList ReadLines(const QString &AFileName)
{
    QFile f(AFileName);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(f.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

bool WriteLines(const QString &AFileName, const QStringList &ALines)
{
    if (ALines.isEmpty())
        return !QFileInfo::exists(AFileName) || QFile::remove(AFileName);
    QDir().mkpath(QFileInfo(AFileName).absolutePath());
    QSaveFile f(AFileName);
    if (!f.open(QIODevice::WriteOnly))
        return false;
    f.write(ALines.join(QLatin1Char('\n')).toUtf8() + '\n');
    return f.commit();
}

} // namespace

QString TLDT3Data::GetWinTmpDir()
{
    const QString t = QDir::tempPath();
    if (t.isEmpty())
        return QString();
    return WithSlash(QFileInfo(t).canonicalFilePath().isEmpty() ? t : QFileInfo(t).canonicalFilePath());
}

QString TLDT3Data::GetLDTTmpDir()
{
    QMutexLocker lock(&GMutex);
    if (GConfiguredTmpDir.isEmpty())
        GConfiguredTmpDir = GetWinTmpDir() + QStringLiteral("Ventolix");
    if (!QDir().mkpath(GConfiguredTmpDir))
        return GetWinTmpDir();
    return GConfiguredTmpDir;
}

void SetLDTTmpDir(const QString &ADir)
{
    {
        QMutexLocker lock(&GMutex);
        GConfiguredTmpDir = ADir;
    }
    const QString dir = TLDT3Data::GetLDTTmpDir();
    QMutexLocker lock(&GMutex);
    GConfiguredTmpDir = dir;
}

QString TLDT3Data::MakeTmpFile(const QString &ATmpPrefix)
{
    const QString prefix = ATmpPrefix.isEmpty() ? QStringLiteral("TMP") : ATmpPrefix.left(3);
    QTemporaryFile f(WithSlash(GetLDTTmpDir()) + prefix + QStringLiteral("XXXXXX.tmp"));
    f.setAutoRemove(false);
    if (!f.open())
        throw ELDT3Error(QStringLiteral("Es konnte keine temporäre Datei angelegt werden: %1").arg(f.errorString()));
    const QString name = f.fileName();
    f.close();
    if (QFileInfo::exists(name))
        QFile::remove(name);
    return name;
}

bool TLDT3Data::TryDeleteFile(const QString &AFileName)
{
    if (!QFileInfo::exists(AFileName))
        return true;
    if (QFile::remove(AFileName))
        return true;
    return DeleteFileAfterReboot(AFileName);
}

bool TLDT3Data::DeleteFileAfterReboot(const QString &AFileName)
{
    if (AFileName.isEmpty())
        return false;
    const QString abs = QFileInfo(AFileName).absoluteFilePath();
    QMutexLocker lock(&GMutex);
    TScheduled &s = Scheduled();
    if (!s.Files.contains(abs))
        s.Files.append(abs);
    return true;
}

QString TLDT3Data::PendingDeletesFile()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)
           + QStringLiteral("/Norvalis GmbH/ventolix-pending-deletes.txt");
}

QStringList TLDT3Data::ScheduledFiles()
{
    QMutexLocker lock(&GMutex);
    return Scheduled().Files;
}

void TLDT3Data::DeleteScheduledFiles()
{
    QStringList files;
    {
        QMutexLocker lock(&GMutex);
        files.swap(Scheduled().Files);
    }
    if (files.isEmpty())
        return;
    QStringList left;
    for (const QString &f : std::as_const(files))
        if (QFileInfo::exists(f) && !QFile::remove(f))
            left << f;
    if (!left.isEmpty()) {
        QStringList pending = ReadLines(PendingDeletesFile());
        for (const QString &f : std::as_const(left))
            if (!pending.contains(f))
                pending << f;
        WriteLines(PendingDeletesFile(), pending);
    }
}

void TLDT3Data::DeletePendingFiles()
{
    const QString list = PendingDeletesFile();
    QStringList left;
    for (const QString &f : ReadLines(list))
        if (QFileInfo::exists(f) && !QFile::remove(f))
            left << f;
    WriteLines(list, left);
}
