#include "nameedit/stringhelpers.h"
#include "qtprinters.h"

#include <gtest/gtest.h>

TEST(StringHelpers, BeforeAndAfterFirst)
{
    EXPECT_EQ(BeforeFirst("Key:a:b", ':'), "Key");
    EXPECT_EQ(AfterFirst("Key:a:b", ':'), "a:b");
    EXPECT_EQ(BeforeFirst("abc", ':'), "abc");
    EXPECT_EQ(AfterFirst("abc", ':'), "");
    EXPECT_EQ(AfterFirst("abc:", ':'), "");
}

TEST(StringHelpers, BeforeAndAfterLast)
{
    EXPECT_EQ(BeforeLast("a.b.mp3", '.'), "a.b");
    EXPECT_EQ(AfterLast("a.b.mp3", '.'), "mp3");
    EXPECT_EQ(BeforeLast("abc", '.'), "");
    EXPECT_EQ(AfterLast("abc", '.'), "");
    EXPECT_EQ(AfterLast("/music/Album", '/'), "Album");
}

TEST(ReplaceAll, CollapsesRunsCompletely)
{
    EXPECT_EQ(ReplaceAll("a          b", "  ", " "), "a b");
    EXPECT_EQ(ReplaceAll("a   b   c", "  ", " "), "a b c");
    EXPECT_EQ(ReplaceAll("A---B", "--", "-"), "A-B");
}

TEST(ReplaceAll, FindsMatchesCreatedByAnEarlierReplacement)
{
    // "aab" -> "ab" is only found again because the search restarts.
    EXPECT_EQ(ReplaceAll("aaab", "ab", "b"), "b");
    EXPECT_EQ(ReplaceAll("A -  - B", "-  -", "-"), "A - B");
}

TEST(ReplaceAll, IsCaseSensitive)
{
    EXPECT_EQ(ReplaceAll("Aa", "a", "x"), "Ax");
}

TEST(ReplaceAll, EndsWhenReplacementContainsSearch)
{
    EXPECT_EQ(ReplaceAll("a-b", "-", "--"), "a--b");
    EXPECT_EQ(ReplaceAll("abc", "", "x"), "abc");
}

TEST(AddBackslash, AppendsSlashOnce)
{
    EXPECT_EQ(AddBackslash("/music"), "/music/");
    EXPECT_EQ(AddBackslash("/music/"), "/music/");
    EXPECT_EQ(AddBackslash(""), "/");
}

TEST(Trim, RemovesSpacesOnly)
{
    EXPECT_EQ(Trim("  a b  "), "a b");
    EXPECT_EQ(Trim("\ta\t"), "\ta\t");
    EXPECT_EQ(Trim("   "), "");
}
