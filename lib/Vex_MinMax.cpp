#include "Vex_MinMax.h"

void TIntMinMaxDetector::Clear()
{
    FCount = 0;
    FMinValue = 0;
    FMaxValue = 0;
}

void TIntMinMaxDetector::Add(int32_t AValue)
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
