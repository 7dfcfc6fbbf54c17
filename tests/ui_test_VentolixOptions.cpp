#include "UiTestUtil.h"

#include "LDT3.AppSettings.h"
#include "LDT3.Data.h"
#include "VentolixOptions.h"

#include <QAction>
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>

namespace {

class OptionsDlg : public ::testing::Test
{
protected:
    void SetUp() override
    {
        FOld = {TLDT3AppSettings::XPMDir(), TLDT3AppSettings::OutputDir()};
        FOldAuto = TLDT3AppSettings::XPMAutoCheck();
        TLDT3AppSettings::SetXPMDir(QString());
        TLDT3AppSettings::SetXPMAutoCheck(false);
        TLDT3AppSettings::SetOutputDir(FOut.path());
    }
    void TearDown() override
    {
        TLDT3AppSettings::SetXPMDir(FOld[0]);
        TLDT3AppSettings::SetXPMAutoCheck(FOldAuto);
        TLDT3AppSettings::SetOutputDir(FOld[1]);
    }
    void ClickOK(TVentolixOptionsDlg &D) { D.findChild<QPushButton *>(QStringLiteral("Button1"))->click(); }

    QTemporaryDir FXPM;
    QTemporaryDir FOut;
    xpmtest::TRecordingSink FSink;
    QStringList FOld;
    bool FOldAuto = false;
};

} // namespace

TEST_F(OptionsDlg, TypingAnExistingDirectoryTicksTheCheckOnlyOnAFreshInstallation)
{
    struct TCase
    {
        bool Configured;
        const char *Typed; // "" = the existing directory
        bool Ticked;
    } cases[] = {
        {false, "", true},
        {false, "zq-fehlt", false}, // no prefix of it names a directory
        {true, "", false},
    };
    for (const TCase &c : cases) {
        TLDT3AppSettings::SetXPMDir(c.Configured ? FOut.path() : QString());
        TVentolixOptionsDlg dlg;
        dlg.CkBoxXPMAutoCheck()->setChecked(false);
        dlg.EdXPMDirectory()->clear();
        const QString typed = *c.Typed ? QString::fromLatin1(c.Typed) : FXPM.path();
        for (const QChar ch : typed)
            QTest::keyClick(dlg.EdXPMDirectory(), ch.toLatin1());
        EXPECT_EQ(dlg.CkBoxXPMAutoCheck()->isChecked(), c.Ticked) << c.Configured << " " << c.Typed;
    }
}

TEST_F(OptionsDlg, RefusalsKeepTheDialogOpenWithTheFocusOnTheField)
{
    struct TCase
    {
        const char *Xpm;
        bool Auto;
        const char *Out;
        int Field; // 0 XPM, 1 output
        const char *Message;
    } cases[] = {
        {"/gibt/es/nicht", false, "", 0, "Verzeichnis \"/gibt/es/nicht\" exisiert nicht"},
        {"", true, "", 0,
         "Wenn die automatische Prüfung gewählt ist, muss das Verzeichnis des LDT 3.0-Prüfmoduls angegeben werden"},
        {"", false, "/auch/nicht/da", 1, "Verzeichnis \"/auch/nicht/da\" exisiert nicht"},
    };
    for (const TCase &c : cases) {
        FSink.Shown.clear();
        TVentolixOptionsDlg dlg;
        dlg.show();
        QApplication::setActiveWindow(&dlg);
        dlg.EdXPMDirectory()->setText(QString::fromUtf8(c.Xpm));
        dlg.CkBoxXPMAutoCheck()->setChecked(c.Auto);
        dlg.EdOutputDirectory()->setText(QString::fromUtf8(c.Out));
        ClickOK(dlg);
        EXPECT_TRUE(dlg.isVisible()) << c.Message;
        ASSERT_EQ(FSink.Shown.size(), 1u) << c.Message;
        EXPECT_EQ(FSink.Shown[0].Kind, TMsgKind::mkError);
        EXPECT_EQ(FSink.Shown[0].Text, QString::fromUtf8(c.Message));
        EXPECT_EQ(dlg.focusWidget(), c.Field == 0 ? dlg.EdXPMDirectory() : dlg.EdOutputDirectory());
        // nothing was stored
        EXPECT_EQ(TLDT3AppSettings::XPMDir(), QString());
        EXPECT_FALSE(TLDT3AppSettings::XPMAutoCheck());
    }
}

TEST_F(OptionsDlg, EmptyOutputShowsTheDefaultDirectoryAndOnlyTheSecondOKCloses)
{
    TVentolixOptionsDlg dlg;
    dlg.show();
    dlg.EdXPMDirectory()->setText(FXPM.path());
    dlg.EdOutputDirectory()->clear();
    ClickOK(dlg);
    const QString def = TLDT3Data::GetWinTmpDir() + QStringLiteral("Ventolix");
    EXPECT_TRUE(dlg.isVisible());
    EXPECT_EQ(dlg.EdOutputDirectory()->text(), def);
    ASSERT_EQ(FSink.Shown.size(), 1u);
    EXPECT_EQ(FSink.Shown[0].Text, QStringLiteral("Wenn keine explizite Angabe erfolgt, werden temporäre\nDateien in "
                                                  "diesem Verzeichnis abgelegt:\n\"%1\"")
                                       .arg(def));
    // stored already by the first OK
    EXPECT_EQ(TLDT3AppSettings::XPMDir(), FXPM.path());
    EXPECT_EQ(TLDT3Data::GetLDTTmpDir(), def);
    ClickOK(dlg);
    EXPECT_FALSE(dlg.isVisible());
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
    EXPECT_EQ(FSink.Shown.size(), 1u);
    EXPECT_EQ(TLDT3AppSettings::OutputDir(), def);
}

TEST_F(OptionsDlg, OKWithExistingDirectoriesStoresAndCloses)
{
    TVentolixOptionsDlg dlg;
    dlg.show();
    dlg.EdXPMDirectory()->setText(FXPM.path());
    dlg.CkBoxXPMAutoCheck()->setChecked(true);
    dlg.EdOutputDirectory()->setText(FOut.path() + QStringLiteral("/"));
    ClickOK(dlg);
    EXPECT_FALSE(dlg.isVisible());
    EXPECT_TRUE(FSink.Shown.empty());
    EXPECT_EQ(TLDT3AppSettings::XPMDir(), FXPM.path());
    EXPECT_TRUE(TLDT3AppSettings::XPMAutoCheck());
    EXPECT_EQ(TLDT3Data::GetLDTTmpDir(), FOut.path() + QStringLiteral("/"));
}

TEST_F(OptionsDlg, CancelChangesNothing)
{
    TLDT3AppSettings::SetXPMDir(FXPM.path());
    TVentolixOptionsDlg dlg;
    dlg.show();
    EXPECT_EQ(dlg.EdXPMDirectory()->text(), FXPM.path());
    EXPECT_EQ(dlg.EdOutputDirectory()->text(), FOut.path());
    dlg.EdXPMDirectory()->setText(QStringLiteral("/anders"));
    dlg.CkBoxXPMAutoCheck()->setChecked(true);
    QTest::keyClick(&dlg, Qt::Key_Escape);
    EXPECT_FALSE(dlg.isVisible());
    EXPECT_EQ(dlg.result(), QDialog::Rejected);
    EXPECT_EQ(TLDT3AppSettings::XPMDir(), FXPM.path());
    EXPECT_FALSE(TLDT3AppSettings::XPMAutoCheck());
}

TEST_F(OptionsDlg, BrowseStartsInTheFieldsDirectoryAndReplacesTheText)
{
    TVentolixOptionsDlg dlg;
    QStringList asked;
    QString answer = FOut.path();
    dlg.SetChooseDir([&](QWidget *, const QString &ATitle, const QString &AStart) {
        asked << ATitle << AStart;
        return answer;
    });
    dlg.EdXPMDirectory()->setText(FXPM.path());
    dlg.ActionXPMDirectory()->trigger();
    EXPECT_EQ(asked, QStringList({QStringLiteral("Verzeichnis des KBV-Prüfmoduls auswählen"), FXPM.path()}));
    EXPECT_EQ(dlg.EdXPMDirectory()->text(), FOut.path());
    // a field that names no directory: the browser starts anywhere; cancelled keeps the text
    asked.clear();
    answer.clear();
    dlg.EdOutputDirectory()->setText(QStringLiteral("/nicht/da"));
    dlg.ActionOutputDirectory()->trigger();
    EXPECT_EQ(asked, QStringList({QStringLiteral("Verzeichnis für Anlagen und temporäre Dateien auswählen"), QString()}));
    EXPECT_EQ(dlg.EdOutputDirectory()->text(), QStringLiteral("/nicht/da"));
}

VENTOLIX_UI_TEST_MAIN()
