#include "tagjournal.h"

#include "platform/datafolder.h"

#include <QDataStream>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include <cerrno>

namespace {

constexpr quint32 kMagic = 0x564c4a31; // "VLJ1"
constexpr quint8 kBefore = 1;
constexpr quint8 kAfter = 2;
constexpr int kListedPaths = 20;
const QString kCrLf = QStringLiteral("\r\n");

struct AfterRecord {
    qint64 size = 0;
    qint64 mtimeNs = 0;
    QByteArray hash;
};

void writeBefore(QDataStream& out, const QString& path, const TagSnapshot& s)
{
    out << kBefore << path << s.size << s.mtimeNs << s.v2 << s.trailer;
}

void writeAfter(QDataStream& out, const QString& path, const AfterRecord& a)
{
    out << kAfter << path << a.size << a.mtimeNs << a.hash;
}

// Reads the journal record by record; a record cut short (a run that ended
// in the middle of one) ends the walk. Returns false when the file cannot be
// opened or is not a journal.
bool walkJournal(const QString& journalPath, FileError* err,
    const std::function<void(const QString&, const TagSnapshot&, const AfterRecord&)>& changed)
{
    QFile file(journalPath);
    errno = 0;
    if (!file.open(QIODevice::ReadOnly))
        return reportFileError(err, fileErrorFromErrno(errno ? errno : ENOENT));
    QDataStream in(&file);
    in.setVersion(QDataStream::Qt_6_0);
    quint32 magic = 0;
    in >> magic;
    if (magic != kMagic)
        return reportFileError(err, { 51, QStringLiteral("The file is not an undo journal") });
    QString beforePath;
    TagSnapshot before;
    bool haveBefore = false;
    while (!in.atEnd()) {
        quint8 kind = 0;
        QString path;
        in >> kind >> path;
        if (kind == kBefore) {
            TagSnapshot s;
            in >> s.size >> s.mtimeNs >> s.v2 >> s.trailer;
            if (in.status() != QDataStream::Ok)
                break;
            beforePath = path;
            before = s;
            haveBefore = true;
        } else if (kind == kAfter) {
            AfterRecord a;
            in >> a.size >> a.mtimeNs >> a.hash;
            if (in.status() != QDataStream::Ok)
                break;
            if (haveBefore && path == beforePath)
                changed(path, before, a);
            haveBefore = false;
        } else {
            break;
        }
    }
    return reportFileError(err, {});
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

TagJournal::TagJournal(const QString& path)
    : m_file(path)
{
}

TagJournal::~TagJournal()
{
    end();
}

bool TagJournal::begin(FileError* err)
{
    end();
    m_changed = 0;
    m_haveBefore = false;
    QDir().mkpath(QFileInfo(m_file.fileName()).absolutePath());
    errno = 0;
    if (!m_file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        const FileError e = fileErrorFromErrno(errno);
        return reportFileError(err, e.ok() ? FileError { 51, m_file.errorString() } : e);
    }
    QDataStream out(&m_file);
    out.setVersion(QDataStream::Qt_6_0);
    out << kMagic;
    if (out.status() != QDataStream::Ok || !m_file.flush()) {
        const FileError e = fileErrorFromErrno(errno);
        m_file.close();
        return reportFileError(err, e.ok() ? FileError { 61, m_file.errorString() } : e);
    }
    return reportFileError(err, {});
}

bool TagJournal::recordBefore(const QString& file, FileError* err)
{
    m_haveBefore = false;
    TagSnapshot s;
    if (!readTagSnapshot(file, &s, err))
        return false;
    if (!m_file.isOpen())
        return reportFileError(err, { 51, QStringLiteral("The undo journal is not open") });
    QDataStream out(&m_file);
    out.setVersion(QDataStream::Qt_6_0);
    errno = 0;
    writeBefore(out, file, s);
    if (out.status() != QDataStream::Ok || !m_file.flush()) {
        const FileError e = fileErrorFromErrno(errno);
        return reportFileError(err, e.ok() ? FileError { 61, m_file.errorString() } : e);
    }
    m_lastPath = file;
    m_lastBefore = s;
    m_haveBefore = true;
    return reportFileError(err, {});
}

bool TagJournal::recordAfter(const QString& file)
{
    if (!m_haveBefore || file != m_lastPath || !m_file.isOpen())
        return false;
    m_haveBefore = false;
    TagSnapshot now;
    if (!readTagSnapshot(file, &now))
        return false;
    if (now.size == m_lastBefore.size && now.sameTags(m_lastBefore))
        return false;
    QDataStream out(&m_file);
    out.setVersion(QDataStream::Qt_6_0);
    writeAfter(out, file, { now.size, now.mtimeNs, now.tagHash() });
    m_file.flush();
    ++m_changed;
    return true;
}

void TagJournal::end()
{
    if (m_file.isOpen())
        m_file.close();
}

QStringList tagJournalChangedFiles(const QString& journalPath)
{
    QStringList files;
    walkJournal(
        journalPath, nullptr, [&](const QString& path, const TagSnapshot&, const AfterRecord&) { files << path; });
    return files;
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
    const bool read = walkJournal(journalPath, &report.journalError,
        [&](const QString& path, const TagSnapshot& before, const AfterRecord& after) {
            if (status)
                status(path);
            TagSnapshot now;
            FileError error;
            // The modification time alone is no change: the main window
            // rewrites an identical trailer at every load. Only the tag
            // bytes are written back, so those and the size decide.
            if (!readTagSnapshot(path, &now, &error)) {
                report.changedSince << path;
                return;
            }
            if (now.size != after.size || now.tagHash() != after.hash) {
                report.changedSince << path;
                return;
            }
            if (restoreTagSnapshot(path, now, before, &error)) {
                report.restored << path;
            } else {
                report.failed.append({ path, error });
                failedEntries.append({ path, before, after });
            }
        });
    if (!read)
        return report;
    QFile::remove(journalPath);
    if (failedEntries.isEmpty())
        return report;
    // Keep what could not be put back, so that a later undo can try again.
    QFile file(journalPath);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        QDataStream out(&file);
        out.setVersion(QDataStream::Qt_6_0);
        out << kMagic;
        for (const Kept& k : failedEntries) {
            writeBefore(out, k.path, k.before);
            writeAfter(out, k.path, k.after);
        }
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
