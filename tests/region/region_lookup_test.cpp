#include <gtest/gtest.h>
#include <string.h>

#include <memory>
#include <string>

#include "wlan_region.h"

TEST(MaxChan2G, GivesTheCountrysLastChannel) {
    EXPECT_EQ(get_max_chan_2G("US"), 11);
    EXPECT_EQ(get_max_chan_2G("JP"), 14);
    EXPECT_EQ(get_max_chan_2G("DE"), 13);
    EXPECT_EQ(get_max_chan_2G("TW"), 11);
    EXPECT_EQ(get_max_chan_2G("ZW"), 13);
}

TEST(MaxChan2G, FallsBackToElevenForAnyCodeTheTableDoesNotHold) {
    EXPECT_EQ(get_max_chan_2G("XX"), 11);
    EXPECT_EQ(get_max_chan_2G("jp"), 11);
    EXPECT_EQ(get_max_chan_2G("J"), 11);
    EXPECT_EQ(get_max_chan_2G("JPN"), 11);
    EXPECT_EQ(get_max_chan_2G("JP "), 11);
    EXPECT_EQ(get_max_chan_2G(""), 11);
    EXPECT_EQ(get_max_chan_2G(nullptr), 11);
    EXPECT_EQ(get_max_chan_2G(std::string(1000, 'J').c_str()), 11);
}

TEST(Chan5G, CopiesTheCountrysListAndReturnsTheBuffer) {
    char out[WLAN_REGION_CHAN_5G_SIZE] = "";
    EXPECT_EQ(get_chan_5G("CN", out), out);
    EXPECT_STREQ(out, "149 153 157 161 165");
    EXPECT_EQ(get_chan_5G("US", out), out);
    EXPECT_STREQ(out, "36 40 44 48 149 153 157 161 165");
    EXPECT_EQ(get_chan_5G("DE", out), out);
    EXPECT_STREQ(out, "36 40 44 48");
}

// Syria allows no 5 GHz channel; the region method reads the empty text as "no 5 GHz".
TEST(Chan5G, GivesAnEmptyTextForACountryWithoutFiveGhz) {
    char out[WLAN_REGION_CHAN_5G_SIZE] = "stale";
    EXPECT_EQ(get_chan_5G("SY", out), out);
    EXPECT_STREQ(out, "");
}

TEST(Chan5G, LeavesTheBufferAsItWasForAnUnknownCode) {
    const char* unknown[] = {"XX", "cn", "C", "CNA", "", nullptr};
    for (const char* code : unknown) {
        char out[WLAN_REGION_CHAN_5G_SIZE] = "previous text";
        EXPECT_EQ(get_chan_5G(code, out), nullptr) << (code ? code : "(null)");
        EXPECT_STREQ(out, "previous text") << (code ? code : "(null)");
    }
    EXPECT_EQ(get_chan_5G("CN", nullptr), nullptr);
}

// The longest list must fit the documented room exactly; a heap buffer of that size lets the
// address sanitizer catch any write past it.
TEST(Chan5G, NeverWritesPastTheDocumentedRoom) {
    std::unique_ptr<char[]> out(new char[WLAN_REGION_CHAN_5G_SIZE]);
    const region_regulation_entry* rows = get_region_regulation();
    for (int i = 0; i < WLAN_REGION_COUNT; ++i) {
        memset(out.get(), 'x', WLAN_REGION_CHAN_5G_SIZE);
        ASSERT_EQ(get_chan_5G(rows[i].cout_code, out.get()), out.get());
        EXPECT_STREQ(out.get(), rows[i].chan_5G);
    }
}

TEST(RegionRegulation, WalksEveryCountryOnceFromTheFirstRow) {
    const region_regulation_entry* rows = get_region_regulation();
    ASSERT_NE(rows, nullptr);
    EXPECT_EQ(get_region_regulation(), rows);
    EXPECT_STREQ(rows[0].country, "Albania");
    EXPECT_STREQ(rows[WLAN_REGION_COUNT - 1].country, "Zimbabwe");
    // Each row is the one the code lookups find.
    for (int i = 0; i < WLAN_REGION_COUNT; ++i) {
        EXPECT_EQ(get_max_chan_2G(rows[i].cout_code), rows[i].end_chan_2G) << rows[i].country;
    }
}
