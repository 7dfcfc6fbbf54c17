#include "LDT3.ListView.h"

#include "WStrTools.h"

#include <QEvent>
#include <QHeaderView>
#include <QPainter>
#include <QScrollBar>
#include <QStyledItemDelegate>

#include <algorithm>

namespace {

// Paints a cell from the model's roles with one plain text draw: the style's
// general item painting lays every cell out as rich text and would not keep
// paging within a frame.
class TLDT3ListDelegate : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter *APainter, const QStyleOptionViewItem &AOption, const QModelIndex &AIndex) const override
    {
        const bool selected = AOption.state & QStyle::State_Selected;
        const QPalette::ColorGroup group = AOption.state & QStyle::State_Active ? QPalette::Active : QPalette::Inactive;
        if (selected) {
            APainter->fillRect(AOption.rect, AOption.palette.brush(group, QPalette::Highlight));
        } else {
            const QVariant bg = AIndex.data(Qt::BackgroundRole);
            if (bg.canConvert<QBrush>())
                APainter->fillRect(AOption.rect, bg.value<QBrush>());
        }
        if (AIndex.column() == LVImageColumn) {
            const QVariant icon = AIndex.data(Qt::DecorationRole);
            if (icon.canConvert<QIcon>())
                icon.value<QIcon>().paint(APainter, AOption.rect, Qt::AlignCenter);
            return;
        }
        QString text = AIndex.data(Qt::DisplayRole).toString();
        if (text.isEmpty())
            return;
        const QVariant font = AIndex.data(Qt::FontRole);
        const QFont f = font.canConvert<QFont>() ? font.value<QFont>() : AOption.font;
        QColor color = AOption.palette.color(group, selected ? QPalette::HighlightedText : QPalette::Text);
        if (!selected) {
            const QVariant fg = AIndex.data(Qt::ForegroundRole);
            if (fg.canConvert<QBrush>())
                color = fg.value<QBrush>().color();
        }
        const QVariant align = AIndex.data(Qt::TextAlignmentRole);
        const int flags = (align.isValid() ? align.toInt() : int(Qt::AlignLeft | Qt::AlignVCenter)) | Qt::TextSingleLine;
        const QRect r = AOption.rect.adjusted(3, 0, -3, 0);
        const QFontMetrics fm(f);
        if (fm.horizontalAdvance(text) > r.width())
            text = fm.elidedText(text, Qt::ElideRight, r.width());
        APainter->setFont(f);
        APainter->setPen(color);
        APainter->drawText(r, flags, text);
    }
};

} // namespace

TLDT3ListView::TLDT3ListView(QWidget *AParent) : QTableView(AParent)
{
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSortingEnabled(false);
    setShowGrid(true);
    setWordWrap(false);
    setTabKeyNavigation(false);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    setItemDelegate(new TLDT3ListDelegate(this));

    QHeaderView *vh = verticalHeader();
    vh->hide();
    vh->setSectionResizeMode(QHeaderView::Fixed);

    QHeaderView *hh = horizontalHeader();
    hh->setSectionsClickable(false);
    hh->setSectionsMovable(true);
    hh->setStretchLastSection(true);
    hh->setHighlightSections(false);
    hh->setMinimumSectionSize(qMin(hh->minimumSectionSize(), 8));
    connect(hh, &QHeaderView::sectionMoved, this, [this]() { KeepImageColumnFirst(); });
    FontChanged();
}

void TLDT3ListView::SetListModel(TLDT3ListModel *AModel)
{
    FModel = AModel;
    setModel(AModel);
    QHeaderView *hh = horizontalHeader();
    if (AModel) {
        hh->setSectionResizeMode(LVImageColumn, QHeaderView::Fixed);
        hh->resizeSection(LVImageColumn, LVImageColumnWidth);
        AModel->SetBaseFont(font());
    }
}

void TLDT3ListView::KeepImageColumnFirst()
{
    // The image column stays the first column: the settings know only the seven others.
    if (FMovingSection || !FModel)
        return;
    QHeaderView *hh = horizontalHeader();
    if (hh->visualIndex(LVImageColumn) != 0) {
        FMovingSection = true;
        hh->moveSection(hh->visualIndex(LVImageColumn), 0);
        FMovingSection = false;
    }
}

QList<int> TLDT3ListView::RefreshLVColumns(TColumnInfos &AInfos)
{
    QList<int> order{-1};
    if (!FModel)
        return order;
    QHeaderView *hh = horizontalHeader();
    const bool updates = hh->updatesEnabled();
    hh->setUpdatesEnabled(false);

    std::array<int, LDT3ColumnCount> byPosition;
    for (int c = 0; c < LDT3ColumnCount; ++c)
        byPosition[c] = c;
    std::stable_sort(byPosition.begin(), byPosition.end(),
                     [&](int a, int b) { return AInfos[a].ColumnPosition < AInfos[b].ColumnPosition; });

    // Visual places: the image column, the visible columns, then the hidden ones.
    QList<int> sections{LVImageColumn};
    int visible = 0;
    for (int c : byPosition) {
        TColumnInfo &info = AInfos[c];
        if (info.Visible) {
            info.SubItemPosition = visible;
            info.ColumnIndex = 1 + visible;
            ++visible;
            order << c;
            sections << LVModelColumn(c);
        } else {
            info.SubItemPosition = LDT3ColumnCount - 1;
            info.ColumnIndex = -1;
        }
    }
    for (int c : byPosition)
        if (!AInfos[c].Visible)
            sections << LVModelColumn(c);

    FMovingSection = true;
    for (int place = 0; place < sections.size(); ++place) {
        const int from = hh->visualIndex(sections[place]);
        if (from != place)
            hh->moveSection(from, place);
    }
    FMovingSection = false;
    hh->setSectionResizeMode(LVImageColumn, QHeaderView::Fixed);
    hh->resizeSection(LVImageColumn, LVImageColumnWidth);
    for (int c = 0; c < LDT3ColumnCount; ++c) {
        hh->setSectionHidden(LVModelColumn(c), !AInfos[c].Visible);
        if (AInfos[c].Visible)
            hh->resizeSection(LVModelColumn(c), qMax(0, int(AInfos[c].Width)));
    }
    hh->setUpdatesEnabled(updates);
    return order;
}

void TLDT3ListView::SynchLVColumnInfo(TColumnInfos &AInfos) const
{
    if (!FModel)
        return;
    const QHeaderView *hh = horizontalHeader();
    std::array<bool, LDT3ColumnCount> taken{};
    for (int c = 0; c < LDT3ColumnCount; ++c) {
        const TColumnInfo &info = AInfos[c];
        if (!info.Visible && info.ColumnPosition >= 0 && info.ColumnPosition < LDT3ColumnCount)
            taken[info.ColumnPosition] = true;
    }
    int ordinal = 0;
    for (int visual = 0; visual < hh->count(); ++visual) {
        const int logical = hh->logicalIndex(visual);
        if (logical == LVImageColumn || hh->isSectionHidden(logical))
            continue;
        TColumnInfo &info = AInfos[logical - 1];
        info.Width = hh->sectionSize(logical);
        int pos = ordinal;
        while (pos < LDT3ColumnCount && taken[pos])
            ++pos;
        if (pos >= LDT3ColumnCount) // no free place after it: the first free one
            pos = int(std::find(taken.begin(), taken.end(), false) - taken.begin());
        if (pos < LDT3ColumnCount) {
            taken[pos] = true;
            info.ColumnPosition = pos;
        }
        ++ordinal;
    }
}

int TLDT3ListView::LVCurrentIndex() const
{
    // From the selection, not the current index: while the selection
    // changes, the current index still names the row before.
    if (!selectionModel() || !selectionModel()->hasSelection())
        return -1;
    return selectionModel()->selection().first().top();
}

int TLDT3ListView::TopIndex() const
{
    return qMax(0, rowAt(0));
}

int TLDT3ListView::VisibleRowCount() const
{
    const int h = verticalHeader()->defaultSectionSize();
    return h > 0 ? viewport()->height() / h : 0;
}

void TLDT3ListView::SetLVCurrentItem(int ARow)
{
    if (!FModel)
        return;
    const int count = FModel->rowCount();
    if (ARow < 0 || ARow >= count) {
        selectionModel()->clear();
        return;
    }
    executeDelayedItemsLayout();
    QScrollBar *sb = verticalScrollBar();
    const int visible = VisibleRowCount();
    // Makes a row visible by vertical scrolling only (the horizontal place stays).
    auto ensureVisible = [&](int ARowToShow) {
        const int top = sb->value();
        if (ARowToShow < top)
            sb->setValue(ARowToShow);
        else if (visible > 0 && ARowToShow >= top + visible)
            sb->setValue(ARowToShow - visible + 1);
    };
    if (FMakeVisibleOnTop && visible > 5) {
        const int target = ARow - 5 < TopIndex() ? ARow - 4 : ARow + visible - 5;
        ensureVisible(qBound(0, target, count - 1));
    }
    const int col = qMax(0, currentIndex().column());
    selectionModel()->setCurrentIndex(FModel->index(ARow, col),
                                      QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    ensureVisible(ARow);
}

bool TLDT3ListView::SetLVCurrentIndex(int ARow)
{
    if (!FModel || ARow < 0 || ARow >= FModel->rowCount())
        return false;
    SetLVCurrentItem(ARow);
    return true;
}

QString TLDT3ListView::LineStatusText() const
{
    const int count = FModel ? FModel->rowCount() : 0;
    const int row = LVCurrentIndex();
    if (const TLDT3Line *line = FModel ? FModel->LineAt(row) : nullptr)
        return Format(QStringLiteral("Zeile %d von %d"), {line->Zeile(), line->Zeilen()});
    if (row >= 0)
        return Format(QStringLiteral("Eintrag %d von %d"), {row + 1, count});
    return count == 1 ? QStringLiteral("1 Eintrag") : Format(QStringLiteral("%d Einträge"), {count});
}

QString TLDT3ListView::HiddenLinesStatusText() const
{
    const TLDT3LineList *list = FModel ? FModel->LineList() : nullptr;
    return Format(QStringLiteral("%d Zeilen ausgeblendet"), {list ? list->InvisibleLines() : 0});
}

bool TLDT3ListView::RebuildLines(bool AIgnoreBase64)
{
    return FModel && FModel->RebuildLines(AIgnoreBase64);
}

void TLDT3ListView::ResetLines()
{
    if (!FModel)
        return;
    FModel->SetLVCount(FModel->LineList()->Count());
    if (FModel->rowCount() > 0)
        SetLVCurrentItem(0);
    else
        Q_EMIT LVSelectionChanged(-1);
}

void TLDT3ListView::selectionChanged(const QItemSelection &ASelected, const QItemSelection &ADeselected)
{
    QTableView::selectionChanged(ASelected, ADeselected);
    Q_EMIT LVSelectionChanged(LVCurrentIndex());
}

void TLDT3ListView::changeEvent(QEvent *AEvent)
{
    QTableView::changeEvent(AEvent);
    if (AEvent->type() == QEvent::FontChange)
        FontChanged();
}

void TLDT3ListView::FontChanged()
{
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    if (FModel)
        FModel->SetBaseFont(font());
}
