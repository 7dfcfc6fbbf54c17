// SHA-1 (FIPS 180-4), streaming. Uses the x86 SHA instructions when the CPU
// has them, else portable code.
#pragma once

#include <QString>

#include <array>
#include <cstdint>

class TSHA1
{
public:
    using TDigest = std::array<uint8_t, 20>;
    enum TImpl { shaAuto, shaPortable };

    // shaPortable forces the portable code (for tests and comparisons).
    explicit TSHA1(TImpl AImpl = shaAuto);

    void Init();
    void Update(const void *AData, qsizetype ALen);
    // The digest; the object starts afresh afterwards.
    TDigest Final();
    // Bytes hashed since Init.
    uint64_t Length() const { return FLength; }

    // Whether this object hashes with the CPU's SHA instructions.
    bool UsesHardware() const;
    // Whether the CPU has the SHA instructions.
    static bool HardwareAvailable();

    static TDigest Hash(const void *AData, qsizetype ALen, TImpl AImpl = shaAuto);
    // 40 lower-case hexadecimal digits.
    static QString ToHex(const TDigest &ADigest);
    static QString HashHex(const void *AData, qsizetype ALen) { return ToHex(Hash(AData, ALen)); }

    using TBlockFunc = void (*)(uint32_t AState[5], const uint8_t *AData, size_t ABlocks);

private:
    TBlockFunc FBlocks;
    uint32_t FState[5];
    uint64_t FLength; // bytes hashed so far
    uint8_t FBuffer[64];
    size_t FBufLen;
};
