#pragma once

#include "trash.h"

// The freedesktop.org trash of the user ($XDG_DATA_HOME/Trash, or the
// .Trash-UID folder of the file's own mount).
class SystemTrash : public Trash {
public:
    bool moveToTrash(const QString& path, FileError* err = nullptr) override;

protected:
    // The move itself (Qt's), which tests may replace.
    virtual bool moveFile(const QString& path, QString* inTrash);
};
