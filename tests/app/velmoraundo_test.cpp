// The Edit menu, the desktop's usual keys, and undo of the new name and of
// the last tag save or removal through the main window.
#include "windowfixture.h"

#include "tagedit/tagjournal.h"
#include "tags/filetimes.h"

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

TEST_F(UndoTest, TagUndoPutsBackASaveByteForByteAndSaysWhenItWasInterrupted)
{
    const QString song = path(QStringLiteral("aaa-bbb.mp3"));
    const QString journal = TagJournal::tagSaveJournal(window->undoFolder());
    const QString question = QStringLiteral("Undo The Last Tag Save Or Removal In File: \r\n\r\n") + song + '?';
    const struct {
        const char* name;
        std::function<void()> write;
        QString question;
    } cases[] = {
        { "save",
            [this] {
                setBox(FieldId::Title, QStringLiteral("New Title"));
                window->saveTags();
            },
            question },
        { "save_killed_before_its_after_record",
            [&] {
                // The journal as a kill leaves it: the before-record only.
                TagJournal j(journal);
                ASSERT_TRUE(j.begin());
                ASSERT_TRUE(j.recordBefore(song));
                ID3V2Tag tag;
                tag.setFileName(song);
                tag.setTitle(QString(900, QLatin1Char('t')));
                ASSERT_TRUE(tag.update());
                QFile file(journal);
                ASSERT_TRUE(file.open(QIODevice::ReadOnly));
                const QByteArray killed = file.readAll();
                file.close();
                j.end();
                ASSERT_TRUE(Mp3Builder::writeFile(journal, killed));
            },
            QStringLiteral("The Last Tag Save Or Removal Was Interrupted: Its Journal Holds 1 Change.\r\n\r\n")
                + question },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(writeFileTime(song, FileTime { { 981'173'045, 123'456'789 } }));
        const QByteArray original = bytes(QStringLiteral("aaa-bbb.mp3"));
        c.write();
        ASSERT_NE(bytes(QStringLiteral("aaa-bbb.mp3")), original);
        prompter.calls.clear();
        prompter.answers.enqueue(Answer::Yes);
        action("mnuUndoTagSave")->trigger();
        ASSERT_EQ(prompter.calls.size(), 1);
        EXPECT_EQ(prompter.calls[0].text, c.question);
        EXPECT_EQ(window->statusText(), QStringLiteral("Last Tag Save Or Removal Undone"));
        EXPECT_EQ(bytes(QStringLiteral("aaa-bbb.mp3")), original);
        FileTime time;
        ASSERT_TRUE(readFileTime(song, &time));
        EXPECT_EQ(time.modified.tv_sec, 981'173'045);
        EXPECT_EQ(time.modified.tv_nsec, 123'456'789);
        EXPECT_EQ(box(FieldId::Title), QStringLiteral("Old Title")) << "the boxes show the file again";
    }
}
