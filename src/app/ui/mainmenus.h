#pragma once

#include <QHash>
#include <QKeySequence>
#include <QList>
#include <QString>
#include <QStringList>

class QAction;
class QLabel;
class QMainWindow;
class QMenu;
class QToolBar;

// The main window's commands as the user finds them: every menu entry,
// toolbar button and context menu entry, made with its object name, text,
// tooltip, icon and key, and laid out in the menu bar, the quick access
// toolbar and the toolbars the window's panes hold. The window connects the
// entries to its commands; a quick access button runs its menu entry.
class MainMenus {
public:
    // The toolbars inside the panes, which the buttons go to.
    struct PaneBars {
        QToolBar* edit = nullptr; // the name commands
        QToolBar* id3 = nullptr; // save, re-read, remove tags
        QToolBar* sync = nullptr; // the format mask commands
    };

    MainMenus(QMainWindow& window, const PaneBars& bars);

    // The entry or button of this object name; null for none.
    QAction* action(const QString& name) const { return m_actions.value(name); }
    // The file list's context menu (mnuFileSub).
    QMenu* fileListMenu() const { return m_fileSub; }
    bool quickAccessVisible() const;
    // Shows or hides the quick access toolbar, and names the toggle's next step.
    void setQuickAccessVisible(bool visible);
    // Shows keys the window runs itself beside their entries, without
    // making them a second way in (no key runs its command twice).
    void showWindowKeys(const QList<std::pair<QKeySequence, QStringList>>& keys);

private:
    QAction* makeAction(const QString& name, const QString& text);
    void buildActions();
    void buildMenus();
    void buildToolbars(const PaneBars& bars);

    QMainWindow& m_window;
    QHash<QString, QAction*> m_actions;
    QMenu* m_fileSub = nullptr;
    QMenu* m_nameMenu = nullptr; // the Edit menu, which lists the name commands
    QToolBar* m_quickAccess = nullptr;
    QLabel* m_imgLeft = nullptr;
    QLabel* m_imgRight = nullptr;
};
