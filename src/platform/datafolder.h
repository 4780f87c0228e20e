#pragma once

#include <QString>

// Velmora's per-user data folder, $XDG_DATA_HOME/Velmora/ (one level,
// ending in "/"): the mass rename logs and the undo journals live there.
QString userDataFolder();
