// Golden pages: one page of each kind the program writes, byte for byte as
// stored under tests/golden/. A change of a page writer must leave them as
// they are; VENTOLIX_UPDATE_GOLDEN=1 writes them anew (only on purpose).
#include "TestUtil.h"

#include "LDT3.Data.h"
#include "LDT3.Document.h"
#include "LDT3.XML_XPM_List.h"
#include "Vex_MessageSink.h"

#include <functional>

namespace {

QString GoldenDir() { return QString::fromUtf8(VENTOLIX_SOURCE_DIR) + QStringLiteral("/tests/golden"); }

// The example opened from its bytes under its bare name, so that no page
// depends on where the sources lie.
void OpenExample(TLDT3Document &ADoc, const QString &AName)
{
    const QByteArray bytes = testutil::ReadAll(QDir(testutil::ExamplesDir()).filePath(AName));
    ASSERT_FALSE(bytes.isEmpty()) << AName.toStdString();
    ADoc.OpenBuffer(bytes, AName);
}

std::unique_ptr<TXPMErrList> XPMResult()
{
    auto l = std::make_unique<TXPMErrList>();
    TXPMParamRec &p = l->Parameter;
    p.ERGEBNIS = QStringLiteral("2");
    p.ERGEBNIS_TEXT = QStringLiteral("Datei fehlerhaft");
    p.DATEI = QStringLiteral("Z01_Auftrag.ldt");
    p.XPM_VERSION = QStringLiteral("3.2 <Test> & \"mehr\"");
    p.FEHLER = QStringLiteral("2");
    p.WARNUNGEN = QStringLiteral("1");
    p.INFOS = QStringLiteral("1");
    struct R { const char *Gruppe, *Name, *Typ, *Zeile, *Msg; } recs[] = {
        {"Feld", "K089", "F", "3", "Wert fehlt in <Feld> 3101"},
        {"Feld", "K090", "W", "3", "zweite Meldung"},
        {"Info", "K001", "I", "5", "nur Hinweis"},
        {"Datei", "K999", "A", "", "ohne Zeile"},
    };
    for (const R &r : recs) {
        TXPMErrRec rec;
        rec.ErrGruppe = QString::fromUtf8(r.Gruppe);
        rec.ErrName = QString::fromUtf8(r.Name);
        rec.ErrTyp = QString::fromUtf8(r.Typ);
        rec.ErrZeile = QString::fromUtf8(r.Zeile);
        rec.ErrMsg = QString::fromUtf8(r.Msg);
        l->Add(rec);
    }
    return l;
}

QString Page(const std::function<QString(TLDT3Document &)> &AMake, const QString &AExample, bool AWithXPM)
{
    TLDT3Document doc;
    if (!AExample.isEmpty())
        OpenExample(doc, AExample);
    if (AWithXPM)
        doc.SetXPMResult(XPMResult());
    return AMake(doc);
}

QString LinePage(TLDT3Document &ADoc, int AZeile)
{
    ADoc.LineList().BuildLineList(false);
    const TLDT3Line *l = ADoc.LineList().GetLDT3LineFromZeile(AZeile);
    return l ? l->DetailInfoXHTML() : QStringLiteral("keine Zeile");
}

QString InfoPage(const QString &AQuery)
{
    TLDT3Data::TInfoTyp typ;
    return TLDT3Data::GetInfoXHTML(AQuery, typ);
}

struct TPageCase
{
    const char *Name;
    std::function<QString()> Make;
};

const TPageCase kPages[] = {
    {"fileinfo_auftrag", [] { return Page([](TLDT3Document &d) { return d.LineList().GetFileInfoXHTML(); }, QStringLiteral("Z01_Auftrag.ldt"), false); }},
    {"fileinfo_fehlerhaft", [] { return Page([](TLDT3Document &d) { return d.LineList().GetFileInfoXHTML(); }, QStringLiteral("Z01_Fehlerhaft.ldt"), false); }},
    {"fileinfo_xpm", [] { return Page([](TLDT3Document &d) { return d.LineList().GetFileInfoXHTML(); }, QStringLiteral("Z01_Auftrag.ldt"), true); }},
    {"stats_befund", [] { return Page([](TLDT3Document &d) { return d.LineList().GetFeldStatistikXHTML(); }, QStringLiteral("Z01_Befund_mit_PDF.ldt"), false); }},
    {"content_befund", [] { return Page([](TLDT3Document &d) { return d.LineList().GetFileContentXHTML(); }, QStringLiteral("Z01_Befund_mit_PDF.ldt"), false); }},
    {"line_xpm", [] { return Page([](TLDT3Document &d) { return LinePage(d, 3); }, QStringLiteral("Z01_Auftrag.ldt"), true); }},
    {"line_fehlerhaft", [] {
         return Page([](TLDT3Document &d) {
             // the first line whose field check failed
             const TLDT3FilePtrList &f = *d.PtrList();
             for (int i = 0; i < f.Count(); ++i)
                 if (f.LineOK(i) && !f.FeldOK(i))
                     return LinePage(d, i + 1);
             return QStringLiteral("keine");
         }, QStringLiteral("Z01_Fehlerhaft.ldt"), false);
     }},
    {"line_ungueltig", [] {
         return Page([](TLDT3Document &d) {
             const TLDT3FilePtrList &f = *d.PtrList();
             for (int i = 0; i < f.Count(); ++i)
                 if (!f.LineOK(i))
                     return LinePage(d, i + 1);
             return QStringLiteral("keine");
         }, QStringLiteral("Z01_Fehlerhaft.ldt"), false);
     }},
    {"xpm_messages", [] { return XPMResult()->GetXPMMessageTableXHTML(); }},
    {"xpm_parameter", [] { return XPMResult()->GetXPMParameterTableXHTML(); }},
    {"xpm_zeile", [] { return XPMResult()->GetXPMMessageTableForZeileXHTML(3); }},
    {"xpm_info_zeile", [] { return XPMResult()->GetXPMInfoForZeileXHTML(3); }},
    {"info_feld_8000", [] { return InfoPage(QStringLiteral("8000")); }},
    {"info_feld_3103", [] { return InfoPage(QStringLiteral("FK 3103")); }},
    {"info_regeln_8000", [] { return InfoPage(QStringLiteral("R8000")); }},
    {"info_e003", [] { return InfoPage(QStringLiteral("E003")); }},
    {"info_f7", [] { return InfoPage(QStringLiteral("F7")); }},
    {"info_k1", [] { return InfoPage(QStringLiteral("K1")); }},
    {"info_suche", [] { return InfoPage(QStringLiteral("Geburt")); }},
};

struct TQuietSink : TMessageSink
{
    void ShowMessage(TMsgKind, const QString &, const QString &) override {}
    bool Confirm(const QString &, const QString &) override { return false; }
};

} // namespace

TEST(LDT3HtmlPages, EveryPageAsStored)
{
    TQuietSink sink;
    SetMessageSink(&sink);
    const bool update = qEnvironmentVariableIsSet("VENTOLIX_UPDATE_GOLDEN");
    QDir().mkpath(GoldenDir());
    for (const TPageCase &c : kPages) {
        const QString file = GoldenDir() + u'/' + QString::fromUtf8(c.Name) + QStringLiteral(".xhtml");
        const QByteArray page = c.Make().toUtf8();
        EXPECT_GT(page.size(), 20) << c.Name;
        if (update) {
            QFile f(file);
            ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
            f.write(page);
            continue;
        }
        const QByteArray golden = testutil::ReadAll(file);
        ASSERT_FALSE(golden.isEmpty()) << "no golden page " << file.toStdString();
        EXPECT_EQ(page, golden) << c.Name;
    }
    SetMessageSink(nullptr);
}
