#include "Vex_VerInfo.h"

#include "VentolixStart.h"
#include "WStrTools.h"

#include <QStringList>

#ifndef VENTOLIX_PRODUCT_NAME
#define VENTOLIX_PRODUCT_NAME ""
#endif
#ifndef VENTOLIX_VERSION
#define VENTOLIX_VERSION ""
#endif

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
