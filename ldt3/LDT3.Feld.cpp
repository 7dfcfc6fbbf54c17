#include "LDT3.Feld.h"

#include "LDT3.FRegeln.h"
#include "LDT3.TableSet.h"
#include "LDT3.Zeichen.h"
#include "Vex_LazyInstance.h"
#include "WStrTools.h"

// Information pages
#include "LDT3.Html.h"
#include "LDT3.RegelInfo.h"
#include "Vex_BufStr.h"

#include <algorithm>
#include <atomic>

using namespace Qt::StringLiterals;

// ---------------------------------------------------------------- construction

TLDT3FeldDict::TLDT3FeldDict(int ATableSet)
    : FTableSet(TLDT3TableSet::At(ATableSet).Index()), FDef(&TLDT3TableSet::At(ATableSet).Def())
{
    FErlaubteInhalte = std::make_unique<TLDT3ErlaubeInhalte>(*FDef);
    FIndex.fill(-1);
    SetPruefsumme_E157(false);
    if (FDef->InitFelder) {
        FDef->InitFelder(*this);
        FDef->InitFeldErl(*this);
    } else {
        InitFelder();
        InitFeldErl();
    }

    // The version field permits exactly the version the table describes, and
    // that version must pass the table's own check of the field.
    const TLDT3FeldDictRec *v = FindFeld(TLDT3::FK_XDTVersion);
    QString version;
    if (v && FErlaubteInhalte->GetERegelSingleValue(v->ERegel, version)) {
        FImplementedVersion = version;
        QString msg;
        if (CheckFeld(TLDT3::FK_XDTVersion, FImplementedVersion, msg) != fc_Ok)
            throw ELDT3Error(msg);
    }
    if (FImplementedVersion != QString::fromUtf16(FDef->Version))
        throw ELDT3Error(Format(u"Fehler: Die Feldtabelle %s erlaubt die Version %s"_s,
                                {QString::fromUtf16(FDef->Version), FImplementedVersion}));
}

TLDT3FeldDict::~TLDT3FeldDict() = default;

void TLDT3FeldDict::Clear()
{
    FIndex.fill(-1);
    FDict.clear();
    FFHelper.clear();
    FKHelper.clear();
}

static bool StrToIntStrict(QStringView S, int &N)
{
    bool ok = false;
    N = S.toInt(&ok);
    return ok;
}

bool TLDT3FeldDict::ParseFmt(const QString &AFmt, TFmtRec &AFmtRec)
{
    AFmtRec = TFmtRec();
    QString lenPart = AFmt;
    int fRegel = 0;
    const qsizetype bar = AFmt.indexOf(u'|');
    if (bar >= 0) {
        lenPart = AFmt.left(bar);
        try {
            StrToFRegel(AFmt.mid(bar + 1), fRegel);
        } catch (const ELDT3Error &) {
            return false;
        }
    }
    if (lenPart.isEmpty())
        return false;
    AFmtRec.FRegel = fRegel;

    if (lenPart == u"var"_s)
        return true;

    if (TLDT3::Is_num(lenPart)) {
        int n = 0;
        if (!StrToIntStrict(lenPart, n) || n > 990)
            return false;
        AFmtRec.MinLen = AFmtRec.MaxLen = n;
        return true;
    }

    if (lenPart.contains(u',')) {
        for (QStringView piece : QStringView(lenPart).split(u',')) {
            int n = 0;
            if (!StrToIntStrict(piece, n)) {
                AFmtRec.LenArr.clear();
                return false;
            }
            AFmtRec.LenArr.append(n);
        }
        return true;
    }

    qsizetype sep = lenPart.indexOf(u'≤');
    if (sep < 0)
        sep = lenPart.indexOf(u'-');
    if (sep < 0)
        return false;
    int lower = 1;
    int upper = 0;
    if (sep > 0 && !StrToIntStrict(QStringView(lenPart).left(sep), lower))
        return false;
    if (!StrToIntStrict(QStringView(lenPart).mid(sep + 1), upper) || upper < lower)
        return false;
    AFmtRec.MinLen = lower;
    AFmtRec.MaxLen = upper;
    return true;
}

void TLDT3FeldDict::AddFeld(int AFK, const QString &AFName, const QString &AFolgeObj,
                            const QString &AERegel, TLDT3::DataTyp ADataTyp,
                            const QStringList &AFormate, const QStringList &AKRegeln)
{
    FFHelper.clear();
    FKHelper.clear();
    const QString fkStr = TLDT3::IntToFK(AFK);
    // The look-up array holds 0000 to 9999 only.
    if (AFK < 0 || AFK > MaxFK)
        throw ELDT3Error(Format(u"Fehler: Ungültige Feldkennung %s"_s, {fkStr}));
    if (TLDT3::IsObjektAttribut(AFK) && AFolgeObj.isEmpty())
        throw ELDT3Error(Format(u"Fehler: Kein Folgeobjekt angegeben für Feldkennung %s"_s, {fkStr}));
    if (!TLDT3::IsObjektAttribut(AFK) && !AFolgeObj.isEmpty())
        throw ELDT3Error(Format(u"Fehler: Folgeobjekt angegeben für Feldkennung %s"_s, {fkStr}));

    for (const QString &fmt : AFormate) {
        TFmtRec r;
        if (!ParseFmt(fmt, r))
            throw ELDT3Error(Format(u"Fehler: Ungültige Formatangabe für Feldkennung %s"_s, {fkStr}));
        FFHelper.append(r);
    }

    TLDT3FeldDictRec rec;
    rec.Feldname = AFName;
    rec.FolgeObj = AFolgeObj;
    rec.DataTyp = ADataTyp;
    StrToERegel(AERegel, rec.ERegel);
    for (const QString &k : AKRegeln) {
        int n = 0;
        StrToKRegel(k, n);
        if (n != 0)
            FKHelper.append(n);
    }
    rec.FmtArr = FFHelper;
    rec.KRegeln = FKHelper;

    if (FIndex[AFK] >= 0) {
        FDict[FIndex[AFK]] = std::move(rec);
    } else {
        FIndex[AFK] = qint16(FDict.size());
        FDict.append(std::move(rec));
    }
}

void TLDT3FeldDict::SetFeldErl(int AFK, const QString &AErl)
{
    if (AFK < 0 || AFK > MaxFK || FIndex[AFK] < 0)
        return;
    FDict[FIndex[AFK]].Erl = AErl;
}

// ---------------------------------------------------------------- queries

QString TLDT3FeldDict::GetFeldName(int AFK) const
{
    const TLDT3FeldDictRec *r = FindFeld(AFK);
    return r ? r->Feldname : QString();
}

QString TLDT3FeldDict::GetFeldNameOrFKStr(int AFK) const
{
    if (const TLDT3FeldDictRec *r = FindFeld(AFK))
        return r->Feldname;
    return TLDT3::FKAndPrefix(AFK);
}

QString TLDT3FeldDict::GetFolgeObj(int AFK) const
{
    const TLDT3FeldDictRec *r = FindFeld(AFK);
    return r ? r->FolgeObj : QString();
}

QString TLDT3FeldDict::GetBedeutung(int AFK, const QString &AInhalt) const
{
    const TLDT3FeldDictRec *r = FindFeld(AFK);
    if (!r)
        return QString();
    QString s = FErlaubteInhalte->GetBedeutung(r->ERegel, AInhalt);
    if (!s.isEmpty())
        return s;
    // Date and time fields are shown readable; 3103, 7338 and 8512 are dates typed num.
    if (r->DataTyp == TLDT3::date || AFK == 3103 || AFK == 7338 || AFK == 8512)
        return TLDT3::LDT3DateToStr(AInhalt);
    if (AFK == 7279)
        return TLDT3::LDT3TimeToStr(AInhalt);
    return QString();
}

QString TLDT3FeldDict::GetBedeutungOrInhalt(int AFK, const QString &AInhalt) const
{
    const QString s = GetBedeutung(AFK, AInhalt);
    return s.isEmpty() ? AInhalt : s;
}

QString TLDT3FeldDict::DataTypToStr(TLDT3::DataTyp ADataTyp)
{
    switch (ADataTyp) {
    case TLDT3::num: return u"num"_s;
    case TLDT3::alnum: return u"alnum"_s;
    case TLDT3::f: return u"f"_s;
    case TLDT3::date: return u"date"_s;
    }
    return QString();
}

QString TLDT3FeldDict::GetDataTypStr(int AFK) const
{
    const TLDT3FeldDictRec *r = FindFeld(AFK);
    return r ? DataTypToStr(r->DataTyp) : QString();
}

QString TLDT3FeldDict::GetFeldErl(int AFK) const
{
    const TLDT3FeldDictRec *r = FindFeld(AFK);
    return r ? r->Erl : QString();
}

QString TLDT3FeldDict::GetFeldERegel(int AFK) const
{
    const TLDT3FeldDictRec *r = FindFeld(AFK);
    return r ? ERegelToStr(r->ERegel) : QString();
}

QStringList TLDT3FeldDict::GetFeldERegeln(int AFK) const
{
    const TLDT3FeldDictRec *r = FindFeld(AFK);
    if (!r || r->ERegel < 1)
        return QStringList();
    return QStringList{ERegelToStr(r->ERegel)};
}

QStringList TLDT3FeldDict::GetFeldFRegeln(int AFK) const
{
    const TLDT3FeldDictRec *r = FindFeld(AFK);
    if (!r)
        return QStringList();
    QList<int> rules;
    for (const TFmtRec &fmt : r->FmtArr)
        rules.append(fmt.FRegel);
    return FRegelnToStrArray(rules);
}

QStringList TLDT3FeldDict::GetFeldKRegeln(int AFK) const
{
    const TLDT3FeldDictRec *r = FindFeld(AFK);
    return r ? KRegelnToStrArray(r->KRegeln) : QStringList();
}

TLDT3EPairArray TLDT3FeldDict::GetErlaubteInhalteFromFeld(int AFK, bool ASortedByValue) const
{
    const TLDT3FeldDictRec *r = FindFeld(AFK);
    return r ? GetErlaubteInhalteFromERegel(r->ERegel, ASortedByValue) : TLDT3EPairArray();
}

QStringList TLDT3FeldDict::GetFelder() const
{
    QStringList r;
    r.reserve(FDict.size());
    for (int fk = 0; fk <= MaxFK; ++fk)
        if (FIndex[fk] >= 0)
            r.append(TLDT3::IntToFK(fk));
    return r;
}

TLDT3EPairArray TLDT3FeldDict::GetErlaubteInhalteFromERegel(int AERegel, bool ASortedByValue) const
{
    TLDT3EPairArray r = FErlaubteInhalte->ToArray(AERegel);
    if (ASortedByValue)
        TLDT3ErlaubeInhalte::SortPerValue(r);
    else
        TLDT3ErlaubeInhalte::SortPerKey(r);
    return r;
}

void TLDT3FeldDict::SetPruefsumme_E157(bool AValue)
{
    FErlaubteInhalte->SetPruefsumme_E157(AValue);
}

// ---------------------------------------------------------------- text forms

QString TLDT3FeldDict::FmtLenToStr(const TFmtRec &AFmtRec)
{
    if (AFmtRec.IsRange()) {
        if (AFmtRec.MinLen == AFmtRec.MaxLen)
            return QString::number(AFmtRec.MinLen);
        return QString::number(AFmtRec.MinLen) + u" ≤ "_s + QString::number(AFmtRec.MaxLen);
    }
    if (!AFmtRec.LenArr.isEmpty())
        return JoinIntegers(AFmtRec.LenArr, u", "_s);
    return u"var"_s;
}

QString TLDT3FeldDict::FmtToStr(const TFmtRec &AFmtRec)
{
    if (AFmtRec.FRegel == 0)
        return FmtLenToStr(AFmtRec);
    return Format(u"%s (%s)"_s, {FmtLenToStr(AFmtRec), FRegelToStr(AFmtRec.FRegel)});
}

// ---------------------------------------------------------------- checks

bool TLDT3FeldDict::CheckDataLaenge(const TFmtRec &AFmtRec, qsizetype ALen)
{
    if (AFmtRec.IsRange())
        return AFmtRec.MinLen <= ALen && ALen <= AFmtRec.MaxLen;
    if (!AFmtRec.LenArr.isEmpty())
        return AFmtRec.LenArr.contains(ALen);
    return true;
}

namespace {

// A content given as text.
struct TStrContent
{
    const QString &S;
    qsizetype Size() const { return S.size(); }
    bool DataTypOk(TLDT3::DataTyp ADataTyp) const { return TLDT3::CheckDataTyp(ADataTyp, S); }
    const QString &Text() const { return S; }
    bool Erlaubt(const TLDT3ErlaubeInhalte &AE, int AERegel, int AFK) const { return AE.IstInhaltErlaubt(AERegel, S, AFK); }
};

// A content given as ISO 8859-15 bytes; the text is made only when asked for,
// exactly as the line loader converts it (bytes outside the set become U+0000).
struct TBytesContent
{
    TBytesContent(const unsigned char *AP, qsizetype ALen, bool ACharsAllowed)
        : P(AP), Len(ALen), CharsAllowed(ACharsAllowed) {}

    const unsigned char *P;
    qsizetype Len;
    bool CharsAllowed;
    mutable QString FText;
    mutable bool FHasText = false;

    qsizetype Size() const { return Len; }
    bool Erlaubt(const TLDT3ErlaubeInhalte &AE, int AERegel, int AFK) const
    {
        return AE.IstInhaltErlaubt(AERegel, P, Len, AFK);
    }
    const QString &Text() const
    {
        if (!FHasText) {
            FText = LDT3BytesToStr(P, Len, QChar(0));
            FHasText = true;
        }
        return FText;
    }

    bool AllDigits() const
    {
        for (qsizetype i = 0; i < Len; ++i)
            if (!LDT3Zeichen::ByteIsDigit(P[i]))
                return false;
        return true;
    }
    int Num2(qsizetype i) const { return (P[i] - '0') * 10 + (P[i + 1] - '0'); }

    // The byte form of TLDT3::CheckDataTyp on the converted text.
    bool DataTypOk(TLDT3::DataTyp ADataTyp) const
    {
        if (Len < 1)
            return false;
        switch (ADataTyp) {
        case TLDT3::num:
            return AllDigits();
        case TLDT3::alnum:
            return CharsAllowed || LDT3BytesAllowed(P, Len, false);
        case TLDT3::f: {
            int points = 0;
            for (qsizetype i = 0; i < Len; ++i) {
                if (P[i] == '.') {
                    if (++points > 1)
                        return false;
                } else if (!LDT3Zeichen::ByteIsDigit(P[i])) {
                    return false;
                }
            }
            return true;
        }
        case TLDT3::date: {
            if (Len != 8 || !AllDigits())
                return false;
            if (P[0] == '0' && P[1] == '0' && P[2] == '0' && P[3] == '0')
                return false;
            const int month = Num2(4);
            const int day = Num2(6);
            return month >= 1 && month <= 12 && day >= 1 && day <= 31;
        }
        }
        return false;
    }
};

} // namespace

template <class TContent>
int TLDT3FeldDict::CheckFeldImpl(int AFK, const TContent &AContent, QString &Msg) const
{
    Msg.clear();
    const TLDT3FeldDictRec *r = FindFeld(AFK);
    if (!r) {
        if (std::find(FDef->RemovedFKs, FDef->RemovedFKs + FDef->RemovedFKCount, AFK)
            != FDef->RemovedFKs + FDef->RemovedFKCount)
            Msg = Format(u"Feld %s ist in %s nicht mehr enthalten"_s,
                         {TLDT3::IntToFK(AFK), TLDT3TableSet::At(FTableSet).DisplayName()});
        else
            Msg = Format(u"Feld %s unbekannt"_s, {TLDT3::IntToFK(AFK)});
        return fc_Unbekannt;
    }
    // A field without E-rule permits every content, the empty one too.
    const auto erlaubt = [&]() { return r->ERegel == 0 || AContent.Erlaubt(*FErlaubteInhalte, r->ERegel, AFK); };

    if (AContent.Size() == 0) {
        if (erlaubt())
            return fc_Ok;
        Msg = u"Leerer Inhalt"_s;
        return fc_LeererInhalt;
    }
    if (!AContent.DataTypOk(r->DataTyp)) {
        Msg = Format(u"Datenformat (%s)"_s, {DataTypToStr(r->DataTyp)});
        return fc_Datenformat;
    }
    if (!erlaubt()) {
        Msg = ERegelToStr(r->ERegel);
        return fc_ERegel;
    }

    int code = fc_Ok;
    for (const TFmtRec &fmt : r->FmtArr) {
        if (!CheckDataLaenge(fmt, AContent.Size())) {
            code = fc_Datenlaenge;
            AddWithSeparator(Msg, u", "_s, Format(u"Datenlänge (%s)"_s, {FmtToStr(fmt)}));
        } else if (fmt.FRegel == 0 || CheckFRegel(fmt.FRegel, AContent.Text())) {
            Msg.clear();
            return fc_Ok;
        } else {
            code = fc_FRegel;
            AddWithSeparator(Msg, u", "_s, FRegelToStr(fmt.FRegel));
        }
    }
    return code;
}

int TLDT3FeldDict::CheckFeld(int AFK, const QString &AInhalt, QString &Msg) const
{
    return CheckFeldImpl(AFK, TStrContent{AInhalt}, Msg);
}

int TLDT3FeldDict::CheckFeld(int AFK, const unsigned char *AInhalt, qsizetype ALen, QString &Msg,
                             bool ACharsAllowed) const
{
    if (!AInhalt || ALen < 0)
        ALen = 0;
    return CheckFeldImpl(AFK, TBytesContent(AInhalt, ALen, ACharsAllowed), Msg);
}

// ---------------------------------------------------------------- process-wide instance

namespace {

// One dictionary per table set, each built on its first use.
constexpr int MaxTableSets = 8;
std::array<std::atomic<TLDT3FeldDict *>, MaxTableSets> GLDT3FeldDicts{};

// Frees the dictionaries when the process ends (after main returns).
struct TLDT3DictsFinalizer
{
    ~TLDT3DictsFinalizer() { FreeLDT3Dicts(); }
} GLDT3DictsFinalizer;

} // namespace

TLDT3FeldDict *GetLDT3FeldDict() { return GetLDT3FeldDict(0); }

TLDT3FeldDict *GetLDT3FeldDict(int ATableSet)
{
    static_assert(MaxTableSets >= 2);
    const int i = TLDT3TableSet::At(ATableSet).Index();
    if (i >= MaxTableSets)
        throw ELDT3Error(u"Fehler: Zu viele Tabellensätze"_s);
    return VexLazyInstance(GLDT3FeldDicts[i], [i] { return std::make_unique<TLDT3FeldDict>(i); });
}

void SetLDT3Pruefsumme_E157(int ATableSet, bool AValue)
{
    const int set = TLDT3TableSet::At(ATableSet).Index();
    for (int i = 0; i < MaxTableSets; ++i)
        if (i == set)
            GetLDT3FeldDict(i)->SetPruefsumme_E157(AValue);
        else if (TLDT3FeldDict *d = GLDT3FeldDicts[i].load(std::memory_order_acquire))
            d->SetPruefsumme_E157(false);
}

void FreeLDT3Dicts()
{
    // The field dictionaries first, then the rule dictionaries.
    for (auto &d : GLDT3FeldDicts)
        delete d.exchange(nullptr, std::memory_order_acq_rel);
    FreeLDT3RegelDict();
}

// ---------------------------------------------------------------- information pages

namespace {

// An FK given as text: decimal integer, or -1 when it is none.
int FKStrToInt(const QString &AFKStr)
{
    int N;
    return StrToIntStrict(AFKStr, N) ? N : -1;
}

} // namespace

QString TLDT3FeldDict::GetFeldInfoTableXHTML(int AFK) const
{
    const TLDT3FeldDictRec *Rec = FindFeld(AFK);
    if (!Rec)
        return QString();
    const QString FK = TLDT3::IntToFK(AFK);
    TBufferedString Body;
    TXHtmlWriter W(Body);
    W.Raw(QStringLiteral("<table id=\"FK%1\" class=\"feld\" width=\"100%\">").arg(FK));
    W.Raw(QStringLiteral("<tbody>"));
    W.RowBegin();
    const QString nameClass = TXHtmlWriter::ClassAttr(QStringLiteral("feld name"));
    W.HeadCell(QStringLiteral("FK ") + FK, nameClass);
    // Names and follow objects are escaped too, so that a name with "&" keeps the page well-formed.
    W.Raw(QStringLiteral("<td class=\"feld name\">") + XmlEscape(Rec->Feldname) + QStringLiteral("</td>"));
    W.RowEnd();
    W.HeadValueRowRaw(QStringLiteral("Format"), DataTypToStr(Rec->DataTyp));
    if (!Rec->FmtArr.isEmpty()) {
        QStringList Lines;
        for (const TFmtRec &F : Rec->FmtArr)
            Lines.append(FmtToStr(F));
        W.HeadLinesRow(QStringLiteral("Feldlänge"), Lines);
    }
    if (!Rec->FolgeObj.isEmpty())
        W.HeadValueRowRaw(QStringLiteral("Folge-Objekt"), XmlEscape(Rec->FolgeObj));
    if (!Rec->Erl.isEmpty())
        W.HeadLinesRow(QStringLiteral("Erläuterung"), SplitStr(Rec->Erl, QLatin1Char('\n'), false, false));
    if (Rec->ERegel != 0)
        W.HeadValueRowRaw(QStringLiteral("E-Regel"), ERegelToStr(Rec->ERegel));
    const QStringList FRegeln = GetFeldFRegeln(AFK);
    if (!FRegeln.isEmpty())
        W.HeadValueRowRaw(FRegeln.size() == 1 ? QStringLiteral("Format-Regel") : QStringLiteral("Format-Regeln"),
                          JoinStrings(FRegeln, QStringLiteral(", "), true));
    const QStringList KRegeln = GetFeldKRegeln(AFK);
    if (!KRegeln.isEmpty())
        W.HeadValueRowRaw(KRegeln.size() == 1 ? QStringLiteral("Kontext-Regel") : QStringLiteral("Kontext-Regeln"),
                          JoinStrings(KRegeln, QStringLiteral(", "), true));
    W.Raw({"</tbody>", "</table>"});
    return Body.AsString();
}

QStringList TLDT3FeldDict::GetFeldRegeln(int AFK) const
{
    return GetFeldERegeln(AFK) + GetFeldFRegeln(AFK) + GetFeldKRegeln(AFK);
}

QString TLDT3FeldDict::GetFeldRegelInfoTableXHTML(int AFK) const
{
    return GetLDT3RegelDict(FTableSet)->GetRegelInfoTableXHTML(GetFeldRegeln(AFK));
}

QString TLDT3FeldDict::GetFeldRegelInfoTableXHTML(const QString &AFKStr) const
{
    return GetFeldRegelInfoTableXHTML(FKStrToInt(AFKStr));
}

QString TLDT3FeldDict::GetFeldRegelInfoXHTML(int AFK) const
{
    return GetLDT3RegelDict(FTableSet)->GetRegelInfoXHTML(GetFeldRegeln(AFK));
}

QString TLDT3FeldDict::GetFeldRegelInfoXHTML(const QString &AFKStr) const
{
    return GetFeldRegelInfoXHTML(FKStrToInt(AFKStr));
}

QString TLDT3FeldDict::GetFeldInfoXHTML(int AFK, const QString &AXPMMsg) const
{
    const QString Table = GetFeldInfoTableXHTML(AFK);
    if (Table.isEmpty())
        return QString();
    TBufferedString Body;
    Body.Add(AXPMMsg);
    Body.Add(Table);
    Body.Add(GetFeldRegelInfoTableXHTML(AFK));
    return XHTMLStrictDoc(QStringLiteral("FK %1").arg(TLDT3::IntToFK(AFK)), TLDT3Html::FeldInfoStyle(),
                          Body.AsString());
}

QString TLDT3FeldDict::GetFeldInfoXHTML(const QString &AFKStr, const QString &AXPMMsg) const
{
    return GetFeldInfoXHTML(FKStrToInt(AFKStr), AXPMMsg);
}
