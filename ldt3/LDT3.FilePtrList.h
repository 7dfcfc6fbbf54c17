// The loaded LDT file: the mapped bytes and one small record per physical line.
#pragma once

#include "LDT3.Anlagen.h"
#include "LDT3.Base.h"
#include "LDT3.TableSet.h"
#include "Vex_Counter.h"
#include "Vex_HugeAlloc.h"
#include "Vex_IntList.h"
#include "Vex_MinMax.h"
#include "Vex_PageRelease.h"
#include "Vex_SHA1Prefix.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QFile>
#include <QHash>
#include <QList>
#include <QString>

#include <algorithm>
#include <atomic>
#include <functional>
#include <vector>
#include <memory>

class TLDT3FilePtrList;
class TXPMErrList;

// Line error bits
enum TLDT3LineErrorBits : int {
    LE_EmptyLine = 0x001,
    LE_InvalidLine = 0x002,
    LE_InvalidChars = 0x004,
    LE_CrLf = 0x008,
    LE_WrongLength = 0x010,
    LE_ManyChecksums = 0x020,
    LE_ManyVersions = 0x040,
    LE_EmptyLineAtEnd = 0x080,
    LE_XPMError = 0x100,
};

// Sets the XPM bit on every line the result names.
void MarkXPMLines(TLDT3FilePtrList &AList, const TXPMErrList &AXPMErrList);

// Message of one line error bit (empty for the XPM bit and unknown bits).
QString LineErrorBitMsg(int ABit);

// One row of the field statistics.
struct TLDT3FeldStatistikRec
{
    int FK = 0;      // -1 for the row of all object attributes
    QString FKStr;   // "FK 8000"; empty for -1 and 0
    int Anzahl = 0;
    QString Name;
};

// One erroneous line; its message is worked out anew on each read.
class TLDT3LineError
{
public:
    TLDT3LineError(const TLDT3FilePtrList *APtrList, int APtrIdx) : FPtrList(APtrList), FPtrIdx(APtrIdx) {}
    int PtrIdx() const { return FPtrIdx; }
    int Zeile() const { return FPtrIdx + 1; }
    QString ErrorMsg() const;

private:
    const TLDT3FilePtrList *FPtrList;
    int FPtrIdx;
};

// The erroneous lines of a file in ascending line order.
class TLDT3LineErrorList
{
public:
    explicit TLDT3LineErrorList(const TLDT3FilePtrList *APtrList) : FPtrList(APtrList) {}
    void Clear();
    int Count() const { return int(FList.size()); }
    const TLDT3LineError &Items(int Index) const { return FList.at(Index); }
    const TIntMinMaxDetector &MinMaxZeile() const { return FMinMaxZeile; }
    bool NextEnabled(int ACurrentZeile) const;
    bool PrevEnabled(int ACurrentZeile) const;
    bool FindNextZeile(int ACurrentZeile, int &ANextZeile) const;
    bool FindPrevZeile(int ACurrentZeile, int &APrevZeile) const;

private:
    friend class TLDT3FilePtrList;
    void AddLineError(int APtrIdx);

    const TLDT3FilePtrList *FPtrList;
    QList<TLDT3LineError> FList;
    TIntMinMaxDetector FMinMaxZeile;
};

// One physical line. Holds numbers and an offset into the mapped file only;
// texts are made on demand. A line's length is the distance to the next
// line's first byte (the list keeps the end of the last one). Equal paths are
// shared: FPathId refers to a node of the list's path tree (-1 = empty path).
struct TLDT3FilePtrItem
{
    // Low 32 bits of the line's first byte, from the start of the file; the
    // list knows the lines where the higher bits step (TLDT3FilePtrList::Offset).
    quint32 FOffsetLo = 0;
    qint32 FPathId = -1;
    // The length written in bytes 1 to 3 (bits 0-9), the bytes of the line
    // end (bits 10-11) and whether the line has a length and field (bit 12).
    quint16 FLenBits = 0;
    qint16 FFK = 0;          // field identifier written in bytes 4 to 7
    // The line error bits (bits 0-8) and the field check's code (bits 9-15).
    quint16 FCodes = 0;
    // The nesting level; kLevelFar: the list keeps it beside the records.
    qint16 FLevel = 0;

    static constexpr quint16 kLenMask = 0x3FF;
    static constexpr int kEndShift = 10;
    static constexpr quint16 kValid = 0x1000;
    static constexpr int kLineErrorMask = 0x1FF;
    static constexpr int kFeldShift = 9;
    static constexpr qint16 kLevelFar = -32768;
    int Len() const { return FLenBits & kLenMask; }
    // content bytes (from byte 8 up to the line end) of a line of ALenOrgLine
    // bytes; 0 for a line without field
    int LenInhalt(qint64 ALenOrgLine) const
    {
        return (FLenBits & kValid) ? int(ALenOrgLine) - ((FLenBits >> kEndShift) & 3) - 7 : 0;
    }
    int LineErrorCode() const { return FCodes & kLineErrorMask; }
    int FeldErrorCode() const { return FCodes >> kFeldShift; }
    void SetLineErrorCode(int ACode) { FCodes = quint16((FCodes & ~kLineErrorMask) | (ACode & kLineErrorMask)); }
    void SetFeldErrorCode(int ACode) { FCodes = quint16((FCodes & kLineErrorMask) | ((ACode & 0x7F) << kFeldShift)); }
};
static_assert(sizeof(TLDT3FilePtrItem) == 16, "line records must stay small");

class TLDT3FilePtrList
{
public:
    TLDT3FilePtrList();
    ~TLDT3FilePtrList();
    TLDT3FilePtrList(const TLDT3FilePtrList &) = delete;
    TLDT3FilePtrList &operator=(const TLDT3FilePtrList &) = delete;

    void Clear();
    // Loads and checks a file. False for an empty file (nothing is open then)
    // and for a load cut short (ABreakEvent, or more invalid lines than
    // MaxInvalidLines). Throws ELDT3Error with a German message when the file
    // cannot be opened or mapped.
    // AWithChecks: work for a load that reached the end of a non-empty
    // file, run on this thread while the field checks still run on another
    // one. Everything is loaded and checked by then but the lines' error
    // codes and the list of erroneous lines, which it must not read.
    using TWithChecks = std::function<void()>;
    bool LoadFromFile(const QString &AFileName, const std::atomic<bool> *ABreakEvent = nullptr,
                      const TWithChecks &AWithChecks = {});
    // The same for bytes held in memory: they are shared, never copied, and
    // kept until Clear. AName stands for the file name (no XPM run can reach it).
    bool LoadFromBuffer(const QByteArray &AData, const QString &AName,
                        const std::atomic<bool> *ABreakEvent = nullptr, const TWithChecks &AWithChecks = {});

    int MaxInvalidLines() const { return FMaxInvalidLines; }
    void SetMaxInvalidLines(int AValue) { FMaxInvalidLines = AValue < 0 ? 0 : AValue; }

    // File level
    const QString &FileName() const { return FFileName; }
    qint64 FileSize() const { return FFileSize; }
    bool FileIsOpen() const { return FFileBase != nullptr; }
    int Count() const { return int(FList.size()); }
    int InvalidLines() const { return FInvalidLines; }
    int EmptyLinesAtEnd() const { return FEmptyLinesAtEnd; }
    const uchar *FileBase() const { return FFileBase; }
    QString AsString() const;
    int AverageLineLength() const;

    // Per line (0-based index; out of range throws std::out_of_range)
    const TLDT3FilePtrItem &Item(int Index) const
    {
        if (Index < 0 || Index >= Count()) [[unlikely]]
            ThrowIndexError();
        return FList[size_t(Index)];
    }
    int Zeile(int Index) const { Item(Index); return Index + 1; }
    QByteArray OrgBytes(int Index) const;
    // The line's bytes with its line end, straight from the mapped file (no copy).
    QByteArrayView OrgBytesView(int Index) const;
    QString OrgLine(int Index) const;
    QString DumpOrgBytesAnsi(int Index) const;
    // First byte of the line, from the start of the file.
    qint64 Offset(int Index) const { return OffsetOf(Index, Item(Index)); }
    const uchar *PtrOrgLine(int Index) const { return FFileBase + Offset(Index); }
    int LenOrgLine(int Index) const { Item(Index); return LineLen(Index); }
    int Len(int Index) const { return Item(Index).Len(); }
    QString LenStr(int Index) const { return TLDT3::IntToStr_LZ(Len(Index), 3); }
    int FK(int Index) const { return Item(Index).FFK; }
    QString FKStr(int Index) const { return TLDT3::IntToStr_LZ(FK(Index), 4); }
    TLDT3::TFKTyp FKTyp(int Index) const { return TLDT3::GetFKTyp(FK(Index)); }
    QString Inhalt(int Index) const;
    const uchar *PtrInhalt(int Index) const;
    int LenInhalt(int Index) const { return Item(Index).LenInhalt(LineLen(Index)); }
    int CalculatedLen(int Index) const { return LenInhalt(Index) + 9; }
    QString CalculatedLenStr(int Index) const { return TLDT3::IntToStr_LZ(CalculatedLen(Index), 3); }
    bool IsSatzArt(int Index) const { return TLDT3::IsSatzArt(FK(Index)); }
    bool IsSatzEnde(int Index) const { return TLDT3::IsSatzEnde(FK(Index)); }
    bool IsObjektIdent(int Index) const { return TLDT3::IsObjektIdent(FK(Index)); }
    bool IsObjektEnde(int Index) const { return TLDT3::IsObjektEnde(FK(Index)); }
    bool IsXDTVersion(int Index) const { return TLDT3::IsXDTVersion(FK(Index)); }
    bool IsObjektAttribut(int Index) const { return TLDT3::IsObjektAttribut(FK(Index)); }
    bool IsBase64CodierteZeile(int Index) const { return TLDT3::IsBase64CodierteZeile(FK(Index)); }
    bool IsPruefsumme(int Index) const { return TLDT3::IsPruefsumme(FK(Index)); }

    // Line errors
    int LineErrorCode(int Index) const { return Item(Index).LineErrorCode(); }
    void SetLineErrorCode(int Index, int ACode);
    QString LineErrorMsg(int Index) const;
    int FeldErrorCode(int Index) const { return Item(Index).FeldErrorCode(); }
    QString FeldErrorMsg(int Index) const;
    QString ErrorMsg(int Index) const;
    bool LineOK(int Index) const { return !(LineErrorCode(Index) & (LE_EmptyLine | LE_InvalidLine | LE_EmptyLineAtEnd)); }
    bool FeldOK(int Index) const { return FeldErrorCode(Index) == 0; }
    bool LineNoError(int Index) const { return LineErrorCode(Index) == 0 && FeldErrorCode(Index) == 0; }
    bool LineHasErrors(int Index) const { return !LineNoError(Index); }
    bool LineHasXPMErrors(int Index) const { return LineErrorCode(Index) & LE_XPMError; }
    bool IsEmptyLine(int Index) const { return LineErrorCode(Index) & LE_EmptyLine; }
    bool IsEmptyLineAtEnd(int Index) const { return LineErrorCode(Index) & LE_EmptyLineAtEnd; }
    bool IsInvalidLine(int Index) const { return LineErrorCode(Index) & LE_InvalidLine; }
    bool CharsOkay(int Index) const { return !(LineErrorCode(Index) & LE_InvalidChars); }
    bool CrLfOkay(int Index) const { return !(LineErrorCode(Index) & LE_CrLf); }
    bool LenOkay(int Index) const { return !(LineErrorCode(Index) & LE_WrongLength); }
    bool ManyChecksums(int Index) const { return LineErrorCode(Index) & LE_ManyChecksums; }
    bool ManyVersions(int Index) const { return LineErrorCode(Index) & LE_ManyVersions; }

    int FileErrors() const { return FFileErrors; }
    bool FileErrorEmptyLine() const { return FFileErrors & LE_EmptyLine; }
    bool FileErrorInvalidLine() const { return FFileErrors & LE_InvalidLine; }
    bool FileErrorInvalidChars() const { return FFileErrors & LE_InvalidChars; }
    bool FileErrorCrLf() const { return FFileErrors & LE_CrLf; }
    bool FileErrorWrongLength() const { return FFileErrors & LE_WrongLength; }
    bool FileErrorManyChecksums() const { return FFileErrors & LE_ManyChecksums; }
    bool FileErrorManyVersions() const { return FFileErrors & LE_ManyVersions; }
    bool FileErrorEmptyLineAtEnd() const { return FFileErrors & LE_EmptyLineAtEnd; }
    const TCountDictionary &ErrorCounter() const { return FErrorCounter; }
    const TLDT3LineErrorList &LineErrorList() const { return *FLineErrorList; }

    int MarkEmptyLinesAtEnd();
    void CountLineErrors();
    bool BuildLineErrorList();

    // Structure, levels, paths, version, checksum
    bool CheckSatzArt(int Index, const QString &AInhalt) const { return CheckFKInhalt(Index, TLDT3::FK_SatzArt, AInhalt); }
    bool CheckSatzEnde(int Index, const QString &AInhalt) const { return CheckFKInhalt(Index, TLDT3::FK_SatzEnde, AInhalt); }
    bool CheckObjektIdent(int Index, const QString &AInhalt) const { return CheckFKInhalt(Index, TLDT3::FK_ObjektIdent, AInhalt); }
    bool CheckObjektEnde(int Index, const QString &AInhalt) const { return CheckFKInhalt(Index, TLDT3::FK_ObjektEnde, AInhalt); }
    int Level(int Index) const
    {
        const qint16 level = Item(Index).FLevel;
        return level == TLDT3FilePtrItem::kLevelFar ? FFarLevels.value(Index) : level;
    }
    void SetLevel(int Index, int AValue);
    QList<int> Path(int Index) const;
    void SetPath(int Index, const QList<int> &APath);
    QString ShortPath(int Index) const;
    QString ShortPathFK(int Index) const;

    const QString &XDTVersion() const { return FXDTVersion; }
    // The tables that check the file, chosen by its version line (LDT 3.1.3
    // before a load and for a file without one), and their field dictionary.
    const TLDT3TableSet &TableSet() const { return FTableSet; }
    const TLDT3FeldDict &FeldDict() const { return *FTableSet.FeldDict(); }
    bool IsLDTFile() const { return FIsLDTFile; }
    bool IsLDT_3_1_2_OrHigher() const { return FIsLDT_3_1_2_OrHigher; }
    const QString &CheckSumOrg() const { return FCheckSumOrg; }
    const QString &CheckSumCalculated() const { return FCheckSumCalculated; }
    bool CheckSumOkay() const { return FCheckSumOkay; }
    bool StructureOkay() const { return FStructureOkay; }
    bool PathAndLevelOkay() const { return FPathAndLevelOkay; }
    int PathNodeCount() const { return int(FPathNodes.size()); }

    // Drops the mapped file's pages from the process's resident set (they
    // stay in the page cache and come back when read). The loading passes
    // do it behind themselves; a caller that walked many lines afterwards
    // (the tree build) calls it when done. Bytes from memory stay as they are.
    void ReleaseFilePages() const;
    // For a pass that walks the lines from the front: call Passed with the
    // offset of the line it is at; the pages before it go in steps.
    TVexPageReleaser PageReleaser() const;

    // Field checks, meanings, statistics
    const TCountDictionary &FeldCounter() const { return FFeldCounter; }
    QString Bedeutung(int Index) const;
    QString LongPath(int Index) const;
    QString LongPathFK(int Index) const;
    QList<TLDT3FeldStatistikRec> GetFeldStatistikList() const;

    // The test module's (XPM) result of this file; null before a run.
    const TXPMErrList *XPMErrList() const { return FXPMErrList.get(); }
    bool XPMCheckDone() const { return FXPMErrList != nullptr; }
    QString XPMStatus() const;
    // Runs the module once per loaded file through the installed runner
    // (LDT3.XPMHook); false when a result exists, no runner is installed or
    // the run failed.
    bool XPMCheck();
    // Takes a result produced elsewhere: marks its lines and rebuilds the
    // list of erroneous lines. False when a result exists or AList is null.
    bool SetXPMResult(std::unique_ptr<TXPMErrList> AList);

    // Attachments
    const TLDT3Base64AnlagenList &Base64AnalgenList() const { return *FBase64AnlagenList; }
    TLDT3Base64AnlagenList &Base64AnalgenList() { return *FBase64AnlagenList; }
    bool FindAnlagen();
    QList<TLDT3Base64Anlage *> GetAnlagen(int AStartIdx, int AEndeIdx) const;
    // The program's temporary directory with a trailing '/'.
    QString TmpDirectory() const;

    // Search
    bool StrExists(const QString &ASearchStr) const { return FindStrOffset(ASearchStr) >= 0; }
    qint64 FindStrOffset(const QString &ASearchStr) const;
    int FindStrZeile(const QString &ASearchStr) const;
    bool FindAll(const QString &ASearchStr);
    const TSortedUniqueIntList &FoundList() const { return FFoundList; }
    // Index of the line that holds byte AOffset of the file (-1 outside).
    int LineIndexOfOffset(qint64 AOffset) const;

    void CheckVersion();
    bool CheckCheckSum();
    bool CheckStructure();
    bool SetLevelsAndPaths();

private:
    struct TPathNode
    {
        qint32 Parent; // -1 for the outermost element
        qint32 Value;
    };

    [[noreturn]] static void ThrowIndexError();
    bool OpenFile(const QString &AFileName);
    bool ParseLines(const std::atomic<bool> *ABreakEvent, const TWithChecks &AWithChecks);
    void CloseFile();
    // AAllowed: every byte of the body lies in the character set.
    void ParseLine(qint64 AOffset, qint64 ABody, qint64 ALen, bool AAllowed, int *AFKCounts);
    // The offset of line AIndex with record AItem (no range check).
    qint64 OffsetOf(int AIndex, const TLDT3FilePtrItem &AItem) const
    {
        qint64 high = 0;
        if (!FOffsetSteps.empty())
            high = std::upper_bound(FOffsetSteps.begin(), FOffsetSteps.end(), AIndex) - FOffsetSteps.begin();
        return (high << 32) | AItem.FOffsetLo;
    }
    const uchar *InhaltOf(int AIndex, const TLDT3FilePtrItem &AItem) const { return FFileBase + OffsetOf(AIndex, AItem) + 7; }
    // Bytes of line AIndex with its line end (no range check).
    int LineLen(int AIndex) const
    {
        const qint64 end = AIndex + 1 < Count() ? OffsetOf(AIndex + 1, FList[size_t(AIndex) + 1]) : FLinesEnd;
        return int(end - OffsetOf(AIndex, FList[size_t(AIndex)]));
    }
    int LenInhaltOf(int AIndex) const { return FList[size_t(AIndex)].LenInhalt(LineLen(AIndex)); }
    void SetLevelOf(int AIndex, int AValue);
    void SetTableSet(const TLDT3TableSet &ASet);
    // The checksum line's check depends on the moment of the parse; every
    // other valid line is checked after it with the file's final tables.
    static bool CheckedAtParse(const TLDT3FilePtrItem &AItem) { return AItem.FFK == TLDT3::FK_Pruefsumme; }
    // Checks the fields of the valid lines the parse left, on this thread and
    // one more, while AMeanwhile runs here first; AMeanwhile must not touch
    // the line records' codes.
    void CheckFelderBeside(const std::function<void()> &AMeanwhile);
    int CheckLineFeld(int AIndex, QString &AMsg) const;
    bool CalcCheckSum();
    bool CheckFKInhalt(int Index, int AFK, const QString &AInhalt) const;
    // Replaces the result by a run of the installed runner (none without one).
    void RunXPM();
    int PushPath(int AParent, int AValue);
    int TestedLineCount() const { return Count() - FEmptyLinesAtEnd; }

    TVexBigVector<TLDT3FilePtrItem> FList;
    // Index of the first line at or after each further 4 GiB of the file.
    std::vector<int> FOffsetSteps;
    qint64 FLinesEnd = 0; // the byte after the last line
    QHash<int, int> FFarLevels; // levels beyond the record's range, by line
    QHash<int, QString> FFeldErrDict;
    std::unique_ptr<TLDT3LineErrorList> FLineErrorList;
    std::unique_ptr<TLDT3Base64AnlagenList> FBase64AnlagenList;
    std::unique_ptr<TXPMErrList> FXPMErrList;
    TCountDictionary FFeldCounter;
    TCountDictionary FErrorCounter;
    TSortedUniqueIntList FFoundList;
    QList<TPathNode> FPathNodes;

    QString FFileName;
    std::unique_ptr<QFile> FFile;
    QByteArray FBuffer; // the bytes of LoadFromBuffer
    const uchar *FFileBase = nullptr;
    qint64 FFileSize = 0;
    int FFileErrors = 0;
    qint64 FCheckSumOffset = -1; // first byte of the first checksum line
    QString FCheckSumDigest;     // digest of the bytes before it, once computed
    std::unique_ptr<TSHA1PrefixHasher> FHasher; // while loading
    QString FCheckSumOrg;
    bool FCheckSumOkay = false;
    QString FCheckSumCalculated;
    bool FIsLDTFile = false;
    QString FXDTVersion;
    TLDT3TableSet FTableSet;
    TLDT3FeldDict *FFeldDict = nullptr; // of FTableSet, while loading
    bool FIsLDT_3_1_2_OrHigher = false;
    bool FStructureOkay = false;
    bool FPathAndLevelOkay = false;
    int FMaxInvalidLines = 0;
    int FInvalidLines = 0;
    int FEmptyLinesAtEnd = 0;
};
