// Files that arrive from outside: huge, degenerate or deeply nested inputs
// must open without crash, hang or unbounded memory; names must never let a
// write escape its directory.
#include "LDT3.Data.h"
#include "LDT3.FilePtrList.h"
#include "LDT3.LVBase.h"

#include "TestUtil.h"

#include <QDirIterator>
#include <QProcess>

namespace {

QByteArray L(int fk, const QByteArray &content)
{
    return TLDT3::IntToTBytes_LZ(content.size() + 9, 3) + TLDT3::IntToTBytes_LZ(fk, 4) + content + "\r\n";
}

QString WriteBig(const QTemporaryDir &dir, const QString &name, const std::function<void(QFile &)> &AWrite)
{
    const QString path = dir.filePath(name);
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::WriteOnly));
    AWrite(f);
    return path;
}

// The whole open sequence of the viewer: load, trees, rows, reports.
void OpenLikeTheViewer(const QString &AFileName, int AMaxInvalid = 0)
{
    TLDT3LineList list;
    list.SetMaxInvalidLines(AMaxInvalid);
    list.GetLDT3FilePtrList(AFileName);
    list.BuildLineList(true);
    (void)list.GetFileInfoXHTML();
    (void)list.GetFeldStatistikXHTML();
}

} // namespace

TEST(HostileFiles, SingleLineOf200MBWithoutLineEnd)
{
    QTemporaryDir dir;
    const QString f = WriteBig(dir, QStringLiteral("Z01one.ldt"), [](QFile &out) {
        const QByteArray chunk(1 << 20, 'A');
        for (int i = 0; i < 200; ++i)
            out.write(chunk);
    });
    TLDT3FilePtrList list;
    EXPECT_TRUE(list.LoadFromFile(f));
    ASSERT_EQ(list.Count(), 1);
    EXPECT_EQ(list.LineErrorCode(0), LE_InvalidLine | LE_CrLf);
    EXPECT_EQ(list.LenOrgLine(0), 200 << 20);
    list.Clear();
    OpenLikeTheViewer(f, 30);
}

TEST(HostileFiles, TenMillionEmptyLines)
{
    QTemporaryDir dir;
    const QString f = WriteBig(dir, QStringLiteral("Z01empty.ldt"), [](QFile &out) {
        QByteArray chunk;
        for (int i = 0; i < 100000; ++i)
            chunk += "\r\n";
        for (int i = 0; i < 100; ++i)
            out.write(chunk);
    });
    TLDT3FilePtrList list;
    EXPECT_TRUE(list.LoadFromFile(f));
    EXPECT_EQ(list.Count(), 10000000);
    EXPECT_EQ(list.EmptyLinesAtEnd(), 10000000);
    EXPECT_EQ(list.FileErrors(), LE_EmptyLineAtEnd);
    EXPECT_FALSE(list.StructureOkay()); // no record at all
    list.Clear();
    // the viewer's cut-off stops at the 31st invalid line
    TLDT3FilePtrList cut;
    cut.SetMaxInvalidLines(30);
    EXPECT_FALSE(cut.LoadFromFile(f));
    EXPECT_EQ(cut.Count(), 31);
    OpenLikeTheViewer(f, 30);
}

TEST(HostileFiles, HundredThousandNestedObjects)
{
    const int depth = 100000;
    QTemporaryDir dir;
    const QString f = WriteBig(dir, QStringLiteral("Z01deep.ldt"), [&](QFile &out) {
        out.write(L(8000, "8205"));
        for (int i = 0; i < depth; ++i)
            out.write(L(8110, "x") + L(8002, "Obj_0010"));
        out.write(L(9970, "1"));
        for (int i = 0; i < depth; ++i)
            out.write(L(8003, "Obj_0010"));
        out.write(L(8001, "8205"));
    });
    TLDT3FilePtrList list;
    ASSERT_TRUE(list.LoadFromFile(f));
    EXPECT_TRUE(list.StructureOkay());
    ASSERT_TRUE(list.PathAndLevelOkay());
    const int inner = 1 + 2 * depth; // the 9970 line
    EXPECT_EQ(list.Level(inner), 2 * depth);
    EXPECT_EQ(list.Path(inner).size(), depth + 1);
    // one path node per container, not per line
    EXPECT_EQ(list.PathNodeCount(), depth + 1);
    list.Clear();
    OpenLikeTheViewer(f);
}

TEST(HostileFiles, AttachmentOf100MBBase64)
{
    QTemporaryDir dir;
    SetLDTTmpDir(dir.filePath(QStringLiteral("tmp")));
    const int lines = 100 * 1024 * 1024 / 76;
    const QByteArray b64line = QByteArray(57, 'z').toBase64(); // 76 characters, 57 bytes
    const QString f = WriteBig(dir, QStringLiteral("Z01anlage.ldt"), [&](QFile &out) {
        out.write(L(8000, "8205") + L(8110, "A") + L(8002, "Obj_0010") + L(8242, "x") + L(8002, "Obj_0068"));
        QByteArray chunk;
        for (int i = 0; i < 1000; ++i)
            chunk += L(6329, b64line);
        for (int i = 0; i < lines / 1000; ++i)
            out.write(chunk);
        out.write(L(8003, "Obj_0068") + L(6303, "bin") + L(8003, "Obj_0010") + L(8001, "8205"));
    });
    TLDT3FilePtrList list;
    ASSERT_TRUE(list.LoadFromFile(f));
    ASSERT_EQ(list.Base64AnalgenList().Count(), 1);
    const QString out = dir.filePath(QStringLiteral("out.bin"));
    ASSERT_TRUE(list.Base64AnalgenList().Items(0)->SaveToFile(out));
    EXPECT_EQ(QFileInfo(out).size(), qint64(lines / 1000) * 1000 * 57);
    SetLDTTmpDir(QString());
}

TEST(HostileFiles, CheckerNamesAndExtractStayInside)
{
    const QString checker = testutil::BinDir() + QStringLiteral("/cli/ventolix-check");
    QTemporaryDir dir;
    const QByteArray pdf = QByteArray("%PDF-1.4 x\n%%EOF\n").toBase64();
    const QByteArray body = L(8000, "8205") + L(8110, "A") + L(8002, "Obj_0010") + L(8242, "x")
                            + L(8002, "Obj_0068") + L(6329, pdf) + L(8003, "Obj_0068") + L(6303, "pdf")
                            + L(8003, "Obj_0010") + L(8001, "8205");
    QDir().mkpath(dir.filePath(QStringLiteral("out")));
    const QStringList names = {QStringLiteral("-Z01 mit Leer.ldt"), QStringLiteral("Z01ÄÖÜß.ldt"),
                               QStringLiteral("Z01\"quote'.ldt"), QStringLiteral("..Z01.ldt")};
    for (const QString &name : names) {
        SCOPED_TRACE(name.toStdString());
        const QString f = testutil::WriteFile(dir, name, body);
        QProcess p;
        p.setWorkingDirectory(dir.path());
        p.start(checker, {QStringLiteral("--extract"), QStringLiteral("out"), QStringLiteral("--"), name});
        ASSERT_TRUE(p.waitForFinished(60000));
        EXPECT_NE(p.exitCode(), 2) << p.readAllStandardError().toStdString();
        EXPECT_TRUE(QString::fromUtf8(p.readAllStandardOutput()).contains(name.left(name.size() - 4)));
    }
    // every written file lies inside out/, nothing beside the inputs
    int written = 0;
    QDirIterator it(dir.path(), QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        if (names.contains(QFileInfo(path).fileName()))
            continue;
        EXPECT_TRUE(path.startsWith(dir.filePath(QStringLiteral("out/")))) << path.toStdString();
        ++written;
    }
    EXPECT_EQ(written, names.size());
}
