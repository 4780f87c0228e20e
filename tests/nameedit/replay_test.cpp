#include "sessionfixture.h"

using Replay = SessionTest;

TEST_F(Replay, RecorderStartsIdleWithOneEmptySlot)
{
    const StepRecorder& r = session.recorder();
    EXPECT_FALSE(r.RecordingEdits());
    EXPECT_EQ(r.EditSteps(), QStringList({""}));
    const RecordingIndicator ind = r.indicator();
    EXPECT_EQ(ind.caption, "Not Recording");
    EXPECT_FALSE(ind.checked);
    EXPECT_FALSE(ind.editRecordedVisible);
}

TEST_F(Replay, RecordStepOnlyWhileRecording)
{
    session.RecordStep("KeyPress:a");
    EXPECT_EQ(session.recorder().EditSteps(), QStringList({""}));
    session.setRecording(true);
    session.RecordStep("KeyPress:a");
    session.RecordStep("KeyPress:b");
    EXPECT_EQ(session.recorder().EditSteps(), QStringList({"KeyPress:a", "KeyPress:b", ""}));
}

TEST_F(Replay, IndicatorFollowsRecordingState)
{
    session.setRecording(true);
    RecordingIndicator ind = session.recorder().indicator();
    EXPECT_TRUE(ind.checked);
    EXPECT_EQ(ind.caption, "Recording Edits");
    EXPECT_EQ(QList<int>({ind.red, ind.green, ind.blue}), QList<int>({255, 0, 0}));
    EXPECT_EQ(ind.toolTip, "Recording Edit Steps, Click To Finish Recording");
    EXPECT_FALSE(ind.editRecordedVisible);

    session.RecordStep("RemovePeriods:0");
    session.setRecording(false);
    ind = session.recorder().indicator();
    EXPECT_FALSE(ind.checked);
    EXPECT_EQ(ind.caption, "Not Recording");
    EXPECT_EQ(QList<int>({ind.red, ind.green, ind.blue}), QList<int>({64, 64, 64}));
    EXPECT_EQ(ind.toolTip, "Not Recording Edit Steps, Click To Start Recording");
    EXPECT_TRUE(ind.editRecordedVisible);
}

TEST_F(Replay, NewRecordingDiscardsOldOneAndEmptyRecordingShowsNoIndicator)
{
    session.setRecording(true);
    session.RecordStep("RemovePeriods:0");
    session.setRecording(false);
    session.setRecording(true);
    EXPECT_EQ(session.recorder().EditSteps(), QStringList({""}));
    EXPECT_FALSE(session.recorder().indicator().editRecordedVisible);
    session.setRecording(false);
    EXPECT_FALSE(session.recorder().indicator().editRecordedVisible);
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
    EXPECT_EQ(session.recorder().EditSteps(),
              QStringList({"CursorPosition:2", "KeyPress:x", "SpecialKey:{BackSpace}", "SpecialKey:{RIGHT}",
                           "SpecialKey:{INSERT}", "CursorPosition:7", ""}));
    EXPECT_EQ(name(), "abc.mp3");
}

TEST_F(Replay, CursorAndKeyPressReplayOnAnotherName)
{
    name("abcdefg.mp3");
    session.setRecording(true);
    session.cursorClicked(4);
    session.keyPress("x");
    EXPECT_EQ(name(), "abcdxefg.mp3");
    session.setRecording(false);

    name("hijklmn.mp3");
    session.RepeatEdit();
    EXPECT_EQ(name(), "hijkxlmn.mp3");
    EXPECT_EQ(host.renameStates, QList<bool>({false, true}));
    EXPECT_EQ(host.focusRequests, 1);
}

TEST_F(Replay, RepeatEditStopsRecordingFirstAndRecordsNothing)
{
    name("ab.mp3");
    session.setRecording(true);
    session.keyPress("z");
    name("cd.mp3");
    session.RepeatEdit();
    EXPECT_FALSE(session.recorder().RecordingEdits());
    EXPECT_EQ(session.recorder().EditSteps(), QStringList({"KeyPress:z", ""}));
    EXPECT_EQ(name(), "zcd.mp3");
    session.RepeatEdit(); // steps stay for further replays
    EXPECT_EQ(name(), "zzcd.mp3");
}

TEST_F(Replay, NothingRecordedOnlyFocusesAndRebuilds)
{
    name("Band-Song.mp3");
    host.field(FieldId::Artist) = "Other";
    session.ReplaySteps();
    EXPECT_EQ(name(), "Band-Song.mp3");
    EXPECT_EQ(host.focusRequests, 1);
    EXPECT_EQ(session.parts().entries(), QStringList({"Band", "Song", "Other"}));
}

TEST_F(Replay, KeyPressTypesItsArgumentLiterally)
{
    name("ab.mp3");
    session.runStep("KeyPress::");
    session.runStep("KeyPress:+");
    session.runStep("KeyPress:{END}");
    EXPECT_EQ(name(), ":+{END}ab.mp3");
}

TEST_F(Replay, SpecialKeysMoveAndDelete)
{
    name("abcd.mp3");
    session.runStep("SpecialKey:{END}");
    EXPECT_EQ(session.editor().cursor(), 8);
    session.runStep("SpecialKey:{HOME}");
    session.runStep("SpecialKey:{RIGHT}");
    session.runStep("SpecialKey:{DELETE}");
    EXPECT_EQ(name(), "acd.mp3");
    session.runStep("SpecialKey:{BackSpace}");
    EXPECT_EQ(name(), "cd.mp3");
    session.runStep("SpecialKey:{BackSpace}"); // at the start: nothing
    session.runStep("SpecialKey:{LEFT}");
    session.runStep("SpecialKey:{INSERT}");
    EXPECT_EQ(name(), "cd.mp3");
    EXPECT_EQ(session.editor().cursor(), 0);
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

TEST_F(Replay, CursorPositionIsClampedAndReadAsNumber)
{
    name("abc.mp3");
    session.runStep("CursorPosition:99");
    EXPECT_EQ(session.editor().cursor(), 7);
    session.runStep("CursorPosition:2x");
    EXPECT_EQ(session.editor().cursor(), 2);
    session.runStep("CursorPosition:abc");
    EXPECT_EQ(session.editor().cursor(), 0);
}

TEST_F(Replay, CaseFileNameNumbers)
{
    name("Ab.mp3");
    session.runStep("CaseFileName:7");
    session.runStep("CaseFileName:x");
    EXPECT_EQ(name(), "Ab.mp3");
    session.runStep("CaseFileName:1");
    EXPECT_EQ(name(), "AB.mp3");
    session.runStep("CaseFileName:2");
    EXPECT_EQ(name(), "ab.mp3");
    session.runStep("CaseFileName:3");
    EXPECT_EQ(name(), "Ab.mp3");
}

TEST_F(Replay, CommandKeywordsRunTheirCommands)
{
    name("A.B - C.mp3");
    session.runStep("RemovePeriods:0");
    EXPECT_EQ(name(), "AB - C.mp3");
    session.runStep("RemoveSDS:0"); // cursor 0: only double spaces
    session.runStep("CursorPosition:3");
    session.runStep("RemoveSDS:0");
    EXPECT_EQ(name(), "AB C.mp3");
    session.runStep("CursorPosition:2");
    session.runStep("InsertSDS:0");
    EXPECT_EQ(name(), "AB- C.mp3");
    session.runStep("CursorPosition:0");
    session.runStep("AddRemoveParenthesis:0");
    EXPECT_EQ(name(), "(AB)-C.mp3");
}

TEST_F(Replay, FieldKeywordsSetFieldsAndSongIsNotOne)
{
    session.runStep("Artist:Band: Live");
    session.runStep("Total Tracks:12");
    session.runStep("Copyright:True");
    session.runStep("Song:Tune");
    session.runStep("artist:lower");
    EXPECT_EQ(host.field(FieldId::Artist), "Band: Live");
    EXPECT_EQ(host.field(FieldId::TotalTracks), "12");
    EXPECT_EQ(host.field(FieldId::CopyRight), "True");
    EXPECT_EQ(host.field(FieldId::Title), "");
}

TEST_F(Replay, SyncKeywordsRunTheMaskOperations)
{
    useMask("Artist - Title.mp3");
    name("Band-Song.mp3");
    session.runStep("UpdateInternal:0");
    EXPECT_EQ(host.field(FieldId::Title), "Song");
    host.field(FieldId::Title) = "Other";
    session.runStep("SyncWithInternals:0");
    EXPECT_EQ(name(), "Band-Other.mp3");
}

TEST_F(Replay, UnknownAndEmptyKeywordsDoNothing)
{
    name("ab.mp3");
    host.field(FieldId::Artist) = "x";
    for (const char* step : {"", ":", "Unknown:1", "keypress:z", "KeyPress", "PartsListClick"})
        session.runStep(step);
    EXPECT_EQ(name(), "ab.mp3");
    EXPECT_EQ(host.field(FieldId::Artist), "x");
}

TEST_F(Replay, PartsListClickTogglesMatchingPartAndSkipsMissingOne)
{
    setOption("SplitSpaces", "1");
    name("Band - Live - Song.mp3");
    session.setRecording(true);
    session.parts().setEntries({"Band", "Live", "Song"});
    session.parts().setCurrentIndex(1);
    session.TogglePart();
    session.cursorClicked(0);
    session.keyPress("X");
    session.setRecording(false);
    EXPECT_EQ(name(), "XBand - Song.mp3");

    // The next file has no "Live" part: the click is skipped, typing still happens.
    session.LoadNameParts("Other - Tune.mp3");
    session.RebuildPartsList();
    session.RepeatEdit();
    EXPECT_EQ(name(), "XOther - Tune.mp3");

    session.LoadNameParts("Live - Tune.mp3");
    session.RebuildPartsList();
    session.RepeatEdit();
    EXPECT_EQ(name(), "XTune.mp3");
}

TEST_F(Replay, PartsListClickSeesPartsRebuiltAfterEachStep)
{
    setOption("SplitSpaces", "1");
    // A field corrected by hand, then the part it offers clicked into the name.
    session.setRecording(true);
    session.RecordStep("Artist:Band");
    session.RecordStep("PartsListClick:Band");
    session.setRecording(false);
    name("Song.mp3");
    session.RebuildPartsList();
    ASSERT_EQ(session.parts().entries(), QStringList({"Song"}));
    session.ReplaySteps();
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
    EXPECT_EQ(host.field(FieldId::Title), "Song");

    // Every typed character re-assigns the fields: the steps' own field
    // records replay too, but each keystroke already updated the Title.
    QStringList titles;
    host.assignments.clear();
    name("Crew - Tu.mp3");
    session.ReplaySteps();
    for (const auto& [field, text] : host.assignments)
        if (field == FieldId::Title)
            titles << text;
    EXPECT_EQ(name(), "Crew - Tung.mp3");
    EXPECT_TRUE(titles.contains("Tun"));
    EXPECT_EQ(host.field(FieldId::Title), "Tung");
    EXPECT_EQ(host.field(FieldId::Artist), "Crew");
}
