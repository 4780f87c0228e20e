#pragma once

#include "platform/fileerror.h"

#include <QDateTime>
#include <QFile>
#include <QString>

struct MassRenameCounters;

// The log of one mass rename run: UTF-8 text with CR LF line ends, one file
// per run named after the moment the run started. Every Write* call is one
// line; calls on a log that is not open do nothing, so a run whose log could
// not be created simply goes on without one.
class MassRenameLog {
public:
    MassRenameLog() = default;
    ~MassRenameLog() { Close(); }
    MassRenameLog(const MassRenameLog&) = delete;
    MassRenameLog& operator=(const MassRenameLog&) = delete;

    // "MassRename-" + ddMMMyy + "-" + HHmmss + ".log", the month as the
    // locale's three-letter abbreviation ("MassRename-07Mar26-140509.log").
    static QString FileNameFor(const QDateTime& start);
    // "MassRenameUndo-" + the same date and time + ".log".
    static QString UndoFileNameFor(const QDateTime& start);
    // The per-user data folder "$XDG_DATA_HOME/Velmora/". Not created here.
    static QString DefaultFolder();
    // Date and time in the locale's general form with seconds, trimmed
    // ("3/7/26 2:05:09 PM" in en_US).
    static QString GeneralDateTime(const QDateTime& time);

    // Creates (or empties) the file at path, creating its folder when
    // missing. False with *err when that fails; *err then names the step
    // that failed (a folder that may not be created gives "Permission
    // denied", not the missing folder).
    bool Open(const QString& path, FileError* err);
    bool IsOpen() const { return m_file.isOpen(); }

    // Line 1 and 2: the title, the settings block (ending in CR LF) and the
    // start time.
    void WriteOpening(const QString& settingsBody, const QDateTime& started);
    void WriteRenamed(const QString& dir, const QString& name, const QString& newName);
    void WriteSameName(const QString& dir, const QString& name);
    // reason is " (Could Not Make A Valid Filename From Internal Tags)" or
    // " (Internal Tags Incomplete)".
    void WriteSkipped(const QString& dir, const QString& name, const QString& reason);
    void WriteCancelled();
    void WriteDeclined(const QString& dir, const QString& name);
    void WriteZeroLength(const QString& dir, const QString& name);
    void WriteRenameFailed(const QString& dir, const QString& name, const QString& description);
    // A file that could no longer be found or read when its turn came.
    void WriteUnreadable(const QString& dir, const QString& name, const QString& description);
    // The walk found more files than one run takes.
    void WriteLimitNote(qsizetype limit);
    // A folder of the tree that could not be read (its files are not known).
    void WriteFolderUnreadable(const QString& dir, const QString& description);
    // The ID3v1 trailer of a file could not be rewritten.
    void WriteTagWriteFailed(const QString& path, const QString& description);
    // The user stopped the run after done of found files.
    void WriteStopped(qint64 done, qint64 found);
    // The undo log's opening: title, what is undone, start time.
    void WriteUndoOpening(const QString& source, const QDateTime& started);
    // A file the undo leaves where it is, with the reason (" (...)").
    void WriteLeftAlone(const QString& path, const QString& reason);
    void WriteRestoreFailed(const QString& path, const QString& description);
    // The undo's totals, then closes the file.
    void WriteUndoClosing(const MassRenameCounters& counters, const QDateTime& completed);
    // Lines 11 and 12, then closes the file.
    void WriteClosing(const MassRenameCounters& counters, const QDateTime& completed);
    void Close();

private:
    void WriteLine(const QString& text);

    QFile m_file;
};
