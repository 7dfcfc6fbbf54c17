#include "LDT3.XML_XPM_List.h"

#include "LDT3.FilePtrList.h"
#include "LDT3.Html.h"
#include "LDT3.XML_XPM.h"
#include "Vex_BufStr.h"
#include "WStrTools.h"

#include <QFileInfo>

#include <algorithm>

// ---------------------------------------------------------------------------
// Parsing the texts of one record

namespace {

// The patterns as the module's texts need them; backslashes stand for themselves.
const char16_t PatFehlerNrMitZeile[] = uR"re((?:\s*([^\\]*\w))\s*\((?:([^*]*)(?:\*?)/(?:(\d*)(?:,\d*)?))\))re";
const char16_t PatFehlerNr[] = uR"re((?:\s*([^\\]*\w))\s*\((?:([^*]*)(?:\*?))\))re";
const char16_t PatMarkup[] = uR"re((?:<([A-Z][A-Z0-9]*)\b[^>]*>)(.*?)</\1>)re";

const QRegularExpression::PatternOptions PatOptions =
    QRegularExpression::CaseInsensitiveOption | QRegularExpression::DotMatchesEverythingOption;

// Trims white space and control characters at both ends.
QString TrimControl(const QString &S)
{
    qsizetype b = 0, e = S.size();
    while (b < e && S.at(b).unicode() <= 0x20)
        ++b;
    while (e > b && S.at(e - 1).unicode() <= 0x20)
        --e;
    return b == 0 && e == S.size() ? S : S.mid(b, e - b);
}

} // namespace

TXPMRecParser::TXPMRecParser()
    : FP1(QString::fromUtf16(PatFehlerNrMitZeile), PatOptions), FP2(QString::fromUtf16(PatFehlerNr), PatOptions),
      FP3(QString::fromUtf16(PatMarkup), PatOptions)
{
}

void TXPMRecParser::ParseFehlerNr(const QString &AFehlerNr, TXPMErrRec &ARec) const
{
    QRegularExpressionMatch m = FP1.match(AFehlerNr);
    if (m.hasMatch()) {
        ARec.ErrName = m.captured(1);
        ARec.ErrTyp = m.captured(2);
        ARec.ErrZeile = m.captured(3);
        return;
    }
    m = FP2.match(AFehlerNr);
    if (m.hasMatch()) {
        ARec.ErrName = m.captured(1);
        ARec.ErrTyp = m.captured(2);
    }
}

QString TXPMRecParser::ParseMeldung(const QString &AMeldung) const
{
    const QString msg = TrimControl(AMeldung);
    const QRegularExpressionMatch m = FP3.match(msg);
    return m.hasMatch() ? m.captured(2) : msg;
}

// ---------------------------------------------------------------------------
// TXPMErrList

TXPMErrList::TXPMErrList()
    : FAllDict(std::make_unique<TSortedUniqueIntListDict>(true)),
      FFehlerDict(std::make_unique<TSortedUniqueIntListDict>(true)),
      FInfoDict(std::make_unique<TSortedUniqueIntListDict>(true))
{
}

TXPMErrList::~TXPMErrList()
{
    FInfoDict.reset();
    FFehlerDict.reset();
    FAllDict.reset();
}

int TXPMErrList::ZeileKey(const QString &AErrZeile)
{
    bool ok = false;
    const int v = AErrZeile.toInt(&ok);
    return ok ? v : -1;
}

bool TXPMErrList::IsFehlerTyp(const QString &AErrTyp)
{
    if (AErrTyp.isEmpty())
        return false;
    const QChar c = AErrTyp.at(0);
    return c == u'A' || c == u'F' || c == u'W';
}

int TXPMErrList::Add(const TXPMErrRec &ARec)
{
    FList.append(ARec);
    const int idx = int(FList.size()) - 1;
    const int key = ZeileKey(ARec.ErrZeile);
    FAllDict->Add(key, idx);
    if (IsFehlerTyp(ARec.ErrTyp))
        FFehlerDict->Add(key, idx);
    else
        FInfoDict->Add(key, idx);
    return idx;
}

QList<int> TXPMErrList::SortedKeys(const TSortedUniqueIntListDict &ADict)
{
    QList<int> keys = ADict.Keys();
    std::sort(keys.begin(), keys.end());
    return keys;
}

QList<int> TXPMErrList::AlleZeilen() const { return SortedKeys(*FAllDict); }
QList<int> TXPMErrList::FehlerZeilen() const { return SortedKeys(*FFehlerDict); }
QList<int> TXPMErrList::InfoZeilen() const { return SortedKeys(*FInfoDict); }

QList<TXPMErrRec> TXPMErrList::RecsOf(const TSortedUniqueIntListDict &ADict, int AZeile) const
{
    QList<TXPMErrRec> r;
    for (int idx : ADict.GetIntArray(AZeile))
        r.append(FList.at(idx));
    return r;
}

QString TXPMErrList::XPMShortFehlerName(int AZeile) const
{
    QString r;
    for (int idx : FFehlerDict->GetIntArray(AZeile))
        AddWithSeparator(r, QStringLiteral(", "), FList.at(idx).ErrName);
    return r;
}

// ---------------------------------------------------------------------------
// XHTML

namespace {

QString TypClass(const QString &AErrTyp)
{
    const QChar c = AErrTyp.isEmpty() ? QChar() : AErrTyp.at(0);
    if (c == u'A' || c == u'F')
        return QStringLiteral("error");
    if (c == u'I')
        return QStringLiteral("info");
    if (c == u'W')
        return QStringLiteral("warning");
    return QStringLiteral("normal");
}

void AddMessageTableHead(TXHtmlWriter &W)
{
    W.Raw({"<table class=\"xpm\" width=\"100%\" summary=\"XPM-Meldungen\">", "<caption>XPM-Meldungen</caption>"});
}

} // namespace

QString TXPMErrList::GetXPMParameterTableXHTML() const
{
    const TXPMParamRec &P = Parameter;
    struct TRow
    {
        const char16_t *Name;
        QString Value;
        QString Class;
    };
    const QString ergebnisClass = (P.ABBRUCH != u"0" || P.FEHLER != u"0") ? QStringLiteral("error")
                                                                          : QStringLiteral("okay");
    const TRow rows[] = {
        {u"Datensatzdatei", P.DATEI, QString()},
        {u"XPM-Gesamtergebnis", P.ERGEBNIS + QStringLiteral(" - ") + P.ERGEBNIS_TEXT, ergebnisClass},
        {u"Erstellungsdatum", P.DATEI_DATUM, QString()},
        {u"Prüfdatum", P.DATUM, QString()},
        {u"Prüfzeit", P.ZEIT, QString()},
        {u"BSNR-Bezeichnung", P.PRAXIS, QString()},
        {u"BSNR", P.ARZT_NR, QString()},
        {u"Abbruchfehler", P.ABBRUCH, QString()},
        {u"Fehler", P.FEHLER, QString()},
        {u"Warnungen", P.WARNUNGEN, QString()},
        {u"Infos", P.INFOS, QString()},
        {u"Version XPM-Paket", P.XPM_VERSION, QString()},
        {u"Version XPM-Paket", P.PAKET_VERSION, QString()},
        {u"Version Steuerdatei", P.KBV_TAB_VERSION, QString()},
    };
    TBufferedString B;
    TXHtmlWriter W(B);
    W.Raw({"<table class=\"xpm\" width=\"100%\" summary=\"XPM-Information\">", "<caption>XPM-Information</caption>"});
    W.HeadRow({u"Name", u"Wert"});
    for (const TRow &r : rows)
        W.NameValueRow(QString::fromUtf16(r.Name), r.Value, QString(), TXHtmlWriter::ClassAttr(r.Class));
    W.Raw(QStringLiteral("</table>"));
    return B.AsString();
}

QString TXPMErrList::GetXPMMessageTableXHTML() const
{
    TBufferedString B;
    TXHtmlWriter W(B);
    AddMessageTableHead(W);
    W.RowBegin();
    W.HeadCell(QStringLiteral("Zeile"));
    W.HeadCell(QStringLiteral("Typ"));
    W.HeadCell(QStringLiteral("Name"), QStringLiteral(" style=\"width:6em\""));
    W.HeadCell(QStringLiteral("Gruppe"), QStringLiteral(" style=\"width:15em\""));
    W.HeadCell(QStringLiteral("Meldung"));
    W.RowEnd();
    const QString center = QStringLiteral(" align=\"center\"");
    for (int key : AlleZeilen()) {
        for (int idx : FAllDict->GetIntArray(key)) {
            const TXPMErrRec &R = FList.at(idx);
            W.RowBegin();
            W.Cell(R.ErrZeile, QStringLiteral(" align=\"right\""));
            W.Cell(R.ErrTyp, TXHtmlWriter::ClassAttr(TypClass(R.ErrTyp)) + center);
            W.Cell(R.ErrName);
            W.Cell(R.ErrGruppe);
            W.Cell(R.ErrMsg);
            W.RowEnd();
        }
    }
    W.Raw(QStringLiteral("</table>"));
    return B.AsString();
}

QString TXPMErrList::GetXPMMessageTableForZeileXHTML(int AZeile) const
{
    if (!ZeileExists(AZeile))
        return QString();
    TBufferedString B;
    TXHtmlWriter W(B);
    AddMessageTableHead(W);
    W.RowBegin();
    W.HeadCell(QStringLiteral("Gruppe"), QStringLiteral(" style=\"width:15em\""));
    W.HeadCell(QStringLiteral("Name"), QStringLiteral(" style=\"width:6em\""));
    W.HeadCell(QStringLiteral("Typ"));
    W.HeadCell(QStringLiteral("Meldung"));
    W.RowEnd();
    for (int idx : FAllDict->GetIntArray(AZeile)) {
        const TXPMErrRec &R = FList.at(idx);
        W.RowBegin();
        W.Cell(R.ErrGruppe);
        W.Cell(R.ErrName);
        W.Cell(R.ErrTyp, QStringLiteral(" align=\"center\""));
        W.Cell(R.ErrMsg);
        W.RowEnd();
    }
    W.Raw(QStringLiteral("</table>"));
    return B.AsString();
}

QString TXPMErrList::GetXPMInfoForZeileXHTML(int AZeile) const
{
    const QString table = GetXPMMessageTableForZeileXHTML(AZeile);
    if (table.isEmpty())
        return QString();
    TBufferedString body;
    body.AddLine(QStringLiteral("<div>"));
    body.Add(table);
    body.AddLine(QStringLiteral("</div>"));
    return XHTMLStrictDoc(QStringLiteral("XPM-Information"), TLDT3Html::XPMMessagesStyle(), body.AsString());
}

// ---------------------------------------------------------------------------

namespace {

std::unique_ptr<TXPMErrList> XPMErrListOf(const std::unique_ptr<TXMLData> &data)
{
    auto list = std::make_unique<TXPMErrList>();
    const TXMLParameter &X = data->Parameter();
    TXPMParamRec &P = list->Parameter;
    P.ABBRUCH = X.ABBRUCH;
    P.ARZT_NR = X.ARZT_NR;
    P.DATEI = X.DATEI;
    P.DATEI_DATUM = X.DATEI_DATUM;
    P.DATUM = X.DATUM;
    P.ERGEBNIS = X.ERGEBNIS;
    P.ERGEBNIS_TEXT = X.ERGEBNIS_TEXT;
    P.FEHLER = X.FEHLER;
    P.INFOS = X.INFOS;
    P.KBV_TAB_VERSION = X.KBV_TAB_VERSION;
    P.PAKET_VERSION = X.PAKET_VERSION;
    P.PRAXIS = X.PRAXIS;
    P.WARNUNGEN = X.WARNUNGEN;
    P.XPM_VERSION = X.XPM_VERSION;
    P.ZEIT = X.ZEIT;
    if (data->Record().isEmpty())
        return list;
    const TXPMRecParser parser; // patterns compiled once per load
    list->Reserve(int(data->Record().size()));
    for (const TXMLRecord_ &x : data->Record()) {
        TXPMErrRec rec;
        rec.ErrGruppe = x.GRUPPE;
        parser.ParseFehlerNr(x.FEHLER_NR, rec);
        rec.ErrMsg = parser.ParseMeldung(x.MELDUNG);
        list->Add(rec);
    }
    return list;
}

} // namespace

std::unique_ptr<TXPMErrList> LoadXPMErrList(const QString &AFileName)
{
    if (!QFileInfo::exists(AFileName))
        return nullptr;
    return XPMErrListOf(TXMLData::LoadData(AFileName));
}

std::unique_ptr<TXPMErrList> ParseXPMErrList(const QByteArray &AXml)
{
    return XPMErrListOf(TXMLData::ParseData(AXml));
}

QString XPMStatus(const TXPMErrList *AXPMErrList)
{
    if (!AXPMErrList)
        return QStringLiteral("Es erfolgte keine XPM-Prüfung");
    return QStringLiteral("XPM: ") + AXPMErrList->Parameter.ERGEBNIS + QStringLiteral(" - ") +
           AXPMErrList->Parameter.ERGEBNIS_TEXT;
}

QString XPMLineErrorItem(int ALineErrorCode, int AZeile, const TXPMErrList *AXPMErrList)
{
    if (!(ALineErrorCode & LE_XPMError) || !AXPMErrList)
        return QString();
    const QString names = AXPMErrList->XPMShortFehlerName(AZeile);
    return names.isEmpty() ? QStringLiteral("XPM") : Format(QStringLiteral("XPM [%s]"), {names});
}
