#include "platform/fakes/scriptedprompter.h"
#include "playlist/playlistfile.h"
#include "support/mp3builder.h"
#include "support/qttesthelpers.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

// A device that accepts a number of writes and then fails every one.
class FailingDevice final : public QBuffer {
public:
    explicit FailingDevice(int goodWrites) : m_left(goodWrites) {}

protected:
    qint64 writeData(const char* data, qint64 len) override
    {
        return m_left-- <= 0 ? -1 : QBuffer::writeData(data, len);
    }

private:
    int m_left;
};

} // namespace

TEST(ListMp3Files, MatchesExtensionInAnyCaseSortedWithoutCase)
{
    QTemporaryDir dir;
    for (const char* name : {"c.Mp3", "a.mp3", "B.MP3", "notes.txt", "mp3", ".hidden.mp3"})
        ASSERT_TRUE(Mp3Builder::writeFile(dir.filePath(QLatin1String(name)), {}));
    QDir(dir.path()).mkdir(QStringLiteral("folder.mp3"));
    EXPECT_EQ(ListMp3Files(dir.path()), QStringList({"a.mp3", "B.MP3", "c.Mp3"}));
    EXPECT_TRUE(ListMp3Files(dir.filePath(QStringLiteral("missing"))).isEmpty());
}

TEST(PlaylistNames, ProposalFromFolderAndTypedNameWithExtension)
{
    const std::pair<const char*, const char*> proposals[] = {
        {"/music/Album", "Album.m3u"}, {"/music/Album/", "Album.m3u"}, {"/", ".m3u"}};
    for (const auto& [folder, expected] : proposals)
        EXPECT_EQ(ProposePlaylistName(QLatin1String(folder)), QLatin1String(expected)) << folder;
    const std::pair<const char*, const char*> typed[] = {
        {"  party  ", "party.m3u"}, {"mix.mp3", "mix.mp3.m3u"}, {"Best.M3U", "Best.M3U"},
        {"m3u", "m3u.m3u"},         {".m3u", ".m3u"},           {"   ", ""}};
    for (const auto& [name, expected] : typed)
        EXPECT_EQ(PlaylistFileName(QLatin1String(name)), QLatin1String(expected)) << name;
}

TEST(WritePlaylistLines, HeaderTrimmedUtf8NamesCrLfAndStopAtFirstFailedWrite)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    EXPECT_TRUE(WritePlaylistLines(buffer, {QStringLiteral(" a.mp3 "), QStringLiteral("Schön.mp3")}));
    EXPECT_EQ(buffer.data(), QByteArray("#EXTM3U\r\na.mp3\r\nSch\xc3\xb6n.mp3\r\n"));

    QBuffer empty;
    empty.open(QIODevice::WriteOnly);
    EXPECT_TRUE(WritePlaylistLines(empty, {}));
    EXPECT_EQ(empty.data(), QByteArray("#EXTM3U\r\n"));

    FailingDevice device(2);
    device.open(QIODevice::WriteOnly);
    EXPECT_FALSE(WritePlaylistLines(device, {"a.mp3", "b.mp3", "c.mp3"}));
    EXPECT_EQ(device.data(), QByteArray("#EXTM3U\r\na.mp3\r\n"));
}

TEST(WritePlaylistFile, ReplacesAnExistingFileAndFailsOnFullDiskOrMissingFolder)
{
    QTemporaryDir dir;
    const QString target = dir.filePath(QStringLiteral("list.m3u"));
    ASSERT_TRUE(WritePlaylistFile(target, {"a.mp3", "b.mp3", "c.mp3"}));
    ASSERT_TRUE(WritePlaylistFile(target, {"z.mp3"}));
    EXPECT_EQ(Mp3Builder::readFile(target), QByteArray("#EXTM3U\r\nz.mp3\r\n"));
    EXPECT_FALSE(WritePlaylistFile(dir.filePath(QStringLiteral("missing/list.m3u")), {"a.mp3"}));

    // A failed write while creating ends without a message.
    if (!QFile::exists(QStringLiteral("/dev/full")))
        GTEST_SKIP() << "no /dev/full";
    ASSERT_TRUE(QFile::link(QStringLiteral("/dev/full"), dir.filePath(QStringLiteral("full.m3u"))));
    EXPECT_FALSE(WritePlaylistFile(dir.filePath(QStringLiteral("full.m3u")), {"a.mp3"}));
    ScriptedPrompter prompter;
    prompter.inputs.enqueue(QStringLiteral("full"));
    EXPECT_EQ(CreatePlaylist(prompter, dir.path(), {"a.mp3"}), PlaylistResult::WriteFailed);
    EXPECT_EQ(prompter.count(ScriptedPrompter::Kind::Message), 0);
}

TEST(CreatePlaylist, NameWithAFolderPartIsRefusedAndWritesNothing)
{
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("inner"));
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
