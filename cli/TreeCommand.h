// ventolix-check --tree: the trees of a loaded file as indented text.
#pragma once

#include <QTextStream>

class TLDT3Document;
class TLDT3FilePtrList;

// Builds the LDT tree, the attachment tree and the error tree of AList and
// prints them as the viewer shows them: the LDT tree with its runs of Base64
// lines hidden, then the attachment tree, then the error tree; one item per
// line, two blanks of indent per level. A build error is reported through the
// message sink. Returns 0 when the LDT tree was built, 1 otherwise.
int PrintTrees(const TLDT3FilePtrList &AList, QTextStream &AOut);
// The same for an opened document: prints the trees its open sequence built
// (or builds them when it built none).
int PrintTrees(const TLDT3Document &ADoc, QTextStream &AOut);
