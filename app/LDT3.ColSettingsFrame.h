// The column choice of the line list: one ticked entry per column, in the
// order the columns have in the list.
#pragma once

#include <QWidget>

class QListWidget;
class TLDTFrame;

class TLDTColSettingsFrame : public QWidget
{
    Q_OBJECT
public:
    explicit TLDTColSettingsFrame(QWidget *AOwner = nullptr);

    // Reads the view's columns (with the user's changes in the list) into the entries.
    void SetLDTFrame(TLDTFrame *AFrame);
    // Shows the ticked columns in the view.
    void UpdateColumns();
    QListWidget *LVLDT3Columns() const { return FLVLDT3Columns; }

private:
    QListWidget *FLVLDT3Columns = nullptr;
    TLDTFrame *FFrame = nullptr;
};
