#include "Vex_OpenWithDlg.h"

#include "Vex_Shell.h"
#include "WStrTools.h"

#include <QDialogButtonBox>
#include <QFileInfo>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMimeDatabase>
#include <QProcess>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QIcon AppIcon(const TDesktopApp &AApp)
{
    if (AApp.Icon.isEmpty())
        return QIcon::fromTheme(QStringLiteral("application-x-executable"));
    if (QFileInfo(AApp.Icon).isAbsolute())
        return QIcon(AApp.Icon);
    return QIcon::fromTheme(AApp.Icon, QIcon::fromTheme(QStringLiteral("application-x-executable")));
}

} // namespace

TOpenWithDlg::TOpenWithDlg(const QString &AFileName, QWidget *AParent)
    : QDialog(AParent), FFileName(QFileInfo(AFileName).absoluteFilePath()), FMimeType(MimeTypeOfFile(AFileName)),
      FApps(DesktopAppsForMimeType(FMimeType))
{
    setObjectName(QStringLiteral("OpenWithDlg"));
    setWindowTitle(QStringLiteral("Öffnen mit"));
    auto *l = new QVBoxLayout(this);
    const QMimeType mt = QMimeDatabase().mimeTypeForName(FMimeType);
    FLabel = new QLabel(Format(QStringLiteral("Wählen Sie das Programm, mit dem die Datei \"%s\" (%s) geöffnet "
                                              "werden soll:"),
                               {QFileInfo(AFileName).fileName(), mt.isValid() ? mt.comment() : FMimeType}),
                        this);
    FLabel->setWordWrap(true);
    l->addWidget(FLabel);
    FLBApps = new QListWidget(this);
    FLBApps->setObjectName(QStringLiteral("LBApps"));
    FLBApps->setIconSize(QSize(24, 24));
    for (const TDesktopApp &app : std::as_const(FApps)) {
        auto *item = new QListWidgetItem(AppIcon(app), app.Name, FLBApps);
        item->setToolTip(app.Exec);
    }
    l->addWidget(FLBApps, 1);
    auto *cmdLabel = new QLabel(QStringLiteral("Oder eigener Befehl (die Datei wird angehängt oder für %f eingesetzt):"),
                                this);
    cmdLabel->setWordWrap(true);
    l->addWidget(cmdLabel);
    FEdCommand = new QLineEdit(this);
    FEdCommand->setObjectName(QStringLiteral("EdCommand"));
    FEdCommand->setPlaceholderText(QStringLiteral("Befehl..."));
    cmdLabel->setBuddy(FEdCommand);
    l->addWidget(FEdCommand);
    FButtons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    FButtons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("Öffnen"));
    FButtons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Abbrechen"));
    l->addWidget(FButtons);
    connect(FButtons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(FButtons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(FLBApps, &QListWidget::currentRowChanged, this, [this]() { UpdateOK(); });
    connect(FLBApps, &QListWidget::itemActivated, this, [this]() {
        FEdCommand->clear();
        if (!ChosenCommand().isEmpty())
            accept();
    });
    connect(FEdCommand, &QLineEdit::textChanged, this, [this](const QString &AText) {
        // a command of one's own replaces the list's choice
        if (!AText.trimmed().isEmpty())
            FLBApps->setCurrentRow(-1);
        UpdateOK();
    });
    if (!FApps.isEmpty())
        FLBApps->setCurrentRow(0);
    UpdateOK();
    resize(440, 380);
}

QStringList TOpenWithDlg::ChosenCommand() const
{
    const QString cmd = FEdCommand->text().trimmed();
    if (!cmd.isEmpty()) {
        QStringList args = QProcess::splitCommand(cmd);
        bool given = false;
        for (QString &a : args)
            if (a.contains(QLatin1String("%f"))) {
                a.replace(QLatin1String("%f"), FFileName);
                given = true;
            }
        if (!given && !args.isEmpty())
            args << FFileName;
        return args;
    }
    const int row = FLBApps->currentRow();
    if (row < 0 || row >= FApps.size())
        return {};
    return DesktopExecArgs(FApps[row].Exec, FFileName, FApps[row]);
}

bool TOpenWithDlg::Launch() const
{
    const QStringList cmd = ChosenCommand();
    return !cmd.isEmpty() && ShellLaunch(cmd.first(), cmd.mid(1));
}

void TOpenWithDlg::UpdateOK()
{
    FButtons->button(QDialogButtonBox::Ok)->setEnabled(!ChosenCommand().isEmpty());
}
