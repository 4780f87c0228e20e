#pragma once

#include "tagedit/multitagrun.h"
#include "tags/audiotag.h"
#include "tags/coverpicture.h"

#include <QByteArray>
#include <QMutex>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QWaitCondition>

#include <functional>
#include <memory>
#include <optional>

class FileSystem;
class Prompter;
class QThreadPool;
class TagJournal;

enum class CoverOperation {
    SetImage, // one image as every file's front cover
    FolderCover, // each file its own folder's cover file (folderCoverFile)
    RemoveAll, // every picture removed
    Shrink, // every picture request.shrink makes smaller replaced by it
};

struct CoverBatchRequest {
    CoverOperation operation = CoverOperation::SetImage;
    QString imagePath; // SetImage
    QByteArray imageData; // SetImage: the image itself (a paste), instead of imagePath
    QStringList patterns; // FolderCover: as folderCoverFile takes them
    // Shrink: the smaller picture, or nothing to leave it as it is. The
    // window lends shrunkCover (Qt Gui, which this folder does not link).
    std::function<std::optional<CoverPicture>(const CoverPicture&)> shrink;
    // SetImage, FolderCover (may be empty): why an image is refused beyond
    // the tag layer's own rule, as imageRefusal says it.
    std::function<FileError(const QByteArray&)> imageCheck;
};

struct CoverBatchReport {
    // Files chosen, handled, written and failed, the failures, stop, cancel,
    // a refusal before any file, and whether the run can be undone.
    MultiTagRunReport run;
    int unchanged = 0; // files that needed no change: not written
    int withoutCover = 0; // FolderCover: files whose folder has no cover file: not written
};

// One cover run over the chosen files, as a Set Tags run goes: a SetImage
// image that no file can take is refused once, before any file; RemoveAll
// asks first (removeCoversQuestion, No the default); read-only files are
// made writable only when the user says so; every file's tags are kept in the
// undo journal before it is written (when the journal cannot be written, the
// user is asked whether to go on without one), so one undo restores the whole
// run; a file that would not change is neither recorded nor written; a
// refused picture (no image, over 16 MB, more than the format holds) leaves
// its file as it was and is shown with its reason (from the second error of
// a kind, offering to skip the rest); a stop request ends the run between
// files, once the few files being written at that moment are done (they are
// written at the same time on as many threads, never one file twice; their
// outcomes are told in the order of paths). The front cover replaced is the first picture of type 3; without
// one, the new cover comes first. Every other picture is kept. The folders
// written in are synced every 32 files and before the journal ends
// (FolderSyncBatch), not after every file.
class CoverBatch {
public:
    // journalPath "" keeps no journal. Nothing is owned.
    CoverBatch(FileSystem& files, Prompter& prompter, const QString& journalPath);

    // Whether writing leaves each file's modification time as it was.
    void setKeepFileTimes(bool keep) { m_keepFileTimes = keep; }

    CoverBatchReport run(const QStringList& paths, const CoverBatchRequest& request, const MultiTagRunHooks& hooks);

private:
    struct Image {
        QByteArray data;
        FileError error;
        bool missing = false; // FolderCover: the folder has no cover file
    };
    struct Outcome {
        FileError error;
        FileError timeNotKept;
        bool unchanged = false;
        bool skipped = false;
    };
    // One file of the run: the image it is to get and how it went.
    struct Job {
        QString path;
        Image image; // SetImage, FolderCover
        Outcome out;
        bool toWrite = false; // nothing refused it before its tags were read
        bool finished = false; // guarded by m_finishedLock
        QSet<QString> folderSyncs; // the folders its write renamed in, to sync
    };
    // Files on their way at once, told in the order of paths: a file's time
    // is mostly the wait for the sync of its rewrite and the kernel's copy of
    // it, which the other files' work overlaps (2 at once gave a fifth more
    // files a second, 8 twice as many).
    static constexpr int kFilesAtOnce = 8;

    // The image's bytes, or why no file can take them.
    Image readImage(const QString& path, const CoverBatchRequest& request) const;
    Image checkedImage(const QByteArray& data, const CoverBatchRequest& request) const;
    // The image of the folder of path, read again only when the folder
    // changes (files come mostly folder by folder; one image in memory).
    const Image& folderImage(const QString& path, const CoverBatchRequest& request);
    // The pictures the file is to hold.
    QList<CoverPicture> wantedPictures(
        const QList<CoverPicture>& held, const CoverBatchRequest& request, const Image* image);
    // request.shrink's answer, remembered for the last few pictures: the
    // files of an album mostly share one cover.
    std::optional<CoverPicture> shrunk(const CoverPicture& picture, const CoverBatchRequest& request);
    // Refused unless the file may be written (and made writable, when allowed).
    FileError writable(const QString& path);
    // What is decided on the run's own thread: the image, the write access
    // (the file system and the prompter are not shared with other threads).
    Job prepare(const QString& path, const CoverBatchRequest& request);
    // Reads and writes the job's file; safe beside other jobs' writes on
    // other threads.
    void write(Job& job, const CoverBatchRequest& request, TagJournal* journal);
    // Writes the job's file on one of the pool's threads, or marks the job
    // finished when there is nothing to write.
    void start(
        const std::shared_ptr<Job>& job, const CoverBatchRequest& request, TagJournal* journal, QThreadPool& pool);
    void waitUntilFinished(const Job& job);

    FileSystem& m_files;
    Prompter& m_prompter;
    QString m_journalPath;
    bool m_keepFileTimes = false;
    bool m_clearWriteProtection = false;
    Image m_image; // SetImage
    QString m_folder; // FolderCover: the folder of m_folderImage
    Image m_folderImage;
    QMutex m_finishedLock;
    QWaitCondition m_finished; // a job finished
    QMutex m_shrunkLock; // m_shrunk is shared by the files written at once
    QList<std::pair<CoverPicture, std::optional<CoverPicture>>> m_shrunk; // newest first
};

// "Remove Every Picture From The " files " Selected Files?" CRLF CRLF "Undo
// Last Run Puts Them Back."
QString removeCoversQuestion(int files);

// The status line after a cover run: "Cover Updates Complete: 3 Of 4 Files
// Written, 1 Unchanged", "... Complete With Errors: ...", "... Failed: ...",
// "Cover Updates Stopped After 2 Of 4 Files: 1 Written, 1 Failed", with
// ", n Without A Folder Cover" where files were skipped for that; "Cover
// Updates Cancelled", or "Cover Updates Refused: " and the reason.
QString coverBatchStatus(const CoverBatchReport& report);
