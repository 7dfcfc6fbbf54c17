// Attachments in the document view: the LDT tree's attachment menu and
// double-click, saving under a chosen name, and the desktop's shell
// operations (our chooser, our properties dialog, the file manager) with a
// desktop of our own: two applications registered for PDF files, and a
// launcher that records instead of starting programs.
#include "LDT3.AnlageMenu.h"
#include "LDT3.Anlagen.h"
#include "LDT3.AppSettings.h"
#include "LDT3.Data.h"
#include "LDT3.Frame.h"
#include "LDT3.LVBase.h"
#include "LDT3.TVBase.h"
#include "LDT3.TreeModel.h"
#include "UiTestUtil.h"
#include "VentolixMain.h"
#include "VentolixStartUp.h"
#include "Vex_DesktopShell.h"
#include "Vex_FilePropertiesDlg.h"
#include "Vex_OpenWithDlg.h"
#include "Vex_Shell.h"

#include <QAction>
#include <QDBusConnection>
#include <QProcess>
#include <QStandardPaths>
#include <QThread>
#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QTreeView>

using uitest::WhenModal;

namespace {

// The desktop of the tests, set before the program asks for friendly names.
QString GDesktopDir;

QByteArray L(int fk, const QByteArray &content)
{
    return TLDT3::IntToTBytes_LZ(content.size() + 9, 3) + TLDT3::IntToTBytes_LZ(fk, 4) + content + "\r\n";
}

// A result record with one attachment per (format, Base64) pair.
QByteArray AnlagenFile(const QList<std::pair<QByteArray, QByteArray>> &AAnlagen)
{
    QByteArray body = L(8000, "8205") + L(8410, "x");
    for (const auto &[format, b64] : AAnlagen)
        body += L(8110, "Anhang") + L(8002, "Obj_0010") + L(9970, "1") + L(8242, "x") + L(8002, "Obj_0068")
                + L(6329, b64) + L(8003, "Obj_0068") + (format.isEmpty() ? QByteArray() : L(6303, format))
                + L(8003, "Obj_0010");
    return body + L(8001, "8205");
}

QStringList Captions(const QMenu &AMenu)
{
    QStringList r;
    for (const QAction *a : AMenu.actions())
        r << a->text();
    return r;
}

QAction *Entry(const QMenu &AMenu, const QString &ACaption)
{
    for (QAction *a : AMenu.actions())
        if (a->text() == ACaption)
            return a;
    return nullptr;
}

// The file manager's D-Bus service, recording what it is asked to show.
class TFakeFileManager : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.FileManager1")
public:
    QStringList Uris;
    QString StartupId;
public Q_SLOTS:
    void ShowItems(const QStringList &AUris, const QString &AStartupId)
    {
        Uris = AUris;
        StartupId = AStartupId;
    }
};

class AnlageMenu : public ::testing::Test
{
protected:
    void SetUp() override
    {
        SetLDTTmpDir(FTmp.filePath(QStringLiteral("tmp")));
        SetShellLauncher([this](const QString &AProgram, const QStringList &AArgs) {
            FLaunched << (QStringList{AProgram} + AArgs);
            return true;
        });
    }
    void TearDown() override
    {
        SetShellLauncher({});
        for (const QString &f : TLDT3Data::ScheduledFiles())
            QFile::remove(f);
        TLDT3Data::DeleteScheduledFiles();
        SetLDTTmpDir(QString());
    }
    // Opens a copy of AFileName (or of bytes) in the view.
    void Open(TLDTFrame &AFrame, const QString &ASource)
    {
        const QString copy = FTmp.filePath(QFileInfo(ASource).fileName());
        QFile::remove(copy);
        ASSERT_TRUE(QFile::copy(ASource, copy));
        ASSERT_TRUE(AFrame.OpenLDTFile(copy));
    }
    void OpenBytes(TLDTFrame &AFrame, const QByteArray &ABytes, const QString &AName = QStringLiteral("Z01anl.ldt"))
    {
        ASSERT_TRUE(AFrame.OpenLDTFile(testutil::WriteFile(FTmp, AName, ABytes)));
    }
    // The LDT tree's items whose node satisfies APred, depth first.
    static QList<QModelIndex> Items(const TLDT3TreeModel &AModel, const std::function<bool(const TLDT3Node *)> &APred,
                                    const QModelIndex &AParent = {})
    {
        QList<QModelIndex> r;
        for (int i = 0; i < AModel.rowCount(AParent); ++i) {
            const QModelIndex c = AModel.index(i, 0, AParent);
            if (APred(TLDT3TreeModel::NodeOf(c)))
                r << c;
            r << Items(AModel, APred, c);
        }
        return r;
    }
    static QList<QModelIndex> AnlageItems(const TLDTFrame &AFrame)
    {
        return Items(*AFrame.LDTTreeModel(), [](const TLDT3Node *N) {
            return N && N->ClassType()->InheritsFrom(TLDT3Base64AnlageNode::Class());
        });
    }

    QTemporaryDir FTmp;
    QList<QStringList> FLaunched;
    TScopedDesktopShell FShell;
    xpmtest::TRecordingSink FSink;
};

} // namespace

// Every attachment of the KBV samples: the menu of a saved PDF, opened with
// the desktop's default application from the temporary directory.
TEST_F(AnlageMenu, KbvSamplesOfferTheirAttachmentsAndOpenThem)
{
    int seen = 0, others = 0;
    for (const QString &sample : testutil::SampleFiles()) {
        TLDTFrame f;
        Open(f, sample);
        const TLDT3Base64AnlagenList &list = f.LineList().PtrList()->Base64AnalgenList();
        const QList<QModelIndex> items = AnlageItems(f);
        ASSERT_EQ(items.size(), list.Count()) << sample.toStdString();
        for (const QModelIndex &item : items) {
            TLDT3Base64Anlage *a = AnlageOfNode(TLDT3TreeModel::NodeOf(item));
            ASSERT_NE(a, nullptr);
            std::unique_ptr<QMenu> menu = f.CreateTVContextMenu(item);
            if (a->Extension().toLower() != QLatin1String(".pdf")) {
                // not written at load: saving is all there is
                EXPECT_FALSE(a->IsAnlageSaved());
                EXPECT_EQ(Captions(*menu), QStringList({QStringLiteral("Anlage speichern unter...")}));
                EXPECT_EQ(menu->defaultAction(), menu->actions().value(0));
                ++others;
                continue;
            }
            const QString open = QStringLiteral("Mit Fake PDF Leser öffnen");
            EXPECT_EQ(Captions(*menu), QStringList({open, QStringLiteral("Öffnen mit..."), QStringLiteral("Eigenschaften"),
                                                    QStringLiteral("Im Explorer anzeigen"),
                                                    QStringLiteral("Anlage speichern unter...")}));
            ASSERT_NE(menu->defaultAction(), nullptr);
            EXPECT_EQ(menu->defaultAction()->text(), open);
            // the file item under it has the same menu
            const QModelIndex fileItem = item.model()->index(0, 0, item);
            EXPECT_EQ(Captions(*f.CreateTVContextMenu(fileItem)), Captions(*menu));

            FLaunched.clear();
            Entry(*menu, open)->trigger();
            const QString tmpPdf = QDir(TLDT3Data::GetLDTTmpDir()).filePath(a->DefaultFileNameNoPath());
            ASSERT_EQ(FLaunched.size(), 1);
            EXPECT_EQ(FLaunched[0], QStringList({QStringLiteral("xdg-open"), tmpPdf}));
            EXPECT_TRUE(testutil::ReadAll(tmpPdf).startsWith("%PDF"));
            EXPECT_EQ(fileItem.data().toString(), tmpPdf);
            ++seen;
        }
    }
    EXPECT_GE(seen, 8);
    EXPECT_GE(others, 1);
    EXPECT_TRUE(FSink.Shown.empty());
}

// A line item lists the attachments in its range, each with its own menu;
// other items have none.
TEST_F(AnlageMenu, LineItemsListTheAttachmentsOfTheirRange)
{
    TLDTFrame f;
    OpenBytes(f, AnlagenFile({{"pdf", "JVBERi0xLjQK"}, {"", "QUJD"}}));
    const TLDT3TreeModel &m = *f.LDTTreeModel();
    const auto lineItems = Items(m, [](const TLDT3Node *N) {
        return N && N->ClassType()->InheritsFrom(TLDT3LineNode::Class()) && !static_cast<const TLDT3LineNode *>(N)->IsRoot();
    });
    ASSERT_FALSE(lineItems.isEmpty());
    // the record holds both attachments: one submenu each, in order
    const QModelIndex record = lineItems.first();
    std::unique_ptr<QMenu> menu = f.CreateTVContextMenu(record);
    const TLDT3Base64AnlagenList &list = f.LineList().PtrList()->Base64AnalgenList();
    ASSERT_EQ(list.Count(), 2);
    EXPECT_EQ(Captions(*menu), QStringList({list.Items(0)->AnhangCaption(), list.Items(1)->AnhangCaption()}));
    ASSERT_NE(menu->actions()[1]->menu(), nullptr);
    // the second has no format: not saved, so saving is all it offers
    QMenu *second = menu->actions()[1]->menu();
    EXPECT_EQ(Captions(*second), QStringList({QStringLiteral("Anlage speichern unter...")}));
    EXPECT_EQ(second->defaultAction()->text(), QStringLiteral("Anlage speichern unter..."));
    EXPECT_EQ(Captions(*menu->actions()[0]->menu()).size(), 5);

    // a line inside the first attachment: that attachment only
    const auto inside = Items(m, [&](const TLDT3Node *N) {
        if (!N || !N->ClassType()->InheritsFrom(TLDT3LineNode::Class()))
            return false;
        const auto *l = static_cast<const TLDT3LineNode *>(N);
        return l->StartIdx() > list.Items(0)->AnhangStartIdx() && l->EndeIdx() < list.Items(0)->AnhangEndeIdx();
    });
    ASSERT_FALSE(inside.isEmpty());
    EXPECT_EQ(Captions(*f.CreateTVContextMenu(inside.first())), QStringList({list.Items(0)->AnhangCaption()}));
    // the line before the attachments, the tree's top and no item: nothing
    const auto before = Items(m, [&](const TLDT3Node *N) {
        return N && N->ClassType()->InheritsFrom(TLDT3LineNode::Class())
               && static_cast<const TLDT3LineNode *>(N)->StartIdx() == 1;
    });
    ASSERT_FALSE(before.isEmpty());
    EXPECT_TRUE(f.CreateTVContextMenu(before.first())->isEmpty());
    EXPECT_TRUE(f.CreateTVContextMenu(m.index(0, 0))->isEmpty());
    EXPECT_TRUE(f.CreateTVContextMenu(QModelIndex())->isEmpty());
}

// "Anlage speichern unter...": the dialog proposes the default name in the
// file's folder; the attachment is written there and its file item follows.
TEST_F(AnlageMenu, SaveAsWritesTheChosenFile)
{
    TLDTFrame f;
    Open(f, testutil::SamplesDir() + QStringLiteral("/Z01_UseCase05_Befund_mitPDF.ldt"));
    const QList<QModelIndex> items = AnlageItems(f);
    ASSERT_FALSE(items.isEmpty());
    TLDT3Base64Anlage *a = AnlageOfNode(TLDT3TreeModel::NodeOf(items[0]));
    const QString target = FTmp.filePath(QStringLiteral("gewählt.pdf"));
    QString title, proposed, dir;
    WhenModal<QFileDialog>([&](QFileDialog *D) {
        title = D->windowTitle();
        dir = D->directory().absolutePath();
        auto *edit = D->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
        ASSERT_NE(edit, nullptr);
        proposed = edit->text();
        edit->setText(target);
        static_cast<QDialog *>(D)->accept();
    });
    std::unique_ptr<QMenu> menu = f.CreateTVContextMenu(items[0]);
    Entry(*menu, QStringLiteral("Anlage speichern unter..."))->trigger();
    EXPECT_EQ(title, QStringLiteral("Anlage 1 speichern unter"));
    EXPECT_EQ(proposed, a->DefaultFileNameNoPath());
    EXPECT_EQ(dir, QFileInfo(f.FileName()).absolutePath());
    EXPECT_EQ(a->SavedToFileName(), target);
    const QByteArray saved = testutil::ReadAll(target);
    EXPECT_TRUE(saved.startsWith("%PDF"));
    EXPECT_EQ(saved, testutil::ReadAll(QDir(TLDT3Data::GetLDTTmpDir()).filePath(a->DefaultFileNameNoPath())));
    EXPECT_EQ(f.LDTTreeModel()->index(0, 0, items[0]).data().toString(), target);
    // no partial files beside it
    EXPECT_EQ(QDir(FTmp.path()).entryList({QStringLiteral("gewählt*")}, QDir::Files),
              QStringList({QStringLiteral("gewählt.pdf")}));

    // a folder that cannot be written is reported; the attachment keeps no name
    WhenModal<QFileDialog>([&](QFileDialog *D) {
        D->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"))->setText(FTmp.filePath(QStringLiteral("fehlt/x.pdf")));
        static_cast<QDialog *>(D)->accept();
    });
    Entry(*f.CreateTVContextMenu(items[0]), QStringLiteral("Anlage speichern unter..."))->trigger();
    ASSERT_EQ(FSink.Shown.size(), 1u);
    EXPECT_EQ(FSink.Shown[0].Kind, TMsgKind::mkError);
    EXPECT_TRUE(FSink.Shown[0].Text.contains(QLatin1String("fehlt/x.pdf")));
    EXPECT_FALSE(a->IsAnlageSaved());
}

// Format fields that name paths: the dialog's proposal stays in its folder.
TEST_F(AnlageMenu, NamesFromTheFileStayInTheSaveFolder)
{
    const struct
    {
        const char *Format;
        const char *Proposed;
    } cases[] = {
        {"pdf/../../../../tmp/boese", "boese"},
        {"/", "Anhang_1"},
        {"..", "Z01anl_Anhang_1.."}, // dots inside a name are harmless
        {"/..", "Anhang_1"},
        {"txt", "Z01anl_Anhang_1.txt"},
    };
    for (const auto &c : cases) {
        TLDTFrame f;
        OpenBytes(f, AnlagenFile({{c.Format, "QUJD"}}));
        TLDT3Base64Anlage *a = f.LineList().PtrList()->Base64AnalgenList().Items(0);
        const QString folder = FTmp.filePath(QStringLiteral("ziel"));
        ASSERT_TRUE(QDir().mkpath(folder));
        std::unique_ptr<QFileDialog> dlg = CreateAnlageSaveDialog(*a, folder, &f);
        ASSERT_EQ(dlg->selectedFiles().size(), 1) << c.Format;
        const QFileInfo chosen(dlg->selectedFiles().first());
        EXPECT_EQ(chosen.fileName(), QString::fromUtf8(c.Proposed)) << c.Format;
        EXPECT_EQ(QDir::cleanPath(chosen.absolutePath()), QDir::cleanPath(folder)) << c.Format;
    }
}

// Double-click: unsaved means save, saved with an application means open,
// saved without one means the chooser.
TEST_F(AnlageMenu, DoubleClickSavesOpensOrAsks)
{
    TLDTFrame f;
    OpenBytes(f, AnlagenFile({{"pdf", "JVBERi0xLjQK"}, {"xyz", "QUJD"}}));
    const QList<QModelIndex> items = AnlageItems(f);
    ASSERT_EQ(items.size(), 2);
    TLDT3Base64Anlage *xyz = AnlageOfNode(TLDT3TreeModel::NodeOf(items[1]));
    ASSERT_FALSE(xyz->IsAnlageSaved());
    ASSERT_TRUE(xyz->FriendlyAppName().isEmpty());
    const QString target = FTmp.filePath(QStringLiteral("anlage.xyz"));
    int dialogs = 0;
    WhenModal<QFileDialog>([&](QFileDialog *D) {
        ++dialogs;
        D->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"))->setText(target);
        static_cast<QDialog *>(D)->accept();
    });
    Q_EMIT f.LDTTree()->doubleClicked(items[1]);
    EXPECT_EQ(dialogs, 1);
    EXPECT_EQ(testutil::ReadAll(target), QByteArray("ABC"));
    EXPECT_TRUE(FLaunched.isEmpty());

    // saved now, and no application is known for it: the chooser
    QString chooserFile;
    WhenModal<TOpenWithDlg>([&](TOpenWithDlg *D) {
        chooserFile = D->FileName();
        D->reject();
    });
    Q_EMIT f.LDTTree()->doubleClicked(items[1]);
    EXPECT_EQ(chooserFile, target);
    EXPECT_TRUE(FLaunched.isEmpty());

    // the PDF opens with its application at once
    Q_EMIT f.LDTTree()->doubleClicked(items[0]);
    ASSERT_EQ(FLaunched.size(), 1);
    EXPECT_EQ(FLaunched[0].first(), QStringLiteral("xdg-open"));
    // not an attachment: the tree's own double-click only
    EXPECT_FALSE(AnlageDoubleClick(TLDT3TreeModel::NodeOf(f.LDTTreeModel()->index(0, 0)), FTmp.path(), &f));
}

// "Öffnen mit...": the chooser lists the applications of our desktop for
// PDF files, the default first; the choice starts with the file, as does a
// command of one's own.
TEST_F(AnlageMenu, ChooserListsTheDesktopsApplications)
{
    TLDTFrame f;
    Open(f, testutil::SamplesDir() + QStringLiteral("/Z01_UseCase15_Befund_mit_PDF.ldt"));
    const QList<QModelIndex> items = AnlageItems(f);
    ASSERT_FALSE(items.isEmpty());
    TLDT3Base64Anlage *a = AnlageOfNode(TLDT3TreeModel::NodeOf(items[0]));
    const QString file = a->SavedToFileName();

    struct TCase
    {
        const char *What;
        std::function<void(TOpenWithDlg *)> Choose;
        QStringList Expected;
    } cases[] = {
        {"default", [](TOpenWithDlg *D) { D->accept(); }, {QStringLiteral("fakepdf"), QStringLiteral("--view"), file}},
        {"second",
         [](TOpenWithDlg *D) {
             D->LBApps()->setCurrentRow(1);
             D->accept();
         },
         {QStringLiteral("/opt/zweiter leser/bin/leser2"), QUrl::fromLocalFile(file).toString(QUrl::FullyEncoded)}},
        {"own command",
         [](TOpenWithDlg *D) {
             D->EdCommand()->setText(QStringLiteral("meinprog --seite 2 \"%f\""));
             D->accept();
         },
         {QStringLiteral("meinprog"), QStringLiteral("--seite"), QStringLiteral("2"), file}},
        {"cancelled", [](TOpenWithDlg *D) { D->reject(); }, {}},
    };
    for (const TCase &c : cases) {
        FLaunched.clear();
        QStringList names;
        QString mime;
        WhenModal<TOpenWithDlg>([&](TOpenWithDlg *D) {
            for (int i = 0; i < D->LBApps()->count(); ++i)
                names << D->LBApps()->item(i)->text();
            mime = D->MimeType();
            c.Choose(D);
        });
        Entry(*f.CreateTVContextMenu(items[0]), QStringLiteral("Öffnen mit..."))->trigger();
        EXPECT_EQ(mime, QStringLiteral("application/pdf")) << c.What;
        ASSERT_GE(names.size(), 2) << c.What;
        EXPECT_EQ(names.mid(0, 2), QStringList({QStringLiteral("Fake PDF Leser"), QStringLiteral("Zweiter Leser")}))
            << c.What;
        if (c.Expected.isEmpty()) {
            EXPECT_TRUE(FLaunched.isEmpty()) << c.What;
        } else {
            ASSERT_EQ(FLaunched.size(), 1) << c.What;
            EXPECT_EQ(FLaunched[0], c.Expected) << c.What;
        }
    }
}

// "Eigenschaften" shows the saved file's name, type, size, place and dates;
// "Im Explorer anzeigen" without a file manager on the bus opens the folder.
TEST_F(AnlageMenu, PropertiesAndFileManager)
{
    TLDTFrame f;
    Open(f, testutil::SamplesDir() + QStringLiteral("/Z01_UseCase06_Befund_mitPDF.ldt"));
    const QList<QModelIndex> items = AnlageItems(f);
    ASSERT_FALSE(items.isEmpty());
    TLDT3Base64Anlage *a = AnlageOfNode(TLDT3TreeModel::NodeOf(items[0]));
    const QFileInfo file(a->SavedToFileName());
    ASSERT_TRUE(file.exists());
    QString title;
    QHash<QString, QString> values;
    WhenModal<TFilePropertiesDlg>([&](TFilePropertiesDlg *D) {
        title = D->windowTitle();
        for (const QString &c : TFilePropertiesDlg::Captions())
            values.insert(c, D->Value(c));
        D->reject();
    });
    Entry(*f.CreateTVContextMenu(items[0]), QStringLiteral("Eigenschaften"))->trigger();
    EXPECT_EQ(title, QStringLiteral("Eigenschaften von ") + file.fileName());
    EXPECT_EQ(values.value(QStringLiteral("Name:")), file.fileName());
    EXPECT_TRUE(values.value(QStringLiteral("Typ:")).endsWith(QLatin1String("(application/pdf)")));
    EXPECT_EQ(values.value(QStringLiteral("Größe:")), FormatFileSize(2, true, file.size()));
    EXPECT_EQ(values.value(QStringLiteral("Ort:")), file.absolutePath());
    EXPECT_EQ(values.value(QStringLiteral("Geändert:")),
              QLocale::system().toString(file.lastModified(), QStringLiteral("dd.MM.yyyy HH:mm:ss")));
    EXPECT_FALSE(values.value(QStringLiteral("Letzter Zugriff:")).isEmpty());
    EXPECT_EQ(values.value(QStringLiteral("Unbekannt:")), QString());

    FLaunched.clear();
    Entry(*f.CreateTVContextMenu(items[0]), QStringLiteral("Im Explorer anzeigen"))->trigger();
    ASSERT_EQ(FLaunched.size(), 1);
    EXPECT_EQ(FLaunched[0], QStringList({QStringLiteral("xdg-open"), file.absolutePath()}));
}

// "Im Explorer anzeigen" asks the file manager over D-Bus (a bus of our own
// with a stand-in file manager); without one on the bus the call fails.
TEST_F(AnlageMenu, FileManagerIsAskedOverDBus)
{
    if (QStandardPaths::findExecutable(QStringLiteral("dbus-daemon")).isEmpty())
        GTEST_SKIP() << "no dbus-daemon";
    QProcess daemon;
    daemon.start(QStringLiteral("dbus-daemon"), {QStringLiteral("--session"), QStringLiteral("--nofork"),
                                                 QStringLiteral("--nosyslog"), QStringLiteral("--print-address=1")});
    ASSERT_TRUE(daemon.waitForStarted());
    ASSERT_TRUE(daemon.waitForReadyRead(10000));
    const QString address = QString::fromUtf8(daemon.readLine()).trimmed();
    const QString file = FTmp.filePath(QStringLiteral("Befund 1,2.pdf"));
    {
        // the stand-in answers on its own thread while the caller waits
        QThread thread;
        TFakeFileManager fm;
        fm.moveToThread(&thread);
        thread.start();
        QDBusConnection service = QDBusConnection::connectToBus(address, QStringLiteral("filemanager"));
        ASSERT_TRUE(service.isConnected());
        ASSERT_TRUE(service.registerObject(QStringLiteral("/org/freedesktop/FileManager1"), &fm,
                                           QDBusConnection::ExportAllSlots));
        ASSERT_TRUE(service.registerService(QStringLiteral("org.freedesktop.FileManager1")));
        QDBusConnection client = QDBusConnection::connectToBus(address, QStringLiteral("client"));
        EXPECT_TRUE(TDesktopShellDialogs::ShowItemsOverDBus(client, file));
        EXPECT_EQ(fm.Uris, QStringList({QUrl::fromLocalFile(file).toString()}));
        EXPECT_EQ(fm.StartupId, QString());
        service.unregisterObject(QStringLiteral("/org/freedesktop/FileManager1"));
        service.unregisterService(QStringLiteral("org.freedesktop.FileManager1"));
        EXPECT_FALSE(TDesktopShellDialogs::ShowItemsOverDBus(client, file, 2000));
        thread.quit();
        thread.wait();
        QDBusConnection::disconnectFromBus(QStringLiteral("client"));
        QDBusConnection::disconnectFromBus(QStringLiteral("filemanager"));
    }
    daemon.kill();
    daemon.waitForFinished();
    EXPECT_TRUE(FLaunched.isEmpty());
}

// The main window's "LDT-Datei öffnen mit..." uses the same chooser.
TEST_F(AnlageMenu, MainWindowOpensTheFileWithTheChooser)
{
    uitest::TFreshConfigHome home;
    VentolixStartUp();
    TVentolixMainForm main;
    const QString copy = FTmp.filePath(QStringLiteral("Z01_Befund.ldt"));
    ASSERT_TRUE(QFile::copy(testutil::SamplesDir() + QStringLiteral("/Z01_UseCase05_Befund_mitPDF.ldt"), copy));
    ASSERT_TRUE(main.OpenLDTFile(copy));
    main.UpdateActions();
    ASSERT_TRUE(main.FileOpenWith->isEnabled());
    QString chosenFor;
    WhenModal<TOpenWithDlg>([&](TOpenWithDlg *D) {
        chosenFor = D->FileName();
        D->EdCommand()->setText(QStringLiteral("editor"));
        D->accept();
    });
    main.FileOpenWith->trigger();
    EXPECT_EQ(chosenFor, QFileInfo(copy).absoluteFilePath());
    ASSERT_EQ(FLaunched.size(), 1);
    EXPECT_EQ(FLaunched[0], QStringList({QStringLiteral("editor"), QFileInfo(copy).absoluteFilePath()}));
}

int main(int argc, char **argv)
{
    // our desktop before the system's, set before anything asks for names;
    // no session bus: the file manager cannot answer
    QTemporaryDir desktop;
    GDesktopDir = desktop.path();
    QDir().mkpath(GDesktopDir + QStringLiteral("/applications"));
    auto put = [](const QString &AName, const QByteArray &AText) {
        QFile f(GDesktopDir + QStringLiteral("/applications/") + AName);
        if (f.open(QIODevice::WriteOnly))
            f.write(AText);
    };
    put(QStringLiteral("fake-pdf.desktop"),
        "[Desktop Entry]\nType=Application\nName=Fake PDF Leser\nExec=fakepdf --view %f\nMimeType=application/pdf;\n");
    put(QStringLiteral("zweiter-leser.desktop"), "[Desktop Entry]\nType=Application\nName=Zweiter Leser\n"
                                                  "Exec=\"/opt/zweiter leser/bin/leser2\" %u\nMimeType=application/pdf;\n");
    put(QStringLiteral("mimeapps.list"), "[Default Applications]\napplication/pdf=fake-pdf.desktop;\n");
    qputenv("XDG_DATA_DIRS", (GDesktopDir + QStringLiteral(":/usr/local/share:/usr/share")).toLocal8Bit());
    // and none of the user's own associations
    QTemporaryDir user;
    qputenv("XDG_DATA_HOME", (user.path() + QStringLiteral("/data")).toLocal8Bit());
    qputenv("XDG_CONFIG_HOME", (user.path() + QStringLiteral("/config")).toLocal8Bit());
    qputenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent/bus");
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("QTWEBENGINE_CHROMIUM_FLAGS", "--proxy-server=127.0.0.1:9");
    TVexWebBrowser::PrepareApplication();
    QApplication app(argc, argv);
    InstallXPMRunner();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

#include "ui_test_LDT3.AnlageMenu.moc"
