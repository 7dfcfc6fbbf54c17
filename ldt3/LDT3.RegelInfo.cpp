#include "LDT3.RegelInfo.h"

#include "LDT3.Base.h"
#include "LDT3.Html.h"
#include "LDT3.TableSet.h"
#include "Vex_BufStr.h"
#include "Vex_LazyInstance.h"
#include "WStrTools.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <memory>

namespace {

void AddRegelTable(TBufferedString &ABody, const TLDT3RegelInfo &AInfo)
{
    // Rule names, categories and states are plain letters and digits.
    TXHtmlWriter W(ABody);
    W.Raw(QStringLiteral("<table id=\"%1\" class=\"regel\" width=\"100%\">").arg(AInfo.Regel));
    W.Raw(QStringLiteral("<tbody>"));
    W.RowBegin();
    const QString nameClass = TXHtmlWriter::ClassAttr(QStringLiteral("regel name"));
    W.HeadCell(QStringLiteral("Regel"), nameClass);
    W.Raw(QStringLiteral("<td class=\"regel name\">") + AInfo.Regel + QStringLiteral("</td>"));
    W.RowEnd();
    W.HeadValueRowRaw(QStringLiteral("Katergorie"), AInfo.Kategorie);
    W.HeadValueRowRaw(QStringLiteral("Fehlerstatus"), AInfo.Fehlerstatus);
    if (!AInfo.Pruefung.isEmpty())
        W.HeadLinesRow(QStringLiteral("Prüfung"), SplitStr(AInfo.Pruefung, QLatin1Char('\n'), false, false));
    if (!AInfo.Erlaeuterung.isEmpty())
        W.HeadLinesRow(QStringLiteral("Erläuterung"), SplitStr(AInfo.Erlaeuterung, QLatin1Char('\n'), false, false));
    ABody.AddLine(QStringLiteral("</tbody>"));
    ABody.AddLine(QStringLiteral("</table>"));
}

// One dictionary per table set, each built on its first use.
constexpr int MaxTableSets = 8;
std::array<std::atomic<TLDT3RegelDict *>, MaxTableSets> GLDT3RegelDicts{};

} // namespace

TLDT3RegelDict::TLDT3RegelDict(int ATableSet)
{
    FDict.reserve(320);
    const TLDT3TableSetDef &Def = TLDT3TableSet::At(ATableSet).Def();
    if (Def.InitRegeln)
        Def.InitRegeln(*this);
    else
        InitRegeln();
}

TLDT3RegelDict::~TLDT3RegelDict() = default;

void TLDT3RegelDict::InitRegeln()
{
    InitERegeln();
    InitFRegeln();
    InitKRegeln();
}

void TLDT3RegelDict::AddRegel(const QString &ARegel, const QString &AKategorie,
                              const QString &AFehlerstatus, const QString &APruefung,
                              const QString &AErlaeuterung)
{
    if (FDict.contains(ARegel))
        throw ELDT3Error(QStringLiteral("Fehler: Regel %1 ist doppelt vorhanden").arg(ARegel));
    FDict.insert(ARegel, TLDT3RegelInfo{ARegel, AKategorie, AFehlerstatus, APruefung, AErlaeuterung});
}

const TLDT3RegelInfo *TLDT3RegelDict::FindRegel(const QString &ARegel) const
{
    auto It = FDict.constFind(ARegel);
    return It == FDict.constEnd() ? nullptr : &It.value();
}

QStringList TLDT3RegelDict::GetRegeln(QChar ACh) const
{
    QStringList Result;
    for (auto It = FDict.constBegin(); It != FDict.constEnd(); ++It)
        if (It.key().startsWith(ACh))
            Result.append(It.key());
    std::sort(Result.begin(), Result.end());
    return Result;
}

QStringList TLDT3RegelDict::GetAlleRegeln() const
{
    return GetERegeln() + GetFRegeln() + GetKRegeln();
}

QString TLDT3RegelDict::GetRegelInfoTableXHTML(const QString &ARegel) const
{
    const TLDT3RegelInfo *Info = FindRegel(ARegel);
    if (!Info)
        return QString();
    TBufferedString Body;
    AddRegelTable(Body, *Info);
    return Body.AsString();
}

QString TLDT3RegelDict::GetRegelInfoTableXHTML(const QStringList &ARegelArr) const
{
    TBufferedString Body;
    for (const QString &R : ARegelArr)
        if (const TLDT3RegelInfo *Info = FindRegel(R))
            AddRegelTable(Body, *Info);
    return Body.AsString();
}

QString TLDT3RegelDict::GetRegelInfoXHTML(const QString &ARegel) const
{
    const QString Table = GetRegelInfoTableXHTML(ARegel);
    if (Table.isEmpty())
        return QString();
    return XHTMLStrictDoc(ARegel, TLDT3Html::RegelInfoStyle(), Table);
}

QString TLDT3RegelDict::GetRegelInfoXHTML(const QStringList &ARegelArr) const
{
    const QString Tables = GetRegelInfoTableXHTML(ARegelArr);
    if (Tables.isEmpty())
        return QString();
    return XHTMLStrictDoc(QStringLiteral("Regel-Information"), TLDT3Html::RegelInfoStyle(), Tables);
}

TLDT3RegelDict *GetLDT3RegelDict() { return GetLDT3RegelDict(0); }

TLDT3RegelDict *GetLDT3RegelDict(int ATableSet)
{
    const int i = TLDT3TableSet::At(ATableSet).Index();
    if (i >= MaxTableSets)
        throw ELDT3Error(QStringLiteral("Fehler: Zu viele Tabellensätze"));
    return VexLazyInstance(GLDT3RegelDicts[i], [i] { return std::make_unique<TLDT3RegelDict>(i); });
}

void FreeLDT3RegelDict()
{
    for (auto &d : GLDT3RegelDicts)
        delete d.exchange(nullptr, std::memory_order_acq_rel);
}
