#pragma once

#include <QFile>
#include <QString>

// A failed file operation as the user sees it: the error number the messages
// select on (53 not found or illegal name, 58 exists, 75 access, 61 disk full,
// 74 other device, 52 bad name, 51 internal, 13 wrong type) and the
// platform's description of it. number 0 means success.
struct FileError {
    int number = 0;
    QString description;

    bool ok() const { return number == 0; }
};

// Maps an errno value to the numbers above, with strerror's text.
FileError fileErrorFromErrno(int err);

// Stores e in *out when out is not null; returns e.ok().
bool reportFileError(FileError* out, const FileError& e);

// Opens file for writing from its start (truncated); the error says why not.
bool openTruncated(QFile& file, FileError* out);
