#include "JsonReport.h"
#include "JsonStreamWriter.h"

#include "LDT3.AppSettings.h"
#include "LDT3.Document.h"
#include "LDT3.LVBase.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QTextStream>

namespace {

QString FileTypeText(TLDT3FileTyp ATyp)
{
    switch (ATyp) {
    case ftAuftrag: return QStringLiteral("Auftrag");
    case ftBefund: return QStringLiteral("Befund");
    case ftNone: break;
    }
    return QString();
}

bool Rejected(const TLDT3LineList &AList)
{
    return AList.MaxInvalidLines() > 0 && AList.InvalidLines() > AList.MaxInvalidLines();
}

QJsonObject TreeJson(const TLDT3LineList &AList)
{
    QJsonObject t;
    const TLDT3Datenpaket *d = AList.Datenpaket();
    t[QStringLiteral("built")] = AList.LDTTreeBuilt();
    t[QStringLiteral("fileType")] = d && d->LDTRoot() ? FileTypeText(d->LDTRoot()->LDT3FileTyp()) : QString();
    t[QStringLiteral("caption")] = d && d->LDTRoot() ? d->LDTRoot()->Caption() : QString();
    t[QStringLiteral("records")] = d ? d->SatzCount() : 0;
    t[QStringLiteral("error")] = d ? d->BuildError() : QString();
    return t;
}

QJsonObject XPMJson(const TLDT3LineList &AList)
{
    QJsonObject x;
    x[QStringLiteral("status")] = AList.XPMStatus();
    QJsonArray msgs;
    if (const TXPMErrList *l = AList.XPMErrList()) {
        for (int i = 0; i < l->Count(); ++i) {
            const TXPMErrRec &r = l->Items(i);
            QJsonObject m;
            m[QStringLiteral("line")] = TXPMErrList::ZeileKey(r.ErrZeile);
            m[QStringLiteral("type")] = r.ErrTyp;
            m[QStringLiteral("name")] = r.ErrName;
            m[QStringLiteral("group")] = r.ErrGruppe;
            m[QStringLiteral("message")] = r.ErrMsg;
            msgs.append(m);
        }
    }
    x[QStringLiteral("messages")] = msgs;
    return x;
}

// Every member of a file's object but "errors", which is written as it goes.
QJsonObject SummaryJson(const TLDT3LineList &AList, const QString &AFileName, bool AWithXPM)
{
    const TLDT3FilePtrList &f = *AList.PtrList();
    QJsonObject o;
    o[QStringLiteral("file")] = AFileName;
    o[QStringLiteral("size")] = f.FileSize();
    o[QStringLiteral("lines")] = f.Count();
    o[QStringLiteral("rejected")] = Rejected(AList);
    o[QStringLiteral("invalidLines")] = AList.InvalidLines();
    o[QStringLiteral("emptyLinesAtEnd")] = f.EmptyLinesAtEnd();
    o[QStringLiteral("fileErrors")] = f.FileErrors() & 0xFF;
    o[QStringLiteral("fileNameOk")] = TLDT3::CheckFileName(AFileName);
    o[QStringLiteral("version")] = f.XDTVersion();
    o[QStringLiteral("versionOk")] = f.IsLDT_3_1_2_OrHigher();
    // only for a later version, so that the output for LDT 3.1.3 files stays as it was
    if (!f.TableSet().IsDefault())
        o[QStringLiteral("tables")] = f.TableSet().Version();
    QJsonObject cs;
    cs[QStringLiteral("inFile")] = f.CheckSumOrg();
    cs[QStringLiteral("calculated")] = f.CheckSumCalculated();
    cs[QStringLiteral("ok")] = f.CheckSumOkay();
    o[QStringLiteral("checksum")] = cs;
    o[QStringLiteral("structureOk")] = f.StructureOkay();
    o[QStringLiteral("pathAndLevelOk")] = f.PathAndLevelOkay();
    o[QStringLiteral("tree")] = TreeJson(AList);

    QJsonArray anlagen;
    const TLDT3Base64AnlagenList &al = f.Base64AnalgenList();
    for (int i = 0; i < al.Count(); ++i) {
        const TLDT3Base64Anlage *a = al.Items(i);
        QJsonObject j;
        j[QStringLiteral("number")] = a->Number();
        j[QStringLiteral("caption")] = a->AnhangCaption();
        j[QStringLiteral("format")] = a->DateiFormat();
        j[QStringLiteral("description")] = a->DateiBeschreibung();
        j[QStringLiteral("startLine")] = a->StartZeile();
        j[QStringLiteral("endLine")] = a->EndeZeile();
        j[QStringLiteral("defaultFileName")] = a->DefaultFileNameNoPath();
        anlagen.append(j);
    }
    o[QStringLiteral("attachments")] = anlagen;

    QJsonObject counts;
    for (int bit = LE_EmptyLine; bit <= LE_EmptyLineAtEnd; bit <<= 1)
        counts[QString::number(bit)] = f.ErrorCounter().GetCount(bit);
    o[QStringLiteral("errorCounts")] = counts;

    if (AWithXPM)
        o[QStringLiteral("xpm")] = XPMJson(AList);
    return o;
}

// The file's "errors" array, one object per faulty line.
void WriteErrors(TJsonStreamWriter &AW, const TLDT3FilePtrList &AList)
{
    const TLDT3LineErrorList &el = AList.LineErrorList();
    AW.BeginArray();
    for (int i = 0; i < el.Count(); ++i) {
        const TLDT3Line line(&AList, el.Items(i).PtrIdx());
        AW.BeginObject();
        AW.Key(u"feldErrorCode");
        AW.Value(line.FeldErrorCode());
        AW.Key(u"line");
        AW.Value(line.Zeile());
        AW.Key(u"lineErrorCode");
        AW.Value(line.LineErrorCode());
        AW.Key(u"message");
        AW.Value(QStringView(line.ErrorMsg()));
        AW.EndObject();
    }
    AW.EndArray();
}

void WriteFileObject(TJsonStreamWriter &AW, const QJsonObject &ASummary, const TLDT3LineList &AList)
{
    AW.BeginObject();
    AW.Members(ASummary, u"errors", [&] { WriteErrors(AW, *AList.PtrList()); });
    AW.EndObject();
}

// Opens AFileName like the viewer and writes its object. ARc becomes 0, 1 or
// 2 (2 also when the file could not be read; the object then carries
// "readError" with the reason).
void WriteFileJson(TJsonStreamWriter &AW, const QString &AFileName, const TJsonOptions &AOptions, int &ARc)
{
    TLDT3Document doc;
    doc.SetMaxInvalidLines(AOptions.MaxInvalidLines);
    doc.SetBuildErrorTree(false); // no member comes from it: no node per faulty line
    if (!AOptions.XPMDir.isEmpty())
        TLDT3AppSettings::SetXPMDir(AOptions.XPMDir);
    const TLDT3OpenStatus status = doc.Open(AFileName);
    const bool readable = status == TLDT3OpenStatus::osOpened || status == TLDT3OpenStatus::osRejected;
    const QString readError = readable ? QString() : doc.StatusMessage();
    if (AOptions.WithXPM && readable)
        doc.XPMCheck();
    const TLDT3LineList &list = doc.LineList();
    QJsonObject o = SummaryJson(list, AFileName, AOptions.WithXPM);
    if (!readError.isEmpty()) {
        o[QStringLiteral("readError")] = readError;
        ARc = 2;
    } else {
        ARc = LineListExitCode(list);
    }
    WriteFileObject(AW, o, list);
}

} // namespace

QJsonObject LineListJson(const TLDT3LineList &AList, const QString &AFileName, bool AWithXPM)
{
    QString text;
    {
        QTextStream out(&text);
        TJsonStreamWriter w(out);
        WriteFileObject(w, SummaryJson(AList, AFileName, AWithXPM), AList);
    }
    return QJsonDocument::fromJson(text.toUtf8()).object();
}

int LineListExitCode(const TLDT3LineList &AList)
{
    const TLDT3FilePtrList &f = *AList.PtrList();
    if (!f.FileIsOpen() || Rejected(AList))
        return 2;
    const bool clean = f.LineErrorList().Count() == 0 && f.StructureOkay() && f.CheckSumOkay() &&
                       AList.LDTTreeBuilt();
    return clean ? 0 : 1;
}

int WriteJsonReport(const QStringList &AFiles, const TJsonOptions &AOptions, QTextStream &AOut)
{
    int rc = 0;
    TJsonStreamWriter w(AOut);
    // one file is one object; any other number an array of them
    const bool array = AFiles.size() != 1;
    if (array)
        w.BeginArray();
    for (const QString &f : AFiles) {
        int r = 0;
        WriteFileJson(w, f, AOptions, r);
        rc = qMax(rc, r);
    }
    if (array)
        w.EndArray();
    w.Flush();
    AOut.flush();
    return rc;
}
