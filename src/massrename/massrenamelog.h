#pragma once

#include "platform/fileerror.h"

#include <QDateTime>
#include <QFile>
#include <QString>

struct MassRenameCounters;
struct UndoTally;

// The log of one mass rename run: UTF-8 text with CR LF line ends, one file
// per run named after the moment the run started. Every Write* call is one
// line; calls on a log that is not open do nothing, so a run whose log could
// not be created simply goes on without one.
class MassRenameLog {
public:
    MassRenameLog() = default;
    ~MassRenameLog() { close(); }
    MassRenameLog(const MassRenameLog&) = delete;
    MassRenameLog& operator=(const MassRenameLog&) = delete;

    // "MassRename-" + ddMMMyy + "-" + HHmmss + ".log", the month as the
    // locale's three-letter abbreviation ("MassRename-07Mar26-140509.log").
    static QString fileNameFor(const QDateTime& start);
    // "MassRenameUndo-" + the same date and time + ".log".
    static QString undoFileNameFor(const QDateTime& start);
    // The per-user data folder "$XDG_DATA_HOME/Velmora/". Not created here.
    static QString defaultFolder();
    // Creates folder and its missing parents; the failure is the errno of
    // the step that failed.
    static bool makeFolders(const QString& folder, FileError* err);
    // Date and time in the locale's general form with seconds, trimmed
    // ("3/7/26 2:05:09 PM" in en_US).
    static QString generalDateTime(const QDateTime& time);

    // Creates (or empties) the file at path, creating its folder when
    // missing. False with *err when that fails; *err then names the step
    // that failed (a folder that may not be created gives "Permission
    // denied", not the missing folder).
    bool open(const QString& path, FileError* err);
    bool isOpen() const { return m_file.isOpen(); }

    // Line 1 and 2: the title, the settings block (ending in CR LF) and the
    // start time.
    void writeOpening(const QString& settingsBody, const QDateTime& started);
    void writeRenamed(const QString& dir, const QString& name, const QString& newName);
    void writeSameName(const QString& dir, const QString& name);
    // reason is " (Could Not Make A Valid Filename From Internal Tags)" or
    // " (Internal Tags Incomplete)".
    void writeSkipped(const QString& dir, const QString& name, const QString& reason);
    void writeCancelled();
    void writeDeclined(const QString& dir, const QString& name);
    void writeZeroLength(const QString& dir, const QString& name);
    void writeRenameFailed(const QString& dir, const QString& name, const QString& description);
    // A file that could no longer be found or read when its turn came.
    void writeUnreadable(const QString& dir, const QString& name, const QString& description);
    // The walk found more files than one run takes.
    void writeLimitNote(qsizetype limit);
    // A folder of the tree that could not be read (its files are not known).
    void writeFolderUnreadable(const QString& dir, const QString& description);
    // The ID3v1 trailer of a file could not be rewritten.
    void writeTagWriteFailed(const QString& path, const QString& description);
    // The trailer was written, but the file's modification time could not
    // be put back (description says why).
    void writeTimeNotKept(const QString& path, const QString& description);
    // The journal could not take a change: the run stops before making it.
    void writeJournalFailed(const QString& journalPath, const QString& description);
    // The user stopped the run after done of found files.
    void writeStopped(qint64 done, qint64 found);
    // The undo log's opening: title, what is undone, start time.
    void writeUndoOpening(const QString& source, const QDateTime& started);
    // A file the undo leaves where it is, with the reason (" (...)").
    void writeLeftAlone(const QString& path, const QString& reason);
    void writeRestoreFailed(const QString& path, const QString& description);
    // The undo put back the end of a file (its ID3v1 trailer) and its time.
    void writeRestored(const QString& path);
    // A change the journal records that the run never made.
    void writeNeverMade(const QString& path);
    // The undo's totals, then closes the file.
    void writeUndoClosing(const UndoTally& tally, const QDateTime& completed);
    // Lines 11 and 12, then closes the file.
    void writeClosing(const MassRenameCounters& counters, const QDateTime& completed);
    void close();

private:
    void writeLine(const QString& text);

    QFile m_file;
};
