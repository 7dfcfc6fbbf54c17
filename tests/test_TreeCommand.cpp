// The checker's --tree output.
#include "TreeCommand.h"

#include "LDT3.Feld.h"
#include "TreeTestUtil.h"
#include "WStrTools.h"

#include <QRegularExpression>

using namespace treetest;

TEST(TreeCommand, PrintsTheThreeTreesIndented)
{
    QByteArray b64;
    for (int i = 0; i < 3; ++i)
        b64 += L(6329, "QUJD");
    QByteArray bad = L(8410, "y");
    bad[2] = '9'; // wrong length
    Loaded f(BefundFile(Befund(Obj(8110, "Anhang", "Obj_0010", L(9970, "1") + b64) + bad)));
    ASSERT_TRUE(f.list.StructureOkay());
    QString out;
    QTextStream s(&out);
    EXPECT_EQ(PrintTrees(f.list, s), 0);
    s.flush();
    const QStringList lines = out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_FALSE(lines.isEmpty());
    EXPECT_EQ(lines[0], Format(QStringLiteral("\"%s\" - (1 Befund)"), {f.list.FileName()}));
    EXPECT_EQ(lines[1], QStringLiteral("  L (Labor)-Datenpaket-Header"));
    const QString hidden = QStringLiteral("        ")
        + Format(QStringLiteral("%s: %d Zeilen ausgeblendet"), {GetLDT3FeldDict()->GetFeldName(6329), 3});
    EXPECT_TRUE(lines.contains(hidden)) << out.toStdString();
    EXPECT_FALSE(out.contains(QStringLiteral("QUJD")));
    // The attachment tree follows the LDT tree, then the error tree.
    const int base64 = int(lines.indexOf(QRegularExpression(QStringLiteral("^base64-kodierte Anlagen: \\d+$"))));
    const int errors = int(lines.indexOf(QRegularExpression(QStringLiteral("^Fehlerhafte Zeilen: \\d+$"))));
    ASSERT_GT(base64, 0);
    ASSERT_GT(errors, base64);
    EXPECT_TRUE(lines.contains(Format(QStringLiteral("  Zeile %d: %s"), {12, f.list.ErrorMsg(11)}))) << out.toStdString();
}

TEST(TreeCommand, FailedBuildReturnsOne)
{
    Loaded f(BefundFile(Befund(L(8145, "Patient") + L(8410, "x"))));
    ASSERT_TRUE(f.list.StructureOkay());
    RecordingSink sink;
    QString out;
    QTextStream s(&out);
    EXPECT_EQ(PrintTrees(f.list, s), 1);
    s.flush();
    EXPECT_EQ(sink.Texts.size(), 1);
    EXPECT_TRUE(out.startsWith(Format(QStringLiteral("\"%s\" - (Ungültige LDT-Datei)\n"), {f.list.FileName()})));
}
