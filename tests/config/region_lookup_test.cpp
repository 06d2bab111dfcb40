#include <gtest/gtest.h>
#include <string.h>

#include <map>
#include <memory>
#include <string>

#include "wlan_region.h"

namespace {
const char* Name(const char* code) { return code ? code : "(null)"; }
}  // namespace

// Every row is the one the code lookups find. The longest list must fit the documented room
// exactly; a heap buffer of that size lets the address sanitizer catch any write past it.
TEST(RegionLookups, FindEveryRowAndNeverWritePastTheDocumentedRoom) {
    const region_regulation_entry* rows = get_region_regulation();
    ASSERT_NE(rows, nullptr);
    std::unique_ptr<char[]> out(new char[WLAN_REGION_CHAN_5G_SIZE]);
    for (int i = 0; i < WLAN_REGION_COUNT; ++i) {
        EXPECT_EQ(get_max_chan_2G(rows[i].cout_code), rows[i].end_chan_2G) << rows[i].country;
        memset(out.get(), 'x', WLAN_REGION_CHAN_5G_SIZE);
        ASSERT_EQ(get_chan_5G(rows[i].cout_code, out.get()), out.get());
        EXPECT_STREQ(out.get(), rows[i].chan_5G);
    }
}

// Only the whole two-letter code matches: anything else gives 11 channels and leaves the
// 5 GHz buffer as it was.
TEST(RegionLookups, CodesTheTableDoesNotHold) {
    const std::string overlong(1000, 'J');
    for (const char* code :
         {"XX", "jp", "J", "JPN", "JP ", "", static_cast<const char*>(nullptr), overlong.c_str()}) {
        EXPECT_EQ(get_max_chan_2G(code), 11) << Name(code);
        char out[WLAN_REGION_CHAN_5G_SIZE] = "previous text";
        EXPECT_EQ(get_chan_5G(code, out), nullptr) << Name(code);
        EXPECT_STREQ(out, "previous text") << Name(code);
    }
    EXPECT_EQ(get_chan_5G("CN", nullptr), nullptr);
}

// Returns null unless the country was remapped; out holds what the radio's country command
// gets either way, and only the whole text matches a remap row.
TEST(WlCountryCode, RemapsTheCountriesTheRadioKnowsUnderAnotherCodeAndPassesOthers) {
    const struct {
        const char* configured;
        bool remapped;
        const char* wl_code;
    } cases[] = {{"IR", true, "AR"},    {"KP", true, "SA"},     {"SY", true, "BN"},
                 {"US", false, "US"},   {"ir", false, "ir"},    {"", false, ""},
                 {"IRN", false, "IRN"}, {"SYRIA", false, "SYR"}};
    for (const auto& c : cases) {
        std::unique_ptr<char[]> out(new char[WLAN_REGION_CODE_SIZE]);
        char* got = get_wl_country_code(c.configured, out.get());
        EXPECT_EQ(got, c.remapped ? out.get() : nullptr) << c.configured;
        EXPECT_STREQ(out.get(), c.wl_code) << c.configured;
    }
    char out[WLAN_REGION_CODE_SIZE] = "old";
    EXPECT_EQ(get_wl_country_code(nullptr, out), nullptr);
    EXPECT_STREQ(out, "");
    EXPECT_EQ(get_wl_country_code("IR", nullptr), nullptr);
    // The configuration record's country buffer holds two letters and a terminator.
    char country[3] = "SY";
    EXPECT_EQ(get_wl_country_code(country, country), country);
    EXPECT_STREQ(country, "BN");
}

TEST(WlRegrev, GivesTheListedRevisionIncludingZeroElseMinusOne) {
    const std::string overlong(300, 'R');
    const std::pair<const char*, int> cases[] = {{"AR", 21},
                                                 {"BN", 4},
                                                 {"CO", 17},
                                                 {"ID", 5},
                                                 {"JP", 0},
                                                 {"KR", 4},
                                                 {"KW", 5},
                                                 {"MX", 20},
                                                 {"RU", 50},
                                                 {"UA", 6},
                                                 {"AE", 6},
                                                 {"US", -1},
                                                 {"ru", -1},
                                                 {"RUS", -1},
                                                 {"", -1},
                                                 {nullptr, -1},
                                                 {overlong.c_str(), -1}};
    for (const auto& c : cases) EXPECT_EQ(get_wl_regv_code(c.first), c.second) << Name(c.first);
}

namespace {
constexpr int kNone = 0;
constexpr int kPartnerBelow = 1;
constexpr int kPartnerAbove = 2;
}  // namespace

TEST(ChanWidth, BandChannelsFollowTheirFortyMegahertzPairsInEveryCountry) {
    std::map<int, int> expected;
    for (int channel = 0; channel <= 14; ++channel)
        expected[channel] = channel <= 5 ? kPartnerAbove : kPartnerBelow;
    for (int channel : {36, 44, 52, 60, 100, 108, 116, 124, 132, 149, 157})
        expected[channel] = kPartnerAbove;
    for (int channel : {40, 48, 56, 64, 104, 112, 120, 128, 136, 140, 153, 161})
        expected[channel] = kPartnerBelow;
    expected[165] = kNone;
    for (const char* country : {static_cast<const char*>(nullptr), "", "US", "CN", "JP", "xx"}) {
        for (const auto& [channel, side] : expected)
            EXPECT_EQ(get_chan_width_support(country, channel), side)
                << channel << " in " << (country ? country : "(null)");
    }
}

// Channels outside both bands: the limit 5 decides up to 14, everything else above 14 that is
// neither 165 nor a listed lower channel counts as upper. 36 + 256 must not alias channel 36.
TEST(ChanWidth, ChannelsOutsideTheBandsFallIntoTheBroadClasses) {
    EXPECT_EQ(get_chan_width_support(nullptr, -1), kPartnerAbove);
    for (int channel : {15, 35, 255, 36 + 256, 165 + 256})
        EXPECT_EQ(get_chan_width_support(nullptr, channel), kPartnerBelow) << channel;
}
