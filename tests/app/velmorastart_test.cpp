// Start-up, shut-down, the folder, status texts and clear buttons of the main
// window.
#include "windowfixture.h"

#include "platform/version.h"

#include <QAction>
#include <QDialog>
#include <QFileSystemModel>
#include <QMenu>
#include <QToolBar>
#include <QToolButton>
#include <QTreeView>

TEST_F(WindowTest, StartsWithTheFolderListedAndNothingSelected)
{
    addMp3s({ QStringLiteral("b.MP3"), QStringLiteral("a.mp3") });
    ASSERT_TRUE(Mp3Builder::writeFile(path(QStringLiteral("notes.txt")), "x"));
    open();
    EXPECT_EQ(listed(), (QStringList { QStringLiteral("a.mp3"), QStringLiteral("b.MP3") }));
    EXPECT_EQ(table().currentRow(), -1);
    EXPECT_FALSE(newName()->isEnabled());
    EXPECT_FALSE(window->action(QStringLiteral("SaveTags"))->isEnabled());
    EXPECT_TRUE(window->action(QStringLiteral("MassRename"))->isEnabled());
}

TEST_F(WindowTest, SettingsAreSavedOnCloseAndRestoredOnTheNextStart)
{
    addMp3(QStringLiteral("a.mp3"));
    open();
    window->resize(1100, 760);
    window->toggleToolbar();
    formatList()->setCurrentRow(2);
    window->close();
    EXPECT_EQ(settings.values[QStringLiteral("Settings")][QStringLiteral("ToolBar")], QStringLiteral("Off"));
    open();
    EXPECT_EQ(window->size(), QSize(1100, 760));
    EXPECT_TRUE(child<QToolBar>(QStringLiteral("TheTB"))->isHidden());
    EXPECT_EQ(formatList()->currentRow(), 2);
    settings.values[QStringLiteral("Settings")][QStringLiteral("Was Max")] = QStringLiteral("1");
    open();
    EXPECT_TRUE(window->windowState() & Qt::WindowMaximized);
}

TEST_F(WindowTest, FolderChangeListsTheNewFolderOrGoesHomeAndClearsTheFile)
{
    addTagged(QStringLiteral("a.mp3"), QStringLiteral("Band"), QStringLiteral("Song"));
    const QString other = dir.path() + QStringLiteral("/other");
    ASSERT_TRUE(QDir().mkpath(other));
    ASSERT_TRUE(Mp3Builder::writePlainMp3(other + QStringLiteral("/z.mp3")));
    open();
    select(QStringLiteral("a.mp3"));
    window->folderChanged(other + QLatin1Char('/'));
    EXPECT_EQ(listed(), QStringList { QStringLiteral("z.mp3") });
    EXPECT_EQ(box(FieldId::Artist), QString());

    // A click in the tree on a folder that cannot be listed: the tree ends on
    // home once the click is over, and the message stays.
    const auto* tree = child<QTreeView>(QStringLiteral("FTV"));
    const QString gone = dir.path() + QStringLiteral("/gone");
    ASSERT_TRUE(QDir().mkpath(gone));
    const QModelIndex index = static_cast<const QFileSystemModel*>(tree->model())->index(gone);
    ASSERT_TRUE(index.isValid());
    ASSERT_TRUE(QDir().rmdir(gone));
    tree->selectionModel()->setCurrentIndex(index, QItemSelectionModel::NoUpdate);
    tree->selectionModel()->select(index, QItemSelectionModel::ClearAndSelect);
    QApplication::processEvents();
    EXPECT_EQ(window->folder(), QDir::homePath() + QLatin1Char('/'));
    EXPECT_EQ(window->statusText(), QStringLiteral("Cannot Change Folder To: ") + gone + QLatin1Char('/'));
    EXPECT_EQ(tree->selectionModel()->selectedRows().value(0).data(QFileSystemModel::FilePathRole).toString(),
        QDir::homePath());
}

TEST_F(WindowTest, MenuCommandsShowTheirStatusAndRefresh)
{
    open();
    addMp3(QStringLiteral("late.mp3"));
    window->action(QStringLiteral("mnuRefreshFolder"))->trigger();
    EXPECT_EQ(listed(), QStringList { QStringLiteral("late.mp3") });
    window->action(QStringLiteral("Help"))->trigger();
    EXPECT_EQ(launcher.opened, QStringList { helpFile });
    QString shownVersion;
    QTimer::singleShot(10, [&shownVersion] {
        auto* about = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (about && about->objectName() == QLatin1String("AboutBox")) {
            shownVersion = about->findChild<QLabel*>(QStringLiteral("Version"))->text();
            about->accept();
        }
    });
    window->action(QStringLiteral("mnuAbout"))->trigger();
    EXPECT_EQ(shownVersion, velmoraTitle());
}

TEST_F(WindowTest, ClearButtonsEmptyTheirBoxAndTheContextMenuNeedsASelection)
{
    addTagged(QStringLiteral("a.mp3"), QStringLiteral("Band"), QStringLiteral("Song"));
    open();
    window->show();
    emit fileList()->customContextMenuRequested(QPoint(2, 2));
    EXPECT_FALSE(window->fileListMenu()->isVisible());
    select(QStringLiteral("a.mp3"));
    emit fileList()->customContextMenuRequested(QPoint(2, 2));
    EXPECT_TRUE(window->fileListMenu()->isVisible());
    window->fileListMenu()->hide();
    child<QToolButton>(QStringLiteral("ClrImg0"))->click();
    EXPECT_EQ(box(FieldId::Artist), QString());
}

TEST_F(WindowTest, SettingsThatCannotBeSavedAreToldOnce)
{
    settings.failure = { QStringLiteral("/cfg/Velmora/Velmora.ini"), { 53, QStringLiteral("Not a directory") } };
    open();
    window->close();
    EXPECT_EQ(settings.syncs, 2); // after start-up and on closing
    EXPECT_EQ(prompter.count(ScriptedPrompter::Kind::Message), 1);
}
