#include "Vex_ThreadInfoForm.h"

#include <QApplication>
#include <QCloseEvent>
#include <QEventLoop>
#include <QFrame>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

namespace {
const QEvent::Type EvThreadInfo = QEvent::Type(QEvent::User + 1000);
}

// ---------------------------------------------------------------------------
// TEllipsisLabel

void TEllipsisLabel::SetFullText(const QString &AText)
{
    FFullText = AText;
    Refit();
}

void TEllipsisLabel::SetEllipsis(int AMode)
{
    if (AMode < 0 || AMode > 3)
        return;
    FEllipsis = AMode;
    Refit();
}

void TEllipsisLabel::resizeEvent(QResizeEvent *AEvent)
{
    QLabel::resizeEvent(AEvent);
    Refit();
}

void TEllipsisLabel::Refit()
{
    static const Qt::TextElideMode modes[] = {Qt::ElideNone, Qt::ElideMiddle, Qt::ElideRight, Qt::ElideRight};
    const int w = contentsRect().width();
    if (FEllipsis == 0 || w <= 0)
        setText(FFullText);
    else
        setText(fontMetrics().elidedText(FFullText, modes[FEllipsis], w));
}

// ---------------------------------------------------------------------------
// TThreadInfoForm

TThreadInfoForm::TThreadInfoForm(const QString &ACaption, int AExtraLines, bool AShowProgress, bool AAllowCancel,
                                 QWidget *AParent)
    : QDialog(AParent), FCanCancel(AAllowCancel)
{
    setWindowTitle(QStringLiteral("Information"));
    Qt::WindowFlags flags = Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint |
                            Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint;
    if (AAllowCancel)
        flags |= Qt::WindowCloseButtonHint;
    setWindowFlags(flags);
    setFont(QApplication::font("QMessageBox"));
    setLayoutDirection(QApplication::layoutDirection());

    auto *main = new QVBoxLayout(this);
    main->setContentsMargins(0, 0, 0, 0);
    main->setSpacing(0);

    const int extra = qMax(0, AExtraLines);
    for (int i = 0; i <= extra; ++i) {
        TLine line;
        line.PanelCtrl = new QFrame(this);
        line.PanelCtrl->setObjectName(QStringLiteral("Pan%1").arg(i));
        line.LabelCtrl = new TEllipsisLabel(line.PanelCtrl);
        line.LabelCtrl->setObjectName(QStringLiteral("Label%1").arg(i));
        auto *inner = new QVBoxLayout(line.PanelCtrl);
        inner->setContentsMargins(4, 4, 4, 4);
        inner->addWidget(line.LabelCtrl);
        auto *outer = new QVBoxLayout;
        if (i == 0) {
            outer->setContentsMargins(4, 8, 4, 4);
            line.PanelCtrl->setFrameShape(QFrame::NoFrame);
            QFont f = line.LabelCtrl->font();
            f.setBold(true);
            line.LabelCtrl->setFont(f);
            line.LabelCtrl->setAlignment(Qt::AlignCenter);
            line.LabelCtrl->setWordWrap(true);
            line.LabelCtrl->SetFullText(ACaption);
        } else {
            outer->setContentsMargins(4, 4, 4, i == extra ? 8 : 4);
            line.PanelCtrl->setFrameShape(QFrame::StyledPanel);
            line.PanelCtrl->setFrameShadow(QFrame::Plain);
            line.LabelCtrl->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
            line.LabelCtrl->setWordWrap(false);
            line.LabelCtrl->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
        }
        outer->addWidget(line.PanelCtrl);
        main->addLayout(outer);
        FLineArr.append(line);
    }

    if (AShowProgress) {
        FProgressBar = new QProgressBar(this);
        FProgressBar->setObjectName(QStringLiteral("Progress"));
        FProgressBar->setRange(0, 1024);
        FProgressBar->setValue(0);
        FProgressBar->setTextVisible(false);
        auto *row = new QVBoxLayout;
        row->setContentsMargins(32, 8, 32, 4);
        row->addWidget(FProgressBar);
        main->addLayout(row);
    }

    if (AAllowCancel) {
        FCancelBtn = new QPushButton(QStringLiteral("A&bbrechen"), this);
        FCancelBtn->setObjectName(QStringLiteral("Cancel"));
        FCancelBtn->setDefault(true);
        FCancelBtn->setAutoDefault(true);
        connect(FCancelBtn, &QPushButton::clicked, this, [this]() { done(mrCancel); });
        auto *row = new QVBoxLayout;
        const int cy = fontMetrics().height();
        row->setContentsMargins(0, cy, 0, cy);
        row->addWidget(FCancelBtn, 0, Qt::AlignHCenter);
        main->addLayout(row);
    }

    // one wake-up event at a time, however fast the worker posts
    FChannel->SetWakeUp([this]() {
        if (!FWakePending.exchange(true))
            QCoreApplication::postEvent(this, new QEvent(EvThreadInfo));
    });
    FShowTimer.setSingleShot(true);
    FShowTimer.setInterval(ShowDelayMs);
    connect(&FShowTimer, &QTimer::timeout, this, [this]() {
        if (FLoop && !FWorkerClosed) {
            FWasShown = true;
            qApp->removeEventFilter(this);
            show();
        }
    });
    FApplyTimer.setSingleShot(true);
    connect(&FApplyTimer, &QTimer::timeout, this, [this]() { OnWakeUp(); });
    AdjustLayout();
}

TThreadInfoForm::~TThreadInfoForm()
{
    // no wake-up may reach this object once it is gone
    FChannel->Detach();
}

TEllipsisLabel *TThreadInfoForm::LineLabel(int ALine) const
{
    return ALine >= 0 && ALine < FLineArr.size() ? FLineArr[ALine].LabelCtrl : nullptr;
}

void TThreadInfoForm::AdjustLayout()
{
    const QFontMetrics fm(font());
    const int cx = fm.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz")) / 52;
    const int cy = fm.height();
    const int hm = 8 * cx / 4;
    int clientWidth = 480;
    if (FCancelBtn) {
        const int btnWidth = qMax(64 * cx / 4, fm.horizontalAdvance(FCancelBtn->text().remove(u'&')) + 8);
        FCancelBtn->setFixedSize(btnWidth, 16 * cy / 8);
        FCancelBtn->setVisible(FCancelBtn->isEnabled());
        clientWidth = qMax(clientWidth, btnWidth + 2 * hm);
    }
    setFixedWidth(clientWidth);
    if (layout()) {
        layout()->invalidate();
        layout()->activate();
    }
    const int h = layout() && layout()->hasHeightForWidth() ? layout()->totalHeightForWidth(clientWidth)
                                                             : sizeHint().height();
    setFixedHeight(h);
}

void TThreadInfoForm::SetCanCancel(bool AValue)
{
    if (!FCancelBtn)
        return;
    FCanCancel = AValue;
    FCancelBtn->setEnabled(AValue);
    // the close item follows the button; changing the flags of a shown window
    // would hide it and end its modal loop, so a shown window only swallows the command
    if (!isVisible())
        setWindowFlag(Qt::WindowCloseButtonHint, AValue);
    AdjustLayout();
}

bool TThreadInfoForm::HandleMessages()
{
    bool closed = false;
    std::vector<TThreadInfoMsg> msgs = std::move(FPending);
    FPending.clear();
    for (TThreadInfoMsg &m : FChannel->TakeAll())
        msgs.push_back(std::move(m));
    if (!msgs.empty()) {
        ++FUpdateCount;
        FLastApply.start();
    }
    for (const TThreadInfoMsg &m : msgs) {
        switch (m.Kind) {
        case TThreadInfoMsg::tiText:
            if (m.Line >= 0 && m.Line < FLineArr.size()) {
                FLineArr[m.Line].LabelCtrl->SetFullText(m.Text);
                if (m.Line == 0)
                    AdjustLayout();
            }
            break;
        case TThreadInfoMsg::tiRange:
            FProgressMin = m.Value;
            FProgressMax = m.Value2;
            FProgressDelta = m.Value2 - m.Value;
            if (FProgressBar) {
                FProgressBar->setRange(0, 50000);
                FProgressBar->setValue(0);
            }
            break;
        case TThreadInfoMsg::tiProgress:
            if (FProgressBar)
                FProgressBar->setValue(qBound(FProgressBar->minimum(),
                                              ThreadInfoProgressPos(FProgressMin, FProgressMax, m.Value),
                                              FProgressBar->maximum()));
            break;
        case TThreadInfoMsg::tiCanCancel:
            SetCanCancel(m.Value != 0);
            break;
        case TThreadInfoMsg::tiEllipsis:
            if (m.Line >= 0 && m.Line < FLineArr.size() && m.Value >= 0 && m.Value <= 3)
                FLineArr[m.Line].LabelCtrl->SetEllipsis(m.Value);
            break;
        case TThreadInfoMsg::tiClose:
            closed = true;
            break;
        }
    }
    if (closed)
        FWorkerClosed = true;
    return closed;
}

bool TThreadInfoForm::event(QEvent *AEvent)
{
    if (AEvent->type() == EvThreadInfo) {
        FWakePending.store(false);
        OnWakeUp();
        return true;
    }
    return QDialog::event(AEvent);
}

void TThreadInfoForm::OnWakeUp()
{
    for (TThreadInfoMsg &m : FChannel->TakeAll())
        FPending.push_back(std::move(m));
    if (FPending.empty())
        return;
    const bool closing = std::any_of(FPending.begin(), FPending.end(),
                                     [](const TThreadInfoMsg &m) { return m.Kind == TThreadInfoMsg::tiClose; });
    const qint64 since = FLastApply.isValid() ? FLastApply.elapsed() : UpdateIntervalMs;
    if (!closing && since < UpdateIntervalMs) {
        if (!FApplyTimer.isActive())
            FApplyTimer.start(int(UpdateIntervalMs - since));
        return;
    }
    FApplyTimer.stop();
    if (HandleMessages() && FLoop)
        done(mrWorkerClosed);
}

bool TThreadInfoForm::eventFilter(QObject *AWatched, QEvent *AEvent)
{
    switch (AEvent->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::Wheel:
    case QEvent::Shortcut:
    case QEvent::Close:
        if (AWatched != this && AWatched->isWidgetType())
            return true;
        break;
    default:
        break;
    }
    return QDialog::eventFilter(AWatched, AEvent);
}

void TThreadInfoForm::ProcessPending()
{
    HandleMessages();
}

bool TThreadInfoForm::ShowModal()
{
    if (HandleMessages() || FWorkerClosed)
        return true;
    setResult(mrNone);
    // Modal from the start, shown only when the run takes a while: until then
    // the loop takes no user input.
    QEventLoop loop;
    FLoop = &loop;
    setWindowModality(Qt::ApplicationModal);
    qApp->installEventFilter(this);
    FShowTimer.start();
    loop.exec(QEventLoop::DialogExec);
    FShowTimer.stop();
    qApp->removeEventFilter(this);
    FLoop = nullptr;
    hide();
    const int r = result();
    return r == mrCancel || r == mrWorkerClosed;
}

void TThreadInfoForm::done(int AResult)
{
    QDialog::done(AResult);
    if (FLoop)
        FLoop->quit();
}

void TThreadInfoForm::reject()
{
    // Escape acts like the cancel button, and only when that is usable
    if (FCancelBtn && FCanCancel && FCancelBtn->isEnabled())
        done(mrCancel);
}

void TThreadInfoForm::closeEvent(QCloseEvent *AEvent)
{
    AEvent->ignore();
    if (FCanCancel)
        done(mrCancel);
}

void TThreadInfoForm::FlashIfIconic()
{
    QWidget *main = parentWidget() ? parentWidget()->window() : QApplication::activeWindow();
    if (main && main->isMinimized()) {
        QApplication::alert(main);
        QApplication::beep();
    }
}

// ---------------------------------------------------------------------------

std::unique_ptr<TThreadInfoWindow> TThreadInfoFormPresenter::CreateThreadInfoForm(const QString &ACaption,
                                                                                  int AExtraLines,
                                                                                  bool AShowProgress,
                                                                                  bool AAllowCancel)
{
    return std::make_unique<TThreadInfoForm>(ACaption, AExtraLines, AShowProgress, AAllowCancel,
                                             QApplication::activeWindow());
}
