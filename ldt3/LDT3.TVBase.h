// The tree model of a loaded LDT file: node classes, the LDT tree of records,
// objects and fields, the attachment tree, the error tree, and how tree
// controls are filled from them.
//
// Nodes are small and come from a pooled allocator, and most of the tree is
// no nodes at all: a line, or a closed record, attribute or object, is a
// slot in its parent's child array until someone asks for its node (the
// children of a closed one are read from the lines then). Nothing here recurses per
// nesting level: building, initialising, searching, filling and destroying a
// tree all walk it with explicit stacks, so deeply nested files cannot
// overflow the call stack.
#pragma once

#include "LDT3.Base.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <cstddef>
#include <memory>
#include <vector>

class TLDT3FilePtrList;
class TLDT3FeldDict;
class TLDT3LineError;
class TLDT3Base64Anlage;
class TLDT3Node;
class TLDT3LineNode;
class TLDT3ObjektIdentLineNode;
class TLDT3SatzArt8205LineNode;
class TLDT3SatzArt8215LineNode;
class TLDT3SatzArt8220LineNode;
class TLDT3SatzArt8221LineNode;
class TLDT3SatzArt8230LineNode;
class TLDT3SatzArt8231LineNode;

// Class references: a value that names a node class and creates its nodes.
struct TLDT3NodeClassRec
{
    const char *ClassName;
    const TLDT3NodeClassRec *Parent; // base class; null for TLDT3Node
    TLDT3Node *(*NewInstance)();
    bool InheritsFrom(const TLDT3NodeClassRec *AClass) const;
};
using TLDT3NodeClass = const TLDT3NodeClassRec *;
using TLDT3LineNodeClass = const TLDT3NodeClassRec *;

// Declares the class reference of a node class.
#define LDT3_NODE_CLASS(Cls)                                                                       \
public:                                                                                            \
    static TLDT3NodeClass Class();                                                                 \
    TLDT3NodeClass ClassType() const override { return Class(); }                                  \
                                                                                                   \
private:

// Opaque handle of an item of a visual tree; 0 names no item. 32 bits keep
// the nodes small: a tree control numbers its items.
using TLDT3ItemID = quint32;

class TLDT3Node
{
public:
    TLDT3Node() = default;
    virtual ~TLDT3Node();
    TLDT3Node(const TLDT3Node &) = delete;
    TLDT3Node &operator=(const TLDT3Node &) = delete;

    // Nodes and child arrays come from a pool of small blocks.
    static void *operator new(std::size_t ASize);
    static void operator delete(void *P, std::size_t ASize) noexcept;

    static TLDT3NodeClass Class();
    virtual TLDT3NodeClass ClassType() const { return Class(); }

    // Creates a node of the named class into AReference (null when the
    // constructor fails; the failure is passed on).
    static void CreateLDT3Node(TLDT3NodeClass AInstanceClass, std::unique_ptr<TLDT3Node> &AReference);
    [[noreturn]] static void RaiseError(const QString &AMsg);

    // Appends ANode as the last child; this node now owns it.
    void AddChild(TLDT3Node *ANode);
    void AddChild(std::unique_ptr<TLDT3Node> ANode) { AddChild(ANode.release()); }

    TLDT3Node *Childs(int Index) const { return GetChilds(Index); }
    bool HasChilds() const { return FChilds != nullptr; }
    int ChildCount() const { return FChilds ? CountOf(FChilds) : 0; }
    int ChildIdx() const { return FChildIdx; }
    // The node this one is a child of; null for a root. With ChildIdx a view
    // model answers parent() without a search.
    TLDT3Node *Parent() const { return FParent; }
    TLDT3ItemID ItemID() const { return FItemID; }
    void SetItemID(TLDT3ItemID AValue) { FItemID = AValue; }

    // Initialises the subtree bottom-up, children in order before their
    // parent: InitNodeSelf of every node after that of all its children.
    void InitNode();
    virtual QString Caption() const { return QString(); }

    bool GetNextNode(const TLDT3Node *ANode, TLDT3Node *&ANextNode) const { return GetRelNode(ANode, 1, ANextNode); }
    // Sibling ADistance away from ANode among the children of this node.
    bool GetRelNode(const TLDT3Node *ANode, int ADistance, TLDT3Node *&ARelNode) const;

protected:
    // Throws std::out_of_range outside 0..ChildCount-1. A line kept as a
    // slot becomes a node here, on its first request.
    virtual TLDT3Node *GetChilds(int Index) const;
    // The node's own part of InitNode; its children are already initialised.
    virtual void InitNodeSelf() {}
    TLDT3Node *const *ChildArray() const { return FChilds; }

    // A child slot holds a node or, for a line that no one has asked for
    // yet, the line itself: bit 0 set, the line index in bits 1 to 31, the
    // number of lines after it that the node covers in bits 32 to 62 (a run,
    // or a closed record, attribute or object), and in bit 63 whether the
    // node has children (the lines it covers). Nodes are 8-byte aligned, so
    // the two never mix.
    static bool IsLineSlot(const TLDT3Node *ASlot) { return quintptr(ASlot) & 1; }
    // A slot of a closed record, attribute or object, whose children are
    // read from the lines when its node is made.
    static bool IsParentSlot(const TLDT3Node *ASlot) { return IsLineSlot(ASlot) && (quint64(quintptr(ASlot)) >> 63); }
    static int SlotLineIdx(const TLDT3Node *ASlot) { return int((quint64(quintptr(ASlot)) >> 1) & 0x7FFFFFFF); }
    static int SlotRunExtra(const TLDT3Node *ASlot) { return int((quint64(quintptr(ASlot)) >> 32) & 0x7FFFFFFF); }
    static TLDT3Node *LineSlot(int ALineIdx, int ARunExtra)
    {
        return reinterpret_cast<TLDT3Node *>(quintptr((quint64(quint32(ARunExtra)) << 32) | (quint64(quint32(ALineIdx)) << 1) | 1));
    }
    static TLDT3Node *ParentSlot(int ALineIdx, int AExtent)
    {
        return reinterpret_cast<TLDT3Node *>(quintptr(quint64(quintptr(LineSlot(ALineIdx, AExtent))) | (quint64(1) << 63)));
    }
    // The node of line slot ASlot at child Index (see TLDT3LineNode).
    virtual TLDT3Node *NewSlotNode(TLDT3Node *ASlot, int Index) const;
    // The child at Index, made from its line slot when needed (no range check).
    TLDT3Node *Materialise(int Index) const;
    // Room for ACount children in a node without any, so that adding them
    // one by one never doubles the array.
    void ReserveChilds(int ACount);

    // Frees the subtree below this node.
    void FreeChilds();
    // Appends ACount nodes or slots as children at once; a node without
    // children gets an array of exactly that size.
    void AdoptChilds(TLDT3Node *const *ANodes, int ACount);

private:
    friend class TLDT3Datenpaket;
    void DetachChildArray();
    // Appends a node or a line slot as the last child.
    void AppendSlot(TLDT3Node *ANode);
    // The child array keeps its count and its number of slots in the 8 bytes
    // before its first slot, so that childless nodes pay for one null pointer only.
    static qint32 &CountOf(TLDT3Node **AChilds) { return *reinterpret_cast<qint32 *>(reinterpret_cast<char *>(AChilds) - 8); }
    static qint32 &SlotsOf(TLDT3Node **AChilds) { return *reinterpret_cast<qint32 *>(reinterpret_cast<char *>(AChilds) - 4); }

    TLDT3Node **FChilds = nullptr;
    TLDT3Node *FParent = nullptr;
    qint32 FChildIdx = -1;
    TLDT3ItemID FItemID = 0;
};
static_assert(sizeof(TLDT3Node) == 32, "tree nodes must stay small");

// What the line nodes of one LDT tree share: the file, where each closed
// attribute's object ends (the attributes in line order), and whether
// InitNode has run. The root owns it.
struct TLDT3TreeLines
{
    const TLDT3FilePtrList *PtrList = nullptr;
    std::vector<qint32> AttrStart;
    std::vector<qint32> AttrEnde;
    bool Initialised = false;
    // Index of the object end line of the attribute in line ALineIdx; -1 when unknown.
    int AttrEndeOf(int ALineIdx) const;
};

// One line of the file (and, through its children, the lines that belong to it).
class TLDT3LineNode : public TLDT3Node
{
    LDT3_NODE_CLASS(TLDT3LineNode)
public:
    TLDT3LineNode() = default;

    static void CreateLDT3LineNode(TLDT3LineNodeClass AInstanceClass, std::unique_ptr<TLDT3LineNode> &AReference);
    // The node class for a line with field identifier AFK and content AInhalt.
    static TLDT3LineNodeClass GetLDT3LineNodeClass(int AFK, const QString &AInhalt);

    // Creates the node of line ALineIdx and appends it as a child. APtrList
    // must be the file of this node's tree.
    TLDT3LineNode *AddLine(const TLDT3FilePtrList *APtrList, int ALineIdx);

    const TLDT3FilePtrList *PtrList() const { return FLines ? FLines->PtrList : nullptr; }
    // Whether InitNode has run on the tree (after a successful build).
    bool TreeInitialised() const { return FLines && FLines->Initialised; }
    // The field dictionary of the file's table set.
    const TLDT3FeldDict &FeldDict() const;
    int StartIdx() const { return FStartIdx; }
    int EndeIdx() const { return FEndeIdx; }
    void SetEndeIdx(int AValue) { FEndeIdx = AValue; }
    int NodeSize() const { return FEndeIdx - FStartIdx + 1; }
    bool IsRoot() const { return FStartIdx == -1 && FEndeIdx == -1; }

    // Line properties; not defined for the root.
    int Zeile() const { return FStartIdx + 1; }
    int FK() const;
    TLDT3::TFKTyp FKTyp() const { return TLDT3::GetFKTyp(FK()); }
    QString Inhalt() const;
    bool IsSatzArt() const { return FKTyp() == TLDT3::fkt_SatzArt; }
    bool IsObjektIdent() const { return FKTyp() == TLDT3::fkt_ObjektIdent; }
    bool IsObjektAttribut() const { return FKTyp() == TLDT3::fkt_ObjektAttribut; }

    bool CheckSatzArt(const QString &AInhalt) const;
    bool CheckSatzEnde(const QString &AInhalt) const;

    // Searches over the direct children, in child order.
    int CountChildNodes(int AFK) const;
    int CountChildNodesInhalt(int AFK, const QString &AInhalt) const;
    QList<TLDT3LineNode *> FindChildNodes(int AFK) const;
    QList<TLDT3LineNode *> FindChildNodesInhalt(int AFK, const QString &AInhalt) const;
    bool FindSingleNode(int AFK, TLDT3LineNode *&ANode) const;
    bool FindSingleNodeInhalt(int AFK, const QString &AInhalt, TLDT3LineNode *&ANode) const;
    QString SingleNodeInhalt(int AFK) const;
    QStringList ArrNodeInhalt(int AFK) const;

    static bool GetObjektFromAttributNode(const TLDT3LineNode *ANode, TLDT3ObjektIdentLineNode *&AObjNode);
    static TLDT3ObjektIdentLineNode *ObjektFromAttributNode(const TLDT3LineNode *ANode);
    bool FindSingleObjektFromAttribut(int AAttrFK, TLDT3ObjektIdentLineNode *&AObjNode) const;
    TLDT3ObjektIdentLineNode *SingleObjektFromAttribut(int AAttrFK) const;
    bool FindObjekteFromAttribut(int AAttrFK, QList<TLDT3ObjektIdentLineNode *> &AObjNodeArr) const;
    // The object under the only attribute AAttrFK when it is of class T, else null.
    template <class T> T *SingleObjekt(int AAttrFK) const { return dynamic_cast<T *>(SingleObjektFromAttribut(AAttrFK)); }

    // The node whose own line has index AIndex, in this subtree.
    bool FindLDT3LineNodeFromIndex(int AIndex, TLDT3LineNode *&ANode);

    TLDT3LineNode *Childs(int Index) const { return static_cast<TLDT3LineNode *>(GetChilds(Index)); }
    // What a child is, read without making a node of it (out of range throws
    // std::out_of_range): its line index, field identifier, content, and
    // whether it has children (a line kept as a slot never has).
    int ChildLineIdx(int Index) const;
    int ChildFK(int Index) const;
    QString ChildInhalt(int Index) const;
    bool ChildHasChilds(int Index) const;
    bool GetNextNode(const TLDT3Node *ANode, TLDT3LineNode *&ANextNode) const;
    bool GetRelNode(const TLDT3Node *ANode, int ADistance, TLDT3LineNode *&ARelNode) const;

    QString Caption() const override;

protected:
    friend class TLDT3RootNode;
    // One pass over the children for several field identifiers: per
    // identifier the number of children with it and the first of them.
    struct TFKScan
    {
        int FK;
        int Count = 0;
        const TLDT3LineNode *Owner = nullptr;
        int Index = -1; // child index of the first child with FK
        // SingleNodeInhalt of the identifier.
        QString Single() const { return Count == 1 ? Owner->ChildInhalt(Index) : QString(); }
        // SingleObjektFromAttribut of the identifier, when of class T.
        template <class T> T *Objekt() const
        {
            return Count == 1 ? dynamic_cast<T *>(ObjektFromAttributNode(Owner->ChildAt(Index))) : nullptr;
        }
    };
    void ScanChilds(TFKScan *AScans, int ACount) const;
    friend class TLDT3Datenpaket;
    // The node of line ALineIdx, not yet anyone's child.
    static TLDT3LineNode *NewLineNodeFK(const TLDT3TreeLines *ALines, int ALineIdx, int AFK);
    // The class of the child in slot Index, without making its node.
    TLDT3NodeClass ChildClass(int Index) const;
    // Child Index without range check (0 <= Index < ChildCount).
    TLDT3LineNode *ChildAt(int Index) const { return static_cast<TLDT3LineNode *>(Materialise(Index)); }
    // Line index of the child in slot ASlot, node or not.
    static int StartOfSlot(const TLDT3Node *ASlot)
    {
        return IsLineSlot(ASlot) ? SlotLineIdx(ASlot) : static_cast<const TLDT3LineNode *>(ASlot)->FStartIdx;
    }
    TLDT3Node *NewSlotNode(TLDT3Node *ASlot, int Index) const override;
    void SetLine(const TLDT3TreeLines *ALines, int ALineIdx)
    {
        FLines = ALines;
        FStartIdx = ALineIdx;
        FEndeIdx = ALineIdx;
    }
    const TLDT3TreeLines *TreeLines() const { return FLines; }

private:
    // The slots of the lines a closed record, attribute or object covers.
    void ReadChildsFromLines();

    const TLDT3TreeLines *FLines = nullptr;
    qint32 FStartIdx = -1;
    qint32 FEndeIdx = -1;
};
static_assert(sizeof(TLDT3LineNode) == 48, "tree nodes must stay small");

class TLDT3LineEmptyNode : public TLDT3LineNode
{
    LDT3_NODE_CLASS(TLDT3LineEmptyNode)
public:
    QString Caption() const override;
};

class TLDT3SatzEndeLineNode : public TLDT3LineNode
{
    LDT3_NODE_CLASS(TLDT3SatzEndeLineNode)
};

class TLDT3ObjektEndeLineNode : public TLDT3LineNode
{
    LDT3_NODE_CLASS(TLDT3ObjektEndeLineNode)
};

class TLDT3ObjektAttributeLineNode : public TLDT3LineNode
{
    LDT3_NODE_CLASS(TLDT3ObjektAttributeLineNode)
public:
    // ShortInfo of the object this attribute holds; empty without one.
    QString GetShortInfoFromObjekt() const;
    QString Caption() const override;
};

// Records and objects keep no texts: their data and short information are
// read from their children when asked, once InitNode has run on the tree
// (before that, and after a failed build, they have none).
class TLDT3ObjektIdentLineNode : public TLDT3LineNode
{
    LDT3_NODE_CLASS(TLDT3ObjektIdentLineNode)
public:
    QString ShortInfo() const { return Initialised() ? BuildShortInfo() : QString(); }
    virtual QString BuildShortInfo() const { return QString(); }
    QString Caption() const override;
    bool Initialised() const { return TreeInitialised(); }
};
static_assert(sizeof(TLDT3ObjektIdentLineNode) == 48, "tree nodes must stay small");

class TLDT3SatzArtLineNode : public TLDT3LineNode
{
    LDT3_NODE_CLASS(TLDT3SatzArtLineNode)
public:
    QString ShortInfo() const { return Initialised() ? BuildShortInfo() : QString(); }
    virtual QString BuildShortInfo() const { return QString(); }
    QString Caption() const override;
    bool Initialised() const { return TreeInitialised(); }
};

enum TLDT3FileTyp { ftNone, ftAuftrag, ftBefund };

class TLDT3RootNode : public TLDT3LineNode
{
    LDT3_NODE_CLASS(TLDT3RootNode)
public:
    TLDT3RootNode() = default;
    explicit TLDT3RootNode(const TLDT3FilePtrList *APtrList);

    ~TLDT3RootNode() override;

    QString FileName() const;
    TLDT3FileTyp LDT3FileTyp() const { return FLDT3FileTyp; }
    // The records by kind; their nodes are made on the first request.
    TLDT3SatzArt8220LineNode *BefundLHeader8220() const { return Records().FBefundLHeader8220; }
    const QList<TLDT3SatzArt8205LineNode *> &BefundArr8205() const { return Records().FBefundArr8205; }
    TLDT3SatzArt8221LineNode *BefundLAbschluss8221() const { return Records().FBefundLAbschluss8221; }
    TLDT3SatzArt8230LineNode *AuftragPHeader8230() const { return Records().FAuftragPHeader8230; }
    const QList<TLDT3SatzArt8215LineNode *> &AuftragArr8215() const { return Records().FAuftragArr8215; }
    TLDT3SatzArt8231LineNode *AuftragPAbschluss8231() const { return Records().FAuftragPAbschluss8231; }

    QString Caption() const override;

protected:
    void InitNodeSelf() override;

private:
    friend class TLDT3Datenpaket;
    struct TRecords
    {
        bool Made = false;
        TLDT3SatzArt8220LineNode *FBefundLHeader8220 = nullptr;
        QList<TLDT3SatzArt8205LineNode *> FBefundArr8205;
        TLDT3SatzArt8221LineNode *FBefundLAbschluss8221 = nullptr;
        TLDT3SatzArt8230LineNode *FAuftragPHeader8230 = nullptr;
        QList<TLDT3SatzArt8215LineNode *> FAuftragArr8215;
        TLDT3SatzArt8231LineNode *FAuftragPAbschluss8231 = nullptr;
    };
    const TRecords &Records() const;

    TLDT3TreeLines FLinesData;
    // The classes of the children as the build read them, while their lines
    // were at hand; InitNodeSelf uses and frees them.
    std::vector<TLDT3NodeClass> FChildClasses;
    TLDT3FileTyp FLDT3FileTyp = ftNone;
    int FMiddleCount = 0; // records between header and trailer
    mutable TRecords FRecords;
};

// ---------------------------------------------------------------------------
// The tree control that the presentation fills. The desktop adapts its tree
// widget to it; the checker and the tests use TLDT3MemTreeControl.
class TLDT3TreeControl
{
public:
    virtual ~TLDT3TreeControl() = default;
    virtual void BeginUpdate() = 0; // suspend repainting
    virtual void EndUpdate() = 0;   // resume repainting
    virtual void ClearItems() = 0;
    virtual TLDT3ItemID AddTopItem(const QString &AText) = 0;
    virtual TLDT3ItemID AddChildItem(TLDT3ItemID AParent, const QString &AText, TLDT3Node *AData) = 0;
    // Whether AItemID names an item of this control.
    virtual bool FindItem(TLDT3ItemID AItemID) const = 0;
    virtual void SetItemText(TLDT3ItemID AItemID, const QString &AText) = 0;
    virtual void ExpandItem(TLDT3ItemID AItemID, bool ARecursive) = 0;
    virtual void ScrollToItem(TLDT3ItemID AItemID) = 0;
};

// A tree control in memory: items in creation order; handles are item
// numbers + 1. Prints itself as indented text.
class TLDT3MemTreeControl : public TLDT3TreeControl
{
public:
    struct TItem
    {
        QString Text;
        TLDT3Node *Data = nullptr;
        int Parent = -1;      // item number; -1 for a top-level item
        int FirstChild = -1;
        int LastChild = -1;
        int NextSibling = -1;
        int Level = 0;
        bool Expanded = false;
    };

    void BeginUpdate() override { ++FUpdateDepth; }
    void EndUpdate() override { --FUpdateDepth; }
    void ClearItems() override;
    TLDT3ItemID AddTopItem(const QString &AText) override;
    TLDT3ItemID AddChildItem(TLDT3ItemID AParent, const QString &AText, TLDT3Node *AData) override;
    bool FindItem(TLDT3ItemID AItemID) const override { return ItemNo(AItemID) >= 0; }
    void SetItemText(TLDT3ItemID AItemID, const QString &AText) override;
    void ExpandItem(TLDT3ItemID AItemID, bool ARecursive) override;
    void ScrollToItem(TLDT3ItemID AItemID) override { FScrolledTo = AItemID; }

    int UpdateDepth() const { return FUpdateDepth; }
    int Count() const { return int(FItems.size()); }
    const TItem &Item(int ANo) const { return FItems.at(ANo); }
    // Item number of a handle; -1 when it names no item.
    int ItemNo(TLDT3ItemID AItemID) const;
    static TLDT3ItemID Handle(int ANo) { return TLDT3ItemID(ANo) + 1; }
    TLDT3ItemID ScrolledTo() const { return FScrolledTo; }
    // Texts of the child items of an item (-1: the top-level items).
    QStringList ChildTexts(int ANo) const;
    // All items, depth first, two blanks of indent per level, one per line.
    QString AsText() const;

private:
    std::vector<TItem> FItems;
    int FLastTop = -1;
    int FUpdateDepth = 0;
    TLDT3ItemID FScrolledTo = 0;
};

// ---------------------------------------------------------------------------
// Attachment tree

class TLDT3Base64FileNode;
class TLDT3Base64RootNode;

class TLDT3Base64AnlageNode : public TLDT3Node
{
    LDT3_NODE_CLASS(TLDT3Base64AnlageNode)
public:
    TLDT3Base64AnlageNode() = default;
    TLDT3Base64AnlageNode(const TLDT3FilePtrList *APtrList, TLDT3Base64Anlage *AAnlage, TLDT3Base64RootNode *ARoot);
    ~TLDT3Base64AnlageNode() override;

    TLDT3Base64Anlage *Anlage() const { return FAnlage; }
    TLDT3Base64FileNode *Base64FileNode() const { return FBase64FileNode; }
    QString Caption() const override;
    // The attachment was written to a file: rename the file item in the view.
    void AnlageSaved(TLDT3Base64Anlage *AAnlage);

protected:
    void InitNodeSelf() override;

private:
    const TLDT3FilePtrList *FPtrList = nullptr;
    TLDT3Base64Anlage *FAnlage = nullptr;
    TLDT3Base64FileNode *FBase64FileNode = nullptr;
    TLDT3Base64RootNode *FRoot = nullptr;
};

class TLDT3Base64FileNode : public TLDT3Node
{
    LDT3_NODE_CLASS(TLDT3Base64FileNode)
public:
    TLDT3Base64FileNode() = default;
    explicit TLDT3Base64FileNode(TLDT3Base64AnlageNode *AAnlageNode) : FAnlageNode(AAnlageNode) {}
    TLDT3Base64AnlageNode *AnlageNode() const { return FAnlageNode; }
    QString FileName() const;
    QString Caption() const override;

private:
    TLDT3Base64AnlageNode *FAnlageNode = nullptr;
};

class TLDT3Base64RootNode : public TLDT3Node
{
    LDT3_NODE_CLASS(TLDT3Base64RootNode)
public:
    TLDT3Base64RootNode() = default;
    explicit TLDT3Base64RootNode(const TLDT3FilePtrList *APtrList) : FPtrList(APtrList) {}
    QString Caption() const override;
    // The LDT tree view registered by FillLDTTreeView (not owned). A view that
    // dies before the model must be unregistered with SetTV(nullptr).
    TLDT3TreeControl *TV() const { return FTV; }
    void SetTV(TLDT3TreeControl *AValue) { FTV = AValue; }

protected:
    void InitNodeSelf() override;

private:
    void AddAnlageNode(TLDT3Base64Anlage *AAnlage);

    const TLDT3FilePtrList *FPtrList = nullptr;
    TLDT3TreeControl *FTV = nullptr;
};

// ---------------------------------------------------------------------------
// Error tree

class TLDT3LineErrorNode : public TLDT3Node
{
    LDT3_NODE_CLASS(TLDT3LineErrorNode)
public:
    TLDT3LineErrorNode() = default;
    // One node per faulty line: it keeps its line error only (the root the list).
    explicit TLDT3LineErrorNode(const TLDT3LineError *ALineError) : FLineError(ALineError) {}

    const TLDT3LineError *LineError() const { return FLineError; }
    bool IsRoot() const { return FLineError == nullptr; }
    int Zeile() const;
    QString ErrorMsg() const;
    TLDT3LineErrorNode *Childs(int Index) const { return static_cast<TLDT3LineErrorNode *>(GetChilds(Index)); }
    QString Caption() const override;

private:
    const TLDT3LineError *FLineError = nullptr;
};
static_assert(sizeof(TLDT3LineErrorNode) == 40, "an error node per faulty line must stay small");

class TLDT3ErrorRootNode : public TLDT3LineErrorNode
{
    LDT3_NODE_CLASS(TLDT3ErrorRootNode)
public:
    TLDT3ErrorRootNode() = default;
    explicit TLDT3ErrorRootNode(const TLDT3FilePtrList *APtrList) : FPtrList(APtrList) {}
    QString Caption() const override;
    bool FindLDT3LineErrorNodeFromZeile(int AZeile, TLDT3LineErrorNode *&ANode) const;

protected:
    void InitNodeSelf() override;

private:
    void AddLineErrorNode(const TLDT3LineError *ALineError);

    const TLDT3FilePtrList *FPtrList = nullptr;
};

// ---------------------------------------------------------------------------
// The tree model of one loaded file.

class TLDT3Datenpaket
{
public:
    explicit TLDT3Datenpaket(const TLDT3FilePtrList *APtrList);
    ~TLDT3Datenpaket();
    TLDT3Datenpaket(const TLDT3Datenpaket &) = delete;
    TLDT3Datenpaket &operator=(const TLDT3Datenpaket &) = delete;

    const TLDT3FilePtrList *PtrList() const { return FPtrList; }
    TLDT3RootNode *LDTRoot() const { return FLDTRoot.get(); }
    TLDT3Base64RootNode *Base64Root() const { return FBase64Root.get(); }
    TLDT3ErrorRootNode *ErrorRoot() const { return FErrorRoot.get(); }
    int SatzCount() const { return FLDTRoot ? FLDTRoot->ChildCount() : 0; }

    // Builds the LDT tree once; a structural error stops it, is shown through
    // the message sink and kept in BuildError. True on success.
    bool BuildLDTTree();
    bool BuildBase64Tree();
    bool BuildErrorTree();
    bool RebuildErrorTree();
    // The text of the error that stopped the last build; empty otherwise.
    const QString &BuildError() const { return FBuildError; }

    TLDT3LineNode *GetLDT3LineNodeFromZeile(int AZeile) const;
    TLDT3LineErrorNode *GetLDT3LineErrorNodeFromZeile(int AZeile) const;

    // The LDT tree view registered on the model (see TLDT3Base64RootNode::SetTV).
    TLDT3TreeControl *TV() const { return FBase64Root ? FBase64Root->TV() : nullptr; }
    void SetTV(TLDT3TreeControl *AView)
    {
        if (FBase64Root)
            FBase64Root->SetTV(AView);
    }

protected:
    // The build after its preconditions: lines, error report, InitNode.
    // Tests call it on files whose structure the loader rejected.
    bool RunBuild();

private:
    // Returns the error text; empty when the lines were built.
    QString BuildLines();

    const TLDT3FilePtrList *FPtrList;
    std::unique_ptr<TLDT3RootNode> FLDTRoot;
    std::unique_ptr<TLDT3Base64RootNode> FBase64Root;
    std::unique_ptr<TLDT3ErrorRootNode> FErrorRoot;
    QString FBuildError;
};

// Captions made when a view asks, besides each node's own Caption(): the top
// item of the LDT tree ("file" - (caption)) and the one item that stands for
// a run of Base64 lines starting at AFirst. The fill functions use the same calls.
QString LDTTreeTopCaption(const TLDT3RootNode *ARoot);
QString Base64RunCaption(const TLDT3LineNode *AFirst);

// Fills AView with the LDT tree and the attachment tree; with AHideBase64 each
// run of Base64 lines is one item.
void FillLDTTreeView(TLDT3TreeControl *AView, TLDT3Datenpaket *ADatenpaket, bool AHideBase64);
// Fills AView with the error tree.
void FillErrorTreeView(TLDT3TreeControl *AView, TLDT3Datenpaket *ADatenpaket);

// Bytes held by the node pool (blocks in use, free blocks, unused room).
std::size_t LDT3NodePoolBytes();
