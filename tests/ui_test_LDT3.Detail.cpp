// The detail dialog: it follows the list, its buttons step through lines and
// errors with the focus rule, a minimised dialog comes back without taking
// the focus, and its placement is kept.
#include "LDT3.Detail.h"
#include "LDT3.DetailFrame.h"
#include "LDT3.Frame.h"
#include "LDT3.FrameActions.h"
#include "LDT3.ListView.h"
#include "LDT3.RawView.h"
#include "LDT3.TreeModel.h"
#include "UiTestUtil.h"
#include "Vex_AppRegistry.h"
#include "ViewTestUtil.h"

#include <QAction>
#include <QApplication>
#include <QPushButton>
#include <QTreeView>

using namespace treetest;

namespace {

// Line errors on lines 6 and 8 (unknown fields) and 12 (checksum).
QByteArray ErrorFile()
{
    return BefundFile(Befund(L(8410, "a") + L(7777, "x") + L(8410, "b") + L(7777, "y") + L(8410, "c")));
}

class DetailDlg : public ::testing::Test
{
protected:
    uitest::TFreshConfigHome FHome;
    QTemporaryDir FTmp;
};

} // namespace

TEST_F(DetailDlg, FollowsTheListAndStepsThroughLinesAndErrors)
{
    TLDTFrame f;
    ASSERT_TRUE(f.OpenLDTFile(testutil::WriteFile(FTmp, QStringLiteral("Z01err.ldt"), ErrorFile())));
    TLDTDetailDlg *d = f.DetailDlg();
    EXPECT_EQ(d->windowTitle(), QStringLiteral("Information"));
    EXPECT_FALSE(f.DetailDlgShowing());
    EXPECT_TRUE(d->StatusText().isEmpty());

    f.ActionToggleShowDetail()->trigger();
    ASSERT_TRUE(f.DetailDlgShowing());
    EXPECT_TRUE(f.ActionToggleShowDetail()->isChecked());
    auto expectShows = [&](int AZeile) {
        EXPECT_EQ(f.CurrentZeile(), AZeile);
        EXPECT_EQ(d->StatusText(), f.CurrentLine()->DetailCaption());
        EXPECT_EQ(d->LDTDetailFrame()->WBDetail()->LoadedString(), f.CurrentLine()->DetailInfoXHTML());
    };
    expectShows(1);
    EXPECT_FALSE(d->PrevAction()->isEnabled());
    EXPECT_FALSE(d->PrevErrorAction()->isEnabled());
    EXPECT_TRUE(d->NextErrorAction()->isEnabled());

    // the list moves: the dialog follows
    f.ListView()->SetLVCurrentItem(4);
    expectShows(5);
    // its buttons move the list
    struct Step
    {
        QAction *Action;
        int Zeile;
    };
    for (const Step &s : {Step{d->NextAction(), 6}, Step{d->NextErrorAction(), 8}, Step{d->NextErrorAction(), 12},
                          Step{d->PrevErrorAction(), 8}, Step{d->PrevAction(), 7}}) {
        ASSERT_TRUE(s.Action->isEnabled()) << s.Zeile;
        d->Button(s.Action)->click();
        expectShows(s.Zeile);
    }
    // "&Schliessen" hides it; the tick follows
    d->Button(d->CloseAction())->click();
    EXPECT_FALSE(f.DetailDlgShowing());
    EXPECT_FALSE(f.ActionToggleShowDetail()->isChecked());
    // the error tree's double-click on an error line shows it again
    const QModelIndex err = f.ErrorTreeModel()->IndexOf(f.LineList().GetLDT3LineErrorNodeFromZeile(12));
    ASSERT_TRUE(err.isValid());
    const QModelIndex top = f.ErrorTreeModel()->index(0, 0);
    f.ErrorTree()->setCurrentIndex(top);
    Q_EMIT f.ErrorTree()->doubleClicked(top);
    EXPECT_FALSE(f.DetailDlgShowing()) << "the error tree's top item is no line";
    f.ErrorTree()->setCurrentIndex(err);
    Q_EMIT f.ErrorTree()->doubleClicked(err);
    EXPECT_TRUE(f.DetailDlgShowing());
    expectShows(12);
    // Escape hides, never closes for good
    QTest::keyClick(d, Qt::Key_Escape);
    EXPECT_FALSE(d->isVisible());
}

// On the last row "&Weiter" goes off; if it had the focus, "&Schliessen" takes it.
TEST_F(DetailDlg, LastRowDisablesWeiterAndMovesItsFocusToSchliessen)
{
    TLDTFrame f;
    ASSERT_TRUE(f.OpenLDTFile(testutil::WriteFile(FTmp, QStringLiteral("Z01err.ldt"), ErrorFile())));
    TLDTDetailDlg *d = f.DetailDlg();
    const int last = f.ListModel()->rowCount() - 1;
    f.ListView()->SetLVCurrentItem(last - 1);
    f.ShowDetailDlg();
    d->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(d));
    QPushButton *weiter = d->Button(d->NextAction());
    QPushButton *schliessen = d->Button(d->CloseAction());
    weiter->setFocus();
    ASSERT_EQ(d->focusWidget(), weiter);
    QTest::keyClick(weiter, Qt::Key_Space);
    EXPECT_EQ(f.ListView()->LVCurrentIndex(), last);
    EXPECT_FALSE(d->NextAction()->isEnabled());
    EXPECT_FALSE(weiter->isEnabled());
    EXPECT_EQ(d->focusWidget(), schliessen);
    // without the focus on it, a button going off leaves the focus alone
    d->Button(d->PrevAction())->setFocus();
    f.ListView()->SetLVCurrentItem(0);
    EXPECT_FALSE(d->PrevAction()->isEnabled());
    EXPECT_EQ(d->focusWidget(), schliessen);
    d->Button(d->NextErrorAction())->setFocus();
    f.ListView()->SetLVCurrentItem(last);
    EXPECT_FALSE(d->NextErrorAction()->isEnabled());
    EXPECT_EQ(d->focusWidget(), schliessen);
}

// "Detail-Informationen" brings a minimised dialog back while the list keeps the focus.
TEST_F(DetailDlg, RestoredFromMinimisedKeepsTheFocusInTheList)
{
    QWidget main;
    auto *f = new TLDTFrame(&main);
    main.resize(900, 600);
    f->resize(900, 600);
    ASSERT_TRUE(f->OpenLDTFile(testutil::WriteFile(FTmp, QStringLiteral("Z01err.ldt"), ErrorFile())));
    main.show();
    main.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&main));
    f->ListView()->setFocus();
    ASSERT_EQ(QApplication::focusWidget(), f->ListView());

    // Space in the list shows the details
    QTest::keyClick(f->ListView(), Qt::Key_Space);
    ASSERT_TRUE(f->DetailDlgShowing());
    QTest::qWait(50);
    EXPECT_EQ(QApplication::activeWindow(), &main);
    EXPECT_EQ(QApplication::focusWidget(), f->ListView());

    f->DetailDlg()->showMinimized();
    WAIT_UNTIL(!f->DetailDlg()->Showing(), 5000);
    ASSERT_FALSE(f->DetailDlg()->Showing());
    EXPECT_FALSE(f->ActionToggleShowDetail()->isChecked());
    main.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&main));
    f->ListView()->setFocus();

    f->ListView()->SetLVCurrentItem(3);
    f->ActionToggleShowDetail()->trigger();
    EXPECT_TRUE(f->DetailDlg()->Showing());
    EXPECT_FALSE(f->DetailDlg()->isMinimized());
    EXPECT_TRUE(f->ActionToggleShowDetail()->isChecked());
    EXPECT_EQ(f->DetailDlg()->StatusText(), f->CurrentLine()->DetailCaption());
    QTest::qWait(50);
    EXPECT_EQ(QApplication::activeWindow(), &main);
    EXPECT_EQ(QApplication::focusWidget(), f->ListView());
}

// While the dialog shows, the list follows the caret of the raw text; otherwise it stays.
TEST_F(DetailDlg, ListFollowsTheRawTextOnlyWhileItShows)
{
    TLDTFrame f;
    ASSERT_TRUE(f.OpenLDTFile(testutil::WriteFile(FTmp, QStringLiteral("Z01err.ldt"), ErrorFile())));
    f.GotoNearestZeile(3);
    QTest::keyClick(f.RawView(), Qt::Key_Down);
    EXPECT_EQ(f.RawView()->CaretLine(), 3);
    EXPECT_EQ(f.CurrentZeile(), 3);
    f.ShowDetailDlg();
    QTest::keyClick(f.RawView(), Qt::Key_Down);
    EXPECT_EQ(f.RawView()->CaretLine(), 4);
    EXPECT_EQ(f.CurrentZeile(), 5);
    EXPECT_EQ(f.DetailDlg()->StatusText(), f.CurrentLine()->DetailCaption());
}

TEST_F(DetailDlg, PlacementIsKeptUnderItsOwnSection)
{
    const QRect where(120, 90, 700, 400);
    {
        TLDTFrame f;
        f.DetailDlg()->setGeometry(where);
        TAppReg reg(QStringLiteral("DetailTest"));
        f.Save(reg, QStringLiteral("LDT"));
        EXPECT_EQ(reg.ReadInteger(QStringLiteral("DetailDlg"), TAppRegKeys::Width, 0), where.width());
        EXPECT_TRUE(reg.ReadBool(QStringLiteral("DetailDlg"), TAppRegKeys::Saved, false));
        reg.Close();
    }
    TLDTFrame g;
    EXPECT_EQ(g.DetailDlg()->size(), QSize(TLDTDetailDlg::DesignWidth, TLDTDetailDlg::DesignHeight));
    TAppReg reg(QStringLiteral("DetailTest"));
    g.Load(reg, QStringLiteral("LDT"));
    EXPECT_EQ(g.DetailDlg()->geometry().size(), where.size());
    EXPECT_EQ(g.DetailDlg()->geometry().topLeft(), where.topLeft());
}

VENTOLIX_UI_TEST_MAIN()
