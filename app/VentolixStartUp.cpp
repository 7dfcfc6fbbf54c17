#include "VentolixStartUp.h"

#include "LDT3.Data.h"
#include "LDT3.XPMCheck.h"
#include "Vex_VerInfo.h"

#include <QCoreApplication>

void VentolixStartUp()
{
    // the settings store, the data directory and the pending-deletes list live under these names
    QCoreApplication::setOrganizationName(QStringLiteral("Norvalis GmbH"));
    QCoreApplication::setApplicationName(GetAppTitle());
    QCoreApplication::setApplicationVersion(GetFileVersionInfo().FileVersion());
    // without a runner the automatic check at load and the XPM action do nothing
    InstallXPMRunner();
    // files a crashed or busy earlier run could not delete
    TLDT3Data::DeletePendingFiles();
}
