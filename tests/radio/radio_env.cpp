#include "tests/radio/radio_env.h"

#include "hostapd_agent.h"
#include "wlan_coex.h"
#include "wpscli_test.h"

namespace radio_env {

namespace {

// A WPA2 access point on fixed channel 6 without WPS or MAC filter.
Settings BaseConf() {
    Settings settings;
    for (const std::string& line :
         Lines("ssid=TestAP\ncountry_code=US\nwmode=2\nieee80211n=1\nrequire_ht=0\nchannel=6\n"
               "auto_chan_select=0\nht_capab=[HT40-]\nauth_algs=1\nwpa=3\nwpa_key_mgmt=WPA-PSK\n"
               "wpa_pairwise=CCMP\nwpa_passphrase=secret123\nwps_state=0\neap_server=0\n"
               "macaddr_acl=0\nmax_num_sta=10\n"))
        settings.emplace_back(line.substr(0, line.find('=')), line.substr(line.find('=') + 1));
    return settings;
}

}  // namespace

void WriteConf(const Settings& changes) { WriteConfFile("/etc/hostapd.conf", BaseConf(), changes); }

void SetStationMode(bool on) {
    if (!sandbox::Exists("/etc/config/wlan"))
        sandbox::WriteFile("/etc/config/wlan", "config basic_setting 'basic_setting'\n");
    std::string value = on ? "1" : "0";
    EXPECT_EQ(
        sandbox::Run("uci set wlan.basic_setting.wisp_status=" + value + " && uci commit wlan"), 0);
    ASSERT_EQ(sandbox::Output("uci get wlan.basic_setting.wisp_status"), value + "\n");
}

std::vector<std::string> WpsCalls() {
    std::vector<std::string> lines;
    wpscli_test_call call;
    for (size_t i = 0; wpscli_test_get_call(i, &call) == 0; ++i) lines.push_back(call.line);
    return lines;
}

}  // namespace radio_env

void RadioAgentTest::Prepare() {
    wpscli_test_reset();
    radio_env::SetStationMode(false);
    agent_ = new HostapdAgent();
    bcm_lte_coex_set_shadow_agent(agent_);
}

void RadioAgentTest::TearDown() {
    if (agent_ == nullptr) return;
    bcm_lte_coex_set_shadow_agent(nullptr);
    delete agent_;  // stops the radio and, when it was enabled, WPS and its worker
    agent_ = nullptr;
    HostapdAgent::StopCountDown();
    wpscli_test_reset();
}
