#include "platform/fakes/memorysettingsbackend.h"
#include "settings/filterstore.h"
#include "settings/preferences.h"
#include "support/qttesthelpers.h"

#include <gtest/gtest.h>

TEST(AddFilterOnce, AddsOnlyWhatNoListedFilterReadsLike)
{
    FilterList filters { { FilterKind::Delete, "_", "" } };
    const struct {
        FilterRecord filter;
        bool added;
    } cases[] = { { { FilterKind::Delete, "_", "" }, false }, { { FilterKind::Replace, "_", "" }, true },
        { { FilterKind::Replace, "_", "" }, false }, { { FilterKind::Delete, "X", "" }, true },
        { { FilterKind::Delete, "x", "" }, true } };
    for (const auto& c : cases)
        EXPECT_EQ(addFilterOnce(filters, c.filter), c.added) << int(c.filter.kind) << c.filter.search.toStdString();
    EXPECT_EQ(filters.size(), 4);
    EXPECT_EQ(filters.last(), (FilterRecord { FilterKind::Delete, "x", "" }));
}

TEST(SaveFilterList, RewritesSectionFlagsAndReloadsMemory)
{
    MemorySettingsBackend backend;
    backend.values["Filters"] = { { "Filter00", "@a" }, { "Filter01", "@b" }, { "Filter02", "@c" } };
    Preferences prefs(backend);
    saveFilterList(prefs, { { { FilterKind::Delete, "_", "" }, { FilterKind::Replace, "&", "+" } }, false, true });
    EXPECT_EQ(backend.values["Filters"], (QMap<QString, QString> { { "Filter00", "@_" }, { "Filter01", "&@+" } }));
    EXPECT_EQ(backend.values["Settings"]["EnableFilters"], "0");
    EXPECT_EQ(backend.values["Settings"]["FilterCase"], "1");
    EXPECT_EQ(prefs.filters, (FilterList { { FilterKind::Delete, "_", "" }, { FilterKind::Replace, "&", "+" } }));

    // An empty list leaves no filter keys and one empty record in memory.
    saveFilterList(prefs, { {}, true, true });
    EXPECT_TRUE(backend.values.value("Filters").isEmpty());
    EXPECT_EQ(prefs.filters, FilterList { FilterRecord {} });
}

// Characters the stored form can carry must come back as the same filter
// (the form's own display and '@' forms are checked through the dialog).
TEST(SaveFilterList, ApostrophesAndAtSignsThatFitTheFormRoundTrip)
{
    MemorySettingsBackend backend;
    Preferences prefs(backend);
    const FilterList filters { { FilterKind::Delete, "'", "" }, { FilterKind::Replace, "'", "x" },
        { FilterKind::Replace, "x", "'" }, { FilterKind::Delete, "@", "" }, { FilterKind::Replace, "a", "@" },
        { FilterKind::Replace, " ", "_" } };
    saveFilterList(prefs, { filters, true, true });
    EXPECT_EQ(backend.values["Filters"]["Filter05"], " @_"); // the blank search is kept
    EXPECT_EQ(prefs.filters, filters);
    EXPECT_EQ(loadFilterList(prefs.store).filters, filters);
}

TEST(CheckNewFilter, RefusesWhatIsEmptyEqualOrNotStorable)
{
    const struct {
        const char* search;
        const char* replace;
        FilterCheck expected;
    } cases[] = {
        { "", "", FilterCheck::NothingDefined },
        { " ", "", FilterCheck::NothingDefined },
        { " ", " ", FilterCheck::NothingDefined },
        { "a", "a", FilterCheck::SameCharacters },
        { "", "x", FilterCheck::ReplaceWithoutSearch },
        { "@", "x", FilterCheck::AtCannotBeReplaced },
        { "a", "A", FilterCheck::Ok },
        { " ", "_", FilterCheck::Ok },
        { "_", "", FilterCheck::Ok },
        { "@", "", FilterCheck::Ok },
        { "x", "@", FilterCheck::Ok },
    };
    for (const auto& c : cases)
        EXPECT_EQ(checkNewFilter(c.search, c.replace), c.expected) << c.search << '/' << c.replace;
}
