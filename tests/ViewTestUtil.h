// Fixtures of the document view's widget tests: a line list opened on
// bytes or on a file, and a message handler that collects the model
// tester's complaints.
#pragma once

#include "LDT3.LVBase.h"
#include "TreeTestUtil.h"

#include <QApplication>
#include <QStringList>
#include <QtMessageHandler>

namespace viewtest {

// A line list opened as the view opens a file (at most 30 invalid lines).
struct Opened
{
    QTemporaryDir dir;
    TLDT3LineList list;
    QString path;
    bool ok = false;

    explicit Opened(const QByteArray &bytes, const QString &name = QStringLiteral("Z01view.ldt"))
        : path(testutil::WriteFile(dir, name, bytes))
    {
        list.SetMaxInvalidLines(30);
        ok = list.GetLDT3FilePtrList(path);
    }
    explicit Opened(const QString &AFileName) : path(AFileName)
    {
        list.SetMaxInvalidLines(30);
        ok = list.GetLDT3FilePtrList(path);
    }
};

// A result file of ALines lines (header, fields, trailer).
inline QByteArray ManyLines(int ALines)
{
    QByteArray body;
    for (int i = 0; i < ALines - 8; ++i)
        body += treetest::L(8410, "X");
    return treetest::BefundFile(treetest::Befund(body));
}

// The main of a widget test: offscreen unless a platform is set.
inline int RunWidgetTests(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

// Collects the complaints QAbstractItemModelTester logs ("FAIL! ...") while it lives.
class WarningCollector
{
public:
    WarningCollector() { Current() = this; FOld = qInstallMessageHandler(&Handler); }
    ~WarningCollector() { qInstallMessageHandler(FOld); Current() = nullptr; }
    QStringList Messages;

private:
    static WarningCollector *&Current() { static WarningCollector *c = nullptr; return c; }
    static void Handler(QtMsgType AType, const QMessageLogContext &, const QString &AMsg)
    {
        if (AType != QtDebugMsg && AType != QtInfoMsg && Current() && AMsg.contains(QLatin1String("FAIL")))
            Current()->Messages << AMsg;
    }
    QtMessageHandler FOld = nullptr;
};

} // namespace viewtest
