#include "Vex_DesktopEntry.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QMimeDatabase>
#include <QSet>
#include <QStandardPaths>
#include <QUrl>

namespace {

const QString EntryGroup = QStringLiteral("Desktop Entry");

// The escapes of a string value: \s \n \t \r \\ .
QString UnescapeValue(const QString &AValue)
{
    if (!AValue.contains(QLatin1Char('\\')))
        return AValue;
    QString r;
    r.reserve(AValue.size());
    for (qsizetype i = 0; i < AValue.size(); ++i) {
        const QChar c = AValue[i];
        if (c != QLatin1Char('\\') || i + 1 == AValue.size()) {
            r += c;
            continue;
        }
        const QChar n = AValue[++i];
        switch (n.unicode()) {
        case 's': r += QLatin1Char(' '); break;
        case 'n': r += QLatin1Char('\n'); break;
        case 't': r += QLatin1Char('\t'); break;
        case 'r': r += QLatin1Char('\r'); break;
        default: r += n; break; // "\\" and what the format does not know
        }
    }
    return r;
}

QStringList MimeAppsLists()
{
    QStringList lists;
    for (const QString &dir : QStandardPaths::standardLocations(QStandardPaths::GenericConfigLocation))
        lists << dir + QStringLiteral("/mimeapps.list");
    for (const QString &dir : QStandardPaths::standardLocations(QStandardPaths::GenericDataLocation))
        lists << dir + QStringLiteral("/applications/mimeapps.list")
              << dir + QStringLiteral("/applications/defaults.list")
              << dir + QStringLiteral("/applications/mimeinfo.cache");
    return lists;
}

QStringList SplitList(const QString &AValue) { return AValue.split(QLatin1Char(';'), Qt::SkipEmptyParts); }

// Every application entry by its desktop file id; the first directory that
// has an id wins (the user's own before the system's).
// With AMimeTypes empty: every entry; else the shown entries that name one of them.
QList<TDesktopApp> ScanApps(const QStringList &AMimeTypes)
{
    QList<TDesktopApp> apps;
    QSet<QString> seen;
    for (const QString &dir : QStandardPaths::standardLocations(QStandardPaths::ApplicationsLocation)) {
        QDirIterator it(dir, {QStringLiteral("*.desktop")}, QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString file = it.next();
            const QString id = QDir(dir).relativeFilePath(file).replace(QLatin1Char('/'), QLatin1Char('-'));
            if (seen.contains(id))
                continue;
            seen.insert(id);
            const QHash<QString, QString> g = ReadDesktopGroup(file, EntryGroup);
            if (g.value(QStringLiteral("Type")) != QLatin1String("Application")
                || g.value(QStringLiteral("Hidden")) == QLatin1String("true") || g.value(QStringLiteral("Exec")).isEmpty())
                continue;
            const QString tryExec = g.value(QStringLiteral("TryExec"));
            if (!tryExec.isEmpty() && QStandardPaths::findExecutable(tryExec).isEmpty()
                && !QFileInfo(tryExec).isExecutable())
                continue;
            const QStringList types = SplitList(g.value(QStringLiteral("MimeType")));
            if (!AMimeTypes.isEmpty()) {
                bool named = false;
                for (const QString &t : types)
                    named = named || AMimeTypes.contains(t);
                if (!named || g.value(QStringLiteral("NoDisplay")) == QLatin1String("true"))
                    continue;
            }
            apps.append({id, g.value(QStringLiteral("Name"), id), g.value(QStringLiteral("Exec")),
                         g.value(QStringLiteral("Icon")), file});
        }
    }
    return apps;
}

} // namespace

QHash<QString, QString> ReadDesktopGroup(const QString &AFileName, const QString &AGroup)
{
    QHash<QString, QString> values;
    QFile f(AFileName);
    if (!f.open(QIODevice::ReadOnly | QIODevice::Text))
        return values;
    bool inGroup = false;
    const QString header = QLatin1Char('[') + AGroup + QLatin1Char(']');
    while (!f.atEnd()) {
        const QString line = QString::fromUtf8(f.readLine()).trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        if (line.startsWith(QLatin1Char('['))) {
            // a group appears once; the first is the one that counts
            if (inGroup)
                break;
            inGroup = line == header;
        } else if (inGroup) {
            const qsizetype eq = line.indexOf(QLatin1Char('='));
            if (eq > 0) {
                const QString key = line.left(eq).trimmed();
                if (!values.contains(key))
                    values.insert(key, UnescapeValue(line.mid(eq + 1).trimmed()));
            }
        }
    }
    return values;
}

QString DefaultDesktopEntry(const QString &AMimeType)
{
    for (const QString &file : MimeAppsLists()) {
        for (const char *group : {"Default Applications", "Added Associations", "MIME Cache"}) {
            const QStringList entries = SplitList(ReadDesktopGroup(file, QString::fromLatin1(group)).value(AMimeType));
            if (!entries.isEmpty())
                return entries.first();
        }
    }
    return QString();
}

bool FindDesktopApp(const QString &AId, TDesktopApp &AApp)
{
    for (const QString &dir : QStandardPaths::standardLocations(QStandardPaths::ApplicationsLocation)) {
        const QString file = dir + QLatin1Char('/') + AId;
        if (!QFileInfo::exists(file))
            continue;
        // the first directory that has the id decides, a hidden entry included
        const QHash<QString, QString> g = ReadDesktopGroup(file, EntryGroup);
        if (g.value(QStringLiteral("Type")) != QLatin1String("Application")
            || g.value(QStringLiteral("Hidden")) == QLatin1String("true") || g.value(QStringLiteral("Exec")).isEmpty())
            return false;
        AApp = {AId, g.value(QStringLiteral("Name"), AId), g.value(QStringLiteral("Exec")),
                g.value(QStringLiteral("Icon")), file};
        return true;
    }
    // an id with '-' may name a file in a subdirectory
    if (AId.contains(QLatin1Char('-')))
        for (const TDesktopApp &a : ScanApps({}))
            if (a.Id == AId) {
                AApp = a;
                return true;
            }
    return false;
}

QList<TDesktopApp> DesktopAppsForMimeType(const QString &AMimeType)
{
    const QMimeDatabase db;
    const QMimeType mt = db.mimeTypeForName(AMimeType);
    QStringList types{AMimeType};
    if (mt.isValid())
        types << mt.aliases() << mt.allAncestors();
    types.removeDuplicates();

    QStringList ordered; // ids from the lists, in order of precedence
    QSet<QString> removed;
    const QStringList lists = MimeAppsLists();
    for (const QString &type : std::as_const(types)) {
        for (const char *group : {"Default Applications", "Added Associations"})
            for (const QString &file : lists)
                for (const QString &id : SplitList(ReadDesktopGroup(file, QString::fromLatin1(group)).value(type)))
                    if (!removed.contains(id))
                        ordered << id;
        for (const QString &file : lists)
            for (const QString &id :
                 SplitList(ReadDesktopGroup(file, QStringLiteral("Removed Associations")).value(type)))
                removed.insert(id);
    }
    ordered.removeDuplicates();

    QList<TDesktopApp> result;
    QSet<QString> taken;
    for (const QString &id : std::as_const(ordered)) {
        TDesktopApp app;
        if (!removed.contains(id) && FindDesktopApp(id, app)) {
            result << app;
            taken.insert(id);
        }
    }
    for (const TDesktopApp &app : ScanApps(types))
        if (!taken.contains(app.Id) && !removed.contains(app.Id)) {
            result << app;
            taken.insert(app.Id);
        }
    return result;
}

QString MimeTypeOfFile(const QString &AFileName)
{
    return QMimeDatabase().mimeTypeForFile(AFileName).name();
}

QStringList DesktopExecArgs(const QString &AExec, const QString &AFileName, const TDesktopApp &AApp)
{
    // split into arguments: blanks separate, double quotes group, and inside
    // them a backslash escapes " ` $ and itself
    QStringList words;
    QString cur;
    bool inWord = false, quoted = false;
    for (qsizetype i = 0; i < AExec.size(); ++i) {
        const QChar c = AExec[i];
        if (quoted) {
            if (c == QLatin1Char('"')) {
                quoted = false;
            } else if (c == QLatin1Char('\\') && i + 1 < AExec.size()) {
                cur += AExec[++i];
            } else {
                cur += c;
            }
        } else if (c == QLatin1Char('"')) {
            quoted = inWord = true;
        } else if (c == QLatin1Char(' ') || c == QLatin1Char('\t')) {
            if (inWord)
                words << cur;
            cur.clear();
            inWord = false;
        } else {
            cur += c;
            inWord = true;
        }
    }
    if (quoted)
        return {};
    if (inWord)
        words << cur;

    const QString url = QString::fromUtf8(QUrl::fromLocalFile(AFileName).toEncoded());
    QStringList args;
    bool fileGiven = false;
    for (const QString &w : std::as_const(words)) {
        // a field code that stands alone may become no or two arguments
        if (w == QLatin1String("%i")) {
            if (!AApp.Icon.isEmpty())
                args << QStringLiteral("--icon") << AApp.Icon;
            continue;
        }
        if (w == QLatin1String("%F") || w == QLatin1String("%U")) {
            args << (w == QLatin1String("%U") ? url : AFileName);
            fileGiven = true;
            continue;
        }
        QString out;
        bool drop = false;
        for (qsizetype i = 0; i < w.size(); ++i) {
            if (w[i] != QLatin1Char('%') || i + 1 == w.size()) {
                out += w[i];
                continue;
            }
            switch (w[++i].unicode()) {
            case '%': out += QLatin1Char('%'); break;
            case 'f': out += AFileName; fileGiven = true; break;
            case 'u': out += url; fileGiven = true; break;
            case 'c': out += AApp.Name; break;
            case 'k': out += AApp.FileName; break;
            case 'F': case 'U': drop = true; break; // lists only as whole words
            default: break; // deprecated and unknown codes vanish
            }
        }
        if (!drop && !(out.isEmpty() && w.startsWith(QLatin1Char('%'))))
            args << out;
    }
    if (args.isEmpty())
        return {};
    if (!fileGiven)
        args << AFileName;
    return args;
}
