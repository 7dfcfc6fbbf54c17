#include "LDT3.Data.h"

#include "LDT3.Base.h"
#include "LDT3.Feld.h"
#include "LDT3.Html.h"
#include "LDT3.RegelInfo.h"
#include "Vex_BufStr.h"
#include "WStrTools.h"

// ---------------------------------------------------------------- information pages

namespace {

// Decimal integer, or -1 when the text is none.
int StrToIntOrMinus1(const QString &S)
{
    bool Ok = false;
    const int N = S.toInt(&Ok, 10);
    return Ok ? N : -1;
}

QString InfoTypLabel(TLDT3Data::TInfoTyp AInfoTyp)
{
    switch (AInfoTyp) {
    case TLDT3Data::itFeld: return QStringLiteral("Feld");
    case TLDT3Data::itERegel: return QStringLiteral("E-Regel");
    case TLDT3Data::itFRegel: return QStringLiteral("F-Regel");
    case TLDT3Data::itKRegel: return QStringLiteral("K-Regel");
    case TLDT3Data::itNone:
    case TLDT3Data::itAlleRegeln: break;
    }
    return QString();
}

QString SearchPage(TLDT3Data::TInfoTyp AInfoTyp, const QString &ASearchStr)
{
    const QString Label = InfoTypLabel(AInfoTyp);
    const QString Text = ASearchStr.isEmpty()
                             ? QStringLiteral("Suche nach %1...").arg(Label)
                             : QStringLiteral("Suche nach %1 \"%2\"...").arg(Label, ASearchStr);
    TBufferedString Body;
    Body.AddLine(QStringLiteral("<h1>") + XmlEscape(Text) + QStringLiteral("</h1>"));
    if (!ASearchStr.isEmpty()) {
        Body.AddLine(QStringLiteral("<h2>Nicht gefunden!</h2>"));
    } else {
        for (const char *L : {"<h3>FK: &lt;Nr&gt;</h3>", "<h3>E-Regel: e + &lt;Nr&gt;</h3>",
                              "<h3>F-Regel: f + &lt;Nr&gt;</h3>", "<h3>K-Regel: k + &lt;Nr&gt;</h3>",
                              "<p><br />Beispiele:<br />", "<br />", "8000 sucht nach FK 8000<br />",
                              "e3 sucht nach E-Regel E003<br />", "</p>"})
            Body.AddLine(QLatin1String(L));
    }
    return XHTMLStrictDoc(Text, TLDT3Html::LookupStyle(), Body.AsString());
}

} // namespace

TLDT3Data::TInfoTyp TLDT3Data::GetInfoTyp(const QString &AStr, int &SearchNum, QString &SearchStr)
{
    SearchNum = -1;
    SearchStr.clear();
    QString S = TrimBlanks(AStr);
    if (S.size() >= 2 && S[0].toUpper() == QLatin1Char('F') && S[1].toUpper() == QLatin1Char('K')
        && S[0].unicode() < 128 && S[1].unicode() < 128)
        S = TrimBlanks(S.mid(2));
    if (S.isEmpty())
        return itNone;

    TInfoTyp Result = itNone;
    const QChar C = S[0];
    if (C >= QLatin1Char('0') && C <= QLatin1Char('9')) {
        SearchNum = StrToIntOrMinus1(S);
        Result = itFeld;
    } else {
        switch (C.unicode()) {
        case u'E': case u'e': Result = itERegel; break;
        case u'F': case u'f': Result = itFRegel; break;
        case u'K': case u'k': Result = itKRegel; break;
        case u'R': case u'r': Result = itAlleRegeln; break;
        default: return itNone;
        }
        SearchNum = StrToIntOrMinus1(S.mid(1));
    }

    if (SearchNum > 0) {
        switch (Result) {
        case itFeld:
        case itAlleRegeln: SearchStr = TLDT3::IntToFK(SearchNum); break;
        case itERegel: SearchStr = ERegelToStr(SearchNum); break;
        case itFRegel: SearchStr = FRegelToStr(SearchNum); break;
        case itKRegel: SearchStr = KRegelToStr(SearchNum); break;
        case itNone: break;
        }
    }
    return Result;
}

QString TLDT3Data::GetInfoXHTML(const QString &AStr, TInfoTyp &AInfoTyp)
{
    int SearchNum;
    QString SearchStr;
    AInfoTyp = GetInfoTyp(AStr, SearchNum, SearchStr);
    QString Page;
    switch (AInfoTyp) {
    case itFeld: Page = GetLDT3FeldDict()->GetFeldInfoXHTML(SearchStr, QString()); break;
    case itAlleRegeln: Page = GetLDT3FeldDict()->GetFeldRegelInfoXHTML(SearchStr); break;
    case itERegel:
    case itFRegel:
    case itKRegel: Page = GetLDT3RegelDict()->GetRegelInfoXHTML(SearchStr); break;
    case itNone: break;
    }
    if (!Page.isEmpty())
        return Page;
    return SearchPage(AInfoTyp, SearchStr);
}

QString TLDT3Data::GetInfoXHTML(const QString &AStr)
{
    TInfoTyp InfoTyp;
    return GetInfoXHTML(AStr, InfoTyp);
}
