// Window-level keys, handled before the focused control, and recording and
// replay of edit steps through the main window.
#include "windowfixture.h"

#include <QCheckBox>
#include <QMouseEvent>

#include <functional>

namespace {

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
    EXPECT_EQ(fileList()->currentRow(), 2);
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
    const QPoint inside(box->width() / 2, box->height() / 2);
    QMouseEvent press(
        QEvent::MouseButtonPress, inside, box->mapToGlobal(inside), Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(box, &press);
    QMouseEvent release(
        QEvent::MouseButtonRelease, inside, box->mapToGlobal(inside), Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(box, &release);
    const int cursor = box->cursorPosition();
    EXPECT_GT(cursor, 0);
    EXPECT_EQ(window->session().editor().cursor(), cursor);
    EXPECT_EQ(window->session().recorder().editSteps().first(), QStringLiteral("CursorPosition:%1").arg(cursor));
}
