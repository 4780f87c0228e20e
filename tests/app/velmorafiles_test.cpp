// The main window's file commands on real files: selecting, renaming (with
// the existing-target prompt and the trash), deleting, tag saving and
// stripping.
#include "windowfixture.h"

#include "tags/id3v1tag.h"
#include "tags/tagtypes.h"

#include <QGroupBox>

TEST_F(WindowTest, SelectingAFileCleansRecasesAndCutsTheName)
{
    addMp3(QStringLiteral("the artist--some title.mp3"));
    open();
    select(QStringLiteral("the artist--some title.mp3"));

    EXPECT_EQ(child<QLineEdit>(QStringLiteral("OldName"))->text(), QStringLiteral("the artist--some title.mp3"));
    EXPECT_EQ(newNameText(), QStringLiteral("The Artist-Some Title.mp3"));
    const QStringList parts = window->session().parts().entries();
    EXPECT_TRUE(parts.contains(QStringLiteral("The Artist"))) << parts.join(QLatin1Char('|')).toStdString();
    EXPECT_TRUE(parts.contains(QStringLiteral("Some Title")));
    EXPECT_TRUE(parts.contains(QStringLiteral("music"))); // the folder's name
    EXPECT_EQ(child<QGroupBox>(QStringLiteral("RenameFrame"))->title(),
              QStringLiteral("the artist--some title.mp3 (3.26KB)"));
    EXPECT_EQ(window->currentFile().path, path(QStringLiteral("the artist--some title.mp3")));
    EXPECT_EQ(window->statusText(), QStringLiteral("Ready"));
    EXPECT_TRUE(newName()->isEnabled());
}

TEST_F(WindowTest, SelectingAnUntaggedFileLeavesAnEmptyTrailerAndShowsCopyright)
{
    addMp3(QStringLiteral("plain.mp3"), 8, true);
    addMp3(QStringLiteral("free.mp3"), 8, false);
    open();
    select(QStringLiteral("plain.mp3"));
    EXPECT_EQ(box(FieldId::CopyRight), QStringLiteral("True"));
    ID3V1Tag v1;
    EXPECT_TRUE(v1.ReadFromFile(path(QStringLiteral("plain.mp3"))));
    EXPECT_EQ(v1.Artist(), QString());
    EXPECT_EQ(v1.Title(), QString());
    select(QStringLiteral("free.mp3"));
    EXPECT_EQ(box(FieldId::CopyRight), QStringLiteral("False"));
}

TEST_F(WindowTest, TaggedFileFillsTheBoxesAndItsTrailer)
{
    addTagged(QStringLiteral("song.mp3"), QStringLiteral("Band"), QStringLiteral("Schön"));
    open();
    select(QStringLiteral("song.mp3"));
    EXPECT_EQ(box(FieldId::Artist), QStringLiteral("Band"));
    EXPECT_EQ(box(FieldId::Title), QStringLiteral("Schön"));
    EXPECT_TRUE(window->session().parts().entries().contains(QStringLiteral("Band")));
    ID3V1Tag v1;
    ASSERT_TRUE(v1.ReadFromFile(path(QStringLiteral("song.mp3"))));
    EXPECT_EQ(v1.Artist(), QStringLiteral("Band"));
    EXPECT_EQ(v1.Title(), QStringLiteral("Schön"));
}

TEST_F(WindowTest, DoubleClickOnAPartTogglesItInTheName)
{
    addMp3(QStringLiteral("alpha-beta.mp3"));
    open();
    select(QStringLiteral("alpha-beta.mp3"));
    ASSERT_EQ(newNameText(), QStringLiteral("Alpha-Beta.mp3"));
    auto* parts = child<QListWidget>(QStringLiteral("PartsList"));
    const auto beta = parts->findItems(QStringLiteral("Beta"), Qt::MatchExactly);
    ASSERT_EQ(beta.size(), 1);
    emit parts->itemDoubleClicked(beta.first());
    EXPECT_EQ(newNameText(), QStringLiteral("Alpha.mp3"));
    const auto again = parts->findItems(QStringLiteral("Beta"), Qt::MatchExactly);
    ASSERT_EQ(again.size(), 1);
    emit parts->itemDoubleClicked(again.first());
    EXPECT_EQ(newNameText(), QStringLiteral("Alpha-Beta.mp3"));
    // A single click makes the part the one a drag would drop.
    emit parts->itemPressed(again.first());
    EXPECT_EQ(window->session().parts().SelectedPart(), QStringLiteral("Beta"));
}

TEST_F(WindowTest, MaskSyncRunsInBothDirections)
{
    addMp3(QStringLiteral("x.mp3"));
    open();
    select(QStringLiteral("x.mp3"));
    child<QListWidget>(QStringLiteral("FormatList"))->setCurrentRow(1); // "Artist - Title.mp3"
    ASSERT_EQ(window->session().formats().currentMask(), QStringLiteral("Artist - Title.mp3"));
    setBox(FieldId::Artist, QStringLiteral("Band"));
    setBox(FieldId::Title, QStringLiteral("Song"));
    window->action(QStringLiteral("Sync"))->trigger();
    EXPECT_EQ(newNameText(), QStringLiteral("Band-Song.mp3"));

    window->session().editor().setText(QStringLiteral("Other-Thing-Extra.mp3"));
    window->action(QStringLiteral("SBSync"))->trigger();
    EXPECT_EQ(box(FieldId::Artist), QStringLiteral("Other"));
    EXPECT_EQ(box(FieldId::Title), QStringLiteral("Thing"));
}

TEST_F(WindowTest, RenameSavesTagsAndMovesToTheNextFile)
{
    addMp3(QStringLiteral("a one.mp3"));
    addMp3(QStringLiteral("b two.mp3"));
    addMp3(QStringLiteral("c three.mp3"));
    open();
    select(QStringLiteral("a one.mp3"));
    child<QListWidget>(QStringLiteral("FormatList"))->setCurrentRow(1);
    setBox(FieldId::Artist, QStringLiteral("Band"));
    setBox(FieldId::Title, QStringLiteral("Schön"));
    setBox(FieldId::Track, QStringLiteral("7"));
    window->action(QStringLiteral("Sync"))->trigger();
    ASSERT_EQ(newNameText(), QStringLiteral("Band-Schön.mp3"));
    child<QPushButton>(QStringLiteral("RenameButton"))->click();

    EXPECT_FALSE(QFileInfo::exists(path(QStringLiteral("a one.mp3"))));
    ASSERT_TRUE(QFileInfo::exists(path(QStringLiteral("Band-Schön.mp3"))));
    // The trailer first: loading a file with both tags removes its trailer.
    ID3V1Tag v1;
    ASSERT_TRUE(v1.ReadFromFile(path(QStringLiteral("Band-Schön.mp3"))));
    EXPECT_EQ(v1.Artist(), QStringLiteral("Band"));
    EXPECT_EQ(v1.Track(), 7);
    ID3V2Tag tag;
    tag.SetFileName(path(QStringLiteral("Band-Schön.mp3")));
    EXPECT_EQ(tag.Artist(), QStringLiteral("Band"));
    EXPECT_EQ(tag.Title(), QStringLiteral("Schön"));
    EXPECT_EQ(tag.Track(), 7);
    // The entry after the renamed one is selected and loaded.
    EXPECT_EQ(child<QLineEdit>(QStringLiteral("OldName"))->text(), QStringLiteral("b two.mp3"));
    EXPECT_EQ(newNameText(), QStringLiteral("B Two.mp3"));
    EXPECT_EQ(window->statusText(), QStringLiteral("Ready"));
    EXPECT_EQ(prompter.calls.size(), 0);
}

TEST_F(WindowTest, RenamingTheLastFileSelectsTheLastEntry)
{
    addMp3(QStringLiteral("a.mp3"));
    addMp3(QStringLiteral("m.mp3"));
    open();
    select(QStringLiteral("m.mp3"));
    window->session().editor().setText(QStringLiteral("0 first.mp3"));
    window->RenameFile();
    EXPECT_EQ(listed(), (QStringList{QStringLiteral("0 first.mp3"), QStringLiteral("a.mp3")}));
    EXPECT_EQ(fileList()->currentRow(), 1);
    EXPECT_EQ(child<QLineEdit>(QStringLiteral("OldName"))->text(), QStringLiteral("a.mp3"));
}

TEST_F(WindowTest, RenameRefusesMissingSelectionAndEmptyNames)
{
    addMp3(QStringLiteral("a.mp3"));
    open();
    window->RenameFile();
    select(QStringLiteral("a.mp3"));
    window->session().editor().setText(QStringLiteral(".mp3"));
    window->RenameFile();
    ASSERT_EQ(prompter.calls.size(), 2);
    EXPECT_EQ(prompter.calls[0].text, QStringLiteral("Please Select A File!"));
    EXPECT_EQ(prompter.calls[0].icon, MsgIcon::Information);
    EXPECT_EQ(prompter.calls[1].text, QStringLiteral("Please Specify A New Filename!"));
    EXPECT_EQ(prompter.calls[1].title, QStringLiteral("Velmora"));
    EXPECT_TRUE(QFileInfo::exists(path(QStringLiteral("a.mp3"))));
}

TEST_F(WindowTest, OverwriteMovesTheExistingFileToTheTrashAndRenames)
{
    addMp3(QStringLiteral("a.mp3"), 8);
    addMp3(QStringLiteral("b.mp3"), 12);
    const QByteArray oldB = Mp3Builder::readFile(path(QStringLiteral("b.mp3")));
    open();
    select(QStringLiteral("a.mp3"));
    window->session().editor().setText(QStringLiteral("b.mp3"));
    int shown = 0;
    answerFileExists(QStringLiteral("OverwriteFile"), &shown);
    window->RenameFile();

    EXPECT_EQ(shown, 1);
    EXPECT_EQ(prompter.count(ScriptedPrompter::Kind::Beep), 1);
    EXPECT_EQ(trash.trashed, QStringList{path(QStringLiteral("b.mp3"))});
    EXPECT_EQ(Mp3Builder::readFile(trash.folder + QStringLiteral("/0_b.mp3")), oldB);
    EXPECT_FALSE(QFileInfo::exists(path(QStringLiteral("a.mp3"))));
    const QByteArray newB = Mp3Builder::readFile(path(QStringLiteral("b.mp3")));
    EXPECT_TRUE(newB.contains(Mp3Builder::audioFrames(8)));
    EXPECT_FALSE(newB.contains(Mp3Builder::audioFrames(9)));
    EXPECT_EQ(listed(), QStringList{QStringLiteral("b.mp3")});
}

TEST_F(WindowTest, SkipLeavesBothFilesAndReportsTheError)
{
    addMp3(QStringLiteral("a.mp3"), 8);
    addMp3(QStringLiteral("b.mp3"), 12);
    open();
    select(QStringLiteral("a.mp3"));
    const QByteArray a = Mp3Builder::readFile(path(QStringLiteral("a.mp3")));
    const QByteArray b = Mp3Builder::readFile(path(QStringLiteral("b.mp3")));
    window->session().editor().setText(QStringLiteral("b.mp3"));
    int shown = 0;
    answerFileExists(QStringLiteral("SkipFile"), &shown);
    window->RenameFile();

    EXPECT_EQ(shown, 1);
    EXPECT_EQ(Mp3Builder::readFile(path(QStringLiteral("a.mp3"))), a);
    EXPECT_EQ(Mp3Builder::readFile(path(QStringLiteral("b.mp3"))), b);
    EXPECT_TRUE(trash.trashed.isEmpty());
    EXPECT_EQ(window->statusText(), QStringLiteral("Renaming Of 'b.mp3' Encountered Errors"));
    EXPECT_EQ(child<QLineEdit>(QStringLiteral("OldName"))->text(), QStringLiteral("a.mp3"));

    // A tag save after the skip writes into a.mp3, never into b.mp3.
    EXPECT_EQ(window->currentFile().path, path(QStringLiteral("a.mp3")));
    setBox(FieldId::Artist, QStringLiteral("Only A"));
    window->SaveTags();
    EXPECT_EQ(Mp3Builder::readFile(path(QStringLiteral("b.mp3"))), b);
    ID3V2Tag tag;
    tag.SetFileName(path(QStringLiteral("a.mp3")));
    EXPECT_EQ(tag.Artist(), QStringLiteral("Only A"));
}

TEST_F(WindowTest, TrashFailureOnOverwriteKeepsBothFiles)
{
    addMp3(QStringLiteral("a.mp3"), 8);
    addMp3(QStringLiteral("b.mp3"), 12);
    open();
    select(QStringLiteral("a.mp3"));
    window->session().editor().setText(QStringLiteral("b.mp3"));
    trash.failNext = true;
    answerFileExists(QStringLiteral("OverwriteFile"));
    window->RenameFile();

    EXPECT_TRUE(QFileInfo::exists(path(QStringLiteral("a.mp3"))));
    EXPECT_EQ(Mp3Builder::readFile(path(QStringLiteral("b.mp3"))), Mp3Builder::audioFrames(12));
    ASSERT_EQ(prompter.messageTexts().size(), 1);
    EXPECT_TRUE(prompter.messageTexts().first().contains(QStringLiteral("Error: Permission denied (75)")));
    EXPECT_EQ(window->statusText(), QStringLiteral("Renaming Of 'b.mp3' Encountered Errors"));
}

TEST_F(WindowTest, RenameToTheSameNameIsNoConflict)
{
    addMp3(QStringLiteral("Song.mp3"));
    open();
    select(QStringLiteral("Song.mp3"));
    ASSERT_EQ(newNameText(), QStringLiteral("Song.mp3"));
    setBox(FieldId::Artist, QStringLiteral("Kept"));
    int shown = 0;
    answerFileExists(QStringLiteral("SkipFile"), &shown, 0);
    window->RenameFile();
    QApplication::processEvents();

    EXPECT_EQ(shown, 0);
    EXPECT_TRUE(trash.trashed.isEmpty());
    EXPECT_TRUE(prompter.calls.isEmpty());
    ID3V2Tag tag;
    tag.SetFileName(path(QStringLiteral("Song.mp3")));
    EXPECT_EQ(tag.Artist(), QStringLiteral("Kept"));
}

TEST_F(WindowTest, NamesThatWouldLeaveTheFolderAreRefused)
{
    addMp3(QStringLiteral("a.mp3"));
    open();
    for (const QString& bad : {QStringLiteral("../escape.mp3"), QStringLiteral("sub/x.mp3"), QStringLiteral("..")}) {
        select(QStringLiteral("a.mp3"));
        prompter.calls.clear();
        window->session().editor().setText(bad);
        window->RenameFile();
        ASSERT_EQ(prompter.calls.size(), 1) << bad.toStdString();
        EXPECT_EQ(prompter.calls[0].icon, MsgIcon::Critical);
        EXPECT_TRUE(prompter.calls[0].text.endsWith(QStringLiteral("Possible Cause: Illegal Filename")));
        EXPECT_TRUE(prompter.calls[0].text.startsWith(QStringLiteral("Renaming Of '") + bad));
        EXPECT_TRUE(QFileInfo::exists(path(QStringLiteral("a.mp3"))));
    }
    EXPECT_FALSE(QFileInfo::exists(dir.path() + QStringLiteral("/escape.mp3")));
    EXPECT_TRUE(files.renames.isEmpty());
}

TEST_F(WindowTest, RenameFailuresShowTheirCause)
{
    addMp3(QStringLiteral("a.mp3"));
    open();
    select(QStringLiteral("a.mp3"));
    files.renameFailure = {75, QStringLiteral("Permission denied")};
    window->RenameFile();
    ASSERT_EQ(prompter.calls.size(), 1);
    EXPECT_EQ(prompter.calls[0].text,
              QStringLiteral("Renaming Of 'A.mp3' Encountered Errors\r\n\r\nError: Permission denied (75)\r\n\r\n"
                             "Possible Cause: Check The File, It May Not Be A Valid MP3 File"));
    EXPECT_EQ(window->statusText(), QStringLiteral("Renaming Of 'A.mp3' Encountered Errors"));
    EXPECT_TRUE(QFileInfo::exists(path(QStringLiteral("a.mp3"))));
}

TEST_F(WindowTest, ZeroLengthFileAsksToDeleteAndLoadsNothing)
{
    ASSERT_TRUE(Mp3Builder::writeFile(path(QStringLiteral("empty.mp3")), {}));
    addMp3(QStringLiteral("other.mp3"));
    open();
    select(QStringLiteral("empty.mp3"));
    ASSERT_EQ(prompter.calls.size(), 1);
    EXPECT_EQ(prompter.calls[0].text, QStringLiteral("Error: Zero-Length File Selected!\r\n\r\nFile Cannot Be "
                                                     "Edited.\r\n\r\nDelete The Selected File?"));
    EXPECT_EQ(prompter.calls[0].icon, MsgIcon::Critical);
    EXPECT_EQ(prompter.calls[0].buttons, MsgButtons::YesNo);
    EXPECT_EQ(newNameText(), QString());
    EXPECT_EQ(window->session().parts().count(), 0);
    EXPECT_EQ(QFileInfo(path(QStringLiteral("empty.mp3"))).size(), 0);

    prompter.calls.clear();
    prompter.answers.enqueue(Answer::Yes); prompter.answers.enqueue(Answer::Yes);
    select(QStringLiteral("other.mp3"));
    select(QStringLiteral("empty.mp3"));
    ASSERT_EQ(prompter.calls.size(), 2);
    EXPECT_EQ(prompter.calls[1].text,
              QStringLiteral("Delete '") + path(QStringLiteral("empty.mp3")) + QStringLiteral("' To The Recycle Bin?"));
    EXPECT_EQ(trash.trashed, QStringList{path(QStringLiteral("empty.mp3"))});
    EXPECT_EQ(listed(), QStringList{QStringLiteral("other.mp3")});
}

TEST_F(WindowTest, AutoSaveOffLeavesTheRenamedFilesTagsAlone)
{
    settings.values[QStringLiteral("Settings")][QStringLiteral("ID3AutoSave")] = QStringLiteral("0");
    addTagged(QStringLiteral("old.mp3"), QStringLiteral("Old Artist"), QStringLiteral("Old Title"));
    open();
    select(QStringLiteral("old.mp3"));
    setBox(FieldId::Artist, QStringLiteral("New Artist"));
    window->session().editor().setText(QStringLiteral("renamed.mp3"));
    window->RenameFile();
    ASSERT_TRUE(QFileInfo::exists(path(QStringLiteral("renamed.mp3"))));
    ID3V2Tag tag;
    tag.SetFileName(path(QStringLiteral("renamed.mp3")));
    EXPECT_EQ(tag.Artist(), QStringLiteral("Old Artist"));
}

TEST_F(WindowTest, SaveTagsWritesBothTagsAndReloads)
{
    addMp3(QStringLiteral("a.mp3"));
    open();
    select(QStringLiteral("a.mp3"));
    setBox(FieldId::Album, QStringLiteral("Greatest"));
    setBox(FieldId::Genre, QStringLiteral("Rock"));
    setBox(FieldId::Year, QStringLiteral("1999"));
    window->action(QStringLiteral("mnuSaveID3"))->trigger();
    EXPECT_EQ(window->statusText(), QStringLiteral("ID3 Tags Saved To File"));
    ID3V1Tag v1;
    ASSERT_TRUE(v1.ReadFromFile(path(QStringLiteral("a.mp3"))));
    EXPECT_EQ(v1.Album(), QStringLiteral("Greatest"));
    EXPECT_EQ(v1.Genre(), GetGenreIndex(QStringLiteral("Rock")));
    EXPECT_EQ(v1.Year(), QStringLiteral("1999"));
    ID3V2Tag tag;
    tag.SetFileName(path(QStringLiteral("a.mp3")));
    EXPECT_EQ(tag.Album(), QStringLiteral("Greatest"));
    EXPECT_EQ(tag.Year(), 1999);
    EXPECT_EQ(tag.Genre(), QStringLiteral("Rock"));
    EXPECT_TRUE(fileList()->isEnabled());
}

TEST_F(WindowTest, StripTagsLeavesNoTagAtAll)
{
    addTagged(QStringLiteral("tagged.mp3"), QStringLiteral("Band"), QStringLiteral("Song"));
    open();
    select(QStringLiteral("tagged.mp3"));
    prompter.answers.enqueue(Answer::Yes);
    window->action(QStringLiteral("mnuStripTags"))->trigger();
    ASSERT_EQ(prompter.calls.size(), 1);
    EXPECT_EQ(prompter.calls[0].text, QStringLiteral("Remove All ID3 Tags From File: \r\n\r\n")
                                          + path(QStringLiteral("tagged.mp3")) + QLatin1Char('?'));
    EXPECT_EQ(prompter.calls[0].icon, MsgIcon::Question);
    EXPECT_EQ(Mp3Builder::readFile(path(QStringLiteral("tagged.mp3"))), Mp3Builder::audioFrames(8));
    EXPECT_EQ(window->statusText(), QStringLiteral("ID3 Tags Removed From File"));
    EXPECT_TRUE(child<QWidget>(QStringLiteral("ID3ToolBar"))->isEnabled());
}

TEST_F(WindowTest, StripTagsAnsweredNoChangesNothing)
{
    addTagged(QStringLiteral("tagged.mp3"), QStringLiteral("Band"), QStringLiteral("Song"));
    open();
    select(QStringLiteral("tagged.mp3"));
    const QByteArray before = Mp3Builder::readFile(path(QStringLiteral("tagged.mp3")));
    window->RemoveTags();
    EXPECT_EQ(Mp3Builder::readFile(path(QStringLiteral("tagged.mp3"))), before);
}

TEST_F(WindowTest, DeleteMovesSelectedFilesToTheTrashAndSelectsTheNext)
{
    addMp3(QStringLiteral("a.mp3"));
    addMp3(QStringLiteral("b.mp3"));
    addMp3(QStringLiteral("c.mp3"));
    open();
    select(QStringLiteral("b.mp3"));
    prompter.answers.enqueue(Answer::Yes);
    window->action(QStringLiteral("mnuDeleteFile2"))->trigger();
    EXPECT_EQ(prompter.calls[0].text,
              QStringLiteral("Delete '") + path(QStringLiteral("b.mp3")) + QStringLiteral("' To The Recycle Bin?"));
    EXPECT_EQ(trash.trashed, QStringList{path(QStringLiteral("b.mp3"))});
    EXPECT_FALSE(QFileInfo::exists(path(QStringLiteral("b.mp3"))));
    EXPECT_EQ(listed(), (QStringList{QStringLiteral("a.mp3"), QStringLiteral("c.mp3")}));
    EXPECT_EQ(child<QLineEdit>(QStringLiteral("OldName"))->text(), QStringLiteral("c.mp3"));
}

TEST_F(WindowTest, DeleteOfSeveralEntriesAndTrashFailure)
{
    addMp3(QStringLiteral("a.mp3"));
    addMp3(QStringLiteral("b.mp3"));
    addMp3(QStringLiteral("c.mp3"));
    open();
    select(QStringLiteral("a.mp3"));
    fileList()->item(1)->setSelected(true);
    fileList()->item(2)->setSelected(true);
    prompter.answers.enqueue(Answer::Yes);
    trash.failNext = true; // the first file handled is the last selected: c.mp3
    window->DeleteFiles();
    ASSERT_EQ(prompter.calls.size(), 2);
    EXPECT_EQ(prompter.calls[1].text, QStringLiteral("Error Occured: Permission denied (75)"));
    EXPECT_EQ(prompter.calls[1].icon, MsgIcon::Critical);
    EXPECT_EQ(window->statusText(), QStringLiteral("Operation Cancelled"));
    EXPECT_EQ(listed().size(), 3);
    EXPECT_TRUE(trash.trashed.isEmpty());

    prompter.answers.enqueue(Answer::Yes);
    fileList()->clearSelection();
    select(QStringLiteral("a.mp3"));
    fileList()->item(0)->setSelected(true);
    fileList()->item(2)->setSelected(true);
    window->DeleteFiles();
    EXPECT_EQ(trash.trashed, (QStringList{path(QStringLiteral("c.mp3")), path(QStringLiteral("a.mp3"))}));
    EXPECT_EQ(listed(), QStringList{QStringLiteral("b.mp3")});
}

TEST_F(WindowTest, PlayHandsTheFileToTheDefaultPlayer)
{
    addMp3(QStringLiteral("a.mp3"));
    open();
    window->PlayFile();
    ASSERT_EQ(prompter.calls.size(), 1);
    EXPECT_EQ(prompter.calls[0].text, QStringLiteral("Please Select A File To Play First!"));
    EXPECT_EQ(prompter.calls[0].icon, MsgIcon::Exclamation);
    EXPECT_TRUE(launcher.opened.isEmpty());

    select(QStringLiteral("a.mp3"));
    window->action(QStringLiteral("Play"))->trigger();
    EXPECT_EQ(launcher.opened, QStringList{path(QStringLiteral("a.mp3"))});
    EXPECT_EQ(window->statusText(), QStringLiteral("Ready"));

    launcher.result = Launcher::NoAssociation;
    window->PlayFile();
    EXPECT_EQ(prompter.messageTexts().last(), QStringLiteral("No association for file extension"));
}
