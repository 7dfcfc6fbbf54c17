// The program's version information: the product name and version strings
// compiled in from the build, the file version as a 64-bit number and the
// application title derived from them.
#pragma once

#include "VentolixStart.h" // StrToFileVersion, FileVersionToStr

#include <QString>
#include <QtGlobal>

class TFileVersionInfo
{
public:
    TFileVersionInfo();
    // A string value by name ("ProductName", "FileVersion", "CompanyName",
    // "FileDescription", "ProductVersion", "LegalCopyright"); empty when unknown.
    QString Value(const QString &AName) const;
    QString ProductName() const { return Value(QStringLiteral("ProductName")); }
    QString FileVersion() const { return Value(QStringLiteral("FileVersion")); }
    // major, minor, release and build in 16 bits each, major highest;
    // all bits set when the version text is not valid.
    quint64 FileVersionUInt64() const { return FFileVersion; }

private:
    quint64 FFileVersion = ~quint64(0);
};

// The process-wide version information.
const TFileVersionInfo &GetFileVersionInfo();
// The product name, or "Norvalis Ventolix" when none was compiled in.
QString GetAppTitle();

