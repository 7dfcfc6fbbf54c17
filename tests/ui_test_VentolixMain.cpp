#include "LocalHttpServer.h"
#include "UiTestUtil.h"

#include "LDT3.AppSettings.h"
#include "LDT3.Data.h"
#include "LDT3.LVBase.h"
#include "LDT3.Frame.h"
#include "LDT3.FilePtrList.h"
#include "LDT3.TreeModel.h"
#include "LDT3.TableSet.h"
#include "LDT3.XPMHook.h"
#include "VentolixMain.h"
#include "VentolixStart.h"
#include "VentolixStartPage.h"
#include "VentolixStartUp.h"
#include "Vex_AppRegistry.h"
#include "Vex_Icons.h"
#include "Vex_ThreadInfoForm.h"
#include "Vex_VerInfo.h"
#include "Vex_WebBrowser.h"

#include <QAction>
#include <QComboBox>
#include <QDate>
#include <QStandardPaths>
#include <QTreeWidget>
#include <QDialog>
#include <QDropEvent>
#include <QFileDialog>
#include <QInputDialog>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>
#include <QSettings>
#include <QTabBar>
#include <QTabWidget>
#include <QTimer>

#include <csignal>
#include <cstring>
#include <functional>
#include <sys/resource.h>

namespace {

const QString Title = QStringLiteral("Norvalis Ventolix - LDT3.1.3");

QString Example(const char *AName)
{
    return testutil::ExamplesDir() + QLatin1Char('/') + QString::fromLatin1(AName);
}

using uitest::WhenModal;

class MainForm : public ::testing::Test
{
protected:
    void SetUp() override
    {
        // as the program starts: names of the directories, the XPM runner
        VentolixStartUp();
        xpmtest::UnsetProxies();
        TLDT3AppSettings::SetXPMDir(QString());
        TLDT3AppSettings::SetXPMAutoCheck(false);
    }
    QString StoreValue(const QString &AKey) const
    {
        return QSettings(FHome.StoreFile(), QSettings::IniFormat).value(AKey).toString();
    }
    void Activate(TVentolixMainForm &F)
    {
        F.show();
        QApplication::setActiveWindow(&F);
        EXPECT_TRUE(QTest::qWaitForWindowActive(&F));
    }
    static void Escape() { QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape); }
    // Places AXML as the user's start-page configuration.
    void WriteUserConfig(const QByteArray &AXML) const
    {
        ASSERT_TRUE(QDir().mkpath(FHome.DataDir()));
        QFile f(FHome.DataDir() + QStringLiteral("/config.xml"));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(AXML);
    }
    static QByteArray BundledConfig()
    {
        QFile f(QStringLiteral(VENTOLIX_SOURCE_DIR "/data/config.xml"));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    uitest::TFreshConfigHome FHome;
    xpmtest::TRecordingSink FSink;
    QTemporaryDir FTmp;
};

} // namespace

TEST_F(MainForm, FirstStartOpensAtTheDesignSizeWithTheAboutPage)
{
    TVentolixMainForm f;
    f.show();
    EXPECT_EQ(f.size(), QSize(TVentolixMainForm::DesignWidth, TVentolixMainForm::DesignHeight));
    EXPECT_EQ(f.windowTitle(), Title);
    EXPECT_FALSE(f.PageControl()->isTabVisible(TVentolixMainForm::tabStart));
    EXPECT_EQ(f.PageControl()->currentIndex(), TVentolixMainForm::tabInfo);
    QStringList tabs;
    for (int i = 0; i < f.PageControl()->count(); ++i)
        tabs << f.PageControl()->tabText(i);
    EXPECT_EQ(tabs, QStringList({QStringLiteral("Startseite"), QStringLiteral("LDT"),
                                 QStringLiteral("Feld- und Regel-Auskunft"), QStringLiteral("Information")}));
    ASSERT_NE(f.WBInfo(), nullptr);
    EXPECT_EQ(f.WBInfo()->objectName(), QStringLiteral("WBInfo"));
    const QString about = f.WBInfo()->LoadedString();
    EXPECT_TRUE(about.contains(QStringLiteral("Version ") + GetFileVersionInfo().FileVersion()));
    EXPECT_TRUE(about.contains(QStringLiteral("Tool zum Anzeigen und Analysieren<br />von LDT 3.x Dateien")));
    EXPECT_TRUE(about.contains(QStringLiteral("Norvalis GmbH")));
    EXPECT_TRUE(about.contains(QStringLiteral("Lucida Sans")));
    // the page really shows, with its title
    QTRY_COMPARE_WITH_TIMEOUT(uitest::RunJs(f.WBInfo(), QStringLiteral("document.title")).toString(),
                              GetAppTitle(), 20000);
    EXPECT_EQ(f.EdAuskunft()->placeholderText(), QStringLiteral("Feldkennung oder Regel..."));
    EXPECT_TRUE(FSink.Shown.empty());
    // nothing to close, reopen or save yet
    EXPECT_FALSE(f.FileClose->isEnabled());
    EXPECT_FALSE(f.FileReopen->isEnabled());
    EXPECT_FALSE(f.FileSaveAs->isEnabled());
    EXPECT_TRUE(f.FileOpen->isEnabled());
}

TEST_F(MainForm, ClosingWritesTheStoreAndAMinimizedWindowReopensNormal)
{
    struct TCase
    {
        Qt::WindowState State;
        bool ReopenMaximized;
    } cases[] = {{Qt::WindowMinimized, false}, {Qt::WindowMaximized, true}, {Qt::WindowNoState, false}};
    for (const TCase &c : cases) {
        SCOPED_TRACE(int(c.State));
        {
            TVentolixMainForm f;
            f.show();
            f.setGeometry(40, 50, 900, 500);
            QTRY_COMPARE(f.geometry().size(), QSize(900, 500));
            f.setWindowState(c.State);
            QTRY_VERIFY(f.windowState().testFlag(c.State) || c.State == Qt::WindowNoState);
            f.close();
        }
        EXPECT_EQ(StoreValue(QStringLiteral("Main/WindowState")), c.ReopenMaximized ? QStringLiteral("2") : QStringLiteral("0"));
        EXPECT_EQ(StoreValue(QStringLiteral("Main/Saved")), QStringLiteral("1"));
        EXPECT_EQ(StoreValue(QStringLiteral("Main/Width")), QStringLiteral("900"));
        EXPECT_EQ(StoreValue(QStringLiteral("Main/Filter")), QStringLiteral("1"));
        EXPECT_EQ(StoreValue(QStringLiteral("LDT/Base64")), QStringLiteral("1"));
        EXPECT_EQ(StoreValue(QStringLiteral("LDT/XPM-AutoCheck")), QStringLiteral("0"));
        TVentolixMainForm again;
        again.show();
        EXPECT_FALSE(again.windowState().testFlag(Qt::WindowMinimized));
        EXPECT_EQ(again.windowState().testFlag(Qt::WindowMaximized), c.ReopenMaximized);
        if (!c.ReopenMaximized)
            QTRY_COMPARE(again.geometry().size(), QSize(900, 500));
        EXPECT_TRUE(FSink.Shown.empty());
    }
}

TEST_F(MainForm, StoredSettingsAreLoaded)
{
    {
        TAppReg reg(GetAppTitle());
        reg.WriteInteger(TAppRegKeys::Main, TAppRegKeys::Filter, 2);
        reg.WriteInteger(TAppRegKeys::Main, TAppRegKeys::TVStart, 222);
        reg.WriteString(TAppRegKeys::Main, TAppRegKeys::LastUpdateCheck, QStringLiteral("20261208"));
        reg.WriteString(TAppRegKeys::LDT, TAppRegKeys::XPMDirectory, FTmp.path());
        reg.WriteBool(TAppRegKeys::LDT, TAppRegKeys::XPMAutoCheck, true);
        reg.WriteBool(TAppRegKeys::LDT, TAppRegKeys::Base64, false);
        reg.Close();
    }
    TVentolixMainForm f;
    EXPECT_EQ(f.FilterIndex(), 2);
    EXPECT_EQ(f.TVStartWidth(), 222);
    EXPECT_EQ(f.LastUpdateCheck(), QStringLiteral("20261208"));
    EXPECT_EQ(TLDT3AppSettings::XPMDir(), FTmp.path());
    EXPECT_TRUE(TLDT3AppSettings::XPMAutoCheck());
    EXPECT_FALSE(f.LDTFrame()->IgnoreBase64Lines());
    TLDT3AppSettings::SetXPMAutoCheck(false);
    // the open dialog starts with the remembered filter
    std::unique_ptr<QFileDialog> dlg = f.CreateOpenDialog();
    EXPECT_EQ(dlg->windowTitle(), QStringLiteral("LDT-Datei öffnen"));
    EXPECT_EQ(dlg->nameFilters(), TVentolixMainForm::OpenFilters());
    EXPECT_EQ(dlg->selectedNameFilter(), QStringLiteral("LDT3-Dateien (Z01*.ldt)"));
    EXPECT_EQ(TVentolixMainForm::OpenFilterNames(),
              QStringList({QStringLiteral("LDT-Dateien (*.ldt)"), QStringLiteral("LDT3-Dateien (Z01*.ldt)"),
                           QStringLiteral("Alle Dateien (*.*)")}));
}

TEST_F(MainForm, OpenDialogRemembersTheChosenFilter)
{
    TVentolixMainForm f;
    Activate(f);
    const QString file = Example("Z01_Auftrag.ldt");
    WhenModal<QFileDialog>([&](QFileDialog *D) {
        D->selectNameFilter(TVentolixMainForm::OpenFilters().at(2));
        // a dialog whose name field has the focus keeps what was typed there
        if (QWidget *w = D->focusWidget())
            w->clearFocus();
        D->selectFile(file);
        static_cast<QDialog *>(D)->accept();
    });
    f.FileOpen->trigger();
    EXPECT_EQ(f.FilterIndex(), 3);
    EXPECT_EQ(f.LDTFrame()->FileName(), file);
    EXPECT_EQ(f.windowTitle(), Title + QStringLiteral(" - [") + file + QLatin1Char(']'));
    f.close();
    EXPECT_EQ(StoreValue(QStringLiteral("Main/Filter")), QStringLiteral("3"));
}

TEST_F(MainForm, CommandLineOpensExactlyOneFile)
{
    const QString a = Example("Z01_Auftrag.ldt");
    const QString b = Example("Z01_Befund_mit_PDF.ldt");
    struct TCase
    {
        QStringList Args;
        QString Opened;
        int Tab;
    } cases[] = {
        {{}, QString(), TVentolixMainForm::tabInfo},
        {{a}, a, TVentolixMainForm::tabLDT},
        {{a, b}, QString(), TVentolixMainForm::tabInfo},
        {{a, b, a}, QString(), TVentolixMainForm::tabInfo},
    };
    for (const TCase &c : cases) {
        SCOPED_TRACE(c.Args.join(QLatin1Char(' ')).toStdString());
        TVentolixMainForm f;
        f.ActivatePage(TVentolixMainForm::tabAuskunft);
        f.ProcessCommandLine(c.Args);
        EXPECT_EQ(f.LDTFrame()->FileName(), c.Opened);
        EXPECT_EQ(f.LDTFrame()->FileIsOpen(), !c.Opened.isEmpty());
        EXPECT_EQ(f.windowTitle(), c.Opened.isEmpty() ? Title : Title + QStringLiteral(" - [") + c.Opened + QLatin1Char(']'));
        // two or more arguments change nothing
        EXPECT_EQ(f.PageControl()->currentIndex(), c.Args.size() > 1 ? int(TVentolixMainForm::tabAuskunft) : c.Tab);
    }
}

// A file named on the command line opens without starting WebEngine: the
// about, lookup, start and file pages keep what they are to show until their
// tab appears.
TEST_F(MainForm, AFileFromTheCommandLineStartsNoWebPage)
{
    TVentolixMainForm f;
    f.show();
    f.ProcessCommandLine({Example("Z01_Befund_mit_PDF.ldt")});
    QCoreApplication::processEvents();
    ASSERT_TRUE(f.LDTFrame()->FileIsOpen());
    EXPECT_EQ(f.PageControl()->currentIndex(), int(TVentolixMainForm::tabLDT));
    const QList<TVexWebBrowser *> views = f.findChildren<TVexWebBrowser *>();
    EXPECT_GE(views.size(), 4);
    for (const TVexWebBrowser *v : views)
        EXPECT_FALSE(v->HasPage()) << v->objectName().toStdString();
    EXPECT_TRUE(f.WBInfo()->LoadPending());
    EXPECT_TRUE(f.WBInfo()->LoadedString().contains(QStringLiteral("Version")));
    ASSERT_NE(f.LDTFrame()->FileInfoView(), nullptr);
    EXPECT_TRUE(f.LDTFrame()->FileInfoView()->LoadPending());
    EXPECT_FALSE(f.LDTFrame()->FileInfoView()->LoadedString().isEmpty());
}

TEST_F(MainForm, DroppedFilesOverAViewOpenOnlyTheFirst)
{
    TVentolixMainForm f;
    Activate(f);
    ASSERT_TRUE(uitest::LoadAndWait(f.WBInfo(), [&]() { f.WBInfo()->LoadFromString(f.GetAboutXHTML()); }));
    const QStringList files = {Example("Z01_Fehlerhaft.ldt"), Example("Z01_Auftrag.ldt"), Example("Z01_Befund_mit_PDF.ldt")};
    QMimeData mime;
    QList<QUrl> urls;
    for (const QString &s : files)
        urls << QUrl::fromLocalFile(s);
    mime.setUrls(urls);
    // the page's own widget does not take the drop: it reaches the window
    QWidget *target = f.WBInfo()->focusProxy() ? f.WBInfo()->focusProxy() : f.WBInfo();
    const QPoint pos = target->rect().center();
    QDragEnterEvent enter(pos, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(f.rect().center()), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&f, &drop);
    QTRY_COMPARE(f.LDTFrame()->FileName(), files.first());
    EXPECT_TRUE(f.LDTFrame()->FileIsOpen());
    EXPECT_EQ(f.PageControl()->currentIndex(), int(TVentolixMainForm::tabLDT));
}

TEST_F(MainForm, EmptyLookupPageIsMadeOnceAndEscapeClearsThenLeaves)
{
    TVentolixMainForm f;
    Activate(f);
    const QString empty = f.AuskunftEmptyResult();
    ASSERT_FALSE(empty.isEmpty());
    ASSERT_NE(f.WBAuskunft(), nullptr);
    EXPECT_EQ(f.WBAuskunft()->LoadedString().constData(), empty.constData());
    f.ActionAuskunft->trigger();
    EXPECT_EQ(f.PageControl()->currentIndex(), int(TVentolixMainForm::tabAuskunft));
    EXPECT_EQ(QApplication::focusWidget(), f.EdAuskunft());
    QTest::keyClicks(f.EdAuskunft(), QStringLiteral("8000"));
    EXPECT_NE(f.AuskunftLastResult(), empty);
    EXPECT_TRUE(f.WBAuskunft()->LoadedString().contains(QStringLiteral("8000")));
    for (int i = 0; i < 4; ++i)
        QTest::keyClick(f.EdAuskunft(), Qt::Key_Backspace);
    // the kept page itself, not a new one
    EXPECT_EQ(f.AuskunftEmptyResult().constData(), empty.constData());
    EXPECT_EQ(f.WBAuskunft()->LoadedString().constData(), empty.constData());

    QTest::keyClicks(f.EdAuskunft(), QStringLiteral("E003"));
    Escape();
    EXPECT_EQ(f.EdAuskunft()->text(), QString());
    EXPECT_EQ(f.PageControl()->currentIndex(), int(TVentolixMainForm::tabAuskunft));
    EXPECT_EQ(f.WBAuskunft()->LoadedString().constData(), empty.constData());
    Escape();
    EXPECT_EQ(f.PageControl()->currentIndex(), int(TVentolixMainForm::tabLDT));
}

TEST_F(MainForm, EscapeInAViewAndOnTheTabs)
{
    TVentolixMainForm f;
    Activate(f);
    // in the information view: back to the document
    f.ActivatePage(TVentolixMainForm::tabInfo);
    f.WBInfo()->setFocus();
    QTRY_VERIFY(f.WBInfo()->isAncestorOf(QApplication::focusWidget()) || QApplication::focusWidget() == f.WBInfo());
    Escape();
    EXPECT_EQ(f.PageControl()->currentIndex(), int(TVentolixMainForm::tabLDT));
    // on the tabs while the lookup shows: into the lookup field, emptied
    f.ActivatePage(TVentolixMainForm::tabAuskunft);
    f.EdAuskunft()->setText(QStringLiteral("8000"));
    f.PageControl()->tabBar()->setFocus();
    QTRY_COMPARE(QApplication::focusWidget(), f.PageControl()->tabBar());
    Escape();
    EXPECT_EQ(QApplication::focusWidget(), f.EdAuskunft());
    EXPECT_EQ(f.EdAuskunft()->text(), QString());
    EXPECT_EQ(f.PageControl()->currentIndex(), int(TVentolixMainForm::tabAuskunft));
}

TEST_F(MainForm, ReopenIsOfferedOnlyForAClosedFileThatExists)
{
    const QString file = FTmp.filePath(QStringLiteral("Z01kopie.ldt"));
    ASSERT_TRUE(QFile::copy(Example("Z01_Auftrag.ldt"), file));
    TVentolixMainForm f;
    EXPECT_TRUE(f.OpenLDTFile(file));
    QTRY_VERIFY(f.FileClose->isEnabled());
    EXPECT_FALSE(f.FileReopen->isEnabled());
    EXPECT_TRUE(f.FileSaveAs->isEnabled());
    EXPECT_TRUE(f.ActionSearchInFile->isEnabled());
    f.FileClose->trigger();
    QTRY_VERIFY(f.FileReopen->isEnabled());
    EXPECT_FALSE(f.FileClose->isEnabled());
    EXPECT_FALSE(f.ActionGotoLine->isEnabled());
    EXPECT_EQ(f.LDTFrame()->StatusText(), file + QStringLiteral(" - [Datei geschlossen]"));
    // the title stays
    EXPECT_EQ(f.windowTitle(), Title + QStringLiteral(" - [") + file + QLatin1Char(']'));
    f.FileReopen->trigger();
    EXPECT_TRUE(f.LDTFrame()->FileIsOpen());
    QTRY_VERIFY(!f.FileReopen->isEnabled());
    f.FileClose->trigger();
    ASSERT_TRUE(QFile::remove(file));
    f.UpdateActions();
    EXPECT_FALSE(f.FileReopen->isEnabled());
    EXPECT_FALSE(f.FileSaveAs->isEnabled());
    EXPECT_FALSE(f.ActionXPM->isEnabled());
}

TEST_F(MainForm, SaveAsReplacesAnExistingFileAfterTheOverwritePrompt)
{
    const QString source = Example("Z01_Befund_mit_PDF.ldt");
    const QString target = testutil::WriteFile(FTmp, QStringLiteral("ziel.ldt"), "frühere Fassung");
    TVentolixMainForm f;
    Activate(f);
    ASSERT_TRUE(f.OpenLDTFile(source));
    QTRY_VERIFY(f.FileSaveAs->isEnabled());
    bool prompted = false;
    WhenModal<QFileDialog>([&](QFileDialog *D) {
        EXPECT_EQ(D->windowTitle(), QStringLiteral("LDT-Datei speichern unter"));
        EXPECT_EQ(D->directory().absolutePath(), QFileInfo(source).absolutePath());
        // typed into the name field, as a person would
        auto *name = D->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
        ASSERT_NE(name, nullptr);
        EXPECT_EQ(name->text(), QFileInfo(source).fileName());
        D->setDirectory(FTmp.path());
        name->setText(QFileInfo(target).fileName());
        WhenModal<QMessageBox>([&](QMessageBox *B) {
            prompted = true;
            B->button(QMessageBox::Yes)->click();
        });
        static_cast<QDialog *>(D)->accept();
    });
    f.FileSaveAs->trigger();
    EXPECT_TRUE(prompted);
    EXPECT_EQ(testutil::ReadAll(target), testutil::ReadAll(source));
    EXPECT_TRUE(FSink.Shown.empty());
    // no temporary file is left beside it
    EXPECT_EQ(QDir(FTmp.path()).entryList(QDir::Files | QDir::Hidden), QStringList({QStringLiteral("ziel.ldt")}));
}

TEST_F(MainForm, AFailingCopyKeepsTheExistingTargetAndTellsWhy)
{
    const QString source = Example("Z01_Befund_mit_PDF.ldt");
    ASSERT_GT(QFileInfo(source).size(), 16 * 1024);
    const QString target = testutil::WriteFile(FTmp, QStringLiteral("ziel.ldt"), "frühere Fassung");
    TVentolixMainForm f;
    ASSERT_TRUE(f.OpenLDTFile(source));
    // the file size limit of the process stands for a full disk
    struct rlimit old;
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
    const auto oldSignal = signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = old;
    small.rlim_cur = 8 * 1024;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    QString error;
    const bool ok = f.SaveLDTCopy(target, error);
    setrlimit(RLIMIT_FSIZE, &old);
    signal(SIGXFSZ, oldSignal);
    EXPECT_FALSE(ok);
    EXPECT_EQ(error, QString::fromLocal8Bit(strerror(EFBIG)));
    EXPECT_EQ(testutil::ReadAll(target), QByteArray("frühere Fassung"));
    EXPECT_EQ(QDir(FTmp.path()).entryList(QDir::Files | QDir::Hidden), QStringList({QStringLiteral("ziel.ldt")}));
    // a target in a folder that does not exist
    EXPECT_FALSE(f.SaveLDTCopy(FTmp.filePath(QStringLiteral("fehlt/ziel.ldt")), error));
    EXPECT_FALSE(error.isEmpty());
}

TEST_F(MainForm, MoreThanThirtyInvalidLinesRejectTheFile)
{
    struct TCase
    {
        int Invalid;
        bool Shown;
    } cases[] = {{30, true}, {31, false}};
    for (const TCase &c : cases) {
        QByteArray bytes = QByteArray("01380008220\r\n");
        for (int i = 0; i < c.Invalid; ++i)
            bytes += "kaputt\r\n";
        const QString file = testutil::WriteFile(FTmp, QStringLiteral("Z01_%1.ldt").arg(c.Invalid), bytes);
        TVentolixMainForm f;
        EXPECT_EQ(f.OpenLDTFile(file), c.Shown) << c.Invalid;
        EXPECT_EQ(f.LDTFrame()->FileIsOpen(), c.Shown);
        EXPECT_EQ(f.PageControl()->currentIndex(), int(TVentolixMainForm::tabLDT));
        EXPECT_EQ(f.LDTFrame()->StatusText(),
                  c.Shown ? file : file + QStringLiteral(" - [Diese Datei ist keine LDT-Datei]"));
        // the file information page shows either way
        EXPECT_TRUE(f.LDTFrame()->FileInfoView()->LoadedString().contains(QStringLiteral("Datei-Information")));
    }
    EXPECT_TRUE(FSink.Shown.empty());
}

TEST_F(MainForm, AFileThatCannotBeReadIsReportedAndNothingOpens)
{
    TVentolixMainForm f;
    EXPECT_FALSE(f.OpenLDTFile(FTmp.filePath(QStringLiteral("gibt-es-nicht.ldt"))));
    ASSERT_EQ(FSink.Shown.size(), 1u);
    EXPECT_EQ(FSink.Shown[0].Kind, TMsgKind::mkError);
    EXPECT_TRUE(FSink.Shown[0].Text.contains(QStringLiteral("gibt-es-nicht.ldt")));
    EXPECT_FALSE(f.LDTFrame()->FileIsOpen());
}

TEST_F(MainForm, UnwritableStoreIsReportedAndTheProgramRunsWithDefaults)
{
    QFile blocker(FHome.Path() + QStringLiteral("/Norvalis GmbH"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    TVentolixMainForm f;
    f.show();
    EXPECT_EQ(f.size(), QSize(TVentolixMainForm::DesignWidth, TVentolixMainForm::DesignHeight));
    EXPECT_EQ(f.FilterIndex(), 1);
    f.close();
    ASSERT_EQ(FSink.Shown.size(), 1u);
    EXPECT_EQ(FSink.Shown[0].Kind, TMsgKind::mkError);
    EXPECT_EQ(FSink.Shown[0].Text, QStringLiteral("Fehler beim Öffnen des Registry-Schlüssels: ") + FHome.StoreFile());
    // the store is released after the error, so the next use tries again
    EXPECT_FALSE(GetAppReg().IsOpen());
}

TEST_F(MainForm, XPMCheckWithoutADirectoryAsksForTheSettings)
{
    struct TCase
    {
        QString Dir;
        const char *Message;
    } cases[] = {
        {QString(), "Das Verzeichnis des LDT 3.0-Prüfmoduls muss angegeben werde."},
        {QStringLiteral("/gibt/es/nicht"), "Das Verzeichnis des LDT 3.0-Prüfmoduls wurde nicht gefunden."},
    };
    TVentolixMainForm f;
    Activate(f);
    ASSERT_TRUE(f.OpenLDTFile(Example("Z01_Auftrag.ldt")));
    f.ActivatePage(TVentolixMainForm::tabInfo);
    QTRY_VERIFY(f.ActionXPM->isEnabled());
    for (const TCase &c : cases) {
        FSink.Shown.clear();
        TLDT3AppSettings::SetXPMDir(c.Dir);
        bool settingsShown = false;
        size_t messagesBefore = 0;
        WhenModal<QDialog>([&](QDialog *D) {
            settingsShown = D->windowTitle() == QStringLiteral("Ventolix-Einstellungen");
            messagesBefore = FSink.Shown.size();
            D->reject();
        });
        f.ActionXPM->trigger();
        EXPECT_TRUE(settingsShown) << c.Message;
        // the information comes first, then the settings
        EXPECT_EQ(messagesBefore, 1u) << c.Message;
        ASSERT_EQ(FSink.Shown.size(), 1u);
        EXPECT_EQ(FSink.Shown[0].Text, QString::fromUtf8(c.Message));
        // nothing ran: the tab stays
        EXPECT_EQ(f.PageControl()->currentIndex(), int(TVentolixMainForm::tabInfo));
        EXPECT_FALSE(f.LDTFrame()->LineList().XPMCheckDone());
    }
}

TEST_F(MainForm, XPMCheckShowsTheProtocolOnTheDocumentsXPMPage)
{
    const QString standin = testutil::BinDir() + QStringLiteral("/xpm-standin");
    if (!QFileInfo::exists(standin + QStringLiteral("/Bin/standin.jar")))
        GTEST_SKIP() << "no stand-in test module (needs a JDK)";
    // our own temporary directory: other test processes run beside us
    SetLDTTmpDir(FTmp.filePath(QStringLiteral("tmp")));
    xpmtest::TScopedEnv m("XPMSTANDIN_MESSAGES", "2|W|K089|Feld|Wert fehlt");
    TLDT3AppSettings::SetXPMDir(standin);
    const QString file = FTmp.filePath(QStringLiteral("Z01_Auftrag.ldt"));
    ASSERT_TRUE(QFile::copy(Example("Z01_Auftrag.ldt"), file));
    // opened by a relative name, as from a command line: the module runs
    // in its own directory and must still find the file
    const QString oldCwd = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(FTmp.path()));
    TVentolixMainForm f;
    ASSERT_TRUE(f.OpenLDTFile(QStringLiteral("Z01_Auftrag.ldt")));
    QDir::setCurrent(oldCwd);
    EXPECT_EQ(f.windowTitle(), Title + QStringLiteral(" - [Z01_Auftrag.ldt]"));
    EXPECT_EQ(QFileInfo(f.LDTFrame()->FileName()).canonicalFilePath(), QFileInfo(file).canonicalFilePath());
    f.ActivatePage(TVentolixMainForm::tabInfo);
    QTRY_VERIFY(f.ActionXPM->isEnabled());
    EXPECT_FALSE(f.LDTFrame()->XPMPageVisible());
    f.ActionXPM->trigger();
    EXPECT_EQ(f.PageControl()->currentIndex(), int(TVentolixMainForm::tabLDT));
    EXPECT_TRUE(f.LDTFrame()->LineList().XPMCheckDone());
    EXPECT_TRUE(f.LDTFrame()->XPMPageVisible());
    EXPECT_EQ(f.LDTFrame()->RightPage(), int(TLDTFrame::pageXPM));
    const QString prot = QDir(TLDT3Data::GetLDTTmpDir()).filePath(QStringLiteral("LDT3XPM_Prot.pdf"));
    QTRY_COMPARE_WITH_TIMEOUT(f.LDTFrame()->XPMView()->url(), QUrl::fromLocalFile(prot), 20000);
    EXPECT_TRUE(QFileInfo::exists(prot));
    EXPECT_FALSE(QFileInfo::exists(QDir(TLDT3Data::GetLDTTmpDir()).filePath(QStringLiteral("LDT3XPM_Stat.pdf"))));
    // the module's exit code is reported, no error
    for (const auto &shown : FSink.Shown)
        EXPECT_NE(shown.Kind, TMsgKind::mkError) << shown.Text.toStdString();
    // closing the file takes the page away again
    f.FileClose->trigger();
    EXPECT_FALSE(f.LDTFrame()->XPMPageVisible());
    SetLDTTmpDir(QString());
}


// The lines the module names get the XPM mark in the list and the error
// mark in both trees, whose status lines then read the module's verdict;
// the protocol is removed when the program ends, the statistics at once.
TEST_F(MainForm, XPMCheckMarksTheNamedLinesAndRefreshesTheTrees)
{
    const QString standin = testutil::BinDir() + QStringLiteral("/xpm-standin");
    if (!QFileInfo::exists(standin + QStringLiteral("/Bin/standin.jar")))
        GTEST_SKIP() << "no stand-in test module (needs a JDK)";
    SetLDTTmpDir(FTmp.filePath(QStringLiteral("tmp")));
    xpmtest::TScopedEnv m("XPMSTANDIN_MESSAGES", "2|F|K089|Feld|Wert fehlt;5|W|F012|Format|Format falsch");
    TLDT3AppSettings::SetXPMDir(standin);
    TVentolixMainForm f;
    ASSERT_TRUE(f.OpenLDTFile(Example("Z01_Auftrag.ldt")));
    TLDTFrame *v = f.LDTFrame();
    const TLDT3FilePtrList &ptr = *v->LineList().PtrList();
    const QString none = QStringLiteral("Es erfolgte keine XPM-Prüfung");
    EXPECT_EQ(v->TreeStatusText(), none);
    const int marked[] = {2, 5};
    for (int z : marked)
        ASSERT_FALSE(ptr.LineHasErrors(z - 1)) << z;
    // the tab "Fehler" says whether there are errors
    auto *left = v->findChild<QTabWidget *>(QStringLiteral("PageControlLeft"));
    ASSERT_NE(left, nullptr);
    const auto tabImage = [&]() { return left->tabIcon(TLDTFrame::pageErrors).pixmap(16, 16).toImage(); };
    const QImage okImage = VexIcon(QStringLiteral("mark-ok")).pixmap(16, 16).toImage();
    const QImage errorImage = VexIcon(QStringLiteral("mark-error")).pixmap(16, 16).toImage();
    ASSERT_NE(okImage, errorImage);
    const bool errorsBefore = tabImage() == errorImage;
    QTRY_VERIFY(f.ActionXPM->isEnabled());
    f.ActionXPM->trigger();
    ASSERT_TRUE(v->LineList().XPMCheckDone());

    EXPECT_NE(v->TreeStatusText(), none);
    EXPECT_TRUE(v->TreeStatusText().startsWith(QLatin1String("XPM: ")));
    EXPECT_EQ(v->TreeStatusText(), v->LineList().XPMStatus());
    EXPECT_EQ(v->ErrorTreeStatusText(), v->TreeStatusText());
    for (int i = 0; i < ptr.Count(); ++i) {
        const int z = i + 1;
        const bool named = std::find(std::begin(marked), std::end(marked), z) != std::end(marked);
        EXPECT_EQ(ptr.LineHasXPMErrors(i), named) << z;
        if (!named)
            continue;
        const TLDT3Line *line = v->LineList().GetLDT3LineFromZeile(z);
        ASSERT_NE(line, nullptr);
        EXPECT_EQ(line->ImageIndex(), LDT3ImageXPM) << z;
        // the error tree was built anew with the line; the LDT tree marks it
        const QModelIndex err = v->ErrorTreeModel()->IndexOf(v->LineList().GetLDT3LineErrorNodeFromLDT3Line(line));
        EXPECT_TRUE(err.isValid()) << z;
        const TLDT3Node *node = v->LineList().GetLDT3LineNodeFromLDT3Line(line);
        ASSERT_NE(node, nullptr);
        EXPECT_TRUE(v->LDTTreeModel()->HasErrorMark(node)) << z;
        EXPECT_FALSE(v->LDTTreeModel()->IndexOf(node).data(Qt::DecorationRole).isNull()) << z;
    }
    EXPECT_TRUE(v->LeftPageVisible(TLDTFrame::pageErrors));
    EXPECT_EQ(tabImage(), errorImage) << "errors before: " << errorsBefore;
    // the file information page has the module's messages now
    EXPECT_TRUE(v->FileInfoView()->LoadedString().contains(QLatin1String("Wert fehlt")));
    EXPECT_TRUE(v->FileInfoView()->LoadedString().contains(QLatin1String("Format falsch")));

    const QString tmp = TLDT3Data::GetLDTTmpDir();
    const QString prot = QDir(tmp).filePath(QStringLiteral("LDT3XPM_Prot.pdf"));
    EXPECT_TRUE(QFileInfo::exists(prot));
    EXPECT_FALSE(QFileInfo::exists(QDir(tmp).filePath(QStringLiteral("LDT3XPM_Stat.pdf"))));
    EXPECT_TRUE(TLDT3Data::ScheduledFiles().contains(prot));
    // what the program does as it ends
    TLDT3Data::DeleteScheduledFiles();
    EXPECT_FALSE(QFileInfo::exists(prot));
    SetLDTTmpDir(QString());
}

// Both runs show the progress window; cancelling it ends them without a
// result and without a protocol page.
TEST_F(MainForm, XPMCheckCanBeCancelled)
{
    const QString standin = testutil::BinDir() + QStringLiteral("/xpm-standin");
    if (!QFileInfo::exists(standin + QStringLiteral("/Bin/standin.jar")))
        GTEST_SKIP() << "no stand-in test module (needs a JDK)";
    SetLDTTmpDir(FTmp.filePath(QStringLiteral("tmp")));
    xpmtest::TScopedEnv m("XPMSTANDIN_MESSAGES", "2|F|K089|Feld|Wert fehlt");
    xpmtest::TScopedEnv slow("XPMSTANDIN_SLEEP_MS", "3000");
    TLDT3AppSettings::SetXPMDir(standin);
    TThreadInfoFormPresenter presenter;
    SetThreadInfoPresenter(&presenter);
    TVentolixMainForm f;
    ASSERT_TRUE(f.OpenLDTFile(Example("Z01_Auftrag.ldt")));
    QTRY_VERIFY(f.ActionXPM->isEnabled());
    QStringList captions;
    QTimer canceller;
    canceller.setInterval(20);
    QObject::connect(&canceller, &QTimer::timeout, [&]() {
        auto *w = dynamic_cast<TThreadInfoForm *>(QApplication::activeModalWidget());
        if (w && w->isVisible() && w->CancelButton() && w->CancelButton()->isEnabled()
            && w->property("cancelled").isNull()) {
            w->setProperty("cancelled", true);
            captions << w->windowTitle();
            w->CancelButton()->click();
        }
    });
    canceller.start();
    f.ActionXPM->trigger();
    canceller.stop();
    SetThreadInfoPresenter(nullptr);
    EXPECT_EQ(captions.size(), 2);
    EXPECT_FALSE(f.LDTFrame()->LineList().XPMCheckDone());
    EXPECT_FALSE(f.LDTFrame()->XPMPageVisible());
    EXPECT_EQ(f.LDTFrame()->TreeStatusText(), QStringLiteral("Es erfolgte keine XPM-Prüfung"));
    SetLDTTmpDir(QString());
}

TEST_F(MainForm, StartUpNamesTheDirectoriesInstallsTheXPMRunnerAndDeletesFilesLeftBefore)
{
    const QString left = FTmp.filePath(QStringLiteral("left-by-an-earlier-run.tmp"));
    const QString kept = FTmp.filePath(QStringLiteral("not-listed.tmp"));
    for (const QString &name : {left, kept}) {
        QFile f(name);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
    const QString list = FHome.Path() + QStringLiteral("/Norvalis GmbH/ventolix-pending-deletes.txt");
    ASSERT_TRUE(QDir().mkpath(QFileInfo(list).absolutePath()));
    {
        QFile f(list);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(left.toUtf8() + '\n');
    }
    SetLDT3XPMRunner(nullptr);
    VentolixStartUp();
    EXPECT_FALSE(QFileInfo::exists(left));
    EXPECT_TRUE(QFileInfo::exists(kept));
    EXPECT_FALSE(QFileInfo::exists(list));
    EXPECT_NE(GetLDT3XPMRunner(), nullptr);
    EXPECT_EQ(QCoreApplication::organizationName(), QStringLiteral("Norvalis GmbH"));
    EXPECT_EQ(QCoreApplication::applicationName(), GetAppTitle());
    EXPECT_EQ(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation), FHome.DataDir());
}

TEST_F(MainForm, StartTabShowsExactlyWhenTheStartTreeHasEntries)
{
    const QByteArray emptyTree = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Ventolix><Application>"
                                 "<AppVersion Version=\"0.1.0.0\" UpgradePath=\"\"/><AppEdition Edition=\"Standard\"/>"
                                 "</Application><Startseite/></Ventolix>\n";
    struct TCase
    {
        const char *Name;
        QByteArray XML;
        int TopLevel;
    } cases[] = {{"bundled configuration", BundledConfig(), 5}, {"empty tree", emptyTree, 0}};
    ASSERT_FALSE(cases[0].XML.isEmpty());
    for (const TCase &c : cases) {
        SCOPED_TRACE(c.Name);
        WriteUserConfig(c.XML);
        TVentolixMainForm f;
        f.ProcessCommandLine({});
        const bool has = c.TopLevel > 0;
        EXPECT_EQ(f.StartPage()->TVStart()->topLevelItemCount(), c.TopLevel);
        EXPECT_EQ(f.PageControl()->isTabVisible(TVentolixMainForm::tabStart), has);
        EXPECT_EQ(f.PageControl()->widget(TVentolixMainForm::tabStart), f.StartPage());
        EXPECT_EQ(f.PageControl()->currentIndex(), has ? int(TVentolixMainForm::tabStart) : int(TVentolixMainForm::tabInfo));
        // the window's navigation actions are the page's
        EXPECT_EQ(f.ActionGoBack, f.StartPage()->ActionGoBack());
        EXPECT_EQ(f.ActionRefresh, f.StartPage()->ActionRefresh());
        EXPECT_EQ(f.ActionOpenLinkInNewWindow, f.StartPage()->ActionOpenLinkInNewWindow());
    }
}

TEST_F(MainForm, TheDailyCheckContactsOnlyTheAddressSetAndAForcedCheckWithoutOneSaysSo)
{
    xpmtest::TLocalHttpServer server;
    ASSERT_GT(server.Port(), 0);
    server.SetRoute("/config.xml", BundledConfig());
    const QString today = QDate::currentDate().toString(QStringLiteral("yyyyMMdd"));
    struct TCase
    {
        QString URL;
        int Hits;
        QString LastCheck;
    } cases[] = {{server.Url("/config.xml"), 1, today}, {QString(), 0, QString()}};
    for (const TCase &c : cases) {
        SCOPED_TRACE(c.URL.toStdString());
        {
            TAppReg reg(GetAppTitle());
            reg.WriteString(TAppRegKeys::Main, TAppRegKeys::UpdateURL, c.URL);
            reg.WriteString(TAppRegKeys::Main, TAppRegKeys::LastUpdateCheck, QString());
            reg.Close();
        }
        QFile::remove(FHome.DataDir() + QStringLiteral("/config.xml"));
        const int before = server.TotalHits();
        FSink.Shown.clear();
        {
            TVentolixMainForm f;
            EXPECT_EQ(server.TotalHits() - before, c.Hits);
            EXPECT_EQ(f.LastUpdateCheck(), c.LastCheck);
            // the downloaded configuration fills the tree
            EXPECT_EQ(f.PageControl()->isTabVisible(TVentolixMainForm::tabStart),
                      !c.URL.isEmpty() || !FindBundledConfig().isEmpty());
            if (c.URL.isEmpty()) {
                f.ActionCheckUpdates->trigger();
                EXPECT_EQ(server.TotalHits(), before);
                ASSERT_EQ(FSink.Shown.size(), 1u);
                EXPECT_EQ(FSink.Shown[0].Kind, TMsgKind::mkInformation);
                EXPECT_EQ(FSink.Shown[0].Text, QString::fromUtf8(NoUpdateURLMsg));
            } else {
                EXPECT_TRUE(FSink.Shown.empty());
            }
            f.close();
        }
        EXPECT_EQ(StoreValue(QStringLiteral("Main/LastUpdateCheck")), c.LastCheck);
    }
}

TEST_F(MainForm, TitleAndLookupFollowTheTableSetOfTheOpenFile)
{
    struct TCase
    {
        QString File;
        QString Version;
    } cases[] = {{Example("Z01_Befund_mit_PDF.ldt"), QStringLiteral("LDT3.1.3")},
                 {testutil::SamplesDir() + QStringLiteral("/Z01_Befund_mitObj_BAK.ldt"), QStringLiteral("LDT3.2.20")},
                 {Example("Z01_Auftrag.ldt"), QStringLiteral("LDT3.1.3")}};
    TVentolixMainForm f;
    for (const TCase &c : cases) {
        SCOPED_TRACE(c.File.toStdString());
        ASSERT_TRUE(f.OpenLDTFile(c.File));
        EXPECT_EQ(f.windowTitle(), GetAppTitle() + QStringLiteral(" - ") + c.Version + QStringLiteral(" - [") + c.File +
                                       QLatin1Char(']'));
        EXPECT_EQ(f.CBAuskunftVersion()->currentText(), c.Version);
        EXPECT_EQ(f.AuskunftTableSet().Version(), c.Version);
    }
}

TEST_F(MainForm, LookupPagesComeFromTheChosenTableSetWithOneEmptyPagePerSet)
{
    TVentolixMainForm f;
    QStringList shown;
    for (int i = 0; i < f.CBAuskunftVersion()->count(); ++i)
        shown << f.CBAuskunftVersion()->itemText(i);
    EXPECT_EQ(shown, TLDT3TableSet::Versions());
    ASSERT_GE(shown.size(), 2);
    EXPECT_EQ(f.AuskunftTableSet(), TLDT3TableSet());

    // 3473 is a field of LDT 3.2.x only
    const QString query = QStringLiteral("3473");
    TLDT3TableSet newer;
    ASSERT_TRUE(TLDT3TableSet::FromName(QStringLiteral("LDT3.2.20"), newer));
    f.EdAuskunft()->setText(query);
    const QString oldPage = f.AuskunftLastResult();
    f.SetAuskunftTableSet(newer);
    const QString newPage = f.AuskunftLastResult();
    for (const auto &[set, page] : {std::pair{TLDT3TableSet(), oldPage}, std::pair{newer, newPage}}) {
        SCOPED_TRACE(set.Version().toStdString());
        TLDT3Data::TInfoTyp typ = TLDT3Data::itNone;
        bool found = false;
        EXPECT_EQ(page, TLDT3Data::GetInfoXHTML(query, typ, set, &found));
        EXPECT_EQ(found, set == newer);
    }
    EXPECT_NE(oldPage, newPage);
    EXPECT_EQ(f.WBAuskunft()->LoadedString(), newPage);

    // the empty query's page is made once per set and kept
    f.EdAuskunft()->clear();
    const QString newEmpty = f.AuskunftEmptyResult();
    ASSERT_FALSE(newEmpty.isEmpty());
    f.SetAuskunftTableSet(TLDT3TableSet());
    const QString oldEmpty = f.AuskunftEmptyResult();
    ASSERT_FALSE(oldEmpty.isEmpty());
    f.SetAuskunftTableSet(newer);
    EXPECT_EQ(f.AuskunftEmptyResult().constData(), newEmpty.constData());
    f.SetAuskunftTableSet(TLDT3TableSet());
    EXPECT_EQ(f.AuskunftEmptyResult().constData(), oldEmpty.constData());
    EXPECT_EQ(f.WBAuskunft()->LoadedString(), oldEmpty);
}

// The "Ansicht" entries follow the view's actions; "Gehe zu Zeile" runs the view's dialog and shows its tab.
TEST_F(MainForm, ViewMenuAndGotoLineWorkOnTheDocumentView)
{
    TVentolixMainForm f;
    ASSERT_TRUE(f.OpenLDTFile(Example("Z01_Befund_mit_PDF.ldt")));
    QMenu *ansicht = f.Menus().value(1);
    ASSERT_NE(ansicht, nullptr);
    QStringList entries;
    QAction *details = nullptr;
    for (QAction *a : ansicht->actions()) {
        entries << (a->isSeparator() ? QStringLiteral("-") : a->text());
        if (a->text() == QStringLiteral("Zeige Details"))
            details = a;
    }
    EXPECT_EQ(entries.join(QLatin1Char('|')),
              QStringLiteral("&Base64 ausblenden|Inhalte ein&rücken|Zeige Details|-|&Spaltenauswahl"));
    ASSERT_NE(details, nullptr);
    EXPECT_EQ(details->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_D));
    EXPECT_TRUE(details->isEnabled());
    details->trigger();
    EXPECT_TRUE(f.LDTFrame()->DetailDlgShowing());
    EXPECT_TRUE(details->isChecked());
    details->trigger();
    EXPECT_FALSE(f.LDTFrame()->DetailDlgShowing());
    EXPECT_FALSE(details->isChecked());

    f.ActivatePage(TVentolixMainForm::tabInfo);
    WAIT_UNTIL(f.ActionGotoLine->isEnabled(), 5000);
    ASSERT_TRUE(f.ActionGotoLine->isEnabled());
    WhenModal<QInputDialog>([](QInputDialog *D) {
        D->setTextValue(QStringLiteral("5"));
        D->accept();
    });
    f.ActionGotoLine->trigger();
    EXPECT_EQ(f.PageControl()->currentIndex(), int(TVentolixMainForm::tabLDT));
    EXPECT_EQ(f.LDTFrame()->CurrentZeile(), 5);
}

VENTOLIX_UI_TEST_MAIN()
