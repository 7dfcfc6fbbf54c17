// The line list's table view: columns from the column settings, one current
// row brought to the fifth visible place, fixed row heights for files of
// millions of lines.
#pragma once

#include "LDT3.ListModel.h"

#include <QList>
#include <QTableView>

class TLDT3ListView : public QTableView
{
    Q_OBJECT
public:
    explicit TLDT3ListView(QWidget *AParent = nullptr);

    // The view shows only this kind of model (not owned).
    void SetListModel(TLDT3ListModel *AModel);
    TLDT3ListModel *ListModel() const { return FModel; }

    // Columns from the settings: order, visibility, widths. Sets each
    // column's SubItemPosition and ColumnIndex and returns, for every list
    // column from left to right, the TLDT3Column it shows (-1: the image column).
    QList<int> RefreshLVColumns(TColumnInfos &AInfos);
    // Reads the user's changes (order, widths) back into the settings.
    void SynchLVColumnInfo(TColumnInfos &AInfos) const;

    // The selected row, -1 when none.
    int LVCurrentIndex() const;
    // Selects a row (-1: nothing); with MakeVisibleOnTop it comes to the fifth visible place.
    void SetLVCurrentItem(int ARow);
    // Selects a valid row only; false otherwise.
    bool SetLVCurrentIndex(int ARow);
    bool MakeVisibleOnTop() const { return FMakeVisibleOnTop; }
    void SetMakeVisibleOnTop(bool AValue) { FMakeVisibleOnTop = AValue; }

    // First row shown and the number of fully visible rows.
    int TopIndex() const;
    int VisibleRowCount() const;

    // Panel texts of the list's status bar: "Zeile %d von %d" for the
    // selected line, else "1 Eintrag" / "%d Einträge"; "%d Zeilen ausgeblendet".
    QString LineStatusText() const;
    QString HiddenLinesStatusText() const;

    // Rows built anew (Base64 hidden or shown); the count follows.
    bool RebuildLines(bool AIgnoreBase64);
    // Count = the document's rows, row 0 selected when there is one.
    void ResetLines();

Q_SIGNALS:
    // The selected row changed (-1: none).
    void LVSelectionChanged(int ARow);

protected:
    void selectionChanged(const QItemSelection &ASelected, const QItemSelection &ADeselected) override;
    void changeEvent(QEvent *AEvent) override;

private:
    void FontChanged();
    void KeepImageColumnFirst();

    TLDT3ListModel *FModel = nullptr;
    bool FMakeVisibleOnTop = true;
    bool FMovingSection = false;
};
