#include "platform/systemtrash.h"

#include "support/mp3builder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

// Points the freedesktop trash at a fresh, not yet existing data folder.
class SystemTrashTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        savedDataHome = qgetenv("XDG_DATA_HOME");
        dataHome = home.filePath("data-not-yet-made");
        qputenv("XDG_DATA_HOME", QFile::encodeName(dataHome));
    }
    void TearDown() override { qputenv("XDG_DATA_HOME", savedDataHome); }

    QTemporaryDir home;
    QTemporaryDir music;
    QString dataHome;
    QByteArray savedDataHome;
};

TEST_F(SystemTrashTest, MovesFileIntoTrashWithInfoAndLeavesNoStrayFolders)
{
    const QString song = music.filePath("Song.mp3");
    ASSERT_TRUE(Mp3Builder::writePlainMp3(song, 3));
    const QByteArray bytes = Mp3Builder::readFile(song);

    SystemTrash trash;
    FileError err;
    ASSERT_TRUE(trash.moveToTrash(song, &err)) << err.description.toStdString();
    EXPECT_FALSE(QFile::exists(song));
    EXPECT_TRUE(QDir(music.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot).isEmpty());

    EXPECT_EQ(Mp3Builder::readFile(dataHome + "/Trash/files/Song.mp3"), bytes);
    EXPECT_TRUE(Mp3Builder::readFile(dataHome + "/Trash/info/Song.mp3.trashinfo").contains("Path="));
}

// A trash that takes the file but writes no .trashinfo for it.
class UnrecordingTrash : public SystemTrash {
protected:
    bool moveFile(const QString& path, QString* inTrash) override
    {
        *inTrash = qEnvironmentVariable("XDG_DATA_HOME") + "/Trash/files/" + QFileInfo(path).fileName();
        return QDir().mkpath(QFileInfo(*inTrash).path()) && QFile::rename(path, *inTrash);
    }
};

TEST_F(SystemTrashTest, FailureLeavesTheFileWhereItWasAndAnUnrecordedMoveIsReported)
{
    SystemTrash trash;
    FileError err;
    EXPECT_FALSE(trash.moveToTrash(music.filePath("missing.mp3"), &err));
    EXPECT_EQ(err.number, 53);

    const QString moved = music.filePath("Song.mp3");
    ASSERT_TRUE(Mp3Builder::writePlainMp3(moved, 1));
    EXPECT_FALSE(UnrecordingTrash().moveToTrash(moved, &err));
    EXPECT_EQ(err.number, 51);

    // A data folder that cannot be made: the trash must refuse, not delete.
    const QString blocker = home.filePath("blocker");
    ASSERT_TRUE(Mp3Builder::writeFile(blocker, "not a folder"));
    qputenv("XDG_DATA_HOME", QFile::encodeName(blocker + "/data"));
    const QString song = music.filePath("Keep.mp3");
    ASSERT_TRUE(Mp3Builder::writePlainMp3(song, 2));
    EXPECT_FALSE(trash.moveToTrash(song, &err));
    EXPECT_FALSE(err.ok());
    EXPECT_TRUE(QFile::exists(song));
}
