#include "LDT3.FrameActions.h"

#include "LDT3.ColSettings.h"
#include "LDT3.ColSettingsFrame.h"
#include "LDT3.Data.h"
#include "LDT3.Detail.h"
#include "LDT3.Feld.h"
#include "LDT3.Frame.h"
#include "LDT3.ListView.h"
#include "LDT3.RawView.h"
#include "LDT3.TVBase.h"
#include "LDT3.TreeModel.h"
#include "Vex_Icons.h"
#include "Vex_MessageSink.h"
#include "Vex_VerInfo.h"
#include "WStrTools.h"

#include <QAction>
#include <QDialogButtonBox>
#include <QEvent>
#include <QFontDialog>
#include <QInputDialog>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QKeyEvent>
#include <QToolBar>
#include <QTreeView>

namespace {

const char *const CategoryProperty = "Category";

void SetCategory(QAction *AAction, const QString &ACategory) { AAction->setProperty(CategoryProperty, ACategory); }

} // namespace

TLDTFrameActions::TLDTFrameActions(TLDTFrame *AFrame) : QObject(AFrame), FFrame(AFrame)
{
    using A = TLDTFrameActions;
    FActionFirstLine = NewAction(QStringLiteral("nav-first"), QString(), QStringLiteral("Erste Zeile"), &A::FirstLine);
    FActionPrevPage =
        NewAction(QStringLiteral("nav-prev-page"), QString(), QStringLiteral("Vorherige Seite"), &A::PrevPage);
    FActionPrevLine = NewAction(QStringLiteral("nav-prev"), QString(), QStringLiteral("Vorherige Zeile"), &A::PrevLine);
    FActionNextLine = NewAction(QStringLiteral("nav-next"), QString(), QStringLiteral("Nächste Zeile"), &A::NextLine);
    FActionNextPage =
        NewAction(QStringLiteral("nav-next-page"), QString(), QStringLiteral("Nächste Seite"), &A::NextPage);
    FActionLastLine = NewAction(QStringLiteral("nav-last"), QString(), QStringLiteral("Letzte Zeile"), &A::LastLine);
    FActionPrevError = NewAction(QStringLiteral("nav-prev-error"), QStringLiteral("Vorheriger Fehler"),
                                 QStringLiteral("Vorheriger Fehler"), &A::PrevError);
    FActionNextError = NewAction(QStringLiteral("nav-next-error"), QStringLiteral("Nächster Fehler"),
                                 QStringLiteral("Nächster Fehler"), &A::NextError);
    FActionGotoLine = NewAction(QStringLiteral("goto-line"), QStringLiteral("Gehe zu Zeile"),
                                QStringLiteral("Gehe zu Zeile"), nullptr);
    connect(FActionGotoLine, &QAction::triggered, this, [this]() { GotoLine(); });
    FActionSyncTree = NewAction(QStringLiteral("sync"), QStringLiteral("Synchronisiere mit Baumansicht"),
                                QStringLiteral("Synchronisiere mit Baumansicht"), &A::SyncTree);
    FActionFirstFound =
        NewAction(QStringLiteral("nav-first"), QString(), QStringLiteral("Erstes Suchergebnis"), &A::FirstFound);
    FActionPrevFound =
        NewAction(QStringLiteral("search-prev"), QString(), QStringLiteral("Vorheriges Suchergebnis"), &A::PrevFound);
    FActionNextFound = NewAction(QStringLiteral("search-next"), QString(), QString(), &A::NextFound);
    // "Letzes" as the program has always said it
    FActionLastFound =
        NewAction(QStringLiteral("nav-last"), QString(), QStringLiteral("Letzes Suchergebnis"), &A::LastFound);
    FActionLVFont = NewAction(QStringLiteral("font"), QStringLiteral("Schri&ftart wählen..."),
                              QStringLiteral("Schriftart wählen"), &A::LVFont);
    FActionRawFont = NewAction(QStringLiteral("font"), QStringLiteral("&Schriftart wählen..."),
                               QStringLiteral("Schriftart wählen"), &A::RawFont);
    FActionRawCopy = NewAction(QStringLiteral("copy"), QStringLiteral("&Kopieren"), QStringLiteral("Kopieren"), nullptr);
    FActionRawCopy->setStatusTip(QStringLiteral("Auswahl in die Zwischenablage kopieren"));
    FActionRawCopy->setShortcut(QKeySequence::Copy);
    FActionRawSelectAll = NewAction(QStringLiteral("select-all"), QStringLiteral("Alles &markieren"),
                                    QStringLiteral("Alles markieren"), nullptr);
    FActionRawSelectAll->setStatusTip(QStringLiteral("Gesamtes Dokument auswählen"));
    FActionRawSelectAll->setShortcut(QKeySequence::SelectAll);
    TLDT3RawView *raw = FFrame->RawView();
    connect(FActionRawCopy, &QAction::triggered, raw, &TLDT3RawView::Copy);
    connect(FActionRawSelectAll, &QAction::triggered, raw, &TLDT3RawView::SelectAll);

    // the view's four actions of the "Ansicht" menu live in the view itself
    QAction *detail = FFrame->ActionToggleShowDetail();
    detail->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_D), QKeySequence(Qt::Key_Space)});
    connect(detail, &QAction::triggered, this, &TLDTFrameActions::ToggleShowDetail);
    FFrame->ActionToggleLevelIndent()->setIcon(VexIcon(QStringLiteral("indent")));
    FFrame->ActionColSettingsDlg()->setIcon(VexIcon(QStringLiteral("columns")));
    connect(FFrame->ActionColSettingsDlg(), &QAction::triggered, this, [this]() { ColSettingsDlg(); });
    for (QAction *a : {detail, FFrame->ActionToggleBase64(), FFrame->ActionToggleLevelIndent()})
        SetCategory(a, QStringLiteral("Ansicht"));
    for (QAction *a : {FFrame->ActionColSettingsDlg(), FActionLVFont, FActionRawFont})
        SetCategory(a, QStringLiteral("Dialog"));
    for (QAction *a : {FActionRawCopy, FActionRawSelectAll})
        SetCategory(a, QStringLiteral("Bearbeiten"));

    // Space toggles the details from the list only (elsewhere it types or
    // scrolls), before the list takes it for its keyboard search
    FFrame->ListView()->installEventFilter(this);

    CreateMenus();

    TLDT3ListView *lv = FFrame->ListView();
    connect(lv, &TLDT3ListView::LVSelectionChanged, this, &TLDTFrameActions::UpdateActions);
    connect(lv, &QAbstractItemView::doubleClicked, this, &TLDTFrameActions::SyncTree);
    connect(FFrame, &TLDTFrame::StateChanged, this, &TLDTFrameActions::UpdateActions);
    connect(raw, &TLDT3RawView::StatusTextChanged, this, &TLDTFrameActions::UpdateActions);
    connect(FFrame->DetailDlg(), &TLDTDetailDlg::ShowingChanged, this, &TLDTFrameActions::UpdateActions);
    // the error tree's double-click shows the details of its line
    connect(FFrame->ErrorTree(), &QAbstractItemView::doubleClicked, this, [this]() {
        const TLDT3Node *node = TLDT3TreeModel::NodeOf(FFrame->ErrorTree()->currentIndex());
        if (node && node->ClassType()->InheritsFrom(TLDT3LineErrorNode::Class()) &&
            !static_cast<const TLDT3LineErrorNode *>(node)->IsRoot() && !FFrame->DetailDlgShowing())
            FFrame->ShowDetailDlg();
    });

    QLineEdit *ed = FFrame->EdSearch();
    connect(ed, &QLineEdit::textChanged, this, &TLDTFrameActions::SearchTextChanged);
    connect(ed, &QLineEdit::returnPressed, this, &TLDTFrameActions::SearchEnter);
    ed->installEventFilter(this);
    UpdateActions();
}

QAction *TLDTFrameActions::NewAction(const QString &AIcon, const QString &ACaption, const QString &AHint,
                                     void (TLDTFrameActions::*ADoes)())
{
    auto *a = new QAction(VexIcon(AIcon), ACaption, this);
    a->setToolTip(AHint);
    a->setStatusTip(AHint);
    if (ADoes)
        connect(a, &QAction::triggered, this, ADoes);
    return a;
}

void TLDTFrameActions::CreateMenus()
{
    FInfoMenu = new QMenu(QStringLiteral("Informationen..."), FFrame);
    FInfoMenu->setObjectName(QStringLiteral("PopupInfo"));
    FListMenu = new QMenu(FFrame);
    FListMenu->setObjectName(QStringLiteral("PopupLV"));
    FListMenu->addAction(FActionSyncTree);
    FListMenu->setDefaultAction(FActionSyncTree);
    FInfoMenuAction = FListMenu->addMenu(FInfoMenu);
    FListMenu->addAction(FActionGotoLine);
    FListMenu->addSeparator();
    FListMenu->addAction(FFrame->ActionToggleShowDetail());
    FListMenu->addAction(FFrame->ActionToggleBase64());
    FListMenu->addAction(FFrame->ActionToggleLevelIndent());
    FListMenu->addSeparator();
    FListMenu->addAction(FFrame->ActionColSettingsDlg());
    FListMenu->addAction(FActionLVFont);
    connect(FListMenu, &QMenu::aboutToShow, this, [this]() {
        UpdateActions();
        UpdateInfoMenu();
    });
    TLDT3ListView *lv = FFrame->ListView();
    lv->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(lv, &QWidget::customContextMenuRequested, this,
            [this, lv](const QPoint &APos) { FListMenu->popup(lv->viewport()->mapToGlobal(APos)); });

    FRawMenu = new QMenu(FFrame);
    FRawMenu->setObjectName(QStringLiteral("PopupRaw"));
    FRawMenu->addAction(FActionRawSelectAll);
    FRawMenu->addAction(FActionRawCopy);
    FRawMenu->addAction(FActionRawFont);
    connect(FRawMenu, &QMenu::aboutToShow, this, &TLDTFrameActions::UpdateActions);
    TLDT3RawView *raw = FFrame->RawView();
    raw->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(raw, &QWidget::customContextMenuRequested, this,
            [this, raw](const QPoint &APos) { FRawMenu->popup(raw->mapToGlobal(APos)); });
}

void TLDTFrameActions::FillToolBars(QToolBar *ANavBar, QToolBar *ASearchBar, QLineEdit *AEdSearch)
{
    ANavBar->addActions({FActionFirstLine, FActionPrevPage, FActionPrevLine, FActionNextLine, FActionNextPage,
                         FActionLastLine});
    ANavBar->addSeparator();
    ANavBar->addActions({FActionPrevError, FActionNextError, FActionGotoLine, FActionSyncTree});
    ANavBar->addSeparator();
    ANavBar->addActions({FFrame->ActionToggleShowDetail(), FFrame->ActionToggleLevelIndent(),
                         FFrame->ActionToggleBase64()});
    // the search field sits between the backward and the forward buttons
    QAction *field = nullptr;
    for (QAction *a : ASearchBar->actions())
        if (ASearchBar->widgetForAction(a) == AEdSearch)
            field = a;
    ASearchBar->insertActions(field, {FActionFirstFound, FActionPrevFound});
    ASearchBar->addActions({FActionNextFound, FActionLastFound});
}

// ---------------------------------------------------------------- rules

int TLDTFrameActions::CurrentRow() const { return FFrame->ListView()->LVCurrentIndex(); }
int TLDTFrameActions::RowCount() const { return FFrame->ListModel()->rowCount(); }

bool TLDTFrameActions::FirstLineEnabled() const { return RowCount() > 0 && CurrentRow() > 0; }
bool TLDTFrameActions::PrevPageEnabled() const { return RowCount() > 0 && CurrentRow() > 0; }
bool TLDTFrameActions::PrevLineEnabled() const { return RowCount() > 0 && CurrentRow() > 0; }

bool TLDTFrameActions::NextLineEnabled() const
{
    const int row = CurrentRow();
    return row < 0 ? RowCount() > 0 : row + 1 < RowCount();
}

bool TLDTFrameActions::NextPageEnabled() const { return RowCount() > 0 && CurrentRow() < RowCount() - 1; }
bool TLDTFrameActions::LastLineEnabled() const { return RowCount() > 0 && CurrentRow() < RowCount() - 1; }

bool TLDTFrameActions::PrevErrorEnabled() const
{
    return FFrame->FileIsOpen() && FFrame->LineList().PtrList()->LineErrorList().PrevEnabled(FFrame->CurrentZeile());
}

bool TLDTFrameActions::NextErrorEnabled() const
{
    return FFrame->FileIsOpen() && FFrame->LineList().PtrList()->LineErrorList().NextEnabled(FFrame->CurrentZeile());
}

bool TLDTFrameActions::GotoLineEnabled() const { return RowCount() > 0; }
bool TLDTFrameActions::SyncTreeEnabled() const { return FFrame->LineList().SyncTreeEnabled(); }
bool TLDTFrameActions::ShowDetailEnabled() const { return RowCount() > 0 && CurrentRow() >= 0; }

bool TLDTFrameActions::PrevFoundEnabled() const { return FFrame->LineList().FoundCount() > 0 && FFoundIndex > 0; }

bool TLDTFrameActions::NextFoundEnabled() const
{
    const int count = FFrame->LineList().FoundCount();
    return count > 0 && FFoundIndex >= 0 && FFoundIndex < count - 1;
}

void TLDTFrameActions::UpdateActions()
{
    const std::pair<QAction *, bool> states[] = {
        {FActionFirstLine, FirstLineEnabled()},
        {FActionPrevPage, PrevPageEnabled()},
        {FActionPrevLine, PrevLineEnabled()},
        {FActionNextLine, NextLineEnabled()},
        {FActionNextPage, NextPageEnabled()},
        {FActionLastLine, LastLineEnabled()},
        {FActionPrevError, PrevErrorEnabled()},
        {FActionNextError, NextErrorEnabled()},
        {FActionGotoLine, GotoLineEnabled()},
        {FActionSyncTree, SyncTreeEnabled()},
        {FActionFirstFound, PrevFoundEnabled()},
        {FActionPrevFound, PrevFoundEnabled()},
        {FActionNextFound, NextFoundEnabled()},
        {FActionLastFound, NextFoundEnabled()},
        {FActionRawCopy, FFrame->RawView()->HasSelection()},
        {FActionRawSelectAll, FFrame->RawView()->LineCount() > 0},
        {FFrame->ActionToggleShowDetail(), ShowDetailEnabled()},
    };
    for (const auto &[action, enabled] : states)
        action->setEnabled(enabled);
    const bool open = FFrame->FileIsOpen();
    FFrame->ActionToggleBase64()->setEnabled(open && FFrame->LineList().HasBase64Lines());
    FFrame->ActionToggleLevelIndent()->setEnabled(open && FFrame->LineList().PathAndLevelOkay());
    FFrame->ActionToggleShowDetail()->setChecked(FFrame->DetailDlgShowing());
    if (FFrame->DetailDlg()->isVisible())
        FFrame->DetailDlg()->UpdateActions();
}

// ---------------------------------------------------------------- moves

void TLDTFrameActions::SelectRow(int ARow)
{
    FFrame->ListView()->SetLVCurrentIndex(qBound(0, ARow, RowCount() - 1));
}

void TLDTFrameActions::FirstLine()
{
    if (FirstLineEnabled())
        SelectRow(0);
}

void TLDTFrameActions::PrevPage()
{
    if (PrevPageEnabled())
        SelectRow(FFrame->ListView()->TopIndex() - FFrame->ListView()->VisibleRowCount());
}

void TLDTFrameActions::PrevLine()
{
    if (PrevLineEnabled())
        SelectRow(CurrentRow() - 1);
}

void TLDTFrameActions::NextLine()
{
    if (NextLineEnabled())
        SelectRow(CurrentRow() + 1);
}

void TLDTFrameActions::NextPage()
{
    if (NextPageEnabled())
        SelectRow(FFrame->ListView()->TopIndex() + FFrame->ListView()->VisibleRowCount());
}

void TLDTFrameActions::LastLine()
{
    if (LastLineEnabled())
        SelectRow(RowCount() - 1);
}

void TLDTFrameActions::GotoErrorZeile(bool ANext)
{
    if (!(ANext ? NextErrorEnabled() : PrevErrorEnabled()))
        return;
    const TLDT3LineErrorList &errors = FFrame->LineList().PtrList()->LineErrorList();
    int zeile = 0;
    const bool found = ANext ? errors.FindNextZeile(FFrame->CurrentZeile(), zeile)
                             : errors.FindPrevZeile(FFrame->CurrentZeile(), zeile);
    if (found && FFrame->GotoNearestZeile(zeile))
        FFrame->TrySyncTV();
}

void TLDTFrameActions::PrevError() { GotoErrorZeile(false); }
void TLDTFrameActions::NextError() { GotoErrorZeile(true); }

void TLDTFrameActions::SyncTree()
{
    if (!SyncTreeEnabled())
        return;
    FFrame->TrySyncTV();
    FFrame->TrySyncTVErrors();
}

void TLDTFrameActions::ToggleShowDetail()
{
    if (FFrame->DetailDlgShowing())
        FFrame->HideDetailDlg();
    else if (ShowDetailEnabled())
        FFrame->ShowDetailDlg();
    UpdateActions();
}

bool TLDTFrameActions::GotoLine()
{
    if (!GotoLineEnabled())
        return false;
    QInputDialog dlg(FFrame->window());
    dlg.setObjectName(QStringLiteral("GotoLineDlg"));
    dlg.setWindowTitle(QStringLiteral("Gehe zu Zeile"));
    dlg.setLabelText(QStringLiteral("Zeile:"));
    dlg.setTextValue(QString());
    // Qt's own button texts are English without its translations
    dlg.setOkButtonText(QStringLiteral("OK"));
    dlg.setCancelButtonText(QStringLiteral("Abbrechen"));
    if (dlg.exec() == QDialog::Accepted)
        GotoLineText(dlg.textValue());
    return true;
}

void TLDTFrameActions::GotoLineText(const QString &AText)
{
    bool ok = false;
    const int zeile = AText.trimmed().toInt(&ok);
    if (!ok || zeile <= 0)
        return;
    if (FFrame->GotoNearestZeile(zeile))
        SyncTree();
    else
        GetMessageSink().ShowMessage(TMsgKind::mkInformation, GetAppTitle(),
                                     Format(QStringLiteral("Zeile %d nicht gefunden"), {zeile}));
}

// ---------------------------------------------------------------- search

void TLDTFrameActions::GotoFound(int AIndex)
{
    FFoundIndex = AIndex;
    FFrame->GotoNearestZeile(FFrame->LineList().FoundZeile(AIndex));
    UpdateFoundStatus();
    UpdateActions();
}

void TLDTFrameActions::FirstFound()
{
    if (PrevFoundEnabled())
        GotoFound(0);
}

void TLDTFrameActions::PrevFound()
{
    if (PrevFoundEnabled())
        GotoFound(FFoundIndex - 1);
}

void TLDTFrameActions::NextFound()
{
    if (NextFoundEnabled())
        GotoFound(FFoundIndex + 1);
}

void TLDTFrameActions::LastFound()
{
    if (NextFoundEnabled())
        GotoFound(FFrame->LineList().FoundCount() - 1);
}

void TLDTFrameActions::SearchTextChanged()
{
    QLineEdit *ed = FFrame->EdSearch();
    const QString text = ed->text();
    const bool occurs = !text.isEmpty() && FFrame->FileIsOpen() && FFrame->LineList().PtrList()->StrExists(text);
    QPalette pal = ed->palette();
    pal.setColor(QPalette::Text, QColor(QRgb(occurs ? FoundColor : NotFoundColor)));
    ed->setPalette(pal);
    FFrame->SetStatusPanelText(2, QString());
    FFrame->SetStatusPanelText(3, QString());
}

void TLDTFrameActions::SearchEnter()
{
    const QString text = FFrame->EdSearch()->text();
    if (FFrame->FileIsOpen() && text != FFrame->LineList().SearchPattern()) {
        FFoundIndex = -1;
        if (FFrame->LineList().FindStr(text)) {
            GotoFound(0);
            return;
        }
    }
    NextFound();
    UpdateActions();
}

void TLDTFrameActions::ResetSearch()
{
    FFoundIndex = -1;
    FFrame->SetStatusPanelText(2, QString());
    FFrame->SetStatusPanelText(3, QString());
}

void TLDTFrameActions::UpdateFoundStatus()
{
    const int count = FFrame->LineList().FoundCount();
    FFrame->SetStatusPanelText(2, Format(QStringLiteral("%d Zeilen gefunden"), {count}));
    FFrame->SetStatusPanelText(3, FFoundIndex >= 0 && FFoundIndex < count
                                      ? Format(QStringLiteral("Suchergebnis %d von %d"), {FFoundIndex + 1, count})
                                      : QString());
}

bool TLDTFrameActions::eventFilter(QObject *AWatched, QEvent *AEvent)
{
    if (AWatched == FFrame->EdSearch() && AEvent->type() == QEvent::FocusIn)
        SearchTextChanged();
    if (AWatched == FFrame->ListView() && AEvent->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(AEvent);
        if (key->key() == Qt::Key_Space && key->modifiers() == Qt::NoModifier) {
            FFrame->ActionToggleShowDetail()->trigger();
            return true;
        }
    }
    return QObject::eventFilter(AWatched, AEvent);
}

// ---------------------------------------------------------------- dialogs

bool TLDTFrameActions::ColSettingsDlg()
{
    TLDTColSettingsDlg dlg(FFrame->window());
    dlg.ColSettingsFrame()->SetLDTFrame(FFrame);
    if (dlg.exec() != QDialog::Accepted)
        return false;
    dlg.ColSettingsFrame()->UpdateColumns();
    return true;
}

namespace {

void ChooseFont(QWidget *AControl, QFontDialog::FontDialogOptions AOptions)
{
    QFontDialog dlg(AControl->font(), AControl->window());
    dlg.setObjectName(QStringLiteral("FontDlg"));
    dlg.setOptions(AOptions | QFontDialog::DontUseNativeDialog);
    dlg.setWindowTitle(QStringLiteral("Schriftart wählen"));
    if (auto *box = dlg.findChild<QDialogButtonBox *>())
        if (QPushButton *cancel = box->button(QDialogButtonBox::Cancel))
            cancel->setText(QStringLiteral("Abbrechen"));
    if (dlg.exec() == QDialog::Accepted)
        AControl->setFont(dlg.selectedFont());
}

} // namespace

void TLDTFrameActions::LVFont() { ChooseFont(FFrame->ListView(), QFontDialog::ScalableFonts); }
void TLDTFrameActions::RawFont() { ChooseFont(FFrame->RawView(), QFontDialog::MonospacedFonts); }

// ---------------------------------------------------------------- information

void TLDTFrameActions::UpdateInfoMenu()
{
    FInfoMenu->clear();
    const TLDT3Line *line = FFrame->CurrentLine();
    FInfoMenuAction->setVisible(line != nullptr);
    if (!line)
        return;
    const int fk = line->FK();
    const QString fkSubject =
        QStringLiteral("FK ") + (fk > 0 ? QStringLiteral("%1").arg(fk, 4, 10, QLatin1Char('0')) : QString());
    QList<std::pair<QString, QString>> entries; // caption, subject
    entries.append({Format(QStringLiteral("Feld-Information %s"), {fkSubject}), fkSubject});
    const TLDT3FeldDict *dict = GetLDT3FeldDict(FFrame->LineList().PtrList()->TableSet().Index());
    for (const QString &r : dict->GetFeldERegeln(fk))
        entries.append({Format(QStringLiteral("Erlaubte Inhalte %s"), {r}), r});
    for (const QString &r : dict->GetFeldFRegeln(fk))
        entries.append({Format(QStringLiteral("Format-Regel %s"), {r}), r});
    for (const QString &r : dict->GetFeldKRegeln(fk))
        entries.append({Format(QStringLiteral("Kontext-Regel %s"), {r}), r});
    for (const auto &[caption, subject] : entries) {
        QAction *a = FInfoMenu->addAction(caption);
        a->setToolTip(subject);
        a->setStatusTip(subject);
        connect(a, &QAction::triggered, this, [this, subject]() { ShowInfo(subject); });
    }
}

void TLDTFrameActions::ShowInfo(const QString &ASubject)
{
    TLDT3Data::TInfoTyp typ = TLDT3Data::itNone;
    const QString page = TLDT3Data::GetInfoXHTML(ASubject, typ, FFrame->LineList().PtrList()->TableSet());
    Q_EMIT FFrame->ShowXHTML(QStringLiteral("Information"), page);
}
