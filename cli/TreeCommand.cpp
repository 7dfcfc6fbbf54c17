#include "TreeCommand.h"

#include "LDT3.Document.h"
#include "LDT3.FilePtrList.h"
#include "LDT3.TVBase.h"

namespace {

int PrintBuiltTrees(TLDT3Datenpaket &ADatenpaket, bool ABuilt, QTextStream &AOut)
{
    TLDT3MemTreeControl ldtView;
    TLDT3MemTreeControl errorView;
    FillLDTTreeView(&ldtView, &ADatenpaket, true);
    FillErrorTreeView(&errorView, &ADatenpaket);
    // The model must not keep a view that dies first.
    ADatenpaket.SetTV(nullptr);

    AOut << ldtView.AsText() << errorView.AsText();
    return ABuilt ? 0 : 1;
}

} // namespace

int PrintTrees(const TLDT3FilePtrList &AList, QTextStream &AOut)
{
    TLDT3Datenpaket datenpaket(&AList);
    const bool built = datenpaket.BuildLDTTree();
    datenpaket.BuildBase64Tree();
    datenpaket.BuildErrorTree();
    return PrintBuiltTrees(datenpaket, built, AOut);
}

int PrintTrees(const TLDT3Document &ADoc, QTextStream &AOut)
{
    // a file cut short by the cut-off has no trees of the open sequence
    if (TLDT3Datenpaket *d = ADoc.Datenpaket())
        return PrintBuiltTrees(*d, ADoc.LineList().LDTTreeBuilt(), AOut);
    return PrintTrees(*ADoc.PtrList(), AOut);
}
