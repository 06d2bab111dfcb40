#include <gtest/gtest.h>
#include <stdlib.h>
#include <string.h>

#include <string>

#include "tests/config/config_test_support.h"

namespace {

// One row of the mode table: internal code and band, and the three file keys that carry it.
struct ModeRow {
    int wmode;
    int band_type;
    int file_wmode;
    int file_ieee80211n;
    int file_require_ht;
};

const ModeRow kModes[] = {
    {1, 0, 4, 0, 0},  // 11b
    {2, 0, 5, 0, 0},  // 11g only
    {3, 0, 2, 1, 1},  // 11n only, 2.4 GHz
    {3, 1, 1, 1, 1},  // 11n only, 5 GHz
    {4, 0, 2, 0, 0},  // 11bg
    {5, 0, 2, 1, 0},  // 11bgn
    {6, 1, 1, 1, 0},  // 11an
    {7, 1, 1, 0, 0},  // 11a
};

ConfigPtr RecordWithMode(int wmode, int band_type, const char* country, int channel) {
    ConfigPtr bss(static_cast<wlan_mgr_bss_config*>(calloc(1, sizeof(wlan_mgr_bss_config))));
    bss->wmode = wmode;
    bss->band_type = band_type;
    bss->ieee80211n = 7;  // file values from an earlier read; the table replaces them
    bss->require_ht = 7;
    strcpy(bss->country, country);
    bss->channel = channel;
    strcpy(bss->deny_mac_file, "/etc/config/hostapd.deny");
    return bss;
}

std::string FileModeLines(int wmode, int ieee80211n, int require_ht) {
    return "\nwmode=" + std::to_string(wmode) + "\n" + "ieee80211n=" + std::to_string(ieee80211n) +
           "\n" + "require_ht=" + std::to_string(require_ht) + "\n";
}

// The three mode keys as the file has them, in file order (other lines between them dropped).
std::string ModeLinesOf(const std::string& file) {
    std::string out = "\n";
    for (const char* key : {"\nwmode=", "\nieee80211n=", "\nrequire_ht="}) {
        size_t at = file.find(key);
        if (at == std::string::npos) continue;
        size_t end = file.find('\n', at + 1);
        out += file.substr(at + 1, end - at);
    }
    return out;
}

}  // namespace

class WirelessMode : public SandboxTest, public ::testing::WithParamInterface<ModeRow> {};

TEST_P(WirelessMode, IsWrittenInTheFileCode) {
    const ModeRow& row = GetParam();
    ConfigPtr bss = RecordWithMode(row.wmode, row.band_type, "DE", 0);
    wlan_mgr_set_config(bss.get(), "/etc/hostapd.conf");
    EXPECT_EQ(ModeLinesOf(sandbox::ReadFile("/etc/hostapd.conf")),
              FileModeLines(row.file_wmode, row.file_ieee80211n, row.file_require_ht));
}

TEST_P(WirelessMode, SurvivesAWriteAndARead) {
    const ModeRow& row = GetParam();
    ConfigPtr written = RecordWithMode(row.wmode, row.band_type, "DE", 0);
    wlan_mgr_set_config(written.get(), "/etc/hostapd.conf");
    ConfigPtr read = ReadConfig();
    EXPECT_EQ(read->wmode, row.wmode);
    EXPECT_EQ(read->band_type, row.band_type);
}

INSTANTIATE_TEST_SUITE_P(EveryCode, WirelessMode, ::testing::ValuesIn(kModes),
                         [](const ::testing::TestParamInfo<ModeRow>& info) {
                             return "Mode" + std::to_string(info.param.wmode) + "Band" +
                                    std::to_string(info.param.band_type);
                         });

using WirelessModeSpecial = SandboxTest;

TEST_F(WirelessModeSpecial, NotSetLeavesTheFileKeysAsTheyWere) {
    ConfigPtr bss = RecordWithMode(0, 0, "DE", 0);
    bss->ieee80211n = 1;
    bss->require_ht = 0;
    wlan_mgr_set_config(bss.get(), "/etc/hostapd.conf");
    EXPECT_EQ(ModeLinesOf(sandbox::ReadFile("/etc/hostapd.conf")), FileModeLines(0, 1, 0));
    EXPECT_EQ(ReadConfig()->wmode, 0);
}

TEST_F(WirelessModeSpecial, JapanChannel14IsWrittenAs11bWhateverTheMode) {
    ConfigPtr bss = RecordWithMode(5, 0, "JP", 14);
    wlan_mgr_set_config(bss.get(), "/etc/hostapd.conf");
    EXPECT_EQ(ModeLinesOf(sandbox::ReadFile("/etc/hostapd.conf")), FileModeLines(4, 0, 0));
}

TEST_F(WirelessModeSpecial, JapanChannel14ReadsAs11bg) {
    ConfigPtr bss = ReadConfigText("country_code=JP\nchannel=14\nwmode=4\n");
    EXPECT_EQ(bss->wmode, 4);
    EXPECT_EQ(bss->band_type, 0);
    EXPECT_EQ(ReadConfigText("country_code=JP\nchannel=14\nwmode=1\nieee80211n=1\n")->wmode, 4);
}
