#include "tagjournal.h"

#include "platform/datafolder.h"
#include "tags/safefilewrite.h"

#include <QBuffer>
#include <QDataStream>
#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <optional>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr quint32 kMagic = 0x564c4a32; // "VLJ2"
constexpr quint32 kOldMagic = 0x564c4a31; // "VLJ1": no mode, no closing record, no after-record for unchanged files
constexpr quint8 kBefore = 1;
constexpr quint8 kAfter = 2;
constexpr quint8 kEnd = 3;
constexpr quint8 kNoted = 4;
// A before-record of a file read through TagLib: its format and items in
// place of the MP3 tag bytes. MP3 files keep kBefore, so a journal of MP3
// files alone reads as it always did.
constexpr quint8 kBeforeItems = 5;
constexpr int kListedPaths = 20;
const QString kCrLf = QStringLiteral("\r\n");

struct AfterRecord {
    qint64 size = 0;
    qint64 mtimeNs = 0;
    quint32 mode = 0;
    QByteArray hash;
    bool changed = true;
};

// One file of the journal: its before-record and, when it was written, its
// after-record.
struct Entry {
    QString path;
    TagSnapshot before;
    std::optional<AfterRecord> after;
};

// What a walk over the journal found besides its entries.
struct Walk {
    bool complete = false; // a closing record, or an old journal
    bool noted = false;
    bool inUse = false;
    int recorded = 0; // before-records
    qint64 wholeLength = 0; // bytes up to the end of the last whole record
};

QByteArray record(const std::function<void(QDataStream&)>& fill)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QDataStream out(&buffer);
    out.setVersion(QDataStream::Qt_6_0);
    fill(out);
    return bytes;
}

QByteArray beforeRecord(const QString& path, const TagSnapshot& s)
{
    return record([&](QDataStream& out) {
        if (s.throughTagLib())
            out << kBeforeItems << path << s.size << s.mtimeNs << s.mode << qint32(s.format) << s.items;
        else
            out << kBefore << path << s.size << s.mtimeNs << s.mode << s.v2 << s.trailer;
    });
}

QByteArray afterRecord(const QString& path, const AfterRecord& a)
{
    return record(
        [&](QDataStream& out) { out << kAfter << path << a.size << a.mtimeNs << a.mode << a.hash << a.changed; });
}

const FileError& inUseError()
{
    static const FileError error { 51, QStringLiteral("The undo journal is in use by another running Velmora") };
    return error;
}

// Opens the journal locked against (shared) or by (exclusive) a run that
// writes it.
bool openLocked(QFile& file, QIODevice::OpenMode mode, FileError* err, bool* inUse = nullptr)
{
    errno = 0;
    if (!file.open(mode)) {
        const FileError e = fileErrorFromErrno(errno ? errno : ENOENT);
        return reportFileError(err, e.ok() ? FileError { 51, file.errorString() } : e);
    }
    if (::flock(file.handle(), ((mode & QIODevice::WriteOnly) ? LOCK_EX : LOCK_SH) | LOCK_NB) != 0) {
        file.close();
        if (inUse)
            *inUse = true;
        return reportFileError(err, inUseError());
    }
    return reportFileError(err, {});
}

// A byte array of the journal, skipped when its bytes are not wanted.
void readBytes(QDataStream& in, QByteArray* out, bool keep)
{
    if (keep) {
        in >> *out;
        return;
    }
    quint32 length = 0;
    in >> length;
    if (length != 0xffffffff && in.skipRawData(int(length)) != int(length))
        in.setStatus(QDataStream::ReadPastEnd);
}

// Reads the open journal record by record and hands over each file in
// journal order. A record cut short (a run killed in the middle of one)
// ends the walk. False when it is not a journal.
bool walkOpen(QFile& file, Walk* walk, FileError* err, const std::function<void(const Entry&)>& entry, bool withTags)
{
    QDataStream in(&file);
    in.setVersion(QDataStream::Qt_6_0);
    quint32 magic = 0;
    in >> magic;
    if (in.status() != QDataStream::Ok || (magic != kMagic && magic != kOldMagic))
        return reportFileError(err, { 51, QStringLiteral("The file is not an undo journal") });
    const bool old = magic == kOldMagic;
    walk->complete = old;
    walk->wholeLength = file.pos();
    // Files in journal order whose after-record may still come: an old
    // journal wrote one file at a time.
    const qsizetype inFlight = old ? 1 : TagJournal::kInterleaveLimit;
    QList<Entry> pending;
    const auto handOverFirst = [&] {
        // An old journal wrote no after-record for a file left unchanged.
        if ((pending.first().after || !old) && entry)
            entry(pending.first());
        pending.removeFirst();
    };
    // Finished files go in journal order; one whose after-record can no
    // longer come (too many files began since) goes as cut short.
    const auto handOver = [&] {
        while (!pending.isEmpty() && (pending.first().after || pending.size() > inFlight))
            handOverFirst();
    };
    while (!in.atEnd()) {
        quint8 kind = 0;
        in >> kind;
        if (kind == kBefore || (kind == kBeforeItems && !old)) {
            Entry e;
            in >> e.path >> e.before.size >> e.before.mtimeNs;
            if (!old)
                in >> e.before.mode;
            if (kind == kBeforeItems) {
                qint32 format = -1;
                in >> format;
                if (format <= int(AudioFormat::Mp3) || format > int(AudioFormat::Mp4))
                    break; // not a record this program wrote
                e.before.format = AudioFormat(format);
                readBytes(in, &e.before.items, withTags);
            } else {
                readBytes(in, &e.before.v2, withTags);
                readBytes(in, &e.before.trailer, withTags);
            }
            if (in.status() != QDataStream::Ok)
                break;
            pending.append(e);
            handOver();
            ++walk->recorded;
        } else if (kind == kAfter) {
            QString path;
            AfterRecord a;
            in >> path >> a.size >> a.mtimeNs;
            if (!old)
                in >> a.mode;
            in >> a.hash;
            if (!old)
                in >> a.changed;
            if (in.status() != QDataStream::Ok)
                break;
            // The latest of the file's before-records is its own.
            const auto own = std::find_if(
                pending.rbegin(), pending.rend(), [&](const Entry& e) { return e.path == path && !e.after; });
            if (own != pending.rend()) {
                if (old)
                    a.mode = own->before.mode; // unknown: taken as unchanged
                own->after = a;
                handOver();
            }
        } else if (kind == kEnd && !old) {
            walk->complete = true;
        } else if (kind == kNoted && !old) {
            walk->noted = true;
        } else {
            break;
        }
        walk->wholeLength = file.pos();
    }
    while (!pending.isEmpty())
        handOverFirst();
    return reportFileError(err, {});
}

bool walkJournal(const QString& journalPath, Walk* walk, FileError* err, const std::function<void(const Entry&)>& entry,
    bool withTags)
{
    QFile file(journalPath);
    return openLocked(file, QIODevice::ReadOnly, err, &walk->inUse) && walkOpen(file, walk, err, entry, withTags);
}

bool mayHaveChanged(const Entry& e)
{
    return !e.after || e.after->changed;
}

QString listed(const QStringList& lines)
{
    QString text;
    for (int i = 0; i < lines.size() && i < kListedPaths; ++i)
        text += lines.at(i) + kCrLf;
    if (lines.size() > kListedPaths)
        text += QStringLiteral("... And ") + QString::number(lines.size() - kListedPaths) + QStringLiteral(" More")
            + kCrLf;
    return text;
}

} // namespace

QString TagJournal::defaultFolder()
{
    return userDataFolder();
}

QString TagJournal::multiTaggerJournal(const QString& folder)
{
    return folder + QStringLiteral("MultiTagger-Undo.journal");
}

QString TagJournal::tagSaveJournal(const QString& folder)
{
    return folder + QStringLiteral("TagSave-Undo.journal");
}

TagJournal::TagJournal(const QString& path, int syncEvery)
    : m_file(path)
    , m_syncEvery(qMax(1, syncEvery))
{
}

TagJournal::~TagJournal()
{
    end();
}

bool TagJournal::begin(FileError* err)
{
    end();
    const QMutexLocker lock(&m_lock);
    m_changed = 0;
    m_written.clear();
    m_unsynced = 0;
    m_whole = 0;
    m_broken = false;
    const QString folder = QFileInfo(m_file.fileName()).absolutePath();
    QDir().mkpath(folder);
    // Emptied only once locked: the journal of a run still going on in
    // another Velmora stays as it is.
    if (!openLocked(m_file, QIODevice::ReadWrite, err))
        return false;
    if (!m_file.resize(0)) {
        m_file.close();
        return reportFileError(err, { 61, m_file.errorString() });
    }
    if (!append(record([](QDataStream& out) { out << kMagic; }), true, err)) {
        m_file.close();
        return false;
    }
    // The journal's name on the disk, too.
    const int dirFd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd >= 0) {
        ::fsync(dirFd);
        ::close(dirFd);
    }
    return true;
}

// Hands the record to the kernel at once (a killed program loses nothing
// written so far) and to the disk every m_syncEvery records. A record that
// cannot be written whole is taken back, so that the records after it stay
// readable; when even that fails, nothing more is written.
bool TagJournal::append(const QByteArray& bytes, bool sync, FileError* err)
{
    if (!m_file.isOpen() || m_broken)
        return reportFileError(err, { 51, QStringLiteral("The undo journal is not open") });
    errno = 0;
    if (m_file.write(bytes) != bytes.size() || !m_file.flush()) {
        const FileError e = fileErrorFromErrno(errno);
        if (!m_file.resize(m_whole) || !m_file.seek(m_whole))
            m_broken = true;
        return reportFileError(err, e.ok() ? FileError { 61, m_file.errorString() } : e);
    }
    m_whole += bytes.size();
    if (sync || ++m_unsynced >= m_syncEvery) {
        m_unsynced = 0;
        if (::fdatasync(m_file.handle()) != 0)
            return reportFileError(err, fileErrorFromErrno(errno));
    }
    return reportFileError(err, {});
}

bool TagJournal::recordBefore(const QString& file, FileError* err)
{
    // Read and encoded unlocked: another thread's file goes on meanwhile.
    TagSnapshot s;
    if (!readTagSnapshot(file, &s, err))
        return false;
    const QByteArray bytes = beforeRecord(file, s);
    const QMutexLocker lock(&m_lock);
    m_written.remove(file);
    if (!append(bytes, false, err))
        return false;
    m_written.insert(file, s);
    return true;
}

bool TagJournal::recordAfter(const QString& file)
{
    TagSnapshot before;
    {
        const QMutexLocker lock(&m_lock);
        if (!m_written.contains(file) || !m_file.isOpen())
            return false;
        before = m_written.take(file);
    }
    TagSnapshot now;
    if (!readTagSnapshot(file, &now))
        return false;
    // Written for an unchanged file too: a before-record without its
    // after-record then means that the run ended during that file's write.
    const bool changed = now.size != before.size || !now.sameTags(before);
    const QByteArray bytes = afterRecord(file, { now.size, now.mtimeNs, now.mode, now.tagHash(), changed });
    const QMutexLocker lock(&m_lock);
    if (!append(bytes, false, nullptr))
        return false;
    m_changed += changed;
    return changed;
}

int TagJournal::changedCount() const
{
    const QMutexLocker lock(&m_lock);
    return m_changed;
}

void TagJournal::end()
{
    const QMutexLocker lock(&m_lock);
    if (!m_file.isOpen())
        return;
    append(record([](QDataStream& out) { out << kEnd; }), true, nullptr);
    m_file.close();
    m_written.clear();
}

TagJournalSummary summarizeTagJournal(const QString& journalPath)
{
    TagJournalSummary summary;
    summary.exists = QFileInfo::exists(journalPath);
    Walk walk;
    if (!summary.exists || !walkJournal(journalPath, &walk, nullptr, {}, false)) {
        summary.inUse = walk.inUse;
        return summary;
    }
    summary.interrupted = !walk.complete;
    summary.noted = walk.noted;
    summary.changes = walk.recorded;
    return summary;
}

bool markTagJournalNoted(const QString& journalPath, FileError* err)
{
    QFile file(journalPath);
    if (!openLocked(file, QIODevice::ReadWrite, err))
        return false;
    Walk walk;
    if (!walkOpen(file, &walk, err, {}, false))
        return false;
    if (walk.complete || walk.noted)
        return true;
    const QByteArray noted = record([](QDataStream& out) { out << kNoted; });
    errno = 0;
    if (!file.resize(walk.wholeLength) || !file.seek(walk.wholeLength) || file.write(noted) != noted.size()
        || !file.flush() || ::fdatasync(file.handle()) != 0) {
        const FileError e = fileErrorFromErrno(errno);
        return reportFileError(err, e.ok() ? FileError { 61, file.errorString() } : e);
    }
    return true;
}

QString tagJournalInterruptedText(const TagJournalSummary& summary, const QString& what)
{
    if (!summary.interrupted)
        return {};
    return what + QStringLiteral(" Was Interrupted: Its Journal Holds ") + QString::number(summary.changes)
        + (summary.changes == 1 ? QStringLiteral(" Change.") : QStringLiteral(" Changes."));
}

QStringList tagJournalChangedFiles(const QString& journalPath)
{
    QStringList files;
    Walk walk;
    walkJournal(
        journalPath, &walk, nullptr,
        [&](const Entry& e) {
            if (mayHaveChanged(e))
                files << e.path;
        },
        false);
    return files;
}

QStringList removeTagJournalLeftovers(const QString& journalPath)
{
    QStringList files;
    Walk walk;
    if (!walkJournal(
            journalPath, &walk, nullptr, [&](const Entry& e) { files << e.path; }, false))
        return {};
    return removeLeftoverCopies(files);
}

TagUndoReport undoTagJournal(const QString& journalPath, const std::function<void(const QString&)>& status)
{
    TagUndoReport report;
    struct Kept {
        QString path;
        TagSnapshot before;
        AfterRecord after;
    };
    QList<Kept> failedEntries;
    QStringList files;
    Walk walk;
    const bool read = walkJournal(
        journalPath, &walk, &report.journalError,
        [&](const Entry& e) {
            files << e.path;
            if (!mayHaveChanged(e))
                return;
            if (status)
                status(e.path);
            TagSnapshot now;
            FileError error;
            // The modification time alone is no change: the main window
            // rewrites an identical trailer at every load. Only the tag
            // bytes are written back, so those and the size decide.
            if (!readTagSnapshot(e.path, &now, &error)) {
                report.changedSince << e.path;
                return;
            }
            bool untouched = false;
            AfterRecord after;
            if (e.after) {
                after = *e.after;
                if (now.size != after.size || now.tagHash() != after.hash) {
                    report.changedSince << e.path;
                    return;
                }
            } else {
                // The run ended during this file's write: its tags tell
                // whether the write happened. The mode is what a write
                // that made the file writable left.
                untouched = now.size == e.before.size && now.sameTags(e.before);
                if (!untouched && !now.sameAudioShape(e.before)) {
                    report.changedSince << e.path;
                    return;
                }
                after = { now.size, now.mtimeNs, e.before.mode | S_IWUSR, now.tagHash(), true };
            }
            // The mode goes back only when the run changed it and nobody
            // has since.
            TagSnapshot wanted = e.before;
            if (now.mode != after.mode)
                wanted.mode = now.mode;
            if (untouched && wanted.mode == now.mode) {
                report.notDone << e.path;
                return;
            }
            if (!restoreTagSnapshot(e.path, now, wanted, &error)) {
                report.failed.append({ e.path, error });
                failedEntries.append({ e.path, e.before, after });
            } else if (untouched) {
                report.notDone << e.path;
            } else {
                report.restored << e.path;
            }
        },
        true);
    if (!read)
        return report;
    report.removedCopies = removeLeftoverCopies(files);
    if (failedEntries.isEmpty()) {
        QFile::remove(journalPath);
        return report;
    }
    // Keep what could not be put back, so that a later undo can try again.
    QSaveFile file(journalPath);
    if (file.open(QIODevice::WriteOnly)) {
        file.write(record([](QDataStream& out) { out << kMagic; }));
        for (const Kept& k : failedEntries)
            file.write(beforeRecord(k.path, k.before) + afterRecord(k.path, k.after));
        file.write(record([](QDataStream& out) { out << kEnd; }));
        file.commit();
    }
    return report;
}

QString tagUndoProblemsText(const TagUndoReport& report)
{
    QString text;
    if (!report.changedSince.isEmpty())
        text += QStringLiteral("These Files Were Changed Since And Were Left Alone:") + kCrLf + kCrLf
            + listed(report.changedSince);
    if (!report.failed.isEmpty()) {
        QStringList lines;
        for (const TagUndoReport::Failure& f : report.failed)
            lines << f.path + QStringLiteral(" - Error: ") + f.error.description + QStringLiteral(" (")
                    + QString::number(f.error.number) + QLatin1Char(')');
        if (!text.isEmpty())
            text += kCrLf;
        text += QStringLiteral("These Files Could Not Be Restored:") + kCrLf + kCrLf + listed(lines);
    }
    return text;
}
