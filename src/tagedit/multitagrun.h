#pragma once

#include "tagedit/multitagwriter.h"

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
    // "path - Error: description (number)" of each error not shown because
    // the user chose to skip further errors of its kind.
    QStringList skipped;
    bool stopped = false; // ended by a stop request before the last file
    bool cancelled = false; // the user declined before any file was written
    bool journalled = false; // the run can be undone
};

// One Set Tags run over the chosen files: asks before clearing fields the
// files hold, keeps every file's tags in the undo journal before writing it,
// writes the included fields, shows each error (offering, from the second
// error of a kind, to skip further errors of that kind) and stops between
// files when asked. Counters are exact whenever the run ends.
class MultiTagRun {
public:
    // journalPath "" keeps no journal. Nothing is owned.
    MultiTagRun(MultiTagWriter& writer, Prompter& prompter, const QString& journalPath);

    MultiTagRunReport run(const QStringList& paths, const MultiTagValues& values, const MultiTagRunHooks& hooks);

private:
    enum class Journal { Kept, None, Refused };
    // Starts the journal; when it cannot be written, asks whether to go on
    // without one.
    Journal beginJournal(class TagJournal& journal);

    MultiTagWriter& m_writer;
    Prompter& m_prompter;
    QString m_journalPath;
};

// The status line after a run: "ID3 Tag Updates Complete", "ID3 Tag Updates
// Stopped After " done " Of " total " Files" or "ID3 Tag Updates Cancelled".
QString multiTagRunStatus(const MultiTagRunReport& report);

// "Tags Were Not Saved In These Files:" CRLF CRLF and one skipped line each
// (at most 20, then "... And n More"); "" when none was skipped.
QString multiTagSkippedText(const MultiTagRunReport& report);

// The question when the undo journal cannot be written: "The Undo Journal
// Cannot Be Written:" CRLF CRLF path CRLF CRLF "Error: " description " ("
// number ")" CRLF CRLF question.
QString journalRefusedQuestion(const QString& journalPath, const FileError& error,
    const QString& question = QStringLiteral("Save The Tags Without A Way To Undo Them?"));
