// Replacing a range of a file: a copy that does not match the original
// never replaces it, and a range outside the file is refused. A copy that
// replaces the file keeps what the user set on it, and says what not. The
// copy a killed rewrite leaves is removed once its file is whole, and only
// then.
#include "tags/safefilewrite.h"

#include "support/childprocess.h"
#include "support/filestate.h"
#include "support/tagfiles.h"

#include <QDir>
#include <QtEndian>

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <sys/xattr.h>
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

QByteArray native(const QString& path)
{
    return QFile::encodeName(path);
}

// An extended attribute's value; "<none>" when the file has none of that
// name, "<error>" when it cannot be read.
QByteArray attribute(const QString& path, const char* name)
{
    QByteArray value(65536, '\0');
    const ssize_t n = ::getxattr(native(path).constData(), name, value.data(), size_t(value.size()));
    if (n < 0)
        return errno == ENODATA ? "<none>" : "<error>";
    value.truncate(n);
    return value;
}

bool setAttribute(const QString& path, const char* name, const QByteArray& value)
{
    return ::setxattr(native(path).constData(), name, value.constData(), size_t(value.size()), 0) == 0;
}

// A POSIX ACL as the system stores it in system.posix_acl_access (or
// _default): owner rw, user 65534 rw, group r, mask rw, others nothing.
QByteArray aclWithUser65534()
{
    QByteArray acl;
    auto put = [&](quint16 tag, quint16 perm, quint32 id) {
        char entry[8];
        qToLittleEndian(tag, entry);
        qToLittleEndian(perm, entry + 2);
        qToLittleEndian(id, entry + 4);
        acl.append(entry, 8);
    };
    char version[4];
    qToLittleEndian(quint32(2), version);
    acl.append(version, 4);
    const quint32 none = 0xFFFFFFFF;
    put(0x01, 6, none); // the owner
    put(0x02, 6, 65534); // user 65534
    put(0x04, 4, none); // the owning group
    put(0x10, 6, none); // the mask
    put(0x20, 0, none); // others
    return acl;
}

struct Stat {
    struct stat st { };
    explicit Stat(const QString& path) { ::stat(native(path).constData(), &st); }
};

const QByteArray kNewTag(40, 'T');

TEST(SafeFileWrite, ACopyKeepsWhatTheUserSetOnTheFileAndSaysWhatNot)
{
    const QByteArray original = "old tag" + F::audio(3);
    const QByteArray binary = QByteArray("\x00\x01\xFF", 3).repeated(100);
    const QString setUidLine = QStringLiteral("The set-user-ID bit was left off, for safety");
    // prepare gives the file (or its folder) what is to be kept; false when
    // the file system refuses it.
    const struct {
        const char* name;
        std::function<bool(const QString& folder, const QString& path)> prepare;
        std::function<void(const QString& path, const struct stat& before)> check;
        QStringList notKept;
    } cases[] = {
        { "extended_attributes",
            [&](const QString&, const QString& p) {
                return setAttribute(p, "user.velmora.note", "kept") && setAttribute(p, "user.velmora.binary", binary);
            },
            [&](const QString& p, const struct stat&) {
                EXPECT_EQ(attribute(p, "user.velmora.note"), QByteArray("kept"));
                EXPECT_EQ(attribute(p, "user.velmora.binary"), binary);
            },
            {} },
        { "acl",
            [&](const QString&, const QString& p) {
                return setAttribute(p, "system.posix_acl_access", aclWithUser65534());
            },
            [&](const QString& p, const struct stat& before) {
                EXPECT_EQ(attribute(p, "system.posix_acl_access"), aclWithUser65534());
                EXPECT_EQ(Stat(p).st.st_mode, before.st_mode);
            },
            {} },
        { "no_acl_where_the_folder_has_a_default",
            [&](const QString& folder, const QString&) {
                return setAttribute(folder, "system.posix_acl_default", aclWithUser65534());
            },
            [&](const QString& p, const struct stat& before) {
                EXPECT_EQ(attribute(p, "system.posix_acl_access"), QByteArray("<none>"));
                EXPECT_EQ(Stat(p).st.st_mode, before.st_mode);
            },
            {} },
        { "set_group_id", [&](const QString&, const QString& p) { return ::chmod(native(p).constData(), 02750) == 0; },
            [&](const QString& p, const struct stat&) { EXPECT_EQ(Stat(p).st.st_mode & 07777, mode_t(02750)); }, {} },
        { "set_user_id_goes",
            [&](const QString&, const QString& p) { return ::chmod(native(p).constData(), 04755) == 0; },
            [&](const QString& p, const struct stat&) { EXPECT_EQ(Stat(p).st.st_mode & 07777, mode_t(0755)); },
            { setUidLine } },
        { "owner_and_group",
            [&](const QString&, const QString& p) { return ::chown(native(p).constData(), 1, 1) == 0; },
            [&](const QString& p, const struct stat&) {
                EXPECT_EQ(Stat(p).st.st_uid, uid_t(1));
                EXPECT_EQ(Stat(p).st.st_gid, gid_t(1));
            },
            {} },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir dir;
        const QString path = F::write(dir, "song.mp3", original);
        if (!c.prepare(dir.path(), path))
            GTEST_SKIP() << c.name << ": the file system of " << dir.path().toStdString() << " refuses it ("
                         << std::strerror(errno) << ")";
        const Stat before(path);
        QStringList notKept;
        FileError err;
        ASSERT_TRUE(replaceFileRange(path, 0, 7, kNewTag, &err, &notKept)) << err.description.toStdString();
        EXPECT_EQ(F::read(path), kNewTag + original.mid(7));
        EXPECT_NE(Stat(path).st.st_ino, before.st.st_ino) << "written through a copy";
        c.check(path, before.st);
        EXPECT_EQ(notKept, c.notKept);
    }
}

QStringList leftovers(const QString& folder)
{
    return QDir(folder).entryList({ ".velmora-*" }, QDir::Files | QDir::Hidden);
}

// A copy made by a user other than the superuser belongs to that user: the
// save is refused, the file untouched, unless the file is that user's own
// (then only a group the user is not in is lost, and said so).
TEST(SafeFileWrite, ACopyThatCannotKeepTheOwnerNeverReplacesTheFile)
{
    const QByteArray original = "old tag" + F::audio(3);
    const struct {
        const char* name;
        uid_t owner;
        gid_t group;
        QByteArray result; // what the child reports
        bool written;
    } cases[] = {
        { "another_users_file", 1, 1, "refused 75", false },
        { "the_users_own_file_of_another_group", 65534, 0,
            "written: The group could not be kept: " + QByteArray(std::strerror(EPERM)), true },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir dir;
        ASSERT_EQ(::chmod(native(dir.path()).constData(), 0777), 0);
        const QString path = F::write(dir, "song.mp3", original);
        ASSERT_EQ(::chown(native(path).constData(), c.owner, c.group), 0);
        ASSERT_EQ(::chmod(native(path).constData(), 0666), 0); // open to all
        const FileState before = FileState::of(path);
        const auto result = runInChild([&] {
            QStringList lines;
            FileError err;
            if (!replaceFileRange(path, 0, 7, kNewTag, &err, &lines))
                return "refused " + QByteArray::number(err.number) + "|" + err.description.toUtf8();
            return "written: " + lines.join('|').toUtf8();
        });
        ASSERT_TRUE(result.has_value());
        EXPECT_EQ(result->split('|').first(), c.result.split('|').first()) << result->toStdString();
        EXPECT_EQ(Stat(path).st.st_uid, c.owner);
        EXPECT_TRUE(leftovers(dir.path()).isEmpty());
        if (c.written) {
            EXPECT_EQ(*result, c.result);
            EXPECT_EQ(F::read(path), kNewTag + original.mid(7));
            EXPECT_EQ(Stat(path).st.st_gid, gid_t(65534));
        } else {
            EXPECT_TRUE(result->contains("owner, daemon (user 1)") || result->contains("owner, user 1"))
                << result->toStdString();
            EXPECT_EQ(FileState::of(path), before);
            EXPECT_EQ(Stat(path).st.st_gid, c.group);
        }
    }
}

// The names of one file stay one file: a write in place reaches every name,
// a write that needs a copy is refused with both names as they were.
TEST(SafeFileWrite, AFileWithOtherNamesIsWrittenInPlaceOrNotAtAll)
{
    const QByteArray original = "old tag" + F::audio(3);
    const struct {
        const char* name;
        QByteArray bytes; // replaces the first 7 bytes
        bool written;
    } cases[] = {
        { "same_length_in_place", "new tag", true },
        { "longer_through_a_copy", kNewTag, false },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir dir;
        const QString path = F::write(dir, "song.mp3", original);
        const QString other = dir.filePath("other name.mp3");
        ASSERT_EQ(::link(native(path).constData(), native(other).constData()), 0);
        const FileState before = FileState::of(path);
        FileError err;
        EXPECT_EQ(replaceFileRange(path, 0, 7, c.bytes, &err), c.written);
        EXPECT_EQ(Stat(path).st.st_ino, Stat(other).st.st_ino);
        EXPECT_EQ(Stat(path).st.st_nlink, nlink_t(2));
        EXPECT_TRUE(leftovers(dir.path()).isEmpty());
        if (c.written) {
            EXPECT_TRUE(err.ok());
            EXPECT_EQ(F::read(other), c.bytes + original.mid(7));
        } else {
            EXPECT_EQ(err.number, ErrorNo::Internal);
            EXPECT_TRUE(err.description.contains("1 other names (hard links)")) << err.description.toStdString();
            EXPECT_EQ(FileState::of(path), before);
            EXPECT_EQ(FileState::of(other), before);
        }
    }
}

// Holes in a file take no room; the copy a save makes keeps them holes and
// every byte as it was.
TEST(SafeFileWrite, ACopyOfASparseFileIsSparse)
{
    constexpr qint64 kHole = 48 * 1024 * 1024;
    const QByteArray audio = F::audio(20);
    const struct {
        const char* name;
        bool audioAfterTheHole;
    } cases[] = {
        { "hole_between_audio", true },
        { "hole_at_the_end", false },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir dir;
        const QString path = F::write(dir, "song.mp3", "old tag" + audio);
        {
            QFile f(path);
            ASSERT_TRUE(f.open(QIODevice::ReadWrite));
            ASSERT_TRUE(f.resize(f.size() + kHole));
            if (c.audioAfterTheHole) {
                ASSERT_TRUE(f.seek(f.size()));
                ASSERT_EQ(f.write(audio), audio.size());
            }
        }
        const Stat before(path);
        if (qint64(before.st.st_blocks) * 512 > kHole / 2)
            GTEST_SKIP() << "the file system of " << dir.path().toStdString() << " keeps no holes";
        const QByteArray expected = kNewTag + F::read(path).mid(7);
        FileError err;
        ASSERT_TRUE(replaceFileRange(path, 0, 7, kNewTag, &err)) << err.description.toStdString();
        const Stat after(path);
        EXPECT_NE(after.st.st_ino, before.st.st_ino) << "written through a copy";
        EXPECT_EQ(F::read(path), expected);
        // The audio may now straddle one more block at each end of the hole.
        EXPECT_LE(qint64(after.st.st_blocks) * 512, qint64(before.st.st_blocks) * 512 + 64 * 1024);
    }
}

// Rewrites path in a child process killed once the copy is complete, before
// it replaces the file: the copy stays behind.
bool rewriteKilled(const QString& path)
{
    return killedIn([&] { replaceFileRange(path, 0, 7, kNewTag, nullptr, [](int) { killHere(); }); });
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
