// The Edit menu, the desktop's usual keys, and undo of the new name and of
// the last tag save or removal through the main window.
#include "windowfixture.h"

#include <QAction>

namespace {

class UndoTest : public WindowTest {
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        addTagged(QStringLiteral("aaa-bbb.mp3"), QStringLiteral("Someone"), QStringLiteral("Old Title"));
        open();
        window->setUndoFolder(dir.path() + QStringLiteral("/undo"));
        select(QStringLiteral("aaa-bbb.mp3"));
    }
    QAction* action(const char* name) const { return window->action(QLatin1String(name)); }
};

} // namespace

TEST_F(UndoTest, CtrlZAndCtrlShiftZInTheNewNameStepThroughItsTexts)
{
    const QString loaded = newNameText();
    window->show();
    window->activateWindow();
    QApplication::setActiveWindow(window.get());
    newName()->setFocus();
    press(newName(), Qt::Key_F2);
    const QString upper = newNameText();
    ASSERT_NE(upper, loaded);
    press(newName(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(newNameText(), loaded);
    press(newName(), Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(newNameText(), upper);
    // The menu entries do the same while the box has the focus.
    action("mnuUndo")->trigger();
    EXPECT_EQ(newNameText(), loaded);
    action("mnuRedo")->trigger();
    EXPECT_EQ(window->session().editor().text(), upper);
}

// Edit > Undo outside the text boxes and the tag undo entry both put back the
// last save and show the file again.
TEST_F(UndoTest, UndoOutsideTheTextBoxesAndTagUndoPutBackTheLastSave)
{
    const QByteArray original = bytes(QStringLiteral("aaa-bbb.mp3"));
    for (const char* entry : { "mnuUndo", "mnuUndoTagSave" }) {
        SCOPED_TRACE(entry);
        setBox(FieldId::Title, QStringLiteral("New Title"));
        window->saveTags();
        ASSERT_NE(bytes(QStringLiteral("aaa-bbb.mp3")), original);
        fileList()->setFocus();
        prompter.calls.clear();
        prompter.answers.enqueue(Answer::Yes);
        action(entry)->trigger();
        EXPECT_EQ(prompter.calls.size(), 1);
        EXPECT_EQ(bytes(QStringLiteral("aaa-bbb.mp3")), original);
        EXPECT_EQ(box(FieldId::Title), QStringLiteral("Old Title"));
    }
}
