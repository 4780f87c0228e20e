#pragma once

#include "platform/fileerror.h"

#include <QString>

// The text of the critical box a failed rename shows: the operation, the
// file (source, when given), the system's reason with its number, and a
// likely cause where one holds on this system: 13 (wrong value type), 53
// (an illegal name, or a file another program moved away) and a refused
// permission. Number 58 (target exists) is not shown as a box; the caller
// prompts instead.
QString renameErrorMessage(const QString& source, const QString& newName, const FileError& error);
// The same without the file's path.
QString renameErrorMessage(const QString& newName, const FileError& error);

// "Renaming Of '<new name>' Encountered Errors": the status after a failure.
QString renameErrorStatus(const QString& newName);
