// Base64 attachments of a loaded LDT file (FK 6329 lines in an attachment object).
#pragma once

#include <QList>
#include <QString>

#include <functional>
#include <memory>

class TLDT3FilePtrList;

struct TLDT3Base64Rec
{
    int AnhangStartIdx = -1; // FK 8110 line that opens the attachment object
    int AnhangEndeIdx = -1;  // FK 8003 Obj_0010 line that closes it
    int StartIdx = -1;       // first FK 6329 line
    int EndeIdx = -1;        // last FK 6329 line
    QString Dokumententyp;
    QString DateiFormat;
    QString DateiCodierung;
    QString DateiBeschreibung;
};

inline void InitBase64Rec(TLDT3Base64Rec &ARec) { ARec = TLDT3Base64Rec(); }

class TLDT3Base64Anlage
{
public:
    using TSaveEvent = std::function<void(TLDT3Base64Anlage *)>;

    TLDT3Base64Anlage(const TLDT3FilePtrList *APtrList, const TLDT3Base64Rec &ARec);

    int AnhangStartIdx() const { return FRec.AnhangStartIdx; }
    int AnhangEndeIdx() const { return FRec.AnhangEndeIdx; }
    int StartIdx() const { return FRec.StartIdx; }
    int EndeIdx() const { return FRec.EndeIdx; }
    int AnhangStartZeile() const { return FRec.AnhangStartIdx + 1; }
    int AnhangEndeZeile() const { return FRec.AnhangEndeIdx + 1; }
    int StartZeile() const { return FRec.StartIdx + 1; }
    int EndeZeile() const { return FRec.EndeIdx + 1; }
    int Number() const { return FNumber; }
    const QString &Dokumententyp() const { return FRec.Dokumententyp; }
    const QString &DateiFormat() const { return FRec.DateiFormat; }
    const QString &DateiCodierung() const { return FRec.DateiCodierung; }
    const QString &DateiBeschreibung() const { return FRec.DateiBeschreibung; }
    const QString &DefaultFileNameNoPath() const { return FDefaultFileNameNoPath; }
    const QString &SavedToFileName() const { EnsureTmpPDF(); return FSavedToFileName; }
    const QString &Extension() const { return FExtension; }
    const QString &FriendlyAppName() const { return FFriendlyAppName; }
    const QString &FriendlyDocName() const { return FFriendlyDocName; }
    const QString &TmpPDFFileName() const { return FTmpPDFFileName; }
    bool TmpPDFSaved() const { EnsureTmpPDF(); return FTmpPDFSaved; }
    QString AnhangCaption() const;
    bool IsAnlageSaved() const;
    const TSaveEvent &OnSaveEvent() const { return FOnSaveEvent; }
    void SetOnSaveEvent(TSaveEvent AEvent) { FOnSaveEvent = std::move(AEvent); }

    // Decodes the attachment into AFileName through a temporary file in the
    // same directory, so that a failure never leaves a partial file there.
    // False when there is nothing to decode; throws ELDT3Error with the
    // German reason when the file cannot be written.
    bool SaveToFile(const QString &AFileName);

    bool ShellAnlageOpen();
    bool ShellAnlageOpenWithDlg();
    bool ShellAnlagePropertiesDlg();
    bool ShellAnlageExplore();

private:
    friend class TLDT3Base64AnlagenList;
    void SetNumber(int ANumber);
    // A PDF attachment is decoded into the temporary directory on the first
    // question that needs the file, so that opening a file with thousands of
    // attachments writes none of them until one is used.
    void EnsureTmpPDF() const;
    bool WriteToFile(const QString &AFileName) const;
    // Runs a shell operation on the saved file; false when it is not saved.
    bool ShellOnSaved(bool (*AOperation)(const QString &));

    const TLDT3FilePtrList *FPtrList;
    TLDT3Base64Rec FRec;
    int FNumber = 0;
    QString FDefaultFileNameNoPath;
    mutable QString FSavedToFileName;
    QString FExtension;
    QString FFriendlyAppName;
    QString FFriendlyDocName;
    TSaveEvent FOnSaveEvent;
    QString FTmpPDFFileName;
    mutable bool FTmpPDFSaved = false;
    mutable bool FTmpPDFPending = false;
};

// A plain file name for attachment ANumber made of AName, a name that comes
// from the file: only its last part counts ('/' and '\\' both separate), so
// that it never leaves the directory it is put in; an empty, "." or ".."
// name becomes "Anhang_<ANumber>".
QString AnlageSafeFileName(const QString &AName, int ANumber);

class TLDT3Base64AnlagenList
{
public:
    explicit TLDT3Base64AnlagenList(const TLDT3FilePtrList *APtrList) : FPtrList(APtrList) {}
    void Clear() { FList.clear(); }
    TLDT3Base64Anlage *Add(const TLDT3Base64Rec &ABase64Rec);
    int Count() const { return int(FList.size()); }
    TLDT3Base64Anlage *Items(int Index) const { return FList.at(Index).get(); }

private:
    const TLDT3FilePtrList *FPtrList;
    std::vector<std::unique_ptr<TLDT3Base64Anlage>> FList;
};
