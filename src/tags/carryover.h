#pragma once

#include "platform/fileerror.h"

#include <QStringList>

#include <sys/stat.h>

// Gives `to`, a new copy that is to replace the file `from` (both open),
// what a user may have set on the original besides its bytes: its owner and
// group where this process may give them, its extended attributes in every
// namespace this process may read and write (the ACL among them), then its
// permission bits with the set-group-ID and sticky bits. The set-user-ID
// bit and file capabilities are left off, for safety. fromStat is `from`'s
// status. What could not be kept is appended to *notKept, one line each
// ("The extended attribute user.x could not be kept: Operation not
// permitted"). False, with *err set, only when the permission bits could not
// be given at all: then the copy must not replace the original.
bool carryFileProperties(int from, const struct stat& fromStat, int to, QStringList* notKept, FileError* err);
