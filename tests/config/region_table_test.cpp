#include <gtest/gtest.h>
#include <string.h>

#include <map>
#include <set>
#include <string>

#include "wlan_region.h"

namespace {
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
        if (i > 0) {
            EXPECT_LT(strcmp(rows[i - 1].country, row.country), 0) << row.country;
        }
        for (int j = 0; j < WLAN_REGION_COUNT; ++j) {
            if (row.timezone > rows[j].timezone) {
                EXPECT_LE(row.index, rows[j].index) << row.country << " / " << rows[j].country;
            }
        }
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

TEST(RegionTable, RowsCarryTheirCountrysValues) {
    const struct {
        const char* country;
        const char* code;
        int timezone, index, end_chan_2G;
        const char* chan_5G;
    } expected[] = {
        {"Canada", "CA", 300, 13, 11, "36 40 44 48 149 153 157 161 165"},
        {"Indonesia", "ID", -420, 51, 13, "149 153 157 161"},
        {"Japan", "JP", -540, 55, 14, "36 40 44 48"},
        {"New Zealand", "NZ", -720, 60, 13, "36 40 44 48 149 153 157 161 165"},
        {"Poland", "PL", -60, 31, 13, "36 40 44 48"},
        {"Syria", "SY", -120, 34, 13, ""},
        {"United States", "US", 300, 13, 11, "36 40 44 48 149 153 157 161 165"},
    };
    const region_regulation_entry* rows = get_region_regulation();
    for (const auto& want : expected) {
        const region_regulation_entry* row = nullptr;
        for (int i = 0; i < WLAN_REGION_COUNT; ++i)
            if (strcmp(rows[i].cout_code, want.code) == 0) row = &rows[i];
        ASSERT_NE(row, nullptr) << want.code;
        EXPECT_STREQ(row->country, want.country);
        EXPECT_EQ(row->timezone, want.timezone) << want.code;
        EXPECT_EQ(row->index, want.index) << want.code;
        EXPECT_EQ(row->end_chan_2G, want.end_chan_2G) << want.code;
        EXPECT_STREQ(row->chan_5G, want.chan_5G) << want.code;
    }
}
