#include <gtest/gtest.h>
#include <string.h>

#include <map>
#include <set>
#include <string>
#include <vector>

#include "wlan_region.h"

namespace {

std::vector<const region_regulation_entry*> AllRows() {
    std::vector<const region_regulation_entry*> rows;
    const region_regulation_entry* first = get_region_regulation();
    for (int i = 0; i < WLAN_REGION_COUNT; ++i) rows.push_back(first + i);
    return rows;
}

bool IsTerminatedWithin(const char* text, size_t size) { return memchr(text, '\0', size); }

bool IsUpper(char c) { return c >= 'A' && c <= 'Z'; }

}  // namespace

TEST(RegionTable, HasOneRowPerCountryInAlphabeticalOrderWithATwoLetterCode) {
    std::vector<const region_regulation_entry*> rows = AllRows();
    std::set<std::string> codes;
    for (const region_regulation_entry* row : rows) {
        ASSERT_TRUE(IsTerminatedWithin(row->country, sizeof(row->country)));
        ASSERT_TRUE(IsTerminatedWithin(row->cout_code, sizeof(row->cout_code)));
        ASSERT_TRUE(IsTerminatedWithin(row->chan_5G, sizeof(row->chan_5G)));
        EXPECT_STRNE(row->country, "");
        EXPECT_EQ(strlen(row->cout_code), 2u) << row->country;
        EXPECT_TRUE(IsUpper(row->cout_code[0]) && IsUpper(row->cout_code[1])) << row->country;
        codes.insert(row->cout_code);
    }
    EXPECT_EQ(codes.size(), static_cast<size_t>(WLAN_REGION_COUNT));
    EXPECT_STREQ(rows.front()->country, "Albania");
    EXPECT_STREQ(rows.back()->country, "Zimbabwe");
    // Strictly ascending names also rule out a country listed twice.
    for (size_t i = 1; i < rows.size(); ++i)
        EXPECT_LT(strcmp(rows[i - 1]->country, rows[i]->country), 0)
            << rows[i - 1]->country << " before " << rows[i]->country;
}

TEST(RegionTable, TimeZoneIndexNeverDecreasesFromWestToEast) {
    for (const region_regulation_entry* row : AllRows()) {
        EXPECT_GE(row->timezone, -720) << row->country;
        EXPECT_LE(row->timezone, 720) << row->country;
        EXPECT_GE(row->index, 10) << row->country;
        EXPECT_LE(row->index, 60) << row->country;
    }
    for (const region_regulation_entry* west : AllRows()) {
        for (const region_regulation_entry* east : AllRows()) {
            if (west->timezone > east->timezone) {
                EXPECT_LE(west->index, east->index) << west->country << " / " << east->country;
            }
        }
    }
}

// Every row holds one of the lists and limits the radio accepts; counts over the whole table
// catch a row copied with the wrong channel set.
TEST(RegionTable, ChannelSetsAndLimitsAreSharedAsExpected) {
    std::map<std::string, int> per_set;
    std::map<int, int> per_end;
    for (const region_regulation_entry* row : AllRows()) {
        EXPECT_EQ(row->start_chan_2G, 1) << row->country;
        ++per_set[row->chan_5G];
        ++per_end[row->end_chan_2G];
    }
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
        int timezone;
        int index;
        int end_chan_2G;
        const char* chan_5G;
    } expected[] = {
        {"Albania", "AL", -60, 28, 13, "36 40 44 48"},
        {"Canada", "CA", 300, 13, 11, "36 40 44 48 149 153 157 161 165"},
        {"China", "CN", -480, 52, 13, "149 153 157 161 165"},
        {"India", "IN", -330, 47, 13, "36 40 44 48 149 153 157 161 165"},
        {"Indonesia", "ID", -420, 51, 13, "149 153 157 161"},
        {"Iran", "IR", -210, 41, 13, "149 153 157 161 165"},
        {"Japan", "JP", -540, 55, 14, "36 40 44 48"},
        {"Korea North", "KP", -540, 55, 13, "36 40 44 48 149 153 157 161"},
        {"Korea Republic", "KR", -540, 55, 13, "36 40 44 48 149 153 157 161"},
        {"Macau", "MO", -480, 52, 13, "149 153 157 161 165"},
        {"New Zealand", "NZ", -720, 60, 13, "36 40 44 48 149 153 157 161 165"},
        {"Puerto Rico", "PR", 240, 18, 11, "36 40 44 48 149 153 157 161 165"},
        {"Saudi Arabia", "SA", -180, 40, 13, "36 40 44 48 149 153 157 161"},
        {"Syria", "SY", -120, 34, 13, ""},
        {"Taiwan", "TW", -480, 52, 11, "149 153 157 161 165"},
        {"Trinidad & Tobago", "TT", 240, 16, 13, "36 40 44 48 149 153 157 161 165"},
        {"United Kingdom", "GB", 0, 26, 13, "36 40 44 48"},
        {"United States", "US", 300, 13, 11, "36 40 44 48 149 153 157 161 165"},
        {"Venezuela", "VE", 270, 15, 13, "36 40 44 48 149 153 157 161 165"},
        {"Zimbabwe", "ZW", -120, 34, 13, "36 40 44 48 149 153 157 161 165"},
    };
    for (const auto& want : expected) {
        const region_regulation_entry* row = nullptr;
        for (const region_regulation_entry* r : AllRows())
            if (strcmp(r->cout_code, want.code) == 0) row = r;
        ASSERT_NE(row, nullptr) << want.code;
        EXPECT_STREQ(row->country, want.country);
        EXPECT_EQ(row->timezone, want.timezone) << want.code;
        EXPECT_EQ(row->index, want.index) << want.code;
        EXPECT_EQ(row->end_chan_2G, want.end_chan_2G) << want.code;
        EXPECT_STREQ(row->chan_5G, want.chan_5G) << want.code;
    }
}
