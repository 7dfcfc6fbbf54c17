// The column dialog: its entries in the list's current (dragged) order,
// OK applies the ticks, Cancel changes nothing, and columns hidden all at
// once come back in their former order.
#include "LDT3.ColSettings.h"
#include "LDT3.ColSettingsFrame.h"
#include "LDT3.Frame.h"
#include "LDT3.FrameActions.h"
#include "LDT3.ListView.h"
#include "UiTestUtil.h"
#include "ViewTestUtil.h"

#include <QAction>
#include <QApplication>
#include <QHeaderView>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>

namespace {

QStringList Entries(const TLDTColSettingsFrame &AFrame, bool AOnlyTicked = false)
{
    QStringList s;
    for (int i = 0; i < AFrame.LVLDT3Columns()->count(); ++i) {
        const QListWidgetItem *item = AFrame.LVLDT3Columns()->item(i);
        if (!AOnlyTicked || item->checkState() == Qt::Checked)
            s << item->text();
    }
    return s;
}

// The captions of the list's shown columns from left to right.
QStringList ShownColumns(const TLDTFrame &F)
{
    const QHeaderView *hh = F.ListView()->horizontalHeader();
    QStringList s;
    for (int v = 0; v < hh->count(); ++v) {
        const int logical = hh->logicalIndex(v);
        if (!hh->isSectionHidden(logical))
            s << F.ListModel()->headerData(logical, Qt::Horizontal).toString();
    }
    return s;
}

void TickAll(TLDTColSettingsFrame &AFrame, bool ATicked)
{
    for (int i = 0; i < AFrame.LVLDT3Columns()->count(); ++i)
        AFrame.LVLDT3Columns()->item(i)->setCheckState(ATicked ? Qt::Checked : Qt::Unchecked);
}

// Drags the column captioned ACaption to visual place APlace.
void Drag(TLDTFrame &F, const QString &ACaption, int APlace)
{
    QHeaderView *hh = F.ListView()->horizontalHeader();
    for (int l = 0; l < hh->count(); ++l)
        if (F.ListModel()->headerData(l, Qt::Horizontal).toString() == ACaption)
            hh->moveSection(hh->visualIndex(l), APlace);
}

class ColSettings : public ::testing::Test
{
protected:
    uitest::TFreshConfigHome FHome;
};

} // namespace

TEST_F(ColSettings, DialogLayout)
{
    TLDTColSettingsDlg d;
    EXPECT_EQ(d.windowTitle(), QStringLiteral("Spaltenauswahl"));
    EXPECT_EQ(d.size(), QSize(322, 181));
    EXPECT_TRUE(d.BtnOK()->isDefault());
    EXPECT_EQ(d.BtnOK()->text(), QStringLiteral("O&K"));
    EXPECT_EQ(d.BtnCancel()->text(), QStringLiteral("A&bbrechen"));
    QTest::keyClick(&d, Qt::Key_Escape);
    EXPECT_EQ(d.result(), int(QDialog::Rejected));
}

TEST_F(ColSettings, ListsTheColumnsInTheOrderTheyWereDraggedTo)
{
    TLDTFrame f;
    f.resize(900, 500);
    Drag(f, QStringLiteral("Inhalt"), 1);
    Drag(f, QStringLiteral("Zeile"), 4);
    const QStringList shown = ShownColumns(f);
    ASSERT_EQ(shown.value(1), QStringLiteral("Inhalt"));
    TLDTColSettingsFrame c;
    c.SetLDTFrame(&f);
    // the list shows "!" first, the dialog knows only the seven
    EXPECT_EQ(Entries(c), shown.mid(1));
    EXPECT_EQ(Entries(c, true), shown.mid(1));
}

TEST_F(ColSettings, UntickingAllLeavesTheImageColumnAndTickingRestoresTheOrder)
{
    TLDTFrame f;
    f.resize(900, 500);
    Drag(f, QStringLiteral("Feldname"), 2);
    Drag(f, QStringLiteral("Länge"), 6);
    const QStringList before = ShownColumns(f);
    {
        TLDTColSettingsFrame c;
        c.SetLDTFrame(&f);
        TickAll(c, false);
        c.UpdateColumns();
    }
    EXPECT_EQ(ShownColumns(f), QStringList{QStringLiteral("!")});
    {
        TLDTColSettingsFrame c;
        c.SetLDTFrame(&f);
        EXPECT_EQ(Entries(c), before.mid(1));
        EXPECT_TRUE(Entries(c, true).isEmpty());
        TickAll(c, true);
        c.UpdateColumns();
    }
    EXPECT_EQ(ShownColumns(f), before);
}

// Through the action: OK applies, Cancel changes nothing.
TEST_F(ColSettings, OKAppliesCancelChangesNothing)
{
    TLDTFrame f;
    f.resize(900, 500);
    const QStringList before = ShownColumns(f);
    for (bool ok : {false, true}) {
        SCOPED_TRACE(ok);
        uitest::WhenModal<TLDTColSettingsDlg>([ok](TLDTColSettingsDlg *d) {
            // untick "Status"
            QListWidget *lv = d->ColSettingsFrame()->LVLDT3Columns();
            for (int i = 0; i < lv->count(); ++i)
                if (lv->item(i)->text() == QStringLiteral("Status"))
                    lv->item(i)->setCheckState(Qt::Unchecked);
            (ok ? d->BtnOK() : d->BtnCancel())->click();
        });
        ASSERT_TRUE(f.ActionColSettingsDlg()->isEnabled());
        f.ActionColSettingsDlg()->trigger();
        QStringList expected = before;
        if (ok)
            expected.removeAll(QStringLiteral("Status"));
        EXPECT_EQ(ShownColumns(f), expected);
        EXPECT_EQ(f.ColumnInfo()[lcStatus].Visible, !ok);
    }
}

VENTOLIX_UI_TEST_MAIN()
