// The desktop's applications as its desktop entries describe them: which
// programs are registered for a MIME type (mimeapps.list and the entries'
// MimeType= lines under XDG_DATA_HOME and XDG_DATA_DIRS), and the command line
// an entry's Exec= key makes for a file.
#pragma once

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

struct TDesktopApp
{
    QString Id;       // desktop file id, e.g. "org.example.Viewer.desktop"
    QString Name;     // the Name= the user sees
    QString Exec;     // the Exec= line, field codes unexpanded
    QString Icon;     // the Icon= name or path
    QString FileName; // the entry's file
};

// The keys of group AGroup of a desktop-entry style file (empty when the
// file or the group is missing). Localised keys ("Name[de]") stay as written.
QHash<QString, QString> ReadDesktopGroup(const QString &AFileName, const QString &AGroup);

// The desktop file id that handles AMimeType by default (mimeapps.list,
// defaults.list and the MIME cache in the order of precedence), or empty.
QString DefaultDesktopEntry(const QString &AMimeType);

// The entry of a desktop file id; false when no application entry of that id exists.
bool FindDesktopApp(const QString &AId, TDesktopApp &AApp);

// The applications registered for AMimeType, its aliases and the types it
// inherits from: the default first, then the added associations, then every
// entry that names one of the types; without removed associations, hidden
// entries and duplicates.
QList<TDesktopApp> DesktopAppsForMimeType(const QString &AMimeType);

// The MIME type of a file by its name and content ("application/octet-stream"
// when unknown).
QString MimeTypeOfFile(const QString &AFileName);

// The program and its arguments that AExec runs for AFileName: the field
// codes %f %F %u %U take the file (appended when none is given), %i the icon,
// %c the name, %k the entry's file; quoting as the desktop entries define it.
// Empty when the line is empty or its quoting is broken.
QStringList DesktopExecArgs(const QString &AExec, const QString &AFileName, const TDesktopApp &AApp = {});
