#include "nameedit/formatmask.h"
#include "sessionfixture.h"

#include <QMap>

TEST(MaskTokens, PatternBeforeLastPeriodWithCaseSensitiveTokensAndSongForTitle)
{
    EXPECT_EQ(maskTokens("Artist - Title.mp3"), QStringList({ "Artist ", " Title" }));
    EXPECT_EQ(maskTokens("Artist - Title.v2.ogg"), QStringList({ "Artist ", " Title.v2" }));
    EXPECT_EQ(maskTokens("Artist - Title"), QStringList({ "Artist ", " Title" }));
    EXPECT_EQ(maskTokens(".mp3"), QStringList({ "" }));
    FieldId f;
    EXPECT_TRUE(maskTokenField(" Song ", &f) && f == FieldId::Title);
    EXPECT_TRUE(maskTokenField("Total Tracks", &f) && f == FieldId::TotalTracks);
    EXPECT_FALSE(maskTokenField("artist", &f));
    EXPECT_FALSE(maskTokenField("Notes", &f));
}

TEST(NameFromFields, PlaceholdersEmptyFieldsSongAndCaseSensitiveTokens)
{
    const QMap<FieldId, QString> v { { FieldId::Album, "  " }, { FieldId::Artist, "Band" }, { FieldId::Track, "03" },
        { FieldId::Title, "Song" } };
    const auto values = [&](FieldId f) { return v.value(f); };
    const struct {
        const char *mask, *separator, *expected;
    } cases[] = {
        { "Artist - Title - Notes.mp3", " - ", "Band - Song.mp3" }, // a placeholder adds nothing
        { "Album - Artist - Track - Title.mp3", " - ", "Band - 03 - Song.mp3" }, // an empty field drops its separator
        { "Artist - Album - Title.mp3", "-", "Band-Song.mp3" }, { "Song - Artist.mp3", " - ", "Song - Band.mp3" },
        { "artist - title.mp3", " - ", ".mp3" }, { "Artist - Title", "-", "Band-Song.mp3" }, // no extension in the mask
        { "Notes.mp3", " - ", ".mp3" }, // placeholders only
    };
    for (const auto& c : cases)
        EXPECT_EQ(nameFromFields(c.mask, values, c.separator, ".mp3"), c.expected) << c.mask;
    // The mask's ".mp3" stands for the file's own extension.
    EXPECT_EQ(nameFromFields("Artist - Title.mp3", values, " - ", ".flac"), "Band - Song.flac");
    EXPECT_EQ(nameFromFields("Notes.mp3", values, " - ", ".opus"), ".opus");
    // Values are taken as they stand.
    EXPECT_EQ(
        nameFromFields(
            "Artist - Title.mp3", [](FieldId f) { return f == FieldId::Artist ? " band_x " : "t--t "; }, " - ", ".mp3"),
        "band_x  - t--t.mp3");
}

TEST(FieldsFromName, PairsPiecesPositionally)
{
    using Pairs = QList<QPair<FieldId, QString>>;
    EXPECT_EQ(fieldsFromName("Artist - Title.mp3", "Band - Song - Live.mp3", false),
        (Pairs { { FieldId::Artist, "Band" }, { FieldId::Title, "Song" } }));
    // Surplus tokens and placeholders assign nothing; an empty piece clears.
    EXPECT_EQ(fieldsFromName("Notes - Artist - Title - Album.mp3", "x - Band.mp3", false),
        (Pairs { { FieldId::Artist, "Band" } }));
    EXPECT_EQ(fieldsFromName("Artist - Title.mp3", "Band - Song.v2.flac", false),
        (Pairs { { FieldId::Artist, "Band" }, { FieldId::Title, "Song.v2" } }));
    EXPECT_EQ(fieldsFromName("Artist - Title.mp3", "Band - .mp3", false),
        (Pairs { { FieldId::Artist, "Band" }, { FieldId::Title, "" } }));
}

using MaskSync = SessionTest;

TEST_F(MaskSync, SyncWithInternalsBuildsNameAndReportsOrKeepsItWithoutMask)
{
    setOption("SplitSpaces", "1");
    setFields({ { FieldId::Artist, "Band" }, { FieldId::Title, "Song" } });
    name("Cleaned - Name.mp3");
    session.syncWithInternals();
    EXPECT_EQ(name(), "Cleaned - Name.mp3");
    useMask("Artist - Title - Notes.mp3");
    session.setRecording(true);
    session.syncWithInternals();
    EXPECT_EQ(name(), "Band - Song.mp3");
    EXPECT_EQ(host.statuses.last(), "Internal ID Tags Loaded To New Filename");
    EXPECT_EQ(session.recorder().editSteps(), QStringList({ "SyncWithInternals:0", "" }));

    // A loaded file's name ends in its own extension, and reads back without it.
    for (const auto& [file, expected] : { std::pair { "x.flac", "Band - Song.flac" },
             std::pair { "x.M4A", "Band - Song.m4a" }, std::pair { "x.mp3", "Band - Song.mp3" } }) {
        session.loadNameParts(file);
        session.syncWithInternals();
        EXPECT_EQ(name(), expected);
        field(FieldId::Title).clear();
        session.updateInternal();
        EXPECT_EQ(field(FieldId::Title), "Song") << file;
    }
}

TEST_F(MaskSync, UpdateInternalWithSurplusPiecesRemoveParensAndRefusingFields)
{
    useMask("Track - Title.mp3");
    field(FieldId::Artist) = "Kept";
    name("07 - Intro (Live) - Extra.mp3");
    session.updateInternal();
    EXPECT_EQ(field(FieldId::Track), "07");
    EXPECT_EQ(field(FieldId::Title), "Intro (Live)");
    EXPECT_EQ(field(FieldId::Artist), "Kept");
    setOption("Remove Parens", "1");
    session.updateInternal();
    EXPECT_EQ(field(FieldId::Title), "Intro Live");

    useMask("Artist - Genre - Title - Album.mp3");
    host.refusing.insert(FieldId::Genre);
    host.refusing.insert(FieldId::Title);
    name("Band - Noise - Song - Record.mp3");
    session.setRecording(true);
    session.updateInternal();
    EXPECT_EQ(field(FieldId::Artist), "Band");
    EXPECT_EQ(field(FieldId::Genre), "");
    EXPECT_EQ(field(FieldId::Album), "Record");
    EXPECT_EQ(session.recorder().editSteps(), QStringList({ "Artist:Band", "Album:Record", "UpdateInternal:0", "" }));
}

TEST_F(MaskSync, TypingWithSyncOptionZeroReassignsAfterEveryChange)
{
    useMask("Artist - Title.mp3");
    setOption("SyncOption", "0abc"); // read as a number
    name("Band - .mp3");
    session.editor().setCursor(7);
    session.keyPress("S");
    EXPECT_EQ(field(FieldId::Title), "S");
    session.keyPress("o");
    EXPECT_EQ(field(FieldId::Title), "So");
    session.specialKey(NameKey::BackSpace);
    EXPECT_EQ(field(FieldId::Title), "S");
    EXPECT_EQ(field(FieldId::Artist), "Band");

    for (const char* option : { "1", "2" }) {
        setOption("SyncOption", option);
        field(FieldId::Artist) = "Old";
        name("Band - Song.mp3");
        session.keyPress("x");
        EXPECT_EQ(field(FieldId::Artist), "Old") << option;
    }
}

TEST_F(MaskSync, AutoSyncFollowsSyncOption)
{
    useMask("Artist - Title.mp3");
    setFields({ { FieldId::Artist, "Tagged" }, { FieldId::Title, "Tune" } });
    name("Band - Song.mp3");
    setOption("SyncOption", "2");
    session.autoSync();
    EXPECT_EQ(name(), "Band - Song.mp3");
    EXPECT_EQ(field(FieldId::Artist), "Tagged");
    setOption("SyncOption", "1");
    session.autoSync();
    EXPECT_EQ(name(), "Tagged-Tune.mp3");
    setOption("SyncOption", "0");
    name("Band - Song.mp3");
    field(FieldId::Artist) = "Tagged";
    session.autoSync();
    EXPECT_EQ(field(FieldId::Artist), "Band");
}

TEST_F(MaskSync, FormatListClickReloadsFieldsThenSyncsUnlessTheNameIsBlank)
{
    setOption("SyncOption", "1");
    session.formats().setMasks({ "Artist - Title.mp3", "Title - Artist.mp3" });
    host.onReload = [this] { setFields({ { FieldId::Artist, "Band" }, { FieldId::Title, "Song" } }); };
    name("  ");
    session.formatListClicked(0);
    EXPECT_EQ(session.formats().currentIndex(), 0);
    EXPECT_EQ(host.reloads, 0);
    EXPECT_EQ(name(), "  ");
    name("x.mp3");
    session.formatListClicked(1);
    EXPECT_EQ(host.reloads, 1);
    EXPECT_EQ(session.formats().currentIndex(), 1);
    EXPECT_EQ(name(), "Song-Band.mp3");
}
