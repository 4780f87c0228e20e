#include "massrenameundo.h"

#include "platform/clock.h"
#include "platform/filesystem.h"
#include "platform/platformservices.h"
#include "platform/prompter.h"

namespace {

const QString kCrLf = QStringLiteral("\r\n");

} // namespace

MassRenameUndo::MassRenameUndo(PlatformServices& services, MassRenameView& view)
    : m_services(services)
    , m_view(view)
    , m_logFolder(MassRenameLog::defaultFolder())
{
}

void MassRenameUndo::run(const QList<RenameRecord>& records, const QString& source)
{
    m_stopRequested = false;
    m_stopped = false;
    m_counters = {};
    m_tally = {};
    m_counters.found = records.size();
    m_tally.records = records.size();
    m_leftAlone.clear();
    m_notRenamedBack.clear();
    m_view.clearResults();
    m_view.showRunStatus(true);
    m_view.setRunControls(false);
    m_view.setStatusText(QStringLiteral("Undoing Mass Rename..."));
    m_view.setCounters(m_counters);

    const QDateTime started = m_services.clock->now();
    m_logFileName = m_logFolder + MassRenameLog::undoFileNameFor(started);
    FileError err;
    if (m_log.open(m_logFileName, &err)) {
        m_log.writeUndoOpening(source.isEmpty() ? QStringLiteral("The Last Mass Rename") : source, started);
    } else {
        m_services.prompter->message(QStringLiteral("Velmora"),
            QStringLiteral("Could Not Open Log File!") + kCrLf + kCrLf + err.description + QStringLiteral(" (")
                + QString::number(err.number) + QLatin1Char(')'),
            MsgIcon::Critical);
    }
    m_view.refreshNow();

    QString currentDir;
    for (qsizetype i = records.size() - 1; i >= 0; --i) {
        if (m_stopRequested) {
            m_stopped = true;
            break;
        }
        const RenameRecord& r = records.at(i);
        if (r.dir != currentDir) {
            currentDir = r.dir;
            m_view.setCurrentDir(currentDir);
        }
        ++m_tally.handled;
        undoOne(r);
        m_counters.total = m_tally.handled;
        m_counters.renamed = m_tally.renamedBack + m_tally.restored;
        m_counters.skipped = m_tally.leftAlone + m_tally.neverMade;
        m_counters.errors = m_tally.errors;
        m_view.setCounters(m_counters);
        m_view.progress();
    }

    if (m_stopped)
        m_log.writeStopped(m_counters.total, m_counters.found);
    m_log.writeUndoClosing(m_tally, m_services.clock->now());
    QString status = m_stopped ? QStringLiteral("Undo Stopped After ") + QString::number(m_tally.handled)
            + QStringLiteral(" Of ") + QString::number(m_tally.records) + QStringLiteral(" Changes")
                               : QStringLiteral("Undo Put Back ") + QString::number(m_counters.renamed)
            + QStringLiteral(" Of ") + QString::number(m_tally.handled) + QStringLiteral(" Changes");
    if (m_tally.neverMade > 0)
        status += QStringLiteral(", ") + QString::number(m_tally.neverMade) + QStringLiteral(" Never Made");
    if (m_tally.leftAlone > 0)
        status += QStringLiteral(", Left ") + QString::number(m_tally.leftAlone) + QStringLiteral(" Alone");
    if (m_tally.errors > 0)
        status += QStringLiteral(", ") + QString::number(m_tally.errors) + QStringLiteral(" Errors");
    m_view.setStatusText(status + QStringLiteral(" - View Log For Details"));
    m_view.setRunControls(true);
    m_view.showRunStatus(false);
    m_view.refreshNow();
}

void MassRenameUndo::undoOne(const RenameRecord& r)
{
    if (r.kind == RenameRecord::Kind::Trailer)
        undoTrailer(r);
    else
        undoRename(r);
}

void MassRenameUndo::undoRename(const RenameRecord& r)
{
    FileSystem& files = *m_services.files;
    const QString current = r.dir + r.newName;
    const QString old = r.dir + r.oldName;
    FileStamp now;
    FileError err;
    const bool found = files.stamp(current, &now, &err);
    const bool asLeft = found
        && (r.haveStamp ? now.sameState(r.after) : !(r.unchangedUntilNs >= 0 && now.modifiedNs > r.unchangedUntilNs));
    if (!asLeft) {
        // Still under its old name: the run ended before this rename.
        FileStamp atOld;
        if (r.haveStamp && files.stamp(old, &atOld) && atOld.device == r.after.device && atOld.inode == r.after.inode) {
            neverMade(r.dir, r.oldName);
            return;
        }
        m_notRenamedBack.insert(old);
        if (!found)
            leaveAlone(r.dir, r.newName, r.oldName,
                err.number == 53 ? QStringLiteral(" (Not Found)")
                                 : QStringLiteral(" (") + err.description + QLatin1Char(')'));
        else
            leaveAlone(r.dir, r.newName, r.oldName, QStringLiteral(" (Changed Since The Mass Rename)"));
        return;
    }
    if (!files.rename(current, old, &err)) {
        m_notRenamedBack.insert(old);
        if (err.number == 58) {
            leaveAlone(r.dir, r.newName, r.oldName, QStringLiteral(" (Old Filename Taken: ") + old + QLatin1Char(')'));
            return;
        }
        ++m_tally.errors;
        m_view.addResultRow(r.dir, r.newName, r.oldName, ResultColour::Failed);
        m_log.writeRenameFailed(r.dir, r.newName, err.description);
        return;
    }
    ++m_tally.renamedBack;
    m_log.writeRenamed(r.dir, r.newName, r.oldName);
    m_view.addResultRow(r.dir, r.newName, r.oldName, ResultColour::Renamed);
    if (!now.regular)
        return;
    restoreMode(r, old);
    if (r.tailKeep >= 0) // a first-format journal: the trailer came with the rename
        restoreTail(r, old);
}

// The run rewrote the file's end only: what came before is its unchanged
// start, so the old end, time and permissions make the file whole again.
void MassRenameUndo::undoTrailer(const RenameRecord& r)
{
    FileSystem& files = *m_services.files;
    const QString path = r.dir + r.oldName;
    if (m_notRenamedBack.contains(path)) {
        // Its rename is listed as left alone; the file is not at this name.
        ++m_tally.leftAlone;
        return;
    }
    FileStamp now;
    QByteArray end;
    FileError err;
    if (!files.stamp(path, &now, &err)) {
        leaveAlone(r.dir, r.oldName, r.oldName,
            err.number == 53 ? QStringLiteral(" (Not Found)")
                             : QStringLiteral(" (") + err.description + QLatin1Char(')'));
        return;
    }
    if (!now.regular || !files.readBytes(path, -kTrailerBytes, kTrailerBytes, &end, &err)) {
        leaveAlone(r.dir, r.oldName, r.oldName, QStringLiteral(" (Changed Since The Mass Rename)"));
        return;
    }
    const bool trailer = hasId3v1Trailer(now.size, end);
    const bool asBefore = now.size == r.sizeBefore && (r.tail.isEmpty() || end == r.tail);
    const bool asLeft = r.haveStamp ? now.sameState(r.after)
                                    : now.size == r.tailKeep || (trailer && now.size == r.tailKeep + kTrailerBytes);
    if (asBefore && !(r.haveStamp && asLeft)) {
        // The run ended before the write, or the write changed nothing.
        if (now.modifiedNs != r.modifiedBefore && !files.setModified(path, r.modifiedBefore, &err))
            restoreFailed(path, err);
        neverMade(r.dir, r.oldName);
        return;
    }
    if (!asLeft) {
        leaveAlone(r.dir, r.oldName, r.oldName, QStringLiteral(" (Changed Since The Mass Rename)"));
        return;
    }
    putBackEnd(r, path);
}

void MassRenameUndo::putBackEnd(const RenameRecord& r, const QString& path)
{
    FileSystem& files = *m_services.files;
    FileError err;
    if (!files.replaceTail(path, r.tailKeep, r.tail, &err) || !files.setModified(path, r.modifiedBefore, &err)) {
        restoreFailed(path, err);
        return;
    }
    restoreMode(r, path);
    ++m_tally.restored;
    m_log.writeRestored(path);
    m_view.addResultRow(r.dir, r.oldName, r.oldName, ResultColour::Renamed);
}

void MassRenameUndo::restoreMode(const RenameRecord& r, const QString& path)
{
    FileSystem& files = *m_services.files;
    FileStamp now;
    FileError err;
    if (r.modeBefore < 0 || !files.stamp(path, &now) || !now.regular || now.mode == r.modeBefore)
        return;
    if (!files.setMode(path, r.modeBefore, &err))
        restoreFailed(path, err);
}

// A first-format journal's rename: the run changed only the file's end (the
// trailer it rewrote, or removed and appended again).
void MassRenameUndo::restoreTail(const RenameRecord& r, const QString& path)
{
    FileSystem& files = *m_services.files;
    FileStamp st;
    QByteArray end;
    FileError err;
    if (!files.stamp(path, &st, &err) || !files.readBytes(path, -kTrailerBytes, kTrailerBytes, &end, &err)) {
        restoreFailed(path, err);
        return;
    }
    const bool trailer = hasId3v1Trailer(st.size, end);
    const qint64 keep = trailer ? st.size - kTrailerBytes : st.size;
    if (keep != r.tailKeep) // not a change of the trailer alone: the bytes stay
        return;
    if ((trailer ? end : QByteArray()) == r.tail)
        return;
    if (!files.replaceTail(path, r.tailKeep, r.tail, &err))
        restoreFailed(path, err);
}

void MassRenameUndo::restoreFailed(const QString& path, const FileError& error)
{
    ++m_tally.errors;
    m_log.writeRestoreFailed(path, error.description);
}

void MassRenameUndo::neverMade(const QString& dir, const QString& name)
{
    ++m_tally.neverMade;
    m_log.writeNeverMade(dir + name);
}

void MassRenameUndo::leaveAlone(
    const QString& dir, const QString& name, const QString& shownName, const QString& reason)
{
    ++m_tally.leftAlone;
    m_leftAlone << dir + name + reason;
    m_log.writeLeftAlone(dir + name, reason);
    m_view.addResultRow(dir, name, shownName, ResultColour::Failed);
}
