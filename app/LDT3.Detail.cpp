#include "LDT3.Detail.h"

#include "LDT3.DetailFrame.h"
#include "LDT3.Frame.h"
#include "LDT3.FrameActions.h"
#include "LDT3.LVBase.h"
#include "Vex_AppRegistry.h"
#include "Vex_Icons.h"
#include "Vex_WebBrowser.h"

#include <QAction>
#include <QApplication>
#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStatusBar>
#include <QVBoxLayout>

TLDTDetailDlg::TLDTDetailDlg(QWidget *AOwner) : QDialog(AOwner, Qt::Window)
{
    setObjectName(QStringLiteral("LDTDetailDlg"));
    setWindowTitle(QStringLiteral("Information"));
    setModal(false);
    // showing the dialog never takes the focus from the list
    setAttribute(Qt::WA_ShowWithoutActivating, true);
    resize(DesignWidth, DesignHeight);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    FLDTDetailFrame = new TLDTDetailFrame(this);
    layout->addWidget(FLDTDetailFrame, 1);

    auto *panel = new QWidget(this);
    panel->setObjectName(QStringLiteral("PanelButtons"));
    panel->setFixedHeight(41);
    auto *bl = new QHBoxLayout(panel);
    bl->setContentsMargins(8, 0, 8, 0);
    bl->setSpacing(6);
    bl->addStretch(1);
    FPrevErrorAction = AddButton(panel, QStringLiteral("&Vorheriger Fehler"), QStringLiteral("nav-prev-error"), 124, false);
    FNextErrorAction = AddButton(panel, QStringLiteral("&Nächster Fehler"), QStringLiteral("nav-next-error"), 124, true);
    FPrevAction = AddButton(panel, QStringLiteral("&Zurück"), QStringLiteral("nav-prev"), 72, false);
    FNextAction = AddButton(panel, QStringLiteral("&Weiter"), QStringLiteral("nav-next"), 72, true);
    FCloseAction = AddButton(panel, QStringLiteral("&Schliessen"), QString(), 100, false);
    layout->addWidget(panel);

    auto *bar = new QStatusBar(this);
    bar->setObjectName(QStringLiteral("StatusBar"));
    bar->setSizeGripEnabled(true);
    FStatus = new QLabel(bar);
    bar->addWidget(FStatus, 1);
    layout->addWidget(bar);

    connect(FPrevAction, &QAction::triggered, this, [this]() { Step(&TLDTFrameActions::PrevLine); });
    connect(FNextAction, &QAction::triggered, this, [this]() { Step(&TLDTFrameActions::NextLine); });
    connect(FPrevErrorAction, &QAction::triggered, this, [this]() { Step(&TLDTFrameActions::PrevError); });
    connect(FNextErrorAction, &QAction::triggered, this, [this]() { Step(&TLDTFrameActions::NextError); });
    connect(FCloseAction, &QAction::triggered, this, &QWidget::hide);
}

QAction *TLDTDetailDlg::AddButton(QWidget *APanel, const QString &ACaption, const QString &AIcon, int AWidth,
                                  bool AIconRight)
{
    auto *a = new QAction(ACaption, this);
    auto *b = new QPushButton(ACaption, APanel);
    b->setFixedWidth(AWidth);
    b->setAutoDefault(false);
    if (!AIcon.isEmpty())
        b->setIcon(VexIcon(AIcon));
    if (AIconRight)
        b->setLayoutDirection(Qt::RightToLeft);
    APanel->layout()->addWidget(b);
    connect(b, &QPushButton::clicked, a, &QAction::trigger);
    connect(a, &QAction::changed, b, [a, b]() { b->setEnabled(a->isEnabled()); });
    FButtons.append({a, b});
    return a;
}

QPushButton *TLDTDetailDlg::Button(const QAction *AAction) const
{
    for (const auto &[a, b] : FButtons)
        if (a == AAction)
            return b;
    return nullptr;
}

void TLDTDetailDlg::Step(void (TLDTFrameActions::*AMove)())
{
    if (FLDTFrame)
        (FLDTFrame->Actions()->*AMove)();
    UpdateDetail();
}

void TLDTDetailDlg::UpdateActions()
{
    const TLDTFrameActions *fa = FLDTFrame ? FLDTFrame->Actions() : nullptr;
    const std::pair<QAction *, bool> states[] = {
        {FPrevAction, fa && fa->PrevLineEnabled()},
        {FNextAction, fa && fa->NextLineEnabled()},
        {FPrevErrorAction, fa && fa->PrevErrorEnabled()},
        {FNextErrorAction, fa && fa->NextErrorEnabled()},
    };
    for (const auto &[action, enabled] : states) {
        QPushButton *b = Button(action);
        // disabling a focused button would pass the focus on to its neighbour
        const bool hadFocus = !enabled && b && focusWidget() == b;
        if (hadFocus)
            Button(FCloseAction)->setFocus();
        action->setEnabled(enabled);
    }
}

void TLDTDetailDlg::UpdateDetail()
{
    const TLDT3Line *line = FLDTFrame ? FLDTFrame->CurrentLine() : nullptr;
    FStatus->setText(line ? line->DetailCaption() : QString());
    FLDTDetailFrame->SetHTMLText(line ? line->DetailInfoXHTML() : QString());
    UpdateActions();
}

bool TLDTDetailDlg::Showing() const { return isVisible() && !isMinimized(); }

void TLDTDetailDlg::ShowDetail()
{
    // where a platform activates a window it shows, the window that had the
    // focus gets it back
    QWidget *active = QApplication::activeWindow();
    if (isMinimized())
        setWindowState(windowState() & ~Qt::WindowMinimized);
    if (!isVisible())
        show();
    if (active && active != this)
        active->activateWindow();
    UpdateDetail();
    Q_EMIT ShowingChanged();
}

QString TLDTDetailDlg::StatusText() const { return FStatus->text(); }

void TLDTDetailDlg::reject() { hide(); }

void TLDTDetailDlg::setVisible(bool AVisible)
{
    // The dialog shows its page whenever it shows, so its window is made for
    // pages from the start; prepared only now, while the main window (its
    // owner) already exists, so that the main window stays a plain one.
    if (AVisible && !testAttribute(Qt::WA_WState_Created))
        TVexWebBrowser::PrepareWindowForPages(this);
    QDialog::setVisible(AVisible);
}

void TLDTDetailDlg::showEvent(QShowEvent *AEvent)
{
    QDialog::showEvent(AEvent);
    UpdateDetail();
    Q_EMIT ShowingChanged();
}

void TLDTDetailDlg::hideEvent(QHideEvent *AEvent)
{
    QDialog::hideEvent(AEvent);
    Q_EMIT ShowingChanged();
}

void TLDTDetailDlg::changeEvent(QEvent *AEvent)
{
    QDialog::changeEvent(AEvent);
    if (AEvent->type() == QEvent::WindowStateChange)
        Q_EMIT ShowingChanged();
}

void TLDTDetailDlg::Load(TAppReg &AReg, const QString &ASection) { TAppReg::RegLoadForm(AReg, this, ASection); }
void TLDTDetailDlg::Save(TAppReg &AReg, const QString &ASection) { TAppReg::RegSaveForm(AReg, this, ASection); }
