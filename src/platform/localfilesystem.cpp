#include "localfilesystem.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#ifndef RENAME_NOREPLACE
#define RENAME_NOREPLACE (1 << 0)
#endif

namespace {

QByteArray encoded(const QString& path) { return QFile::encodeName(path); }

bool statPath(const QString& path, struct stat* st, FileError* err)
{
    if (::stat(encoded(path).constData(), st) != 0)
        return reportFileError(err, fileErrorFromErrno(errno));
    return reportFileError(err, {});
}

} // namespace

bool isIllegalFileName(const QString& name)
{
    return name.isEmpty() || name == QLatin1String(".") || name == QLatin1String("..")
        || name.contains(QLatin1Char('/')) || name.contains(QChar(0));
}

qint64 LocalFileSystem::length(const QString& path, FileError* err) const
{
    struct stat st {};
    if (!statPath(path, &st, err))
        return -1;
    return qint64(st.st_size);
}

bool LocalFileSystem::attributes(const QString& path, FileAttributes* out, FileError* err) const
{
    struct stat st {};
    if (!statPath(path, &st, err))
        return false;
    out->readOnly = (st.st_mode & S_IWUSR) == 0;
    out->hidden = QFileInfo(path).fileName().startsWith(QLatin1Char('.'));
    out->system = !S_ISREG(st.st_mode);
    return true;
}

bool LocalFileSystem::resetAttributes(const QString& path, FileError* err)
{
    struct stat st {};
    if (!statPath(path, &st, err))
        return false;
    if (st.st_mode & S_IWUSR)
        return true;
    if (::chmod(encoded(path).constData(), (st.st_mode & 07777) | S_IWUSR) != 0)
        return reportFileError(err, fileErrorFromErrno(errno));
    return true;
}

bool LocalFileSystem::isSameFile(const QString& a, const QString& b) const
{
    struct stat sa {}, sb {};
    if (::stat(encoded(a).constData(), &sa) != 0 || ::stat(encoded(b).constData(), &sb) != 0)
        return false;
    return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

bool LocalFileSystem::rename(const QString& from, const QString& to, FileError* err)
{
    if (isIllegalFileName(QFileInfo(to).fileName()))
        return reportFileError(err, {53, QStringLiteral("Illegal file name")});
    const QByteArray src = encoded(from);
    const QByteArray dst = encoded(to);
    if (src == dst) {
        struct stat st {};
        return statPath(from, &st, err);
    }
    if (::renameat2(AT_FDCWD, src.constData(), AT_FDCWD, dst.constData(), RENAME_NOREPLACE) == 0)
        return reportFileError(err, {});
    int e = errno;
    if (e == EEXIST && isSameFile(from, to)) {
        // A case-insensitive file system sees the target as the source: only
        // the letter case changes, so a plain rename is safe.
        if (::rename(src.constData(), dst.constData()) == 0)
            return reportFileError(err, {});
        e = errno;
    } else if (e == EINVAL || e == ENOSYS) {
        // File systems without RENAME_NOREPLACE: link then unlink never
        // replaces an existing file either.
        if (::link(src.constData(), dst.constData()) == 0) {
            ::unlink(src.constData());
            return reportFileError(err, {});
        }
        e = errno;
        if (e == EPERM || e == ENOTSUP) { // no hard links (FAT): check, then rename
            struct stat st {};
            if (::lstat(dst.constData(), &st) == 0)
                return reportFileError(err, fileErrorFromErrno(EEXIST));
            if (::rename(src.constData(), dst.constData()) == 0)
                return reportFileError(err, {});
            e = errno;
        }
    }
    return reportFileError(err, fileErrorFromErrno(e));
}
