#include "LDT3.TreeModel.h"

#include "LDT3.Base.h"
#include "LDT3.FilePtrList.h"
#include "LDT3.TVBase.h"
#include "WStrTools.h"

#include <algorithm>

namespace {

const TLDT3LineNode *AsLineNode(const TLDT3Node *ANode)
{
    return ANode && ANode->ClassType()->InheritsFrom(TLDT3LineNode::Class())
               ? static_cast<const TLDT3LineNode *>(ANode)
               : nullptr;
}

bool IsBase64Line(const TLDT3Node *ANode)
{
    const TLDT3LineNode *l = AsLineNode(ANode);
    return l && !l->IsRoot() && l->FK() == TLDT3::FK_Base64;
}

} // namespace

TLDT3TreeModel::TLDT3TreeModel(TKind AKind, QObject *AParent) : QAbstractItemModel(AParent), FKind(AKind) {}

void TLDT3TreeModel::SetDatenpaket(TLDT3Datenpaket *ADatenpaket)
{
    beginResetModel();
    FDatenpaket = ADatenpaket;
    FPtrList = ADatenpaket ? ADatenpaket->PtrList() : nullptr;
    FTops.clear();
    FRunMaps.clear();
    FMarked[mkRange] = FMarked[mkAnhang] = QPersistentModelIndex();
    if (ADatenpaket) {
        if (FKind == TKind::tkLDT) {
            if (ADatenpaket->LDTRoot()) {
                FTops.push_back(ADatenpaket->LDTRoot());
                if (ADatenpaket->Base64Root())
                    FTops.push_back(ADatenpaket->Base64Root());
            }
        } else if (ADatenpaket->ErrorRoot()) {
            FTops.push_back(ADatenpaket->ErrorRoot());
        }
    }
    endResetModel();
}

// The children a node shows, every run of Base64 lines collapsed to its first
// line; null when it shows all. Worked out when the view first asks for the
// node, so opening a file walks none of its lines; reads the children's field
// identifiers only, so their nodes are made when shown.
const std::vector<int> *TLDT3TreeModel::VisibleChilds(const TLDT3Node *ANode) const
{
    if (FKind != TKind::tkLDT || !ANode)
        return nullptr;
    auto it = FRunMaps.find(ANode);
    if (it == FRunMaps.end()) {
        std::vector<int> shown;
        if (const TLDT3LineNode *l = AsLineNode(ANode)) {
            const int count = l->ChildCount();
            auto isBase64 = [l](int i) { return l->ChildFK(i) == TLDT3::FK_Base64; };
            bool hasRun = false;
            for (int i = 0; i < count && !hasRun; ++i)
                hasRun = isBase64(i);
            if (hasRun)
                for (int i = 0; i < count; ++i)
                    if (!(i > 0 && isBase64(i) && isBase64(i - 1)))
                        shown.push_back(i);
        }
        it = FRunMaps.emplace(ANode, std::move(shown)).first;
    }
    return it->second.empty() ? nullptr : &it->second;
}

int TLDT3TreeModel::ChildCountOf(const TLDT3Node *ANode) const
{
    // the error tree shows the errors under its root only
    if (FKind == TKind::tkErrors && !IsTop(ANode))
        return 0;
    // a Base64 run shows as one item without children
    if (FKind == TKind::tkLDT && IsBase64Line(ANode))
        return 0;
    if (const std::vector<int> *v = VisibleChilds(ANode))
        return int(v->size());
    return ANode->ChildCount();
}

TLDT3Node *TLDT3TreeModel::ChildOf(const TLDT3Node *ANode, int ARow) const
{
    if (const std::vector<int> *v = VisibleChilds(ANode))
        return ANode->Childs((*v)[ARow]);
    return ANode->Childs(ARow);
}

bool TLDT3TreeModel::IsTop(const TLDT3Node *ANode) const
{
    return std::find(FTops.begin(), FTops.end(), ANode) != FTops.end();
}

int TLDT3TreeModel::RowOf(const TLDT3Node *ANode) const
{
    const TLDT3Node *p = ANode->Parent();
    if (!p) {
        auto it = std::find(FTops.begin(), FTops.end(), ANode);
        return it == FTops.end() ? -1 : int(it - FTops.begin());
    }
    if (const std::vector<int> *v = VisibleChilds(p)) {
        auto it = std::lower_bound(v->begin(), v->end(), ANode->ChildIdx());
        return it != v->end() && *it == ANode->ChildIdx() ? int(it - v->begin()) : -1;
    }
    return ANode->ChildIdx();
}

QModelIndex TLDT3TreeModel::index(int ARow, int AColumn, const QModelIndex &AParent) const
{
    if (AColumn != 0 || ARow < 0)
        return {};
    if (!AParent.isValid())
        return ARow < int(FTops.size()) ? createIndex(ARow, 0, FTops[ARow]) : QModelIndex();
    const TLDT3Node *p = NodeOf(AParent);
    if (ARow >= ChildCountOf(p))
        return {};
    return createIndex(ARow, 0, ChildOf(p, ARow));
}

QModelIndex TLDT3TreeModel::parent(const QModelIndex &AChild) const
{
    const TLDT3Node *n = NodeOf(AChild);
    if (!n || IsTop(n))
        return {};
    TLDT3Node *p = n->Parent();
    if (!p)
        return {};
    const int row = RowOf(p);
    return row < 0 ? QModelIndex() : createIndex(row, 0, p);
}

int TLDT3TreeModel::rowCount(const QModelIndex &AParent) const
{
    if (!AParent.isValid())
        return int(FTops.size());
    if (AParent.column() != 0)
        return 0;
    return ChildCountOf(NodeOf(AParent));
}

int TLDT3TreeModel::columnCount(const QModelIndex &AParent) const
{
    (void)AParent;
    return 1;
}

TLDT3Node *TLDT3TreeModel::NodeOf(const QModelIndex &AIndex)
{
    return AIndex.isValid() ? static_cast<TLDT3Node *>(AIndex.internalPointer()) : nullptr;
}

QModelIndex TLDT3TreeModel::IndexOf(const TLDT3Node *ANode) const
{
    if (!ANode || FTops.empty())
        return {};
    // a hidden line of a run: the run's first line
    if (FKind == TKind::tkLDT && IsBase64Line(ANode)) {
        const TLDT3Node *p = ANode->Parent();
        if (const std::vector<int> *v = p ? VisibleChilds(p) : nullptr) {
            // the last shown child at or before it is the run's first line
            auto it = std::upper_bound(v->begin(), v->end(), ANode->ChildIdx());
            if (it != v->begin())
                ANode = p->Childs(*(it - 1));
        }
    }
    const int row = RowOf(ANode);
    return row < 0 ? QModelIndex() : createIndex(row, 0, const_cast<TLDT3Node *>(ANode));
}

QString TLDT3TreeModel::Caption(const TLDT3Node *ANode) const
{
    if (FKind == TKind::tkLDT) {
        if (FDatenpaket && ANode == FDatenpaket->LDTRoot())
            return LDTTreeTopCaption(FDatenpaket->LDTRoot());
        if (IsBase64Line(ANode))
            return Base64RunCaption(static_cast<const TLDT3LineNode *>(ANode));
    }
    return ANode->Caption();
}

QString TLDT3TreeModel::Hint(const TLDT3Node *ANode) const
{
    if (const TLDT3LineNode *l = AsLineNode(ANode))
        return l->IsRoot() ? QString() : Format(QStringLiteral("Zeile %d"), {l->Zeile()});
    if (ANode->ClassType()->InheritsFrom(TLDT3Base64FileNode::Class()))
        return static_cast<const TLDT3Base64FileNode *>(ANode)->FileName();
    return {};
}

bool TLDT3TreeModel::HasErrorMark(const TLDT3Node *ANode) const
{
    if (!FPtrList)
        return false;
    int idx = -1;
    if (const TLDT3LineNode *l = AsLineNode(ANode))
        idx = l->IsRoot() ? -1 : l->StartIdx();
    else if (ANode->ClassType()->InheritsFrom(TLDT3LineErrorNode::Class()))
        idx = static_cast<const TLDT3LineErrorNode *>(ANode)->IsRoot()
                  ? -1
                  : static_cast<const TLDT3LineErrorNode *>(ANode)->Zeile() - 1;
    return idx >= 0 && idx < FPtrList->Count() && FPtrList->LineHasErrors(idx);
}

QVariant TLDT3TreeModel::data(const QModelIndex &AIndex, int ARole) const
{
    const TLDT3Node *n = NodeOf(AIndex);
    if (!n)
        return {};
    switch (ARole) {
    case Qt::DisplayRole:
        return Caption(n);
    case Qt::ToolTipRole: {
        const QString hint = Hint(n);
        return hint.isEmpty() ? QVariant() : QVariant(hint);
    }
    case Qt::DecorationRole:
        // the error mark wins; the range or attachment mark only on an item without one
        if (HasErrorMark(n))
            return FErrorImage;
        if ((FMarked[mkRange].isValid() && FMarked[mkRange] == AIndex) ||
            (FMarked[mkAnhang].isValid() && FMarked[mkAnhang] == AIndex))
            return FRangeImage;
        return {};
    default:
        return {};
    }
}

Qt::ItemFlags TLDT3TreeModel::flags(const QModelIndex &AIndex) const
{
    return AIndex.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable
                            : Qt::NoItemFlags;
}

void TLDT3TreeModel::SetMarkedItem(TMark AMark, const QModelIndex &AIndex)
{
    if (QModelIndex(FMarked[AMark]) == AIndex)
        return;
    const QModelIndex old = FMarked[AMark];
    FMarked[AMark] = AIndex;
    if (old.isValid())
        Q_EMIT dataChanged(old, old, {Qt::DecorationRole});
    if (AIndex.isValid())
        Q_EMIT dataChanged(AIndex, AIndex, {Qt::DecorationRole});
}

void TLDT3TreeModel::SetMarkImages(const QIcon &AError, const QIcon &ARange)
{
    FErrorImage = AError;
    FRangeImage = ARange;
}
