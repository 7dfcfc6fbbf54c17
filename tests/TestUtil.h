// Small helpers shared by the unit tests.
#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace testutil {

inline QString SamplesDir() { return QString::fromUtf8(VENTOLIX_SAMPLES_DIR); }
inline QString ExamplesDir() { return QString::fromUtf8(VENTOLIX_EXAMPLES_DIR); }
inline QString TestDataDir() { return QString::fromUtf8(VENTOLIX_TEST_DATA_DIR); }
inline QString BinDir() { return QString::fromUtf8(VENTOLIX_BIN_DIR); }

// The KBV sample files, sorted by name.
inline QStringList SampleFiles()
{
    QDir d(SamplesDir());
    QStringList r;
    for (const QString &n : d.entryList({QStringLiteral("*.ldt")}, QDir::Files, QDir::Name))
        r << d.filePath(n);
    return r;
}

inline QByteArray ReadAll(const QString &AFileName)
{
    QFile f(AFileName);
    if (!f.open(QIODevice::ReadOnly))
        return QByteArray();
    return f.readAll();
}

// Writes bytes into a file inside a temporary directory and returns its path.
inline QString WriteFile(const QTemporaryDir &ADir, const QString &AName, const QByteArray &ABytes)
{
    const QString path = ADir.filePath(AName);
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return QString();
    f.write(ABytes);
    return path;
}

} // namespace testutil

// Lets gtest print QString values in failure messages.
QT_BEGIN_NAMESPACE
inline void PrintTo(const QString &s, std::ostream *os) { *os << '"' << s.toStdString() << '"'; }
QT_END_NAMESPACE
