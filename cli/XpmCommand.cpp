#include "XpmCommand.h"

#include "CheckReport.h"
#include "LDT3.AppSettings.h"
#include "LDT3.Document.h"
#include "LDT3.FilePtrList.h"
#include "LDT3.XPMCheck.h"
#include "LDT3.XPMThrd.h"
#include "Vex_ConsolePresenter.h"
#include "Vex_MessageSink.h"

#include <QDir>
#include <QFileInfo>

#include <csignal>

namespace {

void OnSigInt(int) { TConsoleThreadInfoPresenter::RequestCancel(); }

// Ctrl+C cancels the running module wait instead of ending the program.
class TScopedSigInt
{
public:
    TScopedSigInt()
    {
        TConsoleThreadInfoPresenter::ResetCancel();
        struct sigaction sa = {};
        sa.sa_handler = OnSigInt;
        sigemptyset(&sa.sa_mask);
        ::sigaction(SIGINT, &sa, &FOld);
    }
    ~TScopedSigInt() { ::sigaction(SIGINT, &FOld, nullptr); }

private:
    struct sigaction FOld = {};
};

} // namespace

void XpmConsoleSetup()
{
    static TConsoleThreadInfoPresenter presenter(stderr);
    SetThreadInfoPresenter(&presenter);
    SetMessageSink(nullptr); // the stderr sink
    InstallXPMRunner();
}

int XpmCheckFileReport(const QString &AFileName, const QString &AXPMDir, QTextStream &AOut, QTextStream &AErr)
{
    TLDT3Document doc;
    doc.SetBuildTrees(false); // the report reads the lines only
    const int rc = OpenForCheck(doc, AFileName, 0, false, AErr);
    if (rc != 0)
        return rc;
    const TLDT3FilePtrList &list = *doc.PtrList();
    TLDT3AppSettings::SetXPMDir(AXPMDir);
    bool ok = false;
    {
        TScopedSigInt sigint;
        AErr.flush();
        ok = doc.XPMCheck();
    }
    const TXPMErrList *xpm = doc.XPMErrList();
    AOut << "XPM-Prüfung: " << QDir::toNativeSeparators(AFileName) << '\n';
    if (!ok) {
        AOut << XPMStatus(nullptr) << '\n';
        return 3;
    }
    WriteXPMReport(xpm, AOut);
    int marked = 0;
    for (int i = 0; i < list.Count(); ++i) {
        if (!list.LineHasXPMErrors(i))
            continue;
        ++marked;
        AOut << "Zeile " << (i + 1) << ": " << XPMLineErrorItem(list.LineErrorCode(i), i + 1, xpm) << '\n';
    }
    AOut << "Zeilen mit XPM-Fehlern: " << marked << '\n';
    return marked > 0 ? 1 : 0;
}

int XpmPdfFileReport(const QString &AFileName, const QString &AXPMDir, const QString &AOutDir, QTextStream &AOut,
                     QTextStream &AErr)
{
    const QString base = QFileInfo(AFileName).completeBaseName();
    QDir out(AOutDir);
    if (!out.exists()) {
        AErr << "Ausgabeverzeichnis \"" << AOutDir << "\" nicht gefunden.\n";
        return 3;
    }
    const QString prot = out.absoluteFilePath(base + QStringLiteral("_XPM_Prot.pdf"));
    const QString stat = out.absoluteFilePath(base + QStringLiteral("_XPM_Stat.pdf"));
    QFile::remove(prot);
    QFile::remove(stat);
    bool ok = false;
    {
        TScopedSigInt sigint;
        AErr.flush();
        ok = XPMCheckPDF(AFileName, AXPMDir, QString(), prot, stat);
    }
    const bool both = ok && QFileInfo::exists(prot) && QFileInfo::exists(stat);
    if (both) {
        AOut << QDir::toNativeSeparators(prot) << '\n' << QDir::toNativeSeparators(stat) << '\n';
        return 0;
    }
    AErr << "Das KBV-Prüfmodul hat die PDF-Protokolle für \"" << AFileName << "\" nicht geschrieben.\n";
    return 3;
}
