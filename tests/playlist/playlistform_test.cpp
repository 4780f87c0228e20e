#include "platform/fakes/scriptedprompter.h"
#include "platform/platformservices.h"
#include "playlist/ui/playlistform.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QKeyEvent>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

class PLayListFormTest : public ::testing::Test {
protected:
    PLayListFormTest()
    {
        services.prompter = &prompter;
        folder = dir.filePath(QStringLiteral("Party Mix"));
        QDir().mkpath(folder);
    }
    void touch(const QString& name)
    {
        QFile f(folder + QLatin1Char('/') + name);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
    PLayListForm& open()
    {
        form = std::make_unique<PLayListForm>(services, folder);
        return *form;
    }
    QListWidget* files() { return form->findChild<QListWidget*>(QStringLiteral("PLFiles")); }
    QPushButton* button(const char* name) { return form->findChild<QPushButton*>(QLatin1String(name)); }
    int selectedCount() { return int(files()->selectedItems().size()); }
    QByteArray read(const QString& name)
    {
        QFile f(folder + QLatin1Char('/') + name);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }
    void press(QWidget* target, Qt::KeyboardModifiers mods)
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
    std::unique_ptr<PLayListForm> form;
};

} // namespace

TEST_F(PLayListFormTest, ListsTheFolderFilesAllSelected)
{
    for (const char* name : {"c.mp3", "A.MP3", "b.Mp3", "cover.jpg"})
        touch(QLatin1String(name));
    open();
    EXPECT_EQ(form->windowTitle(), QStringLiteral("PlayList Creator"));
    EXPECT_EQ(form->findChild<QGroupBox*>(QStringLiteral("PLFrame"))->title(), folder);
    ASSERT_EQ(files()->count(), 3);
    EXPECT_EQ(files()->item(0)->text(), QStringLiteral("A.MP3"));
    EXPECT_EQ(files()->item(2)->text(), QStringLiteral("c.mp3"));
    EXPECT_EQ(selectedCount(), 3);
    EXPECT_EQ(files()->toolTip(), QStringLiteral("Select The Files To Include In The PlayList"));
    EXPECT_EQ(button("CreateButton")->text(), QStringLiteral("&Create PlayList"));
    EXPECT_EQ(button("ExitButton")->toolTip(), QStringLiteral("Exit This Form"));
}

TEST_F(PLayListFormTest, TwoOfThreeFilesGiveTheExactFile)
{
    for (const char* name : {"01 - One.mp3", "02 - Two.mp3", "03 - Three.mp3"})
        touch(QLatin1String(name));
    open();
    files()->item(1)->setSelected(false);
    prompter.inputs.enqueue(QStringLiteral("  party  "));
    button("CreateButton")->click();
    EXPECT_EQ(read(QStringLiteral("party.m3u")), QByteArray("#EXTM3U\r\n01 - One.mp3\r\n03 - Three.mp3\r\n"));
    ASSERT_EQ(prompter.calls.size(), 2);
    EXPECT_EQ(prompter.calls[0].defaultText, QStringLiteral("Party Mix.m3u"));
    EXPECT_EQ(prompter.calls[1].text,
              QStringLiteral("PlayList Has Been Saved As: \r\n\r\n") + (folder + QStringLiteral("/party.m3u")).toUpper());
}

TEST_F(PLayListFormTest, CancelWritesNothing)
{
    touch(QStringLiteral("a.mp3"));
    open();
    button("CreateButton")->click();
    EXPECT_EQ(prompter.messageTexts(), QStringList{"No PlayList File Specified!\r\n\r\nNo File Saved."});
    EXPECT_EQ(QDir(folder).entryList(QDir::Files), QStringList{"a.mp3"});
}

TEST_F(PLayListFormTest, EmptyFolderMakesCreateDoNothing)
{
    open();
    button("CreateButton")->click();
    EXPECT_TRUE(prompter.calls.isEmpty());
    EXPECT_TRUE(QDir(folder).entryList(QDir::Files).isEmpty());
}

TEST_F(PLayListFormTest, EmptySelectionWritesOnlyTheHeader)
{
    touch(QStringLiteral("a.mp3"));
    open();
    files()->clearSelection();
    prompter.inputs.enqueue(QStringLiteral("empty"));
    button("CreateButton")->click();
    EXPECT_EQ(read(QStringLiteral("empty.m3u")), QByteArray("#EXTM3U\r\n"));
}

TEST_F(PLayListFormTest, CtrlShiftASelectsAllAndCtrlAAloneDoesNothing)
{
    for (const char* name : {"a.mp3", "b.mp3", "c.mp3"})
        touch(QLatin1String(name));
    open();
    files()->clearSelection();
    files()->item(1)->setSelected(true);
    press(files(), Qt::ControlModifier);
    EXPECT_EQ(selectedCount(), 1);
    press(files(), Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(selectedCount(), 3);
    files()->clearSelection();
    press(button("ExitButton"), Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(selectedCount(), 3);
}

TEST_F(PLayListFormTest, ExitCloses)
{
    open();
    form->show();
    button("ExitButton")->click();
    EXPECT_FALSE(form->isVisible());
}
