#include "platform/fakes/scriptedprompter.h"
#include "playlist/playlistfile.h"
#include "support/mp3builder.h"
#include "support/qttesthelpers.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cerrno>

TEST(PlaylistNames, ProposalFromFolderAndTypedNameWithExtension)
{
    const std::pair<const char*, const char*> proposals[]
        = { { "/music/Album", "Album.m3u" }, { "/music/Album/", "Album.m3u" }, { "/", ".m3u" } };
    for (const auto& [folder, expected] : proposals)
        EXPECT_EQ(proposePlaylistName(QLatin1String(folder)), QLatin1String(expected)) << folder;
    const std::pair<const char*, const char*> typed[] = { { "  party  ", "party.m3u" }, { "mix.mp3", "mix.mp3.m3u" },
        { "Best.M3U", "Best.M3U" }, { "m3u", "m3u.m3u" }, { ".m3u", ".m3u" }, { "   ", "" } };
    for (const auto& [name, expected] : typed)
        EXPECT_EQ(playlistFileName(QLatin1String(name)), QLatin1String(expected)) << name;
}

TEST(PlaylistText, EveryNameIsReadAsThatFileOrLeftOut)
{
    const std::pair<const char*, const char*> lines[] = {
        { "a.mp3", "a.mp3" },
        { "Sch\xc3\xb6n.mp3", "Sch\xc3\xb6n.mp3" },
        { "#1 Crush.mp3", "./#1 Crush.mp3" }, // a bare "#" line is a comment
        { "  Intro.mp3", "./  Intro.mp3" }, // players trim leading blanks
        { "\tTab.mp3", "./\tTab.mp3" },
        { "a #1.mp3", "a #1.mp3" },
        { "Two\nLines.mp3", "" },
        { "Two\rLines.mp3", "" },
    };
    for (const auto& [name, line] : lines)
        EXPECT_EQ(playlistLine(QString::fromUtf8(name)), QString::fromUtf8(line)) << name;

    QStringList leftOut;
    EXPECT_EQ(playlistText({ "#1 Crush.mp3", "Bad\nName.mp3", " b.mp3", "Sch\u00f6n.mp3" }, &leftOut),
        QByteArray("#EXTM3U\r\n./#1 Crush.mp3\r\n./ b.mp3\r\nSch\xc3\xb6n.mp3\r\n"));
    EXPECT_EQ(leftOut, QStringList { "Bad\nName.mp3" });
    EXPECT_EQ(playlistText({}), QByteArray("#EXTM3U\r\n"));
}

TEST(WritePlaylistFile, ReplacesAFileOrALinkButNeverTheLinksTarget)
{
    QTemporaryDir dir;
    const QString target = dir.filePath(QStringLiteral("list.m3u"));
    ASSERT_TRUE(writePlaylistFile(target, "first\r\n").ok());
    ASSERT_TRUE(writePlaylistFile(target, "z\r\n").ok());
    EXPECT_EQ(Mp3Builder::readFile(target), QByteArray("z\r\n"));

    QTemporaryDir outside;
    const QString kept = outside.filePath(QStringLiteral("other.m3u"));
    ASSERT_TRUE(Mp3Builder::writeFile(kept, "keep me"));
    const QString link = dir.filePath(QStringLiteral("linked.m3u"));
    ASSERT_TRUE(QFile::link(kept, link));
    ASSERT_TRUE(writePlaylistFile(link, "new\r\n").ok());
    EXPECT_FALSE(QFileInfo(link).isSymLink());
    EXPECT_EQ(Mp3Builder::readFile(link), QByteArray("new\r\n"));
    EXPECT_EQ(Mp3Builder::readFile(kept), QByteArray("keep me"));

    // A link that leads nowhere is replaced too.
    ASSERT_TRUE(QFile::link(dir.filePath(QStringLiteral("gone/x.m3u")), dir.filePath(QStringLiteral("dangling.m3u"))));
    EXPECT_TRUE(writePlaylistFile(dir.filePath(QStringLiteral("dangling.m3u")), "d\r\n").ok());
    EXPECT_FALSE(QDir(dir.filePath(QStringLiteral("gone"))).exists());

    // A write that fails half-way says why.
    if (!QFile::exists(QStringLiteral("/dev/full")))
        GTEST_SKIP() << "no /dev/full";
    EXPECT_EQ(writePlaylistFile(QStringLiteral("/dev/full"), "a.mp3\r\n").number, 61);
}

TEST(CreatePlaylist, AFailedWriteIsShownWithThePathAndTheReason)
{
    QTemporaryDir dir;
    const struct {
        const char* answer;
        const char* target;
        FileError error;
    } cases[] = {
        { "taken", "taken.m3u", fileErrorFromErrno(EISDIR) }, // a folder holds the name
        { "list", "missing/list.m3u", fileErrorFromErrno(ENOENT) },
    };
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("taken.m3u")));
    for (const auto& c : cases) {
        const QString folder = QString(dir.filePath(QLatin1String(c.target))).section(QLatin1Char('/'), 0, -2);
        ScriptedPrompter prompter;
        prompter.inputs.enqueue(QLatin1String(c.answer));
        EXPECT_EQ(createPlaylist(prompter, folder, { "a.mp3" }), PlaylistResult::WriteFailed) << c.answer;
        EXPECT_EQ(prompter.messageTexts(),
            QStringList { QStringLiteral("PlayList Could Not Be Saved As:\r\n\r\n%1\r\n\r\nError: %2 (%3)")
                              .arg(dir.filePath(c.target), c.error.description, QString::number(c.error.number)) })
            << c.answer;
        EXPECT_EQ(prompter.calls.last().icon, MsgIcon::Critical);
    }
}

TEST(CreatePlaylist, NamesWithALineBreakAreLeftOutAndListedInOneMessage)
{
    QTemporaryDir dir;
    ScriptedPrompter prompter;
    prompter.inputs.enqueue(QStringLiteral("mix"));
    const QStringList names = { "a.mp3", "One\nTwo.mp3", "#1 Crush.mp3", "Three\r\nFour.mp3" };
    EXPECT_EQ(createPlaylist(prompter, dir.path(), names), PlaylistResult::Saved);
    const QString target = dir.filePath(QStringLiteral("mix.m3u"));
    EXPECT_EQ(Mp3Builder::readFile(target), QByteArray("#EXTM3U\r\na.mp3\r\n./#1 Crush.mp3\r\n"));
    EXPECT_EQ(prompter.messageTexts(),
        QStringList({ QStringLiteral("PlayList Has Been Saved As: \r\n\r\n") + target,
            QStringLiteral("These Files Were Left Out Of The PlayList, Because Their Names Hold A Line "
                           "Break:\r\n\r\nOne?Two.mp3\r\nThree??Four.mp3") }));
    EXPECT_EQ(prompter.calls.last().icon, MsgIcon::Exclamation);
}

TEST(CreatePlaylist, NameWithAFolderPartIsRefusedAndWritesNothing)
{
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("inner"));
    ASSERT_TRUE(QDir().mkpath(dir.filePath(QStringLiteral("inner/sub"))));
    for (const char* answer : { "../escape", "sub/list", "/tmp/abs" }) {
        ScriptedPrompter prompter;
        prompter.inputs.enqueue(QLatin1String(answer));
        EXPECT_EQ(createPlaylist(prompter, folder, { "a.mp3" }), PlaylistResult::BadName) << answer;
        ASSERT_EQ(prompter.count(ScriptedPrompter::Kind::Message), 1);
        EXPECT_EQ(prompter.calls.last().icon, MsgIcon::Critical);
        EXPECT_TRUE(prompter.calls.last().text.startsWith(QStringLiteral("Invalid PlayList File Name!")));
    }
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("escape.m3u"))));
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("inner/sub/list.m3u"))));
    EXPECT_FALSE(QFile::exists(QStringLiteral("/tmp/abs.m3u")));
}
