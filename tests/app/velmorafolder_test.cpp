// The folder on show: removed by another program while shown, it is
// reported, its nearest existing parent is shown and unsaved tag changes
// are named; the windows that work on a folder never open on another one;
// Refresh reads the selected file again.
#include "windowfixture.h"

#include <QDialog>
#include <QElapsedTimer>
#include <QTreeView>

#include <functional>

namespace {

class FolderTest : public WindowTest {
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        inner = folder + QStringLiteral("/inner");
        ASSERT_TRUE(QDir().mkpath(inner));
        addMp3(QStringLiteral("outer.mp3"));
        ASSERT_TRUE(Mp3Builder::writePlainMp3(inner + QStringLiteral("/a.mp3")));
        settings.values[QStringLiteral("Settings")][QStringLiteral("Last Path")] = inner + QLatin1Char('/');
        open();
        window->show();
        ASSERT_EQ(window->folder(), inner + QLatin1Char('/'));
        select(QStringLiteral("a.mp3"));
    }

    // Lets the window run until until() holds, for at most ms: the folder
    // tree hears of a removal from the file system's watcher.
    static bool waitFor(const std::function<bool()>& until, int ms = 10000)
    {
        QElapsedTimer timer;
        timer.start();
        while (!until() && timer.elapsed() < ms)
            QApplication::processEvents(QEventLoop::AllEvents, 50);
        return until();
    }

    QString inner;
};

} // namespace

TEST_F(FolderTest, ARemovedFolderIsReportedWithTheUnsavedTagsAndItsParentIsShown)
{
    setBox(FieldId::Artist, QStringLiteral("Typed Artist"));
    setBox(FieldId::Year, QStringLiteral("1999"));
    ASSERT_TRUE(QDir(inner).removeRecursively());
    ASSERT_TRUE(waitFor([this] { return !prompter.calls.isEmpty(); }));
    ASSERT_EQ(prompter.calls.size(), 1);
    EXPECT_EQ(prompter.calls[0].icon, MsgIcon::Exclamation);
    EXPECT_EQ(prompter.calls[0].text,
        QStringLiteral("The Folder Shown Was Removed Or Renamed By Another Program:\r\n\r\n") + inner
            + QStringLiteral("/\r\n\r\nNow Showing:\r\n\r\n") + folder
            + QStringLiteral("/\r\n\r\nThese Tags Typed For 'a.mp3' Were Not Saved:\r\n\r\nArtist: Typed "
                             "Artist\r\nYear: 1999"));
    EXPECT_EQ(window->folder(), folder + QLatin1Char('/'));
    EXPECT_EQ(child<QTreeView>(QStringLiteral("FTV"))->currentIndex().data().toString(), QStringLiteral("music"));
    EXPECT_EQ(listed(), QStringList { QStringLiteral("outer.mp3") });
    EXPECT_TRUE(window->currentFile().isEmpty());
    EXPECT_EQ(window->statusText(), QStringLiteral("Folder No Longer Exists: ") + inner + QLatin1Char('/'));
    // Told once.
    QApplication::processEvents();
    EXPECT_EQ(prompter.calls.size(), 1);
}

TEST_F(FolderTest, WindowsThatWorkOnTheFolderNeverOpenOnAnotherOne)
{
    const char* entries[] = { "mnuMassRename", "mnuMultiTagger", "mnuCreatePlaylist", "mnuRefreshFolder" };
    for (const char* entry : entries) {
        SCOPED_TRACE(entry);
        ASSERT_TRUE(QDir().mkpath(inner));
        window->folderChanged(inner);
        ASSERT_EQ(window->folder(), inner + QLatin1Char('/'));
        prompter.calls.clear();
        // Gone before the window has heard of it: the command finds out.
        ASSERT_TRUE(QDir(inner).removeRecursively());
        QString opened;
        QTimer::singleShot(10, [&opened] {
            if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
                opened = dialog->objectName();
                dialog->reject();
            }
        });
        window->action(QLatin1String(entry))->trigger();
        EXPECT_EQ(opened, QString());
        ASSERT_EQ(prompter.calls.size(), 1);
        EXPECT_TRUE(prompter.calls[0].text.startsWith(
            QStringLiteral("The Folder Shown Was Removed Or Renamed By Another Program:\r\n\r\n") + inner))
            << prompter.calls[0].text.toStdString();
        EXPECT_EQ(window->folder(), folder + QLatin1Char('/'));
        // The tree's own notice comes later and adds nothing.
        waitFor([] { return false; }, 1000);
        EXPECT_EQ(prompter.calls.size(), 1);
    }
}

TEST_F(FolderTest, RefreshReadsTheSelectedFileAgainAndAsksBeforeDroppingTypedTags)
{
    const QString a = inner + QStringLiteral("/a.mp3");
    const auto changeOutside = [&a](const QString& artist) {
        ID3V2Tag other;
        other.setFileName(a);
        other.setArtist(artist);
        ASSERT_TRUE(other.update());
    };
    {
        // Every kind of box filled, none typed in: nothing counts as unsaved.
        ID3V2Tag tag;
        tag.setFileName(a);
        tag.setTrack(3);
        tag.setTotalTracks(12);
        tag.setYear(1999);
        tag.setGenre(QStringLiteral("Rock"));
        tag.setComments(QStringLiteral("Said \"so\""));
        tag.setTempo(QStringLiteral("120"));
        ASSERT_TRUE(tag.update());
    }
    changeOutside(QStringLiteral("Outside"));
    const QByteArray changed = Mp3Builder::readFile(a);
    window->action(QStringLiteral("Refresh"))->trigger();
    EXPECT_EQ(box(FieldId::Artist), QStringLiteral("Outside"));
    EXPECT_EQ(Mp3Builder::readFile(a), changed); // read, not written
    EXPECT_TRUE(prompter.calls.isEmpty());

    // Typed changes: asked first (No is the default), and No keeps them.
    changeOutside(QStringLiteral("Outside Again"));
    setBox(FieldId::Title, QStringLiteral("Typed"));
    window->action(QStringLiteral("mnuRefreshFolder"))->trigger();
    ASSERT_EQ(prompter.calls.size(), 1);
    EXPECT_EQ(prompter.calls[0].text,
        QStringLiteral("The Tags Shown For '") + a
            + QStringLiteral("' Hold Changes That Are Not Saved:\r\n\r\nTitle: Typed\r\n\r\nRead The File Again And "
                             "Drop These Changes?"));
    EXPECT_EQ(prompter.calls[0].buttons, MsgButtons::YesNoDefaultNo);
    EXPECT_EQ(box(FieldId::Title), QStringLiteral("Typed"));
    EXPECT_EQ(box(FieldId::Artist), QStringLiteral("Outside"));
    prompter.answers << Answer::Yes;
    window->action(QStringLiteral("mnuRefreshFolder2"))->trigger();
    EXPECT_EQ(box(FieldId::Title), QString());
    EXPECT_EQ(box(FieldId::Artist), QStringLiteral("Outside Again"));
    EXPECT_EQ(currentName(), QStringLiteral("a.mp3"));
    EXPECT_TRUE(table().isRowSelected(table().currentRow()));
}

TEST_F(FolderTest, AFolderThatGoesWhileMassRenameIsOpenIsReportedAfterIt)
{
    QTimer::singleShot(10, [this] {
        if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
            // Removed, and closed before the window has heard of it.
            QDir(inner).removeRecursively();
            dialog->reject();
        }
    });
    window->action(QStringLiteral("mnuMassRename"))->trigger();
    ASSERT_EQ(prompter.calls.size(), 1);
    EXPECT_TRUE(prompter.calls[0].text.startsWith(
        QStringLiteral("The Folder Shown Was Removed Or Renamed By Another Program:\r\n\r\n") + inner));
    EXPECT_EQ(window->folder(), folder + QLatin1Char('/'));
    EXPECT_EQ(listed(), QStringList { QStringLiteral("outer.mp3") });
}
