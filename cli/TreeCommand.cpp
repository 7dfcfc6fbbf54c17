#include "TreeCommand.h"

#include "LDT3.FilePtrList.h"
#include "LDT3.TVBase.h"

int PrintTrees(const TLDT3FilePtrList &AList, QTextStream &AOut)
{
    TLDT3Datenpaket datenpaket(&AList);
    const bool built = datenpaket.BuildLDTTree();
    datenpaket.BuildBase64Tree();
    datenpaket.BuildErrorTree();

    TLDT3MemTreeControl ldtView;
    TLDT3MemTreeControl errorView;
    FillLDTTreeView(&ldtView, &datenpaket, true);
    FillErrorTreeView(&errorView, &datenpaket);
    // The model must not keep a view that dies first.
    datenpaket.SetTV(nullptr);

    AOut << ldtView.AsText() << errorView.AsText();
    return built ? 0 : 1;
}
