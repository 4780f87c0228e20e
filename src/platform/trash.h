#pragma once

#include "fileerror.h"

#include <QString>

// An undoable deletion. A file the trash cannot take stays where it is and
// the call fails; nothing is ever deleted permanently instead.
class Trash {
public:
    virtual ~Trash() = default;
    virtual bool moveToTrash(const QString& path, FileError* err = nullptr) = 0;
};
