// One open LDT file: the owner of its models (the list model, which owns the
// line pointer list and the trees; the attachments and the XPM result of the
// file). It runs the open sequence once, turns every failure into one status
// with a German message, and is the selection hub of the views: it keeps the
// current line, the highlighted range and the current attachment and tells
// its observers when one of them or the XPM result changed. Setting a value
// it already has tells nobody, so a view that follows never hears its echo.
#pragma once

#include "LDT3.LVBase.h"

#include <QByteArray>
#include <QString>

#include <memory>
#include <vector>

class TLDT3Document;

// What a view of the document hears. Every call comes on the thread that
// changed the document, after the change.
class TLDT3DocumentObserver
{
public:
    virtual ~TLDT3DocumentObserver() = default;
    // A file was opened or the document was closed (models replaced or gone).
    virtual void DocumentChanged(const TLDT3Document &ADoc) { (void)ADoc; }
    // Line number (1-based), 0 for none.
    virtual void CurrentLineChanged(const TLDT3Document &ADoc, int AZeile) { (void)ADoc; (void)AZeile; }
    // The highlighted lines AFirstZeile..ALastZeile; 0, 0 for none.
    virtual void RangeChanged(const TLDT3Document &ADoc, int AFirstZeile, int ALastZeile)
    {
        (void)ADoc; (void)AFirstZeile; (void)ALastZeile;
    }
    // Index into the file's attachment list, -1 for none.
    virtual void AttachmentChanged(const TLDT3Document &ADoc, int AIndex) { (void)ADoc; (void)AIndex; }
    // The XPM result was set (its lines are marked, the error tree rebuilt).
    virtual void XPMResultChanged(const TLDT3Document &ADoc) { (void)ADoc; }
};

enum class TLDT3OpenStatus {
    osClosed,      // nothing opened yet, or closed
    osOpened,      // loaded, with lines
    osRejected,    // more invalid lines than the cut-off: not an LDT file
    osEmpty,       // the file has no bytes
    osReadError,   // the file could not be opened, mapped or read
    osOutOfMemory, // the open sequence ran out of memory; the document is empty
};

class TLDT3Document
{
public:
    TLDT3Document();
    ~TLDT3Document();
    TLDT3Document(const TLDT3Document &) = delete;
    TLDT3Document &operator=(const TLDT3Document &) = delete;

    // For a program that ends right after its last file (the checker): a
    // document that dies leaves its models to the operating system instead
    // of freeing them node by node; the next open or LeftModelsFree frees
    // them, so that at most the last file's stay. Off by default: tests and
    // fuzz targets free everything, so that leak checks see every block.
    static void SetLeaveModelsAtExit(bool AValue);
    // Frees the models a dead document left (none when the switch is off).
    static void FreeLeftModels();

    // Cut-off of invalid lines (30 as in the viewer; 0 = none).
    int MaxInvalidLines() const { return FMaxInvalidLines; }
    void SetMaxInvalidLines(int AValue) { FMaxInvalidLines = AValue < 0 ? 0 : AValue; }
    // Whether the open sequence builds the trees (the plain checker needs none).
    bool BuildTrees() const { return FBuildTrees; }
    void SetBuildTrees(bool AValue) { FBuildTrees = AValue; }
    // Whether the trees include the error tree, a node per faulty line
    // (the JSON report reads the lines and the LDT tree only).
    bool BuildErrorTree() const { return FBuildErrorTree; }
    void SetBuildErrorTree(bool AValue) { FBuildErrorTree = AValue; }

    // The open sequence: clears the document, loads, checks, builds the
    // trees. Never throws for a file that cannot be read or for lack of
    // memory: the status and StatusMessage say what happened. A rejected
    // file stays loaded (its lines can be shown), its trees are not built.
    TLDT3OpenStatus Open(const QString &AFileName);
    // The same for bytes held in memory (shared, not copied).
    TLDT3OpenStatus OpenBuffer(const QByteArray &AData, const QString &AName);
    void Close();

    TLDT3OpenStatus Status() const { return FStatus; }
    // The German reason of any status but osOpened and osClosed.
    const QString &StatusMessage() const { return FStatusMessage; }
    bool IsOpen() const { return FStatus == TLDT3OpenStatus::osOpened; }
    const QString &FileName() const { return FFileName; }

    TLDT3LineList &LineList() { return *FLineList; }
    const TLDT3LineList &LineList() const { return *FLineList; }
    TLDT3FilePtrList *PtrList() const { return FLineList->PtrList(); }
    TLDT3Datenpaket *Datenpaket() const { return FLineList->Datenpaket(); }
    const TXPMErrList *XPMErrList() const { return FLineList->XPMErrList(); }

    // Selection hub
    int CurrentZeile() const { return FCurrentZeile; }
    // Outside 1..lines it becomes 0 (none).
    void SetCurrentZeile(int AZeile);
    int RangeFirstZeile() const { return FRangeFirst; }
    int RangeLastZeile() const { return FRangeLast; }
    // An empty or reversed range, or one outside the file, becomes 0, 0.
    void SetRange(int AFirstZeile, int ALastZeile);
    int CurrentAnlage() const { return FCurrentAnlage; }
    // Outside the attachment list it becomes -1 (none).
    void SetCurrentAnlage(int AIndex);

    // Runs the test module once per loaded file (through the installed runner).
    bool XPMCheck();
    // Takes a result produced elsewhere; false when one exists or AList is null.
    bool SetXPMResult(std::unique_ptr<TXPMErrList> AList);

    // Observers are not owned; one must be removed before it dies.
    void AddObserver(TLDT3DocumentObserver *AObserver);
    void RemoveObserver(TLDT3DocumentObserver *AObserver);

private:
    template <typename F> TLDT3OpenStatus RunOpen(const QString &AFileName, F ALoad);
    void ResetSelection();
    template <typename F> void Notify(F ACall);

    std::unique_ptr<TLDT3LineList> FLineList;
    std::vector<TLDT3DocumentObserver *> FObservers;
    TLDT3OpenStatus FStatus = TLDT3OpenStatus::osClosed;
    QString FStatusMessage;
    QString FFileName;
    int FMaxInvalidLines = 30;
    bool FBuildTrees = true;
    bool FBuildErrorTree = true;
    int FCurrentZeile = 0;
    int FRangeFirst = 0;
    int FRangeLast = 0;
    int FCurrentAnlage = -1;
};
