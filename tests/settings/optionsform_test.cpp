#include "nameedit/formatlist.h"
#include "platform/fakes/memorysettingsbackend.h"
#include "platform/fakes/scriptedprompter.h"
#include "platform/platformservices.h"
#include "settings/preferences.h"
#include "settings/ui/filterform.h"
#include "settings/ui/optionsform.h"
#include "settings/ui/reporterror.h"
#include "support/qttesthelpers.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabBar>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

using Values = QMap<QString, QString>;

// The options dialog over in-memory settings and the six factory masks with
// the fourth one selected.
class OptionsFormTest : public ::testing::Test {
protected:
    OptionsFormTest()
    {
        services.prompter = &prompter;
        formats.setMasks(FormatList::factoryMasks());
        formats.setCurrentIndex(3);
    }

    void open()
    {
        form = std::make_unique<OptionsForm>(services, prefs, formats, [this] { ++refreshes; });
    }
    template <typename T> T* child(const char* name) { return form->findChild<T*>(QLatin1String(name)); }
    QCheckBox* check(const char* name) { return child<QCheckBox>(name); }
    QRadioButton* radio(const char* name) { return child<QRadioButton>(name); }
    void click(const char* button) { child<QPushButton>(button)->click(); }
    bool applyEnabled() { return child<QPushButton>("ApplyButton")->isEnabled(); }
    QStringList items(const char* list) { return listTexts(child<QListWidget>(list)); }
    QLineEdit* mask() { return child<QLineEdit>("CurrentFormat"); }
    void select(const char* field)
    {
        auto* valid = child<QListWidget>("ValidFields");
        const auto found = valid->findItems(QLatin1String(field), Qt::MatchExactly);
        ASSERT_EQ(found.size(), 1) << field;
        valid->setCurrentItem(found.first());
        click("AddOne");
    }
    Values settings() const { return backend.values.value(QStringLiteral("Settings")); }

    MemorySettingsBackend backend;
    ScriptedPrompter prompter;
    PlatformServices services;
    Preferences prefs { backend };
    FormatList formats;
    int refreshes = 0;
    std::unique_ptr<OptionsForm> form;
};

} // namespace

TEST_F(OptionsFormTest, ShowsTheStoredOptionsAndKeepsItsSizeFromTabToTab)
{
    backend.values["Settings"] = { { "New File Case", "LC" }, { "SyncOption", "0" }, { "ID3AutoSave", "0" },
        { "Remove Parens", "1" }, { "UseFormattedTrack", "0" }, { "MP3 Files Only", "1" } };
    open();
    for (const char* name : { "LowerCase", "SyncOption0", "ID3Save0" })
        EXPECT_TRUE(radio(name)->isChecked()) << name;
    EXPECT_TRUE(check("RemoveParens")->isChecked());
    EXPECT_TRUE(check("MP3FilesOnly")->isChecked());
    EXPECT_FALSE(check("UseFormattedTrack")->isChecked());
    EXPECT_FALSE(applyEnabled());
    form->show();
    QApplication::processEvents();
    const QSize first = form->size();
    child<QTabBar>("OptFrame")->setCurrentIndex(1);
    QApplication::processEvents();
    EXPECT_EQ(form->size(), first);
    EXPECT_TRUE(child<QWidget>("FormatFrame")->isVisible());
    form->reject();
}

TEST_F(OptionsFormTest, ApplyCancelAndSaveAndExitStoreOnlyWhatWasApplied)
{
    open();
    for (const char* name : { "UpperCase", "SyncOption0", "ID3Save0", "RemoveParens", "SepPad", "UseFormattedTrack",
             "KeepFileTimes", "RemoveUnderScores", "MP3FilesOnly" }) {
        child<QAbstractButton>(name)->click();
        EXPECT_TRUE(applyEnabled()) << name;
    }
    click("ApplyButton");
    EXPECT_FALSE(applyEnabled());
    const Values expected { { "New File Case", "UC" }, { "SyncOption", "0" }, { "ID3AutoSave", "0" },
        { "Remove Parens", "1" }, { "RemUnderScores", "1" }, { "SplitSpaces", "1" }, { "UseFormattedTrack", "0" },
        { "Keep File Times", "1" }, { "MP3 Files Only", "1" } };
    EXPECT_EQ(settings(), expected);
    radio("LowerCase")->click();
    click("CancelButton");
    EXPECT_EQ(settings(), expected);
    EXPECT_EQ(form->result(), QDialog::Rejected);

    open();
    form->show();
    radio("UnchangedCase")->click();
    click("SaveExitButton");
    EXPECT_EQ(settings()["New File Case"], QStringLiteral("NC"));
    EXPECT_FALSE(form->isVisible());
}

TEST_F(OptionsFormTest, FieldListsComposeAMaskThatApplyAddsAndClosingLeavesTheFirstSelected)
{
    open();
    auto* selected = child<QListWidget>("SelectedFields");
    select("Year");
    selected->setCurrentRow(0);
    click("RemoveOne");
    EXPECT_EQ(items("ValidFields").last(), QStringLiteral("Year"));
    click("AddAll");
    EXPECT_TRUE(items("ValidFields").isEmpty());
    click("RemoveAll");
    EXPECT_TRUE(mask()->text().isEmpty());
    auto* valid = child<QListWidget>("ValidFields");
    valid->setCurrentRow(0);
    emit valid->itemDoubleClicked(valid->item(0));
    EXPECT_EQ(items("SelectedFields"), QStringList { "Artist" });
    selected->setCurrentRow(0);
    emit selected->itemDoubleClicked(selected->item(0));
    EXPECT_TRUE(items("SelectedFields").isEmpty());
    select("Track");
    select("Title");
    EXPECT_EQ(mask()->text(), QStringLiteral("Track-Title.mp3"));
    click("ApplyButton");
    EXPECT_EQ(formats.masks().mid(6), QStringList { "Track-Title.mp3" });
    EXPECT_EQ(formats.currentIndex(), 6);
    EXPECT_GE(refreshes, 1);
    click("CancelButton");
    EXPECT_EQ(formats.currentIndex(), 0);
}

TEST_F(OptionsFormTest, DefineFiltersOpensTheFilterEditorModally)
{
    open();
    bool seen = false;
    QTimer::singleShot(0, form.get(), [&] {
        auto* editor = form->findChild<FilterForm*>();
        ASSERT_NE(editor, nullptr);
        seen = editor->isModal() && editor->isVisible();
        editor->findChild<QLineEdit*>(QStringLiteral("SearchText"))->setText(QStringLiteral("_"));
        editor->findChild<QPushButton*>(QStringLiteral("AddButton"))->click();
        editor->findChild<QPushButton*>(QStringLiteral("ExitButton"))->click();
    });
    click("DefineFilters");
    EXPECT_TRUE(seen);
    EXPECT_EQ(backend.values["Filters"]["Filter00"], QStringLiteral("@_"));
}

TEST(ReportError, PutsTheReportOnTheClipboardAndShowsItCritical)
{
    ScriptedPrompter prompter;
    reportError(prompter, QStringLiteral("OptionsForm"), QStringLiteral("Out of memory"), 7, 120);
    ASSERT_EQ(prompter.calls.size(), 1);
    EXPECT_EQ(prompter.calls[0].text,
        "An Error Occured!\r\n\r\nApplication Name: Velmora\r\nApplication Version: 1.0.0\r\n\r\n"
        "Container Name: OptionsForm\r\nError Description: Out of memory\r\nError Number: 7\r\nError Line: 120\r\n\r\n"
        "This Data Has Been Copied To The Clipboard.\r\n"
        "Please Send It To The Velmora Developers With A Note Of What You Were Doing.");
    EXPECT_EQ(prompter.calls[0].icon, MsgIcon::Critical);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), prompter.calls[0].text);
}
