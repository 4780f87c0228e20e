#include "platform/fakes/scriptedprompter.h"
#include "playlist/playlistfile.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

QByteArray readAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void touch(const QString& path)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly)) << path.toStdString();
}

// A device that accepts a number of writes and then fails every one.
class FailingDevice final : public QBuffer {
public:
    explicit FailingDevice(int goodWrites) : m_left(goodWrites) {}

protected:
    qint64 writeData(const char* data, qint64 len) override
    {
        if (m_left-- <= 0)
            return -1;
        return QBuffer::writeData(data, len);
    }

private:
    int m_left;
};

} // namespace

TEST(ListMp3Files, MatchesExtensionInAnyCaseSortedWithoutCase)
{
    QTemporaryDir dir;
    for (const char* name : {"c.Mp3", "a.mp3", "B.MP3", "notes.txt", "mp3", ".hidden.mp3"})
        touch(dir.filePath(QLatin1String(name)));
    QDir(dir.path()).mkdir(QStringLiteral("folder.mp3"));
    EXPECT_EQ(ListMp3Files(dir.path()), QStringList({"a.mp3", "B.MP3", "c.Mp3"}));
    EXPECT_TRUE(ListMp3Files(dir.filePath(QStringLiteral("missing"))).isEmpty());
}

TEST(ProposePlaylistName, TakesTheLastFolderComponent)
{
    EXPECT_EQ(ProposePlaylistName(QStringLiteral("/music/Album")), QStringLiteral("Album.m3u"));
    EXPECT_EQ(ProposePlaylistName(QStringLiteral("/music/Album/")), QStringLiteral("Album.m3u"));
    EXPECT_EQ(ProposePlaylistName(QStringLiteral("/")), QStringLiteral(".m3u"));
}

TEST(PlaylistFileName, TrimsAndAppendsTheExtensionUnlessPresentInAnyCase)
{
    EXPECT_EQ(PlaylistFileName(QStringLiteral("  party  ")), QStringLiteral("party.m3u"));
    EXPECT_EQ(PlaylistFileName(QStringLiteral("mix.mp3")), QStringLiteral("mix.mp3.m3u"));
    EXPECT_EQ(PlaylistFileName(QStringLiteral("Best.M3U")), QStringLiteral("Best.M3U"));
    EXPECT_EQ(PlaylistFileName(QStringLiteral("m3u")), QStringLiteral("m3u.m3u"));
    EXPECT_EQ(PlaylistFileName(QStringLiteral(".m3u")), QStringLiteral(".m3u"));
    EXPECT_EQ(PlaylistFileName(QStringLiteral("   ")), QString());
    EXPECT_EQ(PlaylistFileName(QString()), QString());
}

TEST(WritePlaylistLines, WritesHeaderAndTrimmedNamesWithCrLf)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    EXPECT_TRUE(WritePlaylistLines(buffer, {QStringLiteral(" a.mp3 "), QStringLiteral("Schön.mp3")}));
    EXPECT_EQ(buffer.data(), QByteArray("#EXTM3U\r\na.mp3\r\nSch\xc3\xb6n.mp3\r\n"));
}

TEST(WritePlaylistLines, EmptySelectionWritesOnlyTheHeader)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    EXPECT_TRUE(WritePlaylistLines(buffer, {}));
    EXPECT_EQ(buffer.data(), QByteArray("#EXTM3U\r\n"));
}

TEST(WritePlaylistLines, StopsAtTheFirstFailedWriteKeepingWhatWentBefore)
{
    FailingDevice device(2);
    device.open(QIODevice::WriteOnly);
    EXPECT_FALSE(WritePlaylistLines(device, {"a.mp3", "b.mp3", "c.mp3"}));
    EXPECT_EQ(device.data(), QByteArray("#EXTM3U\r\na.mp3\r\n"));
}

TEST(WritePlaylistFile, ReplacesAnExistingFile)
{
    QTemporaryDir dir;
    const QString target = dir.filePath(QStringLiteral("list.m3u"));
    ASSERT_TRUE(WritePlaylistFile(target, {"a.mp3", "b.mp3", "c.mp3"}));
    ASSERT_TRUE(WritePlaylistFile(target, {"z.mp3"}));
    EXPECT_EQ(readAll(target), QByteArray("#EXTM3U\r\nz.mp3\r\n"));
}

TEST(WritePlaylistFile, FailsOnAFullDiskAndIntoAMissingFolder)
{
    QTemporaryDir dir;
    const QString target = dir.filePath(QStringLiteral("full.m3u"));
    if (QFile::exists(QStringLiteral("/dev/full"))) {
        ASSERT_TRUE(QFile::link(QStringLiteral("/dev/full"), target));
        EXPECT_FALSE(WritePlaylistFile(target, {"a.mp3"}));
    }
    EXPECT_FALSE(WritePlaylistFile(dir.filePath(QStringLiteral("missing/list.m3u")), {"a.mp3"}));
}

TEST(CreatePlaylist, AsksWithTheProposalAndConfirmsWithThePathInCapitals)
{
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("Album"));
    ASSERT_TRUE(QDir().mkpath(folder));
    ScriptedPrompter prompter;
    prompter.inputs.enqueue(QStringLiteral(" party "));
    EXPECT_EQ(CreatePlaylist(prompter, folder, {"a.mp3"}), PlaylistResult::Saved);
    ASSERT_EQ(prompter.calls.size(), 2);
    EXPECT_EQ(prompter.calls[0].kind, ScriptedPrompter::Kind::Input);
    EXPECT_EQ(prompter.calls[0].title, QStringLiteral("Velmora"));
    EXPECT_EQ(prompter.calls[0].text, QStringLiteral("Enter The Name Of The Play List File:"));
    EXPECT_EQ(prompter.calls[0].defaultText, QStringLiteral("Album.m3u"));
    const QString target = folder + QStringLiteral("/party.m3u");
    EXPECT_EQ(prompter.calls[1].text, QStringLiteral("PlayList Has Been Saved As: \r\n\r\n") + target.toUpper());
    EXPECT_EQ(prompter.calls[1].icon, MsgIcon::Information);
    EXPECT_EQ(prompter.calls[1].title, QStringLiteral("Velmora"));
    EXPECT_EQ(readAll(target), QByteArray("#EXTM3U\r\na.mp3\r\n"));
}

TEST(CreatePlaylist, CancelledNameWritesNothing)
{
    QTemporaryDir dir;
    ScriptedPrompter prompter; // no input scripted: the box is cancelled
    EXPECT_EQ(CreatePlaylist(prompter, dir.path(), {"a.mp3"}), PlaylistResult::NoName);
    EXPECT_EQ(prompter.messageTexts(), QStringList{"No PlayList File Specified!\r\n\r\nNo File Saved."});
    EXPECT_EQ(prompter.calls.last().icon, MsgIcon::Critical);
    EXPECT_TRUE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot).isEmpty());
}

TEST(CreatePlaylist, NameWithAFolderPartIsRefusedAndWritesNothing)
{
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("inner"));
    ASSERT_TRUE(QDir().mkpath(folder));
    ASSERT_TRUE(QDir().mkpath(dir.filePath(QStringLiteral("inner/sub"))));
    for (const char* answer : {"../escape", "sub/list", "/tmp/abs"}) {
        ScriptedPrompter prompter;
        prompter.inputs.enqueue(QLatin1String(answer));
        EXPECT_EQ(CreatePlaylist(prompter, folder, {"a.mp3"}), PlaylistResult::BadName) << answer;
        ASSERT_EQ(prompter.count(ScriptedPrompter::Kind::Message), 1);
        EXPECT_EQ(prompter.calls.last().icon, MsgIcon::Critical);
        EXPECT_TRUE(prompter.calls.last().text.startsWith(QStringLiteral("Invalid PlayList File Name!")));
    }
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("escape.m3u"))));
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("inner/sub/list.m3u"))));
    EXPECT_FALSE(QFile::exists(QStringLiteral("/tmp/abs.m3u")));
}

TEST(CreatePlaylist, FailedWriteEndsSilently)
{
    QTemporaryDir dir;
    if (!QFile::exists(QStringLiteral("/dev/full")))
        GTEST_SKIP() << "no /dev/full";
    ASSERT_TRUE(QFile::link(QStringLiteral("/dev/full"), dir.filePath(QStringLiteral("full.m3u"))));
    ScriptedPrompter prompter;
    prompter.inputs.enqueue(QStringLiteral("full"));
    EXPECT_EQ(CreatePlaylist(prompter, dir.path(), {"a.mp3"}), PlaylistResult::WriteFailed);
    EXPECT_EQ(prompter.count(ScriptedPrompter::Kind::Message), 0);
}
