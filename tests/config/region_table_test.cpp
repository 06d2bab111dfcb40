#include <gtest/gtest.h>
#include <string.h>

#include <map>
#include <memory>
#include <set>
#include <string>

#include "wlan_region.h"

namespace {
const char* Name(const char* code) { return code ? code : "(null)"; }
bool IsUpper(char c) { return c >= 'A' && c <= 'Z'; }
}  // namespace

// One row per country in alphabetical order with a two-letter code; the time-zone index never
// decreases from west to east; counts over the whole table catch a row copied with the wrong
// channel set or limit.
TEST(RegionTable, RowsAreOrderedUniqueAndShareTheExpectedSets) {
    const region_regulation_entry* rows = get_region_regulation();
    std::set<std::string> codes;
    std::map<std::string, int> per_set;
    std::map<int, int> per_end;
    for (int i = 0; i < WLAN_REGION_COUNT; ++i) {
        const region_regulation_entry& row = rows[i];
        EXPECT_EQ(strlen(row.cout_code), 2u) << row.country;
        EXPECT_TRUE(IsUpper(row.cout_code[0]) && IsUpper(row.cout_code[1])) << row.country;
        EXPECT_EQ(row.start_chan_2G, 1) << row.country;
        codes.insert(row.cout_code);
        ++per_set[row.chan_5G];
        ++per_end[row.end_chan_2G];
        EXPECT_TRUE(i == 0 || strcmp(rows[i - 1].country, row.country) < 0) << row.country;
        for (int j = 0; j < WLAN_REGION_COUNT; ++j)
            EXPECT_TRUE(row.timezone <= rows[j].timezone || row.index <= rows[j].index)
                << row.country << " / " << rows[j].country;
    }
    EXPECT_EQ(codes.size(), static_cast<size_t>(WLAN_REGION_COUNT));
    EXPECT_EQ(per_set, (std::map<std::string, int>{{"36 40 44 48", 50},
                                                   {"36 40 44 48 149 153 157 161 165", 38},
                                                   {"149 153 157 161 165", 8},
                                                   {"149 153 157 161", 1},
                                                   {"36 40 44 48 149 153 157 161", 3},
                                                   {"", 1}}));
    EXPECT_EQ(per_end, (std::map<int, int>{{11, 5}, {13, 95}, {14, 1}}));
}

// Every row is the one the code lookups find. The longest list must fit the documented room
// exactly; a heap buffer of that size lets the address sanitizer catch any write past it. Only
// the whole two-letter code matches (IR is remapped for the radio): anything else gives 11
// channels, no radio revision, the code itself for the radio, cut to its room, and leaves the
// 5 GHz buffer as it was.
TEST(RegionLookups, FindEveryRowAndOnlyWholeCodes) {
    const region_regulation_entry* rows = get_region_regulation();
    std::unique_ptr<char[]> out(new char[WLAN_REGION_CHAN_5G_SIZE]);
    for (int i = 0; i < WLAN_REGION_COUNT; ++i) {
        EXPECT_EQ(get_max_chan_2G(rows[i].cout_code), rows[i].end_chan_2G) << rows[i].country;
        memset(out.get(), 'x', WLAN_REGION_CHAN_5G_SIZE);
        ASSERT_EQ(get_chan_5G(rows[i].cout_code, out.get()), out.get());
        EXPECT_STREQ(out.get(), rows[i].chan_5G);
    }
    const std::string overlong(1000, 'J');
    for (const char* code : {"XX", "jp", "JPN", "ir", "IRN", "", static_cast<const char*>(nullptr),
                             overlong.c_str()}) {
        EXPECT_EQ(get_max_chan_2G(code), 11) << Name(code);
        EXPECT_EQ(get_wl_regv_code(code), -1) << Name(code);
        std::unique_ptr<char[]> wl(new char[WLAN_REGION_CODE_SIZE]);
        EXPECT_EQ(get_wl_country_code(code, wl.get()), nullptr) << Name(code);
        EXPECT_EQ(wl.get(), std::string(code ? code : "").substr(0, WLAN_REGION_CODE_SIZE - 1));
        char kept[WLAN_REGION_CHAN_5G_SIZE] = "previous text";
        EXPECT_EQ(get_chan_5G(code, kept), nullptr) << Name(code);
        EXPECT_STREQ(kept, "previous text") << Name(code);
    }
}

// The radio's code of a remapped country is written into out, which may be the configuration
// record's country buffer itself: two letters and a terminator.
TEST(WlCountryCode, RemapsIntoTheCountryBufferItself) {
    char country[3] = "SY";
    EXPECT_EQ(get_wl_country_code(country, country), country);
    EXPECT_STREQ(country, "BN");
}

namespace {
constexpr int kNone = 0;
constexpr int kPartnerBelow = 1;
constexpr int kPartnerAbove = 2;
}  // namespace

// Whatever the country. Outside both bands the limit 5 decides up to 14, everything else above
// 14 that is neither 165 nor a listed lower channel counts as upper; 36 + 256 must not alias 36.
TEST(ChanWidth, ChannelsFollowTheirFortyMegahertzPairs) {
    std::map<int, int> expected;
    for (int channel = -1; channel <= 14; ++channel)
        expected[channel] = channel <= 5 ? kPartnerAbove : kPartnerBelow;
    for (int channel : {36, 44, 52, 60, 100, 108, 116, 124, 132, 149, 157})
        expected[channel] = kPartnerAbove;
    for (int channel :
         {15, 35, 40, 48, 56, 64, 104, 112, 120, 128, 136, 140, 153, 161, 255, 36 + 256, 165 + 256})
        expected[channel] = kPartnerBelow;
    expected[165] = kNone;
    for (const char* country : {static_cast<const char*>(nullptr), "JP"}) {
        for (const auto& [channel, side] : expected)
            EXPECT_EQ(get_chan_width_support(country, channel), side)
                << channel << " in " << Name(country);
    }
}
