// The desktop's applications for a MIME type from a desktop of our own
// (XDG_DATA_HOME, XDG_DATA_DIRS and XDG_CONFIG_HOME point into a temporary
// directory), and the command lines their Exec= keys make.
#include "Vex_DesktopEntry.h"

#include "TestUtil.h"
#include "XpmTestUtil.h"

#include <QDir>

namespace {

class DesktopEntry : public ::testing::Test
{
protected:
    DesktopEntry()
        : FHome("XDG_DATA_HOME", (FDir.path() + QStringLiteral("/home")).toLocal8Bit()),
          FDirs("XDG_DATA_DIRS", (FDir.path() + QStringLiteral("/sys")).toLocal8Bit()),
          FConfig("XDG_CONFIG_HOME", (FDir.path() + QStringLiteral("/config")).toLocal8Bit()),
          FConfigDirs("XDG_CONFIG_DIRS", (FDir.path() + QStringLiteral("/sysconfig")).toLocal8Bit())
    {
    }
    void Put(const QString &ARel, const QByteArray &AText)
    {
        const QString path = FDir.path() + QLatin1Char('/') + ARel;
        ASSERT_TRUE(QDir().mkpath(QFileInfo(path).absolutePath()));
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(AText);
    }
    static QByteArray Entry(const QByteArray &AName, const QByteArray &AExec, const QByteArray &ATypes,
                            const QByteArray &AExtra = {})
    {
        return "[Desktop Entry]\nType=Application\nName=" + AName + "\nName[de]=Lokal\nExec=" + AExec
               + "\nMimeType=" + ATypes + "\n" + AExtra + "[Desktop Action x]\nName=Aktion\nExec=falsch\n";
    }
    static QStringList Ids(const QList<TDesktopApp> &AApps)
    {
        QStringList ids;
        for (const TDesktopApp &a : AApps)
            ids << a.Id;
        return ids;
    }

    QTemporaryDir FDir;
    xpmtest::TScopedEnv FHome, FDirs, FConfig, FConfigDirs;
};

} // namespace

TEST_F(DesktopEntry, AppsForAMimeTypeInOrderOfPrecedence)
{
    Put(QStringLiteral("sys/applications/reader-a.desktop"),
        Entry("Leser A", "reader-a %U", "application/pdf;image/png;"));
    Put(QStringLiteral("sys/applications/reader-b.desktop"), Entry("Leser B", "reader-b %f", "application/pdf;"));
    // the user's own copy of B wins over the system's
    Put(QStringLiteral("home/applications/reader-b.desktop"), Entry("Leser B (eigen)", "reader-b --own %f", "application/pdf;"));
    Put(QStringLiteral("sys/applications/versteckt.desktop"),
        Entry("Versteckt", "versteckt %f", "application/pdf;", "Hidden=true\n"));
    Put(QStringLiteral("sys/applications/unsichtbar.desktop"),
        Entry("Unsichtbar", "unsichtbar %f", "application/pdf;", "NoDisplay=true\n"));
    Put(QStringLiteral("sys/applications/entfernt.desktop"), Entry("Entfernt", "entfernt %f", "application/pdf;"));
    Put(QStringLiteral("sys/applications/text.desktop"), Entry("Editor", "editor %F", "text/plain;"));
    Put(QStringLiteral("sys/applications/kein-programm.desktop"),
        Entry("Fehlt", "fehlt %f", "application/pdf;", "TryExec=/gibt/es/nicht/fehlt\n"));
    Put(QStringLiteral("sys/applications/sub/zeiger.desktop"), Entry("Zeiger", "zeiger %f", "image/png;"));
    Put(QStringLiteral("config/mimeapps.list"),
        "[Default Applications]\napplication/pdf=reader-b.desktop;\n"
        "[Added Associations]\napplication/pdf=text.desktop;\n"
        "[Removed Associations]\napplication/pdf=entfernt.desktop;\n");

    EXPECT_EQ(DefaultDesktopEntry(QStringLiteral("application/pdf")), QStringLiteral("reader-b.desktop"));
    const QList<TDesktopApp> apps = DesktopAppsForMimeType(QStringLiteral("application/pdf"));
    EXPECT_EQ(Ids(apps), QStringList({QStringLiteral("reader-b.desktop"), QStringLiteral("text.desktop"),
                                      QStringLiteral("reader-a.desktop")}));
    ASSERT_FALSE(apps.isEmpty());
    EXPECT_EQ(apps[0].Name, QStringLiteral("Leser B (eigen)"));
    EXPECT_EQ(apps[0].Exec, QStringLiteral("reader-b --own %f"));
    EXPECT_TRUE(apps[0].FileName.contains(QLatin1String("/home/applications/")));

    // an entry in a subdirectory has the directory in its id
    EXPECT_EQ(Ids(DesktopAppsForMimeType(QStringLiteral("image/png"))),
              QStringList({QStringLiteral("reader-a.desktop"), QStringLiteral("sub-zeiger.desktop")}));
    TDesktopApp app;
    ASSERT_TRUE(FindDesktopApp(QStringLiteral("sub-zeiger.desktop"), app));
    EXPECT_EQ(app.Name, QStringLiteral("Zeiger"));
    EXPECT_FALSE(FindDesktopApp(QStringLiteral("versteckt.desktop"), app));
    EXPECT_FALSE(FindDesktopApp(QStringLiteral("gibtsnicht.desktop"), app));
    EXPECT_TRUE(DesktopAppsForMimeType(QStringLiteral("application/x-unbekannt")).isEmpty());
}

TEST_F(DesktopEntry, InheritedTypesFindTheirApplications)
{
    // a C source is a kind of plain text; the system's MIME database says so
    xpmtest::TScopedEnv dirs("XDG_DATA_DIRS", (FDir.path() + QStringLiteral("/sys:/usr/local/share:/usr/share")).toLocal8Bit());
    Put(QStringLiteral("sys/applications/text.desktop"), Entry("Editor", "editor %F", "text/plain;"));
    const QStringList ids = Ids(DesktopAppsForMimeType(QStringLiteral("text/x-csrc")));
    ASSERT_FALSE(ids.isEmpty());
    EXPECT_TRUE(ids.contains(QStringLiteral("text.desktop")));
    EXPECT_EQ(MimeTypeOfFile(FDir.filePath(QStringLiteral("a.c"))), QStringLiteral("text/x-csrc"));
}

TEST(DesktopExecArgs, FieldCodesAndQuoting)
{
    const QString file = QStringLiteral("/tmp/a b/Befund.pdf");
    const QString url = QStringLiteral("file:///tmp/a%20b/Befund.pdf");
    TDesktopApp app{QStringLiteral("x.desktop"), QStringLiteral("Leser"), QString(), QStringLiteral("leser"),
                    QStringLiteral("/usr/share/applications/x.desktop")};
    const struct
    {
        const char *Exec;
        QStringList Expected;
    } cases[] = {
        {"leser %f", {QStringLiteral("leser"), file}},
        {"leser %F", {QStringLiteral("leser"), file}},
        {"leser %u", {QStringLiteral("leser"), url}},
        {"leser %U --neu", {QStringLiteral("leser"), url, QStringLiteral("--neu")}},
        {"leser", {QStringLiteral("leser"), file}},
        {"leser %i %c %k %f", {QStringLiteral("leser"), QStringLiteral("--icon"), QStringLiteral("leser"),
                               QStringLiteral("Leser"), QStringLiteral("/usr/share/applications/x.desktop"), file}},
        {"leser --datei=%f", {QStringLiteral("leser"), QStringLiteral("--datei=") + file}},
        {"leser 100%% %d %f", {QStringLiteral("leser"), QStringLiteral("100%"), file}},
        {"\"/opt/mein leser/bin\" \"a \\\"b\\\"\" %f", {QStringLiteral("/opt/mein leser/bin"), QStringLiteral("a \"b\""), file}},
        {"  leser   %f  ", {QStringLiteral("leser"), file}},
        {"\"offen %f", {}},
        {"", {}},
        {"%f", {file}},
    };
    for (const auto &c : cases)
        EXPECT_EQ(DesktopExecArgs(QString::fromUtf8(c.Exec), file, app), c.Expected) << c.Exec;
}

TEST(DesktopEntryFile, GroupsEscapesAndComments)
{
    QTemporaryDir dir;
    const QString f = testutil::WriteFile(dir, QStringLiteral("x.desktop"),
                                          "# Kommentar\n[Andere]\nName=Falsch\n[Desktop Entry]\nName = Richtig \n"
                                          "Comment=a\\sb\\nc\\\\d\nName=Zweiter\n[Desktop Action y]\nExec=nein\n");
    const QHash<QString, QString> g = ReadDesktopGroup(f, QStringLiteral("Desktop Entry"));
    EXPECT_EQ(g.value(QStringLiteral("Name")), QStringLiteral("Richtig"));
    EXPECT_EQ(g.value(QStringLiteral("Comment")), QStringLiteral("a b\nc\\d"));
    EXPECT_FALSE(g.contains(QStringLiteral("Exec")));
    EXPECT_TRUE(ReadDesktopGroup(dir.filePath(QStringLiteral("fehlt.desktop")), QStringLiteral("Desktop Entry")).isEmpty());
}
