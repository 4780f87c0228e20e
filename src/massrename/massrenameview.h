#pragma once

#include <QString>

// How the New Filename cell of a result row is drawn: dark green for a
// rename, red for every skip and error.
enum class ResultColour { Renamed, Failed };

// Why a previewed new name cannot be had: a file already carries it, or
// an earlier file of the same run would take it first.
enum class NameCollision { None, ExistingFile, InsideRun };

// The four counters of a run, as whole numbers, and how many files the
// walk found (what the progress is measured against).
struct MassRenameCounters {
    qint64 found = 0;
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

    virtual void clearResults() = 0;
    // dir ends with "/"; newName is "" for a zero-length file.
    virtual void addResultRow(const QString& dir, const QString& oldName, const QString& newName, ResultColour colour)
        = 0;
    // A preview row: the name a file would get, and whether it collides.
    virtual void addPreviewRow(
        const QString& dir, const QString& oldName, const QString& newName, NameCollision collision)
        = 0;
    virtual void setStatusText(const QString& text) = 0;
    // The folder of the file being worked on ("" clears it).
    virtual void setCurrentDir(const QString& dir) = 0;
    virtual void setCounters(const MassRenameCounters& counters) = 0;
    // Enables or disables the controls that must not change during a run.
    virtual void setRunControls(bool enabled) = 0;
    virtual void showRunStatus(bool on) = 0;
    // Called after each file and each folder of the walk: a view may repaint
    // here, and take a Stop click, as often as it likes.
    virtual void progress() = 0;
    // Called before a prompt and at the end of a run: everything reported so
    // far must be visible now.
    virtual void refreshNow() = 0;
};
