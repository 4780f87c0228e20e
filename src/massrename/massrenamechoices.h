#pragma once

#include <QString>

class SettingsStore;

// The choices of one mass rename run, as the window's controls hold them.
// startDir is a folder text (normally ending in "/"); builtFormat is the
// autoformat string, "" for a cleanup of the existing names.
struct MassRenameChoices {
    QString startDir;
    bool includeSubs = false;
    bool confirmEach = false;
    bool useFilters = false;
    bool useOptions = false;
    bool logOperation = false;
    bool allParts = false;
    QString builtFormat;
};

// The stored choices (keys "MIncludeSubs" ... "MBuiltFormat"); startDir is
// the stored "MLastDir" through getLastPath. Absent flags read unchecked.
MassRenameChoices loadMassRenameChoices(const SettingsStore& store);

// Stores the choices as the window does when it closes: "MLastDir" and
// "MBuiltFormat" trimmed, the flags as "0" or "1".
void saveMassRenameChoices(SettingsStore& store, const MassRenameChoices& choices);
