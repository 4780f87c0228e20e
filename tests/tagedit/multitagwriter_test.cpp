#include "tagedit/multitagwriter.h"

#include "multitagfiles.h"

#include "platform/fakes/scriptedprompter.h"
#include "platform/localfilesystem.h"
#include "settings/options.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace MultiTagFiles;

namespace {

// Tags written straight through the writer; the window tests cover the
// selection, the messages and the rules both share.
struct Fixture {
    QTemporaryDir dir;
    LocalFileSystem files;
    ScriptedPrompter prompter;
    MultiTagWriter writer { files, &prompter };

    // A file made with sample(name) and tagged with `texts` for the included fields.
    QString tagged(const QString& name, const QList<std::pair<FieldId, QString>>& texts, bool trailer = true)
    {
        const QString path = dir.filePath(name);
        EXPECT_TRUE(write(path, sample(name), trailer)) << name.toStdString();
        const auto r = writer.tagFile(path, including(texts));
        EXPECT_TRUE(r.ok()) << r.error.description.toStdString();
        EXPECT_EQ(audioOf(path), Mp3Builder::audioFrames(kFrames)) << name.toStdString();
        return path;
    }
};

} // namespace

TEST(BoxNumber, TakesTheLeadingDigitsOnly)
{
    const std::pair<const char*, int> cases[] = { { "7x", 7 }, { "x7", 0 }, { "  12 of 14", 12 }, { "", 0 },
        { "-3", 0 }, { "2024-05-01", 2024 }, { "99999999999", 32767 } };
    for (const auto& [text, number] : cases)
        EXPECT_EQ(boxNumber(text), number) << text;
}

TEST(MultiTagWriter, IncludedFieldsReachTheTagsThatHoldThem)
{
    Fixture f;
    // An included empty box clears the field.
    QString path = f.tagged("e", { { FieldId::Composer, "" }, { FieldId::Title, "" } });
    EXPECT_EQ(readV2(path).composer, "");
    EXPECT_EQ(readV2(path).title, "");
    EXPECT_EQ(readV1(path).title(), "");
    EXPECT_EQ(readV2(path).artist, "Artist e");
    // Genre and year reach both tags.
    path = f.tagged("g", { { FieldId::Genre, "Rock" }, { FieldId::Year, "2004abc" } });
    EXPECT_EQ(readV2(path).genre, "Rock");
    EXPECT_EQ(readV2(path).year, 2004);
    EXPECT_EQ(readV1(path).genre(), 17);
    EXPECT_EQ(readV1(path).year(), "2004");
    // Fields without a trailer counterpart leave the trailer alone.
    path = f.tagged("m", { { FieldId::Mood, "Happy" }, { FieldId::Composer, "Someone" } });
    EXPECT_EQ(readV2(path).mood, "Happy");
    EXPECT_EQ(readV2(path).composer, "Someone");
    EXPECT_EQ(Mp3Builder::readFile(path).right(128), trailerFor(sample("m")));
    // A track above one byte is no track in the trailer.
    path = f.tagged("b", { { FieldId::Track, "300" } });
    EXPECT_EQ(readV2(path).track, 300);
    EXPECT_EQ(readV1(path).track(), -1) << "a zero track byte reads as no track";
    EXPECT_EQ(readV2(path).total, 12) << "the total shares the frame and stays";
    // The total reaches the ID3v2 tag only.
    path = f.tagged("t", { { FieldId::TotalTracks, "15" } });
    EXPECT_EQ(readV2(path).total, 15);
    EXPECT_EQ(readV2(path).track, 3);
    EXPECT_EQ(Mp3Builder::readFile(path).right(128), trailerFor(sample("t")));
    EXPECT_TRUE(f.prompter.calls.isEmpty());
}

TEST(MultiTagWriter, FileWithoutTrailerGetsOneOnlyForAnId3v1Field)
{
    Fixture f;
    EXPECT_FALSE(readV1(f.tagged("q", { { FieldId::Composer, "C" } }, false)).tagged());
    const ID3V1Tag v1 = readV1(f.tagged("l", { { FieldId::Artist, "New" } }, false));
    ASSERT_TRUE(v1.tagged());
    EXPECT_EQ(v1.artist(), "New");
    EXPECT_EQ(v1.title(), "");
    // Hidden files never get a trailer: that refused write is no success.
    const QString hidden = f.dir.filePath(".h");
    ASSERT_TRUE(write(hidden, sample(".h"), true));
    EXPECT_FALSE(f.writer.tagFile(hidden, including({ { FieldId::Artist, "New" } })).ok());
}

TEST(MultiTagWriter, NoFieldOrOnlyCopyrightIncludedLeavesTheFileAsItWas)
{
    Fixture f;
    for (const bool copyright : { false, true }) {
        const QString path = f.dir.filePath(copyright ? "c" : "n");
        ASSERT_TRUE(write(path, sample("x"), true));
        const QByteArray before = Mp3Builder::readFile(path);
        MultiTagValues v;
        v.included[int(FieldId::CopyRight)] = copyright;
        v.texts[int(FieldId::CopyRight)] = "True";
        v.texts[int(FieldId::Title)] = "Not Included";
        EXPECT_TRUE(f.writer.tagFile(path, v).ok());
        EXPECT_EQ(Mp3Builder::readFile(path), before) << copyright;
    }
}

TEST(MultiTagWriter, ReadFileGivesTheBoxTextsOrEmptyBoxesForAMissingFile)
{
    Fixture f;
    Values v = sample("r");
    v.artist = "  Spaced  ";
    v.track = 4;
    v.total = 0;
    v.year = 87;
    const QString path = f.dir.filePath("r.mp3");
    ASSERT_TRUE(write(path, v, false, true));
    Options options;
    options.useFormattedTrack = true;

    auto texts = f.writer.readFile(path, options);

    const std::pair<FieldId, const char*> shown[] = { { FieldId::Artist, "Spaced" }, { FieldId::Track, "04" },
        { FieldId::TotalTracks, "" }, { FieldId::Year, "0087" }, { FieldId::Genre, "Jazz" },
        { FieldId::Composer, "Composer r" }, { FieldId::Mood, "Calm" }, { FieldId::CopyRight, "True" } };
    for (const auto& [id, text] : shown)
        EXPECT_EQ(texts[int(id)], text) << int(id);
    options.useFormattedTrack = false;
    EXPECT_EQ(f.writer.readFile(path, options)[int(FieldId::Track)], "4");

    QFile::remove(path);
    texts = f.writer.readFile(path, options);
    for (int i = 0; i < kFieldCount; ++i)
        EXPECT_EQ(texts[i], i == int(FieldId::CopyRight) ? "False" : "") << i;
}

TEST(MultiTagWriter, ACopiedUniqueKeyKeepsItsOwner)
{
    Fixture f;
    const QString path = f.dir.filePath("k");
    ASSERT_TRUE(write(path, sample("k"), false));
    MultiTagValues v = including({ { FieldId::UniqueKey, "abc" } });
    v.uniqueKeyOwner = "http://db.example";
    ASSERT_TRUE(f.writer.tagFile(path, v).ok());
    ID3V2Tag back;
    back.setFileName(path);
    EXPECT_EQ(back.uniqueKey(), "abc");
    EXPECT_EQ(back.uniqueKeyOwner(), "http://db.example");
}
