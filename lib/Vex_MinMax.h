// Tracks the smallest and largest of a series of integers.
#pragma once

#include <QString>

#include <cstdint>

class TIntMinMaxDetector
{
public:
    TIntMinMaxDetector() = default;
    // The name only identifies the detector.
    explicit TIntMinMaxDetector(const QString &AName) : FName(AName) {}
    static TIntMinMaxDetector CreateNamed(const QString &AName) { return TIntMinMaxDetector(AName); }

    // Forgets all values.
    void Clear();
    void Add(int32_t AValue);

    bool GotValues() const { return FCount != 0; }
    uint32_t Count() const { return FCount; }
    // Meaningful only when GotValues.
    int32_t MinValue() const { return FMinValue; }
    int32_t MaxValue() const { return FMaxValue; }
    const QString &Name() const { return FName; }

private:
    uint32_t FCount = 0;
    int32_t FMinValue = 0;
    int32_t FMaxValue = 0;
    QString FName;
};
