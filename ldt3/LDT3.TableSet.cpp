#include "LDT3.TableSet.h"

#include "WStrTools.h"

using namespace Qt::StringLiterals;

// The default set: the classes' own generated tables.
extern const TLDT3TableSetDef LDT3TableSet_3_1_3 = {
    u"LDT3.1.3", nullptr, nullptr, nullptr, nullptr, LDT3ETable, LDT3ETableCount, nullptr, 0,
};

int TLDT3TableSet::Count() { return LDT3TableSetDefCount; }

TLDT3TableSet TLDT3TableSet::At(int AIndex)
{
    return TLDT3TableSet(AIndex >= 0 && AIndex < LDT3TableSetDefCount ? AIndex : 0);
}

TLDT3TableSet TLDT3TableSet::ForXDTVersion(const QString &AXDTVersion)
{
    for (int i = 1; i < LDT3TableSetDefCount; ++i) {
        const char16_t *prefix = LDT3TableSetDefs[i]->VersionPrefix;
        if (prefix && AXDTVersion.startsWith(QStringView(prefix)))
            return TLDT3TableSet(i);
    }
    return TLDT3TableSet();
}

bool TLDT3TableSet::FromName(const QString &AName, TLDT3TableSet &ASet)
{
    QString n = AName.trimmed();
    if (n.startsWith(u"LDT"_s, Qt::CaseInsensitive))
        n = n.mid(3).trimmed();
    for (int i = 0; i < LDT3TableSetDefCount; ++i)
        if (u"LDT"_s + n == QStringView(LDT3TableSetDefs[i]->Version)) {
            ASet = TLDT3TableSet(i);
            return true;
        }
    return false;
}

QStringList TLDT3TableSet::Versions()
{
    QStringList r;
    for (int i = 0; i < LDT3TableSetDefCount; ++i)
        r.append(At(i).Version());
    return r;
}

QString TLDT3TableSet::Version() const { return QString::fromUtf16(Def().Version); }

QString TLDT3TableSet::DisplayName() const
{
    const QString v = Version();
    return v.left(3) + u' ' + v.mid(3);
}

QString LDT3WindowTitle(const QString &AAppTitle, const TLDT3TableSet &ASet, const QString &AFileName)
{
    if (AFileName.isEmpty())
        return Format(u"%s - %s"_s, {AAppTitle, ASet.Version()});
    return Format(u"%s - %s - [%s]"_s, {AAppTitle, ASet.Version(), AFileName});
}
