#include "LDT3.XPMThrd.h"

#include "LDT3.Base.h"
#include "LDT3.Data.h"
#include "LDT3.Zeichen.h"
#include "Vex_MessageSink.h"
#include "WStrTools.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

const char16_t StartKonsole[] =
    u"-Dfile.encoding=8859_15 -cp \"Bin/*\" de.kbv.xpm.modul.ldk.start.StartKonsole";
const char16_t RunTitle[] = u"Prüfe Datei mit KBV-Prüfmodul...";
const char16_t StartErrorHeading[] = u"Fehler beim Starten des KBV-Prüfmoduls";

// A path for the command line: in double quotes; a quote inside is tripled,
// which the argument splitter reads as a literal quote.
QString Quoted(const QString &APath)
{
    QString p = APath;
    p.replace(u'"', QStringLiteral("\"\"\""));
    return u'"' + p + u'"';
}

// The module writes ISO 8859-15: it is started with that file encoding.
QString StreamText(const QByteArray &A)
{
    return LDT3BytesToStr(reinterpret_cast<const unsigned char *>(A.constData()), A.size(), u' ');
}

QString Caption(const QString &AFileName) { return Format(QStringLiteral("Datei: \"%s\""), {AFileName}); }

} // namespace

// ---------------------------------------------------------------------------
// TXPMCommand

QString TXPMCommand::DirWithDelimiter(const QString &ADir)
{
    return ADir.endsWith(u'/') ? ADir : ADir + u'/';
}

QString TXPMCommand::KonfigPath(const QString &AKonfigFileName)
{
    return AKonfigFileName.isEmpty() ? QStringLiteral("Konfig/konfig.xml") : AKonfigFileName;
}

QString TXPMCommand::CommandLineXML(const QString &AKonfig, const QString &AProtFile, const QString &AStatFile,
                                    const QString &AFileName)
{
    QStringList parts{QString::fromUtf16(StartKonsole), QStringLiteral("-c ") + Quoted(AKonfig),
                      QStringLiteral("-p FehlerListe=") + Quoted(AProtFile) +
                          QStringLiteral(" -p FehlerListe@Format=xml"),
                      QStringLiteral("-p StatistikListe=") + Quoted(AStatFile) +
                          QStringLiteral(" -p StatistikListe@Format=xml"),
                      QStringLiteral("-f ") + Quoted(AFileName)};
    return parts.join(u' ');
}

QString TXPMCommand::CommandLinePDF(const QString &AKonfig, const QString &AProtFileName,
                                    const QString &AStatFileName, const QString &AFileName)
{
    QStringList parts{QString::fromUtf16(StartKonsole), QStringLiteral("-c ") + Quoted(AKonfig)};
    if (!AProtFileName.isEmpty())
        parts << QStringLiteral("-p FehlerListe=") + Quoted(AProtFileName) +
                     QStringLiteral(" -p FehlerListe@Format=pdf");
    if (!AStatFileName.isEmpty())
        parts << QStringLiteral("-p StatistikListe=") + Quoted(AStatFileName) +
                     QStringLiteral(" -p StatistikListe@Format=pdf");
    parts << QStringLiteral("-f ") + Quoted(AFileName);
    return parts.join(u' ');
}

void TXPMCommand::PreRunChecks(const QString &AFileName, const QString &AXPMDir, const QString &AKonfigFileName)
{
    if (!QFileInfo(AFileName).isFile())
        throw ELDT3Error(Format(QStringLiteral("Zu prüfende Datei \"%s\"\nnicht gefunden."), {AFileName}));
    if (AXPMDir.isEmpty() || !QFileInfo(AXPMDir).isDir())
        throw ELDT3Error(Format(QStringLiteral("Vezeichnis \"%s\"\ndes KBV-Prüfmoduls nicht gefunden."), {AXPMDir}));
    const QString bin = DirWithDelimiter(AXPMDir) + QStringLiteral("Bin");
    if (!QFileInfo(bin).isDir())
        throw ELDT3Error(Format(QStringLiteral("Bin-Vezeichnis \"%s\"\ndes KBV-Prüfmoduls nicht gefunden."), {bin}));
    const QString konfig =
        AKonfigFileName.isEmpty() ? DirWithDelimiter(AXPMDir) + QStringLiteral("Konfig/konfig.xml") : AKonfigFileName;
    if (!QFileInfo(konfig).isFile())
        throw ELDT3Error(
            Format(QStringLiteral("Konfigurations-Datei \"%s\"\ndes KBV-Prüfmoduls nicht gefunden."), {konfig}));
}

// ---------------------------------------------------------------------------
// TXPMExecThrd

TXPMExecThrd::TXPMExecThrd(const QString &ACaption, const QString &ALDTFileName, const QString &AKonfigFileName,
                           const QString &ACurrentDir, std::unique_ptr<TXPMErrList> &AXPMErrList)
    : TXPMExecThrd(ACaption, ALDTFileName, AKonfigFileName, ACurrentDir, AXPMErrList,
                   TLDT3Data::MakeTmpFile(QStringLiteral("PRO")), TLDT3Data::MakeTmpFile(QStringLiteral("STA")))
{
}

TXPMExecThrd::TXPMExecThrd(const QString &ACaption, const QString &ALDTFileName, const QString &AKonfigFileName,
                           const QString &ACurrentDir, std::unique_ptr<TXPMErrList> &AXPMErrList,
                           const QString &AProtFile, const QString &AStatFile)
    : TJavaExecThrd(ACaption, QString(),
                    TXPMCommand::CommandLineXML(AKonfigFileName, AProtFile, AStatFile, ALDTFileName), ACurrentDir,
                    nullptr, nullptr, nullptr),
      FXPMErrList(&AXPMErrList), FLDTFileName(ALDTFileName), FKonfigFileName(AKonfigFileName),
      FProtFile(AProtFile), FStatFile(AStatFile)
{
    AXPMErrList.reset();
    SetStreams(&FOutputStream, &FErrorStream);
}

TXPMExecThrd::~TXPMExecThrd()
{
    QFile::remove(FProtFile);
    QFile::remove(FStatFile);
}

void TXPMExecThrd::ProcToExecute()
{
    RunProcess();
    if (QFileInfo::exists(FProtFile))
        *FXPMErrList = LoadXPMErrList(FProtFile);
}

// ---------------------------------------------------------------------------

bool XPMCheckXML(const QString &AFileName, const QString &AXPMDir, const QString &AKonfigFileName,
                 std::unique_ptr<TXPMErrList> &AXPMErrList)
{
    AXPMErrList.reset();
    try {
        TXPMCommand::PreRunChecks(AFileName, AXPMDir, AKonfigFileName);
        std::unique_ptr<TXPMErrList> list;
        TXPMExecThrd thread(Caption(AFileName), AFileName, TXPMCommand::KonfigPath(AKonfigFileName),
                            TXPMCommand::DirWithDelimiter(AXPMDir), list);
        const bool ok = ExecuteWithThreadInfo(thread, QString::fromUtf16(RunTitle), 2, false, true);
        // the worker has ended: the list is ours now
        AXPMErrList = std::move(list);
        return ok && AXPMErrList != nullptr;
    } catch (const ELDT3Error &e) {
        GetMessageSink().ShowMessage(TMsgKind::mkError, QString::fromUtf16(StartErrorHeading), e.Message());
        return false;
    }
}

bool XPMCheckPDF(const QString &AFileName, const QString &AXPMDir, const QString &AKonfigFileName,
                 const QString &AProtFileName, const QString &AStatFileName)
{
    try {
        TXPMCommand::PreRunChecks(AFileName, AXPMDir, AKonfigFileName);
        QByteArray out, err;
        quint32 exitCode = 0xFFFFFFFFu;
        TJavaExecThrd thread(Caption(AFileName), QString(),
                             TXPMCommand::CommandLinePDF(TXPMCommand::KonfigPath(AKonfigFileName), AProtFileName,
                                                         AStatFileName, AFileName),
                             TXPMCommand::DirWithDelimiter(AXPMDir), &out, &err, &exitCode);
        const bool ok = ExecuteWithThreadInfo(thread, QString::fromUtf16(RunTitle), 2, false, true);
        QString report;
        if (ok)
            report = Format(QStringLiteral("Exitcode: %u\n\n"), {unsigned(exitCode)});
        if (!out.isEmpty())
            report += QStringLiteral("Ausgabe: \n\n") + StreamText(out);
        if (!err.isEmpty())
            report += QStringLiteral("\n") + QStringLiteral("Fehler: \n\n") + StreamText(err);
        if (!report.isEmpty())
            GetMessageSink().ShowMessage(exitCode != 0 || !err.isEmpty() ? TMsgKind::mkError : TMsgKind::mkInformation,
                                         QStringLiteral("Information des Prüfmoduls"), report);
        return ok;
    } catch (const ELDT3Error &e) {
        GetMessageSink().ShowMessage(TMsgKind::mkError, QString::fromUtf16(StartErrorHeading), e.Message());
        return false;
    }
}
