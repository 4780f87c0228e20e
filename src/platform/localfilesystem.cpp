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

QByteArray encoded(const QString& path)
{
    return QFile::encodeName(path);
}

bool statPath(const QString& path, struct stat* st, FileError* err)
{
    if (::stat(encoded(path).constData(), st) != 0)
        return reportFileError(err, fileErrorFromErrno(errno));
    return reportFileError(err, {});
}

// True when both names lead to one directory entry, as a letter-case change
// on a case-insensitive file system does. A second hard link or a symbolic
// link to the file is another entry: a rename must never replace it.
bool isSameEntry(const QByteArray& a, const QByteArray& b)
{
    struct stat sa {
    }, sb {};
    if (::lstat(a.constData(), &sa) != 0 || ::lstat(b.constData(), &sb) != 0)
        return false;
    return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino && sa.st_nlink == 1 && !S_ISLNK(sa.st_mode);
}

} // namespace

bool isIllegalFileName(const QString& name)
{
    return name.isEmpty() || name == QLatin1String(".") || name == QLatin1String("..")
        || name.contains(QLatin1Char('/')) || name.contains(QChar(0));
}

qint64 LocalFileSystem::length(const QString& path, FileError* err) const
{
    struct stat st { };
    if (!statPath(path, &st, err))
        return -1;
    return qint64(st.st_size);
}

bool LocalFileSystem::attributes(const QString& path, FileAttributes* out, FileError* err) const
{
    struct stat st { };
    if (!statPath(path, &st, err))
        return false;
    out->readOnly = (st.st_mode & S_IWUSR) == 0;
    out->hidden = QFileInfo(path).fileName().startsWith(QLatin1Char('.'));
    out->system = !S_ISREG(st.st_mode);
    return true;
}

bool LocalFileSystem::resetAttributes(const QString& path, FileError* err)
{
    struct stat st { };
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
    struct stat sa {
    }, sb {};
    if (::stat(encoded(a).constData(), &sa) != 0 || ::stat(encoded(b).constData(), &sb) != 0)
        return false;
    return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

bool LocalFileSystem::rename(const QString& from, const QString& to, FileError* err)
{
    if (isIllegalFileName(QFileInfo(to).fileName()))
        return reportFileError(err, { 53, QStringLiteral("Illegal file name") });
    const QByteArray src = encoded(from);
    const QByteArray dst = encoded(to);
    if (src == dst) {
        struct stat st { };
        return statPath(from, &st, err);
    }
    if (::renameat2(AT_FDCWD, src.constData(), AT_FDCWD, dst.constData(), RENAME_NOREPLACE) == 0)
        return reportFileError(err, {});
    int e = errno;
    if (e == EEXIST && isSameEntry(src, dst)) {
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
            struct stat st { };
            if (::lstat(dst.constData(), &st) == 0)
                return reportFileError(err, fileErrorFromErrno(EEXIST));
            if (::rename(src.constData(), dst.constData()) == 0)
                return reportFileError(err, {});
            e = errno;
        }
    }
    return reportFileError(err, fileErrorFromErrno(e));
}

bool LocalFileSystem::stamp(const QString& path, FileStamp* out, FileError* err) const
{
    struct stat st { };
    if (::lstat(encoded(path).constData(), &st) != 0)
        return reportFileError(err, fileErrorFromErrno(errno));
    out->device = quint64(st.st_dev);
    out->inode = quint64(st.st_ino);
    out->size = qint64(st.st_size);
    out->modifiedNs = qint64(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    out->links = qint64(st.st_nlink);
    out->symlink = S_ISLNK(st.st_mode);
    out->regular = S_ISREG(st.st_mode);
    out->mode = int(st.st_mode & 07777);
    return reportFileError(err, {});
}

bool LocalFileSystem::setModified(const QString& path, qint64 modifiedNs, FileError* err)
{
    const timespec times[2] = { { 0, UTIME_OMIT }, { time_t(modifiedNs / 1000000000), long(modifiedNs % 1000000000) } };
    if (::utimensat(AT_FDCWD, encoded(path).constData(), times, AT_SYMLINK_NOFOLLOW) != 0)
        return reportFileError(err, fileErrorFromErrno(errno));
    return reportFileError(err, {});
}

bool LocalFileSystem::setMode(const QString& path, int mode, FileError* err)
{
    if (::chmod(encoded(path).constData(), mode_t(mode & 07777)) != 0)
        return reportFileError(err, fileErrorFromErrno(errno));
    return reportFileError(err, {});
}

bool LocalFileSystem::readBytes(const QString& path, qint64 offset, qint64 count, QByteArray* out, FileError* err) const
{
    out->clear();
    const int fd = ::open(encoded(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return reportFileError(err, fileErrorFromErrno(errno));
    struct stat st { };
    if (::fstat(fd, &st) != 0) {
        const int e = errno;
        ::close(fd);
        return reportFileError(err, fileErrorFromErrno(e));
    }
    if (offset < 0)
        offset = qMax<qint64>(0, qint64(st.st_size) + offset);
    count = qBound<qint64>(0, count, qMax<qint64>(0, qint64(st.st_size) - offset));
    out->resize(count);
    qint64 done = 0;
    while (done < count) {
        const ssize_t n = ::pread(fd, out->data() + done, size_t(count - done), off_t(offset + done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            const int e = n < 0 ? errno : EIO;
            ::close(fd);
            out->clear();
            return reportFileError(err, fileErrorFromErrno(e));
        }
        done += n;
    }
    ::close(fd);
    return reportFileError(err, {});
}

bool LocalFileSystem::replaceTail(const QString& path, qint64 keep, const QByteArray& tail, FileError* err)
{
    const int fd = ::open(encoded(path).constData(), O_WRONLY | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0)
        return reportFileError(err, fileErrorFromErrno(errno));
    auto fail = [fd, err](int e) {
        ::close(fd);
        return reportFileError(err, fileErrorFromErrno(e));
    };
    if (::ftruncate(fd, off_t(keep)) != 0)
        return fail(errno);
    qint64 done = 0;
    while (done < tail.size()) {
        const ssize_t n = ::pwrite(fd, tail.constData() + done, size_t(tail.size() - done), off_t(keep + done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return fail(n < 0 ? errno : EIO);
        done += n;
    }
    if (::close(fd) != 0)
        return reportFileError(err, fileErrorFromErrno(errno));
    return reportFileError(err, {});
}
