#include "support/qttesthelpers.h"
#include "text/texthelpers.h"

#include <gtest/gtest.h>

TEST(StringHelpers, SplittingAtFirstAndLastTrailingSlashTrimAndNumbers)
{
    EXPECT_EQ(beforeFirst("Key:a:b", ':'), "Key");
    EXPECT_EQ(afterFirst("Key:a:b", ':'), "a:b");
    EXPECT_EQ(beforeFirst("abc", ':'), "abc");
    EXPECT_EQ(afterFirst("abc", ':'), "");
    EXPECT_EQ(beforeLast("a.b.mp3", '.'), "a.b");
    EXPECT_EQ(afterLast("a.b.mp3", '.'), "mp3");
    EXPECT_EQ(beforeLast("abc", '.'), "");
    EXPECT_EQ(afterLast("abc", '.'), "");
    EXPECT_EQ(withTrailingSlash("/music"), "/music/");
    EXPECT_EQ(withTrailingSlash("/music/"), "/music/");
    EXPECT_EQ(withTrailingSlash(""), "/");
    EXPECT_EQ(withoutTrailingSlash("/music/"), "/music");
    EXPECT_EQ(withoutTrailingSlash("/"), "/");
    EXPECT_EQ(trimSpaces("  a b  "), "a b");
    EXPECT_EQ(trimSpaces("\ta\t"), "\ta\t"); // spaces only
    for (const auto& [text, number] : { std::pair { "", 0 }, { "1abc", 1 }, { "abc1", 0 }, { "-1", -1 } })
        EXPECT_EQ(leadingNumber(text), number) << text;
    EXPECT_EQ(leadingNumber(" +99999999999x"), 2147483647); // stops at the largest
    EXPECT_EQ(leadingNumber("-99999999999"), -2147483647);
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
        EXPECT_EQ(replaceAll(c.text, c.search, c.replace), c.expected) << c.text;
}
