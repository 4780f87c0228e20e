#pragma once

#include <QString>

// How the New Filename cell of a result row is drawn: dark green for a
// rename, red for every skip and error.
enum class ResultColour { Renamed, Failed };

// The four counters of a run, as whole numbers.
struct MassRenameCounters {
    qint64 total = 0;
    qint64 skipped = 0;
    qint64 errors = 0;
    qint64 renamed = 0;
};

// What a mass rename run shows while it works. The window implements it;
// tests and the benchmark record or ignore the calls. Calls come from the
// thread that runs the engine, in outcome order.
class MassRenameView {
public:
    virtual ~MassRenameView() = default;

    virtual void ClearResults() = 0;
    // dir ends with "/"; newName is "" for a zero-length file.
    virtual void AddResultRow(const QString& dir, const QString& oldName, const QString& newName,
                              ResultColour colour) = 0;
    virtual void SetStatusText(const QString& text) = 0;
    // The folder of the file being worked on ("" clears it).
    virtual void SetCurrentDir(const QString& dir) = 0;
    virtual void SetCounters(const MassRenameCounters& counters) = 0;
    // Enables or disables the controls that must not change during a run.
    virtual void SetRunControls(bool enabled) = 0;
    virtual void ShowRunStatus(bool on) = 0;
    // Called after each file: a view may repaint here, as often as it likes.
    virtual void Progress() = 0;
    // Called before a prompt and at the end of a run: everything reported so
    // far must be visible now.
    virtual void RefreshNow() = 0;
};
