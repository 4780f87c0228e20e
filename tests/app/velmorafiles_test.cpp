// The main window's file commands on real files: selecting, renaming (with
// the existing-target prompt), deleting, tag saving and stripping.
#include "windowfixture.h"

#include "tags/encodedfiles.h"
#include "tags/tagtypes.h"

#include <QGroupBox>

TEST_F(WindowTest, SelectingAFileCleansTheNameAndFillsPartsBoxesAndTrailer)
{
    addMp3(QStringLiteral("the artist--some title.mp3"));
    addTagged(QStringLiteral("song.mp3"), QStringLiteral("Band"), QStringLiteral("Song"));
    open();
    select(QStringLiteral("the artist--some title.mp3"));
    EXPECT_EQ(newNameText(), QStringLiteral("The Artist-Some Title.mp3"));
    // The size the file has now, its new trailer included.
    EXPECT_EQ(child<QGroupBox>(QStringLiteral("RenameFrame"))->title(),
        QStringLiteral("the artist--some title.mp3 (3.38KB)"));
    // A double click on a part takes it out of the name.
    auto* parts = child<QListWidget>(QStringLiteral("PartsList"));
    const auto part = parts->findItems(QStringLiteral("Some Title"), Qt::MatchExactly);
    ASSERT_EQ(part.size(), 1);
    emit parts->itemDoubleClicked(part.first());
    EXPECT_EQ(newNameText(), QStringLiteral("The Artist.mp3"));
    select(QStringLiteral("song.mp3"));
    EXPECT_EQ(box(FieldId::Artist), QStringLiteral("Band"));
    EXPECT_EQ(trailerOf(QStringLiteral("song.mp3")).title(), QStringLiteral("Song"));
}

TEST_F(WindowTest, RenameSavesTagsAndMovesToTheNextOrTheNewLastFile)
{
    addMp3s({ QStringLiteral("a one.mp3"), QStringLiteral("c two.mp3") });
    open();
    select(QStringLiteral("a one.mp3"));
    setBox(FieldId::Artist, QStringLiteral("Band"));
    window->session().editor().setText(QStringLiteral("Band.mp3"));
    child<QPushButton>(QStringLiteral("RenameButton"))->click();
    EXPECT_FALSE(exists(QStringLiteral("a one.mp3")));
    ASSERT_TRUE(exists(QStringLiteral("Band.mp3")));
    // The trailer first: loading a file with both tags removes its trailer.
    EXPECT_EQ(trailerOf(QStringLiteral("Band.mp3")).artist(), QStringLiteral("Band"));
    EXPECT_EQ(tagOf(QStringLiteral("Band.mp3"))->artist(), QStringLiteral("Band"));
    EXPECT_EQ(oldName(), QStringLiteral("c two.mp3"));
    EXPECT_TRUE(prompter.calls.isEmpty());
    // The last entry renamed to sort first: the entry now last is selected.
    renameTo(QStringLiteral("0 first.mp3"));
    EXPECT_EQ(listed(), (QStringList { QStringLiteral("0 first.mp3"), QStringLiteral("Band.mp3") }));
    EXPECT_EQ(table().currentRow(), 1);
    EXPECT_EQ(oldName(), QStringLiteral("Band.mp3"));
}

TEST_F(WindowTest, SkipKeepsBothFilesAndOverwriteTrashesTheExistingOne)
{
    addMp3(QStringLiteral("a.mp3"), 8);
    addMp3(QStringLiteral("b.mp3"), 12);
    open();
    select(QStringLiteral("a.mp3"));
    const QByteArray b = bytes(QStringLiteral("b.mp3"));
    answerFileExists(QStringLiteral("SkipFile"));
    renameTo(QStringLiteral("b.mp3"));
    EXPECT_EQ(window->statusText(), QStringLiteral("Renaming Of 'b.mp3' Encountered Errors"));
    // Later saves go to the file that kept its name.
    setBox(FieldId::Artist, QStringLiteral("Only A"));
    window->saveTags();
    EXPECT_EQ(bytes(QStringLiteral("b.mp3")), b);
    EXPECT_EQ(tagOf(QStringLiteral("a.mp3"))->artist(), QStringLiteral("Only A"));

    answerFileExists(QStringLiteral("OverwriteFile"));
    renameTo(QStringLiteral("b.mp3"));
    EXPECT_EQ(trash.trashed, QStringList { path(QStringLiteral("b.mp3")) });
    EXPECT_FALSE(bytes(QStringLiteral("b.mp3")).contains(Mp3Builder::audioFrames(9)));
    EXPECT_EQ(listed(), QStringList { QStringLiteral("b.mp3") });
}

TEST_F(WindowTest, AutoSaveOffLeavesTheRenamedFilesTagsAlone)
{
    settings.values[QStringLiteral("Settings")][QStringLiteral("ID3AutoSave")] = QStringLiteral("0");
    addTagged(QStringLiteral("old.mp3"), QStringLiteral("Old Artist"), QStringLiteral("Old Title"));
    open();
    select(QStringLiteral("old.mp3"));
    setBox(FieldId::Artist, QStringLiteral("New Artist"));
    renameTo(QStringLiteral("renamed.mp3"));
    ASSERT_TRUE(exists(QStringLiteral("renamed.mp3")));
    EXPECT_EQ(tagOf(QStringLiteral("renamed.mp3"))->artist(), QStringLiteral("Old Artist"));
}

TEST_F(WindowTest, SaveStripAndPlayReachTheSelectedFile)
{
    addMp3(QStringLiteral("a.mp3"));
    open();
    select(QStringLiteral("a.mp3"));
    setBox(FieldId::Album, QStringLiteral("Greatest"));
    window->action(QStringLiteral("mnuSaveID3"))->trigger();
    EXPECT_EQ(trailerOf(QStringLiteral("a.mp3")).album(), QStringLiteral("Greatest"));
    EXPECT_EQ(tagOf(QStringLiteral("a.mp3"))->album(), QStringLiteral("Greatest"));

    const QByteArray before = bytes(QStringLiteral("a.mp3"));
    window->removeTags(); // answered No
    EXPECT_EQ(bytes(QStringLiteral("a.mp3")), before);
    prompter.answers.enqueue(Answer::Yes);
    window->action(QStringLiteral("mnuStripTags"))->trigger();
    EXPECT_EQ(bytes(QStringLiteral("a.mp3")), Mp3Builder::audioFrames(8));

    window->action(QStringLiteral("Play"))->trigger();
    press(newName(), Qt::Key_F12);
    EXPECT_EQ(launcher.opened, QStringList(2, path(QStringLiteral("a.mp3"))));
}

TEST_F(WindowTest, DeleteMovesSelectedFilesToTheTrashAndSelectsTheNext)
{
    addMp3s({ QStringLiteral("a.mp3"), QStringLiteral("b.mp3"), QStringLiteral("c.mp3") });
    open();
    select(QStringLiteral("b.mp3"));
    prompter.answers << Answer::Yes;
    trash.failNext = true;
    window->deleteFiles();
    EXPECT_EQ(prompter.calls.last().text,
        QStringLiteral("Error Occured: Permission denied (75)\r\n\r\n") + path(QStringLiteral("b.mp3")));
    EXPECT_EQ(window->statusText(), QStringLiteral("Operation Cancelled"));
    prompter.answers << Answer::Yes;
    window->action(QStringLiteral("mnuDeleteFile2"))->trigger();
    EXPECT_EQ(trash.trashed, QStringList { path(QStringLiteral("b.mp3")) });
    EXPECT_EQ(oldName(), QStringLiteral("c.mp3"));
}

// A FLAC file beside the MP3 files: listed, its tags in the boxes, a box its
// format has no place for greyed out, saved through the tag panel and given
// back by the tag undo.
TEST_F(WindowTest, AFlacFileIsListedSavedAndUndoneLikeAnMp3)
{
    QTemporaryDir made;
    ASSERT_TRUE(QFile::copy(EncodedFiles::make(made, EncodedFiles::Kind::Flac), path(QStringLiteral("song.flac"))));
    addMp3(QStringLiteral("other.mp3"));
    // Sorted: a save writes the comments in name order.
    const auto comments = [&] {
        QList<QByteArray> lines
            = EncodedFiles::run("metaflac", { "--export-tags-to=-", path("song.flac") }).split('\n');
        std::sort(lines.begin(), lines.end());
        return lines;
    };
    const QList<QByteArray> before = comments();
    open();
    window->setUndoFolder(dir.path() + QStringLiteral("/undo"));
    EXPECT_EQ(listed(), (QStringList { QStringLiteral("other.mp3"), QStringLiteral("song.flac") }));
    select(QStringLiteral("song.flac"));
    EXPECT_EQ(box(FieldId::Album), QStringLiteral("The Album"));
    EXPECT_FALSE(child<QWidget>(QStringLiteral("ID3UserURL"))->isEnabled());
    setBox(FieldId::Album, QStringLiteral("Greatest"));
    window->action(QStringLiteral("mnuSaveID3"))->trigger();
    EXPECT_TRUE(comments().contains("ALBUM=Greatest"));
    prompter.answers.enqueue(Answer::Yes);
    window->action(QStringLiteral("mnuUndoTagSave"))->trigger();
    EXPECT_EQ(comments(), before);
    EXPECT_EQ(box(FieldId::Album), QStringLiteral("The Album"));
    select(QStringLiteral("other.mp3"));
    EXPECT_TRUE(child<QWidget>(QStringLiteral("ID3UserURL"))->isEnabled());
}
