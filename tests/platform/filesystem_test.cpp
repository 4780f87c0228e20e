#include "platform/localfilesystem.h"

#include "support/mp3builder.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

namespace {

QString write(const QTemporaryDir& dir, const QString& name, const QByteArray& bytes)
{
    const QString path = dir.filePath(name);
    EXPECT_TRUE(Mp3Builder::writeFile(path, bytes));
    return path;
}

mode_t modeOf(const QString& path)
{
    struct stat st { };
    ::stat(QFile::encodeName(path).constData(), &st);
    return st.st_mode & 07777;
}

} // namespace

TEST(LocalFileSystemRename, RefusesExistingTargetAndLeavesBothFilesIntact)
{
    QTemporaryDir dir;
    const QString a = write(dir, "a.mp3", "first file");
    const QString b = write(dir, "b.mp3", "second file");
    LocalFileSystem fs;
    FileError err;
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

TEST(LocalFileSystemRename, SameNameAndCaseOnlyRenamesAreNoConflict)
{
    QTemporaryDir dir;
    const QString a = write(dir, "song.mp3", "data");
    LocalFileSystem fs;
    FileError err;
    EXPECT_TRUE(fs.rename(a, a, &err));
    EXPECT_TRUE(err.ok());
    EXPECT_TRUE(QFile::exists(a));

    const QString upper = dir.filePath("SONG.mp3");
    EXPECT_TRUE(fs.rename(a, upper, &err)) << err.description.toStdString();
    EXPECT_TRUE(QFile::exists(upper));
    EXPECT_EQ(Mp3Builder::readFile(upper), QByteArray("data"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList { "SONG.mp3" });
}

TEST(LocalFileSystemRename, MapsMissingSourceAndIllegalNames)
{
    QTemporaryDir dir;
    const QString a = write(dir, "a.mp3", "data");
    LocalFileSystem fs;
    FileError err;
    EXPECT_FALSE(fs.rename(dir.filePath("missing.mp3"), dir.filePath("x.mp3"), &err));
    EXPECT_EQ(err.number, 53);

    QDir(dir.path()).mkdir("sub");
    for (const QString& bad : { QStringLiteral("."), QStringLiteral("..") }) {
        EXPECT_FALSE(fs.rename(a, dir.path() + "/" + bad, &err));
        EXPECT_EQ(err.number, 53);
    }
    EXPECT_TRUE(QFile::exists(a));
    EXPECT_TRUE(isIllegalFileName("a/b.mp3"));
    EXPECT_TRUE(isIllegalFileName(""));
    EXPECT_FALSE(isIllegalFileName("a\\b.mp3"));
}

TEST(LocalFileSystemAttributes, ResetMakesReadOnlyFileWritableAndChangesNothingElse)
{
    QTemporaryDir dir;
    const QString a = write(dir, "a.mp3", "payload");
    ASSERT_EQ(::chmod(QFile::encodeName(a).constData(), 0444), 0);
    LocalFileSystem fs;
    FileAttributes attr;
    ASSERT_TRUE(fs.attributes(a, &attr));
    EXPECT_TRUE(attr.readOnly);
    EXPECT_FALSE(attr.hidden);
    EXPECT_FALSE(attr.system);

    ASSERT_TRUE(fs.resetAttributes(a));
    EXPECT_EQ(modeOf(a), mode_t(0644));
    ASSERT_TRUE(fs.attributes(a, &attr));
    EXPECT_FALSE(attr.readOnly);
    EXPECT_EQ(Mp3Builder::readFile(a), QByteArray("payload"));
    EXPECT_EQ(fs.length(a), 7);
}

TEST(LocalFileSystemAttributes, HiddenSystemAndMissingFiles)
{
    QTemporaryDir dir;
    const QString hidden = write(dir, ".hidden.mp3", "x");
    LocalFileSystem fs;
    FileAttributes attr;
    ASSERT_TRUE(fs.attributes(hidden, &attr));
    EXPECT_TRUE(attr.hidden);
    ASSERT_TRUE(fs.attributes(dir.path(), &attr));
    EXPECT_TRUE(attr.system);

    FileError err;
    EXPECT_EQ(fs.length(dir.filePath("none.mp3"), &err), -1);
    EXPECT_EQ(err.number, 53);
    EXPECT_FALSE(fs.resetAttributes(dir.filePath("none.mp3"), &err));
    EXPECT_EQ(err.number, 53);
}

TEST(LocalFileSystemBytes, ReadsTheEndOfAShortFileAndReplacesALongerEnd)
{
    QTemporaryDir dir;
    const QString a = write(dir, "a.mp3", "0123456789");
    LocalFileSystem fs;
    QByteArray bytes;
    ASSERT_TRUE(fs.readBytes(a, -128, 128, &bytes));
    EXPECT_EQ(bytes, QByteArray("0123456789"));
    ASSERT_TRUE(fs.replaceTail(a, 4, "ab"));
    EXPECT_EQ(Mp3Builder::readFile(a), QByteArray("0123ab"));
}

TEST(FileErrorFromErrno, MapsToTheNumbersMessagesSelectOn)
{
    EXPECT_EQ(fileErrorFromErrno(ENOENT).number, 53);
    EXPECT_EQ(fileErrorFromErrno(EEXIST).number, 58);
    EXPECT_EQ(fileErrorFromErrno(EACCES).number, 75);
    EXPECT_EQ(fileErrorFromErrno(EROFS).number, 75);
    EXPECT_EQ(fileErrorFromErrno(ENOSPC).number, 61);
    EXPECT_EQ(fileErrorFromErrno(EXDEV).number, 74);
    EXPECT_EQ(fileErrorFromErrno(ENAMETOOLONG).number, 52);
    EXPECT_EQ(fileErrorFromErrno(EIO).number, 51);
    EXPECT_TRUE(fileErrorFromErrno(0).ok());
}
