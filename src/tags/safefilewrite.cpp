#include "safefilewrite.h"

#include "tags/carryover.h"
#include "tags/regularfile.h"
#include "tags/tagscan.h"
#include "tags/tagsnapshot.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr int kChunk = 256 * 1024;

qint64 totalSize(const QList<QByteArrayView>& pieces)
{
    qint64 n = 0;
    for (QByteArrayView p : pieces)
        n += p.size();
    return n;
}

bool writeAll(int fd, const char* data, qint64 count, qint64 offset);

// Writes the pieces one after the other from offset.
bool writePieces(int fd, const QList<QByteArrayView>& pieces, qint64 offset)
{
    for (QByteArrayView p : pieces) {
        if (!writeAll(fd, p.data(), p.size(), offset))
            return false;
        offset += p.size();
    }
    return true;
}

bool writeAll(int fd, const char* data, qint64 count, qint64 offset)
{
    qint64 done = 0;
    while (done < count) {
        const ssize_t n = ::pwrite(fd, data + done, size_t(count - done), off_t(offset + done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            if (n == 0)
                errno = ENOSPC;
            return false;
        }
        done += n;
    }
    return true;
}

bool allZero(const char* data, int count)
{
    for (int i = 0; i < count; ++i)
        if (data[i] != 0)
            return false;
    return true;
}

// Copies [from, from + count) of src to dst at `to`. With keepHoles the
// holes of src (and blocks of zeros) are not written: dst, a new file, reads
// zeros there and takes no room for them.
bool copyRange(int src, qint64 from, int dst, qint64 to, qint64 count, QByteArray& buf, bool keepHoles)
{
    bool seekable = keepHoles;
    for (qint64 done = 0; done < count;) {
        int n = int(qMin<qint64>(kChunk, count - done));
        if (seekable) {
            const off_t data = ::lseek(src, off_t(from + done), SEEK_DATA);
            if (data < 0 && errno == ENXIO)
                return true; // a hole up to the end of the file
            if (data < 0) {
                seekable = false; // the file system tells no holes: zeros still make them
            } else if (data > from + done) {
                done = qMin(count, qint64(data) - from);
                continue;
            } else {
                const off_t hole = ::lseek(src, off_t(from + done), SEEK_HOLE);
                if (hole > from + done)
                    n = int(qMin<qint64>(n, qint64(hole) - from - done));
            }
        }
        if (!readFully(src, from + done, n, reinterpret_cast<unsigned char*>(buf.data()))) {
            errno = errno ? errno : EIO;
            return false;
        }
        if (!(keepHoles && allZero(buf.constData(), n)) && !writeAll(dst, buf.constData(), n, to + done))
            return false;
        done += n;
    }
    return true;
}

bool sameRange(int a, qint64 aFrom, int b, qint64 bFrom, qint64 count, QByteArray& bufA, QByteArray& bufB)
{
    for (qint64 done = 0; done < count;) {
        const int n = int(qMin<qint64>(kChunk, count - done));
        if (!readFully(a, aFrom + done, n, reinterpret_cast<unsigned char*>(bufA.data()))
            || !readFully(b, bFrom + done, n, reinterpret_cast<unsigned char*>(bufB.data()))
            || std::memcmp(bufA.constData(), bufB.constData(), size_t(n)) != 0)
            return false;
        done += n;
    }
    return true;
}

// The characters mkstemp puts at the end of a copy's name.
constexpr int kRandomChars = 6;
// The characters of the file's name a copy's name shows.
constexpr int kShownChars = 40;

// The start of the name of a copy of the file fileName, up to the random
// characters: the hash tells the copies of two long names with the same
// beginning apart.
QString copyPrefix(const QString& fileName)
{
    const QByteArray hash = QCryptographicHash::hash(QFile::encodeName(fileName), QCryptographicHash::Sha1);
    int shown = int(qMin<qsizetype>(kShownChars, fileName.size()));
    if (shown > 0 && fileName.at(shown - 1).isHighSurrogate())
        --shown; // never half a character: the name must read back as written
    return QStringLiteral(".velmora-copy-") + QString::fromLatin1(hash.toHex().left(8)) + QLatin1Char('-')
        + fileName.left(shown) + QLatin1Char('.');
}

bool isCopyOf(const QString& entry, const QString& prefix)
{
    if (entry.size() != prefix.size() + kRandomChars || !entry.startsWith(prefix))
        return false;
    for (qsizetype i = prefix.size(); i < entry.size(); ++i)
        if (!entry.at(i).isLetterOrNumber() || entry.at(i).unicode() > 127)
            return false;
    return true;
}

bool fail(FileError* err, int errnum)
{
    return reportFileError(err, fileErrorFromErrno(errnum ? errnum : EIO));
}

} // namespace

namespace {

bool replaceRange(const QString& pathIn, qint64 start, qint64 end, const QList<QByteArrayView>& pieces, FileError* err,
    QStringList* notKept, const std::function<void(int)>& spoil)
{
    const qint64 count = totalSize(pieces);
    // Opening follows links, so the in-place writes below reach the file a
    // link points to; only the copy needs the link resolved (further down).
    const QByteArray given = QFile::encodeName(pathIn);
    struct stat st { };
    const int src = openRegularFile(pathIn, &st);
    if (src < 0)
        return fail(err, errno);
    auto closeAndFail = [&](int e) {
        ::close(src);
        return fail(err, e);
    };
    if (!(st.st_mode & S_IWUSR))
        return closeAndFail(EACCES);
    if (start < 0 || end < start || end > st.st_size)
        return closeAndFail(EINVAL);

    const qint64 size = st.st_size;
    if (count == end - start || (count == 0 && end == size)) {
        // Non-blocking: a name that now leads to a pipe fails instead of waiting.
        const int dst = ::open(given.constData(), O_WRONLY | O_CLOEXEC | O_NONBLOCK);
        if (dst < 0)
            return closeAndFail(errno);
        bool ok;
        if (count == end - start)
            ok = writePieces(dst, pieces, start);
        else
            ok = ::ftruncate(dst, off_t(start)) == 0;
        // No flush here: an interrupted write in place can only touch the
        // bytes of the range (a tag), never what lies outside it.
        int e = ok ? 0 : errno;
        if (::close(dst) != 0 && ok) {
            ok = false;
            e = errno;
        }
        ::close(src);
        return ok || fail(err, e);
    }

    // A copy would give the file's other names the old content; they stay
    // one file only when nothing is written.
    if (st.st_nlink > 1) {
        ::close(src);
        return reportFileError(err,
            { ErrorNo::Internal,
                QStringLiteral("The tag no longer fits in the file, and the file has %1 other names (hard links) "
                               "that would keep the old tag if it were written through a copy. The file was left "
                               "as it was.")
                    .arg(qulonglong(st.st_nlink - 1)) });
    }
    // A copy beside the original, renamed over it once it is complete. Work
    // on the file a link points to, so that the link stays a link.
    const QString canonical = QFileInfo(pathIn).canonicalFilePath();
    const QString path = canonical.isEmpty() ? pathIn : canonical;
    const QByteArray native = QFile::encodeName(path);
    struct stat target { };
    if (::stat(native.constData(), &target) != 0 || target.st_dev != st.st_dev || target.st_ino != st.st_ino)
        return closeAndFail(EAGAIN); // the name no longer leads to the file that was read
    const QFileInfo info(path);
    const QString folder = info.absolutePath();
    struct stat dirSt { };
    if (::stat(QFile::encodeName(folder).constData(), &dirSt) != 0)
        return closeAndFail(errno);
    if (!(dirSt.st_mode & S_IWUSR))
        return closeAndFail(EACCES);
    QByteArray tmpName = QFile::encodeName(
        folder + QLatin1Char('/') + copyPrefix(info.fileName()) + QString(kRandomChars, QLatin1Char('X')));
    const int dst = ::mkstemp(tmpName.data());
    if (dst < 0)
        return closeAndFail(errno);
    auto abandon = [&](int e) {
        ::close(dst);
        ::unlink(tmpName.constData());
        return closeAndFail(e);
    };
    // The owner first: a copy that cannot keep it is given up before any
    // byte is copied.
    QStringList lost;
    FileError ownerError;
    if (!keepOwner(st, dst, &lost, &ownerError)) {
        abandon(EPERM);
        return reportFileError(err, ownerError);
    }

    QByteArray bufA(kChunk, Qt::Uninitialized);
    QByteArray bufB(kChunk, Qt::Uninitialized);
    const qint64 newSize = start + count + (size - end);
    // A sparse file (a hole takes no room) gets a sparse copy.
    const bool sparse = qint64(st.st_blocks) * 512 + kChunk < size;
    errno = 0;
    if (!copyRange(src, 0, dst, 0, start, bufA, sparse) || !writePieces(dst, pieces, start)
        || !copyRange(src, end, dst, start + count, size - end, bufA, sparse))
        return abandon(errno);
    if (sparse && ::ftruncate(dst, off_t(newSize)) != 0) // a hole at the end
        return abandon(errno);
    if (::fsync(dst) != 0)
        return abandon(errno);
    if (spoil)
        spoil(dst);
    struct stat tmpSt { };
    if (::fstat(dst, &tmpSt) != 0 || tmpSt.st_size != newSize)
        return abandon(EIO);
    // Everything outside the range must have arrived as it was.
    if (!sameRange(src, 0, dst, 0, start, bufA, bufB)
        || !sameRange(src, end, dst, start + count, size - end, bufA, bufB))
        return abandon(EIO);
    FileError carryError;
    if (!carryFileProperties(src, st, dst, &lost, &carryError)) {
        abandon(EIO);
        return reportFileError(err, carryError);
    }
    if (::close(dst) != 0) {
        const int e = errno;
        ::unlink(tmpName.constData());
        return closeAndFail(e);
    }
    if (::rename(tmpName.constData(), native.constData()) != 0) {
        const int e = errno;
        ::unlink(tmpName.constData());
        return closeAndFail(e);
    }
    ::close(src);
    syncRenamedFolder(folder);
    if (notKept)
        *notKept << lost;
    return reportFileError(err, FileError());
}

} // namespace

namespace {

thread_local FolderSyncBatch* t_folderSyncs = nullptr;

void syncFolderNow(const QString& folder)
{
    const int dirFd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd >= 0) {
        ::fsync(dirFd);
        ::close(dirFd);
    }
}

} // namespace

void syncRenamedFolder(const QString& folder)
{
    if (t_folderSyncs)
        t_folderSyncs->add(folder);
    else
        syncFolderNow(folder);
}

FolderSyncBatch::FolderSyncBatch()
    : m_outer(t_folderSyncs)
{
    t_folderSyncs = this;
}

FolderSyncBatch::~FolderSyncBatch()
{
    flush();
    t_folderSyncs = m_outer;
}

void FolderSyncBatch::flush()
{
    for (const QString& folder : std::as_const(m_folders))
        syncFolderNow(folder);
    m_folders.clear();
}

bool replaceFileRange(
    const QString& path, qint64 start, qint64 end, const QByteArray& bytes, FileError* err, QStringList* notKept)
{
    return replaceRange(path, start, end, { bytes }, err, notKept, {});
}

bool replaceFileRange(const QString& path, qint64 start, qint64 end, const QList<QByteArrayView>& pieces,
    FileError* err, QStringList* notKept)
{
    return replaceRange(path, start, end, pieces, err, notKept, {});
}

bool replaceFileRange(const QString& path, qint64 start, qint64 end, const QByteArray& bytes, FileError* err,
    const std::function<void(int)>& spoil)
{
    return replaceRange(path, start, end, { bytes }, err, nullptr, spoil);
}

QStringList removeLeftoverCopies(const QStringList& files)
{
    // One listing per folder: a journal names thousands of files in a few
    // folders.
    QHash<QString, QStringList> byFolder;
    for (const QString& file : files) {
        const QFileInfo info(QFileInfo(file).canonicalFilePath());
        TagSnapshot whole;
        if (info.filePath().isEmpty() || !info.isFile() || !readTagSnapshot(info.filePath(), &whole))
            continue;
        QStringList& prefixes = byFolder[info.absolutePath()];
        prefixes << copyPrefix(info.fileName());
        if (info.fileName().size() < kShownChars) // the older name, where it is unambiguous
            prefixes << QStringLiteral(".velmora-") + info.fileName() + QLatin1Char('.');
    }
    QStringList removed;
    for (auto it = byFolder.cbegin(); it != byFolder.cend(); ++it) {
        const QDir folder(it.key());
        const QStringList entries
            = folder.entryList({ QStringLiteral(".velmora-*") }, QDir::Files | QDir::Hidden | QDir::NoSymLinks);
        for (const QString& entry : entries) {
            for (const QString& prefix : it.value()) {
                if (!isCopyOf(entry, prefix))
                    continue;
                const QString copy = folder.filePath(entry);
                if (QFile::remove(copy))
                    removed << copy;
                break;
            }
        }
    }
    return removed;
}

QString copyNamePrefix(const QString& fileName)
{
    return copyPrefix(fileName);
}
