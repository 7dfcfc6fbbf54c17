// Helpers of the desktop tests: a fresh settings store per test, waiting for
// pages, and the test program's entry.
#pragma once

#include "TestUtil.h"
#include "XpmTestUtil.h"

#include "LDT3.XPMCheck.h"
#include "Vex_WebBrowser.h"

#include <QApplication>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTimer>
#include <QWebEnginePage>

#include <QDeadlineTimer>
#include <QDialog>
#include <QTest>

#include <functional>
#include <memory>

// Keeps the event loop running until expr holds or the time is up.
#ifndef WAIT_UNTIL
#define WAIT_UNTIL(expr, timeout)                                                                  \
    do {                                                                                                               \
        QDeadlineTimer deadline_(timeout);                                                                             \
        while (!(expr) && !deadline_.hasExpired())                                                                     \
            QTest::qWait(10);                                                                                          \
    } while (false)
#endif

namespace uitest {

// Points the user's configuration and data directories at empty temporary ones.
class TFreshConfigHome
{
public:
    TFreshConfigHome()
        : FEnv("XDG_CONFIG_HOME", FDir.path().toLocal8Bit()),
          FDataEnv("XDG_DATA_HOME", (FDir.path() + QStringLiteral("/data")).toLocal8Bit())
    {
    }
    QString Path() const { return FDir.path(); }
    // The program's data directory (start page configuration, local copies).
    QString DataDir(const QString &AAppName = QStringLiteral("Norvalis Ventolix")) const
    {
        return FDir.path() + QStringLiteral("/data/Norvalis GmbH/") + AAppName;
    }
    // The store file of the program, as the settings class names it.
    QString StoreFile(const QString &AAppName = QStringLiteral("Norvalis Ventolix")) const
    {
        return FDir.path() + QStringLiteral("/Norvalis GmbH/") + AAppName + QStringLiteral(".ini");
    }

private:
    QTemporaryDir FDir;
    xpmtest::TScopedEnv FEnv;
    xpmtest::TScopedEnv FDataEnv;
};

// Runs AStart and waits (bounded) until the view has finished that load.
template <typename F> bool LoadAndWait(TVexWebBrowser *AView, F AStart, int ATimeoutMs = 20000)
{
    QSignalSpy spy(AView, &QWebEngineView::loadFinished);
    AStart();
    if (!spy.wait(ATimeoutMs))
        return false;
    return spy.last().at(0).toBool();
}

// The page's JavaScript result, waited for (bounded).
inline QVariant RunJs(TVexWebBrowser *AView, const QString &AScript, int ATimeoutMs = 10000)
{
    QVariant result;
    bool done = false;
    AView->page()->runJavaScript(AScript, [&](const QVariant &V) {
        result = V;
        done = true;
    });
    WAIT_UNTIL(done, ATimeoutMs);
    return result;
}

// Acts on the next modal window of type T as soon as it shows. When none
// shows within 60 s the test fails and the modal window that is up (if any)
// is closed, so a test never hangs in exec().
template <typename T> void WhenModal(std::function<void(T *)> AAction)
{
    auto *timer = new QTimer;
    timer->setInterval(20);
    const QDeadlineTimer deadline(60000);
    QObject::connect(timer, &QTimer::timeout, [timer, AAction, deadline]() {
        QWidget *modal = QApplication::activeModalWidget();
        if (auto *w = qobject_cast<T *>(modal); w && w->isVisible()) {
            timer->stop();
            timer->deleteLater();
            AAction(w);
        } else if (deadline.hasExpired()) {
            timer->stop();
            timer->deleteLater();
            ADD_FAILURE() << "no modal window of the expected type came up";
            if (auto *d = qobject_cast<QDialog *>(modal))
                d->reject();
            else if (modal)
                modal->close();
        }
    });
    timer->start();
}

} // namespace uitest


#define VENTOLIX_UI_TEST_MAIN()                                                                                        \
    int main(int argc, char **argv)                                                                                    \
    {                                                                                                                  \
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))                                                            \
            qputenv("QT_QPA_PLATFORM", "offscreen");                                                                   \
        /* pages of a start tree may name web addresses: nothing leaves the machine */                               \
        if (qEnvironmentVariableIsEmpty("QTWEBENGINE_CHROMIUM_FLAGS"))                                                 \
            qputenv("QTWEBENGINE_CHROMIUM_FLAGS", "--proxy-server=127.0.0.1:9");                                       \
        TVexWebBrowser::PrepareApplication();                                                                          \
        QApplication app(argc, argv);                                                                                  \
        InstallXPMRunner(); /* as the program does at start */                                                         \
        ::testing::InitGoogleTest(&argc, argv);                                                                        \
        return RUN_ALL_TESTS();                                                                                        \
    }
