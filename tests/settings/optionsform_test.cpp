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

    void open() { form = std::make_unique<OptionsForm>(services, prefs, formats, [this] { ++refreshes; }); }
    template <typename T> T* child(const char* name) { return form->findChild<T*>(QLatin1String(name)); }
    QCheckBox* check(const char* name) { return child<QCheckBox>(name); }
    QRadioButton* radio(const char* name) { return child<QRadioButton>(name); }
    void click(const char* button) { child<QPushButton>(button)->click(); }
    bool applyEnabled() { return child<QPushButton>("ApplyButton")->isEnabled(); }
    QStringList items(const char* list) { return ListTexts(child<QListWidget>(list)); }
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
    Preferences prefs{backend};
    FormatList formats;
    int refreshes = 0;
    std::unique_ptr<OptionsForm> form;
};

} // namespace

TEST_F(OptionsFormTest, OpensWithDefaultsWhenNothingIsStored)
{
    open();
    for (const char* name : {"TitleCase", "SyncOption2", "ID3Save1"})
        EXPECT_TRUE(radio(name)->isChecked()) << name;
    EXPECT_TRUE(check("UseFormattedTrack")->isChecked());
    for (const char* name : {"RemoveUnderScores", "RemoveParens", "SepPad"})
        EXPECT_FALSE(check(name)->isChecked()) << name;
    EXPECT_FALSE(applyEnabled());
    EXPECT_TRUE(mask()->text().isEmpty());
    EXPECT_EQ(items("ValidFields").size(), 20);
    EXPECT_TRUE(items("SelectedFields").isEmpty());
    EXPECT_TRUE(settings().isEmpty()); // opening stores nothing
}

TEST_F(OptionsFormTest, OpensWithStoredOptionsAndApplyKeepsUnknownValues)
{
    backend.values["Settings"] = { { "New File Case", "LC" }, { "SyncOption", "0" }, { "ID3AutoSave", "0" },
        { "Remove Parens", "1" }, { "RemUnderScores", "1" }, { "SplitSpaces", "1" }, { "UseFormattedTrack", "0" },
        { "Keep File Times", "1" } };
    open();
    for (const char* name : {"LowerCase", "SyncOption0", "ID3Save0"})
        EXPECT_TRUE(radio(name)->isChecked()) << name;
    for (const char* name : { "RemoveParens", "RemoveUnderScores", "SepPad", "KeepFileTimes" })
        EXPECT_TRUE(check(name)->isChecked()) << name;
    EXPECT_FALSE(check("UseFormattedTrack")->isChecked());

    backend.values["Settings"] = {{"New File Case", "XX"}, {"SyncOption", "7"}};
    open();
    for (const char* name : {"TitleCase", "UpperCase", "LowerCase", "UnchangedCase", "SyncOption0", "SyncOption1",
                             "SyncOption2"})
        EXPECT_FALSE(radio(name)->isChecked()) << name;
    check("RemoveParens")->setChecked(true);
    click("ApplyButton");
    EXPECT_EQ(settings()["New File Case"], QStringLiteral("XX"));
    EXPECT_EQ(settings()["SyncOption"], QStringLiteral("7"));
}

TEST_F(OptionsFormTest, ApplyStoresEveryOptionAndCancelKeepsWhatWasApplied)
{
    open();
    // Every control enables Apply (underscores are switched on and off again).
    for (const char* name : { "UpperCase", "SyncOption0", "ID3Save0", "RemoveParens", "SepPad", "UseFormattedTrack",
             "KeepFileTimes", "RemoveUnderScores", "RemoveUnderScores" }) {
        child<QAbstractButton>(name)->click();
        EXPECT_TRUE(applyEnabled()) << name;
        click("ApplyButton");
        EXPECT_FALSE(applyEnabled()) << name;
    }
    const Values expected { { "New File Case", "UC" }, { "SyncOption", "0" }, { "ID3AutoSave", "0" },
        { "Remove Parens", "1" }, { "RemUnderScores", "0" }, { "SplitSpaces", "1" }, { "UseFormattedTrack", "0" },
        { "Keep File Times", "1" } };
    EXPECT_EQ(settings(), expected);
    EXPECT_TRUE(prefs.options.KeepFileTimes);
    EXPECT_EQ(prefs.options.NewFileCase, NameCase::Upper);
    EXPECT_EQ(prefs.options.SeparatorString, QStringLiteral(" - "));
    EXPECT_EQ(prefs.options.ID3AutoSave, 0);
    EXPECT_EQ(formats.count(), 6); // no mask composed, none added

    radio("LowerCase")->click();
    check("SepPad")->click();
    select("Artist");
    click("CancelButton");
    EXPECT_EQ(settings(), expected);
    EXPECT_EQ(prefs.options.NewFileCase, NameCase::Upper);
    EXPECT_EQ(formats.count(), 6);
    EXPECT_EQ(form->result(), QDialog::Rejected);
}

TEST_F(OptionsFormTest, CancelWithoutApplyStoresNothingAndSaveAndExitStores)
{
    open();
    radio("LowerCase")->click();
    click("CancelButton");
    EXPECT_TRUE(settings().isEmpty());
    EXPECT_EQ(prefs.options.NewFileCase, NameCase::Title);

    open();
    form->show();
    radio("UnchangedCase")->click();
    check("RemoveUnderScores")->click();
    click("SaveExitButton");
    EXPECT_EQ(settings()["New File Case"], QStringLiteral("NC"));
    EXPECT_EQ(settings()["RemUnderScores"], QStringLiteral("1"));
    EXPECT_EQ(settings().size(), 8);
    EXPECT_TRUE(prefs.options.RemUnderScores);
    EXPECT_FALSE(form->isVisible());
    EXPECT_EQ(form->result(), QDialog::Accepted);
}

TEST_F(OptionsFormTest, ComposesWithTheSeparatorLastApplied)
{
    open();
    select("Track");
    select("Title");
    EXPECT_EQ(mask()->text(), QStringLiteral("Track-Title.mp3"));
    check("SepPad")->click();
    child<QListWidget>("SelectedFields")->setCurrentRow(1);
    click("RemoveOne");
    select("Title");
    EXPECT_EQ(mask()->text(), QStringLiteral("Track-Title.mp3")); // not yet applied
    click("ApplyButton");
    EXPECT_TRUE(items("SelectedFields").isEmpty());
    EXPECT_TRUE(mask()->text().isEmpty());
    select("Artist");
    select("Album");
    EXPECT_EQ(mask()->text(), QStringLiteral("Artist - Album.mp3"));
}

TEST_F(OptionsFormTest, FieldListButtonsAndDoubleClicksMoveFields)
{
    open();
    auto* valid = child<QListWidget>("ValidFields");
    auto* selected = child<QListWidget>("SelectedFields");
    select("Year");
    EXPECT_EQ(items("SelectedFields"), QStringList{"Year"});
    selected->setCurrentRow(0);
    click("RemoveOne");
    EXPECT_EQ(items("ValidFields").last(), QStringLiteral("Year")); // returns to the end
    click("RemoveOne"); // nothing selected: nothing happens
    EXPECT_EQ(items("ValidFields").size(), 20);
    click("AddAll");
    EXPECT_TRUE(items("ValidFields").isEmpty());
    EXPECT_EQ(items("SelectedFields").at(2), QStringLiteral("Title"));
    EXPECT_TRUE(mask()->text().startsWith(QStringLiteral("Artist-Album-Title-Track-Total Tracks-")));
    EXPECT_TRUE(mask()->text().endsWith(QStringLiteral("Situation-Tempo.mp3")));
    click("RemoveAll");
    EXPECT_EQ(items("ValidFields").first(), QStringLiteral("Artist"));
    EXPECT_EQ(items("ValidFields").size(), 20);
    EXPECT_TRUE(mask()->text().isEmpty());
    emit valid->itemDoubleClicked(valid->item(0));
    EXPECT_TRUE(items("SelectedFields").isEmpty()); // double click without a selection
    valid->setCurrentRow(1);
    emit valid->itemDoubleClicked(valid->item(1));
    EXPECT_EQ(items("SelectedFields"), QStringList{"Album"});
    selected->setCurrentRow(0);
    emit selected->itemDoubleClicked(selected->item(0));
    EXPECT_TRUE(items("SelectedFields").isEmpty());
}

TEST_F(OptionsFormTest, ComposedMaskIsAddedOnceAndSelected)
{
    open();
    select("Track");
    select("Title");
    click("ApplyButton");
    ASSERT_EQ(formats.count(), 7);
    EXPECT_EQ(formats.at(6), QStringLiteral("Track-Title.mp3"));
    EXPECT_EQ(formats.currentIndex(), 6);
    EXPECT_GE(refreshes, 1);
    formats.setCurrentIndex(2);
    // Applied fields do not return to the valid list; remove all restores it.
    EXPECT_FALSE(items("ValidFields").contains(QStringLiteral("Track")));
    click("RemoveAll");
    select("Track");
    select("Title");
    click("ApplyButton");
    EXPECT_EQ(formats.count(), 7);
    EXPECT_EQ(formats.currentIndex(), 6);

    // A listed mask (ignoring spaces) is selected, the last of equal ones.
    const std::pair<const char*, int> listed[] = {
        {"  Artist - Title.mp3 ", 1}, {"Album - Artist - Track - Title.mp3", 4}, {"   ", 4}};
    for (const auto& [text, index] : listed) {
        mask()->setText(QLatin1String(text));
        EXPECT_TRUE(applyEnabled()) << text;
        click("ApplyButton");
        EXPECT_EQ(formats.count(), 7) << text;
        EXPECT_EQ(formats.currentIndex(), index) << text;
    }
}

TEST_F(OptionsFormTest, ClosingInAnyWaySelectsTheFirstMask)
{
    open();
    form->show();
    form->close();
    EXPECT_EQ(formats.currentIndex(), 0);
    EXPECT_EQ(refreshes, 1);
    formats.setCurrentIndex(5);
    open();
    click("CancelButton");
    EXPECT_EQ(formats.currentIndex(), 0);
    formats.setCurrentIndex(5);
    open();
    select("Track");
    click("SaveExitButton");
    EXPECT_EQ(formats.count(), 7); // the composed mask was added ...
    EXPECT_EQ(formats.currentIndex(), 0); // ... and the first entry selected on closing
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
    EXPECT_EQ(prefs.filters, (FilterList{{"D", "_", ""}}));
}

TEST(ReportError, PutsTheReportOnTheClipboardAndShowsItCritical)
{
    ScriptedPrompter prompter;
    ReportError(prompter, QStringLiteral("OptionsForm"), QStringLiteral("Out of memory"), 7, 120);
    const QString expectedStart
        = QStringLiteral("An Error Occured!\r\n\r\nApplication Name: Velmora\r\nApplication Version: 1.0.0\r\n\r\n"
                         "Container Name: OptionsForm\r\nError Description: Out of memory\r\nError Number: 7\r\n"
                         "Error Line: 120\r\n\r\nThis Data Has Been Copied To The Clipboard.\r\n");
    ASSERT_EQ(prompter.calls.size(), 1);
    EXPECT_TRUE(prompter.calls[0].text.startsWith(expectedStart));
    EXPECT_GT(prompter.calls[0].text.size(), expectedStart.size()); // the closing request line
    EXPECT_EQ(prompter.calls[0].icon, MsgIcon::Critical);
    EXPECT_EQ(prompter.calls[0].title, QStringLiteral("Velmora"));
    EXPECT_EQ(QGuiApplication::clipboard()->text(), prompter.calls[0].text);
}

TEST_F(OptionsFormTest, KeepsItsSizeFromTabToTab)
{
    open();
    form->show();
    QApplication::processEvents();
    const QSize first = form->size();
    auto* tabs = child<QTabBar>("OptFrame");
    for (int tab : { 1, 0, 1 }) {
        tabs->setCurrentIndex(tab);
        QApplication::processEvents();
        EXPECT_EQ(form->size(), first) << tab;
        EXPECT_EQ(child<QWidget>("AutoFrame")->isVisible(), tab == 0);
        EXPECT_EQ(child<QWidget>("FormatFrame")->isVisible(), tab == 1);
    }
    form->reject();
}
