#include <gtest/gtest.h>
#include <string.h>

#include <memory>
#include <string>

#include "wlan_region.h"

TEST(MaxChan2G, GivesTheCountrysLastChannelOrElevenForAnyCodeTheTableDoesNotHold) {
    const std::string overlong(1000, 'J');
    const struct {
        const char* code;
        int max;
    } cases[] = {{"US", 11},
                 {"JP", 14},
                 {"DE", 13},
                 {"TW", 11},
                 {"ZW", 13},
                 {"XX", 11},
                 {"jp", 11},
                 {"J", 11},
                 {"JPN", 11},
                 {"JP ", 11},
                 {"", 11},
                 {nullptr, 11},
                 {overlong.c_str(), 11}};
    for (const auto& c : cases)
        EXPECT_EQ(get_max_chan_2G(c.code), c.max) << (c.code ? c.code : "(null)");
}

TEST(Chan5G, CopiesTheCountrysListPossiblyEmptyAndReturnsTheBuffer) {
    // Syria allows no 5 GHz channel; the region method reads the empty text as "no 5 GHz".
    const struct {
        const char* code;
        const char* list;
    } cases[] = {{"CN", "149 153 157 161 165"},
                 {"US", "36 40 44 48 149 153 157 161 165"},
                 {"DE", "36 40 44 48"},
                 {"SY", ""}};
    for (const auto& c : cases) {
        char out[WLAN_REGION_CHAN_5G_SIZE] = "stale";
        EXPECT_EQ(get_chan_5G(c.code, out), out) << c.code;
        EXPECT_STREQ(out, c.list) << c.code;
    }
}

TEST(Chan5G, LeavesTheBufferAsItWasForAnUnknownCode) {
    for (const char* code : {"XX", "cn", "C", "CNA", "", static_cast<const char*>(nullptr)}) {
        char out[WLAN_REGION_CHAN_5G_SIZE] = "previous text";
        EXPECT_EQ(get_chan_5G(code, out), nullptr) << (code ? code : "(null)");
        EXPECT_STREQ(out, "previous text") << (code ? code : "(null)");
    }
    EXPECT_EQ(get_chan_5G("CN", nullptr), nullptr);
}

// Every row is the one the code lookups find. The longest list must fit the documented room
// exactly; a heap buffer of that size lets the address sanitizer catch any write past it.
TEST(RegionLookups, FindEveryRowAndNeverWritePastTheDocumentedRoom) {
    const region_regulation_entry* rows = get_region_regulation();
    ASSERT_NE(rows, nullptr);
    EXPECT_EQ(get_region_regulation(), rows);
    std::unique_ptr<char[]> out(new char[WLAN_REGION_CHAN_5G_SIZE]);
    for (int i = 0; i < WLAN_REGION_COUNT; ++i) {
        EXPECT_EQ(get_max_chan_2G(rows[i].cout_code), rows[i].end_chan_2G) << rows[i].country;
        memset(out.get(), 'x', WLAN_REGION_CHAN_5G_SIZE);
        ASSERT_EQ(get_chan_5G(rows[i].cout_code, out.get()), out.get());
        EXPECT_STREQ(out.get(), rows[i].chan_5G);
    }
}
