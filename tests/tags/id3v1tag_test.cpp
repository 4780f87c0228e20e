#include "tags/id3v1tag.h"

#include "platform/fakes/scriptedprompter.h"
#include "tagtestfiles.h"

#include <gtest/gtest.h>

using namespace Id3Builder;
namespace F = TagTestFiles;

namespace {

class Id3v1 : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QByteArray audio = F::audio(4);
    ScriptedPrompter prompter;
};

TEST_F(Id3v1, ReadsTheV11LayoutWithItsTrackNumber)
{
    const QString path = F::write(dir, "a.mp3", audio + id3v1("Title  ", " Artist", "Album", "1999", "Comment", 5, 17));
    ID3V1Tag t;
    EXPECT_TRUE(t.ReadFromFile(path));
    EXPECT_TRUE(t.Tagged());
    EXPECT_EQ(t.Title(), "Title"); // trailing blanks go
    EXPECT_EQ(t.Artist(), " Artist"); // leading blanks stay
    EXPECT_EQ(t.Album(), "Album");
    EXPECT_EQ(t.Year(), "1999");
    EXPECT_EQ(t.Comment(), "Comment");
    EXPECT_EQ(t.Track(), 5);
    EXPECT_EQ(t.Genre(), 17);
}

TEST_F(Id3v1, AZeroTrackByteMeansTheV10Layout)
{
    QByteArray trailer = id3v1("T", "A", "B", "2000", QString(28, 'c'), 0, 1);
    const QString path = F::write(dir, "a.mp3", audio + trailer);
    ID3V1Tag t;
    t.ReadFromFile(path);
    EXPECT_EQ(t.Track(), -1);
    EXPECT_EQ(t.Comment(), QString(28, 'c'));
}

TEST_F(Id3v1, AV10CommentReadsThirtyCharacters)
{
    const QString path = F::write(dir, "a.mp3", audio + id3v1("T", "A", "B", "2000", QString(30, 'x'), -1, 1));
    ID3V1Tag t;
    t.ReadFromFile(path);
    EXPECT_EQ(t.Track(), -1);
    EXPECT_EQ(t.Comment(), QString(30, 'x'));
}

TEST_F(Id3v1, AFileWithoutTrailerOrTooShortReadsAsTheEmptyRecord)
{
    ID3V1Tag t;
    t.SetTitle("left over");
    EXPECT_FALSE(t.ReadFromFile(F::write(dir, "short.mp3", QByteArray("TAG", 3))));
    EXPECT_EQ(t.Title(), "");
    EXPECT_EQ(t.Track(), 0);
    EXPECT_FALSE(t.ReadFromFile(F::write(dir, "plain.mp3", audio)));
    EXPECT_FALSE(t.ReadFromFile(dir.filePath("missing.mp3")));
    EXPECT_FALSE(t.Tagged());
}

TEST_F(Id3v1, AnEmptyNameReadsNothingAndKeepsTheRecord)
{
    ID3V1Tag t;
    t.SetTitle("kept");
    EXPECT_FALSE(t.ReadFromFile(""));
    EXPECT_EQ(t.Title(), "kept");
    EXPECT_FALSE(t.WriteToFile(""));
}

TEST_F(Id3v1, AShortFileGetsAFullTrailerAppended)
{
    const QString path = F::write(dir, "s.mp3", QByteArray("abc"));
    ID3V1Tag t;
    t.SetTitle("T");
    t.SetTrack(-1);
    ASSERT_TRUE(t.WriteToFile(path));
    EXPECT_EQ(F::read(path), QByteArray("abc") + id3v1("T", "", "", "", "", -1, 0));
}

TEST_F(Id3v1, ReadingNothingAndWritingBackAppendsAnEmptyV11Trailer)
{
    const QString path = F::write(dir, "p.mp3", audio);
    ID3V1Tag t;
    t.ReadFromFile(path);
    ASSERT_TRUE(t.WriteToFile(path));
    const QByteArray bytes = F::read(path);
    EXPECT_EQ(bytes, audio + id3v1("", "", "", "", "", 0, 0));
    EXPECT_EQ(bytes.at(bytes.size() - 3), '\0');
    EXPECT_EQ(bytes.at(bytes.size() - 2), '\0');
}

TEST_F(Id3v1, AnExistingTrailerIsReplacedInPlace)
{
    const QString path = F::write(dir, "r.mp3", audio + id3v1("Old", "Old", "Old", "1900", "Old", 1, 1));
    ID3V1Tag t;
    t.SetTitle("New");
    t.SetTrack(7);
    t.SetGenre(20);
    ASSERT_TRUE(t.WriteToFile(path));
    EXPECT_EQ(F::read(path), audio + id3v1("New", "", "", "", "", 7, 20));
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

TEST_F(Id3v1, TrackSevenWritesTheV11LayoutWithA28CharacterComment)
{
    const QString path = F::write(dir, "t.mp3", audio);
    ID3V1Tag t;
    t.SetComment(QString(40, 'k'));
    t.SetTrack(7);
    ASSERT_TRUE(t.WriteToFile(path));
    const QByteArray trailer = F::read(path).right(128);
    EXPECT_EQ(trailer.mid(97, 28), QByteArray(28, 'k'));
    EXPECT_EQ(trailer.at(125), '\0');
    EXPECT_EQ(trailer.at(126), '\x07');
}

TEST_F(Id3v1, TrackMinusOneWritesTheV10LayoutWithA30CharacterComment)
{
    const QString path = F::write(dir, "t.mp3", audio);
    ID3V1Tag t;
    t.SetComment(QString(40, 'k'));
    t.SetTrack(-1);
    ASSERT_TRUE(t.WriteToFile(path));
    EXPECT_EQ(F::read(path).right(128).mid(97, 30), QByteArray(30, 'k'));
}

TEST_F(Id3v1, LongTextsAreCutAndShortOnesPaddedWithZeroBytes)
{
    const QString path = F::write(dir, "t.mp3", audio);
    ID3V1Tag t;
    t.SetTitle(QString(45, 'T'));
    t.SetArtist("Ab");
    ASSERT_TRUE(t.WriteToFile(path));
    const QByteArray trailer = F::read(path).right(128);
    EXPECT_EQ(trailer.mid(3, 30), QByteArray(30, 'T'));
    EXPECT_EQ(trailer.mid(33, 30), QByteArray("Ab") + QByteArray(28, '\0'));
}

TEST_F(Id3v1, YearZeroIsTheDigitZeroAndThreeZeroBytes)
{
    const QString path = F::write(dir, "t.mp3", audio);
    ID3V1Tag t;
    t.SetTheYear(0);
    ASSERT_TRUE(t.WriteToFile(path));
    EXPECT_EQ(F::read(path).right(128).mid(93, 4), QByteArray("0\0\0\0", 4));
    t.SetTheYear(2024);
    EXPECT_EQ(t.Year(), "2024");
}

TEST_F(Id3v1, Latin1TextIsWrittenAsLatin1)
{
    const QString path = F::write(dir, "t.mp3", audio);
    ID3V1Tag t;
    t.SetArtist(QString::fromUtf8("Björk"));
    ASSERT_TRUE(t.WriteToFile(path));
    ID3V1Tag back;
    back.ReadFromFile(path);
    EXPECT_EQ(back.Artist(), QString::fromUtf8("Björk"));
}

TEST_F(Id3v1, AGenreOutsideAByteIsAnOverflow)
{
    ID3V1Tag t;
    EXPECT_TRUE(t.SetGenre(255));
    EXPECT_FALSE(t.SetGenre(256));
    EXPECT_FALSE(t.SetGenre(-1));
    EXPECT_EQ(t.Genre(), 255);
}

TEST_F(Id3v1, ATrackOutsideAByteFailsTheWriteWithTheFileErrorMessage)
{
    const QString path = F::write(dir, "t.mp3", audio);
    ID3V1Tag t(&prompter);
    t.SetTrack(300);
    EXPECT_FALSE(t.WriteToFile(path));
    EXPECT_EQ(F::read(path), audio);
    ASSERT_EQ(prompter.calls.size(), 1);
    EXPECT_EQ(prompter.calls.at(0).title, "Velmora");
    EXPECT_EQ(prompter.calls.at(0).icon, MsgIcon::Critical);
    EXPECT_EQ(prompter.calls.at(0).text,
        "File Error On File \r\n" + path
            + "\r\n\r\nError: Overflow (6)\r\n\r\nMake Sure The File Is Not Being Used By Another Program.");
}

TEST_F(Id3v1, WritingToAReadOnlyFileMakesItWritable)
{
    const QString path = F::write(dir, "ro.mp3", audio);
    ASSERT_EQ(::chmod(QFile::encodeName(path).constData(), 0444), 0);
    ID3V1Tag t;
    t.SetTitle("x");
    ASSERT_TRUE(t.WriteToFile(path));
    EXPECT_EQ(F::mode(path) & 0200, mode_t(0200));
    EXPECT_EQ(F::read(path).right(128).mid(3, 1), QByteArray("x"));
}

TEST_F(Id3v1, AHiddenOrMissingFileIsNotWritten)
{
    const QString hidden = F::write(dir, ".hidden.mp3", audio);
    ID3V1Tag t(&prompter);
    EXPECT_FALSE(t.WriteToFile(hidden));
    EXPECT_FALSE(t.WriteToFile(dir.filePath("missing.mp3")));
    EXPECT_FALSE(t.WriteToFile(dir.path()));
    EXPECT_EQ(F::read(hidden), audio);
    EXPECT_TRUE(prompter.calls.isEmpty());
}

TEST_F(Id3v1, ASecondWriteRepeatsTheSameTrailer)
{
    const QString a = F::write(dir, "a.mp3", audio);
    const QString b = F::write(dir, "b.mp3", audio);
    ID3V1Tag t;
    t.SetArtist("Same");
    t.SetTrack(2);
    ASSERT_TRUE(t.WriteToFile(a));
    ASSERT_TRUE(t.WriteToFile(b));
    EXPECT_EQ(F::read(a), F::read(b));
}

TEST(GenreList, HasItsOwnNumbering)
{
    EXPECT_EQ(GenreNames().size(), 115);
    EXPECT_EQ(GenreName(0), "Blues");
    EXPECT_EQ(GenreName(17), "Rock");
    EXPECT_EQ(GenreName(84), "Bebob");
    EXPECT_EQ(GenreName(114), "Folklore");
    EXPECT_EQ(GenreName(115), "");
    EXPECT_TRUE(GenreListText().startsWith("Unknown|Blues|Classic Rock|"));
    EXPECT_TRUE(GenreListText().endsWith("|Samba|Folklore"));
}

TEST(GenreList, LookupIgnoresCaseButNeedsTheWholeName)
{
    EXPECT_EQ(GetGenreIndex("rock"), 17);
    EXPECT_EQ(GetGenreIndex("ROCK"), 17);
    EXPECT_EQ(GetGenreIndex("Rock"), 17);
    EXPECT_EQ(GetGenreIndex("Roc"), 255);
    EXPECT_EQ(GetGenreIndex("Rock "), 255);
    EXPECT_EQ(GetGenreIndex(""), 255);
    EXPECT_EQ(GetGenreIndex("folklore"), 114);
    EXPECT_EQ(GetGenreIndex("r&b"), 14);
}

} // namespace
