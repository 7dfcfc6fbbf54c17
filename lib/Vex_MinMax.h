// Tracks the smallest and largest of a series of integers.
#pragma once

#include <QString>

#include <cstdint>

class TIntMinMaxDetector
{
public:
    TIntMinMaxDetector() = default;
    static TIntMinMaxDetector CreateNamed(const QString &AName)
    {
        TIntMinMaxDetector d;
        d.FName = AName;
        return d;
    }

    void Clear() { FCount = 0; FMinValue = 0; FMaxValue = 0; }
    void Add(int32_t AValue)
    {
        if (FCount == 0) {
            FMinValue = AValue;
            FMaxValue = AValue;
        } else if (AValue < FMinValue) {
            FMinValue = AValue;
        } else if (AValue > FMaxValue) {
            FMaxValue = AValue;
        }
        ++FCount;
    }

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
