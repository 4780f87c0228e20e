#include "tagedit/cfileinfo.h"
#include "tagedit/ui/fileicon.h"

#include "support/mp3builder.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <unistd.h>

namespace {

// Runs with the current folder set to dir, restoring it afterwards.
struct InFolder {
    explicit InFolder(const QString& dir) : previous(QDir::currentPath()) { QDir::setCurrent(dir); }
    ~InFolder() { QDir::setCurrent(previous); }
    QString previous;
};

QString makeFile(const QString& path, int bytes)
{
    Mp3Builder::writeFile(path, QByteArray(bytes, 'x'));
    return path;
}

} // namespace

TEST(CFileInfo, EmptyAfterCreation)
{
    CFileInfo info;
    EXPECT_FALSE(info.FileExists());
    EXPECT_EQ(info.FullPathName(), "");
    EXPECT_EQ(info.size(), 0);
}

TEST(CFileInfo, FillsNamesSizesAndTimesOfAnExistingFile)
{
    QTemporaryDir dir;
    const QString path = makeFile(dir.filePath("Song.MP3"), 5000);
    CFileInfo info;
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
    EXPECT_EQ(info.FileSize(), 5000u);
    EXPECT_EQ(info.FileSizeHigh(), 0u);
    EXPECT_GE(info.compressedSize(), 0);
    EXPECT_EQ(info.compressedSize() % 512, 0);
    EXPECT_TRUE(info.CreationTime().isValid());
    EXPECT_TRUE(info.LastAccessTime().isValid());
    EXPECT_TRUE(info.ModifyTime().isValid());
    EXPECT_EQ(info.ModifyTime().timeSpec(), Qt::LocalTime);
    EXPECT_LE(qAbs(info.ModifyTime().secsTo(QDateTime::currentDateTime())), 60);
    EXPECT_EQ(info.Attributes(), 0u);
    EXPECT_FALSE(info.TypeName().isEmpty());
}

TEST(CFileInfo, AllocatedSizeCoversTheBytesWritten)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("a.mp3");
    Mp3Builder::writeFile(path, QByteArray(70000, 'y'));
    QFile f(path);
    f.open(QIODevice::ReadWrite);
    f.flush();
    ::fsync(f.handle());
    f.close();
    CFileInfo info;
    info.SetFullPathName(path);
    // Allocation happens in whole blocks; a plain (not sparse, not
    // compressed) file of 70000 bytes needs at least that much.
    EXPECT_GE(info.CompressedFileSize(), 70000u);
    EXPECT_EQ(info.CompressedFileSizeHigh(), 0u);
}

TEST(CFileInfo, RelativeNameResolvesAgainstTheCurrentFolder)
{
    QTemporaryDir dir;
    makeFile(dir.filePath("track.mp3"), 10);
    InFolder here(dir.path());
    CFileInfo info;
    info.SetFullPathName("track.mp3");
    ASSERT_TRUE(info.FileExists());
    EXPECT_EQ(info.FullPathName(), QDir(dir.path()).absoluteFilePath("track.mp3"));
}

TEST(CFileInfo, DotSegmentsAreResolved)
{
    QTemporaryDir dir;
    QDir(dir.path()).mkdir("sub");
    makeFile(dir.filePath("x.mp3"), 10);
    CFileInfo info;
    info.SetFullPathName(dir.path() + "/sub/../x.mp3");
    ASSERT_TRUE(info.FileExists());
    EXPECT_EQ(info.FullPathName(), dir.path() + "/x.mp3");
    EXPECT_EQ(info.FilePath(), dir.path() + "/");
}

TEST(CFileInfo, MissingFileLeavesFileExistsFalseAndKeepsOtherValues)
{
    QTemporaryDir dir;
    const QString path = makeFile(dir.filePath("gone.mp3"), 1536);
    CFileInfo info;
    info.SetFullPathName(path);
    ASSERT_TRUE(info.FileExists());
    QFile::remove(path);
    info.Refresh();
    EXPECT_FALSE(info.FileExists());
    EXPECT_FALSE(info.PathExists());
    EXPECT_EQ(info.FileName(), "gone.mp3");
    EXPECT_EQ(info.size(), 1536);

    CFileInfo never;
    never.SetFullPathName(dir.filePath("never.mp3"));
    EXPECT_FALSE(never.FileExists());
}

TEST(CFileInfo, EmptyPathChangesNothing)
{
    QTemporaryDir dir;
    const QString path = makeFile(dir.filePath("a.mp3"), 3);
    CFileInfo info;
    info.SetFullPathName(path);
    info.SetFullPathName("");
    EXPECT_EQ(info.FullPathName(), path);
    EXPECT_TRUE(info.FileExists());
}

TEST(CFileInfo, NameWithoutDotHasNoExtension)
{
    QTemporaryDir dir;
    CFileInfo info;
    info.SetFullPathName(makeFile(dir.filePath("README"), 4));
    EXPECT_EQ(info.FileExtension(), "");
    EXPECT_EQ(CFileInfo::FallbackTypeName(info.FileExtension()), "File");
    EXPECT_EQ(CFileInfo::FallbackTypeName("mp3"), "MP3 File");
}

TEST(CFileInfo, ExtensionIsTextAfterTheLastDot)
{
    QTemporaryDir dir;
    CFileInfo info;
    info.SetFullPathName(makeFile(dir.filePath("a.b.Mp3"), 4));
    EXPECT_EQ(info.FileExtension(), "Mp3");
    info.SetFullPathName(makeFile(dir.filePath("trailing."), 4));
    EXPECT_EQ(info.FileExtension(), "");
}

TEST(CFileInfo, AttributesFollowPermissionsNamesAndKind)
{
    QTemporaryDir dir;
    const QString ro = makeFile(dir.filePath("ro.mp3"), 4);
    QFile::setPermissions(ro, QFile::ReadOwner);
    CFileInfo info;
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
    EXPECT_TRUE(info.Attributes() & CFileInfo::AttrDirectory);
}

TEST(CFileInfo, MimeTypeNameForAnMp3)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("tune.mp3");
    Mp3Builder::writePlainMp3(path);
    CFileInfo info;
    info.SetFullPathName(path);
    EXPECT_TRUE(info.TypeName().contains("MP3", Qt::CaseInsensitive)) << info.TypeName().toStdString();
}

TEST(CFileInfo, SpellingOnDiscIsFoundWithoutRegardToCase)
{
    QTemporaryDir dir;
    QDir(dir.path()).mkdir("Album");
    makeFile(dir.filePath("Album/Song.MP3"), 4);
    EXPECT_EQ(CFileInfo::SpelledOnDisc(dir.path() + "/album/song.mp3"), dir.path() + "/Album/Song.MP3");
    EXPECT_EQ(CFileInfo::SpelledOnDisc(dir.path() + "/Album/Song.MP3"), dir.path() + "/Album/Song.MP3");
    // What cannot be found is kept as given.
    EXPECT_EQ(CFileInfo::SpelledOnDisc(dir.path() + "/nothing/here.mp3"), dir.path() + "/nothing/here.mp3");
    EXPECT_EQ(CFileInfo::SpelledOnDisc("/"), "/");
}

TEST(CFileInfo, ExactSpellingWinsOverACaseTwin)
{
    QTemporaryDir dir;
    makeFile(dir.filePath("song.mp3"), 1);
    makeFile(dir.filePath("SONG.mp3"), 2);
    EXPECT_EQ(CFileInfo::SpelledOnDisc(dir.path() + "/SONG.mp3"), dir.path() + "/SONG.mp3");
    CFileInfo info;
    info.SetFullPathName(dir.filePath("SONG.mp3"));
    EXPECT_EQ(info.size(), 2);
}

TEST(CFileInfo, FormatFileSizeAddsTheExactCountFrom1024On)
{
    EXPECT_EQ(CFileInfo::FormatFileSize(0), "0 bytes");
    EXPECT_EQ(CFileInfo::FormatFileSize(1023), "1,023 bytes");
    EXPECT_EQ(CFileInfo::FormatFileSize(1024), "1.00KB (1,024 bytes)");
    EXPECT_EQ(CFileInfo::FormatFileSize(1536), "1.50KB (1,536 bytes)");
    EXPECT_EQ(CFileInfo::FormatFileSize(10240), "10.0KB (10,240 bytes)");
    EXPECT_EQ(CFileInfo::FormatFileSize(524288), "512KB (524,288 bytes)");
    EXPECT_EQ(CFileInfo::FormatFileSize(1048576), "1.00MB (1,048,576 bytes)");
    EXPECT_EQ(CFileInfo::FormatFileSize(1073741824), "1.00GB (1,073,741,824 bytes)");
}

TEST(CFileInfo, FormatFileDateIsLongDateBlankLongTime)
{
    const QDateTime when(QDate(2024, 3, 5), QTime(14, 7, 9), Qt::LocalTime);
    const QString text = CFileInfo::FormatFileDate(when);
    const QLocale locale;
    EXPECT_EQ(text, locale.toString(when.date(), QLocale::LongFormat) + " "
                  + locale.toString(when.time(), QLocale::LongFormat));
    EXPECT_TRUE(text.startsWith("Tuesday, March 5, 2024 2:07:09")) << text.toStdString();
}

TEST(FileIcon, ExistingFileHasAnIconAndAMissingOneNone)
{
    QTemporaryDir dir;
    CFileInfo info;
    info.SetFullPathName(makeFile(dir.filePath("a.mp3"), 4));
    EXPECT_FALSE(FileIcon(info).isNull());
    CFileInfo missing;
    EXPECT_TRUE(FileIcon(missing).isNull());
}
