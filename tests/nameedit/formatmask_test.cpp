#include "nameedit/formatmask.h"
#include "sessionfixture.h"

#include <QMap>

namespace {
QString build(const QString& mask, const QMap<FieldId, QString>& values, const QString& separator = " - ")
{
    return NameFromFields(mask, [&](FieldId f) { return values.value(f); }, separator);
}
} // namespace

TEST(MaskTokens, PatternIsTextBeforeLastPeriod)
{
    EXPECT_EQ(MaskTokens("Artist - Title.mp3"), QStringList({"Artist ", " Title"}));
    EXPECT_EQ(MaskTokens("Artist - Title.v2.ogg"), QStringList({"Artist ", " Title.v2"}));
    EXPECT_EQ(MaskTokens(".mp3"), QStringList({""}));
}

TEST(MaskTokens, MaskWithoutExtensionIsAllPattern)
{
    EXPECT_EQ(MaskTokens("Artist - Title"), QStringList({"Artist ", " Title"}));
    EXPECT_EQ(NameFromFields("Artist - Title", [](FieldId f) { return f == FieldId::Artist ? "Band" : "Song"; }, "-"),
              "Band-Song.mp3");
}

TEST(MaskTokens, TokensAreCaseSensitiveAndSongMeansTitle)
{
    FieldId f;
    EXPECT_TRUE(MaskTokenField(" Song ", &f));
    EXPECT_EQ(f, FieldId::Title);
    EXPECT_TRUE(MaskTokenField("Total Tracks", &f));
    EXPECT_EQ(f, FieldId::TotalTracks);
    EXPECT_FALSE(MaskTokenField("artist", &f));
    EXPECT_FALSE(MaskTokenField("Notes", &f));
}

TEST(NameFromFields, PlaceholderAddsNothing)
{
    EXPECT_EQ(build("Artist - Title - Notes.mp3", {{FieldId::Artist, "Band"}, {FieldId::Title, "Song"}}),
              "Band - Song.mp3");
}

TEST(NameFromFields, EmptyFieldLeavesOutItsSeparator)
{
    const QMap<FieldId, QString> v{{FieldId::Album, "  "}, {FieldId::Artist, "Band"}, {FieldId::Track, "03"},
                                   {FieldId::Title, "Song"}};
    EXPECT_EQ(build("Album - Artist - Track - Title.mp3", v), "Band - 03 - Song.mp3");
    EXPECT_EQ(build("Artist - Album - Title.mp3", v, "-"), "Band-Song.mp3");
}

TEST(NameFromFields, AllFieldsEmptyGivesBareExtension)
{
    EXPECT_EQ(build("Artist - Title.mp3", {}), ".mp3");
}

TEST(NameFromFields, SongTokenTakesTheTitle)
{
    EXPECT_EQ(build("Song - Artist.mp3", {{FieldId::Artist, "Band"}, {FieldId::Title, "Tune"}}), "Tune - Band.mp3");
}

TEST(NameFromFields, LowerCaseTokensAddressNoField)
{
    EXPECT_EQ(build("artist - title.mp3", {{FieldId::Artist, "Band"}, {FieldId::Title, "Tune"}}), ".mp3");
}

TEST(NameFromFields, ValuesAreTakenAsTheyStand)
{
    EXPECT_EQ(build("Artist - Title.mp3", {{FieldId::Artist, " band_x "}, {FieldId::Title, "t--t "}}),
              "band_x  - t--t.mp3");
}

TEST(FieldsFromName, PairsPiecesPositionally)
{
    const auto a = FieldsFromName("Artist - Title.mp3", "Band - Song - Live.mp3", false);
    ASSERT_EQ(a.size(), 2);
    EXPECT_EQ(a.at(0), qMakePair(FieldId::Artist, QString("Band")));
    EXPECT_EQ(a.at(1), qMakePair(FieldId::Title, QString("Song")));
}

TEST(FieldsFromName, SurplusTokensAndPlaceholdersAssignNothing)
{
    const auto a = FieldsFromName("Notes - Artist - Title - Album.mp3", "x - Band.mp3", false);
    ASSERT_EQ(a.size(), 1);
    EXPECT_EQ(a.at(0), qMakePair(FieldId::Artist, QString("Band")));
}

TEST(FieldsFromName, EmptyPieceClearsItsField)
{
    const auto a = FieldsFromName("Artist - Title.mp3", "Band - .mp3", false);
    ASSERT_EQ(a.size(), 2);
    EXPECT_EQ(a.at(1), qMakePair(FieldId::Title, QString()));
}

using MaskSync = SessionTest;

TEST_F(MaskSync, SyncWithInternalsBuildsNameAndReports)
{
    setOption("SplitSpaces", "1");
    useMask("Artist - Title - Notes.mp3");
    host.field(FieldId::Artist) = "Band";
    host.field(FieldId::Title) = "Song";
    session.setRecording(true);
    session.SyncWithInternals();
    EXPECT_EQ(name(), "Band - Song.mp3");
    EXPECT_EQ(host.statuses.last(), "Internal ID Tags Loaded To New Filename");
    EXPECT_EQ(session.recorder().EditSteps(), QStringList({"SyncWithInternals:0", ""}));
}

TEST_F(MaskSync, SyncWithoutCurrentMaskKeepsTheName)
{
    setOption("SyncOption", "1");
    host.field(FieldId::Artist) = "Band";
    name("Cleaned - Name.mp3");
    session.AutoSync();
    EXPECT_EQ(name(), "Cleaned - Name.mp3");
    useMask("Notes.mp3"); // placeholders only: every value is left out
    session.AutoSync();
    EXPECT_EQ(name(), ".mp3");
}

TEST_F(MaskSync, UpdateInternalIgnoresSurplusPieces)
{
    useMask("Track - Title.mp3");
    host.field(FieldId::Artist) = "Kept";
    name("07 - Intro - Extra.mp3");
    session.UpdateInternal();
    EXPECT_EQ(host.field(FieldId::Track), "07");
    EXPECT_EQ(host.field(FieldId::Title), "Intro");
    EXPECT_EQ(host.field(FieldId::Artist), "Kept");
}

TEST_F(MaskSync, UpdateInternalRemovesParenthesesWhenAsked)
{
    useMask("Artist - Title.mp3");
    name("Artist - Song (Live).mp3");
    session.UpdateInternal();
    EXPECT_EQ(host.field(FieldId::Title), "Song (Live)");
    setOption("Remove Parens", "1");
    session.UpdateInternal();
    EXPECT_EQ(host.field(FieldId::Title), "Song Live");
}

TEST_F(MaskSync, UpdateInternalContinuesPastAFailingField)
{
    useMask("Artist - Genre - Title - Album.mp3");
    host.refusing.insert(FieldId::Genre);
    host.throwing.insert(FieldId::Title);
    name("Band - Noise - Song - Record.mp3");
    session.setRecording(true);
    session.UpdateInternal();
    EXPECT_EQ(host.field(FieldId::Artist), "Band");
    EXPECT_EQ(host.field(FieldId::Genre), "");
    EXPECT_EQ(host.field(FieldId::Album), "Record");
    EXPECT_EQ(session.recorder().EditSteps(), QStringList({"Artist:Band", "Album:Record", "UpdateInternal:0", ""}));
}

TEST_F(MaskSync, TypingWithSyncOptionZeroReassignsAfterEveryChange)
{
    setOption("SyncOption", "0");
    useMask("Artist - Title.mp3");
    name("Band - .mp3");
    session.editor().setCursor(7);
    session.keyPress("S");
    EXPECT_EQ(host.field(FieldId::Title), "S");
    session.keyPress("o");
    EXPECT_EQ(host.field(FieldId::Title), "So");
    session.specialKey(NameKey::BackSpace);
    EXPECT_EQ(host.field(FieldId::Title), "S");
    EXPECT_EQ(host.field(FieldId::Artist), "Band");
}

TEST_F(MaskSync, SyncOptionIsComparedAsANumber)
{
    useMask("Artist - Title.mp3");
    backend.setValue("Settings", "SyncOption", "0abc");
    prefs.LoadOptions();
    name("Band - Song.mp3");
    EXPECT_EQ(host.field(FieldId::Artist), "Band");
}

TEST_F(MaskSync, OtherSyncOptionsLeaveFieldsAloneWhileTyping)
{
    for (const char* option : {"1", "2"}) {
        setOption("SyncOption", option);
        useMask("Artist - Title.mp3");
        host.field(FieldId::Artist) = "Old";
        name("Band - Song.mp3");
        session.keyPress("x");
        EXPECT_EQ(host.field(FieldId::Artist), "Old") << option;
    }
}

TEST_F(MaskSync, AutoSyncFollowsSyncOption)
{
    useMask("Artist - Title.mp3");
    host.field(FieldId::Artist) = "Tagged";
    host.field(FieldId::Title) = "Tune";
    name("Band - Song.mp3");

    setOption("SyncOption", "2");
    session.AutoSync();
    EXPECT_EQ(name(), "Band - Song.mp3");
    EXPECT_EQ(host.field(FieldId::Artist), "Tagged");

    setOption("SyncOption", "1");
    session.AutoSync();
    EXPECT_EQ(name(), "Tagged-Tune.mp3");

    setOption("SyncOption", "0");
    name("Band - Song.mp3");
    host.field(FieldId::Artist) = "Tagged";
    session.AutoSync();
    EXPECT_EQ(host.field(FieldId::Artist), "Band");
}

TEST_F(MaskSync, FormatListClickReloadsFieldsThenSyncs)
{
    setOption("SyncOption", "1");
    session.formats().setMasks({"Artist - Title.mp3", "Title - Artist.mp3"});
    host.onReload = [this] {
        host.field(FieldId::Artist) = "Band";
        host.field(FieldId::Title) = "Song";
    };
    name("x.mp3");
    session.formatListClicked(1);
    EXPECT_EQ(host.reloads, 1);
    EXPECT_EQ(session.formats().currentIndex(), 1);
    EXPECT_EQ(name(), "Song-Band.mp3");
}

TEST_F(MaskSync, FormatListClickWithBlankNameOnlySelects)
{
    setOption("SyncOption", "1");
    session.formats().setMasks({"Artist - Title.mp3"});
    name("  ");
    session.formatListClicked(0);
    EXPECT_EQ(session.formats().currentIndex(), 0);
    EXPECT_EQ(host.reloads, 0);
    EXPECT_EQ(name(), "  ");
}
