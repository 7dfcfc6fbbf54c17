#include "VentolixStart.h"

#include "LDT3.Base.h"
#include "LDT3.Data.h"
#include "Vex_Download.h"
#include "Vex_MessageSink.h"
#include "WStrTools.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QUrl>
#include <QXmlStreamReader>

#include <cstdio>

#ifndef VENTOLIX_UPDATE_URL
#define VENTOLIX_UPDATE_URL ""
#endif
#ifndef VENTOLIX_SHARE_DIR
#define VENTOLIX_SHARE_DIR ""
#endif
#ifndef VENTOLIX_VERSION
#define VENTOLIX_VERSION ""
#endif

const char *const NoUpdateURLMsg =
    "Es ist keine Update-Adresse eingestellt.\n"
    "Ohne Update-Adresse sucht das Programm nicht nach Updates (Einstellung \"UpdateURL\" im Abschnitt \"Main\").";

// ---------------------------------------------------------------- binding

namespace {
// A configuration is a few kilobytes; anything this large is not one.
constexpr qint64 MaxConfigSize = 8 * 1024 * 1024;
} // namespace

class TStartConfigReader
{
public:
    static bool Read(const QByteArray &ABytes, TXMLVentolix &AVentolix)
    {
        QXmlStreamReader r(ABytes);
        // up to the document element; a document type declaration is refused,
        // so no entity of any kind is ever declared or expanded
        while (!r.atEnd()) {
            const auto t = r.readNext();
            if (t == QXmlStreamReader::DTD || t == QXmlStreamReader::EntityReference)
                return false;
            if (t == QXmlStreamReader::StartElement)
                break;
        }
        if (r.tokenType() != QXmlStreamReader::StartElement || r.name() != u"Ventolix")
            return false;
        bool haveApp = false, haveStart = false;
        while (NextChild(r)) {
            if (r.name() == u"Application") {
                haveApp = true;
                ReadApplication(r, AVentolix.FApplication);
            } else if (r.name() == u"Startseite") {
                haveStart = true;
                ReadStartseite(r, AVentolix.FStartseite);
            } else {
                r.skipCurrentElement();
            }
        }
        // the rest must be well-formed, too
        while (!r.atEnd()) {
            const auto t = r.readNext();
            if (t == QXmlStreamReader::DTD || t == QXmlStreamReader::EntityReference)
                return false;
        }
        return !r.hasError() && haveApp && haveStart;
    }

private:
    // Moves to the next child element of the current one; false at its end.
    static bool NextChild(QXmlStreamReader &r)
    {
        while (!r.atEnd()) {
            const auto t = r.readNext();
            if (t == QXmlStreamReader::StartElement)
                return true;
            if (t == QXmlStreamReader::EndElement || t == QXmlStreamReader::EntityReference)
                return false;
        }
        return false;
    }

    static void ReadApplication(QXmlStreamReader &r, TXMLApplication &AApp)
    {
        while (NextChild(r)) {
            const auto a = r.attributes();
            if (r.name() == u"AppVersion") {
                AApp.FAppVersion.FVersion = a.value(QLatin1String("Version")).toString();
                AApp.FAppVersion.FUpgradePath = a.value(QLatin1String("UpgradePath")).toString();
            } else if (r.name() == u"AppEdition") {
                AApp.FAppEdition.FEdition = a.value(QLatin1String("Edition")).toString();
            }
            r.skipCurrentElement();
        }
    }

    static void ReadStartseite(QXmlStreamReader &r, TXMLStartseite &AStart)
    {
        while (NextChild(r)) {
            if (r.name() == u"Level1") {
                AStart.FItems.emplace_back();
                ReadEntry(r, AStart.FItems.back(), 1);
            } else {
                r.skipCurrentElement();
            }
        }
    }

    static void ReadEntry(QXmlStreamReader &r, TXMLStartEntry &AEntry, int ALevel)
    {
        const auto a = r.attributes();
        AEntry.FLevel = ALevel;
        AEntry.FName = a.value(QLatin1String("Name")).toString();
        AEntry.FOnline = a.value(QLatin1String("Online")).toString().trimmed();
        AEntry.FOffline = a.value(QLatin1String("Offline")).toString().trimmed();
        // anything but "true" or "1" (missing, misspelt) means no local copy
        const QString ld = a.value(QLatin1String("LocalDownload")).toString().trimmed();
        AEntry.FLocalDownload = ld.compare(u"true", Qt::CaseInsensitive) == 0 || ld == u"1";
        const QString childName = QStringLiteral("Level%1").arg(ALevel + 1);
        while (NextChild(r)) {
            if (ALevel < 3 && r.name() == childName) {
                AEntry.FItems.emplace_back();
                ReadEntry(r, AEntry.FItems.back(), ALevel + 1);
            } else {
                r.skipCurrentElement();
            }
        }
    }
};

bool LoadStartConfigFromBytes(const QByteArray &ABytes, IXMLVentolix &AVentolix)
{
    AVentolix.reset();
    auto cfg = std::make_shared<TXMLVentolix>();
    if (!TStartConfigReader::Read(ABytes, *cfg))
        return false;
    AVentolix = std::move(cfg);
    return true;
}

bool LoadStartConfig(const QString &AFileName, IXMLVentolix &AVentolix)
{
    AVentolix.reset();
    QFile f(AFileName);
    if (AFileName.isEmpty() || !f.open(QIODevice::ReadOnly) || f.size() > MaxConfigSize)
        return false;
    return LoadStartConfigFromBytes(f.readAll(), AVentolix);
}

// ---------------------------------------------------------------- entries and versions

namespace {

bool HasScheme(const QString &AURL, std::initializer_list<const char16_t *> ASchemes)
{
    const QUrl u(AURL, QUrl::StrictMode);
    if (!u.isValid() || u.isRelative())
        return false;
    const QString s = u.scheme().toLower();
    for (const char16_t *x : ASchemes)
        if (s == QStringView(x))
            return true;
    return false;
}

// The full path of a local copy below ADataDir, or empty when AOffline is
// absolute or climbs out of it (the configuration comes from a server).
QString LocalCopyPath(const QString &ADataDir, const QString &AOffline)
{
    QString rel = AOffline;
    rel.replace(QLatin1Char('\\'), QLatin1Char('/'));
    if (ADataDir.isEmpty() || rel.isEmpty() || rel.startsWith(QLatin1Char('/')) || QDir::isAbsolutePath(rel))
        return QString();
    const QString base = QDir::cleanPath(ADataDir);
    const QString full = QDir::cleanPath(base + QLatin1Char('/') + rel);
    if (!full.startsWith(base + QLatin1Char('/')))
        return QString();
    return full;
}

// "<name>.tmp" / "<name>.bak" beside AFileName (the extension replaced); the
// extension appended instead when the file already has that extension.
QString Companion(const QString &AFileName, const QString &AExt)
{
    const QFileInfo fi(AFileName);
    const QString changed = fi.path() + QLatin1Char('/') + fi.completeBaseName() + AExt;
    return changed == AFileName ? AFileName + AExt : changed;
}

// Replaces ATarget by ASource in one step (same directory).
bool ReplaceFile(const QString &ASource, const QString &ATarget)
{
    return std::rename(QFile::encodeName(ASource).constData(), QFile::encodeName(ATarget).constData()) == 0;
}

// Copies an existing file to its backup name; false when that fails.
bool BackUp(const QString &AFileName, const QString &ABak)
{
    if (!QFileInfo::exists(AFileName))
        return true;
    if (QFileInfo::exists(ABak) && !QFile::remove(ABak))
        return false;
    return QFile::copy(AFileName, ABak);
}

// Deletes the download's companions when the step ends, however it ends.
class TCompanionCleanup
{
public:
    TCompanionCleanup(QString ATmp, QString ABak) : FTmp(std::move(ATmp)), FBak(std::move(ABak)) {}
    ~TCompanionCleanup()
    {
        TLDT3Data::TryDeleteFile(FTmp);
        TLDT3Data::TryDeleteFile(FBak);
    }
    TCompanionCleanup(const TCompanionCleanup &) = delete;
    TCompanionCleanup &operator=(const TCompanionCleanup &) = delete;

private:
    QString FTmp, FBak;
};

bool ParseVersionPart(const QString &APart, quint64 &AValue)
{
    if (APart.isEmpty()) {
        AValue = 0;
        return true;
    }
    if (APart.size() > 5)
        return false;
    quint64 v = 0;
    for (QChar c : APart) {
        if (c < u'0' || c > u'9')
            return false;
        v = v * 10 + quint64(c.unicode() - u'0');
    }
    AValue = v;
    return v <= 65535;
}

} // namespace

TStartRec GetStartRec(const TXMLStartEntry &AEntry, const QString &ADataDir)
{
    TStartRec r;
    r.Name = AEntry.Name();
    r.Online = AEntry.Online();
    r.Offline = AEntry.Offline();
    r.LocalDownload = AEntry.LocalDownload();
    if (!r.Online.isEmpty() && HasScheme(r.Online, {u"ftp", u"http", u"https"}))
        r.URLToCall = r.Online;
    if (r.LocalDownload && !r.Offline.isEmpty()) {
        const QString path = LocalCopyPath(ADataDir, r.Offline);
        if (path.isEmpty())
            return r;
        const QUrl url = QUrl::fromLocalFile(path);
        const QString urlStr = url.toString(QUrl::FullyEncoded);
        if (urlStr.size() > 2084 || url.scheme() != u"file")
            return r;
        r.LocalFileName = path;
        r.LocalFileURL = urlStr;
        if (QFileInfo(path).isFile())
            r.URLToCall = urlStr;
    }
    return r;
}

TAppInfoRec GetAppInfo(const TXMLApplication &AApplication)
{
    TAppInfoRec r;
    r.Version = AApplication.AppVersion().Version();
    r.UpgradePath = AApplication.AppVersion().UpgradePath().trimmed();
    r.Edition = AApplication.AppEdition().Edition();
    r.VersionUInt64 = r.Version.trimmed().isEmpty() ? InvalidFileVersion : StrToFileVersion(r.Version.trimmed());
    return r;
}

quint64 StrToFileVersion(const QString &AText)
{
    const QStringList parts = AText.split(QLatin1Char('.'));
    if (parts.size() > 4)
        return InvalidFileVersion;
    quint64 result = 0;
    for (int i = 0; i < 4; ++i) {
        quint64 v = 0;
        if (i < parts.size() && !ParseVersionPart(parts[i], v))
            return InvalidFileVersion;
        result |= v << (48 - 16 * i);
    }
    return result;
}

QString FileVersionToStr(quint64 AVersion)
{
    if (AVersion == InvalidFileVersion)
        return QString();
    return Format(QStringLiteral("%u.%u.%u.%u"),
                  {uint(AVersion >> 48), uint((AVersion >> 32) & 0xFFFF), uint((AVersion >> 16) & 0xFFFF),
                   uint(AVersion & 0xFFFF)});
}

// ---------------------------------------------------------------- environment

QString DefaultUpdateURL()
{
    return QStringLiteral(VENTOLIX_UPDATE_URL);
}

QString FindBundledConfig()
{
    const QString appDir = QCoreApplication::applicationDirPath();
    QStringList candidates;
    if (!appDir.isEmpty())
        candidates << appDir + QStringLiteral("/config.xml") << appDir + QStringLiteral("/../share/ventolix/config.xml");
    if (!QStringLiteral(VENTOLIX_SHARE_DIR).isEmpty())
        candidates << QStringLiteral(VENTOLIX_SHARE_DIR "/config.xml");
    for (const QString &c : std::as_const(candidates))
        if (QFileInfo(c).isFile())
            return QDir::cleanPath(c);
    return QString();
}

TStartEnv DefaultStartEnv(const QString &AUpdateURL, const QString &AAppTitle)
{
    TStartEnv env;
    env.DataDir = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    env.BundledConfigFileName = FindBundledConfig();
    env.UpdateURL = AUpdateURL;
    env.OwnVersion = StrToFileVersion(QStringLiteral(VENTOLIX_VERSION));
    env.AppTitle = AAppTitle;
    return env;
}

// ---------------------------------------------------------------- update

TVentolixStart::TVentolixStart(TStartEnv AEnv) : FEnv(std::move(AEnv)) {}

QString TVentolixStart::Today() const
{
    const QDate d = FEnv.Today ? FEnv.Today() : QDate::currentDate();
    return d.toString(QStringLiteral("yyyyMMdd"));
}

QString TVentolixStart::DataPath(const QString &AName) const
{
    return QDir::cleanPath(FEnv.DataDir) + QLatin1Char('/') + AName;
}

QString TVentolixStart::ConfigFileName() const
{
    return FEnv.DataDir.isEmpty() ? QString() : DataPath(QStringLiteral("config.xml"));
}

bool TVentolixStart::BuildStartTree()
{
    IXMLVentolix cfg;
    const QString user = ConfigFileName();
    // the user's copy from the update server, else the one shipped with the program
    bool ok = !user.isEmpty() && QFileInfo::exists(user) && LoadStartConfig(user, cfg);
    if (!ok && !FEnv.BundledConfigFileName.isEmpty())
        ok = LoadStartConfig(FEnv.BundledConfigFileName, cfg);
    FIVentolix = ok ? cfg : IXMLVentolix();
    if (FFillStartTree)
        return FFillStartTree(FIVentolix);
    return FIVentolix && FIVentolix->Startseite().Count() > 0;
}

void TVentolixStart::UpdateConfig(bool AForceDownload)
{
    const QString today = Today();
    if (FEnv.UpdateURL.trimmed().isEmpty()) {
        // nobody to ask: no traffic, and only a person who asked hears why
        if (AForceDownload)
            GetMessageSink().ShowMessage(TMsgKind::mkInformation, QStringLiteral("Information"),
                                         QString::fromUtf8(NoUpdateURLMsg));
        BuildStartTree();
        return;
    }
    if (AForceDownload || FLastUpdateCheck != today) {
        QString error;
        try {
            [&]() {
                if (!QDir().mkpath(FEnv.DataDir))
                    throw ELDT3Error(
                        QStringLiteral("Das Verzeichnis \"%1\" kann nicht angelegt werden.").arg(FEnv.DataDir));
                const QString cfg = ConfigFileName();
                const QString tmp = Companion(cfg, QStringLiteral(".tmp"));
                const QString bak = Companion(cfg, QStringLiteral(".bak"));
                if (!BackUp(cfg, bak))
                    return;
                TCompanionCleanup cleanup(tmp, bak);
                if (!DownloadURLToFile(FEnv.UpdateURL.trimmed(), tmp, QStringLiteral("config.xml"), true))
                    return; // cancelled: the day stays unchecked
                IXMLVentolix fresh;
                if (!LoadStartConfig(tmp, fresh) || fresh->Startseite().Count() == 0)
                    return; // rejected: the old file stays as it is
                if (ReplaceFile(tmp, cfg))
                    FLastUpdateCheck = today;
                if (!CheckForNewVersion(fresh->Application(), AForceDownload))
                    UpdateLocalDownloads(fresh->Startseite(), false);
            }();
        } catch (const ELDT3Error &e) {
            error = e.Message();
        } catch (const std::exception &e) {
            error = QString::fromLocal8Bit(e.what());
        }
        if (!error.isNull()) {
            if (AForceDownload || FLastUpdateCheck != today)
                GetMessageSink().ShowMessage(TMsgKind::mkError, QStringLiteral("Fehler"), error);
            FLastUpdateCheck = today;
        }
    }
    BuildStartTree();
}

void TVentolixStart::UpdateLocalDownloads(const TXMLStartseite &AStartseite, bool AForce)
{
    const std::function<void(const TXMLStartEntry &)> visit = [&](const TXMLStartEntry &AEntry) {
        const TStartRec rec = GetStartRec(AEntry);
        const bool wanted = rec.LocalDownload && !rec.LocalFileName.isEmpty() &&
                            HasScheme(rec.Online, {u"http", u"https"});
        if (wanted && (AForce || !QFileInfo::exists(rec.LocalFileName))) {
            const QFileInfo local(rec.LocalFileName);
            const QString tmp = Companion(rec.LocalFileName, QStringLiteral(".tmp"));
            const QString bak = Companion(rec.LocalFileName, QStringLiteral(".bak"));
            if (QDir().mkpath(local.path()) && BackUp(rec.LocalFileName, bak)) {
                TCompanionCleanup cleanup(tmp, bak);
                if (DownloadURLToFile(rec.Online, tmp, local.fileName(), true))
                    ReplaceFile(tmp, rec.LocalFileName);
            }
        }
        for (int i = 0; i < AEntry.Count(); ++i)
            visit(AEntry.Items(i));
    };
    for (int i = 0; i < AStartseite.Count(); ++i)
        visit(AStartseite.Level1(i));
}

bool TVentolixStart::CheckForNewVersion(const TXMLApplication &AApplication, bool AForce)
{
    TAppInfoRec info = GetAppInfo(AApplication);
    if (info.VersionUInt64 == InvalidFileVersion || FEnv.OwnVersion == InvalidFileVersion)
        return false;
    if (info.VersionUInt64 > FEnv.OwnVersion) {
        const QString msg =
            Format(QStringLiteral("Eine neuere Version steht zum Download zur Verfügung\nAlt: \"%s\" Neu: \"%s\"\n"
                                  "Wollen Sie diese jetzt herunterladen?"),
                   {FileVersionToStr(FEnv.OwnVersion), FileVersionToStr(info.VersionUInt64)});
        if (GetMessageSink().Confirm(QString(), msg))
            return DownloadUpdate(info);
        return false;
    }
    if (AForce)
        GetMessageSink().ShowMessage(TMsgKind::mkInformation, QStringLiteral("Information"),
                                     QStringLiteral("Keine neuere Version verfügbar."));
    return false;
}

bool TVentolixStart::DownloadUpdate(const TAppInfoRec &AAppInfo)
{
    if (AAppInfo.UpgradePath.isEmpty())
        return false;
    // the server's own file name: a Linux package keeps its extension
    const QString name = QUrl(AAppInfo.UpgradePath).fileName();
    if (name.isEmpty() || name == u"." || name == u"..")
        return false;
    const QString dir = DataPath(QStringLiteral("Updates"));
    if (!QDir().mkpath(dir))
        return false;
    const QString target = dir + QLatin1Char('/') + name;
    const QString tmp = Companion(target, QStringLiteral(".tmp"));
    const QString bak = Companion(target, QStringLiteral(".bak"));
    {
        if (!BackUp(target, bak))
            return false;
        TCompanionCleanup cleanup(tmp, bak);
        if (!DownloadURLToFile(AAppInfo.UpgradePath, tmp, name, true))
            return false;
        if (!ReplaceFile(tmp, target))
            return false;
    }
    if (!QFileInfo(target).isFile())
        return false;
    GetMessageSink().ShowMessage(
        TMsgKind::mkInformation, FEnv.AppTitle,
        Format(QStringLiteral("Die Datei \"%s\" wurde im Verzeichnis\n\n\"%s\"\n\ngespeichert."),
               {name, QDir::toNativeSeparators(dir) + QDir::separator()}));
    return true;
}
