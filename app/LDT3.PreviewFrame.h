// The interim document view of the "LDT" tab: opens a file through the list
// model's open sequence and shows its file information page. It offers the
// operations the main window needs of a document view (open, close, file
// name, the XPM check, the view actions, settings), so the full view with
// trees, list and raw text can take its place.
#pragma once

#include <QWidget>

#include <memory>

class QAction;
class QLabel;
class QLineEdit;
class TAppReg;
class TLDT3LineList;
class TVexWebBrowser;

class TLDTPreviewFrame : public QWidget
{
    Q_OBJECT
public:
    // More invalid lines than this reject a file.
    static constexpr int MaxInvalidLines = 30;

    explicit TLDTPreviewFrame(QWidget *AParent = nullptr);
    ~TLDTPreviewFrame() override;

    // True when the file was shown; false when it was rejected. Errors of the
    // operating system pass on as ELDT3Error after the view was reset.
    bool OpenLDTFile(const QString &AFileName);
    // True when no file is open any more.
    bool CloseLDTFile();
    // The file opened last (kept after closing).
    QString FileName() const;
    bool FileIsOpen() const;
    TLDT3LineList &LineList() const { return *FLineList; }

    // Runs the test module on the open file; false when it did not run.
    bool ActionXPMExecute();
    // Shows a page of the view (0 search, 4 XPM protocol); unknown pages are ignored.
    void ActivateRightPage(int AIndex);
    // The search field; null while the view has none.
    QLineEdit *EdSearch() const { return nullptr; }
    // Runs "go to line"; false when it did not run.
    bool GotoLine() { return false; }

    QAction *ActionToggleBase64() const { return FActionToggleBase64; }
    QAction *ActionToggleLevelIndent() const { return FActionToggleLevelIndent; }
    QAction *ActionToggleShowDetail() const { return FActionToggleShowDetail; }
    QAction *ActionColSettingsDlg() const { return FActionColSettingsDlg; }
    bool LevelIndent() const;
    bool IgnoreBase64Lines() const;

    void Load(TAppReg &AReg, const QString &ASection);
    void Save(TAppReg &AReg, const QString &ASection);

    QString StatusText() const;
    TVexWebBrowser *FileInfoView() const { return FWBFileInfo; }

Q_SIGNALS:
    // An information page for the host to show.
    void ShowXHTML(const QString &ACaption, const QString &AXHTML);
    // The file was opened or closed.
    void StateChanged();

private:
    void Clear();
    void UpdateActions();

    std::unique_ptr<TLDT3LineList> FLineList;
    QLabel *FStatusFrame = nullptr;
    TVexWebBrowser *FWBFileInfo = nullptr;
    QAction *FActionToggleBase64 = nullptr;
    QAction *FActionToggleLevelIndent = nullptr;
    QAction *FActionToggleShowDetail = nullptr;
    QAction *FActionColSettingsDlg = nullptr;
};
