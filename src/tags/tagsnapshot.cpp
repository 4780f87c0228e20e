#include "tagsnapshot.h"

#include "tags/filetimes.h"
#include "tags/openedtagfile.h"
#include "tags/regularfile.h"
#include "tags/safefilewrite.h"
#include "tags/taglibtag.h"

#include <QCryptographicHash>
#include <QFile>

#include <cerrno>
#include <functional>
#include <memory>
#include <openssl/evp.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

qint64 mtimeNsOf(const struct stat& st)
{
    return qint64(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
}

// The snapshot of a FLAC, Ogg or MP4 file: its items as TagLib reads them.
bool readTagLibSnapshot(const QString& path, AudioFormat format, TagSnapshot* out, FileError* err)
{
    struct stat st { };
    errno = 0;
    const int fd = openRegularFile(path, &st);
    if (fd < 0)
        return reportFileError(err, fileErrorFromErrno(errno ? errno : EIO));
    ::close(fd);
    TagLibTag tag;
    if (const FileError e = tag.setFileName(path); !e.ok())
        return reportFileError(err, e);
    // The format TagLib read decides: the file may have been replaced
    // in between.
    if (tag.format() != format)
        return reportFileError(err, { ErrorNo::Internal, QStringLiteral("The file changed while it was read") });
    TagSnapshot s;
    s.size = st.st_size;
    s.mtimeNs = mtimeNsOf(st);
    s.mode = quint32(st.st_mode & 07777);
    s.format = format;
    s.items = tag.snapshot();
    *out = s;
    return reportFileError(err, {});
}

} // namespace

QByteArray TagSnapshot::tagHash() const
{
    const auto feed = [this](const std::function<void(const void*, qsizetype)>& add) {
        // The lengths keep "no tag" apart from any content.
        const qint64 lengths[2] = { v2.size(), trailer.size() };
        add(lengths, sizeof lengths);
        add(v2.constData(), v2.size());
        add(trailer.constData(), trailer.size());
        if (throughTagLib()) {
            const qint32 kind = qint32(format);
            add(&kind, sizeof kind);
            add(items.constData(), items.size());
        }
    };
    // OpenSSL's SHA-1 is several times faster than Qt's on the large tags
    // covers make; Qt's gives the same digest where OpenSSL refuses SHA-1.
    const std::unique_ptr<EVP_MD_CTX, decltype(&EVP_MD_CTX_free)> context(EVP_MD_CTX_new(), EVP_MD_CTX_free);
    bool ok = context && EVP_DigestInit_ex(context.get(), EVP_sha1(), nullptr) == 1;
    feed(
        [&](const void* data, qsizetype size) { ok = ok && EVP_DigestUpdate(context.get(), data, size_t(size)) == 1; });
    QByteArray digest(EVP_MAX_MD_SIZE, Qt::Uninitialized);
    unsigned int length = 0;
    if (ok && EVP_DigestFinal_ex(context.get(), reinterpret_cast<unsigned char*>(digest.data()), &length) == 1) {
        digest.truncate(int(length));
        return digest;
    }
    QCryptographicHash hash(QCryptographicHash::Sha1);
    feed([&hash](
             const void* data, qsizetype size) { hash.addData(QByteArrayView(static_cast<const char*>(data), size)); });
    return hash.result();
}

bool readTagSnapshot(const QString& path, TagSnapshot* out, FileError* err)
{
    // The rule AudioTag picks its tag code by.
    if (const std::optional<AudioFormat> format = audioFormatOf(path); format && *format != AudioFormat::Mp3)
        return readTagLibSnapshot(path, *format, out, err);
    OpenedTagFile file;
    errno = 0;
    if (!file.open(path))
        return reportFileError(err, fileErrorFromErrno(errno ? errno : EIO));
    struct stat st { };
    if (::fstat(file.fd, &st) != 0)
        return reportFileError(err, fileErrorFromErrno(errno));
    TagSnapshot s;
    s.size = file.size;
    s.mtimeNs = mtimeNsOf(st);
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
    if (current.format != wanted.format)
        return reportFileError(err, { ErrorNo::WrongType, QStringLiteral("The file is no longer of its format") });
    if (!current.sameAudioShape(wanted))
        return reportFileError(err, { ErrorNo::Internal, QStringLiteral("The file holds more than its tags changed") });
    if (wanted.throughTagLib()) {
        if (current.items != wanted.items) {
            TagLibTag tag;
            if (const FileError e = tag.setFileName(path); !e.ok())
                return reportFileError(err, e);
            if (!tag.restore(wanted.items))
                return reportFileError(err, tag.lastWriteError());
        }
    } else {
        // The end first: the offsets of the trailing tags do not move with
        // the ID3v2 tag.
        if (current.trailer != wanted.trailer
            && !replaceFileRange(path, current.size - current.trailer.size(), current.size, wanted.trailer, err))
            return false;
        if (current.v2 != wanted.v2 && !replaceFileRange(path, 0, current.v2.size(), wanted.v2, err))
            return false;
    }
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
    // A save through TagLib need not give back the old size (its padding).
    const bool sizeBack = wanted.throughTagLib() || now.size == wanted.size;
    if (!now.sameTags(wanted) || !sizeBack || now.mode != wanted.mode || now.mtimeNs != wanted.mtimeNs)
        return reportFileError(
            err, { ErrorNo::Internal, QStringLiteral("The tags read back differ from those restored") });
    return reportFileError(err, {});
}
