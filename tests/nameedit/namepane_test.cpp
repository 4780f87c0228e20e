// The name editor's controls wired to its session: typing, clicks and keys
// reach the session, and what the session changes shows. The rules behind
// them are the session's own tests.
#include "nameedit/ui/namepane.h"

#include "nameedit/ui/partslistview.h"
#include "platform/fakes/scriptedprompter.h"
#include "sessionfixture.h"

#include <QApplication>
#include <QCheckBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

namespace {

class NamePaneTest : public SessionTest {
protected:
    void press(int key, const QString& text = QString(), Qt::KeyboardModifiers mods = Qt::NoModifier)
    {
        QKeyEvent event(QEvent::KeyPress, key, mods, text);
        QApplication::sendEvent(pane.newName(), &event);
    }

    ScriptedPrompter prompter;
    NamePane pane { session, prompter };
};

TEST_F(NamePaneTest, TypingAndKeysGoThroughTheSessionAndItsChangesShow)
{
    name(QStringLiteral("Abc"));
    EXPECT_EQ(pane.newName()->text(), QStringLiteral("Abc")); // the session's text shows
    session.editor().setCursor(3);
    press(Qt::Key_D, QStringLiteral("d"));
    EXPECT_EQ(name(), QStringLiteral("Abcd"));
    EXPECT_EQ(pane.newName()->text(), QStringLiteral("Abcd"));
    press(Qt::Key_Backspace);
    press(Qt::Key_Backspace);
    EXPECT_EQ(name(), QStringLiteral("Ab"));
    // Undo is the session's name history, not the box's own.
    press(Qt::Key_Z, QString(), Qt::ControlModifier);
    EXPECT_EQ(name(), QStringLiteral("Abc"));
    EXPECT_EQ(pane.newName()->text(), QStringLiteral("Abc"));

    // A change the box makes itself (a paste) is taken whole.
    pane.newName()->setText(QStringLiteral("Pasted"));
    emit pane.newName()->textEdited(QStringLiteral("Pasted"));
    EXPECT_EQ(name(), QStringLiteral("Pasted"));

    // Commands run on the session, and their result shows.
    name(QStringLiteral("pasted.mp3"));
    pane.run(NamePane::Command::UpperCase);
    EXPECT_NE(name(), QStringLiteral("pasted.mp3"));
    EXPECT_EQ(pane.newName()->text(), name());
}

TEST_F(NamePaneTest, PartsMasksAndRecordingFollowTheirControls)
{
    offer({ QStringLiteral("Artist"), QStringLiteral("Title") });
    ASSERT_EQ(pane.partsList()->count(), 2);
    EXPECT_EQ(pane.partsList()->item(1)->text(), QStringLiteral("Title"));
    name(QString());
    emit pane.partsList()->itemDoubleClicked(pane.partsList()->item(1));
    EXPECT_EQ(session.parts().currentIndex(), 1);
    EXPECT_TRUE(name().contains(QStringLiteral("Title")));

    session.formats().setMasks({ QStringLiteral("Artist - Title.mp3"), QStringLiteral("Title.mp3") });
    ASSERT_EQ(pane.formatList()->count(), 2);
    pane.formatList()->setCurrentRow(1);
    EXPECT_EQ(session.formats().currentIndex(), 1);

    auto* recorded = pane.findChild<QLabel*>(QStringLiteral("EditRecorded"));
    ASSERT_NE(recorded, nullptr);
    pane.recordEditing()->click();
    EXPECT_TRUE(session.recorder().recordingEdits());
    pane.run(NamePane::Command::LowerCase);
    pane.recordEditing()->click();
    EXPECT_FALSE(session.recorder().recordingEdits());
    EXPECT_FALSE(recorded->isHidden()); // steps were recorded: F11 repeats them
}

TEST_F(NamePaneTest, WithoutAFileTheControlsAreOffAndTheNameIsEmptied)
{
    int renames = 0;
    QObject::connect(&pane, &NamePane::renameRequested, [&renames] { ++renames; });
    pane.setFileControlsEnabled(true);
    pane.renameButton()->click();
    EXPECT_EQ(renames, 1);

    name(QStringLiteral("Song"));
    offer({ QStringLiteral("Song") });
    pane.setFileControlsEnabled(false);
    EXPECT_EQ(pane.newName()->text(), QString());
    EXPECT_EQ(pane.partsList()->count(), 0);
    EXPECT_FALSE(pane.newName()->isEnabled());
    EXPECT_FALSE(pane.renameButton()->isEnabled());
    pane.renameButton()->click();
    EXPECT_EQ(renames, 1);
}

} // namespace
