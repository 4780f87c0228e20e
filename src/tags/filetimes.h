#pragma once

#include "platform/fileerror.h"

#include <QString>

#include <ctime>

// A file's modification time, to the nanosecond.
struct FileTime {
    timespec modified {};
};

// Reads the modification time of path (a link is followed); false, with
// *error set when given, when it cannot be had.
bool readFileTime(const QString& path, FileTime* time, FileError* error = nullptr);

// Gives path this modification time again; its access time stays as it is.
bool writeFileTime(const QString& path, const FileTime& time, FileError* error = nullptr);

// Keeps one file's modification time over the tag writes of one command:
// reads it when made, puts it back by restore() or at the end of its scope.
// Does nothing when not enabled or when the time could not be read (the
// file is missing: there is nothing to keep).
class FileTimeKeeper {
public:
    FileTimeKeeper(const QString& path, bool enabled);
    ~FileTimeKeeper();
    FileTimeKeeper(const FileTimeKeeper&) = delete;
    FileTimeKeeper& operator=(const FileTimeKeeper&) = delete;

    // Puts the time back, once; false with *error set when that failed.
    bool restore(FileError* error = nullptr);

private:
    QString m_path;
    FileTime m_time;
    bool m_pending = false;
};
