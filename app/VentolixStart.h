// The start page's configuration "config.xml" (read-only binding), what a
// tree entry opens, the daily update of the configuration from the update
// server, local copies of documents, and the check for a newer version.
// Qt Core and Network only: dialogs go through the message sink, downloads
// through DownloadURLToFile with the registered progress presenter.
#pragma once

#include <QDate>
#include <QString>

#include <functional>
#include <memory>
#include <vector>

// ---------------------------------------------------------------- binding

// One entry of the start tree (Level1, Level2 or Level3). Level1 holds
// Level2 entries, Level2 holds Level3 entries, Level3 holds none.
class TXMLStartEntry
{
public:
    QString Name() const { return FName; }
    // The entry's web address.
    QString Online() const { return FOnline; }
    // The local copy's path relative to the data directory, "/"-separated.
    QString Offline() const { return FOffline; }
    // A local copy of the document is to be held.
    bool LocalDownload() const { return FLocalDownload; }
    // 1, 2 or 3.
    int Level() const { return FLevel; }
    int Count() const { return int(FItems.size()); }
    const TXMLStartEntry &Items(int AIndex) const { return FItems[size_t(AIndex)]; }

private:
    friend class TStartConfigReader;
    QString FName, FOnline, FOffline;
    bool FLocalDownload = false;
    int FLevel = 1;
    std::vector<TXMLStartEntry> FItems;
};
using TXMLLevel1 = TXMLStartEntry;
using TXMLLevel2 = TXMLStartEntry;
using TXMLLevel3 = TXMLStartEntry;

// The list of Level1 entries.
class TXMLStartseite
{
public:
    int Count() const { return int(FItems.size()); }
    const TXMLLevel1 &Level1(int AIndex) const { return FItems[size_t(AIndex)]; }

private:
    friend class TStartConfigReader;
    std::vector<TXMLLevel1> FItems;
};

class TXMLApplication_AppVersion
{
public:
    QString Version() const { return FVersion; }
    QString UpgradePath() const { return FUpgradePath; }

private:
    friend class TStartConfigReader;
    QString FVersion, FUpgradePath;
};

class TXMLApplication_AppEdition
{
public:
    QString Edition() const { return FEdition; }

private:
    friend class TStartConfigReader;
    QString FEdition;
};

class TXMLApplication
{
public:
    const TXMLApplication_AppVersion &AppVersion() const { return FAppVersion; }
    const TXMLApplication_AppEdition &AppEdition() const { return FAppEdition; }

private:
    friend class TStartConfigReader;
    TXMLApplication_AppVersion FAppVersion;
    TXMLApplication_AppEdition FAppEdition;
};

// The document element "Ventolix".
class TXMLVentolix
{
public:
    const TXMLApplication &Application() const { return FApplication; }
    const TXMLStartseite &Startseite() const { return FStartseite; }

private:
    friend class TStartConfigReader;
    TXMLApplication FApplication;
    TXMLStartseite FStartseite;
};

// A loaded configuration. Tree entries point into it, so whoever shows them
// keeps a reference.
using IXMLVentolix = std::shared_ptr<const TXMLVentolix>;

// Reads AFileName into AVentolix (reset first). True when the file exists,
// is well-formed XML without a document type declaration, its document
// element is "Ventolix" and it has "Application" and "Startseite".
bool LoadStartConfig(const QString &AFileName, IXMLVentolix &AVentolix);
// The same for bytes in memory.
bool LoadStartConfigFromBytes(const QByteArray &ABytes, IXMLVentolix &AVentolix);

// ---------------------------------------------------------------- entries and versions

// What one tree entry means.
struct TStartRec
{
    QString Name, Online, Offline;
    bool LocalDownload = false;
    QString LocalFileURL;  // file URL of the local copy
    QString LocalFileName; // full path of the local copy
    QString URLToCall;     // what a click opens; empty when nothing
};

// ADataDir: the directory that holds local copies (with or without '/').
// Only ftp, http and https addresses are followed; an existing local copy wins.
// An Offline path that would leave ADataDir gives no local copy.
TStartRec GetStartRec(const TXMLStartEntry &AEntry, const QString &ADataDir);

constexpr quint64 InvalidFileVersion = ~quint64(0);

struct TAppInfoRec
{
    quint64 VersionUInt64 = InvalidFileVersion;
    QString Version, UpgradePath, Edition;
};

TAppInfoRec GetAppInfo(const TXMLApplication &AApplication);
// "a.b.c.d" (missing parts 0) as major<<48 | minor<<32 | release<<16 | build;
// InvalidFileVersion when a part is no integer from 0 to 65535.
quint64 StrToFileVersion(const QString &AText);
// "a.b.c.d", or empty for an invalid version.
QString FileVersionToStr(quint64 AVersion);

// ---------------------------------------------------------------- update

// Where the start page lives and what it may do.
struct TStartEnv
{
    // Writable per-user directory: config.xml with its .tmp/.bak companions,
    // local copies, Updates/.
    QString DataDir;
    // The configuration shipped with the program (read when the user has none).
    QString BundledConfigFileName;
    // The update server's configuration; empty: the update contacts nobody.
    QString UpdateURL;
    // The program's own version (StrToFileVersion).
    quint64 OwnVersion = InvalidFileVersion;
    // Heading of the message that names a downloaded installer.
    QString AppTitle;
    // Today's date; the system date when not set.
    std::function<QDate()> Today;
};

// The defaults of the installed program: the user's AppDataLocation, the
// bundled config.xml (next to the program or in share/ventolix/), the update
// address compiled in (empty unless the build sets VENTOLIX_UPDATE_URL), the
// program's version.
TStartEnv DefaultStartEnv(const QString &AUpdateURL, const QString &AAppTitle);
// The update address compiled in (possibly empty).
QString DefaultUpdateURL();
// The bundled config.xml that exists, or empty.
QString FindBundledConfig();

// Text shown when a forced check finds no update address.
extern const char *const NoUpdateURLMsg;

class TVentolixStart
{
public:
    explicit TVentolixStart(TStartEnv AEnv);

    const TStartEnv &Env() const { return FEnv; }
    void SetUpdateURL(const QString &AURL) { FEnv.UpdateURL = AURL; }

    // Day of the last completed check, "yyyymmdd" (persisted by the caller).
    QString LastUpdateCheck() const { return FLastUpdateCheck; }
    void SetLastUpdateCheck(const QString &ADay) { FLastUpdateCheck = ADay; }

    // The configuration of the start tree (null when none could be read).
    IXMLVentolix Ventolix() const { return FIVentolix; }

    // Fills the start tree from a configuration (null: clear it); true when
    // the tree has entries. Set by the start page.
    using TFillStartTree = std::function<bool(const IXMLVentolix &)>;
    void SetFillStartTree(TFillStartTree AFill) { FFillStartTree = std::move(AFill); }

    // The user's config.xml in the data directory (written by the update).
    QString ConfigFileName() const;
    // Loads the user's config.xml, else the bundled one, and fills the tree.
    // True when the tree got entries (the start tab is then shown).
    bool BuildStartTree();

    // The daily update; forced by "Auf Updates prüfen". Always ends with
    // BuildStartTree.
    void UpdateConfig(bool AForceDownload);
    // Downloads the local copies of the entries that want one.
    void UpdateLocalDownloads(const TXMLStartseite &AStartseite, bool AForce);
    // Offers a newer version; true when its installer was downloaded.
    bool CheckForNewVersion(const TXMLApplication &AApplication, bool AForce);
    // Downloads the installer into <data>/Updates/ under the server's name.
    bool DownloadUpdate(const TAppInfoRec &AAppInfo);

    TStartRec GetStartRec(const TXMLStartEntry &AEntry) const { return ::GetStartRec(AEntry, FEnv.DataDir); }

private:
    QString Today() const;
    QString DataPath(const QString &AName) const;

    TStartEnv FEnv;
    QString FLastUpdateCheck;
    IXMLVentolix FIVentolix;
    TFillStartTree FFillStartTree;
};
