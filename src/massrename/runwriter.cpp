#include "runwriter.h"

#include "platform/filesystem.h"
#include "tags/filetimes.h"

namespace {

const QString kNoJournal = QStringLiteral("The Undo Journal Cannot Be Written");

FileError noJournal()
{
    return { ErrorNo::Internal, kNoJournal };
}

} // namespace

bool RunWriter::record(const RenameRecord& record)
{
    if (m_journalFailed)
        return false;
    if (!m_journal.isOpen())
        return true; // the user chose to go on without a journal
    FileError err;
    if (m_journal.append(record, &err)) {
        reach(RunPoint::Journaled);
        return true;
    }
    // Nothing more may change once a change cannot be recorded.
    m_journalFailed = true;
    if (m_failed)
        m_failed(err);
    return false;
}

FileError RunWriter::noteTrailerBefore(const QString& dir, const QString& name, TrailerChange* change)
{
    *change = {};
    const QString path = dir + name;
    FileStamp st;
    QByteArray tail;
    if (!m_files.stamp(path, &st) || !st.regular || !m_files.readBytes(path, -kTrailerBytes, kTrailerBytes, &tail))
        return {};
    RenameRecord& r = change->before;
    r.kind = RenameRecord::Kind::Trailer;
    r.dir = dir;
    r.oldName = name;
    r.sizeBefore = st.size;
    r.modifiedBefore = st.modifiedNs;
    r.modeBefore = st.mode;
    if (hasId3v1Trailer(st.size, tail)) {
        r.tailKeep = st.size - kTrailerBytes;
        r.tail = tail;
    } else {
        r.tailKeep = st.size;
    }
    change->journaled = record(r);
    return change->journaled ? FileError() : noJournal();
}

TrailerWrite RunWriter::writeTrailer(const QString& path, const std::array<QString, kFieldCount>& texts, bool keepTime)
{
    TrailerWrite out;
    FileTimeKeeper keeper(path, keepTime);
    m_trailer.clear();
    setTrailerFields(m_trailer, texts);
    if (!m_trailer.writeToFile(path))
        out.write = m_trailer.lastWriteError();
    keeper.restore(&out.time);
    return out;
}

void RunWriter::trailerDone(TrailerChange* change)
{
    if (!change->journaled)
        return;
    reach(RunPoint::Changed);
    // A rename's record, next, tells the undo the file as it is now; any
    // other outcome records it on its own.
    change->pending = true;
}

void RunWriter::recordTrailerWritten(TrailerChange* change)
{
    if (!change->pending)
        return;
    change->pending = false;
    const RenameRecord& r = change->before;
    FileStamp now;
    FileError err;
    if (!m_journal.isOpen() || !m_files.stamp(r.dir + r.oldName, &now))
        return;
    // Without this record the undo still knows the change from its shape.
    m_journal.appendTrailerWritten(r.dir, r.oldName, now, &err);
}

FileError RunWriter::rename(const QString& dir, const QString& name, const QString& newName, TrailerChange* change)
{
    FileError err;
    // The rename does not alter this stamp: it is how the undo knows the
    // file as the run left it.
    RenameRecord record;
    record.dir = dir;
    record.oldName = name;
    record.newName = newName;
    if (!m_files.stamp(dir + name, &record.after, &err))
        return err;
    record.haveStamp = true;
    record.modeBefore = record.after.mode;
    change->pending = false; // this record says how the trailer write left the file
    if (!this->record(record))
        return noJournal();
    // A rename needs no write permission on the file itself: its mode stays.
    const bool renamed = m_files.rename(dir + name, dir + newName, &err);
    reach(RunPoint::Changed);
    if (!renamed)
        return err;
    return {};
}
