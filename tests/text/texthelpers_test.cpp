#include "support/qttesthelpers.h"
#include "text/texthelpers.h"

#include <gtest/gtest.h>

TEST(StringHelpers, SplittingAtFirstAndLastTrailingSlashTrimAndNumbers)
{
    EXPECT_EQ(BeforeFirst("Key:a:b", ':'), "Key");
    EXPECT_EQ(AfterFirst("Key:a:b", ':'), "a:b");
    EXPECT_EQ(BeforeFirst("abc", ':'), "abc");
    EXPECT_EQ(AfterFirst("abc", ':'), "");
    EXPECT_EQ(BeforeLast("a.b.mp3", '.'), "a.b");
    EXPECT_EQ(AfterLast("a.b.mp3", '.'), "mp3");
    EXPECT_EQ(BeforeLast("abc", '.'), "");
    EXPECT_EQ(AfterLast("abc", '.'), "");
    EXPECT_EQ(WithTrailingSlash("/music"), "/music/");
    EXPECT_EQ(WithTrailingSlash("/music/"), "/music/");
    EXPECT_EQ(WithTrailingSlash(""), "/");
    EXPECT_EQ(WithoutTrailingSlash("/music/"), "/music");
    EXPECT_EQ(WithoutTrailingSlash("/"), "/");
    EXPECT_EQ(TrimSpaces("  a b  "), "a b");
    EXPECT_EQ(TrimSpaces("\ta\t"), "\ta\t"); // spaces only
    EXPECT_EQ(LeadingNumber(" +99999999999x"), 2147483647); // stops at the largest
    EXPECT_EQ(LeadingNumber("-99999999999"), -2147483647);
}

TEST(ReplaceAll, RepeatsUntilNoMatchIsLeftAndEndsWhenReplacementContainsSearch)
{
    const struct {
        const char *text, *search, *replace, *expected;
    } cases[] = {
        { "a          b", "  ", " ", "a b" },
        { "a   b   c", "  ", " ", "a b c" },
        { "aaab", "ab", "b", "b" }, // a match made by the previous replacement
        { "A -  - B", "-  -", "-", "A - B" },
        { "Aa", "a", "x", "Ax" }, // case-sensitive
        { "a-b", "-", "--", "a--b" },
        { "abc", "", "x", "abc" },
    };
    for (const auto& c : cases)
        EXPECT_EQ(ReplaceAll(c.text, c.search, c.replace), c.expected) << c.text;
}
