// Icons of the program: the desktop theme's icon where one fits, else our own.
#pragma once

#include <QIcon>
#include <QString>

// The icon of that name; a null icon when neither the theme nor our
// resources have it.
QIcon VexIcon(const QString &AName);
