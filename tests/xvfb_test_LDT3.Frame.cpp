// The document view on a real display: the test module's PDF protocol is
// drawn on the page "XPM-Prüfprotokoll" by the browser's PDF viewer.
#include "LDT3.AppSettings.h"
#include "LDT3.Data.h"
#include "LDT3.Detail.h"
#include "LDT3.Frame.h"
#include "UiTestUtil.h"
#include "VentolixMain.h"
#include "Vex_WebBrowser.h"

#include <QDir>
#include <QImage>
#include <QWebEngineView>

namespace {

// The share of pixels of AImage with the colour AColour (within a small tolerance).
double Share(const QImage &AImage, QRgb AColour)
{
    qint64 n = 0;
    for (int y = 0; y < AImage.height(); ++y)
        for (int x = 0; x < AImage.width(); ++x) {
            const QRgb p = AImage.pixel(x, y);
            n += qAbs(qRed(p) - qRed(AColour)) < 12 && qAbs(qGreen(p) - qGreen(AColour)) < 12
                 && qAbs(qBlue(p) - qBlue(AColour)) < 12;
        }
    return AImage.isNull() ? 0 : double(n) / (qint64(AImage.width()) * AImage.height());
}

} // namespace

TEST(FrameOnScreen, XPMProtocolPageShowsTheStandInsPdf)
{
    const QString standin = testutil::BinDir() + QStringLiteral("/xpm-standin");
    if (!QFileInfo::exists(standin + QStringLiteral("/Bin/standin.jar")))
        GTEST_SKIP() << "no stand-in test module (needs a JDK)";
    QTemporaryDir tmp;
    SetLDTTmpDir(tmp.filePath(QStringLiteral("tmp")));
    xpmtest::TScopedEnv m("XPMSTANDIN_MESSAGES", "2|W|K089|Feld|Wert fehlt");
    xpmtest::TRecordingSink sink;
    TLDT3AppSettings::SetXPMDir(standin);
    TLDTFrame f;
    f.resize(1000, 700);
    f.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&f));
    ASSERT_TRUE(f.OpenLDTFile(testutil::ExamplesDir() + QStringLiteral("/Z01_Auftrag.ldt")));
    ASSERT_TRUE(f.ActionXPMExecute());
    ASSERT_NE(f.XPMView(), nullptr);
    EXPECT_TRUE(f.XPMPageVisible());
    EXPECT_EQ(f.RightPage(), int(TLDTFrame::pageXPM));
    const QString prot = QDir(TLDT3Data::GetLDTTmpDir()).filePath(QStringLiteral("LDT3XPM_Prot.pdf"));
    QTRY_COMPARE_WITH_TIMEOUT(f.XPMView()->url(), QUrl::fromLocalFile(prot), 20000);
    // the viewer draws a grey surround and the white page on it
    QImage shot;
    WAIT_UNTIL((shot = f.XPMView()->grab().toImage(), Share(shot, qRgb(0x52, 0x56, 0x59)) > 0.05
                                                          && Share(shot, qRgb(255, 255, 255)) > 0.05),
               20000);
    shot.save(tmp.filePath(QStringLiteral("protokoll.png")));
    if (!qEnvironmentVariableIsEmpty("VENTOLIX_KEEP_SHOT"))
        shot.save(qEnvironmentVariable("VENTOLIX_KEEP_SHOT"));
    EXPECT_GT(Share(shot, qRgb(0x52, 0x56, 0x59)), 0.05);
    EXPECT_GT(Share(shot, qRgb(255, 255, 255)), 0.05);
    for (const auto &s : sink.Shown)
        EXPECT_NE(s.Kind, TMsgKind::mkError) << s.Text.toStdString();
    TLDT3Data::DeleteScheduledFiles();
    SetLDTTmpDir(QString());
}

// Which windows are made for web pages from the start: the main window only
// when it starts without a file, the detail dialog when it first shows. A
// view in a window that was not (its first page makes the window anew)
// still draws its page.
TEST(FrameOnScreen, OnlyWindowsThatShowAPageAtOnceAreMadeForPages)
{
    uitest::TFreshConfigHome home;
    const QString file = testutil::ExamplesDir() + QStringLiteral("/Z01_Auftrag.ldt");
    for (const auto &[args, prepared] : {std::pair{QStringList(), true}, std::pair{QStringList{file}, false},
                                         std::pair{QStringList{file, file}, true}}) {
        TVentolixMainForm m;
        m.PrepareForCommandLine(args);
        EXPECT_EQ(TVexWebBrowser::IsWindowPreparedForPages(&m), prepared) << args.size();
    }

    TLDTFrame f;
    f.resize(1000, 700);
    f.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&f));
    ASSERT_TRUE(f.OpenLDTFile(file));
    EXPECT_FALSE(TVexWebBrowser::IsWindowPreparedForPages(&f));
    f.ShowDetailDlg();
    EXPECT_TRUE(TVexWebBrowser::IsWindowPreparedForPages(f.DetailDlg()));
    // the dialog's marker does not make the view's window one for pages
    EXPECT_FALSE(TVexWebBrowser::IsWindowPreparedForPages(&f));
    f.HideDetailDlg();

    f.ActivateRightPage(TLDTFrame::pageFileInfo);
    ASSERT_NE(f.FileInfoView(), nullptr);
    // the page's text on white: some dark pixels, mostly white
    QImage shot;
    auto drawn = [&]() {
        shot = f.FileInfoView()->grab().toImage();
        const double white = Share(shot, qRgb(255, 255, 255));
        return white > 0.3 && white < 0.98;
    };
    WAIT_UNTIL(drawn(), 20000);
    EXPECT_TRUE(drawn());
}

int main(int argc, char **argv)
{
    qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    TVexWebBrowser::PrepareApplication();
    QApplication app(argc, argv);
    InstallXPMRunner();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
