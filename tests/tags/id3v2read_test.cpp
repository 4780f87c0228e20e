#include "tags/id3v2tag.h"

#include "support/tagfiles.h"

#include <gtest/gtest.h>

using namespace Id3Builder;
namespace F = TagTestFiles;

namespace {

QByteArray fullV23Tag()
{
    return tag(3,
        { frame(3, "TPE1", textBody("The Artist")), frame(3, "TALB", textBody("The Album")),
            frame(3, "TIT2", textBody("The Title")), frame(3, "TRCK", textBody("5/12")),
            frame(3, "TYER", textBody("1999")), frame(3, "TCON", textBody("(17)")),
            frame(3, "COMM", commentBody("eng", "", "A comment")),
            frame(3, "COMM", commentBody("eng", "MusicMatch_Mood", "Calm")),
            frame(3, "COMM", commentBody("eng", "MusicMatch_Tempo", "Fast")),
            frame(3, "COMM", commentBody("eng", "MusicMatch_Situation", "Party")),
            frame(3, "COMM", commentBody("eng", "MusicMatch_Preference", "Good")),
            frame(3, "COMM", commentBody("deu", "Other", "Kept")), frame(3, "UFID", ufidBody("", "a b c ")),
            frame(3, "TXXX", userTextBody("", "user text")), frame(3, "WXXX", userUrlBody("", "http://user.example")),
            frame(3, "WOAR", urlBody("http://artist.example")), frame(3, "TCOM", textBody("Composer \"X\"")),
            frame(3, "TOPE", textBody("Orig")), frame(3, "TENC", textBody("Encoder")),
            frame(3, "USLT", commentBody("eng", "", "line one\nline two")),
            frame(3, "PCNT", QByteArray("\x00\x00\x01\x02", 4)) },
        64);
}

// The twenty fields as text, in index order.
QStringList fieldTexts(const ID3V2Tag& t, int count = kFieldCount)
{
    QStringList out;
    for (int i = 0; i < count; ++i)
        out << t.fieldText(fieldInfo(i).id);
    return out;
}

class Id3v2Read : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QByteArray audio = F::audio();
};

TEST_F(Id3v2Read, ReadsEveryFieldOfALatin1V23TagInFrameOrder)
{
    const QString path = F::write(dir, "full.mp3", fullV23Tag() + audio);
    ID3V2Tag t;
    t.setFileName(path);
    EXPECT_EQ(t.fileName(), path);
    EXPECT_EQ(t.tagVersion(), 3);
    // The composer keeps its quotes.
    EXPECT_EQ(fieldTexts(t),
        QStringList({ "The Artist", "The Album", "The Title", "5", "12", "1999", "Rock", "A comment", "abc",
            "user text", "http://user.example", "http://artist.example", "Composer \"X\"", "Orig", "Encoder", "False",
            "Calm", "Good", "Party", "Fast" }));
    EXPECT_EQ(t.lyricsUnsynced(), "line one\nline two");
    EXPECT_EQ(t.getFrameValue("COMM", "Other").toString(), "Kept");
    EXPECT_EQ(t.getFrameValue("PCNT", "").toInt(), 258); // the play counter as a number
    EXPECT_EQ(t.frameCount(), 21);
    EXPECT_EQ(t.framesSize(), fullV23Tag().size());
    EXPECT_TRUE(F::audioIntact(path, audio));
    // Items follow the tag's frame order with their descriptions and languages.
    ASSERT_EQ(t.frames().size(), 21);
    const FrameItem &first = t.frames().at(0), &mood = t.frames().at(7);
    EXPECT_TRUE(first.frameId == "TPE1" && first.position == 1 && !first.added);
    EXPECT_TRUE(mood.frameId == "COMM" && mood.description == "MusicMatch_Mood" && mood.language == "eng");
    EXPECT_EQ(t.frames().at(11).language, "deu");
}

TEST_F(Id3v2Read, ReadsUtf16TextNextToATrailerAndKeepsWhatOnlyTheTrailerHolds)
{
    const QString title = QString::fromUtf8("Ünïcødé 日本");
    const QByteArray v2 = tag(
        3, { frame(3, "TIT2", textBody(title, Enc::Utf16)), frame(3, "TPE1", textBody("Latin", Enc::Latin1)) }, 32);
    // The trailer adds a track, a year and a genre: it stays until a save
    // has put them into the tag.
    const QByteArray adds = id3v1("V1 Title", "", "", "1999", "", 2, 17);
    QString path = F::write(dir, "utf16.mp3", v2 + audio + adds);
    ID3V2Tag t;
    t.setFileName(path);
    const QStringList fields = { "Latin", "", title, "2", "0", "1999", "Rock" };
    EXPECT_EQ(fieldTexts(t, 7), fields);
    EXPECT_EQ(F::read(path), v2 + audio + adds);
    ASSERT_TRUE(t.update());
    ID3V2Tag back;
    back.setFileName(path);
    EXPECT_EQ(fieldTexts(back, 7), fields);
    // A trailer that adds nothing goes at the load.
    path = F::write(dir, "redundant.mp3", v2 + audio + id3v1("V1 Title", "", "", "", "", -1, 255));
    t.setFileName(path);
    EXPECT_EQ(F::read(path), v2 + audio);
    EXPECT_FALSE(t.hasTagType(TagKind::ID3v1));
}

TEST_F(Id3v2Read, ReadsV24AndV22Tags)
{
    const QString title = QString::fromUtf8("Homogénic ✓");
    const QString artist = QString::fromUtf8("Björk");
    ID3V2Tag t;
    t.setFileName(F::write(dir, "v24.mp3",
        tag(4,
            { frame(4, "TIT2", textBody(title, Enc::Utf8)), frame(4, "TPE1", textBody(artist, Enc::Utf16BE)),
                frame(4, "TDRC", textBody("1997-09-22", Enc::Utf8)) })
            + audio));
    EXPECT_EQ(t.tagVersion(), 4);
    EXPECT_EQ(fieldTexts(t, 7), QStringList({ artist, "", title, "0", "0", "1997", "" }));
    t.setFileName(F::write(dir, "v22.mp3",
        tag(2,
            { frame(2, "TT2", textBody("Old Title")), frame(2, "TP1", textBody("Old Artist")),
                frame(2, "TAL", textBody("Old Album")), frame(2, "TYE", textBody("1988")),
                frame(2, "TCO", textBody("(13)")), frame(2, "TRK", textBody("3/9")) })
            + audio));
    EXPECT_EQ(t.tagVersion(), 2);
    EXPECT_EQ(fieldTexts(t, 7), QStringList({ "Old Artist", "Old Album", "Old Title", "3", "9", "1988", "Pop" }));
}

TEST_F(Id3v2Read, EveryFrameIsFoundByItsIdInTheFourCharacterForm)
{
    const struct {
        const char* name;
        int version;
        const char* storedId;
        QByteArray body;
        const char* itemId; // "" : the content cannot be read
        const char* value;
    } cases[] = {
        { "2.2 name with a 2.3 ID", 2, "TT2", textBody("Old"), "TIT2", "Old" },
        { "2.2 name without one keeps its own", 2, "TPA", textBody("1/2"), "TPA", "1/2" },
        { "2.3 recording date counts as the year", 3, "TDRC", textBody("2001"), "TYER", "2001" },
        { "2.4 recording date counts as the year", 4, "TDRC", textBody("2002-05", Enc::Utf8), "TYER", "2002-05" },
        { "2.4-only frame keeps its own", 4, "TSOP", textBody("Sort", Enc::Utf8), "TSOP", "Sort" },
        { "private frame keeps its own", 3, "XVEL", textBody("own"), "XVEL", "" },
        { "unreadable text has no ID", 3, "TIT3", QByteArray(1, '\x07') + "abc", "", "" },
    };
    for (const auto& c : cases) {
        ID3V2Tag t;
        t.setFileName(F::write(dir, QString::fromLatin1(c.name) + ".mp3",
            tag(c.version,
                { frame(c.version, c.storedId, c.body),
                    frame(c.version, c.version == 2 ? "TP1" : "TPE1", textBody("a")) })
                + audio));
        ASSERT_EQ(t.frames().size(), 2) << c.name;
        EXPECT_EQ(t.frames().at(0).frameId, c.itemId) << c.name;
        EXPECT_EQ(t.frames().at(1).frameId, "TPE1") << c.name;
        if (*c.itemId) {
            EXPECT_EQ(t.getFrameValue(c.itemId, "").toString(), c.value) << c.name;
        }
        // The stored identifier itself finds nothing unless it is the item's ID.
        if (QByteArray(c.storedId) != c.itemId) {
            EXPECT_FALSE(t.getFrameValue(c.storedId, "").isValid()) << c.name;
        }
    }
}

TEST_F(Id3v2Read, GenreFollowsTheParenthesisedNumberRuleAndTrckSplitsAtTheSlash)
{
    const struct {
        const char* id;
        const char* stored;
        const char* read; // the genre, or "track/total"
    } cases[] = { { "TCON", "(17)", "Rock" }, { "TCON", "(114)", "Folklore" }, { "TCON", "(84)", "Bebob" },
        { "TCON", "(0)", "Blues" }, { "TCON", "(115)", "(115)" }, { "TCON", "(200)", "(200)" },
        { "TCON", "(17)Rock", "(17)Rock" }, { "TCON", "Rock", "Rock" }, { "TCON", "(RX)", "Blues" },
        { "TCON", "Trip-Hop", "Trip-Hop" }, { "TRCK", "5/12", "5/12" }, { "TRCK", "5", "5/0" },
        { "TRCK", "/12", "0/12" }, { "TRCK", "07/09", "7/9" }, { "TRCK", "A1", "0/0" } };
    for (const auto& c : cases) {
        ID3V2Tag t;
        t.setFileName(F::write(dir, "f.mp3", tag(3, { frame(3, c.id, textBody(c.stored)) }) + audio));
        const bool genre = QByteArray(c.id) == "TCON";
        EXPECT_EQ(genre ? t.genre() : QString("%1/%2").arg(t.track()).arg(t.totalTracks()), c.read) << c.stored;
    }
}

TEST_F(Id3v2Read, DescribedCommentsAreNotCommentsAndQuotesBecomeApostrophesInListedFieldsOnly)
{
    ID3V2Tag t;
    t.setFileName(F::write(dir, "q.mp3",
        tag(3,
            { frame(3, "COMM", commentBody("eng", "MusicMatch_Mood", "Calm")),
                frame(3, "COMM", commentBody("eng", "Note", "Other")), frame(3, "TIT2", textBody("Say \"Hi\"")),
                frame(3, "TCOM", textBody("Com \"P\"")),
                frame(3, "COMM", commentBody("eng", "MusicMatch_Tempo", "\"Fast\"")) })
            + audio));
    EXPECT_EQ(t.comments(), "");
    EXPECT_EQ(t.mood(), "Calm");
    EXPECT_EQ(t.title(), "Say 'Hi'");
    EXPECT_EQ(t.composer(), "Com \"P\"");
    EXPECT_EQ(t.tempo(), "\"Fast\"");
}

TEST_F(Id3v2Read, AFileWithOnlyATrailerShowsItsValuesAndKeepsIt)
{
    const QByteArray v1 = id3v1("V1 Title", "V1 Artist", "V1 Album", "2003", "V1 Comment", 7, 17);
    const QString path = F::write(dir, "v1.mp3", audio + v1);
    ID3V2Tag t;
    t.setFileName(path);
    EXPECT_EQ(t.tagVersion(), 0);
    EXPECT_EQ(
        fieldTexts(t, 8), QStringList({ "V1 Artist", "V1 Album", "V1 Title", "7", "0", "2003", "Rock", "V1 Comment" }));
    EXPECT_EQ(t.getFrameValue("TCON", "").toString(), "(17)"); // the trailer's genre as a reference
    EXPECT_EQ(F::read(path), audio + v1);
}

TEST_F(Id3v2Read, AFileWithoutTagsLoadsEmptyAndAMissingFileEmptiesTheObjectButKeepsTheName)
{
    const QString plain = F::write(dir, "plain.mp3", audio);
    ID3V2Tag t;
    t.setFileName(F::write(dir, "a.mp3", fullV23Tag() + audio));
    ASSERT_EQ(t.artist(), "The Artist");
    t.setFileName(plain);
    EXPECT_EQ(t.fileName(), plain);
    EXPECT_TRUE(t.frames().isEmpty());
    EXPECT_EQ(t.frameCount(), 0);
    EXPECT_EQ(t.framesSize(), 0);
    EXPECT_EQ(t.title(), "");
    EXPECT_EQ(t.year(), 0);
    t.setFileName(F::write(dir, "b.mp3", fullV23Tag() + audio));
    t.setFileName(dir.filePath("missing.mp3"));
    EXPECT_EQ(t.fileName(), dir.filePath("b.mp3"));
    EXPECT_TRUE(t.frames().isEmpty());
    EXPECT_EQ(t.artist(), "");
}

TEST_F(Id3v2Read, ReadsTheAudioFactsAtEachLoad)
{
    const QString path
        = F::write(dir, "c.mp3", tag(3, { frame(3, "TIT2", textBody("x")) }) + Mp3Builder::audioFrames(10, true));
    ID3V2Tag t;
    t.setFileName(path);
    EXPECT_TRUE(t.audio().copyright);
    EXPECT_EQ(t.audio().layer, 3);
    EXPECT_EQ(t.audio().bitRate, 128);
    EXPECT_EQ(t.audio().fileSize, QFileInfo(path).size());
    t.setCopyRight(false);
    EXPECT_EQ(t.fieldText(FieldId::CopyRight), "False");
}

TEST_F(Id3v2Read, HasTagTypeAnswersForEveryKind)
{
    const QByteArray v1 = id3v1("T", "A", "B", "2000", "", 1, 1);
    const QByteArray v2 = tag(3, { frame(3, "TIT2", textBody("x")) });
    const struct {
        const char* name;
        QByteArray bytes;
        TagKinds kinds;
    } cases[] = {
        { "none.mp3", audio, {} },
        { "v2.mp3", v2 + audio, TagKind::ID3v2 },
        { "both.mp3", v2 + audio + v1, TagKind::ID3v2 | TagKind::ID3v1 }, // the trailer adds values: kept
        { "redundant.mp3", v2 + audio + id3v1("x", "", "", "", "", -1, 255), TagKind::ID3v2 }, // removed
        { "v1.mp3", audio + v1, TagKind::ID3v1 },
        { "lyrics1.mp3", audio + lyrics3v1("some words") + v1, TagKind::ID3v1 | TagKind::Lyrics3 },
        { "lyrics2.mp3", audio + lyrics3v2("IND0000210") + v1, TagKind::ID3v1 | TagKind::Lyrics3v2 },
        { "mm.mp3", audio + musicMatch() + v1, TagKind::ID3v1 | TagKind::MusicMatch },
        { "mm_lyrics.mp3", audio + musicMatch(false) + lyrics3v2("IND0000210") + v1,
            TagKind::ID3v1 | TagKind::Lyrics3v2 | TagKind::MusicMatch },
    };
    for (const auto& c : cases) {
        ID3V2Tag t;
        t.setFileName(F::write(dir, c.name, c.bytes));
        for (TagKind kind : kTagKinds)
            EXPECT_EQ(t.hasTagType(kind), c.kinds.testFlag(kind)) << c.name << " kind " << int(kind);
        EXPECT_EQ(t.tagKinds(), c.kinds) << c.name;
    }
}

TEST_F(Id3v2Read, ABrokenTagStartIsNoTagAndTheTrailerStays)
{
    const QByteArray bytes
        = QByteArray("ID3\x03\x00\x00\x80\x80\x80\x80", 10) + audio + id3v1("T", "A", "B", "2000", "", 1, 1);
    const QString path = F::write(dir, "broken.mp3", bytes);
    ID3V2Tag t;
    t.setFileName(path);
    EXPECT_FALSE(t.hasTagType(TagKind::ID3v2));
    EXPECT_TRUE(t.hasTagType(TagKind::ID3v1));
    EXPECT_EQ(t.title(), "T"); // the trailer's values, as for a file with only a trailer
    EXPECT_FALSE(t.stripTags(TagKind::ID3v2)); // nothing safe to cut by
    EXPECT_EQ(F::read(path), bytes);
}

} // namespace
