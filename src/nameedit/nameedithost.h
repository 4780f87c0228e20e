#pragma once

#include "tags/fieldcatalogue.h"

#include <QString>

// What the name editing engine needs from the main window and its tag panel.
// The engine calls these synchronously on the user-interface thread.
class NameEditHost {
public:
    virtual ~NameEditHost() = default;

    // The text the tag panel currently shows for the field (as shown: Track
    // already formatted, Genre and Copyright the text of their lists).
    virtual QString fieldText(FieldId field) const = 0;
    // Shows text in the field, through the panel's own change handling (which
    // records a field step while recording is on). Returns false when the
    // field refused the text; callers decide whether that matters.
    virtual bool setFieldText(FieldId field, const QString& text) = 0;
    // The folder shown by the folder tree, "/"-separated, with or without a
    // trailing "/"; "" when none.
    virtual QString currentFolder() const = 0;
    // One line of status text, repainted at once.
    virtual void showStatus(const QString& text) = 0;
    // Enables or disables the RenameButton (disabled while a replay runs).
    virtual void setRenameEnabled(bool enabled) = 0;
    // Reloads the tag fields from the selected file (readMP3ID); the host
    // ends that with NameEditSession::rebuildPartsList.
    virtual void reloadTagFields() = 0;
    // Gives the new-name box the input focus.
    virtual void focusNewName() = 0;
};
