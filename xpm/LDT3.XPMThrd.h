// The two runs of the KBV test module on an LDT file: with XML output, read
// into a message list, and with PDF output (protocol and statistics).
#pragma once

#include "LDT3.XML_XPM_List.h"
#include "Vex_JavaThrd.h"

#include <QByteArray>
#include <QString>

#include <memory>

// Worker of the XML run: runs the module like the Java runner, then reads
// its error list, also after a cancel when the file is already there.
class TXPMExecThrd : public TJavaExecThrd
{
public:
    TXPMExecThrd(const QString &ACaption, const QString &ALDTFileName, const QString &AKonfigFileName,
                 const QString &ACurrentDir, std::unique_ptr<TXPMErrList> &AXPMErrList);
    // Deletes both temporary result files.
    ~TXPMExecThrd() override;

    const QString &ProtFile() const { return FProtFile; }
    const QString &StatFile() const { return FStatFile; }
    const QByteArray &OutputStream() const { return FOutputStream; }
    const QByteArray &ErrorStream() const { return FErrorStream; }

protected:
    void ProcToExecute() override;

private:
    TXPMExecThrd(const QString &ACaption, const QString &ALDTFileName, const QString &AKonfigFileName,
                 const QString &ACurrentDir, std::unique_ptr<TXPMErrList> &AXPMErrList, const QString &AProtFile,
                 const QString &AStatFile);

    std::unique_ptr<TXPMErrList> *FXPMErrList;
    QString FLDTFileName;
    QString FKonfigFileName;
    QByteArray FOutputStream;
    QByteArray FErrorStream;
    QString FProtFile;
    QString FStatFile;
};

struct TXPMCommand
{
    // The configuration path passed to the module.
    static QString KonfigPath(const QString &AKonfigFileName);
    // The arguments after "java" (every path in double quotes).
    static QString CommandLineXML(const QString &AKonfig, const QString &AProtFile, const QString &AStatFile,
                                  const QString &AFileName);
    static QString CommandLinePDF(const QString &AKonfig, const QString &AProtFileName, const QString &AStatFileName,
                                  const QString &AFileName);
    // Raises ELDT3Error with the German text of the first check that fails.
    static void PreRunChecks(const QString &AFileName, const QString &AXPMDir, const QString &AKonfigFileName);
    // The directory with a trailing delimiter.
    static QString DirWithDelimiter(const QString &ADir);
};

// True when the run ended without cancel and a list was read; AXPMErrList
// then holds it. Errors are shown through the message sink.
bool XPMCheckXML(const QString &AFileName, const QString &AXPMDir, const QString &AKonfigFileName,
                 std::unique_ptr<TXPMErrList> &AXPMErrList);
// True when the run ended without cancel, whatever the module's exit code.
// Shows the exit code and the module's output through the message sink.
bool XPMCheckPDF(const QString &AFileName, const QString &AXPMDir, const QString &AKonfigFileName,
                 const QString &AProtFileName, const QString &AStatFileName);
