// The two table sets (LDT 3.1.3 and 3.2.20): the choice by the version line,
// the fields and rules that differ between them, and the state that must
// stay with one set and one file.
#include "TestUtil.h"

#include "LDT3.Data.h"
#include "LDT3.FilePtrList.h"
#include "LDT3.LVBase.h"
#include "LDT3.TableSet.h"
#include "LDT3.Zeichen.h"

#include <QCryptographicHash>
#include <QTemporaryDir>

using namespace Qt::StringLiterals;

namespace {

const TLDT3TableSet V313 = TLDT3TableSet::At(0);
const TLDT3TableSet V3220 = TLDT3TableSet::At(1);

// One LDT line with its length prefix and CR LF.
QByteArray L(int AFK, const QByteArray &AInhalt)
{
    return QByteArray::number(AInhalt.size() + 9).rightJustified(3, '0')
           + QByteArray::number(AFK).rightJustified(4, '0') + AInhalt + "\r\n";
}

// A small header record; ABefore comes before the version line (absent when AVersion is empty).
QByteArray Datei(const QByteArray &AVersion, const QByteArray &ABefore = QByteArray(),
                 const QByteArray &AAfter = QByteArray())
{
    QByteArray b = L(8000, "8220") + L(8132, "Kopfdaten") + L(8002, "Obj_0032") + ABefore;
    if (!AVersion.isEmpty())
        b += L(1, AVersion);
    return b + AAfter + L(8003, "Obj_0032") + L(8001, "8220");
}

// The line index of the first line with AFK.
int LineOf(const TLDT3FilePtrList &AList, int AFK)
{
    for (int i = 0; i < AList.Count(); ++i)
        if (AList.FK(i) == AFK)
            return i;
    return -1;
}

} // namespace

TEST(TableSet, NamesAndOrder)
{
    EXPECT_EQ(TLDT3TableSet::Count(), 2);
    EXPECT_EQ(TLDT3TableSet::Versions(), (QStringList{u"LDT3.1.3"_s, u"LDT3.2.20"_s}));
    EXPECT_TRUE(TLDT3TableSet().IsDefault());
    EXPECT_EQ(TLDT3TableSet(), V313);
    EXPECT_EQ(TLDT3TableSet::At(7), V313); // out of range: the default
    EXPECT_EQ(V3220.DisplayName(), u"LDT 3.2.20"_s);
    struct TCase { const char *Name; int Index; };
    for (const TCase &c : {TCase{"3.2.20", 1}, {"LDT3.2.20", 1}, {"LDT 3.2.20", 1}, {" ldt3.1.3 ", 0},
                           {"3.1.3", 0}, {"3.2.4", -1}, {"LDT3.2", -1}, {"", -1}, {"3.2.200", -1}}) {
        SCOPED_TRACE(c.Name);
        TLDT3TableSet s = TLDT3TableSet::At(1);
        EXPECT_EQ(TLDT3TableSet::FromName(QLatin1String(c.Name), s), c.Index >= 0);
        if (c.Index >= 0) {
            EXPECT_EQ(s.Index(), c.Index);
        }
    }
    // each set's dictionaries describe its own version
    for (int i = 0; i < TLDT3TableSet::Count(); ++i) {
        const TLDT3TableSet s = TLDT3TableSet::At(i);
        EXPECT_EQ(s.FeldDict()->ImplementedVersion(), s.Version());
        EXPECT_EQ(s.FeldDict()->TableSetIndex(), i);
        EXPECT_NE(s.FeldDict(), TLDT3TableSet::At(1 - i).FeldDict());
    }
    EXPECT_EQ(V313.FeldDict(), GetLDT3FeldDict());
    EXPECT_EQ(V313.RegelDict(), GetLDT3RegelDict());
    EXPECT_EQ(V3220.FeldDict()->Count(), 406);
    EXPECT_EQ(V3220.RegelDict()->Count(), 302);
}

TEST(TableSet, WindowTitle)
{
    EXPECT_EQ(LDT3WindowTitle(u"Norvalis Ventolix"_s, V3220, u"/tmp/Z01x.ldt"_s),
              u"Norvalis Ventolix - LDT3.2.20 - [/tmp/Z01x.ldt]"_s);
    EXPECT_EQ(LDT3WindowTitle(u"Norvalis Ventolix"_s, V313, QString()), u"Norvalis Ventolix - LDT3.1.3"_s);
}

// The version line chooses the set; lines before it are judged by that set too.
TEST(TableSet, VersionLineChoosesTheSet)
{
    struct TCase {
        const char *Version;
        int Set;
        int VersionCode; // field check of the version line
        int BeforeCode;  // 7402 "G1:31/33" before the version line: alnum in 3.2.20, num in 3.1.3
    };
    const TCase cases[] = {
        {"LDT3.2.4", 1, TLDT3FeldDict::fc_Ok, TLDT3FeldDict::fc_Ok},
        {"LDT3.2.20", 1, TLDT3FeldDict::fc_Ok, TLDT3FeldDict::fc_Ok},
        {"LDT3.2.0", 1, TLDT3FeldDict::fc_Ok, TLDT3FeldDict::fc_Ok},
        {"LDT3.2.21", 1, TLDT3FeldDict::fc_ERegel, TLDT3FeldDict::fc_Ok}, // newer than the tables
        {"LDT3.2.04", 1, TLDT3FeldDict::fc_ERegel, TLDT3FeldDict::fc_Ok},
        {"LDT3.1.3", 0, TLDT3FeldDict::fc_Ok, TLDT3FeldDict::fc_Datenformat},
        {"LDT3.1.2", 0, TLDT3FeldDict::fc_ERegel, TLDT3FeldDict::fc_Datenformat},
        {"LDT3.20.1", 0, TLDT3FeldDict::fc_ERegel, TLDT3FeldDict::fc_Datenformat},
        {"LDT2.0", 0, TLDT3FeldDict::fc_ERegel, TLDT3FeldDict::fc_Datenformat},
        {"", 0, -1, TLDT3FeldDict::fc_Datenformat}, // no version line
    };
    QTemporaryDir dir;
    for (const TCase &c : cases) {
        SCOPED_TRACE(c.Version);
        EXPECT_EQ(TLDT3TableSet::ForXDTVersion(QLatin1String(c.Version)).Index(), c.Set);
        const QString file = testutil::WriteFile(dir, u"Z01v.ldt"_s, Datei(c.Version, L(7402, "G1:31/33")));
        TLDT3FilePtrList list;
        ASSERT_TRUE(list.LoadFromFile(file));
        EXPECT_EQ(list.TableSet().Index(), c.Set);
        EXPECT_EQ(&list.FeldDict(), TLDT3TableSet::At(c.Set).FeldDict());
        if (c.VersionCode >= 0) {
            EXPECT_EQ(list.FeldErrorCode(LineOf(list, 1)), c.VersionCode);
        }
        const int before = LineOf(list, 7402);
        EXPECT_EQ(list.FeldErrorCode(before), c.BeforeCode);
        EXPECT_EQ(list.FeldErrorMsg(before).isEmpty(), c.BeforeCode == 0);
    }
    // a list keeps no set from an earlier file
    TLDT3FilePtrList list;
    ASSERT_TRUE(list.LoadFromFile(testutil::WriteFile(dir, u"a.ldt"_s, Datei("LDT3.2.4"))));
    ASSERT_TRUE(list.LoadFromFile(testutil::WriteFile(dir, u"b.ldt"_s, Datei(""))));
    EXPECT_TRUE(list.TableSet().IsDefault());
}

// Fields added, removed and changed between the sets, each with its finding.
TEST(TableSet, FieldDifferences)
{
    struct TCase {
        int FK;
        const char *Inhalt;
        int Code313;
        const char *Msg313; // nullptr: any message
        int Code3220;
        const char *Msg3220;
    };
    using D = TLDT3FeldDict;
    const TCase cases[] = {
        // added
        {3473, "1", D::fc_Unbekannt, "Feld 3473 unbekannt", D::fc_Ok, ""},
        {3321, "3-6", D::fc_Unbekannt, "Feld 3321 unbekannt", D::fc_Ok, ""},
        {3321, "3-", D::fc_Unbekannt, nullptr, D::fc_FRegel, "F023"},
        {8109, "Abrechnung_OEGD", D::fc_Unbekannt, nullptr, D::fc_Ok, ""},
        {8618, "1", D::fc_Unbekannt, nullptr, D::fc_Ok, ""},
        // removed
        {7295, "20240101", D::fc_Ok, "", D::fc_Unbekannt, "Feld 7295 ist in LDT 3.2.20 nicht mehr enthalten"},
        {7398, "120/080", D::fc_Ok, "", D::fc_Unbekannt, "Feld 7398 ist in LDT 3.2.20 nicht mehr enthalten"},
        {4711, "x", D::fc_Unbekannt, "Feld 4711 unbekannt", D::fc_Unbekannt, "Feld 4711 unbekannt"},
        // length, format and type
        {7402, "18", D::fc_Ok, "", D::fc_Ok, ""},
        {7402, "G1:31/33/52/58", D::fc_Datenformat, "Datenformat (num)", D::fc_Ok, ""},
        {7402, "G1:31", D::fc_Datenformat, nullptr, D::fc_FRegel, "F024"},
        {4134, "Allgemeine Ortskrankenkasse Niedersachsen", D::fc_Datenlaenge, nullptr, D::fc_Ok, ""},
        {5001, "12AB", D::fc_Datenlaenge, nullptr, D::fc_Ok, ""}, // "≤ 9" has no format rule any more
        {5001, "1234567890", D::fc_Datenlaenge, nullptr, D::fc_Datenlaenge, nullptr},
        // renamed object attributes; 8109 and 8246 take the length of their one value
        {8134, "Krebsfrueherkennung_Zervix-Karzinom", D::fc_ERegel, "E090", D::fc_Ok, ""},
        {8134, "Krebsfrueherkennung_Frauen", D::fc_Ok, "", D::fc_ERegel, "E090"},
        {8246, "BAK-Ergebniswertbezogene_Hinweise", D::fc_ERegel, "E160", D::fc_Ok, ""},
        {8246, "BAK-Ergebnisbezogene_Hinweise", D::fc_Ok, "", D::fc_ERegel, "E160"},
        // E-rules and permitted values
        {7401, "3", D::fc_Ok, "", D::fc_Ok, ""},
        {7426, "4", D::fc_Ok, "", D::fc_ERegel, "E062"},
        {7384, "1", D::fc_Ok, "", D::fc_Ok, ""},
        {7367, "H", D::fc_Ok, "", D::fc_ERegel, "E025"},
        {7416, "3", D::fc_Ok, "", D::fc_ERegel, "E061"},
        {4132, "13", D::fc_ERegel, "E020", D::fc_Ok, ""},
        {8002, "Obj_0009", D::fc_ERegel, "E066", D::fc_Ok, ""},
        // the version field
        {1, "LDT3.1.3", D::fc_Ok, "", D::fc_ERegel, "E001"},
        {1, "LDT3.2.4", D::fc_ERegel, "E001", D::fc_Ok, ""},
    };
    for (const TCase &c : cases) {
        SCOPED_TRACE(std::to_string(c.FK) + " " + c.Inhalt);
        const QString inhalt = QString::fromUtf8(c.Inhalt);
        const QByteArray bytes = LDT3StrToBytes(inhalt, '?');
        for (int v = 0; v < 2; ++v) {
            const TLDT3FeldDict &d = *TLDT3TableSet::At(v).FeldDict();
            const int code = v ? c.Code3220 : c.Code313;
            const char *msg = v ? c.Msg3220 : c.Msg313;
            QString m, mb;
            EXPECT_EQ(d.CheckFeld(c.FK, inhalt, m), code) << "set " << v;
            // the byte form used while loading agrees
            EXPECT_EQ(d.CheckFeld(c.FK, reinterpret_cast<const unsigned char *>(bytes.constData()), bytes.size(), mb),
                      code) << "set " << v;
            EXPECT_EQ(m, mb);
            if (msg) {
                EXPECT_EQ(m, QString::fromUtf8(msg)) << "set " << v;
            }
        }
    }
    // 8241 is followed by another object in 3.2.x
    EXPECT_EQ(V313.FeldDict()->GetFolgeObj(8241), u"Obj_0014"_s);
    EXPECT_EQ(V3220.FeldDict()->GetFolgeObj(8241), u"Obj_0068"_s);
}

// Each new E-rule (E167-E181): the fields naming it accept exactly its values.
TEST(TableSet, NewERulesAcceptTheirValues)
{
    const TLDT3FeldDict &d = *V3220.FeldDict();
    int rules = 0;
    for (const QString &fkStr : d.GetFelder()) {
        const int fk = fkStr.toInt();
        const TLDT3FeldDictRec *r = d.FindFeld(fk);
        if (r->ERegel < 167)
            continue;
        SCOPED_TRACE(fkStr.toStdString());
        ++rules;
        const TLDT3EPairArray werte = d.GetErlaubteInhalteFromFeld(fk, false);
        ASSERT_FALSE(werte.isEmpty());
        QString m;
        QStringList keys;
        for (const TLDT3EPair &p : werte) {
            keys << p.Key;
            EXPECT_EQ(d.CheckFeld(fk, p.Key, m), TLDT3FeldDict::fc_Ok) << p.Key.toStdString();
            EXPECT_FALSE(d.GetBedeutungOrInhalt(fk, p.Key).isEmpty());
        }
        // a content of the right type and length that the rule does not list
        QString fremd;
        for (int i = 0; i < 100 && fremd.isEmpty(); ++i) {
            const QString c = QString::number(i).rightJustified(werte.first().Key.size(), u'0');
            if (!keys.contains(c) && d.CheckFeld(fk, c, m) != TLDT3FeldDict::fc_Datenformat)
                fremd = c;
        }
        if (!fremd.isEmpty()) {
            EXPECT_EQ(d.CheckFeld(fk, fremd, m), TLDT3FeldDict::fc_ERegel) << fremd.toStdString();
            EXPECT_EQ(m, ERegelToStr(r->ERegel));
        }
        EXPECT_FALSE(GetLDT3FeldDict()->FeldExists(fk) && GetLDT3FeldDict()->FindFeld(fk)->ERegel == r->ERegel);
        EXPECT_NE(V3220.RegelDict()->FindRegel(ERegelToStr(r->ERegel)), nullptr);
    }
    EXPECT_GE(rules, 15);
}

// New rules are described in 3.2.20 only; the pages of a field follow its set.
TEST(TableSet, RulePagesFollowTheSet)
{
    for (const char *r : {"F023", "F024", "E167", "E181", "K122", "K130", "K135"}) {
        SCOPED_TRACE(r);
        EXPECT_EQ(GetLDT3RegelDict()->FindRegel(QLatin1String(r)), nullptr);
        EXPECT_NE(V3220.RegelDict()->FindRegel(QLatin1String(r)), nullptr);
    }
    // K130 is named by 8618 (added from the object tables)
    EXPECT_TRUE(V3220.FeldDict()->GetFeldKRegeln(8618).contains(u"K130"_s));
    EXPECT_TRUE(V3220.FeldDict()->GetFeldRegelInfoTableXHTML(8618).contains(u"id=\"K130\""_s));
    EXPECT_TRUE(V3220.FeldDict()->GetFeldInfoXHTML(7402, QString()).contains(u"F024"_s));
    EXPECT_FALSE(V313.FeldDict()->GetFeldInfoXHTML(7402, QString()).contains(u"F024"_s));

    TLDT3Data::TInfoTyp t;
    bool found = true;
    EXPECT_EQ(TLDT3Data::GetInfoXHTML(u"K130"_s, t, V3220, &found), V3220.RegelDict()->GetRegelInfoXHTML(u"K130"_s));
    EXPECT_TRUE(found);
    TLDT3Data::GetInfoXHTML(u"K130"_s, t, V313, &found);
    EXPECT_FALSE(found);
    EXPECT_EQ(TLDT3Data::GetInfoXHTML(u"3473"_s, t), TLDT3Data::GetInfoXHTML(u"3473"_s, t, V313));
    TLDT3Data::GetInfoXHTML(u"7295"_s, t, V3220, &found);
    EXPECT_FALSE(found);
    EXPECT_EQ(TLDT3Data::GetInfoXHTML(u"R3321"_s, t, V3220, &found),
              V3220.FeldDict()->GetFeldRegelInfoXHTML(3321));
    EXPECT_TRUE(found);
}

// Object names and record captions of a 3.2.x file come from its own set.
TEST(TableSet, MeaningsOfAFileFollowItsSet)
{
    QTemporaryDir dir;
    const QByteArray inner = L(8109, "Abrechnung_OEGD") + L(8002, "Obj_0009") + L(8003, "Obj_0009");
    TLDT3FilePtrList list;
    ASSERT_TRUE(list.LoadFromFile(testutil::WriteFile(dir, u"o.ldt"_s, Datei("LDT3.2.4", QByteArray(), inner))));
    const int obj = LineOf(list, 8109) + 1;
    EXPECT_EQ(list.Bedeutung(obj), u"Obj_Abrechnung OEGD"_s);
    EXPECT_EQ(list.FeldErrorCode(obj), 0);
    EXPECT_EQ(list.Bedeutung(0), V313.FeldDict()->GetBedeutung(8000, u"8220"_s)); // record types unchanged
    EXPECT_TRUE(V313.FeldDict()->GetBedeutung(8002, u"Obj_0009"_s).isEmpty());
    // renamed objects (Obj_0004 "IGe" → "Ige")
    EXPECT_NE(V3220.FeldDict()->GetBedeutung(8002, u"Obj_0004"_s), V313.FeldDict()->GetBedeutung(8002, u"Obj_0004"_s));

    TLDT3LineList lines;
    ASSERT_TRUE(lines.GetLDT3FilePtrList(list.FileName()));
    EXPECT_TRUE(lines.GetFileInfoXHTML().contains(u"LDT3.2.20"_s));
}

// The checksum verdict of E157 belongs to the file loaded last and to its set only.
TEST(TableSet, ChecksumVerdictStaysWithItsFileAndSet)
{
    const auto mitPruefsumme = [](const QByteArray &ABytes, bool AOk) {
        QByteArray sha = QCryptographicHash::hash(ABytes, QCryptographicHash::Sha1).toHex().toUpper();
        if (!AOk)
            sha[0] = sha[0] == '0' ? '1' : '0';
        return ABytes + L(9300, sha);
    };
    const QByteArray sha(40, 'A');
    QString m;
    const auto e157 = [&](const TLDT3TableSet &ASet) { return ASet.FeldDict()->CheckFeld(9300, QString::fromLatin1(sha), m) == 0; };
    QTemporaryDir dir;
    struct TStep { const char *Version; bool ChecksumOk; };
    for (const TStep &s : {TStep{"LDT3.2.4", true}, {"LDT3.1.3", true}, {"LDT3.1.3", false}, {"LDT3.2.4", true},
                           {"LDT3.2.4", false}}) {
        SCOPED_TRACE(std::string(s.Version) + (s.ChecksumOk ? " ok" : " falsch"));
        TLDT3FilePtrList list;
        ASSERT_TRUE(list.LoadFromFile(testutil::WriteFile(dir, u"p.ldt"_s, mitPruefsumme(Datei(s.Version), s.ChecksumOk))));
        EXPECT_EQ(list.CheckSumOkay(), s.ChecksumOk);
        EXPECT_EQ(list.FeldErrorCode(list.Count() - 1) == 0, s.ChecksumOk);
        const bool v3220 = list.TableSet() == V3220;
        EXPECT_EQ(e157(V3220), v3220 && s.ChecksumOk);
        EXPECT_EQ(e157(V313), !v3220 && s.ChecksumOk);
    }
    // a checksum line before the version line: judged again with the file's set
    const QByteArray head = L(8000, "8220") + L(8132, "Kopfdaten") + L(8002, "Obj_0032");
    const QByteArray headSha = QCryptographicHash::hash(head, QCryptographicHash::Sha1).toHex();
    TLDT3FilePtrList list;
    ASSERT_TRUE(list.LoadFromFile(testutil::WriteFile(dir, u"q.ldt"_s, Datei("LDT3.2.4", L(9300, headSha)))));
    EXPECT_TRUE(list.CheckSumOkay());
    EXPECT_EQ(list.TableSet(), V3220);
    EXPECT_EQ(list.FeldErrorCode(LineOf(list, 9300)), 0);
    SetLDT3Pruefsumme_E157(0, false);
}

// The KBV's 3.2.4 sample files: checked by the 3.2.20 tables, no complaint
// about the version, no field of 3.2.20 unknown.
TEST(TableSet, KbvSamplesUseTheLaterTables)
{
    const QStringList files = testutil::SampleFiles();
    ASSERT_EQ(files.size(), 18);
    for (const QString &f : files) {
        SCOPED_TRACE(f.toStdString());
        TLDT3FilePtrList list;
        ASSERT_TRUE(list.LoadFromFile(f));
        EXPECT_EQ(list.TableSet(), V3220);
        EXPECT_EQ(list.FeldErrorCode(LineOf(list, 1)), 0);
        for (int i = 0; i < list.Count(); ++i)
            if (list.FeldErrorCode(i) == TLDT3FeldDict::fc_Unbekannt) {
                EXPECT_FALSE(V3220.FeldDict()->FeldExists(list.FK(i)));
            }
        EXPECT_TRUE(list.CheckSumOkay());
    }
}
