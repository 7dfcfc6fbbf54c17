// The LDT tree and the error tree as Qt item models straight over the core's
// nodes: an index carries its node, parents come from the node's parent
// link, captions are made when the view asks. Runs of Base64 lines in the
// LDT tree show as one item (their first line).
#pragma once

#include <QAbstractItemModel>
#include <QHash>
#include <QIcon>

#include <unordered_map>
#include <vector>

class TLDT3Datenpaket;
class TLDT3FilePtrList;
class TLDT3Node;

class TLDT3TreeModel : public QAbstractItemModel
{
    Q_OBJECT
public:
    enum class TKind { tkLDT, tkErrors };

    explicit TLDT3TreeModel(TKind AKind, QObject *AParent = nullptr);

    // The tree of a loaded file (not owned); null empties the model. Call
    // with null before the file is cleared.
    void SetDatenpaket(TLDT3Datenpaket *ADatenpaket);
    TLDT3Datenpaket *Datenpaket() const { return FDatenpaket; }
    void Clear() { SetDatenpaket(nullptr); }

    QModelIndex index(int ARow, int AColumn, const QModelIndex &AParent = QModelIndex()) const override;
    QModelIndex parent(const QModelIndex &AChild) const override;
    int rowCount(const QModelIndex &AParent = QModelIndex()) const override;
    int columnCount(const QModelIndex &AParent = QModelIndex()) const override;
    QVariant data(const QModelIndex &AIndex, int ARole = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &AIndex) const override;

    // The node of an item (null for none) and the item of a node (an item
    // the model does not show, such as a hidden Base64 line, gives its run).
    static TLDT3Node *NodeOf(const QModelIndex &AIndex);
    QModelIndex IndexOf(const TLDT3Node *ANode) const;

    // The items that show the range mark: the selected item of a range and
    // the item that carries the attachment mark (invalid: none).
    enum TMark { mkRange = 0, mkAnhang = 1 };
    void SetMarkedItem(TMark AMark, const QModelIndex &AIndex);
    QModelIndex MarkedItem(TMark AMark) const { return FMarked[AMark]; }
    // Images: error mark, range mark.
    void SetMarkImages(const QIcon &AError, const QIcon &ARange);

    // The caption, the hint and whether the line has errors, as shown.
    QString Caption(const TLDT3Node *ANode) const;
    QString Hint(const TLDT3Node *ANode) const;
    bool HasErrorMark(const TLDT3Node *ANode) const;

private:
    const std::vector<int> *VisibleChilds(const TLDT3Node *ANode) const;
    int ChildCountOf(const TLDT3Node *ANode) const;
    TLDT3Node *ChildOf(const TLDT3Node *ANode, int ARow) const;
    int RowOf(const TLDT3Node *ANode) const;
    bool IsTop(const TLDT3Node *ANode) const;

    TKind FKind;
    TLDT3Datenpaket *FDatenpaket = nullptr;
    const TLDT3FilePtrList *FPtrList = nullptr;
    std::vector<TLDT3Node *> FTops;
    // Per node asked for: the child indexes shown when it has Base64 children,
    // else empty. Node-based, so an entry stays put while others are added.
    mutable std::unordered_map<const TLDT3Node *, std::vector<int>> FRunMaps;
    QPersistentModelIndex FMarked[2];
    QIcon FErrorImage;
    QIcon FRangeImage;
};
