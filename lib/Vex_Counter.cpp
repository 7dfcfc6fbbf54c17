#include "Vex_Counter.h"

void TCountDictionary::AddArray(const QList<TPair> &APairs)
{
    for (const TPair &p : APairs)
        Add(p.first, p.second);
}

QList<TCountDictionary::TPair> TCountDictionary::ToArray() const
{
    QList<TPair> r;
    r.reserve(FDict.size());
    for (auto it = FDict.cbegin(); it != FDict.cend(); ++it)
        r.append(TPair(it.key(), it.value()));
    return r;
}
