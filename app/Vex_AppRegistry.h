// The per-user settings store: one INI file under the user's configuration
// directory ("Norvalis GmbH/<application>.ini"), used section by section like
// the registry key it stands for. Integers are stored as decimal text,
// Booleans as "0"/"1".
#pragma once

#include <QString>

#include <memory>

class QSettings;
class QWidget;

// Sections and value names of the store.
namespace TAppRegKeys {
// sections
inline const QString Main = QStringLiteral("Main");
inline const QString LDT = QStringLiteral("LDT");
inline const QString LDT_LV = QStringLiteral("LDT\\LV");
inline const QString LDT_TV = QStringLiteral("LDT\\TV");
inline const QString LDT_RAW = QStringLiteral("LDT\\RAW");
inline const QString DetailDlg = QStringLiteral("DetailDlg");
// "LDT\<c>": one section per list column, c = 0..6
QString LDTColumn(int AColumn);

// window placement
inline const QString Saved = QStringLiteral("Saved");
inline const QString Left = QStringLiteral("Left");
inline const QString Top = QStringLiteral("Top");
inline const QString Width = QStringLiteral("Width");
inline const QString Height = QStringLiteral("Height");
inline const QString WindowState = QStringLiteral("WindowState");
// main window
inline const QString LastUpdateCheck = QStringLiteral("LastUpdateCheck");
inline const QString TVStart = QStringLiteral("TVStart");
inline const QString Filter = QStringLiteral("Filter");
// address of the update server's config.xml; empty: no update check
inline const QString UpdateURL = QStringLiteral("UpdateURL");
// fonts
inline const QString FontName = QStringLiteral("FontName");
inline const QString FontSize = QStringLiteral("FontSize");
inline const QString FontBold = QStringLiteral("FontBold");
inline const QString FontItalic = QStringLiteral("FontItalic");
inline const QString FontUnderline = QStringLiteral("FontUnderline");
inline const QString FontStrikeout = QStringLiteral("FontStrikeout");
inline const QString FontPitch = QStringLiteral("FontPitch");
inline const QString FontColor = QStringLiteral("FontColor");
// document view
inline const QString PCLeft = QStringLiteral("PCLeft");
inline const QString Indent = QStringLiteral("Indent");
inline const QString Base64 = QStringLiteral("Base64");
inline const QString XPMDirectory = QStringLiteral("XPM-Directory");
inline const QString XPMAutoCheck = QStringLiteral("XPM-AutoCheck");
inline const QString OutputDirectory = QStringLiteral("Output-Directory");
// list columns
inline const QString ColVisible = QStringLiteral("Visible");
inline const QString ColWidth = QStringLiteral("Width");
inline const QString ColPosition = QStringLiteral("Position");
inline const QString ColCaption = QStringLiteral("Caption");
} // namespace TAppRegKeys

class TAppReg
{
public:
    // AAppName empty: the program's file name without extension.
    explicit TAppReg(const QString &AAppName);
    ~TAppReg();
    TAppReg(const TAppReg &) = delete;
    TAppReg &operator=(const TAppReg &) = delete;

    const QString &AppName() const { return FAppName; }
    // "\Software\Norvalis GmbH\<application>", the key the store stands for.
    const QString &AppRegKey() const { return FAppRegKey; }
    // The file of the store (under the configuration directory as it is now).
    QString StoreFileName() const;

    // The store, opened on first use; throws ELDT3Error
    // "Fehler beim Öffnen des Registry-Schlüssels: ..." when it cannot be read.
    QSettings &RegIni();
    bool IsOpen() const { return FRegIni != nullptr; }
    // Writes what is pending and releases the store; throws ELDT3Error (as
    // above) when it could not be written. The store is released either way.
    void Close();
    // Erases every section and value.
    void Clear();

    int ReadInteger(const QString &ASection, const QString &AIdent, int ADefault);
    QString ReadString(const QString &ASection, const QString &AIdent, const QString &ADefault);
    bool ReadBool(const QString &ASection, const QString &AIdent, bool ADefault);
    void WriteInteger(const QString &ASection, const QString &AIdent, int AValue);
    void WriteString(const QString &ASection, const QString &AIdent, const QString &AValue);
    void WriteBool(const QString &ASection, const QString &AIdent, bool AValue);

    // Window placement: "Saved", "Left", "Top", "Width", "Height", "WindowState".
    static void RegLoadForm(TAppReg &AReg, QWidget *AForm, const QString &ASection);
    static void RegSaveForm(TAppReg &AReg, QWidget *AForm, const QString &ASection);
    void LoadForm(QWidget *AForm, const QString &ASection) { RegLoadForm(*this, AForm, ASection); }
    void SaveForm(QWidget *AForm, const QString &ASection) { RegSaveForm(*this, AForm, ASection); }

    // A control's font and text colour (eight values).
    static void RegLoadFont(TAppReg &AReg, QWidget *AControl, const QString &ASection);
    static void RegSaveFont(TAppReg &AReg, QWidget *AControl, const QString &ASection);
    void LoadFont(QWidget *AControl, const QString &ASection) { RegLoadFont(*this, AControl, ASection); }
    void SaveFont(QWidget *AControl, const QString &ASection) { RegSaveFont(*this, AControl, ASection); }

private:
    [[noreturn]] void RaiseOpenError() const;
    static QString Key(const QString &ASection, const QString &AIdent);

    QString FAppName;
    QString FAppRegKey;
    std::unique_ptr<QSettings> FRegIni;
};

// The process-wide store, named after the application title.
TAppReg &GetAppReg();
