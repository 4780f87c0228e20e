// The Edit menu, the desktop's usual keys, and undo of the new name and of
// the last tag save through the main window.
#include "windowfixture.h"

#include "tagedit/tagjournal.h"

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

TEST_F(UndoTest, TheUsualKeysLeaveTheWindowsOwnKeysAlone)
{
    QList<QKeySequence> own { QKeySequence(Qt::CTRL | Qt::Key_F2) };
    for (int f = Qt::Key_F2; f <= Qt::Key_F12; ++f)
        own << QKeySequence(f);
    for (QAction* a : window->findChildren<QAction*>())
        for (const QKeySequence& key : own)
            EXPECT_NE(a->shortcut(), key) << a->objectName().toStdString();

    // Ctrl+S saves the tags.
    setBox(FieldId::Title, QStringLiteral("By Key"));
    action("mnuSaveID3")->trigger();
    EXPECT_EQ(tagOf(QStringLiteral("aaa-bbb.mp3"))->Title(), QStringLiteral("By Key"));
}

TEST_F(UndoTest, CtrlZAndCtrlShiftZInTheNewNameStepThroughItsTexts)
{
    const QString loaded = newNameText();
    window->show();
    window->activateWindow();
    QApplication::setActiveWindow(window.get());
    newName()->setFocus();
    press(newName(), Qt::Key_F2);
    const QString upper = newNameText();
    press(newName(), Qt::Key_End);
    press(newName(), Qt::Key_X, Qt::NoModifier, QStringLiteral("x"));
    ASSERT_NE(newNameText(), upper);

    press(newName(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(newNameText(), upper);
    press(newName(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(newNameText(), loaded);
    press(newName(), Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(newNameText(), upper);
    // The menu entries do the same while the box has the focus.
    ASSERT_EQ(QApplication::focusWidget(), newName());
    action("mnuUndo")->trigger();
    EXPECT_EQ(newNameText(), loaded);
    action("mnuRedo")->trigger();
    EXPECT_EQ(newNameText(), upper);
    EXPECT_EQ(window->session().editor().text(), upper);
}

TEST_F(UndoTest, UndoOutsideTheTextBoxesPutsBackTheTagsOfTheLastSave)
{
    const QByteArray beforeSave = bytes(QStringLiteral("aaa-bbb.mp3"));
    setBox(FieldId::Title, QStringLiteral("New Title"));
    window->SaveTags();
    // Read back by the window itself: a load of the tag here would take the
    // trailer away, a change since the save.
    ASSERT_EQ(box(FieldId::Title), QStringLiteral("New Title"));
    ASSERT_NE(bytes(QStringLiteral("aaa-bbb.mp3")), beforeSave);
    fileList()->setFocus();
    prompter.answers.enqueue(Answer::Yes);

    action("mnuUndo")->trigger();

    ASSERT_FALSE(prompter.calls.isEmpty());
    EXPECT_EQ(prompter.calls.last().text,
        QStringLiteral("Undo The Last Tag Save In File: \r\n\r\n") + path(QStringLiteral("aaa-bbb.mp3"))
            + QLatin1Char('?'));
    EXPECT_EQ(bytes(QStringLiteral("aaa-bbb.mp3")), beforeSave);
    EXPECT_EQ(box(FieldId::Title), QStringLiteral("Old Title")) << "the boxes show the file again";
}
