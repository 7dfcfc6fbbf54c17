#include "LDT3.XPMCheck.h"

#include "LDT3.AppSettings.h"
#include "LDT3.FilePtrList.h"
#include "LDT3.XPMThrd.h"
#include "WStrTools.h"

#include <QFileInfo>

bool RunXPMCheck(TLDT3FilePtrList &AList, std::unique_ptr<TXPMErrList> &AXPMErrList)
{
    AXPMErrList.reset();
    const QString dir = TLDT3AppSettings::XPMDir();
    if (dir.isEmpty() || !QFileInfo(dir).isDir())
        return false;
    std::unique_ptr<TXPMErrList> list;
    if (!XPMCheckXML(AList.FileName(), dir, QString(), list) || !list)
        return false; // a list read after a cancel is not kept: the lines would not match it
    MarkXPMLines(AList, *list);
    AXPMErrList = std::move(list);
    return true;
}

void MarkXPMLines(TLDT3FilePtrList &AList, const TXPMErrList &AXPMErrList)
{
    for (int i = 0; i < AList.Count(); ++i)
        if (AXPMErrList.IsFehlerZeile(i + 1))
            AList.SetLineErrorCode(i, AList.LineErrorCode(i) | LE_XPMError);
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

QString XPMStatus(const TXPMErrList *AXPMErrList)
{
    if (!AXPMErrList)
        return QStringLiteral("Es erfolgte keine XPM-Prüfung");
    return QStringLiteral("XPM: ") + AXPMErrList->Parameter.ERGEBNIS + QStringLiteral(" - ") +
           AXPMErrList->Parameter.ERGEBNIS_TEXT;
}

QString XPMLineErrorItem(int ALineErrorCode, int AZeile, const TXPMErrList *AXPMErrList)
{
    if (!(ALineErrorCode & LE_XPMError) || !AXPMErrList)
        return QString();
    const QString names = AXPMErrList->XPMShortFehlerName(AZeile);
    return names.isEmpty() ? QStringLiteral("XPM") : Format(QStringLiteral("XPM [%s]"), {names});
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
