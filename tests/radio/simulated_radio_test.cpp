#include "tests/radio/radio_test_support.h"

// The generated scripts run on the simulated radio through the platform start script, which
// fails on any radio command that the radio refuses (a wrong subcommand, argument or quoting).
using SimulatedRadio = RadioScriptTest;

namespace {

int StartRadio() {
    // The AP+station script ends by starting the supplicant; a recorder stands in for it.
    sandbox::WriteFile("/tmp/bin/wpa_supplicant", "#!/bin/sh\necho \"$@\" > /tmp/wpas.args\n");
    sandbox::Run("chmod 755 /tmp/bin/wpa_supplicant");
    return sandbox::Run("PATH=/tmp/bin:$PATH /usr/bin/bcmwlan_ap1.sh start >/dev/null");
}

std::string Radio(const std::string& args) { return sandbox::Output("wlarm " + args); }

}  // namespace

TEST_F(SimulatedRadio, ApScriptsBringTheAccessPointUpWithTheSsidUnchanged) {
    const std::string ssid = "My \"AP\" `x` $(id) \\ $HOME";
    struct Case {
        int band_type, wmode, auto_chan_select, channel, wpa;
        const char* ht_capab;
        const char* pairwise;
    };
    const Case cases[] = {
        {0, 5, 1, 0, 2, "[HT40-]", "CCMP"},
        {0, 1, 0, 11, 0, "", ""},
        {0, 3, 5, 0, 2, "[HT40+]", "CCMP TKIP"},
        {1, 6, 0, 36, 2, "[HT40+]", "CCMP"},
        {1, 7, 1, 0, 0, "", ""},
    };
    for (const Case& c : cases) {
        TestBss bss;
        TestBss::Set(bss->ssid, ssid);
        bss->band_type = c.band_type;
        bss->wmode = c.wmode;
        bss->auto_chan_select = c.auto_chan_select;
        bss->channel = c.channel;
        bss->wpa = c.wpa;
        TestBss::Set(bss->ht_capab, c.ht_capab);
        TestBss::Set(bss->wpa_pairwise, c.pairwise);
        GenerateAp(bss);
        ASSERT_EQ(StartRadio(), 0) << "band " << c.band_type << " wmode " << c.wmode;
        EXPECT_EQ(Radio("ssid"), "Current SSID: \"" + ssid + "\"\n");
        if (c.channel != 0) {
            EXPECT_EQ(Radio("chanspec").rfind(std::to_string(c.channel), 0), 0u)
                << Radio("chanspec");
        }
    }
}

TEST_F(SimulatedRadio, ApStaScriptBringsBothInterfacesUp) {
    sandbox::WriteFile("/etc/config/wlan",
                       "config setting 'basic_setting'\n\toption wisp_status '1'\n");
    TestBss bss;
    TestBss::Set(bss->ssid, "Repeater $1");
    GenerateApSta(bss);
    ASSERT_EQ(StartRadio(), 0);
    EXPECT_EQ(Radio("ssid -C 1"), "Current SSID: \"Repeater $1\"\n");
    EXPECT_EQ(sandbox::ReadFile("/tmp/wpas.args"),
              "-B -Dwext -ieth0 -c/etc/config/wpa_supplicant.conf\n");
}
