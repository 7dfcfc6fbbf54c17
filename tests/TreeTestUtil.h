// Small LDT files for the tree model tests.
#pragma once

#include "LDT3.FilePtrList.h"
#include "LDT3.TVBase.h"
#include "Vex_MessageSink.h"

#include "TestUtil.h"

#include <QStringList>

#include <memory>
#include <vector>

namespace treetest {

// A line with a correct length prefix and CR LF.
inline QByteArray L(int fk, const QByteArray &content)
{
    return TLDT3::IntToTBytes_LZ(content.size() + 9, 3) + TLDT3::IntToTBytes_LZ(fk, 4) + content + "\r\n";
}

inline QByteArray Rec(const QByteArray &satzArt, const QByteArray &body)
{
    return L(8000, satzArt) + body + L(8001, satzArt);
}

// An attribute line and the object it holds.
inline QByteArray Obj(int attrFK, const QByteArray &attr, const QByteArray &obj, const QByteArray &body)
{
    return L(attrFK, attr) + L(8002, obj) + body + L(8003, obj);
}

inline QByteArray Befund(const QByteArray &body) { return Rec("8205", body); }

// Header, the given middle records and trailer of a result file.
inline QByteArray BefundFile(const QByteArray &middle)
{
    return Rec("8220", L(1, "LDT3.2.4")) + middle + Rec("8221", L(9300, "x"));
}

inline QByteArray AuftragFile(const QByteArray &middle)
{
    return Rec("8230", L(1, "LDT3.2.4")) + middle + Rec("8231", L(9300, "x"));
}

// 1000 lines: header (1-3), record start (4), fields (5-50), Base64 lines
// (51-950), fields (951-996), record end (997), trailer (998-1000).
inline QByteArray Base64RunFile()
{
    QByteArray body;
    for (int i = 0; i < 46; ++i)
        body += L(8410, "A");
    for (int i = 0; i < 900; ++i)
        body += L(6329, "QUJD");
    for (int i = 0; i < 46; ++i)
        body += L(8410, "B");
    return BefundFile(Befund(body));
}

// A file loaded from bytes, and its tree model.
struct Loaded
{
    QTemporaryDir dir;
    TLDT3FilePtrList list;
    std::unique_ptr<TLDT3Datenpaket> dp;
    bool loaded = false;

    // from memory: no file is written
    explicit Loaded(const QByteArray &bytes, const QString &name = QStringLiteral("Z01test.ldt"))
    {
        list.SetMaxInvalidLines(1000);
        loaded = list.LoadFromBuffer(bytes, name);
        dp = std::make_unique<TLDT3Datenpaket>(&list);
    }
    explicit Loaded(const QString &fileName)
    {
        list.SetMaxInvalidLines(1000);
        loaded = list.LoadFromFile(fileName);
        dp = std::make_unique<TLDT3Datenpaket>(&list);
    }
    bool BuildAll()
    {
        const bool ok = dp->BuildLDTTree();
        dp->BuildBase64Tree();
        dp->BuildErrorTree();
        return ok;
    }
    TLDT3LineNode *Node(int zeile) const { return dp->GetLDT3LineNodeFromZeile(zeile); }
};

// Number of nodes below ANode (without it).
inline int CountNodes(const TLDT3Node *ANode)
{
    int n = 0;
    std::vector<const TLDT3Node *> stack{ANode};
    while (!stack.empty()) {
        const TLDT3Node *x = stack.back();
        stack.pop_back();
        for (int i = 0; i < x->ChildCount(); ++i) {
            stack.push_back(x->Childs(i));
            ++n;
        }
    }
    return n;
}

// Records the messages shown while it is installed.
class RecordingSink : public TMessageSink
{
public:
    RecordingSink() { SetMessageSink(this); }
    ~RecordingSink() override { SetMessageSink(nullptr); }
    void ShowMessage(TMsgKind, const QString &, const QString &AText) override { Texts << AText; }
    bool Confirm(const QString &, const QString &) override { return false; }
    QStringList Texts;
};

} // namespace treetest
