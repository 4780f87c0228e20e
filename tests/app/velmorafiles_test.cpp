// The main window's file commands on real files: selecting, renaming (with
// the existing-target prompt), deleting, tag saving and stripping.
#include "windowfixture.h"

#include "tags/tagtypes.h"

#include <QGroupBox>

TEST_F(WindowTest, SelectingAFileCleansRecasesAndCutsTheName)
{
    addMp3(QStringLiteral("the artist--some title.mp3"));
    open();
    select(QStringLiteral("the artist--some title.mp3"));
    EXPECT_EQ(oldName(), QStringLiteral("the artist--some title.mp3"));
    EXPECT_EQ(newNameText(), QStringLiteral("The Artist-Some Title.mp3"));
    const QStringList parts = window->session().parts().entries();
    EXPECT_TRUE(parts.contains(QStringLiteral("The Artist"))) << parts.join(QLatin1Char('|')).toStdString();
    EXPECT_TRUE(parts.contains(QStringLiteral("Some Title")));
    EXPECT_TRUE(parts.contains(QStringLiteral("music"))); // the folder's name
    EXPECT_EQ(child<QGroupBox>(QStringLiteral("RenameFrame"))->title(),
              QStringLiteral("the artist--some title.mp3 (3.26KB)"));
    EXPECT_EQ(window->currentFile().path(), path(QStringLiteral("the artist--some title.mp3")));
    EXPECT_TRUE(newName()->isEnabled());
}

TEST_F(WindowTest, SelectingFillsTheBoxesAndTheTrailerAndShowsCopyright)
{
    addMp3(QStringLiteral("plain.mp3"), 8, true);
    addTagged(QStringLiteral("song.mp3"), QStringLiteral("Band"), QStringLiteral("Schön"));
    open();
    select(QStringLiteral("plain.mp3"));
    EXPECT_EQ(box(FieldId::CopyRight), QStringLiteral("True"));
    EXPECT_EQ(trailerOf(QStringLiteral("plain.mp3")).Artist(), QString()); // an empty trailer
    select(QStringLiteral("song.mp3"));
    EXPECT_EQ(box(FieldId::CopyRight), QStringLiteral("False"));
    EXPECT_EQ(box(FieldId::Artist), QStringLiteral("Band"));
    EXPECT_EQ(box(FieldId::Title), QStringLiteral("Schön"));
    EXPECT_TRUE(window->session().parts().entries().contains(QStringLiteral("Band")));
    const ID3V1Tag v1 = trailerOf(QStringLiteral("song.mp3"));
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
    const auto beta = [parts] { return parts->findItems(QStringLiteral("Beta"), Qt::MatchExactly).value(0); };
    ASSERT_NE(beta(), nullptr);
    emit parts->itemDoubleClicked(beta());
    EXPECT_EQ(newNameText(), QStringLiteral("Alpha.mp3"));
    ASSERT_NE(beta(), nullptr);
    emit parts->itemDoubleClicked(beta());
    EXPECT_EQ(newNameText(), QStringLiteral("Alpha-Beta.mp3"));
    // A single click makes the part the one a drag would drop.
    emit parts->itemPressed(beta());
    EXPECT_EQ(window->session().parts().SelectedPart(), QStringLiteral("Beta"));
}

TEST_F(WindowTest, MaskSyncRunsInBothDirections)
{
    addMp3(QStringLiteral("x.mp3"));
    open();
    select(QStringLiteral("x.mp3"));
    formatList()->setCurrentRow(1);
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
    addMp3s({QStringLiteral("a one.mp3"), QStringLiteral("b two.mp3"), QStringLiteral("c three.mp3")});
    open();
    select(QStringLiteral("a one.mp3"));
    formatList()->setCurrentRow(1);
    setBox(FieldId::Artist, QStringLiteral("Band"));
    setBox(FieldId::Title, QStringLiteral("Schön"));
    setBox(FieldId::Track, QStringLiteral("7"));
    window->action(QStringLiteral("Sync"))->trigger();
    ASSERT_EQ(newNameText(), QStringLiteral("Band-Schön.mp3"));
    child<QPushButton>(QStringLiteral("RenameButton"))->click();

    EXPECT_FALSE(exists(QStringLiteral("a one.mp3")));
    ASSERT_TRUE(exists(QStringLiteral("Band-Schön.mp3")));
    // The trailer first: loading a file with both tags removes its trailer.
    const ID3V1Tag v1 = trailerOf(QStringLiteral("Band-Schön.mp3"));
    EXPECT_EQ(v1.Artist(), QStringLiteral("Band"));
    EXPECT_EQ(v1.Track(), 7);
    const auto tag = tagOf(QStringLiteral("Band-Schön.mp3"));
    EXPECT_EQ(tag->Artist(), QStringLiteral("Band"));
    EXPECT_EQ(tag->Title(), QStringLiteral("Schön"));
    EXPECT_EQ(tag->Track(), 7);
    // The entry after the renamed one is selected and loaded.
    EXPECT_EQ(oldName(), QStringLiteral("b two.mp3"));
    EXPECT_EQ(newNameText(), QStringLiteral("B Two.mp3"));
    EXPECT_EQ(window->statusText(), QStringLiteral("Ready"));
    EXPECT_TRUE(prompter.calls.isEmpty());
}

TEST_F(WindowTest, RenamingTheLastFileSelectsTheLastEntry)
{
    addMp3s({QStringLiteral("a.mp3"), QStringLiteral("m.mp3")});
    open();
    select(QStringLiteral("m.mp3"));
    renameTo(QStringLiteral("0 first.mp3"));
    EXPECT_EQ(listed(), (QStringList{QStringLiteral("0 first.mp3"), QStringLiteral("a.mp3")}));
    EXPECT_EQ(fileList()->currentRow(), 1);
    EXPECT_EQ(oldName(), QStringLiteral("a.mp3"));
}

TEST_F(WindowTest, RenameRefusesMissingSelectionAndEmptyNames)
{
    addMp3(QStringLiteral("a.mp3"));
    open();
    window->RenameFile();
    select(QStringLiteral("a.mp3"));
    renameTo(QStringLiteral(".mp3"));
    EXPECT_EQ(prompter.messageTexts(),
              (QStringList{QStringLiteral("Please Select A File!"), QStringLiteral("Please Specify A New Filename!")}));
    EXPECT_EQ(prompter.calls[0].icon, MsgIcon::Information);
    EXPECT_TRUE(exists(QStringLiteral("a.mp3")));
}

TEST_F(WindowTest, OverwriteShowsBothFilesAndMovesTheExistingOneToTheTrash)
{
    addMp3(QStringLiteral("a.mp3"), 8);
    addMp3(QStringLiteral("b.mp3"), 12);
    const QByteArray oldB = bytes(QStringLiteral("b.mp3"));
    open();
    select(QStringLiteral("a.mp3"));
    int shown = 0;
    QStringList facts;
    answerFileExists(QStringLiteral("OverwriteFile"), &shown, &facts);
    renameTo(QStringLiteral("b.mp3"));

    EXPECT_EQ(shown, 1);
    ASSERT_EQ(facts.size(), 11);
    EXPECT_EQ(facts.mid(0, 3), (QStringList{folder + QLatin1Char('/'), QStringLiteral("b.mp3"), QStringLiteral("a.mp3")}));
    EXPECT_TRUE(facts[3].startsWith(QStringLiteral("4.89KB"))) << facts[3].toStdString(); // 12 frames of 417 bytes
    EXPECT_TRUE(facts[4].startsWith(QStringLiteral("3.38KB"))) << facts[4].toStdString(); // 8 frames + trailer
    EXPECT_FALSE(facts[9].isEmpty()); // modification date
    EXPECT_EQ(prompter.count(ScriptedPrompter::Kind::Beep), 1);
    EXPECT_EQ(trash.trashed, QStringList{path(QStringLiteral("b.mp3"))});
    EXPECT_EQ(Mp3Builder::readFile(trash.folder + QStringLiteral("/0_b.mp3")), oldB);
    EXPECT_FALSE(exists(QStringLiteral("a.mp3")));
    EXPECT_TRUE(bytes(QStringLiteral("b.mp3")).contains(Mp3Builder::audioFrames(8)));
    EXPECT_FALSE(bytes(QStringLiteral("b.mp3")).contains(Mp3Builder::audioFrames(9)));
    EXPECT_EQ(listed(), QStringList{QStringLiteral("b.mp3")});
}

TEST_F(WindowTest, SkipLeavesBothFilesAndReportsTheError)
{
    addMp3(QStringLiteral("a.mp3"), 8);
    addMp3(QStringLiteral("b.mp3"), 12);
    open();
    select(QStringLiteral("a.mp3"));
    const QByteArray a = bytes(QStringLiteral("a.mp3"));
    const QByteArray b = bytes(QStringLiteral("b.mp3"));
    int shown = 0;
    answerFileExists(QStringLiteral("SkipFile"), &shown);
    renameTo(QStringLiteral("b.mp3"));

    EXPECT_EQ(shown, 1);
    EXPECT_EQ(bytes(QStringLiteral("a.mp3")), a);
    EXPECT_EQ(bytes(QStringLiteral("b.mp3")), b);
    EXPECT_TRUE(trash.trashed.isEmpty());
    EXPECT_EQ(window->statusText(), QStringLiteral("Renaming Of 'b.mp3' Encountered Errors"));
    EXPECT_EQ(oldName(), QStringLiteral("a.mp3"));
    // A tag save after the skip writes into a.mp3, never into b.mp3.
    setBox(FieldId::Artist, QStringLiteral("Only A"));
    window->SaveTags();
    EXPECT_EQ(bytes(QStringLiteral("b.mp3")), b);
    EXPECT_EQ(tagOf(QStringLiteral("a.mp3"))->Artist(), QStringLiteral("Only A"));
}

TEST_F(WindowTest, RenameToTheSameNameIsNoConflict)
{
    addMp3(QStringLiteral("Song.mp3"));
    open();
    select(QStringLiteral("Song.mp3"));
    ASSERT_EQ(newNameText(), QStringLiteral("Song.mp3"));
    setBox(FieldId::Artist, QStringLiteral("Kept"));
    int shown = 0;
    answerFileExists(QStringLiteral("SkipFile"), &shown, nullptr, 0);
    window->RenameFile();
    QApplication::processEvents();
    EXPECT_EQ(shown, 0);
    EXPECT_TRUE(trash.trashed.isEmpty());
    EXPECT_TRUE(prompter.calls.isEmpty());
    EXPECT_EQ(tagOf(QStringLiteral("Song.mp3"))->Artist(), QStringLiteral("Kept"));
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
    prompter.answers << Answer::Yes << Answer::Yes;
    select(QStringLiteral("other.mp3"));
    select(QStringLiteral("empty.mp3"));
    ASSERT_EQ(prompter.calls.size(), 2);
    EXPECT_EQ(prompter.calls[1].text,
        QStringLiteral("Delete '") + path(QStringLiteral("empty.mp3")) + QStringLiteral("' To The Trash?"));
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
    renameTo(QStringLiteral("renamed.mp3"));
    ASSERT_TRUE(exists(QStringLiteral("renamed.mp3")));
    EXPECT_EQ(tagOf(QStringLiteral("renamed.mp3"))->Artist(), QStringLiteral("Old Artist"));
}

TEST_F(WindowTest, SaveTagsWritesBothTags)
{
    addMp3(QStringLiteral("a.mp3"));
    open();
    select(QStringLiteral("a.mp3"));
    setBox(FieldId::Album, QStringLiteral("Greatest"));
    setBox(FieldId::Genre, QStringLiteral("Rock"));
    setBox(FieldId::Year, QStringLiteral("1999"));
    window->action(QStringLiteral("mnuSaveID3"))->trigger();
    EXPECT_EQ(window->statusText(), QStringLiteral("ID3 Tags Saved To File"));
    const ID3V1Tag v1 = trailerOf(QStringLiteral("a.mp3"));
    EXPECT_EQ(v1.Album(), QStringLiteral("Greatest"));
    EXPECT_EQ(v1.Genre(), GetGenreIndex(QStringLiteral("Rock")));
    EXPECT_EQ(v1.Year(), QStringLiteral("1999"));
    const auto tag = tagOf(QStringLiteral("a.mp3"));
    EXPECT_EQ(tag->Album(), QStringLiteral("Greatest"));
    EXPECT_EQ(tag->Year(), 1999);
    EXPECT_EQ(tag->Genre(), QStringLiteral("Rock"));
}

TEST_F(WindowTest, StripTagsAsksAndLeavesNoTagAtAll)
{
    addTagged(QStringLiteral("tagged.mp3"), QStringLiteral("Band"), QStringLiteral("Song"));
    open();
    select(QStringLiteral("tagged.mp3"));
    const QByteArray before = bytes(QStringLiteral("tagged.mp3"));
    window->RemoveTags(); // answered No
    EXPECT_EQ(bytes(QStringLiteral("tagged.mp3")), before);
    prompter.answers.enqueue(Answer::Yes);
    window->action(QStringLiteral("mnuStripTags"))->trigger();
    ASSERT_EQ(prompter.calls.size(), 2);
    EXPECT_EQ(prompter.calls[1].text, QStringLiteral("Remove All ID3 Tags From File: \r\n\r\n")
                                          + path(QStringLiteral("tagged.mp3")) + QLatin1Char('?'));
    EXPECT_EQ(prompter.calls[1].icon, MsgIcon::Question);
    EXPECT_EQ(bytes(QStringLiteral("tagged.mp3")), Mp3Builder::audioFrames(8));
    EXPECT_EQ(window->statusText(), QStringLiteral("ID3 Tags Removed From File"));
}

TEST_F(WindowTest, DeleteMovesSelectedFilesToTheTrashAndSelectsTheNext)
{
    addMp3s({QStringLiteral("a.mp3"), QStringLiteral("b.mp3"), QStringLiteral("c.mp3"), QStringLiteral("d.mp3")});
    open();
    select(QStringLiteral("b.mp3"));
    prompter.answers.enqueue(Answer::Yes);
    window->action(QStringLiteral("mnuDeleteFile2"))->trigger();
    EXPECT_EQ(prompter.calls[0].text,
        QStringLiteral("Delete '") + path(QStringLiteral("b.mp3")) + QStringLiteral("' To The Trash?"));
    EXPECT_EQ(trash.trashed, QStringList{path(QStringLiteral("b.mp3"))});
    EXPECT_FALSE(exists(QStringLiteral("b.mp3")));
    EXPECT_EQ(oldName(), QStringLiteral("c.mp3"));

    // Several entries, the last selected handled first; a trash failure stops.
    const auto selectAAndD = [this] {
        fileList()->clearSelection();
        select(QStringLiteral("a.mp3"));
        fileList()->item(0)->setSelected(true);
        fileList()->item(2)->setSelected(true);
        prompter.answers.enqueue(Answer::Yes);
    };
    selectAAndD();
    trash.failNext = true;
    window->DeleteFiles();
    ASSERT_EQ(prompter.calls.size(), 3);
    EXPECT_EQ(prompter.calls[2].text, QStringLiteral("Error Occured: Permission denied (75)"));
    EXPECT_EQ(prompter.calls[2].icon, MsgIcon::Critical);
    EXPECT_EQ(window->statusText(), QStringLiteral("Operation Cancelled"));
    EXPECT_EQ(listed().size(), 3);
    EXPECT_TRUE(exists(QStringLiteral("d.mp3")));
    selectAAndD();
    window->DeleteFiles();
    EXPECT_EQ(trash.trashed, (QStringList{path(QStringLiteral("b.mp3")), path(QStringLiteral("d.mp3")),
                                          path(QStringLiteral("a.mp3"))}));
    EXPECT_EQ(listed(), QStringList{QStringLiteral("c.mp3")});
}

TEST_F(WindowTest, PlayHandsTheFileToTheDefaultPlayer)
{
    addMp3(QStringLiteral("a.mp3"));
    open();
    window->PlayFile();
    EXPECT_EQ(prompter.messageTexts(), QStringList{QStringLiteral("Please Select A File To Play First!")});
    EXPECT_EQ(prompter.calls[0].icon, MsgIcon::Exclamation);
    EXPECT_TRUE(launcher.opened.isEmpty());
    select(QStringLiteral("a.mp3"));
    window->action(QStringLiteral("Play"))->trigger();
    EXPECT_EQ(launcher.opened, QStringList{path(QStringLiteral("a.mp3"))});
    launcher.result = Launcher::NoAssociation;
    window->PlayFile();
    EXPECT_EQ(prompter.messageTexts().last(),
        QStringLiteral("No association for file extension\r\n\r\n") + path(QStringLiteral("a.mp3")));
}
