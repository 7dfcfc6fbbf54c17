// The desktop program: one main window, an LDT file as the only argument.
#include "VentolixMain.h"
#include "VentolixStartUp.h"
#include "Vex_DesktopShell.h"
#include "Vex_MessageBoxSink.h"
#include "Vex_ThreadInfoForm.h"
#include "Vex_WebBrowser.h"

#include <QApplication>

int main(int argc, char **argv)
{
    TVexWebBrowser::PrepareApplication();
    QApplication app(argc, argv);
    VentolixStartUp();
    QApplication::setDesktopFileName(QStringLiteral("ventolix"));

    // core code reaches the user through message boxes and the progress window
    TMessageBoxSink sink;
    SetMessageSink(&sink);
    TThreadInfoFormPresenter presenter;
    SetThreadInfoPresenter(&presenter);
    // open with, properties and the file manager through the desktop
    TScopedDesktopShell shell;

    int rc = 0;
    {
        TVentolixMainForm form;
        const QStringList args = QApplication::arguments().mid(1);
        form.PrepareForCommandLine(args);
        form.show();
        form.ProcessCommandLine(args);
        rc = app.exec();
    }
    TVexWebBrowser::CloseWindows();
    SetThreadInfoPresenter(nullptr);
    SetMessageSink(nullptr);
    return rc;
}
