// Fuzz target: the whole open sequence of a file on arbitrary bytes.
#include "JsonReport.h"
#include "LDT3.Data.h"
#include "LDT3.Document.h"
#include "LDT3.FilePtrList.h"
#include "TreeCommand.h"
#include "Vex_MessageSink.h"

#include <QJsonDocument>
#include <QTemporaryDir>
#include <QTextStream>

#include <cstdint>

// Tree-build messages are expected for most inputs: keep them off stderr.
struct TQuietSink : TMessageSink
{
    void ShowMessage(TMsgKind, const QString &, const QString &) override {}
    bool Confirm(const QString &, const QString &) override { return false; }
};

// The attachments' temporary files go to a directory of their own.
static void SetUpOnce()
{
    static QTemporaryDir dir;
    static const bool once = [] {
        SetLDTTmpDir(dir.filePath(QStringLiteral("tmp")));
        static TQuietSink sink;
        SetMessageSink(&sink);
        return true;
    }();
    (void)once;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *AData, size_t ASize)
{
    SetUpOnce();
    // the fuzzer's bytes are read in place, as a mapped file would be
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char *>(AData), qsizetype(ASize));
    const QString name = QStringLiteral("Z01fuzz.ldt");
    TLDT3FilePtrList list;
    list.SetMaxInvalidLines(30);
    try {
        list.LoadFromBuffer(bytes, name);
    } catch (const ELDT3Error &) {
        return 0;
    }
    // read every per-line text once, as the views do
    for (int i = 0; i < list.Count(); ++i) {
        (void)list.ErrorMsg(i);
        (void)list.ShortPathFK(i);
        (void)list.LongPathFK(i);
        (void)list.Bedeutung(i);
        (void)list.DumpOrgBytesAnsi(i);
    }
    (void)list.GetFeldStatistikList();
    list.FindAll(QStringLiteral("8000"));
    for (int k = 0; k < list.Base64AnalgenList().Count(); ++k)
        (void)list.Base64AnalgenList().Items(k)->AnhangCaption();
    list.Clear();

    // the viewer's open sequence: trees, rows, reports, and the checker's output
    TLDT3Document doc;
    if (doc.OpenBuffer(bytes, name) == TLDT3OpenStatus::osReadError)
        return 0;
    TLDT3LineList &lines = doc.LineList();
    lines.BuildLineList(true);
    for (int i = 0; i < lines.Count(); i += 7)
        (void)lines.Items(i)->ErrorMsg();
    (void)lines.GetFileInfoXHTML();
    (void)lines.GetFeldStatistikXHTML();
    (void)lines.GetFileContentXHTML();
    (void)QJsonDocument(LineListJson(lines, name, false)).toJson();
    QString treeText;
    QTextStream treeOut(&treeText);
    PrintTrees(doc, treeOut);
    TLDT3Data::DeleteScheduledFiles();
    return 0;
}
