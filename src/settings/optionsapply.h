#pragma once

#include "options.h"

#include <QStringList>

#include <optional>

class Preferences;

// What the options window's controls hold.
struct OptionChoices {
    std::optional<NameCase> newFileCase; // none chosen: the stored text stays
    int id3AutoSave = -1; // 0 or 1; -1 when none is chosen
    std::optional<SyncMode> syncOption; // none chosen: the stored number stays
    bool removeParens = false;
    bool remUnderScores = false;
    bool splitSpaces = false;
    bool useFormattedTrack = true;
    bool keepFileTimes = false;
    bool mp3FilesOnly = false;
    QString mask; // the composed format mask, "" for none
};

// The controls as they show the options in memory; a casing stored as an
// unknown text shows no choice.
OptionChoices choicesFromOptions(const Options& options);

// What becomes of the composed mask in the main window's list of masks.
struct MaskPlacement {
    bool append = false; // the mask is new to the list: append it first
    int current = -1; // the entry to make current; -1 leaves the list alone
};

// Stores every choice (a casing, saving or sync choice that is missing keeps
// its stored text), reloads prefs.options, and places the mask: a blank one
// nowhere; one equal to an entry after trimming selects that entry (the last
// exact match first, else the last trimmed one); any other is appended and
// selected.
MaskPlacement applyOptionChoices(const OptionChoices& choices, Preferences& prefs, const QStringList& masks);
