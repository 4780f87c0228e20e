// The main window's entries and buttons, on a bare window: each quick access
// button runs its menu entry once, and the toolbar toggle hides the whole
// quick access bar.
#include "app/ui/mainmenus.h"

#include <QAction>
#include <QMainWindow>
#include <QMenuBar>
#include <QToolBar>

#include <gtest/gtest.h>

#include <memory>

namespace {

// How often action ran from now on.
std::shared_ptr<int> runs(QAction* action)
{
    auto count = std::make_shared<int>(0);
    QObject::connect(action, &QAction::triggered, [count] { ++*count; });
    return count;
}

struct Menus {
    QMainWindow window;
    QToolBar edit, id3, sync;
    MainMenus menus { window, { &edit, &id3, &sync } };
};

TEST(MainMenus, QuickAccessButtonsRunTheirMenuEntryOnce)
{
    Menus m;
    const std::pair<const char*, const char*> forwards[] = {
        { "Rename", "mnuRenameFile" },
        { "MassRename", "mnuMassRename" },
        { "MultiTag", "mnuMultiTagger" },
        { "Options", "mnuOptions" },
        { "Filters", "mnuFilters" },
        { "Play", "mnuPlayFile" },
        { "Delete", "mnuDeleteFile" },
        { "PlayList", "mnuCreatePlaylist" },
        { "About", "mnuAbout" },
        { "Help", "mnuLoadHelp" },
        { "Exit", "mnuExit" },
    };
    for (const auto& [button, entry] : forwards) {
        const auto ran = runs(m.menus.action(QLatin1String(entry)));
        m.menus.action(QLatin1String(button))->trigger();
        EXPECT_EQ(*ran, 1) << button;
    }
    // Refresh has a command of its own (no status text): it runs no entry.
    const auto folder = runs(m.menus.action(QStringLiteral("mnuRefreshFolder")));
    m.menus.action(QStringLiteral("Refresh"))->trigger();
    EXPECT_EQ(*folder, 0);
}

TEST(MainMenus, TheToggleHidesTheWholeQuickAccessBar)
{
    Menus m;
    m.window.show();
    auto* bar = m.window.findChild<QToolBar*>(QStringLiteral("TheTB"));
    ASSERT_NE(bar, nullptr);
    m.menus.setQuickAccessVisible(false);
    EXPECT_FALSE(m.menus.quickAccessVisible());
    EXPECT_FALSE(bar->isVisible());
    m.menus.setQuickAccessVisible(true);
    EXPECT_TRUE(bar->isVisible());
}

} // namespace
