#include "LDT3.DetailFrame.h"

#include "Vex_WebBrowser.h"

#include <QVBoxLayout>

TLDTDetailFrame::TLDTDetailFrame(QWidget *AOwner) : QWidget(AOwner)
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    FWBDetail = TVexWebBrowser::CreateNamed(this, QStringLiteral("WBDetail"));
    FWBDetail->setAcceptDrops(false);
    FWBDetail->AboutBlank();
}

void TLDTDetailFrame::Clear() { FWBDetail->AboutBlank(); }

void TLDTDetailFrame::SetHTMLText(const QString &AText)
{
    if (AText.isEmpty())
        Clear();
    else
        FWBDetail->LoadFromString(AText);
}
