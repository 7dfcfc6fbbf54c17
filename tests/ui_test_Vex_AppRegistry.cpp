#include "UiTestUtil.h"

#include "LDT3.Base.h"
#include "Vex_AppRegistry.h"
#include "Vex_VerInfo.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFontInfo>
#include <QLabel>
#include <QSettings>

using namespace TAppRegKeys;

namespace {

class AppRegistry : public ::testing::Test
{
protected:
    uitest::TFreshConfigHome FHome;
};

enum TKind { kInt, kStr, kBool };
struct TValue
{
    QString Section;
    QString Ident;
    TKind Kind;
    QVariant Value;
};

// Every value the program keeps, each with a value other than its default.
QList<TValue> AllValues()
{
    QList<TValue> r = {
        {Main, LastUpdateCheck, kStr, QStringLiteral("20261209")},
        {Main, TVStart, kInt, 187},
        {Main, Filter, kInt, 3},
        {LDT, PCLeft, kInt, 412},
        {LDT, Indent, kBool, false},
        {LDT, Base64, kBool, true},
        {LDT, XPMDirectory, kStr, QStringLiteral("/opt/XPM LDK, praxis/Prüfmodul")},
        {LDT, XPMAutoCheck, kBool, true},
        {LDT, OutputDirectory, kStr, QStringLiteral("/var/tmp/Anlagen")},
    };
    for (const QString &sect : {Main, DetailDlg}) {
        r << TValue{sect, Saved, kBool, true} << TValue{sect, Left, kInt, -17} << TValue{sect, Top, kInt, 33}
          << TValue{sect, Width, kInt, 1234} << TValue{sect, Height, kInt, 567} << TValue{sect, WindowState, kInt, 2};
    }
    for (const QString &sect : {LDT_LV, LDT_TV, LDT_RAW}) {
        r << TValue{sect, FontName, kStr, QStringLiteral("DejaVu Sans Mono")} << TValue{sect, FontSize, kInt, 11}
          << TValue{sect, FontBold, kBool, true} << TValue{sect, FontItalic, kBool, false}
          << TValue{sect, FontUnderline, kBool, true} << TValue{sect, FontStrikeout, kBool, false}
          << TValue{sect, FontPitch, kStr, QStringLiteral("Fixed")} << TValue{sect, FontColor, kInt, 0x1234AB};
    }
    for (int c = 0; c <= 6; ++c) {
        r << TValue{LDTColumn(c), ColVisible, kBool, c % 2 == 0} << TValue{LDTColumn(c), ColWidth, kInt, 40 + c}
          << TValue{LDTColumn(c), ColPosition, kInt, 6 - c}
          << TValue{LDTColumn(c), ColCaption, kStr, QStringLiteral("Spalte %1").arg(c)};
    }
    return r;
}

// The text of one value as it stands in the store file.
QString RawValue(const QString &AFile, const QString &ASection, const QString &AIdent)
{
    QSettings s(AFile, QSettings::IniFormat);
    return s.value(QString(ASection).replace(QLatin1Char('\\'), QLatin1Char('/')) + QLatin1Char('/') + AIdent)
        .toString();
}

} // namespace

TEST_F(AppRegistry, EveryValueSurvivesAFreshStore)
{
    const QList<TValue> values = AllValues();
    {
        TAppReg reg(QStringLiteral("Norvalis Ventolix"));
        for (const TValue &v : values) {
            if (v.Kind == kInt)
                reg.WriteInteger(v.Section, v.Ident, v.Value.toInt());
            else if (v.Kind == kStr)
                reg.WriteString(v.Section, v.Ident, v.Value.toString());
            else
                reg.WriteBool(v.Section, v.Ident, v.Value.toBool());
        }
        reg.Close();
        EXPECT_FALSE(reg.IsOpen());
    }
    ASSERT_TRUE(QFile::exists(FHome.StoreFile()));
    TAppReg reg(QStringLiteral("Norvalis Ventolix"));
    for (const TValue &v : values) {
        SCOPED_TRACE((v.Section + QLatin1Char('/') + v.Ident).toStdString());
        const QString raw = RawValue(FHome.StoreFile(), v.Section, v.Ident);
        if (v.Kind == kInt) {
            EXPECT_EQ(reg.ReadInteger(v.Section, v.Ident, -999), v.Value.toInt());
            EXPECT_EQ(raw, QString::number(v.Value.toInt()));
        } else if (v.Kind == kStr) {
            EXPECT_EQ(reg.ReadString(v.Section, v.Ident, QStringLiteral("?")), v.Value.toString());
        } else {
            EXPECT_EQ(reg.ReadBool(v.Section, v.Ident, !v.Value.toBool()), v.Value.toBool());
            EXPECT_EQ(raw, v.Value.toBool() ? QStringLiteral("1") : QStringLiteral("0"));
        }
    }
}

TEST_F(AppRegistry, StoredTextsReadWithTheirDefaults)
{
    struct TCase
    {
        const char *Raw; // nullptr: missing
        bool BoolDefault;
        bool Bool;
        int Int;
    } cases[] = {
        {"0", true, false, 0},       {"1", false, true, 1},     {"2", false, true, 2},
        {"-7", false, true, -7},     {" 12 ", false, true, 12}, {"ja", true, true, 55},
        {"ja", false, false, 55},    {"", true, true, 55},      {nullptr, true, true, 55},
        {nullptr, false, false, 55}, {"1.5", false, false, 55},
    };
    int i = 0;
    for (const TCase &c : cases) {
        const QString ident = QStringLiteral("V%1").arg(i++);
        if (c.Raw) {
            QSettings s(FHome.StoreFile(), QSettings::IniFormat);
            s.setValue(QStringLiteral("Test/") + ident, QString::fromUtf8(c.Raw));
        }
        TAppReg reg(QStringLiteral("Norvalis Ventolix"));
        SCOPED_TRACE(c.Raw ? c.Raw : "(missing)");
        EXPECT_EQ(reg.ReadBool(QStringLiteral("Test"), ident, c.BoolDefault), c.Bool);
        EXPECT_EQ(reg.ReadInteger(QStringLiteral("Test"), ident, 55), c.Int);
    }
}

TEST_F(AppRegistry, FontRoundTripAndPitchWithoutCase)
{
    QLabel a, b;
    QFont f(QStringLiteral("DejaVu Serif"));
    f.setPointSize(17);
    f.setBold(true);
    f.setItalic(true);
    f.setStrikeOut(true);
    a.setFont(f);
    QPalette pal = a.palette();
    pal.setColor(QPalette::Text, QColor(0x12, 0x34, 0x56));
    a.setPalette(pal);
    TAppReg reg(QStringLiteral("Norvalis Ventolix"));
    reg.SaveFont(&a, LDT_LV);
    reg.LoadFont(&b, LDT_LV);
    EXPECT_EQ(b.font().family(), QStringLiteral("DejaVu Serif"));
    EXPECT_EQ(b.font().pointSize(), 17);
    EXPECT_TRUE(b.font().bold());
    EXPECT_TRUE(b.font().italic());
    EXPECT_TRUE(b.font().strikeOut());
    EXPECT_FALSE(b.font().underline());
    EXPECT_EQ(b.palette().color(QPalette::Text), QColor(0x12, 0x34, 0x56));

    for (const char *pitch : {"fixed", "FIXED", "Fixed", "fIxEd"}) {
        reg.WriteString(LDT_TV, FontName, QStringLiteral("DejaVu Sans"));
        reg.WriteString(LDT_TV, FontPitch, QString::fromLatin1(pitch));
        QLabel c;
        reg.LoadFont(&c, LDT_TV);
        EXPECT_TRUE(c.font().fixedPitch()) << pitch;
    }
    // no font name: the control keeps its font
    QLabel d;
    const QFont before = d.font();
    reg.WriteString(LDT_RAW, FontName, QString());
    reg.WriteInteger(LDT_RAW, FontSize, 40);
    reg.LoadFont(&d, LDT_RAW);
    EXPECT_EQ(d.font(), before);
}

// A font sized in pixels (the raw text's 21-pixel lines) comes back at the
// size it was drawn at, not at one point; a stored size of 0 or less keeps
// the control's size.
TEST_F(AppRegistry, PixelSizedFontsKeepTheirSize)
{
    TAppReg reg(QStringLiteral("Norvalis Ventolix"));
    QLabel a, b;
    QFont f(QStringLiteral("DejaVu Sans Mono"));
    f.setPixelSize(17);
    a.setFont(f);
    const int drawn = QFontInfo(a.font()).pixelSize();
    reg.SaveFont(&a, LDT_RAW);
    EXPECT_GT(reg.ReadInteger(LDT_RAW, FontSize, 0), 1);
    reg.LoadFont(&b, LDT_RAW);
    EXPECT_NEAR(QFontInfo(b.font()).pixelSize(), drawn, 1);
    for (int stored : {0, -1}) {
        reg.WriteInteger(LDT_RAW, FontSize, stored);
        QLabel c;
        const int size = c.font().pointSize();
        reg.LoadFont(&c, LDT_RAW);
        EXPECT_EQ(c.font().pointSize(), size) << stored;
    }
}

TEST_F(AppRegistry, MaximizedKeepsItsRestoredRectangleAndMinimizedIsStoredNormal)
{
    TAppReg reg(QStringLiteral("Norvalis Ventolix"));
    QWidget w;
    w.setGeometry(50, 60, 700, 400);
    w.showMaximized();
    QTRY_VERIFY(w.isMaximized());
    reg.SaveForm(&w, DetailDlg);
    EXPECT_EQ(reg.ReadInteger(DetailDlg, WindowState, -1), 2);
    EXPECT_EQ(reg.ReadInteger(DetailDlg, Width, -1), 700);
    EXPECT_EQ(reg.ReadInteger(DetailDlg, Height, -1), 400);

    QWidget m;
    m.setGeometry(10, 20, 300, 200);
    m.showMinimized();
    reg.SaveForm(&m, Main);
    EXPECT_EQ(reg.ReadInteger(Main, WindowState, -1), 0);

    // a stored minimized state comes back normal
    reg.WriteInteger(Main, WindowState, 1);
    QWidget n;
    reg.LoadForm(&n, Main);
    EXPECT_FALSE(n.windowState().testFlag(Qt::WindowMinimized));
    EXPECT_EQ(n.geometry().size(), QSize(300, 200));
}

TEST_F(AppRegistry, UnwritableStoreRaisesTheKeyErrorWithItsPath)
{
    // the organisation's directory is a plain file: nothing can be written below it
    QFile blocker(FHome.Path() + QStringLiteral("/Norvalis GmbH"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    TAppReg reg(QStringLiteral("Norvalis Ventolix"));
    reg.WriteInteger(Main, Filter, 2);
    try {
        reg.Close();
        FAIL() << "no error raised";
    } catch (const ELDT3Error &e) {
        EXPECT_EQ(e.Message(), QStringLiteral("Fehler beim Öffnen des Registry-Schlüssels: ") + FHome.StoreFile());
    }
    EXPECT_FALSE(reg.IsOpen());
}

TEST_F(AppRegistry, AMalformedStoreIsReadAsFarAsItGoesAndWrittenAnew)
{
    QDir().mkpath(QFileInfo(FHome.StoreFile()).absolutePath());
    {
        QFile f(FHome.StoreFile());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("[Main]\nFilter=3\n[LDT\n\x01\x02M\xFCll=\n");
    }
    TAppReg reg(QStringLiteral("Norvalis Ventolix"));
    EXPECT_EQ(reg.ReadInteger(Main, Filter, 1), 3);
    reg.WriteInteger(Main, TVStart, 99);
    EXPECT_NO_THROW(reg.Close());
    TAppReg again(QStringLiteral("Norvalis Ventolix"));
    EXPECT_EQ(again.ReadInteger(Main, TVStart, 0), 99);
    EXPECT_EQ(again.ReadInteger(Main, Filter, 1), 3);
}

TEST_F(AppRegistry, ClearErasesEverythingAndTheStoreReopens)
{
    TAppReg reg(QStringLiteral("Norvalis Ventolix"));
    reg.WriteString(LDT, XPMDirectory, QStringLiteral("/x"));
    reg.Close();
    reg.Clear();
    EXPECT_EQ(reg.ReadString(LDT, XPMDirectory, QStringLiteral("leer")), QStringLiteral("leer"));
    reg.Close();
    TAppReg again(QStringLiteral("Norvalis Ventolix"));
    EXPECT_EQ(again.ReadString(LDT, XPMDirectory, QStringLiteral("leer")), QStringLiteral("leer"));
}

TEST(AppRegistryInstance, NamedAfterTheApplicationTitle)
{
    TAppReg &a = GetAppReg();
    EXPECT_EQ(&a, &GetAppReg());
    EXPECT_EQ(a.AppName(), QStringLiteral("Norvalis Ventolix"));
    EXPECT_EQ(a.AppRegKey(), QStringLiteral("\\Software\\Norvalis GmbH\\Norvalis Ventolix"));
    // without a name: the program's file name
    TAppReg unnamed{QString()};
    EXPECT_EQ(unnamed.AppName(), QStringLiteral("ui_test_Vex_AppRegistry"));
}

TEST(FileVersion, TextsAndNumbers)
{
    struct TCase
    {
        const char *Text;
        const char *Back; // "" = invalid
    } cases[] = {
        {"1.2", "1.2.0.0"},       {"1.2.3.4", "1.2.3.4"}, {"65535.0.0.65535", "65535.0.0.65535"},
        {"1.70000", ""},          {"1.-2", ""},           {"1.2.3.4.5", ""},
        {"a.b", ""},              {"", "0.0.0.0"},        {"7..9", "7.0.9.0"},
    };
    for (const TCase &c : cases)
        EXPECT_EQ(FileVersionToStr(StrToFileVersion(QString::fromLatin1(c.Text))), QString::fromLatin1(c.Back)) << c.Text;
    EXPECT_GT(StrToFileVersion(QStringLiteral("1.2")), StrToFileVersion(QStringLiteral("1.1.65535.65535")));
    // the program's own version is the build's
    EXPECT_EQ(GetFileVersionInfo().FileVersion(), FileVersionToStr(StrToFileVersion(QStringLiteral(VENTOLIX_VERSION))));
    EXPECT_FALSE(GetFileVersionInfo().FileVersion().isEmpty());
    EXPECT_EQ(GetAppTitle(), QStringLiteral("Norvalis Ventolix"));
}

VENTOLIX_UI_TEST_MAIN()
