#include "massrenameundo.h"

#include "platform/clock.h"
#include "platform/filesystem.h"
#include "platform/platformservices.h"
#include "platform/prompter.h"

namespace {

const QString kCrLf = QStringLiteral("\r\n");
constexpr qint64 kTrailerBytes = 128;

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
    m_counters.found = records.size();
    m_leftAlone.clear();
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
        ++m_counters.total;
        undoOne(r);
        m_view.setCounters(m_counters);
        m_view.progress();
    }

    if (m_stopped)
        m_log.writeStopped(m_counters.total, m_counters.found);
    m_log.writeUndoClosing(m_counters, m_services.clock->now());
    QString status = m_stopped ? QStringLiteral("Undo Stopped After ") + QString::number(m_counters.total)
            + QStringLiteral(" Of ") + QString::number(m_counters.found) + QStringLiteral(" Files")
                               : QStringLiteral("Undo Renamed Back ") + QString::number(m_counters.renamed)
            + QStringLiteral(" Of ") + QString::number(m_counters.total) + QStringLiteral(" Files");
    if (m_counters.skipped > 0)
        status += QStringLiteral(", Left ") + QString::number(m_counters.skipped) + QStringLiteral(" Alone");
    m_view.setStatusText(status + QStringLiteral(" - View Log For Details"));
    m_view.setRunControls(true);
    m_view.showRunStatus(false);
    m_view.refreshNow();
}

void MassRenameUndo::undoOne(const RenameRecord& r)
{
    FileSystem& files = *m_services.files;
    const QString current = r.dir + r.newName;
    const QString old = r.dir + r.oldName;
    FileStamp now;
    FileError err;
    if (!files.stamp(current, &now, &err)) {
        leaveAlone(r,
            err.number == 53 ? QStringLiteral(" (Not Found)")
                             : QStringLiteral(" (") + err.description + QLatin1Char(')'));
        return;
    }
    const bool changed
        = r.haveStamp ? !now.sameState(r.after) : (r.unchangedUntilNs >= 0 && now.modifiedNs > r.unchangedUntilNs);
    if (changed) {
        leaveAlone(r, QStringLiteral(" (Changed Since The Mass Rename)"));
        return;
    }
    if (!files.rename(current, old, &err)) {
        if (err.number == 58) {
            leaveAlone(r, QStringLiteral(" (Old Filename Taken: ") + old + QLatin1Char(')'));
            return;
        }
        ++m_counters.errors;
        m_view.addResultRow(r.dir, r.newName, r.oldName, ResultColour::Failed);
        m_log.writeRenameFailed(r.dir, r.newName, err.description);
        return;
    }
    ++m_counters.renamed;
    m_log.writeRenamed(r.dir, r.newName, r.oldName);
    m_view.addResultRow(r.dir, r.newName, r.oldName, ResultColour::Renamed);
    if (r.tailKeep >= 0 && now.regular)
        restoreTail(r, old);
}

// The run changed only the file's end (the trailer it rewrote, or removed
// and appended again); what came before is the file's unchanged start.
void MassRenameUndo::restoreTail(const RenameRecord& r, const QString& path)
{
    FileSystem& files = *m_services.files;
    FileStamp st;
    QByteArray end;
    FileError err;
    if (!files.stamp(path, &st, &err) || !files.readBytes(path, -kTrailerBytes, kTrailerBytes, &end, &err)) {
        ++m_counters.errors;
        m_log.writeRestoreFailed(path, err.description);
        return;
    }
    const bool trailer = st.size > kTrailerBytes && end.startsWith("TAG");
    const qint64 keep = trailer ? st.size - kTrailerBytes : st.size;
    if (keep != r.tailKeep) // not a change of the trailer alone: the bytes stay
        return;
    if ((trailer ? end : QByteArray()) == r.tail)
        return;
    if (!files.replaceTail(path, r.tailKeep, r.tail, &err)) {
        ++m_counters.errors;
        m_log.writeRestoreFailed(path, err.description);
    }
}

void MassRenameUndo::leaveAlone(const RenameRecord& r, const QString& reason)
{
    ++m_counters.skipped;
    m_leftAlone << r.dir + r.newName + reason;
    m_log.writeLeftAlone(r.dir + r.newName, reason);
    m_view.addResultRow(r.dir, r.newName, r.oldName, ResultColour::Failed);
}
