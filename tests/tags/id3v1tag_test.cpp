#include "tags/id3v1tag.h"

#include "platform/fakes/scriptedprompter.h"
#include "support/tagfiles.h"

#include <gtest/gtest.h>

#include <functional>

using namespace Id3Builder;
namespace F = TagTestFiles;

namespace {

class Id3v1 : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QByteArray audio = F::audio(4);
    ScriptedPrompter prompter;
};

TEST_F(Id3v1, ReadsTheV11AndV10Layouts)
{
    ID3V1Tag t;
    EXPECT_TRUE(
        t.ReadFromFile(F::write(dir, "a.mp3", audio + id3v1("Title  ", " Artist", "Album", "1999", "Comment", 5, 17))));
    EXPECT_TRUE(t.Tagged());
    // Trailing blanks go, leading ones stay.
    EXPECT_EQ(QStringList({ t.Title(), t.Artist(), t.Album(), t.Year(), t.Comment() }),
        QStringList({ "Title", " Artist", "Album", "1999", "Comment" }));
    EXPECT_EQ(t.Track(), 5);
    EXPECT_EQ(t.Genre(), 17);
    // A zero track byte means the v1.0 layout, whose comment has 30 characters.
    t.ReadFromFile(F::write(dir, "b.mp3", audio + id3v1("T", "A", "B", "2000", QString(28, 'c'), 0, 1)));
    EXPECT_EQ(t.Track(), -1);
    EXPECT_EQ(t.Comment(), QString(28, 'c'));
    t.ReadFromFile(F::write(dir, "c.mp3", audio + id3v1("T", "A", "B", "2000", QString(30, 'x'), -1, 1)));
    EXPECT_EQ(t.Track(), -1);
    EXPECT_EQ(t.Comment(), QString(30, 'x'));
}

TEST_F(Id3v1, AFileWithoutTrailerReadsAsTheEmptyRecordAndAnEmptyNameReadsNothing)
{
    ID3V1Tag t;
    t.SetTitle("left over");
    EXPECT_FALSE(t.ReadFromFile(F::write(dir, "short.mp3", QByteArray("TAG", 3))));
    EXPECT_EQ(t.Title(), "");
    EXPECT_EQ(t.Track(), 0);
    EXPECT_FALSE(t.ReadFromFile(F::write(dir, "plain.mp3", audio)));
    EXPECT_FALSE(t.ReadFromFile(dir.filePath("missing.mp3")));
    EXPECT_FALSE(t.Tagged());
    t.SetTitle("kept");
    EXPECT_FALSE(t.ReadFromFile(""));
    EXPECT_EQ(t.Title(), "kept");
    EXPECT_FALSE(t.WriteToFile(""));
}

TEST_F(Id3v1, WritesTheStandardByteLayout)
{
    // An untouched record writes the v1.1 layout with track 0 and no genre (255).
    const QString path = F::write(dir, "w.mp3", audio);
    ASSERT_TRUE(ID3V1Tag().WriteToFile(path));
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
        t.SetTitle(c.title);
        t.SetArtist(c.artist);
        t.SetComment(c.comment);
        t.SetTheYear(c.year);
        t.SetTrack(c.track);
        EXPECT_TRUE(t.SetGenre(c.genre));
        ASSERT_TRUE(t.WriteToFile(path));
        EXPECT_EQ(F::read(path), c.want);
    }
}

TEST_F(Id3v1, AFileOfExactly128BytesThatIsATrailerGetsASecondOne)
{
    const QByteArray only = id3v1("A", "B", "C", "2000", "", 1, 1);
    const QString path = F::write(dir, "128.mp3", only);
    ID3V1Tag t;
    EXPECT_TRUE(t.ReadFromFile(path));
    ASSERT_TRUE(t.WriteToFile(path));
    EXPECT_EQ(F::read(path), only + only);
}

TEST_F(Id3v1, ATrackOutsideAByteFailsTheWriteWithTheFileErrorMessage)
{
    const QString path = F::write(dir, "t.mp3", audio);
    ID3V1Tag t(&prompter);
    t.SetTrack(300);
    EXPECT_FALSE(t.WriteToFile(path));
    EXPECT_EQ(F::read(path), audio);
    ASSERT_EQ(prompter.calls.size(), 1);
    EXPECT_EQ(prompter.calls.at(0).icon, MsgIcon::Critical);
    EXPECT_EQ(prompter.calls.at(0).text,
        "File Error On File \r\n" + path
            + "\r\n\r\nError: Overflow (6)\r\n\r\nMake Sure The File Is Not Being Used By Another Program.");
}

TEST_F(Id3v1, AReadOnlyFileIsMadeWritableButHiddenOrMissingFilesAreNotWritten)
{
    const QString path = F::write(dir, "ro.mp3", audio);
    ASSERT_EQ(::chmod(QFile::encodeName(path).constData(), 0444), 0);
    ID3V1Tag t(&prompter);
    t.SetTitle("x");
    ASSERT_TRUE(t.WriteToFile(path));
    EXPECT_EQ(F::mode(path) & 0200, mode_t(0200));
    EXPECT_EQ(F::read(path), audio + id3v1("x", "", "", "", "", 0, 255));
    const QString hidden = F::write(dir, ".hidden.mp3", audio);
    EXPECT_FALSE(t.WriteToFile(hidden));
    EXPECT_FALSE(t.WriteToFile(dir.filePath("missing.mp3")));
    EXPECT_FALSE(t.WriteToFile(dir.path()));
    EXPECT_EQ(F::read(hidden), audio);
    EXPECT_TRUE(prompter.calls.isEmpty());
}

TEST(GenreList, HasItsOwnNumberingAndByteRange)
{
    EXPECT_EQ(GenreNames().size(), 115);
    EXPECT_EQ(QStringList({ GenreName(0), GenreName(17), GenreName(84), GenreName(114), GenreName(115) }),
        QStringList({ "Blues", "Rock", "Bebob", "Folklore", "" }));
    EXPECT_TRUE(GenreListText().startsWith("Unknown|Blues|Classic Rock|"));
    EXPECT_TRUE(GenreListText().endsWith("|Samba|Folklore"));
    ID3V1Tag t;
    EXPECT_TRUE(t.SetGenre(255));
    EXPECT_FALSE(t.SetGenre(256));
    EXPECT_FALSE(t.SetGenre(-1));
    EXPECT_EQ(t.Genre(), 255);
}

TEST(GenreList, LookupIgnoresCaseButNeedsTheWholeName)
{
    const std::pair<const char*, int> cases[] = { { "rock", 17 }, { "ROCK", 17 }, { "Rock", 17 }, { "Roc", 255 },
        { "Rock ", 255 }, { "", 255 }, { "folklore", 114 }, { "r&b", 14 } };
    for (const auto& [name, index] : cases)
        EXPECT_EQ(GetGenreIndex(name), index) << name;
}

} // namespace
