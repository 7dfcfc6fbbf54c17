#include "LDT3.FilePtrList.h"
#include "LDT3.Feld.h"

#include "TestUtil.h"

#include <QCryptographicHash>

namespace {

// A line with a correct length prefix and CR LF.
QByteArray L(int fk, const QByteArray &content)
{
    return TLDT3::IntToTBytes_LZ(content.size() + 9, 3) + TLDT3::IntToTBytes_LZ(fk, 4) + content + "\r\n";
}

struct Loaded
{
    QTemporaryDir dir;
    TLDT3FilePtrList list;
    bool ok = false;
    explicit Loaded(const QByteArray &bytes, int maxInvalid = 0, const QString &name = QStringLiteral("Z01test.ldt"))
    {
        list.SetMaxInvalidLines(maxInvalid);
        ok = list.LoadFromFile(testutil::WriteFile(dir, name, bytes));
    }
};

QByteArray Record(const QByteArray &satzArt, const QByteArray &body)
{
    return L(8000, satzArt) + body + L(8001, satzArt);
}

} // namespace

// Physical lines, their end bytes and the parser's error bits.
TEST(FilePtrList, LineGrammarAndParserBits)
{
    struct Case {
        const char *name;
        QByteArray bytes;
        QList<int> lens;   // FLenOrgLine per line
        QList<int> bits;   // error bits per line as parsed (before end-of-file marking)
    };
    const Case cases[] = {
        {"crlf", "0138000Z01\r\n0138001Z01\r\n", {12, 12}, {0x10, 0x10}},
        {"last line without end", "0118000ab\r\n0118001ab", {11, 9}, {0, 0x08}},
        {"lone lf", "0118000ab\n0118001ab\n", {10, 10}, {0x08, 0x08}},
        {"lone cr", "0118000ab\r0118001ab\r", {10, 10}, {0x08, 0x08}},
        {"lf cr is one line end", "0118000ab\n\r0118001ab\r\n", {11, 11}, {0x08, 0}},
        {"cr cr lf", "0118000ab\r\r\n", {10, 2}, {0x08, 0x01}},
        {"seven digits no content", "0138000\r\n", {9}, {0x10}},
        {"six digits", "013800\r\n", {8}, {0x02}},
        {"letter in prefix", "01a8000xx\r\n", {11}, {0x02}},
        {"tab in content", "0128000a\tb\r\n", {12}, {0x04}},
        {"byte 0x80", "0118000\x80\x80\r\n", {11}, {0x04}},
        {"second version", "0118000ab\r\n0130001LDT3\r\n0130001LDT4\r\n", {11, 13, 13}, {0, 0, 0x40}},
        {"second checksum", "0109300a\r\n0109300b\r\n", {10, 10}, {0, 0x20}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        Loaded l(c.bytes);
        ASSERT_EQ(l.list.Count(), c.lens.size());
        for (int i = 0; i < l.list.Count(); ++i) {
            EXPECT_EQ(l.list.LenOrgLine(i), c.lens[i]) << "line " << i;
            // bit 0x001 of a trailing empty line becomes 0x080
            int bits = l.list.LineErrorCode(i);
            if (bits & 0x80)
                bits = (bits & ~0x80) | 0x01;
            EXPECT_EQ(bits, c.bits[i]) << "line " << i;
        }
    }
}

// The record keeps the line's length, end and offset packed: the content,
// the written length and the way from a byte back to its line come out the
// same for every kind of line end.
TEST(FilePtrList, ContentAndOffsetsFromThePackedRecord)
{
    struct Case {
        const char *name;
        QByteArray bytes;
        QList<QByteArray> inhalt; // content per line
        QList<int> len;           // written length per line (0 without one)
    };
    const Case cases[] = {
        {"crlf", "0148000Z01ab\r\n0128001Z01\r\n", {"Z01ab", "Z01"}, {14, 12}},
        {"lf and cr", "0118000ab\n0118001abc\r", {"ab", "abc"}, {11, 11}},
        {"lf cr", "0118000ab\n\r0990001x\r\n", {"ab", "x"}, {11, 99}},
        {"no end at the end", "0118000ab\r\n9998001abcd", {"ab", "abcd"}, {11, 999}},
        {"empty and invalid lines", "\r\nx\r\n0138000\r\n", {"", "", ""}, {0, 0, 13}},
        {"cr cr lf", "0118000ab\r\r\n", {"ab", ""}, {11, 0}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        Loaded l(c.bytes, 100);
        ASSERT_EQ(l.list.Count(), c.inhalt.size());
        qint64 offset = 0;
        for (int i = 0; i < l.list.Count(); ++i) {
            EXPECT_EQ(l.list.LenInhalt(i), c.inhalt[i].size()) << "line " << i;
            EXPECT_EQ(l.list.Inhalt(i), QString::fromLatin1(c.inhalt[i])) << "line " << i;
            EXPECT_EQ(l.list.Len(i), c.len[i]) << "line " << i;
            EXPECT_EQ(l.list.Offset(i), offset) << "line " << i;
            EXPECT_EQ(l.list.OrgBytes(i), c.bytes.mid(offset, l.list.LenOrgLine(i))) << "line " << i;
            for (int b = 0; b < l.list.LenOrgLine(i); ++b)
                ASSERT_EQ(l.list.LineIndexOfOffset(offset + b), i) << "byte " << offset + b;
            offset += l.list.LenOrgLine(i);
        }
        EXPECT_EQ(offset, c.bytes.size());
        EXPECT_EQ(l.list.LineIndexOfOffset(offset), -1);
        EXPECT_EQ(l.list.LineIndexOfOffset(-1), -1);
    }
}

TEST(FilePtrList, ValidLineFields)
{
    Loaded l("0138000\r\n0148000Z01ab\r\n");
    ASSERT_EQ(l.list.Count(), 2);
    EXPECT_EQ(l.list.Len(0), 13);
    EXPECT_EQ(l.list.FK(0), 8000);
    EXPECT_EQ(l.list.LenInhalt(0), 0);
    EXPECT_EQ(l.list.PtrInhalt(0), nullptr);
    EXPECT_EQ(l.list.Inhalt(0), QString());
    EXPECT_FALSE(l.list.LenOkay(0));
    EXPECT_EQ(l.list.CalculatedLenStr(0), QStringLiteral("009"));
    EXPECT_EQ(l.list.Inhalt(1), QStringLiteral("Z01ab"));
    EXPECT_TRUE(l.list.LenOkay(1));
    EXPECT_EQ(l.list.FKStr(1), QStringLiteral("8000"));
    EXPECT_EQ(l.list.LenStr(1), QStringLiteral("014"));
    EXPECT_EQ(l.list.OrgBytes(1), QByteArray("0148000Z01ab\r\n"));
    EXPECT_EQ(l.list.OrgLine(1), QStringLiteral("0148000Z01ab\r\n"));
    EXPECT_THROW(l.list.FK(2), std::out_of_range);
    EXPECT_THROW(l.list.Inhalt(-1), std::out_of_range);
}

TEST(FilePtrList, VersionAndChecksumLinesRememberTheFirst)
{
    Loaded l("0109300\r\n0130001LDT3\r\n0140001LDT4\r\n");
    // a first version line without content leaves the version empty
    Loaded empty("0070001\r\n0130001LDT3\r\n");
    EXPECT_EQ(empty.list.XDTVersion(), QStringLiteral("LDT3"));
    EXPECT_EQ(empty.list.LineErrorCode(1) & 0x40, 0);
    EXPECT_EQ(l.list.XDTVersion(), QStringLiteral("LDT3"));
    EXPECT_TRUE(l.list.ManyVersions(2));
}

TEST(FilePtrList, InvalidLineCutOff)
{
    QByteArray bytes;
    for (int i = 0; i < 40; ++i)
        bytes += "x\r\n";
    Loaded cut(bytes, 30);
    EXPECT_FALSE(cut.ok);
    EXPECT_EQ(cut.list.Count(), 31);
    EXPECT_EQ(cut.list.InvalidLines(), 31);

    Loaded all(bytes, 0);
    EXPECT_TRUE(all.ok);
    EXPECT_EQ(all.list.Count(), 40);

    // the line that crosses the cut-off is the last one: still a success
    Loaded last(bytes.left(31 * 3), 30);
    EXPECT_TRUE(last.ok);
    EXPECT_EQ(last.list.Count(), 31);

    // empty lines count as invalid
    Loaded empties(QByteArray("\r\n\r\n"), 1);
    EXPECT_EQ(empties.list.InvalidLines(), 2);

    TLDT3FilePtrList neg;
    neg.SetMaxInvalidLines(-5);
    EXPECT_EQ(neg.MaxInvalidLines(), 0);
}

TEST(FilePtrList, CancellationKeepsNothingButStops)
{
    QTemporaryDir dir;
    const QString f = testutil::WriteFile(dir, QStringLiteral("Z01c.ldt"), Record("8220", L(1, "LDT3.1.3")));
    std::atomic<bool> stop{true};
    TLDT3FilePtrList list;
    EXPECT_FALSE(list.LoadFromFile(f, &stop));
    EXPECT_EQ(list.Count(), 0);
    stop = false;
    EXPECT_TRUE(list.LoadFromFile(f, &stop));
    EXPECT_EQ(list.Count(), 3);
}

TEST(FilePtrList, BadFilesNeverCrash)
{
    QTemporaryDir dir;
    TLDT3FilePtrList list;
    // missing file and directory: the system's error reaches the caller
    EXPECT_THROW(list.LoadFromFile(dir.filePath(QStringLiteral("missing.ldt"))), ELDT3Error);
    EXPECT_FALSE(list.FileIsOpen());
    EXPECT_THROW(list.LoadFromFile(dir.path()), ELDT3Error);
    // empty file: cannot be mapped, false with no lines
    EXPECT_FALSE(list.LoadFromFile(testutil::WriteFile(dir, QStringLiteral("empty.ldt"), QByteArray())));
    EXPECT_EQ(list.Count(), 0);
    // no line end at all
    EXPECT_TRUE(list.LoadFromFile(testutil::WriteFile(dir, QStringLiteral("one.ldt"), QByteArray(5000, 'x'))));
    EXPECT_EQ(list.Count(), 1);
    EXPECT_EQ(list.LineErrorCode(0), 0x02 | 0x08);
    // random bytes
    QByteArray rnd(200000, Qt::Uninitialized);
    quint32 s = 12345;
    for (char &c : rnd) {
        s = s * 1664525u + 1013904223u;
        c = char(s >> 24);
    }
    EXPECT_TRUE(list.LoadFromFile(testutil::WriteFile(dir, QStringLiteral("rnd.ldt"), rnd)));
    qint64 total = 0;
    for (int i = 0; i < list.Count(); ++i)
        total += list.LenOrgLine(i);
    EXPECT_EQ(total, rnd.size());
    EXPECT_FALSE(list.StructureOkay());
}

TEST(FilePtrList, AsStringDumpAndAverage)
{
    QByteArray bytes = "0138000LDT\r\n";
    bytes += QByteArray("\x80\x27\xA4\x7F\xA0\x09", 6);
    bytes += "\r\n";
    Loaded l(bytes);
    ASSERT_EQ(l.list.Count(), 2);
    EXPECT_EQ(l.list.DumpOrgBytesAnsi(0), QStringLiteral("'0138000LDT' <CR> <LF>"));
    EXPECT_TRUE(l.list.DumpOrgBytesAnsi(1).startsWith(QStringLiteral("$80 <APOS>")));
    const QString all = l.list.AsString();
    EXPECT_EQ(all.size(), bytes.size());
    EXPECT_EQ(all[12], QChar(0x80));
    EXPECT_EQ(all[14], QChar(0x20AC));

    Loaded avg(QByteArray(98, 'a') + "\n\n");
    EXPECT_EQ(avg.list.Count(), 2);
    EXPECT_EQ(avg.list.AverageLineLength(), 50);
}

TEST(FilePtrList, EmptyLinesAtEndAndErrorCounts)
{
    // two empty lines after the last record
    Loaded end(Record("8220", L(1, "LDT3.1.3")) + "\r\n\n");
    EXPECT_EQ(end.list.EmptyLinesAtEnd(), 2);
    EXPECT_EQ(end.list.LineErrorCode(3), 0x80);
    EXPECT_EQ(end.list.LineErrorCode(4), 0x80 | 0x08);
    EXPECT_EQ(end.list.FeldErrorCode(4), 1);
    EXPECT_TRUE(end.list.FileErrorEmptyLineAtEnd());
    EXPECT_FALSE(end.list.FileErrorEmptyLine());
    EXPECT_TRUE(end.list.StructureOkay());
    EXPECT_TRUE(end.list.PathAndLevelOkay());
    EXPECT_EQ(end.list.Path(4), QList<int>());
    EXPECT_EQ(end.list.ErrorCounter().GetCount(0x80), 2);
    EXPECT_EQ(end.list.ErrorCounter().GetCount(0x08), 1);
    EXPECT_EQ(end.list.ErrorCounter().GetCount(0x01), 0);
    EXPECT_EQ(end.list.LineErrorMsg(4), QStringLiteral("Kein <CR><LF>, Leerzeile am Dateiende"));

    // an empty line in the middle and one at the end
    Loaded mid(L(8000, "8220") + "\r\n" + L(8001, "8220") + "\r\n");
    EXPECT_EQ(mid.list.LineErrorCode(1), 0x01);
    EXPECT_EQ(mid.list.LineErrorCode(3), 0x80);
    EXPECT_TRUE(mid.list.FileErrorEmptyLine());
    EXPECT_TRUE(mid.list.FileErrorEmptyLineAtEnd());
    EXPECT_TRUE(mid.list.StructureOkay()); // an empty line inside a record is no structure fault
}

TEST(FilePtrList, MessagesJoinInBitOrder)
{
    Loaded l(QByteArray("\n0133101abc\n"));
    EXPECT_EQ(l.list.LineErrorMsg(0), QStringLiteral("Leere Zeile, Kein <CR><LF>"));
    EXPECT_EQ(l.list.ErrorMsg(1), QStringLiteral("Kein <CR><LF>, Falsche Längenangabe"));
    EXPECT_TRUE(l.list.LineHasErrors(1));
    EXPECT_FALSE(l.list.LineOK(0));
    EXPECT_TRUE(l.list.LineOK(1));
}

TEST(FilePtrList, ErrorListNavigation)
{
    // errors on lines 3, 7 and 9
    QByteArray b;
    for (int z = 1; z <= 10; ++z)
        b += (z == 3 || z == 7 || z == 9) ? QByteArray("0133101abc\r\n") : L(3101, "x");
    Loaded l(b);
    const TLDT3LineErrorList &e = l.list.LineErrorList();
    ASSERT_EQ(e.Count(), 3);
    int z = -1;
    EXPECT_FALSE(e.FindNextZeile(0, z));
    EXPECT_TRUE(e.FindNextZeile(5, z));
    EXPECT_EQ(z, 7);
    EXPECT_TRUE(e.FindPrevZeile(5, z));
    EXPECT_EQ(z, 3);
    EXPECT_TRUE(e.FindNextZeile(3, z));
    EXPECT_EQ(z, 7);
    EXPECT_FALSE(e.NextEnabled(9));
    EXPECT_FALSE(e.NextEnabled(10));
    EXPECT_FALSE(e.PrevEnabled(3));
    EXPECT_TRUE(e.PrevEnabled(4));
    z = -1;
    EXPECT_FALSE(e.FindPrevZeile(2, z));
    EXPECT_EQ(z, -1);
    EXPECT_EQ(e.Items(1).ErrorMsg(), QStringLiteral("Falsche Längenangabe"));
}

// Nesting of records and objects.
TEST(FilePtrList, StructureCases)
{
    const QByteArray obj = L(8110, "x") + L(8002, "Obj_0010") + L(9970, "1") + L(8003, "Obj_0010");
    struct Case { const char *name; QByteArray bytes; bool ok; };
    const Case cases[] = {
        {"one record", Record("8205", L(1, "LDT3.1.3")), true},
        {"record with object", Record("8205", obj), true},
        {"two records", Record("8220", {}) + Record("8205", obj), true},
        {"trailing empty lines", Record("8205", obj) + "\r\n\r\n", true},
        {"first line not 8000", L(1, "LDT3.1.3") + Record("8205", {}), false},
        {"field between records", Record("8220", {}) + L(9999, "x") + Record("8205", {}), false},
        {"wrong record end", L(8000, "8205") + L(8001, "8215"), false},
        {"wrong object end", L(8000, "8205") + L(8002, "Obj_0068") + L(8003, "Obj_0010") + L(8001, "8205"), false},
        {"nested records", L(8000, "8205") + Record("8215", {}) + L(8001, "8205"), false},
        {"object outside record", Record("8205", {}) + L(8002, "Obj_0010") + L(8003, "Obj_0010"), false},
        {"object left open", L(8000, "8205") + L(8002, "Obj_0010") + L(8001, "8205"), false},
        {"record left open", L(8000, "8205") + L(9999, "x"), false},
        {"ends with a field", Record("8205", {}) + L(9999, "x"), false},
        {"empty line inside", L(8000, "8205") + "\r\n" + L(8001, "8205"), true},
        {"record end case-sensitive", L(8000, "abc") + L(8001, "ABC"), false},
    };
    for (const Case &c : cases) {
        Loaded l(c.bytes);
        EXPECT_EQ(l.list.StructureOkay(), c.ok) << c.name;
        if (!c.ok) {
            EXPECT_FALSE(l.list.PathAndLevelOkay()) << c.name;
        }
    }
}

TEST(FilePtrList, LevelsAndPaths)
{
    Loaded l(L(8000, "8205") + L(8110, "x") + L(8002, "Obj_0010") + L(9970, "1") + L(8003, "Obj_0010")
             + L(8001, "8205"));
    ASSERT_TRUE(l.list.PathAndLevelOkay());
    const int levels[] = {0, 0, 1, 2, 1, -1};
    const QList<int> paths[] = {{8205}, {8205}, {8205, 8110}, {8205, 8110}, {8205, 8110}, {8205}};
    const char *shortPaths[] = {"SA8205", "SA8205", "SA8205\\@8110", "SA8205\\@8110", "SA8205\\@8110", "SA8205"};
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(l.list.Level(i), levels[i]) << i;
        EXPECT_EQ(l.list.Path(i), paths[i]) << i;
        EXPECT_EQ(l.list.ShortPath(i), QString::fromUtf8(shortPaths[i])) << i;
    }
    EXPECT_EQ(l.list.ShortPathFK(3), QStringLiteral("SA8205\\@8110\\FK9970"));
    EXPECT_EQ(l.list.ShortPathFK(0), QStringLiteral("SA8205\\FK8000"));
    // lines share path nodes: one per container
    EXPECT_EQ(l.list.PathNodeCount(), 2);

    // a record type that is no number
    Loaded nonum(Record("82x5", L(9999, "a")));
    EXPECT_EQ(nonum.list.Path(1), QList<int>({-1}));
}

TEST(FilePtrList, AttributeWithoutObjectShiftsLevels)
{
    // the attribute's FK stays on the stack: the record end pops it instead
    Loaded l(Record("8205", L(8110, "x") + L(9999, "a")) + Record("8220", L(9999, "b")));
    ASSERT_TRUE(l.list.PathAndLevelOkay());
    EXPECT_EQ(l.list.Level(2), 1);
    EXPECT_EQ(l.list.Path(5), QList<int>({8205, 8220}));
    EXPECT_EQ(l.list.Level(4), 1);
    EXPECT_EQ(l.list.Level(5), 1);
}

TEST(FilePtrList, ObjectWithoutAttributeLeavesNoPaths)
{
    Loaded l(Record("8205", L(8002, "Obj_0010") + L(8003, "Obj_0010") + L(9999, "a")));
    EXPECT_TRUE(l.list.StructureOkay());
    EXPECT_FALSE(l.list.PathAndLevelOkay());
    for (int i = 0; i < l.list.Count(); ++i) {
        EXPECT_EQ(l.list.ShortPath(i), QString());
        EXPECT_EQ(l.list.ShortPathFK(i), QString());
    }
    // the remaining load steps still ran: the unknown field is in the error list
    ASSERT_EQ(l.list.LineErrorList().Count(), 1);
    EXPECT_EQ(l.list.LineErrorList().Items(0).Zeile(), 4);
    EXPECT_EQ(l.list.LineErrorList().Items(0).ErrorMsg(), QStringLiteral("Feld 9999 unbekannt"));
}

TEST(FilePtrList, Checksum)
{
    const QByteArray head = L(8000, "8220") + L(1, "LDT3.1.3");
    const QByteArray digest = QCryptographicHash::hash(head, QCryptographicHash::Sha1).toHex();
    const QByteArray tail = L(8001, "8220");
    struct Case { const char *name; QByteArray bytes; bool ok; bool calculated; };
    const Case cases[] = {
        {"correct", head + L(9300, digest) + tail, true, true},
        {"upper case", head + L(9300, digest.toUpper()) + tail, true, true},
        {"wrong", head + L(9300, QByteArray(40, '0')) + tail, false, true},
        {"missing", head + tail, false, false},
        {"empty content", head + L(9300, {}) + tail, false, true},
        {"two checksum lines", head + L(9300, digest) + L(9300, digest) + tail, false, false},
    };
    for (const Case &c : cases) {
        Loaded l(c.bytes);
        EXPECT_EQ(l.list.CheckSumOkay(), c.ok) << c.name;
        EXPECT_EQ(!l.list.CheckSumCalculated().isEmpty(), c.calculated) << c.name;
        if (c.calculated) {
            EXPECT_EQ(l.list.CheckSumCalculated(), QString::fromLatin1(digest)) << c.name;
        }
    }
    // bytes after the checksum line do not change the digest; one before does
    Loaded after(head + L(9300, digest) + L(8001, "8221"));
    EXPECT_TRUE(after.list.CheckSumOkay());
    QByteArray changed = head + L(9300, digest) + tail;
    changed[20] = 'X';
    Loaded before(changed);
    EXPECT_FALSE(before.list.CheckSumOkay());
}

TEST(FilePtrList, KbvSamples)
{
    const QStringList files = testutil::SampleFiles();
    ASSERT_EQ(files.size(), 18);
    for (const QString &f : files) {
        SCOPED_TRACE(f.toStdString());
        const QByteArray bytes = testutil::ReadAll(f);
        TLDT3FilePtrList list;
        ASSERT_TRUE(list.LoadFromFile(f));
        EXPECT_EQ(list.FileSize(), bytes.size());
        EXPECT_EQ(list.Count(), bytes.count("\r\n"));
        EXPECT_EQ(list.FileErrors(), 0);
        EXPECT_TRUE(list.CheckSumOkay());
        EXPECT_EQ(list.CheckSumCalculated(), list.CheckSumOrg().toLower());
        EXPECT_TRUE(list.StructureOkay());
        EXPECT_TRUE(list.PathAndLevelOkay());
        EXPECT_TRUE(list.IsLDT_3_1_2_OrHigher());
        EXPECT_TRUE(TLDT3::CheckFileName(f));
    }
}

TEST(FilePtrList, SearchRawBytesAndLines)
{
    QByteArray b = Record("8220", L(8000, "x") + L(9999, "Preis 5 \xA4 und\tTab") + L(9999, "8000"));
    Loaded l(b);
    EXPECT_EQ(l.list.FindStrOffset(QStringLiteral("013")), 0);
    EXPECT_TRUE(l.list.StrExists(QString::fromUtf8("5 €")));
    EXPECT_FALSE(l.list.StrExists(QStringLiteral("und\tTab"))); // TAB is outside the set
    EXPECT_FALSE(l.list.StrExists(QString()));
    EXPECT_EQ(l.list.FindStrZeile(QString::fromUtf8("€")), 3);
    EXPECT_EQ(l.list.FindStrZeile(QStringLiteral("nicht da")), 0);

    EXPECT_TRUE(l.list.FindAll(QStringLiteral("8000")));
    EXPECT_EQ(l.list.FoundList().ToArray(), QList<int>({0, 1, 3}));
    // line texts show bytes outside the set as NUL
    EXPECT_FALSE(l.list.FindAll(QStringLiteral("und\tTab")));
    EXPECT_TRUE(l.list.FindAll(QStringLiteral("und") + QChar(0) + QStringLiteral("Tab")));
    EXPECT_EQ(l.list.FoundList().ToArray(), QList<int>({2}));
    EXPECT_FALSE(l.list.FindAll(QString()));
    EXPECT_EQ(l.list.FoundList().Count(), 0);
    EXPECT_FALSE(l.list.FindAll(QString::fromUtf8("中")));
    // a hit across a line end is no hit of one line
    EXPECT_FALSE(l.list.FindAll(QStringLiteral("8220\r\n017")));
    EXPECT_TRUE(l.list.FindAll(QStringLiteral("8220\r\n")));
    EXPECT_EQ(l.list.FoundList().ToArray(), QList<int>({0, 4}));
}

TEST(FilePtrList, SearchCountsLinesByLineFeedOnly)
{
    Loaded cr(QByteArray("0128000abc\r0128000xyz\r"));
    EXPECT_EQ(cr.list.Count(), 2);
    EXPECT_EQ(cr.list.FindStrZeile(QStringLiteral("xyz")), 1);
    EXPECT_TRUE(cr.list.FindAll(QStringLiteral("xyz")));
    EXPECT_EQ(cr.list.FoundList().ToArray(), QList<int>({1}));
}

TEST(FilePtrList, FieldStatisticsAndChecks)
{
    // 8000, 8110, 8002 and two 8242 lines; empty and invalid lines are not counted
    Loaded l(L(8000, "8205") + L(8110, "x") + "\r\nxx\r\n" + L(8242, "a") + L(8242, "b") + L(8002, "Obj_0010")
             + L(0, "null"));
    const QList<TLDT3FeldStatistikRec> rows = l.list.GetFeldStatistikList();
    ASSERT_EQ(rows.size(), 6);
    EXPECT_EQ(rows[0].FK, -1);
    EXPECT_EQ(rows[0].Anzahl, 3);
    EXPECT_EQ(rows[0].FKStr, QString());
    EXPECT_EQ(rows[0].Name, QStringLiteral("Objektattribute (FK 8100 - FK 8299)"));
    EXPECT_EQ(rows[1].FK, 0);
    EXPECT_EQ(rows[1].FKStr, QString());
    EXPECT_EQ(rows[2].FKStr, QStringLiteral("FK 8000"));
    EXPECT_EQ(rows[2].Name, QStringLiteral("Satzart"));
    EXPECT_EQ(rows[3].FK, 8002);
    EXPECT_EQ(rows[4].FK, 8110);
    EXPECT_EQ(rows[5].FK, 8242);
    EXPECT_EQ(rows[5].Anzahl, 2);
    EXPECT_EQ(l.list.FeldErrorCode(2), 1);
    EXPECT_EQ(l.list.FeldErrorCode(3), 1);
    // the field check's message joins the line's message
    EXPECT_EQ(l.list.FeldErrorMsg(7), QStringLiteral("Feld 0000 unbekannt"));
}

TEST(FilePtrList, ChecksumVerdictReachesTheChecksumLine)
{
    const QByteArray head = L(8000, "8220") + L(1, "LDT3.1.3");
    const QByteArray digest = QCryptographicHash::hash(head, QCryptographicHash::Sha1).toHex();
    Loaded good(head + L(9300, digest) + L(8001, "8220"));
    EXPECT_EQ(good.list.FeldErrorCode(2), 0);
    Loaded bad(head + L(9300, QByteArray(40, 'a')) + L(8001, "8220"));
    EXPECT_NE(bad.list.FeldErrorCode(2), 0);
    EXPECT_TRUE(bad.list.FeldErrorMsg(2).contains(QStringLiteral("E157")));
    // a file whose checksum line is empty is not judged by the file before it
    Loaded good2(head + L(9300, digest) + L(8001, "8220"));
    Loaded empty(head + L(9300, {}) + L(8001, "8220"));
    EXPECT_NE(empty.list.FeldErrorCode(2), 0);
}

TEST(FilePtrList, MeaningsAndLongPaths)
{
    Loaded l(L(8000, "8205") + L(8110, "x") + L(8002, "Obj_0010") + L(9970, "1") + L(8003, "Obj_0010")
             + L(8001, "8205"));
    const TLDT3FeldDict *dict = GetLDT3FeldDict();
    const QString expected = dict->GetBedeutung(8000, QStringLiteral("8205")) + QLatin1Char('\\')
                             + dict->GetFeldName(8110) + QLatin1Char('\\') + dict->GetFeldName(9970);
    EXPECT_FALSE(dict->GetBedeutung(8000, QStringLiteral("8205")).isEmpty());
    EXPECT_EQ(l.list.LongPathFK(3), expected);
    EXPECT_EQ(l.list.Bedeutung(0), dict->GetBedeutung(8000, QStringLiteral("8205")));
}

namespace {

// Resident bytes of the mapping that starts at ABase (-1 when not found).
qint64 ResidentBytesOfMapping(const void *ABase)
{
    QFile maps(QStringLiteral("/proc/self/smaps"));
    if (!maps.open(QIODevice::ReadOnly))
        return -1;
    const quintptr base = reinterpret_cast<quintptr>(ABase);
    bool inside = false;
    for (const QByteArray &line : maps.readAll().split('\n')) {
        const int dash = line.indexOf('-');
        const int blank = line.indexOf(' ');
        if (dash > 0 && blank > dash && !line.startsWith("Rss:") && line.indexOf(':') > blank) {
            bool ok = false;
            inside = line.left(dash).toULongLong(&ok, 16) == base && ok;
        } else if (inside && line.startsWith("Rss:")) {
            return line.mid(4).trimmed().split(' ').value(0).toLongLong() * 1024;
        }
    }
    return -1;
}

} // namespace

// The passes over the lines drop the mapped file's pages behind themselves;
// every byte read afterwards is the file's own, the attachment's too.
TEST(FilePtrList, ReleasedPagesReadBackUnchanged)
{
    const QByteArray pdf = QByteArray("%PDF-1.4 ") + QByteArray(40000, 'p') + "\n%%EOF\n";
    QByteArray anlage = L(8110, "Anhang") + L(8002, "Obj_0010") + L(9970, "1") + L(8242, "x") + L(8002, "Obj_0068");
    const QByteArray b64 = pdf.toBase64();
    for (qsizetype i = 0; i < b64.size(); i += 76)
        anlage += L(6329, b64.mid(i, 76));
    anlage += L(8003, "Obj_0068") + L(6303, "pdf") + L(8003, "Obj_0010");
    // well over the releasers' step, with the attachment near the end
    QByteArray body;
    for (int i = 0; body.size() < 9 * (1 << 20); ++i)
        body += L(8410, QByteArray::number(i)) + L(8411, "Glucose \xe4\xf6\xfc");
    const QByteArray bytes = Record("8205", body + anlage);
    Loaded l(bytes);
    ASSERT_TRUE(l.ok);
    ASSERT_TRUE(l.list.StructureOkay());

    const qint64 resident = ResidentBytesOfMapping(l.list.FileBase());
    ASSERT_GE(resident, 0) << "mapping not found";
    EXPECT_LT(resident, bytes.size() / 4);

    qint64 offset = 0;
    for (int i = 0; i < l.list.Count(); ++i) {
        ASSERT_EQ(l.list.OrgBytesView(i), QByteArrayView(bytes).sliced(offset, l.list.LenOrgLine(i))) << i;
        offset += l.list.LenOrgLine(i);
    }
    EXPECT_EQ(offset, bytes.size());
    l.list.ReleaseFilePages();
    EXPECT_EQ(l.list.Inhalt(l.list.Count() - 2), QStringLiteral("Obj_0010"));
    EXPECT_EQ(l.list.AsString().size(), bytes.size());

    ASSERT_EQ(l.list.Base64AnalgenList().Count(), 1);
    l.list.ReleaseFilePages();
    const QString target = l.dir.filePath(QStringLiteral("anhang.pdf"));
    ASSERT_TRUE(l.list.Base64AnalgenList().Items(0)->SaveToFile(target));
    EXPECT_EQ(testutil::ReadAll(target), pdf);
}

// Bytes held in memory are never released: they are the caller's.
TEST(FilePtrList, BufferBytesStayResident)
{
    QByteArray bytes;
    while (bytes.size() < 9 * (1 << 20))
        bytes += L(8410, "1234567890");
    TLDT3FilePtrList list;
    ASSERT_TRUE(list.LoadFromBuffer(bytes, QStringLiteral("mem.ldt")));
    list.ReleaseFilePages();
    EXPECT_EQ(list.OrgBytesView(list.Count() - 1), QByteArrayView(bytes).last(list.LenOrgLine(list.Count() - 1)));
    EXPECT_EQ(QByteArrayView(list.FileBase(), list.FileSize()), QByteArrayView(bytes));
}

// A line's length comes from the next line's offset; the last line read ends
// where the walk stopped, also when the cut-off stops it before the file's end.
TEST(FilePtrList, LastLineLengthAfterCutOff)
{
    struct Case {
        const char *name;
        QByteArray bytes;
        int maxInvalid;
        QList<int> lens;
    };
    const Case cases[] = {
        {"cut after third invalid line", "x\r\nyy\r\nzzz\r\n0118000ab\r\n", 2, {3, 4, 5}},
        {"cut on the last line", "x\r\nyy\r\n", 1, {3, 4}},
        {"no cut, last line without end", "x\r\n0118000ab", 0, {3, 9}},
        {"single line", "0118000ab\r\n", 0, {11}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        Loaded l(c.bytes, c.maxInvalid);
        ASSERT_EQ(l.list.Count(), c.lens.size());
        for (int i = 0; i < l.list.Count(); ++i)
            EXPECT_EQ(l.list.LenOrgLine(i), c.lens[i]) << i;
        const int last = l.list.Count() - 1;
        EXPECT_EQ(l.list.OrgBytes(last), c.bytes.mid(l.list.Offset(last), c.lens[last]));
    }
}

// Levels beyond what the record holds itself (hostile nesting) come back whole.
TEST(FilePtrList, DeepNestingKeepsItsLevels)
{
    const int depth = 17000; // two levels per attribute and object: past 32767
    QByteArray body;
    for (int i = 0; i < depth; ++i)
        body += L(8110, "x") + L(8002, "Obj_0010");
    for (int i = 0; i < depth; ++i)
        body += L(8003, "Obj_0010");
    Loaded l(Record("8205", body));
    ASSERT_TRUE(l.list.PathAndLevelOkay());
    for (int i = 0; i < depth; ++i) {
        ASSERT_EQ(l.list.Level(1 + 2 * i), 2 * i) << i;     // attribute
        ASSERT_EQ(l.list.Level(2 + 2 * i), 2 * i + 1) << i; // object
    }
    EXPECT_EQ(l.list.Level(1 + 2 * depth), 2 * depth - 1); // innermost object end

    const int values[] = {0, -1, 32767, -32767, 32768, -32768, 1 << 30, -(1 << 30), 5};
    for (int v : values) {
        l.list.SetLevel(3, v);
        EXPECT_EQ(l.list.Level(3), v);
        EXPECT_EQ(l.list.Level(2), 1);
    }
}

// The field checks run in pieces on two threads after the parse: every
// line's code and message equal a check of its content alone with the
// file's final tables, whichever piece and thread it fell to. The version
// line comes late (its tables judge the lines before it too), and faulty
// contents and invalid lines are spread over several pieces.
TEST(FilePtrList, FieldChecksInPiecesMatchSingleChecks)
{
    for (const QByteArray &version : {QByteArray("LDT3.1.3"), QByteArray("LDT3.2.20")}) {
        QByteArray bytes = L(8000, "8220") + L(8002, "Obj_0051");
        for (int i = 0; i < 60000; ++i) {
            switch (i % 7) {
            case 0: bytes += L(8316, "Praxis"); break;
            case 1: bytes += L(7278, i % 3 ? "20240823" : "2024x823"); break;  // date, sometimes faulty
            case 2: bytes += L(3110, i % 5 ? "M" : "Q"); break;                // E-rule value
            case 3: bytes += L(8410, QByteArray::number(i)); break;
            case 4: bytes += i % 11 ? L(9999, "x") : QByteArray("12\r\n"); break; // unknown field / invalid line
            case 5: bytes += L(3101, i % 13 ? QByteArray("M\xfcller") : QByteArray("M\x81ller")); break;
            default: bytes += L(7279, "102510"); break;
            }
            if (i == 40000)
                bytes += L(1, version);
        }
        bytes += L(8003, "Obj_0051") + L(8001, "8220");
        Loaded l(bytes);
        ASSERT_TRUE(l.ok);
        ASSERT_GT(l.list.Count(), 3 * (1 << 14));
        const TLDT3FeldDict &dict = l.list.FeldDict();
        int faulty = 0;
        for (int i = 0; i < l.list.Count(); ++i) {
            if (l.list.IsInvalidLine(i)) {
                ASSERT_EQ(l.list.FeldErrorCode(i), 1) << i;
                continue;
            }
            QString msg;
            const int code = dict.CheckFeld(l.list.FK(i), l.list.Inhalt(i), msg);
            ASSERT_EQ(l.list.FeldErrorCode(i), code) << version.constData() << " line " << i;
            ASSERT_EQ(l.list.FeldErrorMsg(i), msg) << version.constData() << " line " << i;
            faulty += code != 0;
        }
        EXPECT_GT(faulty, 10000);
        EXPECT_EQ(l.list.TableSet().Version(), QString::fromLatin1(version)) << version.constData();
    }
}
