#include "Vex_Download.h"

#include "LDT3.Base.h"

#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QSaveFile>
#include <QTimer>
#include <QUrl>

#include <cmath>
#include <memory>
#include <thread>

// The download's progress lines; off unless QT_LOGGING_RULES enables them.
Q_LOGGING_CATEGORY(lcDownload, "ventolix.download", QtWarningMsg)

namespace {

bool IsValidURL(const QString &AURL)
{
    const QUrl u(AURL, QUrl::StrictMode);
    if (!u.isValid() || u.isRelative())
        return false;
    const QString scheme = u.scheme().toLower();
    if (scheme == u"http" || scheme == u"https")
        return !u.host().isEmpty();
    return scheme == u"file";
}

bool SameURL(const QString &A, const QString &B)
{
    const auto norm = [](const QString &S) {
        return QUrl(S).adjusted(QUrl::NormalizePathSegments | QUrl::StripTrailingSlash);
    };
    return norm(A) == norm(B);
}

} // namespace

TURLDownloadToFileThread::TURLDownloadToFileThread(const QString &ASourceURL, const QString &ADestFileName,
                                                   const QString &ATitle, qint32 &ARes, bool ADeleteCacheEntry)
    : FSourceURL(ASourceURL), FDestFileName(ADestFileName), FTitle(ATitle), FRes(&ARes),
      FDeleteCacheEntry(ADeleteCacheEntry)
{
    ARes = TDownloadRes::Invalid;
}

void TURLDownloadToFileThread::BindStatusProgress(qint64 AProgress, bool &ACancel, const QString &AStatusText,
                                                  int AStatusCode, qint64 AProgressMax)
{
    qCDebug(lcDownload).noquote() << AStatusText;
    qCDebug(lcDownload, "%llu von %llu, Status: %u", static_cast<unsigned long long>(AProgress),
            static_cast<unsigned long long>(AProgressMax), unsigned(AStatusCode));
    const auto percent = [&]() { return int(std::nearbyint(double(AProgress) * 100.0 / double(AProgressMax))); };
    switch (AStatusCode) {
    case 4: // data begins
        FNewURL = AStatusText;
        if (!SameURL(FNewURL, FSourceURL))
            FRedirected = true;
        else if (AProgressMax != 0)
            SetProgressMinMax(0, 100);
        break;
    case 5: // data arrives
        if (AProgressMax > 0) {
            const int p = percent();
            if (p != FLastProgress) {
                SetProgress(p);
                FLastProgress = p;
                std::this_thread::yield();
            }
        }
        break;
    case 6: // data ends: leave the full bar visible for a moment
        if (AProgressMax > 0) {
            SetProgress(percent());
            WaitShutDownRequested(500);
        }
        break;
    default:
        break;
    }
    ACancel = ShutDownRequested() || FRedirected;
}

void TURLDownloadToFileThread::ProcToExecute()
{
    if (!IsValidURL(FSourceURL)) {
        FResultText = QStringLiteral("Ungültige URL");
        return;
    }
    // FDeleteCacheEntry: no cache is used, so there is no entry to remove
    if (!QFileInfo(FDestFileName).absoluteDir().exists()) {
        FResultText = QStringLiteral("Das Zielverzeichnis existiert nicht");
        return;
    }
    if (FTitle.isEmpty()) {
        ShowInfoMsg(1, QDir::toNativeSeparators(FDestFileName));
        SetEllipsisPosition(1, 1);
    } else {
        ShowInfoMsg(1, FTitle);
    }

    // written under a temporary name; renamed only after complete success
    QSaveFile out(FDestFileName);
    if (!out.open(QIODevice::WriteOnly)) {
        *FRes = TDownloadRes::WriteFailure;
        FResultText = out.errorString();
        return;
    }

    QNetworkAccessManager nam;
    QNetworkRequest req{QUrl(FSourceURL)};
    req.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
    req.setAttribute(QNetworkRequest::CacheSaveControlAttribute, false);
    req.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::NoLessSafeRedirectPolicy);
    QEventLoop loop;
    std::unique_ptr<QNetworkReply> reply(nam.get(req));
    QNetworkReply *r = reply.get();

    bool begun = false;
    bool writeFailed = false;
    qint64 total = 0;
    qint64 received = 0;
    const auto stopIf = [r](bool ACancel) {
        if (ACancel && r->isRunning())
            r->abort();
    };
    // "data begins" once, and again whenever the data turns out to come from elsewhere
    const auto begin = [&](const QString &AURL) {
        const int status = r->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        if (status >= 300 && status < 400)
            return; // a redirection itself carries no data
        if (begun && SameURL(AURL, FNewURL))
            return;
        begun = true;
        total = qMax<qint64>(0, r->header(QNetworkRequest::ContentLengthHeader).toLongLong());
        bool cancel = false;
        BindStatusProgress(0, cancel, AURL, 4, total);
        stopIf(cancel);
    };
    QObject::connect(r, &QNetworkReply::redirected, r, [&](const QUrl &AURL) { begin(AURL.toString()); });
    QObject::connect(r, &QNetworkReply::metaDataChanged, r, [&]() { begin(r->url().toString()); });
    QObject::connect(r, &QNetworkReply::readyRead, r, [&]() {
        begin(r->url().toString());
        if (FRedirected || ShutDownRequested())
            return;
        const QByteArray data = r->readAll();
        if (out.write(data) != data.size()) {
            writeFailed = true;
            stopIf(true);
        }
    });
    QObject::connect(r, &QNetworkReply::downloadProgress, r, [&](qint64 ARecv, qint64 ATotal) {
        received = ARecv;
        if (ATotal > 0)
            total = ATotal;
        bool cancel = false;
        BindStatusProgress(ARecv, cancel, r->url().toString(), 5, ATotal > 0 ? ATotal : 0);
        stopIf(cancel);
    });
    QObject::connect(r, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    QTimer poll;
    poll.setInterval(50);
    QObject::connect(&poll, &QTimer::timeout, r, [&]() { stopIf(ShutDownRequested()); });
    poll.start();
    if (!r->isFinished())
        loop.exec();
    poll.stop();

    const int http = r->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (!FRedirected && !ShutDownRequested() && !writeFailed && r->error() == QNetworkReply::NoError) {
        const QByteArray rest = r->readAll();
        if (out.write(rest) != rest.size())
            writeFailed = true;
        bool cancel = false;
        BindStatusProgress(received, cancel, r->url().toString(), 6, total);
    }

    if (FRedirected) {
        *FRes = TDownloadRes::Aborted;
        FResultText = QStringLiteral("Der Download wurde abgebrochen: die Daten kamen von \"%1\".").arg(FNewURL);
    } else if (ShutDownRequested()) {
        *FRes = TDownloadRes::Aborted;
        FResultText = QStringLiteral("Der Download wurde abgebrochen.");
    } else if (writeFailed) {
        *FRes = TDownloadRes::WriteFailure;
        FResultText = out.errorString();
    } else if (r->error() != QNetworkReply::NoError) {
        if (http >= 400) {
            *FRes = TDownloadRes::HttpStatusBase + http;
            FResultText = QStringLiteral("HTTP-Status %1 (%2)")
                              .arg(http)
                              .arg(r->attribute(QNetworkRequest::HttpReasonPhraseAttribute).toString());
        } else {
            *FRes = TDownloadRes::Failure;
            FResultText = r->errorString();
        }
    } else if (!out.commit()) {
        *FRes = TDownloadRes::WriteFailure;
        FResultText = out.errorString();
    } else {
        *FRes = TDownloadRes::Ok;
    }
    // an uncommitted QSaveFile removes its temporary file
}

bool DownloadURLToFile(const QString &ASourceURL, const QString &ADestFileName, const QString &ATitle,
                       bool ADeleteCacheEntry)
{
    qint32 res = TDownloadRes::Invalid;
    TURLDownloadToFileThread thread(ASourceURL, ADestFileName, ATitle, res, ADeleteCacheEntry);
    if (!ExecuteWithThreadInfo(thread, QStringLiteral("Datei-Download..."), 1, true, true))
        return false;
    if (res == TDownloadRes::Ok)
        return true;
    throw ELDT3Error(QStringLiteral("Fehler beim Download von \"%1\"\n%2").arg(ASourceURL, thread.ResultText()));
}
