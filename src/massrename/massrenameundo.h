#pragma once

#include "massrenamelog.h"
#include "massrenameview.h"
#include "renamejournal.h"

#include <QList>
#include <QString>

struct PlatformServices;

// Undoes a mass rename run: every file the run renamed that is still where
// and as the run left it gets its old name back (newest rename first, so a
// chain of renames unwinds), and an ID3v1 trailer the run rewrote gets its
// old bytes back. A file that has changed since, is gone, or whose old name
// is taken is left alone and listed; nothing is ever replaced. Every undo
// writes its own log ("MassRenameUndo-...log", with "Renamed As" lines, so
// that it can be undone in turn). Outcomes go to the view like a run's.
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
    QString logFileName() const { return m_logFileName; }
    // The files left alone, as "path (reason)".
    const QStringList& leftAlone() const { return m_leftAlone; }

private:
    void undoOne(const RenameRecord& record);
    void leaveAlone(const RenameRecord& record, const QString& reason);
    void restoreTail(const RenameRecord& record, const QString& path);

    PlatformServices& m_services;
    MassRenameView& m_view;
    QString m_logFolder;
    MassRenameLog m_log;
    QString m_logFileName;
    MassRenameCounters m_counters;
    QStringList m_leftAlone;
    bool m_stopRequested = false;
    bool m_stopped = false;
};
