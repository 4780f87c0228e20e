#include "tagedit/filefacts.h"
#include "tagedit/ui/fileicon.h"

#include "support/mp3builder.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

// Only what the windows and the file report read is tested here.

TEST(FileFacts, FillsSizeAndTimesOfAnExistingFileAndKeepsThemWhenItGoes)
{
    QTemporaryDir dir;
    FileFacts info;
    EXPECT_FALSE(info.fileExists());
    EXPECT_TRUE(fileIcon(info).isNull());
    const QString path = dir.filePath("Song.MP3");
    ASSERT_TRUE(Mp3Builder::writePlainMp3(path, 12)); // 5004 bytes
    info.setFullPathName(path);
    ASSERT_TRUE(info.fileExists());
    EXPECT_EQ(info.fullPathName(), path);
    EXPECT_EQ(info.size(), 5004);
    EXPECT_TRUE(info.creationTime().isValid());
    EXPECT_TRUE(info.lastAccessTime().isValid());
    EXPECT_EQ(info.modifyTime().timeSpec(), Qt::LocalTime);
    EXPECT_LE(qAbs(info.modifyTime().secsTo(QDateTime::currentDateTime())), 60);
    EXPECT_FALSE(fileIcon(info).isNull());

    QFile::remove(path);
    info.refresh();
    EXPECT_FALSE(info.fileExists());
    EXPECT_EQ(info.size(), 5004);
}

TEST(FileFacts, PathsAreResolvedAndSpelledAsOnDiscButExactSpellingWins)
{
    QTemporaryDir dir;
    QDir(dir.path()).mkdir("Album");
    Mp3Builder::writeFile(dir.filePath("Album/Song.MP3"), "x");
    FileFacts info;
    info.setFullPathName(dir.path() + "/Album/../Album/Song.MP3");
    ASSERT_TRUE(info.fileExists());
    EXPECT_EQ(info.fullPathName(), dir.path() + "/Album/Song.MP3");
    EXPECT_EQ(FileFacts::spelledOnDisc(dir.path() + "/album/song.mp3"), dir.path() + "/Album/Song.MP3");
    EXPECT_EQ(FileFacts::spelledOnDisc(dir.path() + "/no/such.mp3"), dir.path() + "/no/such.mp3");
    info.setFullPathName(""); // an empty path changes nothing
    EXPECT_EQ(info.fullPathName(), dir.path() + "/Album/Song.MP3");

    Mp3Builder::writeFile(dir.filePath("song.mp3"), "1");
    Mp3Builder::writeFile(dir.filePath("SONG.mp3"), "22");
    info.setFullPathName(dir.filePath("SONG.mp3"));
    EXPECT_EQ(info.size(), 2);
    FileFacts never;
    never.setFullPathName(dir.filePath("never.mp3"));
    EXPECT_FALSE(never.fileExists());
}

// The short form itself is tested with formatFileSize.
TEST(FileFacts, FormatFileSizeAddsTheExactCountFrom1024On)
{
    const std::pair<qint64, const char*> cases[]
        = { { 1023, "1,023 bytes" }, { 1024, "1.00KB (1,024 bytes)" }, { 1073741824, "1.00GB (1,073,741,824 bytes)" } };
    for (const auto& [bytes, text] : cases)
        EXPECT_EQ(FileFacts::formatFileSize(bytes), text) << bytes;
}

TEST(FileFacts, FormatFileDateIsLongDateBlankLongTime)
{
    const QDateTime when(QDate(2024, 3, 5), QTime(14, 7, 9), Qt::LocalTime);
    EXPECT_TRUE(FileFacts::formatFileDate(when).startsWith("Tuesday, March 5, 2024 2:07:09"))
        << FileFacts::formatFileDate(when).toStdString();
}
