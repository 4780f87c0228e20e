#pragma once

#include "fileerror.h"

#include <QByteArray>
#include <QString>

// File attributes as the user knows them: read-only when the owner lacks
// write permission, hidden when the name begins with ".", system when the
// path is not a regular file.
struct FileAttributes {
    bool readOnly = false;
    bool hidden = false;
    bool system = false;
};

// What a directory entry is now, without following a symbolic link: enough
// to tell whether a file is still the one seen before. Times in nanoseconds.
struct FileStamp {
    quint64 device = 0;
    quint64 inode = 0;
    qint64 size = 0;
    qint64 modifiedNs = 0;
    qint64 links = 0; // hard links to the file
    int mode = 0; // permission bits (07777)
    bool symlink = false;
    bool regular = false;

    // Same file, same length, same modification time.
    bool sameState(const FileStamp& o) const
    {
        return device == o.device && inode == o.inode && size == o.size && modifiedNs == o.modifiedNs
            && symlink == o.symlink;
    }
};

// Every file access of the windows and engines that may fail in ways a user
// must be told about goes through this interface, so that tests can make
// any of them fail.
class FileSystem {
public:
    virtual ~FileSystem() = default;

    // Length in bytes, or -1 with *err set.
    virtual qint64 length(const QString& path, FileError* err = nullptr) const = 0;
    virtual bool attributes(const QString& path, FileAttributes* out, FileError* err = nullptr) const = 0;
    // Adds owner write permission; changes nothing else. Only for a write
    // the user asked for, once asked whether the file may be made writable:
    // a rename or a move to the trash needs no permission on the file.
    virtual bool resetAttributes(const QString& path, FileError* err = nullptr) = 0;
    // Renames within the file system, never replacing an existing file: an
    // existing target that is not the source itself fails with 58. A target
    // that is the same file (same name, or a letter-case change on a
    // case-insensitive file system) is renamed (or left, when equal).
    virtual bool rename(const QString& from, const QString& to, FileError* err = nullptr) = 0;
    // True when both paths name the same existing file.
    virtual bool isSameFile(const QString& a, const QString& b) const = 0;
    // The entry itself (a link is not followed).
    virtual bool stamp(const QString& path, FileStamp* out, FileError* err = nullptr) const = 0;
    // Up to count bytes from offset; a negative offset counts from the end
    // (a file shorter than that gives all of it).
    virtual bool readBytes(
        const QString& path, qint64 offset, qint64 count, QByteArray* out, FileError* err = nullptr) const = 0;
    // Cuts the regular file to keep bytes, then appends tail.
    virtual bool replaceTail(const QString& path, qint64 keep, const QByteArray& tail, FileError* err = nullptr) = 0;
    // Gives the file (a link is not followed) this modification time; its
    // access time stays.
    virtual bool setModified(const QString& path, qint64 modifiedNs, FileError* err = nullptr) = 0;
    // Gives the file these permission bits (07777).
    virtual bool setMode(const QString& path, int mode, FileError* err = nullptr) = 0;
};

// A new file name (no folder) that no rename may accept: empty, ".", "..",
// or holding "/" or a NUL character.
bool isIllegalFileName(const QString& name);
