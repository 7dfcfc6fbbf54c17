#include "Vex_Shell.h"

#include "Vex_DesktopEntry.h"

#include <QDir>
#include <QFileInfo>
#include <QMimeDatabase>
#include <QProcess>
#include <QFile>
#include <QHash>
#include <QMutex>
#include <QStandardPaths>
#include <QUrl>

static TShellDialogs *GShellDialogs = nullptr;
static TShellLauncher GLauncher;

void SetShellDialogs(TShellDialogs *ADialogs) { GShellDialogs = ADialogs; }
TShellDialogs *ShellDialogs() { return GShellDialogs; }
void SetShellLauncher(TShellLauncher ALauncher) { GLauncher = std::move(ALauncher); }

bool ShellLaunch(const QString &AProgram, const QStringList &AArgs)
{
    if (GLauncher)
        return GLauncher(AProgram, AArgs);
    if (QStandardPaths::findExecutable(AProgram).isEmpty())
        return false;
    return QProcess::startDetached(AProgram, AArgs);
}

bool ShellOpenFile(const QString &AFileName)
{
    return ShellLaunch(QStringLiteral("xdg-open"), {QFileInfo(AFileName).absoluteFilePath()});
}

bool ShellOpenWithDlg(const QString &AFileName)
{
    return GShellDialogs && GShellDialogs->OpenWithDlg(QFileInfo(AFileName).absoluteFilePath());
}

bool ShellPropertiesDlg(const QString &AFileName)
{
    return GShellDialogs && GShellDialogs->PropertiesDlg(QFileInfo(AFileName).absoluteFilePath());
}

bool ShellExploreFile(const QString &AFileName)
{
    const QFileInfo info(AFileName);
    // the desktop program's own call, when it has one
    if (GShellDialogs && GShellDialogs->ExploreFile(info.absoluteFilePath()))
        return true;
    // dbus-send splits array items at commas: encode them too
    const QString url = QString::fromLatin1(QUrl::fromLocalFile(info.absoluteFilePath()).toEncoded())
                            .replace(QLatin1Char(','), QLatin1String("%2C"));
    // The file manager's D-Bus interface selects the file; else open its folder.
    if (ShellLaunch(QStringLiteral("dbus-send"),
               {QStringLiteral("--session"), QStringLiteral("--dest=org.freedesktop.FileManager1"),
                QStringLiteral("--type=method_call"), QStringLiteral("/org/freedesktop/FileManager1"),
                QStringLiteral("org.freedesktop.FileManager1.ShowItems"),
                QStringLiteral("array:string:") + url, QStringLiteral("string:")}))
        return true;
    return ShellLaunch(QStringLiteral("xdg-open"), {info.absolutePath()});
}

static QMimeType MimeTypeOfExtension(const QString &AExtension)
{
    if (AExtension.isEmpty())
        return QMimeType();
    const QString ext = AExtension.startsWith(QLatin1Char('.')) ? AExtension : QLatin1Char('.') + AExtension;
    const QMimeType t = QMimeDatabase().mimeTypeForFile(QStringLiteral("x") + ext, QMimeDatabase::MatchExtension);
    return t.isDefault() ? QMimeType() : t;
}

// Friendly names per extension, looked up once per process: files with many
// attachments of one format must not ask the MIME database every time.
static QString CachedName(const QString &AExtension, bool AApp, QString (*ALookup)(const QString &))
{
    static QMutex mutex;
    static QHash<QString, QString> cache[2];
    const QString key = AExtension.toLower();
    {
        QMutexLocker lock(&mutex);
        const auto it = cache[AApp].constFind(key);
        if (it != cache[AApp].cend())
            return *it;
    }
    const QString name = ALookup(AExtension);
    QMutexLocker lock(&mutex);
    cache[AApp].insert(key, name);
    return name;
}

static QString LookupDocName(const QString &AExtension)
{
    const QMimeType t = MimeTypeOfExtension(AExtension);
    return t.isValid() ? t.comment() : QString();
}

QString GetFriendlyDocName(const QString &AExtension)
{
    return CachedName(AExtension, false, LookupDocName);
}

static QString LookupAppName(const QString &AExtension)
{
    const QMimeType t = MimeTypeOfExtension(AExtension);
    if (!t.isValid())
        return QString();
    const QString entry = DefaultDesktopEntry(t.name());
    if (entry.isEmpty())
        return QString();
    TDesktopApp app;
    return FindDesktopApp(entry, app) ? app.Name : QString();
}

QString GetFriendlyAppName(const QString &AExtension)
{
    return CachedName(AExtension, true, LookupAppName);
}
