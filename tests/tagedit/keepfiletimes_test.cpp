// Keeping each file's modification time over every kind of tag write of the
// main window and the MultiTagger, with the option on; with it off the
// writes show in the time as before.
#include "tagedit/currentfile.h"
#include "tagedit/multitagwriter.h"

#include "multitagfiles.h"

#include "platform/fakes/scriptedprompter.h"
#include "platform/localfilesystem.h"
#include "settings/options.h"
#include "support/childprocess.h"
#include "tags/filetimes.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cerrno>
#include <functional>

using namespace MultiTagFiles;

namespace {

// A moment long past, with nanoseconds that no write of today produces.
constexpr timespec kOldTime { 981'173'045, 123'456'789 };

timespec modified(const QString& path)
{
    FileTime time;
    EXPECT_TRUE(readFileTime(path, &time)) << path.toStdString();
    return time.modified;
}

bool same(const timespec& a, const timespec& b)
{
    return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec;
}

struct Fixture {
    QTemporaryDir dir;
    LocalFileSystem files;
    ScriptedPrompter prompter;
    Options options;
    bool keep = false;
    CurrentFile current { files, &prompter, options };
    MultiTagWriter writer { files };

    // A file with an ID3v2 tag and a trailer (a load rewrites both), its
    // time set back.
    QString file(const QString& name)
    {
        const QString path = dir.filePath(name);
        EXPECT_TRUE(write(path, sample(name), true));
        EXPECT_TRUE(writeFileTime(path, FileTime { kOldTime }));
        return path;
    }
    // Selects the file without keeping its time, sets the time back, then
    // turns the option to what the test asks for.
    bool selected(const QString& path)
    {
        options.keepFileTimes = false;
        const bool loaded = current.load(path).ok() && writeFileTime(path, FileTime { kOldTime });
        options.keepFileTimes = keep;
        return loaded;
    }
};

} // namespace

TEST(KeepFileTimes, EveryTagWriteKeepsTheTimeToTheNanosecondWhenOn)
{
    using Write = std::function<bool(Fixture&, const QString&)>;
    const struct {
        const char* what;
        Write write;
        bool writes = true; // false: the file is only read, its time stays either way
    } writes[] = {
        { "selecting the file", [](Fixture& f, const QString& p) { return f.current.load(p).ok(); } },
        { "reading it again", [](Fixture& f, const QString& p) { return f.selected(p) && f.current.reload().ok(); } },
        { "saving the tags",
            [](Fixture& f, const QString& p) {
                if (!f.selected(p))
                    return false;
                TagTexts boxes = f.current.texts();
                boxes[int(FieldId::Title)] = QStringLiteral("New Title");
                return f.current.save(boxes).ok();
            } },
        { "stripping the tags",
            [](Fixture& f, const QString& p) { return f.selected(p) && f.current.stripTags().ok(); } },
        { "the MultiTagger's write",
            [](Fixture& f, const QString& p) {
                return f.writer.tagFile(p, including({ { FieldId::Album, "X" } })).ok();
            } },
        { "the MultiTagger's read",
            [](Fixture& f, const QString& p) {
                return f.writer.readFile(p, f.options)[int(FieldId::Album)] == QLatin1String("Album a.mp3");
            },
            false },
    };
    for (const bool keep : { true, false }) {
        for (const auto& w : writes) {
            Fixture f;
            f.keep = keep;
            f.options.keepFileTimes = keep;
            f.writer.setKeepFileTimes(keep);
            const QString path = f.file(QStringLiteral("a.mp3"));
            ASSERT_TRUE(w.write(f, path)) << w.what;
            // Off, the time shows that the file was written.
            EXPECT_EQ(same(modified(path), kOldTime), keep || !w.writes)
                << w.what << (keep ? " (kept)" : " (not kept)");
            EXPECT_TRUE(f.prompter.calls.isEmpty()) << w.what;
        }
    }
}

TEST(KeepFileTimes, ASaveWhoseTimeCannotBePutBackIsASaveWithAWarning)
{
    Fixture f;
    ASSERT_EQ(::chmod(QFile::encodeName(f.dir.path()).constData(), 0777), 0);
    const QString path = f.file(QStringLiteral("theirs.mp3"));
    ASSERT_EQ(::chmod(QFile::encodeName(path).constData(), 0666), 0); // root's, open to all
    ASSERT_TRUE(writeFileTime(path, FileTime { kOldTime }));
    // Written by a user who may write the file but not set its time.
    const auto outcome = runInChild([&] {
        Options options;
        options.keepFileTimes = true;
        LocalFileSystem files;
        CurrentFile current(files, nullptr, options);
        if (!current.load(path).ok())
            return QByteArray("not loaded");
        TagTexts boxes = current.texts();
        boxes[int(FieldId::Title)] = QStringLiteral("Title b.mp3"); // as long as before: written in place
        const CurrentFile::Result r = current.save(boxes);
        if (!r.ok())
            return ("failed: " + currentFileErrorText(r, path)).toUtf8();
        return currentFileWarningText(r, path).toUtf8();
    });
    ASSERT_TRUE(outcome.has_value());
    EXPECT_EQ(QString::fromUtf8(*outcome),
        QStringLiteral("ID3 Tags Saved In File: \r\n\r\n") + path
            + QStringLiteral("\r\n\r\nBut Not Everything It Carried Could Be Kept:\r\n\r\n"
                             "The file's modification time could not be kept: ")
            + fileErrorFromErrno(EPERM).description);
    EXPECT_EQ(readV2(path).title, QStringLiteral("Title b.mp3")); // the tags were written
    EXPECT_FALSE(same(modified(path), kOldTime));
}
