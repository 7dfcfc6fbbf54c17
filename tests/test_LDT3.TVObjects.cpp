#include "LDT3.TVObjects.h"

#include "LDT3.Feld.h"
#include "TreeTestUtil.h"
#include "WStrTools.h"

#include <QRegularExpression>

using namespace treetest;

namespace {

QByteArray Person(const QByteArray &body) { return Obj(8147, "Person", "Obj_0047", body); }
QByteArray Patient(const QByteArray &body) { return Obj(8145, "Patient", "Obj_0045", body); }

// The only node of class T in the tree (null when there is none or several).
template <class T>
T *Only(const TLDT3Node *ARoot)
{
    T *found = nullptr;
    int n = 0;
    std::vector<const TLDT3Node *> stack{ARoot};
    while (!stack.empty()) {
        const TLDT3Node *x = stack.back();
        stack.pop_back();
        for (int i = 0; i < x->ChildCount(); ++i) {
            TLDT3Node *c = x->Childs(i);
            if (c->ClassType() == T::Class()) {
                found = static_cast<T *>(c);
                ++n;
            }
            stack.push_back(c);
        }
    }
    return n == 1 ? found : nullptr;
}

} // namespace

TEST(TVObjects, PersonNames)
{
    struct Case {
        const char *name;
        QByteArray body;
        const char *shortInfo;
        const char *nachname;
    };
    const Case cases[] = {
        {"all parts", L(3104, "Dr.") + L(3102, "Anna") + L(3102, "Berta") + L(3120, "von") + L(3101, "Muster"),
         "Dr. Anna Berta von Muster", "Muster"},
        {"no title", L(3102, "Klaus") + L(3101, "Mustermann"), "Klaus Mustermann", "Mustermann"},
        {"blank first name skipped", L(3102, "Anna") + L(3102, "   ") + L(3101, "Muster"), "Anna Muster", "Muster"},
        {"parts trimmed", L(3102, " Anna ") + L(3100, "Graf") + L(3101, "Muster "), "Anna Graf Muster", "Muster "},
        {"title kept as it is", L(3104, "Dr. med. ") + L(3101, "Muster"), "Dr. med.  Muster", "Muster"},
        {"two surnames", L(3102, "Anna") + L(3101, "A") + L(3101, "B"), "Anna", ""},
        {"no name", L(3110, "W"), "", ""},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        Loaded f(AuftragFile(Rec("8215", Patient(Person(c.body)))));
        ASSERT_TRUE(f.BuildAll());
        auto *p = Only<TLDT3ObjektIdent0047LineNode>(f.dp->LDTRoot());
        ASSERT_NE(p, nullptr);
        EXPECT_EQ(p->ShortInfo(), QString::fromUtf8(c.shortInfo));
        EXPECT_EQ(p->Nachname(), QString::fromUtf8(c.nachname));
        // The patient shows the person; its attribute carries it in the caption.
        auto *pat = Only<TLDT3ObjektIdent0045LineNode>(f.dp->LDTRoot());
        ASSERT_NE(pat, nullptr);
        EXPECT_EQ(pat->Person(), p);
        EXPECT_EQ(pat->ShortInfo(), p->ShortInfo());
        const QString attr = f.Node(5)->Caption();
        if (p->ShortInfo().isEmpty())
            EXPECT_EQ(attr, QStringLiteral("Patient"));
        else
            EXPECT_EQ(attr, Format(QStringLiteral("%s [%s]"), {QStringLiteral("Patient"), p->ShortInfo()}));
        // Objects show their meaning only.
        EXPECT_EQ(pat->Caption(), GetLDT3FeldDict()->GetBedeutungOrInhalt(8002, QStringLiteral("Obj_0045")));
    }
}

TEST(TVObjects, OrderAndResultNumbers)
{
    struct Case {
        const char *name;
        QByteArray satzArt;
        QByteArray body;
        const char *objShortInfo; // of the order or result information object
        const char *recShortInfo;
    };
    const QByteArray ai = "Auftragsinformation";
    const QByteArray bi = "Befundinformationen";
    const Case cases[] = {
        {"order, equal numbers", "8215", Obj(8113, ai, "Obj_0013", L(8310, "A1") + L(8311, "A1")), "A1", "A1"},
        {"order, different numbers", "8215", Obj(8113, ai, "Obj_0013", L(8310, "A1") + L(8311, "L9")), "A1, L9", "A1"},
        {"order, laboratory number only", "8215", Obj(8113, ai, "Obj_0013", L(8311, "L9")), "L9", ""},
        {"order, two sender numbers", "8215", Obj(8113, ai, "Obj_0013", L(8310, "A1") + L(8310, "A2")), "", ""},
        {"order without order information", "8215", L(8410, "x"), nullptr, ""},
        {"result", "8205", Obj(8117, bi, "Obj_0017", L(8310, " B7 ") + L(8311, "L1")), " B7 , L1", "B7"},
        {"result, equal numbers", "8205", Obj(8117, bi, "Obj_0017", L(8310, "B7") + L(8311, "B7")), "B7", "B7"},
        {"result without information", "8205", L(8410, "x"), nullptr, ""},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const QByteArray rec = Rec(c.satzArt, c.body);
        Loaded f(c.satzArt == "8215" ? AuftragFile(rec) : BefundFile(rec));
        ASSERT_TRUE(f.BuildAll());
        auto *r = dynamic_cast<TLDT3SatzArtLineNode *>(f.Node(4));
        ASSERT_NE(r, nullptr);
        const TLDT3ObjektIdentLineNode *info = nullptr;
        if (auto *o = dynamic_cast<TLDT3SatzArt8215LineNode *>(r))
            info = o->Auftragsinformation();
        else if (auto *b = dynamic_cast<TLDT3SatzArt8205LineNode *>(r))
            info = b->Befundinformation();
        ASSERT_EQ(info != nullptr, c.objShortInfo != nullptr);
        if (info) {
            EXPECT_EQ(info->ShortInfo(), QString::fromUtf8(c.objShortInfo));
        }
        EXPECT_EQ(r->ShortInfo(), QString::fromUtf8(c.recShortInfo));
        const QString meaning = GetLDT3FeldDict()->GetBedeutung(8000, QString::fromLatin1(c.satzArt));
        ASSERT_FALSE(meaning.isEmpty());
        if (r->ShortInfo().isEmpty())
            EXPECT_EQ(r->Caption(), meaning);
        else
            EXPECT_EQ(r->Caption(), Format(QStringLiteral("%s [%s]"), {meaning, r->ShortInfo()}));
    }
}

TEST(TVObjects, BodyMeasures)
{
    struct Case {
        const char *name;
        QByteArray body;
        const char *shortInfo;
        const char *groesseEinheit;
        bool groesseTimestamp;
    };
    const QByteArray ts = Obj(8225, "Timestamp_Messung", "Obj_0054", L(7278, "20180701") + L(7279, "121026"));
    const Case cases[] = {
        {"no units", L(3622, "180") + L(3623, "75"), "180 cm, 75 kg", "cm", false},
        {"unit after height", L(3622, "180") + L(8421, "m") + L(3623, "75"), "180 m, 75 kg", "m", false},
        {"weight only", L(3623, "75"), "75 kg", "", false},
        {"unit and timestamp", L(3622, "180") + L(8421, "cm") + ts + L(3623, "75"), "180 cm, 75 kg", "cm", true},
        {"timestamp without unit", L(3622, "180") + ts, "180 cm", "cm", true},
        {"two heights", L(3622, "180") + L(3622, "181") + L(3623, "75"), "75 kg", "", false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        Loaded f(AuftragFile(Rec("8215", Obj(8169, "Koerperkenngroessen", "Obj_0069", c.body))));
        ASSERT_TRUE(f.BuildAll());
        auto *k = Only<TLDT3ObjektIdent0069LineNode>(f.dp->LDTRoot());
        ASSERT_NE(k, nullptr);
        EXPECT_EQ(k->ShortInfo(), QString::fromUtf8(c.shortInfo));
        EXPECT_EQ(k->GroesseRec().Einheit, QString::fromUtf8(c.groesseEinheit));
        EXPECT_EQ(k->GroesseRec().Timestamp != nullptr, c.groesseTimestamp);
        if (c.groesseTimestamp) {
            EXPECT_EQ(k->GroesseRec().Timestamp, Only<TLDT3ObjektIdent0054LineNode>(f.dp->LDTRoot()));
        }
        auto *order = dynamic_cast<TLDT3SatzArt8215LineNode *>(f.Node(4));
        ASSERT_NE(order, nullptr);
        EXPECT_EQ(order->Koerperkenngroessen(), k);
        EXPECT_EQ(f.Node(5)->Caption(), Format(QStringLiteral("%s [%s]"), {QStringLiteral("Koerperkenngroessen"), k->ShortInfo()}));
    }
}

TEST(TVObjects, OtherObjects)
{
    const QByteArray arzt = Obj(8114, "Arztidentifikation", "Obj_0014", Person(L(3102, "Klaus") + L(3101, "Muster")));
    const QByteArray body =
        Obj(8122, "Einsenderidentifikation", "Obj_0022",
            L(7321, "01") + L(7321, "02") + L(8312, "4711") + arzt
                + Obj(8143, "Organisation", "Obj_0043", L(1250, "Praxis Muster")))
        + Obj(8145, "Patient", "Obj_0045", Person(L(3101, "Kind")))
        + Obj(8113, "Auftragsinformation", "Obj_0013", L(8310, "A1"))
        + Obj(8132, "Kopfdaten", "Obj_0032",
              Obj(8218, "Timestamp_Erstellung_Datensatz", "Obj_0054", L(7278, "20180712") + L(7279, "201525")))
        + Obj(8137, "Material", "Obj_0037", L(7364, "G1") + L(8428, "M1"))
        + Obj(8159, "Untersuchungsanforderung", "Obj_0059", L(7260, "K1") + L(8410, "NA"))
        + Obj(8110, "Anhang", "Obj_0010", L(9970, "1") + L(6329, "QUJD"));
    Loaded f(AuftragFile(Rec("8215", body)));
    ASSERT_TRUE(f.list.StructureOkay());
    RecordingSink sink;
    ASSERT_TRUE(f.BuildAll()) << sink.Texts.join(QLatin1Char('\n')).toStdString();
    const TLDT3RootNode *root = f.dp->LDTRoot();
    const TLDT3FeldDict *d = GetLDT3FeldDict();

    auto *e = Only<TLDT3ObjektIdent0022LineNode>(root);
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(e->StatusEinsender_Arr(), QStringList({QStringLiteral("01"), QStringLiteral("02")}));
    EXPECT_EQ(e->Kunden_Arzt_Nummer(), QStringLiteral("4711"));
    ASSERT_NE(e->Arztidentifikation(), nullptr);
    EXPECT_EQ(e->Arztidentifikation(), Only<TLDT3ObjektIdent0014LineNode>(root));
    EXPECT_EQ(e->ShortInfo(), QStringLiteral("4711, Klaus Muster"));
    ASSERT_NE(e->Organisation(), nullptr);
    EXPECT_EQ(e->Organisation()->ShortInfo(), QStringLiteral("Praxis Muster"));
    EXPECT_EQ(e->Person(), nullptr);

    auto *order = dynamic_cast<TLDT3SatzArt8215LineNode *>(f.Node(4));
    ASSERT_NE(order, nullptr);
    EXPECT_EQ(order->Einsenderidendifikation(), e);
    EXPECT_EQ(order->ShortInfo(), QStringLiteral("A1"));
    ASSERT_NE(order->Patient(), nullptr);
    EXPECT_EQ(order->Patient()->ShortInfo(), QStringLiteral("Kind"));

    auto *kopf = Only<TLDT3ObjektIdent0032LineNode>(root);
    ASSERT_NE(kopf, nullptr);
    auto *ts = kopf->Timestamp_Erstellung_Datensatz();
    ASSERT_NE(ts, nullptr);
    EXPECT_EQ(ts->ConvDatum(), QStringLiteral("12.07.2018"));
    EXPECT_EQ(ts->ConvUhrzeit(), QStringLiteral("20:15:25 Uhr"));
    EXPECT_EQ(ts->ShortInfo(), QStringLiteral("12.07.2018, 20:15:25 Uhr"));

    auto *m = Only<TLDT3ObjektIdent0037LineNode>(root);
    ASSERT_NE(m, nullptr);
    EXPECT_EQ(m->ShortInfo(), QStringLiteral("G1, M1"));
    auto *u = Only<TLDT3ObjektIdent0059LineNode>(root);
    ASSERT_NE(u, nullptr);
    EXPECT_EQ(u->ShortInfo(), QStringLiteral("K1, NA"));
    auto *a = Only<TLDT3ObjektIdent0010LineNode>(root);
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->Dokumententyp(), QStringLiteral("1"));
    EXPECT_EQ(a->ShortInfo(), d->GetBedeutung(9970, QStringLiteral("1")));
}

TEST(TVObjects, HeadersAndTrailers)
{
    const QByteArray kopf = Obj(8132, "Kopfdaten", "Obj_0032", Obj(8151, "Sendendes_System", "Obj_0051", L(103, "X")));
    const QByteArray labor = Obj(8136, "Laborkennung", "Obj_0036",
                                 Obj(8239, "Laborbezeichnung", "Obj_0043", L(1250, "Labor")) + L(7352, "u1")
                                     + L(7352, "u2") + L(7266, "1"));
    Loaded befund(Rec("8220", kopf + labor) + Befund(L(8410, "x")) + Rec("8221", L(9300, "abc")));
    ASSERT_TRUE(befund.BuildAll());
    const TLDT3RootNode *r = befund.dp->LDTRoot();
    ASSERT_EQ(r->LDT3FileTyp(), ftBefund);
    TLDT3SatzArt8220LineNode *h = r->BefundLHeader8220();
    ASSERT_NE(h->Kopfdaten(), nullptr);
    EXPECT_NE(h->Kopfdaten()->Sendendes_System(), nullptr);
    ASSERT_NE(h->Laborkennung(), nullptr);
    EXPECT_EQ(h->Laborkennung()->Laborbezeichnung()->Organisation_Firma(), QStringLiteral("Labor"));
    EXPECT_EQ(h->Laborkennung()->URL_Kataloge_Arr().size(), 2);
    EXPECT_EQ(h->Laborkennung()->Laborart(), QStringLiteral("1"));
    EXPECT_EQ(h->Betriebsstaette(), nullptr);
    EXPECT_TRUE(h->ShortInfo().isEmpty());
    EXPECT_EQ(r->BefundLAbschluss8221()->Pruefsumme(), QStringLiteral("abc"));

    Loaded auftrag(Rec("8230", kopf + L(7265, "Praxis")) + Rec("8215", L(8410, "x")) + Rec("8231", L(9300, "def")));
    ASSERT_TRUE(auftrag.BuildAll());
    const TLDT3RootNode *ra = auftrag.dp->LDTRoot();
    ASSERT_EQ(ra->LDT3FileTyp(), ftAuftrag);
    EXPECT_EQ(ra->AuftragPHeader8230()->Absender_des_Datensatzes(), QStringLiteral("Praxis"));
    EXPECT_NE(ra->AuftragPHeader8230()->Kopfdaten(), nullptr);
    EXPECT_EQ(ra->AuftragPAbschluss8231()->Pruefsumme(), QStringLiteral("def"));
}

// The captions of the whole LDT tree, as the view shows them.
QString TreeText(Loaded &AFile)
{
    TLDT3MemTreeControl view;
    FillLDTTreeView(&view, AFile.dp.get(), false);
    AFile.dp->SetTV(nullptr);
    return view.AsText();
}

// Records and objects are made when asked for. Whatever is asked first and
// in whatever order, the tree reads the same: a subtree asked for late
// equals one asked for early, and captions do not change once the nodes
// below them are made.
TEST(TVObjects, NodesOnDemandReadTheSameInAnyOrder)
{
    for (const QString &file : testutil::SampleFiles()) {
        SCOPED_TRACE(file.toStdString());
        Loaded early(file);
        ASSERT_TRUE(early.BuildAll());
        const QString whole = TreeText(early);
        EXPECT_FALSE(whole.isEmpty());

        // Lines from the last to the first, each caption read before and
        // after the nodes below it (its object, the object's data) are made.
        Loaded late(file);
        ASSERT_TRUE(late.BuildAll());
        const int lines = late.list.Count() - late.list.EmptyLinesAtEnd();
        for (int z = lines; z >= 1; z -= 7) {
            TLDT3LineNode *n = late.Node(z);
            ASSERT_NE(n, nullptr) << z;
            const QString before = n->Caption();
            if (auto *o = TLDT3LineNode::ObjektFromAttributNode(n))
                CountNodes(o);
            else
                CountNodes(n);
            EXPECT_EQ(n->Caption(), before) << z;
            EXPECT_EQ(late.Node(z), n) << z;
        }
        EXPECT_EQ(TreeText(late), whole);
    }
}

TEST(TVObjects, NoShortInfoAfterFailedBuild)
{
    // The order is complete, then an attribute without its object stops the build.
    const QByteArray order =
        Rec("8215", Obj(8113, "Auftragsinformation", "Obj_0013", L(8310, "A1")) + Patient(Person(L(3101, "Muster"))));
    Loaded f(AuftragFile(order + Rec("8215", L(8145, "Patient") + L(8410, "x"))));
    ASSERT_TRUE(f.list.StructureOkay());
    RecordingSink sink;
    EXPECT_FALSE(f.BuildAll());
    EXPECT_EQ(sink.Texts.size(), 1);
    auto *first = dynamic_cast<TLDT3SatzArt8215LineNode *>(f.Node(4));
    ASSERT_NE(first, nullptr);
    EXPECT_TRUE(first->ShortInfo().isEmpty());
    EXPECT_EQ(first->Auftragsinformation(), nullptr);
    EXPECT_EQ(first->Caption(), GetLDT3FeldDict()->GetBedeutung(8000, QStringLiteral("8215")));
    EXPECT_EQ(f.Node(5)->Caption(), QStringLiteral("Auftragsinformation"));
    EXPECT_EQ(f.dp->LDTRoot()->Caption(), QStringLiteral("Ungültige LDT-Datei"));
}

// The KBV samples: file captions, order numbers, names, timestamps, body measures.
TEST(TVObjects, Samples)
{
    int orders = 0, patients = 0, timestamps = 0, measures = 0;
    for (const QString &file : testutil::SampleFiles()) {
        SCOPED_TRACE(file.toStdString());
        Loaded f(file);
        ASSERT_TRUE(f.BuildAll());
        const TLDT3RootNode *r = f.dp->LDTRoot();
        const int n = r->LDT3FileTyp() == ftAuftrag ? int(r->AuftragArr8215().size()) : int(r->BefundArr8205().size());
        const QString word = r->LDT3FileTyp() == ftAuftrag ? (n == 1 ? QStringLiteral("Auftrag") : QStringLiteral("Aufträge"))
                                                           : (n == 1 ? QStringLiteral("Befund") : QStringLiteral("Befunde"));
        EXPECT_EQ(r->Caption(), QString::number(n) + QLatin1Char(' ') + word);
        for (TLDT3SatzArt8215LineNode *o : r->AuftragArr8215()) {
            if (!o->Auftragsinformation())
                continue;
            ++orders;
            const QString nr = o->Auftragsinformation()->Auftragsnummer_des_Einsenders().trimmed();
            EXPECT_FALSE(nr.isEmpty());
            EXPECT_TRUE(o->Caption().endsWith(QStringLiteral(" [") + nr + QLatin1Char(']'))) << o->Caption().toStdString();
        }
        // Walk the whole tree for patients, timestamps and body measures.
        std::vector<const TLDT3Node *> stack{r};
        while (!stack.empty()) {
            const TLDT3Node *x = stack.back();
            stack.pop_back();
            for (int i = 0; i < x->ChildCount(); ++i)
                stack.push_back(x->Childs(i));
            if (auto *p = dynamic_cast<const TLDT3ObjektIdent0045LineNode *>(x); p && p->Person()) {
                ++patients;
                const TLDT3ObjektIdent0047LineNode *pe = p->Person();
                EXPECT_TRUE(p->ShortInfo().endsWith(pe->Nachname().trimmed()));
                for (const QString &v : pe->Vorname_Arr())
                    EXPECT_TRUE(p->ShortInfo().contains(v.trimmed()));
            }
            if (auto *t = dynamic_cast<const TLDT3ObjektIdent0054LineNode *>(x); t && !t->ConvDatum().isEmpty()) {
                ++timestamps;
                EXPECT_TRUE(QRegularExpression(QStringLiteral("^\\d\\d\\.\\d\\d\\.\\d{4}(, \\d\\d:\\d\\d\\S* Uhr)?$"))
                                .match(t->ShortInfo())
                                .hasMatch())
                    << t->ShortInfo().toStdString();
            }
            if (auto *k = dynamic_cast<const TLDT3ObjektIdent0069LineNode *>(x)) {
                ++measures;
                EXPECT_TRUE(QRegularExpression(QStringLiteral("^[\\d.,]+ \\S+(, [\\d.,]+ \\S+)?$")).match(k->ShortInfo()).hasMatch())
                    << k->ShortInfo().toStdString();
            }
        }
    }
    EXPECT_GT(orders, 0);
    EXPECT_GT(patients, 0);
    EXPECT_GT(timestamps, 0);
    EXPECT_GT(measures, 0);
}
