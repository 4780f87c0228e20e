// Start-up, shut-down, menus, toolbars and layout of the main window.
#include "windowfixture.h"

#include "app/ui/version.h"

#include <QAction>
#include <QDialog>
#include <QGroupBox>
#include <QMenu>
#include <QMenuBar>
#include <QScrollArea>
#include <QToolBar>
#include <QToolButton>
#include <QLabel>

namespace {

QStringList captions(const QMenu* menu)
{
    QStringList out;
    for (const QAction* a : menu->actions())
        out << (a->isSeparator() ? QStringLiteral("-") : a->objectName() + QLatin1Char('=') + a->text());
    return out;
}

} // namespace

TEST_F(WindowTest, StartsWithTheFolderListedAndNothingSelected)
{
    addMp3(QStringLiteral("b.MP3"));
    addMp3(QStringLiteral("a.mp3"));
    addMp3(QStringLiteral("C.Mp3"));
    ASSERT_TRUE(Mp3Builder::writeFile(path(QStringLiteral("notes.txt")), "x"));
    open();
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Velmora (V1.0.000)"));
    EXPECT_EQ(window->objectName(), QStringLiteral("Velmora"));
    EXPECT_EQ(listed(), (QStringList{QStringLiteral("a.mp3"), QStringLiteral("b.MP3"), QStringLiteral("C.Mp3")}));
    EXPECT_EQ(fileList()->selectionMode(), QAbstractItemView::ExtendedSelection);
    EXPECT_EQ(fileList()->currentRow(), -1);
    EXPECT_EQ(window->folder(), folder + QLatin1Char('/'));
    EXPECT_EQ(child<QGroupBox>(QStringLiteral("FindFrame"))->title(),
              QStringLiteral("Current Directory: ") + folder + QLatin1Char('/'));
    EXPECT_EQ(child<QGroupBox>(QStringLiteral("RenameFrame"))->title(), QStringLiteral("No File Selected"));
    EXPECT_EQ(window->statusText(), QStringLiteral("Ready"));
    EXPECT_TRUE(window->currentFile().isEmpty());
    for (const char* name : {"NewName", "PartsList", "RenameButton", "RecordEditing", "FormatList", "ID3Artist",
                             "ID3Genre", "ID3Copyright", "ID3Tempo", "ClrImg0"})
        EXPECT_FALSE(child<QWidget>(QLatin1String(name))->isEnabled()) << name;
    for (const char* name : {"UC", "LC", "TC", "Parens", "Periods", "RepeatEdit", "Sync", "SBSync", "SBDelete",
                             "Rename", "Play", "Delete", "SaveTags", "mnuRenameFile", "mnuStripTags2"})
        EXPECT_FALSE(window->action(QLatin1String(name))->isEnabled()) << name;
    EXPECT_TRUE(window->action(QStringLiteral("MassRename"))->isEnabled());
    // The factory masks were written back at once.
    EXPECT_EQ(settings.values[QStringLiteral("Formats")].size(), 6);
    EXPECT_EQ(settings.values[QStringLiteral("Formats")][QStringLiteral("Format05")], QStringLiteral("Track - Title.mp3"));
    EXPECT_EQ(window->session().formats().currentIndex(), 0);
}

TEST_F(WindowTest, EveryControlHasItsName)
{
    open();
    for (const char* name : {"FTV", "FileList", "FindFrame", "RenameFrame", "NewName", "OldName", "PartsList",
                             "RenameButton", "RecordEditing", "EditRecorded", "FormatList", "TagFrame", "ContainerPic",
                             "ScrollPic", "EditScroll", "TheTB", "EditToolBar", "ID3ToolBar", "SYNCBar", "ImgLeft",
                             "ImgRight"})
        EXPECT_NE(window->findChild<QWidget*>(QLatin1String(name)), nullptr) << name;
    for (int i = 0; i < kFieldCount; ++i) {
        EXPECT_NE(window->findChild<QWidget*>(QLatin1String(fieldInfo(i).boxName)), nullptr) << i;
        EXPECT_NE(window->findChild<QWidget*>(QStringLiteral("ID3Label%1").arg(i)), nullptr) << i;
        EXPECT_NE(window->findChild<QWidget*>(QStringLiteral("ClrImg%1").arg(i)), nullptr) << i;
    }
    EXPECT_EQ(child<QWidget>(QStringLiteral("ClrImg13"))->toolTip(),
              QStringLiteral("Clear The Contents Of The Original Artist Field"));
    EXPECT_EQ(child<QWidget>(QStringLiteral("ClrImg15"))->toolTip(), QStringLiteral("Reset The Copyright Field To False"));
    EXPECT_EQ(child<QWidget>(QStringLiteral("ClrImg0"))->toolTip(), QStringLiteral("Clear The Contents Of The Artist Field"));
    EXPECT_EQ(child<QGroupBox>(QStringLiteral("TagFrame"))->title(),
              QStringLiteral("Internal ID3 Tags (Edit As Necessary)"));
}

TEST_F(WindowTest, MenusHoldEveryEntryInOrder)
{
    open();
    const QList<QAction*> bar = window->menuBar()->actions();
    ASSERT_EQ(bar.size(), 4);
    EXPECT_EQ(bar[0]->text(), QStringLiteral("&File"));
    EXPECT_EQ(captions(bar[0]->menu()),
              (QStringList{"mnuRenameFile=&Rename File", "-", "mnuDeleteFile=&Delete Selected File",
                           "mnuPlayFile=&Play Selected File", "mnuFileInfo=&File Information", "-",
                           "mnuSaveID3=&Save ID3 Tags", "mnuRefreshTags=Refresh ID3 Tags",
                           "mnuStripTags=Strip ID3 Tags", "-", "mnuRefreshFolder=&Refresh Folder",
                           "mnuCreatePlaylist=&Create Playlist", "-", "mnuExit=&Exit"}));
    EXPECT_EQ(bar[1]->menu()->objectName(), QStringLiteral("mnuTools"));
    EXPECT_EQ(captions(bar[1]->menu()),
              (QStringList{"mnuMassRename=Mass &Rename", "mnuMultiTagger=Multi&Tagger", "-", "mnuOptions=&Options",
                           "mnuFilters=Define &Filters"}));
    EXPECT_EQ(captions(bar[2]->menu()), QStringList{"mnuToolbarToggle=&Hide Quick Access Toolbar"});
    EXPECT_EQ(captions(bar[3]->menu()), (QStringList{"mnuLoadHelp=&Help", "-", "mnuAbout=&About"}));
    EXPECT_EQ(captions(window->fileListMenu()),
              (QStringList{"mnuDeleteFile2=&Delete Selected File", "mnuPlayFile2=&Play Selected File",
                           "mnuFileInfo2=&File Information", "-", "mnuSaveID32=&Save ID3 Tags",
                           "mnuRefreshTags2=Refresh ID3 Tags", "mnuStripTags2=Strip ID3 Tags", "-",
                           "mnuRefreshFolder2=&Refresh Folder", "mnuCreatePlaylist2=&Create Playlist"}));
    EXPECT_EQ(window->fileListMenu()->objectName(), QStringLiteral("mnuFileSub"));
}

TEST_F(WindowTest, ToolbarButtonsCarryTheirKeysAndTooltips)
{
    open();
    const QList<QPair<const char*, const char*>> tips = {
        {"Rename", "Rename File And Update ID3 Tags"},
        {"MassRename", "Run Mass Renaming"},
        {"MultiTag", "MultiTag A Group of Files"},
        {"Options", "Options"},
        {"Filters", "Manage Filters"},
        {"Play", "Play Selected File In Your Default MP3 Player"},
        {"Delete", "Delete The Selected File"},
        {"Refresh", "Refresh The Listing of MP3 Files"},
        {"PlayList", "Create A Playlist From This Directory"},
        {"About", "About This Application"},
        {"Help", "Load The Help File"},
        {"Exit", "Exit This Application"},
        {"UC", "F2 - Convert This Filename To Upper Case"},
        {"LC", "F3 - Convert This Filename To Lower Case"},
        {"TC", "F4 - Convert This Filename To Title Case"},
        {"Parens", "F9 - Add/Remove Parenthesis From Filename Part"},
        {"Periods", "F10 - Remove All Periods From Filename"},
        {"RepeatEdit", "F11 - Repeat Recorded Edit Steps"},
        {"Sync", "CF2 - Create New Filename Using Internal Tags"},
        {"SaveTags", "Write ID3 Tags To Selected File"},
        {"ReRead", "F8 - Reload ID3 Tags In Selected File"},
        {"RemoveTags", "Remove ID3 Tags From Selected File"},
        {"SBSync", "F7 - Sync Internal Tags"},
        {"SBDelete", "Click To Delete The Currently Selected Format"},
    };
    for (const auto& [key, tip] : tips) {
        QAction* a = window->action(QLatin1String(key));
        ASSERT_NE(a, nullptr) << key;
        EXPECT_EQ(a->toolTip(), QLatin1String(tip)) << key;
    }
    EXPECT_EQ(child<QToolBar>(QStringLiteral("TheTB"))->actions().size(), 14); // 12 buttons, 2 edge images
    EXPECT_EQ(child<QToolBar>(QStringLiteral("EditToolBar"))->actions().size(), 7);
    EXPECT_EQ(child<QToolBar>(QStringLiteral("ID3ToolBar"))->actions().size(), 3);
    EXPECT_EQ(child<QToolBar>(QStringLiteral("SYNCBar"))->actions().size(), 2);
}

TEST_F(WindowTest, ContextMenuOpensOnlyWithASelection)
{
    addMp3(QStringLiteral("a.mp3"));
    open();
    window->show();
    emit fileList()->customContextMenuRequested(QPoint(2, 2));
    EXPECT_FALSE(window->fileListMenu()->isVisible());
    select(QStringLiteral("a.mp3"));
    emit fileList()->customContextMenuRequested(QPoint(2, 2));
    EXPECT_TRUE(window->fileListMenu()->isVisible());
    window->fileListMenu()->hide();
}

TEST_F(WindowTest, SettingsAreSavedOnCloseAndRestoredOnTheNextStart)
{
    addMp3(QStringLiteral("a.mp3"));
    open();
    window->resize(1100, 760);
    window->ToggleToolbar();
    EXPECT_EQ(window->action(QStringLiteral("mnuToolbarToggle"))->text(), QStringLiteral("&Show Quick Access Toolbar"));
    child<QListWidget>(QStringLiteral("FormatList"))->setCurrentRow(2);
    window->close();
    const auto& s = settings.values[QStringLiteral("Settings")];
    EXPECT_EQ(s[QStringLiteral("Last Path")], folder + QLatin1Char('/'));
    EXPECT_EQ(s[QStringLiteral("Last Format")], QStringLiteral("2"));
    EXPECT_EQ(s[QStringLiteral("Was Max")], QStringLiteral("0"));
    EXPECT_EQ(s[QStringLiteral("ToolBar")], QStringLiteral("Off"));
    EXPECT_EQ(s[QStringLiteral("Last Width")], QStringLiteral("1100"));
    EXPECT_EQ(s[QStringLiteral("Last Height")], QStringLiteral("760"));
    EXPECT_EQ(settings.values[QStringLiteral("Formats")].size(), 6);
    window.reset();

    open();
    EXPECT_EQ(window->size(), QSize(1100, 760));
    EXPECT_TRUE(child<QToolBar>(QStringLiteral("TheTB"))->isHidden());
    EXPECT_TRUE(child<QWidget>(QStringLiteral("ImgLeft"))->isHidden());
    EXPECT_EQ(window->action(QStringLiteral("mnuToolbarToggle"))->text(), QStringLiteral("&Show Quick Access Toolbar"));
    EXPECT_EQ(window->session().formats().currentIndex(), 2);
    EXPECT_EQ(child<QListWidget>(QStringLiteral("FormatList"))->currentRow(), 2);
    EXPECT_EQ(window->folder(), folder + QLatin1Char('/'));
    EXPECT_EQ(listed(), QStringList{QStringLiteral("a.mp3")});
    window->ToggleToolbar();
    EXPECT_FALSE(child<QToolBar>(QStringLiteral("TheTB"))->isHidden());
    EXPECT_EQ(window->action(QStringLiteral("mnuToolbarToggle"))->text(), QStringLiteral("&Hide Quick Access Toolbar"));
}

TEST_F(WindowTest, WasMaxOpensMaximisedAndZeroSizeKeepsTheDesign)
{
    open();
    const QSize design = window->size();
    EXPECT_EQ(window->minimumSize(), design);
    window.reset();
    settings.values[QStringLiteral("Settings")][QStringLiteral("Was Max")] = QStringLiteral("1");
    settings.values[QStringLiteral("Settings")][QStringLiteral("Last Width")] = QStringLiteral("1200");
    open();
    EXPECT_TRUE(window->windowState() & Qt::WindowMaximized);
    window.reset();
    settings.values[QStringLiteral("Settings")][QStringLiteral("Was Max")] = QStringLiteral("0");
    settings.values[QStringLiteral("Settings")][QStringLiteral("Last Width")] = QStringLiteral("0");
    settings.values[QStringLiteral("Settings")][QStringLiteral("Last Height")] = QStringLiteral("0");
    open();
    EXPECT_FALSE(window->windowState() & Qt::WindowMaximized);
    EXPECT_EQ(window->size(), design);
}

TEST_F(WindowTest, MissingLastPathFallsBackToTheParentFolder)
{
    settings.values[QStringLiteral("Settings")][QStringLiteral("Last Path")] = folder + QStringLiteral("/gone");
    addMp3(QStringLiteral("a.mp3"));
    open();
    EXPECT_EQ(window->folder(), folder + QLatin1Char('/'));
    EXPECT_EQ(listed(), QStringList{QStringLiteral("a.mp3")});
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

    const QSize files = fileList()->size();
    const QSize parts = child<QWidget>(QStringLiteral("PartsList"))->size();
    const QSize panel = child<QWidget>(QStringLiteral("ContainerPic"))->size();
    window->resize(minimum + QSize(300, 240));
    QApplication::processEvents();
    EXPECT_GT(fileList()->width(), files.width());
    EXPECT_GT(fileList()->height(), files.height());
    EXPECT_GT(child<QWidget>(QStringLiteral("PartsList"))->width(), parts.width());
    EXPECT_GT(child<QWidget>(QStringLiteral("PartsList"))->height(), parts.height());
    EXPECT_GT(child<QWidget>(QStringLiteral("ContainerPic"))->width(), panel.width());
    EXPECT_GT(child<QWidget>(QStringLiteral("ContainerPic"))->height(), panel.height());
}

TEST_F(WindowTest, FolderChangeListsTheNewFolderAndClearsTheFile)
{
    addTagged(QStringLiteral("a.mp3"), QStringLiteral("Band"), QStringLiteral("Song"));
    const QString other = dir.path() + QStringLiteral("/other");
    ASSERT_TRUE(QDir().mkpath(other));
    ASSERT_TRUE(Mp3Builder::writePlainMp3(other + QStringLiteral("/z.mp3")));
    open();
    select(QStringLiteral("a.mp3"));
    ASSERT_EQ(box(FieldId::Artist), QStringLiteral("Band"));
    window->FolderChanged(other + QLatin1Char('/'));
    EXPECT_EQ(listed(), QStringList{QStringLiteral("z.mp3")});
    EXPECT_EQ(box(FieldId::Artist), QString());
    EXPECT_EQ(newNameText(), QString());
    EXPECT_FALSE(newName()->isEnabled());
    EXPECT_EQ(child<QGroupBox>(QStringLiteral("RenameFrame"))->title(), QStringLiteral("No File Selected"));
}

TEST_F(WindowTest, MenuCommandsShowTheirStatusAndRefresh)
{
    open();
    addMp3(QStringLiteral("late.mp3"));
    window->action(QStringLiteral("mnuRefreshFolder"))->trigger();
    EXPECT_EQ(window->statusText(), QStringLiteral("Refreshed File Listing"));
    EXPECT_EQ(listed(), QStringList{QStringLiteral("late.mp3")});

    window->action(QStringLiteral("Help"))->trigger();
    EXPECT_EQ(launcher.opened, QStringList{helpFile});
    EXPECT_EQ(window->statusText(), QStringLiteral("Ready"));

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
    EXPECT_EQ(window->statusText(), QStringLiteral("Ready"));
}

TEST_F(WindowTest, ClearButtonsEmptyTheirBox)
{
    addTagged(QStringLiteral("a.mp3"), QStringLiteral("Band"), QStringLiteral("Song"));
    open();
    select(QStringLiteral("a.mp3"));
    child<QToolButton>(QStringLiteral("ClrImg0"))->click();
    EXPECT_EQ(box(FieldId::Artist), QString());
    window->tagPanel().SetText(FieldId::CopyRight, QStringLiteral("True"));
    child<QToolButton>(QStringLiteral("ClrImg15"))->click();
    EXPECT_EQ(box(FieldId::CopyRight), QStringLiteral("False"));
}

TEST_F(WindowTest, AFolderThatCannotBeListedSendsTheTreeHome)
{
    addMp3(QStringLiteral("a.mp3"));
    open();
    window->FolderChanged(folder + QStringLiteral("/missing/"));
    EXPECT_EQ(window->folder(), QDir::homePath() + QLatin1Char('/'));
    EXPECT_EQ(child<QGroupBox>(QStringLiteral("FindFrame"))->title(),
              QStringLiteral("Current Directory: ") + QDir::homePath() + QLatin1Char('/'));
    EXPECT_FALSE(listed().contains(QStringLiteral("a.mp3")));
}
