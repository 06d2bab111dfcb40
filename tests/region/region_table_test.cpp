#include <gtest/gtest.h>
#include <string.h>

#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "wlan_region.h"

namespace {

const std::set<std::string> kChannelSets = {
    "36 40 44 48",     "36 40 44 48 149 153 157 161 165", "149 153 157 161 165",
    "149 153 157 161", "36 40 44 48 149 153 157 161",     "",
};

std::vector<const region_regulation_entry*> AllRows() {
    std::vector<const region_regulation_entry*> rows;
    const region_regulation_entry* first = get_region_regulation();
    for (int i = 0; i < WLAN_REGION_COUNT; ++i) rows.push_back(first + i);
    return rows;
}

const region_regulation_entry* RowOf(const char* code) {
    for (const region_regulation_entry* row : AllRows()) {
        if (strcmp(row->cout_code, code) == 0) return row;
    }
    return nullptr;
}

bool IsTerminatedWithin(const char* text, size_t size) { return memchr(text, '\0', size); }

}  // namespace

TEST(RegionTable, HasOneRowPerCountryWithATwoLetterUpperCaseCode) {
    std::set<std::string> codes;
    std::set<std::string> names;
    for (const region_regulation_entry* row : AllRows()) {
        ASSERT_TRUE(IsTerminatedWithin(row->country, sizeof(row->country)));
        ASSERT_TRUE(IsTerminatedWithin(row->cout_code, sizeof(row->cout_code)));
        ASSERT_TRUE(IsTerminatedWithin(row->chan_5G, sizeof(row->chan_5G)));
        EXPECT_STRNE(row->country, "");
        EXPECT_EQ(strlen(row->cout_code), 2u) << row->country;
        EXPECT_TRUE(row->cout_code[0] >= 'A' && row->cout_code[0] <= 'Z') << row->country;
        EXPECT_TRUE(row->cout_code[1] >= 'A' && row->cout_code[1] <= 'Z') << row->country;
        codes.insert(row->cout_code);
        names.insert(row->country);
    }
    EXPECT_EQ(codes.size(), static_cast<size_t>(WLAN_REGION_COUNT));
    EXPECT_EQ(names.size(), static_cast<size_t>(WLAN_REGION_COUNT));
}

TEST(RegionTable, IsInAlphabeticalOrderFromAlbaniaToZimbabwe) {
    std::vector<const region_regulation_entry*> rows = AllRows();
    EXPECT_STREQ(rows.front()->country, "Albania");
    EXPECT_STREQ(rows.front()->cout_code, "AL");
    EXPECT_STREQ(rows.back()->country, "Zimbabwe");
    EXPECT_STREQ(rows.back()->cout_code, "ZW");
    for (size_t i = 1; i < rows.size(); ++i) {
        EXPECT_LT(strcmp(rows[i - 1]->country, rows[i]->country), 0)
            << rows[i - 1]->country << " before " << rows[i]->country;
    }
}

TEST(RegionTable, ChannelRangesAreOnesTheRadioAccepts) {
    for (const region_regulation_entry* row : AllRows()) {
        EXPECT_EQ(row->start_chan_2G, 1) << row->country;
        EXPECT_TRUE(row->end_chan_2G == 11 || row->end_chan_2G == 13 || row->end_chan_2G == 14)
            << row->country << " ends at " << row->end_chan_2G;
        EXPECT_EQ(kChannelSets.count(row->chan_5G), 1u)
            << row->country << " has 5 GHz list \"" << row->chan_5G << "\"";
    }
}

// The generator splits the list at single blanks and the region method hands it out as is.
TEST(RegionTable, FiveGhzListsAreAscendingChannelsSeparatedBySingleBlanks) {
    for (const region_regulation_entry* row : AllRows()) {
        std::string text = row->chan_5G;
        if (text.empty()) continue;
        EXPECT_EQ(text.find("  "), std::string::npos) << row->country;
        EXPECT_NE(text.front(), ' ') << row->country;
        EXPECT_NE(text.back(), ' ') << row->country;
        std::istringstream in(text);
        int previous = 0;
        int channel = 0;
        while (in >> channel) {
            EXPECT_GE(channel, 36) << row->country;
            EXPECT_LE(channel, 165) << row->country;
            EXPECT_EQ(channel % 4, channel >= 149 ? 1 : 0) << row->country << " " << channel;
            EXPECT_GT(channel, previous) << row->country;
            previous = channel;
        }
        EXPECT_TRUE(in.eof()) << row->country;
    }
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

// Counts over the whole table catch a row copied with the wrong channel set.
TEST(RegionTable, ChannelSetsAndLimitsAreSharedAsExpected) {
    std::map<std::string, int> per_set;
    std::map<int, int> per_end;
    for (const region_regulation_entry* row : AllRows()) {
        ++per_set[row->chan_5G];
        ++per_end[row->end_chan_2G];
    }
    EXPECT_EQ(per_set["36 40 44 48"], 50);
    EXPECT_EQ(per_set["36 40 44 48 149 153 157 161 165"], 38);
    EXPECT_EQ(per_set["149 153 157 161 165"], 8);
    EXPECT_EQ(per_set["149 153 157 161"], 1);
    EXPECT_EQ(per_set["36 40 44 48 149 153 157 161"], 3);
    EXPECT_EQ(per_set[""], 1);
    EXPECT_EQ(per_end[11], 5);
    EXPECT_EQ(per_end[13], 95);
    EXPECT_EQ(per_end[14], 1);
}

struct ExpectedRow {
    const char* country;
    const char* code;
    int timezone;
    int index;
    int end_chan_2G;
    const char* chan_5G;
};

TEST(RegionTable, RowsCarryTheirCountrysValues) {
    const ExpectedRow expected[] = {
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
    for (const ExpectedRow& want : expected) {
        const region_regulation_entry* row = RowOf(want.code);
        ASSERT_NE(row, nullptr) << want.code;
        EXPECT_STREQ(row->country, want.country);
        EXPECT_EQ(row->timezone, want.timezone) << want.code;
        EXPECT_EQ(row->index, want.index) << want.code;
        EXPECT_EQ(row->start_chan_2G, 1) << want.code;
        EXPECT_EQ(row->end_chan_2G, want.end_chan_2G) << want.code;
        EXPECT_STREQ(row->chan_5G, want.chan_5G) << want.code;
    }
}
