#include "Vex_AppRegistry.h"

#include "LDT3.Base.h"
#include "Vex_VerInfo.h"
#include "WStrTools.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QFont>
#include <QFontInfo>
#include <QSettings>
#include <QStandardPaths>
#include <QWidget>

#include <atomic>

QString TAppRegKeys::LDTColumn(int AColumn)
{
    return LDT + QLatin1Char('\\') + QString::number(AColumn);
}

TAppReg::TAppReg(const QString &AAppName) : FAppName(AAppName)
{
    if (FAppName.isEmpty())
        FAppName = QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName();
    FAppRegKey = Format(QStringLiteral("\\Software\\Norvalis GmbH\\%s"), {FAppName});
}

TAppReg::~TAppReg()
{
    try {
        Close();
    } catch (...) {
        // nothing to report to at this point
    }
}

QString TAppReg::StoreFileName() const
{
    // asked anew on every open, so a changed XDG_CONFIG_HOME is followed
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/Norvalis GmbH/") + FAppName + QStringLiteral(".ini");
}

void TAppReg::RaiseOpenError() const
{
    throw ELDT3Error(Format(QStringLiteral("Fehler beim Öffnen des Registry-Schlüssels: %s"), {StoreFileName()}));
}

QSettings &TAppReg::RegIni()
{
    if (!FRegIni) {
        auto s = std::make_unique<QSettings>(StoreFileName(), QSettings::IniFormat);
        // a malformed file (FormatError) is read as far as it goes and
        // written anew; only a file that cannot be read fails
        if (s->status() == QSettings::AccessError)
            RaiseOpenError();
        FRegIni = std::move(s);
    }
    return *FRegIni;
}

void TAppReg::Close()
{
    if (!FRegIni)
        return;
    std::unique_ptr<QSettings> s = std::move(FRegIni);
    s->sync();
    // a format error stays from reading and says nothing about the write
    if (s->status() == QSettings::AccessError)
        RaiseOpenError();
}

void TAppReg::Clear()
{
    RegIni().clear();
}

QString TAppReg::Key(const QString &ASection, const QString &AIdent)
{
    // deeper levels of a section are separated by "\" as in the key path
    QString section = ASection;
    section.replace(QLatin1Char('\\'), QLatin1Char('/'));
    return section + QLatin1Char('/') + AIdent;
}

int TAppReg::ReadInteger(const QString &ASection, const QString &AIdent, int ADefault)
{
    const QVariant v = RegIni().value(Key(ASection, AIdent));
    if (!v.isValid())
        return ADefault;
    bool ok = false;
    const int n = v.toString().trimmed().toInt(&ok);
    return ok ? n : ADefault;
}

QString TAppReg::ReadString(const QString &ASection, const QString &AIdent, const QString &ADefault)
{
    const QVariant v = RegIni().value(Key(ASection, AIdent));
    return v.isValid() ? v.toString() : ADefault;
}

bool TAppReg::ReadBool(const QString &ASection, const QString &AIdent, bool ADefault)
{
    // any non-zero number is true
    return ReadInteger(ASection, AIdent, ADefault ? 1 : 0) != 0;
}

void TAppReg::WriteInteger(const QString &ASection, const QString &AIdent, int AValue)
{
    RegIni().setValue(Key(ASection, AIdent), QString::number(AValue));
}

void TAppReg::WriteString(const QString &ASection, const QString &AIdent, const QString &AValue)
{
    RegIni().setValue(Key(ASection, AIdent), AValue);
}

void TAppReg::WriteBool(const QString &ASection, const QString &AIdent, bool AValue)
{
    RegIni().setValue(Key(ASection, AIdent), AValue ? QStringLiteral("1") : QStringLiteral("0"));
}

void TAppReg::RegLoadForm(TAppReg &AReg, QWidget *AForm, const QString &ASection)
{
    using namespace TAppRegKeys;
    if (AReg.ReadBool(ASection, Saved, false)) {
        const QRect cur = AForm->isWindow() ? AForm->normalGeometry() : AForm->geometry();
        const QRect r = cur.isValid() ? cur : AForm->geometry();
        AForm->setGeometry(AReg.ReadInteger(ASection, Left, r.x()), AReg.ReadInteger(ASection, Top, r.y()),
                           AReg.ReadInteger(ASection, Width, r.width()),
                           AReg.ReadInteger(ASection, Height, r.height()));
    }
    const Qt::WindowStates st = AForm->windowState();
    const int current = st.testFlag(Qt::WindowMaximized) ? 2 : st.testFlag(Qt::WindowMinimized) ? 1 : 0;
    int state = AReg.ReadInteger(ASection, WindowState, current);
    if (state == 2)
        AForm->setWindowState((st & ~Qt::WindowMinimized) | Qt::WindowMaximized);
    else if (state == 0 || state == 1) // a stored minimized window comes back normal
        AForm->setWindowState(st & ~(Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen));
}

void TAppReg::RegSaveForm(TAppReg &AReg, QWidget *AForm, const QString &ASection)
{
    using namespace TAppRegKeys;
    const Qt::WindowStates st = AForm->windowState();
    // minimized is written as normal
    AReg.WriteInteger(ASection, WindowState,
                      st.testFlag(Qt::WindowMaximized) && !st.testFlag(Qt::WindowMinimized) ? 2 : 0);
    // the restored rectangle, so a maximized window keeps its normal size
    QRect r = AForm->normalGeometry();
    if (!r.isValid() && !st.testFlag(Qt::WindowMaximized) && !st.testFlag(Qt::WindowFullScreen))
        r = AForm->geometry();
    AReg.WriteBool(ASection, Saved, r.isValid());
    if (r.isValid()) {
        AReg.WriteInteger(ASection, Left, r.x());
        AReg.WriteInteger(ASection, Top, r.y());
        AReg.WriteInteger(ASection, Width, r.width());
        AReg.WriteInteger(ASection, Height, r.height());
    }
}

void TAppReg::RegLoadFont(TAppReg &AReg, QWidget *AControl, const QString &ASection)
{
    using namespace TAppRegKeys;
    try {
        const QString name = AReg.ReadString(ASection, FontName, QString());
        if (name.isEmpty())
            return;
        QFont f(name);
        // no usable size stored: the font keeps its default size
        const int size = AReg.ReadInteger(ASection, FontSize, 0);
        if (size > 0)
            f.setPointSize(size);
        f.setBold(AReg.ReadBool(ASection, FontBold, false));
        f.setItalic(AReg.ReadBool(ASection, FontItalic, false));
        f.setUnderline(AReg.ReadBool(ASection, FontUnderline, false));
        f.setStrikeOut(AReg.ReadBool(ASection, FontStrikeout, false));
        const QString pitch = AReg.ReadString(ASection, FontPitch, QString());
        if (pitch.compare(QLatin1String("Fixed"), Qt::CaseInsensitive) == 0) {
            f.setFixedPitch(true);
            f.setStyleHint(QFont::TypeWriter);
        } else if (pitch.compare(QLatin1String("Variable"), Qt::CaseInsensitive) == 0) {
            f.setFixedPitch(false);
        }
        QPalette pal = AControl->palette();
        const QColor cur = pal.color(QPalette::Text);
        const int color = AReg.ReadInteger(ASection, FontColor, int(cur.rgb() & 0xFFFFFF));
        const QColor c(QRgb(quint32(color) & 0xFFFFFF));
        pal.setColor(QPalette::Text, c);
        pal.setColor(QPalette::WindowText, c);
        AControl->setFont(f);
        AControl->setPalette(pal);
    } catch (const ELDT3Error &) {
        // a store that cannot be read leaves the font as it is
    }
}

void TAppReg::RegSaveFont(TAppReg &AReg, QWidget *AControl, const QString &ASection)
{
    using namespace TAppRegKeys;
    if (!AControl)
        return;
    const QFont f = AControl->font();
    // written in this order: name, size, bold, underline, strikeout, italic, pitch, colour
    AReg.WriteString(ASection, FontName, f.family());
    // a font sized in pixels (the raw text's) has no point size of its own:
    // the size it is drawn at, in points
    AReg.WriteInteger(ASection, FontSize, f.pointSize() > 0 ? f.pointSize() : QFontInfo(f).pointSize());
    AReg.WriteBool(ASection, FontBold, f.bold());
    AReg.WriteBool(ASection, FontUnderline, f.underline());
    AReg.WriteBool(ASection, FontStrikeout, f.strikeOut());
    AReg.WriteBool(ASection, FontItalic, f.italic());
    AReg.WriteString(ASection, FontPitch,
                     f.fixedPitch() ? QStringLiteral("Fixed") : QStringLiteral("Default"));
    AReg.WriteInteger(ASection, FontColor, int(AControl->palette().color(QPalette::Text).rgb() & 0xFFFFFF));
}

TAppReg &GetAppReg()
{
    static std::atomic<TAppReg *> instance{nullptr};
    TAppReg *cur = instance.load(std::memory_order_acquire);
    if (!cur) {
        auto *fresh = new TAppReg(GetAppTitle());
        if (instance.compare_exchange_strong(cur, fresh, std::memory_order_acq_rel))
            cur = fresh;
        else
            delete fresh; // another thread was first
    }
    return *cur;
}
