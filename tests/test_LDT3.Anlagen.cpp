#include "LDT3.Anlagen.h"
#include "LDT3.Data.h"
#include "LDT3.FilePtrList.h"

#include "TestUtil.h"

#include <QDir>
#include <QFileInfo>

#include <csignal>
#include <sys/resource.h>

namespace {

QByteArray L(int fk, const QByteArray &content)
{
    return TLDT3::IntToTBytes_LZ(content.size() + 9, 3) + TLDT3::IntToTBytes_LZ(fk, 4) + content + "\r\n";
}

// An attachment object with the given Base64 lines and describing fields.
QByteArray Anlage(const QList<QByteArray> &b64, const QByteArray &describing, bool closeData = true,
                  bool closeAnlage = true)
{
    QByteArray r = L(8110, "Anhang") + L(8002, "Obj_0010") + L(9970, "1") + L(8242, "x") + L(8002, "Obj_0068");
    for (const QByteArray &b : b64)
        r += L(6329, b);
    if (closeData)
        r += L(8003, "Obj_0068");
    r += describing;
    if (closeAnlage)
        r += L(8003, "Obj_0010");
    return r;
}

QByteArray Record(const QByteArray &body)
{
    return L(8000, "8205") + body + L(8001, "8205");
}

class AnlagenTest : public ::testing::Test
{
protected:
    void SetUp() override { SetLDTTmpDir(FTmp.filePath(QStringLiteral("tmp"))); }
    void TearDown() override
    {
        for (const QString &f : TLDT3Data::ScheduledFiles())
            QFile::remove(f);
        TLDT3Data::DeleteScheduledFiles();
    }
    TLDT3FilePtrList &Load(const QByteArray &bytes, const QString &name = QStringLiteral("Z01abc.ldt"))
    {
        FList.LoadFromFile(testutil::WriteFile(FTmp, name, bytes));
        return FList;
    }
    QTemporaryDir FTmp;
    TLDT3FilePtrList FList;
};

} // namespace

// The scan's state machine on a family of small files.
TEST_F(AnlagenTest, ScanStates)
{
    const QByteArray pdf = QByteArray("%PDF-1.4 hallo\n%%EOF\n").toBase64();
    struct Case { const char *name; QByteArray body; int count; };
    const Case cases[] = {
        {"complete", Anlage({pdf}, L(6303, "pdf") + L(6327, "Befund")), 1},
        {"two", Anlage({pdf}, L(6303, "pdf")) + Anlage({pdf}, {}), 2},
        {"no base64 lines", Anlage({}, L(6303, "pdf")), 0},
        {"second 6303 stops the scan", Anlage({pdf}, L(6303, "pdf") + L(6303, "pdf")), 0},
        {"data object never closed", Anlage({pdf}, L(6303, "pdf"), false), 0},
        {"attachment object never closed", Anlage({pdf}, L(6303, "pdf"), true, false), 0},
        {"9970 missing", L(8110, "A") + L(8002, "Obj_0010") + L(8242, "x") + L(8002, "Obj_0068") + L(6329, pdf)
                             + L(8003, "Obj_0068") + L(8003, "Obj_0010"), 1},
    };
    for (const Case &c : cases) {
        TLDT3FilePtrList &l = Load(Record(c.body));
        EXPECT_EQ(l.Base64AnalgenList().Count(), c.count) << c.name;
    }
}

TEST_F(AnlagenTest, NumberNamesCaptionAndTemporaryPdf)
{
    const QByteArray pdfBytes("%PDF-1.4 inhalt\n%%EOF\n");
    TLDT3FilePtrList &l = Load(Record(Anlage({pdfBytes.toBase64()}, L(6303, "pdf") + L(6327, "Befund"))
                                      + Anlage({QByteArray("abc").toBase64()}, {})));
    ASSERT_EQ(l.Base64AnalgenList().Count(), 2);
    TLDT3Base64Anlage *a = l.Base64AnalgenList().Items(0);
    EXPECT_EQ(a->Number(), 1);
    EXPECT_EQ(a->AnhangStartZeile(), 2);
    EXPECT_EQ(a->StartZeile(), 7);
    EXPECT_EQ(a->EndeZeile(), 7);
    EXPECT_EQ(a->AnhangEndeZeile(), 11);
    EXPECT_EQ(a->DefaultFileNameNoPath(), QStringLiteral("Z01abc_Anhang_1.pdf"));
    EXPECT_EQ(a->SavedToFileName(), l.TmpDirectory() + QStringLiteral("Z01abc_Anhang_1.pdf"));
    EXPECT_TRUE(a->IsAnlageSaved());
    EXPECT_EQ(testutil::ReadAll(a->SavedToFileName()), pdfBytes);
    EXPECT_TRUE(TLDT3Data::ScheduledFiles().contains(a->SavedToFileName()));
    EXPECT_TRUE(a->AnhangCaption().startsWith(QStringLiteral("Anlage 1 [")));
    EXPECT_TRUE(a->AnhangCaption().endsWith(QStringLiteral("] - Dateiformat: \"pdf\" Inhalt: \"Befund\"")));

    TLDT3Base64Anlage *b = l.Base64AnalgenList().Items(1);
    EXPECT_EQ(b->DefaultFileNameNoPath(), QStringLiteral("Z01abc_Anhang_2"));
    EXPECT_FALSE(b->IsAnlageSaved());
    EXPECT_TRUE(b->AnhangCaption().endsWith(QStringLiteral("] - Dateiformat: \"Nicht angegeben\"")));

    // line ranges
    EXPECT_EQ(l.GetAnlagen(6, 6), QList<TLDT3Base64Anlage *>({a}));
    EXPECT_EQ(l.GetAnlagen(0, l.Count() - 1), QList<TLDT3Base64Anlage *>({a, b}));
}

TEST_F(AnlagenTest, PointInFileNameKeepsNumbersApart)
{
    const QByteArray pdf = QByteArray("%PDF-1 x\n%%EOF\n").toBase64();
    TLDT3FilePtrList &l = Load(Record(Anlage({pdf}, L(6303, ".PDF")) + Anlage({pdf}, L(6303, "pdf"))),
                               QStringLiteral("Z01.2026.ldt"));
    ASSERT_EQ(l.Base64AnalgenList().Count(), 2);
    EXPECT_EQ(l.Base64AnalgenList().Items(0)->DefaultFileNameNoPath(), QStringLiteral("Z01.2026_Anhang_1.PDF"));
    EXPECT_EQ(l.Base64AnalgenList().Items(1)->DefaultFileNameNoPath(), QStringLiteral("Z01.2026_Anhang_2.pdf"));
    EXPECT_NE(l.Base64AnalgenList().Items(0)->SavedToFileName(), l.Base64AnalgenList().Items(1)->SavedToFileName());
}

TEST_F(AnlagenTest, SaveFailuresLeaveNothingBehind)
{
    const QByteArray data = QByteArray(100000, 'z');
    QList<QByteArray> lines;
    const QByteArray b64 = data.toBase64();
    for (qsizetype i = 0; i < b64.size(); i += 76)
        lines << b64.mid(i, 76);
    TLDT3FilePtrList &l = Load(Record(Anlage(lines, L(6303, "bin"))));
    ASSERT_EQ(l.Base64AnalgenList().Count(), 1);
    TLDT3Base64Anlage *a = l.Base64AnalgenList().Items(0);
    int events = 0;
    a->SetOnSaveEvent([&](TLDT3Base64Anlage *) { ++events; throw std::runtime_error("ignored"); });

    const QString good = FTmp.filePath(QStringLiteral("out.bin"));
    EXPECT_TRUE(a->SaveToFile(good));
    EXPECT_EQ(testutil::ReadAll(good), data);
    EXPECT_EQ(a->SavedToFileName(), good);
    EXPECT_EQ(events, 1);

    // a directory that does not exist
    const QString missing = FTmp.filePath(QStringLiteral("nicht/da/out.bin"));
    EXPECT_THROW(a->SaveToFile(missing), ELDT3Error);
    EXPECT_EQ(a->SavedToFileName(), QString());
    EXPECT_FALSE(QFileInfo::exists(missing));

    // a read-only directory: the earlier file stays as it was, no partial file
    if (getuid() != 0) {
        QDir().mkpath(FTmp.filePath(QStringLiteral("ro")));
        const QString ro = FTmp.filePath(QStringLiteral("ro/out.bin"));
        QFile(FTmp.filePath(QStringLiteral("ro"))).setPermissions(QFileDevice::ReadOwner | QFileDevice::ExeOwner);
        EXPECT_THROW(a->SaveToFile(ro), ELDT3Error);
        EXPECT_FALSE(QFileInfo::exists(ro));
    }
}

TEST_F(AnlagenTest, EmptyBase64LinesCannotBeSaved)
{
    TLDT3FilePtrList &l = Load(Record(Anlage({QByteArray()}, L(6303, "pdf"))));
    ASSERT_EQ(l.Base64AnalgenList().Count(), 1);
    TLDT3Base64Anlage *a = l.Base64AnalgenList().Items(0);
    EXPECT_FALSE(a->IsAnlageSaved());
    EXPECT_FALSE(a->SaveToFile(FTmp.filePath(QStringLiteral("x.pdf"))));
    EXPECT_FALSE(a->ShellAnlageOpen());
}

TEST_F(AnlagenTest, KbvSamplesDecode)
{
    int pdfs = 0;
    for (const QString &f : testutil::SampleFiles()) {
        SCOPED_TRACE(f.toStdString());
        TLDT3FilePtrList &l = FList;
        ASSERT_TRUE(l.LoadFromFile(f));
        if (QFileInfo(f).fileName().contains(QStringLiteral("mitPDF"))) {
            EXPECT_GE(l.Base64AnalgenList().Count(), 1);
        }
        for (int k = 0; k < l.Base64AnalgenList().Count(); ++k) {
            TLDT3Base64Anlage *a = l.Base64AnalgenList().Items(k);
            EXPECT_TRUE(l.IsBase64CodierteZeile(a->StartIdx()));
            EXPECT_TRUE(l.IsBase64CodierteZeile(a->EndeIdx()));
            EXPECT_TRUE(l.CheckObjektEnde(a->AnhangEndeIdx(), QStringLiteral("Obj_0010")));
            const QString out = FTmp.filePath(QStringLiteral("a%1").arg(k));
            ASSERT_TRUE(a->SaveToFile(out));
            const QByteArray bytes = testutil::ReadAll(out);
            if (a->DateiFormat().compare(QLatin1String("pdf"), Qt::CaseInsensitive) == 0) {
                ++pdfs;
                EXPECT_TRUE(bytes.startsWith("%PDF-"));
                EXPECT_TRUE(bytes.trimmed().endsWith("%%EOF"));
                EXPECT_TRUE(a->IsAnlageSaved());
            } else if (a->DateiFormat() == QLatin1String("JPEG")) {
                EXPECT_TRUE(bytes.startsWith("\xFF\xD8\xFF"));
            }
        }
    }
    EXPECT_GE(pdfs, 10);
}

TEST(LDT3Data, TemporaryFiles)
{
    QTemporaryDir dir;
    SetLDTTmpDir(dir.filePath(QStringLiteral("a/b")));
    EXPECT_EQ(TLDT3Data::GetLDTTmpDir(), dir.filePath(QStringLiteral("a/b")));
    EXPECT_TRUE(QFileInfo(dir.filePath(QStringLiteral("a/b"))).isDir());

    const QString t = TLDT3Data::MakeTmpFile(QString());
    EXPECT_TRUE(QFileInfo(t).fileName().startsWith(QStringLiteral("TMP")));
    EXPECT_EQ(QFileInfo(t).absolutePath(), dir.filePath(QStringLiteral("a/b")));
    EXPECT_FALSE(QFileInfo::exists(t));
    EXPECT_TRUE(QFileInfo(TLDT3Data::MakeTmpFile(QStringLiteral("XPMxyz"))).fileName().startsWith(QStringLiteral("XPM")));

    EXPECT_TRUE(TLDT3Data::TryDeleteFile(dir.filePath(QStringLiteral("missing"))));
    const QString f = testutil::WriteFile(dir, QStringLiteral("x.txt"), "x");
    EXPECT_TRUE(TLDT3Data::TryDeleteFile(f));
    EXPECT_FALSE(QFileInfo::exists(f));

    // deletion at the end of the program
    const QString later = testutil::WriteFile(dir, QStringLiteral("later.txt"), "x");
    EXPECT_TRUE(TLDT3Data::DeleteFileAfterReboot(later));
    EXPECT_TRUE(QFileInfo::exists(later));
    TLDT3Data::DeleteScheduledFiles();
    EXPECT_FALSE(QFileInfo::exists(later));

    // a directory that cannot be made falls back to the system's
    const QString file = testutil::WriteFile(dir, QStringLiteral("plain"), "x");
    SetLDTTmpDir(file + QStringLiteral("/sub"));
    EXPECT_EQ(TLDT3Data::GetLDTTmpDir(), TLDT3Data::GetWinTmpDir());
    SetLDTTmpDir(QString());
}

// A write that fails half-way (here: the file size limit of the process, as a
// full disk would) leaves the earlier file under the target name untouched.
TEST_F(AnlagenTest, FailedWriteKeepsTheEarlierFile)
{
    const QByteArray data(200000, 'q');
    QList<QByteArray> lines;
    const QByteArray b64 = data.toBase64();
    for (qsizetype i = 0; i < b64.size(); i += 76)
        lines << b64.mid(i, 76);
    TLDT3FilePtrList &l = Load(Record(Anlage(lines, L(6303, "bin"))));
    ASSERT_EQ(l.Base64AnalgenList().Count(), 1);
    const QString target = testutil::WriteFile(FTmp, QStringLiteral("frueher.bin"), "earlier contents");

    struct rlimit old;
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
    const auto oldSignal = signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = old;
    small.rlim_cur = 64 * 1024;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    bool threw = false;
    try {
        l.Base64AnalgenList().Items(0)->SaveToFile(target);
    } catch (const ELDT3Error &) {
        threw = true;
    }
    setrlimit(RLIMIT_FSIZE, &old);
    signal(SIGXFSZ, oldSignal);

    EXPECT_TRUE(threw);
    EXPECT_EQ(testutil::ReadAll(target), QByteArray("earlier contents"));
    EXPECT_EQ(l.Base64AnalgenList().Items(0)->SavedToFileName(), QString());
    // no temporary file is left beside it
    EXPECT_EQ(QDir(FTmp.path()).entryList(QDir::Files).size(), 2); // the LDT file and the earlier one
}

// A name from the file never leads out of the directory it is saved in.
TEST(AnlageSafeFileName, NamesStayInTheirDirectory)
{
    const struct
    {
        const char *Name;
        const char *Expected;
    } cases[] = {
        {"Z01_Anhang_1.pdf", "Z01_Anhang_1.pdf"},
        {"Z01_Anhang_1.pdf/../../../home/x.sh", "x.sh"},
        {"/etc/passwd", "passwd"},
        {"..\\..\\boot.ini", "boot.ini"},
        {"Z01_Anhang_1./", "Anhang_3"},
        {"", "Anhang_3"},
        {".", "Anhang_3"},
        {"..", "Anhang_3"},
        {"a/..", "Anhang_3"},
        {"   ", "Anhang_3"},
        {"Z01_Anhang_1.p\ndf", "Z01_Anhang_1.p_df"},
    };
    QTemporaryDir dir;
    const QString root = QDir(dir.path()).canonicalPath();
    for (const auto &c : cases) {
        const QString name = AnlageSafeFileName(QString::fromUtf8(c.Name), 3);
        EXPECT_EQ(name, QString::fromUtf8(c.Expected)) << c.Name;
        const QFileInfo target(QDir(root).filePath(name));
        EXPECT_EQ(QDir::cleanPath(target.absolutePath()), root) << c.Name;
    }
}
