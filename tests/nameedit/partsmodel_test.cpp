#include "nameedit/nameparts.h"
#include "sessionfixture.h"

using PartsModel = SessionTest;

TEST_F(PartsModel, LoadNormalisesDashesToTheSeparator)
{
    setOption("SplitSpaces", "1");
    session.LoadNameParts("Artist--Title.mp3");
    EXPECT_EQ(session.parts().entries(), QStringList({"Artist", "Title"}));
    EXPECT_EQ(name(), "Artist - Title.mp3");
    EXPECT_EQ(session.editor().cursor(), 0);

    setOption("SplitSpaces", "0");
    session.LoadNameParts("Artist--Title.mp3");
    EXPECT_EQ(name(), "Artist-Title.mp3");
    session.LoadNameParts("Artist - Title.MP3");
    EXPECT_EQ(name(), "Artist-Title.mp3");
}

TEST_F(PartsModel, LoadRecasesByNewFileCase)
{
    session.LoadNameParts("the BAND - a song.mp3");
    EXPECT_EQ(name(), "The Band-A Song.mp3");
    setOption("New File Case", "UC");
    session.LoadNameParts("the band - a song.mp3");
    EXPECT_EQ(name(), "THE BAND-A SONG.mp3");
    setOption("New File Case", "LC");
    session.LoadNameParts("THE BAND.mp3");
    EXPECT_EQ(name(), "the band.mp3");
    setOption("New File Case", "NC");
    session.LoadNameParts("the BAND.mp3");
    EXPECT_EQ(name(), "the BAND.mp3");
}

TEST_F(PartsModel, LeadingDashGivesEmptyFirstEntryUntilRebuilt)
{
    setOption("SplitSpaces", "1");
    session.LoadNameParts("-Title.mp3");
    EXPECT_EQ(session.parts().entries(), QStringList({"", "Title"}));
    EXPECT_EQ(name(), " - Title.mp3");
    session.RebuildPartsList();
    EXPECT_EQ(session.parts().entries(), QStringList({"Title"}));
}

TEST_F(PartsModel, LoadKeepsDuplicatePieces)
{
    session.LoadNameParts("A-a-B.mp3");
    EXPECT_EQ(session.parts().entries(), QStringList({"A", "A", "B"}));
}

TEST_F(PartsModel, AddPartSkipsBlanksZeroAndDuplicates)
{
    session.AddPart("Artist");
    session.AddPart("0");
    session.AddPart("   ");
    session.AddPart("ARTIST");
    session.AddPart(" artist ");
    EXPECT_EQ(session.parts().entries(), QStringList({"Artist"}));
}

TEST_F(PartsModel, AddPartCleansTheText)
{
    setOption("SplitSpaces", "1");
    session.AddPart("AC/DC");
    session.AddPart("My%20Song");
    EXPECT_EQ(session.parts().entries(), QStringList({"AC - DC", "My Song"}));
}

TEST_F(PartsModel, AddPartAppendsTextThatCleaningEmptiesOnce)
{
    setOption("Remove Parens", "1");
    session.AddPart("()");
    session.AddPart("( )");
    EXPECT_EQ(session.parts().entries(), QStringList({""}));
}

TEST_F(PartsModel, RebuildOffersNameFieldsAndFolder)
{
    name("Band-Song.mp3");
    host.field(FieldId::Artist) = "band";
    host.field(FieldId::Track) = "03";
    host.field(FieldId::Year) = "1999";
    host.field(FieldId::CopyRight) = "False";
    host.field(FieldId::UniqueKey) = "KEY123";
    host.field(FieldId::Tempo) = "0";
    host.folder = "/music/Best-Of/";
    session.RebuildPartsList();
    EXPECT_EQ(session.parts().entries(), QStringList({"Band", "Song", "03", "1999", "False", "Best", "Of"}));
    EXPECT_EQ(session.parts().currentIndex(), -1);
}

TEST_F(PartsModel, RebuildOffersFieldsInPanelOrderWithCopyrightBeforeComposer)
{
    name("");
    host.field(FieldId::Composer) = "Comp";
    host.field(FieldId::CopyRight) = "True";
    host.field(FieldId::Album) = "Alb";
    host.folder = "/music/Albums";
    session.RebuildPartsList();
    EXPECT_EQ(session.parts().entries(), QStringList({"Alb", "True", "Comp", "Albums"}));
}

TEST_F(PartsModel, RebuildLeavesNoTraceOfTheOldList)
{
    session.LoadNameParts("A-B.mp3");
    name("C.mp3");
    session.RebuildPartsList();
    EXPECT_EQ(session.parts().entries(), QStringList({"C"}));
}

TEST_F(PartsModel, TogglingRemovesAPartAndTidiesDashes)
{
    setOption("SplitSpaces", "1");
    const std::pair<QString, QString> cases[] = {{"B", "A - C.mp3"}, {"A", "B - C.mp3"}, {"C", "A - B.mp3"}};
    for (const auto& [part, expected] : cases) {
        name("A - B - C.mp3");
        session.parts().setEntries({"A", "B", "C"});
        session.parts().setCurrentIndex(session.parts().entries().indexOf(part));
        session.TogglePart();
        EXPECT_EQ(name(), expected) << part.toStdString();
        EXPECT_EQ(host.statuses.last(), "Selected File Part Removed");
    }
}

TEST_F(PartsModel, TogglingWithPlainDashSeparator)
{
    name("A-B-C.mp3");
    session.parts().setEntries({"B"});
    session.parts().setCurrentIndex(0);
    session.TogglePart();
    EXPECT_EQ(name(), "A-C.mp3");
}

TEST_F(PartsModel, TogglingInsertsAMissingPart)
{
    setOption("SplitSpaces", "1");
    name("A.mp3");
    session.parts().setEntries({" Live "});
    session.parts().setCurrentIndex(0);
    session.TogglePart();
    EXPECT_EQ(name(), "A - Live.mp3");
    EXPECT_EQ(host.statuses.last(), "Selected File Part Inserted");
    EXPECT_EQ(session.parts().entries(), QStringList({" Live "})); // the list is untouched
}

TEST_F(PartsModel, TogglingIntoEmptyAndOutOfSinglePart)
{
    setOption("SplitSpaces", "1");
    name("");
    session.parts().setEntries({"part"});
    session.parts().setCurrentIndex(0);
    session.TogglePart();
    EXPECT_EQ(name(), "part.mp3");
    session.parts().setEntries({"A"});
    session.parts().setCurrentIndex(0);
    name("A.mp3");
    session.TogglePart();
    EXPECT_EQ(name(), "");
}

TEST_F(PartsModel, TogglingMatchesInsideWordsIgnoringCase)
{
    setOption("SplitSpaces", "1");
    name("Artist - Title.mp3");
    session.parts().setEntries({"art"});
    session.parts().setCurrentIndex(0);
    session.TogglePart();
    EXPECT_EQ(name(), "ist - Title.mp3");
}

TEST_F(PartsModel, TogglingWithoutCurrentEntryDoesNothing)
{
    name("A.mp3");
    session.parts().setEntries({"A"});
    session.TogglePart();
    EXPECT_EQ(name(), "A.mp3");
    EXPECT_TRUE(host.statuses.isEmpty());
}

TEST_F(PartsModel, SelectPartKeepsTrimmedText)
{
    session.parts().setEntries({"  Live "});
    session.parts().setCurrentIndex(0);
    session.SelectPart();
    EXPECT_EQ(session.parts().SelectedPart(), "Live");
}

TEST(PartAtCursor, DashesBelongToTheLeftAndRightParts)
{
    const QString text = "A - B - C.mp3";
    EXPECT_EQ(PartAtCursor(text, 0), 0);
    EXPECT_EQ(PartAtCursor(text, 2), 0); // right before the first dash
    EXPECT_EQ(PartAtCursor(text, 3), 1); // right after it
    EXPECT_EQ(PartAtCursor(text, 8), 2);
    EXPECT_EQ(PartAtCursor(text, 9), 2);
    EXPECT_EQ(PartAtCursor(text, 10), -1);
    EXPECT_EQ(PartAtCursor(text, 13), -1);
    EXPECT_EQ(PartAtCursor("abc", 0), 0); // no period: one empty part
    EXPECT_EQ(PartAtCursor("abc", 1), -1);
}

TEST_F(PartsModel, PartAtCursorFollowsTheEditorCursor)
{
    name("Song - Live.mp3");
    session.editor().setCursor(9);
    EXPECT_EQ(session.PartAtCursor(), 1);
}
