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
    QStringList entries() { return listTexts(child<QListWidget>("FilterList")); }
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

TEST_F(FilterFormTest, ShowsStoredFiltersAddsOnceSaysARefusalAndDeletesOnlyOnYes)
{
    backend.values["Settings"] = { { "EnableFilters", "0" }, { "FilterCase", "1" } };
    stored("Filters") = { { "Filter00", "@_" } };
    open();
    EXPECT_FALSE(child<QCheckBox>("EnableFilters")->isChecked());
    add("&", "+");
    add("&", "+"); // a duplicate is kept once, silently
    add("a", "a");
    EXPECT_EQ(entries(), QStringList({ "Delete Occurences Of '_'", "Replace '&' With '+'" }));
    EXPECT_TRUE(child<QLineEdit>("SearchText")->text().isEmpty());

    auto* list = child<QListWidget>("FilterList");
    list->setCurrentRow(1);
    prompter.answers << Answer::No << Answer::Yes;
    click("DeleteButton");
    EXPECT_EQ(entries().size(), 2);
    list->setCurrentRow(1);
    click("DeleteButton");
    EXPECT_EQ(entries(), QStringList { "Delete Occurences Of '_'" });
    EXPECT_EQ(prompter.messageTexts(),
        QStringList({ "Invalid Search and Replace Characters Specified!", "Delete Filter: Replace '&' With '+'?",
            "Delete Filter: Replace '&' With '+'?" }));
}

TEST_F(FilterFormTest, ExitStoresListFlagsAndReloadsFiltersAndClosingOtherwiseForgets)
{
    open();
    add("&", "+");
    child<QCheckBox>("FilterCase")->setChecked(false);
    form->show();
    form->close();
    EXPECT_TRUE(backend.values.isEmpty());
    open();
    add("&", "+");
    child<QCheckBox>("FilterCase")->setChecked(false);
    click("ExitButton");
    EXPECT_EQ(stored("Filters"), (Values { { "Filter00", "&@+" } }));
    EXPECT_EQ(stored("Settings"), (Values { { "EnableFilters", "1" }, { "FilterCase", "0" } }));
}
