#pragma once

#include <QIcon>
#include <QString>

// The icon of a toolbar button of the main window by its key ("Rename",
// "Play", "Exit", "SaveTags", ...): the desktop theme's icon, or Velmora's
// own drawing that stays visible on dark and light themes. A key without an
// icon gives a null icon.
QIcon buttonIcon(const QString& key);
