#include "sessionfixture.h"

using NameHistory = SessionTest;

TEST_F(NameHistory, UndoAndRedoStepThroughEveryChangeAndThePartsFollow)
{
    setOption("SyncOption", "2");
    session.loadNameParts("aaa-bbb.mp3");
    EXPECT_FALSE(session.canUndoName()) << "a loaded name is where the history starts";
    QStringList seen { name() };

    session.editor().end();
    session.specialKey(NameKey::Left); // cursor moves are no change
    const int firstCursor = session.editor().cursor();
    session.keyPress("x"); // typing
    seen << name();
    session.caseFileName(NameCase::Upper); // casing key
    seen << name();
    offer({ "Aaa" });
    session.togglePart(); // part command
    seen << name();
    session.editor().setCursor(3);
    session.insertSDS(); // two changes inside, one step
    seen << name();
    session.setRecording(true);
    session.keyPress("q");
    seen << name();
    session.keyPress("r");
    seen << name();
    session.setRecording(false);
    session.editor().setText("Zed-Yo.mp3"); // as a paste does
    seen << name();
    session.editor().setCursor(0);
    session.repeatEdit(); // replay of two key presses, one step
    seen << name();
    ASSERT_EQ(name(), "qrZed-Yo.mp3");

    // Back through everything, cursor where it stood before each change.
    for (int i = int(seen.size()) - 2; i >= 0; --i) {
        ASSERT_TRUE(session.undoName()) << i;
        EXPECT_EQ(name(), seen[i]) << i;
    }
    EXPECT_FALSE(session.undoName());
    EXPECT_EQ(session.editor().cursor(), firstCursor);
    const QStringList parts = session.parts().entries();
    EXPECT_NE(parts, QStringList({ "Aaa" })) << "the list offered before was rebuilt";
    session.rebuildPartsList();
    EXPECT_EQ(session.parts().entries(), parts) << "the parts list follows the name";

    for (int i = 1; i < seen.size(); ++i) {
        ASSERT_TRUE(session.redoName()) << i;
        EXPECT_EQ(name(), seen[i]) << i;
    }
    EXPECT_FALSE(session.redoName());

    // A new change after an undo drops what could be redone.
    session.undoName();
    session.keyPress("n");
    EXPECT_FALSE(session.canRedoName());
    session.undoName();
    EXPECT_EQ(name(), seen[seen.size() - 2]);

    // Undo is not an edit step.
    session.setRecording(true);
    session.undoName();
    EXPECT_EQ(session.recorder().editSteps(), QStringList({ "" }));
}

TEST_F(NameHistory, CursorReturnsToWhereItStoodBeforeTheChange)
{
    name("abcdef.mp3");
    session.resetNameHistory();
    session.editor().setCursor(3);
    session.keyPress("x");
    session.keyPress("y");
    session.undoName();
    EXPECT_EQ(name(), "abcxdef.mp3");
    EXPECT_EQ(session.editor().cursor(), 4);
    session.undoName();
    EXPECT_EQ(session.editor().cursor(), 3);
    session.redoName();
    EXPECT_EQ(session.editor().cursor(), 4) << "redo puts the cursor back too";
}
