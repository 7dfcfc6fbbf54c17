// Writes JSON as it goes, in the layout of QJsonDocument::Indented (four
// spaces a level, keys as given), so that a report of millions of entries
// never stands as a document in memory.
#pragma once

#include <QByteArray>
#include <QJsonObject>
#include <QStringView>

#include <functional>
#include <vector>

class QTextStream;

class TJsonStreamWriter
{
public:
    // Writes to AOut's device when it has one, else into its string.
    explicit TJsonStreamWriter(QTextStream &AOut);
    ~TJsonStreamWriter();
    TJsonStreamWriter(const TJsonStreamWriter &) = delete;
    TJsonStreamWriter &operator=(const TJsonStreamWriter &) = delete;

    void BeginArray();
    void EndArray();
    void BeginObject();
    void EndObject();
    // The key of the next value in the open object; keys are written as
    // given, so the caller keeps QJsonObject's order (sorted) where it must.
    void Key(QStringView AKey);

    void Value(qint64 AValue);
    void Value(int AValue) { Value(qint64(AValue)); }
    void Value(bool AValue);
    void Value(QStringView AValue);
    void Value(const QJsonValue &AValue);

    // The members of AObject in its order; where AStreamedKey sorts in, the
    // key is written and AStream writes its value.
    void Members(const QJsonObject &AObject, QStringView AStreamedKey = {},
                 const std::function<void()> &AStream = {});

    // Hands what is buffered to the stream.
    void Flush();

    // A JSON string literal of AText as QJsonDocument writes it (UTF-8).
    static void AppendString(QByteArray &ABuf, QStringView AText);

private:
    void BeforeValue();
    void Open(char ABracket);
    void Close(char ABracket);
    void Indent(qsizetype ADepth);
    void FlushIfFull();

    QTextStream &FOut;
    QByteArray FBuf;
    std::vector<bool> FHasItems; // per open container
    bool FAfterKey = false;
};
