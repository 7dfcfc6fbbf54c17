#include "LDT3.ColSettings.h"

#include "LDT3.ColSettingsFrame.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

TLDTColSettingsDlg::TLDTColSettingsDlg(QWidget *AOwner)
    : QDialog(AOwner, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("LDTColSettingsDlg"));
    setWindowTitle(QStringLiteral("Spaltenauswahl"));
    setModal(true);
    setFixedSize(DesignWidth, DesignHeight);

    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    FFrame = new TLDTColSettingsFrame(this);
    layout->addWidget(FFrame, 1);
    auto *panel = new QWidget(this);
    panel->setObjectName(QStringLiteral("PanelButtons"));
    auto *pl = new QVBoxLayout(panel);
    pl->setContentsMargins(0, 16, 16, 16);
    FBtnOK = new QPushButton(QStringLiteral("O&K"), panel);
    FBtnOK->setDefault(true);
    FBtnCancel = new QPushButton(QStringLiteral("A&bbrechen"), panel);
    pl->addWidget(FBtnOK);
    pl->addWidget(FBtnCancel);
    pl->addStretch(1);
    layout->addWidget(panel);
    connect(FBtnOK, &QPushButton::clicked, this, &QDialog::accept);
    connect(FBtnCancel, &QPushButton::clicked, this, &QDialog::reject);
}
