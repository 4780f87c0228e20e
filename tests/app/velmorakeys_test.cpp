// Window-level keys, handled before the focused control, and recording and
// replay of edit steps through the main window.
#include "windowfixture.h"

#include <QCheckBox>
#include <QMenuBar>

#include <functional>

// Qt's own way in for a key the desktop delivers: the shortcuts are tried
// first, and only a key no shortcut takes reaches the focused control.
Q_GUI_EXPORT bool qt_sendShortcutOverrideEvent(QObject* o, ulong timestamp, int k, Qt::KeyboardModifiers mods,
    const QString& text = QString(), bool autorep = false, ushort count = 1);

namespace {

// Every entry of menu and its submenus.
void collectEntries(const QMenu* menu, QList<QAction*>* out)
{
    for (QAction* action : menu->actions()) {
        if (action->menu())
            collectEntries(action->menu(), out);
        else if (!action->isSeparator())
            *out << action;
    }
}

class KeysTest : public WindowTest {
protected:
    void openOn(const QStringList& names)
    {
        addMp3s(names);
        open();
        select(names.first());
    }
    // The new name after command, starting from text with the cursor at cursor.
    QString after(const QString& text, int cursor, const std::function<void()>& command)
    {
        window->session().editor().setText(text);
        window->session().editor().setCursor(cursor);
        command();
        return newNameText();
    }
    QCheckBox* record() const { return child<QCheckBox>(QStringLiteral("RecordEditing")); }
    // Presses key as the desktop does: shortcuts first, then the focused
    // control.
    static void pressAsTheDesktopDoes(QWidget* target, int key, Qt::KeyboardModifiers mods = Qt::NoModifier)
    {
        if (!qt_sendShortcutOverrideEvent(target, 0, key, mods))
            press(target, key, mods);
    }
};

} // namespace

TEST_F(KeysTest, EditKeysRunTheirCommandsWhileTheNewNameHasTheFocus)
{
    openOn({ QStringLiteral("aaa-bbb.mp3") });
    NameEditSession& s = window->session();
    const struct {
        int key;
        std::function<void()> command;
        QString start;
        int cursor;
    } cases[] = {
        { Qt::Key_F2, [&s] { s.caseFileName(NameCase::Upper); }, QStringLiteral("Aaa-Bbb.mp3"), 0 },
        { Qt::Key_F3, [&s] { s.caseFileName(NameCase::Lower); }, QStringLiteral("Aaa-Bbb.mp3"), 0 },
        { Qt::Key_F4, [&s] { s.caseFileName(NameCase::Title); }, QStringLiteral("aaa-bbb.mp3"), 0 },
        { Qt::Key_F5, [&s] { s.insertSDS(); }, QStringLiteral("AaaBbb.mp3"), 3 },
        { Qt::Key_F6, [&s] { s.removeSDS(); }, QStringLiteral("Aaa-Bbb.mp3"), 3 },
        { Qt::Key_F9, [&s] { s.addRemoveParenthesis(); }, QStringLiteral("Aaa-Bbb.mp3"), 5 },
        { Qt::Key_F10, [&s] { s.removePeriods(); }, QStringLiteral("A.b.c.mp3"), 0 },
    };
    for (const auto& c : cases) {
        const QString byKey = after(c.start, c.cursor, [&] { press(newName(), c.key); });
        EXPECT_NE(byKey, c.start) << c.key;
        EXPECT_EQ(byKey, after(c.start, c.cursor, c.command)) << c.key;
    }
}

TEST_F(KeysTest, SyncRunsBothWaysByButtonAndByKey)
{
    openOn({ QStringLiteral("x.mp3") });
    formatList()->setCurrentRow(1); // Artist - Title
    setBox(FieldId::Artist, QStringLiteral("Band"));
    setBox(FieldId::Title, QStringLiteral("Song"));
    const std::function<void()> nameFromTags[] = { [this] { window->action(QStringLiteral("Sync"))->trigger(); },
        [this] { press(newName(), Qt::Key_F2, Qt::ControlModifier); } };
    for (const auto& command : nameFromTags) {
        window->session().editor().setText(QStringLiteral("x.mp3"));
        command();
        EXPECT_EQ(newNameText(), QStringLiteral("Band-Song.mp3"));
    }
    const std::pair<const char*, std::function<void()>> tagsFromName[] = {
        { "Button", [this] { window->action(QStringLiteral("SBSync"))->trigger(); } },
        { "Key", [this] { press(newName(), Qt::Key_F7); } },
    };
    for (const auto& [artist, command] : tagsFromName) {
        window->session().editor().setText(QLatin1String(artist) + QStringLiteral("-Thing-Extra.mp3"));
        command();
        EXPECT_EQ(box(FieldId::Artist), QLatin1String(artist));
        EXPECT_EQ(box(FieldId::Title), QStringLiteral("Thing"));
    }
}

TEST_F(KeysTest, ArrowAndPageKeysMoveThroughTheFilesFromTheNewName)
{
    openOn({ QStringLiteral("a.mp3"), QStringLiteral("b.mp3"), QStringLiteral("c.mp3") });
    press(newName(), Qt::Key_Down);
    EXPECT_EQ(newNameText(), QStringLiteral("B.mp3"));
    press(newName(), Qt::Key_PageDown);
    EXPECT_EQ(table().currentRow(), 2);
    press(child<QWidget>(QStringLiteral("ID3Artist")), Qt::Key_Up);
    EXPECT_EQ(oldName(), QStringLiteral("b.mp3"));
}

TEST_F(KeysTest, TypingInTheNewNameGoesThroughTheEngine)
{
    openOn({ QStringLiteral("abc.mp3") });
    window->session().editor().setCursor(3);
    press(newName(), Qt::Key_X, Qt::NoModifier, QStringLiteral("x"));
    EXPECT_EQ(newNameText(), QStringLiteral("Abcx.mp3"));
    EXPECT_EQ(window->session().editor().text(), newNameText());
}

TEST_F(KeysTest, RecordingIsReplayedOnTheNextFile)
{
    openOn({ QStringLiteral("aaa-bbb.mp3"), QStringLiteral("ccc-ddd.mp3") });
    record()->setChecked(true);
    press(newName(), Qt::Key_F2);
    record()->setChecked(false);
    EXPECT_FALSE(child<QLabel>(QStringLiteral("EditRecorded"))->isHidden());
    press(newName(), Qt::Key_Down);
    press(newName(), Qt::Key_F11);
    EXPECT_EQ(newNameText(), QStringLiteral("CCC-DDD.mp3"));
}

TEST_F(KeysTest, AMouseClickInTheNewNameRecordsTheCursorPosition)
{
    openOn({ QStringLiteral("abcdefg.mp3") });
    window->show();
    record()->setChecked(true);
    QLineEdit* box = newName();
    clickAt(box, QPoint(box->width() / 2, box->height() / 2));
    const int cursor = box->cursorPosition();
    EXPECT_GT(cursor, 0);
    EXPECT_EQ(window->session().editor().cursor(), cursor);
    EXPECT_EQ(window->session().recorder().editSteps().first(), QStringLiteral("CursorPosition:%1").arg(cursor));
}

TEST_F(KeysTest, TheMenusShowTheWindowsKeysAndEachKeyRunsItsCommandOnce)
{
    openOn({ QStringLiteral("aaa-bbb.mp3") });
    QList<QAction*> entries;
    for (QAction* top : window->menuBar()->actions())
        collectEntries(top->menu(), &entries);
    QStringList shown;
    for (const QAction* entry : entries) {
        if (entry->shortcut().isEmpty())
            continue;
        shown << entry->shortcut().toString();
        // A key the window runs itself is only shown beside its entry.
        const QKeyCombination key = entry->shortcut()[0];
        const bool windowKey = key.key() >= Qt::Key_F2 && key.key() <= Qt::Key_F12
            && (key.keyboardModifiers() == Qt::NoModifier || key == QKeyCombination(Qt::CTRL | Qt::Key_F2));
        if (windowKey) {
            EXPECT_EQ(entry->shortcutContext(), Qt::WidgetShortcut) << entry->objectName().toStdString();
        }
    }
    shown.sort();
    EXPECT_EQ(shown,
        (QStringList { "Ctrl+F2", "Ctrl+Q", "Ctrl+S", "Ctrl+Shift+S", "Ctrl+Shift+Z", "Ctrl+Z", "F1", "F10", "F11",
            "F12", "F2", "F3", "F4", "F5", "F6", "F7", "F8", "F9" }));

    window->show();
    QApplication::setActiveWindow(window.get());
    newName()->setFocus();
    QApplication::processEvents();
    ASSERT_EQ(QApplication::focusWidget(), newName());
    pressAsTheDesktopDoes(newName(), Qt::Key_F12);
    EXPECT_EQ(launcher.opened, QStringList { path(QStringLiteral("aaa-bbb.mp3")) });
    // Run twice, the parentheses would come and go again.
    NameEditSession& s = window->session();
    const QString once = after(QStringLiteral("Aaa-Bbb.mp3"), 5, [&s] { s.addRemoveParenthesis(); });
    ASSERT_NE(once, QStringLiteral("Aaa-Bbb.mp3"));
    EXPECT_EQ(after(QStringLiteral("Aaa-Bbb.mp3"), 5, [this] { pressAsTheDesktopDoes(newName(), Qt::Key_F9); }), once);
    // The desktop's usual keys are shortcuts of their own.
    setBox(FieldId::Title, QStringLiteral("By Ctrl+S"));
    pressAsTheDesktopDoes(newName(), Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(tagOf(QStringLiteral("aaa-bbb.mp3"))->title(), QStringLiteral("By Ctrl+S"));
}
