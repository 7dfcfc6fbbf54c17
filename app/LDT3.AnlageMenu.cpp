#include "LDT3.AnlageMenu.h"

#include "LDT3.Anlagen.h"
#include "LDT3.FilePtrList.h"
#include "LDT3.TVBase.h"
#include "Vex_Error.h"
#include "Vex_Icons.h"
#include "Vex_MessageSink.h"
#include "WStrTools.h"

#include <QDir>
#include <QFileDialog>
#include <QMenu>

TLDT3Base64Anlage *AnlageOfNode(const TLDT3Node *ANode)
{
    if (!ANode)
        return nullptr;
    const TLDT3Base64AnlageNode *node = nullptr;
    if (ANode->ClassType()->InheritsFrom(TLDT3Base64AnlageNode::Class()))
        node = static_cast<const TLDT3Base64AnlageNode *>(ANode);
    else if (ANode->ClassType()->InheritsFrom(TLDT3Base64FileNode::Class()))
        node = static_cast<const TLDT3Base64FileNode *>(ANode)->AnlageNode();
    return node ? node->Anlage() : nullptr;
}

void AddAnlageEntries(QMenu *AMenu, TLDT3Base64Anlage *AAnlage, const QString &ASaveDir, QWidget *AParent)
{
    QAction *def = nullptr;
    if (AAnlage->IsAnlageSaved()) {
        if (!AAnlage->FriendlyAppName().isEmpty()) {
            def = AMenu->addAction(Format(QStringLiteral("Mit %s öffnen"), {AAnlage->FriendlyAppName()}),
                                   [AAnlage]() { AAnlage->ShellAnlageOpen(); });
        }
        QAction *with = AMenu->addAction(QStringLiteral("Öffnen mit..."), [AAnlage]() { AAnlage->ShellAnlageOpenWithDlg(); });
        if (!def)
            def = with;
        AMenu->addAction(QStringLiteral("Eigenschaften"), [AAnlage]() { AAnlage->ShellAnlagePropertiesDlg(); });
        AMenu->addAction(QStringLiteral("Im Explorer anzeigen"), [AAnlage]() { AAnlage->ShellAnlageExplore(); });
    }
    QAction *save = AMenu->addAction(VexIcon(QStringLiteral("save-as")), QStringLiteral("Anlage speichern unter..."),
                                     [AAnlage, ASaveDir, AParent]() { OnAnlageSaveAs(AAnlage, ASaveDir, AParent); });
    AMenu->setDefaultAction(def ? def : save);
}

void FillTVAnlageMenu(QMenu *AMenu, const TLDT3Node *ANode, const TLDT3FilePtrList &AList, const QString &ASaveDir,
                      QWidget *AParent)
{
    if (!ANode)
        return;
    if (TLDT3Base64Anlage *a = AnlageOfNode(ANode)) {
        AddAnlageEntries(AMenu, a, ASaveDir, AParent);
        return;
    }
    if (!ANode->ClassType()->InheritsFrom(TLDT3LineNode::Class()))
        return;
    const auto *line = static_cast<const TLDT3LineNode *>(ANode);
    for (TLDT3Base64Anlage *a : AList.GetAnlagen(line->StartIdx(), line->EndeIdx())) {
        QMenu *sub = AMenu->addMenu(VexIcon(QStringLiteral("mark-attachment")), a->AnhangCaption());
        AddAnlageEntries(sub, a, ASaveDir, AParent);
    }
}

bool AnlageDoubleClick(const TLDT3Node *ANode, const QString &ASaveDir, QWidget *AParent)
{
    TLDT3Base64Anlage *a = AnlageOfNode(ANode);
    if (!a)
        return false;
    if (!a->IsAnlageSaved())
        OnAnlageSaveAs(a, ASaveDir, AParent);
    else if (!a->FriendlyAppName().isEmpty())
        a->ShellAnlageOpen();
    else
        a->ShellAnlageOpenWithDlg();
    return true;
}

std::unique_ptr<QFileDialog> CreateAnlageSaveDialog(const TLDT3Base64Anlage &AAnlage, const QString &ASaveDir,
                                                    QWidget *AParent)
{
    auto dlg = std::make_unique<QFileDialog>(AParent, Format(QStringLiteral("Anlage %d speichern unter"),
                                                             {AAnlage.Number()}),
                                             ASaveDir);
    dlg->setAcceptMode(QFileDialog::AcceptSave);
    dlg->setFileMode(QFileDialog::AnyFile);
    dlg->setOption(QFileDialog::DontUseNativeDialog, true);
    // the proposal comes from the file: a plain name, never a path
    dlg->selectFile(AnlageSafeFileName(AAnlage.DefaultFileNameNoPath(), AAnlage.Number()));
    return dlg;
}

bool SaveAnlageShowingErrors(TLDT3Base64Anlage *AAnlage, const QString &AFileName)
{
    try {
        if (AAnlage->SaveToFile(AFileName))
            return true;
        GetMessageSink().ShowMessage(
            TMsgKind::mkInformation, QString(),
            Format(QStringLiteral("Die Anlage %d enthält keine Daten und wurde nicht gespeichert."),
                   {AAnlage->Number()}));
    } catch (const ELDT3Error &e) {
        GetMessageSink().ShowMessage(TMsgKind::mkError, QString(), e.Message());
    }
    return false;
}

bool OnAnlageSaveAs(TLDT3Base64Anlage *AAnlage, const QString &ASaveDir, QWidget *AParent)
{
    std::unique_ptr<QFileDialog> dlg = CreateAnlageSaveDialog(*AAnlage, ASaveDir, AParent);
    if (dlg->exec() != QDialog::Accepted || dlg->selectedFiles().isEmpty())
        return false;
    const QString target = dlg->selectedFiles().first();
    return !target.isEmpty() && SaveAnlageShowingErrors(AAnlage, target);
}
