// The line list model: one small row per shown line of the loaded file, the
// open sequence (load, then the three trees), lookups between line numbers,
// rows, tree nodes and view items, and the file reports.
#pragma once

#include "LDT3.Base.h"
#include "LDT3.FilePtrList.h"
#include "LDT3.TVBase.h"
#include "LDT3.XML_XPM_List.h"

#include <QString>

#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

enum TLDT3Column { lcZeile, lcLen, lcFK, lcInhalt, lcBeschreibung, lcFeldName, lcStatus };
constexpr int LDT3ColumnCount = lcStatus + 1;

// Column captions of the list view.
QString LDT3ColumnCaption(int I);

// Colours as 0xRRGGBB, so that the core needs no GUI colour type.
using TLDT3Color = quint32;
namespace LDT3Colors {
constexpr TLDT3Color Black = 0x000000;
constexpr TLDT3Color White = 0xFFFFFF;
constexpr TLDT3Color Chocolate = 0xD2691E;
constexpr TLDT3Color Teal = 0x008080;
constexpr TLDT3Color DimGray = 0x696969;
constexpr TLDT3Color Fuchsia = 0xFF00FF;
constexpr TLDT3Color Orange = 0xFFA500;
constexpr TLDT3Color Peru = 0xCD853F;
constexpr TLDT3Color Blue = 0x0000FF;
constexpr TLDT3Color Navy = 0x000080;
constexpr TLDT3Color Purple = 0x800080;
constexpr TLDT3Color DarkGreen = 0x006400;
constexpr TLDT3Color Silver = 0xC0C0C0;
constexpr TLDT3Color Tomato = 0xFF6347;
} // namespace LDT3Colors

// Font style bits of a cell.
enum TLDT3FontStyle : int { fsBold = 1, fsItalic = 2 };
using TLDT3FontStyles = int;

// Indexes into the view's image list.
constexpr int LDT3ImageNone = -1;
constexpr int LDT3ImageError = 1;
constexpr int LDT3ImageXPM = 26;

// One row: the file, the line's index and its row. Everything shown is read
// from the file when asked.
class TLDT3Line
{
public:
    TLDT3Line(const TLDT3FilePtrList *APtrList, int APtrIdx) : FPtrList(APtrList), FPtrIdx(APtrIdx) {}
    virtual ~TLDT3Line() = default;
    TLDT3Line(const TLDT3Line &) = default;
    TLDT3Line &operator=(const TLDT3Line &) = default;

    virtual QString GetColumn(int I) const;
    TLDT3Color GetFontColor(int I) const;
    TLDT3FontStyles GetFontStyles(int I) const;
    TLDT3Color GetBrushColor(int I) const;

    QString Columns(int I) const { return GetColumn(I); }
    TLDT3Color FontColor(int I) const { return GetFontColor(I); }
    TLDT3FontStyles FontStyles(int I) const { return GetFontStyles(I); }
    TLDT3Color BrushColor(int I) const { return GetBrushColor(I); }

    QString InfoTip() const;
    int ImageIndex() const;
    QString StatusText() const { return ErrorMsg(); }
    QString DetailCaption() const;
    QString DetailInfoXHTML() const;

    const TLDT3FilePtrList *PtrList() const { return FPtrList; }
    int PtrIdx() const { return FPtrIdx; }
    int InListIndex() const { return FInListIndex; }
    int Zeile() const { return FPtrIdx + 1; }
    int Zeilen() const { return FPtrList->Count(); }
    int FK() const { return FPtrList->FK(FPtrIdx); }
    TLDT3::TFKTyp FKTyp() const { return FPtrList->FKTyp(FPtrIdx); }
    int Len() const { return FPtrList->Len(FPtrIdx); }
    QString Inhalt() const { return FPtrList->Inhalt(FPtrIdx); }
    int Level() const { return FPtrList->Level(FPtrIdx); }

    int LineErrorCode() const { return FPtrList->LineErrorCode(FPtrIdx); }
    // With the test module's item first when the line carries its mark.
    QString LineErrorMsg() const;
    int FeldErrorCode() const { return FPtrList->FeldErrorCode(FPtrIdx); }
    QString FeldErrorMsg() const { return FPtrList->FeldErrorMsg(FPtrIdx); }
    QString ErrorMsg() const;
    bool LineHasErrors() const { return FPtrList->LineHasErrors(FPtrIdx); }
    bool LineHasXPMErrors() const { return FPtrList->LineHasXPMErrors(FPtrIdx); }
    bool LineOK() const { return FPtrList->LineOK(FPtrIdx); }
    bool FeldOK() const { return FPtrList->FeldOK(FPtrIdx); }

    QString LongPath() const { return FPtrList->LongPath(FPtrIdx); }
    QString ShortPath() const { return FPtrList->ShortPath(FPtrIdx); }
    QString LongPathFK() const { return FPtrList->LongPathFK(FPtrIdx); }
    QString ShortPathFK() const { return FPtrList->ShortPathFK(FPtrIdx); }

    // The content with every NUL shown as U+25B2.
    QString InhaltShown() const;

private:
    friend class TLDT3LineList;
    const TLDT3FilePtrList *FPtrList;
    qint32 FPtrIdx;
    qint32 FInListIndex = -1;
};
static_assert(sizeof(TLDT3Line) == 2 * sizeof(void *) + 8, "list rows must stay small");

class TLDT3LineList
{
public:
    TLDT3LineList();
    ~TLDT3LineList();
    TLDT3LineList(const TLDT3LineList &) = delete;
    TLDT3LineList &operator=(const TLDT3LineList &) = delete;

    void Clear();
    // Loads the file and builds the trees (unless ABuildTrees is false); true
    // when it was loaded and has lines. Errors raised while loading pass on
    // after InvalidLines is set.
    bool GetLDT3FilePtrList(const QString &AFileName, bool ABuildTrees = true);
    // The same for bytes in memory (shared, not copied); AName is shown as the file name.
    bool LoadFromBuffer(const QByteArray &AData, const QString &AName, bool ABuildTrees = true);
    // Rebuilds the rows (every row reference held before becomes invalid).
    bool BuildLineList(bool AIgnoreBase64);

    // Rows: a row is the index of its line, 4 bytes, or nothing at all while
    // every line is shown. Line makes the row's object by value; Items gives
    // one that stays at its address until the rows are rebuilt (made on the
    // first request, for callers that keep a row). Both throw
    // std::out_of_range outside 0..Count-1.
    TLDT3Line Line(int Index) const;
    TLDT3Line *Items(int Index);
    const TLDT3Line *Items(int Index) const;
    int Count() const { return FRowCount; }
    // Line index of row Index (no range check).
    int PtrIdxOfRow(int Index) const { return FRows.empty() ? Index : FRows[size_t(Index)]; }
    // Row of line number ALineNo; -1 when the line has no row.
    int RowOfZeile(int ALineNo) const;
    int InvisibleLines() const { return FPtrList->Count() - Count(); }
    bool HasBase64Lines() const { return FPtrList->FeldCounter().GetCount(TLDT3::FK_Base64) > 0; }

    // Passed through from the file.
    bool FileIsOpen() const { return FPtrList->FileIsOpen(); }
    bool CheckSumOkay() const { return FPtrList->CheckSumOkay(); }
    bool IsLDTFile() const { return FPtrList->IsLDTFile(); }
    bool IsLDT_3_1_2_OrHigher() const { return FPtrList->IsLDT_3_1_2_OrHigher(); }
    const QString &XDTVersion() const { return FPtrList->XDTVersion(); }
    bool StructureOkay() const { return FPtrList->StructureOkay(); }
    bool PathAndLevelOkay() const { return FPtrList->PathAndLevelOkay(); }
    bool FileErrorEmptyLine() const { return FPtrList->FileErrorEmptyLine(); }
    bool FileErrorEmptyLineAtEnd() const { return FPtrList->FileErrorEmptyLineAtEnd(); }
    bool FileErrorCrLf() const { return FPtrList->FileErrorCrLf(); }
    bool FileErrorInvalidLine() const { return FPtrList->FileErrorInvalidLine(); }
    bool FileErrorInvalidChars() const { return FPtrList->FileErrorInvalidChars(); }
    bool FileErrorWrongLength() const { return FPtrList->FileErrorWrongLength(); }
    bool FileErrorManyChecksums() const { return FPtrList->FileErrorManyChecksums(); }
    int MaxInvalidLines() const { return FPtrList->MaxInvalidLines(); }
    void SetMaxInvalidLines(int AValue) { FPtrList->SetMaxInvalidLines(AValue); }
    // Whether the open sequence and a new XPM result build the error tree
    // (its root stays empty otherwise).
    void SetBuildErrorTree(bool AValue) { FBuildErrorTree = AValue; }

    // The test module's result for the loaded file (null when none).
    const TXPMErrList *XPMErrList() const { return FPtrList->XPMErrList(); }
    bool XPMCheckDone() const { return FPtrList->XPMCheckDone(); }
    QString XPMStatus() const { return FPtrList->XPMStatus(); }
    // Runs the test module once per loaded file and marks its lines; after a
    // successful run the error list and the error tree are built again.
    bool XPMCheck();
    // Takes a result produced elsewhere (the run above, or a test): marks its
    // lines, rebuilds the error list and the error tree. False when a result
    // exists already or AList is null.
    bool SetXPMResult(std::unique_ptr<TXPMErrList> AList);

    int InvalidLines() const { return FInvalidLines; }
    const QString &FileName() const { return FFileName; }
    const QString &SearchPattern() const { return FSearchPattern; }
    TLDT3Datenpaket *Datenpaket() const { return FDatenpaket.get(); }
    TLDT3FilePtrList *PtrList() const { return FPtrList.get(); }
    bool SyncTreeEnabled() const { return FDatenpaket && FDatenpaket->SatzCount() > 0; }
    // The LDT tree of the last open was built without error.
    bool LDTTreeBuilt() const { return FLDTTreeBuilt; }

    // Lookups; all give null when there is nothing to find.
    TLDT3Line *GetLDT3LineFromZeile(int ALineNo) const;
    TLDT3Line *GetNearestLDT3LineFromZeile(int ALineNo, bool &FoundExact) const;
    TLDT3LineNode *GetLDT3LineNodeFromZeile(int ALineNo) const;
    TLDT3LineNode *GetLDT3LineNodeFromLDT3Line(const TLDT3Line *ALine) const;
    TLDT3LineErrorNode *GetLDT3LineErrorNodeFromZeile(int ALineNo) const;
    TLDT3LineErrorNode *GetLDT3LineErrorNodeFromLDT3Line(const TLDT3Line *ALine) const;
    TLDT3ItemID GetTVNodeFromLDT3LineNode(const TLDT3TreeControl *ATreeView, const TLDT3LineNode *ALineNode) const;
    TLDT3ItemID GetTVNodeFromZeile(const TLDT3TreeControl *ATreeView, int ALineNo) const;
    TLDT3ItemID GetTVNodeFromLDT3Line(const TLDT3TreeControl *ATreeView, const TLDT3Line *ALine) const;
    TLDT3ItemID GetTVErrorsNodeFromLDT3LineErrorNode(const TLDT3TreeControl *ATreeView,
                                                     const TLDT3LineErrorNode *ALineErrorNode) const;
    TLDT3ItemID GetTVErrorsNodeFromZeile(const TLDT3TreeControl *ATreeView, int ALineNo) const;
    TLDT3ItemID GetTVErrorsNodeFromLDT3Line(const TLDT3TreeControl *ATreeView, const TLDT3Line *ALine) const;

    // Search: every line whose text contains the pattern is a hit.
    bool FindStr(const QString &ASearchPattern);
    int FoundCount() const { return FPtrList->FoundList().Count(); }
    // Line number of hit Index; 0 outside 0..FoundCount-1.
    int GetFoundZeile(int Index) const;
    int FoundZeile(int Index) const { return GetFoundZeile(Index); }

    // Reports
    QString GetFileInfoXHTML() const;
    QString GetFeldStatistikXHTML() const;
    QString GetFileContentXHTML() const;

private:
    void ClearRows();
    // ALoad loads the file, running the work it is given beside the field checks.
    using TLoad = std::function<bool(const TLDT3FilePtrList::TWithChecks &)>;
    bool RunOpenSequence(const QString &AFileName, bool ABuildTrees, const TLoad &ALoad);

    std::unique_ptr<TLDT3FilePtrList> FPtrList;
    std::unique_ptr<TLDT3Datenpaket> FDatenpaket;
    // Row -> line index, ascending; empty while every line is a row.
    TVexBigVector<qint32> FRows;
    int FRowCount = 0;
    // The row objects handed out by address, by row.
    mutable std::mutex FKeptLock;
    mutable QHash<int, TLDT3Line *> FKeptIndex;
    mutable std::deque<TLDT3Line> FKept;
    int FInvalidLines = 0;
    bool FLDTTreeBuilt = false;
    bool FBuildErrorTree = true;
    QString FFileName;
    QString FSearchPattern;
};


// "1.234 Byte", "1,00 KB (1.025 Byte)" ... with the user's separators.
QString FormatFileSize(int ADecimals, bool AWithBytes, qint64 ASize);
