#include "LDT3.Feld.h"
#include "LDT3.Zeichen.h"

#include "TestUtil.h"

#include <QFile>
#include <QHash>
#include <QMap>
#include <QRandomGenerator>
#include <QSet>

#include <thread>
#include <vector>

using namespace Qt::StringLiterals;

namespace {

const TLDT3FeldDict &Dict() { return *GetLDT3FeldDict(); }

QString TablesDir()
{
    return QString::fromUtf8(VENTOLIX_SOURCE_DIR) + u"/data/ldt3-tables"_s;
}

// Rows of a UTF-8 TSV file with header, as column -> cell maps.
QList<QHash<QString, QString>> ReadTsv(const QString &AFileName)
{
    QList<QHash<QString, QString>> rows;
    QFile f(AFileName);
    if (!f.open(QIODevice::ReadOnly))
        return rows;
    const QStringList lines = QString::fromUtf8(f.readAll()).split(u'\n', Qt::SkipEmptyParts);
    if (lines.isEmpty())
        return rows;
    const QStringList head = lines[0].split(u'\t');
    for (int i = 1; i < lines.size(); ++i) {
        const QStringList cells = lines[i].split(u'\t');
        QHash<QString, QString> row;
        for (int c = 0; c < head.size(); ++c)
            row[head[c]] = c < cells.size() ? cells[c] : QString();
        rows.append(row);
    }
    return rows;
}

QStringList SplitList(const QString &S, QChar ASep)
{
    QStringList r;
    for (const QString &p : S.split(ASep, Qt::SkipEmptyParts))
        if (!p.trimmed().isEmpty())
            r.append(p.trimmed());
    return r;
}

QStringList FmtTexts(const TLDT3FeldDictRec &ARec)
{
    QStringList r;
    for (const TFmtRec &f : ARec.FmtArr)
        r.append(TLDT3FeldDict::FmtToStr(f));
    return r;
}

} // namespace

// ---------------------------------------------------------------- the table as a whole

TEST(LDT3Feld, TableCounts)
{
    const TLDT3FeldDict &d = Dict();
    const QStringList fks = d.GetFelder();
    ASSERT_EQ(fks.size(), 396);
    EXPECT_EQ(d.Count(), 396);
    EXPECT_EQ(fks.first(), u"0001"_s);
    EXPECT_EQ(fks.last(), u"9981"_s);

    QMap<QString, int> types, fmtCombos;
    QSet<int> eRules, kRules;
    int alternatives = 0, fRuleAlternatives = 0, folge = 0, withE = 0, withK = 0, withErl = 0;
    int prev = -1;
    for (const QString &s : fks) {
        const int fk = s.toInt();
        EXPECT_GT(fk, prev) << "not ascending at " << s.toStdString();
        prev = fk;
        const TLDT3FeldDictRec *r = d.FindFeld(fk);
        ASSERT_NE(r, nullptr);
        ++types[d.GetDataTypStr(fk)];
        alternatives += r->FmtArr.size();
        for (const TFmtRec &f : r->FmtArr)
            fRuleAlternatives += f.FRegel > 0;
        ++fmtCombos[FmtTexts(*r).join(u" | "_s)];
        folge += !r->FolgeObj.isEmpty();
        if (r->ERegel > 0) {
            ++withE;
            eRules.insert(r->ERegel);
        }
        if (!r->KRegeln.isEmpty()) {
            ++withK;
            for (int k : r->KRegeln)
                kRules.insert(k);
        }
        withErl += !r->Erl.isEmpty();
    }
    EXPECT_EQ(types.value(u"alnum"_s), 243);
    EXPECT_EQ(types.value(u"num"_s), 132);
    EXPECT_EQ(types.value(u"date"_s), 13);
    EXPECT_EQ(types.value(u"f"_s), 8);
    EXPECT_EQ(alternatives, 398);
    EXPECT_EQ(fRuleAlternatives, 39);
    EXPECT_EQ(fmtCombos.size(), 76);
    EXPECT_EQ(fmtCombos.value(u"1 ≤ 60"_s), 110);
    EXPECT_EQ(fmtCombos.value(u"1"_s), 91);
    EXPECT_EQ(folge, 84);
    EXPECT_EQ(withE, 204);
    EXPECT_EQ(eRules.size(), 158);
    EXPECT_EQ(withErl, 256);
    // The public field rules lack the K-rules dropped after 3.1.3, so fewer
    // than the 3.1.3 table's 135 fields and 94 rules.
    EXPECT_EQ(withK, 117);
    EXPECT_EQ(kRules.size(), 84);
    EXPECT_EQ(d.ImplementedVersion(), u"LDT3.1.3"_s);
}

TEST(LDT3Feld, TellingRows)
{
    struct Row {
        int FK;
        QString Name, FolgeObj, DataTyp;
        QStringList Formate;
        QString ERegel;
        QStringList KRegeln;
        QStringList ErlLines; // empty: no explanation; a lone "*": some explanation
    };
    const QStringList any{u"*"_s};
    const Row rows[] = {
        {1, u"Version XDT"_s, {}, u"alnum"_s, {u"1 ≤ 12 (F007)"_s}, u"E001"_s, {},
         {u"Angabe der Version der LDT-Satzbeschreibung, nach der der Datensatz erstellt wurde"_s}},
        {201, u"Betriebs- (BSNR) oder Nebenbetriebsstättennummer (NBSNR)"_s, {}, u"num"_s,
         {u"9 (F010)"_s, u"9 (F021)"_s}, {}, {u"K020"_s, u"K044"_s}, any},
        {3103, u"Geburtsdatum"_s, {}, u"num"_s, {u"8 (F003)"_s}, {}, {u"K094"_s}, {u"Datum der Geburt"_s}},
        {5001, u"Gebührennummer (GNR)"_s, {}, u"alnum"_s, {u"1 ≤ 9 (F008)"_s, u"5, 6 (F009)"_s}, {},
         {u"K018"_s, u"K019"_s}, any},
        {7273, u"Zeitzone"_s, {}, u"alnum"_s, {u"3, 5, 8, 9"_s}, u"E163"_s, {}, any},
        {7279, u"Uhrzeit des Timestamp"_s, {}, u"num"_s, {u"6, 9 (F016)"_s}, {}, {}, {}},
        {7413, u"Codierung der Gruppe"_s, {}, u"alnum"_s, {u"1 ≤ 4"_s}, u"E028"_s, {},
         {u"Ergebnis der Krebsfrüherkennung codiert als Zahlenwert."_s,
          u"Beispiel: 6,1 für das Ergebnis Iva-p in FK7414"_s}},
        {7414, u"Gruppe"_s, {}, u"alnum"_s, {u"1 ≤ 5"_s}, u"E028"_s, {u"K108"_s}, any},
        {8000, u"Satzart"_s, {}, u"num"_s, {u"4"_s}, u"E004"_s,
         {u"K011"_s, u"K025"_s, u"K027"_s, u"K113"_s}, {}},
        {8002, u"Objektident"_s, {}, u"alnum"_s, {u"8"_s}, u"E066"_s,
         SplitList(u"K008 K009 K010 K011 K020 K027 K029 K030 K031 K033 K034 K092"_s, u' '), {}},
        {8101, u"Abrechnungsinformation"_s, u"Obj_0001"_s, u"alnum"_s, {u"22"_s}, u"E071"_s, {},
         {u"Nach dem Vorkommen der Feldkennung folgt das Obj_0001 (Abrechnungsinformation)."_s}},
        {8118, u"Abweichender_Befundweg"_s, u"Obj_0031"_s, u"alnum"_s, {u"22"_s}, u"E083"_s, {}, any},
        {9300, u"Prüfsumme"_s, {}, u"alnum"_s, {u"40"_s}, u"E157"_s, {},
         {u"Prüfwertberechnung aller Inhalte des Datensatzes, vor dieser Feldkennung."_s,
          u"Berechnung des Prüfwertes nach SHA-1"_s}},
        {3622, u"Größe des Patienten"_s, {}, u"f"_s, {u"var"_s}, {}, {}, any},
        {4124, u"SKT-Zusatzangaben"_s, {}, u"alnum"_s, {u"5 ≤ 60"_s}, {}, {}, any},
        {3105, u"Versichertennummer"_s, {}, u"num"_s, {u"6 ≤ 12"_s}, {}, {u"K025"_s, u"K090"_s}, any},
    };
    const TLDT3FeldDict &d = Dict();
    for (const Row &r : rows) {
        SCOPED_TRACE(r.FK);
        ASSERT_TRUE(d.FeldExists(r.FK));
        const TLDT3FeldDictRec &rec = *d.FindFeld(r.FK);
        EXPECT_EQ(d.GetFeldName(r.FK), r.Name);
        EXPECT_EQ(d.GetFolgeObj(r.FK), r.FolgeObj);
        EXPECT_EQ(d.GetDataTypStr(r.FK), r.DataTyp);
        EXPECT_EQ(FmtTexts(rec), r.Formate);
        EXPECT_EQ(d.GetFeldERegel(r.FK), r.ERegel);
        EXPECT_EQ(d.GetFeldKRegeln(r.FK), r.KRegeln);
        const QString erl = d.GetFeldErl(r.FK);
        if (r.ErlLines == any)
            EXPECT_FALSE(erl.isEmpty());
        else
            EXPECT_EQ(erl.split(u'\n', Qt::SkipEmptyParts), r.ErlLines);
    }
    EXPECT_EQ(d.GetFeldErl(3622).split(u'\n').value(1), u"Einheit: Zentimeter [cm]"_s);
}

// The generated table against its sources: our field list and the public texts.
TEST(LDT3Feld, TableMatchesSources)
{
    const auto own = ReadTsv(QString::fromUtf8(VENTOLIX_SOURCE_DIR) + u"/tools/ldt3_feldtabelle.tsv"_s);
    ASSERT_EQ(own.size(), 396);
    const TLDT3FeldDict &d = Dict();
    for (const auto &row : own) {
        const int fk = row[u"FK"_s].toInt();
        SCOPED_TRACE(fk);
        const TLDT3FeldDictRec *rec = d.FindFeld(fk);
        ASSERT_NE(rec, nullptr);
        EXPECT_EQ(rec->Feldname, row[u"Name"_s]);
        EXPECT_EQ(rec->FolgeObj, row[u"FolgeObj"_s]);
        EXPECT_EQ(d.GetFeldERegel(fk), row[u"ERegel"_s]);
        EXPECT_EQ(d.GetDataTypStr(fk), row[u"DataTyp"_s]);
        QStringList expFmt;
        for (const QString &spec : SplitList(row[u"Formate"_s], u';')) {
            TFmtRec f;
            ASSERT_TRUE(TLDT3FeldDict::ParseFmt(spec, f)) << spec.toStdString();
            expFmt.append(TLDT3FeldDict::FmtToStr(f));
        }
        EXPECT_EQ(FmtTexts(*rec), expFmt);
        for (const QString &k : SplitList(row[u"KRegeln"_s], u','))
            EXPECT_TRUE(d.GetFeldKRegeln(fk).contains(k)) << k.toStdString();
    }

    const auto texts = ReadTsv(TablesDir() + u"/fields.tsv"_s);
    const auto rules = ReadTsv(TablesDir() + u"/fieldrules.tsv"_s);
    ASSERT_FALSE(texts.isEmpty() || rules.isEmpty()) << "public LDT 3 texts not found in " << TablesDir().toStdString();
    ASSERT_EQ(texts.size(), 396);
    ASSERT_EQ(rules.size(), 396);
    int sameErl = 0;
    for (int i = 0; i < 396; ++i) {
        const int fk = texts[i][u"FK"_s].toInt();
        SCOPED_TRACE(fk);
        ASSERT_EQ(rules[i][u"FK"_s].toInt(), fk);
        // every K-rule of the public field table is kept, in its order
        const QStringList pub = SplitList(rules[i][u"K_rules"_s], u',');
        QStringList kept = d.GetFeldKRegeln(fk);
        kept.removeIf([&](const QString &k) { return !pub.contains(k); });
        EXPECT_EQ(kept, pub);
        const QString erl = QString(texts[i][u"Erläuterung"_s]).replace(u"\\n"_s, u"\n"_s);
        sameErl += d.GetFeldErl(fk) == erl;
        EXPECT_EQ(d.GetFeldErl(fk).isEmpty(), erl.isEmpty());
    }
    // only 7414 (example spelled as in the 3.1.3 group list) and 9300 (full stop) differ
    EXPECT_EQ(sameErl, 394);
}

// ---------------------------------------------------------------- format specifications

TEST(LDT3Feld, ParseFmt)
{
    struct Row {
        QString Spec;
        bool Valid;
        int MinLen = -1, MaxLen = -1;
        QList<int> LenArr = {};
        int FRegel = 0;
        QString Text = {};
    };
    const Row rows[] = {
        {u"≤12|F007"_s, true, 1, 12, {}, 7, u"1 ≤ 12 (F007)"_s},
        {u"16|F012"_s, true, 16, 16, {}, 12, u"16 (F012)"_s},
        {u"5,6|F009"_s, true, -1, -1, {5, 6}, 9, u"5, 6 (F009)"_s},
        {u"3,5,6|F004"_s, true, -1, -1, {3, 5, 6}, 4, u"3, 5, 6 (F004)"_s},
        {u"≤990"_s, true, 1, 990, {}, 0, u"1 ≤ 990"_s},
        {u"var"_s, true, -1, -1, {}, 0, u"var"_s},
        {u"var|F002"_s, true, -1, -1, {}, 2, u"var (F002)"_s},
        {u"990"_s, true, 990, 990, {}, 0, u"990"_s},
        {u"5≤60"_s, true, 5, 60, {}, 0, u"5 ≤ 60"_s},
        {u"6-12"_s, true, 6, 12, {}, 0, u"6 ≤ 12"_s},
        {u"-60"_s, true, 1, 60, {}, 0, u"1 ≤ 60"_s},
        {u"7≤7"_s, true, 7, 7, {}, 0, u"7"_s},
        {u"9|"_s, true, 9, 9, {}, 0, u"9"_s},
        {u"991"_s, false},
        {u"≤"_s, false},
        {u"5≤"_s, false},
        {u"12≤5"_s, false},
        {u"9|E010"_s, false},
        {u"9|F01"_s, false},
        {u"|F010"_s, false},
        {u""_s, false},
        {u"Var"_s, false},
        {u"abc"_s, false},
        {u"5,,6"_s, false},
        {u"5,x"_s, false},
        {u"a≤5"_s, false},
        {u"99999999999"_s, false},
    };
    for (const Row &r : rows) {
        SCOPED_TRACE(r.Spec.toStdString());
        TFmtRec f;
        f.FRegel = 99; // must not leak into the result
        ASSERT_EQ(TLDT3FeldDict::ParseFmt(r.Spec, f), r.Valid);
        if (!r.Valid)
            continue;
        EXPECT_EQ(f.MinLen, r.MinLen);
        EXPECT_EQ(f.MaxLen, r.MaxLen);
        EXPECT_EQ(f.LenArr, r.LenArr);
        EXPECT_EQ(f.FRegel, r.FRegel);
        EXPECT_EQ(TLDT3FeldDict::FmtToStr(f), r.Text);
    }
}

TEST(LDT3Feld, CheckDataLaenge)
{
    TFmtRec var, list, range;
    ASSERT_TRUE(TLDT3FeldDict::ParseFmt(u"var"_s, var));
    ASSERT_TRUE(TLDT3FeldDict::ParseFmt(u"3,5,8,9"_s, list));
    ASSERT_TRUE(TLDT3FeldDict::ParseFmt(u"5≤6"_s, range));
    for (int n = 0; n <= 10; ++n) {
        const QString s(n, u'x');
        EXPECT_TRUE(TLDT3FeldDict::CheckDataLaenge(var, s));
        EXPECT_EQ(TLDT3FeldDict::CheckDataLaenge(list, s), n == 3 || n == 5 || n == 8 || n == 9) << n;
        EXPECT_EQ(TLDT3FeldDict::CheckDataLaenge(range, s), n == 5 || n == 6) << n;
    }
}

// ---------------------------------------------------------------- CheckFeld

namespace {
struct CheckRow {
    int FK;
    QByteArray Inhalt; // ISO 8859-15 bytes as in the file
    int Code;
    QString Msg;
    bool E157 = false;
};
} // namespace

TEST(LDT3Feld, CheckFeldCodesAndMessages)
{
    const QByteArray s60(60, 'x');
    const CheckRow rows[] = {
        {201, "123", 16, u"Datenlänge (9 (F010)), Datenlänge (9 (F021))"_s},
        {201, "041234500", 64, u"F010, F021"_s},
        {201, "353812345", 0, {}}, // fails F010, passes F021
        {201, "381234500", 0, {}},
        {201, "12345678a", 8, u"Datenformat (num)"_s},
        {9999, "x", 2, u"Feld 9999 unbekannt"_s},
        {12, "", 2, u"Feld 0012 unbekannt"_s},
        {0, "1", 2, u"Feld 0000 unbekannt"_s},
        {8000, "", 4, u"Leerer Inhalt"_s},
        {3564, "", 0, {}},
        {3101, "", 0, {}}, // no E-rule: empty permitted
        {8000, "82a5", 8, u"Datenformat (num)"_s},
        {8000, "8299", 32, u"E004"_s},
        {8000, "8215", 0, {}},
        {8000, "08215", 32, u"E004"_s}, // E-rule before length
        {3000, s60, 0, {}},
        {3000, s60 + "x", 16, u"Datenlänge (1 ≤ 60)"_s},
        {4124, "1234", 16, u"Datenlänge (5 ≤ 60)"_s},
        {5001, "12345B", 0, {}},
        {5001, "01234", 0, {}}, // F008 fails (five digits), F009 passes
        {5001, "12AB", 16, u"F008, Datenlänge (5, 6 (F009))"_s},
        {5001, "1234567890", 16, u"Datenlänge (1 ≤ 9 (F008)), Datenlänge (5, 6 (F009))"_s},
        {5001, "12AB56", 64, u"F008, F009"_s},
        {1, "LDT3.1.3", 0, {}},
        {1, "LDT3.2.20", 32, u"E001"_s},
        {3622, "175.5", 0, {}},
        {3622, "1.2.3", 8, u"Datenformat (f)"_s},
        {3103, "19800000", 0, {}},
        {3103, "19801232", 64, u"F003"_s},
        {3131, "20240229", 0, {}},
        {3131, "20241301", 8, u"Datenformat (date)"_s},
        {3131, "00000101", 8, u"Datenformat (date)"_s},
        {7297, "19800000", 0, {}},
        {7297, "00000000", 64, u"F018"_s},
        {7273, "UTC+1", 0, {}},
        {7273, "UTC-9:30", 0, {}},
        {7273, "UTC+10", 16, u"Datenlänge (3, 5, 8, 9)"_s},
        {7273, "UTC+0", 32, u"E163"_s},
        {3101, "M\xfcller", 0, {}},
        {3101, "M\x80ller", 8, u"Datenformat (alnum)"_s}, // byte outside the set
        {3101, "a\rb", 8, u"Datenformat (alnum)"_s},
        {3101, QByteArray("a\0b", 3), 8, u"Datenformat (alnum)"_s},
        {8002, "Obj_0001", 0, {}},
        {8002, "Obj_0009", 32, u"E066"_s},
        {7414, "Iva-p", 0, {}},
        {5005, "002", 0, {}},
        {5005, "001", 32, u"E003"_s},
        {8429, "0", 32, u"E012"_s},
        {8429, "12", 0, {}},
        {9300, QByteArray(40, 'a'), 0, {}, true},
        {9300, QByteArray(40, 'a'), 32, u"E157"_s, false},
        {9300, QByteArray(39, 'a'), 16, u"Datenlänge (40)"_s, true},
        {9300, "", 4, u"Leerer Inhalt"_s, false},
    };
    TLDT3FeldDict *d = GetLDT3FeldDict();
    for (const CheckRow &r : rows) {
        SCOPED_TRACE(std::to_string(r.FK) + " \"" + r.Inhalt.toStdString() + "\"");
        d->SetPruefsumme_E157(r.E157);
        const auto *p = reinterpret_cast<const unsigned char *>(r.Inhalt.constData());
        const QString text = LDT3BytesToStr(p, r.Inhalt.size(), QChar(0));
        QString msg = u"old"_s;
        EXPECT_EQ(d->CheckFeld(r.FK, text, msg), r.Code);
        EXPECT_EQ(msg, r.Msg);
        QString bmsg = u"old"_s;
        EXPECT_EQ(d->CheckFeld(r.FK, p, r.Inhalt.size(), bmsg), r.Code);
        EXPECT_EQ(bmsg, r.Msg);
    }
    d->SetPruefsumme_E157(false);
}

// The byte form of the check agrees with the text form on every line of the
// sample files and on random contents for every field.
TEST(LDT3Feld, CheckFeldBytesAgreeWithText)
{
    TLDT3FeldDict *d = GetLDT3FeldDict();
    auto agree = [&](int fk, const QByteArray &bytes) {
        const auto *p = reinterpret_cast<const unsigned char *>(bytes.constData());
        QString m1, m2;
        const int c1 = d->CheckFeld(fk, LDT3BytesToStr(p, bytes.size(), QChar(0)), m1);
        const int c2 = d->CheckFeld(fk, p, bytes.size(), m2);
        EXPECT_EQ(c1, c2) << fk << " " << bytes.toHex().toStdString();
        EXPECT_EQ(m1, m2) << fk << " " << bytes.toHex().toStdString();
        return c1;
    };

    int lines = 0;
    QMap<int, int> codes;
    for (const QString &file : testutil::SampleFiles()) {
        for (QByteArray line : testutil::ReadAll(file).split('\n')) {
            if (line.endsWith('\r'))
                line.chop(1);
            if (line.size() < 7)
                continue;
            ++lines;
            for (bool e157 : {false, true}) {
                d->SetPruefsumme_E157(e157);
                ++codes[agree(line.mid(3, 4).toInt(), line.mid(7))];
            }
        }
    }
    EXPECT_GT(lines, 1000);
    EXPECT_GT(codes.value(0), lines); // most sample lines are valid

    // Edge contents and random ones drawn from bytes that matter to the checks.
    const QList<QByteArray> edges{
        "", "0", "00", ".", "..", "1.", ".5", "1.2.3", "00000101", "00010101", "10000101",
        "20240001", "20241301", "20240100", "20240132", "20240131", "19800000", "1980050a",
        "8215", "Obj_0001", "LDT3.1.3", "UTC+1", "6,1", "Iva-p", "123456601", "353812345",
        QByteArray(40, 'f'), QByteArray(61, 'x'), QByteArray(991, '1'), "\xa4\xa6\xff", "a\x9f" "b"};
    static const char kAlphabet[] = "0123456789.,:+-/ ABCFHKLObj_\x80\xa0\xa4\xfc\r\n\x00\x7f";
    const QByteArray alphabet(kAlphabet, sizeof(kAlphabet) - 1);
    const QByteArray digits("0123456789");
    QRandomGenerator rng(4711);
    const QStringList fks = d->GetFelder();
    for (const QString &s : fks) {
        const int fk = s.toInt();
        for (const QByteArray &c : edges)
            agree(fk, c);
        for (int i = 0; i < 60; ++i) {
            const QByteArray &from = i % 3 ? alphabet : digits;
            QByteArray c;
            const int len = int(rng.bounded(13));
            for (int k = 0; k < len; ++k)
                c.append(from[int(rng.bounded(from.size()))]);
            d->SetPruefsumme_E157(i % 2);
            agree(fk, c);
        }
    }
    // Every permitted value of every field, and near misses of it.
    for (const QString &s : fks) {
        const int fk = s.toInt();
        const int regel = d->FindFeld(fk)->ERegel;
        if (regel <= 0)
            continue;
        for (const TLDT3EPair &pair : d->GetErlaubteInhalteFromERegel(regel, true)) {
            const QByteArray v = LDT3StrToBytes(pair.Key, '?');
            for (const QByteArray &c : {v, v + ' ', ' ' + v, v.left(v.size() - 1), v + '\xa4', v + "\x01"})
                agree(fk, c);
        }
    }
    d->SetPruefsumme_E157(false);
    for (int fk : {0, -1, 10000, 1234})
        agree(fk, "x");
    QString msg;
    EXPECT_EQ(d->CheckFeld(3101, nullptr, 0, msg), 0);
}

// ---------------------------------------------------------------- queries

TEST(LDT3Feld, Queries)
{
    const TLDT3FeldDict &d = Dict();
    EXPECT_EQ(d.GetFeldNameOrFKStr(4711), u"FK 4711"_s);
    EXPECT_EQ(d.GetFeldNameOrFKStr(815), u"FK 0815"_s);
    EXPECT_EQ(d.GetFeldNameOrFKStr(0), QString());
    EXPECT_EQ(d.GetFeldNameOrFKStr(-3), QString());
    EXPECT_EQ(d.GetFeldNameOrFKStr(8000), u"Satzart"_s);
    EXPECT_FALSE(d.FeldExists(-1));
    EXPECT_FALSE(d.FeldExists(10000));
    EXPECT_EQ(d.GetFeldName(10000), QString());
    EXPECT_EQ(d.GetFeldERegel(3101), QString());
    EXPECT_EQ(d.GetFeldERegeln(3101), QStringList());
    EXPECT_EQ(d.GetFeldERegeln(8000), QStringList{u"E004"_s});
    EXPECT_EQ(d.GetFeldFRegeln(5001), (QStringList{u"F008"_s, u"F009"_s}));
    EXPECT_EQ(d.GetFeldFRegeln(3101), QStringList());
    EXPECT_EQ(d.GetFeldKRegeln(4711), QStringList());

    struct B { int FK; QString Inhalt, Bedeutung; };
    const B rows[] = {
        {8000, u"8215"_s, u"Auftrag"_s},
        {8000, u"9999"_s, {}},
        {3103, u"19800131"_s, u"31.01.1980"_s},
        {3131, u"20240229"_s, u"29.02.2024"_s},
        {7338, u"20230101"_s, u"01.01.2023"_s},
        {8512, u"2023010"_s, {}},
        {7279, u"143005"_s, u"14:30:05 Uhr"_s},
        {3101, u"Muster"_s, {}},
        {9999, u"8215"_s, {}},
        {7321, u"7"_s, d.GetBedeutung(7321, u"07"_s)}, // one-digit status code read as 07
    };
    for (const B &r : rows)
        EXPECT_EQ(d.GetBedeutung(r.FK, r.Inhalt), r.Bedeutung) << r.FK << " " << r.Inhalt.toStdString();
    EXPECT_FALSE(d.GetBedeutung(7321, u"07"_s).isEmpty());
    EXPECT_EQ(d.GetBedeutungOrInhalt(3101, u"Muster"_s), u"Muster"_s);
    EXPECT_EQ(d.GetBedeutungOrInhalt(8000, u"8215"_s), u"Auftrag"_s);

    QStringList keys, meanings;
    for (const TLDT3EPair &p : d.GetErlaubteInhalteFromFeld(8000, false))
        keys.append(p.Key);
    EXPECT_EQ(keys, SplitList(u"8205 8215 8220 8221 8230 8231"_s, u' '));
    for (const TLDT3EPair &p : d.GetErlaubteInhalteFromFeld(8000, true))
        meanings.append(p.Value);
    ASSERT_EQ(meanings.size(), 6);
    EXPECT_EQ(meanings.first(), u"Auftrag"_s);
    EXPECT_EQ(meanings[1], u"Befund"_s);
    EXPECT_TRUE(d.GetErlaubteInhalteFromFeld(3101, false).isEmpty());
    EXPECT_TRUE(d.GetErlaubteInhalteFromFeld(4711, false).isEmpty());
}

// ---------------------------------------------------------------- filling

TEST(LDT3Feld, AddFeldRejectsBadInput)
{
    TLDT3FeldDict d;
    struct Row {
        int FK;
        QString Folge, ERegel;
        QStringList Formate, KRegeln;
        QString Error;
    };
    const Row rows[] = {
        {8150, {}, {}, {u"15"_s}, {}, u"Fehler: Kein Folgeobjekt angegeben für Feldkennung 8150"_s},
        {3000, u"Obj_0001"_s, {}, {u"≤60"_s}, {}, u"Fehler: Folgeobjekt angegeben für Feldkennung 3000"_s},
        {8099, u"Obj_0001"_s, {}, {u"1"_s}, {}, u"Fehler: Folgeobjekt angegeben für Feldkennung 8099"_s},
        {3000, {}, {}, {u"≤60"_s, u"991"_s}, {}, u"Fehler: Ungültige Formatangabe für Feldkennung 3000"_s},
        {42, {}, u"E12"_s, {u"1"_s}, {}, u"Fehler: Unglültige Regelangabe: \"E12\""_s},
        {42, {}, {}, {u"1"_s}, {u"K001"_s, u"F001"_s}, u"Fehler: Unglültige Regelangabe: \"F001\""_s},
        {10000, {}, {}, {u"1"_s}, {}, u"Fehler: Ungültige Feldkennung 10000"_s},
    };
    for (const Row &r : rows) {
        SCOPED_TRACE(r.Error.toStdString());
        try {
            d.AddFeld(r.FK, u"Name"_s, r.Folge, r.ERegel, TLDT3::alnum, r.Formate, r.KRegeln);
            ADD_FAILURE() << "no error";
        } catch (const ELDT3Error &e) {
            EXPECT_EQ(e.Message(), r.Error);
        }
    }
    // nothing was stored by the failed calls
    EXPECT_EQ(d.Count(), 396);
    EXPECT_EQ(d.GetFeldName(3000), u"Patientennummer"_s);
    EXPECT_FALSE(d.FeldExists(42));
}

TEST(LDT3Feld, AddFeldReplacesAndSetFeldErl)
{
    TLDT3FeldDict d;
    d.AddFeld(3000, u"Neu"_s, {}, u"E004"_s, TLDT3::num, {u"4"_s, u"6|F001"_s}, {u"K000"_s, u"K007"_s});
    EXPECT_EQ(d.Count(), 396);
    EXPECT_EQ(d.GetFeldName(3000), u"Neu"_s);
    EXPECT_EQ(d.GetFeldKRegeln(3000), QStringList{u"K007"_s}); // K000 is no rule
    EXPECT_EQ(d.GetFeldErl(3000), QString()); // replaced record has no explanation
    QString msg;
    EXPECT_EQ(d.CheckFeld(3000, u"8215"_s, msg), 0);

    d.AddFeld(4711, u"Neues Feld"_s, {}, {}, TLDT3::alnum, {}, {});
    EXPECT_EQ(d.Count(), 397);
    EXPECT_EQ(d.CheckFeld(4711, u"beliebig lang"_s, msg), 0); // no alternatives
    d.SetFeldErl(4711, u"Zeile 1\nZeile 2"_s);
    EXPECT_EQ(d.GetFeldErl(4711), u"Zeile 1\nZeile 2"_s);
    d.SetFeldErl(4712, u"x"_s);
    d.SetFeldErl(-1, u"x"_s);
    EXPECT_FALSE(d.FeldExists(4712));
    EXPECT_EQ(d.GetFelder().size(), 397);

    d.Clear();
    EXPECT_EQ(d.Count(), 0);
    EXPECT_FALSE(d.FeldExists(8000));
    EXPECT_EQ(d.CheckFeld(8000, u"8215"_s, msg), 2);
    // the global instance is untouched
    EXPECT_EQ(GetLDT3FeldDict()->GetFeldName(3000), u"Patientennummer"_s);
}

// ---------------------------------------------------------------- the process-wide instance

TEST(LDT3Feld, AccessorBuildsOneInstance)
{
    TLDT3FeldDict *first = GetLDT3FeldDict();
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(GetLDT3FeldDict(), first);

    FreeLDT3Dicts();
    std::vector<TLDT3FeldDict *> seen(8, nullptr);
    std::vector<std::thread> threads;
    for (size_t i = 0; i < seen.size(); ++i)
        threads.emplace_back([&seen, i] { seen[i] = GetLDT3FeldDict(); });
    for (std::thread &t : threads)
        t.join();
    for (TLDT3FeldDict *p : seen)
        EXPECT_EQ(p, seen[0]);
    EXPECT_EQ(GetLDT3FeldDict(), seen[0]);
    EXPECT_EQ(seen[0]->Count(), 396);
}
