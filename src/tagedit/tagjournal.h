#pragma once

#include "platform/fileerror.h"
#include "tags/tagsnapshot.h"

#include <QFile>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

// The undo journal of one tag writing run (a MultiTagger run, a tag save):
// for each file, the tags it held before the write and a fingerprint of it
// after, appended and flushed file by file, so that the run can be undone
// after the program has ended. One journal per kind of run; a new run
// replaces the journal of the last one.
//
// Layout (QDataStream): a header, then per file a "before" record (path and
// the whole TagSnapshot) and, when the write changed the file, an "after"
// record (path, size, modification time and the hash of its tags).
class TagJournal {
public:
    // The per-user data folder ($XDG_DATA_HOME/Velmora/), ending in "/".
    // Not created here.
    static QString defaultFolder();
    // The journal of the last MultiTagger run and of the last tag save in
    // folder (which ends in "/").
    static QString multiTaggerJournal(const QString& folder);
    static QString tagSaveJournal(const QString& folder);

    explicit TagJournal(const QString& path);
    ~TagJournal();
    TagJournal(const TagJournal&) = delete;
    TagJournal& operator=(const TagJournal&) = delete;

    QString path() const { return m_file.fileName(); }

    // Creates (or empties) the journal, creating its folder when missing.
    bool begin(FileError* err = nullptr);
    // Reads the tags of file and appends them. False when the file cannot
    // be read (*err as a write would report it) or the journal cannot be
    // written; the file must then not be written.
    bool recordBefore(const QString& file, FileError* err = nullptr);
    // Reads file again after its write and appends its fingerprint when its
    // tags or size changed. Returns whether it was recorded as changed.
    bool recordAfter(const QString& file);
    // Files recorded as changed since Begin.
    int changedCount() const { return m_changed; }
    void end();

private:
    QFile m_file;
    QString m_lastPath;
    TagSnapshot m_lastBefore;
    bool m_haveBefore = false;
    int m_changed = 0;
};

// What an undo did, file by file.
struct TagUndoReport {
    struct Failure {
        QString path;
        FileError error;
    };
    QStringList restored;
    // Files whose tags or size differ from what the run left: not touched.
    QStringList changedSince;
    QList<Failure> failed;
    FileError journalError; // the journal could not be read
    bool nothingToUndo() const { return restored.isEmpty() && changedSince.isEmpty() && failed.isEmpty(); }
};

// The files the journal records as changed, in journal order; none when it
// is missing or unreadable.
QStringList tagJournalChangedFiles(const QString& journalPath);

// Puts back the tags of every file the journal records as changed whose
// size and tags are still exactly what the run left; the bytes between the
// tags (the audio) are never written. Files changed since are left alone
// and listed. Afterwards the journal holds only the files that failed (and
// is removed when none did), so an undo is done once. status (may be
// empty) is called with each file's path before it is handled.
TagUndoReport undoTagJournal(const QString& journalPath, const std::function<void(const QString&)>& status = {});

// The lines of a report for a message box: the files changed since and the
// files that failed, each list headed, at most 20 paths each ("... And 5
// More"). "" when both lists are empty.
QString tagUndoProblemsText(const TagUndoReport& report);
