#pragma once

#include "tagedit/multitagwriter.h"

#include <QHash>
#include <QSet>
#include <QString>
#include <QStringList>

#include <functional>

class Prompter;

// What the window lends a run: each may be empty.
struct MultiTagRunHooks {
    // One line of status; the window paints it (and lets events run).
    std::function<void(const QString&)> status;
    // Files handled so far of the files chosen, after each file.
    std::function<void(int done, int total)> progress;
    // Asked before each file: true ends the run there.
    std::function<bool()> stopRequested;
};

struct MultiTagRunReport {
    int total = 0; // files chosen
    int done = 0; // files handled, written or not
    int written = 0; // files whose tags were written without an error
    int failed = 0; // files with an error, shown or skipped
    // "path - Error: description (number)" of every file not written, in
    // the order of the run.
    QStringList failures;
    QStringList failedPaths; // the same files' paths
    // The same for files written whose modification time Keep File Times
    // could not put back.
    QStringList timesNotKept;
    bool stopped = false; // ended by a stop request before the last file
    bool cancelled = false; // the user declined before any file was written
    FileError refused; // values no file can take: nothing was written
    bool journalled = false; // the run can be undone
};

// What every run over many files does with a file it could not write: counts
// and lists it in the report, and shows its error, the first of each kind at
// once and, from the second on, with an offer to skip further errors of that
// kind (those are only listed).
class RunFailures {
public:
    RunFailures(Prompter& prompter, const QString& title);
    void add(MultiTagRunReport& report, const QString& path, const FileError& error);

private:
    Prompter& m_prompter;
    QString m_title;
    QHash<int, int> m_seen; // errors shown, by number
    QSet<int> m_skipping; // numbers whose further errors are not shown
};

// "path - Error: description (number)", a line of a run's lists.
QString runFileLine(const QString& path, const FileError& error);

// The status line after a run: what + " Complete: 4 Of 4 Files Written",
// "... Complete With Errors: ...", "... Failed: ...", what + " Stopped After
// 2 Of 4 Files: 1 Written", each count ended by ", 1 Failed" when files failed
// and by more counts (", 2 Unchanged"); what + " Cancelled", or what + "
// Refused: " and the reason.
QString runStatusText(const QString& what, const MultiTagRunReport& report, const QStringList& moreCounts = {});

// One Set Tags run over the chosen files: refuses numbers out of range once,
// before any file (numberRangeError), asks before clearing fields the files
// hold, keeps every file's tags in the undo journal before writing it,
// writes the included fields, shows each error (offering, from the second
// error of a kind, to skip further errors of that kind) and stops between
// files when asked. Counters are exact whenever the run ends.
class MultiTagRun {
public:
    // journalPath "" keeps no journal. Nothing is owned.
    MultiTagRun(MultiTagWriter& writer, Prompter& prompter, const QString& journalPath);

    MultiTagRunReport run(const QStringList& paths, const MultiTagValues& values, const MultiTagRunHooks& hooks);
    // The same run with values of each file's own (edits of the file table).
    struct File {
        QString path;
        MultiTagValues values;
    };
    MultiTagRunReport run(const QList<File>& files, const MultiTagRunHooks& hooks);

private:
    enum class Journal { Kept, None, Refused };
    // Starts the journal; when it cannot be written, asks whether to go on
    // without one.
    Journal beginJournal(class TagJournal& journal);

    MultiTagWriter& m_writer;
    Prompter& m_prompter;
    QString m_journalPath;
};

// The question when chosen files are read-only: n " Of The " chosen
// " Selected Files Are Read-Only:" CRLF CRLF the paths (at most 20, then
// "... And n More") CRLF "Make Them Writable And Set Their Tags? No Leaves
// Them As They Are."
QString readOnlyQuestion(const QStringList& readOnly, int chosen);

// The status line after a run, with what was written and what failed:
// "ID3 Tag Updates Complete: 4 Of 4 Files Written", "ID3 Tag Updates
// Complete With Errors: 3 Of 4 Files Written, 1 Failed", "ID3 Tag Updates
// Failed: 0 Of 4 Files Written, 4 Failed", "ID3 Tag Updates Stopped After 2
// Of 4 Files: 1 Written, 1 Failed", "ID3 Tag Updates Cancelled" or, for
// refused values, "ID3 Tag Updates Refused: " and the reason.
QString multiTagRunStatus(const MultiTagRunReport& report);

// What the run leaves to tell at its end: "Tags Were Not Saved In These
// Files:" CRLF CRLF and a line for every failed file, then (after an empty
// line) "Tags Were Saved, But The Modification Time Could Not Be Kept In
// These Files:" CRLF CRLF and a line for each such file. Each list names at
// most 20 files, then "... And n More". "" when there is nothing to tell.
QString multiTagRunProblemsText(const MultiTagRunReport& report);

// The message for values the run refused before any file: "Error Saving
// Tags In The Selected Files: " CRLF CRLF "Error: " description " ("
// number ")" CRLF CRLF "No File Was Changed."
QString multiTagRefusedText(const FileError& error);

// The question when the undo journal cannot be written: "The Undo Journal
// Cannot Be Written:" CRLF CRLF path CRLF CRLF "Error: " description " ("
// number ")" CRLF CRLF question.
QString journalRefusedQuestion(const QString& journalPath, const FileError& error,
    const QString& question = QStringLiteral("Save The Tags Without A Way To Undo Them?"));
