#pragma once

#include <QString>

// How the user answered the prompt for a new name that another file holds.
enum class ExistingTargetAnswer { None, Overwrite, Skip };

// The prompt shown when a rename's new name is already taken in its folder.
// The window layer shows both files side by side; tests script the answers.
class ExistingTargetPrompt {
public:
    virtual ~ExistingTargetPrompt() = default;
    // folder ends in "/"; existingName holds the new name already,
    // renamedName is the file being renamed.
    virtual ExistingTargetAnswer ask(const QString& folder, const QString& existingName, const QString& renamedName)
        = 0;
};
