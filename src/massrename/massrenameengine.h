#pragma once

#include "foundfiles.h"
#include "massrenamechoices.h"
#include "massrenamelog.h"
#include "massrenameview.h"
#include "nameplanner.h"
#include "renamejournal.h"
#include "repeatederrors.h"
#include "runoutcomes.h"
#include "runwriter.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

struct PlatformServices;
class Preferences;
class AudioTag;

// Renames every audio file of a folder (and, on request, of its subfolders;
// MP3 files alone with the option "MP3 Files Only") in one run: from the files' tag values through an autoformat
// string, or by cleaning up the existing names. Each outcome goes to the view, the counters and, when asked, the log.
// Questions and messages go through the prompter, renames through the file layer; nothing here needs a window.
//
// A rename never replaces another directory entry (a file, a second hard
// link of the same file, a symbolic link): such a file is counted as an
// error. A file that vanished or cannot be read when its turn comes is an
// error of that file; the run goes on. Names built here never begin with a
// dot and never hold a control character.
//
// The ID3v1 trailer a run writes into each file it names from its tags is
// nobody's request: it goes only into MP3 files with MPEG audio
// (AudioTag::takesTrailer) that may be changed so
// (writeaccess.h), and a file whose time could not be kept is logged. A
// rename never changes a file's mode.
//
// Stop: requestStop (from the view's Progress, between two files) ends the
// run before the next file; the counters, rows and log then tell exactly
// what was done. Every run keeps a journal in the log folder, logged or
// not: each change (a rename, a rewritten ID3v1 trailer) is recorded there
// before it is made, so that the run can be undone even after a crash.
class MassRenameEngine {
public:
    enum class GoResult { StartDirMissing, Declined, Ran };
    using RunPoint = ::RunPoint;

    MassRenameEngine(PlatformServices& services, Preferences& prefs, MassRenameView& view);
    ~MassRenameEngine();
    MassRenameEngine(const MassRenameEngine&) = delete;
    MassRenameEngine& operator=(const MassRenameEngine&) = delete;

    // The Go button: checks the starting folder (message when missing),
    // clears the results, asks for confirmation, then Run.
    GoResult go(const MassRenameChoices& choices);
    // The run itself, without the checks and the confirmation.
    void run(const MassRenameChoices& choices);

    // Fills the view with every file's old and new name and flags names that
    // are taken, changing no file. The plan is kept for renamePreviewed.
    const QList<PlannedFile>& preview(const MassRenameChoices& choices);
    const QList<PlannedFile>& plan() const { return m_plan; }
    bool hasPlan() const { return m_havePlan; }
    // Runs the kept plan: renames exactly the previewed files to their
    // previewed names (the run's other steps as in Run), then drops it.
    void renamePreviewed();

    // Ends the current run (or walk) before its next file.
    void requestStop() { m_stopRequested = true; }
    bool stopped() const { return m_stopped; }

    // Where logs are written (default: the per-user data folder).
    void setLogFolder(const QString& folder) { m_logFolder = folder; }
    QString logFolder() const { return m_logFolder; }
    // How many files one run takes at most (default 1,000,000).
    void setFileLimit(qsizetype limit) { m_fileLimit = limit; }

    const MassRenameCounters& counters() const { return m_outcomes.counters(); }
    // The log of the current or last logged run ("" before any).
    QString logFileName() const { return m_logFileName; }
    // True when the last run found more files than it took.
    bool limitExceeded() const { return m_limitExceeded; }
    void closeLog();

    // The journal of the current or last run ("" before any, or when it
    // could not be written and the user chose to go on without it).
    QString journalPath() const { return m_journalPath; }
    // Called at every point of a run where it could be cut short.
    void setRunPointHook(std::function<void(RunPoint)> hook) { m_writer.setRunPointHook(std::move(hook)); }

private:
    // One file on its way through a run, handed from step to step.
    struct FileInRun {
        PlannedFile plan;
        TrailerChange trailer;
    };

    void prepareRun(const MassRenameChoices& choices);
    void startRun();
    void finishRun(bool logged);
    void cancelBeforeStart();
    // Creates the run's journal and, when asked, its log. False when the
    // journal cannot be written and the user does not want to go on.
    bool openRunFiles();
    void openLog(const QString& path, const QDateTime& started);
    // The journal could not take a record: the run stops, and says why.
    void journalFailed(const FileError& error);
    FoundFiles walk();
    bool stopNow();
    // Counts the next file of a run; false when the run stops or was cancelled (the user is told).
    bool startNextFile();
    void enterDir(const QString& dir);
    // One file of a run; dir ends with "/", name has no folder part.
    void processFile(const QString& dir, const QString& name);
    FileInRun decide(const QString& dir, const QString& name, bool preview);
    // Loads the file's tags and, in a run, rewrites its trailer from them.
    // False when the file turned out unreadable (file->plan says why).
    bool loadTags(FileInRun* file, bool writeTrailer);
    // Opens path's tags (any format); why they could not be read, else ok().
    FileError loadTag(const QString& path);
    NameTags nameTags() const;
    void reportTrailerWrite(const QString& path, const TrailerWrite& result);
    void carry(FileInRun& file);
    void carryOutcome(FileInRun& file);
    void rename(FileInRun& file);
    void setStatus(const QString& text) { m_view.setStatusText(text); }
    void showCounters() { m_outcomes.showCounters(); }

    PlatformServices& m_services;
    Preferences& m_prefs;
    MassRenameView& m_view;
    RepeatedErrors m_errors;
    std::unique_ptr<AudioTag> m_tag;

    MassRenameChoices m_choices;
    NamePlanner m_planner;
    QString m_currentDir;
    bool m_continue = true;
    bool m_stopRequested = false;
    bool m_stopped = false;
    MassRenameLog m_log;
    RunOutcomes m_outcomes;
    RenameJournal m_journal;
    RunWriter m_writer;
    QString m_journalPath;
    QString m_logFileName;
    QString m_logFolder;
    qsizetype m_fileLimit;
    bool m_limitExceeded = false;

    QList<PlannedFile> m_plan;
    MassRenameChoices m_planChoices;
    bool m_havePlan = false;
};
