#include "nameedit/cleanup.h"
#include "platform/fakes/memorysettingsbackend.h"
#include "settings/preferences.h"
#include "support/qttesthelpers.h"

#include <gtest/gtest.h>

namespace {
// Rules by letters: S split spaces (" - "), U remove underscores, P remove
// parentheses.
CleanupRules rules(const char* flags)
{
    const QString f = QLatin1String(flags);
    CleanupRules r;
    r.separatorString = f.contains('S') ? QStringLiteral(" - ") : QStringLiteral("-");
    r.removeUnderscores = f.contains('U');
    r.removeParens = f.contains('P');
    return r;
}

CleanupRules withFilter(FilterKind kind, const QString& search, const QString& replace, bool caseSensitive)
{
    CleanupRules r = rules("S");
    r.enableFilters = true;
    r.filterCase = caseSensitive;
    r.filters = { FilterRecord { kind, search, replace } };
    return r;
}
} // namespace

TEST(CleanupFileName, SeparatorsSpacesUnderscoresAndParentheses)
{
    const struct {
        const char *flags, *text, *expected;
    } cases[] = {
        { "S", "Artist--Title", "Artist - Title" },
        { "S", "Artist-------Title", "Artist - Title" },
        { "S", "Artist---Title", "Artist - Title" },
        { "", "Artist-Title", "Artist-Title" },
        // Without split spaces a dash run and spaced dash are padded; the parts model drops the spaces.
        { "", "Artist--Title", "Artist - Title" },
        { "", "Artist - Title", "Artist - Title" },
        { "S", "Jean-Luc", "Jean - Luc" },
        { "S", "Artist~Title", "Artist - Title" },
        { "S", "AC/DC", "AC - DC" },
        { "S", "A\\B", "A\\B" },
        { "S", "My%20Song", "My Song" },
        { "S", "A          B", "A B" },
        { "S", "A\tB", "A\tB" },
        { "S", "My_Song", "My_Song" },
        { "SU", "My__ _Song", "My Song" },
        { "S", "Song (Live)", "Song (Live)" },
        { "SP", "Song (Live)", "Song Live" },
        { "S", "-Intro", " - Intro" }, // leading and trailing separators stay
        { "", "Intro-", "Intro-" },
    };
    for (const auto& c : cases)
        EXPECT_EQ(cleanupFileName(c.text, rules(c.flags)), c.expected) << c.flags << ' ' << c.text;
}

TEST(CleanupFileName, FiltersRunWhenEnabledAfterNormalisingByKindAndCase)
{
    CleanupRules r = withFilter(FilterKind::Replace, "a", "e", false);
    EXPECT_EQ(cleanupFileName("Banana", r), "Benene");
    EXPECT_EQ(cleanupFileName("BANANA", r), "BENENE");
    r.enableFilters = false;
    EXPECT_EQ(cleanupFileName("Banana", r), "Banana");
    // Filters see the separator, not the raw dash.
    EXPECT_EQ(cleanupFileName("A-B", withFilter(FilterKind::Replace, " - ", " + ", true)), "A + B");
    EXPECT_EQ(cleanupFileName("The Band", withFilter(FilterKind::Delete, "The ", "", true)), "Band");
    EXPECT_EQ(cleanupFileName("The Band", withFilter(FilterKind::None, "The ", "", true)), "The Band");
    EXPECT_EQ(cleanupFileName("Rock & Roll", withFilter(FilterKind::Replace, "&", "and", false)), "Rock AND Roll");
    EXPECT_EQ(cleanupFileName("Rock & Roll", withFilter(FilterKind::Replace, "&", "and", true)), "Rock and Roll");
    EXPECT_EQ(cleanupFileName("A FEAT B", withFilter(FilterKind::Replace, "feat", "ft", true)), "A FEAT B");
}

TEST(FilterReplace, AdaptsTheReplacementToTheMatchCase)
{
    const struct {
        const char *text, *find, *repl;
        bool caseSensitive;
        const char* expected;
    } cases[] = {
        { "FEAT", "feat", "featuring", false, "FEATURING" },
        { "Feat", "feat", "featuring", false, "Featuring" },
        { "fEaT", "feat", "featuring", false, "featuring" },
        { "FEAT x", "Feat", "ft", false, "ft x" }, // capitals in the search: no adaption
        { "banana", "a", "aa", true, "baanaanaa" }, // replacement containing the search ends
        { "banana", "a", "aa", false, "baanaanaa" },
        { "a b", " ", "", false, "a b" },
        { "a b", "", "x", false, "a b" },
    };
    for (const auto& c : cases)
        EXPECT_EQ(filterReplace(c.text, c.find, c.repl, c.caseSensitive), c.expected) << c.text << '/' << c.find;
}

TEST(MakeTitleCase, CapitalisesAfterBreakCharacters)
{
    EXPECT_EQ(makeTitleCase("THE BAND - SONG TITLE (LIVE)"), "The Band - Song Title (Live)");
    EXPECT_EQ(makeTitleCase("mp3.files_here"), "Mp3.Files_Here");
    EXPECT_EQ(makeTitleCase("rock'n'roll"), "Rock'n'roll");
    EXPECT_EQ(makeTitleCase("[live] 2nd"), "[live] 2nd");
    EXPECT_EQ(makeTitleCase("end "), "End ");
    EXPECT_EQ(makeTitleCase(""), "");
}

TEST(CleanupRulesFrom, TakesOptionsFromMemoryAndFilterSettingsAtEveryCall)
{
    MemorySettingsBackend backend;
    backend.setValue("Settings", "SplitSpaces", "1");
    backend.setValue("Settings", "Remove Parens", "1");
    Preferences prefs(backend);
    prefs.loadOptions();
    CleanupRules r = cleanupRulesFrom(prefs);
    EXPECT_EQ(r.separatorString, " - ");
    EXPECT_TRUE(r.removeParens);
    EXPECT_FALSE(r.removeUnderscores);
    EXPECT_FALSE(r.enableFilters);
    EXPECT_FALSE(r.filterCase);
    backend.setValue("Settings", "EnableFilters", "1");
    backend.setValue("Settings", "FilterCase", "2");
    r = cleanupRulesFrom(prefs);
    EXPECT_TRUE(r.enableFilters);
    EXPECT_FALSE(r.filterCase); // only exactly 1 is on
}
