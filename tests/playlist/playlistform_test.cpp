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

TEST_F(PlaylistFormTest, ListsAndWritesEveryAudioFormatOrMp3FilesAlone)
{
    const struct {
        ListedFormats formats;
        QStringList listed;
        QByteArray text;
    } cases[] = {
        { ListedFormats::All, { "#4 Four.opus", "01 - One.MP3", "02 Two.flac", "03 Three.m4a", "05 Five.ogg" },
            "#EXTM3U\r\n./#4 Four.opus\r\n01 - One.MP3\r\n02 Two.flac\r\n03 Three.m4a\r\n05 Five.ogg\r\n" },
        { ListedFormats::Mp3Only, { "01 - One.MP3" }, "#EXTM3U\r\n01 - One.MP3\r\n" },
    };
    for (const auto& c : cases) {
        open({ "02 Two.flac", "01 - One.MP3", "03 Three.m4a", "#4 Four.opus", "05 Five.ogg", "cover.jpg" }, c.formats);
        EXPECT_EQ(listTexts(files), c.listed);
        prompter.inputs.enqueue(QStringLiteral("mix"));
        create();
        EXPECT_EQ(Mp3Builder::readFile(folder + QStringLiteral("/mix.m3u")), c.text);
    }
}

TEST_F(PlaylistFormTest, EmptyFolderMakesCreateDoNothing)
{
    open({});
    create();
    EXPECT_TRUE(prompter.calls.isEmpty());
    EXPECT_TRUE(QDir(folder).entryList(QDir::Files).isEmpty());
}
