#include "LDT3.FilePtrList.h"

#include "LDT3.Data.h"
#include "LDT3.Feld.h"
#include "LDT3.AppSettings.h"
#include "LDT3.XML_XPM_List.h"
#include "LDT3.XPMHook.h"
#include "LDT3.Zeichen.h"
#include "Vex_SHA1.h"
#include "WStrTools.h"

#include <QFileInfo>

#include <QtEndian>

#include <algorithm>
#include <bit>
#include <cstring>
#include <exception>
#include <functional>
#include <limits>
#include <stdexcept>
#include <system_error>
#include <thread>

using namespace LDT3Zeichen;

// ---------------------------------------------------------------------------
// Line errors

QString LineErrorBitMsg(int ABit)
{
    switch (ABit) {
    case LE_EmptyLine: return QStringLiteral("Leere Zeile");
    case LE_InvalidLine: return QStringLiteral("Ungültige Zeile");
    case LE_InvalidChars: return QStringLiteral("Fehlerhafte Zeichen");
    case LE_CrLf: return QStringLiteral("Kein <CR><LF>");
    case LE_WrongLength: return QStringLiteral("Falsche Längenangabe");
    case LE_ManyChecksums: return QStringLiteral("Mehrfache Prüfsummenangabe");
    case LE_ManyVersions: return QStringLiteral("Mehrfache Versionsangabe");
    case LE_EmptyLineAtEnd: return QStringLiteral("Leerzeile am Dateiende");
    default: return QString();
    }
}

QString TLDT3LineError::ErrorMsg() const
{
    return FPtrList->ErrorMsg(FPtrIdx);
}

void TLDT3LineErrorList::Clear()
{
    FList.clear();
    FMinMaxZeile.Clear();
}

void TLDT3LineErrorList::AddLineError(int APtrIdx)
{
    FList.append(TLDT3LineError(FPtrList, APtrIdx));
    FMinMaxZeile.Add(APtrIdx + 1);
}

bool TLDT3LineErrorList::NextEnabled(int ACurrentZeile) const
{
    return Count() > 0 && ACurrentZeile != 0 && ACurrentZeile < FMinMaxZeile.MaxValue();
}

bool TLDT3LineErrorList::PrevEnabled(int ACurrentZeile) const
{
    return Count() > 0 && ACurrentZeile != 0 && ACurrentZeile > FMinMaxZeile.MinValue();
}

bool TLDT3LineErrorList::FindNextZeile(int ACurrentZeile, int &ANextZeile) const
{
    if (!NextEnabled(ACurrentZeile))
        return false;
    // entries are in ascending order: bisect for the first line after the current one
    auto it = std::upper_bound(FList.cbegin(), FList.cend(), ACurrentZeile,
                               [](int z, const TLDT3LineError &e) { return z < e.Zeile(); });
    if (it == FList.cend())
        return false;
    ANextZeile = it->Zeile();
    return true;
}

bool TLDT3LineErrorList::FindPrevZeile(int ACurrentZeile, int &APrevZeile) const
{
    if (!PrevEnabled(ACurrentZeile))
        return false;
    auto it = std::lower_bound(FList.cbegin(), FList.cend(), ACurrentZeile,
                               [](const TLDT3LineError &e, int z) { return e.Zeile() < z; });
    if (it == FList.cbegin())
        return false;
    APrevZeile = std::prev(it)->Zeile();
    return true;
}

// ---------------------------------------------------------------------------
// Construction and loading

TLDT3FilePtrList::TLDT3FilePtrList()
    : FLineErrorList(std::make_unique<TLDT3LineErrorList>(this)),
      FBase64AnlagenList(std::make_unique<TLDT3Base64AnlagenList>(this))
{
}

TLDT3FilePtrList::~TLDT3FilePtrList()
{
    Clear();
}

void TLDT3FilePtrList::Clear()
{
    struct Closer {
        TLDT3FilePtrList *L;
        ~Closer() { L->CloseFile(); }
    } closer{this};
    FXPMErrList.reset();
    FList.clear();
    FList.shrink_to_fit();
    FOffsetSteps.clear();
    FLinesEnd = 0;
    FFarLevels.clear();
    FFeldErrDict.clear();
    FLineErrorList->Clear();
    FBase64AnlagenList->Clear();
    FFeldCounter.Clear();
    FErrorCounter.Clear();
    FFoundList.Clear();
    FPathNodes.clear();
    FPathNodes.squeeze();
    FFileName.clear();
    FFileErrors = 0;
    FCheckSumOffset = -1;
    FCheckSumDigest.clear();
    FCheckSumOrg.clear();
    FCheckSumOkay = false;
    FCheckSumCalculated.clear();
    FIsLDTFile = false;
    FXDTVersion.clear();
    FTableSet = TLDT3TableSet();
    FIsLDT_3_1_2_OrHigher = false;
    FStructureOkay = false;
    FPathAndLevelOkay = false;
    FInvalidLines = 0;
    FEmptyLinesAtEnd = 0;
}

void TLDT3FilePtrList::CloseFile()
{
    FHasher.reset(); // it reads the mapped bytes
    if (FFile) {
        if (FFileBase)
            FFile->unmap(const_cast<uchar *>(FFileBase));
        FFile->close();
        FFile.reset();
    }
    FBuffer = QByteArray();
    FFileBase = nullptr;
    FFileSize = 0;
}

bool TLDT3FilePtrList::OpenFile(const QString &AFileName)
{
    Clear();
    FFileName = AFileName;
    QFileInfo info(AFileName);
    if (info.isDir())
        throw ELDT3Error(QStringLiteral("Die Datei \"%1\" kann nicht geöffnet werden: Es ist ein Verzeichnis.")
                             .arg(AFileName));
    auto file = std::make_unique<QFile>(AFileName);
    if (!file->open(QIODevice::ReadOnly)) {
        QString reason;
        if (!info.exists())
            reason = QStringLiteral("Die Datei existiert nicht.");
        else if (!info.isReadable())
            reason = QStringLiteral("Keine Berechtigung zum Lesen.");
        else
            reason = file->errorString();
        throw ELDT3Error(QStringLiteral("Die Datei \"%1\" kann nicht geöffnet werden: %2").arg(AFileName, reason));
    }
    // A pipe or device reports no size and cannot be mapped: it is not empty.
    if (!info.isFile())
        throw ELDT3Error(QStringLiteral("Die Datei \"%1\" kann nicht gelesen werden: Sie ist keine gewöhnliche Datei.")
                             .arg(AFileName));
    FFileSize = file->size();
    FFile = std::move(file);
    if (FFileSize <= 0)
        return false;
    uchar *base = FFile->map(0, FFileSize);
    if (!base) {
        const QString reason = FFile->errorString();
        CloseFile();
        throw ELDT3Error(QStringLiteral("Die Datei \"%1\" kann nicht gelesen werden: %2").arg(AFileName, reason));
    }
    FFileBase = base;
    return true;
}

namespace {

// Bits 0 .. ACount - 1.
inline quint64 LowBits(qint64 ACount)
{
    return ACount >= 64 ? ~quint64(0) : (quint64(1) << ACount) - 1;
}

// The masks of the block of 64 bytes at AAt of the ASize bytes at P; bytes
// past the end are in no mask.
inline TByteMasks BlockMasks(const uchar *P, qint64 ASize, qint64 AAt)
{
    if (AAt + 64 <= ASize)
        return ByteMasks64(P + AAt);
    uchar tail[64] = {};
    std::memcpy(tail, P + AAt, size_t(ASize - AAt));
    TByteMasks m = ByteMasks64(tail);
    const quint64 inside = LowBits(ASize - AAt);
    return {m.Special & inside, m.Cr & inside, m.Lf & inside};
}

} // namespace

// Counts CR LF pairs; gives up (returns -1) at the first other line end.
// 64 bytes at a time: every LF must follow a CR, every CR precede an LF.
// AReleased drops the pages behind the count.
static qint64 CountCrLfLines(const uchar *P, qint64 N, TVexPageReleaser &AReleased)
{
    qint64 count = 0;
    quint64 carry = 0; // a CR in the last byte of the block before
    for (qint64 i = 0; i < N; i += 64) {
        if ((i & 0xFFFFF) == 0)
            AReleased.Passed(i);
        const TByteMasks m = BlockMasks(P, N, i);
        if (((m.Cr << 1) | carry) != m.Lf)
            return -1;
        carry = m.Cr >> 63;
        count += std::popcount(m.Lf);
    }
    return carry ? -1 : count;
}

bool TLDT3FilePtrList::LoadFromFile(const QString &AFileName, const std::atomic<bool> *ABreakEvent,
                                    const TWithChecks &AWithChecks)
{
    // The checksum verdict of an earlier file must never judge this one, in
    // no table set.
    SetLDT3Pruefsumme_E157(0, false);
    if (!OpenFile(AFileName))
        return false;
    return ParseLines(ABreakEvent, AWithChecks);
}

bool TLDT3FilePtrList::LoadFromBuffer(const QByteArray &AData, const QString &AName,
                                      const std::atomic<bool> *ABreakEvent, const TWithChecks &AWithChecks)
{
    SetLDT3Pruefsumme_E157(0, false);
    Clear();
    FFileName = AName;
    if (AData.isEmpty())
        return false;
    FBuffer = AData; // shares the bytes, never copies them
    FFileBase = reinterpret_cast<const uchar *>(FBuffer.constData());
    FFileSize = FBuffer.size();
    return ParseLines(ABreakEvent, AWithChecks);
}

bool TLDT3FilePtrList::ParseLines(const std::atomic<bool> *ABreakEvent, const TWithChecks &AWithChecks)
{
    FFeldDict = FTableSet.FeldDict();

    const uchar *p = FFileBase;
    const qint64 n = FFileSize;
    // The checksum covers nearly all bytes; they are hashed on the other
    // core while the lines are parsed, ready when the checksum line comes.
    FHasher = std::make_unique<TSHA1PrefixHasher>(p, n, FFile != nullptr);
    TVexPageReleaser released = PageReleaser();
    qint64 crlf = 0;
    {
        TVexPageReleaser counted = PageReleaser();
        crlf = CountCrLfLines(p, n, counted);
    }
    const qint64 reserve = crlf > 0 ? crlf : n / 18;
    FList.reserve(size_t(qMin<qint64>(reserve, std::numeric_limits<int>::max())));

    // counts per FK while parsing; index 10000 counts the object attributes
    std::vector<int> fkCounts(10001, 0);
    bool reachedEnd = true;
    qint64 pos = 0;
    // The bytes are looked at 64 at a time: the block at blockAt.
    qint64 blockAt = -1;
    TByteMasks block{0, 0, 0};
    while (pos < n) {
        if (ABreakEvent && ABreakEvent->load(std::memory_order_relaxed)) {
            reachedEnd = false;
            break;
        }
        // Line body up to the first CR or LF; a line is never longer than
        // an int can count (a longer run is cut into several lines).
        const qint64 maxBody = qMin<qint64>(n - pos, std::numeric_limits<qint32>::max() - 2);
        bool allowed = true;
        qint64 body = maxBody;
        for (qint64 at = pos; at < pos + maxBody;) {
            const qint64 blockStart = at & ~qint64(63);
            if (blockStart != blockAt) {
                block = BlockMasks(p, n, blockStart);
                blockAt = blockStart;
            }
            const int shift = int(at - blockStart);
            const quint64 ends = (block.Cr | block.Lf) >> shift;
            const quint64 special = block.Special >> shift;
            // bits [0, stop) lie in this block and in the body so far
            qint64 stop = qMin<qint64>(64 - shift, pos + maxBody - at);
            const bool found = ends != 0 && std::countr_zero(ends) < stop;
            if (found)
                stop = std::countr_zero(ends);
            if (special & LowBits(stop))
                allowed = false;
            at += stop;
            if (found) {
                body = at - pos;
                break;
            }
        }
        qint64 len = body;
        if (pos + len < n) {
            const uchar e = p[pos + len];
            if (e == 0x0D || e == 0x0A) {
                ++len;
                if (pos + len < n) {
                    const uchar e2 = p[pos + len];
                    if ((e == 0x0D && e2 == 0x0A) || (e == 0x0A && e2 == 0x0D))
                        ++len;
                }
            }
        }
        ParseLine(pos, body, len, allowed, fkCounts.data());
        pos += len;
        released.Passed(pos);
        if (FMaxInvalidLines > 0 && FInvalidLines > FMaxInvalidLines) {
            reachedEnd = pos >= n;
            break;
        }
    }

    if (fkCounts[10000] > 0)
        FFeldCounter.Add(-1, fkCounts[10000]);
    for (int fk = 0; fk < 10000; ++fk)
        if (fkCounts[fk] > 0)
            FFeldCounter.Add(fk, fkCounts[fk]);

    CheckVersion();
    CheckCheckSum();
    FHasher.reset();
    released.Finish();
    // These passes read no field codes: they run beside the field checks.
    CheckFelderBeside([&] {
        CheckStructure();
        SetLevelsAndPaths();
        FindAnlagen();
        if (AWithChecks && reachedEnd && Count() > 0)
            AWithChecks();
    });
    CountLineErrors();
    if (TLDT3AppSettings::XPMAutoCheck())
        RunXPM();
    BuildLineErrorList();
    SetLDT3Pruefsumme_E157(FTableSet.Index(), FCheckSumOkay);
    FFeldDict = nullptr;
    return reachedEnd;
}

int TLDT3FilePtrList::CheckLineFeld(int AIndex, QString &AMsg) const
{
    const TLDT3FilePtrItem &item = FList[size_t(AIndex)];
    return FFeldDict->CheckFeld(item.FFK, InhaltOf(AIndex, item), LenInhaltOf(AIndex), AMsg);
}

void TLDT3FilePtrList::CheckFelderBeside(const std::function<void()> &AMeanwhile)
{
    // In pieces of lines that this thread and one more take in turn; the
    // other thread starts at once, this one once AMeanwhile is done.
    constexpr int kPiece = 1 << 14;
    const int n = Count();
    const int pieces = (n + kPiece - 1) / kPiece;
    std::atomic<int> next{0};
    struct TPart
    {
        std::vector<std::pair<int, QString>> Msgs;
        std::exception_ptr Error;
    };
    auto work = [&](TPart &APart) {
        try {
            QString msg;
            for (int k = next.fetch_add(1, std::memory_order_relaxed); k < pieces;
                 k = next.fetch_add(1, std::memory_order_relaxed)) {
                const int from = k * kPiece;
                const int to = qMin(n, from + kPiece);
                for (int i = from; i < to; ++i) {
                    TLDT3FilePtrItem &item = FList[size_t(i)];
                    if (!(item.FLenBits & TLDT3FilePtrItem::kValid) || CheckedAtParse(item))
                        continue;
                    const bool charsAllowed = !(item.LineErrorCode() & LE_InvalidChars);
                    item.SetFeldErrorCode(FFeldDict->CheckFeld(item.FFK, InhaltOf(i, item), LenInhaltOf(i), msg,
                                                               charsAllowed));
                    if (!msg.isEmpty())
                        APart.Msgs.emplace_back(i, msg);
                }
                TVexPageReleaser::ReleaseInside(FFile ? FFileBase : nullptr, FFileSize,
                                                OffsetOf(from, FList[size_t(from)]),
                                                to < n ? OffsetOf(to, FList[size_t(to)]) : FLinesEnd);
            }
        } catch (...) {
            APart.Error = std::current_exception();
            next.store(pieces);
        }
    };
    TPart mine;
    TPart other;
    std::thread helper;
    if (pieces > 1) {
        try {
            helper = std::thread([&] { work(other); });
        } catch (const std::system_error &) {
            // no thread to be had: this one does it all
        }
    }
    try {
        AMeanwhile();
    } catch (...) {
        next.store(pieces);
        if (helper.joinable())
            helper.join();
        throw;
    }
    work(mine);
    if (helper.joinable())
        helper.join();
    for (TPart *part : {&mine, &other}) {
        if (part->Error)
            std::rethrow_exception(part->Error);
        for (auto &[index, msg] : part->Msgs)
            FFeldErrDict.insert(index, msg);
    }
}

void TLDT3FilePtrList::SetTableSet(const TLDT3TableSet &ASet)
{
    if (ASet == FTableSet)
        return;
    FTableSet = ASet;
    FFeldDict = ASet.FeldDict();
    // A checksum line before the version line has been judged already.
    if (FCheckSumOffset >= 0)
        FFeldDict->SetPruefsumme_E157(FCheckSumOkay);
    // The lines before the version line were checked with the default set.
    QString msg;
    for (int i = 0; i < Count(); ++i) {
        TLDT3FilePtrItem &item = FList[i];
        if (!(item.FLenBits & TLDT3FilePtrItem::kValid) || !CheckedAtParse(item))
            continue;
        item.SetFeldErrorCode(CheckLineFeld(i, msg));
        if (msg.isEmpty())
            FFeldErrDict.remove(i);
        else
            FFeldErrDict.insert(i, msg);
    }
}

void TLDT3FilePtrList::ParseLine(qint64 AOffset, qint64 ABody, qint64 ALen, bool AAllowed, int *AFKCounts)
{
    TLDT3FilePtrItem item;
    item.FOffsetLo = quint32(AOffset);
    item.FLenBits = quint16((ALen - ABody) << TLDT3FilePtrItem::kEndShift);
    // a line never spans 4 GiB: the high bits step by one at most
    const int index = Count();
    while (qint64(FOffsetSteps.size()) < (AOffset >> 32))
        FOffsetSteps.push_back(index);
    const uchar *p = FFileBase + AOffset;

    int bits = 0;
    const qint64 body = ABody;
    if (!AAllowed)
        bits |= LE_InvalidChars;
    if (!(ALen - body == 2 && p[body] == 0x0D && p[body + 1] == 0x0A))
        bits |= LE_CrLf;

    bool valid = false;
    if (body == 0) {
        bits |= LE_EmptyLine;
    } else if (body < 7 || !(ByteIsDigit(p[0]) && ByteIsDigit(p[1]) && ByteIsDigit(p[2]) && ByteIsDigit(p[3])
                             && ByteIsDigit(p[4]) && ByteIsDigit(p[5]) && ByteIsDigit(p[6]))) {
        bits |= LE_InvalidLine;
    } else {
        valid = true;
        item.FLenBits |= quint16(TLDT3FilePtrItem::kValid | ((p[0] - '0') * 100 + (p[1] - '0') * 10 + (p[2] - '0')));
        item.FFK = qint16((p[3] - '0') * 1000 + (p[4] - '0') * 100 + (p[5] - '0') * 10 + (p[6] - '0'));
        if (item.FFK == TLDT3::FK_XDTVersion) {
            if (FXDTVersion.isEmpty()) {
                FXDTVersion = LDT3BytesToStr(p + 7, int(body) - 7, QChar(0));
                SetTableSet(TLDT3TableSet::ForXDTVersion(FXDTVersion));
            } else
                bits |= LE_ManyVersions;
        } else if (item.FFK == TLDT3::FK_Pruefsumme) {
            if (FCheckSumOffset < 0) {
                FCheckSumOffset = AOffset;
                FCheckSumOrg = LDT3BytesToStr(p + 7, int(body) - 7, QChar(0));
            } else {
                bits |= LE_ManyChecksums;
                FCheckSumOrg.clear();
            }
        }
        if (body - 7 + 9 != item.Len())
            bits |= LE_WrongLength;
    }

    item.SetLineErrorCode(bits);
    QString feldMsg;
    if (bits & (LE_EmptyLine | LE_InvalidLine | LE_EmptyLineAtEnd)) {
        item.SetFeldErrorCode(1);
    } else {
        // The checksum field's rule follows the verdict of this moment; the
        // other fields are checked after the parse (CheckFelderBeside).
        if (CheckedAtParse(item)) {
            if (CheckCheckSum())
                FFeldDict->SetPruefsumme_E157(FCheckSumOkay);
            item.SetFeldErrorCode(FFeldDict->CheckFeld(item.FFK, p + 7, body - 7, feldMsg));
        }
        ++AFKCounts[item.FFK];
        if (TLDT3::IsObjektAttribut(item.FFK))
            ++AFKCounts[10000];
    }
    FFileErrors |= bits;
    if (!valid)
        ++FInvalidLines;
    FList.push_back(item);
    FLinesEnd = AOffset + ALen;
    if (!feldMsg.isEmpty())
        FFeldErrDict.insert(Count() - 1, feldMsg);
}

// ---------------------------------------------------------------------------
// File level

QString TLDT3FilePtrList::AsString() const
{
    if (!FFileBase || FFileSize <= 0)
        return QString();
    // Every byte maps to one character; control bytes and 0x80..0x9F keep their number.
    QString r(FFileSize, Qt::Uninitialized);
    char16_t *d = reinterpret_cast<char16_t *>(r.data());
    for (qint64 i = 0; i < FFileSize; ++i)
        d[i] = Iso885915[FFileBase[i]];
    return r;
}

TVexPageReleaser TLDT3FilePtrList::PageReleaser() const
{
    return TVexPageReleaser(FFile ? FFileBase : nullptr, FFileSize);
}

void TLDT3FilePtrList::ReleaseFilePages() const
{
    TVexPageReleaser::ReleaseAll(FFile ? FFileBase : nullptr, FFileSize);
}

int TLDT3FilePtrList::AverageLineLength() const
{
    return Count() == 0 ? 0 : int(FFileSize / Count());
}

void TLDT3FilePtrList::ThrowIndexError()
{
    throw std::out_of_range("line index out of range");
}

QByteArrayView TLDT3FilePtrList::OrgBytesView(int Index) const
{
    const TLDT3FilePtrItem &it = Item(Index);
    return QByteArrayView(FFileBase + OffsetOf(Index, it), LineLen(Index));
}

QByteArray TLDT3FilePtrList::OrgBytes(int Index) const
{
    const TLDT3FilePtrItem &it = Item(Index);
    return QByteArray(reinterpret_cast<const char *>(FFileBase + OffsetOf(Index, it)), LineLen(Index));
}

QString TLDT3FilePtrList::OrgLine(int Index) const
{
    const TLDT3FilePtrItem &it = Item(Index);
    return LDT3BytesToStr(FFileBase + OffsetOf(Index, it), LineLen(Index), QChar(0));
}

QString TLDT3FilePtrList::DumpOrgBytesAnsi(int Index) const
{
    const TLDT3FilePtrItem &it = Item(Index);
    return DumpBytes(FFileBase + OffsetOf(Index, it), LineLen(Index));
}

const uchar *TLDT3FilePtrList::PtrInhalt(int Index) const
{
    const TLDT3FilePtrItem &it = Item(Index);
    return LenInhaltOf(Index) > 0 ? InhaltOf(Index, it) : nullptr;
}

QString TLDT3FilePtrList::Inhalt(int Index) const
{
    const TLDT3FilePtrItem &it = Item(Index);
    const int len = LenInhaltOf(Index);
    return len > 0 ? LDT3BytesToStr(InhaltOf(Index, it), len, QChar(0)) : QString();
}

// ---------------------------------------------------------------------------
// Line errors

void TLDT3FilePtrList::SetLineErrorCode(int Index, int ACode)
{
    Item(Index);
    FList[Index].SetLineErrorCode(ACode);
}

QString TLDT3FilePtrList::LineErrorMsg(int Index) const
{
    const int code = LineErrorCode(Index);
    QString r = XPMLineErrorItem(code, Index + 1, FXPMErrList.get());
    static const int order[] = {LE_EmptyLine, LE_InvalidLine, LE_InvalidChars, LE_CrLf,
                                LE_WrongLength, LE_ManyChecksums, LE_ManyVersions, LE_EmptyLineAtEnd};
    for (int bit : order)
        if (code & bit)
            AddWithSeparator(r, QStringLiteral(", "), LineErrorBitMsg(bit));
    return r;
}

QString TLDT3FilePtrList::FeldErrorMsg(int Index) const
{
    Item(Index);
    return FFeldErrDict.value(Index);
}

QString TLDT3FilePtrList::ErrorMsg(int Index) const
{
    QString r = LineErrorMsg(Index);
    AddWithSeparator(r, QStringLiteral(", "), FeldErrorMsg(Index));
    return r;
}

int TLDT3FilePtrList::MarkEmptyLinesAtEnd()
{
    FEmptyLinesAtEnd = 0;
    if (!FileErrorEmptyLine())
        return 0;
    int i = Count() - 1;
    while (i >= 0 && (FList[i].LineErrorCode() & LE_EmptyLine)) {
        FList[i].SetLineErrorCode((FList[i].LineErrorCode() & ~(LE_EmptyLine | LE_EmptyLineAtEnd)) | LE_EmptyLineAtEnd);
        ++FEmptyLinesAtEnd;
        --i;
    }
    if (FEmptyLinesAtEnd > 0) {
        FFileErrors |= LE_EmptyLineAtEnd;
        bool emptyBefore = false;
        for (int j = 0; j <= i && !emptyBefore; ++j)
            emptyBefore = FList[j].LineErrorCode() & LE_EmptyLine;
        if (!emptyBefore)
            FFileErrors &= ~LE_EmptyLine;
    }
    return FEmptyLinesAtEnd;
}

void TLDT3FilePtrList::CountLineErrors()
{
    FErrorCounter.Clear();
    if (FFileErrors == 0)
        return;
    static const int bits[] = {LE_EmptyLine, LE_EmptyLineAtEnd, LE_CrLf, LE_InvalidLine,
                               LE_InvalidChars, LE_WrongLength, LE_ManyChecksums, LE_ManyVersions};
    int counts[8] = {};
    for (const TLDT3FilePtrItem &it : std::as_const(FList)) {
        const int code = it.LineErrorCode();
        if (code == 0)
            continue;
        for (int b = 0; b < 8; ++b)
            if (code & bits[b])
                ++counts[b];
    }
    for (int b = 0; b < 8; ++b)
        if (counts[b] > 0)
            FErrorCounter.Add(bits[b], counts[b]);
}

bool TLDT3FilePtrList::BuildLineErrorList()
{
    FLineErrorList->Clear();
    auto faulty = [this](int i) { return FList[i].FCodes != 0; };
    // counted first: the list is made once at its size, never grown by copies
    int n = 0;
    for (int i = 0; i < Count(); ++i)
        n += faulty(i);
    FLineErrorList->FList.reserve(n);
    for (int i = 0; i < Count(); ++i)
        if (faulty(i))
            FLineErrorList->AddLineError(i);
    return FLineErrorList->Count() > 0;
}

// ---------------------------------------------------------------------------
// Version, checksum, structure, levels and paths

void TLDT3FilePtrList::CheckVersion()
{
    FIsLDTFile = TLDT3::VersionIsLDT(FXDTVersion);
    FIsLDT_3_1_2_OrHigher = TLDT3::IsLDTVersionOrHigher(FXDTVersion, 3, 1, 2);
}

bool TLDT3FilePtrList::CalcCheckSum()
{
    if (FCheckSumOffset < 0 || FileErrorManyChecksums())
        return false;
    // The check runs at the checksum line and again after the walk; the bytes
    // before that line do not change in between, so hash them once.
    if (FCheckSumDigest.isEmpty())
        FCheckSumDigest = TSHA1::ToHex(FHasher ? FHasher->Digest(FCheckSumOffset)
                                               : TSHA1::Hash(FFileBase, FCheckSumOffset));
    FCheckSumCalculated = FCheckSumDigest;
    return true;
}

bool TLDT3FilePtrList::CheckCheckSum()
{
    FCheckSumOkay = false;
    FCheckSumCalculated.clear();
    if (!CalcCheckSum())
        return false;
    if (FCheckSumOrg.isEmpty())
        return false;
    FCheckSumOkay = FCheckSumCalculated.compare(FCheckSumOrg, Qt::CaseInsensitive) == 0;
    return true;
}

bool TLDT3FilePtrList::CheckFKInhalt(int Index, int AFK, const QString &AInhalt) const
{
    if (Index < 0 || Index >= Count())
        return false;
    const TLDT3FilePtrItem &it = FList.at(Index);
    const int len = LenInhaltOf(Index);
    if (it.FFK != AFK || len != AInhalt.size())
        return false;
    const uchar *p = InhaltOf(Index, it);
    for (int i = 0; i < len; ++i) {
        const uchar b = p[i];
        const char16_t c = (ByteClass[b] & (cAllowed | cLineEnd)) ? Iso885915[b] : 0;
        if (c != AInhalt[i].unicode())
            return false;
    }
    return true;
}

// Compares the contents of two lines byte for byte.
static bool SameInhalt(const uchar *A, int ALenA, const uchar *B, int ALenB)
{
    return ALenA == ALenB && memcmp(A, B, size_t(ALenA)) == 0;
}

bool TLDT3FilePtrList::CheckStructure()
{
    MarkEmptyLinesAtEnd();
    FStructureOkay = false;
    const int n = TestedLineCount();
    if (Count() == 0) {
        FStructureOkay = true;
        return true;
    }
    if (n <= 0 || FList[0].FFK != TLDT3::FK_SatzArt)
        return false;
    QList<int> stack; // open lines; empty = the sentinel
    TVexPageReleaser released = PageReleaser();
    auto sameAsOpen = [&](int AIdx) {
        const int open = stack.last();
        return SameInhalt(InhaltOf(open, FList[open]), LenInhaltOf(open), InhaltOf(AIdx, FList[AIdx]),
                          LenInhaltOf(AIdx));
    };
    for (int i = 0; i < n; ++i) {
        const TLDT3FilePtrItem &it = FList[i];
        if ((i & 0xFFF) == 0)
            released.Passed(OffsetOf(i, it));
        switch (it.FFK) {
        case TLDT3::FK_SatzArt:
            if (!stack.isEmpty())
                return false;
            stack.append(i);
            break;
        case TLDT3::FK_SatzEnde:
            if (stack.isEmpty() || FList[stack.last()].FFK != TLDT3::FK_SatzArt
                || !sameAsOpen(i))
                return false;
            stack.removeLast();
            break;
        case TLDT3::FK_ObjektIdent:
            if (stack.isEmpty())
                return false;
            stack.append(i);
            break;
        case TLDT3::FK_ObjektEnde:
            if (stack.isEmpty() || FList[stack.last()].FFK != TLDT3::FK_ObjektIdent
                || !sameAsOpen(i))
                return false;
            stack.removeLast();
            break;
        default:
            if (stack.isEmpty())
                return false;
            break;
        }
    }
    if (!stack.isEmpty() || FList[n - 1].FFK != TLDT3::FK_SatzEnde)
        return false;
    FStructureOkay = true;
    return true;
}

int TLDT3FilePtrList::PushPath(int AParent, int AValue)
{
    FPathNodes.append(TPathNode{AParent, AValue});
    return int(FPathNodes.size()) - 1;
}

bool TLDT3FilePtrList::SetLevelsAndPaths()
{
    FPathNodes.clear();
    if (Count() == 0) {
        FPathAndLevelOkay = true;
        return true;
    }
    FPathAndLevelOkay = false;
    if (!FStructureOkay)
        return false;
    const int n = TestedLineCount();
    int top = -1; // path node of the stack's top; -1 = empty stack
    int v = -1;
    // A pop from an empty stack means an object that no attribute introduced:
    // paths and levels are then meaningless; assign none of them.
    auto pop = [&]() {
        if (top < 0)
            return false;
        top = FPathNodes[top].Parent;
        return true;
    };
    bool ok = true;
    TVexPageReleaser released = PageReleaser();
    for (int i = 0; i < n && ok; ++i) {
        TLDT3FilePtrItem &it = FList[i];
        if ((i & 0xFFF) == 0)
            released.Passed(OffsetOf(i, it));
        switch (it.FFK) {
        case TLDT3::FK_SatzArt: {
            bool isNum = false;
            int value = -1;
            if (LenInhaltOf(i) > 0) {
                const QString s = LDT3BytesToStr(InhaltOf(i, it), LenInhaltOf(i), QChar(0));
                value = s.toInt(&isNum);
                if (!isNum || !TLDT3::Is_num(s))
                    value = -1;
            }
            top = PushPath(top, value);
            ++v;
            it.FPathId = top;
            SetLevelOf(i, v);
            break;
        }
        case TLDT3::FK_SatzEnde:
            it.FPathId = top;
            ok = pop();
            --v;
            SetLevelOf(i, v);
            break;
        case TLDT3::FK_ObjektIdent:
            it.FPathId = top;
            SetLevelOf(i, v);
            ++v;
            break;
        case TLDT3::FK_ObjektEnde:
            it.FPathId = top;
            ok = pop();
            --v;
            SetLevelOf(i, v);
            --v;
            break;
        default:
            if (TLDT3::IsObjektAttribut(it.FFK)) {
                SetLevelOf(i, v);
                ++v;
                it.FPathId = top;
                top = PushPath(top, it.FFK);
            } else {
                SetLevelOf(i, v);
                it.FPathId = top;
            }
            break;
        }
    }
    if (!ok) {
        FFarLevels.clear();
        for (TLDT3FilePtrItem &it : FList) {
            it.FLevel = 0;
            it.FPathId = -1;
        }
        FPathNodes.clear();
        return false;
    }
    FPathAndLevelOkay = true;
    return true;
}

void TLDT3FilePtrList::SetLevelOf(int AIndex, int AValue)
{
    TLDT3FilePtrItem &it = FList[size_t(AIndex)];
    if (AValue > TLDT3FilePtrItem::kLevelFar && AValue <= std::numeric_limits<qint16>::max()) {
        if (it.FLevel == TLDT3FilePtrItem::kLevelFar)
            FFarLevels.remove(AIndex);
        it.FLevel = qint16(AValue);
    } else {
        // nesting this deep comes from hostile files only
        it.FLevel = TLDT3FilePtrItem::kLevelFar;
        FFarLevels.insert(AIndex, AValue);
    }
}

void TLDT3FilePtrList::SetLevel(int Index, int AValue)
{
    Item(Index);
    SetLevelOf(Index, AValue);
}

QList<int> TLDT3FilePtrList::Path(int Index) const
{
    QList<int> r;
    for (int node = Item(Index).FPathId; node >= 0; node = FPathNodes[node].Parent)
        r.append(FPathNodes[node].Value);
    std::reverse(r.begin(), r.end());
    return r;
}

void TLDT3FilePtrList::SetPath(int Index, const QList<int> &APath)
{
    Item(Index);
    int node = -1;
    for (int v : APath)
        node = PushPath(node, v);
    FList[Index].FPathId = node;
}

QString TLDT3FilePtrList::ShortPath(int Index) const
{
    if (!FPathAndLevelOkay)
        return QString();
    const QList<int> path = Path(Index);
    if (path.isEmpty())
        return QString();
    QString r = QStringLiteral("SA") + QString::number(path[0]);
    for (qsizetype i = 1; i < path.size(); ++i)
        r += QStringLiteral("\\@") + QString::number(path[i]);
    return r;
}

QString TLDT3FilePtrList::ShortPathFK(int Index) const
{
    if (!FPathAndLevelOkay)
        return QString();
    return ShortPath(Index) + QStringLiteral("\\FK") + FKStr(Index);
}

// ---------------------------------------------------------------------------
// Search

// First occurrence of APattern in the bytes from AFrom on, or -1.
static qint64 FindBytes(const uchar *ABase, qint64 ASize, const QByteArray &APattern, qint64 AFrom)
{
    if (APattern.isEmpty() || AFrom < 0 || APattern.size() > ASize - AFrom)
        return -1;
    const auto *first = reinterpret_cast<const char *>(ABase) + AFrom;
    const auto *last = reinterpret_cast<const char *>(ABase) + ASize;
    const auto it = std::search(first, last, std::boyer_moore_horspool_searcher(APattern.cbegin(), APattern.cend()));
    return it == last ? -1 : AFrom + (it - first);
}

qint64 TLDT3FilePtrList::FindStrOffset(const QString &ASearchStr) const
{
    if (!FFileBase || !LDT3StrAllowed(ASearchStr, false))
        return -1;
    return FindBytes(FFileBase, FFileSize, LDT3StrToBytes(ASearchStr, 0), 0);
}

int TLDT3FilePtrList::FindStrZeile(const QString &ASearchStr) const
{
    // The pattern holds no CR or LF, so its first match is the first match
    // that starts outside a line end; lines are counted by LF bytes.
    const qint64 off = FindStrOffset(ASearchStr);
    if (off < 0)
        return 0;
    return int(std::count(FFileBase, FFileBase + off, uchar(0x0A))) + 1;
}

int TLDT3FilePtrList::LineIndexOfOffset(qint64 AOffset) const
{
    if (AOffset < 0 || FList.empty())
        return -1;
    // the last line starting at or before AOffset
    int lo = 0;
    int hi = Count();
    while (lo < hi) {
        const int mid = lo + (hi - lo) / 2;
        if (OffsetOf(mid, FList[size_t(mid)]) <= AOffset)
            lo = mid + 1;
        else
            hi = mid;
    }
    if (lo == 0)
        return -1;
    const int idx = lo - 1;
    return AOffset < OffsetOf(idx, FList[size_t(idx)]) + LineLen(idx) ? idx : -1;
}

bool TLDT3FilePtrList::FindAll(const QString &ASearchStr)
{
    FFoundList.Clear();
    if (ASearchStr.isEmpty() || !FFileBase)
        return false;
    if (ASearchStr.contains(QChar(0))) {
        // NUL stands for every byte outside the character set in line texts
        for (int i = 0; i < Count(); ++i)
            if (OrgLine(i).contains(ASearchStr))
                FFoundList.Add(i);
        return FFoundList.Count() > 0;
    }
    // A character the file cannot hold is found nowhere.
    for (QChar ch : ASearchStr)
        if (LDT3CharToByte(ch, 0) == 0)
            return false;
    const QByteArray pattern = LDT3StrToBytes(ASearchStr, 0);
    qint64 from = 0;
    for (;;) {
        const qint64 off = FindBytes(FFileBase, FFileSize, pattern, from);
        if (off < 0)
            break;
        const int idx = LineIndexOfOffset(off);
        if (idx < 0)
            break;
        const TLDT3FilePtrItem &it = FList.at(idx);
        const qint64 lineEnd = OffsetOf(idx, it) + LineLen(idx);
        if (off + pattern.size() <= lineEnd) {
            FFoundList.Add(idx);
            from = lineEnd; // one hit per line is enough
        } else {
            from = off + 1; // runs over the line's end: not inside one line
        }
    }
    return FFoundList.Count() > 0;
}

QString TLDT3FilePtrList::XPMStatus() const
{
    return ::XPMStatus(FXPMErrList.get());
}

void TLDT3FilePtrList::RunXPM()
{
    FXPMErrList.reset();
    TLDT3XPMRunner *runner = GetLDT3XPMRunner();
    if (!runner || !FFile) // bytes from memory: the module reads files only
        return;
    std::unique_ptr<TXPMErrList> list = runner->Run(*this);
    if (!list)
        return;
    MarkXPMLines(*this, *list);
    FXPMErrList = std::move(list);
}

bool TLDT3FilePtrList::XPMCheck()
{
    if (FXPMErrList)
        return false;
    RunXPM();
    if (!FXPMErrList)
        return false;
    BuildLineErrorList();
    return true;
}

void MarkXPMLines(TLDT3FilePtrList &AList, const TXPMErrList &AXPMErrList)
{
    for (int i = 0; i < AList.Count(); ++i)
        if (AXPMErrList.IsFehlerZeile(i + 1))
            AList.SetLineErrorCode(i, AList.LineErrorCode(i) | LE_XPMError);
}

bool TLDT3FilePtrList::SetXPMResult(std::unique_ptr<TXPMErrList> AList)
{
    if (FXPMErrList || !AList)
        return false;
    MarkXPMLines(*this, *AList);
    FXPMErrList = std::move(AList);
    BuildLineErrorList();
    return true;
}

// ---------------------------------------------------------------------------
// Meanings, long paths, statistics

QString TLDT3FilePtrList::Bedeutung(int Index) const
{
    return FeldDict().GetBedeutung(FK(Index), Inhalt(Index));
}

QString TLDT3FilePtrList::LongPath(int Index) const
{
    if (!FPathAndLevelOkay)
        return QString();
    const QList<int> path = Path(Index);
    if (path.isEmpty())
        return QString();
    const TLDT3FeldDict *dict = &FeldDict();
    QString r = dict->GetBedeutung(TLDT3::FK_SatzArt, QString::number(path[0]));
    for (qsizetype i = 1; i < path.size(); ++i)
        r += QLatin1Char('\\') + dict->GetFeldName(path[i]);
    return r;
}

QString TLDT3FilePtrList::LongPathFK(int Index) const
{
    if (!FPathAndLevelOkay)
        return QString();
    return LongPath(Index) + QLatin1Char('\\') + FeldDict().GetFeldName(FK(Index));
}

QList<TLDT3FeldStatistikRec> TLDT3FilePtrList::GetFeldStatistikList() const
{
    QList<int> keys = FFeldCounter.KeyArray();
    std::sort(keys.begin(), keys.end());
    const TLDT3FeldDict *dict = &FeldDict();
    QList<TLDT3FeldStatistikRec> r;
    r.reserve(keys.size());
    for (int key : std::as_const(keys)) {
        TLDT3FeldStatistikRec rec;
        rec.FK = key;
        rec.Anzahl = FFeldCounter.GetCount(key);
        if (key == -1) {
            rec.Name = Format(QStringLiteral("Objektattribute (%s - %s)"),
                              {TLDT3::FKAndPrefix(TLDT3::FK_ObjektAttributFirst),
                               TLDT3::FKAndPrefix(TLDT3::FK_ObjektAttributLast)});
        } else {
            rec.FKStr = TLDT3::FKAndPrefix(key);
            rec.Name = dict->GetFeldName(key);
        }
        r.append(rec);
    }
    return r;
}

// ---------------------------------------------------------------------------
// Attachments

QString TLDT3FilePtrList::TmpDirectory() const
{
    QString d = TLDT3Data::GetLDTTmpDir();
    if (!d.endsWith(QLatin1Char('/')))
        d += QLatin1Char('/');
    return d;
}

bool TLDT3FilePtrList::FindAnlagen()
{
    FBase64AnlagenList->Clear();
    const int last = Count() - 1; // tests of a following line need i < last
    const QString obj10 = QStringLiteral("Obj_0010");
    const QString obj68 = QStringLiteral("Obj_0068");
    int i = 0;
    TVexPageReleaser released = PageReleaser();
    while (i < last) {
        released.Passed(OffsetOf(i, FList[size_t(i)]));
        // 2. FK 8110 followed by the attachment object
        if (!(FK(i) == 8110 && CheckObjektIdent(i + 1, obj10))) {
            ++i;
            continue;
        }
        TLDT3Base64Rec rec;
        InitBase64Rec(rec);
        rec.AnhangStartIdx = i;
        i += 2;
        // 3. optional document type
        if (i < Count() && FK(i) == 9970) {
            rec.Dokumententyp = FeldDict().GetBedeutung(9970, Inhalt(i));
            ++i;
        }
        // 4. the data object
        while (i < last && !(FK(i) == 8242 && CheckObjektIdent(i + 1, obj68)))
            ++i;
        if (i >= last)
            break;
        // 5. its first Base64 line
        i += 2;
        if (!(i < last && FK(i) == TLDT3::FK_Base64))
            continue;
        // 6. the run of Base64 lines up to the data object's end
        rec.StartIdx = i;
        while (i < last && FK(i) == TLDT3::FK_Base64)
            ++i;
        if (!CheckObjektEnde(i, obj68))
            continue;
        rec.EndeIdx = i - 1;
        // 7. describing fields up to the next object end
        while (i < last) {
            ++i;
            const int fk = FK(i);
            if (fk == TLDT3::FK_ObjektEnde)
                break;
            QString *target = fk == 6303 ? &rec.DateiFormat
                              : fk == 6327 ? &rec.DateiBeschreibung
                              : fk == 6328 ? &rec.DateiCodierung : nullptr;
            if (target) {
                if (!target->isEmpty())
                    break;
                *target = Inhalt(i);
            }
        }
        // 8. the attachment object's end
        if (CheckObjektEnde(i, obj10)) {
            rec.AnhangEndeIdx = i;
            FBase64AnlagenList->Add(rec);
        }
    }
    return FBase64AnlagenList->Count() > 0;
}

QList<TLDT3Base64Anlage *> TLDT3FilePtrList::GetAnlagen(int AStartIdx, int AEndeIdx) const
{
    QList<TLDT3Base64Anlage *> r;
    for (int k = 0; k < FBase64AnlagenList->Count(); ++k) {
        TLDT3Base64Anlage *a = FBase64AnlagenList->Items(k);
        if (a->AnhangStartIdx() <= AStartIdx && a->AnhangEndeIdx() >= AEndeIdx) {
            r.append(a);
            break;
        }
        if (a->AnhangStartIdx() >= AStartIdx && a->AnhangEndeIdx() <= AEndeIdx)
            r.append(a);
    }
    return r;
}
