#include "TestUtil.h"

#include "LDT3.Base.h"
#include "LDT3.XML_XPM.h"
#include "LDT3.XML_XPM_List.h"

namespace {

QByteArray Record(const QByteArray &AGruppe, const QByteArray &AFehlerNr, const QByteArray &AMeldung)
{
    return "<record><GRUPPE>" + AGruppe + "</GRUPPE><FEHLER_NR>" + AFehlerNr + "</FEHLER_NR><MELDUNG>" + AMeldung +
           "</MELDUNG></record>\n";
}

QByteArray Doc(const QByteArray &AParams, const QByteArray &ARecords, const QByteArray &AEnc = "UTF-8")
{
    return "<?xml version=\"1.0\" encoding=\"" + AEnc + "\"?>\n<data>\n<parameter>" + AParams + "</parameter>\n" +
           ARecords + "</data>\n";
}

std::unique_ptr<TXPMErrList> LoadBytes(const QByteArray &AXml)
{
    QTemporaryDir dir;
    return LoadXPMErrList(testutil::WriteFile(dir, QStringLiteral("ergebnis.xml"), AXml));
}

TXPMErrRec Rec(const QString &AName, const QString &ATyp, const QString &AZeile, const QString &AMsg = QString())
{
    TXPMErrRec r;
    r.ErrGruppe = QStringLiteral("G");
    r.ErrName = AName;
    r.ErrTyp = ATyp;
    r.ErrZeile = AZeile;
    r.ErrMsg = AMsg;
    return r;
}

} // namespace

TEST(XPMRecParser, FehlerNrGivesNameTypeAndLine)
{
    struct { QString Text, Name, Typ, Zeile; } cases[] = {
        {QStringLiteral("K089 (F/123)"), QStringLiteral("K089"), QStringLiteral("F"), QStringLiteral("123")},
        {QStringLiteral("K089 (F*/123,7)"), QStringLiteral("K089"), QStringLiteral("F"), QStringLiteral("123")},
        {QStringLiteral("K089 (I)"), QStringLiteral("K089"), QStringLiteral("I"), QString()},
        {QStringLiteral("  LDT-R 12   (W*)"), QStringLiteral("LDT-R 12"), QStringLiteral("W"), QString()},
        {QStringLiteral("K01 (f/3)"), QStringLiteral("K01"), QStringLiteral("f"), QStringLiteral("3")},
        {QStringLiteral("kein Muster"), QString(), QString(), QString()},
        {QString(), QString(), QString(), QString()},
    };
    const TXPMRecParser p;
    for (const auto &c : cases) {
        TXPMErrRec r;
        p.ParseFehlerNr(c.Text, r);
        EXPECT_EQ(r.ErrName, c.Name) << c.Text.toStdString();
        EXPECT_EQ(r.ErrTyp, c.Typ) << c.Text.toStdString();
        EXPECT_EQ(r.ErrZeile, c.Zeile) << c.Text.toStdString();
    }
}

TEST(XPMRecParser, MeldungLosesItsMarkupAndOuterBlanks)
{
    struct { QString Text, Msg; } cases[] = {
        {QStringLiteral("  Wert fehlt\r\n"), QStringLiteral("Wert fehlt")},
        {QStringLiteral("<B>Wort</b>"), QStringLiteral("Wort")},               // back-reference ignores case
        {QStringLiteral("<b>eins</b> und <i>zwei</i>"), QStringLiteral("eins")}, // first pair only
        {QStringLiteral("<p class=\"x\">zwei\nZeilen</p>"), QStringLiteral("zwei\nZeilen")},
        {QStringLiteral("<b>offen"), QStringLiteral("<b>offen")},
        {QStringLiteral("\t"), QString()},
    };
    const TXPMRecParser p;
    for (const auto &c : cases)
        EXPECT_EQ(p.ParseMeldung(c.Text), c.Msg) << c.Text.toStdString();
}

TEST(XPMErrList, FilesMessagesByLineAndKind)
{
    TXPMErrList l;
    EXPECT_EQ(l.Add(Rec(QStringLiteral("W1"), QStringLiteral("W"), QStringLiteral("5"))), 0);
    l.Add(Rec(QStringLiteral("f1"), QStringLiteral("f"), QStringLiteral("6")));
    l.Add(Rec(QStringLiteral("I1"), QStringLiteral("I"), QString()));
    l.Add(Rec(QStringLiteral("K01 "), QStringLiteral("F"), QStringLiteral("7")));
    l.Add(Rec(QString(), QStringLiteral("A"), QStringLiteral("7")));
    l.Add(Rec(QStringLiteral("K02"), QStringLiteral("F"), QStringLiteral("7")));
    l.Add(Rec(QStringLiteral("K02"), QStringLiteral("F"), QStringLiteral("7")));
    l.Add(Rec(QStringLiteral("X"), QString(), QStringLiteral("99999999999"))); // no valid number: key -1

    EXPECT_EQ(l.Count(), 8);
    EXPECT_TRUE(l.IsFehlerZeile(5)); // warnings mark lines
    EXPECT_FALSE(l.IsInfoZeile(5));
    EXPECT_FALSE(l.IsFehlerZeile(6));
    EXPECT_TRUE(l.IsInfoZeile(6));
    EXPECT_TRUE(l.ZeileExists(-1));
    EXPECT_EQ(l.XPMInfoCountForZeile(-1), 2);
    EXPECT_EQ(l.XPMRecCountForZeile(7), 4); // identical messages are both kept
    EXPECT_EQ(l.XPMFehlerForZeile(7).size(), 4);
    EXPECT_TRUE(l.XPMRecsForZeile(8).isEmpty());
    EXPECT_EQ(l.XPMShortFehlerName(7), QStringLiteral("K01, K02, K02"));
    EXPECT_EQ(l.XPMShortFehlerName(6), QString());
    EXPECT_EQ(l.AlleZeilen(), (QList<int>{-1, 5, 6, 7}));
    EXPECT_EQ(l.FehlerZeilen(), (QList<int>{5, 7}));
    EXPECT_EQ(l.InfoZeilen(), (QList<int>{-1, 6}));
}

TEST(XPMErrList, MessageTableOrdersByLineWithTypeClasses)
{
    TXPMErrList l;
    l.Add(Rec(QStringLiteral("W1"), QStringLiteral("W"), QStringLiteral("5"), QStringLiteral("a < b & c")));
    l.Add(Rec(QStringLiteral("f1"), QStringLiteral("f"), QStringLiteral("3")));
    l.Add(Rec(QStringLiteral("I1"), QStringLiteral("I"), QString()));
    const QString t = l.GetXPMMessageTableXHTML();
    EXPECT_TRUE(t.startsWith(QStringLiteral("<table class=\"xpm\" width=\"100%\" summary=\"XPM-Meldungen\">\r\n"
                                            "<caption>XPM-Meldungen</caption>\r\n<tr>\r\n<th>Zeile</th>\r\n")));
    EXPECT_TRUE(t.endsWith(QStringLiteral("</tr>\r\n</table>\r\n")));
    const qsizetype noLine = t.indexOf(QStringLiteral("<td align=\"right\">&nbsp;</td>\r\n"
                                                      "<td class=\"info\" align=\"center\">I</td>"));
    const qsizetype line3 = t.indexOf(QStringLiteral("<td align=\"right\">3</td>\r\n"
                                                     "<td class=\"normal\" align=\"center\">f</td>"));
    const qsizetype line5 = t.indexOf(QStringLiteral("<td align=\"right\">5</td>\r\n"
                                                     "<td class=\"warning\" align=\"center\">W</td>"));
    EXPECT_GE(noLine, 0);
    EXPECT_GT(line3, noLine);
    EXPECT_GT(line5, line3);
    EXPECT_TRUE(t.contains(QStringLiteral("<td>a &lt; b &amp; c</td>\r\n")));
}

TEST(XPMErrList, SummaryTableMarksTheOverallResult)
{
    struct { QString Abbruch, Fehler, Warnungen, Class; } cases[] = {
        {QStringLiteral("0"), QStringLiteral("2"), QStringLiteral("0"), QStringLiteral("error")},
        {QStringLiteral("1"), QStringLiteral("0"), QStringLiteral("0"), QStringLiteral("error")},
        {QStringLiteral("0"), QStringLiteral("0"), QStringLiteral("3"), QStringLiteral("okay")},
    };
    for (const auto &c : cases) {
        TXPMErrList l;
        l.Parameter.ABBRUCH = c.Abbruch;
        l.Parameter.FEHLER = c.Fehler;
        l.Parameter.WARNUNGEN = c.Warnungen;
        l.Parameter.ERGEBNIS = QStringLiteral("2");
        l.Parameter.ERGEBNIS_TEXT = QStringLiteral("fehlerhaft");
        l.Parameter.XPM_VERSION = QStringLiteral("1.1");
        l.Parameter.PAKET_VERSION = QStringLiteral("2.2");
        const QString t = l.GetXPMParameterTableXHTML();
        EXPECT_TRUE(t.contains(QStringLiteral("<tr>\r\n<td>XPM-Gesamtergebnis</td>\r\n<td class=\"%1\">2 - fehlerhaft</td>\r\n</tr>\r\n")
                                   .arg(c.Class)))
            << t.toStdString();
        EXPECT_TRUE(t.contains(QStringLiteral("<td>Datensatzdatei</td>\r\n<td>&nbsp;</td>")));
        EXPECT_TRUE(t.contains(QStringLiteral("<td>Version XPM-Paket</td>\r\n<td>1.1</td>\r\n</tr>\r\n<tr>\r\n"
                                              "<td>Version XPM-Paket</td>\r\n<td>2.2</td>")));
    }
}

TEST(XPMErrList, LinePageOnlyForLinesWithMessages)
{
    TXPMErrList l;
    l.Add(Rec(QStringLiteral("K1"), QStringLiteral("F"), QStringLiteral("4"), QStringLiteral("kaputt")));
    EXPECT_EQ(l.GetXPMMessageTableForZeileXHTML(5), QString());
    EXPECT_EQ(l.GetXPMInfoForZeileXHTML(5), QString());
    const QString t = l.GetXPMMessageTableForZeileXHTML(4);
    EXPECT_TRUE(t.contains(QStringLiteral("<th style=\"width:15em\">Gruppe</th>\r\n<th style=\"width:6em\">Name</th>\r\n"
                                          "<th>Typ</th>\r\n<th>Meldung</th>\r\n</tr>\r\n<tr>\r\n<td>G</td>\r\n<td>K1</td>\r\n"
                                          "<td align=\"center\">F</td>\r\n<td>kaputt</td>\r\n</tr>\r\n</table>\r\n")));
    const QString page = l.GetXPMInfoForZeileXHTML(4);
    EXPECT_TRUE(page.contains(QStringLiteral("<title>XPM-Information</title>\r\n<style type=\"text/css\">\r\n/*<![CDATA[*/\r\n"
                                             "body {font-family: Calibri,sans-serif; font-size: 12pt; color:black;}\r\n")));
    EXPECT_TRUE(page.contains(QStringLiteral(".xpm th {background-color: #ba0066; color: #ffffff;}\r\n"
                                             "caption {text-align: left;}\r\n")));
    EXPECT_TRUE(page.contains(QStringLiteral(".warning {font-weight: bold; color: #e7b107;}\r\n/*]]>*/\r\n</style>\r\n")));
    EXPECT_TRUE(page.contains(QStringLiteral("<body>\r\n<div>\r\n") + t + QStringLiteral("</div>\r\n</body>")));
}

TEST(LoadXPMErrList, ReadsParametersAndRecords)
{
    const QByteArray xml = Doc("<ABBRUCH>0</ABBRUCH><FEHLER>1</FEHLER><ERGEBNIS>2</ERGEBNIS>"
                               "<ERGEBNIS_TEXT>Fehler</ERGEBNIS_TEXT><PRAXIS>Praxis M\xc3\xbcller</PRAXIS>",
                               Record("Feld", "K089 (F/12)", "&lt;b&gt;fehlt&lt;/b&gt;") +
                                   Record("Info", "K001 (I)", "  Hinweis  ") + Record("X", "???", "ohne Nummer"));
    const auto l = LoadBytes(xml);
    ASSERT_TRUE(l);
    EXPECT_EQ(l->Parameter.PRAXIS, QStringLiteral("Praxis Müller"));
    EXPECT_EQ(l->Parameter.ERGEBNIS_TEXT, QStringLiteral("Fehler"));
    EXPECT_EQ(l->Parameter.ZEIT, QString());
    ASSERT_EQ(l->Count(), 3);
    EXPECT_EQ(l->Items(0).ErrMsg, QStringLiteral("fehlt"));
    EXPECT_EQ(l->Items(0).ErrGruppe, QStringLiteral("Feld"));
    EXPECT_TRUE(l->IsFehlerZeile(12));
    EXPECT_EQ(l->Items(1).ErrMsg, QStringLiteral("Hinweis"));
    EXPECT_EQ(l->Items(2).ErrTyp, QString());
    EXPECT_EQ(l->XPMInfoCountForZeile(-1), 2);
}

TEST(LoadXPMErrList, EncodingsAndMissingParts)
{
    // ISO 8859-15: the euro sign is 0xA4, ü is 0xFC
    const auto latin9 = LoadBytes(Doc("<PRAXIS>\xa4 f\xfcr</PRAXIS>", QByteArray(), "ISO-8859-15"));
    ASSERT_TRUE(latin9);
    EXPECT_EQ(latin9->Parameter.PRAXIS, QStringLiteral("€ für"));

    const auto noParam = LoadBytes("<?xml version=\"1.0\"?><data></data>");
    ASSERT_TRUE(noParam);
    EXPECT_EQ(noParam->Count(), 0);
    EXPECT_EQ(noParam->Parameter.ERGEBNIS, QString());

    EXPECT_EQ(LoadXPMErrList(QStringLiteral("/nonexistent/ergebnis.xml")), nullptr);
}

TEST(LoadXPMErrList, MalformedXmlRaisesTheParserMessage)
{
    const QByteArray bad[] = {
        "<?xml version=\"1.0\"?><data><parameter><FEHLER>1</FEHLER></data>",
        "kein XML",
        "",
        "<?xml version=\"1.0\"?><anderes/>",
    };
    for (const QByteArray &b : bad) {
        try {
            LoadBytes(b);
            ADD_FAILURE() << "no error for " << b.constData();
        } catch (const ELDT3Error &e) {
            EXPECT_FALSE(e.Message().isEmpty());
        }
    }
}
