#pragma once

#include "filesystem.h"

// The real file system, through POSIX calls.
class LocalFileSystem final : public FileSystem {
public:
    qint64 length(const QString& path, FileError* err = nullptr) const override;
    bool attributes(const QString& path, FileAttributes* out, FileError* err = nullptr) const override;
    bool resetAttributes(const QString& path, FileError* err = nullptr) override;
    bool rename(const QString& from, const QString& to, FileError* err = nullptr) override;
    bool isSameFile(const QString& a, const QString& b) const override;
    bool stamp(const QString& path, FileStamp* out, FileError* err = nullptr) const override;
    bool readBytes(
        const QString& path, qint64 offset, qint64 count, QByteArray* out, FileError* err = nullptr) const override;
    bool replaceTail(const QString& path, qint64 keep, const QByteArray& tail, FileError* err = nullptr) override;
    bool setModified(const QString& path, qint64 modifiedNs, FileError* err = nullptr) override;
    bool setMode(const QString& path, int mode, FileError* err = nullptr) override;
};
