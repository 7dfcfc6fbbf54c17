#include "LDT3.Document.h"

#include <algorithm>
#include <atomic>
#include <new>
#include <utility>

TLDT3Document::TLDT3Document() : FLineList(std::make_unique<TLDT3LineList>()) {}

namespace {

// The models of the last document that died while the switch was on; held
// here, so they stay reachable for leak checks and are freed by the next open.
std::atomic<bool> GLeaveModels{false};
TLDT3LineList *GLeftModels = nullptr;

} // namespace

void TLDT3Document::SetLeaveModelsAtExit(bool AValue) { GLeaveModels = AValue; }

void TLDT3Document::FreeLeftModels() { delete std::exchange(GLeftModels, nullptr); }

TLDT3Document::~TLDT3Document()
{
    if (GLeaveModels) {
        FreeLeftModels();
        GLeftModels = FLineList.release();
    }
}

template <typename F> void TLDT3Document::Notify(F ACall)
{
    // an observer may remove itself while it is told
    const std::vector<TLDT3DocumentObserver *> observers = FObservers;
    for (TLDT3DocumentObserver *o : observers)
        if (std::find(FObservers.begin(), FObservers.end(), o) != FObservers.end())
            ACall(*o);
}

void TLDT3Document::AddObserver(TLDT3DocumentObserver *AObserver)
{
    if (AObserver && std::find(FObservers.begin(), FObservers.end(), AObserver) == FObservers.end())
        FObservers.push_back(AObserver);
}

void TLDT3Document::RemoveObserver(TLDT3DocumentObserver *AObserver)
{
    FObservers.erase(std::remove(FObservers.begin(), FObservers.end(), AObserver), FObservers.end());
}

void TLDT3Document::ResetSelection()
{
    FCurrentZeile = 0;
    FRangeFirst = 0;
    FRangeLast = 0;
    FCurrentAnlage = -1;
}

template <typename F> TLDT3OpenStatus TLDT3Document::RunOpen(const QString &AFileName, F ALoad)
{
    FreeLeftModels();
    FLineList->Clear();
    ResetSelection();
    FFileName = AFileName;
    FStatusMessage.clear();
    FLineList->SetMaxInvalidLines(FMaxInvalidLines);
    FLineList->SetBuildErrorTree(FBuildErrorTree);
    try {
        ALoad();
        if (!FLineList->FileIsOpen()) {
            FStatus = TLDT3OpenStatus::osEmpty;
            FStatusMessage = QStringLiteral("Die Datei \"%1\" ist leer und kann nicht gelesen werden.").arg(AFileName);
        } else if (FMaxInvalidLines > 0 && FLineList->InvalidLines() > FMaxInvalidLines) {
            FStatus = TLDT3OpenStatus::osRejected;
            FStatusMessage = QStringLiteral("Diese Datei ist keine LDT-Datei: %1").arg(AFileName);
        } else {
            FStatus = TLDT3OpenStatus::osOpened;
        }
    } catch (const ELDT3Error &e) {
        FStatus = TLDT3OpenStatus::osReadError;
        FStatusMessage = e.Message();
    } catch (const std::bad_alloc &) {
        // free what was built, so that the program can go on
        FLineList->Clear();
        FStatus = TLDT3OpenStatus::osOutOfMemory;
        FStatusMessage = QStringLiteral("Nicht genügend Arbeitsspeicher, um die Datei \"%1\" zu öffnen.").arg(AFileName);
    }
    Notify([&](TLDT3DocumentObserver &o) { o.DocumentChanged(*this); });
    return FStatus;
}

TLDT3OpenStatus TLDT3Document::Open(const QString &AFileName)
{
    return RunOpen(AFileName, [&] { FLineList->GetLDT3FilePtrList(AFileName, FBuildTrees); });
}

TLDT3OpenStatus TLDT3Document::OpenBuffer(const QByteArray &AData, const QString &AName)
{
    return RunOpen(AName, [&] { FLineList->LoadFromBuffer(AData, AName, FBuildTrees); });
}

void TLDT3Document::Close()
{
    const bool wasOpen = FStatus != TLDT3OpenStatus::osClosed;
    FLineList->Clear();
    ResetSelection();
    FFileName.clear();
    FStatusMessage.clear();
    FStatus = TLDT3OpenStatus::osClosed;
    if (wasOpen)
        Notify([&](TLDT3DocumentObserver &o) { o.DocumentChanged(*this); });
}

void TLDT3Document::SetCurrentZeile(int AZeile)
{
    const TLDT3FilePtrList *list = PtrList();
    if (AZeile < 1 || AZeile > list->Count())
        AZeile = 0;
    if (AZeile == FCurrentZeile)
        return;
    FCurrentZeile = AZeile;
    Notify([&](TLDT3DocumentObserver &o) { o.CurrentLineChanged(*this, AZeile); });
}

void TLDT3Document::SetRange(int AFirstZeile, int ALastZeile)
{
    const int n = PtrList()->Count();
    if (AFirstZeile < 1 || ALastZeile < AFirstZeile || ALastZeile > n)
        AFirstZeile = ALastZeile = 0;
    if (AFirstZeile == FRangeFirst && ALastZeile == FRangeLast)
        return;
    FRangeFirst = AFirstZeile;
    FRangeLast = ALastZeile;
    Notify([&](TLDT3DocumentObserver &o) { o.RangeChanged(*this, AFirstZeile, ALastZeile); });
}

void TLDT3Document::SetCurrentAnlage(int AIndex)
{
    if (AIndex < 0 || AIndex >= PtrList()->Base64AnalgenList().Count())
        AIndex = -1;
    if (AIndex == FCurrentAnlage)
        return;
    FCurrentAnlage = AIndex;
    Notify([&](TLDT3DocumentObserver &o) { o.AttachmentChanged(*this, AIndex); });
}

bool TLDT3Document::XPMCheck()
{
    if (!FLineList->XPMCheck())
        return false;
    Notify([&](TLDT3DocumentObserver &o) { o.XPMResultChanged(*this); });
    return true;
}

bool TLDT3Document::SetXPMResult(std::unique_ptr<TXPMErrList> AList)
{
    if (!FLineList->SetXPMResult(std::move(AList)))
        return false;
    Notify([&](TLDT3DocumentObserver &o) { o.XPMResultChanged(*this); });
    return true;
}
