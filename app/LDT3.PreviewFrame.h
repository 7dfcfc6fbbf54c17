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
class QTabWidget;
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
    // The file opened last, as an absolute name (kept after closing).
    QString FileName() const;
    bool FileIsOpen() const;
    TLDT3LineList &LineList() const { return *FLineList; }

    // Pages of the view, numbered as in the full view.
    enum { pageFileInfo = 2, pageXPM = 4 };
    // Runs the test module on the file (messages, then the PDF protocol,
    // shown on the page "XPM-Prüfprotokoll"); false when no protocol came.
    bool ActionXPMExecute();
    // Shows a page of the view; pages it does not have, or hidden ones, are ignored.
    void ActivateRightPage(int AIndex);
    // The page shown (pageFileInfo or pageXPM).
    int RightPage() const;
    bool XPMPageVisible() const;
    TVexWebBrowser *XPMView() const { return FWBXPM; }
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
    QTabWidget *FPages = nullptr;
    TVexWebBrowser *FWBFileInfo = nullptr;
    TVexWebBrowser *FWBXPM = nullptr;
    QAction *FActionToggleBase64 = nullptr;
    QAction *FActionToggleLevelIndent = nullptr;
    QAction *FActionToggleShowDetail = nullptr;
    QAction *FActionColSettingsDlg = nullptr;
};
