#include <gtest/gtest.h>
#include <string.h>

#include <memory>
#include <string>

#include "wlan_region.h"

namespace {

// The pair the script generator writes into its "country" command.
struct WlCountry {
    std::string code;
    int regrev;
};

WlCountry WlCountryFor(const char* configured) {
    char code[WLAN_REGION_CODE_SIZE] = "";
    get_wl_country_code(configured, code);
    return {code, get_wl_regv_code(code)};
}

}  // namespace

TEST(WlCountryCode, RemapsTheCountriesTheRadioKnowsUnderAnotherCode) {
    char out[WLAN_REGION_CODE_SIZE] = "";
    EXPECT_EQ(get_wl_country_code("IR", out), out);
    EXPECT_STREQ(out, "AR");
    EXPECT_EQ(get_wl_country_code("KP", out), out);
    EXPECT_STREQ(out, "SA");
    EXPECT_EQ(get_wl_country_code("SY", out), out);
    EXPECT_STREQ(out, "BN");
}

TEST(WlCountryCode, PassesOtherCountriesThroughUnchanged) {
    char out[WLAN_REGION_CODE_SIZE] = "zz";
    EXPECT_EQ(get_wl_country_code("US", out), nullptr);
    EXPECT_STREQ(out, "US");
    EXPECT_EQ(get_wl_country_code("ir", out), nullptr);
    EXPECT_STREQ(out, "ir");
    EXPECT_EQ(get_wl_country_code("", out), nullptr);
    EXPECT_STREQ(out, "");
    // Only the whole text matches a remap row.
    EXPECT_EQ(get_wl_country_code("IRN", out), nullptr);
    EXPECT_STREQ(out, "IRN");
}

TEST(WlCountryCode, NeverWritesMoreThanACodeBuffer) {
    std::unique_ptr<char[]> out(new char[WLAN_REGION_CODE_SIZE]);
    std::string long_text(500, 'A');
    EXPECT_EQ(get_wl_country_code(long_text.c_str(), out.get()), nullptr);
    EXPECT_STREQ(out.get(), "AAA");
    EXPECT_EQ(get_wl_country_code("SYRIA", out.get()), nullptr);
    EXPECT_STREQ(out.get(), "SYR");
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

TEST(WlRegrev, GivesTheListedRevisionIncludingZero) {
    EXPECT_EQ(get_wl_regv_code("AR"), 21);
    EXPECT_EQ(get_wl_regv_code("BN"), 4);
    EXPECT_EQ(get_wl_regv_code("CO"), 17);
    EXPECT_EQ(get_wl_regv_code("ID"), 5);
    EXPECT_EQ(get_wl_regv_code("JP"), 0);
    EXPECT_EQ(get_wl_regv_code("KR"), 4);
    EXPECT_EQ(get_wl_regv_code("KW"), 5);
    EXPECT_EQ(get_wl_regv_code("MX"), 20);
    EXPECT_EQ(get_wl_regv_code("RU"), 50);
    EXPECT_EQ(get_wl_regv_code("UA"), 6);
    EXPECT_EQ(get_wl_regv_code("AE"), 6);
}

TEST(WlRegrev, GivesMinusOneForACodeWithoutRevision) {
    EXPECT_EQ(get_wl_regv_code("US"), -1);
    EXPECT_EQ(get_wl_regv_code("SA"), -1);
    EXPECT_EQ(get_wl_regv_code("ru"), -1);
    EXPECT_EQ(get_wl_regv_code("RUS"), -1);
    EXPECT_EQ(get_wl_regv_code("R"), -1);
    EXPECT_EQ(get_wl_regv_code(""), -1);
    EXPECT_EQ(get_wl_regv_code(nullptr), -1);
    EXPECT_EQ(get_wl_regv_code(std::string(300, 'R').c_str()), -1);
}

TEST(WlCountryAndRegrev, GiveTheCodeAndRevisionTheGeneratorWrites) {
    WlCountry iran = WlCountryFor("IR");
    EXPECT_EQ(iran.code, "AR");
    EXPECT_EQ(iran.regrev, 21);
    WlCountry syria = WlCountryFor("SY");
    EXPECT_EQ(syria.code, "BN");
    EXPECT_EQ(syria.regrev, 4);
    WlCountry north_korea = WlCountryFor("KP");
    EXPECT_EQ(north_korea.code, "SA");
    EXPECT_EQ(north_korea.regrev, -1);
    WlCountry japan = WlCountryFor("JP");
    EXPECT_EQ(japan.code, "JP");
    EXPECT_EQ(japan.regrev, 0);
    WlCountry us = WlCountryFor("US");
    EXPECT_EQ(us.code, "US");
    EXPECT_EQ(us.regrev, -1);
}
