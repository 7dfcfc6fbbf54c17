#include "LDT3.ColSettingsFrame.h"

#include "LDT3.Frame.h"
#include "LDT3.ListView.h"

#include <QListWidget>
#include <QVBoxLayout>

#include <array>

TLDTColSettingsFrame::TLDTColSettingsFrame(QWidget *AOwner) : QWidget(AOwner)
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 16, 16, 16);
    FLVLDT3Columns = new QListWidget(this);
    FLVLDT3Columns->setObjectName(QStringLiteral("LVLDT3Columns"));
    FLVLDT3Columns->setSelectionBehavior(QAbstractItemView::SelectRows);
    FLVLDT3Columns->setEditTriggers(QAbstractItemView::NoEditTriggers);
    layout->addWidget(FLVLDT3Columns);
}

void TLDTColSettingsFrame::SetLDTFrame(TLDTFrame *AFrame)
{
    FFrame = AFrame;
    FLVLDT3Columns->setUpdatesEnabled(false);
    FLVLDT3Columns->clear();
    if (FFrame) {
        FFrame->SynchLVColumnInfo();
        const TColumnInfos &info = FFrame->ColumnInfo();
        // Positions[ColumnPosition of c] = c
        std::array<int, LDT3ColumnCount> order;
        order.fill(-1);
        for (int c = 0; c < LDT3ColumnCount; ++c)
            if (info[c].ColumnPosition >= 0 && info[c].ColumnPosition < LDT3ColumnCount)
                order[info[c].ColumnPosition] = c;
        for (int c : order) {
            if (c < 0)
                continue;
            auto *item = new QListWidgetItem(info[c].Caption, FLVLDT3Columns);
            item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
            item->setCheckState(info[c].Visible ? Qt::Checked : Qt::Unchecked);
            item->setData(Qt::UserRole, c);
        }
    }
    FLVLDT3Columns->setUpdatesEnabled(true);
}

void TLDTColSettingsFrame::UpdateColumns()
{
    if (!FFrame)
        return;
    TColumnInfos &info = FFrame->ColumnInfo();
    for (int i = 0; i < FLVLDT3Columns->count(); ++i) {
        const QListWidgetItem *item = FLVLDT3Columns->item(i);
        const int c = item->data(Qt::UserRole).toInt();
        if (c >= 0 && c < LDT3ColumnCount)
            info[c].Visible = item->checkState() == Qt::Checked;
    }
    FFrame->RefreshLVColumns();
    FFrame->ListView()->viewport()->update();
}
