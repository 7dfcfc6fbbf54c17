#include "Vex_MessageBoxSink.h"

#include <QApplication>
#include <QMessageBox>
#include <QThread>

// Runs AFunc on the user-interface thread and waits for it.
template <typename F> static void OnGuiThread(F AFunc)
{
    QCoreApplication *app = QCoreApplication::instance();
    if (!app || QThread::currentThread() == app->thread())
        AFunc();
    else
        QMetaObject::invokeMethod(app, AFunc, Qt::BlockingQueuedConnection);
}

void TMessageBoxSink::ShowMessage(TMsgKind AKind, const QString &AHeading, const QString &AText)
{
    OnGuiThread([&]() {
        QMessageBox::Icon icon = AKind == TMsgKind::mkError     ? QMessageBox::Critical
                                 : AKind == TMsgKind::mkWarning ? QMessageBox::Warning
                                                                : QMessageBox::Information;
        QMessageBox box(icon, AHeading, AText, QMessageBox::Ok, QApplication::activeWindow());
        box.exec();
    });
}

bool TMessageBoxSink::Confirm(const QString &AHeading, const QString &AText)
{
    bool yes = false;
    OnGuiThread([&]() {
        QMessageBox box(QMessageBox::Question, AHeading, AText, QMessageBox::Yes | QMessageBox::No,
                        QApplication::activeWindow());
        box.setDefaultButton(QMessageBox::No);
        yes = box.exec() == QMessageBox::Yes;
    });
    return yes;
}
