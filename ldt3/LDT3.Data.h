// Process-wide services of the LDT core: the program's temporary directory,
// unique temporary files and deletion of files that are still in use; the
// lookup of field and rule information pages.
#pragma once

#include "LDT3.TableSet.h"

#include <QString>
#include <QStringList>

struct TLDT3Data
{
    // The system temporary directory with a trailing '/', or empty.
    static QString GetWinTmpDir();
    // The program's temporary directory (configured, else <system tmp>/Ventolix);
    // falls back to the system temporary directory when it cannot be created.
    static QString GetLDTTmpDir();
    // A free, unique file name in the program's temporary directory whose
    // name starts with the first three characters of ATmpPrefix (or "TMP").
    // Throws ELDT3Error when no name can be made.
    static QString MakeTmpFile(const QString &ATmpPrefix);
    // True when the file is gone afterwards or its deletion is scheduled.
    static bool TryDeleteFile(const QString &AFileName);
    // Schedules the deletion: the file is deleted when the program ends, and
    // whatever could not be deleted then at the next start of the program.
    static bool DeleteFileAfterReboot(const QString &AFileName);

    // Deletes the files scheduled by earlier runs (called once at start).
    static void DeletePendingFiles();
    // Deletes the files scheduled in this run; what fails is remembered for
    // the next start. Runs at process end by itself; callable earlier.
    static void DeleteScheduledFiles();
    // The file that remembers pending deletions between runs.
    static QString PendingDeletesFile();
    // Files scheduled in this run.
    static QStringList ScheduledFiles();

    // ---------------------------------------------------------------- information pages

    // The kind of a lookup query.
    enum TInfoTyp { itNone, itFeld, itERegel, itFRegel, itKRegel, itAlleRegeln };

    // Classifies a query ("8000", "FK 8000", "e3", "F7", "k1", "R8000") and
    // turns it into the exact name of a field ("8000") or rule ("E003") in
    // SearchStr; SearchNum is the number read (-1 when none).
    static TInfoTyp GetInfoTyp(const QString &AStr, int &SearchNum, QString &SearchStr);
    // The page for a query: the field, rule or rules page of the table set
    // ASet, or a search page that says nothing was found or explains the query
    // syntax. AFound says whether the field or rule is in the set.
    static QString GetInfoXHTML(const QString &AStr, TInfoTyp &AInfoTyp, const TLDT3TableSet &ASet,
                                bool *AFound = nullptr);
    static QString GetInfoXHTML(const QString &AStr, TInfoTyp &AInfoTyp);
    static QString GetInfoXHTML(const QString &AStr);
};

// Sets the configured temporary directory; it is then replaced by the result
// of GetLDTTmpDir, so that it always names a directory that exists.
void SetLDTTmpDir(const QString &ADir);
