// The document view's commands: navigation by line, page, error and search
// hit, go to line, synchronisation, details, fonts, columns, the raw text's
// copy and select all; their enable and tick rules, the search field, and
// the context menus of the list and the raw text.
#pragma once

#include <QObject>
#include <QString>

class QAction;
class QLineEdit;
class QMenu;
class QToolBar;
class TLDTFrame;

class TLDTFrameActions : public QObject
{
    Q_OBJECT
public:
    // The search field's colours: the text occurs in the file, or not.
    static constexpr unsigned FoundColor = 0x008000;
    static constexpr unsigned NotFoundColor = 0xFF0000;

    explicit TLDTFrameActions(TLDTFrame *AFrame);

    // Puts the actions on the list's two tool bars, around the search field.
    void FillToolBars(QToolBar *ANavBar, QToolBar *ASearchBar, QLineEdit *AEdSearch);

    // Enable rules, from the view's state now.
    bool FirstLineEnabled() const;
    bool PrevPageEnabled() const;
    bool PrevLineEnabled() const;
    bool NextLineEnabled() const;
    bool NextPageEnabled() const;
    bool LastLineEnabled() const;
    bool PrevErrorEnabled() const;
    bool NextErrorEnabled() const;
    bool GotoLineEnabled() const;
    bool SyncTreeEnabled() const;
    bool ShowDetailEnabled() const;
    // first and previous hit; next and last hit
    bool PrevFoundEnabled() const;
    bool NextFoundEnabled() const;

    // The moves; each does nothing where its rule does not allow it.
    void FirstLine();
    void PrevPage();
    void PrevLine();
    void NextLine();
    void NextPage();
    void LastLine();
    void PrevError();
    void NextError();
    void SyncTree();
    void FirstFound();
    void PrevFound();
    void NextFound();
    void LastFound();
    void ToggleShowDetail();

    // "Gehe zu Zeile": asks for the number; false when the command could not run.
    bool GotoLine();
    // The answer of the dialog: nothing for a text that is no number above 0;
    // a line that is not there is reported.
    void GotoLineText(const QString &AText);

    // The search field: its colour for the text now, and Enter.
    void SearchTextChanged();
    void SearchEnter();
    int FoundIndex() const { return FFoundIndex; }
    // No current hit (a file was opened or closed).
    void ResetSearch();
    // Panels 2 and 3: the hits and the current one.
    void UpdateFoundStatus();

    // The modal column dialog; true when it ended with OK.
    bool ColSettingsDlg();
    void LVFont();
    void RawFont();

    // Enabled and ticked states of every action, the detail dialog's too.
    void UpdateActions();

    // Context menus; the information submenu is built when the list's menu opens.
    QMenu *ListMenu() const { return FListMenu; }
    QMenu *InfoMenu() const { return FInfoMenu; }
    QMenu *RawMenu() const { return FRawMenu; }
    void UpdateInfoMenu();

    QAction *ActionFirstLine() const { return FActionFirstLine; }
    QAction *ActionPrevPage() const { return FActionPrevPage; }
    QAction *ActionPrevLine() const { return FActionPrevLine; }
    QAction *ActionNextLine() const { return FActionNextLine; }
    QAction *ActionNextPage() const { return FActionNextPage; }
    QAction *ActionLastLine() const { return FActionLastLine; }
    QAction *ActionPrevError() const { return FActionPrevError; }
    QAction *ActionNextError() const { return FActionNextError; }
    QAction *ActionGotoLine() const { return FActionGotoLine; }
    QAction *ActionSyncTree() const { return FActionSyncTree; }
    QAction *ActionFirstFound() const { return FActionFirstFound; }
    QAction *ActionPrevFound() const { return FActionPrevFound; }
    QAction *ActionNextFound() const { return FActionNextFound; }
    QAction *ActionLastFound() const { return FActionLastFound; }
    QAction *ActionLVFont() const { return FActionLVFont; }
    QAction *ActionRawFont() const { return FActionRawFont; }
    QAction *ActionRawCopy() const { return FActionRawCopy; }
    QAction *ActionRawSelectAll() const { return FActionRawSelectAll; }

protected:
    bool eventFilter(QObject *AWatched, QEvent *AEvent) override;

private:
    QAction *NewAction(const QString &AIcon, const QString &ACaption, const QString &AHint,
                       void (TLDTFrameActions::*ADoes)());
    void CreateMenus();
    void GotoFound(int AIndex);
    void GotoErrorZeile(bool ANext);
    void SelectRow(int ARow);
    int CurrentRow() const;
    int RowCount() const;
    void ShowInfo(const QString &ASubject);

    TLDTFrame *FFrame;
    int FFoundIndex = -1;
    QAction *FActionFirstLine = nullptr;
    QAction *FActionPrevPage = nullptr;
    QAction *FActionPrevLine = nullptr;
    QAction *FActionNextLine = nullptr;
    QAction *FActionNextPage = nullptr;
    QAction *FActionLastLine = nullptr;
    QAction *FActionPrevError = nullptr;
    QAction *FActionNextError = nullptr;
    QAction *FActionGotoLine = nullptr;
    QAction *FActionSyncTree = nullptr;
    QAction *FActionFirstFound = nullptr;
    QAction *FActionPrevFound = nullptr;
    QAction *FActionNextFound = nullptr;
    QAction *FActionLastFound = nullptr;
    QAction *FActionLVFont = nullptr;
    QAction *FActionRawFont = nullptr;
    QAction *FActionRawCopy = nullptr;
    QAction *FActionRawSelectAll = nullptr;
    QMenu *FListMenu = nullptr;
    QMenu *FInfoMenu = nullptr;
    QAction *FInfoMenuAction = nullptr;
    QMenu *FRawMenu = nullptr;
};
