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

TEST_F(UndoTest, UndoOutsideTheTextBoxesPutsBackTheTagsOfTheLastSave)
{
    const QByteArray beforeSave = bytes(QStringLiteral("aaa-bbb.mp3"));
    setBox(FieldId::Title, QStringLiteral("New Title"));
    window->saveTags();
    ASSERT_NE(bytes(QStringLiteral("aaa-bbb.mp3")), beforeSave);
    fileList()->setFocus();
    prompter.answers.enqueue(Answer::Yes);
    action("mnuUndo")->trigger();
    EXPECT_EQ(bytes(QStringLiteral("aaa-bbb.mp3")), beforeSave);
    EXPECT_EQ(box(FieldId::Title), QStringLiteral("Old Title")) << "the boxes show the file again";
}

TEST_F(UndoTest, TagUndoPutsBackTheLastSaveAndShowsTheFileAgain)
{
    const QByteArray original = bytes(QStringLiteral("aaa-bbb.mp3"));
    setBox(FieldId::Title, QStringLiteral("New Title"));
    window->saveTags();
    ASSERT_NE(bytes(QStringLiteral("aaa-bbb.mp3")), original);
    prompter.calls.clear();
    prompter.answers.enqueue(Answer::Yes);
    action("mnuUndoTagSave")->trigger();
    ASSERT_EQ(prompter.calls.size(), 1);
    EXPECT_EQ(window->statusText(), QStringLiteral("Last Tag Save Or Removal Undone"));
    EXPECT_EQ(bytes(QStringLiteral("aaa-bbb.mp3")), original);
    EXPECT_EQ(box(FieldId::Title), QStringLiteral("Old Title")) << "the boxes show the file again";
}
