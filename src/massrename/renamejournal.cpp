#include "renamejournal.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace {

const QByteArray kHeaderV1 = "Velmora Rename Journal 1";
const QByteArray kHeader = "Velmora Rename Journal 2";
const QByteArray kLog = "log";
const QByteArray kRename = "rename";
const QByteArray kTrailer = "trailer";
const QByteArray kWritten = "written";
const QByteArray kEnd = "end";
const QByteArray kNoted = "noted";
const QByteArray kUndone = "undone";
// A sync costs milliseconds: batches keep a run fast, and a killed program
// loses nothing anyway (every record is with the system before its change).
constexpr int kSyncEvery = 512;
constexpr qint64 kSyncAfterMs = 1000;

QByteArray field(const QString& text)
{
    return text.toUtf8().toPercentEncoding(" ");
}
QString text(const QByteArray& field)
{
    return QString::fromUtf8(QByteArray::fromPercentEncoding(field));
}
QByteArray number(qint64 n)
{
    return QByteArray::number(n);
}

bool allOk(std::initializer_list<bool> oks)
{
    return std::all_of(oks.begin(), oks.end(), [](bool b) { return b; });
}

bool validPlace(const RenameRecord& r)
{
    return r.dir.endsWith(QLatin1Char('/')) && !r.oldName.isEmpty();
}

bool validTail(const QByteArray& tail)
{
    return tail.isEmpty() || (tail.size() == kTrailerBytes && tail.startsWith("TAG"));
}

// The first journal's only line kind: a rename with the trailer the run
// rewrote before it.
bool parseV1Line(const QByteArray& line, RenameRecord* r)
{
    const QList<QByteArray> f = line.split('\t');
    if (f.size() != 10)
        return false;
    bool ok[5] = {};
    r->dir = text(f[0]);
    r->oldName = text(f[1]);
    r->newName = text(f[2]);
    r->after.device = f[3].toULongLong(&ok[0]);
    r->after.inode = f[4].toULongLong(&ok[1]);
    r->after.size = f[5].toLongLong(&ok[2]);
    r->after.modifiedNs = f[6].toLongLong(&ok[3]);
    r->after.symlink = f[7] == "1";
    r->tailKeep = f[8].toLongLong(&ok[4]);
    r->tail = QByteArray::fromHex(f[9]);
    r->haveStamp = true;
    return allOk({ ok[0], ok[1], ok[2], ok[3], ok[4], validPlace(*r), !r->newName.isEmpty() });
}

bool parseRename(const QList<QByteArray>& f, RenameRecord* r)
{
    if (f.size() != 10)
        return false;
    bool ok[5] = {};
    r->kind = RenameRecord::Kind::Rename;
    r->dir = text(f[1]);
    r->oldName = text(f[2]);
    r->newName = text(f[3]);
    r->after.device = f[4].toULongLong(&ok[0]);
    r->after.inode = f[5].toULongLong(&ok[1]);
    r->after.size = f[6].toLongLong(&ok[2]);
    r->after.modifiedNs = f[7].toLongLong(&ok[3]);
    r->after.symlink = f[8] == "1";
    r->modeBefore = f[9].toInt(&ok[4]);
    r->haveStamp = true;
    return allOk({ ok[0], ok[1], ok[2], ok[3], ok[4], validPlace(*r), !r->newName.isEmpty() });
}

bool parseTrailer(const QList<QByteArray>& f, RenameRecord* r)
{
    if (f.size() != 8)
        return false;
    bool ok[4] = {};
    r->kind = RenameRecord::Kind::Trailer;
    r->dir = text(f[1]);
    r->oldName = text(f[2]);
    r->sizeBefore = f[3].toLongLong(&ok[0]);
    r->modifiedBefore = f[4].toLongLong(&ok[1]);
    r->modeBefore = f[5].toInt(&ok[2]);
    r->tailKeep = f[6].toLongLong(&ok[3]);
    r->tail = QByteArray::fromHex(f[7]);
    return allOk({ ok[0], ok[1], ok[2], ok[3], validPlace(*r), validTail(r->tail),
        r->tailKeep >= 0 && r->tailKeep + r->tail.size() == r->sizeBefore });
}

// A trailer write's outcome belongs to the trailer record just before it.
bool parseWritten(const QList<QByteArray>& f, RenameRecord* into)
{
    if (f.size() != 7 || into->kind != RenameRecord::Kind::Trailer || into->haveStamp || text(f[1]) != into->dir
        || text(f[2]) != into->oldName)
        return false;
    FileStamp s;
    bool ok[4] = {};
    s.device = f[3].toULongLong(&ok[0]);
    s.inode = f[4].toULongLong(&ok[1]);
    s.size = f[5].toLongLong(&ok[2]);
    s.modifiedNs = f[6].toLongLong(&ok[3]);
    if (!allOk({ ok[0], ok[1], ok[2], ok[3] }))
        return false;
    into->after = s;
    into->haveStamp = true;
    return true;
}

QByteArray stampFields(const FileStamp& s)
{
    return number(qint64(s.device)) + '\t' + number(qint64(s.inode)) + '\t' + number(s.size) + '\t'
        + number(s.modifiedNs);
}

FileError errnoError(int e)
{
    return fileErrorFromErrno(e ? e : EIO);
}

bool appendLine(const QString& path, const QByteArray& line, FileError* err)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_APPEND | O_CLOEXEC);
    if (fd < 0)
        return reportFileError(err, errnoError(errno));
    const QByteArray bytes = line + '\n';
    const bool written = ::write(fd, bytes.constData(), size_t(bytes.size())) == bytes.size();
    const int e = errno;
    const bool synced = written && ::fdatasync(fd) == 0;
    ::close(fd);
    return reportFileError(err, synced ? FileError {} : errnoError(written ? errno : e));
}

} // namespace

QString journalPathFor(const QString& logPath)
{
    return logPath + QStringLiteral(".undo");
}

bool parseRenamedLine(const QString& line, QString* dir, QString* oldName, QString* newName)
{
    static const QString kSep = QStringLiteral(" Renamed As ");
    for (qsizetype at = line.indexOf(kSep); at >= 0; at = line.indexOf(kSep, at + 1)) {
        const QString from = line.left(at);
        const QString to = line.mid(at + kSep.size());
        const qsizetype slash = from.lastIndexOf(QLatin1Char('/'));
        if (slash < 0)
            continue;
        const QString folder = from.left(slash + 1);
        if (!to.startsWith(folder) || to.indexOf(QLatin1Char('/'), folder.size()) >= 0)
            continue;
        const QString before = from.mid(slash + 1);
        const QString after = to.mid(folder.size());
        if (before.isEmpty() || after.isEmpty())
            continue;
        *dir = folder;
        *oldName = before;
        *newName = after;
        return true;
    }
    return false;
}

RenameJournal::~RenameJournal()
{
    close();
}

bool RenameJournal::create(const QString& path, const QString& logPath, FileError* err)
{
    close();
    const int fd
        = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CREAT | O_EXCL | O_APPEND | O_CLOEXEC, 0644);
    if (fd < 0)
        return reportFileError(err, errnoError(errno));
    // Held while the run goes on, so another Velmora never takes the run
    // for an interrupted one; the system lets go when the process ends.
    ::flock(fd, LOCK_EX | LOCK_NB);
    m_fd = fd;
    m_path = path;
    m_unsynced = 0;
    // The journal itself must be there before the first change.
    if (!writeLine(kHeader, err) || !writeLine(kLog + '\t' + field(logPath), err) || ::fdatasync(m_fd) != 0) {
        const FileError e = errnoError(errno);
        close();
        QFile::remove(path);
        return reportFileError(err, e);
    }
    m_sinceSync.start();
    return reportFileError(err, {});
}

bool RenameJournal::writeLine(const QByteArray& line, FileError* err)
{
    if (m_fd < 0)
        return reportFileError(err, { 51, QStringLiteral("The undo journal is not open") });
    const QByteArray bytes = line + '\n';
    qint64 done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(m_fd, bytes.constData() + done, size_t(bytes.size() - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return reportFileError(err, errnoError(n < 0 ? errno : ENOSPC));
        done += n;
    }
    if (++m_unsynced >= kSyncEvery || (m_sinceSync.isValid() && m_sinceSync.elapsed() >= kSyncAfterMs)) {
        if (::fdatasync(m_fd) != 0)
            return reportFileError(err, errnoError(errno));
        m_unsynced = 0;
        m_sinceSync.restart();
    }
    return reportFileError(err, {});
}

bool RenameJournal::append(const RenameRecord& r, FileError* err)
{
    QByteArray line;
    if (r.kind == RenameRecord::Kind::Rename) {
        line = kRename + '\t' + field(r.dir) + '\t' + field(r.oldName) + '\t' + field(r.newName) + '\t'
            + stampFields(r.after) + '\t' + (r.after.symlink ? "1" : "0") + '\t' + number(r.modeBefore);
    } else {
        line = kTrailer + '\t' + field(r.dir) + '\t' + field(r.oldName) + '\t' + number(r.sizeBefore) + '\t'
            + number(r.modifiedBefore) + '\t' + number(r.modeBefore) + '\t' + number(r.tailKeep) + '\t'
            + r.tail.toHex();
    }
    return writeLine(line, err);
}

bool RenameJournal::appendTrailerWritten(
    const QString& dir, const QString& name, const FileStamp& stamp, FileError* err)
{
    return writeLine(kWritten + '\t' + field(dir) + '\t' + field(name) + '\t' + stampFields(stamp), err);
}

bool RenameJournal::finish(FileError* err)
{
    if (m_fd < 0)
        return reportFileError(err, {});
    bool ok = writeLine(kEnd, err);
    if (ok && ::fdatasync(m_fd) != 0)
        ok = reportFileError(err, errnoError(errno));
    close();
    return ok;
}

void RenameJournal::close()
{
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
}

bool renameJournalInUse(const QString& path)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool inUse = ::flock(fd, LOCK_SH | LOCK_NB) != 0 && errno == EWOULDBLOCK;
    ::close(fd);
    return inUse;
}

bool readRenameJournal(const QString& path, RenameJournalContents* out, FileError* err)
{
    *out = {};
    QFile file(path);
    errno = 0;
    if (!file.open(QIODevice::ReadOnly))
        return reportFileError(err, errnoError(errno ? errno : ENOENT));
    QList<QByteArray> lines = file.readAll().split('\n');
    // The text after the last line feed is a record the run did not finish
    // writing (or nothing).
    lines.removeLast();
    if (lines.isEmpty() || (lines.first() != kHeader && lines.first() != kHeaderV1))
        return reportFileError(err, { 13, QStringLiteral("The file is not a mass rename journal") });
    if (lines.first() == kHeaderV1) {
        // The first journals had no closing record.
        out->closed = true;
        for (qsizetype i = 1; i < lines.size(); ++i) {
            RenameRecord r;
            if (parseV1Line(lines.at(i), &r))
                out->records.append(r);
        }
        return reportFileError(err, {});
    }
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QList<QByteArray> f = lines.at(i).split('\t');
        const QByteArray& kind = f.first();
        RenameRecord r;
        if (kind == kRename && parseRename(f, &r)) {
            // A rename right after a trailer write leaves the file as that
            // write did: its stamp is the write's outcome too.
            RenameRecord* before = out->records.isEmpty() ? nullptr : &out->records.last();
            if (before && before->kind == RenameRecord::Kind::Trailer && !before->haveStamp && before->dir == r.dir
                && before->oldName == r.oldName) {
                before->after = r.after;
                before->haveStamp = true;
            }
            out->records.append(r);
        } else if (kind == kTrailer && parseTrailer(f, &r))
            out->records.append(r);
        else if (kind == kWritten && !out->records.isEmpty())
            parseWritten(f, &out->records.last());
        else if (kind == kLog && f.size() == 2)
            out->logPath = text(f[1]);
        else if (kind == kEnd)
            out->closed = true;
        else if (kind == kNoted)
            out->noted = true;
        else if (kind == kUndone)
            out->undone = true;
    }
    return reportFileError(err, {});
}

bool markRenameJournal(const QString& path, JournalMark mark, FileError* err)
{
    return appendLine(path, mark == JournalMark::Noted ? kNoted : kUndone, err);
}

bool readRenameRecords(const QString& path, QList<RenameRecord>* out, FileError* err)
{
    out->clear();
    RenameJournalContents contents;
    const bool isJournal = path.endsWith(QLatin1String(".undo"));
    FileError journalError;
    if (readRenameJournal(isJournal ? path : journalPathFor(path), &contents, &journalError)) {
        *out = contents.records;
        return reportFileError(err, {});
    }
    if (isJournal)
        return reportFileError(err, journalError);

    QFile log(path);
    errno = 0;
    if (!log.open(QIODevice::ReadOnly)) {
        FileError e = fileErrorFromErrno(errno);
        if (e.ok())
            e = { 53, log.errorString() };
        return reportFileError(err, e);
    }
    const qint64 until = (QFileInfo(log).lastModified().toMSecsSinceEpoch() + 1) * 1000000 - 1;
    // Lines end in CR LF; a bare line feed inside a name stays in its line.
    const QStringList lines = QString::fromUtf8(log.readAll()).split(QStringLiteral("\r\n"));
    for (const QString& line : lines) {
        RenameRecord r;
        if (parseRenamedLine(line, &r.dir, &r.oldName, &r.newName)) {
            r.unchangedUntilNs = until;
            out->append(r);
        }
    }
    return reportFileError(err, {});
}
