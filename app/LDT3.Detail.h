// The detail dialog "Information": beside the main window and without
// blocking it, the detail page of the list's current line; it follows the
// list, and its buttons step through lines and errors.
#pragma once

#include <QDialog>

class QAction;
class QLabel;
class QPushButton;
class TAppReg;
class TLDTDetailFrame;
class TLDTFrame;
class TLDTFrameActions;

class TLDTDetailDlg : public QDialog
{
    Q_OBJECT
public:
    static constexpr int DesignWidth = 624;
    static constexpr int DesignHeight = 321;

    explicit TLDTDetailDlg(QWidget *AOwner = nullptr);

    // The document view it serves (not owned).
    TLDTFrame *LDTFrame() const { return FLDTFrame; }
    void SetLDTFrame(TLDTFrame *AFrame) { FLDTFrame = AFrame; }
    TLDTDetailFrame *LDTDetailFrame() const { return FLDTDetailFrame; }

    // Status line and page of the view's current line; the buttons' states.
    void UpdateDetail();
    // Enables the four moves as the view allows; a button that loses its
    // state while it has the focus hands the focus to "&Schliessen".
    void UpdateActions();
    // Visible and not minimised.
    bool Showing() const;
    // Visible; a minimised window is restored without taking the focus.
    void ShowDetail();

    // Position, size and state.
    void Load(TAppReg &AReg, const QString &ASection);
    void Save(TAppReg &AReg, const QString &ASection);

    QString StatusText() const;
    QAction *PrevAction() const { return FPrevAction; }
    QAction *NextAction() const { return FNextAction; }
    QAction *PrevErrorAction() const { return FPrevErrorAction; }
    QAction *NextErrorAction() const { return FNextErrorAction; }
    QAction *CloseAction() const { return FCloseAction; }
    QPushButton *Button(const QAction *AAction) const;

    void setVisible(bool AVisible) override;

Q_SIGNALS:
    // Shown or hidden (the view's "Detail-Informationen" tick follows).
    void ShowingChanged();

public Q_SLOTS:
    void reject() override;

protected:
    void showEvent(QShowEvent *AEvent) override;
    void hideEvent(QHideEvent *AEvent) override;
    void changeEvent(QEvent *AEvent) override;

private:
    QAction *AddButton(QWidget *APanel, const QString &ACaption, const QString &AIcon, int AWidth, bool AIconRight);
    void Step(void (TLDTFrameActions::*AMove)());

    TLDTFrame *FLDTFrame = nullptr;
    TLDTDetailFrame *FLDTDetailFrame = nullptr;
    QLabel *FStatus = nullptr;
    QAction *FPrevAction = nullptr;
    QAction *FNextAction = nullptr;
    QAction *FPrevErrorAction = nullptr;
    QAction *FNextErrorAction = nullptr;
    QAction *FCloseAction = nullptr;
    QList<std::pair<QAction *, QPushButton *>> FButtons;
};
