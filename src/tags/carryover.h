#pragma once

#include "platform/fileerror.h"

#include <QStringList>

#include <sys/stat.h>

// Gives `to`, a new copy that is to replace the file `from` (both open),
// what a user may have set on the original besides its bytes and its owner
// (keepOwner, which must come first: giving a file away clears its set-ID
// bits, and the ACL and the mode follow the owner): its extended attributes
// in every namespace this process may read and write (the ACL among them),
// then its
// permission bits with the set-group-ID and sticky bits. The set-user-ID
// bit and file capabilities are left off, for safety. fromStat is `from`'s
// status. What could not be kept is appended to *notKept, one line each
// ("The extended attribute user.x could not be kept: Operation not
// permitted"). False, with *err set, only when the permission bits could not
// be given at all: then the copy must not replace the original.
bool carryFileProperties(int from, const struct stat& fromStat, int to, QStringList* notKept, FileError* err);

// Gives `to` the owner and group of the file whose status is fromStat. A
// copy that cannot take the owner (only the superuser gives a file away)
// must not replace the original: false, with *err saying so. A group this
// user cannot give is appended to *notKept; the owner is kept then.
bool keepOwner(const struct stat& fromStat, int to, QStringList* notKept, FileError* err);
