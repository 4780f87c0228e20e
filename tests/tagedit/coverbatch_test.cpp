// Cover runs over files of every format, read back with mutagen and ffmpeg:
// the front cover set, shrunk or every picture removed with the other
// pictures, the other items and the audio as they were; one undo restores
// the whole run; folder covers are found by name; refusals and files that
// need no change leave the files exactly as they were.
#include "tagedit/coverbatch.h"

#include "coverimage/coverimage.h"
#include "platform/fakes/scriptedprompter.h"
#include "platform/localfilesystem.h"
#include "support/filestate.h"
#include "support/tagfiles.h"
#include "tagedit/foldercover.h"
#include "tagedit/tagjournal.h"
#include "tags/encodedfiles.h"

#include <QCryptographicHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <gtest/gtest.h>

namespace E = EncodedFiles;
namespace B = Id3Builder;

namespace {

// Every picture as [type, description, SHA-1] (MP4 covers as front covers
// without a description), their bytes in base64, and every other item.
constexpr const char* kCoversScript = R"(
import base64, hashlib, json, sys
import mutagen
from mutagen.flac import FLAC, Picture
from mutagen.id3 import ID3
from mutagen.mp4 import MP4

path = sys.argv[1]
pics, other = [], []
if path.endswith(".mp3"):
    for f in ID3(path).values():
        if f.FrameID == "APIC":
            pics.append((int(f.type), f.desc, bytes(f.data)))
        else:
            other.append(repr(f))
else:
    f = mutagen.File(path)
    if isinstance(f, FLAC):
        pics = [(p.type, p.desc, bytes(p.data)) for p in f.pictures]
        other = [repr(c) for c in f.tags or []]
    elif isinstance(f, MP4):
        for key, values in (f.tags or {}).items():
            if key == "covr":
                pics = [(3, "", bytes(c)) for c in values]
            else:
                other.append(repr((key, values)))
    else:
        for key, value in f.tags:
            if key.upper() == "METADATA_BLOCK_PICTURE":
                p = Picture(base64.b64decode(value))
                pics.append((p.type, p.desc, bytes(p.data)))
            else:
                other.append(repr((key, value)))
print(json.dumps({"pictures": [[t, d, hashlib.sha1(b).hexdigest()] for t, d, b in pics],
                  "data": [base64.b64encode(b).decode() for t, d, b in pics],
                  "other": sorted(other)}, ensure_ascii=False))
)";

QJsonObject covers(const QString& path)
{
    return QJsonDocument::fromJson(E::run("/usr/bin/python3", { "-c", kCoversScript, path })).object();
}

QString digest(const QByteArray& data)
{
    return QString::fromLatin1(QCryptographicHash::hash(data, QCryptographicHash::Sha1).toHex());
}

struct Batch {
    QTemporaryDir dir;
    LocalFileSystem files;
    ScriptedPrompter prompter;
    QString journal = dir.filePath("undo/MultiTagger-Undo.journal");

    CoverBatchReport run(const QStringList& paths, const CoverBatchRequest& request)
    {
        CoverBatch batch(files, prompter, journal);
        return batch.run(paths, request, {});
    }
    QByteArray image(const QString& name, const QString& size)
    {
        E::run("ffmpeg",
            { "-v", "error", "-y", "-f", "lavfi", "-i", "testsrc=size=" + size, "-frames:v", "1", dir.filePath(name) });
        return TagTestFiles::read(dir.filePath(name));
    }
    // An MP3 file with a title and a front and a back cover.
    QString mp3(const QString& name, const QByteArray& front, const QByteArray& back,
        const QByteArray& frontMime = "image/png", const QString& frontText = QStringLiteral("front"))
    {
        return TagTestFiles::write(dir, name,
            B::tag(3,
                { B::frame(3, "TIT2", B::textBody("Title")),
                    B::frame(3, "APIC", B::pictureBody(frontMime, 3, frontText, front)),
                    B::frame(3, "APIC", B::pictureBody("image/gif", 4, "back", back)) },
                64)
                + TagTestFiles::audio());
    }
    CoverBatchRequest request(CoverOperation operation, const QString& image = QString()) const
    {
        CoverBatchRequest r;
        r.operation = operation;
        r.imagePath = image;
        r.shrink = [](const CoverPicture& p) { return shrunkCover(p, 500, 85); };
        return r;
    }
};

QList<FileState> statesOf(const QStringList& paths)
{
    QList<FileState> states;
    for (const QString& path : paths)
        states << FileState::of(path);
    return states;
}

} // namespace

TEST(CoverBatch, EveryFormatTakesSetShrinkAndRemoveAndOneUndoPutsARunBack)
{
    Batch b;
    const QByteArray big = b.image("big.jpg", "1000x800");
    const QByteArray gif = b.image("back.gif", "12x10");
    QStringList paths { b.mp3("song.mp3", b.image("front.png", "16x8"), gif) };
    for (const E::Kind kind : { E::Kind::Flac, E::Kind::Vorbis, E::Kind::Opus, E::Kind::AacFaststart }) {
        const QString path = E::make(b.dir, kind);
        AudioTag tag;
        ASSERT_TRUE(tag.setFileName(path).ok());
        ASSERT_TRUE(tag.setPictures(tag.pictures() << coverPicture(gif, 4, QStringLiteral("back"))));
        ASSERT_TRUE(tag.update());
        paths << path;
    }
    QList<QJsonObject> start;
    QList<QByteArray> audio;
    for (const QString& path : paths) {
        start << covers(path);
        audio << (path.endsWith(".mp3") ? TagTestFiles::audio() : E::audioMd5(path));
    }
    // The MP3 file's frames (made in code, silent to a decoder) byte for byte.
    const auto audioKept = [&] {
        EXPECT_TRUE(TagTestFiles::audioIntact(paths[0], audio[0]));
        for (int i = 1; i < paths.size(); ++i)
            EXPECT_EQ(E::audioMd5(paths[i]), audio[i]) << qPrintable(paths[i]);
    };

    // Set: the first front cover replaced (Ogg had none: the new one comes first).
    CoverBatchReport report = b.run(paths, b.request(CoverOperation::SetImage, b.dir.filePath("big.jpg")));
    EXPECT_EQ(coverBatchStatus(report), "Cover Updates Complete: 5 Of 5 Files Written");
    QList<QJsonObject> set;
    for (int i = 0; i < paths.size(); ++i) {
        SCOPED_TRACE(paths[i].toStdString());
        QJsonArray expected = start[i]["pictures"].toArray();
        const QJsonArray cover { 3, "", digest(big) };
        if (expected.size() == 2)
            expected[0] = cover;
        else
            expected.prepend(cover);
        set << covers(paths[i]);
        EXPECT_EQ(set[i]["pictures"].toArray(), expected);
        EXPECT_EQ(set[i]["other"], start[i]["other"]);
    }
    const QList<FileState> afterSet = statesOf(paths);
    // The same again changes nothing: no file is written.
    report = b.run(paths, b.request(CoverOperation::SetImage, b.dir.filePath("big.jpg")));
    EXPECT_EQ(coverBatchStatus(report), "Cover Updates Complete: 0 Of 5 Files Written, 5 Unchanged");
    EXPECT_EQ(statesOf(paths), afterSet);

    // Shrink: the front cover a baseline JPEG of 500 pixels, the small back cover untouched.
    report = b.run(paths, b.request(CoverOperation::Shrink));
    EXPECT_EQ(report.run.written, 5);
    for (int i = 0; i < paths.size(); ++i) {
        SCOPED_TRACE(paths[i].toStdString());
        const QJsonObject got = covers(paths[i]);
        const QJsonArray pictures = got["pictures"].toArray();
        ASSERT_EQ(pictures.size(), 2);
        EXPECT_EQ(pictures[0].toArray()[0], 3);
        EXPECT_EQ(pictures[1], set[i]["pictures"].toArray()[1]);
        EXPECT_EQ(got["other"], start[i]["other"]);
        const QString shrunk = b.dir.filePath("shrunk.jpg");
        ASSERT_TRUE(
            Mp3Builder::writeFile(shrunk, QByteArray::fromBase64(got["data"].toArray()[0].toString().toLatin1())));
        EXPECT_EQ(
            E::run("ffprobe",
                { "-v", "error", "-show_entries", "stream=codec_name,profile,width,height", "-of", "csv=p=0", shrunk })
                .trimmed(),
            "mjpeg,Baseline,500,400");
    }
    audioKept();
    // One undo puts the whole run back: the MP3 file byte for byte.
    TagUndoReport undo = undoTagJournal(b.journal);
    EXPECT_EQ(undo.restored.size(), 5);
    EXPECT_EQ(TagTestFiles::read(paths[0]), afterSet[0].bytes);
    for (int i = 0; i < paths.size(); ++i)
        EXPECT_EQ(covers(paths[i]), set[i]) << qPrintable(paths[i]);

    // Remove: no picture left, nothing else changed; undo again.
    const QList<FileState> afterUndo = statesOf(paths);
    report = b.run(paths, b.request(CoverOperation::RemoveAll)); // asked, and No is the default
    EXPECT_EQ(coverBatchStatus(report), "Cover Updates Cancelled");
    EXPECT_EQ(b.prompter.calls.last().buttons, MsgButtons::YesNoDefaultNo);
    EXPECT_EQ(statesOf(paths), afterUndo);
    b.prompter.answers.enqueue(Answer::Yes);
    report = b.run(paths, b.request(CoverOperation::RemoveAll));
    EXPECT_EQ(report.run.written, 5);
    for (int i = 0; i < paths.size(); ++i) {
        const QJsonObject got = covers(paths[i]);
        EXPECT_EQ(got["pictures"].toArray(), QJsonArray()) << qPrintable(paths[i]);
        EXPECT_EQ(got["other"], start[i]["other"]) << qPrintable(paths[i]);
    }
    audioKept();
    undo = undoTagJournal(b.journal);
    EXPECT_EQ(undo.restored.size(), 5);
    EXPECT_EQ(TagTestFiles::read(paths[0]), afterSet[0].bytes);
    for (int i = 0; i < paths.size(); ++i)
        EXPECT_EQ(covers(paths[i]), set[i]) << qPrintable(paths[i]);
    audioKept();
}

TEST(CoverBatch, FolderCoverIsTheFirstMatchingNameAndARunSkipsFoldersWithout)
{
    Batch b;
    const struct {
        QStringList names;
        QStringList patterns;
        const char* found;
    } cases[] = {
        { { "folder.jpg", "Cover.JPG" }, defaultCoverPatterns(), "Cover.JPG" },
        { { "cover.png", "folder.jpg" }, defaultCoverPatterns(), "folder.jpg" },
        { { "folder.gif", "cover.png", "cover.txt" }, defaultCoverPatterns(), "cover.png" },
        { { "cover.txt", "Folder.BMP" }, defaultCoverPatterns(), "Folder.BMP" },
        { { "cover.txt", "art.jpg", "folder" }, defaultCoverPatterns(), "" },
        { { "cover.jpg", "Album Front.PNG", "b front.png" }, coverPatterns(" *front*.png; ;x.jpg "),
            "Album Front.PNG" },
        { { "scan.jpg" }, coverPatterns("nothing.jpg"), "" },
    };
    int n = 0;
    for (const auto& c : cases) {
        const QString folder = b.dir.filePath(QString::number(++n));
        ASSERT_TRUE(QDir().mkpath(folder));
        for (const QString& name : c.names)
            ASSERT_TRUE(Mp3Builder::writeFile(folder + "/" + name, "x"));
        QDir(folder).mkdir("cover.jpg"); // a folder of that name is no cover
        const QString found = folderCoverFile(folder, c.patterns);
        EXPECT_EQ(found, *c.found ? folder + "/" + c.found : QString()) << n;
    }

    // A run: each file its own folder's cover; a folder without one is skipped.
    for (const char* folder : { "with", "other", "without" })
        ASSERT_TRUE(QDir(b.dir.path()).mkpath(folder));
    const QByteArray red = b.image("with/cover.jpg", "20x20");
    const QByteArray blue = b.image("other/FOLDER.png", "30x10");
    const QByteArray gif = b.image("back.gif", "12x10");
    const QStringList paths { b.mp3("with/a.mp3", red, gif, "image/jpeg", ""), b.mp3("other/b.mp3", red, gif),
        b.mp3("without/c.mp3", red, gif), b.mp3("with/d.mp3", blue, gif) };
    const FileState same = FileState::of(paths[0]);
    const FileState without = FileState::of(paths[2]);
    CoverBatchRequest request = b.request(CoverOperation::FolderCover);
    request.patterns = defaultCoverPatterns();
    const CoverBatchReport report = b.run(paths, request);
    EXPECT_EQ(coverBatchStatus(report),
        "Cover Updates Complete: 2 Of 4 Files Written, 1 Unchanged, 1 Without A Folder Cover");
    EXPECT_EQ(FileState::of(paths[0]), same) << "its cover already: not written";
    EXPECT_EQ(covers(paths[1])["pictures"].toArray()[0], QJsonArray({ 3, "", digest(blue) }));
    EXPECT_EQ(covers(paths[3])["pictures"].toArray()[0], QJsonArray({ 3, "", digest(red) }));
    EXPECT_EQ(FileState::of(paths[2]), without);
}

TEST(CoverBatch, RefusalsLeaveEveryFileAsItWasAndSayWhy)
{
    Batch b;
    const QByteArray png = b.image("small.png", "16x8");
    const QByteArray gif = b.image("back.gif", "12x10");
    // PNG readers stop at IEND: padding makes a picture of any size.
    const auto pngOf = [&](const QString& name, qint64 size) {
        return TagTestFiles::write(b.dir, name, png + QByteArray(size - png.size(), '\0'));
    };
    const QString mp3 = b.mp3("song.mp3", png, gif);
    const QString flac = E::make(b.dir, E::Kind::Flac);
    const QString readOnly = b.mp3("locked.mp3", png, gif);
    ASSERT_TRUE(QFile::setPermissions(readOnly, QFile::ReadOwner));
    ASSERT_TRUE(QDir(b.dir.path()).mkpath("huge"));
    const QString inHuge = b.mp3("huge/song.mp3", png, gif);
    pngOf("huge/cover.png", kMaxPictureBytes + 1);
    const QString text = TagTestFiles::write(b.dir, "cover.jpg", "not a picture");
    const QString broken = TagTestFiles::write(b.dir, "broken.png", png.left(40) + QByteArray(200, 'x'));
    const struct {
        const char* name;
        CoverOperation operation;
        QString image;
        QStringList paths;
        int refused, failed; // error numbers: of a refusal before any file, of the failed files
        const char* reason;
        bool qtCheck = false;
    } cases[] = {
        { "no image", CoverOperation::SetImage, text, { mp3, flac }, ErrorNo::WrongType, 0, "no JPEG, PNG" },
        { "missing image", CoverOperation::SetImage, b.dir.filePath("gone.jpg"), { mp3 }, ErrorNo::NotFound, 0,
            "gone.jpg Cannot Be Used" },
        { "qt cannot read it", CoverOperation::SetImage, broken, { mp3 }, ErrorNo::WrongType, 0,
            "cannot be read as an image", true },
        { "folder cover over 16 MB", CoverOperation::FolderCover, {}, { inHuge }, 0, ErrorNo::Overflow,
            "larger than 16 MB" },
        { "past a FLAC block", CoverOperation::SetImage, pngOf("block.png", kMaxPictureBytes - 8), { flac }, 0,
            ErrorNo::Overflow, "16 MB a FLAC metadata block" },
        { "read-only", CoverOperation::RemoveAll, {}, { readOnly }, 0, ErrorNo::Access, "ermission denied" },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const QList<FileState> before = statesOf(c.paths);
        b.prompter.calls.clear();
        if (c.operation == CoverOperation::RemoveAll)
            b.prompter.answers.enqueue(Answer::Yes); // remove every picture? Then No: not made writable.
        CoverBatchRequest request = b.request(c.operation, c.image);
        if (c.qtCheck)
            request.imageCheck = imageRefusal;
        const CoverBatchReport report = b.run(c.paths, request);
        EXPECT_EQ(statesOf(c.paths), before);
        EXPECT_EQ(report.run.refused.number, c.refused);
        EXPECT_EQ(report.run.failed, c.failed ? c.paths.size() : 0);
        const QString reason = c.refused ? report.run.refused.description : report.run.failures.value(0);
        EXPECT_TRUE(reason.contains(QLatin1String(c.reason))) << qPrintable(reason);
        if (c.failed) {
            EXPECT_EQ(report.run.failures.value(0).section(" - Error: ", 0, 0), c.paths[0]);
        }
        // Shown with its cause (a read-only file after the question whether to make it writable).
        ASSERT_FALSE(b.prompter.calls.isEmpty());
        EXPECT_TRUE(b.prompter.calls.last().text.contains(QLatin1String(c.reason)))
            << qPrintable(b.prompter.calls.last().text);
        EXPECT_TRUE(tagJournalChangedFiles(b.journal).isEmpty());
    }
}

TEST(CoverBatch, FilesWrittenAtOnceAreNeverOneFileAndAStopEndsTheRunBetweenFiles)
{
    Batch b;
    const QByteArray jpg = b.image("new.jpg", "40x30");
    const QByteArray gif = b.image("back.gif", "12x10");
    const QByteArray png = b.image("old.png", "16x8");
    QStringList files;
    for (int i = 0; i < 9; ++i)
        files << b.mp3(QStringLiteral("%1.mp3").arg(i), png, gif);
    const QString link = b.dir.filePath("link.mp3");
    ASSERT_TRUE(QFile::link(files[2], link));
    const QList<FileState> before = statesOf(files);
    // The same file twice in a row, and under a second name: each would be
    // written beside itself if files went two by two.
    const QStringList paths { files[0], files[0], files[1], link, files[2], files[3], files[4], files[5], files[6],
        files[7], files[8] };

    CoverBatch batch(b.files, b.prompter, b.journal);
    QList<int> progress;
    MultiTagRunHooks hooks;
    hooks.progress = [&](int done, int) { progress << done; };
    CoverBatchReport report = batch.run(paths, b.request(CoverOperation::SetImage, b.dir.filePath("new.jpg")), hooks);
    EXPECT_EQ(coverBatchStatus(report), "Cover Updates Complete: 9 Of 11 Files Written, 2 Unchanged");
    EXPECT_EQ(progress, QList<int>({ 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11 }));
    for (const QString& path : files) {
        const QJsonArray pictures = covers(path)["pictures"].toArray();
        EXPECT_EQ(pictures, QJsonArray({ QJsonArray { 3, "", digest(jpg) }, QJsonArray { 4, "back", digest(gif) } }))
            << qPrintable(path);
    }
    const TagUndoReport undo = undoTagJournal(b.journal);
    EXPECT_EQ(undo.restored.size(), 9);
    EXPECT_EQ(statesOf(files), before);

    // A stop asked during a file: the files on their way are finished, the
    // files after them stay as they were.
    QList<FileState> many = before;
    for (int i = files.size(); i < 30; ++i) {
        files << b.mp3(QStringLiteral("%1.mp3").arg(i), png, gif);
        many << FileState::of(files.last());
    }
    hooks.stopRequested = [&] { return !progress.isEmpty() && progress.last() >= 4; };
    progress.clear();
    report = batch.run(files, b.request(CoverOperation::SetImage, b.dir.filePath("new.jpg")), hooks);
    EXPECT_TRUE(report.run.stopped);
    EXPECT_GE(report.run.done, 4);
    EXPECT_LT(report.run.done, files.size());
    EXPECT_EQ(report.run.written, report.run.done);
    for (int i = 0; i < files.size(); ++i)
        EXPECT_EQ(FileState::of(files[i]) == many[i], i >= report.run.done) << i;
}
