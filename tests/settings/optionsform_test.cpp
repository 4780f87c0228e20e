#include "nameedit/formatlist.h"
#include "platform/fakes/memorysettingsbackend.h"
#include "platform/fakes/scriptedprompter.h"
#include "platform/platformservices.h"
#include "settings/preferences.h"
#include "settings/ui/filterform.h"
#include "settings/ui/optionsform.h"
#include "settings/ui/reporterror.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QClipboard>
#include <QFrame>
#include <QGuiApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTabBar>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

using Values = QMap<QString, QString>;

class OptionsFormTest : public ::testing::Test {
protected:
    OptionsFormTest()
    {
        services.prompter = &prompter;
        formats.setMasks(FormatList::factoryMasks());
        formats.setCurrentIndex(3);
    }

    OptionsForm& open()
    {
        form = std::make_unique<OptionsForm>(services, prefs, formats, [this] { ++refreshes; });
        return *form;
    }
    template <typename T> T* child(const QString& name) { return form->findChild<T*>(name); }
    QCheckBox* check(const char* name) { return child<QCheckBox>(QLatin1String(name)); }
    QRadioButton* radio(const char* name) { return child<QRadioButton>(QLatin1String(name)); }
    QPushButton* button(const char* name) { return child<QPushButton>(QLatin1String(name)); }
    QListWidget* list(const char* name) { return child<QListWidget>(QLatin1String(name)); }
    QString preview() { return child<QLineEdit>(QStringLiteral("CurrentFormat"))->text(); }
    void select(const QString& field)
    {
        auto* valid = list("ValidFields");
        const auto found = valid->findItems(field, Qt::MatchExactly);
        ASSERT_EQ(found.size(), 1) << field.toStdString();
        valid->setCurrentItem(found.first());
        button("AddOne")->click();
    }
    QStringList items(const char* name)
    {
        QStringList out;
        for (int i = 0; i < list(name)->count(); ++i)
            out << list(name)->item(i)->text();
        return out;
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
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Velmora - Options"));
    EXPECT_TRUE(radio("TitleCase")->isChecked());
    EXPECT_TRUE(radio("SyncOption2")->isChecked());
    EXPECT_EQ(radio("SyncOption2")->text(), QStringLiteral("Do Not Automatically Synchronize Any Values"));
    EXPECT_TRUE(radio("ID3Save1")->isChecked());
    EXPECT_EQ(radio("ID3Save1")->text(), QStringLiteral("Automatically Save Internal ID3 Tags To The Selected File"));
    EXPECT_TRUE(check("UseFormattedTrack")->isChecked());
    EXPECT_EQ(check("UseFormattedTrack")->text(), QStringLiteral("Use Two Digit Track Numbers"));
    EXPECT_FALSE(check("RemoveUnderScores")->isChecked());
    EXPECT_FALSE(check("RemoveParens")->isChecked());
    EXPECT_FALSE(check("SepPad")->isChecked());
    EXPECT_FALSE(button("ApplyButton")->isEnabled());
    EXPECT_TRUE(preview().isEmpty());
    EXPECT_EQ(items("ValidFields").size(), 20);
    EXPECT_EQ(items("ValidFields").first(), QStringLiteral("Artist"));
    EXPECT_EQ(items("ValidFields").last(), QStringLiteral("Tempo"));
    EXPECT_TRUE(items("SelectedFields").isEmpty());
    EXPECT_TRUE(child<QFrame>("AutoFrame")->isVisibleTo(form.get()));
    EXPECT_FALSE(child<QFrame>("FormatFrame")->isVisibleTo(form.get()));
    EXPECT_TRUE(settings().isEmpty()); // opening stores nothing
}

TEST_F(OptionsFormTest, OpensWithStoredOptions)
{
    backend.values["Settings"] = {{"New File Case", "LC"}, {"SyncOption", "0"}, {"ID3AutoSave", "0"},
                                  {"Remove Parens", "1"}, {"RemUnderScores", "1"}, {"SplitSpaces", "1"},
                                  {"UseFormattedTrack", "0"}};
    open();
    EXPECT_TRUE(radio("LowerCase")->isChecked());
    EXPECT_TRUE(radio("SyncOption0")->isChecked());
    EXPECT_TRUE(radio("ID3Save0")->isChecked());
    EXPECT_TRUE(check("RemoveParens")->isChecked());
    EXPECT_TRUE(check("RemoveUnderScores")->isChecked());
    EXPECT_TRUE(check("SepPad")->isChecked());
    EXPECT_FALSE(check("UseFormattedTrack")->isChecked());
    EXPECT_FALSE(button("ApplyButton")->isEnabled());
}

TEST_F(OptionsFormTest, UnknownCaseSelectsNoCaseButtonAndApplyKeepsIt)
{
    backend.values["Settings"] = {{"New File Case", "XX"}, {"SyncOption", "7"}};
    open();
    for (const char* name : {"TitleCase", "UpperCase", "LowerCase", "UnchangedCase", "SyncOption0", "SyncOption1", "SyncOption2"})
        EXPECT_FALSE(radio(name)->isChecked()) << name;
    check("RemoveParens")->setChecked(true);
    button("ApplyButton")->click();
    EXPECT_EQ(settings()["New File Case"], QStringLiteral("XX"));
    EXPECT_EQ(settings()["SyncOption"], QStringLiteral("7"));
}

TEST_F(OptionsFormTest, EveryOptionControlEnablesApply)
{
    open();
    for (const char* name : {"UpperCase", "SyncOption1", "ID3Save0"}) {
        button("ApplyButton")->setEnabled(false);
        radio(name)->click();
        EXPECT_TRUE(button("ApplyButton")->isEnabled()) << name;
    }
    for (const char* name : {"UseFormattedTrack", "RemoveUnderScores", "RemoveParens", "SepPad"}) {
        button("ApplyButton")->setEnabled(false);
        check(name)->click();
        EXPECT_TRUE(button("ApplyButton")->isEnabled()) << name;
    }
    button("ApplyButton")->setEnabled(false);
    child<QLineEdit>(QStringLiteral("CurrentFormat"))->setText(QStringLiteral("Artist.mp3"));
    EXPECT_TRUE(button("ApplyButton")->isEnabled());
}

TEST_F(OptionsFormTest, ApplyStoresEveryOptionAndReloadsMemory)
{
    open();
    radio("UpperCase")->click();
    radio("SyncOption0")->click();
    radio("ID3Save0")->click();
    check("RemoveParens")->click();
    check("SepPad")->click();
    check("UseFormattedTrack")->click();
    button("ApplyButton")->click();
    const Values expected{{"New File Case", "UC"}, {"SyncOption", "0"}, {"ID3AutoSave", "0"},
                          {"Remove Parens", "1"}, {"RemUnderScores", "0"}, {"SplitSpaces", "1"},
                          {"UseFormattedTrack", "0"}};
    EXPECT_EQ(settings(), expected);
    EXPECT_EQ(prefs.options.NewFileCase, QStringLiteral("UC"));
    EXPECT_EQ(prefs.options.SeparatorString, QStringLiteral(" - "));
    EXPECT_EQ(prefs.options.ID3AutoSave, 0);
    EXPECT_FALSE(prefs.options.UseFormattedTrack);
    EXPECT_FALSE(button("ApplyButton")->isEnabled());
    EXPECT_EQ(formats.count(), 6); // no mask composed, none added
}

TEST_F(OptionsFormTest, CancelStoresNothingAndKeepsMemory)
{
    open();
    radio("LowerCase")->click();
    check("SepPad")->click();
    select(QStringLiteral("Artist"));
    button("CancelButton")->click();
    EXPECT_TRUE(settings().isEmpty());
    EXPECT_EQ(prefs.options.NewFileCase, QStringLiteral("TC"));
    EXPECT_EQ(prefs.options.SeparatorString, QStringLiteral("-"));
    EXPECT_EQ(formats.count(), 6);
    EXPECT_EQ(form->result(), QDialog::Rejected);
}

TEST_F(OptionsFormTest, CancelAfterApplyKeepsTheAppliedValues)
{
    open();
    radio("LowerCase")->click();
    button("ApplyButton")->click();
    radio("UpperCase")->click();
    button("CancelButton")->click();
    EXPECT_EQ(settings()["New File Case"], QStringLiteral("LC"));
    EXPECT_EQ(prefs.options.NewFileCase, QStringLiteral("LC"));
}

TEST_F(OptionsFormTest, SaveAndExitStoresAndCloses)
{
    open();
    form->show();
    radio("UnchangedCase")->click();
    check("RemoveUnderScores")->click();
    button("SaveExitButton")->click();
    EXPECT_EQ(settings()["New File Case"], QStringLiteral("NC"));
    EXPECT_EQ(settings()["RemUnderScores"], QStringLiteral("1"));
    EXPECT_EQ(settings().size(), 7);
    EXPECT_TRUE(prefs.options.RemUnderScores);
    EXPECT_FALSE(form->isVisible());
    EXPECT_EQ(form->result(), QDialog::Accepted);
}

TEST_F(OptionsFormTest, ComposesWithTheSeparatorLastApplied)
{
    open();
    select(QStringLiteral("Track"));
    select(QStringLiteral("Title"));
    EXPECT_EQ(preview(), QStringLiteral("Track-Title.mp3"));
    EXPECT_TRUE(button("ApplyButton")->isEnabled());
    check("SepPad")->click();
    list("SelectedFields")->setCurrentRow(1);
    button("RemoveOne")->click();
    select(QStringLiteral("Title"));
    EXPECT_EQ(preview(), QStringLiteral("Track-Title.mp3")); // not yet applied
    button("ApplyButton")->click();
    EXPECT_TRUE(items("SelectedFields").isEmpty());
    EXPECT_TRUE(preview().isEmpty());
    select(QStringLiteral("Artist"));
    select(QStringLiteral("Album"));
    EXPECT_EQ(preview(), QStringLiteral("Artist - Album.mp3"));
}

TEST_F(OptionsFormTest, FieldListButtonsAndDoubleClicksMoveFields)
{
    open();
    select(QStringLiteral("Year"));
    EXPECT_EQ(items("SelectedFields"), QStringList{"Year"});
    EXPECT_FALSE(items("ValidFields").contains("Year"));
    list("SelectedFields")->setCurrentRow(0);
    button("RemoveOne")->click();
    EXPECT_EQ(items("ValidFields").last(), QStringLiteral("Year")); // returns to the end
    button("RemoveOne")->click(); // nothing selected: nothing happens
    EXPECT_EQ(items("ValidFields").size(), 20);
    button("AddAll")->click();
    EXPECT_TRUE(items("ValidFields").isEmpty());
    EXPECT_EQ(items("SelectedFields").size(), 20);
    EXPECT_EQ(items("SelectedFields").at(2), QStringLiteral("Title"));
    EXPECT_TRUE(preview().startsWith(QStringLiteral("Artist-Album-Title-Track-Total Tracks-")));
    EXPECT_TRUE(preview().endsWith(QStringLiteral("Situation-Tempo.mp3")));
    button("RemoveAll")->click();
    EXPECT_EQ(items("ValidFields").first(), QStringLiteral("Artist"));
    EXPECT_EQ(items("ValidFields").size(), 20);
    EXPECT_TRUE(preview().isEmpty());
    emit list("ValidFields")->itemDoubleClicked(list("ValidFields")->item(0));
    EXPECT_TRUE(items("SelectedFields").isEmpty()); // double click without a selection
    list("ValidFields")->setCurrentRow(1);
    emit list("ValidFields")->itemDoubleClicked(list("ValidFields")->item(1));
    EXPECT_EQ(items("SelectedFields"), QStringList{"Album"});
    list("SelectedFields")->setCurrentRow(0);
    emit list("SelectedFields")->itemDoubleClicked(list("SelectedFields")->item(0));
    EXPECT_TRUE(items("SelectedFields").isEmpty());
}

TEST_F(OptionsFormTest, NewMaskIsAddedOnceAndSelected)
{
    open();
    select(QStringLiteral("Track"));
    select(QStringLiteral("Title"));
    button("ApplyButton")->click();
    ASSERT_EQ(formats.count(), 7);
    EXPECT_EQ(formats.at(6), QStringLiteral("Track-Title.mp3"));
    EXPECT_EQ(formats.currentIndex(), 6);
    EXPECT_GE(refreshes, 1);
    formats.setCurrentIndex(2);
    // Applied fields do not return to the valid list; remove all restores it.
    EXPECT_FALSE(items("ValidFields").contains(QStringLiteral("Track")));
    button("RemoveAll")->click();
    select(QStringLiteral("Track"));
    select(QStringLiteral("Title"));
    button("ApplyButton")->click();
    EXPECT_EQ(formats.count(), 7);
    EXPECT_EQ(formats.currentIndex(), 6);
}

TEST_F(OptionsFormTest, MaskAlreadyListedIgnoringSpacesIsSelectedNotAdded)
{
    open();
    child<QLineEdit>(QStringLiteral("CurrentFormat"))->setText(QStringLiteral("  Artist - Title.mp3 "));
    button("ApplyButton")->click();
    EXPECT_EQ(formats.count(), 6);
    EXPECT_EQ(formats.currentIndex(), 1);
    // Equal entries: the last one is selected.
    child<QLineEdit>(QStringLiteral("CurrentFormat"))->setText(QStringLiteral("Album - Artist - Track - Title.mp3"));
    button("ApplyButton")->click();
    EXPECT_EQ(formats.count(), 6);
    EXPECT_EQ(formats.currentIndex(), 4);
}

TEST_F(OptionsFormTest, BlankMaskIsNotAdded)
{
    open();
    child<QLineEdit>(QStringLiteral("CurrentFormat"))->setText(QStringLiteral("   "));
    button("ApplyButton")->click();
    EXPECT_EQ(formats.count(), 6);
    EXPECT_EQ(formats.currentIndex(), 3);
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
    button("CancelButton")->click();
    EXPECT_EQ(formats.currentIndex(), 0);
    formats.setCurrentIndex(5);
    open();
    select(QStringLiteral("Track"));
    button("SaveExitButton")->click();
    EXPECT_EQ(formats.count(), 7); // the composed mask was added ...
    EXPECT_EQ(formats.currentIndex(), 0); // ... and the first entry selected on closing
}

TEST_F(OptionsFormTest, TabsSwitchThePages)
{
    open();
    auto* tabs = child<QTabBar>(QStringLiteral("OptFrame"));
    ASSERT_EQ(tabs->count(), 2);
    EXPECT_EQ(tabs->tabText(0), QStringLiteral("General / Automation"));
    EXPECT_EQ(tabs->tabToolTip(1), QStringLiteral("Custom Formats and Filters"));
    tabs->setCurrentIndex(1);
    EXPECT_FALSE(child<QFrame>("AutoFrame")->isVisibleTo(form.get()));
    EXPECT_TRUE(child<QFrame>("FormatFrame")->isVisibleTo(form.get()));
    tabs->setCurrentIndex(0);
    EXPECT_TRUE(child<QFrame>("AutoFrame")->isVisibleTo(form.get()));
    EXPECT_FALSE(child<QFrame>("FormatFrame")->isVisibleTo(form.get()));
}

TEST_F(OptionsFormTest, ControlsCarryTheirCaptionsAndTooltips)
{
    open();
    EXPECT_EQ(button("SaveExitButton")->text(), QStringLiteral("&Save && Exit"));
    EXPECT_EQ(button("SaveExitButton")->toolTip(), QStringLiteral("Save all changes and exit Options"));
    EXPECT_EQ(button("ApplyButton")->toolTip(), QStringLiteral("Apply the current changes"));
    EXPECT_EQ(button("CancelButton")->toolTip(), QStringLiteral("Cancel all changes and exit"));
    EXPECT_EQ(button("DefineFilters")->text(), QStringLiteral("&Define File Filters"));
    EXPECT_EQ(button("AddAll")->text(), QStringLiteral(">>"));
    EXPECT_EQ(button("RemoveOne")->toolTip(), QStringLiteral("Remove Selected Field"));
    EXPECT_EQ(radio("TitleCase")->toolTip(), QStringLiteral("Automatically Convert New Filenames To Tile Case Upon Selection"));
    EXPECT_EQ(check("SepPad")->toolTip(), QStringLiteral("Include Spaces On Both Sides Of The Separator Character"));
    EXPECT_EQ(list("SelectedFields")->toolTip(), QStringLiteral("Selected Fields In your Custom Format"));
    auto* id3Save = form->findChild<QButtonGroup*>(QStringLiteral("ID3Save"));
    ASSERT_NE(id3Save, nullptr);
    EXPECT_EQ(id3Save->button(0), radio("ID3Save0"));
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
    button("DefineFilters")->click();
    EXPECT_TRUE(seen);
    EXPECT_EQ(backend.values["Filters"]["Filter00"], QStringLiteral("@_"));
    EXPECT_EQ(prefs.filters, (FilterList{{"D", "_", ""}}));
}

TEST(ReportError, PutsTheReportOnTheClipboardAndShowsItCritical)
{
    ScriptedPrompter prompter;
    ReportError(prompter, QStringLiteral("OptionsForm"), QStringLiteral("Out of memory"), 7, 120);
    const QString expectedStart = QStringLiteral(
        "An Error Occured!\r\n\r\nApplication Name: Velmora\r\nApplication Version: 1.0.0\r\n\r\n"
        "Container Name: OptionsForm\r\nError Description: Out of memory\r\nError Number: 7\r\n"
        "Error Line: 120\r\n\r\nThis Data Has Been Copied To The Windows Clipboard.\r\n");
    ASSERT_EQ(prompter.calls.size(), 1);
    EXPECT_TRUE(prompter.calls[0].text.startsWith(expectedStart));
    EXPECT_GT(prompter.calls[0].text.size(), expectedStart.size()); // the closing request line
    EXPECT_EQ(prompter.calls[0].icon, MsgIcon::Critical);
    EXPECT_EQ(prompter.calls[0].title, QStringLiteral("Velmora"));
    EXPECT_EQ(QGuiApplication::clipboard()->text(), prompter.calls[0].text);
}
