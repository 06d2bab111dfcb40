// Bounded copy and zeroed allocation.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <string.h>

#include "wlan_os.h"

namespace {

TEST(OsStrlcpy, CutsToTheBufferTerminatesAndReturnsTheSourceLength) {
    char buf[8];
    memset(buf, '#', sizeof(buf));
    EXPECT_EQ(os_strlcpy(buf, "wpa_supplicant", 6), 14u);
    EXPECT_STREQ(buf, "wpa_s");
    EXPECT_EQ(buf[6], '#');  // nothing written past the given size

    EXPECT_EQ(os_strlcpy(buf, "exactly", sizeof(buf)), 7u);
    EXPECT_STREQ(buf, "exactly");
    EXPECT_EQ(os_strlcpy(buf, "", sizeof(buf)), 0u);
    EXPECT_STREQ(buf, "");

    char untouched[4] = {'a', 'b', 'c', 'd'};
    EXPECT_EQ(os_strlcpy(untouched, "xyz", 0), 3u);
    EXPECT_EQ(memcmp(untouched, "abcd", 4), 0);
}

TEST(OsZalloc, GivesZeroFilledMemory) {
    unsigned char* p = static_cast<unsigned char*>(os_zalloc(4096));
    ASSERT_NE(p, nullptr);
    const unsigned char zeros[4096] = {};
    EXPECT_EQ(memcmp(p, zeros, sizeof(zeros)), 0);
    free(p);
}

}  // namespace
