#include "LDT3.TVBase.h"

#include "LDT3.Anlagen.h"
#include "LDT3.Feld.h"
#include "LDT3.FilePtrList.h"
#include "LDT3.TVObjects.h"
#include "Vex_MessageSink.h"
#include "WStrTools.h"

#include <QCoreApplication>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <new>
#include <stdexcept>

// ---------------------------------------------------------------------------
// Node pool: free lists of small blocks in 8-byte steps, carved from 64 KiB
// pages. Pages live as long as the process and are reused by the next tree.

namespace {

class TNodePool
{
public:
    static constexpr std::size_t kStep = 8;
    static constexpr std::size_t kMaxBlock = 512;
    static constexpr std::size_t kPageSize = 64 * 1024;

    void *Alloc(std::size_t ASize)
    {
        if (ASize > kMaxBlock)
            return ::operator new(ASize);
        const std::size_t cls = ClassOf(ASize);
        std::lock_guard<std::mutex> guard(FMutex);
        TFree *f = FFree[cls];
        if (f) {
            FFree[cls] = f->Next;
            return f;
        }
        const std::size_t block = (cls + 1) * kStep;
        if (FPageRest < block) {
            FPagePos = static_cast<char *>(std::malloc(kPageSize));
            if (!FPagePos)
                throw std::bad_alloc();
            FPageRest = kPageSize;
            FBytes += kPageSize;
        }
        void *p = FPagePos;
        FPagePos += block;
        FPageRest -= block;
        return p;
    }

    void Free(void *P, std::size_t ASize) noexcept
    {
        if (!P)
            return;
        if (ASize > kMaxBlock) {
            ::operator delete(P);
            return;
        }
        const std::size_t cls = ClassOf(ASize);
        std::lock_guard<std::mutex> guard(FMutex);
        TFree *f = static_cast<TFree *>(P);
        f->Next = FFree[cls];
        FFree[cls] = f;
    }

    std::size_t Bytes()
    {
        std::lock_guard<std::mutex> guard(FMutex);
        return FBytes;
    }

private:
    struct TFree
    {
        TFree *Next;
    };
    static std::size_t ClassOf(std::size_t ASize) { return ASize == 0 ? 0 : (ASize - 1) / kStep; }

    std::mutex FMutex;
    TFree *FFree[kMaxBlock / kStep] = {};
    char *FPagePos = nullptr;
    std::size_t FPageRest = 0;
    std::size_t FBytes = 0;
};

TNodePool &Pool()
{
    // Never destroyed: nodes of static trees may die after it otherwise.
    static TNodePool *pool = new TNodePool;
    return *pool;
}

// Child arrays hold a power-of-two number of slots; small ones come from the pool.
std::size_t SlotsFor(int ACount)
{
    std::size_t n = 1;
    while (n < std::size_t(ACount))
        n <<= 1;
    return n;
}

TLDT3Node **AllocSlots(std::size_t ASlots)
{
    return static_cast<TLDT3Node **>(Pool().Alloc(ASlots * sizeof(TLDT3Node *)));
}

void FreeSlots(TLDT3Node **P, int ACount)
{
    if (P)
        Pool().Free(P, SlotsFor(ACount) * sizeof(TLDT3Node *));
}

const TLDT3FeldDict &FeldDict() { return *GetLDT3FeldDict(); }

const TLDT3Base64AnlagenList *AnlagenOf(const TLDT3FilePtrList *APtrList)
{
    return APtrList ? &APtrList->Base64AnalgenList() : nullptr;
}

} // namespace

std::size_t LDT3NodePoolBytes() { return Pool().Bytes(); }

// ---------------------------------------------------------------------------
// Class references

bool TLDT3NodeClassRec::InheritsFrom(const TLDT3NodeClassRec *AClass) const
{
    for (const TLDT3NodeClassRec *c = this; c; c = c->Parent)
        if (c == AClass)
            return true;
    return false;
}

#define LDT3_DEFINE_NODE_CLASS(Cls, Base)                                                          \
    TLDT3NodeClass Cls::Class()                                                                    \
    {                                                                                              \
        static const TLDT3NodeClassRec rec = {#Cls, Base::Class(), []() -> TLDT3Node * { return new Cls(); }}; \
        return &rec;                                                                               \
    }

TLDT3NodeClass TLDT3Node::Class()
{
    static const TLDT3NodeClassRec rec = {"TLDT3Node", nullptr, []() { return new TLDT3Node(); }};
    return &rec;
}

LDT3_DEFINE_NODE_CLASS(TLDT3LineNode, TLDT3Node)
LDT3_DEFINE_NODE_CLASS(TLDT3LineEmptyNode, TLDT3LineNode)
LDT3_DEFINE_NODE_CLASS(TLDT3SatzEndeLineNode, TLDT3LineNode)
LDT3_DEFINE_NODE_CLASS(TLDT3ObjektEndeLineNode, TLDT3LineNode)
LDT3_DEFINE_NODE_CLASS(TLDT3ObjektAttributeLineNode, TLDT3LineNode)
LDT3_DEFINE_NODE_CLASS(TLDT3ObjektIdentLineNode, TLDT3LineNode)
LDT3_DEFINE_NODE_CLASS(TLDT3SatzArtLineNode, TLDT3LineNode)
LDT3_DEFINE_NODE_CLASS(TLDT3RootNode, TLDT3LineNode)
LDT3_DEFINE_NODE_CLASS(TLDT3Base64AnlageNode, TLDT3Node)
LDT3_DEFINE_NODE_CLASS(TLDT3Base64FileNode, TLDT3Node)
LDT3_DEFINE_NODE_CLASS(TLDT3Base64RootNode, TLDT3Node)
LDT3_DEFINE_NODE_CLASS(TLDT3LineErrorNode, TLDT3Node)
LDT3_DEFINE_NODE_CLASS(TLDT3ErrorRootNode, TLDT3LineErrorNode)

// The object and record classes, defined here so that one table maps them.
LDT3_DEFINE_NODE_CLASS(TLDT3ObjektIdent0010LineNode, TLDT3ObjektIdentLineNode)
LDT3_DEFINE_NODE_CLASS(TLDT3ObjektIdent0013LineNode, TLDT3ObjektIdentLineNode)
LDT3_DEFINE_NODE_CLASS(TLDT3ObjektIdent0014LineNode, TLDT3ObjektIdentLineNode)
LDT3_DEFINE_NODE_CLASS(TLDT3ObjektIdent0017LineNode, TLDT3ObjektIdentLineNode)
LDT3_DEFINE_NODE_CLASS(TLDT3ObjektIdent0022LineNode, TLDT3ObjektIdentLineNode)
LDT3_DEFINE_NODE_CLASS(TLDT3ObjektIdent0032LineNode, TLDT3ObjektIdentLineNode)
LDT3_DEFINE_NODE_CLASS(TLDT3ObjektIdent0036LineNode, TLDT3ObjektIdentLineNode)
LDT3_DEFINE_NODE_CLASS(TLDT3ObjektIdent0037LineNode, TLDT3ObjektIdentLineNode)
LDT3_DEFINE_NODE_CLASS(TLDT3ObjektIdent0043LineNode, TLDT3ObjektIdentLineNode)
LDT3_DEFINE_NODE_CLASS(TLDT3ObjektIdent0045LineNode, TLDT3ObjektIdentLineNode)
LDT3_DEFINE_NODE_CLASS(TLDT3ObjektIdent0047LineNode, TLDT3ObjektIdentLineNode)
LDT3_DEFINE_NODE_CLASS(TLDT3ObjektIdent0054LineNode, TLDT3ObjektIdentLineNode)
LDT3_DEFINE_NODE_CLASS(TLDT3ObjektIdent0059LineNode, TLDT3ObjektIdentLineNode)
LDT3_DEFINE_NODE_CLASS(TLDT3ObjektIdent0060LineNode, TLDT3ObjektIdent0059LineNode)
LDT3_DEFINE_NODE_CLASS(TLDT3ObjektIdent0069LineNode, TLDT3ObjektIdentLineNode)
LDT3_DEFINE_NODE_CLASS(TLDT3SatzArt8205LineNode, TLDT3SatzArtLineNode)
LDT3_DEFINE_NODE_CLASS(TLDT3SatzArt8215LineNode, TLDT3SatzArtLineNode)
LDT3_DEFINE_NODE_CLASS(TLDT3SatzArt8220LineNode, TLDT3SatzArtLineNode)
LDT3_DEFINE_NODE_CLASS(TLDT3SatzArt8221LineNode, TLDT3SatzArtLineNode)
LDT3_DEFINE_NODE_CLASS(TLDT3SatzArt8230LineNode, TLDT3SatzArtLineNode)
LDT3_DEFINE_NODE_CLASS(TLDT3SatzArt8231LineNode, TLDT3SatzArtLineNode)

namespace {
const char *const kPlainObjektClassNames[] = {
    "TLDT3ObjektIdent0001LineNode", "TLDT3ObjektIdent0002LineNode", "TLDT3ObjektIdent0003LineNode",
    "TLDT3ObjektIdent0004LineNode", "TLDT3ObjektIdent0005LineNode", "TLDT3ObjektIdent0006LineNode",
    "TLDT3ObjektIdent0007LineNode", "TLDT3ObjektIdent0008LineNode", "TLDT3ObjektIdent0011LineNode",
    "TLDT3ObjektIdent0019LineNode", "TLDT3ObjektIdent0026LineNode", "TLDT3ObjektIdent0027LineNode",
    "TLDT3ObjektIdent0031LineNode", "TLDT3ObjektIdent0034LineNode", "TLDT3ObjektIdent0035LineNode",
    "TLDT3ObjektIdent0040LineNode", "TLDT3ObjektIdent0041LineNode", "TLDT3ObjektIdent0042LineNode",
    "TLDT3ObjektIdent0048LineNode", "TLDT3ObjektIdent0050LineNode", "TLDT3ObjektIdent0051LineNode",
    "TLDT3ObjektIdent0053LineNode", "TLDT3ObjektIdent0055LineNode", "TLDT3ObjektIdent0056LineNode",
    "TLDT3ObjektIdent0058LineNode", "TLDT3ObjektIdent0061LineNode", "TLDT3ObjektIdent0062LineNode",
    "TLDT3ObjektIdent0063LineNode", "TLDT3ObjektIdent0068LineNode", "TLDT3ObjektIdent0070LineNode",
    "TLDT3ObjektIdent0071LineNode", "TLDT3ObjektIdent0100LineNode",
};
const int kPlainObjektNumbers[] = {1,  2,  3,  4,  5,  6,  7,  8,  11, 19, 26, 27, 31, 34, 35, 40,
                                   41, 42, 48, 50, 51, 53, 55, 56, 58, 61, 62, 63, 68, 70, 71, 100};
static_assert(std::size(kPlainObjektClassNames) == std::size(kPlainObjektNumbers));

const char *PlainObjektClassName(int N)
{
    for (std::size_t i = 0; i < std::size(kPlainObjektNumbers); ++i)
        if (kPlainObjektNumbers[i] == N)
            return kPlainObjektClassNames[i];
    return "TLDT3ObjektIdentLineNode";
}
} // namespace

template <int N>
TLDT3NodeClass TLDT3ObjektIdentPlainLineNode<N>::Class()
{
    static const TLDT3NodeClassRec rec = {PlainObjektClassName(N), TLDT3ObjektIdentLineNode::Class(),
                                          []() -> TLDT3Node * { return new TLDT3ObjektIdentPlainLineNode<N>(); }};
    return &rec;
}

#define LDT3_PLAIN_OBJEKT_INST(N) template class TLDT3ObjektIdentPlainLineNode<N>;
LDT3_PLAIN_OBJEKT_INST(1) LDT3_PLAIN_OBJEKT_INST(2) LDT3_PLAIN_OBJEKT_INST(3) LDT3_PLAIN_OBJEKT_INST(4)
LDT3_PLAIN_OBJEKT_INST(5) LDT3_PLAIN_OBJEKT_INST(6) LDT3_PLAIN_OBJEKT_INST(7) LDT3_PLAIN_OBJEKT_INST(8)
LDT3_PLAIN_OBJEKT_INST(11) LDT3_PLAIN_OBJEKT_INST(19) LDT3_PLAIN_OBJEKT_INST(26) LDT3_PLAIN_OBJEKT_INST(27)
LDT3_PLAIN_OBJEKT_INST(31) LDT3_PLAIN_OBJEKT_INST(34) LDT3_PLAIN_OBJEKT_INST(35) LDT3_PLAIN_OBJEKT_INST(40)
LDT3_PLAIN_OBJEKT_INST(41) LDT3_PLAIN_OBJEKT_INST(42) LDT3_PLAIN_OBJEKT_INST(48) LDT3_PLAIN_OBJEKT_INST(50)
LDT3_PLAIN_OBJEKT_INST(51) LDT3_PLAIN_OBJEKT_INST(53) LDT3_PLAIN_OBJEKT_INST(55) LDT3_PLAIN_OBJEKT_INST(56)
LDT3_PLAIN_OBJEKT_INST(58) LDT3_PLAIN_OBJEKT_INST(61) LDT3_PLAIN_OBJEKT_INST(62) LDT3_PLAIN_OBJEKT_INST(63)
LDT3_PLAIN_OBJEKT_INST(68) LDT3_PLAIN_OBJEKT_INST(70) LDT3_PLAIN_OBJEKT_INST(71) LDT3_PLAIN_OBJEKT_INST(100)
#undef LDT3_PLAIN_OBJEKT_INST

// ---------------------------------------------------------------------------
// TLDT3Node

void *TLDT3Node::operator new(std::size_t ASize) { return Pool().Alloc(ASize); }

void TLDT3Node::operator delete(void *P, std::size_t ASize) noexcept { Pool().Free(P, ASize); }

TLDT3Node::~TLDT3Node()
{
    if (FChildCount > 0)
        FreeChilds();
    else
        DetachChildArray();
}

void TLDT3Node::DetachChildArray()
{
    FreeSlots(FChilds, FChildCount);
    FChilds = nullptr;
    FChildCount = 0;
}

// Frees the subtree without recursion: every node is emptied of its children
// before its destructor runs.
void TLDT3Node::FreeChilds()
{
    std::vector<TLDT3Node *> pending(FChilds, FChilds + FChildCount);
    DetachChildArray();
    while (!pending.empty()) {
        TLDT3Node *n = pending.back();
        pending.pop_back();
        pending.insert(pending.end(), n->FChilds, n->FChilds + n->FChildCount);
        n->DetachChildArray();
        delete n;
    }
}

void TLDT3Node::CreateLDT3Node(TLDT3NodeClass AInstanceClass, std::unique_ptr<TLDT3Node> &AReference)
{
    AReference.reset();
    AReference.reset(AInstanceClass->NewInstance());
}

void TLDT3Node::RaiseError(const QString &AMsg) { throw ELDT3Error(AMsg); }

void TLDT3Node::AddChild(TLDT3Node *ANode)
{
    if (!ANode)
        return;
    // A full array (its count is zero or a power of two) doubles.
    if (FChildCount == 0 || (FChildCount & (FChildCount - 1)) == 0) {
        const std::size_t newSlots = FChildCount == 0 ? 1 : std::size_t(FChildCount) * 2;
        TLDT3Node **p = AllocSlots(newSlots);
        if (FChildCount > 0)
            std::memcpy(p, FChilds, sizeof(TLDT3Node *) * FChildCount);
        FreeSlots(FChilds, FChildCount);
        FChilds = p;
    }
    ANode->FChildIdx = FChildCount;
    FChilds[FChildCount++] = ANode;
}

TLDT3Node *TLDT3Node::GetChilds(int Index) const
{
    if (Index < 0 || Index >= FChildCount)
        throw std::out_of_range("TLDT3Node::Childs: index out of range");
    return FChilds[Index];
}

void TLDT3Node::InitNode()
{
    // Post-order walk with an explicit stack of (node, next child).
    std::vector<std::pair<TLDT3Node *, int>> stack;
    stack.emplace_back(this, 0);
    while (!stack.empty()) {
        auto &[n, next] = stack.back();
        if (next < n->FChildCount) {
            TLDT3Node *c = n->FChilds[next++];
            stack.emplace_back(c, 0);
            continue;
        }
        TLDT3Node *done = n;
        stack.pop_back();
        done->InitNodeSelf();
    }
}

bool TLDT3Node::GetRelNode(const TLDT3Node *ANode, int ADistance, TLDT3Node *&ARelNode) const
{
    if (ADistance == 0) {
        ARelNode = const_cast<TLDT3Node *>(ANode);
        return true;
    }
    ARelNode = nullptr;
    if (!ANode || ANode->FChildIdx < 0)
        return false;
    const qint64 pos = qint64(ANode->FChildIdx) + ADistance;
    if (pos < 0 || pos >= FChildCount)
        return false;
    ARelNode = FChilds[pos];
    return true;
}

// ---------------------------------------------------------------------------
// TLDT3LineNode

void TLDT3LineNode::CreateLDT3LineNode(TLDT3LineNodeClass AInstanceClass, std::unique_ptr<TLDT3LineNode> &AReference)
{
    AReference.reset();
    if (!AInstanceClass->InheritsFrom(TLDT3LineNode::Class()))
        RaiseError(QStringLiteral("Keine Zeilenknotenklasse: ") + QLatin1String(AInstanceClass->ClassName));
    AReference.reset(static_cast<TLDT3LineNode *>(AInstanceClass->NewInstance()));
}

namespace {
TLDT3LineNodeClass ObjektClass(int ANumber)
{
    switch (ANumber) {
    case 1: return TLDT3ObjektIdent0001LineNode::Class();
    case 2: return TLDT3ObjektIdent0002LineNode::Class();
    case 3: return TLDT3ObjektIdent0003LineNode::Class();
    case 4: return TLDT3ObjektIdent0004LineNode::Class();
    case 5: return TLDT3ObjektIdent0005LineNode::Class();
    case 6: return TLDT3ObjektIdent0006LineNode::Class();
    case 7: return TLDT3ObjektIdent0007LineNode::Class();
    case 8: return TLDT3ObjektIdent0008LineNode::Class();
    case 10: return TLDT3ObjektIdent0010LineNode::Class();
    case 11: return TLDT3ObjektIdent0011LineNode::Class();
    case 13: return TLDT3ObjektIdent0013LineNode::Class();
    case 14: return TLDT3ObjektIdent0014LineNode::Class();
    case 17: return TLDT3ObjektIdent0017LineNode::Class();
    case 19: return TLDT3ObjektIdent0019LineNode::Class();
    case 22: return TLDT3ObjektIdent0022LineNode::Class();
    case 26: return TLDT3ObjektIdent0026LineNode::Class();
    case 27: return TLDT3ObjektIdent0027LineNode::Class();
    case 31: return TLDT3ObjektIdent0031LineNode::Class();
    case 32: return TLDT3ObjektIdent0032LineNode::Class();
    case 34: return TLDT3ObjektIdent0034LineNode::Class();
    case 35: return TLDT3ObjektIdent0035LineNode::Class();
    case 36: return TLDT3ObjektIdent0036LineNode::Class();
    case 37: return TLDT3ObjektIdent0037LineNode::Class();
    case 40: return TLDT3ObjektIdent0040LineNode::Class();
    case 41: return TLDT3ObjektIdent0041LineNode::Class();
    case 42: return TLDT3ObjektIdent0042LineNode::Class();
    case 43: return TLDT3ObjektIdent0043LineNode::Class();
    case 45: return TLDT3ObjektIdent0045LineNode::Class();
    case 47: return TLDT3ObjektIdent0047LineNode::Class();
    case 48: return TLDT3ObjektIdent0048LineNode::Class();
    case 50: return TLDT3ObjektIdent0050LineNode::Class();
    case 51: return TLDT3ObjektIdent0051LineNode::Class();
    case 53: return TLDT3ObjektIdent0053LineNode::Class();
    case 54: return TLDT3ObjektIdent0054LineNode::Class();
    case 55: return TLDT3ObjektIdent0055LineNode::Class();
    case 56: return TLDT3ObjektIdent0056LineNode::Class();
    case 58: return TLDT3ObjektIdent0058LineNode::Class();
    case 59: return TLDT3ObjektIdent0059LineNode::Class();
    case 60: return TLDT3ObjektIdent0060LineNode::Class();
    case 61: return TLDT3ObjektIdent0061LineNode::Class();
    case 62: return TLDT3ObjektIdent0062LineNode::Class();
    case 63: return TLDT3ObjektIdent0063LineNode::Class();
    case 68: return TLDT3ObjektIdent0068LineNode::Class();
    case 69: return TLDT3ObjektIdent0069LineNode::Class();
    case 70: return TLDT3ObjektIdent0070LineNode::Class();
    case 71: return TLDT3ObjektIdent0071LineNode::Class();
    case 100: return TLDT3ObjektIdent0100LineNode::Class();
    default: return TLDT3ObjektIdentLineNode::Class();
    }
}

TLDT3LineNodeClass SatzArtClass(int ASatzArt)
{
    switch (ASatzArt) {
    case 8205: return TLDT3SatzArt8205LineNode::Class();
    case 8215: return TLDT3SatzArt8215LineNode::Class();
    case 8220: return TLDT3SatzArt8220LineNode::Class();
    case 8221: return TLDT3SatzArt8221LineNode::Class();
    case 8230: return TLDT3SatzArt8230LineNode::Class();
    case 8231: return TLDT3SatzArt8231LineNode::Class();
    default: return TLDT3SatzArtLineNode::Class();
    }
}

int StrToIntDef(const QString &S, int ADefault)
{
    bool ok = false;
    const int n = S.toInt(&ok);
    return ok ? n : ADefault;
}
} // namespace

TLDT3LineNodeClass TLDT3LineNode::GetLDT3LineNodeClass(int AFK, const QString &AInhalt)
{
    switch (TLDT3::GetFKTyp(AFK)) {
    case TLDT3::fkt_SatzArt:
        return SatzArtClass(StrToIntDef(AInhalt, -1));
    case TLDT3::fkt_SatzEnde:
        return TLDT3SatzEndeLineNode::Class();
    case TLDT3::fkt_ObjektIdent:
        return ObjektClass(TLDT3::GetObjektNumber(AInhalt, -1));
    case TLDT3::fkt_ObjektEnde:
        return TLDT3ObjektEndeLineNode::Class();
    case TLDT3::fkt_ObjektAttribut:
        return TLDT3ObjektAttributeLineNode::Class();
    default:
        return (AFK == 0 && AInhalt.isEmpty()) ? TLDT3LineEmptyNode::Class() : TLDT3LineNode::Class();
    }
}

TLDT3LineNode *TLDT3LineNode::AddLine(const TLDT3FilePtrList *APtrList, int ALineIdx)
{
    const int fk = APtrList->FK(ALineIdx);
    // Only records, objects and FK 0 choose their class by the content; the
    // others need no text, which keeps building large files cheap.
    QString inhalt;
    const TLDT3::TFKTyp typ = TLDT3::GetFKTyp(fk);
    if (typ == TLDT3::fkt_SatzArt || typ == TLDT3::fkt_ObjektIdent || (fk == 0 && APtrList->LenInhalt(ALineIdx) > 0))
        inhalt = APtrList->Inhalt(ALineIdx);
    std::unique_ptr<TLDT3LineNode> node;
    CreateLDT3LineNode(GetLDT3LineNodeClass(fk, inhalt), node);
    node->SetLine(APtrList, ALineIdx);
    TLDT3LineNode *result = node.get();
    AddChild(node.release());
    return result;
}

int TLDT3LineNode::FK() const { return FPtrList->FK(FStartIdx); }

QString TLDT3LineNode::Inhalt() const { return FPtrList->Inhalt(FStartIdx); }

bool TLDT3LineNode::CheckSatzArt(const QString &AInhalt) const
{
    if (!FPtrList || FStartIdx < 0 || FStartIdx >= FPtrList->Count())
        return false;
    return FPtrList->CheckSatzArt(FStartIdx, AInhalt);
}

bool TLDT3LineNode::CheckSatzEnde(const QString &AInhalt) const
{
    if (!FPtrList || FStartIdx < 0 || FStartIdx >= FPtrList->Count())
        return false;
    return FPtrList->CheckSatzEnde(FStartIdx, AInhalt);
}

int TLDT3LineNode::CountChildNodes(int AFK) const
{
    int n = 0;
    for (int i = 0; i < ChildCount(); ++i)
        n += Childs(i)->FK() == AFK;
    return n;
}

int TLDT3LineNode::CountChildNodesInhalt(int AFK, const QString &AInhalt) const
{
    int n = 0;
    for (int i = 0; i < ChildCount(); ++i)
        n += Childs(i)->FK() == AFK && Childs(i)->Inhalt() == AInhalt;
    return n;
}

QList<TLDT3LineNode *> TLDT3LineNode::FindChildNodes(int AFK) const
{
    QList<TLDT3LineNode *> r;
    for (int i = 0; i < ChildCount(); ++i)
        if (Childs(i)->FK() == AFK)
            r << Childs(i);
    return r;
}

QList<TLDT3LineNode *> TLDT3LineNode::FindChildNodesInhalt(int AFK, const QString &AInhalt) const
{
    QList<TLDT3LineNode *> r;
    for (int i = 0; i < ChildCount(); ++i)
        if (Childs(i)->FK() == AFK && Childs(i)->Inhalt() == AInhalt)
            r << Childs(i);
    return r;
}

bool TLDT3LineNode::FindSingleNode(int AFK, TLDT3LineNode *&ANode) const
{
    ANode = nullptr;
    TLDT3LineNode *found = nullptr;
    for (int i = 0; i < ChildCount(); ++i) {
        if (Childs(i)->FK() != AFK)
            continue;
        if (found)
            return false;
        found = Childs(i);
    }
    ANode = found;
    return found != nullptr;
}

bool TLDT3LineNode::FindSingleNodeInhalt(int AFK, const QString &AInhalt, TLDT3LineNode *&ANode) const
{
    ANode = nullptr;
    TLDT3LineNode *found = nullptr;
    for (int i = 0; i < ChildCount(); ++i) {
        if (Childs(i)->FK() != AFK || Childs(i)->Inhalt() != AInhalt)
            continue;
        if (found)
            return false;
        found = Childs(i);
    }
    ANode = found;
    return found != nullptr;
}

QString TLDT3LineNode::SingleNodeInhalt(int AFK) const
{
    TLDT3LineNode *n = nullptr;
    return FindSingleNode(AFK, n) ? n->Inhalt() : QString();
}

QStringList TLDT3LineNode::ArrNodeInhalt(int AFK) const
{
    QStringList r;
    for (int i = 0; i < ChildCount(); ++i)
        if (Childs(i)->FK() == AFK)
            r << Childs(i)->Inhalt();
    return r;
}

bool TLDT3LineNode::GetObjektFromAttributNode(const TLDT3LineNode *ANode, TLDT3ObjektIdentLineNode *&AObjNode)
{
    AObjNode = nullptr;
    if (!ANode || !dynamic_cast<const TLDT3ObjektAttributeLineNode *>(ANode) || !ANode->HasChilds())
        return false;
    AObjNode = dynamic_cast<TLDT3ObjektIdentLineNode *>(ANode->Childs(0));
    return AObjNode != nullptr;
}

TLDT3ObjektIdentLineNode *TLDT3LineNode::ObjektFromAttributNode(const TLDT3LineNode *ANode)
{
    TLDT3ObjektIdentLineNode *o = nullptr;
    GetObjektFromAttributNode(ANode, o);
    return o;
}

bool TLDT3LineNode::FindSingleObjektFromAttribut(int AAttrFK, TLDT3ObjektIdentLineNode *&AObjNode) const
{
    AObjNode = nullptr;
    TLDT3LineNode *attr = nullptr;
    return FindSingleNode(AAttrFK, attr) && GetObjektFromAttributNode(attr, AObjNode);
}

TLDT3ObjektIdentLineNode *TLDT3LineNode::SingleObjektFromAttribut(int AAttrFK) const
{
    TLDT3ObjektIdentLineNode *o = nullptr;
    FindSingleObjektFromAttribut(AAttrFK, o);
    return o;
}

bool TLDT3LineNode::FindObjekteFromAttribut(int AAttrFK, QList<TLDT3ObjektIdentLineNode *> &AObjNodeArr) const
{
    AObjNodeArr.clear();
    for (int i = 0; i < ChildCount(); ++i) {
        TLDT3ObjektIdentLineNode *o = nullptr;
        if (Childs(i)->FK() == AAttrFK && GetObjektFromAttributNode(Childs(i), o))
            AObjNodeArr << o;
    }
    return !AObjNodeArr.isEmpty();
}

// Children are in line order and only records, attributes and objects have
// children; their ranges do not overlap. So a binary search for the last
// child starting at or before AIndex finds the only child worth descending
// into (the first node of a run may cover AIndex too, but it has no children).
bool TLDT3LineNode::FindLDT3LineNodeFromIndex(int AIndex, TLDT3LineNode *&ANode)
{
    ANode = nullptr;
    TLDT3LineNode *n = this;
    for (;;) {
        if (n->StartIdx() == AIndex) {
            ANode = n;
            return true;
        }
        if (!n->HasChilds())
            return false;
        TLDT3Node *const *first = n->ChildArray();
        TLDT3Node *const *last = first + n->ChildCount();
        auto it = std::upper_bound(first, last, AIndex, [](int AIdx, const TLDT3Node *AChild) {
            return AIdx < static_cast<const TLDT3LineNode *>(AChild)->StartIdx();
        });
        if (it == first)
            return false;
        TLDT3LineNode *c = static_cast<TLDT3LineNode *>(*(it - 1));
        if (c->StartIdx() != AIndex && (c->EndeIdx() < AIndex || !c->HasChilds()))
            return false;
        n = c;
    }
}

bool TLDT3LineNode::GetNextNode(const TLDT3Node *ANode, TLDT3LineNode *&ANextNode) const
{
    return GetRelNode(ANode, 1, ANextNode);
}

bool TLDT3LineNode::GetRelNode(const TLDT3Node *ANode, int ADistance, TLDT3LineNode *&ARelNode) const
{
    TLDT3Node *n = nullptr;
    const bool r = TLDT3Node::GetRelNode(ANode, ADistance, n);
    ARelNode = static_cast<TLDT3LineNode *>(n);
    return r;
}

QString TLDT3LineNode::Caption() const
{
    const int fk = FK();
    const QString inhalt = Inhalt();
    return Format(QStringLiteral("%s: %s"), {FeldDict().GetFeldNameOrFKStr(fk), FeldDict().GetBedeutungOrInhalt(fk, inhalt)});
}

QString TLDT3LineEmptyNode::Caption() const { return QStringLiteral("Leere Zeile"); }

QString TLDT3ObjektAttributeLineNode::GetShortInfoFromObjekt() const
{
    if (!HasChilds())
        return QString();
    const auto *o = dynamic_cast<const TLDT3ObjektIdentLineNode *>(Childs(0));
    return o ? o->ShortInfo() : QString();
}

QString TLDT3ObjektAttributeLineNode::Caption() const
{
    const QString s = GetShortInfoFromObjekt();
    return s.isEmpty() ? Inhalt() : Format(QStringLiteral("%s [%s]"), {Inhalt(), s});
}

QString TLDT3ObjektIdentLineNode::Caption() const
{
    return FeldDict().GetBedeutungOrInhalt(FK(), Inhalt());
}

QString TLDT3SatzArtLineNode::Caption() const
{
    const QString s = FeldDict().GetBedeutungOrInhalt(FK(), Inhalt());
    return FShortInfo.isEmpty() ? s : Format(QStringLiteral("%s [%s]"), {s, FShortInfo});
}

// ---------------------------------------------------------------------------
// TLDT3RootNode

TLDT3RootNode::TLDT3RootNode(const TLDT3FilePtrList *APtrList) { SetLine(APtrList, -1); }

QString TLDT3RootNode::FileName() const { return PtrList() ? PtrList()->FileName() : QString(); }

void TLDT3RootNode::InitNodeSelf()
{
    const int n = ChildCount();
    if (n < 3)
        return;
    FLDT3FileTyp = ftNone;
    FBefundLHeader8220 = nullptr;
    FBefundArr8205.clear();
    FBefundLAbschluss8221 = nullptr;
    FAuftragPHeader8230 = nullptr;
    FAuftragArr8215.clear();
    FAuftragPAbschluss8231 = nullptr;

    const TLDT3NodeClass first = Childs(0)->ClassType();
    const TLDT3NodeClass last = Childs(n - 1)->ClassType();
    auto middleAll = [&](TLDT3NodeClass AClass) {
        for (int i = 1; i < n - 1; ++i)
            if (Childs(i)->ClassType() != AClass)
                return false;
        return true;
    };
    if (first == TLDT3SatzArt8220LineNode::Class() && last == TLDT3SatzArt8221LineNode::Class()) {
        if (!middleAll(TLDT3SatzArt8205LineNode::Class()))
            return;
        FLDT3FileTyp = ftBefund;
        FBefundLHeader8220 = static_cast<TLDT3SatzArt8220LineNode *>(Childs(0));
        for (int i = 1; i < n - 1; ++i)
            FBefundArr8205 << static_cast<TLDT3SatzArt8205LineNode *>(Childs(i));
        FBefundLAbschluss8221 = static_cast<TLDT3SatzArt8221LineNode *>(Childs(n - 1));
    } else if (first == TLDT3SatzArt8230LineNode::Class() && last == TLDT3SatzArt8231LineNode::Class()) {
        if (!middleAll(TLDT3SatzArt8215LineNode::Class()))
            return;
        FLDT3FileTyp = ftAuftrag;
        FAuftragPHeader8230 = static_cast<TLDT3SatzArt8230LineNode *>(Childs(0));
        for (int i = 1; i < n - 1; ++i)
            FAuftragArr8215 << static_cast<TLDT3SatzArt8215LineNode *>(Childs(i));
        FAuftragPAbschluss8231 = static_cast<TLDT3SatzArt8231LineNode *>(Childs(n - 1));
    }
}

QString TLDT3RootNode::Caption() const
{
    // Format texts by file type and by whether there is exactly one middle record.
    static const char *const kCaptions[3][2] = {
        {"", ""},
        {"%d Aufträge", "%d Auftrag"},
        {"%d Befunde", "%d Befund"},
    };
    int n = 0;
    if (FLDT3FileTyp == ftAuftrag)
        n = int(FAuftragArr8215.size());
    else if (FLDT3FileTyp == ftBefund)
        n = int(FBefundArr8205.size());
    const char *fmt = kCaptions[FLDT3FileTyp][n == 1 ? 1 : 0];
    if (!*fmt)
        return QStringLiteral("Ungültige LDT-Datei");
    return Format(QString::fromUtf8(fmt), {n});
}

// ---------------------------------------------------------------------------
// Attachment tree

TLDT3Base64AnlageNode::TLDT3Base64AnlageNode(const TLDT3FilePtrList *APtrList, TLDT3Base64Anlage *AAnlage,
                                             TLDT3Base64RootNode *ARoot)
    : FPtrList(APtrList), FAnlage(AAnlage), FRoot(ARoot)
{
}

TLDT3Base64AnlageNode::~TLDT3Base64AnlageNode()
{
    // The attachment outlives the tree: it must not call a dead node.
    if (FAnlage)
        FAnlage->SetOnSaveEvent(nullptr);
}

void TLDT3Base64AnlageNode::InitNodeSelf()
{
    if (!FAnlage)
        return;
    FAnlage->SetOnSaveEvent([this](TLDT3Base64Anlage *AAnlage) { AnlageSaved(AAnlage); });
    auto *f = new TLDT3Base64FileNode(this);
    AddChild(f);
    FBase64FileNode = f;
}

QString TLDT3Base64AnlageNode::Caption() const { return FAnlage ? FAnlage->AnhangCaption() : QString(); }

void TLDT3Base64AnlageNode::AnlageSaved(TLDT3Base64Anlage *)
{
    TLDT3TreeControl *tv = FRoot ? FRoot->TV() : nullptr;
    if (!FBase64FileNode || !tv || !FAnlage)
        return;
    const TLDT3ItemID id = FBase64FileNode->ItemID();
    if (!id || !tv->FindItem(id))
        return;
    tv->SetItemText(id, FAnlage->SavedToFileName());
    tv->ScrollToItem(id);
}

QString TLDT3Base64FileNode::FileName() const
{
    return FAnlageNode && FAnlageNode->Anlage() ? FAnlageNode->Anlage()->SavedToFileName() : QString();
}

QString TLDT3Base64FileNode::Caption() const
{
    const QString s = FileName();
    return s.isEmpty() ? QStringLiteral("Noch nicht gespeichert") : s;
}

QString TLDT3Base64RootNode::Caption() const
{
    const TLDT3Base64AnlagenList *list = AnlagenOf(FPtrList);
    const int n = list ? list->Count() : 0;
    return Format(QStringLiteral("base64-kodierte Anlagen: %d"), {n});
}

void TLDT3Base64RootNode::InitNodeSelf()
{
    const TLDT3Base64AnlagenList *list = AnlagenOf(FPtrList);
    if (!list)
        return;
    for (int i = 0; i < list->Count(); ++i)
        AddAnlageNode(list->Items(i));
}

void TLDT3Base64RootNode::AddAnlageNode(TLDT3Base64Anlage *AAnlage)
{
    auto *n = new TLDT3Base64AnlageNode(FPtrList, AAnlage, this);
    AddChild(n);
    n->InitNode();
}

// ---------------------------------------------------------------------------
// Error tree

int TLDT3LineErrorNode::Zeile() const { return FLineError ? FLineError->Zeile() : 0; }

QString TLDT3LineErrorNode::ErrorMsg() const { return FLineError ? FLineError->ErrorMsg() : QString(); }

QString TLDT3LineErrorNode::Caption() const { return Format(QStringLiteral("Zeile %d: %s"), {Zeile(), ErrorMsg()}); }

QString TLDT3ErrorRootNode::Caption() const
{
    const int n = FPtrList ? FPtrList->LineErrorList().Count() : 0;
    return Format(QStringLiteral("Fehlerhafte Zeilen: %d"), {n});
}

void TLDT3ErrorRootNode::InitNodeSelf()
{
    if (!FPtrList)
        return;
    const TLDT3LineErrorList &list = FPtrList->LineErrorList();
    for (int i = 0; i < list.Count(); ++i)
        AddLineErrorNode(&list.Items(i));
}

void TLDT3ErrorRootNode::AddLineErrorNode(const TLDT3LineError *ALineError)
{
    auto *n = new TLDT3LineErrorNode(FPtrList, ALineError);
    AddChild(n);
    n->InitNode();
}

bool TLDT3ErrorRootNode::FindLDT3LineErrorNodeFromZeile(int AZeile, TLDT3LineErrorNode *&ANode) const
{
    ANode = nullptr;
    for (int i = 0; i < ChildCount(); ++i) {
        if (Childs(i)->Zeile() == AZeile) {
            ANode = Childs(i);
            return true;
        }
    }
    return false;
}

// ---------------------------------------------------------------------------
// TLDT3Datenpaket

TLDT3Datenpaket::TLDT3Datenpaket(const TLDT3FilePtrList *APtrList)
    : FPtrList(APtrList),
      FStack(std::make_unique<std::vector<TLDT3LineNode *>>()),
      FLDTRoot(std::make_unique<TLDT3RootNode>(APtrList)),
      FBase64Root(std::make_unique<TLDT3Base64RootNode>(APtrList)),
      FErrorRoot(std::make_unique<TLDT3ErrorRootNode>(APtrList))
{
    FStack->push_back(FLDTRoot.get());
}

TLDT3Datenpaket::~TLDT3Datenpaket()
{
    FStack.reset();
    FLDTRoot.reset();
    FBase64Root.reset();
    FErrorRoot.reset();
    FPtrList = nullptr;
}

bool TLDT3Datenpaket::BuildLDTTree()
{
    if (!FPtrList || !FPtrList->FileIsOpen() || !FPtrList->StructureOkay() || !FLDTRoot || FLDTRoot->HasChilds()
        || FStack->empty())
        return false;
    return RunBuild();
}

bool TLDT3Datenpaket::RunBuild()
{
    if (!FPtrList || !FPtrList->FileIsOpen() || !FLDTRoot || FLDTRoot->HasChilds() || FStack->empty())
        return false;
    FBuildError.clear();
    try {
        FBuildError = BuildLines();
    } catch (const ELDT3Error &e) {
        FBuildError = e.Message();
    } catch (const std::exception &e) {
        FBuildError = QString::fromLocal8Bit(e.what());
    }
    if (!FBuildError.isEmpty()) {
        GetMessageSink().ShowMessage(TMsgKind::mkError, QCoreApplication::applicationName(), FBuildError);
        return false;
    }
    FLDTRoot->InitNode();
    return true;
}

QString TLDT3Datenpaket::BuildLines()
{
    const TLDT3FilePtrList &pl = *FPtrList;
    std::vector<TLDT3LineNode *> &stack = *FStack;
    TLDT3RootNode *const root = FLDTRoot.get();
    TLDT3LineNode *runNode = nullptr;
    int runFK = -1;
    // The empty lines at the end are left out, as in the structure test.
    const int count = pl.Count() - pl.EmptyLinesAtEnd();
    for (int i = 0; i < count; ++i) {
        if (stack.empty())
            return QStringLiteral("Stack-Fehler");
        const int fk = pl.FK(i);
        if (fk != runFK && runNode) {
            runNode->SetEndeIdx(i - 1);
            runNode = nullptr;
        }
        TLDT3LineNode *top = stack.back();
        switch (TLDT3::GetFKTyp(fk)) {
        case TLDT3::fkt_SatzArt:
            if (top != root)
                return QStringLiteral("Satzart an falscher Position");
            stack.push_back(top->AddLine(FPtrList, i));
            break;
        case TLDT3::fkt_SatzEnde: {
            if (top == root)
                return QStringLiteral("Fehlende Satzart für Satzende");
            top->SetEndeIdx(i);
            top->AddLine(FPtrList, i);
            stack.pop_back();
            const QString inhalt = pl.Inhalt(i);
            if (!top->CheckSatzArt(inhalt)) {
                if (top->IsSatzArt())
                    return Format(QStringLiteral("Falsches Satzende. Erwartet: \"%s\""), {top->Inhalt()});
                return Format(QStringLiteral("Unerwartetes Satzende \"%s\"."), {inhalt});
            }
            break;
        }
        case TLDT3::fkt_ObjektIdent: {
            if (top == root)
                return QStringLiteral("Fehlende Satzart für Objektident");
            if (!top->IsObjektAttribut())
                return QStringLiteral("Fehlendes Objektattribut für Objektident");
            const QString folgeObj = GetLDT3FeldDict()->GetFolgeObj(top->FK());
            stack.push_back(top->AddLine(FPtrList, i));
            const QString inhalt = pl.Inhalt(i);
            if (folgeObj.isEmpty() || folgeObj != inhalt)
                return Format(QStringLiteral("Falsches Objekt: \"%s\" für Attribut \"%s\" Erwartet: \"%s\""),
                              {inhalt, top->Inhalt(), folgeObj});
            break;
        }
        case TLDT3::fkt_ObjektEnde: {
            if (top == root)
                return QStringLiteral("Fehlende Satzart für Objektende");
            top->SetEndeIdx(i);
            top->AddLine(FPtrList, i);
            const QString inhalt = pl.Inhalt(i);
            if (!top->IsObjektIdent())
                return Format(QStringLiteral("Unerwartetes Objektende: \"%s\""), {inhalt});
            stack.pop_back();
            const QString objInhalt = top->Inhalt();
            if (objInhalt != inhalt)
                return Format(QStringLiteral("Falsches Objektende: \"%s\". Erwartet: \"%s\""), {inhalt, objInhalt});
            // An object is only ever opened under its attribute.
            if (stack.empty())
                return QStringLiteral("Stack-Fehler");
            stack.back()->SetEndeIdx(i);
            stack.pop_back();
            break;
        }
        default: {
            if (top != root && top->IsObjektAttribut())
                return Format(QStringLiteral("Fehlendes Objekt für Attribut \"%s\" in Zeile %d."),
                              {top->Inhalt(), top->Zeile()});
            TLDT3LineNode *node = top->AddLine(FPtrList, i);
            if (TLDT3::IsObjektAttribut(fk)) {
                stack.push_back(node);
            } else if (fk != runFK) {
                runFK = fk;
                runNode = node;
            }
            break;
        }
        }
    }
    return QString();
}

bool TLDT3Datenpaket::BuildBase64Tree()
{
    if (!FBase64Root)
        return false;
    FBase64Root->InitNode();
    return true;
}

bool TLDT3Datenpaket::BuildErrorTree()
{
    if (!FErrorRoot)
        return false;
    FErrorRoot->InitNode();
    return true;
}

bool TLDT3Datenpaket::RebuildErrorTree()
{
    if (FErrorRoot) {
        FErrorRoot.reset();
        FErrorRoot = std::make_unique<TLDT3ErrorRootNode>(FPtrList);
    }
    return BuildErrorTree();
}

TLDT3LineNode *TLDT3Datenpaket::GetLDT3LineNodeFromZeile(int AZeile) const
{
    TLDT3LineNode *n = nullptr;
    if (FLDTRoot && AZeile >= 1)
        FLDTRoot->FindLDT3LineNodeFromIndex(AZeile - 1, n);
    return n;
}

TLDT3LineErrorNode *TLDT3Datenpaket::GetLDT3LineErrorNodeFromZeile(int AZeile) const
{
    TLDT3LineErrorNode *n = nullptr;
    if (FErrorRoot)
        FErrorRoot->FindLDT3LineErrorNodeFromZeile(AZeile, n);
    return n;
}

// ---------------------------------------------------------------------------
// Presentation

namespace {

// Suspends repainting for the lifetime of the guard.
class TUpdateGuard
{
public:
    explicit TUpdateGuard(TLDT3TreeControl *AView) : FView(AView) { FView->BeginUpdate(); }
    ~TUpdateGuard() { FView->EndUpdate(); }
    TUpdateGuard(const TUpdateGuard &) = delete;
    TUpdateGuard &operator=(const TUpdateGuard &) = delete;

private:
    TLDT3TreeControl *FView;
};

// Fills the children of ANode (and below) under AItem, without recursion.
void FillLDTSubtree(TLDT3TreeControl *AView, TLDT3LineNode *ANode, TLDT3ItemID AItem, bool AHideBase64)
{
    ANode->SetItemID(AItem);
    struct TFrame
    {
        TLDT3LineNode *Node;
        TLDT3ItemID Item;
        int Next;
    };
    std::vector<TFrame> stack;
    stack.push_back({ANode, AItem, 0});
    QString base64Name;
    if (AHideBase64)
        base64Name = GetLDT3FeldDict()->GetFeldNameOrFKStr(TLDT3::FK_Base64);
    while (!stack.empty()) {
        TFrame &f = stack.back();
        if (f.Next >= f.Node->ChildCount()) {
            stack.pop_back();
            continue;
        }
        TLDT3LineNode *c = f.Node->Childs(f.Next++);
        if (AHideBase64 && c->FK() == TLDT3::FK_Base64) {
            const TLDT3ItemID run = AView->AddChildItem(
                f.Item, Format(QStringLiteral("%s: %d Zeilen ausgeblendet"), {base64Name, c->NodeSize()}), c);
            c->SetItemID(run);
            while (f.Next < f.Node->ChildCount() && f.Node->Childs(f.Next)->FK() == TLDT3::FK_Base64)
                f.Node->Childs(f.Next++)->SetItemID(run);
            continue;
        }
        const TLDT3ItemID item = AView->AddChildItem(f.Item, c->Caption(), c);
        c->SetItemID(item);
        if (c->HasChilds())
            stack.push_back({c, item, 0});
    }
}

void FillNodeSubtree(TLDT3TreeControl *AView, TLDT3Node *ANode, TLDT3ItemID AItem)
{
    ANode->SetItemID(AItem);
    std::vector<std::pair<TLDT3Node *, int>> stack;
    stack.emplace_back(ANode, 0);
    while (!stack.empty()) {
        auto &[n, next] = stack.back();
        if (next >= n->ChildCount()) {
            stack.pop_back();
            continue;
        }
        TLDT3Node *c = n->Childs(next++);
        c->SetItemID(AView->AddChildItem(n->ItemID(), c->Caption(), c));
        if (c->HasChilds())
            stack.emplace_back(c, 0);
    }
}

} // namespace

void FillLDTTreeView(TLDT3TreeControl *AView, TLDT3Datenpaket *ADatenpaket, bool AHideBase64)
{
    if (!AView)
        return;
    TUpdateGuard guard(AView);
    AView->ClearItems();
    if (!ADatenpaket || !ADatenpaket->LDTRoot())
        return;
    ADatenpaket->SetTV(AView);
    TLDT3RootNode *root = ADatenpaket->LDTRoot();
    const TLDT3ItemID ldtItem =
        AView->AddTopItem(Format(QStringLiteral("\"%s\" - (%s)"), {root->FileName(), root->Caption()}));
    FillLDTSubtree(AView, root, ldtItem, AHideBase64);
    TLDT3ItemID base64Item = nullptr;
    if (TLDT3Base64RootNode *b = ADatenpaket->Base64Root()) {
        base64Item = AView->AddTopItem(b->Caption());
        FillNodeSubtree(AView, b, base64Item);
    }
    AView->ExpandItem(ldtItem, false);
    if (base64Item)
        AView->ExpandItem(base64Item, true);
}

void FillErrorTreeView(TLDT3TreeControl *AView, TLDT3Datenpaket *ADatenpaket)
{
    if (!AView)
        return;
    TUpdateGuard guard(AView);
    AView->ClearItems();
    if (!ADatenpaket || !ADatenpaket->ErrorRoot())
        return;
    TLDT3ErrorRootNode *root = ADatenpaket->ErrorRoot();
    const TLDT3ItemID top = AView->AddTopItem(root->Caption());
    root->SetItemID(top);
    for (int i = 0; i < root->ChildCount(); ++i) {
        TLDT3LineErrorNode *n = root->Childs(i);
        n->SetItemID(AView->AddChildItem(top, n->Caption(), n));
    }
    AView->ExpandItem(top, false);
}

// ---------------------------------------------------------------------------
// TLDT3MemTreeControl

void TLDT3MemTreeControl::ClearItems()
{
    FItems.clear();
    FLastTop = -1;
    FScrolledTo = nullptr;
}

int TLDT3MemTreeControl::ItemNo(TLDT3ItemID AItemID) const
{
    const quintptr v = reinterpret_cast<quintptr>(AItemID);
    if (v == 0 || v > FItems.size())
        return -1;
    return int(v - 1);
}

TLDT3ItemID TLDT3MemTreeControl::AddTopItem(const QString &AText)
{
    const int no = int(FItems.size());
    TItem it;
    it.Text = AText;
    FItems.push_back(std::move(it));
    if (FLastTop >= 0)
        FItems[FLastTop].NextSibling = no;
    FLastTop = no;
    return Handle(no);
}

TLDT3ItemID TLDT3MemTreeControl::AddChildItem(TLDT3ItemID AParent, const QString &AText, TLDT3Node *AData)
{
    const int parent = ItemNo(AParent);
    if (parent < 0)
        throw std::invalid_argument("TLDT3MemTreeControl: unknown parent item");
    const int no = int(FItems.size());
    TItem it;
    it.Text = AText;
    it.Data = AData;
    it.Parent = parent;
    it.Level = FItems[parent].Level + 1;
    FItems.push_back(std::move(it));
    TItem &p = FItems[parent];
    if (p.LastChild >= 0)
        FItems[p.LastChild].NextSibling = no;
    else
        p.FirstChild = no;
    p.LastChild = no;
    return Handle(no);
}

void TLDT3MemTreeControl::SetItemText(TLDT3ItemID AItemID, const QString &AText)
{
    const int no = ItemNo(AItemID);
    if (no >= 0)
        FItems[no].Text = AText;
}

void TLDT3MemTreeControl::ExpandItem(TLDT3ItemID AItemID, bool ARecursive)
{
    const int no = ItemNo(AItemID);
    if (no < 0)
        return;
    FItems[no].Expanded = true;
    if (!ARecursive)
        return;
    // Items of a subtree follow their parent in creation order; walk them all.
    std::vector<int> stack{FItems[no].FirstChild};
    while (!stack.empty()) {
        const int c = stack.back();
        stack.pop_back();
        if (c < 0)
            continue;
        FItems[c].Expanded = true;
        stack.push_back(FItems[c].NextSibling);
        stack.push_back(FItems[c].FirstChild);
    }
}

QStringList TLDT3MemTreeControl::ChildTexts(int ANo) const
{
    QStringList r;
    int c = -1;
    if (ANo < 0)
        c = FItems.empty() ? -1 : 0;
    else
        c = FItems.at(ANo).FirstChild;
    for (; c >= 0; c = FItems[c].NextSibling)
        r << FItems[c].Text;
    return r;
}

QString TLDT3MemTreeControl::AsText() const
{
    QString s;
    std::vector<int> stack;
    if (!FItems.empty())
        stack.push_back(0);
    while (!stack.empty()) {
        const int c = stack.back();
        stack.pop_back();
        const TItem &it = FItems[c];
        s += QString(it.Level * 2, QLatin1Char(' '));
        s += it.Text;
        s += QLatin1Char('\n');
        if (it.NextSibling >= 0)
            stack.push_back(it.NextSibling);
        if (it.FirstChild >= 0)
            stack.push_back(it.FirstChild);
    }
    return s;
}
