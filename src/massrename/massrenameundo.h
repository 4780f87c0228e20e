#pragma once

#include "massrenamelog.h"
#include "massrenameview.h"
#include "renamejournal.h"

#include <QList>
#include <QSet>
#include <QString>

struct PlatformServices;

// What an undo found, change by change.
struct UndoTally {
    qint64 records = 0; // changes the journal or log holds
    qint64 handled = 0;
    qint64 renamedBack = 0;
    qint64 restored = 0; // file ends (ID3v1 trailers) put back
    qint64 neverMade = 0; // recorded, but the run ended before making them
    qint64 leftAlone = 0;
    qint64 errors = 0;
};

// Undoes a mass rename run, newest change first (so a chain of renames
// unwinds): every file the run renamed that is still where and as the run
// left it gets its old name back, and a file whose ID3v1 trailer the run
// rewrote gets its old bytes, modification time and permissions back. A
// change the journal records but the run never made (it was killed in
// between) is recognised and counted as such. A file that has changed
// since, is gone, or whose old name is taken is left alone and listed;
// nothing is ever replaced. Every undo writes its own log
// ("MassRenameUndo-...log", with "Renamed As" lines, so that it can be
// undone in turn). Outcomes go to the view like a run's; its counters are
// changes: renamed counts those undone, skipped those left alone or never
// made.
class MassRenameUndo {
public:
    MassRenameUndo(PlatformServices& services, MassRenameView& view);

    void setLogFolder(const QString& folder) { m_logFolder = folder; }
    // source: what is undone, for the log ("" for the last run).
    void run(const QList<RenameRecord>& records, const QString& source);
    // Ends the undo before its next file.
    void requestStop() { m_stopRequested = true; }
    bool stopped() const { return m_stopped; }

    // total: files taken in hand; skipped: left alone; renamed: renamed back.
    const MassRenameCounters& counters() const { return m_counters; }
    const UndoTally& tally() const { return m_tally; }
    QString logFileName() const { return m_logFileName; }
    // The files left alone, as "path (reason)".
    const QStringList& leftAlone() const { return m_leftAlone; }

private:
    void undoOne(const RenameRecord& record);
    void undoRename(const RenameRecord& record);
    void undoTrailer(const RenameRecord& record);
    void putBackEnd(const RenameRecord& record, const QString& path);
    void leaveAlone(const QString& dir, const QString& name, const QString& shownName, const QString& reason);
    void neverMade(const QString& dir, const QString& name);
    void restoreTail(const RenameRecord& record, const QString& path);
    void restoreMode(const RenameRecord& record, const QString& path);
    void restoreFailed(const QString& path, const FileError& error);

    PlatformServices& m_services;
    MassRenameView& m_view;
    QString m_logFolder;
    MassRenameLog m_log;
    QString m_logFileName;
    MassRenameCounters m_counters;
    UndoTally m_tally;
    QStringList m_leftAlone;
    // Old names of files whose rename was not undone.
    QSet<QString> m_notRenamedBack;
    bool m_stopRequested = false;
    bool m_stopped = false;
};
