// The checker's answers to wrong usage: exit code 64, one line naming the mistake and a pointer to --help.
#include "TestUtil.h"

#include <QJsonDocument>
#include <QProcess>

namespace {

struct TRun {
    int Code = -1;
    QString Out, Err;
};

TRun RunChecker(const QStringList &AArgs)
{
    QProcess p;
    p.start(testutil::BinDir() + QStringLiteral("/cli/ventolix-check"), AArgs);
    TRun r;
    if (!p.waitForFinished(60000))
        return r;
    r.Code = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.Out = QString::fromUtf8(p.readAllStandardOutput());
    r.Err = QString::fromUtf8(p.readAllStandardError());
    return r;
}

QString Example() { return testutil::ExamplesDir() + QStringLiteral("/Z01_Befund_mit_PDF.ldt"); }

} // namespace

TEST(CheckerUsage, MistakesGiveOneLineAndTheHelpHint)
{
    QTemporaryDir dir;
    const QString out = dir.filePath(QStringLiteral("out"));
    const struct {
        QStringList args;
        const char *message;
    } cases[] = {
        {{}, "keine Datei angegeben"},
        {{"--bogus", Example()}, "unbekannte Option: --bogus"},
        {{"--max-invalid"}, "--max-invalid erwartet eine Zahl ab 0"},
        {{"--line", "0", Example()}, "--line erwartet eine Zeilennummer ab 1"},
        {{"--info", "8000", Example()}, "--info erwartet keine Datei"},
        // --json does not drop the other output options silently, whatever their order
        {{"--json", "--tree", Example()}, "--json lässt sich nicht mit --tree verbinden"},
        {{"--tree", Example(), "--json"}, "--json lässt sich nicht mit --tree verbinden"},
        {{"--json", "--extract", out, Example()}, "--json lässt sich nicht mit --extract verbinden"},
        {{"--json", "--report", "info", Example()}, "--json lässt sich nicht mit --report verbinden"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.args.join(u' ').toStdString());
        const TRun r = RunChecker(c.args);
        EXPECT_EQ(r.Code, 64);
        EXPECT_TRUE(r.Out.isEmpty()) << r.Out.toStdString();
        const QStringList lines = r.Err.split(u'\n', Qt::SkipEmptyParts);
        ASSERT_EQ(lines.size(), 2) << r.Err.toStdString();
        EXPECT_TRUE(lines[0].startsWith(QStringLiteral("ventolix-check: ") + QString::fromUtf8(c.message)))
            << lines[0].toStdString();
        EXPECT_EQ(lines[1], QStringLiteral("Alle Optionen: ventolix-check --help"));
    }
    EXPECT_FALSE(QFileInfo::exists(out)) << "nothing is extracted after a usage error";
}

TEST(CheckerUsage, JsonStillTakesItsOwnOptions)
{
    const TRun r = RunChecker({QStringLiteral("--max-invalid"), QStringLiteral("5"), QStringLiteral("--json"), Example()});
    EXPECT_TRUE(r.Code == 0 || r.Code == 1) << r.Code << r.Err.toStdString();
    EXPECT_TRUE(QJsonDocument::fromJson(r.Out.toUtf8()).isObject()) << r.Out.toStdString();
}

TEST(CheckerUsage, HelpListsEveryExitCode)
{
    const TRun r = RunChecker({QStringLiteral("--help")});
    EXPECT_EQ(r.Code, 0);
    EXPECT_TRUE(r.Err.isEmpty());
    const qsizetype codes = r.Out.indexOf(QStringLiteral("Rückgabewerte:"));
    ASSERT_GE(codes, 0) << r.Out.toStdString();
    for (const char *code : {"\n  0 ", "\n  1 ", "\n  2 ", "\n  3 ", "\n  64 "})
        EXPECT_GT(r.Out.indexOf(QString::fromUtf8(code), codes), codes) << code;
}
