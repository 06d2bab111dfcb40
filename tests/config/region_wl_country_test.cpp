#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "wlan_region.h"

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
    std::unique_ptr<char[]> out(new char[WLAN_REGION_CODE_SIZE]);
    EXPECT_EQ(get_wl_country_code(std::string(500, 'A').c_str(), out.get()), nullptr);
    EXPECT_STREQ(out.get(), "AAA");
}

TEST(WlCountryCode, ToleratesNullAndSharedBuffers) {
    char out[WLAN_REGION_CODE_SIZE] = "old";
    EXPECT_EQ(get_wl_country_code(nullptr, out), nullptr);
    EXPECT_STREQ(out, "");
    EXPECT_EQ(get_wl_country_code("IR", nullptr), nullptr);

    // The configuration record's country buffer holds two letters and a terminator.
    char country[3] = "SY";
    EXPECT_EQ(get_wl_country_code(country, country), country);
    EXPECT_STREQ(country, "BN");
    char kept[3] = "DE";
    EXPECT_EQ(get_wl_country_code(kept, kept), nullptr);
    EXPECT_STREQ(kept, "DE");
}

TEST(WlRegrev, GivesTheListedRevisionIncludingZeroElseMinusOne) {
    const std::string overlong(300, 'R');
    const struct {
        const char* code;
        int regrev;
    } cases[] = {{"AR", 21},
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
                 {"SA", -1},
                 {"ru", -1},
                 {"RUS", -1},
                 {"R", -1},
                 {"", -1},
                 {nullptr, -1},
                 {overlong.c_str(), -1}};
    for (const auto& c : cases)
        EXPECT_EQ(get_wl_regv_code(c.code), c.regrev) << (c.code ? c.code : "(null)");
}
