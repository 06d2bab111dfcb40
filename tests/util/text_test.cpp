#include "util/text.h"

#include <gtest/gtest.h>

TEST(CopyText, CutsToTheBufferAndAlwaysTerminates) {
    char buf[4];
    EXPECT_TRUE(copy_text(buf, "abc"));
    EXPECT_STREQ(buf, "abc");
    EXPECT_FALSE(copy_text(buf, "abcd"));
    EXPECT_STREQ(buf, "abc");
    EXPECT_TRUE(copy_text(buf, nullptr));
    EXPECT_STREQ(buf, "");
    EXPECT_TRUE(copy_text_n(buf, sizeof(buf), "abcdef", 2));
    EXPECT_STREQ(buf, "ab");
}

TEST(MacText, AcceptsOnlySixHexPairsWithColons) {
    EXPECT_TRUE(is_mac_text("aa:bb:cc:dd:ee:ff"));
    EXPECT_TRUE(is_mac_text("00:1A:2b:3C:4d:5E"));
    for (const char* bad : {"aa:bb:cc:dd:ee:f", "aa:bb:cc:dd:ee:ff:", "aa-bb-cc-dd-ee-ff",
                            "a;:bb:cc:dd:ee:ff", static_cast<const char*>(nullptr)})
        EXPECT_FALSE(is_mac_text(bad)) << (bad ? bad : "null");
}
