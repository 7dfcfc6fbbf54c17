// The line list as a Qt table model: one row per row of the document model,
// every cell asked of its TLDT3Line only when the view paints it.
#pragma once

#include "LDT3.LVBase.h"

#include <QAbstractTableModel>
#include <QFont>
#include <QIcon>

#include <array>

// Settings of one list column.
struct TColumnInfo
{
    bool Visible = true;
    qint32 Width = 50;
    qint32 ColumnPosition = 0;  // place among all seven columns
    qint32 SubItemPosition = 0; // place among the visible columns; 6 when hidden
    qint32 ColumnIndex = -1;    // list column that shows it, -1 when none
    QString Caption;
};
using TColumnInfos = std::array<TColumnInfo, LDT3ColumnCount>;

// The defaults: all visible, in their natural order, with their captions and widths.
TColumnInfos DefaultColumnInfos();

// Image indexes of the marks the list and the trees show.
constexpr int LDT3ImageRange = 12;
constexpr int LDT3ImageNoError = 13;

// Model columns: 0 is the image column "!", 1 + c shows TLDT3Column c.
constexpr int LVImageColumn = 0;
constexpr int LVImageColumnWidth = 39;
constexpr int LVModelColumnCount = LDT3ColumnCount + 1;
constexpr int LVModelColumn(int AColumn) { return AColumn + 1; }

// A cell shows at most this many characters, a tooltip at most LVMaxTipChars,
// then "…": a line of megabytes must not be laid out at every paint.
constexpr int LVMaxCellChars = 1024;
constexpr int LVMaxTipChars = 4096;

// Background of the rows of the marked range (wheat).
constexpr TLDT3Color LDT3RangeColor = 0xF5DEB3;

class TLDT3ListModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    // ALineList stays owned by the caller and must outlive the model.
    explicit TLDT3ListModel(TLDT3LineList *ALineList, QObject *AParent = nullptr);

    int rowCount(const QModelIndex &AParent = QModelIndex()) const override;
    int columnCount(const QModelIndex &AParent = QModelIndex()) const override;
    QVariant data(const QModelIndex &AIndex, int ARole = Qt::DisplayRole) const override;
    QVariant headerData(int ASection, Qt::Orientation AOrientation, int ARole = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &AIndex) const override;

    TLDT3LineList *LineList() const { return FLineList; }

    // The number of rows shown; setting it resets the model. It never exceeds
    // the document's rows, so a stale count cannot reach a missing row.
    int LVCount() const { return FCount; }
    void SetLVCount(int ACount);
    // Builds the document's rows anew (Base64 lines hidden or shown) and shows them all.
    bool RebuildLines(bool AIgnoreBase64);
    // No rows; call before the document is cleared.
    void Clear() { SetLVCount(0); }
    // The rows' look changed (marks after a test-module run): repaint, keep the selection.
    void Refresh() { AllRowsChanged({}); }

    // The line of a row, null outside the rows.
    TLDT3Line *LineAt(int ARow) const;
    // The row of a line: its InListIndex when that row holds it, else a search; -1 when none.
    int RowOfLine(const TLDT3Line *ALine) const;

    // The marked range of 0-based line indexes (no range: -1, -1). It only
    // changes how rows look, never the selection.
    void SetRange(int AStart, int AEnde);
    int RangeStart() const { return FStart; }
    int RangeEnde() const { return FEnde; }
    bool RangeMarked() const { return FStart != FEnde; }
    // The row's line lies in the marked range and has no error mark.
    bool InMarkedRange(const TLDT3Line &ALine) const;
    // The image the row shows: the line's own mark, or the range mark inside the range.
    int RowImageIndex(const TLDT3Line &ALine) const;

    bool LevelIndent() const { return FLevelIndent; }
    void SetLevelIndent(bool AValue);

    // The list's font; bold and italic cells derive from it.
    void SetBaseFont(const QFont &AFont);
    // The pictures of the error, range and test-module marks.
    void SetMarkImages(const QIcon &AError, const QIcon &ARange, const QIcon &AXPM);

    // The text of cell (ARow, AColumn) as shown, with the level indent.
    QString CellText(const TLDT3Line &ALine, int AColumn) const;

private:
    void AllRowsChanged(const QList<int> &ARoles);

    TLDT3LineList *FLineList;
    int FCount = 0;
    qint32 FStart = -1;
    qint32 FEnde = -1;
    bool FLevelIndent = true;
    std::array<QFont, 4> FFonts; // by TLDT3FontStyles
    QIcon FErrorImage;
    QIcon FRangeImage;
    QIcon FXPMImage;
};
