#include "LDT3.AppSettings.h"

#include "LDT3.Data.h"

#include <QMutex>

namespace {
QMutex GMutex;
QString GXPMDir;
bool GXPMAutoCheck = false;
QString GOutputDir;
}

QString TLDT3AppSettings::XPMDir()
{
    QMutexLocker lock(&GMutex);
    return GXPMDir;
}

void TLDT3AppSettings::SetXPMDir(const QString &ADir)
{
    QMutexLocker lock(&GMutex);
    GXPMDir = ADir;
}

bool TLDT3AppSettings::XPMAutoCheck()
{
    QMutexLocker lock(&GMutex);
    return GXPMAutoCheck;
}

void TLDT3AppSettings::SetXPMAutoCheck(bool AValue)
{
    QMutexLocker lock(&GMutex);
    GXPMAutoCheck = AValue;
}

QString TLDT3AppSettings::OutputDir()
{
    QMutexLocker lock(&GMutex);
    return GOutputDir;
}

void TLDT3AppSettings::SetOutputDir(const QString &ADir)
{
    {
        QMutexLocker lock(&GMutex);
        GOutputDir = ADir;
    }
    SetLDTTmpDir(ADir);
}
