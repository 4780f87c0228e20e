// Replacing a range of a file: a copy that does not match the original
// never replaces it, and a range outside the file is refused. The copy a
// killed rewrite leaves is removed once its file is whole, and only then.
#include "tags/safefilewrite.h"

#include "support/tagfiles.h"

#include <QDir>

#include <gtest/gtest.h>

#include <csignal>
#include <sys/wait.h>
#include <unistd.h>

namespace F = TagTestFiles;

namespace {

void flipByte(int fd)
{
    char c = 0;
    ASSERT_EQ(::pread(fd, &c, 1, 100), 1);
    c = char(~c);
    ASSERT_EQ(::pwrite(fd, &c, 1, 100), 1);
}

void addByte(int fd)
{
    ASSERT_EQ(::pwrite(fd, "x", 1, ::lseek(fd, 0, SEEK_END)), 1);
}

TEST(SafeFileWrite, ASpoiledCopyOrARangePastTheEndLeavesTheFileAsItWas)
{
    const QByteArray original = "old tag" + F::audio(3);
    const qint64 size = original.size();
    const struct {
        const char* name;
        qint64 start, end;
        QByteArray bytes;
        std::function<void(int)> spoil;
        bool done;
    } cases[] = {
        { "sound_copy", 0, 7, QByteArray(40, 'T'), {}, true },
        { "changed_byte_in_the_copy", 0, 7, QByteArray(40, 'T'), flipByte, false },
        { "extra_byte_in_the_copy", 0, 7, QByteArray(40, 'T'), addByte, false },
        { "range_past_the_end", size - 5, size + 5, QByteArray(10, 'E'), {}, false },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir dir;
        const QString path = F::write(dir, "song.mp3", original);
        FileError err;
        EXPECT_EQ(replaceFileRange(path, c.start, c.end, c.bytes, &err, c.spoil), c.done);
        EXPECT_EQ(err.ok(), c.done);
        EXPECT_EQ(F::read(path), c.done ? c.bytes + original.mid(c.end) : original);
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 1); // no copy left behind
    }
}

QStringList leftovers(const QString& folder)
{
    return QDir(folder).entryList({ ".velmora-*" }, QDir::Files | QDir::Hidden);
}

// Rewrites path in a child process that is killed (SIGKILL) once the copy
// is complete, before it replaces the file: the copy stays behind. True
// when the child died so.
bool rewriteKilled(const QString& path)
{
    const pid_t pid = ::fork();
    if (pid == 0) {
        replaceFileRange(path, 0, 7, QByteArray(40, 'T'), nullptr, [](int) { ::kill(::getpid(), SIGKILL); });
        ::_exit(1);
    }
    int status = 0;
    return pid > 0 && ::waitpid(pid, &status, 0) == pid && WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL;
}

TEST(SafeFileWrite, TheCopyAKilledRewriteLeavesGoesOnlyOnceItsFileIsWhole)
{
    const QByteArray original = "old tag" + F::audio(3);
    const QString longName = QString(50, QLatin1Char('n')) + ".mp3";
    // Each makes a copy left behind and returns the files to clean beside.
    const struct {
        const char* name;
        std::function<QStringList(QTemporaryDir&)> make;
        const char* copies; // the folder of the copies, in the test folder
        int removed;
    } cases[] = {
        { "whole_file",
            [&](QTemporaryDir& d) {
                const QString song = F::write(d, "song.mp3", original);
                EXPECT_TRUE(rewriteKilled(song));
                return QStringList { song };
            },
            "", 1 },
        { "file_gone",
            [&](QTemporaryDir& d) {
                const QString song = F::write(d, "song.mp3", original);
                EXPECT_TRUE(rewriteKilled(song));
                QFile::remove(song);
                return QStringList { song };
            },
            "", 0 },
        { "folder_in_its_place",
            [&](QTemporaryDir& d) {
                const QString song = F::write(d, "song.mp3", original);
                EXPECT_TRUE(rewriteKilled(song));
                QFile::remove(song);
                QDir(d.path()).mkdir("song.mp3");
                return QStringList { song };
            },
            "", 0 },
        { "a_gone_file_whose_long_name_begins_alike",
            [&](QTemporaryDir& d) {
                const QString gone = F::write(d, longName + "1", original);
                EXPECT_TRUE(rewriteKilled(gone));
                QFile::remove(gone);
                return QStringList { F::write(d, longName + "2", original) };
            },
            "", 0 },
        { "through_a_link",
            [&](QTemporaryDir& d) {
                QDir(d.path()).mkdir("real");
                const QString link = d.filePath("link.mp3");
                EXPECT_TRUE(QFile::link(F::write(d, "real/song.mp3", original), link));
                EXPECT_TRUE(rewriteKilled(link));
                return QStringList { link };
            },
            "real", 1 },
        { "named_the_older_way",
            [&](QTemporaryDir& d) {
                F::write(d, ".velmora-song.mp3.Ab12Cd", original);
                return QStringList { F::write(d, "song.mp3", original) };
            },
            "", 1 },
        { "named_the_older_way_after_a_long_name",
            [&](QTemporaryDir& d) {
                F::write(d, ".velmora-" + longName.left(40) + ".Ab12Cd", original);
                return QStringList { F::write(d, longName, original) };
            },
            "", 0 },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir dir;
        const QStringList files = c.make(dir);
        const QString copies = dir.filePath(c.copies);
        ASSERT_EQ(leftovers(copies).size(), 1);
        EXPECT_EQ(removeLeftoverCopies(files).size(), c.removed);
        EXPECT_EQ(leftovers(copies).size(), 1 - c.removed);
        for (const QString& f : files) {
            if (QFileInfo(f).isFile()) {
                EXPECT_EQ(F::read(f), original) << "the file itself is never touched";
            }
        }
    }
}

} // namespace
