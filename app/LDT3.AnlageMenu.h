// The attachment commands of the LDT tree: the context menu of an item (one
// submenu per attachment of a line item's range, or an attachment item's
// entries directly), the double-click rule, and saving under a chosen name.
#pragma once

#include <QString>

#include <memory>

class QFileDialog;
class QMenu;
class QWidget;
class TLDT3Base64Anlage;
class TLDT3FilePtrList;
class TLDT3Node;

// The attachment of an attachment item or an attachment's file item; null otherwise.
TLDT3Base64Anlage *AnlageOfNode(const TLDT3Node *ANode);

// Fills AMenu for the item of ANode (nothing for null or an item without
// attachments). ASaveDir is where the save dialog starts; AParent owns dialogs.
void FillTVAnlageMenu(QMenu *AMenu, const TLDT3Node *ANode, const TLDT3FilePtrList &AList, const QString &ASaveDir,
                      QWidget *AParent);
// The entries of one attachment, in order: "Mit %s öffnen" (with an
// application name), "Öffnen mit...", "Eigenschaften", "Im Explorer
// anzeigen" while it is saved; always "Anlage speichern unter...". The
// default entry is the first of these three that is present: open with the
// named application, the chooser, saving.
void AddAnlageEntries(QMenu *AMenu, TLDT3Base64Anlage *AAnlage, const QString &ASaveDir, QWidget *AParent);

// Double-click on an attachment: an unsaved one is saved, a saved one opens
// (with its application, else through the chooser). False when ANode is no attachment.
bool AnlageDoubleClick(const TLDT3Node *ANode, const QString &ASaveDir, QWidget *AParent);

// The save dialog: titled "Anlage %d speichern unter", in ASaveDir,
// proposing the attachment's default name as a plain file name.
std::unique_ptr<QFileDialog> CreateAnlageSaveDialog(const TLDT3Base64Anlage &AAnlage, const QString &ASaveDir,
                                                    QWidget *AParent);
// Asks for the name and saves; failures are shown. True when saved.
bool OnAnlageSaveAs(TLDT3Base64Anlage *AAnlage, const QString &ASaveDir, QWidget *AParent);
// Saves to AFileName, showing what went wrong; true when saved.
bool SaveAnlageShowingErrors(TLDT3Base64Anlage *AAnlage, const QString &AFileName);
