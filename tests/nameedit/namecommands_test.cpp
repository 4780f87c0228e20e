#include "sessionfixture.h"

using NameCommands = SessionTest;

TEST_F(NameCommands, CaseFileNameWritesMp3ExtensionAndRecordsItsModeNumber)
{
    session.setRecording(true);
    name("abc.MP3");
    session.caseFileName(NameCase::Upper);
    EXPECT_EQ(name(), "ABC.mp3");
    session.caseFileName(NameCase::Lower);
    EXPECT_EQ(name(), "abc.mp3");
    session.caseFileName(NameCase::Unchanged); // nothing done, nothing recorded
    EXPECT_EQ(name(), "abc.mp3");
    name("the band - (live).ogg");
    session.caseFileName(NameCase::Title);
    EXPECT_EQ(name(), "The Band - (Live).mp3");
    EXPECT_EQ(
        session.recorder().editSteps(), QStringList({ "CaseFileName:1", "CaseFileName:2", "CaseFileName:3", "" }));
}

TEST_F(NameCommands, RemovePeriodsKeepsOnlyTheExtension)
{
    name("A.B.C. Song.mp3");
    session.removePeriods();
    EXPECT_EQ(name(), "ABC Song.mp3");
    name("abc");
    session.removePeriods();
    EXPECT_EQ(name(), ".mp3");
}

TEST_F(NameCommands, InsertSDSTypesTheSeparatorOverTheSelection)
{
    setOption("SplitSpaces", "1");
    name("Artist Title.mp3");
    session.editor().setCursor(6);
    session.insertSDS();
    // "Artist" + " - " + " Title": the doubled space collapses, cursor to 0.
    EXPECT_EQ(name(), "Artist - Title.mp3");
    EXPECT_EQ(session.editor().cursor(), 0);

    setOption("SplitSpaces", "0");
    name("AxB.mp3");
    session.editor().setSelection(1, 1);
    session.insertSDS();
    EXPECT_EQ(name(), "A-B.mp3");
    EXPECT_EQ(session.editor().cursor(), 2);

    session.setRecording(true);
    name("  ");
    session.insertSDS(); // blank name: nothing
    EXPECT_EQ(name(), "  ");
    EXPECT_EQ(session.recorder().stepCount(), 0);
}

TEST_F(NameCommands, RemoveSDSDeletesTheDashAfterTheCursorAndCollapsesSpaces)
{
    const struct {
        const char *start, *expected;
        int cursor, selection, cursorAfter;
    } cases[] = {
        { "A - B.mp3", "A B.mp3", 2, 0, -1 },
        { "A-B.mp3", "AB.mp3", 1, 0, 1 }, // no spaces collapse: the cursor stays
        { "A  B - C.mp3", "A B - C.mp3", 0, 0, -1 }, // before a letter: only spaces collapse
        { "A-B.mp3", "A-B.mp3", 0, 2, -1 },
    };
    for (const auto& c : cases) {
        name(c.start);
        session.editor().setSelection(c.cursor, c.selection);
        session.removeSDS();
        EXPECT_EQ(name(), c.expected) << c.start;
        EXPECT_EQ(session.editor().selectionLength(), 0) << c.start;
        if (c.cursorAfter >= 0) {
            EXPECT_EQ(session.editor().cursor(), c.cursorAfter) << c.start;
        }
    }
}

TEST_F(NameCommands, AddRemoveParenthesisTogglesThePartUnderTheCursor)
{
    const struct {
        const char *split, *start;
        int cursor;
        const char* expected;
    } cases[] = {
        { "1", "Song - Live.mp3", 9, "Song - (Live).mp3" },
        { "1", "Song - (Live).mp3", 9, "Song - Live.mp3" },
        { "1", "Song - ( Live Now ).mp3", 8, "Song - Live Now.mp3" },
        { "1", "A-B.mp3", 7, "A - B.mp3" }, // behind ".mp3": no part, separators still normalised
        { "0", "abc", 2, ".mp3" },
        // Nothing before the extension: no part to wrap, wherever the cursor.
        { "0", "abc", 0, ".mp3" },
        { "1", ".mp3", 0, ".mp3" },
        { "1", "   .mp3", 1, ".mp3" },
    };
    for (const auto& c : cases) {
        setOption("SplitSpaces", c.split);
        name(c.start);
        session.editor().setCursor(c.cursor);
        session.addRemoveParenthesis();
        EXPECT_EQ(name(), c.expected) << c.start;
        EXPECT_EQ(session.editor().cursor(), c.cursor) << c.start;
    }
}

TEST_F(NameCommands, CommandsKeepTheLoadedFilesOwnExtension)
{
    setOption("SplitSpaces", "1");
    // One session, so that the MP3 file last shows a new load resets it.
    for (const auto& [file, extension] :
        { std::pair { "Band - a.b.FLAC", ".flac" }, std::pair { "Band - a.b.opus", ".opus" },
            std::pair { "Band - a.b.m4a", ".m4a" }, std::pair { "Band - a.b.mp3", ".mp3" } }) {
        session.loadNameParts(file);
        EXPECT_EQ(name(), QString("Band - A.B") + extension);
        name("Band - a.b.wav"); // typed over: the file's extension still comes back
        session.removePeriods();
        EXPECT_EQ(name(), QString("Band - ab") + extension);
        session.caseFileName(NameCase::Upper);
        EXPECT_EQ(name(), QString("BAND - AB") + extension);
        session.editor().setCursor(8);
        session.addRemoveParenthesis();
        EXPECT_EQ(name(), QString("BAND - (AB)") + extension);
    }
}

TEST_F(NameCommands, CommandsRecordTheirSteps)
{
    name("A - B.mp3");
    offer({ " B " });
    session.setRecording(true);
    session.removePeriods();
    session.insertSDS();
    session.removeSDS();
    session.addRemoveParenthesis();
    session.togglePart();
    EXPECT_EQ(session.recorder().editSteps(),
        QStringList(
            { "RemovePeriods:0", "InsertSDS:0", "RemoveSDS:0", "AddRemoveParenthesis:0", "PartsListClick:B", "" }));
}
