#pragma once

#include "massrenamelog.h"
#include "massrenameview.h"

#include "platform/fileerror.h"

#include <QString>

// Where each outcome of a run goes: its row in the view, its counter, its
// log line and the status text. Calls on a log that is not open write no
// line, so a run without a log reports the same way.
class RunOutcomes {
public:
    RunOutcomes(MassRenameView& view, MassRenameLog& log)
        : m_view(view)
        , m_log(log)
    {
    }

    MassRenameCounters& counters() { return m_counters; }
    const MassRenameCounters& counters() const { return m_counters; }
    // Shows the counters as they are now.
    void showCounters() { m_view.setCounters(m_counters); }
    void setStatus(const QString& text) { m_view.setStatusText(text); }

    // A folder of the tree that could not be listed.
    void folderUnreadable(const QString& folder, const FileError& error);
    // A file left as it is; reason " (...)".
    void skipped(const QString& dir, const QString& name, const QString& reason);
    void sameName(const QString& dir, const QString& name, const QString& newName);
    void declined(const QString& dir, const QString& name, const QString& newName);
    void zeroLength(const QString& dir, const QString& name);
    // A file that could not be read (newName "") or renamed.
    void failed(
        const QString& dir, const QString& name, const QString& newName, const QString& description, bool renameFailed);
    void renamed(const QString& dir, const QString& name, const QString& newName);

private:
    MassRenameView& m_view;
    MassRenameLog& m_log;
    MassRenameCounters m_counters;
};
