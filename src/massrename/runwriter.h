#pragma once

#include "renamejournal.h"

#include "platform/fileerror.h"
#include "tags/fieldcatalogue.h"
#include "tags/id3v1tag.h"

#include <QString>

#include <array>
#include <functional>

class FileSystem;

// Where a run is: a journal record was just written, or the change it
// records was just made.
enum class RunPoint { Journaled, Changed };

// One file's trailer change, handed from the trailer write to the file's
// later steps.
struct TrailerChange {
    RenameRecord before; // the file before the run touched it (kind Trailer)
    bool journaled = false; // before is recorded (or the run keeps no journal)
    bool pending = false; // written; how it left the file is not recorded yet
};

// What a trailer write came to; ok() parts went well.
struct TrailerWrite {
    FileError write; // why the trailer could not be written
    FileError time; // why the file's time could not be put back
};

// The changes of a run: the rewritten ID3v1 trailer and the rename. Each is
// recorded in the run's journal before it is made; once the journal cannot
// take a record, nothing more is changed.
class RunWriter {
public:
    // journal: the run's; when it is not open the run goes on without one.
    RunWriter(FileSystem& files, RenameJournal& journal)
        : m_files(files)
        , m_journal(journal)
    {
    }

    // A new run: the journal takes records again.
    void start() { m_journalFailed = false; }
    // Called at every point where the run could be cut short.
    void setRunPointHook(std::function<void(RunPoint)> hook) { m_hook = std::move(hook); }
    // Called once, when the journal cannot take a record.
    void setJournalFailedHandler(std::function<void(const FileError&)> handler) { m_failed = std::move(handler); }
    bool journalFailed() const { return m_journalFailed; }

    // Records a change before it is made; false when it may not be made.
    bool record(const RenameRecord& record);

    // Records the end of dir + name as it is now, before its trailer is
    // written. An error when the journal cannot take it (the file must not
    // be written). A file that cannot be looked at is not recorded: its
    // write fails on its own.
    FileError noteTrailerBefore(const QString& dir, const QString& name, TrailerChange* change);
    // Writes texts (field texts in panel order) as the file's trailer,
    // putting its time back when keepTime.
    TrailerWrite writeTrailer(const QString& path, const std::array<QString, kFieldCount>& texts, bool keepTime);
    // The trailer step is over: a recorded change has been made and waits
    // for the record of how it left the file.
    void trailerDone(TrailerChange* change);
    // Records how the trailer write left the file, unless a rename's
    // record has done so.
    void recordTrailerWritten(TrailerChange* change);

    // Renames dir + name to newName, recorded first; an error when the file
    // keeps its name.
    FileError rename(const QString& dir, const QString& name, const QString& newName, TrailerChange* change);

private:
    void reach(RunPoint point)
    {
        if (m_hook)
            m_hook(point);
    }

    FileSystem& m_files;
    RenameJournal& m_journal;
    ID3V1Tag m_trailer;
    std::function<void(RunPoint)> m_hook;
    std::function<void(const FileError&)> m_failed;
    bool m_journalFailed = false;
};
