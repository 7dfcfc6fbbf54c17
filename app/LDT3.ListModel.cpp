#include "LDT3.ListModel.h"

#include <QBrush>
#include <QColor>

TColumnInfos DefaultColumnInfos()
{
    static constexpr int Widths[LDT3ColumnCount] = {50, 50, 50, 100, 100, 50, 50};
    TColumnInfos r;
    for (int c = 0; c < LDT3ColumnCount; ++c) {
        r[c].Visible = true;
        r[c].Width = Widths[c];
        r[c].ColumnPosition = c;
        r[c].SubItemPosition = c;
        r[c].ColumnIndex = -1;
        r[c].Caption = LDT3ColumnCaption(c);
    }
    return r;
}

static QString Bounded(QString S, int AMax)
{
    if (S.size() > AMax) {
        S.truncate(AMax);
        S += QChar(0x2026);
    }
    return S;
}

static QColor ToQColor(TLDT3Color C)
{
    return QColor::fromRgb(QRgb(0xFF000000u | C));
}

TLDT3ListModel::TLDT3ListModel(TLDT3LineList *ALineList, QObject *AParent)
    : QAbstractTableModel(AParent), FLineList(ALineList)
{
    SetBaseFont(QFont());
}

int TLDT3ListModel::rowCount(const QModelIndex &AParent) const
{
    return AParent.isValid() ? 0 : FCount;
}

int TLDT3ListModel::columnCount(const QModelIndex &AParent) const
{
    return AParent.isValid() ? 0 : LVModelColumnCount;
}

void TLDT3ListModel::SetLVCount(int ACount)
{
    const int count = qBound(0, ACount, FLineList ? FLineList->Count() : 0);
    // the same count only repaints: a reset would make the view lay out
    // every row again and drop the selection
    if (count == FCount && count > 0) {
        AllRowsChanged({});
        return;
    }
    beginResetModel();
    FCount = count;
    endResetModel();
}

bool TLDT3ListModel::RebuildLines(bool AIgnoreBase64)
{
    // The rows are replaced: no view may ask for one while that happens.
    beginResetModel();
    FCount = 0;
    const bool r = FLineList && FLineList->BuildLineList(AIgnoreBase64);
    FCount = FLineList ? FLineList->Count() : 0;
    endResetModel();
    return r;
}

TLDT3Line *TLDT3ListModel::LineAt(int ARow) const
{
    if (ARow < 0 || ARow >= FCount || ARow >= FLineList->Count())
        return nullptr;
    return FLineList->Items(ARow);
}

int TLDT3ListModel::RowOfLine(const TLDT3Line *ALine) const
{
    if (!ALine)
        return -1;
    if (LineAt(ALine->InListIndex()) == ALine)
        return ALine->InListIndex();
    const TLDT3Line *row = FLineList->GetLDT3LineFromZeile(ALine->Zeile());
    return row && row == ALine && LineAt(row->InListIndex()) == row ? row->InListIndex() : -1;
}

void TLDT3ListModel::AllRowsChanged(const QList<int> &ARoles)
{
    if (FCount > 0)
        Q_EMIT dataChanged(index(0, 0), index(FCount - 1, LVModelColumnCount - 1), ARoles);
}

void TLDT3ListModel::SetRange(int AStart, int AEnde)
{
    if (AStart == FStart && AEnde == FEnde)
        return;
    FStart = AStart;
    FEnde = AEnde;
    // The view repaints what it shows of it; the selection stays as it is.
    AllRowsChanged({Qt::DecorationRole, Qt::BackgroundRole});
}

int TLDT3ListModel::RowImageIndex(const TLDT3Line &ALine) const
{
    const int image = ALine.ImageIndex();
    if (image != LDT3ImageError && RangeMarked() && ALine.PtrIdx() >= FStart && ALine.PtrIdx() <= FEnde)
        return LDT3ImageRange;
    return image;
}

bool TLDT3ListModel::InMarkedRange(const TLDT3Line &ALine) const
{
    return RowImageIndex(ALine) == LDT3ImageRange;
}

void TLDT3ListModel::SetLevelIndent(bool AValue)
{
    if (AValue == FLevelIndent)
        return;
    FLevelIndent = AValue;
    AllRowsChanged({Qt::DisplayRole});
}

void TLDT3ListModel::SetBaseFont(const QFont &AFont)
{
    for (int s = 0; s < int(FFonts.size()); ++s) {
        FFonts[s] = AFont;
        FFonts[s].setBold(s & fsBold);
        FFonts[s].setItalic(s & fsItalic);
    }
    AllRowsChanged({Qt::FontRole});
}

void TLDT3ListModel::SetMarkImages(const QIcon &AError, const QIcon &ARange, const QIcon &AXPM)
{
    FErrorImage = AError;
    FRangeImage = ARange;
    FXPMImage = AXPM;
    AllRowsChanged({Qt::DecorationRole});
}

QString TLDT3ListModel::CellText(const TLDT3Line &ALine, int AColumn) const
{
    QString text = Bounded(ALine.GetColumn(AColumn), LVMaxCellChars);
    if (AColumn != lcInhalt || !FLevelIndent || ALine.Level() <= 0)
        return text;
    const int level = ALine.Level();
    QString r;
    r.reserve(level * 3 + text.size());
    switch (ALine.FKTyp()) {
    case TLDT3::fkt_ObjektIdent:
    case TLDT3::fkt_ObjektEnde:
    case TLDT3::fkt_ObjektAttribut:
        for (int i = 0; i < level; ++i)
            r += QStringLiteral("\u00B7  ");
        break;
    default:
        r.fill(QLatin1Char(' '), level * 3);
        break;
    }
    return r + text;
}

QVariant TLDT3ListModel::data(const QModelIndex &AIndex, int ARole) const
{
    if (!checkIndex(AIndex, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return QVariant();
    if (!FLineList || AIndex.row() >= FCount || AIndex.row() >= FLineList->Count())
        return QVariant();
    // a row object by value: painting keeps no row
    const TLDT3Line row = FLineList->Line(AIndex.row());
    const TLDT3Line *line = &row;
    const int col = AIndex.column() - 1; // TLDT3Column, -1 for the image column

    switch (ARole) {
    case Qt::DisplayRole:
        return col < 0 ? QVariant() : QVariant(CellText(*line, col));
    case Qt::DecorationRole:
        if (col >= 0)
            return QVariant();
        switch (RowImageIndex(*line)) {
        case LDT3ImageError: return FErrorImage;
        case LDT3ImageRange: return FRangeImage;
        case LDT3ImageXPM: return FXPMImage;
        default: return QVariant();
        }
    case Qt::ForegroundRole:
        return col < 0 ? QVariant() : QVariant(QBrush(ToQColor(line->GetFontColor(col))));
    case Qt::FontRole:
        return col < 0 ? QVariant() : QVariant(FFonts[line->GetFontStyles(col) & 3]);
    case Qt::BackgroundRole:
        if (InMarkedRange(*line))
            return QBrush(ToQColor(LDT3RangeColor));
        return QBrush(ToQColor(line->GetBrushColor(col < 0 ? 0 : col)));
    case Qt::TextAlignmentRole:
        if (col == lcZeile || col == lcLen)
            return int(Qt::AlignRight | Qt::AlignVCenter);
        return int(Qt::AlignLeft | Qt::AlignVCenter);
    case Qt::ToolTipRole:
        return Bounded(line->InfoTip(), LVMaxTipChars);
    default:
        return QVariant();
    }
}

QVariant TLDT3ListModel::headerData(int ASection, Qt::Orientation AOrientation, int ARole) const
{
    if (AOrientation != Qt::Horizontal || ASection < 0 || ASection >= LVModelColumnCount)
        return QVariant();
    if (ARole == Qt::DisplayRole)
        return ASection == LVImageColumn ? QStringLiteral("!") : LDT3ColumnCaption(ASection - 1);
    if (ARole == Qt::TextAlignmentRole) {
        const int col = ASection - 1;
        return int((col == lcZeile || col == lcLen ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter);
    }
    return QVariant();
}

Qt::ItemFlags TLDT3ListModel::flags(const QModelIndex &AIndex) const
{
    if (!AIndex.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
}
