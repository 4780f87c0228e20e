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

    // The whole file after writing the tag that set makes over `start`.
    QByteArray written(const std::function<void(ID3V1Tag&)>& set, const QByteArray& start = QByteArray())
    {
        const QString path = F::write(dir, "w.mp3", start.isNull() ? audio : start);
        ID3V1Tag t;
        set(t);
        EXPECT_TRUE(t.WriteToFile(path));
        const QByteArray bytes = F::read(path);
        if (start.isNull()) {
            EXPECT_EQ(bytes.size(), audio.size() + 128);
            EXPECT_EQ(bytes.left(audio.size()), audio); // the audio before the trailer is untouched
        }
        return bytes;
    }
};

TEST_F(Id3v1, ReadsTheV11AndV10Layouts)
{
    ID3V1Tag t;
    EXPECT_TRUE(
        t.ReadFromFile(F::write(dir, "a.mp3", audio + id3v1("Title  ", " Artist", "Album", "1999", "Comment", 5, 17))));
    EXPECT_TRUE(t.Tagged());
    EXPECT_EQ(t.Title(), "Title"); // trailing blanks go
    EXPECT_EQ(t.Artist(), " Artist"); // leading blanks stay
    EXPECT_EQ(t.Album(), "Album");
    EXPECT_EQ(t.Year(), "1999");
    EXPECT_EQ(t.Comment(), "Comment");
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
    // Short files and files without a trailer get one appended; an empty
    // record writes the v1.1 layout with track 0.
    EXPECT_EQ(written(
                  [](ID3V1Tag& t) {
                      t.SetTitle("T");
                      t.SetTrack(-1);
                  },
                  "abc"),
        QByteArray("abc") + id3v1("T", "", "", "", "", -1, 255));
    EXPECT_EQ(written([](ID3V1Tag&) {}), audio + id3v1("", "", "", "", "", 0, 255));
    // An existing trailer is replaced in place.
    EXPECT_EQ(written(
                  [](ID3V1Tag& t) {
                      t.SetTitle("New");
                      t.SetTrack(7);
                      t.SetGenre(20);
                  },
                  audio + id3v1("Old", "Old", "Old", "1900", "Old", 1, 1)),
        audio + id3v1("New", "", "", "", "", 7, 20));
    // Track 7: v1.1 with a 28-character comment; track -1: v1.0 with 30.
    QByteArray trailer = written([](ID3V1Tag& t) {
        t.SetComment(QString(40, 'k'));
        t.SetTrack(7);
    }).right(128);
    EXPECT_EQ(trailer.mid(97, 30), QByteArray(28, 'k') + QByteArray("\0\x07", 2));
    trailer = written([](ID3V1Tag& t) {
        t.SetComment(QString(40, 'k'));
        t.SetTrack(-1);
    }).right(128);
    EXPECT_EQ(trailer.mid(97, 30), QByteArray(30, 'k'));
    // Long texts are cut, short ones padded with zero bytes.
    trailer = written([](ID3V1Tag& t) {
        t.SetTitle(QString(45, 'T'));
        t.SetArtist("Ab");
    }).right(128);
    EXPECT_EQ(trailer.mid(3, 30), QByteArray(30, 'T'));
    EXPECT_EQ(trailer.mid(33, 30), QByteArray("Ab") + QByteArray(28, '\0'));
    // No year (0) stays blank; no genre is 255.
    trailer = written([](ID3V1Tag& t) { t.SetTheYear(0); }).right(128);
    EXPECT_EQ(trailer.mid(93, 4), QByteArray(4, '\0'));
    EXPECT_EQ(uchar(trailer.at(127)), 255);
    // Latin-1 text is written as Latin-1.
    trailer = written([](ID3V1Tag& t) { t.SetArtist(QString::fromUtf8("Björk")); }).right(128);
    EXPECT_EQ(trailer.mid(33, 6), QByteArray("Bj\xF6rk\0", 6));
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
    EXPECT_EQ(prompter.calls.at(0).title, "Velmora");
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
    EXPECT_EQ(GenreName(0), "Blues");
    EXPECT_EQ(GenreName(17), "Rock");
    EXPECT_EQ(GenreName(84), "Bebob");
    EXPECT_EQ(GenreName(114), "Folklore");
    EXPECT_EQ(GenreName(115), "");
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
