// The one exception type of the system: operating-system failures, faults of
// the built-in tables and the XPM pre-run checks. Carries the German message.
// It lives with the helpers so that every layer can raise and catch it.
#pragma once

#include <QString>

#include <stdexcept>

class ELDT3Error : public std::runtime_error
{
public:
    explicit ELDT3Error(const QString &AMessage)
        : std::runtime_error(AMessage.toStdString()), FMessage(AMessage) {}
    const QString &Message() const { return FMessage; }

private:
    QString FMessage;
};
