#pragma once

#include "platform/filesystem.h"
#include "tags/id3v1trailer.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QList>
#include <QString>

// One change a mass rename run made, or was about to make when it ended,
// with what undoing it needs.
struct RenameRecord {
    // Rename: oldName became newName. Trailer: the end of file oldName (its
    // ID3v1 trailer) was rewritten.
    enum class Kind { Rename, Trailer };
    Kind kind = Kind::Rename;
    QString dir; // ends in "/"
    QString oldName;
    QString newName; // Rename only
    // The file as the run left it. Missing for a trailer whose write the run
    // did not live to record, and for renames read from a log's lines.
    bool haveStamp = false;
    FileStamp after;
    // Without a stamp: a file modified after this moment (nanoseconds since
    // the epoch) has changed since the run; -1 when unknown.
    qint64 unchangedUntilNs = -1;
    // The end of the file before the run rewrote it: the length the file had
    // without its trailer, and the bytes that followed (the old trailer, or
    // none). -1: the run left the bytes alone.
    qint64 tailKeep = -1;
    QByteArray tail;
    // The file before the run touched it; -1 when not known.
    qint64 sizeBefore = -1;
    qint64 modifiedBefore = -1;
    int modeBefore = -1;
};

// The length of an ID3v1 trailer.
constexpr qint64 kTrailerBytes = kId3v1TrailerBytes;

// The journal kept beside a run's log: its path is the log's plus ".undo".
QString journalPathFor(const QString& logPath);

// Splits a log line "dir + old Renamed As dir + new" into its parts. False
// for any other line. A name may itself hold " Renamed As ": the split is
// the one where both sides have the same folder.
bool parseRenamedLine(const QString& line, QString* dir, QString* oldName, QString* newName);

// Writes a run's journal ahead of its changes: each record is handed to the
// system before append returns, so that it survives the program being
// killed, and synced to the disk in batches. One text line per record, its
// fields percent-encoded UTF-8 separated by tabs, so any name fits on one
// line. A run that ends (finished or stopped) writes a closing record; a
// journal without one comes from an interrupted run.
class RenameJournal {
public:
    RenameJournal() = default;
    ~RenameJournal();
    RenameJournal(const RenameJournal&) = delete;
    RenameJournal& operator=(const RenameJournal&) = delete;

    // Creates the journal at path, never replacing an existing file (the
    // error is then 58). logPath: the run's log, "" when it keeps none.
    bool create(const QString& path, const QString& logPath, FileError* err);
    bool isOpen() const { return m_fd >= 0; }
    QString path() const { return m_path; }

    // False when the record could not be written: its change must not be
    // made. Only dir, names, kind and the before-state and tail are taken
    // for a trailer; a rename's stamp is the file just before the rename,
    // which the rename does not change.
    bool append(const RenameRecord& record, FileError* err = nullptr);
    // The trailer of dir + name was written; stamp is the file now.
    bool appendTrailerWritten(
        const QString& dir, const QString& name, const FileStamp& stamp, FileError* err = nullptr);
    // Writes the closing record, syncs and closes.
    bool finish(FileError* err = nullptr);
    // Closes without a closing record.
    void close();

private:
    bool writeLine(const QByteArray& line, FileError* err);

    int m_fd = -1;
    QString m_path;
    int m_unsynced = 0;
    QElapsedTimer m_sinceSync;
};

// True while a run (of this or another Velmora) is writing the journal.
bool renameJournalInUse(const QString& path);

// What a journal holds.
struct RenameJournalContents {
    QList<RenameRecord> records; // in run order
    QString logPath; // "" when the run kept no log
    bool closed = false; // the run ended as it should (finished or stopped)
    bool noted = false; // the user has been told it was interrupted
    bool undone = false; // an undo of it ran to its end
    bool interrupted() const { return !closed; }
};

// Reads a journal; records cut short at its end (the last line of a run that
// was killed while writing it) are left out: their changes were never made.
bool readRenameJournal(const QString& path, RenameJournalContents* out, FileError* err);

// Appends a mark to a journal: the run was reported as interrupted, or it
// has been undone.
enum class JournalMark { Noted, Undone };
bool markRenameJournal(const QString& path, JournalMark mark, FileError* err = nullptr);

// The changes an undo is to take back, in run order: from path itself when
// it is a journal, else (a log) from its journal when there is one, else
// from its "Renamed As" lines (CR LF ended), taking the log's own
// modification time as the moment after which a file has changed.
bool readRenameRecords(const QString& path, QList<RenameRecord>* out, FileError* err);
