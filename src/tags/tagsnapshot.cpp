#include "tagsnapshot.h"

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
    if (!file.open(path)) {
        const int e = errno;
        if (file.fd >= 0 && !S_ISREG(file.mode) && e == 0)
            return reportFileError(err, fileErrorFromErrno(EISDIR));
        return reportFileError(err, fileErrorFromErrno(e ? e : EISDIR));
    }
    struct stat st { };
    if (::fstat(file.fd, &st) != 0)
        return reportFileError(err, fileErrorFromErrno(errno));
    TagSnapshot s;
    s.size = file.size;
    s.mtimeNs = qint64(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    if (file.v2.valid) {
        s.v2 = file.tagBytes();
        if (s.v2.isEmpty())
            return reportFileError(err, fileErrorFromErrno(EIO));
    }
    const ByteRange& v1 = file.trailers.id3v1;
    if (v1.found() && v1.end == file.size && v1.end - v1.start == 128 && v1.start >= s.v2.size())
        s.trailer = file.tail.right(128);
    *out = s;
    return reportFileError(err, {});
}

bool restoreTagSnapshot(const QString& path, const TagSnapshot& current, const TagSnapshot& wanted, FileError* err)
{
    if (current.middleSize() != wanted.middleSize())
        return reportFileError(err, { 51, QStringLiteral("The file holds more than its tags changed") });
    // The end first: the offsets of the trailer do not move with the tag.
    if (current.trailer != wanted.trailer
        && !replaceFileRange(path, current.size - current.trailer.size(), current.size, wanted.trailer, err))
        return false;
    if (current.v2 != wanted.v2 && !replaceFileRange(path, 0, current.v2.size(), wanted.v2, err))
        return false;
    TagSnapshot now;
    if (!readTagSnapshot(path, &now, err))
        return false;
    if (!now.sameTags(wanted) || now.size != wanted.size)
        return reportFileError(err, { 51, QStringLiteral("The tags read back differ from those restored") });
    return reportFileError(err, {});
}
