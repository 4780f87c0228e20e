// What the main window shows and writes is the selected file's truth: a
// zero-length file loads nothing, failed writes are said, reloads read the
// disk, a refresh keeps the file, and no input runs in the middle of a rename.
#include "windowfixture.h"

#include "tagedit/ui/multitagger.h"

#include <QCheckBox>

#include <functional>

namespace {

// Runs work on the next MultiTagger that appears.
void driveMultiTagger(const std::function<void(MultiTagger&)>& work, int tries = 100)
{
    QTimer::singleShot(10, [work, tries] {
        if (auto* form = qobject_cast<MultiTagger*>(QApplication::activeModalWidget())) {
            work(*form);
            return;
        }
        if (tries > 0)
            driveMultiTagger(work, tries - 1);
    });
}

} // namespace

TEST_F(WindowTest, AZeroLengthFileReachedByARenameLoadsNothingAndCannotBeRenamedOrSaved)
{
    addTagged(QStringLiteral("a.mp3"), QStringLiteral("Band"), QStringLiteral("Song"));
    ASSERT_TRUE(Mp3Builder::writeFile(path(QStringLiteral("b.mp3")), {}));
    addMp3(QStringLiteral("c.mp3"), 12);
    const QByteArray c = bytes(QStringLiteral("c.mp3"));
    open();
    select(QStringLiteral("a.mp3"));
    renameTo(QStringLiteral("a2.mp3")); // b.mp3 comes next; the delete question is answered No
    EXPECT_EQ(oldName(), QStringLiteral("b.mp3"));
    EXPECT_EQ(box(FieldId::Artist), QString());
    // Neither a rename onto the good file nor a tag save touches anything.
    renameTo(QStringLiteral("c.mp3"));
    window->saveTags();
    EXPECT_EQ(prompter.messageTexts().last(), QStringLiteral("Please Select A File!"));
    EXPECT_EQ(bytes(QStringLiteral("c.mp3")), c);
    EXPECT_EQ(QFileInfo(path(QStringLiteral("b.mp3"))).size(), 0);
}

TEST_F(WindowTest, FailedSaveAndStripAreSaidAndTheBoxesKeepWhatWasTyped)
{
    addTagged(QStringLiteral("a.mp3"), QStringLiteral("Band"), QStringLiteral("Song"));
    open();
    select(QStringLiteral("a.mp3"));
    setBox(FieldId::Artist, QStringLiteral("Typed"));
    ASSERT_TRUE(QFile::remove(path(QStringLiteral("a.mp3"))));
    window->action(QStringLiteral("mnuSaveID3"))->trigger();
    const QString cause = QStringLiteral("\r\n\r\n") + path(QStringLiteral("a.mp3"))
        + QStringLiteral("\r\n\r\nError: No such file or directory (53)");
    EXPECT_EQ(prompter.messageTexts(), QStringList { QStringLiteral("Error Saving Tags In File: ") + cause });
    EXPECT_EQ(box(FieldId::Artist), QStringLiteral("Typed"));
    prompter.answers.enqueue(Answer::Yes);
    window->action(QStringLiteral("mnuStripTags"))->trigger();
    EXPECT_EQ(prompter.messageTexts().last(), QStringLiteral("Error Removing Tags From File: ") + cause);
    EXPECT_FALSE(exists(QStringLiteral("a.mp3")));
}

TEST_F(WindowTest, AfterTheMultiTaggerTheBoxesShowTheFileAndASaveKeepsWhatItWrote)
{
    addTagged(QStringLiteral("a.mp3"), QStringLiteral("Old"), QStringLiteral("Song"));
    open();
    select(QStringLiteral("a.mp3"));
    driveMultiTagger([](MultiTagger& form) {
        auto* list = form.findChild<QListWidget*>(QStringLiteral("FileList"));
        list->setCurrentRow(0);
        list->item(0)->setSelected(true);
        form.findChild<QCheckBox*>(QStringLiteral("Included0"))->setChecked(true);
        form.panel().setText(FieldId::Artist, QStringLiteral("New"));
        form.setTagsButtonClick();
        form.exitButtonClick();
    });
    window->action(QStringLiteral("mnuMultiTagger"))->trigger();
    EXPECT_EQ(box(FieldId::Artist), QStringLiteral("New"));
    window->action(QStringLiteral("mnuSaveID3"))->trigger();
    EXPECT_EQ(trailerOf(QStringLiteral("a.mp3")).artist(), QStringLiteral("New")); // before loading the tag
    EXPECT_EQ(tagOf(QStringLiteral("a.mp3"))->artist(), QStringLiteral("New"));
}

TEST_F(WindowTest, AClearedFieldStaysClearedAndF8ReadsTheFileOnDisk)
{
    addTagged(QStringLiteral("a.mp3"), QStringLiteral("Band"), QStringLiteral("Song"));
    open();
    select(QStringLiteral("a.mp3"));
    setBox(FieldId::Title, QString());
    window->action(QStringLiteral("SaveTags"))->trigger();
    EXPECT_EQ(box(FieldId::Title), QString());
    EXPECT_EQ(tagOf(QStringLiteral("a.mp3"))->title(), QString());
    {
        ID3V2Tag other;
        other.setFileName(path(QStringLiteral("a.mp3")));
        other.setComposer(QStringLiteral("Outside"));
        ASSERT_TRUE(other.update());
    }
    press(child<QWidget>(QStringLiteral("ID3Album")), Qt::Key_F8); // a window key, even from a tag box
    EXPECT_EQ(box(FieldId::Composer), QStringLiteral("Outside"));
}

TEST_F(WindowTest, RefreshKeepsTheCurrentFileOrLoadsNothingWhenItIsGone)
{
    addMp3s({ QStringLiteral("a.mp3"), QStringLiteral("b.mp3") });
    open();
    select(QStringLiteral("b.mp3"));
    addMp3(QStringLiteral("0.mp3"));
    window->action(QStringLiteral("Refresh"))->trigger();
    EXPECT_EQ(currentName(), QStringLiteral("b.mp3"));
    ASSERT_TRUE(QFile::remove(path(QStringLiteral("b.mp3"))));
    window->action(QStringLiteral("mnuRefreshFolder2"))->trigger();
    EXPECT_TRUE(window->currentFile().isEmpty());
}

TEST_F(WindowTest, InputWhileTheExistingTargetPromptIsOpenDoesNotRunInTheRename)
{
    addMp3s({ QStringLiteral("a.mp3"), QStringLiteral("b.mp3"), QStringLiteral("c.mp3") });
    open();
    select(QStringLiteral("a.mp3"));
    int shown = 0;
    // The user presses Down while the prompt waits, then answers Skip.
    QTimer::singleShot(10, [this, &shown] {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            auto* form = qobject_cast<FileExistsForm*>(w);
            if (!form || !form->isVisible())
                continue;
            ++shown;
            QApplication::postEvent(fileList(), new QKeyEvent(QEvent::KeyPress, Qt::Key_Down, Qt::NoModifier));
            QApplication::processEvents();
            form->findChild<QPushButton*>(QStringLiteral("SkipFile"))->click();
        }
    });
    renameTo(QStringLiteral("b.mp3"));
    EXPECT_EQ(shown, 1);
    EXPECT_EQ(oldName(), QStringLiteral("a.mp3"));
    EXPECT_EQ(window->currentFile().path(), path(QStringLiteral("a.mp3")));
    EXPECT_EQ(table().currentRow(), 0);
}
