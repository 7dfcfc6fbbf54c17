#include "LDT3.XPMCheck.h"

#include "LDT3.AppSettings.h"
#include "LDT3.FilePtrList.h"
#include "LDT3.XPMHook.h"
#include "LDT3.XPMThrd.h"
#include "WStrTools.h"

#include <QFileInfo>

std::unique_ptr<TXPMErrList> RunXPMModule(const QString &AFileName)
{
    const QString dir = TLDT3AppSettings::XPMDir();
    if (dir.isEmpty() || !QFileInfo(dir).isDir())
        return nullptr;
    std::unique_ptr<TXPMErrList> list;
    if (!XPMCheckXML(AFileName, dir, QString(), list))
        return nullptr; // a list read after a cancel is not kept: the lines would not match it
    return list;
}

namespace {

class TXPMModuleRunner : public TLDT3XPMRunner
{
public:
    std::unique_ptr<TXPMErrList> Run(const TLDT3FilePtrList &AList) override { return RunXPMModule(AList.FileName()); }
};

} // namespace

void InstallXPMRunner()
{
    static TXPMModuleRunner runner;
    SetLDT3XPMRunner(&runner);
}

bool RunXPMCheck(TLDT3FilePtrList &AList, std::unique_ptr<TXPMErrList> &AXPMErrList)
{
    AXPMErrList.reset();
    std::unique_ptr<TXPMErrList> list = RunXPMModule(AList.FileName());
    if (!list)
        return false;
    MarkXPMLines(AList, *list);
    AXPMErrList = std::move(list);
    return true;
}

bool XPMCheck(TLDT3FilePtrList &AList, std::unique_ptr<TXPMErrList> &AXPMErrList)
{
    if (AXPMErrList)
        return false;
    const bool ok = RunXPMCheck(AList, AXPMErrList);
    if (ok)
        AList.BuildLineErrorList();
    return ok;
}

void XPMAutoCheckOnLoad(TLDT3FilePtrList &AList, std::unique_ptr<TXPMErrList> &AXPMErrList)
{
    if (TLDT3AppSettings::XPMAutoCheck())
        RunXPMCheck(AList, AXPMErrList);
}

void WriteXPMReport(const TXPMErrList *AXPMErrList, QTextStream &AOut)
{
    AOut << XPMStatus(AXPMErrList) << '\n';
    if (!AXPMErrList)
        return;
    for (int key : AXPMErrList->AlleZeilen()) {
        for (const TXPMErrRec &r : AXPMErrList->XPMRecsForZeile(key)) {
            AOut << (key < 0 ? QStringLiteral("Datei") : QStringLiteral("Zeile %1").arg(key)) << ": "
                 << (r.ErrTyp.isEmpty() ? QStringLiteral("-") : r.ErrTyp) << ' ' << r.ErrName;
            if (!r.ErrGruppe.isEmpty())
                AOut << " [" << r.ErrGruppe << ']';
            AOut << ' ' << QString(r.ErrMsg).replace(u'\n', u' ') << '\n';
        }
    }
}
