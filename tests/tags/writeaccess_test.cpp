// Writes nobody asked for: which files they may touch, and the load that
// takes a trailer away from a file with both tags, which leaves every other
// file exactly as it was.
#include "tags/id3v2tag.h"
#include "tags/writeaccess.h"

#include "support/childprocess.h"
#include "support/filestate.h"
#include "support/tagfiles.h"

#include <QDir>
#include <QRandomGenerator>

#include <gtest/gtest.h>

#include <functional>

using namespace Id3Builder;
namespace F = TagTestFiles;

namespace {

QByteArray taggedBytes(const QByteArray& audio)
{
    return tag(3, { frame(3, "TPE1", textBody("The Artist")) }, 32) + audio
        + id3v1("", "The Artist", "", "", "", 0, 255);
}

// bytes of noise, the same for a seed every time.
QByteArray noise(int bytes, quint32 seed)
{
    QRandomGenerator random(seed);
    QByteArray out(bytes, Qt::Uninitialized);
    for (char& c : out)
        c = char(random.bounded(256));
    return out;
}

bool chmodPath(const QString& path, mode_t mode)
{
    return ::chmod(QFile::encodeName(path).constData(), mode) == 0;
}

bool chownPath(const QString& path, uid_t uid, gid_t gid)
{
    return ::chown(QFile::encodeName(path).constData(), uid, gid) == 0;
}

TEST(WriteAccess, OnlyAWritableFileOfThisUserMayBeChangedUnasked)
{
    QTemporaryDir dir;
    const struct {
        const char* name;
        mode_t mode;
        bool may;
    } cases[] = {
        { "writable.mp3", 0644, true },
        { "read-only.mp3", 0444, false },
        { "others-may-write.mp3", 0466, false }, // the owner's bit decides
        { ".hidden.mp3", 0644, false },
    };
    for (const auto& c : cases) {
        const QString path = F::write(dir, c.name, F::audio(2));
        ASSERT_TRUE(chmodPath(path, c.mode));
        EXPECT_EQ(mayChangeUnasked(path), c.may) << c.name;
    }
    EXPECT_FALSE(mayChangeUnasked(dir.path()));
    EXPECT_FALSE(mayChangeUnasked(dir.filePath("missing.mp3")));
    EXPECT_FALSE(mayChangeUnasked(QString()));

    // A file the system will not let anyone open for writing, root included.
    const QString locked = F::write(dir, "immutable.mp3", F::audio(2));
    if (!setImmutable(locked, true))
        GTEST_SKIP() << "this file system or process cannot make a file immutable";
    EXPECT_FALSE(mayChangeUnasked(locked));
    ASSERT_TRUE(setImmutable(locked, false));
}

TEST(WriteAccess, AUserWhoCannotBypassPermissionsLeavesOtherUsersFilesAlone)
{
    QTemporaryDir dir;
    ASSERT_TRUE(chmodPath(dir.path(), 0777));
    const struct {
        const char* name;
        uid_t owner;
        mode_t mode;
        char may;
    } cases[] = {
        { "own.mp3", 65534, 0644, '1' },
        { "own-read-only.mp3", 65534, 0444, '0' },
        { "others-open-to-all.mp3", 0, 0666, '0' }, // its time could not be put back
        { "others.mp3", 0, 0644, '0' },
    };
    QByteArray expected;
    QStringList paths;
    for (const auto& c : cases) {
        const QString path = F::write(dir, c.name, F::audio(2));
        ASSERT_TRUE(chownPath(path, c.owner, c.owner) && chmodPath(path, c.mode));
        paths << path;
        expected += c.may;
    }
    const auto got = runInChild([&] {
        QByteArray out;
        for (const QString& path : paths)
            out += mayChangeUnasked(path) ? '1' : '0';
        return out;
    });
    ASSERT_TRUE(got.has_value());
    EXPECT_EQ(*got, expected);
}

TEST(WriteAccess, NoiseHoldsNoMpegAudio)
{
    QTemporaryDir dir;
    const struct {
        const char* name;
        QByteArray bytes;
        bool audio;
    } cases[] = {
        { "audio", F::audio(4), true },
        { "tag and audio", taggedBytes(F::audio(4)), true },
        { "noise 1", noise(5000, 1), false },
        { "noise 2", noise(5000, 2), false },
        { "noise 3", noise(5000, 3), false },
        { "tag and noise", taggedBytes(noise(5000, 4)), false },
        // One frame header and nothing of the stream after it.
        { "a lone frame header", QByteArray("\xFF\xFB\x90\x64", 4) + noise(5000, 5), false },
    };
    for (const auto& c : cases) {
        const QString path = F::write(dir, "file.mp3", c.bytes);
        ID3V2Tag t;
        t.setKeepTrailerOnLoad(true);
        t.setFileName(path);
        EXPECT_EQ(t.holdsAudio(), c.audio) << c.name;
    }
}

TEST(WriteAccess, ALoadTakesTheTrailerOnlyFromMpegAudioThatMayBeChangedUnasked)
{
    const struct {
        const char* name;
        QByteArray bytes;
        mode_t mode;
        bool keepTrailer; // the caller asked for loads that write nothing
        bool removed;
    } cases[] = {
        { "writable audio", taggedBytes(F::audio(6)), 0644, false, true },
        { "read-only audio", taggedBytes(F::audio(6)), 0444, false, false },
        { "noise named .mp3", taggedBytes(noise(5000, 7)), 0644, false, false },
        { "loads that write nothing", taggedBytes(F::audio(6)), 0644, true, false },
    };
    for (const auto& c : cases) {
        QTemporaryDir dir;
        const QString path = F::write(dir, "song.mp3", c.bytes);
        ASSERT_TRUE(chmodPath(path, c.mode));
        const FileState before = FileState::of(path);
        ID3V2Tag t;
        t.setKeepTrailerOnLoad(c.keepTrailer);
        t.setFileName(path);
        EXPECT_EQ(t.artist(), QStringLiteral("The Artist")) << c.name; // shown either way
        if (c.removed) {
            EXPECT_EQ(F::read(path), c.bytes.chopped(128)) << c.name;
            EXPECT_EQ(t.audio().fileSize, qint64(c.bytes.size() - 128)) << c.name;
        } else {
            EXPECT_EQ(FileState::of(path), before) << c.name;
        }
        EXPECT_EQ(F::mode(path), c.mode) << c.name;
    }
}

} // namespace
