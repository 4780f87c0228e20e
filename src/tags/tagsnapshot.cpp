#include "tagsnapshot.h"

#include "tags/filetimes.h"
#include "tags/openedtagfile.h"
#include "tags/safefilewrite.h"

#include <QCryptographicHash>
#include <QFile>

#include <cerrno>
#include <sys/stat.h>

QByteArray TagSnapshot::tagHash() const
{
    QCryptographicHash hash(QCryptographicHash::Sha1);
    // The lengths keep "no tag" apart from any content.
    const qint64 lengths[2] = { v2.size(), trailer.size() };
    hash.addData(QByteArrayView(reinterpret_cast<const char*>(lengths), sizeof lengths));
    hash.addData(v2);
    hash.addData(trailer);
    return hash.result();
}

bool readTagSnapshot(const QString& path, TagSnapshot* out, FileError* err)
{
    OpenedTagFile file;
    errno = 0;
    if (!file.open(path))
        return reportFileError(err, fileErrorFromErrno(errno ? errno : EIO));
    struct stat st { };
    if (::fstat(file.fd, &st) != 0)
        return reportFileError(err, fileErrorFromErrno(errno));
    TagSnapshot s;
    s.size = file.size;
    s.mtimeNs = qint64(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    s.mode = quint32(st.st_mode & 07777);
    if (file.v2.valid) {
        s.v2 = file.tagBytes();
        if (s.v2.isEmpty())
            return reportFileError(err, fileErrorFromErrno(EIO));
    }
    // All the trailing tags, not the ID3v1 trailer alone: Remove Tags takes
    // them all away, and an undo must be able to put them back.
    const qint64 start = file.trailerStart();
    if (start < file.size && start >= s.v2.size()) {
        const qint64 length = file.size - start;
        if (length <= file.tail.size()) {
            s.trailer = file.tail.right(length);
        } else {
            s.trailer.resize(length);
            if (!readFully(file.fd, start, int(length), reinterpret_cast<unsigned char*>(s.trailer.data())))
                return reportFileError(err, fileErrorFromErrno(errno ? errno : EIO));
        }
    }
    *out = s;
    return reportFileError(err, {});
}

bool restoreTagSnapshot(const QString& path, const TagSnapshot& current, const TagSnapshot& wanted, FileError* err)
{
    if (current.middleSize() != wanted.middleSize())
        return reportFileError(err, { ErrorNo::Internal, QStringLiteral("The file holds more than its tags changed") });
    // The end first: the offsets of the trailing tags do not move with the
    // ID3v2 tag.
    if (current.trailer != wanted.trailer
        && !replaceFileRange(path, current.size - current.trailer.size(), current.size, wanted.trailer, err))
        return false;
    if (current.v2 != wanted.v2 && !replaceFileRange(path, 0, current.v2.size(), wanted.v2, err))
        return false;
    // The mode after the writes, which need the owner's write permission;
    // the time last, as the writes and the mode change move it.
    errno = 0;
    if (current.mode != wanted.mode && ::chmod(QFile::encodeName(path).constData(), mode_t(wanted.mode)) != 0)
        return reportFileError(err, fileErrorFromErrno(errno));
    FileTime time { { time_t(wanted.mtimeNs / 1000000000), long(wanted.mtimeNs % 1000000000) } };
    if (time.modified.tv_nsec < 0) { // before 1970
        time.modified.tv_nsec += 1000000000;
        --time.modified.tv_sec;
    }
    if (!writeFileTime(path, time, err))
        return false;
    TagSnapshot now;
    if (!readTagSnapshot(path, &now, err))
        return false;
    if (!now.sameTags(wanted) || now.size != wanted.size || now.mode != wanted.mode || now.mtimeNs != wanted.mtimeNs)
        return reportFileError(
            err, { ErrorNo::Internal, QStringLiteral("The tags read back differ from those restored") });
    return reportFileError(err, {});
}
