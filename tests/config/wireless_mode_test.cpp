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
    return "\nwmode=" + std::to_string(wmode) + "\nieee80211n=" + std::to_string(ieee80211n) +
           "\nrequire_ht=" + std::to_string(require_ht) + "\n";
}

// Writes the record and returns the three mode keys as the file has them, in file order
// (other lines between them dropped).
std::string WrittenModeLines(wlan_mgr_bss_config* bss) {
    wlan_mgr_set_config(bss, "/etc/hostapd.conf");
    const std::string file = sandbox::ReadFile("/etc/hostapd.conf");
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

using WirelessMode = SandboxTest;

TEST_F(WirelessMode, EveryCodeIsWrittenInTheFileCodeAndReadBack) {
    for (const ModeRow& row : kModes) {
        SCOPED_TRACE(testing::Message() << "wmode " << row.wmode << " band " << row.band_type);
        ConfigPtr written = RecordWithMode(row.wmode, row.band_type, "DE", 0);
        EXPECT_EQ(WrittenModeLines(written.get()),
                  FileModeLines(row.file_wmode, row.file_ieee80211n, row.file_require_ht));
        ConfigPtr read = ReadConfig();
        EXPECT_EQ(read->wmode, row.wmode);
        EXPECT_EQ(read->band_type, row.band_type);
    }
}

// Not set leaves the file keys as they were; Japan's channel 14 is written as 11b.
TEST_F(WirelessMode, NotSetAndJapanChannel14) {
    ConfigPtr bss = RecordWithMode(0, 0, "DE", 0);
    bss->ieee80211n = 1;
    bss->require_ht = 0;
    EXPECT_EQ(WrittenModeLines(bss.get()), FileModeLines(0, 1, 0));
    EXPECT_EQ(ReadConfig()->wmode, 0);
    EXPECT_EQ(WrittenModeLines(RecordWithMode(5, 0, "JP", 14).get()), FileModeLines(4, 0, 0));
}

// Unknown file codes read as not set; codes 3 and 6 stay on the 2.4 GHz band; Japan's
// channel 14 reads as 11bg whatever the keys say.
TEST_F(WirelessMode, FileKeysOutsideTheTableAreReadAsTheRadioCanUseThem) {
    const struct {
        const char* file;
        int wmode;
        int band_type;
    } cases[] = {
        {"wmode=0\n", 0, 0},
        {"wmode=7\n", 0, 0},
        {"wmode=3\n", 3, 0},
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
