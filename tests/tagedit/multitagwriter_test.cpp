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

struct Fixture {
    QTemporaryDir dir;
    LocalFileSystem files;
    ScriptedPrompter prompter;
    MultiTagWriter writer{files, &prompter};

    QString make(const QString& name, const Values& v, bool trailer = true)
    {
        const QString path = dir.filePath(name);
        EXPECT_TRUE(write(path, v, trailer)) << name.toStdString();
        return path;
    }
};

MultiTagValues including(FieldId id, const QString& text)
{
    MultiTagValues v;
    v.included[int(id)] = true;
    v.texts[int(id)] = text;
    return v;
}

} // namespace

TEST(BoxNumber, TakesTheLeadingDigitsOnly)
{
    EXPECT_EQ(BoxNumber("7x"), 7);
    EXPECT_EQ(BoxNumber("x7"), 0);
    EXPECT_EQ(BoxNumber("  12 of 14"), 12);
    EXPECT_EQ(BoxNumber(""), 0);
    EXPECT_EQ(BoxNumber("-3"), 0);
    EXPECT_EQ(BoxNumber("2024-05-01"), 2024);
    EXPECT_EQ(BoxNumber("99999999999"), 32767);
}

TEST(MultiTagErrorText, NamesTheFileAndTheError)
{
    EXPECT_EQ(MultiTagErrorText("/m/a.mp3", {75, "Permission denied"}),
              "Error Saving Tags In File: \r\n\r\n/m/a.mp3\r\n\r\nError: Permission denied (75)");
}

TEST(MultiTagWriter, OnlyTheIncludedAlbumChangesInBothTags)
{
    Fixture f;
    const Values before = sample("1");
    const QString path = f.make("one.mp3", before);

    const auto r = f.writer.TagFile(path, including(FieldId::Album, "New Album"));
    ASSERT_TRUE(r.ok()) << r.error.description.toStdString();

    Values expected = before;
    expected.album = "New Album";
    EXPECT_TRUE(sameValues(readV2(path), expected));
    const ID3V1Tag v1 = readV1(path);
    ASSERT_TRUE(v1.Tagged());
    EXPECT_EQ(v1.Album(), "New Album");
    // The trailer's other fields keep what the file held before the run.
    EXPECT_EQ(v1.Artist(), before.artist);
    EXPECT_EQ(v1.Title(), before.title);
    EXPECT_EQ(v1.Comment(), before.comments);
    EXPECT_EQ(v1.Track(), 3);
    EXPECT_EQ(v1.Year(), "1999");
    EXPECT_EQ(v1.Genre(), GetGenreIndex("Jazz"));
    EXPECT_EQ(audioOf(path), Mp3Builder::audioFrames(kFrames));
    EXPECT_TRUE(f.prompter.calls.isEmpty());
}

TEST(MultiTagWriter, NothingIncludedKeepsEveryValue)
{
    Fixture f;
    const Values before = sample("2");
    const QString path = f.make("two.mp3", before);
    const ID3V1Tag v1Before = readV1(path);

    ASSERT_TRUE(f.writer.TagFile(path, MultiTagValues{}).ok());

    EXPECT_TRUE(sameValues(readV2(path), before));
    const ID3V1Tag v1 = readV1(path);
    EXPECT_TRUE(v1.Tagged());
    EXPECT_EQ(v1.Artist(), v1Before.Artist());
    EXPECT_EQ(v1.Comment(), v1Before.Comment());
    EXPECT_EQ(audioOf(path), Mp3Builder::audioFrames(kFrames));
}

TEST(MultiTagWriter, TrackTakesTheLeadingNumberOfTheBox)
{
    Fixture f;
    const QString a = f.make("a.mp3", sample("a"));
    const QString b = f.make("b.mp3", sample("b"));

    ASSERT_TRUE(f.writer.TagFile(a, including(FieldId::Track, "7x")).ok());
    ASSERT_TRUE(f.writer.TagFile(b, including(FieldId::Track, "x7")).ok());

    EXPECT_EQ(readV2(a).track, 7);
    EXPECT_EQ(readV2(a).total, 12) << "the total shares the frame and stays";
    EXPECT_EQ(readV1(a).Track(), 7);
    EXPECT_EQ(readV2(b).track, 0);
    EXPECT_EQ(readV2(b).total, 12);
}

TEST(MultiTagWriter, TotalTracksGoesToTheId3v2TagOnly)
{
    Fixture f;
    const QString path = f.make("t.mp3", sample("t"));
    const QByteArray trailerBefore = Mp3Builder::readFile(path).right(128);

    ASSERT_TRUE(f.writer.TagFile(path, including(FieldId::TotalTracks, "20")).ok());

    EXPECT_EQ(readV2(path).total, 20);
    EXPECT_EQ(readV2(path).track, 3);
    EXPECT_EQ(Mp3Builder::readFile(path).right(128), trailerBefore);
}

TEST(MultiTagWriter, CopyrightChangesNothingInTheFile)
{
    Fixture f;
    const QString path = f.make("c.mp3", sample("c"));
    const QByteArray before = Mp3Builder::readFile(path);

    ASSERT_TRUE(f.writer.TagFile(path, including(FieldId::CopyRight, "True")).ok());

    EXPECT_EQ(Mp3Builder::readFile(path), before);
}

TEST(MultiTagWriter, IncludedEmptyBoxClearsTheField)
{
    Fixture f;
    const QString path = f.make("e.mp3", sample("e"));
    MultiTagValues v = including(FieldId::Composer, "");
    v.included[int(FieldId::Title)] = true;

    ASSERT_TRUE(f.writer.TagFile(path, v).ok());

    const Values after = readV2(path);
    EXPECT_EQ(after.composer, "");
    EXPECT_EQ(after.title, "");
    EXPECT_EQ(readV1(path).Title(), "");
    EXPECT_EQ(after.artist, "Artist e");
}

TEST(MultiTagWriter, GenreAndYearReachBothTags)
{
    Fixture f;
    const QString path = f.make("g.mp3", sample("g"));
    MultiTagValues v = including(FieldId::Genre, "Rock");
    v.included[int(FieldId::Year)] = true;
    v.texts[int(FieldId::Year)] = "2004abc";

    ASSERT_TRUE(f.writer.TagFile(path, v).ok());

    EXPECT_EQ(readV2(path).genre, "Rock");
    EXPECT_EQ(readV2(path).year, 2004);
    EXPECT_EQ(readV1(path).Genre(), 17);
    EXPECT_EQ(readV1(path).Year(), "2004");
}

TEST(MultiTagWriter, FieldsWithoutTrailerCounterpartLeaveTheTrailerAlone)
{
    Fixture f;
    const QString path = f.make("m.mp3", sample("m"));
    const QByteArray trailerBefore = Mp3Builder::readFile(path).right(128);
    MultiTagValues v = including(FieldId::Mood, "Happy");
    v.included[int(FieldId::Composer)] = true;
    v.texts[int(FieldId::Composer)] = "Someone";

    ASSERT_TRUE(f.writer.TagFile(path, v).ok());

    EXPECT_EQ(readV2(path).mood, "Happy");
    EXPECT_EQ(readV2(path).composer, "Someone");
    EXPECT_EQ(Mp3Builder::readFile(path).right(128), trailerBefore);
}

TEST(MultiTagWriter, FileWithoutTrailerGetsOneOnlyForAnId3v1Field)
{
    Fixture f;
    const QString quiet = f.make("quiet.mp3", sample("q"), false);
    const QString loud = f.make("loud.mp3", sample("l"), false);

    ASSERT_TRUE(f.writer.TagFile(quiet, including(FieldId::Composer, "C")).ok());
    ASSERT_TRUE(f.writer.TagFile(loud, including(FieldId::Artist, "New")).ok());

    EXPECT_FALSE(readV1(quiet).Tagged());
    const ID3V1Tag v1 = readV1(loud);
    ASSERT_TRUE(v1.Tagged());
    EXPECT_EQ(v1.Artist(), "New");
    EXPECT_EQ(v1.Title(), "");
    EXPECT_EQ(audioOf(loud), Mp3Builder::audioFrames(kFrames));
}

TEST(MultiTagWriter, TrackAboveOneByteIsWrittenAsNoTrackInTheTrailer)
{
    Fixture f;
    const QString path = f.make("big.mp3", sample("b"));
    ASSERT_TRUE(f.writer.TagFile(path, including(FieldId::Track, "300")).ok());
    EXPECT_EQ(readV2(path).track, 300);
    EXPECT_EQ(readV1(path).Track(), -1) << "a zero track byte reads as no track";
    EXPECT_TRUE(f.prompter.calls.isEmpty());
}

TEST(MultiTagWriter, ReadOnlyFileIsRefusedUntouched)
{
    Fixture f;
    const QString path = f.make("ro.mp3", sample("r"));
    const QByteArray before = Mp3Builder::readFile(path);
    QFile::setPermissions(path, QFile::ReadOwner | QFile::ReadGroup);

    const auto r = f.writer.TagFile(path, including(FieldId::Album, "X"));

    EXPECT_EQ(r.error.number, 75);
    EXPECT_FALSE(r.error.description.isEmpty());
    EXPECT_EQ(Mp3Builder::readFile(path), before);
    EXPECT_EQ(QFile::permissions(path) & QFile::WriteOwner, 0) << "the protection stays";
}

TEST(MultiTagWriter, VanishedFileIsReportedAndTheNextOneStillWritten)
{
    Fixture f;
    const QString first = f.make("first.mp3", sample("1"));
    const QString gone = f.dir.filePath("gone.mp3");

    ASSERT_TRUE(f.writer.TagFile(first, including(FieldId::Album, "A")).ok());
    const auto r = f.writer.TagFile(gone, including(FieldId::Album, "B"));
    EXPECT_EQ(r.error.number, 53);
    EXPECT_EQ(readV2(first).album, "A") << "the previous file is not written again";
    EXPECT_FALSE(QFile::exists(gone));
}

TEST(MultiTagWriter, ReadFileGivesTheBoxTexts)
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
    options.UseFormattedTrack = true;

    const auto texts = f.writer.ReadFile(path, options);

    EXPECT_EQ(texts[int(FieldId::Artist)], "Spaced");
    EXPECT_EQ(texts[int(FieldId::Track)], "04");
    EXPECT_EQ(texts[int(FieldId::TotalTracks)], "");
    EXPECT_EQ(texts[int(FieldId::Year)], "0087");
    EXPECT_EQ(texts[int(FieldId::Genre)], "Jazz");
    EXPECT_EQ(texts[int(FieldId::Composer)], "Composer r");
    EXPECT_EQ(texts[int(FieldId::Mood)], "Calm");
    EXPECT_EQ(texts[int(FieldId::CopyRight)], "True");

    options.UseFormattedTrack = false;
    EXPECT_EQ(f.writer.ReadFile(path, options)[int(FieldId::Track)], "4");
}

TEST(MultiTagWriter, ReadingAMissingFileGivesEmptyBoxes)
{
    Fixture f;
    const QString path = f.make("x.mp3", sample("x"));
    Options options;
    ASSERT_EQ(f.writer.ReadFile(path, options)[0], "Artist x");
    QFile::remove(path);
    const auto texts = f.writer.ReadFile(path, options);
    for (int i = 0; i < kFieldCount; ++i)
        EXPECT_EQ(texts[i], i == int(FieldId::CopyRight) ? "False" : "") << i;
}
