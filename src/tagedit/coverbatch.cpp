#include "coverbatch.h"

#include "platform/filesystem.h"
#include "platform/prompter.h"
#include "tagedit/foldercover.h"
#include "tagedit/tagjournal.h"
#include "tags/filetimes.h"
#include "tags/safefilewrite.h"

#include <QFileInfo>
#include <QScopeGuard>
#include <QSet>
#include <QThreadPool>

#include <algorithm>
#include <cerrno>

namespace {

const QString kTitle = QStringLiteral("Velmora - MultiTagger");
const QString kCrLf = QStringLiteral("\r\n");
// Pictures whose shrinking is remembered: more than an album holds, few
// enough to keep in memory.
constexpr int kRememberedShrinks = 8;
// Files between two syncs of the folders written in.
constexpr int kFilesPerFolderSync = 32;

QString nameOf(const QString& path)
{
    return path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
}

bool samePictures(const QList<CoverPicture>& a, const QList<CoverPicture>& b)
{
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), samePicture);
}

} // namespace

CoverBatch::CoverBatch(FileSystem& files, Prompter& prompter, const QString& journalPath)
    : m_files(files)
    , m_prompter(prompter)
    , m_journalPath(journalPath)
{
}

CoverBatch::Image CoverBatch::readImage(const QString& path, const CoverBatchRequest& request) const
{
    Image image;
    const qint64 length = m_files.length(path, &image.error);
    // One byte past the largest picture is enough to refuse a larger one.
    if (image.error.ok())
        m_files.readBytes(path, 0, std::min(length, kMaxPictureBytes + 1), &image.data, &image.error);
    if (image.error.ok())
        image = checkedImage(image.data, request);
    if (!image.error.ok())
        image.error.description
            = QStringLiteral("The Image ") + path + QStringLiteral(" Cannot Be Used: ") + image.error.description;
    return image;
}

CoverBatch::Image CoverBatch::checkedImage(const QByteArray& data, const CoverBatchRequest& request) const
{
    Image image;
    image.data = data;
    image.error = pictureRefusal(coverPicture(image.data));
    if (image.error.ok() && request.imageCheck)
        image.error = request.imageCheck(image.data);
    return image;
}

const CoverBatch::Image& CoverBatch::folderImage(const QString& path, const CoverBatchRequest& request)
{
    const QString folder = QFileInfo(path).absolutePath();
    if (folder == m_folder)
        return m_folderImage;
    m_folder = folder;
    const QString cover = folderCoverFile(folder, request.patterns);
    m_folderImage = cover.isEmpty() ? Image { {}, {}, true } : readImage(cover, request);
    return m_folderImage;
}

std::optional<CoverPicture> CoverBatch::shrunk(const CoverPicture& picture, const CoverBatchRequest& request)
{
    {
        const QMutexLocker lock(&m_shrunkLock);
        for (const auto& [before, after] : m_shrunk)
            if (samePicture(before, picture))
                return after;
    }
    // Shrunk unlocked: the other file's picture is shrunk meanwhile.
    const std::optional<CoverPicture> smaller = request.shrink(picture);
    const QMutexLocker lock(&m_shrunkLock);
    m_shrunk.prepend({ picture, smaller });
    if (m_shrunk.size() > kRememberedShrinks)
        m_shrunk.removeLast();
    return smaller;
}

QList<CoverPicture> CoverBatch::wantedPictures(
    const QList<CoverPicture>& held, const CoverBatchRequest& request, const Image* image)
{
    QList<CoverPicture> pictures = held;
    switch (request.operation) {
    case CoverOperation::SetImage:
    case CoverOperation::FolderCover: {
        const auto front = std::find_if(
            pictures.begin(), pictures.end(), [](const CoverPicture& p) { return p.type == kFrontCoverType; });
        if (front != pictures.end())
            *front = coverPicture(image->data);
        else
            pictures.prepend(coverPicture(image->data));
        break;
    }
    case CoverOperation::RemoveAll:
        pictures.clear();
        break;
    case CoverOperation::Shrink:
        for (CoverPicture& picture : pictures)
            if (const std::optional<CoverPicture> smaller = shrunk(picture, request))
                picture = *smaller;
        break;
    }
    return pictures;
}

FileError CoverBatch::writable(const QString& path)
{
    FileError error;
    FileAttributes attributes;
    if (!m_files.attributes(path, &attributes, &error))
        return error;
    if (attributes.system)
        return fileErrorFromErrno(EISDIR);
    if (attributes.readOnly && (!m_clearWriteProtection || !m_files.resetAttributes(path, &error)))
        return error.ok() ? fileErrorFromErrno(EACCES) : error;
    return {};
}

CoverBatch::Job CoverBatch::prepare(const QString& path, const CoverBatchRequest& request)
{
    Job job;
    job.path = path;
    if (request.operation == CoverOperation::SetImage)
        job.image = m_image;
    if (request.operation == CoverOperation::FolderCover) {
        job.image = folderImage(path, request);
        job.out.skipped = job.image.missing;
        job.out.error = job.image.error;
        if (job.out.skipped || !job.out.error.ok())
            return job;
    }
    job.out.error = writable(path);
    job.toWrite = job.out.error.ok();
    return job;
}

void CoverBatch::write(Job& job, const CoverBatchRequest& request, TagJournal* journal)
{
    Outcome& out = job.out;
    AudioTag tag;
    // Loads leave the file as it is: only a changed picture list writes.
    tag.setKeepTrailerOnLoad(true);
    FileTimeKeeper keeper(job.path, m_keepFileTimes);
    out.error = tag.setFileName(job.path);
    if (!out.error.ok())
        return;
    const QList<CoverPicture> wanted = wantedPictures(tag.pictures(), request, &job.image);
    if (samePictures(wanted, tag.pictures())) {
        out.unchanged = true;
        return;
    }
    // Refused pictures are never recorded: the file stays as it was.
    if (!tag.setPictures(wanted)) {
        out.error = tag.lastWriteError();
        return;
    }
    if (journal && !journal->recordBefore(job.path, &out.error))
        return;
    if (!tag.update())
        out.error = tag.lastWriteError();
    FileError timeError;
    if (!keeper.restore(&timeError) && out.error.ok())
        out.timeNotKept = timeError;
    // After the time is back, so the journal holds the file as the run left it.
    if (journal)
        journal->recordAfter(job.path);
}

void CoverBatch::start(
    const std::shared_ptr<Job>& job, const CoverBatchRequest& request, TagJournal* journal, QThreadPool& pool)
{
    // Between a file's two journal records lie at most the records of the
    // files on their way before and after it.
    static_assert(2 * (kFilesAtOnce - 1) < TagJournal::kInterleaveLimit);
    const auto finish = [this, job] {
        const QMutexLocker lock(&m_finishedLock);
        job->finished = true;
        m_finished.wakeAll();
    };
    if (!job->toWrite) {
        finish();
        return;
    }
    pool.start([this, job, &request, journal, finish] {
        // Its renames' folder syncs wait for the run's own batch.
        FolderSyncBatch syncs;
        write(*job, request, journal);
        job->folderSyncs = syncs.take();
        finish();
    });
}

void CoverBatch::waitUntilFinished(const Job& job)
{
    const QMutexLocker lock(&m_finishedLock);
    while (!job.finished)
        m_finished.wait(&m_finishedLock);
}

CoverBatchReport CoverBatch::run(
    const QStringList& paths, const CoverBatchRequest& request, const MultiTagRunHooks& hooks)
{
    CoverBatchReport report;
    MultiTagRunReport& counts = report.run;
    counts.total = int(paths.size());
    m_folder.clear();
    m_shrunk.clear();
    const auto status = [&](const QString& text) {
        if (hooks.status)
            hooks.status(text);
    };

    // The same image for every file: refused once, not once a file.
    m_image = request.operation != CoverOperation::SetImage ? Image {}
        : request.imageData.isEmpty()                       ? readImage(request.imagePath, request)
                                                            : checkedImage(request.imageData, request);
    counts.refused = m_image.error;
    if (request.operation == CoverOperation::Shrink && !request.shrink)
        counts.refused = { ErrorNo::Internal, QStringLiteral("No Way To Shrink Pictures Was Given") };
    if (!counts.refused.ok()) {
        m_prompter.message(kTitle, multiTagRefusedText(counts.refused), MsgIcon::Critical);
        return report;
    }

    // Undoable, but nothing to take lightly: No is the default.
    if (request.operation == CoverOperation::RemoveAll
        && !m_prompter.askYesNo(kTitle, removeCoversQuestion(counts.total), MsgIcon::Question, Answer::No)) {
        counts.cancelled = true;
        return report;
    }

    QStringList readOnly;
    for (const QString& path : paths) {
        FileAttributes attributes;
        if (m_files.attributes(path, &attributes) && !attributes.system && attributes.readOnly)
            readOnly << path;
    }
    m_clearWriteProtection = !readOnly.isEmpty()
        && m_prompter.askYesNo(kTitle, readOnlyQuestion(readOnly, counts.total), MsgIcon::Exclamation);
    const auto protect = qScopeGuard([this] { m_clearWriteProtection = false; });

    TagJournal journal(m_journalPath);
    if (!m_journalPath.isEmpty()) {
        FileError error;
        if (journal.begin(&error)) {
            counts.journalled = true;
        } else if (!m_prompter.askYesNo(kTitle,
                       journalRefusedQuestion(
                           journal.path(), error, QStringLiteral("Change The Covers Without A Way To Undo Them?")),
                       MsgIcon::Exclamation)) {
            counts.cancelled = true;
            return report;
        }
    }

    // A rename is whole without its folder sync; once every few files keeps
    // a crash from taking back more than those, at a fraction of the cost.
    FolderSyncBatch folderSyncs;
    RunFailures failures(m_prompter, kTitle);
    QThreadPool pool;
    pool.setMaxThreadCount(kFilesAtOnce);
    TagJournal* const kept = counts.journalled ? &journal : nullptr;
    QList<std::shared_ptr<Job>> onTheWay; // in the order of paths
    qsizetype next = 0;
    for (;;) {
        while (!counts.stopped && next < paths.size() && onTheWay.size() < kFilesAtOnce) {
            const QString& path = paths[next];
            // Never one file twice (by two names) at once: it waits for the first.
            if (std::any_of(onTheWay.cbegin(), onTheWay.cend(), [&](const std::shared_ptr<Job>& j) {
                    return j->path == path || m_files.isSameFile(j->path, path);
                }))
                break;
            if (hooks.stopRequested && hooks.stopRequested()) {
                counts.stopped = true;
                break;
            }
            status(QStringLiteral("Setting Covers In ") + nameOf(path));
            onTheWay << std::make_shared<Job>(prepare(path, request));
            start(onTheWay.last(), request, kept, pool);
            ++next;
        }
        if (onTheWay.isEmpty())
            break;
        const std::shared_ptr<Job> job = onTheWay.takeFirst();
        waitUntilFinished(*job);
        for (const QString& folder : std::as_const(job->folderSyncs))
            folderSyncs.add(folder);
        const Outcome& out = job->out;
        ++counts.done;
        if (out.skipped) {
            ++report.withoutCover;
        } else if (out.unchanged) {
            ++report.unchanged;
        } else if (out.error.ok()) {
            ++counts.written;
            status(QStringLiteral("Covers Saved In ") + nameOf(job->path));
            if (!out.timeNotKept.ok())
                counts.timesNotKept << runFileLine(job->path, out.timeNotKept);
        } else {
            failures.add(counts, job->path, out.error);
        }
        if (counts.done % kFilesPerFolderSync == 0)
            folderSyncs.flush();
        if (hooks.progress)
            hooks.progress(counts.done, counts.total);
    }
    // The journal ends only when every rename it records is durable.
    folderSyncs.flush();
    journal.end();
    m_folder.clear();
    m_folderImage = {};
    m_shrunk.clear();
    return report;
}

QString removeCoversQuestion(int files)
{
    return QStringLiteral("Remove Every Picture From The ") + QString::number(files)
        + QStringLiteral(" Selected Files?") + kCrLf + kCrLf + QStringLiteral("Undo Last Run Puts Them Back.");
}

QString coverBatchStatus(const CoverBatchReport& report)
{
    QStringList more;
    if (report.unchanged > 0)
        more << QString::number(report.unchanged) + QStringLiteral(" Unchanged");
    if (report.withoutCover > 0)
        more << QString::number(report.withoutCover) + QStringLiteral(" Without A Folder Cover");
    return runStatusText(QStringLiteral("Cover Updates"), report.run, more);
}
