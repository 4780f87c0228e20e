// Start-up, shut-down, the folder, status texts and layout of the main window.
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
    addMp3s({ QStringLiteral("b.MP3"), QStringLiteral("a.mp3"), QStringLiteral("C.Mp3") });
    ASSERT_TRUE(Mp3Builder::writeFile(path(QStringLiteral("notes.txt")), "x"));
    open();
    EXPECT_EQ(listed(), (QStringList { QStringLiteral("a.mp3"), QStringLiteral("b.MP3"), QStringLiteral("C.Mp3") }));
    EXPECT_EQ(fileList()->currentRow(), -1);
    EXPECT_EQ(window->folder(), folder + QLatin1Char('/'));
    EXPECT_TRUE(window->currentFile().isEmpty());
    for (const char* name : { "NewName", "RenameButton", "ID3Artist", "ClrImg0" })
        EXPECT_FALSE(child<QWidget>(QLatin1String(name))->isEnabled()) << name;
    for (const char* name : { "Rename", "Play", "Delete", "SaveTags" })
        EXPECT_FALSE(window->action(QLatin1String(name))->isEnabled()) << name;
    EXPECT_TRUE(window->action(QStringLiteral("MassRename"))->isEnabled());
    // The factory masks were written back at once.
    EXPECT_EQ(settings.values[QStringLiteral("Formats")].size(), 6);
    EXPECT_EQ(window->session().formats().currentIndex(), 0);
}

TEST_F(WindowTest, SettingsAreSavedOnCloseAndRestoredOnTheNextStart)
{
    addMp3(QStringLiteral("a.mp3"));
    open();
    window->resize(1100, 760);
    window->ToggleToolbar();
    formatList()->setCurrentRow(2);
    window->close();
    const QList<QPair<QString, QString>> saved = { { "Last Path", folder + QLatin1Char('/') }, { "Last Format", "2" },
        { "Was Max", "0" }, { "ToolBar", "Off" }, { "Last Width", "1100" }, { "Last Height", "760" } };
    for (const auto& [key, value] : saved)
        EXPECT_EQ(settings.values[QStringLiteral("Settings")][key], value) << key.toStdString();
    window.reset();

    open();
    EXPECT_EQ(window->size(), QSize(1100, 760));
    EXPECT_TRUE(child<QToolBar>(QStringLiteral("TheTB"))->isHidden());
    EXPECT_EQ(window->session().formats().currentIndex(), 2);
    EXPECT_EQ(formatList()->currentRow(), 2);
    EXPECT_EQ(listed(), QStringList { QStringLiteral("a.mp3") });
}

TEST_F(WindowTest, WasMaxOpensMaximisedAndZeroSizeKeepsTheDesign)
{
    open();
    const QSize design = window->size();
    EXPECT_EQ(window->minimumSize(), design);
    auto& s = settings.values[QStringLiteral("Settings")];
    s[QStringLiteral("Was Max")] = QStringLiteral("1");
    s[QStringLiteral("Last Width")] = QStringLiteral("1200");
    open();
    EXPECT_TRUE(window->windowState() & Qt::WindowMaximized);
    s[QStringLiteral("Was Max")] = QStringLiteral("0");
    s[QStringLiteral("Last Width")] = s[QStringLiteral("Last Height")] = QStringLiteral("0");
    open();
    EXPECT_FALSE(window->windowState() & Qt::WindowMaximized);
    EXPECT_EQ(window->size(), design);
}

TEST_F(WindowTest, TheWindowCannotShrinkAndItsListsGrowWithIt)
{
    open();
    window->show();
    QApplication::processEvents();
    const QSize minimum = window->minimumSize();
    window->resize(200, 150);
    QApplication::processEvents();
    EXPECT_GE(window->width(), minimum.width());
    EXPECT_GE(window->height(), minimum.height());
    QList<QPair<QWidget*, QSize>> before;
    for (const char* name : { "FileList", "PartsList", "ContainerPic" })
        before.append({ child<QWidget>(QLatin1String(name)), child<QWidget>(QLatin1String(name))->size() });
    window->resize(minimum + QSize(300, 240));
    QApplication::processEvents();
    for (const auto& [widget, size] : before) {
        EXPECT_GT(widget->width(), size.width()) << widget->objectName().toStdString();
        EXPECT_GT(widget->height(), size.height()) << widget->objectName().toStdString();
    }
}

TEST_F(WindowTest, FolderChangeListsTheNewFolderOrGoesHomeAndClearsTheFile)
{
    addTagged(QStringLiteral("a.mp3"), QStringLiteral("Band"), QStringLiteral("Song"));
    const QString other = dir.path() + QStringLiteral("/other");
    ASSERT_TRUE(QDir().mkpath(other));
    ASSERT_TRUE(Mp3Builder::writePlainMp3(other + QStringLiteral("/z.mp3")));
    open();
    select(QStringLiteral("a.mp3"));
    ASSERT_EQ(box(FieldId::Artist), QStringLiteral("Band"));
    window->FolderChanged(other + QLatin1Char('/'));
    EXPECT_EQ(listed(), QStringList { QStringLiteral("z.mp3") });
    EXPECT_EQ(box(FieldId::Artist), QString());
    EXPECT_FALSE(newName()->isEnabled());

    // A folder that cannot be listed sends the tree home once the click is
    // over; the tree shows what is listed and the message stays.
    window->FolderChanged(folder + QStringLiteral("/missing/"));
    QApplication::processEvents();
    EXPECT_EQ(window->folder(), QDir::homePath() + QLatin1Char('/'));
    EXPECT_EQ(window->statusText(), QStringLiteral("Cannot Change Folder To: ") + folder + QStringLiteral("/missing/"));
    const auto* tree = child<QTreeView>(QStringLiteral("FTV"));
    const auto highlighted = [tree] {
        QStringList paths;
        for (const QModelIndex& index : tree->selectionModel()->selectedIndexes())
            if (!paths.contains(index.data(QFileSystemModel::FilePathRole).toString()))
                paths << index.data(QFileSystemModel::FilePathRole).toString();
        return paths;
    };
    EXPECT_EQ(highlighted(), QStringList { QDir::homePath() });

    // A click on such a folder in the tree: the click selects the row it hit
    // after the folder was refused, and still the tree ends on home.
    const QString gone = dir.path() + QStringLiteral("/gone");
    ASSERT_TRUE(QDir().mkpath(gone));
    const QModelIndex index = static_cast<const QFileSystemModel*>(tree->model())->index(gone);
    ASSERT_TRUE(index.isValid());
    ASSERT_TRUE(QDir().rmdir(gone));
    tree->selectionModel()->setCurrentIndex(index, QItemSelectionModel::NoUpdate);
    tree->selectionModel()->select(index, QItemSelectionModel::ClearAndSelect);
    EXPECT_EQ(window->statusText(), QStringLiteral("Cannot Change Folder To: ") + gone + QLatin1Char('/'));
    QApplication::processEvents();
    EXPECT_EQ(window->folder(), QDir::homePath() + QLatin1Char('/'));
    EXPECT_EQ(window->statusText(), QStringLiteral("Cannot Change Folder To: ") + gone + QLatin1Char('/'));
    EXPECT_EQ(highlighted(), QStringList { QDir::homePath() });
}

TEST_F(WindowTest, MenuCommandsShowTheirStatusAndRefresh)
{
    open();
    addMp3(QStringLiteral("late.mp3"));
    window->action(QStringLiteral("mnuRefreshFolder"))->trigger();
    EXPECT_EQ(window->statusText(), QStringLiteral("Refreshed File Listing"));
    EXPECT_EQ(listed(), QStringList { QStringLiteral("late.mp3") });
    window->action(QStringLiteral("Help"))->trigger();
    EXPECT_EQ(launcher.opened, QStringList { helpFile });

    QString shownVersion;
    QTimer::singleShot(10, [&shownVersion] {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (w->objectName() == QLatin1String("AboutBox") && w->isVisible()) {
                if (auto* label = w->findChild<QLabel*>(QStringLiteral("Version")))
                    shownVersion = label->text();
                static_cast<QDialog*>(w)->accept();
            }
        }
    });
    window->action(QStringLiteral("mnuAbout"))->trigger();
    EXPECT_EQ(shownVersion, VelmoraTitle());
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
    setBox(FieldId::CopyRight, QStringLiteral("True"));
    child<QToolButton>(QStringLiteral("ClrImg15"))->click();
    EXPECT_EQ(box(FieldId::CopyRight), QStringLiteral("False"));
}

TEST_F(WindowTest, SettingsThatCannotBeSavedAreToldOnceAndTheSizeFitsTheScreen)
{
    settings.failure = { QStringLiteral("/cfg/Velmora/Velmora.ini"), { 53, QStringLiteral("Not a directory") } };
    settings.values[QStringLiteral("Settings")][QStringLiteral("Last Width")] = QStringLiteral("30000");
    settings.values[QStringLiteral("Settings")][QStringLiteral("Last Height")] = QStringLiteral("20000");
    open();
    EXPECT_EQ(window->size(), window->screen()->availableGeometry().size());
    ASSERT_EQ(prompter.count(ScriptedPrompter::Kind::Message), 1);
    EXPECT_TRUE(prompter.calls.last().text.contains(QStringLiteral("/cfg/Velmora/Velmora.ini")));
    window->close();
    EXPECT_EQ(settings.syncs, 2); // after start-up and on closing
    EXPECT_EQ(prompter.count(ScriptedPrompter::Kind::Message), 1);
}
