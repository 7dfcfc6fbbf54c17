#include "Vex_Shell.h"

#include "TestUtil.h"

namespace {
struct RecordingDialogs : TShellDialogs
{
    QStringList Calls;
    bool OpenWithDlg(const QString &f) override { Calls << QStringLiteral("openwith ") + f; return true; }
    bool PropertiesDlg(const QString &f) override { Calls << QStringLiteral("props ") + f; return true; }
};
} // namespace

TEST(VexShell, OperationsGoThroughLauncherAndDialogs)
{
    QStringList launched;
    SetShellLauncher([&](const QString &p, const QStringList &a) {
        launched << p + QLatin1Char(' ') + a.join(QLatin1Char(' '));
        return p == QLatin1String("xdg-open"); // the file manager's D-Bus service is missing
    });
    EXPECT_TRUE(ShellOpenFile(QStringLiteral("/tmp/a b.pdf")));
    EXPECT_TRUE(ShellExploreFile(QStringLiteral("/tmp/a b.pdf")));
    ASSERT_EQ(launched.size(), 3);
    EXPECT_EQ(launched[0], QStringLiteral("xdg-open /tmp/a b.pdf"));
    EXPECT_TRUE(launched[1].contains(QStringLiteral("array:string:file:///tmp/a%20b.pdf")));
    EXPECT_EQ(launched[2], QStringLiteral("xdg-open /tmp")); // fallback: the folder

    // without the app's dialogs the two dialog operations do nothing
    SetShellDialogs(nullptr);
    EXPECT_FALSE(ShellOpenWithDlg(QStringLiteral("/tmp/x.pdf")));
    RecordingDialogs d;
    SetShellDialogs(&d);
    EXPECT_TRUE(ShellOpenWithDlg(QStringLiteral("/tmp/x.pdf")));
    EXPECT_TRUE(ShellPropertiesDlg(QStringLiteral("/tmp/x.pdf")));
    EXPECT_EQ(d.Calls, QStringList({QStringLiteral("openwith /tmp/x.pdf"), QStringLiteral("props /tmp/x.pdf")}));
    SetShellDialogs(nullptr);
    SetShellLauncher({});
}

TEST(VexShell, FriendlyNames)
{
    EXPECT_FALSE(GetFriendlyDocName(QStringLiteral(".pdf")).isEmpty());
    EXPECT_EQ(GetFriendlyDocName(QString()), QString());
    EXPECT_EQ(GetFriendlyDocName(QStringLiteral(".keineendungxyz")), QString());
    EXPECT_EQ(GetFriendlyAppName(QStringLiteral(".keineendungxyz")), QString());
}
