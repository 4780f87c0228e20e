#include "platform/audiofiles.h"
#include "platform/localfilesystem.h"

#include "support/tagfiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

namespace {

class LocalFileSystemTest : public ::testing::Test {
protected:
    QString write(const QString& name, const QByteArray& bytes) { return TagTestFiles::write(dir, name, bytes); }

    QTemporaryDir dir;
    LocalFileSystem fs;
    FileError err;
};

} // namespace

TEST_F(LocalFileSystemTest, RenameRefusesExistingTargetAndLeavesBothFilesIntact)
{
    const QString a = write("a.mp3", "first file");
    const QString b = write("b.mp3", "second file");
    EXPECT_FALSE(fs.rename(a, b, &err));
    EXPECT_EQ(err.number, 58);
    EXPECT_FALSE(err.description.isEmpty());
    EXPECT_EQ(Mp3Builder::readFile(a), QByteArray("first file"));
    EXPECT_EQ(Mp3Builder::readFile(b), QByteArray("second file"));
    // A second hard link to the file is another entry, not the file itself.
    const QString link = dir.filePath("link.mp3");
    ASSERT_EQ(::link(QFile::encodeName(a).constData(), QFile::encodeName(link).constData()), 0);
    EXPECT_FALSE(fs.rename(a, link, &err));
    EXPECT_EQ(err.number, 58);
}

TEST_F(LocalFileSystemTest, StampDescribesALinkItselfAndCountsHardLinks)
{
    const QString a = write("a.mp3", "eleven byte");
    const QString link = dir.filePath("link.mp3");
    ASSERT_EQ(::symlink("a.mp3", QFile::encodeName(link).constData()), 0);
    FileStamp file, viaLink;
    ASSERT_TRUE(fs.stamp(a, &file, &err));
    ASSERT_TRUE(fs.stamp(link, &viaLink, &err));
    EXPECT_TRUE(file.regular && !file.symlink && file.size == 11 && file.links == 1);
    EXPECT_TRUE(viaLink.symlink && !viaLink.regular);
    EXPECT_FALSE(viaLink.sameState(file));
    EXPECT_FALSE(fs.stamp(dir.filePath("missing.mp3"), &file, &err));
    EXPECT_EQ(err.number, 53);
}

TEST_F(LocalFileSystemTest, RenameToTheSameNameOrOnlyAnotherCaseIsNoConflict)
{
    const QString a = write("song.mp3", "data");
    EXPECT_TRUE(fs.rename(a, a, &err));
    EXPECT_TRUE(err.ok());
    EXPECT_TRUE(QFile::exists(a));

    const QString upper = dir.filePath("SONG.mp3");
    EXPECT_TRUE(fs.rename(a, upper, &err)) << err.description.toStdString();
    EXPECT_EQ(Mp3Builder::readFile(upper), QByteArray("data"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList { "SONG.mp3" });
}

TEST_F(LocalFileSystemTest, RenameMapsMissingSourceAndIllegalNames)
{
    const QString a = write("a.mp3", "data");
    EXPECT_FALSE(fs.rename(dir.filePath("missing.mp3"), dir.filePath("x.mp3"), &err));
    EXPECT_EQ(err.number, 53);

    for (const QString& bad : { QStringLiteral("."), QStringLiteral("..") }) {
        EXPECT_FALSE(fs.rename(a, dir.path() + "/" + bad, &err));
        EXPECT_EQ(err.number, 53);
    }
    EXPECT_TRUE(QFile::exists(a));
    EXPECT_TRUE(isIllegalFileName("a/b.mp3"));
    EXPECT_TRUE(isIllegalFileName(""));
    EXPECT_FALSE(isIllegalFileName("a\\b.mp3"));
}

TEST_F(LocalFileSystemTest, ResetMakesReadOnlyFileWritableAndChangesNothingElse)
{
    const QString a = write("a.mp3", "payload");
    ASSERT_EQ(::chmod(QFile::encodeName(a).constData(), 0444), 0);
    FileAttributes attr;
    ASSERT_TRUE(fs.attributes(a, &attr));
    EXPECT_TRUE(attr.readOnly);
    EXPECT_FALSE(attr.hidden);
    EXPECT_FALSE(attr.system);

    ASSERT_TRUE(fs.resetAttributes(a));
    EXPECT_EQ(TagTestFiles::mode(a), mode_t(0644));
    ASSERT_TRUE(fs.attributes(a, &attr));
    EXPECT_FALSE(attr.readOnly);
    EXPECT_EQ(Mp3Builder::readFile(a), QByteArray("payload"));
    EXPECT_EQ(fs.length(a), 7);
}

TEST_F(LocalFileSystemTest, AttributesOfHiddenSystemAndMissingFiles)
{
    FileAttributes attr;
    ASSERT_TRUE(fs.attributes(write(".hidden.mp3", "x"), &attr));
    EXPECT_TRUE(attr.hidden);
    ASSERT_TRUE(fs.attributes(dir.path(), &attr));
    EXPECT_TRUE(attr.system);

    EXPECT_EQ(fs.length(dir.filePath("none.mp3"), &err), -1);
    EXPECT_EQ(err.number, 53);
    EXPECT_FALSE(fs.resetAttributes(dir.filePath("none.mp3"), &err));
    EXPECT_EQ(err.number, 53);
}

TEST_F(LocalFileSystemTest, ReadsTheEndOfAShortFileAndReplacesALongerEnd)
{
    const QString a = write("a.mp3", "0123456789");
    QByteArray bytes;
    ASSERT_TRUE(fs.readBytes(a, -128, 128, &bytes));
    EXPECT_EQ(bytes, QByteArray("0123456789"));
    ASSERT_TRUE(fs.replaceTail(a, 4, "ab"));
    EXPECT_EQ(Mp3Builder::readFile(a), QByteArray("0123ab"));
}

TEST(ListAudioFiles, EveryFormatOrMp3FilesAloneExtensionInAnyCaseSortedWithoutCaseHiddenLeftOut)
{
    QTemporaryDir dir;
    for (const char* name : { "c.Mp3", "a.mp3", "B.FLAC", "d.opus", "E.M4A", "f.ogg", "g.oga", "h.m4b", "i.mp4",
             "notes.txt", "mp3", "flac", "song.wav", ".hidden.mp3", ".hidden.flac" })
        ASSERT_TRUE(Mp3Builder::writeFile(dir.filePath(QLatin1String(name)), {}));
    QDir(dir.path()).mkdir(QStringLiteral("folder.mp3"));
    QDir(dir.path()).mkdir(QStringLiteral("folder.flac"));
    const struct {
        ListedFormats formats;
        QStringList expected;
    } cases[] = {
        { ListedFormats::All, { "a.mp3", "B.FLAC", "c.Mp3", "d.opus", "E.M4A", "f.ogg", "g.oga", "h.m4b", "i.mp4" } },
        { ListedFormats::Mp3Only, { "a.mp3", "c.Mp3" } },
    };
    for (const auto& c : cases) {
        EXPECT_EQ(listAudioFiles(dir.path(), c.formats), c.expected);
        EXPECT_TRUE(listAudioFiles(dir.filePath(QStringLiteral("missing")), c.formats).isEmpty());
        EXPECT_TRUE(listAudioFiles(QString(), c.formats).isEmpty());
    }
    EXPECT_EQ(listAudioFiles(dir.path()), cases[0].expected);
}

TEST(FileErrorFromErrno, MapsToTheNumbersMessagesSelectOn)
{
    const std::pair<int, int> cases[] = { { ENOENT, 53 }, { EEXIST, 58 }, { EACCES, 75 }, { EROFS, 75 }, { ENOSPC, 61 },
        { EXDEV, 74 }, { ENAMETOOLONG, 52 }, { EIO, 51 }, { 0, 0 } };
    for (const auto& [code, number] : cases)
        EXPECT_EQ(fileErrorFromErrno(code).number, number) << code;
}
