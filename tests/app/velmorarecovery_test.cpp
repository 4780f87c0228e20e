// A run an earlier session left unfinished is named at the next start, once,
// and its undo runs in the mass rename window.
#include "windowfixture.h"

#include "massrename/renamejournal.h"
#include "massrename/runjournals.h"
#include "massrename/ui/massrenameform.h"
#include "platform/localfilesystem.h"
#include "tagedit/multitagfiles.h"
#include "tagedit/tagjournal.h"

namespace {

class RecoveryTest : public WindowTest {
protected:
    // A run that renamed a.mp3 to b.mp3 and was killed before its end.
    QString interruptedRun()
    {
        addMp3(QStringLiteral("a.mp3"));
        const QString journalFolder = undoFolder();
        QDir().mkpath(journalFolder);
        RenameJournal journal;
        QString logPath;
        EXPECT_TRUE(createRunJournal(journal, journalFolder, clock.now(), false, &logPath, nullptr));
        RenameRecord r;
        r.dir = folder + QLatin1Char('/');
        r.oldName = QStringLiteral("a.mp3");
        r.newName = QStringLiteral("b.mp3");
        r.haveStamp = LocalFileSystem().stamp(path(QStringLiteral("a.mp3")), &r.after);
        r.modeBefore = r.after.mode;
        EXPECT_TRUE(journal.append(r));
        EXPECT_TRUE(QFile::rename(path(QStringLiteral("a.mp3")), path(QStringLiteral("b.mp3"))));
        journal.close(); // no closing record
        return journal.path();
    }
    QString undoFolder() const { return dir.path() + QStringLiteral("/undo/"); }

    // Closes the mass rename window once its undo has run.
    static void closeMassRenameAfterUndo(int tries = 200)
    {
        QTimer::singleShot(10, [tries] {
            for (QWidget* w : QApplication::topLevelWidgets()) {
                auto* form = qobject_cast<MassRenameForm*>(w);
                if (form && form->isVisible() && !form->isRunning() && form->undo().tally().handled > 0) {
                    form->reject();
                    return;
                }
            }
            if (tries > 0)
                closeMassRenameAfterUndo(tries - 1);
        });
    }
};

} // namespace

TEST_F(RecoveryTest, AnInterruptedRunIsNamedOnceAndYesUndoesItInTheMassRenameWindow)
{
    for (const bool undo : { false, true }) {
        SCOPED_TRACE(undo ? "Yes" : "No");
        QDir(undoFolder()).removeRecursively();
        QFile::remove(path(QStringLiteral("b.mp3")));
        const QString journal = interruptedRun();
        open();
        window->setUndoFolder(undoFolder());
        prompter.calls.clear();
        prompter.answers << (undo ? Answer::Yes : Answer::No);
        if (undo)
            closeMassRenameAfterUndo();
        window->offerInterruptedUndos();
        ASSERT_EQ(prompter.calls.size(), 1);
        EXPECT_EQ(prompter.calls[0].text,
            "The Mass Rename Of This Journal Was Interrupted: It Holds 1 Changes.\r\n\r\n" + journal
                + "\r\n\r\nUndo It Now?");
        EXPECT_EQ(exists(QStringLiteral("a.mp3")), undo);
        EXPECT_EQ(exists(QStringLiteral("b.mp3")), !undo);
        // Named once.
        window->offerInterruptedUndos();
        EXPECT_EQ(prompter.calls.size(), 1);
        RenameJournalContents contents;
        ASSERT_TRUE(readRenameJournal(journal, &contents, nullptr));
        EXPECT_TRUE(contents.noted);
        EXPECT_EQ(contents.undone, undo);
    }
}

TEST_F(RecoveryTest, AnInterruptedTagRunIsNamedOnceAndYesPutsItsFileBack)
{
    addTagged(QStringLiteral("song.mp3"), QStringLiteral("Artist"), QStringLiteral("Title"));
    const QByteArray original = bytes(QStringLiteral("song.mp3"));
    const QString journal = TagJournal::multiTaggerJournal(undoFolder());
    // A MultiTagger run killed right after its first write.
    ASSERT_TRUE(killedIn([&] {
        TagJournal j(journal);
        if (j.begin() && j.recordBefore(path(QStringLiteral("song.mp3")))) {
            ID3V2Tag tag;
            tag.setFileName(path(QStringLiteral("song.mp3")));
            tag.setTitle(QStringLiteral("A Much Longer Title Than Before"));
            if (tag.update())
                killHere();
        }
    }));
    ASSERT_NE(bytes(QStringLiteral("song.mp3")), original);

    open();
    window->setUndoFolder(undoFolder());
    prompter.calls.clear();
    prompter.answers << Answer::Yes;
    window->offerInterruptedUndos();
    ASSERT_EQ(prompter.calls.size(), 1);
    EXPECT_EQ(prompter.calls[0].text,
        "The Last MultiTagger Run Was Interrupted: Its Journal Holds 1 Change.\r\n\r\n" + journal
            + "\r\n\r\nUndo It Now?");
    EXPECT_EQ(bytes(QStringLiteral("song.mp3")), original);
    window->offerInterruptedUndos();
    EXPECT_EQ(prompter.calls.size(), 1);
}
