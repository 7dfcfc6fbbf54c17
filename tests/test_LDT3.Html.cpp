#include "LDT3.Html.h"

#include "TestUtil.h"
#include "Vex_BufStr.h"

#include <QXmlStreamReader>

TEST(XmlEscape, ReplacesTheFiveCharacters)
{
    struct { const char16_t *In; const char16_t *Out; } Cases[] = {
        {u"", u""},
        {u"a&b", u"a&amp;b"},
        {u"<h1>", u"&lt;h1&gt;"},
        {u"\"x\"", u"&quot;x&quot;"},
        {u"it's", u"it&apos;s"},
        {u"&amp;", u"&amp;amp;"}, // escaping twice is visible
        {u"Größe\r\n<", u"Größe\r\n&lt;"},
    };
    for (const auto &C : Cases)
        EXPECT_EQ(XmlEscape(QString::fromUtf16(C.In)), QString::fromUtf16(C.Out));
}

TEST(XmlEscape, TextWithoutSpecialCharacterIsNotCopied)
{
    const QString S = QStringLiteral("Prüfsumme 9300\nnichts zu tun");
    const QString R = XmlEscape(S);
    EXPECT_EQ(R, S);
    EXPECT_EQ(R.constData(), S.constData());
}

TEST(XHTMLDoc, FrameEscapesTitleKeepsHeadAndBody)
{
    const QString Doc = XHTMLStrictDoc(QStringLiteral("A & <B>"), QStringLiteral("<!--head-->\r\n"),
                                       QStringLiteral("<h1>x</h1>\r\n"));
    const QString Expected = QStringLiteral(
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n"
        "<!DOCTYPE html PUBLIC \"-//W3C//DTD XHTML 1.0 Strict//EN\" \r\n"
        "\"http://www.w3.org/TR/xhtml1/DTD/xhtml1-strict.dtd\">\r\n"
        "<html xmlns=\"http://www.w3.org/1999/xhtml\" xml:lang=\"en\" lang=\"en\">\r\n"
        "<head>\r\n"
        "<title>A &amp; &lt;B&gt;</title>\r\n"
        "<!--head-->\r\n"
        "</head>\r\n"
        "<body>\r\n"
        "<h1>x</h1>\r\n"
        "</body>\r\n"
        "</html>\r\n");
    EXPECT_EQ(Doc, Expected);

    const QString T = XHTMLTransitionalDoc(QString(), QString(), QString());
    EXPECT_TRUE(T.contains(QStringLiteral(
        "\"-//W3C//DTD XHTML 1.0 Transitional//EN\" \r\n"
        "\"http://www.w3.org/TR/xhtml1/DTD/xhtml1-transitional.dtd\">\r\n")));
}

// Every style block of the pages: its exact lines, checked once.
TEST(XHTMLStyle, PageBlocks)
{
    const QStringList Base = {
        "body {font-family: Calibri,sans-serif; font-size: 12pt; color:black;}",
        "h1 {color:blue;}", "h2,h3 {color:darkblue;}"};
    const QString Border = "table, th, td {border: 1px solid #CCC; border-collapse: collapse;}";
    const QStringList Table = {Border, "th, td {padding: 2px 5px 2px 5px;}",
                               "th {background-color: #e7c157;}"};
    const QString Caption = "caption {text-align: left;}";
    const QString XpmTh = ".xpm th {background-color: #ba0066; color: #ffffff}";
    const QString XpmThSemi = ".xpm th {background-color: #ba0066; color: #ffffff;}";
    const QString XpmCaption = ".xpm caption {font-weight: bold; font-style: italic; color: #ba0066;}";
    const QString XpmTable = ".xpm table, th, td {border: 1px solid #CCC; border-collapse: collapse;}";
    const QStringList EOW = {".error {font-weight: bold; color: red;}",
                             ".okay {font-weight: bold; color: green;}",
                             ".warning {font-weight: bold; color: #e7b107;}"};
    const QStringList Status = QStringList{".info {font-weight: bold; color: navy;}"} + EOW +
                               QStringList{".normal {font-weight: bold; color: black;}"};
    auto Tables = [](const QString &K, const QString &ThName, const QString &TdName) {
        return QStringList{
            QString(".%1 table, th, td {font-size: 14px; border: hidden;}").arg(K),
            QString(".%1 th, td {padding: 6px 4px 6px 4px;}").arg(K),
            QString(".%1 th {width: 6em; background-color: #ffffff; text-align: right; vertical-align:top;}").arg(K),
            QString(".%1 td {color: darkblue;}").arg(K),
            QString("th.%1.name, td.%1.name {font-size: 18px; font-weight: bold; background-color: #e7c157;}").arg(K),
            ThName, TdName,
            QString(".%1 caption {margin-top: 10px; margin-bottom: 10px; font-size: 24px; font-weight: bold; color: blue; background-color: #e7b107;}").arg(K)};
    };
    const QStringList Regel = Tables("regel", "th.regel.name {color: white;}", "td.regel.name {color: blue;}");
    const QStringList Feld = Tables("feld", "th.feld.name {color: blue;}", "td.feld.name {color: white; font-style: italic}");

    auto Block = [](const QStringList &ALines) {
        return "<style type=\"text/css\">\r\n/*<![CDATA[*/\r\n" + ALines.join("\r\n") +
               "\r\n/*]]>*/\r\n</style>\r\n";
    };
    EXPECT_EQ(TLDT3Html::RegelInfoStyle(),
              Block(Base + Table + QStringList{XpmTh, Caption, XpmCaption} + Status + Regel));
    EXPECT_EQ(TLDT3Html::FeldInfoStyle(),
              Block(Base + Table + QStringList{Caption, XpmTable, XpmThSemi, XpmCaption} + Status +
                    Regel + Feld));
    EXPECT_EQ(TLDT3Html::LookupStyle(),
              Block({Base[0], "h1 {color:blue;}", "h2 {color:red;}", "h3 {color:darkblue;}"}));
    EXPECT_EQ(TLDT3Html::FileInfoStyle(),
              Block(Base + Table + QStringList{XpmTh, Caption, XpmCaption} + Status));
    EXPECT_EQ(TLDT3Html::FieldStatsStyle(), Block(Base + Table + QStringList{Caption}));
    EXPECT_EQ(TLDT3Html::FileContentStyle(),
              Block({"body {font-family: Calibri,sans-serif; font-size: 11pt; color:black;}",
                     Base[1], Base[2], Border, Caption}));
    EXPECT_EQ(TLDT3Html::XPMMessagesStyle(),
              Block(Base + Table + QStringList{XpmThSemi, Caption, XpmCaption} + EOW));
}

TEST(XHTMLDoc, PageWithStyleIsWellFormed)
{
    QXmlStreamReader R(XHTMLStrictDoc(QStringLiteral("\"T\" & 'U'"), TLDT3Html::FeldInfoStyle(),
                                      QStringLiteral("<p>") + XmlEscape(QStringLiteral("a<b>&c")) +
                                          QStringLiteral("</p>\r\n")));
    while (!R.atEnd())
        R.readNext();
    EXPECT_FALSE(R.hasError()) << R.errorString().toStdString();
}

TEST(XHtmlWriter, CellsAreEscapedRowsAndAttributesAsGiven)
{
    TBufferedString B;
    TXHtmlWriter W(B);
    W.Heading(1, QStringLiteral("A&B"));
    W.HeadRow({u"Name", u"Wert"});
    W.NameValueRow(QString(), QStringLiteral("<x>"), QStringLiteral("error"), QStringLiteral(" align=\"right\""));
    W.RowBegin(TXHtmlWriter::ClassAttr(QString()));
    W.BoldCell(QStringLiteral("it's"));
    W.RowEnd();
    W.HeadValueRowRaw(QStringLiteral("E-Regel"), QStringLiteral("<b>E001</b>"));
    W.HeadLinesRow(QStringLiteral("Erläuterung"), {QStringLiteral("a<b"), QString()});
    W.Raw({"</table>"});
    EXPECT_EQ(B.AsString(), QStringLiteral("<h1>A&amp;B</h1>\r\n"
                                           "<tr>\r\n<th>Name</th>\r\n<th>Wert</th>\r\n</tr>\r\n"
                                           "<tr class=\"error\">\r\n<td>&nbsp;</td>\r\n<td align=\"right\">&lt;x&gt;</td>\r\n</tr>\r\n"
                                           "<tr>\r\n<td><b>it&apos;s</b></td>\r\n</tr>\r\n"
                                           "<tr>\r\n<th>E-Regel</th>\r\n<td><b>E001</b></td>\r\n</tr>\r\n"
                                           "<tr>\r\n<th>Erläuterung</th>\r\n<td>\r\na&lt;b<br />\r\n<br />\r\n</td>\r\n</tr>\r\n"
                                           "</table>\r\n"));
}
