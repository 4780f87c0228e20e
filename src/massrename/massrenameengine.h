#pragma once

#include "autoformat.h"
#include "massrenamechoices.h"
#include "massrenamelog.h"
#include "massrenameview.h"
#include "renamecleanup.h"

#include <QString>
#include <QStringList>

#include <memory>

struct PlatformServices;
class Preferences;
class ID3V1Tag;
class ID3V2Tag;

// Renames every MP3 file of a folder (and, on request, of its subfolders)
// in one run: from the files' tag values through an autoformat string, or
// by cleaning up the existing names. Each outcome goes to the view, the
// counters and, when asked, the log. Questions and messages go through the
// prompter, renames through the file layer; nothing here needs a window.
//
// A rename never replaces an existing file: such a file is counted as an
// error. A file that vanished or cannot be read when its turn comes is an
// error of that file; the run goes on.
class MassRenameEngine {
public:
    enum class GoResult { StartDirMissing, Declined, Ran };

    MassRenameEngine(PlatformServices& services, Preferences& prefs, MassRenameView& view);
    ~MassRenameEngine();
    MassRenameEngine(const MassRenameEngine&) = delete;
    MassRenameEngine& operator=(const MassRenameEngine&) = delete;

    // The Go button: checks the starting folder (message when missing),
    // clears the results, asks for confirmation, then Run.
    GoResult Go(const MassRenameChoices& choices);
    // The run itself, without the checks and the confirmation.
    void Run(const MassRenameChoices& choices);

    // Where logs are written (default: the per-user data folder).
    void SetLogFolder(const QString& folder) { m_logFolder = folder; }
    // How many files one run takes at most (default 1,000,000).
    void SetFileLimit(qsizetype limit) { m_fileLimit = limit; }

    const MassRenameCounters& Counters() const { return m_counters; }
    // The log of the current or last logged run ("" before any).
    QString LogFileName() const { return m_logFileName; }
    // True when the last run found more files than it took.
    bool LimitExceeded() const { return m_limitExceeded; }
    void CloseLog() { m_log.Close(); }

    // One file of a run; dir ends with "/", name has no folder part. Uses the
    // choices of the current run.
    void ProcessFile(const QString& dir, const QString& name);
    // Adds a tag value to the parts of the name being built. False when the
    // run requires every selected tag and this one is blank.
    bool AddNamePart(const QString& text);
    // The numeric form: a two-digit track when options are used and ask for
    // it (0 then adds nothing), else plain decimal.
    bool AddNamePart(int number);
    // Rewrites the current file's ID3v1 trailer from its loaded ID3v2 values.
    void MirrorV1FromV2();

private:
    void PrepareRun(const MassRenameChoices& choices);
    void OpenLog();
    bool BuildFromTags(const QString& dir, const QString& name, QString* base);
    void Skip(const QString& dir, const QString& name, const QString& reason);
    void Fail(const QString& dir, const QString& name, const QString& newName, const QString& description,
              bool renameFailed);
    void Rename(const QString& dir, const QString& name, const QString& newName);
    void SetStatus(const QString& text) { m_view.SetStatusText(text); }
    void ShowCounters() { m_view.SetCounters(m_counters); }

    PlatformServices& m_services;
    Preferences& m_prefs;
    MassRenameView& m_view;
    std::unique_ptr<ID3V2Tag> m_v2;
    std::unique_ptr<ID3V1Tag> m_v1;

    MassRenameChoices m_choices;
    AutoFormat m_format;
    RenameCleanupRules m_rules;
    QString m_separator;
    QStringList m_fileParts;
    QString m_currentFile;
    QString m_currentDir;
    bool m_continue = true;
    MassRenameCounters m_counters;
    MassRenameLog m_log;
    QString m_logFileName;
    QString m_logFolder;
    qsizetype m_fileLimit;
    bool m_limitExceeded = false;
};
