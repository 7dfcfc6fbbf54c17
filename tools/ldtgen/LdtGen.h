// Seeded generator of LDT 3.1.3 and 3.2.20 files: order packages (8230, n x 8215, 8231)
// and result packages (8220, n x 8205, 8221), optionally with PDF attachments
// as Base64 lines, an FK 9300 checksum and injected faults. The file is
// streamed: only one record is held in memory at a time.
#pragma once

#include <QByteArray>
#include <QList>

#include "Vex_SHA1.h"

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

enum class TLdtFault {
    WrongLength,     // length prefix differs from the content length + 9
    Lf,              // line ends in a lone LF
    BadBytes,        // one content byte outside the LDT character set
    EmptyLines,      // an empty line inside a record
    EmptyLinesAtEnd, // empty lines after the last record
    UnknownFk,       // a line with a field identifier that no LDT 3 version has
    BrokenNesting,   // an object end that names another object
    SecondVersion,   // a second FK 0001 line
    SecondChecksum,  // a second FK 9300 line
};

// Option name of a fault ("wrong-length"); empty for none.
const char *LdtFaultName(TLdtFault AFault);
bool LdtFaultFromName(std::string_view AName, TLdtFault &AFault);

struct TLdtGenOptions
{
    std::string Version = "LDT3.1.3"; // the version line; the content is valid in both versions
    bool Befund = true;          // result package; false: order package
    quint64 Seed = 1;
    qint64 Records = -1;         // records between header and trailer; -1: not given
    qint64 Size = -1;            // wanted file size in bytes; -1: not given
    double AttachmentShare = -1; // share of the file's bytes in Base64 lines; -1: default
    qint64 AttachmentMin = 0;    // least Base64 line bytes of one attachment
    bool Attachments = true;
    bool Checksum = true;
    std::vector<TLdtFault> Faults; // each injected FaultCount times
    int FaultCount = 1;
};

// Small, fast and portable pseudo-random numbers (splitmix64), so that a seed
// gives the same file on every platform and library version.
class TLdtRandom
{
public:
    explicit TLdtRandom(quint64 ASeed) : FState(ASeed) {}
    quint64 Next()
    {
        quint64 z = (FState += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    // 0 to AMax - 1 (AMax > 0)
    quint64 Below(quint64 AMax) { return Next() % AMax; }
    int Range(int ALow, int AHigh) { return ALow + int(Below(quint64(AHigh - ALow + 1))); }
    double Unit() { return double(Next() >> 11) * (1.0 / 9007199254740992.0); }

private:
    quint64 FState;
};

class TLdtGenerator
{
public:
    explicit TLdtGenerator(const TLdtGenOptions &AOptions);
    ~TLdtGenerator();

    // Writes the whole file; false when writing failed.
    bool Generate(std::FILE *AOut);

    qint64 BytesWritten() const { return FWritten; }
    qint64 Base64Bytes() const { return FBase64Bytes; }
    qint64 RecordCount() const { return FRecordNr; }

    struct TLine { quint32 Off; quint32 Len; int FK; };

private:
    struct TPraxis;
    struct TFaultOp;

    // Record buffer
    void Line(int AFK, std::string_view AContent);
    void Line(int AFK, const std::string &AContent) { Line(AFK, std::string_view(AContent)); }
    void Line(int AFK, const char *AContent) { Line(AFK, std::string_view(AContent)); }
    void Open(int AAttrFK);
    void Close();
    void Timestamp(int AAttrFK, int ADay, int ASecond);

    void HeaderRecord();
    void BodyRecord();
    void TrailerRecord();
    void Einsender(const TPraxis &APraxis);
    void Patient();
    void Material(int AIndex, int ADay, int ASecond);
    void Anhang(qint64 ABase64Bytes);

    void PlanFaults();
    void InjectFaults(std::vector<TFaultOp> &AOps);
    void FlushRecord(const std::vector<TFaultOp> &AOps);

    // Output
    void Put(const char *AData, size_t ALen);
    void Put(std::string_view S) { Put(S.data(), S.size()); }
    void FlushOut();
    void StopHash();

    TLdtGenOptions FOpt;
    double FShare = 0;
    TLdtRandom FRnd;
    TLdtRandom FFaultRnd;
    std::FILE *FOut = nullptr;
    bool FWriteError = false;

    std::string FRec;
    std::vector<TLine> FLines;
    std::vector<int> FOpenAttr;

    std::string FOutBuf;
    size_t FHashedTo = 0;
    bool FHashing = true;
    TSHA1 FHash;

    qint64 FWritten = 0;      // bytes as generated without faults
    qint64 FBase64Bytes = 0;  // bytes of Base64 lines (line ends included)
    qint64 FRecordNr = 0;     // body records written
    std::vector<TPraxis> FPraxen;
    QList<QByteArray> FReport; // text of the PDF attachment of the current record
    // Body record index of every fault injection still to come, sorted.
    std::vector<std::pair<qint64, TLdtFault>> FFaultPlan;
    size_t FFaultNext = 0;
    int FBaseDay = 0;
};
