#include "sessionfixture.h"

using NameCommands = SessionTest;

TEST_F(NameCommands, CaseFileNameAlwaysWritesMp3Extension)
{
    name("abc.MP3");
    session.CaseFileName("UC");
    EXPECT_EQ(name(), "ABC.mp3");
    session.CaseFileName("LC");
    EXPECT_EQ(name(), "abc.mp3");
    name("the band - (live).ogg");
    session.CaseFileName("TC");
    EXPECT_EQ(name(), "The Band - (Live).mp3");
}

TEST_F(NameCommands, CaseFileNameWithUnknownModeDoesNothingAndRecordsNothing)
{
    session.setRecording(true);
    name("abc.mp3");
    session.CaseFileName("XX");
    EXPECT_EQ(name(), "abc.mp3");
    EXPECT_EQ(session.recorder().stepCount(), 0);
}

TEST_F(NameCommands, CaseFileNameRecordsItsModeNumber)
{
    session.setRecording(true);
    name("abc.mp3");
    session.CaseFileName("UC");
    session.CaseFileName("LC");
    session.CaseFileName("TC");
    EXPECT_EQ(session.recorder().EditSteps(),
              QStringList({"CaseFileName:1", "CaseFileName:2", "CaseFileName:3", ""}));
}

TEST_F(NameCommands, RemovePeriodsKeepsOnlyTheExtension)
{
    name("A.B.C. Song.mp3");
    session.RemovePeriods();
    EXPECT_EQ(name(), "ABC Song.mp3");
    name("abc");
    session.RemovePeriods();
    EXPECT_EQ(name(), ".mp3");
}

TEST_F(NameCommands, InsertSDSTypesSeparatorAndCollapsesDoubleSpaces)
{
    setOption("SplitSpaces", "1");
    name("Artist Title.mp3");
    session.editor().setCursor(6);
    session.InsertSDS();
    // "Artist" + " - " + " Title": the doubled space collapses, cursor to 0.
    EXPECT_EQ(name(), "Artist - Title.mp3");
    EXPECT_EQ(session.editor().cursor(), 0);
}

TEST_F(NameCommands, InsertSDSReplacesSelectionAndMovesCursorBehind)
{
    name("AxB.mp3");
    session.editor().setSelection(1, 1);
    session.InsertSDS();
    EXPECT_EQ(name(), "A-B.mp3");
    EXPECT_EQ(session.editor().cursor(), 2);
}

TEST_F(NameCommands, InsertSDSOnBlankNameDoesNothing)
{
    session.setRecording(true);
    name("  ");
    session.InsertSDS();
    EXPECT_EQ(name(), "  ");
    EXPECT_EQ(session.recorder().stepCount(), 0);
}

TEST_F(NameCommands, RemoveSDSDeletesDashAfterCursor)
{
    name("A - B.mp3");
    session.editor().setCursor(2);
    session.RemoveSDS();
    EXPECT_EQ(name(), "A B.mp3");
    EXPECT_EQ(session.editor().selectionLength(), 0);
}

TEST_F(NameCommands, RemoveSDSKeepsCursorWhenNoSpacesCollapse)
{
    name("A-B.mp3");
    session.editor().setCursor(1);
    session.RemoveSDS();
    EXPECT_EQ(name(), "AB.mp3");
    EXPECT_EQ(session.editor().cursor(), 1);
}

TEST_F(NameCommands, RemoveSDSBeforeALetterOnlyCollapsesSpaces)
{
    name("A  B - C.mp3");
    session.editor().setCursor(0);
    session.RemoveSDS();
    EXPECT_EQ(name(), "A B - C.mp3");
    name("A-B.mp3");
    session.editor().setSelection(0, 2);
    session.RemoveSDS();
    EXPECT_EQ(name(), "A-B.mp3");
    EXPECT_EQ(session.editor().selectionLength(), 0);
}

TEST_F(NameCommands, AddRemoveParenthesisTogglesPartUnderCursor)
{
    setOption("SplitSpaces", "1");
    name("Song - Live.mp3");
    session.editor().setCursor(9);
    session.AddRemoveParenthesis();
    EXPECT_EQ(name(), "Song - (Live).mp3");
    EXPECT_EQ(session.editor().cursor(), 9);
    session.AddRemoveParenthesis();
    EXPECT_EQ(name(), "Song - Live.mp3");
    EXPECT_EQ(session.editor().cursor(), 9);
}

TEST_F(NameCommands, AddRemoveParenthesisUnwrapsSpacedParentheses)
{
    setOption("SplitSpaces", "1");
    name("Song - ( Live Now ).mp3");
    session.editor().setCursor(8);
    session.AddRemoveParenthesis();
    EXPECT_EQ(name(), "Song - Live Now.mp3");
}

TEST_F(NameCommands, AddRemoveParenthesisNormalisesSeparatorsAnyway)
{
    setOption("SplitSpaces", "1");
    name("A-B.mp3");
    session.editor().setCursor(7); // behind ".mp3": no part
    session.AddRemoveParenthesis();
    EXPECT_EQ(name(), "A - B.mp3");
    EXPECT_EQ(session.editor().cursor(), 7);
}

TEST_F(NameCommands, AddRemoveParenthesisWithoutPeriodGivesBareExtension)
{
    name("abc");
    session.editor().setCursor(2);
    session.AddRemoveParenthesis();
    EXPECT_EQ(name(), ".mp3");
    EXPECT_EQ(session.editor().cursor(), 2);
}

TEST_F(NameCommands, CommandsRecordTheirSteps)
{
    name("A - B.mp3");
    session.setRecording(true);
    session.RemovePeriods();
    session.InsertSDS();
    session.RemoveSDS();
    session.AddRemoveParenthesis();
    EXPECT_EQ(session.recorder().EditSteps(),
              QStringList({"RemovePeriods:0", "InsertSDS:0", "RemoveSDS:0", "AddRemoveParenthesis:0", ""}));
}

TEST_F(NameCommands, ToggleRecordsTheTrimmedPart)
{
    name("A.mp3");
    session.parts().setEntries({" B "});
    session.parts().setCurrentIndex(0);
    session.setRecording(true);
    session.TogglePart();
    EXPECT_EQ(session.recorder().EditSteps(), QStringList({"PartsListClick:B", ""}));
}
