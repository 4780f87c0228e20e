#include "platform/fakes/memorysettingsbackend.h"
#include "platform/fakes/scriptedprompter.h"
#include "platform/platformservices.h"
#include "settings/preferences.h"
#include "settings/ui/filterform.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

#include <gtest/gtest.h>

namespace {

class FilterFormTest : public ::testing::Test {
protected:
    FilterFormTest() { services.prompter = &prompter; }

    FilterForm& open()
    {
        form = std::make_unique<FilterForm>(services, prefs);
        return *form;
    }
    template <typename T> T* child(const char* name) { return form->findChild<T*>(QLatin1String(name)); }
    QStringList entries()
    {
        QStringList out;
        auto* list = child<QListWidget>("FilterList");
        for (int i = 0; i < list->count(); ++i)
            out << list->item(i)->text();
        return out;
    }
    void add(const QString& search, const QString& replace)
    {
        child<QLineEdit>("SearchText")->setText(search);
        child<QLineEdit>("ReplaceText")->setText(replace);
        child<QPushButton>("AddButton")->click();
    }
    QMap<QString, QString> stored() const { return backend.values.value(QStringLiteral("Filters")); }

    MemorySettingsBackend backend;
    ScriptedPrompter prompter;
    PlatformServices services;
    Preferences prefs{backend};
    std::unique_ptr<FilterForm> form;
};

} // namespace

TEST_F(FilterFormTest, OpensWithCaptionEmptyListAndBothBoxesCheckedWhenNothingStored)
{
    open();
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Velmora - Filters Definition "));
    EXPECT_TRUE(entries().isEmpty());
    EXPECT_TRUE(child<QCheckBox>("EnableFilters")->isChecked());
    EXPECT_TRUE(child<QCheckBox>("FilterCase")->isChecked());
    EXPECT_EQ(child<QLineEdit>("SearchText")->maxLength(), 1);
    EXPECT_EQ(child<QLineEdit>("ReplaceText")->maxLength(), 1);
    EXPECT_EQ(child<QPushButton>("ExitButton")->toolTip(), QStringLiteral("Exit Filter Definitions"));
}

TEST_F(FilterFormTest, OpensWithStoredFiltersAndFlags)
{
    backend.values["Filters"] = {{"Filter00", "@_"}, {"Filter01", "&@+"}};
    backend.values["Settings"] = {{"EnableFilters", "0"}, {"FilterCase", "1"}};
    open();
    EXPECT_EQ(entries(), QStringList({"Delete Occurences Of '_'", "Replace '&' With '+'"}));
    EXPECT_FALSE(child<QCheckBox>("EnableFilters")->isChecked());
    EXPECT_TRUE(child<QCheckBox>("FilterCase")->isChecked());
}

TEST_F(FilterFormTest, AddShowsDisplayFormsKeepsDuplicatesOnceAndEmptiesBoxes)
{
    open();
    add("_", "");
    add("&", "+");
    add("_", "");
    EXPECT_EQ(entries(), QStringList({"Delete Occurences Of '_'", "Replace '&' With '+'"}));
    EXPECT_TRUE(child<QLineEdit>("SearchText")->text().isEmpty());
    EXPECT_TRUE(child<QLineEdit>("ReplaceText")->text().isEmpty());
    EXPECT_TRUE(prompter.calls.isEmpty());
}

TEST_F(FilterFormTest, AddRefusesBlankAndEqualCharactersWithTheirMessages)
{
    open();
    add(" ", "");
    add("a", "a");
    add(" ", "_");
    add("a", "A");
    EXPECT_EQ(entries(), QStringList({"Replace ' ' With '_'", "Replace 'a' With 'A'"}));
    ASSERT_EQ(prompter.calls.size(), 2);
    EXPECT_EQ(prompter.calls[0].text, QStringLiteral("No Search or Replace Characters Defined!"));
    EXPECT_EQ(prompter.calls[0].title, QStringLiteral("Velmora"));
    EXPECT_EQ(prompter.calls[0].icon, MsgIcon::Exclamation);
    EXPECT_EQ(prompter.calls[1].text, QStringLiteral("Invalid Search and Replace Characters Specified!"));
    EXPECT_EQ(prompter.calls[1].icon, MsgIcon::Exclamation);
    // The refused texts are cleared too.
    EXPECT_TRUE(child<QLineEdit>("SearchText")->text().isEmpty());
}

TEST_F(FilterFormTest, AddRefusesFiltersTheStoredFormCannotCarry)
{
    open();
    add("", "x");
    add("@", "x");
    EXPECT_TRUE(entries().isEmpty());
    EXPECT_EQ(prompter.messageTexts(), QStringList({"No Search Character Defined For The Replacement!",
                                                   "The Character '@' Can Only Be Deleted, Not Replaced!"}));
}

TEST_F(FilterFormTest, DeleteAsksAndRemovesOnlyOnYes)
{
    backend.values["Filters"] = {{"Filter00", "@_"}, {"Filter01", "&@+"}, {"Filter02", "@x"}};
    open();
    auto* list = child<QListWidget>("FilterList");
    list->setCurrentRow(1);
    prompter.answers.enqueue(Answer::No);
    child<QPushButton>("DeleteButton")->click();
    EXPECT_EQ(entries().size(), 3);
    EXPECT_EQ(list->currentRow(), 0);
    list->setCurrentRow(1);
    prompter.answers.enqueue(Answer::Yes);
    child<QPushButton>("DeleteButton")->click();
    EXPECT_EQ(entries(), QStringList({"Delete Occurences Of '_'", "Delete Occurences Of 'x'"}));
    EXPECT_EQ(list->currentRow(), 0);
    ASSERT_EQ(prompter.calls.size(), 2);
    EXPECT_EQ(prompter.calls[1].text, QStringLiteral("Delete Filter: Replace '&' With '+'?"));
    EXPECT_EQ(prompter.calls[1].icon, MsgIcon::Question);
    EXPECT_EQ(prompter.calls[1].buttons, MsgButtons::YesNo);
    EXPECT_EQ(prompter.calls[1].title, QStringLiteral("Velmora"));
}

TEST_F(FilterFormTest, DeleteWithoutSelectionAsksNothing)
{
    open();
    child<QPushButton>("DeleteButton")->click();
    EXPECT_TRUE(prompter.calls.isEmpty());
}

TEST_F(FilterFormTest, ExitStoresListFlagsAndReloadsFilters)
{
    backend.values["Filters"] = {{"Filter00", "@z"}};
    open();
    child<QListWidget>("FilterList")->setCurrentRow(0);
    prompter.answers.enqueue(Answer::Yes);
    child<QPushButton>("DeleteButton")->click();
    add("_", "");
    add("&", "+");
    child<QCheckBox>("FilterCase")->setChecked(false);
    child<QPushButton>("ExitButton")->click();
    const QMap<QString, QString> expected{{"Filter00", "@_"}, {"Filter01", "&@+"}};
    EXPECT_EQ(stored(), expected);
    EXPECT_EQ(backend.values["Settings"]["EnableFilters"], QStringLiteral("1"));
    EXPECT_EQ(backend.values["Settings"]["FilterCase"], QStringLiteral("0"));
    EXPECT_EQ(prefs.filters, (FilterList{{"D", "_", ""}, {"R", "&", "+"}}));
    EXPECT_EQ(form->result(), QDialog::Accepted);
}

TEST_F(FilterFormTest, ExitWithNothingStoredWritesBothFlagsAsOne)
{
    open();
    child<QPushButton>("ExitButton")->click();
    EXPECT_EQ(backend.values["Settings"]["EnableFilters"], QStringLiteral("1"));
    EXPECT_EQ(backend.values["Settings"]["FilterCase"], QStringLiteral("1"));
    EXPECT_TRUE(stored().isEmpty());
}

TEST_F(FilterFormTest, ApostropheFilterSurvivesExitAndReopening)
{
    open();
    add("'", "");
    add("x", "'");
    child<QPushButton>("ExitButton")->click();
    EXPECT_EQ(prefs.filters, (FilterList{{"D", "'", ""}, {"R", "x", "'"}}));
    open();
    EXPECT_EQ(entries(), QStringList({"Delete Occurences Of '''", "Replace 'x' With '''"}));
}

TEST_F(FilterFormTest, ClosingOtherwiseForgetsEverything)
{
    backend.values["Filters"] = {{"Filter00", "@z"}};
    prefs.LoadFilters();
    const auto before = backend.values;
    open();
    add("_", "");
    child<QCheckBox>("EnableFilters")->setChecked(false);
    form->show();
    form->close();
    EXPECT_EQ(backend.values, before);
    EXPECT_EQ(prefs.filters, (FilterList{{"D", "z", ""}}));
    open();
    form->reject();
    EXPECT_EQ(backend.values, before);
}
