#pragma once

#include <QFile>
#include <QString>

// The error numbers the messages select on and the logs and journals show;
// stored and shown as these numbers, so they never change.
namespace ErrorNo {
constexpr int None = 0;
constexpr int Overflow = 6; // a value too large for its field
constexpr int WrongType = 13;
constexpr int Internal = 51; // the tag layer's own refusals, and every other cause
constexpr int BadName = 52;
constexpr int NotFound = 53; // not found, or a name that may not be used
constexpr int Exists = 58;
constexpr int DiskFull = 61;
constexpr int OtherDevice = 74;
constexpr int Access = 75;
} // namespace ErrorNo

// A failed file operation as the user sees it: one of the ErrorNo numbers
// and the platform's (or the tag layer's) description of it. number 0 means
// success.
struct FileError {
    int number = 0;
    QString description;

    bool ok() const { return number == 0; }
};

// "File Error On File \r\n<file>\r\n\r\nError: <description> (<number>)",
// the text every window and log shows for a failed tag write.
QString fileErrorMessage(const QString& fileName, const FileError& e);

// Maps an errno value to the numbers above, with strerror's text.
FileError fileErrorFromErrno(int err);

// Stores e in *out when out is not null; returns e.ok().
bool reportFileError(FileError* out, const FileError& e);

// Opens file for writing from its start (truncated); the error says why not.
bool openTruncated(QFile& file, FileError* out);
