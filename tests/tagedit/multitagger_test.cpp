#include "tagedit/ui/multitagger.h"

#include "multitagfiles.h"

#include "nameedit/steprecorder.h"
#include "settings/preferences.h"
#include "support/platformdoubles.h"
#include "support/qttesthelpers.h"
#include "tagedit/ui/tagpanel.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QStatusBar>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

using namespace MultiTagFiles;

namespace {

struct Window : PlatformDoubles {
    QTemporaryDir dir;
    Preferences preferences { settings };
    std::unique_ptr<MultiTagger> window;

    explicit Window(const QStringList& names = { "a.mp3", "b.mp3", "c.mp3" }, StepRecorder* recorder = nullptr)
    {
        preferences.loadOptions();
        for (const QString& name : names)
            EXPECT_TRUE(write(path(name), sample(name.left(1)), true));
        window = std::make_unique<MultiTagger>(services, preferences, dir.path(), nullptr, recorder);
        window->setUndoFolder(dir.filePath("undo"));
    }

    QString path(const QString& name) const { return dir.filePath(name); }
    QListWidget* list() const { return window->findChild<QListWidget*>("FileList"); }
    QCheckBox* included(FieldId id) const
    {
        return window->findChild<QCheckBox*>(QStringLiteral("Included%1").arg(int(id)));
    }
    QLineEdit* edit(const char* name) const { return window->findChild<QLineEdit*>(name); }
    QPushButton* button(const char* name) const { return window->findChild<QPushButton*>(name); }
    QString status() const { return window->findChild<QStatusBar*>("MTSB")->currentMessage(); }
    QProgressBar* progress() const { return window->findChild<QProgressBar*>("MTProgress"); }

    void select(const QStringList& names)
    {
        list()->clearSelection();
        for (int row = 0; row < list()->count(); ++row)
            if (names.contains(list()->item(row)->text()))
                list()->item(row)->setSelected(true);
    }
};

} // namespace

TEST(MultiTagger, ListsTheFoldersMp3FilesAndRefillsOnAFolderChange)
{
    Window w({ "b.mp3", "A.MP3" });
    EXPECT_EQ(listTexts(w.list()), QStringList({ "A.MP3", "b.mp3" }));
    QDir(w.dir.path()).mkdir("sub");
    ASSERT_TRUE(Mp3Builder::writePlainMp3(w.path("sub/z.mp3")));
    w.window->setFolder(w.path("sub"));
    EXPECT_EQ(listTexts(w.list()), QStringList({ "z.mp3" }));
}

TEST(MultiTagger, AllButtonTogglesEveryIncludedBoxAndClearingEmptiesThem)
{
    Window w(QStringList {});
    w.edit("ID3Artist")->setText("x");
    w.window->allButtonClick();
    for (int i = 0; i < kFieldCount; ++i)
        EXPECT_TRUE(w.included(FieldId(i))->isChecked()) << i;
    w.window->clearBoxes();
    EXPECT_EQ(w.edit("ID3Artist")->text(), "");
    EXPECT_FALSE(w.included(FieldId::Artist)->isChecked());
}

TEST(MultiTagger, SetTagsWritesTheIncludedFieldsIntoEverySelectedFileOnly)
{
    Window w;
    w.window->setTagsButtonClick();
    EXPECT_EQ(w.prompter.messageTexts(), QStringList { "Please Select Some Files From The File List First!" });
    w.edit("ID3Album")->setText("Shared Album");
    w.edit("ID3Artist")->setText("Not Included");
    w.included(FieldId::Album)->setChecked(true);
    w.select({ "a.mp3", "c.mp3" });
    w.window->setTagsButtonClick();
    EXPECT_EQ(w.status(), "ID3 Tag Updates Complete: 2 Of 2 Files Written");
    EXPECT_EQ(w.progress()->text(), "2 Of 2 Files Written");
    Values expected = sample("a");
    expected.album = "Shared Album";
    EXPECT_EQ(readV2(w.path("a.mp3")), expected);
    EXPECT_EQ(readV2(w.path("c.mp3")).album, "Shared Album");
    EXPECT_EQ(readV2(w.path("b.mp3")), sample("b"));
    // The run kept a journal that the undo button plays back.
    w.prompter.answers.enqueue(Answer::Yes);
    w.button("UndoRunButton")->click();
    EXPECT_EQ(readV2(w.path("a.mp3")), sample("a"));
    EXPECT_EQ(readV2(w.path("c.mp3")), sample("c"));
    EXPECT_FALSE(w.button("UndoRunButton")->isEnabled());
}

TEST(MultiTagger, TheEndOfARunShowsItsCountsAndTheFailedFilesAndARefusedRunChangesNothing)
{
    Window w;
    EXPECT_FALSE(w.progress()->isTextVisible()) << "no count before a run";
    w.included(FieldId::Album)->setChecked(true);
    w.edit("ID3Album")->setText("New");
    w.select({ "a.mp3", "b.mp3" });
    QFile::remove(w.path("a.mp3")); // gone after it was listed
    w.prompter.answers.enqueue(Answer::Ok);

    w.button("SetTagsButton")->click();

    EXPECT_EQ(w.progress()->text(), "1 Of 2 Files Written, 1 Failed");
    ASSERT_EQ(w.prompter.calls.size(), 2);
    EXPECT_TRUE(w.prompter.calls[1].text.startsWith("Tags Were Not Saved In These Files:\r\n\r\n" + w.path("a.mp3")));

    const QByteArray b = Mp3Builder::readFile(w.path("b.mp3"));
    w.included(FieldId::Year)->setChecked(true);
    w.edit("ID3Year")->setText("99999");
    w.button("SetTagsButton")->click();
    EXPECT_EQ(w.status(), "ID3 Tag Updates Refused: Year 99999 Is Larger Than 9999");
    EXPECT_EQ(Mp3Builder::readFile(w.path("b.mp3")), b);
}

TEST(MultiTagger, ReadValuesReadsTheFocusedEntryAndClearsIncluded)
{
    Window w;
    w.window->allButtonClick();
    w.select({ "a.mp3", "c.mp3" });
    w.list()->setCurrentItem(w.list()->item(1), QItemSelectionModel::NoUpdate);
    w.window->readValuesClick();
    EXPECT_EQ(w.edit("ID3Artist")->text(), "Artist b");
    EXPECT_FALSE(w.included(FieldId::Artist)->isChecked());
}

TEST(MultiTagger, SetBoxPropertyTakesOnlyItsThreeNames)
{
    Window w(QStringList {});
    w.window->setBoxProperty("Enabled", false);
    EXPECT_FALSE(w.window->findChild<QComboBox*>("ID3Genre")->isEnabled());
    EXPECT_TRUE(w.included(FieldId::Tempo)->isEnabled()) << "only boxes named ID3...";
    w.window->setBoxProperty("enabled", true); // names are case-sensitive
    EXPECT_FALSE(w.edit("ID3Tempo")->isEnabled());
    w.window->setBoxProperty("Text", "same");
    EXPECT_EQ(w.edit("ID3Mood")->text(), "same");
    EXPECT_EQ(w.window->panel().text(FieldId::CopyRight), "True") << "the copyright box takes only its entries";
    w.window->setBoxProperty("Width", 120);
    EXPECT_EQ(w.edit("ID3Artist")->width(), 120);
}

TEST(MultiTagger, BoxChangesRecordStepsWhileRecording)
{
    StepRecorder recorder;
    Window w(QStringList {}, &recorder);
    recorder.startRecording();
    w.edit("ID3Mood")->setText("Up");
    EXPECT_EQ(recorder.editSteps(), QStringList({ "Mood:Up", "" }));
}

TEST(MultiTagger, StopButtonAndEscapeEndTheRunAfterTheCurrentFileAndExitCloses)
{
    Window w;
    w.included(FieldId::Album)->setChecked(true);
    w.edit("ID3Album")->setText("New");
    w.select({ "a.mp3", "b.mp3", "c.mp3" });
    QString stopAt = "Setting ID3 Tags In b.mp3";
    QObject::connect(w.window->findChild<QStatusBar*>("MTSB"), &QStatusBar::messageChanged, [&](const QString& text) {
        if (text != stopAt)
            return;
        if (stopAt.endsWith("b.mp3")) {
            w.button("StopButton")->click();
        } else {
            QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
            QApplication::sendEvent(w.window.get(), &escape);
        }
    });
    w.window->show();
    w.window->setTagsButtonClick();
    EXPECT_EQ(w.status(), "ID3 Tag Updates Stopped After 2 Of 3 Files: 2 Written");
    stopAt = "Setting ID3 Tags In a.mp3";
    w.window->setTagsButtonClick();
    EXPECT_EQ(w.status(), "ID3 Tag Updates Stopped After 1 Of 3 Files: 1 Written");
    EXPECT_TRUE(w.window->isVisible()) << "Escape during a run does not close the window";
    w.button("ExitButton")->click();
    EXPECT_FALSE(w.window->isVisible());
}
