#include "Vex_Icons.h"

#include <QHash>

QIcon VexIcon(const QString &AName)
{
    // our icon name -> the freedesktop theme name (none: our resource alone)
    static const QHash<QString, QString> themeNames = {
        {QStringLiteral("open"), QStringLiteral("document-open")},
        {QStringLiteral("save-as"), QStringLiteral("document-save-as")},
        {QStringLiteral("close"), QStringLiteral("document-close")},
        {QStringLiteral("reopen"), QStringLiteral("document-open-recent")},
        {QStringLiteral("about"), QStringLiteral("help-about")},
        {QStringLiteral("settings"), QStringLiteral("preferences-system")},
        {QStringLiteral("quit"), QStringLiteral("application-exit")},
        {QStringLiteral("nav-first"), QStringLiteral("go-first")},
        {QStringLiteral("nav-prev"), QStringLiteral("go-previous")},
        {QStringLiteral("nav-next"), QStringLiteral("go-next")},
        {QStringLiteral("nav-last"), QStringLiteral("go-last")},
        {QStringLiteral("goto-line"), QStringLiteral("go-jump")},
        {QStringLiteral("sync"), QStringLiteral("view-refresh")},
        {QStringLiteral("search"), QStringLiteral("edit-find")},
        {QStringLiteral("search-prev"), QStringLiteral("go-up")},
        {QStringLiteral("search-next"), QStringLiteral("go-down")},
        {QStringLiteral("details"), QStringLiteral("document-properties")},
        {QStringLiteral("font"), QStringLiteral("preferences-desktop-font")},
        {QStringLiteral("copy"), QStringLiteral("edit-copy")},
        {QStringLiteral("select-all"), QStringLiteral("edit-select-all")},
        {QStringLiteral("mark-attachment"), QStringLiteral("mail-attachment")},
        {QStringLiteral("back"), QStringLiteral("go-previous")},
        {QStringLiteral("forward"), QStringLiteral("go-next")},
        {QStringLiteral("refresh"), QStringLiteral("view-refresh")},
        {QStringLiteral("lookup"), QStringLiteral("system-search")},
    };
    const QIcon own(QStringLiteral(":/icons/%1.svg").arg(AName));
    const QString theme = themeNames.value(AName);
    if (theme.isEmpty())
        return own;
    return QIcon::fromTheme(theme, own);
}
