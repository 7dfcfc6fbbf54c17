#include "Vex_VerInfo.h"

#include "WStrTools.h"

#include <QStringList>

#ifndef VENTOLIX_PRODUCT_NAME
#define VENTOLIX_PRODUCT_NAME ""
#endif
#ifndef VENTOLIX_VERSION
#define VENTOLIX_VERSION ""
#endif

namespace {
const quint64 InvalidVersion = ~quint64(0);
}

quint64 StrToFileVersion(const QString &AText)
{
    const QStringList parts = AText.split(QLatin1Char('.'));
    if (parts.size() > 4)
        return InvalidVersion;
    quint64 result = 0;
    for (int i = 0; i < 4; ++i) {
        quint64 v = 0;
        if (i < parts.size() && !parts[i].isEmpty()) {
            bool ok = false;
            const uint n = parts[i].toUInt(&ok);
            if (!ok || n > 65535)
                return InvalidVersion;
            v = n;
        }
        result = (result << 16) | v;
    }
    return result;
}

QString FileVersionToStr(quint64 AVersion)
{
    if (AVersion == InvalidVersion)
        return QString();
    return Format(QStringLiteral("%u.%u.%u.%u"), {(AVersion >> 48) & 0xFFFF, (AVersion >> 32) & 0xFFFF,
                                                  (AVersion >> 16) & 0xFFFF, AVersion & 0xFFFF});
}

TFileVersionInfo::TFileVersionInfo()
{
    const QString v = QStringLiteral(VENTOLIX_VERSION);
    if (!v.isEmpty())
        FFileVersion = StrToFileVersion(v);
}

QString TFileVersionInfo::Value(const QString &AName) const
{
    if (AName == QLatin1String("ProductName"))
        return QStringLiteral(VENTOLIX_PRODUCT_NAME);
    if (AName == QLatin1String("FileVersion") || AName == QLatin1String("ProductVersion"))
        return FileVersionToStr(FFileVersion);
    if (AName == QLatin1String("CompanyName"))
        return QStringLiteral("Norvalis GmbH");
    if (AName == QLatin1String("FileDescription"))
        return QStringLiteral("Anzeige und Prüfung von LDT 3.x Dateien");
    return QString();
}

const TFileVersionInfo &GetFileVersionInfo()
{
    static const TFileVersionInfo info;
    return info;
}

QString GetAppTitle()
{
    const QString name = GetFileVersionInfo().ProductName();
    return name.isEmpty() ? QStringLiteral("Norvalis Ventolix") : name;
}
