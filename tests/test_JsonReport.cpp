// The checker's --json output against the library.
#include "JsonReport.h"
#include "JsonStreamWriter.h"
#include "LDT3.Document.h"
#include "LDT3.LVBase.h"

#include "TreeTestUtil.h"

#include <QBuffer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>

using namespace treetest;

namespace {

QJsonDocument Parse(const QString &AText)
{
    QJsonParseError e;
    const QJsonDocument d = QJsonDocument::fromJson(AText.toUtf8(), &e);
    EXPECT_EQ(e.error, QJsonParseError::NoError) << e.errorString().toStdString();
    return d;
}

} // namespace

TEST(JsonReport, SamplesAgreeWithTheLibrary)
{
    const QStringList files = testutil::SampleFiles();
    ASSERT_EQ(files.size(), 18);
    QString text;
    QTextStream out(&text);
    const int rc = WriteJsonReport(files, TJsonOptions(), out);
    const QJsonDocument doc = Parse(text);
    ASSERT_TRUE(doc.isArray());
    const QJsonArray arr = doc.array();
    ASSERT_EQ(arr.size(), files.size());

    int expectRc = 0;
    for (int n = 0; n < files.size(); ++n) {
        SCOPED_TRACE(files[n].toStdString());
        const QJsonObject o = arr[n].toObject();
        TLDT3LineList list;
        list.SetMaxInvalidLines(30);
        ASSERT_TRUE(list.GetLDT3FilePtrList(files[n]));
        const TLDT3FilePtrList &f = *list.PtrList();
        expectRc = qMax(expectRc, LineListExitCode(list));

        const QStringList keys = {"file", "size", "lines", "rejected", "invalidLines", "emptyLinesAtEnd",
                                  "fileErrors", "fileNameOk", "version", "versionOk", "checksum", "structureOk",
                                  "pathAndLevelOk", "tree", "attachments", "errorCounts", "errors",
                                  "tables"}; // LDT 3.2.4 files: checked by the 3.2.20 tables
        QStringList sortedKeys = keys;
        sortedKeys.sort();
        EXPECT_EQ(o.keys(), sortedKeys);
        EXPECT_EQ(o["file"].toString(), files[n]);
        EXPECT_EQ(o["size"].toInteger(), f.FileSize());
        EXPECT_EQ(o["lines"].toInt(), f.Count());
        EXPECT_FALSE(o["rejected"].toBool());
        EXPECT_EQ(o["invalidLines"].toInt(), f.InvalidLines());
        EXPECT_EQ(o["emptyLinesAtEnd"].toInt(), f.EmptyLinesAtEnd());
        EXPECT_EQ(o["fileErrors"].toInt(), f.FileErrors());
        EXPECT_EQ(o["fileNameOk"].toBool(), TLDT3::CheckFileName(files[n]));
        EXPECT_EQ(o["version"].toString(), f.XDTVersion());
        EXPECT_EQ(o["versionOk"].toBool(), f.IsLDT_3_1_2_OrHigher());
        EXPECT_EQ(o["tables"].toString(), QStringLiteral("LDT3.2.20"));
        const QJsonObject cs = o["checksum"].toObject();
        EXPECT_EQ(cs["inFile"].toString(), f.CheckSumOrg());
        EXPECT_EQ(cs["calculated"].toString(), f.CheckSumCalculated());
        EXPECT_EQ(cs["ok"].toBool(), f.CheckSumOkay());
        EXPECT_EQ(o["structureOk"].toBool(), f.StructureOkay());
        EXPECT_EQ(o["pathAndLevelOk"].toBool(), f.PathAndLevelOkay());

        const QJsonObject tree = o["tree"].toObject();
        EXPECT_EQ(tree["built"].toBool(), list.LDTTreeBuilt());
        EXPECT_EQ(tree["records"].toInt(), list.Datenpaket()->SatzCount());
        EXPECT_EQ(tree["caption"].toString(), list.Datenpaket()->LDTRoot()->Caption());
        EXPECT_EQ(tree["error"].toString(), list.Datenpaket()->BuildError());
        const TLDT3FileTyp ft = list.Datenpaket()->LDTRoot()->LDT3FileTyp();
        EXPECT_EQ(tree["fileType"].toString(), ft == ftAuftrag ? "Auftrag" : ft == ftBefund ? "Befund" : "");

        const QJsonArray att = o["attachments"].toArray();
        ASSERT_EQ(att.size(), f.Base64AnalgenList().Count());
        for (int i = 0; i < att.size(); ++i) {
            const TLDT3Base64Anlage *a = f.Base64AnalgenList().Items(i);
            const QJsonObject j = att[i].toObject();
            EXPECT_EQ(j["number"].toInt(), a->Number());
            EXPECT_EQ(j["caption"].toString(), a->AnhangCaption());
            EXPECT_EQ(j["format"].toString(), a->DateiFormat());
            EXPECT_EQ(j["startLine"].toInt(), a->StartZeile());
            EXPECT_EQ(j["endLine"].toInt(), a->EndeZeile());
            EXPECT_EQ(j["defaultFileName"].toString(), a->DefaultFileNameNoPath());
        }

        const QJsonObject counts = o["errorCounts"].toObject();
        EXPECT_EQ(counts.keys().size(), 8);
        for (int bit : {1, 2, 4, 8, 16, 32, 64, 128})
            EXPECT_EQ(counts[QString::number(bit)].toInt(-1), f.ErrorCounter().GetCount(bit)) << bit;

        const QJsonArray errors = o["errors"].toArray();
        ASSERT_EQ(errors.size(), f.LineErrorList().Count());
        for (int i = 0; i < errors.size(); ++i) {
            const QJsonObject e = errors[i].toObject();
            const int idx = f.LineErrorList().Items(i).PtrIdx();
            EXPECT_EQ(e["line"].toInt(), idx + 1);
            EXPECT_EQ(e["lineErrorCode"].toInt(), f.LineErrorCode(idx));
            EXPECT_EQ(e["feldErrorCode"].toInt(), f.FeldErrorCode(idx));
            EXPECT_EQ(e["message"].toString(), f.ErrorMsg(idx));
        }
    }
    EXPECT_EQ(rc, expectRc);
}

TEST(JsonReport, ExitCodesAndSingleObject)
{
    QTemporaryDir dir;
    QByteArray bad = L(8410, "y");
    bad[2] = '9';
    QByteArray garbage = BefundFile(QByteArray());
    for (int i = 0; i < 40; ++i)
        garbage += "garbage\r\n";
    struct Case { const char *name; QByteArray bytes; int rc; };
    const Case cases[] = {
        {"Z0100001.ldt", BefundFile(Befund(bad)), 1},   // a line error
        {"Z0100002.ldt", garbage, 2},                   // rejected
        {"Z0100003.ldt", QByteArray(), 2},              // empty
        {"Z0100004.ldt", BefundFile(Befund(bad)).replace("LDT3.2.4", "LDT3.1.3"), 1},
    };
    for (const Case &c : cases) {
        const QString path = testutil::WriteFile(dir, QString::fromLatin1(c.name), c.bytes);
        QString text;
        QTextStream out(&text);
        EXPECT_EQ(WriteJsonReport({path}, TJsonOptions(), out), c.rc) << c.name;
        const QJsonDocument d = Parse(text);
        ASSERT_TRUE(d.isObject()) << c.name;
        EXPECT_EQ(d.object()["file"].toString(), path);
        // a 3.2.x file names its tables; a 3.1.3 file's output stays as it was
        const bool v32 = c.bytes.contains("LDT3.2.4");
        EXPECT_EQ(d.object().contains(QStringLiteral("tables")), v32) << c.name;
        if (v32) {
            EXPECT_EQ(d.object()["tables"].toString(), QStringLiteral("LDT3.2.20"));
        }
        if (c.rc == 2 && c.bytes.isEmpty()) {
            EXPECT_FALSE(d.object()["readError"].toString().isEmpty());
        }
    }
    QString text;
    QTextStream out(&text);
    TJsonOptions opt;
    opt.MaxInvalidLines = 0; // no cut-off: the garbage file is read to the end
    EXPECT_EQ(WriteJsonReport({dir.filePath("Z0100002.ldt")}, opt, out), 1);
    const QJsonObject o = Parse(text).object();
    EXPECT_FALSE(o["rejected"].toBool());
    EXPECT_EQ(o["invalidLines"].toInt(), 40);
    EXPECT_EQ(o["errorCounts"].toObject()["2"].toInt(), 40);

    text.clear();
    EXPECT_EQ(WriteJsonReport({dir.filePath("missing.ldt")}, TJsonOptions(), out), 2);
    EXPECT_FALSE(Parse(text).object()["readError"].toString().isEmpty());
}

// The streamed report for no, one and several files (rejected, unreadable,
// empty among them) is valid JSON in exactly the layout QJsonDocument gives it.
TEST(JsonReport, StreamedReportIsValidForAnyNumberOfFiles)
{
    QTemporaryDir dir;
    QByteArray garbage = BefundFile(QByteArray());
    for (int i = 0; i < 40; ++i)
        garbage += "garbage\r\n";
    QByteArray bad = L(8410, "y");
    bad[2] = '9';
    const QString good = testutil::WriteFile(dir, "Z0100001.ldt", BefundFile(Befund(bad)));
    const QString rejected = testutil::WriteFile(dir, "Z0100002.ldt", garbage);
    const QString empty = testutil::WriteFile(dir, "Z0100003.ldt", QByteArray());
    const QString missing = dir.filePath("fehlt.ldt");
    struct Case { QStringList files; int rc; };
    const Case cases[] = {
        {{}, 0},
        {{good}, 1},
        {{rejected}, 2},
        {{good, rejected, missing, empty, good}, 2},
        {{missing, good}, 2},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.files.join(u',').toStdString());
        QString text;
        QTextStream out(&text);
        EXPECT_EQ(WriteJsonReport(c.files, TJsonOptions(), out), c.rc);
        const QJsonDocument d = Parse(text);
        EXPECT_EQ(text, QString::fromUtf8(d.toJson(QJsonDocument::Indented)));
        if (c.files.size() == 1) {
            ASSERT_TRUE(d.isObject());
            continue;
        }
        ASSERT_TRUE(d.isArray());
        const QJsonArray arr = d.array();
        ASSERT_EQ(arr.size(), c.files.size());
        for (int i = 0; i < arr.size(); ++i) {
            const QJsonObject o = arr[i].toObject();
            EXPECT_EQ(o["file"].toString(), c.files[i]);
            EXPECT_EQ(o.contains("readError"), c.files[i] == missing || c.files[i] == empty);
            EXPECT_EQ(o["rejected"].toBool(), c.files[i] == rejected);
            TLDT3Document doc;
            doc.Open(c.files[i]);
            EXPECT_EQ(o["errors"].toArray().size(), doc.PtrList()->LineErrorList().Count());
        }
    }
}

// The errors of a large file reach the device while they are written, not
// after the whole report stands in memory.
TEST(JsonReport, ErrorsReachTheDeviceAsTheyAreWritten)
{
    QTemporaryDir dir;
    QByteArray body;
    for (int i = 0; i < 20000; ++i)
        body += "\r\n";
    const QString file = testutil::WriteFile(dir, "Z0100004.ldt", BefundFile(Befund(body)));
    QBuffer device;
    ASSERT_TRUE(device.open(QIODevice::WriteOnly));
    QTextStream out(&device);
    TJsonOptions opt;
    opt.MaxInvalidLines = 0;
    EXPECT_EQ(WriteJsonReport({file}, opt, out), 1);
    const QJsonObject o = Parse(QString::fromUtf8(device.data())).object();
    const QJsonArray errors = o["errors"].toArray();
    ASSERT_GE(errors.size(), 20000);
    EXPECT_EQ(errors[10000].toObject()["line"].toInt(), errors[9999].toObject()["line"].toInt() + 1);

    // a writer left open has handed on all but its last block
    QBuffer partial;
    ASSERT_TRUE(partial.open(QIODevice::WriteOnly));
    QTextStream pout(&partial);
    TJsonStreamWriter w(pout);
    w.BeginArray();
    for (int i = 0; i < 20000; ++i)
        w.Value(QStringView(u"Leerzeile"));
    EXPECT_GT(partial.size(), 100000);
}

// Strings as QJsonDocument writes them: every UTF-16 code unit alone, pairs,
// lone surrogates and the escapes.
TEST(JsonReport, StringsEscapedAsQJsonDocument)
{
    auto qt = [](const QString &s) {
        const QByteArray a = QJsonDocument(QJsonArray{s}).toJson(QJsonDocument::Compact);
        return a.mid(1, a.size() - 2);
    };
    auto ours = [](const QString &s) {
        QByteArray b;
        TJsonStreamWriter::AppendString(b, s);
        return b;
    };
    for (uint u = 0; u <= 0xFFFF; ++u) {
        const QString s = QStringLiteral("a") + QChar(char16_t(u)) + QStringLiteral("b");
        ASSERT_EQ(ours(s), qt(s)) << u;
    }
    const QString mixed = QString::fromUtf8("\"x\\y\"\t\r\n\x01 ü € 😀 ") + QChar(char16_t(0xD800)) +
                          QChar(char16_t(0xDC00)) + QChar(char16_t(0xDBFF));
    EXPECT_EQ(ours(mixed), qt(mixed));
    EXPECT_EQ(ours(QString()), QByteArray("\"\""));
}
