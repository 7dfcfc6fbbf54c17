#include "Vex_FilePropertiesDlg.h"

#include "LDT3.LVBase.h"
#include "WStrTools.h"

#include <QDateTime>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QFormLayout>
#include <QLabel>
#include <QLocale>
#include <QMimeDatabase>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QString DateText(const QDateTime &ATime)
{
    return ATime.isValid() ? QLocale::system().toString(ATime.toLocalTime(), QStringLiteral("dd.MM.yyyy HH:mm:ss"))
                           : QStringLiteral("unbekannt");
}

} // namespace

QStringList TFilePropertiesDlg::Captions()
{
    return {QStringLiteral("Name:"),    QStringLiteral("Typ:"),      QStringLiteral("Größe:"),
            QStringLiteral("Ort:"),     QStringLiteral("Erstellt:"), QStringLiteral("Geändert:"),
            QStringLiteral("Letzter Zugriff:")};
}

TFilePropertiesDlg::TFilePropertiesDlg(const QString &AFileName, QWidget *AParent) : QDialog(AParent)
{
    const QFileInfo info(AFileName);
    setObjectName(QStringLiteral("FilePropertiesDlg"));
    setWindowTitle(Format(QStringLiteral("Eigenschaften von %s"), {info.fileName()}));
    const QMimeType mt = QMimeDatabase().mimeTypeForFile(info);
    const QString values[] = {
        info.fileName(),
        Format(QStringLiteral("%s (%s)"), {mt.comment(), mt.name()}),
        FormatFileSize(2, true, info.size()),
        info.absolutePath(),
        DateText(info.birthTime()),
        DateText(info.lastModified()),
        DateText(info.lastRead()),
    };
    auto *l = new QVBoxLayout(this);
    FForm = new QFormLayout;
    const QStringList captions = Captions();
    for (int i = 0; i < captions.size(); ++i) {
        auto *v = new QLabel(values[i], this);
        v->setTextInteractionFlags(Qt::TextSelectableByMouse);
        FForm->addRow(captions[i], v);
    }
    l->addLayout(FForm);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    buttons->button(QDialogButtonBox::Close)->setText(QStringLiteral("Schließen"));
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    l->addWidget(buttons);
}

QString TFilePropertiesDlg::Value(const QString &ACaption) const
{
    const int row = int(Captions().indexOf(ACaption));
    if (row < 0)
        return QString();
    auto *label = qobject_cast<QLabel *>(FForm->itemAt(row, QFormLayout::FieldRole)->widget());
    return label ? label->text() : QString();
}
