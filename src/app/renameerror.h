#pragma once

#include "platform/fileerror.h"

#include <QString>

// The text of the critical box a failed rename shows: the operation, the
// platform's description with its number, and a likely cause for the numbers
// 13 (wrong value type), 53 (missing file or illegal name) and 75 (access).
// Number 58 (target exists) is not shown as a box; the caller prompts instead.
QString renameErrorMessage(const QString& newName, const FileError& error);

// "Renaming Of '<new name>' Encountered Errors": the status after a failure.
QString renameErrorStatus(const QString& newName);
