#include "platform/fakes/memorysettingsbackend.h"
#include "settings/filterstore.h"
#include "settings/preferences.h"

#include <gtest/gtest.h>

namespace {
const QString kFilters = QStringLiteral("Filters");
const QString kSettings = QStringLiteral("Settings");
} // namespace

TEST(FilterDisplayText, ShowsDeleteAndReplaceForms)
{
    EXPECT_EQ(FilterDisplayText({"D", "_", ""}), QStringLiteral("Delete Occurences Of '_'"));
    EXPECT_EQ(FilterDisplayText({"R", "&", "+"}), QStringLiteral("Replace '&' With '+'"));
}

TEST(FilterStoredValue, WritesAtSignForms)
{
    EXPECT_EQ(FilterStoredValue({"D", "_", ""}), QStringLiteral("@_"));
    EXPECT_EQ(FilterStoredValue({"R", "&", "+"}), QStringLiteral("&@+"));
    EXPECT_EQ(FilterStoredValue({"R", " ", "_"}), QStringLiteral(" @_"));
}

TEST(LoadFilterList, NothingStoredGivesEmptyListAndBothFlagsOn)
{
    MemorySettingsBackend backend;
    const FilterEditorState state = LoadFilterList(SettingsStore(backend));
    EXPECT_TRUE(state.filters.isEmpty());
    EXPECT_TRUE(state.enableFilters);
    EXPECT_TRUE(state.filterCase);
}

TEST(LoadFilterList, ReadsStoredFiltersUpToTheFirstGapAndTheFlags)
{
    MemorySettingsBackend backend;
    backend.values[kFilters] = {{"Filter00", "@_"}, {"Filter01", "a@b"}, {"Filter02", "ab"}, {"Filter04", "@x"}};
    backend.values[kSettings] = {{"EnableFilters", "0"}, {"FilterCase", "2"}};
    const FilterEditorState state = LoadFilterList(SettingsStore(backend));
    ASSERT_EQ(state.filters.size(), 3);
    EXPECT_EQ(state.filters[0], (FilterRecord{"D", "_", ""}));
    EXPECT_EQ(state.filters[1], (FilterRecord{"R", "a", "b"}));
    EXPECT_EQ(state.filters[2], (FilterRecord{"R", "ab", ""}));
    EXPECT_FALSE(state.enableFilters);
    EXPECT_FALSE(state.filterCase); // only exactly 1 is on
}

TEST(SaveFilterList, RewritesSectionFlagsAndReloadsMemory)
{
    MemorySettingsBackend backend;
    backend.values[kFilters] = {{"Filter00", "@a"}, {"Filter01", "@b"}, {"Filter02", "@c"}};
    Preferences prefs(backend);
    SaveFilterList(prefs, {{{"D", "_", ""}, {"R", "&", "+"}}, false, true});
    const QMap<QString, QString> expected{{"Filter00", "@_"}, {"Filter01", "&@+"}};
    EXPECT_EQ(backend.values[kFilters], expected);
    EXPECT_EQ(backend.values[kSettings]["EnableFilters"], QStringLiteral("0"));
    EXPECT_EQ(backend.values[kSettings]["FilterCase"], QStringLiteral("1"));
    ASSERT_EQ(prefs.filters.size(), 2);
    EXPECT_EQ(prefs.filters[1], (FilterRecord{"R", "&", "+"}));
}

TEST(SaveFilterList, EmptyListLeavesNoFilterKeysAndOnePlaceholder)
{
    MemorySettingsBackend backend;
    backend.values[kFilters] = {{"Filter00", "@a"}};
    Preferences prefs(backend);
    prefs.LoadFilters();
    SaveFilterList(prefs, {{}, true, true});
    EXPECT_TRUE(backend.values.value(kFilters).isEmpty());
    ASSERT_EQ(prefs.filters.size(), 1);
    EXPECT_EQ(prefs.filters[0], FilterRecord{});
}

// Characters the stored form can carry must come back as the same filter.
TEST(SaveFilterList, ApostrophesAndAtSignsThatFitTheFormRoundTrip)
{
    MemorySettingsBackend backend;
    Preferences prefs(backend);
    const FilterList filters{{"D", "'", ""}, {"R", "'", "x"}, {"R", "x", "'"}, {"D", "@", ""}, {"R", "a", "@"}};
    SaveFilterList(prefs, {filters, true, true});
    EXPECT_EQ(prefs.filters, filters);
    EXPECT_EQ(LoadFilterList(prefs.store).filters, filters);
}

TEST(CheckNewFilter, RefusesEmptyAndEqualCharacters)
{
    EXPECT_EQ(CheckNewFilter("", ""), FilterCheck::NothingDefined);
    EXPECT_EQ(CheckNewFilter(" ", ""), FilterCheck::NothingDefined);
    EXPECT_EQ(CheckNewFilter(" ", " "), FilterCheck::NothingDefined);
    EXPECT_EQ(CheckNewFilter("a", "a"), FilterCheck::SameCharacters);
    EXPECT_EQ(CheckNewFilter("a", "A"), FilterCheck::Ok);
    EXPECT_EQ(CheckNewFilter(" ", "_"), FilterCheck::Ok);
    EXPECT_EQ(CheckNewFilter("_", ""), FilterCheck::Ok);
    EXPECT_EQ(FilterCheckMessage(FilterCheck::NothingDefined), QStringLiteral("No Search or Replace Characters Defined!"));
    EXPECT_EQ(FilterCheckMessage(FilterCheck::SameCharacters),
              QStringLiteral("Invalid Search and Replace Characters Specified!"));
}

TEST(CheckNewFilter, RefusesFiltersTheStoredFormWouldTurnIntoDeletes)
{
    EXPECT_EQ(CheckNewFilter("", "x"), FilterCheck::ReplaceWithoutSearch);
    EXPECT_EQ(CheckNewFilter("@", "x"), FilterCheck::AtCannotBeReplaced);
    EXPECT_EQ(CheckNewFilter("@", ""), FilterCheck::Ok);
    EXPECT_EQ(CheckNewFilter("x", "@"), FilterCheck::Ok);
    EXPECT_FALSE(FilterCheckMessage(FilterCheck::ReplaceWithoutSearch).isEmpty());
    EXPECT_FALSE(FilterCheckMessage(FilterCheck::AtCannotBeReplaced).isEmpty());
}

TEST(MakeFilter, EmptyReplacementMakesDeleteFilterOfUntrimmedText)
{
    EXPECT_EQ(MakeFilter("_", ""), (FilterRecord{"D", "_", ""}));
    EXPECT_EQ(MakeFilter(" ", "_"), (FilterRecord{"R", " ", "_"}));
    EXPECT_EQ(MakeFilter("a", " "), (FilterRecord{"R", "a", " "}));
}
