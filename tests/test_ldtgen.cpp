// The sample-file generator: reproducible bytes, well-formed lines, a correct
// checksum, valid PDF attachments, size and share control, and faults that
// are exactly the ones asked for.
#include "TestUtil.h"

#include "LDT3.Feld.h"
#include "LDT3.FilePtrList.h"
#include "LDT3.Zeichen.h"

#include <QCryptographicHash>
#include <QProcess>
#include <QSet>

namespace {

QString GenPath() { return testutil::BinDir() + QStringLiteral("/tools/ldtgen/ldtgen"); }

int RunGen(const QStringList &AArgs, QByteArray *AStdErr = nullptr)
{
    QProcess p;
    p.start(GenPath(), AArgs);
    if (!p.waitForFinished(120000))
        return -1;
    if (AStdErr)
        *AStdErr = p.readAllStandardError();
    return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
}

// Runs the generator into a file of ADir and returns the bytes (empty on failure).
QByteArray Gen(const QTemporaryDir &ADir, const QStringList &AArgs)
{
    static int n = 0;
    const QString file = ADir.filePath(QStringLiteral("g%1.ldt").arg(++n));
    if (RunGen(AArgs + QStringList{QStringLiteral("-o"), file}) != 0)
        return QByteArray();
    return testutil::ReadAll(file);
}

// One physical line: its bytes without the line end, the line end, its offset.
struct TLn
{
    QByteArray Text;
    QByteArray End;
    qsizetype Off = 0;
    int FK() const { return Text.size() >= 7 ? Text.mid(3, 4).toInt() : 0; }
    QByteArray Inhalt() const { return Text.mid(7); }
};

// Splits by the LDT line grammar: CR LF, LF CR, a lone CR or a lone LF end a line.
QList<TLn> SplitLines(const QByteArray &ABytes)
{
    QList<TLn> r;
    qsizetype i = 0;
    while (i < ABytes.size()) {
        TLn l;
        l.Off = i;
        qsizetype j = i;
        while (j < ABytes.size() && ABytes[j] != '\r' && ABytes[j] != '\n')
            ++j;
        l.Text = ABytes.mid(i, j - i);
        qsizetype e = j;
        if (e < ABytes.size()) {
            ++e;
            if (e < ABytes.size() && ABytes[e] != ABytes[j] && (ABytes[e] == '\r' || ABytes[e] == '\n'))
                ++e;
        }
        l.End = ABytes.mid(j, e - j);
        r << l;
        i = e;
    }
    return r;
}

bool LengthOk(const TLn &L) { return L.Text.left(3).toInt() == L.Text.size() - 7 + 9; }
bool BytesOk(const TLn &L)
{
    return LDT3BytesAllowed(reinterpret_cast<const unsigned char *>(L.Text.constData()), L.Text.size(), false);
}
bool Valid(const TLn &L)
{
    if (L.Text.size() < 7)
        return false;
    for (int i = 0; i < 7; ++i)
        if (L.Text[i] < '0' || L.Text[i] > '9')
            return false;
    return true;
}

// Records and objects properly nested, every line inside a record.
bool NestingOk(const QList<TLn> &ALines)
{
    QList<const TLn *> stack;
    for (const TLn &l : ALines) {
        const int fk = l.FK();
        if (fk == 8000) {
            if (!stack.isEmpty())
                return false;
            stack << &l;
        } else if (fk == 8001 || fk == 8003) {
            if (stack.isEmpty() || stack.last()->FK() != fk - 1 || stack.last()->Inhalt() != l.Inhalt())
                return false;
            stack.removeLast();
        } else if (stack.isEmpty()) {
            return false;
        } else if (fk == 8002) {
            stack << &l;
        }
    }
    return stack.isEmpty();
}

QList<QByteArray> Satzarten(const QList<TLn> &ALines)
{
    QList<QByteArray> r;
    for (const TLn &l : ALines)
        if (l.FK() == 8000)
            r << l.Inhalt();
    return r;
}

int CountFK(const QList<TLn> &ALines, int AFK)
{
    return int(std::count_if(ALines.begin(), ALines.end(), [&](const TLn &l) { return Valid(l) && l.FK() == AFK; }));
}

// SHA-1 of the bytes before the first checksum line equals its content.
bool ChecksumOk(const QByteArray &ABytes, const QList<TLn> &ALines)
{
    for (const TLn &l : ALines)
        if (Valid(l) && l.FK() == 9300)
            return QCryptographicHash::hash(ABytes.left(l.Off), QCryptographicHash::Sha1).toHex() == l.Inhalt();
    return false;
}

// The decoded attachments: every run of FK 6329 lines.
QList<QByteArray> Attachments(const QList<TLn> &ALines)
{
    QList<QByteArray> r;
    QByteArray cur;
    for (const TLn &l : ALines) {
        if (l.FK() == 6329) {
            cur += l.Inhalt();
        } else if (!cur.isEmpty()) {
            r << QByteArray::fromBase64(cur);
            cur.clear();
        }
    }
    return r;
}

// A PDF whose cross-reference table points at its objects.
bool PdfOk(const QByteArray &APdf)
{
    if (!APdf.startsWith("%PDF-") || !APdf.endsWith("%%EOF\n"))
        return false;
    const qsizetype sx = APdf.lastIndexOf("startxref\n");
    if (sx < 0)
        return false;
    const qsizetype xref = APdf.mid(sx + 10).split('\n').value(0).toLongLong();
    if (!APdf.mid(xref).startsWith("xref\n0 "))
        return false;
    const QList<QByteArray> rows = APdf.mid(xref).split('\n');
    const int count = rows.value(1).split(' ').value(1).toInt();
    if (count < 4)
        return false;
    for (int nr = 1; nr < count; ++nr) {
        const QByteArray row = rows.value(1 + 1 + nr);
        if (row.size() != 19) // 20 bytes with the line feed
            return false;
        if (!APdf.mid(row.left(10).toLongLong()).startsWith(QByteArray::number(nr) + " 0 obj\n"))
            return false;
    }
    return true;
}

qint64 Base64Bytes(const QList<TLn> &ALines)
{
    qint64 n = 0;
    for (const TLn &l : ALines)
        if (l.FK() == 6329)
            n += l.Text.size() + l.End.size();
    return n;
}

} // namespace

TEST(LdtGen, SameSeedGivesSameBytes)
{
    QTemporaryDir dir;
    for (const char *typ : {"order", "result"}) {
        const QStringList args{"--type", typ, "--records", "5", "--seed", "7"};
        const QByteArray a = Gen(dir, args);
        ASSERT_FALSE(a.isEmpty()) << typ;
        EXPECT_EQ(a, Gen(dir, args)) << typ;
        EXPECT_NE(a, Gen(dir, {"--type", typ, "--records", "5", "--seed", "8"})) << typ;
    }
}

TEST(LdtGen, CleanFilesAreWellFormed)
{
    struct TCase { QStringList Args; QByteArray Head, Body, Tail; bool Anhang; };
    const TCase cases[] = {
        {{"--type", "order", "--records", "4"}, "8230", "8215", "8231", false},
        {{"--type", "order", "--records", "4", "--attachment-share", "0.3"}, "8230", "8215", "8231", true},
        {{"--type", "result", "--records", "4"}, "8220", "8205", "8221", true},
        {{"--type", "result", "--records", "4", "--no-attachments"}, "8220", "8205", "8221", false},
        {{"--type", "result", "--records", "0", "--seed", "3"}, "8220", "8205", "8221", false},
    };
    QTemporaryDir dir;
    for (const TCase &c : cases) {
        SCOPED_TRACE(c.Args.join(' ').toStdString());
        const QByteArray bytes = Gen(dir, c.Args);
        const QList<TLn> lines = SplitLines(bytes);
        ASSERT_FALSE(lines.isEmpty());
        for (const TLn &l : lines) {
            ASSERT_EQ(l.End, QByteArray("\r\n")) << l.Text.constData();
            ASSERT_TRUE(Valid(l) && LengthOk(l) && BytesOk(l)) << l.Text.constData();
        }
        EXPECT_TRUE(NestingOk(lines));
        QList<QByteArray> expected{c.Head};
        const int n = c.Args.at(c.Args.indexOf("--records") + 1).toInt();
        for (int i = 0; i < n; ++i)
            expected << c.Body;
        expected << c.Tail;
        EXPECT_EQ(Satzarten(lines), expected);
        EXPECT_EQ(CountFK(lines, 1), 1);
        EXPECT_EQ(lines[3].Inhalt(), QByteArray("LDT3.1.3"));
        EXPECT_EQ(CountFK(lines, 9300), 1);
        EXPECT_TRUE(ChecksumOk(bytes, lines));
        EXPECT_EQ(CountFK(lines, 6329) > 0, c.Anhang);
        if (n > 0) { // umlauts in names, as ISO 8859-15 bytes
            EXPECT_TRUE(std::any_of(bytes.begin(), bytes.end(), [](char b) { return uchar(b) >= 0xC0; }));
        }
    }
}

TEST(LdtGen, AttachmentsAreValidPdfInAttachmentObjects)
{
    QTemporaryDir dir;
    const QByteArray bytes = Gen(dir, {"--records", "3", "--attachment-share", "0.8"});
    const QList<TLn> lines = SplitLines(bytes);
    const QList<QByteArray> pdfs = Attachments(lines);
    ASSERT_EQ(pdfs.size(), 3);
    for (const QByteArray &pdf : pdfs)
        EXPECT_TRUE(PdfOk(pdf)) << pdf.left(200).constData();
    // The layout that attachment scanners look for.
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (lines[i].FK() != 8110)
            continue;
        EXPECT_EQ(lines[i + 1].Inhalt(), QByteArray("Obj_0010"));
        EXPECT_EQ(lines[i + 2].FK(), 9970);
        EXPECT_EQ(lines[i + 3].FK(), 8242);
        EXPECT_EQ(lines[i + 4].Inhalt(), QByteArray("Obj_0068"));
        qsizetype j = i + 5;
        while (lines[j].FK() == 6329)
            ++j;
        EXPECT_GT(j, i + 5);
        EXPECT_EQ(lines[j].FK(), 8003);
        EXPECT_EQ(lines[j].Inhalt(), QByteArray("Obj_0068"));
        EXPECT_EQ(lines[j + 1].Inhalt(), QByteArray("pdf"));
    }
}

TEST(LdtGen, SizeAndAttachmentShare)
{
    QTemporaryDir dir;
    const qint64 size = 3 << 20;
    for (double share : {0.5, 0.2, 0.9}) {
        SCOPED_TRACE(share);
        const QByteArray bytes = Gen(dir, {"--size", "3M", "--attachment-share", QString::number(share)});
        EXPECT_GE(bytes.size(), size);
        EXPECT_LE(bytes.size(), size + 32 * 1024);
        const QList<TLn> lines = SplitLines(bytes);
        EXPECT_NEAR(double(Base64Bytes(lines)) / double(bytes.size()), share, 0.03);
        EXPECT_TRUE(ChecksumOk(bytes, lines));
    }
    // Fewer, larger attachments with the same share.
    const QByteArray few = Gen(dir, {"--size", "3M", "--attachment-min", "64K"});
    const QList<TLn> fewLines = SplitLines(few);
    EXPECT_NEAR(double(Base64Bytes(fewLines)) / double(few.size()), 0.5, 0.05);
    const QList<QByteArray> pdfs = Attachments(fewLines);
    EXPECT_GE(pdfs.size(), 10);
    for (const QByteArray &pdf : pdfs) // Base64 lines of 60 characters, 69 bytes each
        EXPECT_GE((pdf.size() + 2) / 3 * 4 * 69 / 60, 64 * 1024 * 95 / 100);

    const QByteArray none = Gen(dir, {"--size", "1M", "--no-attachments"});
    EXPECT_GE(none.size(), 1 << 20);
    EXPECT_EQ(CountFK(SplitLines(none), 6329), 0);
}

TEST(LdtGen, NoChecksum)
{
    QTemporaryDir dir;
    const QList<TLn> lines = SplitLines(Gen(dir, {"--records", "2", "--no-checksum"}));
    ASSERT_GE(lines.size(), 2);
    EXPECT_EQ(CountFK(lines, 9300), 0);
    EXPECT_EQ(lines[lines.size() - 2].Text, QByteArray("0138000""8221"));
    EXPECT_EQ(lines.last().Text, QByteArray("0138001""8221"));
}

TEST(LdtGen, EachFaultIsTheOneNamed)
{
    enum TKind { Replace, Insert, Other };
    struct TCase { const char *Fault; TKind Kind; std::function<int(const QList<TLn> &)> Count; };
    const int n = 3;
    const TCase cases[] = {
        {"wrong-length", Replace, [](const QList<TLn> &L) {
             return int(std::count_if(L.begin(), L.end(), [](const TLn &l) { return Valid(l) && !LengthOk(l); })); }},
        {"lf", Replace, [](const QList<TLn> &L) {
             return int(std::count_if(L.begin(), L.end(), [](const TLn &l) { return l.End == "\n"; })); }},
        {"bad-bytes", Replace, [](const QList<TLn> &L) {
             return int(std::count_if(L.begin(), L.end(), [](const TLn &l) { return !BytesOk(l); })); }},
        {"empty-lines", Insert, [](const QList<TLn> &L) {
             return int(std::count_if(L.begin(), L.end(), [](const TLn &l) { return l.Text.isEmpty(); })); }},
        {"unknown-fk", Insert, [](const QList<TLn> &L) {
             static const QSet<int> unknown{4711, 815, 5555, 9999};
             return int(std::count_if(L.begin(), L.end(), [](const TLn &l) { return unknown.contains(l.FK()); })); }},
        {"broken-nesting", Replace, [](const QList<TLn> &L) { return NestingOk(L) ? 0 : n; }},
        {"second-version", Insert, [](const QList<TLn> &L) { return CountFK(L, 1) - 1; }},
        {"second-checksum", Other, [](const QList<TLn> &L) { return CountFK(L, 9300) - 1; }},
        {"empty-lines-at-end", Other, [](const QList<TLn> &L) {
             int k = 0;
             for (qsizetype i = L.size() - 1; i >= 0 && L[i].Text.isEmpty(); --i)
                 ++k;
             return k; }},
    };
    QTemporaryDir dir;
    for (const char *typ : {"order", "result"}) {
        const QStringList base{"--type", typ, "--records", "6", "--seed", "11"};
        const QByteArray cleanBytes = Gen(dir, base);
        const QList<TLn> clean = SplitLines(cleanBytes);
        for (const TCase &c : cases) {
            SCOPED_TRACE(std::string(typ) + " " + c.Fault);
            const QByteArray bytes = Gen(dir, base + QStringList{"--fault", c.Fault, "--fault-count", QString::number(n)});
            const QList<TLn> lines = SplitLines(bytes);
            ASSERT_FALSE(lines.isEmpty());
            EXPECT_EQ(c.Count(clean), 0);
            EXPECT_EQ(c.Count(lines), n);
            // Apart from its faults the file is the clean file of the same seed.
            auto withoutChecksum = [](const QList<TLn> &L) {
                QList<QByteArray> r;
                for (const TLn &l : L)
                    if (l.FK() != 9300 && !l.Text.isEmpty())
                        r << l.Text + l.End;
                return r;
            };
            const QList<QByteArray> a = withoutChecksum(clean);
            const QList<QByteArray> b = withoutChecksum(lines);
            if (c.Kind == Replace) {
                ASSERT_EQ(a.size(), b.size());
                int diff = 0;
                for (qsizetype i = 0; i < a.size(); ++i)
                    diff += a[i] != b[i];
                EXPECT_EQ(diff, n);
            } else if (c.Kind == Insert) {
                ASSERT_EQ(b.size(), a.size() + (c.Fault == QByteArrayLiteral("empty-lines") ? 0 : n));
                qsizetype i = 0;
                for (const QByteArray &l : b)
                    if (i < a.size() && l == a[i])
                        ++i;
                EXPECT_EQ(i, a.size());
            } else {
                EXPECT_EQ(a, b);
            }
            if (c.Fault != QByteArrayLiteral("second-checksum")) {
                EXPECT_TRUE(ChecksumOk(bytes, lines));
            }
            if (c.Fault != QByteArrayLiteral("broken-nesting") && c.Fault != QByteArrayLiteral("empty-lines-at-end")) {
                EXPECT_TRUE(NestingOk(lines));
            }
        }
    }
}

TEST(LdtGen, UsageErrors)
{
    QByteArray err;
    EXPECT_EQ(RunGen({"--bogus", "-o", "-"}, &err), 64);
    EXPECT_TRUE(err.contains("unbekannte Option"));
    EXPECT_EQ(RunGen({"--fault", "nonsense", "-o", "-"}), 64);
    EXPECT_EQ(RunGen({"--records", "2", "--size", "1M", "-o", "-"}), 64);
    EXPECT_EQ(RunGen({"--attachment-share", "1.5", "-o", "-"}), 64);
    EXPECT_EQ(RunGen({"--records", "1"}), 64);
    EXPECT_EQ(RunGen({"--ldt-version", "3.3.0", "-o", "-"}), 64);
    QProcess p;
    p.start(GenPath(), {"--help"});
    ASSERT_TRUE(p.waitForFinished(10000));
    EXPECT_EQ(p.exitCode(), 0);
    EXPECT_TRUE(QString::fromUtf8(p.readAllStandardOutput()).contains(QStringLiteral("Prüfsumme")));
}

// The line pointer list reads generated files as they are meant: clean files
// without any error, faulty ones with exactly the error bits of their faults.
// Both versions: the file's tables are the ones its version line names.
TEST(LdtGen, LoadedByLinePointerList)
{
    QTemporaryDir dir;
    for (const char *version : {"LDT3.1.3", "LDT3.2.20"})
    for (const char *typ : {"order", "result"}) {
        SCOPED_TRACE(std::string(version) + " " + typ);
        const QString file = dir.filePath(QStringLiteral("clean_%1_%2.ldt").arg(QLatin1String(version), QLatin1String(typ)));
        ASSERT_EQ(RunGen({"--ldt-version", version, "--type", typ, "--records", "5", "-o", file}), 0);
        TLDT3FilePtrList list;
        ASSERT_TRUE(list.LoadFromFile(file));
        EXPECT_EQ(list.Count(), SplitLines(testutil::ReadAll(file)).size());
        EXPECT_EQ(list.FileErrors(), 0);
        EXPECT_EQ(list.InvalidLines(), 0);
        EXPECT_EQ(list.XDTVersion(), QLatin1String(version));
        EXPECT_EQ(list.TableSet().Version(), QLatin1String(version));
        EXPECT_EQ(list.LineErrorList().Count(), 0);
        EXPECT_TRUE(list.IsLDT_3_1_2_OrHigher());
        EXPECT_TRUE(list.CheckSumOkay());
        EXPECT_TRUE(list.StructureOkay());
        EXPECT_TRUE(list.PathAndLevelOkay());
    }

    struct TCase { const char *Fault; int Bit; bool Structure, CheckSum; };
    const TCase cases[] = {
        {"wrong-length", LE_WrongLength, true, true},
        {"lf", LE_CrLf, true, true},
        {"bad-bytes", LE_InvalidChars, true, true},
        {"empty-lines", LE_EmptyLine, true, true},
        {"empty-lines-at-end", LE_EmptyLineAtEnd, true, true},
        {"unknown-fk", 0, true, true},
        {"broken-nesting", 0, false, true},
        {"second-version", LE_ManyVersions, true, true},
        {"second-checksum", LE_ManyChecksums, true, false},
    };
    const int n = 2;
    for (const char *version : {"LDT3.1.3", "LDT3.2.20"})
    for (const TCase &c : cases) {
        SCOPED_TRACE(std::string(version) + " " + c.Fault);
        const QString file = dir.filePath(QStringLiteral("%1_%2.ldt").arg(QLatin1String(version), QLatin1String(c.Fault)));
        ASSERT_EQ(RunGen({"--ldt-version", version, "--records", "4", "--fault", c.Fault, "--fault-count",
                          QString::number(n), "-o", file}), 0);
        TLDT3FilePtrList list;
        ASSERT_TRUE(list.LoadFromFile(file));
        EXPECT_EQ(list.TableSet().Version(), QLatin1String(version));
        EXPECT_EQ(list.FileErrors(), c.Bit);
        int withBit = 0;
        int unbekannt = 0;
        for (int i = 0; i < list.Count(); ++i) {
            withBit += (list.LineErrorCode(i) & c.Bit) != 0;
            unbekannt += list.FeldErrorCode(i) == TLDT3FeldDict::fc_Unbekannt;
        }
        EXPECT_EQ(withBit, c.Bit ? n : 0);
        EXPECT_EQ(unbekannt, c.Fault == std::string("unknown-fk") ? n : 0);
        EXPECT_EQ(list.StructureOkay(), c.Structure);
        EXPECT_EQ(list.CheckSumOkay(), c.CheckSum);
    }
}

// Every field of a generated file passes the field check of the built-in table.
TEST(LdtGen, EveryFieldPassesTheFieldCheck)
{
    for (const char *version : {"LDT3.1.3", "LDT3.2.20"}) {
    SCOPED_TRACE(version);
    TLDT3TableSet set;
    ASSERT_TRUE(TLDT3TableSet::FromName(QLatin1String(version), set));
    TLDT3FeldDict *dict = set.FeldDict();
    dict->SetPruefsumme_E157(true); // the checksums are verified above
    QTemporaryDir dir;
    QStringList failures;
    int checked = 0;
    for (const char *typ : {"order", "result"})
        for (const char *seed : {"1", "2", "3"}) {
            const QByteArray bytes = Gen(dir, {"--ldt-version", version, "--type", typ, "--records", "25",
                                               "--seed", seed, "--attachment-share", "0.3"});
            ASSERT_FALSE(bytes.isEmpty());
            for (const TLn &l : SplitLines(bytes)) {
                const QByteArray c = l.Inhalt();
                QString msg;
                const int code = dict->CheckFeld(
                    l.FK(), LDT3BytesToStr(reinterpret_cast<const unsigned char *>(c.constData()), c.size(), QChar(0)),
                    msg);
                ++checked;
                if (code != 0 && failures.size() < 20)
                    failures << QStringLiteral("%1 %2: %3 (%4)").arg(l.FK()).arg(QString::fromLatin1(c)).arg(code).arg(msg);
            }
        }
    dict->SetPruefsumme_E157(false);
    EXPECT_GT(checked, 1000);
    EXPECT_TRUE(failures.isEmpty()) << failures.join(QLatin1Char('\n')).toStdString();
    }
}

// The example files follow the naming rule and are exactly what the commands
// in examples/README.md produce.
TEST(LdtGen, ExamplesMatchTheirCommands)
{
    const QString readme = QString::fromUtf8(testutil::ReadAll(testutil::ExamplesDir() + QStringLiteral("/README.md")));
    QTemporaryDir dir;
    int commands = 0;
    for (const QString &line : readme.split(QLatin1Char('\n'))) {
        if (!line.startsWith(QLatin1String("build/tools/ldtgen/ldtgen ")))
            continue;
        QStringList args = line.split(QLatin1Char(' '), Qt::SkipEmptyParts).mid(1);
        const qsizetype o = args.indexOf(QStringLiteral("-o"));
        ASSERT_GE(o, 0) << line.toStdString();
        const QString name = args.at(o + 1).section(QLatin1Char('/'), -1);
        SCOPED_TRACE(name.toStdString());
        EXPECT_TRUE(TLDT3::CheckFileName(name));
        args[o + 1] = dir.filePath(name);
        ASSERT_EQ(RunGen(args), 0);
        const QByteArray committed = testutil::ReadAll(testutil::ExamplesDir() + QLatin1Char('/') + name);
        EXPECT_FALSE(committed.isEmpty());
        EXPECT_EQ(testutil::ReadAll(args[o + 1]), committed);
        ++commands;
    }
    EXPECT_EQ(commands, 3);
}
