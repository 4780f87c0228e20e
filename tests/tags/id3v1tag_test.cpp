#include "tags/id3v1tag.h"

#include "support/tagfiles.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <functional>

using namespace Id3Builder;
namespace F = TagTestFiles;

namespace {

class Id3v1 : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QByteArray audio = F::audio(4);
};

TEST_F(Id3v1, ReadsTheV11AndV10Layouts)
{
    ID3V1Tag t;
    EXPECT_TRUE(
        t.readFromFile(F::write(dir, "a.mp3", audio + id3v1("Title  ", " Artist", "Album", "1999", "Comment", 5, 17))));
    EXPECT_TRUE(t.tagged());
    // Trailing blanks go, leading ones stay.
    EXPECT_EQ(QStringList({ t.title(), t.artist(), t.album(), t.year(), t.comment() }),
        QStringList({ "Title", " Artist", "Album", "1999", "Comment" }));
    EXPECT_EQ(t.track(), 5);
    EXPECT_EQ(t.genre(), 17);
    // A zero track byte means the v1.0 layout, whose comment has 30 characters.
    t.readFromFile(F::write(dir, "b.mp3", audio + id3v1("T", "A", "B", "2000", QString(28, 'c'), 0, 1)));
    EXPECT_EQ(t.track(), -1);
    EXPECT_EQ(t.comment(), QString(28, 'c'));
    t.readFromFile(F::write(dir, "c.mp3", audio + id3v1("T", "A", "B", "2000", QString(30, 'x'), -1, 1)));
    EXPECT_EQ(t.track(), -1);
    EXPECT_EQ(t.comment(), QString(30, 'x'));
}

TEST_F(Id3v1, AFileWithoutTrailerReadsAsTheEmptyRecordAndAnEmptyNameReadsNothing)
{
    ID3V1Tag t;
    t.setTitle("left over");
    EXPECT_FALSE(t.readFromFile(F::write(dir, "short.mp3", QByteArray("TAG", 3))));
    EXPECT_EQ(t.title(), "");
    EXPECT_EQ(t.track(), 0);
    EXPECT_FALSE(t.readFromFile(F::write(dir, "plain.mp3", audio)));
    EXPECT_FALSE(t.readFromFile(dir.filePath("missing.mp3")));
    EXPECT_FALSE(t.tagged());
    t.setTitle("kept");
    EXPECT_FALSE(t.readFromFile(""));
    EXPECT_EQ(t.title(), "kept");
    EXPECT_FALSE(t.writeToFile(""));
}

TEST_F(Id3v1, WritesTheStandardByteLayout)
{
    // An untouched record writes the v1.1 layout with track 0 and no genre (255).
    const QString path = F::write(dir, "w.mp3", audio);
    ASSERT_TRUE(ID3V1Tag().writeToFile(path));
    EXPECT_EQ(F::read(path), audio + id3v1("", "", "", "", "", 0, 255));
    // Long texts are cut, short ones padded with zero bytes, Latin-1 written as
    // Latin-1; track -1 is v1.0 with a 30-character comment, else 28.
    const struct {
        QByteArray start;
        QString title, artist, comment;
        int year, track, genre;
        QByteArray want; // the whole file after
    } cases[] = {
        { "abc", "T", "", "", 0, -1, 255, "abc" + id3v1("T", "", "", "", "", -1, 255) }, // appended to a short file
        { audio + id3v1("Old", "Old", "Old", "1900", "Old", 1, 1), "New", "", "", 1999, 7, 20,
            audio + id3v1("New", "", "", "1999", "", 7, 20) }, // replaced in place
        { audio, "", "", QString(40, 'k'), 0, 7, 255, audio + id3v1("", "", "", "", QString(28, 'k'), 7, 255) },
        { audio, "", "", QString(40, 'k'), 0, -1, 255, audio + id3v1("", "", "", "", QString(30, 'k'), -1, 255) },
        { audio, QString(45, 'T'), "Ab", "", 0, 0, 255, audio + id3v1(QString(30, 'T'), "Ab", "", "", "", 0, 255) },
        { audio, "", QString::fromUtf8("Björk"), "", 0, 0, 255,
            audio + id3v1("", QString::fromUtf8("Björk"), "", "", "", 0, 255) },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "row " << &c - cases);
        F::write(dir, "w.mp3", c.start);
        ID3V1Tag t;
        t.setTitle(c.title);
        t.setArtist(c.artist);
        t.setComment(c.comment);
        t.setTheYear(c.year);
        t.setTrack(c.track);
        EXPECT_TRUE(t.setGenre(c.genre));
        ASSERT_TRUE(t.writeToFile(path));
        EXPECT_EQ(F::read(path), c.want);
    }
}

TEST_F(Id3v1, AWriteThatCannotBeMadeSaysWhyAndLeavesTheFileAsItWas)
{
    const QString path = F::write(dir, "ro.mp3", audio);
    ASSERT_EQ(::chmod(QFile::encodeName(path).constData(), 0444), 0);
    const QString hidden = F::write(dir, ".hidden.mp3", audio);
    const QString big = F::write(dir, "t.mp3", audio);
    const struct {
        QString path;
        int track;
        FileError error;
    } refused[] = {
        { path, 0, fileErrorFromErrno(EACCES) }, // read-only: never made writable
        { big, 300, { ErrorNo::Overflow, "Overflow" } },
        { hidden, 0, { ErrorNo::NotFound, "A hidden file is never written" } },
        { dir.filePath("missing.mp3"), 0, fileErrorFromErrno(ENOENT) },
        { dir.path(), 0, fileErrorFromErrno(EISDIR) },
        { QString(), 0, fileErrorFromErrno(ENOENT) },
    };
    for (const auto& r : refused) {
        ID3V1Tag t;
        t.setTitle("x");
        t.setTrack(r.track);
        EXPECT_FALSE(t.writeToFile(r.path)) << r.path.toStdString();
        EXPECT_EQ(t.lastWriteError().number, r.error.number) << r.path.toStdString();
        EXPECT_EQ(t.lastWriteError().description, r.error.description) << r.path.toStdString();
    }
    EXPECT_EQ(F::mode(path), mode_t(0444));
    for (const QString& p : { path, hidden, big })
        EXPECT_EQ(F::read(p), audio) << p.toStdString();

    ASSERT_EQ(::chmod(QFile::encodeName(path).constData(), 0644), 0);
    ID3V1Tag t;
    t.setTitle("x");
    ASSERT_TRUE(t.writeToFile(path));
    EXPECT_TRUE(t.lastWriteError().ok());
    EXPECT_EQ(F::read(path), audio + id3v1("x", "", "", "", "", 0, 255));
}

TEST(GenreList, HasItsOwnNumberingAndByteRange)
{
    EXPECT_TRUE(genreListText().startsWith("Unknown|Blues|Classic Rock|"));
    EXPECT_TRUE(genreListText().endsWith("|Samba|Folklore"));
    ID3V1Tag t;
    EXPECT_TRUE(t.setGenre(255));
    EXPECT_FALSE(t.setGenre(256));
    EXPECT_FALSE(t.setGenre(-1));
    EXPECT_EQ(t.genre(), 255);
}

TEST(GenreList, LookupIgnoresCaseButNeedsTheWholeName)
{
    const std::pair<const char*, int> cases[] = { { "rock", 17 }, { "ROCK", 17 }, { "Rock", 17 }, { "Roc", 255 },
        { "Rock ", 255 }, { "", 255 }, { "folklore", 114 }, { "r&b", 14 } };
    for (const auto& [name, index] : cases)
        EXPECT_EQ(getGenreIndex(name), index) << name;
}

} // namespace
