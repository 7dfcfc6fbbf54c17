// The modal dialog "Spaltenauswahl" around the column choice.
#pragma once

#include <QDialog>

class QPushButton;
class TLDTColSettingsFrame;

class TLDTColSettingsDlg : public QDialog
{
    Q_OBJECT
public:
    static constexpr int DesignWidth = 322;
    static constexpr int DesignHeight = 181;

    explicit TLDTColSettingsDlg(QWidget *AOwner = nullptr);
    TLDTColSettingsFrame *ColSettingsFrame() const { return FFrame; }
    QPushButton *BtnOK() const { return FBtnOK; }
    QPushButton *BtnCancel() const { return FBtnCancel; }

private:
    TLDTColSettingsFrame *FFrame = nullptr;
    QPushButton *FBtnOK = nullptr;
    QPushButton *FBtnCancel = nullptr;
};
