#include "renamejournal.h"

#include <QFileInfo>

#include <algorithm>

#include <cerrno>

namespace {

const QByteArray kHeader = "Velmora Rename Journal 1";

QByteArray field(const QString& text)
{
    return text.toUtf8().toPercentEncoding(" ");
}
QString text(const QByteArray& field)
{
    return QString::fromUtf8(QByteArray::fromPercentEncoding(field));
}

bool parseJournalLine(const QByteArray& line, RenameRecord* r)
{
    const QList<QByteArray> f = line.split('\t');
    if (f.size() != 10)
        return false;
    bool ok[6] = {};
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
    ok[5] = r->dir.endsWith(QLatin1Char('/')) && !r->oldName.isEmpty() && !r->newName.isEmpty();
    r->haveStamp = true;
    return std::all_of(std::begin(ok), std::end(ok), [](bool b) { return b; });
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

bool RenameJournal::open(const QString& path, FileError* err)
{
    close();
    m_file.setFileName(path);
    if (!openTruncated(m_file, err))
        return false;
    if (m_file.write(kHeader + '\n') < 0)
        return reportFileError(err, { 51, m_file.errorString() });
    return true;
}

void RenameJournal::append(const RenameRecord& r)
{
    if (!m_file.isOpen())
        return;
    const FileStamp& s = r.after;
    QByteArray line = field(r.dir) + '\t' + field(r.oldName) + '\t' + field(r.newName) + '\t';
    line += QByteArray::number(s.device) + '\t' + QByteArray::number(s.inode) + '\t' + QByteArray::number(s.size) + '\t'
        + QByteArray::number(s.modifiedNs) + '\t' + (s.symlink ? "1" : "0") + '\t' + QByteArray::number(r.tailKeep)
        + '\t' + r.tail.toHex() + '\n';
    m_file.write(line);
}

void RenameJournal::close()
{
    if (m_file.isOpen())
        m_file.close();
}

bool readRenameRecords(const QString& logPath, QList<RenameRecord>* out, FileError* err)
{
    out->clear();
    QFile journal(journalPathFor(logPath));
    if (journal.open(QIODevice::ReadOnly)) {
        const QList<QByteArray> lines = journal.readAll().split('\n');
        if (!lines.isEmpty() && lines.first() == kHeader) {
            for (qsizetype i = 1; i < lines.size(); ++i) {
                RenameRecord r;
                if (parseJournalLine(lines.at(i), &r))
                    out->append(r);
            }
            return reportFileError(err, {});
        }
    }

    QFile log(logPath);
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
