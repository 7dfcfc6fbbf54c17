#include "LDT3.Html.h"

#include "Vex_BufStr.h"

namespace {

const QString CRLF = QStringLiteral("\r\n");

// Length of the entity reference that replaces C, or 0 when C stays.
inline int EscapeLen(QChar C)
{
    switch (C.unicode()) {
    case u'&': return 5;  // &amp;
    case u'<': return 4;  // &lt;
    case u'>': return 4;  // &gt;
    case u'"': return 6;  // &quot;
    case u'\'': return 6; // &apos;
    default: return 0;
    }
}

QString XHTMLDoc(const QString &ADocType, const QString &ADTD, const QString &ATitle,
                 const QString &AHead, const QString &ABody)
{
    TBufferedString S;
    S.AddLine(QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>"));
    S.AddLine(QStringLiteral("<!DOCTYPE html PUBLIC \"-//W3C//DTD XHTML 1.0 %1//EN\" ").arg(ADocType));
    S.AddLine(QStringLiteral("\"%1\">").arg(ADTD));
    S.AddLine(QStringLiteral(
        "<html xmlns=\"http://www.w3.org/1999/xhtml\" xml:lang=\"en\" lang=\"en\">"));
    S.AddLine(QStringLiteral("<head>"));
    S.Add(QStringLiteral("<title>"));
    S.Add(XmlEscape(ATitle));
    S.AddLine(QStringLiteral("</title>"));
    S.Add(AHead);
    S.AddLine(QStringLiteral("</head>"));
    S.AddLine(QStringLiteral("<body>"));
    S.Add(ABody);
    S.AddLine(QStringLiteral("</body>"));
    S.AddLine(QStringLiteral("</html>"));
    return S.AsString();
}

void AddLines(TBufferedString &AHead, std::initializer_list<const char16_t *> ALines)
{
    for (const char16_t *L : ALines)
        AHead.AddLine(QString::fromUtf16(L));
}

QString Block(void (*AFill)(TBufferedString &))
{
    TBufferedString Head;
    TLDT3Html::AddStyleBegin(Head);
    AFill(Head);
    TLDT3Html::AddStyleEnd(Head);
    return Head.AsString();
}

} // namespace

QString XmlEscape(const QString &S)
{
    qsizetype Extra = 0;
    for (QChar C : S) {
        const int L = EscapeLen(C);
        if (L)
            Extra += L - 1;
    }
    if (Extra == 0)
        return S;

    QString R(S.size() + Extra, Qt::Uninitialized);
    QChar *P = R.data();
    auto Put = [&P](const char *AEntity) {
        while (*AEntity)
            *P++ = QLatin1Char(*AEntity++);
    };
    for (QChar C : S) {
        switch (C.unicode()) {
        case u'&': Put("&amp;"); break;
        case u'<': Put("&lt;"); break;
        case u'>': Put("&gt;"); break;
        case u'"': Put("&quot;"); break;
        case u'\'': Put("&apos;"); break;
        default: *P++ = C;
        }
    }
    return R;
}

QString XHTMLStrictDoc(const QString &ATitle, const QString &AHead, const QString &ABody)
{
    return XHTMLDoc(QStringLiteral("Strict"),
                    QStringLiteral("http://www.w3.org/TR/xhtml1/DTD/xhtml1-strict.dtd"), ATitle,
                    AHead, ABody);
}

QString XHTMLTransitionalDoc(const QString &ATitle, const QString &AHead, const QString &ABody)
{
    return XHTMLDoc(QStringLiteral("Transitional"),
                    QStringLiteral("http://www.w3.org/TR/xhtml1/DTD/xhtml1-transitional.dtd"),
                    ATitle, AHead, ABody);
}

void TLDT3Html::AddStyleBegin(TBufferedString &AHead)
{
    AHead.Add(QStringLiteral("<style type=\"text/css\">") + CRLF + QStringLiteral("/*<![CDATA[*/") + CRLF);
}

void TLDT3Html::AddStyleEnd(TBufferedString &AHead)
{
    AHead.Add(QStringLiteral("/*]]>*/") + CRLF + QStringLiteral("</style>") + CRLF);
}

void TLDT3Html::AddBaseStyle(TBufferedString &AHead, bool ASmallBody)
{
    if (ASmallBody)
        AHead.AddLine(QStringLiteral("body {font-family: Calibri,sans-serif; font-size: 11pt; color:black;}"));
    else
        AHead.AddLine(QStringLiteral("body {font-family: Calibri,sans-serif; font-size: 12pt; color:black;}"));
    AddLines(AHead, {u"h1 {color:blue;}", u"h2,h3 {color:darkblue;}"});
}

void TLDT3Html::AddTableBorderStyle(TBufferedString &AHead)
{
    AHead.AddLine(QStringLiteral("table, th, td {border: 1px solid #CCC; border-collapse: collapse;}"));
}

void TLDT3Html::AddTableStyle(TBufferedString &AHead)
{
    AddTableBorderStyle(AHead);
    AddLines(AHead, {u"th, td {padding: 2px 5px 2px 5px;}", u"th {background-color: #e7c157;}"});
}

void TLDT3Html::AddCaptionStyle(TBufferedString &AHead)
{
    AHead.AddLine(QStringLiteral("caption {text-align: left;}"));
}

void TLDT3Html::AddXpmThStyle(TBufferedString &AHead, bool AFinalSemicolon)
{
    if (AFinalSemicolon)
        AHead.AddLine(QStringLiteral(".xpm th {background-color: #ba0066; color: #ffffff;}"));
    else
        AHead.AddLine(QStringLiteral(".xpm th {background-color: #ba0066; color: #ffffff}"));
}

void TLDT3Html::AddXpmCaptionStyle(TBufferedString &AHead)
{
    AHead.AddLine(QStringLiteral(
        ".xpm caption {font-weight: bold; font-style: italic; color: #ba0066;}"));
}

void TLDT3Html::AddXpmTableStyle(TBufferedString &AHead)
{
    AHead.AddLine(QStringLiteral(".xpm table, th, td {border: 1px solid #CCC; border-collapse: collapse;}"));
}

void TLDT3Html::AddStatusStyles(TBufferedString &AHead)
{
    AHead.AddLine(QStringLiteral(".info {font-weight: bold; color: navy;}"));
    AddErrorOkayWarningStyles(AHead);
    AHead.AddLine(QStringLiteral(".normal {font-weight: bold; color: black;}"));
}

void TLDT3Html::AddErrorOkayWarningStyles(TBufferedString &AHead)
{
    AddLines(AHead, {u".error {font-weight: bold; color: red;}",
                     u".okay {font-weight: bold; color: green;}",
                     u".warning {font-weight: bold; color: #e7b107;}"});
}

void TLDT3Html::AddRegelTableStyles(TBufferedString &AHead)
{
    AddLines(AHead, {
        u".regel table, th, td {font-size: 14px; border: hidden;}",
        u".regel th, td {padding: 6px 4px 6px 4px;}",
        u".regel th {width: 6em; background-color: #ffffff; text-align: right; vertical-align:top;}",
        u".regel td {color: darkblue;}",
        u"th.regel.name, td.regel.name {font-size: 18px; font-weight: bold; background-color: #e7c157;}",
        u"th.regel.name {color: white;}",
        u"td.regel.name {color: blue;}",
        u".regel caption {margin-top: 10px; margin-bottom: 10px; font-size: 24px; font-weight: bold; "
        u"color: blue; background-color: #e7b107;}",
    });
}

void TLDT3Html::AddFeldTableStyles(TBufferedString &AHead)
{
    AddLines(AHead, {
        u".feld table, th, td {font-size: 14px; border: hidden;}",
        u".feld th, td {padding: 6px 4px 6px 4px;}",
        u".feld th {width: 6em; background-color: #ffffff; text-align: right; vertical-align:top;}",
        u".feld td {color: darkblue;}",
        u"th.feld.name, td.feld.name {font-size: 18px; font-weight: bold; background-color: #e7c157;}",
        u"th.feld.name {color: blue;}",
        u"td.feld.name {color: white; font-style: italic}",
        u".feld caption {margin-top: 10px; margin-bottom: 10px; font-size: 24px; font-weight: bold; "
        u"color: blue; background-color: #e7b107;}",
    });
}

QString TLDT3Html::RegelInfoStyle()
{
    return Block([](TBufferedString &H) {
        AddBaseStyle(H);
        AddTableStyle(H);
        AddXpmThStyle(H, false);
        AddCaptionStyle(H);
        AddXpmCaptionStyle(H);
        AddStatusStyles(H);
        AddRegelTableStyles(H);
    });
}

QString TLDT3Html::FeldInfoStyle()
{
    return Block([](TBufferedString &H) {
        AddBaseStyle(H);
        AddTableStyle(H);
        AddCaptionStyle(H);
        AddXpmTableStyle(H);
        AddXpmThStyle(H, true);
        AddXpmCaptionStyle(H);
        AddStatusStyles(H);
        AddRegelTableStyles(H);
        AddFeldTableStyles(H);
    });
}

QString TLDT3Html::LookupStyle()
{
    return Block([](TBufferedString &H) {
        AddLines(H, {u"body {font-family: Calibri,sans-serif; font-size: 12pt; color:black;}",
                     u"h1 {color:blue;}", u"h2 {color:red;}", u"h3 {color:darkblue;}"});
    });
}

QString TLDT3Html::FileInfoStyle()
{
    return Block([](TBufferedString &H) {
        AddBaseStyle(H);
        AddTableStyle(H);
        AddXpmThStyle(H, false);
        AddCaptionStyle(H);
        AddXpmCaptionStyle(H);
        AddStatusStyles(H);
    });
}

QString TLDT3Html::FieldStatsStyle()
{
    return Block([](TBufferedString &H) {
        AddBaseStyle(H);
        AddTableStyle(H);
        AddCaptionStyle(H);
    });
}

QString TLDT3Html::FileContentStyle()
{
    return Block([](TBufferedString &H) {
        AddBaseStyle(H, true);
        AddTableBorderStyle(H);
        AddCaptionStyle(H);
    });
}

QString TLDT3Html::XPMMessagesStyle()
{
    return Block([](TBufferedString &H) {
        AddBaseStyle(H);
        AddTableStyle(H);
        AddXpmThStyle(H, true);
        AddCaptionStyle(H);
        AddXpmCaptionStyle(H);
        AddErrorOkayWarningStyles(H);
    });
}

// ---------------------------------------------------------------------------
// TXHtmlWriter

QString TXHtmlWriter::CellText(const QString &AText)
{
    return AText.isEmpty() ? QStringLiteral("&nbsp;") : XmlEscape(AText);
}

QString TXHtmlWriter::ClassAttr(const QString &AClass)
{
    return AClass.isEmpty() ? QString() : QStringLiteral(" class=\"") + AClass + u'"';
}

void TXHtmlWriter::Raw(const QString &ALine)
{
    FOut.AddLine(ALine);
}

void TXHtmlWriter::Raw(std::initializer_list<const char *> ALines)
{
    for (const char *L : ALines)
        FOut.AddLine(QString::fromUtf8(L));
}

void TXHtmlWriter::Heading(int ALevel, const QString &AText)
{
    const QString n = QString::number(ALevel);
    FOut.AddLine(QStringLiteral("<h") + n + u'>' + CellText(AText) + QStringLiteral("</h") + n + u'>');
}

void TXHtmlWriter::RowBegin(const QString &AAttrs)
{
    FOut.AddLine(QStringLiteral("<tr") + AAttrs + u'>');
}

void TXHtmlWriter::RowEnd()
{
    FOut.AddLine(QStringLiteral("</tr>"));
}

void TXHtmlWriter::Cell(const QString &AText, const QString &AAttrs)
{
    FOut.AddLine(QStringLiteral("<td") + AAttrs + u'>' + CellText(AText) + QStringLiteral("</td>"));
}

void TXHtmlWriter::BoldCell(const QString &AText)
{
    FOut.AddLine(QStringLiteral("<td><b>") + CellText(AText) + QStringLiteral("</b></td>"));
}

void TXHtmlWriter::HeadCell(const QString &ACaption, const QString &AAttrs)
{
    FOut.AddLine(QStringLiteral("<th") + AAttrs + u'>' + ACaption + QStringLiteral("</th>"));
}

void TXHtmlWriter::HeadRow(std::initializer_list<const char16_t *> ACaptions)
{
    RowBegin();
    for (const char16_t *C : ACaptions)
        HeadCell(QString::fromUtf16(C));
    RowEnd();
}

void TXHtmlWriter::NameValueRow(const QString &AName, const QString &AValue, const QString &AClass,
                                const QString &AValueAttrs)
{
    RowBegin(ClassAttr(AClass));
    Cell(AName);
    Cell(AValue, AValueAttrs);
    RowEnd();
}

void TXHtmlWriter::HeadValueRowRaw(const QString &AHeading, const QString &AValueRaw)
{
    RowBegin();
    HeadCell(AHeading);
    FOut.AddLine(QStringLiteral("<td>") + AValueRaw + QStringLiteral("</td>"));
    RowEnd();
}

void TXHtmlWriter::HeadLinesRow(const QString &AHeading, const QStringList &ALines)
{
    RowBegin();
    HeadCell(AHeading);
    FOut.AddLine(QStringLiteral("<td>"));
    for (const QString &L : ALines)
        FOut.AddLine(XmlEscape(L) + QStringLiteral("<br />"));
    FOut.AddLine(QStringLiteral("</td>"));
    RowEnd();
}
