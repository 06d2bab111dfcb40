#include "tests/e2e/e2e_env.h"

#include "host/sandbox/bus_events.h"
#include "wpscli_test.h"

namespace e2e {
namespace {

// clang-format off
const ConfSettings kApConfig = {
    {"ssid", kSsid}, {"ignore_broadcast_ssid", "0"}, {"country_code", "US"}, {"wmode", "2"},
    {"ieee80211n", "1"}, {"require_ht", "0"}, {"channel", "0"}, {"auto_chan_select", "1"},
    {"ht_capab", "[HT40-]"}, {"auth_algs", "1"}, {"wpa", "3"}, {"wpa_key_mgmt", "WPA-PSK"},
    {"wpa_pairwise", "CCMP"}, {"wpa_passphrase", kPassphrase}, {"wps_state", "0"},
    {"eap_server", "0"}, {"macaddr_acl", "0"}, {"max_num_sta", "10"}};
// clang-format on

}  // namespace

void WriteApConfig(const ConfSettings& changes) {
    WriteConfFile("/etc/hostapd.conf", kApConfig, changes);
}

void WrapWlarm(const std::string& body) {
    ASSERT_EQ(sandbox::Run("mv /usr/bin/wlarm /usr/bin/wlarm.sim"), 0);
    sandbox::WriteFile("/usr/bin/wlarm", "#!/bin/sh\n" + body + "exec /usr/bin/wlarm.sim \"$@\"\n");
    ASSERT_EQ(sandbox::Run("chmod 755 /usr/bin/wlarm"), 0);
}

void AddNeighbour(const std::string& mac, const std::string& ip, const std::string& name) {
    EXPECT_EQ(sandbox::Run("ip neigh add " + ip + " lladdr " + mac + " dev " + sandbox::kBridge +
                           " nud permanent"),
              0);
    const char* leases = "/var/lib/misc/dnsmasq.leases";
    sandbox::WriteFile(leases, sandbox::ReadFile(leases) + "1700000000 " + mac + " " + ip + " " +
                                   name + " 01:" + mac + "\n");
}

std::vector<std::string> Broadcasts(const std::string& key) {
    std::vector<std::string> values;
    const std::string prefix = "{\"" + key + "\":\"";
    for (const bus_events::Event& event : bus_events::Read()) {
        size_t end = event.json.find('"', prefix.size());
        if (event.type == "wlan_event" && event.json.rfind(prefix, 0) == 0 &&
            end != std::string::npos)
            values.push_back(event.json.substr(prefix.size(), end - prefix.size()));
    }
    return values;
}

}  // namespace e2e

void E2eTest::Prepare() {
    wpscli_test_reset();
    e2e::WriteApConfig();
    sandbox::WriteFile("/etc/config/wlan",
                       "config setting 'basic_setting'\n\toption disable_time '120'\n"
                       "\toption disable_time_system '600'\n\toption wisp_status '0'\n");
    sandbox::WriteFile("/etc/config/hostapd.deny", "");
    // The AP+station script ends by starting the supplicant; a recorder stands in for it.
    sandbox::WriteFile("/usr/bin/wpa_supplicant",
                       "#!/bin/sh\necho \"$*\" >> /tmp/wpa_supplicant.calls\n");
    sandbox::Run("chmod 755 /usr/bin/wpa_supplicant");
}

void E2eTest::TearDown() {
    host_.reset();
    HostapdAgent::StopCountDown();
    wpscli_test_reset();
}

test_host::TestHost& E2eTest::MakeHost(const test_host::Options& options) {
    host_.reset();
    host_.reset(new test_host::TestHost(options));
    EXPECT_TRUE(host_->Ready());
    return *host_;
}

void E2eTest::StartAp() {
    if (!host_) MakeHost();
    size_t mark = host_->EventCount();
    ASSERT_EQ(host_->StartSpy(), 0);
    ASSERT_GE(host_->WaitForEvent(HA_WLAN_EVT_STA_NUM, e2e::kEventWaitMs, mark), 0)
        << "the spy thread never reported a station count";
}
