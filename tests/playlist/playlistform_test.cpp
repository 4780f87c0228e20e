#include "platform/fakes/scriptedprompter.h"
#include "platform/platformservices.h"
#include "playlist/ui/playlistform.h"
#include "support/mp3builder.h"
#include "support/qttesthelpers.h"

#include <QApplication>
#include <QDir>
#include <QKeyEvent>
#include <QPushButton>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

// The form over a folder "Party Mix" holding the given (empty) files.
class PlaylistFormTest : public ::testing::Test {
protected:
    void open(std::initializer_list<const char*> names, ListedFormats formats = ListedFormats::All)
    {
        services.prompter = &prompter;
        folder = dir.filePath(QStringLiteral("Party Mix"));
        ASSERT_TRUE(QDir().mkpath(folder));
        for (const char* name : names)
            ASSERT_TRUE(Mp3Builder::writeFile(folder + QLatin1Char('/') + QLatin1String(name), {}));
        form = std::make_unique<PlaylistForm>(services, folder, formats);
        files = form->findChild<QListWidget*>(QStringLiteral("PLFiles"));
    }
    void create() { form->findChild<QPushButton*>(QStringLiteral("CreateButton"))->click(); }
    int selectedCount() const { return int(files->selectedItems().size()); }
    static void pressA(QWidget* target, Qt::KeyboardModifiers mods)
    {
        QKeyEvent override(QEvent::ShortcutOverride, Qt::Key_A, mods);
        QApplication::sendEvent(target, &override);
        QKeyEvent key(QEvent::KeyPress, Qt::Key_A, mods);
        QApplication::sendEvent(target, &key);
    }

    QTemporaryDir dir;
    QString folder;
    ScriptedPrompter prompter;
    PlatformServices services;
    std::unique_ptr<PlaylistForm> form;
    QListWidget* files = nullptr;
};

} // namespace

TEST_F(PlaylistFormTest, KeysSelectAndTheSelectedFilesGiveTheFileAndCancelWritesNothing)
{
    open({ "02 - Two.mp3", "01 - One.MP3", "cover.jpg" });
    EXPECT_EQ(listTexts(files), QStringList({ "01 - One.MP3", "02 - Two.mp3" }));
    EXPECT_EQ(selectedCount(), 2);
    files->clearSelection();
    pressA(files, Qt::ControlModifier); // Ctrl+A alone does nothing
    EXPECT_EQ(selectedCount(), 0);
    pressA(files, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(selectedCount(), 2);
    files->item(1)->setSelected(false);
    create();
    EXPECT_EQ(prompter.calls[0].defaultText, QStringLiteral("Party Mix.m3u"));
    EXPECT_EQ(prompter.messageTexts(), QStringList { "No PlayList File Specified!\r\n\r\nNo File Saved." });
    EXPECT_EQ(QDir(folder).entryList(QDir::Files).size(), 3);
    prompter.inputs.enqueue(QStringLiteral(" party "));
    create();
    EXPECT_EQ(Mp3Builder::readFile(folder + QStringLiteral("/party.m3u")), QByteArray("#EXTM3U\r\n01 - One.MP3\r\n"));
}

// Which files a folder lists, and their lines, are the engine's: here only
// that the window passes its choice of formats on.
TEST_F(PlaylistFormTest, ListsMp3FilesAloneWhenAsked)
{
    open({ "02 Two.flac", "01 - One.MP3", "#4 Four.opus", "cover.jpg" }, ListedFormats::Mp3Only);
    EXPECT_EQ(listTexts(files), QStringList { "01 - One.MP3" });
}

TEST_F(PlaylistFormTest, EmptyFolderMakesCreateDoNothing)
{
    open({});
    create();
    EXPECT_TRUE(prompter.calls.isEmpty());
    EXPECT_TRUE(QDir(folder).entryList(QDir::Files).isEmpty());
}
