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

TEST(Strrpl, ReplacesEveryOccurrenceWithoutOverlapOrRescanning) {
    const char* const cases[][4] = {
        {"a.b.c", ".", "::", "a::b::c"},
        {".start and end.", ".", "!", "!start and end!"},
        {"no match here", "x", "y", "no match here"},
        {"", "x", "y", ""},
        {"one two one", "one", "1", "1 two 1"},
        {"a-b-c", "-", "", "abc"},
        {"aaaaa", "aa", "b", "bba"},
        {"a\\b", "\\", "\\\\", "a\\\\b"},
        {"xx", "x", "xx", "xxxx"},
        {"abc", "", "x", "abc"},  // an empty pattern copies unchanged
    };
    for (const auto& c : cases) EXPECT_EQ(Replace(c[0], c[1], c[2]), c[3]) << c[0] << " " << c[1];
}

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
