// The compiled-in icon set: every icon the windows ask for is there, is a
// 24 x 24 drawing and actually paints something at the sizes menus and tool
// bars use; nothing in the set that no one asks for.
#include "TestUtil.h"

#include <QApplication>
#include <QDir>
#include <QIcon>
#include <QImage>
#include <QPixmap>
#include <QXmlStreamReader>

namespace {

// The names the windows look up (:/icons/<name>.svg).
const char *const kIconNames[] = {
    "open", "save-as", "close", "reopen", "xpm", "about", "settings", "quit",
    "nav-first", "nav-prev", "nav-next", "nav-last", "nav-prev-error", "nav-next-error",
    "nav-prev-page", "nav-next-page", "indent",
    "goto-line", "sync", "search", "search-prev", "search-next",
    "details", "columns", "font", "base64", "copy", "select-all",
    "mark-error", "mark-range", "mark-ok", "mark-xpm", "mark-attachment",
    "back", "forward", "refresh", "lookup", "ventolix", "ldt-file"};

QString ResourcePath(const char *AName) { return QStringLiteral(":/icons/%1.svg").arg(QLatin1String(AName)); }

// Share of pixels that are not fully transparent.
double CoveredShare(const QImage &AImage)
{
    const QImage img = AImage.convertToFormat(QImage::Format_ARGB32);
    qsizetype covered = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (qAlpha(img.pixel(x, y)) > 0)
                ++covered;
    return double(covered) / double(img.width() * img.height());
}

} // namespace

TEST(Icons, EveryNamedIconIsAWellFormed24PixelDrawing)
{
    for (const char *name : kIconNames) {
        SCOPED_TRACE(name);
        QFile f(ResourcePath(name));
        ASSERT_TRUE(f.open(QIODevice::ReadOnly)) << "missing from the resources";
        QXmlStreamReader xml(&f);
        ASSERT_TRUE(xml.readNextStartElement());
        EXPECT_EQ(xml.name(), QLatin1String("svg"));
        EXPECT_EQ(xml.attributes().value(QLatin1String("viewBox")), QLatin1String("0 0 24 24"));
        while (!xml.atEnd())
            xml.readNext();
        EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
    }
}

TEST(Icons, EveryIconPaintsAtMenuAndToolbarSizes)
{
    for (const char *name : kIconNames) {
        SCOPED_TRACE(name);
        const QIcon icon(ResourcePath(name));
        ASSERT_FALSE(icon.isNull());
        for (int size : {16, 24, 48}) {
            const QPixmap pm = icon.pixmap(size, size);
            ASSERT_FALSE(pm.isNull()) << size;
            const double share = CoveredShare(pm.toImage());
            // a blank picture (nothing drawn) or a solid square (a broken drawing
            // filled as one shape) are both faults
            EXPECT_GT(share, 0.08) << size;
            EXPECT_LT(share, 0.99) << size;
        }
    }
}

TEST(Icons, TheSetHoldsNoIconThatIsNotAskedFor)
{
    QStringList expected;
    for (const char *name : kIconNames)
        expected << QLatin1String(name) + QLatin1String(".svg");
    expected.sort();
    QStringList present = QDir(QStringLiteral(":/icons")).entryList(QDir::Files, QDir::Name);
    present.sort();
    EXPECT_EQ(present, expected);
}

TEST(Icons, SourceFolderAndResourceListAgree)
{
    // an SVG added to app/icons/ but not to icons.qrc would be installed yet not compiled in
    const QDir src(QStringLiteral(VENTOLIX_SOURCE_DIR "/app/icons"));
    QStringList files = src.entryList({QStringLiteral("*.svg")}, QDir::Files, QDir::Name);
    QStringList present = QDir(QStringLiteral(":/icons")).entryList(QDir::Files, QDir::Name);
    files.sort();
    present.sort();
    EXPECT_EQ(files, present);
}

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
