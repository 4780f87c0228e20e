#pragma once

#include "platform/fileerror.h"
#include "tags/tagsnapshot.h"

#include <QFile>
#include <QHash>
#include <QList>
#include <QMutex>
#include <QString>
#include <QStringList>

#include <functional>

// The undo journal of one tag writing run (a MultiTagger run; a tag save or
// a Remove Tags of the main window): for each file, the tags it held before
// the write and a fingerprint of it after, so that the run can be undone
// after the program has ended, even when it was killed in the middle. One
// journal per kind of run; a new run replaces the journal of the last one.
//
// Write-ahead: a file's "before" record is handed to the kernel before the
// file is touched, so a killed program never leaves a change the journal
// does not know of; the records reach the disk (fdatasync) every
// syncEvery records and at the end. While a run writes its journal it holds
// a lock on it, so another Velmora neither replaces nor undoes it.
//
// Layout (QDataStream): a header, then per file a "before" record (path and
// the whole TagSnapshot: an MP3 file's tag bytes, or the format and TagLib
// items of a FLAC, Ogg or MP4 file in a record of its own kind, so that
// journals of MP3 files alone keep their layout) and, once the write is
// over, an "after" record
// (path, size, modification time, mode, hash of its tags, and whether the
// write changed the file). A run may write several files at once from as
// many threads: their records then interleave, and a file's after-record
// follows its own before-record with fewer than kInterleaveLimit other
// before-records between them. A run that ends normally adds a closing
// record; a journal without one is from an interrupted run. A "noted" record
// says that the interruption was reported already.
class TagJournal {
public:
    static constexpr int kInterleaveLimit = 16;

    // The per-user data folder ($XDG_DATA_HOME/Velmora/), ending in "/".
    // Not created here.
    static QString defaultFolder();
    // The journal of the last MultiTagger run and of the last tag save or
    // removal in folder (which ends in "/").
    static QString multiTaggerJournal(const QString& folder);
    static QString tagSaveJournal(const QString& folder);

    // syncEvery: records between two syncs to the disk (at least 1).
    explicit TagJournal(const QString& path, int syncEvery = 32);
    // Ends the run (end()) when the journal is still open.
    ~TagJournal();
    TagJournal(const TagJournal&) = delete;
    TagJournal& operator=(const TagJournal&) = delete;

    QString path() const { return m_file.fileName(); }

    // Creates (or empties) the journal, creating its folder when missing.
    // Refused when another running Velmora is writing it.
    bool begin(FileError* err = nullptr);
    // Reads the tags of file and appends them. False when the file cannot
    // be read (*err as a write would report it) or the journal cannot be
    // written; the file must then not be written. recordBefore and
    // recordAfter may be called from several threads, each for a file of
    // its own.
    bool recordBefore(const QString& file, FileError* err = nullptr);
    // Reads file again after its write (done, failed or skipped) and appends
    // its fingerprint. Returns whether its tags or size changed.
    bool recordAfter(const QString& file);
    // Files recorded as changed since Begin.
    int changedCount() const;
    // Appends the closing record, syncs and closes the journal.
    void end();

private:
    bool append(const QByteArray& record, bool sync, FileError* err);

    mutable QMutex m_lock; // guards every member below
    QFile m_file;
    int m_syncEvery;
    int m_unsynced = 0;
    qint64 m_whole = 0; // the length of the whole records written
    bool m_broken = false; // a record could not be written nor taken back
    QHash<QString, TagSnapshot> m_written; // before-records without their after-record yet
    int m_changed = 0;
};

// What an undo did, file by file.
struct TagUndoReport {
    struct Failure {
        QString path;
        FileError error;
    };
    QStringList restored;
    // Files whose tags or size differ from what the run left: not touched.
    QStringList changedSince;
    // Files of an interrupted run that still hold exactly their tags from
    // before: the run never wrote them.
    QStringList notDone;
    QList<Failure> failed;
    // Temporary copies a killed rewrite left beside the journal's files,
    // removed.
    QStringList removedCopies;
    FileError journalError; // the journal could not be read
    bool nothingToUndo() const
    {
        return restored.isEmpty() && changedSince.isEmpty() && notDone.isEmpty() && failed.isEmpty();
    }
};

// What a journal holds, read without the tags.
struct TagJournalSummary {
    bool exists = false; // there is a journal file
    bool interrupted = false; // its run did not end normally
    bool noted = false; // the interruption was reported (markTagJournalNoted)
    bool inUse = false; // a running Velmora is writing it: not interrupted, not to be undone now
    int changes = 0; // files recorded (before-records)
};
TagJournalSummary summarizeTagJournal(const QString& journalPath);

// Marks an interrupted journal as reported, so that the next start need not
// ask about it again; its undo still says that the run was interrupted. A
// record the killed run left half written is cut off first. True when the
// journal is marked, or needs no mark (complete or marked already).
bool markTagJournalNoted(const QString& journalPath, FileError* err = nullptr);

// The sentence that opens an undo question for an interrupted journal:
// what + " Was Interrupted: Its Journal Holds " n " Changes." ("1 Change.");
// "" when the journal is not interrupted. what is "The Last Run" or
// "The Last Tag Save Or Removal".
QString tagJournalInterruptedText(const TagJournalSummary& summary, const QString& what);

// The files the journal records as changed, and any file whose write the
// end of an interrupted run may have cut short, in journal order; none when
// it is missing or unreadable.
QStringList tagJournalChangedFiles(const QString& journalPath);

// Removes the temporary copies a killed rewrite left beside the files of
// the journal (removeLeftoverCopies: only beside files that are whole).
// Returns the copies removed; none when the journal is missing, unreadable
// or in use.
QStringList removeTagJournalLeftovers(const QString& journalPath);

// Puts back the tags, the modification time and (when the write changed
// it) the mode of every file the journal records as changed whose size and
// tags are still exactly what the run left; the bytes between an MP3 file's
// tags (the audio) are never written, and a FLAC, Ogg or MP4 file is written
// through a copy whose audio is checked against the file's. A file whose
// write an interrupted run may have cut short is left alone when it holds its
// tags from before (not done), and restored when only its tags differ (and
// it is still of its format). Files changed since are left alone and
// listed. The copies a killed rewrite left are removed. Afterwards the
// journal holds only the files that failed (and is removed when none did),
// so an undo is done once. status (may be empty) is called with each file's
// path before it is handled.
TagUndoReport undoTagJournal(const QString& journalPath, const std::function<void(const QString&)>& status = {});

// The lines of a report for a message box: the files changed since and the
// files that failed, each list headed, at most 20 paths each ("... And 5
// More"). "" when both lists are empty.
QString tagUndoProblemsText(const TagUndoReport& report);
