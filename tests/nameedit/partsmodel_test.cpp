#include "nameedit/nameparts.h"
#include "sessionfixture.h"

using PartsModel = SessionTest;

TEST_F(PartsModel, LoadNormalisesDashesAndRecasesByNewFileCase)
{
    const struct {
        const char *split, *fileCase, *file, *expected;
    } cases[] = {
        { "1", "TC", "Artist--Title.mp3", "Artist - Title.mp3" },
        { "0", "TC", "Artist--Title.mp3", "Artist-Title.mp3" },
        { "0", "TC", "Artist - Title.MP3", "Artist-Title.mp3" },
        { "0", "TC", "the BAND - a song.mp3", "The Band-A Song.mp3" },
        { "0", "UC", "the band - a song.mp3", "THE BAND-A SONG.mp3" },
        { "0", "LC", "THE BAND.mp3", "the band.mp3" },
        // Each file keeps its own extension, in lower case as ".MP3" does.
        { "0", "TC", "the BAND - a song.Flac", "The Band-A Song.flac" },
        { "1", "UC", "a--b.opus", "A - B.opus" },
        { "0", "LC", "A.B.M4A", "a.b.m4a" },
        { "0", "NC", "the BAND.mp3", "the BAND.mp3" },
    };
    for (const auto& c : cases) {
        setOption("SplitSpaces", c.split);
        setOption("New File Case", c.fileCase);
        session.loadNameParts(c.file);
        EXPECT_EQ(name(), c.expected) << c.file;
        EXPECT_EQ(session.editor().cursor(), 0);
    }
    EXPECT_EQ(session.parts().entries(), QStringList({ "the BAND" }));
    setOption("New File Case", "TC");
    session.loadNameParts("A-a-B.mp3"); // duplicates are kept
    EXPECT_EQ(session.parts().entries(), QStringList({ "A", "A", "B" }));
}

TEST_F(PartsModel, LeadingDashGivesEmptyFirstEntryUntilRebuilt)
{
    setOption("SplitSpaces", "1");
    session.loadNameParts("-Title.mp3");
    EXPECT_EQ(session.parts().entries(), QStringList({ "", "Title" }));
    EXPECT_EQ(name(), " - Title.mp3");
    session.rebuildPartsList();
    EXPECT_EQ(session.parts().entries(), QStringList({ "Title" }));
}

TEST_F(PartsModel, AddPartCleansAndSkipsBlanksZeroAndDuplicates)
{
    setOption("SplitSpaces", "1");
    for (const char* part : { "Artist", "0", "   ", "ARTIST", " artist ", "AC/DC", "My%20Song" })
        session.addPart(part);
    EXPECT_EQ(session.parts().entries(), QStringList({ "Artist", "AC - DC", "My Song" }));

    // Text that cleaning empties is appended once.
    setOption("Remove Parens", "1");
    session.parts().setEntries({});
    session.addPart("()");
    session.addPart("( )");
    EXPECT_EQ(session.parts().entries(), QStringList({ "" }));
}

TEST_F(PartsModel, RebuildOffersNameFieldsInPanelOrderAndFolderAnew)
{
    session.loadNameParts("Old-Parts.mp3");
    name("Band-Song.mp3");
    setFields({ { FieldId::Artist, "band" }, { FieldId::Album, "Alb" }, { FieldId::Track, "03" },
        { FieldId::Year, "1999" }, { FieldId::CopyRight, "False" }, { FieldId::Composer, "Comp" },
        { FieldId::UniqueKey, "KEY123" }, { FieldId::Tempo, "0" } });
    host.folder = "/music/Best-Of/";
    session.rebuildPartsList();
    EXPECT_EQ(
        session.parts().entries(), QStringList({ "Band", "Song", "Alb", "03", "1999", "False", "Comp", "Best", "Of" }));
    EXPECT_EQ(session.parts().currentIndex(), -1);
}

TEST_F(PartsModel, TogglingRemovesOrInsertsThePartAndTidiesDashes)
{
    const struct {
        const char *split, *start, *part, *expected, *status;
    } cases[] = {
        { "1", "A - B - C.mp3", "B", "A - C.mp3", "Selected File Part Removed" },
        { "1", "A - B - C.mp3", "A", "B - C.mp3", "Selected File Part Removed" },
        { "1", "A - B - C.mp3", "C", "A - B.mp3", "Selected File Part Removed" },
        { "0", "A-B-C.mp3", "B", "A-C.mp3", "Selected File Part Removed" },
        { "1", "A.mp3", " Live ", "A - Live.mp3", "Selected File Part Inserted" },
        { "1", "", "part", "part.mp3", "Selected File Part Inserted" },
        { "1", "A.mp3", "A", "", "Selected File Part Removed" },
        { "1", "Artist - Title.mp3", "art", "ist - Title.mp3", "Selected File Part Removed" }, // inside words, any case
    };
    for (const auto& c : cases) {
        setOption("SplitSpaces", c.split);
        name(c.start);
        offer({ c.part });
        session.togglePart();
        EXPECT_EQ(name(), c.expected) << c.start << " / " << c.part;
        EXPECT_EQ(host.statuses.last(), c.status) << c.start << " / " << c.part;
        EXPECT_EQ(session.parts().entries(), QStringList({ c.part })); // the list is untouched
    }
    // The loaded file's own extension, whichever name the box holds.
    setOption("SplitSpaces", "1");
    session.loadNameParts("A - B.Opus");
    for (const auto& [part, expected] : { std::pair { "B", "A.opus" }, std::pair { "Live", "A - Live.opus" } }) {
        offer({ part });
        session.togglePart();
        EXPECT_EQ(name(), expected);
    }
    name("A.mp3");
    offer({ "B" });
    session.togglePart();
    EXPECT_EQ(name(), "A - B.opus");

    // Without a current entry nothing happens.
    host.statuses.clear();
    name("A.mp3");
    session.parts().setCurrentIndex(-1);
    session.togglePart();
    EXPECT_EQ(name(), "A.mp3");
    EXPECT_TRUE(host.statuses.isEmpty());
}

TEST_F(PartsModel, SelectPartKeepsTrimmedTextAndPartAtCursorFollowsTheEditor)
{
    offer({ "  Live " });
    session.selectPart();
    EXPECT_EQ(session.parts().selectedPart(), "Live");
    name("Song - Live.mp3");
    session.editor().setCursor(9);
    EXPECT_EQ(session.partAtCursor(), 1);
}

TEST(NameExtension, TheFilesOwnAudioExtensionInLowerCaseElseMp3)
{
    const std::pair<const char*, const char*> cases[] = { { "a.flac", ".flac" }, { "A.b.FLAC", ".flac" },
        { "a.Ogg", ".ogg" }, { "a.oga", ".oga" }, { "a.opus", ".opus" }, { "a.M4a", ".m4a" }, { "a.mp4", ".mp4" },
        { "a.M4B", ".m4b" }, { "a.MP3", ".mp3" }, { "a.txt", ".mp3" }, { "flac", ".mp3" }, { "", ".mp3" } };
    for (const auto& [file, extension] : cases)
        EXPECT_EQ(nameExtension(file), extension) << file;
}

TEST(PartAtCursor, DashesBelongToTheLeftAndRightParts)
{
    const std::pair<int, int> cases[] = { { 0, 0 }, { 2, 0 }, { 3, 1 }, { 8, 2 }, { 9, 2 }, { 10, -1 }, { 13, -1 } };
    for (const auto& [cursor, part] : cases)
        EXPECT_EQ(partAtCursor("A - B - C.mp3", cursor), part) << cursor;
    // Nothing (or blanks only) before the extension: no part at all.
    for (const char* text : { "abc", ".mp3", "  .mp3", " .flac" })
        EXPECT_EQ(partAtCursor(text, 0), -1) << text;
}
