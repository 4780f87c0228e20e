#include "nameedit/cleanup.h"
#include "qtprinters.h"

#include "platform/fakes/memorysettingsbackend.h"
#include "settings/preferences.h"

#include <gtest/gtest.h>

namespace {
CleanupRules rules(bool splitSpaces = true)
{
    CleanupRules r;
    r.SeparatorString = splitSpaces ? QStringLiteral(" - ") : QStringLiteral("-");
    return r;
}

CleanupRules withFilter(const QString& kind, const QString& search, const QString& replace, bool caseSensitive)
{
    CleanupRules r = rules();
    r.enableFilters = true;
    r.filterCase = caseSensitive;
    r.filters = {FilterRecord{kind, search, replace}};
    return r;
}
} // namespace

TEST(CleanupFileName, CollapsesDashRunsToOneSeparator)
{
    EXPECT_EQ(CleanupFileName("Artist--Title", rules(true)), "Artist - Title");
    EXPECT_EQ(CleanupFileName("Artist-------Title", rules(true)), "Artist - Title");
    EXPECT_EQ(CleanupFileName("Artist---Title", rules(true)), "Artist - Title");
    EXPECT_EQ(CleanupFileName("Artist-Title", rules(false)), "Artist-Title");
    // A run of dashes is padded with spaces; the parts model drops them again.
    EXPECT_EQ(CleanupFileName("Artist--Title", rules(false)), "Artist - Title");
    // Without split spaces, spaces around a dash stay; the parts model drops them.
    EXPECT_EQ(CleanupFileName("Artist - Title", rules(false)), "Artist - Title");
}

TEST(CleanupFileName, EveryDashAndTildeIsASeparator)
{
    EXPECT_EQ(CleanupFileName("Jean-Luc", rules()), "Jean - Luc");
    EXPECT_EQ(CleanupFileName("Artist~Title", rules()), "Artist - Title");
}

TEST(CleanupFileName, SlashBecomesSeparatorAndBackslashStays)
{
    EXPECT_EQ(CleanupFileName("AC/DC", rules()), "AC - DC");
    EXPECT_EQ(CleanupFileName("A\\B", rules()), "A\\B");
}

TEST(CleanupFileName, CollapsesSpaceRunsAndPercent20)
{
    EXPECT_EQ(CleanupFileName("My%20Song", rules()), "My Song");
    EXPECT_EQ(CleanupFileName("A     B", rules()), "A B");
    EXPECT_EQ(CleanupFileName("A          B", rules()), "A B");
    EXPECT_EQ(CleanupFileName("A\tB", rules()), "A\tB");
}

TEST(CleanupFileName, UnderscoresOnlyWhenAsked)
{
    CleanupRules r = rules();
    EXPECT_EQ(CleanupFileName("My_Song", r), "My_Song");
    r.RemUnderScores = true;
    EXPECT_EQ(CleanupFileName("My_Song", r), "My Song");
    EXPECT_EQ(CleanupFileName("My__ _Song", r), "My Song");
}

TEST(CleanupFileName, ParenthesesOnlyWhenAsked)
{
    CleanupRules r = rules();
    EXPECT_EQ(CleanupFileName("Song (Live)", r), "Song (Live)");
    r.RemoveParens = true;
    EXPECT_EQ(CleanupFileName("Song (Live)", r), "Song Live");
}

TEST(CleanupFileName, KeepsLeadingAndTrailingSeparator)
{
    EXPECT_EQ(CleanupFileName("-Intro", rules()), " - Intro");
    EXPECT_EQ(CleanupFileName("Intro-", rules(false)), "Intro-");
}

TEST(CleanupFileName, FiltersRunOnlyWhenEnabledAndAfterNormalising)
{
    CleanupRules r = withFilter("R", "a", "e", false);
    EXPECT_EQ(CleanupFileName("Banana", r), "Benene");
    EXPECT_EQ(CleanupFileName("BANANA", r), "BENENE");
    r.enableFilters = false;
    EXPECT_EQ(CleanupFileName("Banana", r), "Banana");
    // Filters see the separator, not the raw dash.
    EXPECT_EQ(CleanupFileName("A-B", withFilter("R", " - ", " + ", true)), "A + B");
}

TEST(CleanupFileName, DeleteFilterAndUnknownKind)
{
    EXPECT_EQ(CleanupFileName("The Band", withFilter("D", "The ", "", true)), "Band");
    EXPECT_EQ(CleanupFileName("The Band", withFilter("X", "The ", "", true)), "The Band");
    EXPECT_EQ(CleanupFileName("The Band", withFilter("", "", "", true)), "The Band");
}

TEST(CleanupFileName, FilterCaseSensitiveMatchesExactly)
{
    EXPECT_EQ(CleanupFileName("Rock & Roll", withFilter("R", "&", "and", false)), "Rock AND Roll");
    EXPECT_EQ(CleanupFileName("Rock & Roll", withFilter("R", "&", "and", true)), "Rock and Roll");
    EXPECT_EQ(CleanupFileName("A FEAT B", withFilter("R", "feat", "ft", true)), "A FEAT B");
}

TEST(FilterReplace, AdaptsReplacementToMatchCase)
{
    EXPECT_EQ(FilterReplace("FEAT", "feat", "featuring", false), "FEATURING");
    EXPECT_EQ(FilterReplace("Feat", "feat", "featuring", false), "Featuring");
    EXPECT_EQ(FilterReplace("fEaT", "feat", "featuring", false), "featuring");
}

TEST(FilterReplace, NoAdaptionWhenSearchHasCapitals)
{
    EXPECT_EQ(FilterReplace("FEAT x", "Feat", "ft", false), "ft x");
}

TEST(FilterReplace, ReplacementContainingSearchTerminates)
{
    EXPECT_EQ(FilterReplace("banana", "a", "aa", true), "baanaanaa");
    EXPECT_EQ(FilterReplace("banana", "a", "aa", false), "baanaanaa");
}

TEST(FilterReplace, BlankOrEmptySearchChangesNothing)
{
    EXPECT_EQ(FilterReplace("a b", " ", "", false), "a b");
    EXPECT_EQ(FilterReplace("a b", "", "x", false), "a b");
}

TEST(MakeTitleCase, CapitalisesAfterBreakCharacters)
{
    EXPECT_EQ(MakeTitleCase("THE BAND - SONG TITLE (LIVE)"), "The Band - Song Title (Live)");
    EXPECT_EQ(MakeTitleCase("mp3.files_here"), "Mp3.Files_Here");
    EXPECT_EQ(MakeTitleCase("rock'n'roll"), "Rock'n'roll");
    EXPECT_EQ(MakeTitleCase("[live] 2nd"), "[live] 2nd");
    EXPECT_EQ(MakeTitleCase("end "), "End ");
    EXPECT_EQ(MakeTitleCase(""), "");
}

TEST(CleanupRulesFrom, ReadsFilterSettingsAtEveryCall)
{
    MemorySettingsBackend backend;
    Preferences prefs(backend);
    prefs.LoadOptions();
    EXPECT_FALSE(CleanupRulesFrom(prefs).enableFilters);
    EXPECT_FALSE(CleanupRulesFrom(prefs).filterCase);
    backend.setValue("Settings", "EnableFilters", "1");
    backend.setValue("Settings", "FilterCase", "2");
    const CleanupRules r = CleanupRulesFrom(prefs);
    EXPECT_TRUE(r.enableFilters);
    EXPECT_FALSE(r.filterCase); // only exactly 1 is on
}

TEST(CleanupRulesFrom, TakesSeparatorAndOptionsFromMemory)
{
    MemorySettingsBackend backend;
    backend.setValue("Settings", "SplitSpaces", "1");
    backend.setValue("Settings", "Remove Parens", "1");
    Preferences prefs(backend);
    prefs.LoadOptions();
    const CleanupRules r = CleanupRulesFrom(prefs);
    EXPECT_EQ(r.SeparatorString, " - ");
    EXPECT_TRUE(r.RemoveParens);
    EXPECT_FALSE(r.RemUnderScores);
}
