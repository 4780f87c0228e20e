#pragma once

#include "settings/settingsstore.h"

#include <QString>

// The full path (folder + "/" + name) of the file the main window works on;
// empty until a file is selected. Owned by the main window and shared by
// reference with the tag panel and the MultiTagger.
struct CurrentFile {
    QString path;

    bool isEmpty() const { return TrimSpaces(path).isEmpty(); }
};
