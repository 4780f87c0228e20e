// What `velmora [FOLDER | FILE...]` and a drop ask to open.
#include "app/openrequest.h"

#include "support/mp3builder.h"
#include "support/qttesthelpers.h"

#include <QDir>
#include <QTemporaryDir>
#include <QUrl>

#include <gtest/gtest.h>

TEST(OpenRequest, TheFirstFolderOrAudioFileDecides)
{
    QTemporaryDir tmp;
    const QString root = tmp.path();
    ASSERT_TRUE(QDir().mkpath(root + "/Music/A & B"));
    ASSERT_TRUE(Mp3Builder::writePlainMp3(root + "/Music/A & B/Song.MP3"));
    ASSERT_TRUE(Mp3Builder::writePlainMp3(root + "/Music/other.mp3"));
    ASSERT_TRUE(Mp3Builder::writeFile(root + "/Music/notes.txt", "x"));
    for (const char* name : { "Live.Flac", "b.opus", "c.m4a" }) // told by the name, as *.mp3 is
        ASSERT_TRUE(Mp3Builder::writeFile(root + "/Music/" + name, "x"));
    ASSERT_TRUE(QDir().mkpath(root + "/Music/folder.mp3"));
    const QString music = root + "/Music/";
    const QString ab = music + "A & B/";

    const struct {
        QStringList arguments;
        QString folder, file;
        QStringList refused;
    } cases[] = {
        { {}, {}, {}, {} },
        { { "Music" }, music, {}, {} },
        { { music + "A & B/../A & B" }, ab, {}, {} },
        { { "Music/A & B/Song.MP3" }, ab, "Song.MP3", {} },
        // Several files: the first one's folder, with it selected.
        { { music + "other.mp3", ab + "Song.MP3" }, music, "other.mp3", {} },
        { { "--", QUrl::fromLocalFile(ab + "Song.MP3").toString() }, ab, "Song.MP3", {} },
        // Neither a folder nor an audio file: refused, the next one decides.
        { { "Music/notes.txt", "missing", "Music/other.mp3" }, music, "other.mp3", { "Music/notes.txt", "missing" } },
        { { "http://example.org/a.mp3" }, {}, {}, { "http://example.org/a.mp3" } },
        // Every audio format Velmora tags, in any letter case.
        { { "Music/notes.txt", "Music/Live.Flac" }, music, "Live.Flac", { "Music/notes.txt" } },
        { { "Music/b.opus" }, music, "b.opus", {} },
        { { music + "c.m4a", "Music/other.mp3" }, music, "c.m4a", {} },
        // A folder named like an MP3 file is a folder.
        { { "Music/folder.mp3" }, music + "folder.mp3/", {}, {} },
    };
    for (const auto& c : cases) {
        const OpenRequest request = openRequestFor(c.arguments, root);
        EXPECT_EQ(request.folder, c.folder) << c.arguments.join(' ').toStdString();
        EXPECT_EQ(request.file, c.file) << c.arguments.join(' ').toStdString();
        EXPECT_EQ(request.refused, c.refused) << c.arguments.join(' ').toStdString();
        EXPECT_EQ(request.isEmpty(), c.folder.isEmpty());
    }
}

TEST(NearestExistingFolder, TheFolderItselfOrItsNearestParentThatIsOne)
{
    QTemporaryDir tmp;
    const QString root = tmp.path();
    ASSERT_TRUE(QDir().mkpath(root + "/Music/Live"));
    ASSERT_TRUE(Mp3Builder::writeFile(root + "/Music/file.mp3", "x"));
    const QString home = QDir::homePath() + '/';
    const std::pair<QString, QString> cases[] = {
        { root + "/Music/Live", root + "/Music/Live/" },
        { root + "/Music/Live/", root + "/Music/Live/" },
        { root + "/Music/Gone/Deeper/", root + "/Music/" },
        { root + "/Music/Live/../Gone", root + "/Music/" },
        // A file where a folder was is no folder.
        { root + "/Music/file.mp3/", root + "/Music/" },
        { "/no-such-folder-of-velmora", "/" },
        { "", home },
    };
    for (const auto& [path, shown] : cases)
        EXPECT_EQ(nearestExistingFolder(path), shown) << path.toStdString();
}
