#include "tagedit/filefacts.h"
#include "tagedit/ui/fileicon.h"

#include "support/mp3builder.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <unistd.h>

namespace {

QString makeFile(const QString& path, int bytes)
{
    Mp3Builder::writeFile(path, QByteArray(bytes, 'x'));
    return path;
}

} // namespace

TEST(FileFacts, FillsNamesSizesAndTimesOfAnExistingFile)
{
    QTemporaryDir dir;
    FileFacts info;
    EXPECT_FALSE(info.FileExists());
    EXPECT_EQ(info.FullPathName(), "");
    EXPECT_TRUE(FileIcon(info).isNull());
    const QString path = dir.filePath("Song.MP3");
    ASSERT_TRUE(Mp3Builder::writePlainMp3(path, 12)); // 5004 bytes
    info.SetFullPathName(path);
    ASSERT_TRUE(info.FileExists());
    EXPECT_TRUE(info.PathExists());
    EXPECT_EQ(info.FullPathName(), path);
    EXPECT_EQ(info.FileName(), "Song.MP3");
    EXPECT_EQ(info.FilePath(), dir.path() + "/");
    EXPECT_EQ(info.FileExtension(), "MP3");
    EXPECT_EQ(info.ShortName(), "Song.MP3");
    EXPECT_EQ(info.ShortPathName(), path);
    EXPECT_EQ(info.ShortPath(), dir.path() + "/");
    EXPECT_EQ(info.DisplayName(), "Song.MP3");
    EXPECT_EQ(info.FileSize(), 5004u);
    EXPECT_EQ(info.FileSizeHigh(), 0u);
    EXPECT_EQ(info.compressedSize() % 512, 0);
    EXPECT_TRUE(info.CreationTime().isValid());
    EXPECT_TRUE(info.LastAccessTime().isValid());
    EXPECT_EQ(info.ModifyTime().timeSpec(), Qt::LocalTime);
    EXPECT_LE(qAbs(info.ModifyTime().secsTo(QDateTime::currentDateTime())), 60);
    EXPECT_EQ(info.Attributes(), 0u);
    EXPECT_TRUE(info.TypeName().contains("MP3", Qt::CaseInsensitive)) << info.TypeName().toStdString();
    EXPECT_FALSE(FileIcon(info).isNull());
}

TEST(FileFacts, AllocatedSizeCoversTheBytesWritten)
{
    QTemporaryDir dir;
    const QString path = makeFile(dir.filePath("a.mp3"), 70000);
    QFile f(path);
    f.open(QIODevice::ReadWrite);
    ::fsync(f.handle());
    f.close();
    FileFacts info;
    info.SetFullPathName(path);
    // Allocation happens in whole blocks; a plain (not sparse, not
    // compressed) file of 70000 bytes needs at least that much.
    EXPECT_GE(info.CompressedFileSize(), 70000u);
    EXPECT_EQ(info.CompressedFileSizeHigh(), 0u);
}

TEST(FileFacts, RelativeNamesAndDotSegmentsAreResolvedAndAnEmptyPathChangesNothing)
{
    QTemporaryDir dir;
    QDir(dir.path()).mkdir("sub");
    makeFile(dir.filePath("x.mp3"), 10);
    FileFacts info;
    info.SetFullPathName(dir.path() + "/sub/../x.mp3");
    ASSERT_TRUE(info.FileExists());
    EXPECT_EQ(info.FullPathName(), dir.path() + "/x.mp3");
    EXPECT_EQ(info.FilePath(), dir.path() + "/");
    info.SetFullPathName("");
    EXPECT_EQ(info.FullPathName(), dir.path() + "/x.mp3");
    EXPECT_TRUE(info.FileExists());
    const QString previous = QDir::currentPath();
    QDir::setCurrent(dir.filePath("sub"));
    FileFacts relative;
    relative.SetFullPathName("../x.mp3");
    QDir::setCurrent(previous);
    ASSERT_TRUE(relative.FileExists());
    EXPECT_EQ(relative.FullPathName(), dir.path() + "/x.mp3");
}

TEST(FileFacts, MissingFileLeavesFileExistsFalseAndKeepsOtherValues)
{
    QTemporaryDir dir;
    const QString path = makeFile(dir.filePath("gone.mp3"), 1536);
    FileFacts info;
    info.SetFullPathName(path);
    ASSERT_TRUE(info.FileExists());
    QFile::remove(path);
    info.Refresh();
    EXPECT_FALSE(info.FileExists());
    EXPECT_FALSE(info.PathExists());
    EXPECT_EQ(info.FileName(), "gone.mp3");
    EXPECT_EQ(info.size(), 1536);
    FileFacts never;
    never.SetFullPathName(dir.filePath("never.mp3"));
    EXPECT_FALSE(never.FileExists());
}

TEST(FileFacts, ExtensionIsTextAfterTheLastDot)
{
    QTemporaryDir dir;
    const std::pair<const char*, const char*> cases[]
        = { { "a.b.Mp3", "Mp3" }, { "trailing.", "" }, { "README", "" } };
    FileFacts info;
    for (const auto& [name, extension] : cases) {
        info.SetFullPathName(makeFile(dir.filePath(name), 4));
        EXPECT_EQ(info.FileExtension(), extension) << name;
    }
    EXPECT_EQ(FileFacts::FallbackTypeName(""), "File");
    EXPECT_EQ(FileFacts::FallbackTypeName("mp3"), "MP3 File");
}

TEST(FileFacts, AttributesFollowPermissionsNamesAndKind)
{
    QTemporaryDir dir;
    const QString ro = makeFile(dir.filePath("ro.mp3"), 4);
    QFile::setPermissions(ro, QFile::ReadOwner);
    FileFacts info;
    info.SetFullPathName(ro);
    EXPECT_TRUE(info.attrReadOnly());
    EXPECT_FALSE(info.attrHidden());
    EXPECT_FALSE(info.attrArchive());

    info.SetFullPathName(makeFile(dir.filePath(".hidden.mp3"), 4));
    EXPECT_TRUE(info.attrHidden());
    EXPECT_FALSE(info.attrReadOnly());
    EXPECT_FALSE(info.attrSystem());

    QDir(dir.path()).mkdir("folder");
    info.SetFullPathName(dir.filePath("folder"));
    EXPECT_TRUE(info.FileExists());
    EXPECT_TRUE(info.attrSystem());
    EXPECT_TRUE(info.Attributes() & FileFacts::AttrDirectory);
}

TEST(FileFacts, SpellingOnDiscIsFoundWithoutRegardToCaseButExactSpellingWins)
{
    QTemporaryDir dir;
    QDir(dir.path()).mkdir("Album");
    makeFile(dir.filePath("Album/Song.MP3"), 4);
    EXPECT_EQ(FileFacts::SpelledOnDisc(dir.path() + "/album/song.mp3"), dir.path() + "/Album/Song.MP3");
    EXPECT_EQ(FileFacts::SpelledOnDisc(dir.path() + "/Album/Song.MP3"), dir.path() + "/Album/Song.MP3");
    // What cannot be found is kept as given.
    EXPECT_EQ(FileFacts::SpelledOnDisc(dir.path() + "/nothing/here.mp3"), dir.path() + "/nothing/here.mp3");
    EXPECT_EQ(FileFacts::SpelledOnDisc("/"), "/");
    makeFile(dir.filePath("song.mp3"), 1);
    makeFile(dir.filePath("SONG.mp3"), 2);
    EXPECT_EQ(FileFacts::SpelledOnDisc(dir.path() + "/SONG.mp3"), dir.path() + "/SONG.mp3");
    FileFacts info;
    info.SetFullPathName(dir.filePath("SONG.mp3"));
    EXPECT_EQ(info.size(), 2);
}

TEST(FileFacts, FormatFileSizeAddsTheExactCountFrom1024On)
{
    const std::pair<qint64, const char*> cases[] = { { 0, "0 bytes" }, { 1023, "1,023 bytes" },
        { 1024, "1.00KB (1,024 bytes)" }, { 1536, "1.50KB (1,536 bytes)" }, { 10240, "10.0KB (10,240 bytes)" },
        { 524288, "512KB (524,288 bytes)" }, { 1048576, "1.00MB (1,048,576 bytes)" },
        { 1073741824, "1.00GB (1,073,741,824 bytes)" } };
    for (const auto& [bytes, text] : cases)
        EXPECT_EQ(FileFacts::FormatFileSize(bytes), text) << bytes;
}

TEST(FileFacts, FormatFileDateIsLongDateBlankLongTime)
{
    const QDateTime when(QDate(2024, 3, 5), QTime(14, 7, 9), Qt::LocalTime);
    EXPECT_TRUE(FileFacts::FormatFileDate(when).startsWith("Tuesday, March 5, 2024 2:07:09"))
        << FileFacts::FormatFileDate(when).toStdString();
}
