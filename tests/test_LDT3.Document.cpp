// The document: one open sequence, honest statuses, and what its observers hear.
#include "TestUtil.h"

#include "LDT3.AppSettings.h"
#include "LDT3.Document.h"
#include "LDT3.XPMHook.h"
#include "Vex_MessageSink.h"

#include <QFileInfo>
#include <QProcess>

#include <new>
#include <sys/stat.h>

namespace {

// Records every call as one text, in order.
struct TRecorder : TLDT3DocumentObserver
{
    QStringList Calls;
    void DocumentChanged(const TLDT3Document &ADoc) override
    {
        Calls << QStringLiteral("doc %1").arg(int(ADoc.Status()));
    }
    void CurrentLineChanged(const TLDT3Document &, int AZeile) override { Calls << QStringLiteral("line %1").arg(AZeile); }
    void RangeChanged(const TLDT3Document &, int A, int B) override { Calls << QStringLiteral("range %1-%2").arg(A).arg(B); }
    void AttachmentChanged(const TLDT3Document &, int AIndex) override { Calls << QStringLiteral("anlage %1").arg(AIndex); }
    void XPMResultChanged(const TLDT3Document &ADoc) override
    {
        Calls << QStringLiteral("xpm %1").arg(ADoc.XPMErrList() ? 1 : 0);
    }
    QStringList Take() { return std::exchange(Calls, {}); }
};

// A test module stand-in: names one line, or throws what it is told to.
struct TFakeRunner : TLDT3XPMRunner
{
    int Runs = 0;
    int Zeile = 1;
    bool ThrowBadAlloc = false;
    std::unique_ptr<TXPMErrList> Run(const TLDT3FilePtrList &) override
    {
        ++Runs;
        if (ThrowBadAlloc)
            throw std::bad_alloc();
        auto l = std::make_unique<TXPMErrList>();
        l->Parameter.ERGEBNIS = QStringLiteral("2");
        l->Parameter.ERGEBNIS_TEXT = QStringLiteral("Datei fehlerhaft");
        TXPMErrRec r;
        r.ErrName = QStringLiteral("K089");
        r.ErrTyp = QStringLiteral("F");
        r.ErrZeile = QString::number(Zeile);
        l->Add(r);
        return l;
    }
};

struct TScopedRunner
{
    explicit TScopedRunner(TLDT3XPMRunner *R) { SetLDT3XPMRunner(R); }
    ~TScopedRunner()
    {
        SetLDT3XPMRunner(nullptr);
        TLDT3AppSettings::SetXPMAutoCheck(false);
    }
};

struct TQuietSink : TMessageSink
{
    void ShowMessage(TMsgKind, const QString &, const QString &) override {}
    bool Confirm(const QString &, const QString &) override { return false; }
};

QString FirstSample()
{
    const QStringList s = testutil::SampleFiles();
    return s.isEmpty() ? QString() : s.first();
}

// Everything a view shows of the lines, as one text.
QString LinesText(const TLDT3FilePtrList &L)
{
    QString r;
    for (int i = 0; i < L.Count(); ++i)
        r += QString::number(L.LineErrorCode(i)) + u'|' + L.ErrorMsg(i) + u'|' + L.LongPathFK(i) + u'\n';
    return r;
}

} // namespace

// A buffer gives the same lines, checks, trees and attachments as the file.
TEST(LDT3Document, BufferOpensLikeThePath)
{
    QStringList files = testutil::SampleFiles();
    for (const QString &n : QDir(testutil::ExamplesDir()).entryList({QStringLiteral("*.ldt")}, QDir::Files))
        files << QDir(testutil::ExamplesDir()).filePath(n);
    ASSERT_GE(files.size(), 3);
    TQuietSink sink;
    SetMessageSink(&sink);
    for (const QString &f : files) {
        TLDT3Document byPath, byBuffer;
        const TLDT3OpenStatus s = byPath.Open(f);
        EXPECT_EQ(byBuffer.OpenBuffer(testutil::ReadAll(f), f), s) << f.toStdString();
        const TLDT3FilePtrList &a = *byPath.PtrList();
        const TLDT3FilePtrList &b = *byBuffer.PtrList();
        EXPECT_EQ(a.Count(), b.Count()) << f.toStdString();
        EXPECT_EQ(a.FileSize(), b.FileSize());
        EXPECT_EQ(a.CheckSumCalculated(), b.CheckSumCalculated());
        EXPECT_EQ(a.StructureOkay(), b.StructureOkay());
        EXPECT_EQ(a.LineErrorList().Count(), b.LineErrorList().Count());
        EXPECT_EQ(a.Base64AnalgenList().Count(), b.Base64AnalgenList().Count());
        EXPECT_EQ(LinesText(a), LinesText(b)) << f.toStdString();
        EXPECT_EQ(byPath.LineList().GetFileInfoXHTML(), byBuffer.LineList().GetFileInfoXHTML());
        ASSERT_EQ(byPath.Datenpaket() != nullptr, byBuffer.Datenpaket() != nullptr);
        EXPECT_EQ(byPath.LineList().LDTTreeBuilt(), byBuffer.LineList().LDTTreeBuilt());
        // each line's bytes come straight from the mapped file
        for (int i = 0; i < a.Count(); i += 13)
            EXPECT_EQ(a.OrgBytesView(i), b.OrgBytes(i));
    }
    SetMessageSink(nullptr);
}

// Every way a file can fail to open ends in one status with its German reason.
TEST(LDT3Document, StatusesSayWhatHappened)
{
    QTemporaryDir dir;
    const QString empty = testutil::WriteFile(dir, QStringLiteral("leer.ldt"), QByteArray());
    QByteArray garbage;
    for (int i = 0; i < 40; ++i)
        garbage += "kein LDT\r\n";
    const QString rejected = testutil::WriteFile(dir, QStringLiteral("Z01muell.ldt"), garbage);
    const QString fifo = dir.filePath(QStringLiteral("rohr.ldt"));
    ASSERT_EQ(::mkfifo(fifo.toLocal8Bit().constData(), 0600), 0);
    const QString missing = dir.filePath(QStringLiteral("fehlt.ldt"));

    struct Case
    {
        QString File;
        TLDT3OpenStatus Status;
        QString Message;
    } cases[] = {
        {FirstSample(), TLDT3OpenStatus::osOpened, QString()},
        {empty, TLDT3OpenStatus::osEmpty, QStringLiteral("Die Datei \"%1\" ist leer und kann nicht gelesen werden.").arg(empty)},
        {rejected, TLDT3OpenStatus::osRejected, QStringLiteral("Diese Datei ist keine LDT-Datei: %1").arg(rejected)},
        {missing, TLDT3OpenStatus::osReadError,
         QStringLiteral("Die Datei \"%1\" kann nicht geöffnet werden: Die Datei existiert nicht.").arg(missing)},
        {dir.path(), TLDT3OpenStatus::osReadError,
         QStringLiteral("Die Datei \"%1\" kann nicht geöffnet werden: Es ist ein Verzeichnis.").arg(dir.path())},
    };
    TLDT3Document doc;
    for (const Case &c : cases) {
        EXPECT_EQ(doc.Open(c.File), c.Status) << c.File.toStdString();
        EXPECT_EQ(doc.StatusMessage(), c.Message);
        EXPECT_EQ(doc.IsOpen(), c.Status == TLDT3OpenStatus::osOpened);
        EXPECT_EQ(doc.FileName(), c.File);
    }
    // a rejected file keeps its lines for the list, but gets no trees
    doc.Open(rejected);
    EXPECT_GT(doc.PtrList()->Count(), 30);
    EXPECT_EQ(doc.Datenpaket(), nullptr);

    // a pipe has no size, but it is not an empty file (opening it for reading
    // needs a writer: one is started that writes nothing)
    QProcess writer;
    writer.start(QStringLiteral("sh"), {QStringLiteral("-c"), QStringLiteral("sleep 1 > \"$0\""), fifo});
    ASSERT_TRUE(writer.waitForStarted());
    EXPECT_EQ(doc.Open(fifo), TLDT3OpenStatus::osReadError);
    EXPECT_EQ(doc.StatusMessage(),
              QStringLiteral("Die Datei \"%1\" kann nicht gelesen werden: Sie ist keine gewöhnliche Datei.").arg(fifo));
    writer.waitForFinished();
}

TEST(LDT3Document, SelectionTellsOnlyChanges)
{
    TLDT3Document doc;
    TRecorder rec;
    doc.AddObserver(&rec);
    doc.AddObserver(&rec); // once is enough
    ASSERT_EQ(doc.Open(FirstSample()), TLDT3OpenStatus::osOpened);
    const int n = doc.PtrList()->Count();
    const int anlagen = doc.PtrList()->Base64AnalgenList().Count();
    EXPECT_EQ(rec.Take(), QStringList{QStringLiteral("doc 1")});

    struct Step
    {
        std::function<void()> Do;
        QStringList Heard;
    } steps[] = {
        {[&] { doc.SetCurrentZeile(5); }, {QStringLiteral("line 5")}},
        {[&] { doc.SetCurrentZeile(5); }, {}}, // its own echo
        {[&] { doc.SetCurrentZeile(n + 1); }, {QStringLiteral("line 0")}},
        {[&] { doc.SetCurrentZeile(-3); }, {}},
        {[&] { doc.SetCurrentZeile(n); }, {QStringLiteral("line %1").arg(n)}},
        {[&] { doc.SetRange(2, 4); }, {QStringLiteral("range 2-4")}},
        {[&] { doc.SetRange(2, 4); }, {}},
        {[&] { doc.SetRange(4, 2); }, {QStringLiteral("range 0-0")}},
        {[&] { doc.SetRange(1, n + 1); }, {}},
        {[&] { doc.SetCurrentAnlage(anlagen); }, {}},
        {[&] { doc.SetCurrentAnlage(anlagen - 1); },
         anlagen > 0 ? QStringList{QStringLiteral("anlage %1").arg(anlagen - 1)} : QStringList{}},
        // a new open replaces the models and clears the selection with one call
        {[&] { doc.Open(FirstSample()); }, {QStringLiteral("doc 1")}},
        {[&] { doc.SetCurrentZeile(n); }, {QStringLiteral("line %1").arg(n)}},
        {[&] { doc.Close(); }, {QStringLiteral("doc 0")}},
        {[&] { doc.Close(); }, {}},
        {[&] { doc.SetCurrentZeile(1); }, {}}, // nothing open: no line 1
    };
    int i = 0;
    for (const Step &s : steps) {
        s.Do();
        EXPECT_EQ(rec.Take(), s.Heard) << "step " << i;
        ++i;
    }
    EXPECT_EQ(doc.CurrentZeile(), 0);
    EXPECT_EQ(doc.CurrentAnlage(), -1);
    doc.RemoveObserver(&rec);
    doc.Open(FirstSample());
    EXPECT_TRUE(rec.Calls.isEmpty());
}

// An observer that leaves while it is told does not stop the others hearing.
TEST(LDT3Document, ObserverMayLeaveWhileTold)
{
    TLDT3Document doc;
    struct TLeaver : TRecorder
    {
        TLDT3Document *Doc = nullptr;
        void CurrentLineChanged(const TLDT3Document &D, int Z) override
        {
            TRecorder::CurrentLineChanged(D, Z);
            Doc->RemoveObserver(this);
        }
    } leaver;
    leaver.Doc = &doc;
    TRecorder other;
    doc.AddObserver(&leaver);
    doc.AddObserver(&other);
    ASSERT_EQ(doc.Open(FirstSample()), TLDT3OpenStatus::osOpened);
    doc.SetCurrentZeile(3);
    doc.SetCurrentZeile(4);
    EXPECT_EQ(leaver.Calls, (QStringList{QStringLiteral("doc 1"), QStringLiteral("line 3")}));
    EXPECT_EQ(other.Calls, (QStringList{QStringLiteral("doc 1"), QStringLiteral("line 3"), QStringLiteral("line 4")}));
}

TEST(LDT3Document, XPMResultReachesLinesAndObservers)
{
    TFakeRunner runner;
    TScopedRunner scoped(&runner);
    TLDT3Document doc;
    TRecorder rec;
    doc.AddObserver(&rec);
    ASSERT_EQ(doc.Open(FirstSample()), TLDT3OpenStatus::osOpened);
    rec.Take();
    EXPECT_EQ(runner.Runs, 0); // the automatic check is off
    runner.Zeile = 3;
    ASSERT_TRUE(doc.XPMCheck());
    EXPECT_EQ(runner.Runs, 1);
    EXPECT_EQ(rec.Take(), QStringList{QStringLiteral("xpm 1")});
    EXPECT_TRUE(doc.PtrList()->LineHasXPMErrors(2));
    EXPECT_TRUE(doc.PtrList()->ErrorMsg(2).startsWith(QStringLiteral("XPM [K089]")));
    EXPECT_EQ(doc.LineList().XPMStatus(), QStringLiteral("XPM: 2 - Datei fehlerhaft"));
    // once per open file
    EXPECT_FALSE(doc.XPMCheck());
    EXPECT_FALSE(doc.SetXPMResult(std::make_unique<TXPMErrList>()));
    EXPECT_EQ(runner.Runs, 1);
    EXPECT_TRUE(rec.Take().isEmpty());

    // a result from elsewhere, after a new open
    doc.Open(FirstSample());
    rec.Take();
    EXPECT_FALSE(doc.SetXPMResult(nullptr));
    EXPECT_TRUE(doc.SetXPMResult(std::make_unique<TXPMErrList>()));
    EXPECT_EQ(rec.Take(), QStringList{QStringLiteral("xpm 1")});

    // the automatic check at load runs through the installed runner, never for bytes in memory
    TLDT3AppSettings::SetXPMAutoCheck(true);
    runner.Zeile = 4;
    doc.Open(FirstSample());
    EXPECT_EQ(runner.Runs, 2);
    EXPECT_TRUE(doc.PtrList()->LineHasXPMErrors(3));
    EXPECT_NE(doc.XPMErrList(), nullptr);
    doc.OpenBuffer(testutil::ReadAll(FirstSample()), FirstSample());
    EXPECT_EQ(runner.Runs, 2);
    EXPECT_EQ(doc.XPMErrList(), nullptr);
}

// Lack of memory in the open sequence is reported as such and leaves an empty document.
TEST(LDT3Document, OutOfMemoryIsReportedNotThrown)
{
    TFakeRunner runner;
    runner.ThrowBadAlloc = true;
    TScopedRunner scoped(&runner);
    TLDT3AppSettings::SetXPMAutoCheck(true);
    TLDT3Document doc;
    const QString f = FirstSample();
    EXPECT_EQ(doc.Open(f), TLDT3OpenStatus::osOutOfMemory);
    EXPECT_EQ(doc.StatusMessage(), QStringLiteral("Nicht genügend Arbeitsspeicher, um die Datei \"%1\" zu öffnen.").arg(f));
    EXPECT_EQ(doc.PtrList()->Count(), 0);
    EXPECT_FALSE(doc.PtrList()->FileIsOpen());
    EXPECT_EQ(doc.Datenpaket(), nullptr);
    // and the next open works
    TLDT3AppSettings::SetXPMAutoCheck(false);
    EXPECT_EQ(doc.Open(f), TLDT3OpenStatus::osOpened);
}

// Without the error tree the lines keep their errors and the LDT tree is the
// same; its root stays empty also after a test module's result, and a later
// open with the tree builds one node per faulty line again.
TEST(LDT3Document, ErrorTreeOnlyWhenAskedFor)
{
    TFakeRunner runner;
    TScopedRunner scoped(&runner);
    QTemporaryDir dir;
    QByteArray bytes = testutil::ReadAll(FirstSample());
    bytes.insert(bytes.indexOf("\r\n") + 2, "\r\n\r\n");
    const QString file = testutil::WriteFile(dir, QStringLiteral("Z01leer.ldt"), bytes);

    TLDT3Document full;
    ASSERT_EQ(full.Open(file), TLDT3OpenStatus::osOpened);
    const int errors = full.PtrList()->LineErrorList().Count();
    ASSERT_GE(errors, 2);
    EXPECT_EQ(full.Datenpaket()->ErrorRoot()->ChildCount(), errors);

    TLDT3Document lean;
    lean.SetBuildErrorTree(false);
    ASSERT_EQ(lean.Open(file), TLDT3OpenStatus::osOpened);
    EXPECT_EQ(lean.PtrList()->LineErrorList().Count(), errors);
    EXPECT_EQ(lean.LineList().LDTTreeBuilt(), full.LineList().LDTTreeBuilt());
    EXPECT_EQ(lean.Datenpaket()->SatzCount(), full.Datenpaket()->SatzCount());
    EXPECT_EQ(lean.Datenpaket()->ErrorRoot()->ChildCount(), 0);
    runner.Zeile = 5;
    ASSERT_TRUE(lean.XPMCheck());
    EXPECT_EQ(lean.Datenpaket()->ErrorRoot()->ChildCount(), 0);
    EXPECT_TRUE(lean.PtrList()->LineHasXPMErrors(4));

    lean.SetBuildErrorTree(true);
    ASSERT_EQ(lean.Open(file), TLDT3OpenStatus::osOpened);
    ASSERT_EQ(lean.Datenpaket()->ErrorRoot()->ChildCount(), errors);
    for (int i = 0; i < errors; ++i)
        EXPECT_EQ(lean.Datenpaket()->ErrorRoot()->Childs(i)->Zeile(), lean.PtrList()->LineErrorList().Items(i).Zeile());
}

namespace {

// Whether the file is still mapped into this process (its models alive).
bool Mapped(const QString &AFile)
{
    const QString path = QFileInfo(AFile).canonicalFilePath();
    return QString::fromUtf8(testutil::ReadAll(QStringLiteral("/proc/self/maps"))).contains(path);
}

struct TLeaveModels
{
    TLeaveModels() { TLDT3Document::SetLeaveModelsAtExit(true); }
    ~TLeaveModels()
    {
        TLDT3Document::SetLeaveModelsAtExit(false);
        TLDT3Document::FreeLeftModels();
    }
};

} // namespace

// The checker's exit path: with the switch a dead document's models stay
// until the next open or FreeLeftModels; without it they go with the document.
TEST(LDT3Document, ModelsLeftAtExitOnlyWhenAsked)
{
    QTemporaryDir dir;
    const QByteArray bytes = testutil::ReadAll(FirstSample());
    const QString a = testutil::WriteFile(dir, QStringLiteral("Z01a.ldt"), bytes);
    const QString b = testutil::WriteFile(dir, QStringLiteral("Z01b.ldt"), bytes);
    {
        TLDT3Document doc;
        ASSERT_EQ(doc.Open(a), TLDT3OpenStatus::osOpened);
        ASSERT_TRUE(Mapped(a)); // the probe sees an open file
    }
    EXPECT_FALSE(Mapped(a));
    {
        TLeaveModels leave;
        {
            TLDT3Document doc;
            ASSERT_EQ(doc.Open(a), TLDT3OpenStatus::osOpened);
        }
        EXPECT_TRUE(Mapped(a));
        {
            // the next open frees them first: one file's models at a time
            TLDT3Document doc;
            ASSERT_EQ(doc.Open(b), TLDT3OpenStatus::osOpened);
            EXPECT_FALSE(Mapped(a));
            EXPECT_TRUE(Mapped(b));
        }
        EXPECT_TRUE(Mapped(b));
    }
    EXPECT_FALSE(Mapped(b));
}
