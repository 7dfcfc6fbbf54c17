#include "Vex_DesktopShell.h"

#include "Vex_FilePropertiesDlg.h"
#include "Vex_OpenWithDlg.h"

#include <QApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QFileInfo>
#include <QUrl>

namespace {

// Shell dialogs belong to the active window of the program.
QWidget *Owner() { return QApplication::activeWindow(); }

} // namespace

bool TDesktopShellDialogs::OpenWithDlg(const QString &AFileName)
{
    TOpenWithDlg dlg(AFileName, Owner());
    return dlg.exec() == QDialog::Accepted && dlg.Launch();
}

bool TDesktopShellDialogs::PropertiesDlg(const QString &AFileName)
{
    if (!QFileInfo::exists(AFileName))
        return false;
    TFilePropertiesDlg dlg(AFileName, Owner());
    dlg.exec();
    return true;
}

bool TDesktopShellDialogs::ShowItemsOverDBus(const QDBusConnection &ABus, const QString &AFileName, int ATimeoutMs)
{
    QDBusConnection bus = ABus;
    if (!bus.isConnected())
        return false;
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.FileManager1"), QStringLiteral("/org/freedesktop/FileManager1"),
        QStringLiteral("org.freedesktop.FileManager1"), QStringLiteral("ShowItems"));
    call << QStringList{QUrl::fromLocalFile(AFileName).toString()} << QString();
    const QDBusMessage reply = bus.call(call, QDBus::Block, ATimeoutMs);
    return reply.type() == QDBusMessage::ReplyMessage;
}

bool TDesktopShellDialogs::ExploreFile(const QString &AFileName)
{
    if (ShowItemsOverDBus(QDBusConnection::sessionBus(), AFileName))
        return true;
    // no file manager on the bus: its folder at least
    return ShellLaunch(QStringLiteral("xdg-open"), {QFileInfo(AFileName).absolutePath()});
}
