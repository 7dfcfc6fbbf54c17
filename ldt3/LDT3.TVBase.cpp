#include "LDT3.TVBase.h"

#include "LDT3.Anlagen.h"
#include "LDT3.Feld.h"
#include "LDT3.FilePtrList.h"
#include "LDT3.TVObjects.h"
#include "Vex_HugeAlloc.h"
#include "Vex_MessageSink.h"
#include "WStrTools.h"

#include <QCoreApplication>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <new>
#include <stdexcept>
#include <thread>

// ---------------------------------------------------------------------------
// Node pool: free lists of small blocks in 8-byte steps, carved from regions
// of huge pages that grow with the pool (up to 16 MiB) and are faulted in on
// the other core ahead of their use: a large tree otherwise spends much of
// its build in page faults. Regions live as long as the process and their
// blocks are reused by the next tree.

namespace {

// The pool is taken for every node; a spin lock is much cheaper than a
// mutex when, as nearly always, only one thread builds.
class TSpinLock
{
public:
    void lock()
    {
        while (FFlag.test_and_set(std::memory_order_acquire))
            std::this_thread::yield();
    }
    void unlock() { FFlag.clear(std::memory_order_release); }

private:
    std::atomic_flag FFlag = ATOMIC_FLAG_INIT;
};

class TNodePool
{
public:
    static constexpr std::size_t kStep = 8;
    static constexpr std::size_t kMaxBlock = 512;
    static constexpr std::size_t kGrowRegion = 8 * kVexHugePage;

    void *Alloc(std::size_t ASize)
    {
        if (ASize > kMaxBlock)
            return ::operator new(ASize);
        const std::size_t cls = ClassOf(ASize);
        const std::size_t block = (cls + 1) * kStep;
        std::lock_guard<TSpinLock> guard(FLock);
        TFree *f = FFree[cls];
        if (f) {
            FFree[cls] = f->Next;
            FFreeBytes -= block;
            return f;
        }
        if (FRest < block)
            NewRegion();
        void *p = FPos;
        FPos += block;
        FRest -= block;
        // In a large build the next region is faulted in while this one fills.
        if (!FNext && FRest < kGrowRegion / 2 && FBytes >= 2 * kGrowRegion) {
            FNext = static_cast<char *>(VexHugeAlloc(kGrowRegion, true));
            FNextSize = kGrowRegion;
            FBytes += kGrowRegion;
        }
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
        std::lock_guard<TSpinLock> guard(FLock);
        TFree *f = static_cast<TFree *>(P);
        f->Next = FFree[cls];
        FFree[cls] = f;
        FFreeBytes += (cls + 1) * kStep;
    }

    std::size_t Bytes()
    {
        std::lock_guard<TSpinLock> guard(FLock);
        return FBytes;
    }

private:
    struct TFree
    {
        TFree *Next;
    };

    // The rest of the current region (less than a block) is left unused.
    void NewRegion()
    {
        if (FNext) {
            FPos = FNext;
            FRest = FNextSize;
            FNext = nullptr;
            FNextSize = 0;
            return;
        }
        const std::size_t size = std::clamp<std::size_t>(VexHugeRoundUp(FBytes), kVexHugePage, kGrowRegion);
        FPos = static_cast<char *>(VexHugeAlloc(size, true));
        FRest = size;
        FBytes += size;
    }

    static std::size_t ClassOf(std::size_t ASize) { return ASize == 0 ? 0 : (ASize - 1) / kStep; }

    TSpinLock FLock;
    TFree *FFree[kMaxBlock / kStep] = {};
    std::size_t FFreeBytes = 0;
    char *FPos = nullptr;
    std::size_t FRest = 0;
    char *FNext = nullptr; // the region after the current one, when reserved
    std::size_t FNextSize = 0;
    std::size_t FBytes = 0;
};

TNodePool &Pool()
{
    // Never destroyed: nodes of static trees may die after it otherwise.
    static TNodePool *pool = new TNodePool;
    return *pool;
}

// A child array: 8 bytes of header (count and number of slots) and the
// slots; small ones come from the pool.
TLDT3Node **AllocSlots(int ASlots)
{
    char *p = static_cast<char *>(Pool().Alloc(8 + std::size_t(ASlots) * sizeof(TLDT3Node *)));
    reinterpret_cast<qint32 *>(p)[1] = ASlots;
    return reinterpret_cast<TLDT3Node **>(p + 8);
}

void FreeSlots(TLDT3Node **P)
{
    if (P) {
        char *block = reinterpret_cast<char *>(P) - 8;
        Pool().Free(block, 8 + std::size_t(reinterpret_cast<qint32 *>(block)[1]) * sizeof(TLDT3Node *));
    }
}

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
    if (FChilds)
        FreeChilds();
}

void TLDT3Node::DetachChildArray()
{
    FreeSlots(FChilds);
    FChilds = nullptr;
}

// Frees the subtree without recursion: every node is emptied of its children
// before its destructor runs. Line slots own nothing.
void TLDT3Node::FreeChilds()
{
    std::vector<TLDT3Node *> pending;
    auto take = [&pending](TLDT3Node *const *AChilds, int ACount) {
        for (int i = 0; i < ACount; ++i)
            if (!IsLineSlot(AChilds[i]))
                pending.push_back(AChilds[i]);
    };
    take(FChilds, ChildCount());
    DetachChildArray();
    while (!pending.empty()) {
        TLDT3Node *n = pending.back();
        pending.pop_back();
        if (n->FChilds)
            take(n->FChilds, n->ChildCount());
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
    if (!ANode || IsLineSlot(ANode))
        return;
    AppendSlot(ANode);
}

void TLDT3Node::AppendSlot(TLDT3Node *ANode)
{
    const int count = ChildCount();
    // A full array doubles.
    if (!FChilds || count == SlotsOf(FChilds)) {
        if (count == std::numeric_limits<qint32>::max() / 2 + 1)
            throw std::length_error("TLDT3Node::AddChild: too many children");
        TLDT3Node **p = AllocSlots(count == 0 ? 1 : count * 2);
        if (count > 0)
            std::memcpy(p, FChilds, sizeof(TLDT3Node *) * count);
        FreeSlots(FChilds);
        FChilds = p;
    }
    if (!IsLineSlot(ANode)) {
        ANode->FChildIdx = count;
        ANode->FParent = this;
    }
    FChilds[count] = ANode;
    CountOf(FChilds) = count + 1;
}

void TLDT3Node::ReserveChilds(int ACount)
{
    if (FChilds || ACount <= 0)
        return;
    FChilds = AllocSlots(ACount);
    CountOf(FChilds) = 0;
}

void TLDT3Node::AdoptChilds(TLDT3Node *const *ANodes, int ACount)
{
    if (ACount <= 0)
        return;
    if (FChilds) {
        for (int i = 0; i < ACount; ++i)
            if (ANodes[i])
                AppendSlot(ANodes[i]);
        return;
    }
    FChilds = AllocSlots(ACount);
    for (int i = 0; i < ACount; ++i) {
        if (!IsLineSlot(ANodes[i])) {
            ANodes[i]->FChildIdx = i;
            ANodes[i]->FParent = this;
        }
        FChilds[i] = ANodes[i];
    }
    CountOf(FChilds) = ACount;
}

TLDT3Node *TLDT3Node::GetChilds(int Index) const
{
    if (Index < 0 || Index >= ChildCount())
        throw std::out_of_range("TLDT3Node::Childs: index out of range");
    return Materialise(Index);
}

TLDT3Node *TLDT3Node::Materialise(int Index) const
{
    TLDT3Node *slot = FChilds[Index];
    if (!IsLineSlot(slot))
        return slot;
    std::unique_ptr<TLDT3Node> node(NewSlotNode(slot, Index));
    node->FParent = const_cast<TLDT3Node *>(this);
    node->FChildIdx = Index;
    // A view and the init thread may ask at once: the first node stays.
    std::atomic_ref<TLDT3Node *> ref(FChilds[Index]);
    if (ref.compare_exchange_strong(slot, node.get(), std::memory_order_acq_rel))
        return node.release();
    return slot;
}

TLDT3Node *TLDT3Node::NewSlotNode(TLDT3Node *, int) const
{
    throw std::logic_error("TLDT3Node: line slot outside a line node");
}

void TLDT3Node::InitNode()
{
    // Post-order walk with an explicit stack of (node, next child).
    std::vector<std::pair<TLDT3Node *, int>> stack;
    stack.emplace_back(this, 0);
    while (!stack.empty()) {
        auto &[n, next] = stack.back();
        if (next < n->ChildCount()) {
            // a line slot has neither children nor work of its own
            TLDT3Node *c = n->FChilds[next++];
            if (!IsLineSlot(c))
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
    if (pos < 0 || pos >= ChildCount())
        return false;
    ARelNode = Materialise(int(pos));
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

namespace {
// The value of a content of 1 to 9 digits; -1 for anything else.
int DigitsValue(const uchar *P, int ALen)
{
    if (!P || ALen < 1 || ALen > 9)
        return -1;
    int v = 0;
    for (int i = 0; i < ALen; ++i) {
        if (P[i] < '0' || P[i] > '9')
            return -1;
        v = v * 10 + (P[i] - '0');
    }
    return v;
}

// The node class of a line, read from its bytes where they are plain digits
// (the common case); other contents go the way of the text.
TLDT3LineNodeClass LineNodeClassOf(const TLDT3FilePtrList *APtrList, int ALineIdx, int AFK)
{
    const int len = APtrList->LenInhalt(ALineIdx);
    const uchar *p = APtrList->PtrInhalt(ALineIdx);
    switch (TLDT3::GetFKTyp(AFK)) {
    case TLDT3::fkt_SatzArt:
        if (const int v = DigitsValue(p, len); v >= 0)
            return SatzArtClass(v);
        return TLDT3LineNode::GetLDT3LineNodeClass(AFK, APtrList->Inhalt(ALineIdx));
    case TLDT3::fkt_ObjektIdent:
        if (len > 4 && std::memcmp(p, "Obj_", 4) == 0)
            if (const int v = DigitsValue(p + 4, len - 4); v >= 0)
                return ObjektClass(v);
        return TLDT3LineNode::GetLDT3LineNodeClass(AFK, APtrList->Inhalt(ALineIdx));
    case TLDT3::fkt_SatzEnde:
        return TLDT3SatzEndeLineNode::Class();
    case TLDT3::fkt_ObjektEnde:
        return TLDT3ObjektEndeLineNode::Class();
    case TLDT3::fkt_ObjektAttribut:
        return TLDT3ObjektAttributeLineNode::Class();
    default:
        return (AFK == 0 && len == 0) ? TLDT3LineEmptyNode::Class() : TLDT3LineNode::Class();
    }
}
} // namespace

TLDT3LineNode *TLDT3LineNode::AddLine(const TLDT3FilePtrList *APtrList, int ALineIdx)
{
    if (!APtrList || APtrList != PtrList())
        RaiseError(QStringLiteral("AddLine: Zeile einer anderen Datei"));
    std::unique_ptr<TLDT3LineNode> node(NewLineNodeFK(FLines, ALineIdx, APtrList->FK(ALineIdx)));
    AddChild(node.get());
    return node.release();
}

TLDT3LineNode *TLDT3LineNode::NewLineNodeFK(const TLDT3TreeLines *ALines, int ALineIdx, int AFK)
{
    // Every class LineNodeClassOf gives is a line node class.
    auto *node = static_cast<TLDT3LineNode *>(LineNodeClassOf(ALines->PtrList, ALineIdx, AFK)->NewInstance());
    node->SetLine(ALines, ALineIdx);
    return node;
}

TLDT3NodeClass TLDT3LineNode::ChildClass(int Index) const
{
    const TLDT3Node *c = ChildArray()[Index];
    if (!IsLineSlot(c))
        return c->ClassType();
    const int idx = SlotLineIdx(c);
    return LineNodeClassOf(PtrList(), idx, PtrList()->FK(idx));
}

TLDT3Node *TLDT3LineNode::NewSlotNode(TLDT3Node *ASlot, int) const
{
    const int idx = SlotLineIdx(ASlot);
    std::unique_ptr<TLDT3LineNode> node(NewLineNodeFK(FLines, idx, PtrList()->FK(idx)));
    node->FEndeIdx = idx + SlotRunExtra(ASlot);
    if (IsParentSlot(ASlot))
        node->ReadChildsFromLines();
    return node.release();
}

namespace {
// A line the build adds as a plain child: no record, object or attribute
// line and no end line. Runs are made of these.
bool IsPlainFK(int AFK)
{
    switch (TLDT3::GetFKTyp(AFK)) {
    case TLDT3::fkt_SatzArt:
    case TLDT3::fkt_SatzEnde:
    case TLDT3::fkt_ObjektIdent:
    case TLDT3::fkt_ObjektEnde:
    case TLDT3::fkt_ObjektAttribut:
        return false;
    default:
        return !TLDT3::IsObjektAttribut(AFK);
    }
}
} // namespace

int TLDT3TreeLines::AttrEndeOf(int ALineIdx) const
{
    auto it = std::lower_bound(AttrStart.begin(), AttrStart.end(), ALineIdx);
    if (it == AttrStart.end() || *it != ALineIdx)
        return -1;
    return AttrEnde[std::size_t(it - AttrStart.begin())];
}

// The children of a closed record or object are the lines it covers, each
// closed attribute with its object as one slot; an attribute's only child is
// its object. Runs are found as the build finds them: a plain line starts a
// run when its field differs from that of the plain line before it
// (anywhere before it in the file), and the run covers the following lines
// of the same field.
void TLDT3LineNode::ReadChildsFromLines()
{
    const TLDT3FilePtrList &pl = *PtrList();
    const int ende = FEndeIdx;
    if (TLDT3::IsObjektAttribut(pl.FK(FStartIdx))) {
        TLDT3Node *obj = ParentSlot(FStartIdx + 1, ende - FStartIdx - 1);
        AdoptChilds(&obj, 1);
        return;
    }
    // one buffer per thread, not one per node made
    thread_local std::vector<TLDT3Node *> slots;
    slots.clear();
    for (int j = FStartIdx + 1; j <= ende; ++j) {
        const int fk = pl.FK(j);
        if (TLDT3::IsObjektAttribut(fk)) {
            const int e = FLines->AttrEndeOf(j);
            if (e < j || e > ende)
                RaiseError(QStringLiteral("Stack-Fehler"));
            slots.push_back(ParentSlot(j, e - j));
            j = e;
            continue;
        }
        if (!IsPlainFK(fk)) {
            slots.push_back(LineSlot(j, 0));
            continue;
        }
        int prev = j - 1;
        while (prev >= 0 && !IsPlainFK(pl.FK(prev)))
            --prev;
        int extra = 0;
        if (prev < 0 || pl.FK(prev) != fk)
            while (j + extra + 1 <= ende && pl.FK(j + extra + 1) == fk)
                ++extra;
        slots.push_back(LineSlot(j, extra));
    }
    AdoptChilds(slots.data(), int(slots.size()));
}

int TLDT3LineNode::ChildLineIdx(int Index) const
{
    if (Index < 0 || Index >= ChildCount())
        throw std::out_of_range("TLDT3LineNode::ChildLineIdx: index out of range");
    return StartOfSlot(ChildArray()[Index]);
}

int TLDT3LineNode::ChildFK(int Index) const { return PtrList()->FK(ChildLineIdx(Index)); }

QString TLDT3LineNode::ChildInhalt(int Index) const { return PtrList()->Inhalt(ChildLineIdx(Index)); }

bool TLDT3LineNode::ChildHasChilds(int Index) const
{
    ChildLineIdx(Index); // range check
    const TLDT3Node *c = ChildArray()[Index];
    return IsLineSlot(c) ? IsParentSlot(c) : c->HasChilds();
}

int TLDT3LineNode::FK() const { return PtrList()->FK(FStartIdx); }

QString TLDT3LineNode::Inhalt() const { return PtrList()->Inhalt(FStartIdx); }

bool TLDT3LineNode::CheckSatzArt(const QString &AInhalt) const
{
    const TLDT3FilePtrList *pl = PtrList();
    if (!pl || FStartIdx < 0 || FStartIdx >= pl->Count())
        return false;
    return pl->CheckSatzArt(FStartIdx, AInhalt);
}

bool TLDT3LineNode::CheckSatzEnde(const QString &AInhalt) const
{
    const TLDT3FilePtrList *pl = PtrList();
    if (!pl || FStartIdx < 0 || FStartIdx >= pl->Count())
        return false;
    return pl->CheckSatzEnde(FStartIdx, AInhalt);
}

namespace {
// The index of the only child with field identifier AFK (and content
// AInhalt when given); -1 when there is none or more than one.
int SingleChildIdx(const TLDT3LineNode &ANode, int AFK, const QString *AInhalt)
{
    int found = -1;
    for (int i = 0; i < ANode.ChildCount(); ++i) {
        if (ANode.ChildFK(i) != AFK || (AInhalt && ANode.ChildInhalt(i) != *AInhalt))
            continue;
        if (found >= 0)
            return -1;
        found = i;
    }
    return found;
}
} // namespace

int TLDT3LineNode::CountChildNodes(int AFK) const
{
    int n = 0;
    for (int i = 0; i < ChildCount(); ++i)
        n += ChildFK(i) == AFK;
    return n;
}

int TLDT3LineNode::CountChildNodesInhalt(int AFK, const QString &AInhalt) const
{
    int n = 0;
    for (int i = 0; i < ChildCount(); ++i)
        n += ChildFK(i) == AFK && ChildInhalt(i) == AInhalt;
    return n;
}

QList<TLDT3LineNode *> TLDT3LineNode::FindChildNodes(int AFK) const
{
    QList<TLDT3LineNode *> r;
    for (int i = 0; i < ChildCount(); ++i)
        if (ChildFK(i) == AFK)
            r << ChildAt(i);
    return r;
}

QList<TLDT3LineNode *> TLDT3LineNode::FindChildNodesInhalt(int AFK, const QString &AInhalt) const
{
    QList<TLDT3LineNode *> r;
    for (int i = 0; i < ChildCount(); ++i)
        if (ChildFK(i) == AFK && ChildInhalt(i) == AInhalt)
            r << ChildAt(i);
    return r;
}

bool TLDT3LineNode::FindSingleNode(int AFK, TLDT3LineNode *&ANode) const
{
    const int i = SingleChildIdx(*this, AFK, nullptr);
    ANode = i >= 0 ? ChildAt(i) : nullptr;
    return ANode != nullptr;
}

bool TLDT3LineNode::FindSingleNodeInhalt(int AFK, const QString &AInhalt, TLDT3LineNode *&ANode) const
{
    const int i = SingleChildIdx(*this, AFK, &AInhalt);
    ANode = i >= 0 ? ChildAt(i) : nullptr;
    return ANode != nullptr;
}

void TLDT3LineNode::ScanChilds(TFKScan *AScans, int ACount) const
{
    for (int i = 0; i < ChildCount(); ++i) {
        const int fk = PtrList()->FK(StartOfSlot(ChildArray()[i]));
        for (int k = 0; k < ACount; ++k) {
            if (AScans[k].FK != fk)
                continue;
            if (AScans[k].Count++ == 0) {
                AScans[k].Owner = this;
                AScans[k].Index = i;
            }
            break;
        }
    }
}

QString TLDT3LineNode::SingleNodeInhalt(int AFK) const
{
    const int i = SingleChildIdx(*this, AFK, nullptr);
    return i >= 0 ? ChildInhalt(i) : QString();
}

QStringList TLDT3LineNode::ArrNodeInhalt(int AFK) const
{
    QStringList r;
    for (int i = 0; i < ChildCount(); ++i)
        if (ChildFK(i) == AFK)
            r << ChildInhalt(i);
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
        if (ChildAt(i)->FK() == AAttrFK && GetObjektFromAttributNode(ChildAt(i), o))
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
            return AIdx < StartOfSlot(AChild);
        });
        if (it == first)
            return false;
        // only the node asked for is made; a line slot has no children
        const TLDT3Node *slot = *(it - 1);
        if (StartOfSlot(slot) != AIndex) {
            const bool covers = IsLineSlot(slot) ? IsParentSlot(slot) && SlotLineIdx(slot) + SlotRunExtra(slot) >= AIndex
                                                 : static_cast<const TLDT3LineNode *>(slot)->EndeIdx() >= AIndex
                                                       && slot->HasChilds();
            if (!covers)
                return false;
        }
        n = n->ChildAt(int(it - 1 - first));
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

const TLDT3FeldDict &TLDT3LineNode::FeldDict() const
{
    const TLDT3FilePtrList *pl = PtrList();
    return pl ? pl->FeldDict() : *GetLDT3FeldDict();
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
    const QString info = ShortInfo();
    return info.isEmpty() ? s : Format(QStringLiteral("%s [%s]"), {s, info});
}

// ---------------------------------------------------------------------------
// TLDT3RootNode

TLDT3RootNode::TLDT3RootNode(const TLDT3FilePtrList *APtrList)
{
    FLinesData.PtrList = APtrList;
    SetLine(&FLinesData, -1);
}

// The records go before the lines they share with the root.
TLDT3RootNode::~TLDT3RootNode() { FreeChilds(); }

QString TLDT3RootNode::FileName() const { return PtrList() ? PtrList()->FileName() : QString(); }

// Classifies the file by the classes of its records, read from their lines
// (or kept by the build): no record node is made here.
void TLDT3RootNode::InitNodeSelf()
{
    FLinesData.Initialised = true;
    std::vector<TLDT3NodeClass> classes;
    classes.swap(FChildClasses);
    const int n = ChildCount();
    if (n < 3)
        return;
    FLDT3FileTyp = ftNone;
    FMiddleCount = 0;
    FRecords = TRecords();

    auto classOf = [&](int AIndex) {
        return classes.size() == std::size_t(n) ? classes[std::size_t(AIndex)] : ChildClass(AIndex);
    };
    const TLDT3NodeClass first = classOf(0);
    const TLDT3NodeClass last = classOf(n - 1);
    auto middleAll = [&](TLDT3NodeClass AClass) {
        for (int i = 1; i < n - 1; ++i)
            if (classOf(i) != AClass)
                return false;
        return true;
    };
    if (first == TLDT3SatzArt8220LineNode::Class() && last == TLDT3SatzArt8221LineNode::Class()) {
        if (middleAll(TLDT3SatzArt8205LineNode::Class()))
            FLDT3FileTyp = ftBefund;
    } else if (first == TLDT3SatzArt8230LineNode::Class() && last == TLDT3SatzArt8231LineNode::Class()) {
        if (middleAll(TLDT3SatzArt8215LineNode::Class()))
            FLDT3FileTyp = ftAuftrag;
    }
    if (FLDT3FileTyp != ftNone)
        FMiddleCount = n - 2;
}

const TLDT3RootNode::TRecords &TLDT3RootNode::Records() const
{
    if (FRecords.Made || FLDT3FileTyp == ftNone)
        return FRecords;
    const int n = ChildCount();
    if (FLDT3FileTyp == ftBefund) {
        FRecords.FBefundLHeader8220 = static_cast<TLDT3SatzArt8220LineNode *>(Childs(0));
        for (int i = 1; i < n - 1; ++i)
            FRecords.FBefundArr8205 << static_cast<TLDT3SatzArt8205LineNode *>(Childs(i));
        FRecords.FBefundLAbschluss8221 = static_cast<TLDT3SatzArt8221LineNode *>(Childs(n - 1));
    } else {
        FRecords.FAuftragPHeader8230 = static_cast<TLDT3SatzArt8230LineNode *>(Childs(0));
        for (int i = 1; i < n - 1; ++i)
            FRecords.FAuftragArr8215 << static_cast<TLDT3SatzArt8215LineNode *>(Childs(i));
        FRecords.FAuftragPAbschluss8231 = static_cast<TLDT3SatzArt8231LineNode *>(Childs(n - 1));
    }
    FRecords.Made = true;
    return FRecords;
}

QString TLDT3RootNode::Caption() const
{
    // Format texts by file type and by whether there is exactly one middle record.
    static const char *const kCaptions[3][2] = {
        {"", ""},
        {"%d Aufträge", "%d Auftrag"},
        {"%d Befunde", "%d Befund"},
    };
    const int n = FLDT3FileTyp == ftNone ? 0 : FMiddleCount;
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
    ReserveChilds(list.Count());
    for (int i = 0; i < list.Count(); ++i)
        AddLineErrorNode(&list.Items(i));
}

void TLDT3ErrorRootNode::AddLineErrorNode(const TLDT3LineError *ALineError)
{
    auto *n = new TLDT3LineErrorNode(ALineError);
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
      FLDTRoot(std::make_unique<TLDT3RootNode>(APtrList)),
      FBase64Root(std::make_unique<TLDT3Base64RootNode>(APtrList)),
      FErrorRoot(std::make_unique<TLDT3ErrorRootNode>(APtrList))
{
}

TLDT3Datenpaket::~TLDT3Datenpaket()
{
    FLDTRoot.reset();
    FBase64Root.reset();
    FErrorRoot.reset();
    FPtrList = nullptr;
}

bool TLDT3Datenpaket::BuildLDTTree()
{
    if (!FPtrList || !FPtrList->FileIsOpen() || !FPtrList->StructureOkay() || !FLDTRoot || FLDTRoot->HasChilds())
        return false;
    return RunBuild();
}

bool TLDT3Datenpaket::RunBuild()
{
    if (!FPtrList || !FPtrList->FileIsOpen() || !FLDTRoot || FLDTRoot->HasChilds())
        return false;
    FBuildError.clear();
    try {
        FBuildError = BuildLines();
    } catch (const ELDT3Error &e) {
        FBuildError = e.Message();
    } catch (const std::bad_alloc &) {
        throw; // no fault of the file: the open sequence reports it as what it is
    } catch (const std::exception &e) {
        FBuildError = QString::fromLocal8Bit(e.what());
    }
    if (FBuildError.isEmpty()) {
        // Only the root and nodes left open at the end of the file are
        // nodes now; the rest is initialised as it is made.
        FLDTRoot->InitNode();
        return true;
    }
    GetMessageSink().ShowMessage(TMsgKind::mkError, QCoreApplication::applicationName(), FBuildError);
    return false;
}

namespace {
// A line's content bytes in the mapped file (from its eighth byte on).
struct TInhaltBytes
{
    const uchar *P;
    int Len;
    bool operator==(const TInhaltBytes &AOther) const
    {
        if (Len != AOther.Len)
            return false;
        // contents are short: no library call
        const uchar *a = P;
        const uchar *b = AOther.P;
        int n = Len;
        for (; n >= 8; a += 8, b += 8, n -= 8) {
            quint64 x, y;
            std::memcpy(&x, a, 8);
            std::memcpy(&y, b, 8);
            if (x != y)
                return false;
        }
        for (; n > 0; ++a, ++b, --n)
            if (*a != *b)
                return false;
        return true;
    }
};

TInhaltBytes InhaltBytes(const TLDT3FilePtrList &AList, int AIdx)
{
    const int len = AList.LenInhalt(AIdx);
    return {len > 0 ? AList.PtrOrgLine(AIdx) + 7 : nullptr, len};
}

// Whether an object line names the object its attribute must hold. The
// expected name is looked up once per attribute of the file's dictionary; a
// name of plain ASCII characters is compared as bytes (such a character has
// exactly one byte, itself, that reads as it), any other as text.
class TFolgeObjCheck
{
public:
    explicit TFolgeObjCheck(const TLDT3FilePtrList &AList) : FList(AList) {}

    // AInhalt: the bytes of line ALineIdx.
    bool Matches(int AAttrFK, int ALineIdx, const TInhaltBytes &AInhalt)
    {
        TEntry &e = FEntries[AAttrFK - TLDT3::FK_ObjektAttributFirst];
        if (e.Kind == kUnknown)
            Fill(e, AAttrFK);
        switch (e.Kind) {
        case kBytes:
            return AInhalt == TInhaltBytes{reinterpret_cast<const uchar *>(e.Bytes.constData()), int(e.Bytes.size())};
        case kText:
            return FList.CheckObjektIdent(ALineIdx, FList.FeldDict().GetFolgeObj(AAttrFK));
        default:
            return false;
        }
    }

private:
    enum TKind : quint8 { kUnknown, kNone, kBytes, kText };
    struct TEntry
    {
        TKind Kind = kUnknown;
        QByteArray Bytes;
    };

    void Fill(TEntry &AEntry, int AAttrFK)
    {
        const QString s = FList.FeldDict().GetFolgeObj(AAttrFK);
        AEntry.Kind = s.isEmpty() ? kNone : kBytes;
        for (const QChar c : s)
            if (c.unicode() < 0x20 || c.unicode() > 0x7E)
                AEntry.Kind = kText;
        if (AEntry.Kind == kBytes)
            AEntry.Bytes = s.toLatin1();
    }

    const TLDT3FilePtrList &FList;
    TEntry FEntries[TLDT3::FK_ObjektAttributLast - TLDT3::FK_ObjektAttributFirst + 1];
};
} // namespace

// One pass with a stack of the open records, attributes and objects. They
// are no nodes while they are open: an entry knows its line, and its
// children's slots wait in a list. Once one closes without error it becomes
// a slot in its parent's list that knows the lines it covers, and its
// children are read from those lines when someone asks for its node. So the
// tree of a well-formed file holds the root's array and, per attribute, where
// its object ends. Nodes are made only for one closed with an error and for
// those still open when the build stops: they keep their children as read.
QString TLDT3Datenpaket::BuildLines()
{
    const TLDT3FilePtrList &pl = *FPtrList;
    TLDT3RootNode *const root = FLDTRoot.get();
    TLDT3TreeLines *const lines = &root->FLinesData;
    const TCountDictionary &counts = pl.FeldCounter();
    // -1 counts the attribute lines
    lines->AttrStart.clear();
    lines->AttrEnde.clear();
    lines->AttrStart.reserve(std::size_t(counts.GetCount(-1)));
    lines->AttrEnde.reserve(std::size_t(counts.GetCount(-1)));
    std::vector<TLDT3NodeClass> &rootClasses = root->FChildClasses;
    rootClasses.clear();
    rootClasses.reserve(std::size_t(counts.GetCount(TLDT3::FK_SatzArt)) + 64);
    TFolgeObjCheck folgeObj(pl);
    // The open run: its first line's slot in pending.Childs (-1: none).
    // Lines of a run are children of one entry and the run ends before any
    // line of another type, so the slot is still pending when it ends.
    std::ptrdiff_t runSlot = -1;
    int runFK = -1;
    // An open record, attribute or object: its line and field, its last line
    // so far (an end line that did not fit), for an attribute its entry in
    // the attribute list, where its children start in pending.Childs (its
    // own slot is just before), and for a record or object its content.
    struct TOpen
    {
        TOpen(int ALineIdx, int AFK, std::size_t AMark, TInhaltBytes AInhalt)
            : Start(ALineIdx), FK(AFK), Ende(ALineIdx), Mark(AMark), Inhalt(AInhalt)
        {
        }
        int Start;
        int FK;
        int Ende;
        qint32 Attr = 0;
        std::size_t Mark;
        // the content of a record or object line, for its end line
        TInhaltBytes Inhalt;
    };
    // The children of the open entries and, before them, the root's.
    struct TPending
    {
        const TLDT3TreeLines *Lines;
        TLDT3RootNode *Root;
        std::vector<TLDT3Node *> Childs;
        std::vector<TOpen> Open;
        // The top entry becomes a node with the children read so far, in its slot.
        void CloseAsNode()
        {
            const TOpen o = Open.back();
            std::unique_ptr<TLDT3LineNode> node(TLDT3LineNode::NewLineNodeFK(Lines, o.Start, o.FK));
            node->SetEndeIdx(o.Ende);
            node->AdoptChilds(Childs.data() + o.Mark, int(Childs.size() - o.Mark));
            Childs.resize(o.Mark);
            Childs[o.Mark - 1] = node.release();
            Open.pop_back();
        }
        // Whatever ends the build, the open entries keep the lines read so far.
        ~TPending()
        {
            try {
                while (!Open.empty())
                    CloseAsNode();
                Root->AdoptChilds(Childs.data(), int(Childs.size()));
            } catch (...) {
                for (TLDT3Node *n : Childs)
                    if (!TLDT3Node::IsLineSlot(n))
                        delete n;
            }
        }
    } pending{lines, root, {}, {}};
    // the root's records and lines stay here until the end
    pending.Childs.reserve(std::size_t(counts.GetCount(TLDT3::FK_SatzArt)) + 64);
    std::vector<TOpen> &open = pending.Open;
    auto addLine = [&](int ALineIdx) { pending.Childs.push_back(TLDT3Node::LineSlot(ALineIdx, 0)); };
    // The entry's own slot holds its line until it closes.
    auto push = [&](int ALineIdx, int AFK, TInhaltBytes AInhalt) {
        addLine(ALineIdx);
        open.emplace_back(ALineIdx, AFK, pending.Childs.size(), AInhalt);
    };
    // The top entry closed without error: it becomes a slot covering its
    // lines up to AEndeIdx, and its children's slots go.
    auto popClosed = [&](int AEndeIdx) {
        const TOpen &o = open.back();
        pending.Childs.resize(o.Mark);
        pending.Childs[o.Mark - 1] = TLDT3Node::ParentSlot(o.Start, AEndeIdx - o.Start);
        open.pop_back();
    };
    // The empty lines at the end are left out, as in the structure test.
    const int count = pl.Count() - pl.EmptyLinesAtEnd();
    for (int i = 0; i < count; ++i) {
        const int fk = pl.FK(i);
        if (fk != runFK && runSlot >= 0) {
            TLDT3Node *&slot = pending.Childs[std::size_t(runSlot)];
            const int start = TLDT3Node::SlotLineIdx(slot);
            slot = TLDT3Node::LineSlot(start, i - 1 - start);
            runSlot = -1;
        }
        const bool atRoot = open.empty();
        const int topFK = atRoot ? -1 : open.back().FK;
        const int topStart = atRoot ? -1 : open.back().Start;
        switch (fk) {
        case TLDT3::FK_SatzArt:
            if (!atRoot)
                return QStringLiteral("Satzart an falscher Position");
            push(i, fk, InhaltBytes(pl, i));
            rootClasses.push_back(LineNodeClassOf(&pl, i, fk));
            break;
        case TLDT3::FK_SatzEnde:
            if (atRoot)
                return QStringLiteral("Fehlende Satzart für Satzende");
            open.back().Ende = i;
            addLine(i);
            if (TLDT3::IsSatzArt(topFK) && open.back().Inhalt == InhaltBytes(pl, i)) {
                popClosed(i);
                break;
            }
            pending.CloseAsNode();
            if (TLDT3::IsSatzArt(topFK))
                return Format(QStringLiteral("Falsches Satzende. Erwartet: \"%s\""), {pl.Inhalt(topStart)});
            return Format(QStringLiteral("Unerwartetes Satzende \"%s\"."), {pl.Inhalt(i)});
        case TLDT3::FK_ObjektIdent:
            if (atRoot)
                return QStringLiteral("Fehlende Satzart für Objektident");
            if (!TLDT3::IsObjektAttribut(topFK))
                return QStringLiteral("Fehlendes Objektattribut für Objektident");
            push(i, fk, InhaltBytes(pl, i));
            if (!folgeObj.Matches(topFK, i, open.back().Inhalt))
                return Format(QStringLiteral("Falsches Objekt: \"%s\" für Attribut \"%s\" Erwartet: \"%s\""),
                              {pl.Inhalt(i), pl.Inhalt(topStart), pl.FeldDict().GetFolgeObj(topFK)});
            break;
        case TLDT3::FK_ObjektEnde:
            if (atRoot)
                return QStringLiteral("Fehlende Satzart für Objektende");
            open.back().Ende = i;
            addLine(i);
            if (!TLDT3::IsObjektIdent(topFK))
                return Format(QStringLiteral("Unerwartetes Objektende: \"%s\""), {pl.Inhalt(i)});
            if (!(open.back().Inhalt == InhaltBytes(pl, i))) {
                pending.CloseAsNode();
                return Format(QStringLiteral("Falsches Objektende: \"%s\". Erwartet: \"%s\""),
                              {pl.Inhalt(i), pl.Inhalt(topStart)});
            }
            // the object, then its attribute: an object is only ever opened under one
            popClosed(i);
            lines->AttrEnde[open.back().Attr] = i;
            popClosed(i);
            break;
        default:
            if (atRoot)
                rootClasses.push_back(LineNodeClassOf(&pl, i, fk));
            if (TLDT3::IsObjektAttribut(topFK))
                return Format(QStringLiteral("Fehlendes Objekt für Attribut \"%s\" in Zeile %d."),
                              {pl.Inhalt(topStart), topStart + 1});
            if (TLDT3::IsObjektAttribut(fk)) {
                push(i, fk, {});
                open.back().Attr = qint32(lines->AttrStart.size());
                lines->AttrStart.push_back(i);
                lines->AttrEnde.push_back(-1);
                break;
            }
            addLine(i);
            if (fk != runFK) {
                runFK = fk;
                runSlot = std::ptrdiff_t(pending.Childs.size()) - 1;
            }
            break;
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
    while (!stack.empty()) {
        TFrame &f = stack.back();
        if (f.Next >= f.Node->ChildCount()) {
            stack.pop_back();
            continue;
        }
        TLDT3LineNode *c = f.Node->Childs(f.Next++);
        if (AHideBase64 && c->FK() == TLDT3::FK_Base64) {
            const TLDT3ItemID run = AView->AddChildItem(f.Item, Base64RunCaption(c), c);
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

QString LDTTreeTopCaption(const TLDT3RootNode *ARoot)
{
    return Format(QStringLiteral("\"%s\" - (%s)"), {ARoot->FileName(), ARoot->Caption()});
}

QString Base64RunCaption(const TLDT3LineNode *AFirst)
{
    return Format(QStringLiteral("%s: %d Zeilen ausgeblendet"),
                  {AFirst->FeldDict().GetFeldNameOrFKStr(TLDT3::FK_Base64), AFirst->NodeSize()});
}

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
    const TLDT3ItemID ldtItem = AView->AddTopItem(LDTTreeTopCaption(root));
    FillLDTSubtree(AView, root, ldtItem, AHideBase64);
    TLDT3ItemID base64Item = 0;
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
    FScrolledTo = 0;
}

int TLDT3MemTreeControl::ItemNo(TLDT3ItemID AItemID) const
{
    if (AItemID == 0 || AItemID > FItems.size())
        return -1;
    return int(AItemID - 1);
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
