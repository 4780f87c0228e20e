#pragma once

#include "platform/localfilesystem.h"

#include <QList>
#include <QPair>

// The real file system, except that the next rename or attribute reset can
// be made to fail with a chosen error, and every rename is recorded.
class FaultyFileSystem final : public FileSystem {
public:
    qint64 length(const QString& path, FileError* err = nullptr) const override { return real.length(path, err); }
    bool attributes(const QString& path, FileAttributes* out, FileError* err = nullptr) const override
    {
        return real.attributes(path, out, err);
    }
    bool resetAttributes(const QString& path, FileError* err = nullptr) override
    {
        if (!resetFailure.ok()) {
            FileError e = resetFailure;
            resetFailure = {};
            return reportFileError(err, e);
        }
        return real.resetAttributes(path, err);
    }
    bool rename(const QString& from, const QString& to, FileError* err = nullptr) override
    {
        renames.append({ from, to });
        if (!renameFailure.ok()) {
            FileError e = renameFailure;
            renameFailure = {};
            return reportFileError(err, e);
        }
        return real.rename(from, to, err);
    }
    bool isSameFile(const QString& a, const QString& b) const override { return real.isSameFile(a, b); }
    bool stamp(const QString& path, FileStamp* out, FileError* err = nullptr) const override
    {
        return real.stamp(path, out, err);
    }
    bool readBytes(
        const QString& path, qint64 offset, qint64 count, QByteArray* out, FileError* err = nullptr) const override
    {
        return real.readBytes(path, offset, count, out, err);
    }
    bool replaceTail(const QString& path, qint64 keep, const QByteArray& tail, FileError* err = nullptr) override
    {
        return real.replaceTail(path, keep, tail, err);
    }
    bool setModified(const QString& path, qint64 modifiedNs, FileError* err = nullptr) override
    {
        return real.setModified(path, modifiedNs, err);
    }
    bool setMode(const QString& path, int mode, FileError* err = nullptr) override
    {
        return real.setMode(path, mode, err);
    }

    LocalFileSystem real;
    FileError renameFailure;
    FileError resetFailure;
    QList<QPair<QString, QString>> renames;
};
