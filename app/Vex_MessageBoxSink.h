// Message sink of the desktop: message boxes on the user-interface thread.
#pragma once

#include "Vex_MessageSink.h"

class TMessageBoxSink : public TMessageSink
{
public:
    void ShowMessage(TMsgKind AKind, const QString &AHeading, const QString &AText) override;
    bool Confirm(const QString &AHeading, const QString &AText) override;
};
