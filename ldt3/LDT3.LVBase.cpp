#include "LDT3.LVBase.h"

#include "LDT3.Feld.h"
#include "LDT3.Html.h"
#include "Vex_BufStr.h"
#include "WStrTools.h"

#include <QFileInfo>
#include <QHash>

#include <algorithm>
#include <stdexcept>

namespace {

QString ReplaceNul(QString S)
{
    return S.replace(QChar(0), QChar(0x25B2));
}

} // namespace

// ---------------------------------------------------------------- TLDT3Line

QString LDT3ColumnCaption(int I)
{
    switch (I) {
    case lcZeile: return QStringLiteral("Zeile");
    case lcLen: return QStringLiteral("Länge");
    case lcFK: return QStringLiteral("Feld");
    case lcInhalt: return QStringLiteral("Inhalt");
    case lcBeschreibung: return QStringLiteral("Erläuterung");
    case lcFeldName: return QStringLiteral("Feldname");
    case lcStatus: return QStringLiteral("Status");
    default: return QString();
    }
}

QString TLDT3Line::InhaltShown() const
{
    return ReplaceNul(Inhalt());
}

QString TLDT3Line::LineErrorMsg() const
{
    return FPtrList->LineErrorMsg(FPtrIdx);
}

QString TLDT3Line::ErrorMsg() const
{
    QString r = LineErrorMsg();
    AddWithSeparator(r, QStringLiteral(", "), FeldErrorMsg());
    return r;
}

QString TLDT3Line::GetColumn(int I) const
{
    const bool ok = LineOK();
    switch (I) {
    case lcZeile:
        return QString::number(Zeile());
    case lcLen:
        return ok ? TLDT3::IntToStr_LZ(Len(), 3) : QString();
    case lcFK:
        return ok ? TLDT3::IntToStr_LZ(FK(), 4) : QString();
    case lcInhalt:
        return ok ? InhaltShown() : FPtrList->DumpOrgBytesAnsi(FPtrIdx);
    case lcBeschreibung: {
        if (!ok)
            return QString();
        QString r = FPtrList->FeldDict().GetBedeutung(FK(), Inhalt());
        switch (FKTyp()) {
        case TLDT3::fkt_SatzArt:
        case TLDT3::fkt_ObjektIdent:
            r.prepend(QStringLiteral("< "));
            break;
        case TLDT3::fkt_SatzEnde:
        case TLDT3::fkt_ObjektEnde:
            r.append(QStringLiteral(" >"));
            break;
        default:
            break;
        }
        return r;
    }
    case lcFeldName:
        return ok ? FPtrList->FeldDict().GetFeldName(FK()) : QString();
    case lcStatus:
        return StatusText();
    default:
        return QString();
    }
}

static TLDT3Color FKColor(TLDT3::TFKTyp ATyp, TLDT3Color ANone)
{
    using namespace LDT3Colors;
    switch (ATyp) {
    case TLDT3::fkt_None: return ANone;
    case TLDT3::fkt_XDTVersion: return Fuchsia;
    case TLDT3::fkt_SatzArt: return Orange;
    case TLDT3::fkt_SatzEnde: return Peru;
    case TLDT3::fkt_ObjektIdent: return Blue;
    case TLDT3::fkt_ObjektEnde: return Navy;
    case TLDT3::fkt_Pruefsumme: return Purple;
    case TLDT3::fkt_ObjektAttribut: return DarkGreen;
    case TLDT3::fkt_Base64CodierteZeile: return Silver;
    }
    return ANone;
}

TLDT3Color TLDT3Line::GetFontColor(int I) const
{
    using namespace LDT3Colors;
    switch (I) {
    case lcZeile: return Chocolate;
    case lcLen: return Teal;
    case lcFK: return FKColor(FKTyp(), DimGray);
    case lcInhalt: return FKColor(FKTyp(), Black);
    case lcBeschreibung:
        switch (FKTyp()) {
        case TLDT3::fkt_SatzArt: return Orange;
        case TLDT3::fkt_SatzEnde: return Peru;
        case TLDT3::fkt_ObjektAttribut: return DarkGreen;
        default: return Navy;
        }
    case lcFeldName: return DimGray;
    case lcStatus: return LineHasErrors() ? Tomato : Black;
    default: return Black;
    }
}

TLDT3FontStyles TLDT3Line::GetFontStyles(int I) const
{
    switch (I) {
    case lcZeile:
    case lcFK:
    case lcInhalt:
        return fsBold;
    case lcBeschreibung:
        switch (FKTyp()) {
        case TLDT3::fkt_SatzArt:
        case TLDT3::fkt_SatzEnde:
        case TLDT3::fkt_ObjektIdent:
        case TLDT3::fkt_ObjektEnde:
        case TLDT3::fkt_ObjektAttribut:
            return fsBold | fsItalic;
        default:
            return fsItalic;
        }
    case lcStatus:
        return LineHasErrors() ? fsBold : 0;
    default:
        return 0;
    }
}

TLDT3Color TLDT3Line::GetBrushColor(int) const
{
    return LDT3Colors::White;
}

int TLDT3Line::ImageIndex() const
{
    if (LineHasXPMErrors())
        return LDT3ImageXPM;
    if (LineHasErrors())
        return LDT3ImageError;
    return LDT3ImageNone;
}

QString TLDT3Line::InfoTip() const
{
    const QString raw = FPtrList->DumpOrgBytesAnsi(FPtrIdx);
    if (!LineOK())
        return Format(QStringLiteral("Zeile: %d\n%s"), {Zeile(), raw});
    QString r = Format(QStringLiteral("Zeile: %d Länge: \"%s\" FK: \"%s\" Inhalt: \"%s\"\n%s"),
                       {Zeile(), TLDT3::IntToStr_LZ(Len(), 3), TLDT3::IntToStr_LZ(FK(), 4), InhaltShown(), raw});
    const QString longPath = LongPathFK();
    if (!longPath.isEmpty())
        r += QLatin1Char('\n') + longPath;
    const QString shortPath = ShortPathFK();
    if (!shortPath.isEmpty())
        r += QLatin1Char('\n') + shortPath;
    return r;
}

QString TLDT3Line::DetailCaption() const
{
    if (LineOK())
        return Format(QStringLiteral("Information zu %s"), {LongPathFK()});
    return Format(QStringLiteral("Fehlerhafte Zeile: %d"), {Zeile()});
}

QString TLDT3Line::DetailInfoXHTML() const
{
    QString m;
    if (const TXPMErrList *xpm = FPtrList->XPMErrList())
        if (xpm->ZeileExists(Zeile()))
            m = xpm->GetXPMMessageTableForZeileXHTML(Zeile());
    const QString status = StatusText();
    if (m.isEmpty() && !FeldOK() && !status.isEmpty())
        m = QStringLiteral("<p class=\"error\">Fehler: ") + XmlEscape(status) + QStringLiteral("</p>");
    if (LineOK() && (!m.isEmpty() || FeldOK()))
        return FPtrList->FeldDict().GetFeldInfoXHTML(FK(), m);
    return QStringLiteral("<HTML>") + XmlEscape(status) + QStringLiteral("</HTML>");
}

// ---------------------------------------------------------------- TLDT3LineList

TLDT3LineList::TLDT3LineList() : FPtrList(std::make_unique<TLDT3FilePtrList>()) {}

TLDT3LineList::~TLDT3LineList()
{
    ClearRows();
    // The tree refers to the file's attachments: it goes before the file.
    FDatenpaket.reset();
    FPtrList.reset();
}

void TLDT3LineList::ClearRows()
{
    FRows.clear();
    FRows.shrink_to_fit();
    FRowCount = 0;
    std::lock_guard<std::mutex> guard(FKeptLock);
    FKeptIndex.clear();
    FKept.clear();
}

void TLDT3LineList::Clear()
{
    ClearRows();
    FDatenpaket.reset();
    FPtrList->Clear();
    FSearchPattern.clear();
}

bool TLDT3LineList::GetLDT3FilePtrList(const QString &AFileName, bool ABuildTrees)
{
    return RunOpenSequence(AFileName, ABuildTrees, [&](const TLDT3FilePtrList::TWithChecks &ATrees) {
        return FPtrList->LoadFromFile(AFileName, nullptr, ATrees);
    });
}

bool TLDT3LineList::LoadFromBuffer(const QByteArray &AData, const QString &AName, bool ABuildTrees)
{
    return RunOpenSequence(AName, ABuildTrees, [&](const TLDT3FilePtrList::TWithChecks &ATrees) {
        return FPtrList->LoadFromBuffer(AData, AName, nullptr, ATrees);
    });
}

bool TLDT3LineList::RunOpenSequence(const QString &AFileName, bool ABuildTrees, const TLoad &ALoad)
{
    FFileName = AFileName;
    FInvalidLines = 0;
    FLDTTreeBuilt = false;
    Clear();
    // The LDT and attachment trees read no line's error codes: they are
    // built while the field checks run.
    auto buildTrees = [this] {
        FDatenpaket = std::make_unique<TLDT3Datenpaket>(FPtrList.get());
        FLDTTreeBuilt = FDatenpaket->BuildLDTTree();
        FDatenpaket->BuildBase64Tree();
    };
    bool loaded = false;
    try {
        loaded = ALoad(ABuildTrees ? TLDT3FilePtrList::TWithChecks(buildTrees) : TLDT3FilePtrList::TWithChecks());
    } catch (...) {
        FInvalidLines = FPtrList->InvalidLines();
        FDatenpaket.reset(); // no trees of a load that failed
        FLDTTreeBuilt = false;
        throw;
    }
    FInvalidLines = FPtrList->InvalidLines();
    if (!loaded || FPtrList->Count() == 0 || !ABuildTrees)
        return loaded && FPtrList->Count() > 0;
    if (FBuildErrorTree)
        FDatenpaket->BuildErrorTree();
    // the trees read the lines they show: done with their pages
    FPtrList->ReleaseFilePages();
    return true;
}

bool TLDT3LineList::BuildLineList(bool AIgnoreBase64)
{
    ClearRows();
    const int n = FPtrList->Count();
    if (n == 0)
        return false;
    const TLDT3FilePtrList *list = FPtrList.get();
    const int hidden = AIgnoreBase64 ? FPtrList->FeldCounter().GetCount(TLDT3::FK_Base64) : 0;
    if (hidden > 0) {
        FRows.reserve(size_t(std::max(n - hidden, 0)));
        // lines come in ascending order, so the rows are sorted as added
        for (int i = 0; i < n; ++i)
            if (list->Item(i).FFK != TLDT3::FK_Base64)
                FRows.push_back(i);
        FRowCount = int(FRows.size());
    } else {
        FRowCount = n;
    }
    return true;
}

TLDT3Line TLDT3LineList::Line(int Index) const
{
    if (Index < 0 || Index >= Count())
        throw std::out_of_range("TLDT3LineList::Line");
    TLDT3Line line(FPtrList.get(), PtrIdxOfRow(Index));
    line.FInListIndex = Index;
    return line;
}

TLDT3Line *TLDT3LineList::Items(int Index)
{
    return const_cast<TLDT3Line *>(static_cast<const TLDT3LineList *>(this)->Items(Index));
}

const TLDT3Line *TLDT3LineList::Items(int Index) const
{
    TLDT3Line line = Line(Index);
    std::lock_guard<std::mutex> guard(FKeptLock);
    if (TLDT3Line *kept = FKeptIndex.value(Index))
        return kept;
    TLDT3Line *kept = &FKept.emplace_back(line);
    FKeptIndex.insert(Index, kept);
    return kept;
}

int TLDT3LineList::RowOfZeile(int ALineNo) const
{
    if (ALineNo < 1 || ALineNo > FPtrList->Count() || FRowCount == 0)
        return -1;
    const int idx = ALineNo - 1;
    if (FRows.empty())
        return idx < FRowCount ? idx : -1;
    const auto it = std::lower_bound(FRows.begin(), FRows.end(), idx);
    return it != FRows.end() && *it == idx ? int(it - FRows.begin()) : -1;
}

TLDT3Line *TLDT3LineList::GetLDT3LineFromZeile(int ALineNo) const
{
    const int row = RowOfZeile(ALineNo);
    return row < 0 ? nullptr : const_cast<TLDT3Line *>(Items(row));
}

TLDT3Line *TLDT3LineList::GetNearestLDT3LineFromZeile(int ALineNo, bool &FoundExact) const
{
    if (TLDT3Line *line = GetLDT3LineFromZeile(ALineNo)) {
        FoundExact = true;
        return line;
    }
    FoundExact = false;
    if (Count() == FPtrList->Count() || ALineNo > FPtrList->Count() || FRows.empty())
        return nullptr;
    // the last row whose line comes before ALineNo
    const auto it = std::upper_bound(FRows.begin(), FRows.end(), ALineNo - 1);
    if (it == FRows.begin())
        return nullptr;
    return const_cast<TLDT3Line *>(Items(int(it - 1 - FRows.begin())));
}

TLDT3LineNode *TLDT3LineList::GetLDT3LineNodeFromZeile(int ALineNo) const
{
    return FDatenpaket ? FDatenpaket->GetLDT3LineNodeFromZeile(ALineNo) : nullptr;
}

TLDT3LineNode *TLDT3LineList::GetLDT3LineNodeFromLDT3Line(const TLDT3Line *ALine) const
{
    return ALine ? GetLDT3LineNodeFromZeile(ALine->Zeile()) : nullptr;
}

TLDT3LineErrorNode *TLDT3LineList::GetLDT3LineErrorNodeFromZeile(int ALineNo) const
{
    return FDatenpaket ? FDatenpaket->GetLDT3LineErrorNodeFromZeile(ALineNo) : nullptr;
}

TLDT3LineErrorNode *TLDT3LineList::GetLDT3LineErrorNodeFromLDT3Line(const TLDT3Line *ALine) const
{
    return ALine ? GetLDT3LineErrorNodeFromZeile(ALine->Zeile()) : nullptr;
}

static TLDT3ItemID ItemOfNode(const TLDT3TreeControl *ATreeView, const TLDT3Node *ANode)
{
    if (!ATreeView || !ANode || !ANode->ItemID())
        return TLDT3ItemID(0);
    return ATreeView->FindItem(ANode->ItemID()) ? ANode->ItemID() : TLDT3ItemID(0);
}

TLDT3ItemID TLDT3LineList::GetTVNodeFromLDT3LineNode(const TLDT3TreeControl *ATreeView,
                                                     const TLDT3LineNode *ALineNode) const
{
    return ItemOfNode(ATreeView, ALineNode);
}

TLDT3ItemID TLDT3LineList::GetTVNodeFromZeile(const TLDT3TreeControl *ATreeView, int ALineNo) const
{
    return ATreeView ? ItemOfNode(ATreeView, GetLDT3LineNodeFromZeile(ALineNo)) : TLDT3ItemID(0);
}

TLDT3ItemID TLDT3LineList::GetTVNodeFromLDT3Line(const TLDT3TreeControl *ATreeView, const TLDT3Line *ALine) const
{
    return ATreeView ? ItemOfNode(ATreeView, GetLDT3LineNodeFromLDT3Line(ALine)) : TLDT3ItemID(0);
}

TLDT3ItemID TLDT3LineList::GetTVErrorsNodeFromLDT3LineErrorNode(const TLDT3TreeControl *ATreeView,
                                                                const TLDT3LineErrorNode *ALineErrorNode) const
{
    return ItemOfNode(ATreeView, ALineErrorNode);
}

TLDT3ItemID TLDT3LineList::GetTVErrorsNodeFromZeile(const TLDT3TreeControl *ATreeView, int ALineNo) const
{
    return ATreeView ? ItemOfNode(ATreeView, GetLDT3LineErrorNodeFromZeile(ALineNo)) : TLDT3ItemID(0);
}

TLDT3ItemID TLDT3LineList::GetTVErrorsNodeFromLDT3Line(const TLDT3TreeControl *ATreeView,
                                                       const TLDT3Line *ALine) const
{
    return ATreeView ? ItemOfNode(ATreeView, GetLDT3LineErrorNodeFromLDT3Line(ALine)) : TLDT3ItemID(0);
}

bool TLDT3LineList::FindStr(const QString &ASearchPattern)
{
    FSearchPattern = ASearchPattern;
    FPtrList->FindAll(ASearchPattern);
    return FoundCount() > 0;
}

int TLDT3LineList::GetFoundZeile(int Index) const
{
    if (Index < 0 || Index >= FoundCount())
        return 0;
    return FPtrList->FoundList().Items(Index) + 1;
}

bool TLDT3LineList::SetXPMResult(std::unique_ptr<TXPMErrList> AList)
{
    if (!FPtrList->SetXPMResult(std::move(AList)))
        return false;
    // the old error nodes point into the rebuilt list: replace them
    if (FDatenpaket && FBuildErrorTree)
        FDatenpaket->RebuildErrorTree();
    return true;
}

bool TLDT3LineList::XPMCheck()
{
    if (!FPtrList->FileIsOpen() || !FPtrList->XPMCheck())
        return false;
    if (FDatenpaket && FBuildErrorTree)
        FDatenpaket->RebuildErrorTree();
    return true;
}

// ---------------------------------------------------------------- reports

QString FormatFileSize(int ADecimals, bool AWithBytes, qint64 ASize)
{
    if (ADecimals < 0)
        return Format(QStringLiteral("%.0n Byte"), {double(ASize)});
    const char *unit = nullptr;
    double value = 0;
    if (ASize > 1073741824) {
        unit = "GB";
        value = double(ASize) / 1024 / 1024 / 1024;
    } else if (ASize > 1048576) {
        unit = "MB";
        value = double(ASize) / 1024 / 1024;
    } else if (ASize > 1024) {
        unit = "KB";
        value = double(ASize) / 1024;
    } else {
        return Format(QStringLiteral("%.0n Byte"), {double(ASize)});
    }
    if (AWithBytes)
        return Format(QStringLiteral("%.*n %s (%.0n Byte)"), {ADecimals, value, unit, double(ASize)});
    return Format(QStringLiteral("%.*n %s"), {ADecimals, value, unit});
}

namespace {

void AddHead(TXHtmlWriter &W, const QString &ATitle, const QString &AFileName)
{
    W.Heading(1, ATitle);
    W.Raw(QStringLiteral("<h3>Datei: ") + TXHtmlWriter::CellText(AFileName) + QStringLiteral("</h3>"));
}

void AddRow(TXHtmlWriter &W, const QString &ALabel, const QString &AValue, const char *AClass = nullptr)
{
    W.NameValueRow(ALabel, AValue, AClass ? QString::fromLatin1(AClass) : QString());
}

QString FKLabel(const char *AFmt, int AFK)
{
    return Format(QString::fromUtf8(AFmt), {QStringLiteral("FK ") + TLDT3::IntToFK(AFK)});
}

} // namespace

QString TLDT3LineList::GetFileInfoXHTML() const
{
    static const QString title = QStringLiteral("Datei-Information");
    const TLDT3FilePtrList &f = *FPtrList;
    TBufferedString B;
    TXHtmlWriter W(B);
    AddHead(W, title, FFileName);
    if (const TXPMErrList *xpmList = FPtrList->XPMErrList()) {
        W.Raw(QStringLiteral("<div class=\"xpm\">"));
        B.Add(xpmList->GetXPMParameterTableXHTML());
        W.Raw(QStringLiteral("<br /><br />"));
        B.Add(xpmList->GetXPMMessageTableXHTML());
        W.Raw({"<br /><br />", "</div>"});
    }
    W.Raw({"<div>", "<table summary=\"Datei-Information\">"});
    W.HeadRow({u"Name", u"Wert"});

    const QString ok = QStringLiteral("OK");
    AddRow(W, QStringLiteral("Dateiname"), FFileName);
    if (TLDT3::CheckFileName(FFileName))
        AddRow(W, QStringLiteral("Status Dateiname"), ok, "okay");
    else
        AddRow(W, QStringLiteral("Status Dateiname"),
               QStringLiteral("Fehler: Der Dateiname entspricht nicht der Dateinamenskonvention \"Z01nnnnn.ldt\""),
               "error");
    AddRow(W, QStringLiteral("LDT-Version"), f.XDTVersion());
    if (f.IsLDT_3_1_2_OrHigher())
        AddRow(W, QStringLiteral("Status LDT-Version"), ok, "okay");
    else
        AddRow(W, QStringLiteral("Status LDT-Version"),
               Format(QStringLiteral("LDT-Version ist nicht %s oder höher"),
                      {f.FeldDict().ImplementedVersion()}),
               "error");
    // A file of a later version names the tables that checked it.
    if (!f.TableSet().IsDefault())
        AddRow(W, QStringLiteral("Geprüft nach"), f.TableSet().Version());
    AddRow(W, QStringLiteral("Prüfsumme in Datei"), f.CheckSumOrg());
    AddRow(W, QStringLiteral("Prüfsumme berechnet"), f.CheckSumCalculated());
    if (f.CheckSumOkay())
        AddRow(W, QStringLiteral("Status Prüfsumme"), ok, "okay");
    else
        AddRow(W, QStringLiteral("Status Prüfsumme"), QStringLiteral("Fehler"), "error");
    if (f.FileErrorInvalidChars())
        AddRow(W, QStringLiteral("Status Zeichensatz ISO 8859-15"),
               QStringLiteral("Fehler: Datei enthält ungülige Zeichen"), "error");
    else
        AddRow(W, QStringLiteral("Status Zeichensatz ISO 8859-15"), ok, "okay");
    AddRow(W, QStringLiteral("Dateigröße"), FormatFileSize(2, true, f.FileSize()));
    AddRow(W, QStringLiteral("Zeilen"), QString::number(f.Count()));
    AddRow(W, QStringLiteral("Durchschnittliche Zeilenlänge"), QString::number(f.AverageLineLength()));

    const TCountDictionary &errs = f.ErrorCounter();
    auto countRow = [&](const QString &ALabel, int ABit) {
        const int n = errs.GetCount(ABit);
        if (n > 0)
            AddRow(W, ALabel, QString::number(n), "error");
    };
    const int atEnd = errs.GetCount(LE_EmptyLineAtEnd);
    const int inside = errs.GetCount(LE_EmptyLine);
    if (atEnd > 0)
        AddRow(W, QStringLiteral("Leere Zeilen am Ende der Datei"), QString::number(atEnd), "warning");
    if (inside > 0)
        AddRow(W, QStringLiteral("Leere Zeilen innerhalb der Datei "), QString::number(inside), "warning");
    if (atEnd > 0 && inside > 0)
        AddRow(W, QStringLiteral("Leere Zeilen insgesamt"), QString::number(atEnd + inside), "warning");
    countRow(QStringLiteral("Ungültige Zeilen"), LE_InvalidLine);
    countRow(QStringLiteral("Zeilen mit Längenfehlern"), LE_WrongLength);
    countRow(QStringLiteral("Zeilen mit Zeichensatzfehlern"), LE_InvalidChars);
    countRow(QStringLiteral("Zeilen ohne <CR><LF>"), LE_CrLf);
    countRow(FKLabel("Mehrfache Versionsangaben (%s)", TLDT3::FK_XDTVersion), LE_ManyVersions);
    countRow(FKLabel("Mehrfache Prüfsummen (%s)", TLDT3::FK_Pruefsumme), LE_ManyChecksums);

    const TCountDictionary &fks = f.FeldCounter();
    const int satzArt = fks.GetCount(TLDT3::FK_SatzArt);
    const int satzEnde = fks.GetCount(TLDT3::FK_SatzEnde);
    if (satzArt != satzEnde) {
        AddRow(W, FKLabel("Anzahl Satzart (%s)", TLDT3::FK_SatzArt), QString::number(satzArt), "error");
        AddRow(W, FKLabel("Anzahl Satzende (%s)", TLDT3::FK_SatzEnde), QString::number(satzEnde), "error");
    }
    const int attr = fks.GetCount(-1);
    const int objIdent = fks.GetCount(TLDT3::FK_ObjektIdent);
    const int objEnde = fks.GetCount(TLDT3::FK_ObjektEnde);
    if (objIdent != objEnde || attr != objIdent) {
        AddRow(W, QStringLiteral("Anzahl Objektattribute"), QString::number(attr), "error");
        AddRow(W, FKLabel("Anzahl Objektident(%s)", TLDT3::FK_ObjektIdent), QString::number(objIdent), "error");
        AddRow(W, FKLabel("Anzahl Objektende(%s)", TLDT3::FK_ObjektEnde), QString::number(objEnde), "error");
    }
    const TLDT3Base64AnlagenList &anlagen = f.Base64AnalgenList();
    if (anlagen.Count() > 0)
        AddRow(W, QStringLiteral("Base64-kodierte Anlagen"), QString::number(anlagen.Count()));
    for (int n = 0; n < anlagen.Count(); ++n) {
        const TLDT3Base64Anlage *a = anlagen.Items(n);
        const QString prefix = Format(QStringLiteral("Anlage %d - "), {n + 1});
        auto optRow = [&](const char *ALabel, const QString &AValue) {
            if (!AValue.isEmpty())
                AddRow(W, prefix + QString::fromLatin1(ALabel), AValue);
        };
        optRow("Dokumententyp", a->Dokumententyp());
        optRow("Dateityp", a->FriendlyDocName());
        optRow("Standardanwendung", a->FriendlyAppName());
        optRow("Dateiformat", a->DateiFormat());
        optRow("Dateicodierung", a->DateiCodierung());
        optRow("Dateibeschreibung", a->DateiBeschreibung());
        AddRow(W, prefix + QStringLiteral("Zeilen"), Format(QStringLiteral("%d - %d"), {a->StartZeile(), a->EndeZeile()}));
    }
    W.Raw({"</table>", "</div>"});
    return XHTMLStrictDoc(title, TLDT3Html::FileInfoStyle(), B.AsString());
}

QString TLDT3LineList::GetFeldStatistikXHTML() const
{
    static const QString title = QStringLiteral("Feld-Statistik");
    TBufferedString B;
    TXHtmlWriter W(B);
    AddHead(W, title, FFileName);
    W.Raw({"<div>", "<table summary=\"Feld-Statistik\">"});
    W.HeadRow({u"FK", u"Anzahl", u"Name"});
    const QString right = QStringLiteral(" align=\"right\"");
    for (const TLDT3FeldStatistikRec &r : FPtrList->GetFeldStatistikList()) {
        W.RowBegin();
        W.Cell(r.FKStr);
        W.Cell(QString::number(r.Anzahl), right);
        W.Cell(r.Name);
        W.RowEnd();
    }
    W.Raw({"</table>", "</div>"});
    return XHTMLStrictDoc(title, TLDT3Html::FieldStatsStyle(), B.AsString());
}

QString TLDT3LineList::GetFileContentXHTML() const
{
    static const QString title = QStringLiteral("Datei-Inhalt");
    static const char *const levelRows[] = {"<tr bgcolor=\"lime\">",      "<tr bgcolor=\"cyan\">",
                                            "<tr bgcolor=\"lightblue\">", "<tr bgcolor=\"lightgray\">",
                                            "<tr bgcolor=\"olive\">",     "<tr bgcolor=\"yellow\">"};
    const TLDT3FilePtrList &f = *FPtrList;
    const TLDT3FeldDict *dict = &f.FeldDict();
    TBufferedString B;
    TXHtmlWriter W(B);
    AddHead(W, title, FFileName);
    W.Raw({"<div>", "<table summary=\"Datei-Inhalt\">"});
    W.HeadRow({u"Pfad", u"Name", u"Inhalt", u"Bedeutung"});
    for (int i = 0; i < f.Count(); ++i) {
        const QString path = f.LongPathFK(i);
        if (path.isEmpty())
            continue;
        const int fk = f.FK(i);
        switch (TLDT3::GetFKTyp(fk)) {
        case TLDT3::fkt_SatzArt:
        case TLDT3::fkt_SatzEnde:
        case TLDT3::fkt_ObjektIdent:
        case TLDT3::fkt_ObjektEnde:
        case TLDT3::fkt_Base64CodierteZeile:
            continue;
        case TLDT3::fkt_ObjektAttribut: {
            const int k = f.Level(i) / 2;
            W.Raw({k >= 0 && k < 6 ? levelRows[k] : "<tr bgcolor=\"red\">"});
            const QString inhalt = f.Inhalt(i);
            W.Cell(path);
            W.BoldCell(dict->GetFeldName(fk));
            W.BoldCell(inhalt);
            W.BoldCell(dict->GetBedeutung(fk, inhalt));
            W.RowEnd();
            break;
        }
        default: {
            const QString inhalt = f.Inhalt(i);
            W.RowBegin();
            W.Cell(path);
            W.Cell(dict->GetFeldName(fk));
            W.Cell(inhalt);
            W.Cell(dict->GetBedeutungOrInhalt(fk, inhalt));
            W.RowEnd();
            break;
        }
        }
    }
    W.Raw({"</table>", "</div>"});
    return XHTMLStrictDoc(title, TLDT3Html::FileContentStyle(), B.AsString());
}
