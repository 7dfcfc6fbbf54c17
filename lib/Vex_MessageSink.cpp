#include "Vex_MessageSink.h"

#include <atomic>
#include <cstdio>

void TStderrMessageSink::ShowMessage(TMsgKind AKind, const QString &AHeading, const QString &AText)
{
    const char *prefix = AKind == TMsgKind::mkError ? "Fehler" : AKind == TMsgKind::mkWarning ? "Warnung" : "Info";
    std::lock_guard<std::mutex> guard(FMutex);
    std::fprintf(stderr, "%s: %s\n%s\n", prefix, AHeading.toLocal8Bit().constData(), AText.toLocal8Bit().constData());
    std::fflush(stderr);
}

bool TStderrMessageSink::Confirm(const QString &AHeading, const QString &AText)
{
    ShowMessage(TMsgKind::mkInformation, AHeading, AText + QStringLiteral(" (nein)"));
    return false;
}

static TStderrMessageSink &DefaultSink()
{
    static TStderrMessageSink sink;
    return sink;
}

static std::atomic<TMessageSink *> GMessageSink{nullptr};

void SetMessageSink(TMessageSink *ASink) { GMessageSink.store(ASink); }

TMessageSink &GetMessageSink()
{
    TMessageSink *sink = GMessageSink.load();
    return sink ? *sink : DefaultSink();
}
