#include <gtest/gtest.h>
#include <stdlib.h>
#include <string.h>

#include <string>

#include "tests/config/config_test_support.h"

namespace {

ConfigPtr RecordWithMode(int wmode, int band_type, const char* country = "DE", int channel = 0) {
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

// Writes the record and returns the values of wmode, ieee80211n and require_ht as the file has
// them, in file order.
std::string WrittenModeKeys(wlan_mgr_bss_config* bss) {
    wlan_mgr_set_config(bss, "/etc/hostapd.conf");
    const std::string file = sandbox::ReadFile("/etc/hostapd.conf");
    std::string out;
    for (const std::string key : {"\nwmode=", "\nieee80211n=", "\nrequire_ht="}) {
        size_t at = file.find(key);
        if (at == std::string::npos) continue;
        at += key.size();
        out += (out.empty() ? "" : " ") + file.substr(at, file.find('\n', at) - at);
    }
    return out;
}

}  // namespace

using WirelessMode = SandboxTest;

TEST_F(WirelessMode, EveryCodeIsWrittenInTheFileCodeAndReadBack) {
    const struct {
        int wmode, band_type;
        const char* keys;
    } modes[] = {
        {1, 0, "4 0 0"},  // 11b
        {2, 0, "5 0 0"},  // 11g only
        {3, 0, "2 1 1"},  // 11n only, 2.4 GHz
        {3, 1, "1 1 1"},  // 11n only, 5 GHz
        {4, 0, "2 0 0"},  // 11bg
        {5, 0, "2 1 0"},  // 11bgn
        {6, 1, "1 1 0"},  // 11an
        {7, 1, "1 0 0"},  // 11a
    };
    for (const auto& row : modes) {
        SCOPED_TRACE(testing::Message() << "wmode " << row.wmode << " band " << row.band_type);
        EXPECT_EQ(WrittenModeKeys(RecordWithMode(row.wmode, row.band_type).get()), row.keys);
        ConfigPtr read = ReadConfig();
        EXPECT_EQ(read->wmode, row.wmode);
        EXPECT_EQ(read->band_type, row.band_type);
    }
}

// Not set leaves the file keys as they were; Japan's channel 14 is written as 11b.
TEST_F(WirelessMode, NotSetAndJapanChannel14) {
    ConfigPtr bss = RecordWithMode(0, 0);
    bss->ieee80211n = 1;
    bss->require_ht = 0;
    EXPECT_EQ(WrittenModeKeys(bss.get()), "0 1 0");
    EXPECT_EQ(WrittenModeKeys(RecordWithMode(5, 0, "JP", 14).get()), "4 0 0");
}

// Unknown file codes read as not set; codes 3 and 6 stay on the 2.4 GHz band; Japan's
// channel 14 reads as 11bg whatever the keys say.
TEST_F(WirelessMode, FileKeysOutsideTheTableAreReadAsTheRadioCanUseThem) {
    const struct {
        const char* file;
        int wmode, band_type;
    } cases[] = {
        {"wmode=7\n", 0, 0},
        {"wmode=6\n", 6, 0},
        {"country_code=JP\nchannel=14\nwmode=4\n", 4, 0},
        {"country_code=JP\nchannel=14\nwmode=1\nieee80211n=1\n", 4, 1},
    };
    for (const auto& c : cases) {
        ConfigPtr bss = ReadConfigText(c.file);
        EXPECT_EQ(bss->wmode, c.wmode) << c.file;
        EXPECT_EQ(bss->band_type, c.band_type) << c.file;
    }
}
