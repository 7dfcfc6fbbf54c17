#include "LDT3.Anlagen.h"

#include "LDT3.Base.h"
#include "LDT3.Data.h"
#include "LDT3.FilePtrList.h"
#include "Vex_Base64.h"
#include "Vex_Shell.h"
#include "WStrTools.h"

#include <QFileInfo>
#include <QSaveFile>

TLDT3Base64Anlage::TLDT3Base64Anlage(const TLDT3FilePtrList *APtrList, const TLDT3Base64Rec &ARec)
    : FPtrList(APtrList), FRec(ARec)
{
    if (!FRec.DateiFormat.isEmpty()) {
        FExtension = FRec.DateiFormat.startsWith(QLatin1Char('.')) ? FRec.DateiFormat
                                                                   : QLatin1Char('.') + FRec.DateiFormat;
        FFriendlyAppName = GetFriendlyAppName(FExtension);
        FFriendlyDocName = GetFriendlyDocName(FExtension);
    }
}

void TLDT3Base64Anlage::SetNumber(int ANumber)
{
    FNumber = ANumber;
    const QString base = QFileInfo(FPtrList->FileName()).completeBaseName();
    // The extension is appended: a point in the file's own name must not
    // swallow the attachment number.
    FDefaultFileNameNoPath = Format(QStringLiteral("%s_Anhang_%d"), {base, ANumber}) + FExtension;
    if (FExtension.compare(QLatin1String(".PDF"), Qt::CaseInsensitive) == 0) {
        FTmpPDFFileName = FPtrList->TmpDirectory() + FDefaultFileNameNoPath;
        FTmpPDFPending = true;
    }
}

void TLDT3Base64Anlage::EnsureTmpPDF() const
{
    if (!FTmpPDFPending)
        return;
    FTmpPDFPending = false;
    auto *self = const_cast<TLDT3Base64Anlage *>(this);
    // at load time no listener was bound yet: this write tells none
    TSaveEvent listener = std::move(self->FOnSaveEvent);
    self->FOnSaveEvent = nullptr;
    try {
        FTmpPDFSaved = self->SaveToFile(FTmpPDFFileName);
    } catch (const ELDT3Error &) {
        // an unwritable temporary directory leaves the attachment unsaved
        FTmpPDFSaved = false;
    }
    self->FOnSaveEvent = std::move(listener);
    if (FTmpPDFSaved)
        TLDT3Data::DeleteFileAfterReboot(FTmpPDFFileName);
}

QString TLDT3Base64Anlage::AnhangCaption() const
{
    QString r = Format(QStringLiteral("Anlage %d [%s] - Dateiformat: \"%s\""),
                       {FNumber, FRec.Dokumententyp,
                        FRec.DateiFormat.isEmpty() ? QStringLiteral("Nicht angegeben") : FRec.DateiFormat});
    if (!FRec.DateiBeschreibung.isEmpty())
        r += Format(QStringLiteral(" Inhalt: \"%s\""), {FRec.DateiBeschreibung});
    return r;
}

bool TLDT3Base64Anlage::IsAnlageSaved() const
{
    EnsureTmpPDF();
    return !FSavedToFileName.isEmpty() && QFileInfo::exists(FSavedToFileName);
}

bool TLDT3Base64Anlage::WriteToFile(const QString &AFileName) const
{
    if (!FPtrList->FileIsOpen() || FRec.StartIdx < 0 || FRec.EndeIdx >= FPtrList->Count())
        return false;
    qint64 total = 0;
    for (int i = FRec.StartIdx; i <= FRec.EndeIdx; ++i)
        total += FPtrList->LenInhalt(i);
    if (total == 0)
        return false;
    QSaveFile out(AFileName);
    if (!out.open(QIODevice::WriteOnly))
        throw ELDT3Error(QStringLiteral("Die Datei \"%1\" kann nicht angelegt werden: %2")
                             .arg(AFileName, out.errorString()));
    // decode straight from the mapped lines, without copying them together
    TBase64Decoder decoder(out);
    for (int i = FRec.StartIdx; i <= FRec.EndeIdx; ++i)
        if (FPtrList->LenInhalt(i) > 0)
            decoder.Feed(FPtrList->PtrInhalt(i), FPtrList->LenInhalt(i));
    if (!decoder.Finish() || !out.commit())
        throw ELDT3Error(QStringLiteral("Die Datei \"%1\" kann nicht geschrieben werden: %2")
                             .arg(AFileName, out.errorString()));
    return true;
}

bool TLDT3Base64Anlage::SaveToFile(const QString &AFileName)
{
    // the temporary PDF comes first, as if it had been written at load
    if (AFileName != FTmpPDFFileName)
        EnsureTmpPDF();
    bool ok = false;
    try {
        ok = WriteToFile(AFileName);
    } catch (...) {
        FSavedToFileName.clear();
        throw;
    }
    if (!ok) {
        FSavedToFileName.clear();
        return false;
    }
    FSavedToFileName = AFileName;
    if (FOnSaveEvent) {
        try {
            FOnSaveEvent(this);
        } catch (...) {
            // errors of the listener do not undo the save
        }
    }
    return true;
}

bool TLDT3Base64Anlage::ShellOnSaved(bool (*AOperation)(const QString &))
{
    if (!IsAnlageSaved())
        return false;
    AOperation(FSavedToFileName); // its own success is not reported
    return true;
}

bool TLDT3Base64Anlage::ShellAnlageOpen() { return ShellOnSaved(ShellOpenFile); }
bool TLDT3Base64Anlage::ShellAnlageOpenWithDlg() { return ShellOnSaved(ShellOpenWithDlg); }
bool TLDT3Base64Anlage::ShellAnlagePropertiesDlg() { return ShellOnSaved(ShellPropertiesDlg); }
bool TLDT3Base64Anlage::ShellAnlageExplore() { return ShellOnSaved(ShellExploreFile); }

QString AnlageSafeFileName(const QString &AName, int ANumber)
{
    const qsizetype cut = qMax(AName.lastIndexOf(QLatin1Char('/')), AName.lastIndexOf(QLatin1Char('\\')));
    QString name = AName.mid(cut + 1);
    // control characters have no place in a file name
    for (QChar &c : name)
        if (c.unicode() < 0x20)
            c = QLatin1Char('_');
    if (name.trimmed().isEmpty() || name == QLatin1String(".") || name == QLatin1String(".."))
        name = Format(QStringLiteral("Anhang_%d"), {ANumber});
    return name;
}

TLDT3Base64Anlage *TLDT3Base64AnlagenList::Add(const TLDT3Base64Rec &ABase64Rec)
{
    FList.push_back(std::make_unique<TLDT3Base64Anlage>(FPtrList, ABase64Rec));
    TLDT3Base64Anlage *a = FList.back().get();
    a->SetNumber(Count());
    return a;
}
