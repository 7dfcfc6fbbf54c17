// Download of one URL into one file on a worker thread with a progress bar.
// The data goes to a temporary name first; the target name appears only when
// the whole file has arrived.
#pragma once

#include "Vex_ExThread.h"

#include <QString>

// Result codes of a download (HRESULT values as the Windows services give them).
namespace TDownloadRes {
constexpr qint32 Ok = 0;
constexpr qint32 Invalid = 1;                       // invalid URL, missing target directory
constexpr qint32 Aborted = qint32(0x80004004u);     // cancelled or redirected elsewhere
constexpr qint32 Failure = qint32(0x800C0008u);     // the transfer failed
constexpr qint32 WriteFailure = qint32(0x80070052u); // the target file could not be written
constexpr qint32 HttpStatusBase = qint32(0x80190000u); // + HTTP status code
}

class TURLDownloadToFileThread : public TExecuteThread
{
public:
    // Sets ARes to 1 at once; the run stores its result code there.
    TURLDownloadToFileThread(const QString &ASourceURL, const QString &ADestFileName, const QString &ATitle,
                             qint32 &ARes, bool ADeleteCacheEntry);

    // The URL the data came from (once the data began).
    QString NewURL() const { return FNewURL; }
    // The data came from another URL than the one requested.
    bool Redirected() const { return FRedirected; }
    // Message text for the result code.
    QString ResultText() const { return FResultText; }

protected:
    void ProcToExecute() override;
    // Called during the download: 4 data begins (AStatusText = URL read),
    // 5 data arrives, 6 data ends. Sets ACancel when the download must stop.
    void BindStatusProgress(qint64 AProgress, bool &ACancel, const QString &AStatusText, int AStatusCode,
                            qint64 AProgressMax);

private:
    QString FSourceURL;
    QString FDestFileName;
    QString FTitle;
    QString FNewURL;
    qint32 *FRes;
    bool FDeleteCacheEntry;
    bool FRedirected = false; // the original's FCanceled: data from another URL
    int FLastProgress = -1;
    QString FResultText;
};

// True when the file was downloaded, false when the user cancelled; raises
// ELDT3Error "Fehler beim Download von ..." otherwise.
bool DownloadURLToFile(const QString &ASourceURL, const QString &ADestFileName, const QString &ATitle,
                       bool ADeleteCacheEntry);
