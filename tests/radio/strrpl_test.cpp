#include <gtest/gtest.h>

#include <string>

#include "tests/support/log_capture.h"
#include "wlan_radio.h"

// strrpl: every occurrence replaced, left to right, without re-reading what it wrote.
namespace {

std::string Replace(const char* src, const char* from, const char* to) {
    char dst[256];
    EXPECT_EQ(strrpl(dst, src, from, to), dst);
    return dst;
}

}  // namespace

TEST(Strrpl, ReplacesEveryOccurrence) {
    EXPECT_EQ(Replace("a.b.c", ".", "::"), "a::b::c");
    EXPECT_EQ(Replace(".start and end.", ".", "!"), "!start and end!");
    EXPECT_EQ(Replace("no match here", "x", "y"), "no match here");
    EXPECT_EQ(Replace("", "x", "y"), "");
    EXPECT_EQ(Replace("one two one", "one", "1"), "1 two 1");
    EXPECT_EQ(Replace("a-b-c", "-", ""), "abc");
}

TEST(Strrpl, MatchesDoNotOverlap) { EXPECT_EQ(Replace("aaaaa", "aa", "b"), "bba"); }

TEST(Strrpl, ReplacementIsNotScannedAgain) {
    EXPECT_EQ(Replace("a\\b", "\\", "\\\\"), "a\\\\b");
    EXPECT_EQ(Replace("xx", "x", "xx"), "xxxx");
}

TEST(Strrpl, EmptyPatternCopiesUnchanged) { EXPECT_EQ(Replace("abc", "", "x"), "abc"); }

TEST(Strrpl, NullArgumentIsReportedAndNothingIsWritten) {
    logcap::Clear();
    char dst[8] = "keep";
    EXPECT_EQ(strrpl(dst, nullptr, "a", "b"), nullptr);
    EXPECT_EQ(strrpl(dst, "abc", nullptr, "b"), nullptr);
    EXPECT_EQ(strrpl(dst, "abc", "a", nullptr), nullptr);
    EXPECT_EQ(strrpl(nullptr, "abc", "a", "b"), nullptr);
    EXPECT_STREQ(dst, "keep");
    std::vector<std::string> lines = logcap::Level5();
    ASSERT_EQ(lines.size(), 4u);
    for (const std::string& line : lines) EXPECT_EQ(line, "string replace error(string NULL)!");
}
