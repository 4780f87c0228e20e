// Every command acts on the file the list shows as selected, whether it was
// chosen by mouse, by keyboard or reached by Tab; nothing is loaded or written
// for a file that is not highlighted.
#include "windowfixture.h"

#include <QDialog>
#include <QTreeView>

#include <functional>

#include <sys/stat.h>

namespace {

class SelectionTest : public WindowTest {
protected:
    // The window as the user has it: shown and active, so that focus moves.
    void openShown()
    {
        open();
        window->show();
        QApplication::setActiveWindow(window.get());
        QApplication::processEvents();
    }

    // A left click on the entry, through the list's viewport.
    void click(const QString& name, Qt::KeyboardModifiers mods = Qt::NoModifier)
    {
        const int row = table().rowOfName(name);
        ASSERT_GE(row, 0) << name.toStdString();
        clickAt(fileList()->viewport(), fileList()->visualRect(table().model().index(row, 0)).center(), mods);
        QApplication::processEvents();
    }

    // Tab from the folder tree into the file list.
    void tabIntoTheList()
    {
        auto* tree = child<QTreeView>(QStringLiteral("FTV"));
        tree->setFocus(Qt::OtherFocusReason);
        QApplication::processEvents();
        press(tree, Qt::Key_Tab);
        QApplication::processEvents();
    }

    struct Snapshot {
        QByteArray bytes;
        QFile::Permissions mode;
        bool operator==(const Snapshot&) const = default;
    };
    QMap<QString, Snapshot> snapshot() const
    {
        QMap<QString, Snapshot> out;
        for (const QString& name : QDir(folder).entryList(QDir::Files))
            out.insert(name, { bytes(name), QFileInfo(path(name)).permissions() });
        return out;
    }
    QString selectedNames() const
    {
        QStringList names;
        for (int row : table().selectedRows())
            names << table().nameAt(row);
        return names.join(QLatin1Char(','));
    }

    static const inline QString kZeroQuestion = QStringLiteral("Error: Zero-Length File Selected!\r\n\r\n"
                                                               "File Cannot Be Edited.\r\n\r\n"
                                                               "Move The Selected File To The Trash?");
};

} // namespace

TEST_F(SelectionTest, AClickOnAZeroLengthFileTrashesExactlyThatFile)
{
    addMp3(QStringLiteral("a.mp3"));
    ASSERT_TRUE(Mp3Builder::writeFile(path(QStringLiteral("empty.mp3")), {}));
    openShown();
    click(QStringLiteral("a.mp3"));
    prompter.answers << Answer::Yes << Answer::Yes;
    click(QStringLiteral("empty.mp3"));
    ASSERT_EQ(prompter.calls.size(), 2);
    EXPECT_EQ(prompter.calls[0].text, kZeroQuestion);
    EXPECT_EQ(trash.trashed, QStringList { path(QStringLiteral("empty.mp3")) });
    EXPECT_EQ(listed(), QStringList { QStringLiteral("a.mp3") });
    EXPECT_EQ(oldName(), QStringLiteral("a.mp3"));
    EXPECT_EQ(selectedNames(), QStringLiteral("a.mp3"));
}

TEST_F(SelectionTest, TheZeroLengthQuestionIsAskedOncePerSelection)
{
    addMp3(QStringLiteral("a.mp3"));
    ASSERT_TRUE(Mp3Builder::writeFile(path(QStringLiteral("b.mp3")), {}));
    openShown();
    click(QStringLiteral("b.mp3")); // answered No
    ASSERT_EQ(prompter.messageTexts(), QStringList { kZeroQuestion });
    EXPECT_EQ(newNameText(), QString()); // nothing loaded
    // Reading it again is no new selection.
    press(newName(), Qt::Key_F8);
    window->action(QStringLiteral("Refresh"))->trigger();
    press(newName(), Qt::Key_PageDown); // the last entry, already selected
    QApplication::processEvents();
    EXPECT_EQ(prompter.calls.size(), 1);
    EXPECT_EQ(selectedNames(), QStringLiteral("b.mp3"));
    // Selected again after another file: asked again.
    press(newName(), Qt::Key_Up);
    press(newName(), Qt::Key_Down);
    QApplication::processEvents();
    EXPECT_EQ(prompter.messageTexts(), QStringList(2, kZeroQuestion));
    EXPECT_TRUE(trash.trashed.isEmpty());
    EXPECT_EQ(QFileInfo(path(QStringLiteral("b.mp3"))).size(), 0);
}

TEST_F(SelectionTest, CommandsActOnTheEntryTheMouseOrTheKeyboardHighlighted)
{
    addMp3s({ QStringLiteral("a.mp3"), QStringLiteral("b.mp3"), QStringLiteral("c.mp3") });
    openShown();
    const struct {
        const char* name;
        std::function<void()> choose;
        const char* shown;
    } cases[] = {
        { "click", [this] { click(QStringLiteral("b.mp3")); }, "b.mp3" },
        { "key", [this] { press(newName(), Qt::Key_Down); }, "c.mp3" },
        { "click after key", [this] { click(QStringLiteral("a.mp3")); }, "a.mp3" },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        c.choose();
        EXPECT_EQ(oldName(), QLatin1String(c.shown));
        EXPECT_EQ(selectedNames(), QLatin1String(c.shown));
        EXPECT_EQ(window->currentFile().path(), path(QLatin1String(c.shown)));
        window->playFile();
        EXPECT_EQ(launcher.opened.last(), path(QLatin1String(c.shown)));
    }
    prompter.answers << Answer::Yes;
    window->action(QStringLiteral("Delete"))->trigger();
    EXPECT_EQ(prompter.calls.last().text,
        QStringLiteral("Delete '") + path(QStringLiteral("a.mp3")) + QStringLiteral("' To The Trash?"));
    EXPECT_EQ(trash.trashed, QStringList { path(QStringLiteral("a.mp3")) });
    // Several entries: the question says how many go.
    click(QStringLiteral("b.mp3"));
    click(QStringLiteral("c.mp3"), Qt::ShiftModifier);
    EXPECT_EQ(selectedNames(), QStringLiteral("b.mp3,c.mp3"));
    window->deleteFiles(); // answered No
    EXPECT_EQ(prompter.calls.last().text, QStringLiteral("Delete The 2 Selected Files To The Trash?"));
    EXPECT_EQ(listed(), (QStringList { QStringLiteral("b.mp3"), QStringLiteral("c.mp3") }));
}

TEST_F(SelectionTest, FocusReachingTheListLoadsAndWritesNothing)
{
    addTagged(QStringLiteral("a.mp3"), QStringLiteral("Band"), QStringLiteral("Song"));
    addMp3(QStringLiteral("b.mp3"));
    ASSERT_TRUE(Mp3Builder::writeFile(path(QStringLiteral("c.mp3")), {}));
    openShown();
    const auto before = snapshot();
    const struct {
        const char* name;
        std::function<void()> focus;
    } cases[] = {
        { "tab", [this] { tabIntoTheList(); } },
        { "back from a dialog",
            [this] {
                fileList()->setFocus(Qt::OtherFocusReason);
                QTimer::singleShot(10, [] {
                    if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget()))
                        dialog->reject();
                });
                window->action(QStringLiteral("mnuAbout"))->trigger();
                QApplication::setActiveWindow(window.get());
                QApplication::processEvents();
            } },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        open();
        window->show();
        QApplication::setActiveWindow(window.get());
        c.focus();
        EXPECT_EQ(QApplication::focusWidget(), fileList());
        EXPECT_EQ(selectedNames(), QString());
        EXPECT_EQ(oldName(), QString());
        EXPECT_TRUE(window->currentFile().isEmpty());
        EXPECT_TRUE(before == snapshot());
        // Nothing shown, nothing to act on.
        window->deleteFiles();
        window->saveTags();
        EXPECT_TRUE(prompter.calls.isEmpty());
        EXPECT_TRUE(before == snapshot());
    }
    // Down from there highlights and loads the first entry.
    press(fileList(), Qt::Key_Down);
    EXPECT_EQ(selectedNames(), QStringLiteral("a.mp3"));
    EXPECT_EQ(box(FieldId::Artist), QStringLiteral("Band"));
}

TEST_F(SelectionTest, DeletingLeavesTheFilesModeAsItWas)
{
    addMp3(QStringLiteral("a.mp3"));
    ASSERT_EQ(::chmod(QFile::encodeName(path(QStringLiteral("a.mp3"))).constData(), 0440), 0);
    open();
    select(QStringLiteral("a.mp3"));
    prompter.answers << Answer::Yes;
    window->deleteFiles();
    ASSERT_EQ(trash.trashed, QStringList { path(QStringLiteral("a.mp3")) });
    const QStringList inTrash = QDir(trash.folder).entryList(QDir::Files);
    ASSERT_EQ(inTrash.size(), 1);
    struct stat st { };
    ASSERT_EQ(::stat(QFile::encodeName(QDir(trash.folder).filePath(inTrash.first())).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0440u);
}
