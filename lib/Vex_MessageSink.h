// Message dialogs raised from core code go through one sink: the desktop shows
// message boxes, the checker prints to stderr, tests record.
#pragma once

#include <QString>

#include <mutex>

enum class TMsgKind { mkInformation, mkWarning, mkError };

class TMessageSink
{
public:
    virtual ~TMessageSink() = default;
    // Shows a message with a heading (the dialog's caption) and an OK button.
    // May be called from any thread; implementations hand over to their own.
    virtual void ShowMessage(TMsgKind AKind, const QString &AHeading, const QString &AText) = 0;
    // Yes/no question; true for yes.
    virtual bool Confirm(const QString &AHeading, const QString &AText) = 0;
};

// Prints "Heading: text" lines to stderr; questions are answered with no.
class TStderrMessageSink : public TMessageSink
{
public:
    void ShowMessage(TMsgKind AKind, const QString &AHeading, const QString &AText) override;
    bool Confirm(const QString &AHeading, const QString &AText) override;

private:
    std::mutex FMutex;
};

// The process's sink (not owned); nullptr restores the stderr sink.
void SetMessageSink(TMessageSink *ASink);
TMessageSink &GetMessageSink();
