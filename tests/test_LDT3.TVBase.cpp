#include "LDT3.TVBase.h"

#include "LDT3.Feld.h"
#include "LDT3.TVObjects.h"
#include "TreeTestUtil.h"
#include "WStrTools.h"

#include <set>
#include <thread>

using namespace treetest;

namespace {

// Lets the tests run the build on files whose structure the loader rejected.
class TestDatenpaket : public TLDT3Datenpaket
{
public:
    using TLDT3Datenpaket::TLDT3Datenpaket;
    using TLDT3Datenpaket::RunBuild;
};

QString ClassName(const TLDT3Node *n) { return QString::fromLatin1(n->ClassType()->ClassName); }

// Counts repaint suspensions on top of the in-memory control.
class RecordingTreeControl : public TLDT3MemTreeControl
{
public:
    void BeginUpdate() override
    {
        ++Begins;
        TLDT3MemTreeControl::BeginUpdate();
    }
    void EndUpdate() override
    {
        ++Ends;
        TLDT3MemTreeControl::EndUpdate();
    }
    int Begins = 0;
    int Ends = 0;
};

} // namespace

TEST(TVBase, ClassSelection)
{
    struct Case {
        int fk;
        const char *inhalt;
        const char *cls;
    };
    const Case cases[] = {
        {8000, "8205", "TLDT3SatzArt8205LineNode"},
        {8000, "8215", "TLDT3SatzArt8215LineNode"},
        {8000, "8220", "TLDT3SatzArt8220LineNode"},
        {8000, "8221", "TLDT3SatzArt8221LineNode"},
        {8000, "8230", "TLDT3SatzArt8230LineNode"},
        {8000, "8231", "TLDT3SatzArt8231LineNode"},
        {8000, "8206", "TLDT3SatzArtLineNode"},
        {8000, "abc", "TLDT3SatzArtLineNode"},
        {8001, "8205", "TLDT3SatzEndeLineNode"},
        {8002, "Obj_0047", "TLDT3ObjektIdent0047LineNode"},
        {8002, "Obj_47", "TLDT3ObjektIdent0047LineNode"},
        {8002, "Obj_0072", "TLDT3ObjektIdentLineNode"},
        {8002, "Obj_0073", "TLDT3ObjektIdentLineNode"},
        {8002, "Objekt", "TLDT3ObjektIdentLineNode"},
        {8002, "Obj_", "TLDT3ObjektIdentLineNode"},
        {8003, "Obj_0047", "TLDT3ObjektEndeLineNode"},
        {8100, "x", "TLDT3ObjektAttributeLineNode"},
        {8299, "x", "TLDT3ObjektAttributeLineNode"},
        {8099, "x", "TLDT3LineNode"},
        {8300, "x", "TLDT3LineNode"},
        {0, "", "TLDT3LineEmptyNode"},
        {0, "x", "TLDT3LineNode"},
        {1, "", "TLDT3LineNode"},
        {6329, "", "TLDT3LineNode"},
        {9300, "abc", "TLDT3LineNode"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(std::string(c.cls) + " " + c.inhalt);
        TLDT3LineNodeClass cls = TLDT3LineNode::GetLDT3LineNodeClass(c.fk, QString::fromLatin1(c.inhalt));
        EXPECT_STREQ(cls->ClassName, c.cls);
        std::unique_ptr<TLDT3LineNode> node;
        TLDT3LineNode::CreateLDT3LineNode(cls, node);
        ASSERT_TRUE(node);
        EXPECT_EQ(node->ClassType(), cls);
        EXPECT_EQ(node->ChildIdx(), -1);
        EXPECT_EQ(node->ItemID(), 0u);
    }

    // Every object number with a class of its own gets a distinct class that
    // carries the number; creating it gives a node of exactly that class.
    const int numbers[] = {1,  2,  3,  4,  5,  6,  7,  8,  10, 11, 13, 14, 17, 19, 22, 26, 27, 31, 32, 34, 35, 36, 37, 40,
                           41, 42, 43, 45, 47, 48, 50, 51, 53, 54, 55, 56, 58, 59, 60, 61, 62, 63, 68, 69, 70, 71, 100};
    std::set<TLDT3LineNodeClass> seen;
    for (int n : numbers) {
        const QString inhalt = QStringLiteral("Obj_") + TLDT3::IntToStr_LZ(n, 4);
        TLDT3LineNodeClass cls = TLDT3LineNode::GetLDT3LineNodeClass(8002, inhalt);
        EXPECT_EQ(QString::fromLatin1(cls->ClassName), QStringLiteral("TLDT3ObjektIdent%1LineNode").arg(inhalt.mid(4)));
        EXPECT_TRUE(cls->InheritsFrom(TLDT3ObjektIdentLineNode::Class()));
        std::unique_ptr<TLDT3LineNode> node;
        TLDT3LineNode::CreateLDT3LineNode(cls, node);
        EXPECT_EQ(node->ClassType(), cls);
        EXPECT_NE(dynamic_cast<TLDT3ObjektIdentLineNode *>(node.get()), nullptr);
        seen.insert(cls);
    }
    EXPECT_EQ(seen.size(), std::size(numbers));

    // A class that is not a line node class is refused.
    std::unique_ptr<TLDT3LineNode> node;
    EXPECT_THROW(TLDT3LineNode::CreateLDT3LineNode(TLDT3ErrorRootNode::Class(), node), ELDT3Error);
    EXPECT_FALSE(node);
}

TEST(TVBase, ChildSearchesAndNavigation)
{
    // Person with two first names and two surnames (a broken single value).
    Loaded f(BefundFile(Befund(Obj(8145, "Patient", "Obj_0045",
                                   Obj(8147, "Person", "Obj_0047",
                                       L(3102, "Anna") + L(3102, "Berta") + L(3101, "A") + L(3101, "B"))))));
    ASSERT_TRUE(f.list.StructureOkay());
    ASSERT_TRUE(f.BuildAll());
    // Lines: 1-3 header, 4 8000, 5 8145, 6 8002 Obj_0045, 7 8147, 8 8002 Obj_0047, 9-12 names.
    TLDT3LineNode *person = f.Node(8);
    ASSERT_NE(person, nullptr);
    EXPECT_EQ(ClassName(person), QStringLiteral("TLDT3ObjektIdent0047LineNode"));
    EXPECT_EQ(person->CountChildNodes(3102), 2);
    EXPECT_EQ(person->CountChildNodesInhalt(3102, QStringLiteral("Berta")), 1);
    EXPECT_EQ(person->CountChildNodesInhalt(3102, QStringLiteral("berta")), 0);
    EXPECT_EQ(person->FindChildNodes(3101).size(), 2);
    EXPECT_EQ(person->FindChildNodesInhalt(3101, QStringLiteral("B")).size(), 1);
    TLDT3LineNode *n = nullptr;
    EXPECT_FALSE(person->FindSingleNode(3101, n));
    EXPECT_EQ(n, nullptr);
    EXPECT_TRUE(person->FindSingleNodeInhalt(3101, QStringLiteral("B"), n));
    EXPECT_EQ(n->Zeile(), 12);
    EXPECT_FALSE(person->FindSingleNode(3104, n));
    EXPECT_EQ(person->SingleNodeInhalt(3101), QString());
    EXPECT_EQ(person->ArrNodeInhalt(3101), QStringList({QStringLiteral("A"), QStringLiteral("B")}));

    // The run of first names: the first node covers both lines, each has its node.
    TLDT3LineNode *anna = f.Node(9);
    TLDT3LineNode *berta = f.Node(10);
    ASSERT_NE(anna, nullptr);
    ASSERT_NE(berta, nullptr);
    EXPECT_EQ(anna->NodeSize(), 2);
    EXPECT_EQ(berta->NodeSize(), 1);
    EXPECT_EQ(berta->Inhalt(), QStringLiteral("Berta"));
    // 3101 starts its own run after the 3102 run.
    EXPECT_EQ(f.Node(11)->NodeSize(), 2);

    // Attribute and object ranges end at the object end line.
    TLDT3LineNode *patientAttr = f.Node(5);
    EXPECT_EQ(patientAttr->EndeIdx(), f.Node(14)->StartIdx());
    EXPECT_EQ(person->EndeIdx(), 12);
    EXPECT_EQ(TLDT3LineNode::ObjektFromAttributNode(patientAttr), f.Node(6));
    EXPECT_EQ(TLDT3LineNode::ObjektFromAttributNode(person), nullptr);
    TLDT3ObjektIdentLineNode *o = nullptr;
    EXPECT_TRUE(f.Node(6)->FindSingleObjektFromAttribut(8147, o));
    EXPECT_EQ(o, person);
    QList<TLDT3ObjektIdentLineNode *> objs;
    EXPECT_TRUE(f.Node(4)->FindObjekteFromAttribut(8145, objs));
    EXPECT_EQ(objs.size(), 1);
    EXPECT_FALSE(f.Node(4)->FindObjekteFromAttribut(8147, objs));

    // Sibling navigation.
    TLDT3LineNode *rel = nullptr;
    EXPECT_TRUE(person->GetNextNode(anna, rel));
    EXPECT_EQ(rel, berta);
    EXPECT_TRUE(person->GetRelNode(berta, -1, rel));
    EXPECT_EQ(rel, anna);
    EXPECT_FALSE(person->GetRelNode(anna, -1, rel));
    EXPECT_EQ(rel, nullptr);
    EXPECT_FALSE(person->GetRelNode(anna, 5, rel));
    TLDT3LineNode *root = f.dp->LDTRoot();
    EXPECT_TRUE(root->GetRelNode(root, 0, rel));
    EXPECT_EQ(rel, root);

    EXPECT_TRUE(f.Node(4)->CheckSatzArt(QStringLiteral("8205")));
    EXPECT_FALSE(f.Node(4)->CheckSatzArt(QStringLiteral("8215")));
    EXPECT_FALSE(root->CheckSatzArt(QStringLiteral("8205")));
    EXPECT_TRUE(f.Node(15)->CheckSatzEnde(QStringLiteral("8205")));
    EXPECT_THROW(root->Childs(root->ChildCount()), std::out_of_range);
}

TEST(TVBase, LineCaptions)
{
    Loaded f(BefundFile(Befund(L(0, "") + L(0, "frei") + L(1234, "abc") + L(8410, "NA"))));
    ASSERT_TRUE(f.list.StructureOkay());
    ASSERT_TRUE(f.BuildAll());
    const TLDT3FeldDict *d = GetLDT3FeldDict();
    // Lines 5 to 8 are the body of the 8205 record.
    EXPECT_EQ(f.Node(5)->Caption(), QStringLiteral("Leere Zeile"));
    EXPECT_EQ(ClassName(f.Node(6)), QStringLiteral("TLDT3LineNode"));
    EXPECT_EQ(f.Node(6)->Caption(), QStringLiteral(": frei"));
    ASSERT_FALSE(d->FeldExists(1234));
    EXPECT_EQ(f.Node(7)->Caption(), QStringLiteral("FK 1234: abc"));
    EXPECT_EQ(f.Node(8)->Caption(), d->GetFeldName(8410) + QStringLiteral(": NA"));
    EXPECT_EQ(f.Node(4)->Caption(), QStringLiteral("Befund"));
    EXPECT_EQ(f.Node(1)->Caption(), QStringLiteral("L (Labor)-Datenpaket-Header"));
}

TEST(TVBase, FileClassification)
{
    struct Case {
        const char *name;
        QByteArray bytes;
        TLDT3FileTyp typ;
        const char *caption;
    };
    const QByteArray b = Befund(L(8410, "x"));
    const QByteArray a = Rec("8215", L(8410, "x"));
    const Case cases[] = {
        {"three results", BefundFile(b + b + b), ftBefund, "3 Befunde"},
        {"one result", BefundFile(b), ftBefund, "1 Befund"},
        {"header and trailer only", BefundFile(""), ftNone, "Ungültige LDT-Datei"},
        {"order among results", BefundFile(b + a), ftNone, "Ungültige LDT-Datei"},
        {"one order", AuftragFile(a), ftAuftrag, "1 Auftrag"},
        {"two orders", AuftragFile(a + a), ftAuftrag, "2 Aufträge"},
        {"result in an order file", AuftragFile(b), ftNone, "Ungültige LDT-Datei"},
        {"order header, result trailer", Rec("8230", "") + a + Rec("8221", ""), ftNone, "Ungültige LDT-Datei"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        Loaded f(c.bytes);
        ASSERT_TRUE(f.list.StructureOkay());
        ASSERT_TRUE(f.BuildAll());
        const TLDT3RootNode *r = f.dp->LDTRoot();
        EXPECT_EQ(r->LDT3FileTyp(), c.typ);
        EXPECT_EQ(r->Caption(), QString::fromUtf8(c.caption));
        EXPECT_EQ(f.dp->SatzCount(), r->ChildCount());
        if (c.typ == ftBefund) {
            EXPECT_EQ(r->BefundLHeader8220(), r->Childs(0));
            EXPECT_EQ(r->BefundLAbschluss8221(), r->Childs(r->ChildCount() - 1));
            EXPECT_EQ(r->BefundArr8205().size(), r->ChildCount() - 2);
        } else {
            EXPECT_EQ(r->BefundLHeader8220(), nullptr);
            EXPECT_TRUE(r->BefundArr8205().isEmpty());
        }
        if (c.typ == ftAuftrag) {
            EXPECT_EQ(r->AuftragPHeader8230(), r->Childs(0));
            EXPECT_EQ(r->AuftragPAbschluss8231(), r->Childs(r->ChildCount() - 1));
            EXPECT_EQ(r->AuftragArr8215().size(), r->ChildCount() - 2);
        } else {
            EXPECT_EQ(r->AuftragPHeader8230(), nullptr);
            EXPECT_TRUE(r->AuftragArr8215().isEmpty());
        }
    }
}

// Blank lines at the end of a file get no node and leave the classification
// as it is without them; they still show in the error tree.
TEST(TVBase, EmptyLinesAtEndGetNoNode)
{
    const QByteArray body = BefundFile(Befund(L(8410, "x")));
    Loaded plain(body);
    Loaded blank(body + "\r\n\r\n");
    ASSERT_TRUE(plain.BuildAll());
    ASSERT_EQ(blank.list.EmptyLinesAtEnd(), 2);
    ASSERT_TRUE(blank.list.StructureOkay());
    ASSERT_TRUE(blank.BuildAll());
    EXPECT_EQ(blank.dp->LDTRoot()->ChildCount(), plain.dp->LDTRoot()->ChildCount());
    EXPECT_EQ(blank.dp->LDTRoot()->LDT3FileTyp(), ftBefund);
    EXPECT_EQ(blank.dp->LDTRoot()->Caption(), QStringLiteral("1 Befund"));
    const int last = blank.list.Count();
    EXPECT_EQ(blank.dp->GetLDT3LineNodeFromZeile(last), nullptr);
    EXPECT_NE(blank.dp->GetLDT3LineErrorNodeFromZeile(last), nullptr);
    EXPECT_EQ(blank.dp->ErrorRoot()->ChildCount(), blank.list.LineErrorList().Count());
}

TEST(TVBase, BuildErrors)
{
    struct Case {
        const char *name;
        QByteArray bytes;
        bool structureOkay; // whether the loader lets the file through to the build
        QString text;
        int nodesBefore;    // lines in the tree when the build stopped
    };
    const QByteArray hdr = L(8000, "8205");
    const QByteArray end = L(8001, "8205");
    const Case cases[] = {
        {"record while a record is open", hdr + L(8000, "8215") + end, false,
         QStringLiteral("Satzart an falscher Position"), 1},
        {"record end without record", L(8001, "8205"), false, QStringLiteral("Fehlende Satzart für Satzende"), 0},
        {"wrong record end", hdr + L(8001, "8215"), false, QStringLiteral("Falsches Satzende. Erwartet: \"8205\""), 2},
        {"record end with an attribute open", hdr + L(8145, "Patient") + end, true,
         QStringLiteral("Unerwartetes Satzende \"8205\"."), 3},
        {"record end with an object open", hdr + L(8145, "Patient") + L(8002, "Obj_0045") + end, false,
         QStringLiteral("Unerwartetes Satzende \"8205\"."), 4},
        {"object outside a record", L(8002, "Obj_0045"), false, QStringLiteral("Fehlende Satzart für Objektident"), 0},
        {"object without attribute", hdr + L(8002, "Obj_0045") + L(8003, "Obj_0045") + end, true,
         QStringLiteral("Fehlendes Objektattribut für Objektident"), 1},
        {"object other than the follow object", hdr + Obj(8145, "Patient", "Obj_0047", "") + end, true,
         QStringLiteral("Falsches Objekt: \"Obj_0047\" für Attribut \"Patient\" Erwartet: \"Obj_0045\""), 3},
        {"object end outside a record", L(8003, "Obj_0045"), false, QStringLiteral("Fehlende Satzart für Objektende"), 0},
        {"object end with an attribute open",
         hdr + L(8145, "Patient") + L(8002, "Obj_0045") + L(8147, "Person") + L(8003, "Obj_0045") + end, true,
         QStringLiteral("Unerwartetes Objektende: \"Obj_0045\""), 5},
        {"object end naming another object", hdr + L(8145, "Patient") + L(8002, "Obj_0045") + L(8003, "Obj_0047") + end,
         false, QStringLiteral("Falsches Objektende: \"Obj_0047\". Erwartet: \"Obj_0045\""), 4},
        {"plain line after an attribute", hdr + L(8410, "x") + L(8145, "Patient") + L(3101, "N") + end, true,
         QStringLiteral("Fehlendes Objekt für Attribut \"Patient\" in Zeile 3."), 3},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir dir;
        TLDT3FilePtrList list;
        list.SetMaxInvalidLines(1000);
        ASSERT_TRUE(list.LoadFromFile(testutil::WriteFile(dir, QStringLiteral("Z01t.ldt"), c.bytes)));
        EXPECT_EQ(list.StructureOkay(), c.structureOkay);
        RecordingSink sink;
        TestDatenpaket dp(&list);
        EXPECT_FALSE(c.structureOkay ? dp.BuildLDTTree() : dp.RunBuild());
        EXPECT_EQ(dp.BuildError(), c.text);
        EXPECT_EQ(sink.Texts, QStringList{c.text});
        // Nodes added so far stay; no InitNode ran.
        EXPECT_EQ(CountNodes(dp.LDTRoot()), c.nodesBefore);
        EXPECT_EQ(dp.LDTRoot()->LDT3FileTyp(), ftNone);
        // The tree is built at most once.
        EXPECT_FALSE(dp.RunBuild());
    }
}

TEST(TVBase, NoTreeWithoutStructure)
{
    Loaded f(L(8410, "x") + Befund(""));
    ASSERT_FALSE(f.list.StructureOkay());
    RecordingSink sink;
    EXPECT_FALSE(f.BuildAll());
    EXPECT_TRUE(sink.Texts.isEmpty());
    EXPECT_FALSE(f.dp->LDTRoot()->HasChilds());
    TLDT3MemTreeControl view;
    FillLDTTreeView(&view, f.dp.get(), true);
    ASSERT_GE(view.Count(), 1);
    EXPECT_EQ(view.Item(0).Text, Format(QStringLiteral("\"%s\" - (Ungültige LDT-Datei)"), {f.list.FileName()}));
    EXPECT_EQ(view.Item(0).FirstChild, -1);
}

// Every line of every sample has exactly its own node, and the node of a
// run's first line covers the run.
TEST(TVBase, SamplesBuildAndFindEveryLine)
{
    const QStringList files = testutil::SampleFiles();
    ASSERT_FALSE(files.isEmpty());
    for (const QString &file : files) {
        SCOPED_TRACE(file.toStdString());
        Loaded f(file);
        ASSERT_TRUE(f.loaded);
        ASSERT_TRUE(f.list.StructureOkay());
        RecordingSink sink;
        ASSERT_TRUE(f.BuildAll());
        EXPECT_TRUE(sink.Texts.isEmpty());
        EXPECT_NE(f.dp->LDTRoot()->LDT3FileTyp(), ftNone);
        const int tested = f.list.Count() - f.list.EmptyLinesAtEnd();
        for (int i = 0; i < tested; ++i) {
            TLDT3LineNode *n = f.dp->GetLDT3LineNodeFromZeile(i + 1);
            ASSERT_NE(n, nullptr) << "line " << i + 1;
            EXPECT_EQ(n->StartIdx(), i);
            EXPECT_GE(n->EndeIdx(), i);
            // the way up, as a view model asks for it
            ASSERT_NE(n->Parent(), nullptr) << "line " << i + 1;
            EXPECT_EQ(n->Parent()->Childs(n->ChildIdx()), n) << "line " << i + 1;
        }
    }
}

TEST(TVBase, DeepNestingNeedsNoDeepStack)
{
    // 100 000 objects inside each other; the build, the init, the search, the
    // filling and the destruction all walk the tree without recursion.
    const int depth = 100000;
    QByteArray body;
    body.reserve(depth * 40);
    for (int i = 0; i < depth; ++i)
        body += L(8145, "Patient") + L(8002, "Obj_0045");
    body += L(8410, "x");
    for (int i = 0; i < depth; ++i)
        body += L(8003, "Obj_0045");
    Loaded f(AuftragFile(Rec("8215", body)));
    ASSERT_TRUE(f.list.StructureOkay());
    ASSERT_TRUE(f.BuildAll());
    const int deepest = 3 + 1 + 2 * depth + 1;
    TLDT3LineNode *n = f.Node(deepest);
    ASSERT_NE(n, nullptr);
    EXPECT_EQ(n->FK(), 8410);
    TLDT3MemTreeControl view;
    FillLDTTreeView(&view, f.dp.get(), true);
    EXPECT_EQ(view.Item(view.ItemNo(n->ItemID())).Level, 1 + 1 + 2 * depth);
    f.dp->SetTV(nullptr);
    f.dp.reset();
}

TEST(TVBase, PresentationWithHiddenBase64Runs)
{
    QByteArray b64;
    for (int i = 0; i < 500; ++i)
        b64 += L(6329, "QUJD");
    const QByteArray anhang = Obj(8110, "Anhang", "Obj_0010", L(9970, "1") + b64);
    Loaded f(BefundFile(Befund(anhang)));
    ASSERT_TRUE(f.list.StructureOkay());
    ASSERT_TRUE(f.BuildAll());
    // Lines: 1-3 header, 4 8000, 5 8110, 6 8002, 7 9970, 8..507 Base64, 508 8003, 509 8001.
    TLDT3LineNode *obj = f.Node(6);
    TLDT3LineNode *first = f.Node(8);
    ASSERT_EQ(first->NodeSize(), 500);

    RecordingTreeControl view;
    FillLDTTreeView(&view, f.dp.get(), true);
    EXPECT_EQ(view.Begins, 1);
    EXPECT_EQ(view.Ends, 1);
    EXPECT_EQ(f.dp->TV(), &view);
    const QStringList tops = view.ChildTexts(-1);
    ASSERT_EQ(tops.size(), 2);
    EXPECT_EQ(tops[0], Format(QStringLiteral("\"%s\" - (1 Befund)"), {f.list.FileName()}));
    EXPECT_EQ(tops[1], f.dp->Base64Root()->Caption());
    const int objItem = view.ItemNo(obj->ItemID());
    ASSERT_GE(objItem, 0);
    const QString hidden = Format(QStringLiteral("%s: %d Zeilen ausgeblendet"),
                                  {GetLDT3FeldDict()->GetFeldName(6329), 500});
    EXPECT_EQ(view.ChildTexts(objItem), QStringList({f.Node(7)->Caption(), hidden, f.Node(508)->Caption()}));
    const TLDT3ItemID runItem = first->ItemID();
    EXPECT_EQ(view.Item(view.ItemNo(runItem)).Data, first);
    for (int z = 8; z <= 507; ++z)
        ASSERT_EQ(f.Node(z)->ItemID(), runItem) << "line " << z;
    // Every other node has its own item with its caption and itself as data.
    for (int z = 1; z <= f.list.Count(); ++z) {
        if (z >= 8 && z <= 507)
            continue;
        TLDT3LineNode *n = f.Node(z);
        const int no = view.ItemNo(n->ItemID());
        ASSERT_GE(no, 0) << "line " << z;
        EXPECT_EQ(view.Item(no).Data, n);
        EXPECT_EQ(view.Item(no).Text, n->Caption());
    }
    // The LDT item is expanded one level only.
    EXPECT_TRUE(view.Item(0).Expanded);
    EXPECT_FALSE(view.Item(view.ItemNo(f.Node(1)->ItemID())).Expanded);

    // Without hiding every Base64 line has its own item.
    RecordingTreeControl full;
    FillLDTTreeView(&full, f.dp.get(), false);
    EXPECT_EQ(full.ChildTexts(full.ItemNo(obj->ItemID())).size(), 502);
    EXPECT_NE(f.Node(8)->ItemID(), f.Node(9)->ItemID());
    f.dp->SetTV(nullptr);
}

// Every node of the three trees knows its parent and its place there; a
// view model gets every caption the fill writes without filling.
TEST(TVBase, ParentLinksAndCaptionsOnDemand)
{
    QByteArray b64;
    for (int i = 0; i < 20; ++i)
        b64 += L(6329, "QUJD");
    const QByteArray anhang = Obj(8110, "Anhang", "Obj_0010", L(9970, "1") + b64);
    Loaded f(BefundFile(Befund(anhang) + Befund(L(8410, "ABC"))));
    ASSERT_TRUE(f.BuildAll());
    int nodes = 0;
    for (TLDT3Node *root : {static_cast<TLDT3Node *>(f.dp->LDTRoot()), static_cast<TLDT3Node *>(f.dp->Base64Root()),
                            static_cast<TLDT3Node *>(f.dp->ErrorRoot())}) {
        ASSERT_NE(root, nullptr);
        EXPECT_EQ(root->Parent(), nullptr);
        std::vector<TLDT3Node *> stack{root};
        while (!stack.empty()) {
            TLDT3Node *n = stack.back();
            stack.pop_back();
            for (int i = 0; i < n->ChildCount(); ++i) {
                TLDT3Node *c = n->Childs(i);
                ASSERT_EQ(c->Parent(), n);
                ASSERT_EQ(c->ChildIdx(), i);
                stack.push_back(c);
                ++nodes;
            }
        }
    }
    EXPECT_GT(nodes, f.list.Count() / 2);

    TLDT3MemTreeControl view;
    FillLDTTreeView(&view, f.dp.get(), true);
    EXPECT_EQ(view.Item(0).Text, LDTTreeTopCaption(f.dp->LDTRoot()));
    TLDT3LineNode *first = f.Node(8);
    EXPECT_EQ(view.Item(view.ItemNo(first->ItemID())).Text, Base64RunCaption(first));
    for (int no = 1; no < view.Count(); ++no) {
        const TLDT3MemTreeControl::TItem &it = view.Item(no);
        if (it.Data && it.Data != first) {
            EXPECT_EQ(it.Text, it.Data->Caption()) << no;
        }
    }
    f.dp->SetTV(nullptr);
}

TEST(TVBase, ErrorTree)
{
    // Line 5 has a wrong length, line 6 an invalid character.
    QByteArray bad = L(8410, "x");
    bad[2] = '9';
    Loaded f(BefundFile(Befund(bad + L(8410, QByteArray("a\tb")))));
    ASSERT_TRUE(f.BuildAll());
    TLDT3ErrorRootNode *root = f.dp->ErrorRoot();
    ASSERT_EQ(root->ChildCount(), f.list.LineErrorList().Count());
    ASSERT_GE(root->ChildCount(), 2);
    EXPECT_TRUE(root->IsRoot());
    EXPECT_EQ(root->Zeile(), 0);
    EXPECT_EQ(root->Caption(), Format(QStringLiteral("Fehlerhafte Zeilen: %d"), {root->ChildCount()}));
    EXPECT_EQ(f.dp->GetLDT3LineErrorNodeFromZeile(1), nullptr);
    TLDT3LineErrorNode *e5 = f.dp->GetLDT3LineErrorNodeFromZeile(5);
    ASSERT_NE(e5, nullptr);
    EXPECT_EQ(e5->Caption(), Format(QStringLiteral("Zeile %d: %s"), {5, f.list.ErrorMsg(4)}));
    EXPECT_FALSE(e5->ErrorMsg().isEmpty());

    RecordingTreeControl view;
    FillErrorTreeView(&view, f.dp.get());
    EXPECT_EQ(view.Begins, 1);
    EXPECT_EQ(view.Ends, 1);
    ASSERT_EQ(view.ChildTexts(-1), QStringList{root->Caption()});
    EXPECT_EQ(view.ItemNo(root->ItemID()), 0);
    EXPECT_TRUE(view.Item(0).Expanded);
    QStringList texts;
    for (int i = 0; i < root->ChildCount(); ++i) {
        texts << root->Childs(i)->Caption();
        EXPECT_EQ(view.Item(view.ItemNo(root->Childs(i)->ItemID())).Data, root->Childs(i));
    }
    EXPECT_EQ(view.ChildTexts(0), texts);

    // A rebuild replaces the nodes; their handles are gone with them.
    EXPECT_TRUE(f.dp->RebuildErrorTree());
    EXPECT_NE(f.dp->ErrorRoot(), nullptr);
    EXPECT_EQ(f.dp->ErrorRoot()->ChildCount(), f.list.LineErrorList().Count());
    EXPECT_EQ(f.dp->ErrorRoot()->ItemID(), 0u);
    EXPECT_EQ(f.dp->GetLDT3LineErrorNodeFromZeile(5)->ItemID(), 0u);
}

TEST(TVBase, FillWithoutViewOrModel)
{
    FillLDTTreeView(nullptr, nullptr, true);
    FillErrorTreeView(nullptr, nullptr);
    RecordingTreeControl view;
    view.AddTopItem(QStringLiteral("alt"));
    FillLDTTreeView(&view, nullptr, true);
    EXPECT_EQ(view.Count(), 0);
    EXPECT_EQ(view.Begins, view.Ends);
}

TEST(TVBase, AttachmentTree)
{
    const QString file = testutil::SamplesDir() + QStringLiteral("/Z01_UseCase05_Befund_mitPDF.ldt");
    Loaded f(file);
    ASSERT_TRUE(f.loaded);
    ASSERT_TRUE(f.BuildAll());
    const TLDT3Base64AnlagenList &list = f.list.Base64AnalgenList();
    ASSERT_GE(list.Count(), 1);
    TLDT3Base64RootNode *root = f.dp->Base64Root();
    EXPECT_EQ(root->Caption(), Format(QStringLiteral("base64-kodierte Anlagen: %d"), {list.Count()}));
    ASSERT_EQ(root->ChildCount(), list.Count());

    RecordingTreeControl view;
    FillLDTTreeView(&view, f.dp.get(), true);
    const int rootItem = view.ItemNo(root->ItemID());
    ASSERT_GE(rootItem, 0);
    EXPECT_EQ(view.Item(rootItem).Parent, -1);
    EXPECT_TRUE(view.Item(rootItem).Expanded);
    for (int i = 0; i < list.Count(); ++i) {
        auto *a = static_cast<TLDT3Base64AnlageNode *>(root->Childs(i));
        EXPECT_EQ(a->Anlage(), list.Items(i));
        EXPECT_EQ(a->Caption(), list.Items(i)->AnhangCaption());
        ASSERT_EQ(a->ChildCount(), 1);
        EXPECT_EQ(a->Base64FileNode(), a->Childs(0));
        EXPECT_EQ(a->Base64FileNode()->AnlageNode(), a);
        const int fileItem = view.ItemNo(a->Base64FileNode()->ItemID());
        ASSERT_GE(fileItem, 0);
        EXPECT_TRUE(view.Item(fileItem).Expanded);
        EXPECT_EQ(view.Item(fileItem).Parent, view.ItemNo(a->ItemID()));
        const QString saved = list.Items(i)->SavedToFileName();
        EXPECT_EQ(view.Item(fileItem).Text, saved.isEmpty() ? QStringLiteral("Noch nicht gespeichert") : saved);
    }

    // Saving renames the file item and scrolls it into view.
    TLDT3Base64Anlage *anlage = list.Items(0);
    TLDT3Base64FileNode *fileNode = static_cast<TLDT3Base64AnlageNode *>(root->Childs(0))->Base64FileNode();
    QTemporaryDir dir;
    const QString target = dir.filePath(QStringLiteral("anhang.pdf"));
    ASSERT_TRUE(anlage->SaveToFile(target));
    EXPECT_EQ(fileNode->Caption(), target);
    EXPECT_EQ(view.Item(view.ItemNo(fileNode->ItemID())).Text, target);
    EXPECT_EQ(view.ScrolledTo(), fileNode->ItemID());

    // Without a registered view no item changes.
    f.dp->SetTV(nullptr);
    const QString other = dir.filePath(QStringLiteral("anders.pdf"));
    ASSERT_TRUE(anlage->SaveToFile(other));
    EXPECT_EQ(view.Item(view.ItemNo(fileNode->ItemID())).Text, target);
    EXPECT_EQ(fileNode->FileName(), other);

    // The attachment outlives the tree: saving after the model is gone is safe.
    f.dp.reset();
    EXPECT_FALSE(anlage->OnSaveEvent());
    EXPECT_TRUE(anlage->SaveToFile(target));
}

// Lines without children are made into nodes when asked for: what the slot
// says before (field, line, children) is what the node says after, the node
// is made once, and a run of equal lines covers exactly the old run.
TEST(TVBase, LineNodesOnDemand)
{
    // Lines: 1-3 header, 4 8000, 5-7 8410, 8 8110, 9 8002, 10 9970, 11-12 6329,
    // 13 8003, 14-15 6329, 16 8410, 17 8001, 18-20 trailer.
    const QByteArray body = L(8410, "A") + L(8410, "A") + L(8410, "A")
                            + Obj(8110, "Anhang", "Obj_0010", L(9970, "1") + L(6329, "QUJD") + L(6329, "QUJD"))
                            + L(6329, "QUJD") + L(6329, "QUJD") + L(8410, "B");
    Loaded f(BefundFile(Befund(body)));
    ASSERT_TRUE(f.list.StructureOkay());
    ASSERT_TRUE(f.BuildAll());
    ASSERT_EQ(f.list.Count(), 20);

    // A line of the same field as the last run's first line starts no run,
    // even after the object's end (14, 15): each covers itself only.
    struct Case { int zeile; int size; const char *cls; };
    const Case cases[] = {
        {5, 3, "TLDT3LineNode"}, {6, 1, "TLDT3LineNode"}, {7, 1, "TLDT3LineNode"},
        {10, 1, "TLDT3LineNode"}, {11, 2, "TLDT3LineNode"}, {12, 1, "TLDT3LineNode"},
        {13, 1, "TLDT3ObjektEndeLineNode"}, {14, 1, "TLDT3LineNode"}, {15, 1, "TLDT3LineNode"},
        {16, 1, "TLDT3LineNode"}, {17, 1, "TLDT3SatzEndeLineNode"}, {8, 6, "TLDT3ObjektAttributeLineNode"},
    };
    for (const Case &c : cases) {
        TLDT3LineNode *n = f.Node(c.zeile);
        ASSERT_NE(n, nullptr) << c.zeile;
        EXPECT_EQ(n->NodeSize(), c.size) << c.zeile;
        EXPECT_EQ(ClassName(n), QLatin1String(c.cls)) << c.zeile;
        EXPECT_EQ(f.Node(c.zeile), n) << "made twice: " << c.zeile;
    }

    // Every child of every node in the samples: the slot and the node agree.
    for (const QString &file : testutil::SampleFiles()) {
        SCOPED_TRACE(file.toStdString());
        Loaded s(file);
        ASSERT_TRUE(s.BuildAll());
        std::vector<TLDT3LineNode *> stack{s.dp->LDTRoot()};
        while (!stack.empty()) {
            TLDT3LineNode *n = stack.back();
            stack.pop_back();
            for (int i = 0; i < n->ChildCount(); ++i) {
                const int idx = n->ChildLineIdx(i);
                const int fk = n->ChildFK(i);
                const QString inhalt = n->ChildInhalt(i);
                const bool hasChilds = n->ChildHasChilds(i);
                TLDT3LineNode *c = n->Childs(i);
                ASSERT_EQ(c->StartIdx(), idx);
                ASSERT_EQ(c->FK(), fk);
                ASSERT_EQ(c->Inhalt(), inhalt);
                ASSERT_EQ(c->HasChilds(), hasChilds);
                ASSERT_EQ(n->Childs(i), c);
                if (hasChilds)
                    stack.push_back(c);
            }
            EXPECT_THROW(n->ChildFK(n->ChildCount()), std::out_of_range);
            EXPECT_THROW(n->ChildLineIdx(-1), std::out_of_range);
        }
    }
}

// Two threads asking for the same lines at once get the same nodes.
TEST(TVBase, LineNodesOnDemandFromTwoThreads)
{
    Loaded f(Base64RunFile());
    ASSERT_TRUE(f.BuildAll());
    TLDT3LineNode *rec = f.Node(4);
    ASSERT_NE(rec, nullptr);
    const int n = rec->ChildCount();
    ASSERT_GT(n, 900);
    std::vector<TLDT3Node *> a(static_cast<std::size_t>(n)), b(static_cast<std::size_t>(n));
    std::thread t([&] {
        for (int i = 0; i < n; ++i)
            a[size_t(i)] = rec->Childs(i);
    });
    for (int i = n - 1; i >= 0; --i)
        b[size_t(i)] = rec->Childs(i);
    t.join();
    for (int i = 0; i < n; ++i) {
        ASSERT_EQ(a[size_t(i)], b[size_t(i)]) << i;
        ASSERT_EQ(a[size_t(i)]->Parent(), rec);
        ASSERT_EQ(a[size_t(i)]->ChildIdx(), i);
    }
}

// A record left open at the end of the file is not reported by the build: it
// stays a node with the lines read so far, and the closed object in it is
// read from its lines, initialised like any other.
TEST(TVBase, RecordOpenAtTheEndKeepsItsClosedObjects)
{
    const QByteArray bytes = Rec("8230", L(1, "LDT3.2.4")) + L(8000, "8215")
                             + Obj(8113, "Auftragsinformation", "Obj_0013", L(8310, "A1")) + L(8410, "x");
    Loaded f(bytes);
    RecordingSink sink;
    TestDatenpaket dp(&f.list);
    ASSERT_TRUE(dp.RunBuild()) << dp.BuildError().toStdString();
    EXPECT_TRUE(sink.Texts.isEmpty());
    TLDT3RootNode *root = dp.LDTRoot();
    ASSERT_EQ(root->ChildCount(), 2);
    auto *rec = dynamic_cast<TLDT3SatzArt8215LineNode *>(root->Childs(1));
    ASSERT_NE(rec, nullptr);
    EXPECT_EQ(rec->EndeIdx(), rec->StartIdx());
    ASSERT_EQ(rec->ChildCount(), 2);
    EXPECT_TRUE(rec->ChildHasChilds(0));
    EXPECT_FALSE(rec->ChildHasChilds(1));
    TLDT3LineNode *attr = rec->Childs(0);
    EXPECT_EQ(attr->Zeile(), 5);
    EXPECT_EQ(attr->EndeIdx(), 7); // the object end, line 8
    ASSERT_NE(rec->Auftragsinformation(), nullptr);
    EXPECT_EQ(rec->Auftragsinformation()->Auftragsnummer_des_Einsenders(), QStringLiteral("A1"));
    EXPECT_EQ(rec->Caption(), GetLDT3FeldDict()->GetBedeutung(8000, QStringLiteral("8215")) + QStringLiteral(" [A1]"));
    EXPECT_EQ(attr->Caption(), QStringLiteral("Auftragsinformation [A1]"));
    EXPECT_EQ(CountNodes(rec), 5);
    EXPECT_EQ(root->Caption(), QStringLiteral("Ungültige LDT-Datei"));
}

namespace {
// The nodes below ANode, made in child order: "line[:lines covered](children)",
// e.g. "4(5:2 6)". Each node is checked for its place and its class.
QString Shape(const TLDT3LineNode *ANode)
{
    QStringList parts;
    for (int i = 0; i < ANode->ChildCount(); ++i) {
        const TLDT3LineNode *c = ANode->Childs(i);
        EXPECT_EQ(c->Parent(), ANode);
        EXPECT_EQ(c->ChildIdx(), i);
        EXPECT_EQ(c->ClassType(), TLDT3LineNode::GetLDT3LineNodeClass(c->FK(), c->Inhalt())) << c->Zeile();
        QString s = QString::number(c->Zeile());
        if (c->NodeSize() != 1)
            s += QLatin1Char(':') + QString::number(c->NodeSize());
        if (c->HasChilds())
            s += QLatin1Char('(') + Shape(c) + QLatin1Char(')');
        parts << s;
    }
    return parts.join(QLatin1Char(' '));
}
} // namespace

// A build that stops deep inside a record keeps the nodes still open and the
// node closed by the error with exactly the lines read into them, closed
// objects among them read from their lines; the message names the lines.
TEST(TVBase, BuildErrorsDeepInsideKeepTheLinesRead)
{
    // Lines 1-3 closed header, 4 record, 5-6 a run, 7 attribute, 8 its object,
    // 9-12 a closed attribute and object, 13 attribute, 14 its object, 15-16 a
    // run, 17 a single line; the case's lines from 18 on.
    const QByteArray head = Rec("8230", L(1, "LDT3.2.4")) + L(8000, "8215") + L(8410, "x") + L(8410, "y")
                            + L(8145, "Patient") + L(8002, "Obj_0045")
                            + Obj(8147, "Person", "Obj_0047", L(3102, "Z")) + L(8147, "Person") + L(8002, "Obj_0047")
                            + L(3101, "A") + L(3101, "B") + L(3102, "C");
    const QByteArray closeAll = L(8003, "Obj_0047") + L(8003, "Obj_0045") + L(8001, "8215");
    struct Case {
        const char *name;
        QByteArray tail;
        const char *error; // empty: the build ends with the file
        const char *shape;
    };
    const Case cases[] = {
        {"record inside an object", L(8000, "8205"), "Satzart an falscher Position",
         "1:3(2 3) 4(5:2 6 7(8(9:4(10:3(11 12)) 13(14(15:2 16 17)))))"},
        {"record end inside an object", L(8001, "8215"), "Unerwartetes Satzende \"8215\".",
         "1:3(2 3) 4(5:2 6 7(8(9:4(10:3(11 12)) 13(14:5(15:2 16 17 18)))))"},
        {"object without attribute", L(8002, "Obj_0045"), "Fehlendes Objektattribut für Objektident",
         "1:3(2 3) 4(5:2 6 7(8(9:4(10:3(11 12)) 13(14(15:2 16 17)))))"},
        {"object other than the follow object", L(8147, "Person") + L(8002, "Obj_0045"),
         "Falsches Objekt: \"Obj_0045\" für Attribut \"Person\" Erwartet: \"Obj_0047\"",
         "1:3(2 3) 4(5:2 6 7(8(9:4(10:3(11 12)) 13(14(15:2 16 17 18(19))))))"},
        {"object named longer than the follow object", L(8147, "Person") + L(8002, "Obj_00470"),
         "Falsches Objekt: \"Obj_00470\" für Attribut \"Person\" Erwartet: \"Obj_0047\"",
         "1:3(2 3) 4(5:2 6 7(8(9:4(10:3(11 12)) 13(14(15:2 16 17 18(19))))))"},
        {"object under an attribute without follow object", L(8100, "x") + L(8002, "Obj_0045"),
         "Falsches Objekt: \"Obj_0045\" für Attribut \"x\" Erwartet: \"\"",
         "1:3(2 3) 4(5:2 6 7(8(9:4(10:3(11 12)) 13(14(15:2 16 17 18(19))))))"},
        {"object end naming another object", L(8003, "Obj_0045"),
         "Falsches Objektende: \"Obj_0045\". Erwartet: \"Obj_0047\"",
         "1:3(2 3) 4(5:2 6 7(8(9:4(10:3(11 12)) 13(14:5(15:2 16 17 18)))))"},
        {"object end with an attribute open", L(8147, "Person") + L(8003, "Obj_0047"),
         "Unerwartetes Objektende: \"Obj_0047\"",
         "1:3(2 3) 4(5:2 6 7(8(9:4(10:3(11 12)) 13(14(15:2 16 17 18:2(19))))))"},
        {"record end with an attribute open", L(8147, "Person") + L(8001, "8215"),
         "Unerwartetes Satzende \"8215\".",
         "1:3(2 3) 4(5:2 6 7(8(9:4(10:3(11 12)) 13(14(15:2 16 17 18:2(19))))))"},
        {"plain line after an attribute", L(8147, "Person") + L(3101, "N"),
         "Fehlendes Objekt für Attribut \"Person\" in Zeile 18.",
         "1:3(2 3) 4(5:2 6 7(8(9:4(10:3(11 12)) 13(14(15:2 16 17 18)))))"},
        {"wrong record end after closed objects", L(8003, "Obj_0047") + L(8003, "Obj_0045") + L(8001, "8205"),
         "Falsches Satzende. Erwartet: \"8215\"",
         "1:3(2 3) 4:17(5:2 6 7:13(8:12(9:4(10:3(11 12)) 13:6(14:5(15:2 16 17 18)) 19)) 20)"},
        {"record end after the record", closeAll + L(8001, "8215"), "Fehlende Satzart für Satzende",
         "1:3(2 3) 4:17(5:2 6 7:13(8:12(9:4(10:3(11 12)) 13:6(14:5(15:2 16 17 18)) 19)) 20)"},
        {"object after the record", closeAll + L(8002, "Obj_0045"), "Fehlende Satzart für Objektident",
         "1:3(2 3) 4:17(5:2 6 7:13(8:12(9:4(10:3(11 12)) 13:6(14:5(15:2 16 17 18)) 19)) 20)"},
        {"object end after the record", closeAll + L(8003, "Obj_0045"), "Fehlende Satzart für Objektende",
         "1:3(2 3) 4:17(5:2 6 7:13(8:12(9:4(10:3(11 12)) 13:6(14:5(15:2 16 17 18)) 19)) 20)"},
        {"file ends inside the objects", L(3102, "D") + L(3102, "E"), "",
         "1:3(2 3) 4(5:2 6 7(8(9:4(10:3(11 12)) 13(14(15:2 16 17 18 19)))))"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        Loaded f(head + c.tail);
        ASSERT_TRUE(f.loaded);
        RecordingSink sink;
        TestDatenpaket dp(&f.list);
        EXPECT_EQ(dp.RunBuild(), !*c.error);
        EXPECT_EQ(dp.BuildError(), QString::fromUtf8(c.error));
        EXPECT_EQ(Shape(dp.LDTRoot()), QLatin1String(c.shape));
    }
}
