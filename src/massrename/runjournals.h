#pragma once

#include "renamejournal.h"

#include <QDateTime>
#include <QList>
#include <QString>

// The journals of mass rename runs in one folder (the log folder): every run
// keeps one, logged or not, so that it can be undone after the window has
// closed or the program has ended.

// Creates the journal of a run that starts at start in folder, and for a
// logged run chooses its log's path (*logPath, "" when not logged). Two
// runs never share a name: a run that starts in the same second as another
// gets "-2", "-3", ... after the time. The journal is then the folder's
// last run.
bool createRunJournal(RenameJournal& journal, const QString& folder, const QDateTime& start, bool logged,
    QString* logPath, FileError* err);

// The journal of the folder's last run; "" when there is none.
QString lastRunJournal(const QString& folder);

// True when the journal holds a change and has not been undone; reads only
// its start and end.
bool hasUndoableChanges(const QString& journalPath);

// A run that ended without its closing record (the program was killed, the
// machine lost power) and that the user has not been told about yet.
struct InterruptedRun {
    QString journalPath;
    QString logPath; // "" when the run kept no log
    qsizetype changes = 0;
};
QList<InterruptedRun> interruptedRuns(const QString& folder);

// Marks the run as reported, and says so at the end of its log.
bool noteInterruptedRun(const InterruptedRun& run, FileError* err = nullptr);

// "The Mass Rename Of This Journal Was Interrupted: It Holds " n
// " Changes." (used wherever an interrupted run's undo is offered).
QString interruptedRunText(qsizetype changes);
