#include "platform/fakes/memorysettingsbackend.h"
#include "platform/fakes/scriptedprompter.h"
#include "platform/platformservices.h"
#include "settings/preferences.h"
#include "settings/ui/filterform.h"
#include "support/qttesthelpers.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>

#include <gtest/gtest.h>

namespace {

using Values = QMap<QString, QString>;

class FilterFormTest : public ::testing::Test {
protected:
    FilterFormTest() { services.prompter = &prompter; }

    void open() { form = std::make_unique<FilterForm>(services, prefs); }
    template <typename T> T* child(const char* name) { return form->findChild<T*>(QLatin1String(name)); }
    void click(const char* button) { child<QPushButton>(button)->click(); }
    QStringList entries() { return ListTexts(child<QListWidget>("FilterList")); }
    void add(const QString& search, const QString& replace)
    {
        child<QLineEdit>("SearchText")->setText(search);
        child<QLineEdit>("ReplaceText")->setText(replace);
        click("AddButton");
    }
    Values& stored(const char* section) { return backend.values[QLatin1String(section)]; }

    MemorySettingsBackend backend;
    ScriptedPrompter prompter;
    PlatformServices services;
    Preferences prefs { backend };
    std::unique_ptr<FilterForm> form;
};

} // namespace

TEST_F(FilterFormTest, NothingStoredOpensEmptyWithBothBoxesCheckedAndExitStoresThem)
{
    open();
    EXPECT_TRUE(entries().isEmpty());
    EXPECT_TRUE(child<QCheckBox>("EnableFilters")->isChecked());
    EXPECT_TRUE(child<QCheckBox>("FilterCase")->isChecked());
    click("ExitButton");
    EXPECT_EQ(stored("Settings"), (Values { { "EnableFilters", "1" }, { "FilterCase", "1" } }));
    EXPECT_TRUE(stored("Filters").isEmpty());
}

TEST_F(FilterFormTest, AddShowsDisplayFormsOnceAndRefusesWithTheirMessages)
{
    backend.values["Settings"] = { { "EnableFilters", "0" }, { "FilterCase", "1" } };
    open();
    EXPECT_FALSE(child<QCheckBox>("EnableFilters")->isChecked());
    add("_", "");
    add("&", "+");
    add("_", ""); // a duplicate is kept once, silently
    EXPECT_TRUE(prompter.calls.isEmpty());
    const std::pair<const char*, const char*> refused[] = { { " ", "" }, { "a", "a" }, { "", "x" }, { "@", "x" } };
    for (const auto& [search, replace] : refused)
        add(QLatin1String(search), QLatin1String(replace));
    add(" ", "_");
    add("a", "A");
    EXPECT_EQ(entries(),
        QStringList(
            { "Delete Occurences Of '_'", "Replace '&' With '+'", "Replace ' ' With '_'", "Replace 'a' With 'A'" }));
    EXPECT_EQ(prompter.messageTexts(),
        QStringList({ "No Search or Replace Characters Defined!", "Invalid Search and Replace Characters Specified!",
            "No Search Character Defined For The Replacement!",
            "The Character '@' Can Only Be Deleted, Not Replaced!" }));
    // Boxes are emptied after every attempt, refused or not.
    EXPECT_TRUE(child<QLineEdit>("SearchText")->text().isEmpty());
    EXPECT_TRUE(child<QLineEdit>("ReplaceText")->text().isEmpty());
}

TEST_F(FilterFormTest, DeleteAsksAndRemovesOnlyOnYes)
{
    stored("Filters") = { { "Filter00", "@_" }, { "Filter01", "&@+" }, { "Filter02", "@x" } };
    open();
    auto* list = child<QListWidget>("FilterList");
    list->setCurrentRow(-1);
    click("DeleteButton"); // no selection: no question
    EXPECT_TRUE(prompter.calls.isEmpty());
    list->setCurrentRow(1);
    prompter.answers.enqueue(Answer::No);
    click("DeleteButton");
    EXPECT_EQ(entries().size(), 3);
    EXPECT_EQ(list->currentRow(), 0);
    list->setCurrentRow(1);
    prompter.answers.enqueue(Answer::Yes);
    click("DeleteButton");
    EXPECT_EQ(entries(), QStringList({ "Delete Occurences Of '_'", "Delete Occurences Of 'x'" }));
    EXPECT_EQ(list->currentRow(), 0);
    ASSERT_EQ(prompter.calls.size(), 2);
    EXPECT_EQ(prompter.calls[1].text, QStringLiteral("Delete Filter: Replace '&' With '+'?"));
}

TEST_F(FilterFormTest, ExitStoresListFlagsAndReloadsFilters)
{
    stored("Filters") = { { "Filter00", "@z" } };
    open();
    child<QListWidget>("FilterList")->setCurrentRow(0);
    prompter.answers.enqueue(Answer::Yes);
    click("DeleteButton");
    add("_", "");
    add("&", "+");
    child<QCheckBox>("FilterCase")->setChecked(false);
    click("ExitButton");
    EXPECT_EQ(stored("Filters"), (Values { { "Filter00", "@_" }, { "Filter01", "&@+" } }));
    EXPECT_EQ(stored("Settings"), (Values { { "EnableFilters", "1" }, { "FilterCase", "0" } }));
    EXPECT_EQ(prefs.filters, (FilterList { { "D", "_", "" }, { "R", "&", "+" } }));
    EXPECT_EQ(form->result(), QDialog::Accepted);
}

TEST_F(FilterFormTest, ApostropheFilterSurvivesExitAndReopening)
{
    open();
    add("'", "");
    add("x", "'");
    click("ExitButton");
    EXPECT_EQ(prefs.filters, (FilterList { { "D", "'", "" }, { "R", "x", "'" } }));
    open();
    EXPECT_EQ(entries(), QStringList({ "Delete Occurences Of '''", "Replace 'x' With '''" }));
}

TEST_F(FilterFormTest, ClosingOtherwiseForgetsEverything)
{
    stored("Filters") = { { "Filter00", "@z" } };
    prefs.LoadFilters();
    const auto before = backend.values;
    open();
    add("_", "");
    child<QCheckBox>("EnableFilters")->setChecked(false);
    form->show();
    form->close();
    EXPECT_EQ(backend.values, before);
    EXPECT_EQ(prefs.filters, (FilterList { { "D", "z", "" } }));
    open();
    form->reject();
    EXPECT_EQ(backend.values, before);
}
