#include "sessionfixture.h"

using Replay = SessionTest;

TEST_F(Replay, IndicatorFollowsRecordingStateAndSteps)
{
    const StepRecorder& r = session.recorder();
    EXPECT_EQ(r.editSteps(), QStringList({ "" }));
    EXPECT_FALSE(r.indicator().editRecordedVisible);
    session.recordStep("KeyPress:a"); // not recording: dropped
    session.setRecording(true);
    EXPECT_TRUE(r.indicator().checked);
    EXPECT_FALSE(r.indicator().editRecordedVisible);

    session.recordStep("KeyPress:b");
    session.setRecording(false);
    EXPECT_EQ(r.editSteps(), QStringList({ "KeyPress:b", "" }));
    EXPECT_FALSE(r.indicator().checked);
    EXPECT_TRUE(r.indicator().editRecordedVisible);

    // A new recording discards the old one; an empty one shows no indicator.
    session.setRecording(true);
    EXPECT_EQ(r.editSteps(), QStringList({ "" }));
    session.setRecording(false);
    EXPECT_FALSE(r.indicator().editRecordedVisible);
}

TEST_F(Replay, RecordsTypingKeysAndClicks)
{
    name("abc.mp3");
    session.setRecording(true);
    session.cursorClicked(2);
    session.keyPress("x");
    session.specialKey(NameKey::BackSpace);
    session.specialKey(NameKey::Right);
    session.specialKey(NameKey::Insert);
    session.cursorClicked(99);
    EXPECT_EQ(session.recorder().editSteps(),
        QStringList({ "CursorPosition:2", "KeyPress:x", "SpecialKey:{BackSpace}", "SpecialKey:{RIGHT}",
            "SpecialKey:{INSERT}", "CursorPosition:7", "" }));
    EXPECT_EQ(name(), "abc.mp3");
}

TEST_F(Replay, RepeatEditStopsRecordingAndReplaysOnAnotherNameRecordingNothing)
{
    name("abcdefg.mp3");
    session.setRecording(true);
    session.cursorClicked(4);
    session.keyPress("x");
    EXPECT_EQ(name(), "abcdxefg.mp3");
    name("hijklmn.mp3");
    session.repeatEdit();
    EXPECT_FALSE(session.recorder().recordingEdits());
    EXPECT_EQ(session.recorder().editSteps(), QStringList({ "CursorPosition:4", "KeyPress:x", "" }));
    EXPECT_EQ(name(), "hijkxlmn.mp3");
    EXPECT_EQ(host.renameStates, QList<bool>({ false, true }));
    EXPECT_EQ(host.focusRequests, 1);
    session.repeatEdit(); // steps stay for further replays
    EXPECT_EQ(name(), "hijkxxlmn.mp3");
}

TEST_F(Replay, NothingRecordedOnlyFocusesAndRebuilds)
{
    name("Band-Song.mp3");
    field(FieldId::Artist) = "Other";
    session.replaySteps();
    EXPECT_EQ(name(), "Band-Song.mp3");
    EXPECT_EQ(host.focusRequests, 1);
    EXPECT_EQ(session.parts().entries(), QStringList({ "Band", "Song", "Other" }));
}

TEST_F(Replay, EachStepKeywordOnItsName)
{
    const struct {
        const char* start;
        QStringList steps;
        const char* expected;
    } cases[] = {
        { "ab.mp3", { "KeyPress::", "KeyPress:+", "KeyPress:{END}" }, ":+{END}ab.mp3" }, // typed literally
        { "abcd.mp3", { "SpecialKey:{END}", "KeyPress:x" }, "abcd.mp3x" },
        { "abcd.mp3", { "SpecialKey:{HOME}", "SpecialKey:{RIGHT}", "SpecialKey:{DELETE}" }, "acd.mp3" },
        { "acd.mp3", { "SpecialKey:{RIGHT}", "SpecialKey:{BackSpace}" }, "cd.mp3" },
        { "cd.mp3", { "SpecialKey:{BackSpace}", "SpecialKey:{LEFT}", "SpecialKey:{INSERT}" },
            "cd.mp3" }, // at the start
        { "abc.mp3", { "CursorPosition:99", "KeyPress:x" }, "abc.mp3x" }, // clamped to the end
        { "abc.mp3", { "CursorPosition:2x", "KeyPress:x" }, "abxc.mp3" }, // read as a number
        { "abc.mp3", { "CursorPosition:2", "CursorPosition:abc", "KeyPress:x" }, "xabc.mp3" },
        { "Ab.mp3", { "CaseFileName:7", "CaseFileName:x" }, "Ab.mp3" },
        { "Ab.mp3", { "CaseFileName:1" }, "AB.mp3" },
        { "Ab.mp3", { "CaseFileName:2" }, "ab.mp3" },
        { "aB.mp3", { "CaseFileName:3" }, "Ab.mp3" },
        { "A.B - C.mp3", { "RemovePeriods:0", "RemoveSDS:0" }, "AB - C.mp3" }, // cursor 0: only double spaces
        { "AB - C.mp3", { "CursorPosition:3", "RemoveSDS:0" }, "AB C.mp3" },
        { "AB C.mp3", { "CursorPosition:2", "InsertSDS:0" }, "AB- C.mp3" },
        { "AB- C.mp3", { "CursorPosition:0", "AddRemoveParenthesis:0" }, "(AB)-C.mp3" },
        { "ab.mp3", { "", ":", "Unknown:1", "keypress:z", "KeyPress", "PartsListClick" }, "ab.mp3" },
    };
    for (const auto& c : cases) {
        name(c.start);
        for (const QString& step : c.steps)
            session.runStep(step);
        EXPECT_EQ(name(), c.expected) << c.start << ' ' << c.steps.join('|').toStdString();
    }
}

TEST_F(Replay, BackSpaceAndDeleteRemoveTheSelection)
{
    name("abcd.mp3");
    session.editor().setSelection(1, 2);
    session.runStep("SpecialKey:{BackSpace}");
    EXPECT_EQ(name(), "ad.mp3");
    session.editor().setSelection(0, 2);
    session.runStep("SpecialKey:{DELETE}");
    EXPECT_EQ(name(), ".mp3");
}

TEST_F(Replay, FieldAndSyncKeywordsAndSongIsNotAField)
{
    for (const char* step : { "Artist:Band: Live", "Total Tracks:12", "Copyright:True", "Song:Tune", "artist:lower" })
        session.runStep(step);
    EXPECT_EQ(field(FieldId::Artist), "Band: Live");
    EXPECT_EQ(field(FieldId::TotalTracks), "12");
    EXPECT_EQ(field(FieldId::CopyRight), "True");
    EXPECT_EQ(field(FieldId::Title), "");

    useMask("Artist - Title.mp3");
    name("Band-Song.mp3");
    session.runStep("UpdateInternal:0");
    EXPECT_EQ(field(FieldId::Title), "Song");
    field(FieldId::Title) = "Other";
    session.runStep("SyncWithInternals:0");
    EXPECT_EQ(name(), "Band-Other.mp3");
}

TEST(NameEditor, MirroredStateNotifiesOnlyWhatChanged)
{
    NameEditor editor;
    int texts = 0, cursors = 0;
    QObject::connect(&editor, &NameEditor::textChanged, [&] { ++texts; });
    QObject::connect(&editor, &NameEditor::cursorChanged, [&] { ++cursors; });
    editor.setState("abc.mp3", 3, 9);
    EXPECT_EQ(texts, 1);
    EXPECT_EQ(editor.cursor(), 3);
    EXPECT_EQ(editor.selectionLength(), 4);
    editor.setState("abc.mp3", 1, 0);
    EXPECT_EQ(texts, 1);
    EXPECT_EQ(cursors, 1);
    editor.setText("abc.mp3"); // a whole-text assignment always notifies
    EXPECT_EQ(texts, 2);
    EXPECT_EQ(editor.cursor(), 0);
}

TEST_F(Replay, PartsListClickTogglesMatchingPartAndSkipsMissingOne)
{
    setOption("SplitSpaces", "1");
    name("Band - Live - Song.mp3");
    session.setRecording(true);
    session.parts().setEntries({ "Band", "Live", "Song" });
    session.parts().setCurrentIndex(1);
    session.togglePart();
    session.cursorClicked(0);
    session.keyPress("X");
    session.setRecording(false);
    EXPECT_EQ(name(), "XBand - Song.mp3");

    // The next file has no "Live" part: the click is skipped, typing still happens.
    for (const auto& [file, expected] :
        { std::pair { "Other - Tune.mp3", "XOther - Tune.mp3" }, std::pair { "Live - Tune.mp3", "XTune.mp3" },
            std::pair { "Live - Tune.flac", "XTune.flac" }, std::pair { "Other - Live.Opus", "XOther.opus" } }) {
        session.loadNameParts(file);
        session.rebuildPartsList();
        session.repeatEdit();
        EXPECT_EQ(name(), expected);
    }
}

TEST_F(Replay, CommandsReplayedKeepEachFilesOwnExtension)
{
    setOption("SplitSpaces", "1");
    session.loadNameParts("a.b - live.mp3");
    session.setRecording(true);
    session.removePeriods();
    session.caseFileName(NameCase::Title);
    session.cursorClicked(6);
    session.addRemoveParenthesis();
    session.setRecording(false);
    EXPECT_EQ(name(), "Ab - (Live).mp3");
    for (const auto& [file, expected] :
        { std::pair { "c.d - now.flac", "Cd - (Now).flac" }, std::pair { "e - f.g.OGA", "E - (Fg).oga" },
            std::pair { "h.i.m4a", "Hi.m4a" } }) { // the cursor behind every part
        session.loadNameParts(file);
        session.replaySteps();
        EXPECT_EQ(name(), QString(expected));
    }
}

TEST_F(Replay, PartsListClickSeesPartsRebuiltAfterEachStep)
{
    setOption("SplitSpaces", "1");
    // A field corrected by hand, then the part it offers clicked into the name.
    session.setRecording(true);
    session.recordStep("Artist:Band");
    session.recordStep("PartsListClick:Band");
    session.setRecording(false);
    name("Song.mp3");
    session.rebuildPartsList();
    ASSERT_EQ(session.parts().entries(), QStringList({ "Song" }));
    session.replaySteps();
    EXPECT_EQ(name(), "Song - Band.mp3");
}

TEST_F(Replay, SyncOptionZeroReassignsFieldsAfterEveryReplayedChange)
{
    setOption("SyncOption", "0");
    useMask("Artist - Title.mp3");
    name("Band - So.mp3");
    session.setRecording(true);
    session.cursorClicked(9);
    session.keyPress("n");
    session.keyPress("g");
    session.setRecording(false);

    // Every typed character re-assigns the fields: the steps' own field
    // records replay too, but each keystroke already updated the Title.
    host.assignments.clear();
    name("Crew - Tu.mp3");
    session.replaySteps();
    EXPECT_EQ(name(), "Crew - Tung.mp3");
    EXPECT_TRUE(host.assignments.contains({ FieldId::Title, "Tun" }));
    EXPECT_EQ(field(FieldId::Title), "Tung");
    EXPECT_EQ(field(FieldId::Artist), "Crew");
}
