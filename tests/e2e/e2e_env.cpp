#include "tests/e2e/e2e_env.h"

#include "host/sandbox/bus_events.h"
#include "wpscli_test.h"

namespace e2e {

void WriteApConfig(const ConfSettings& changes) {
    ConfSettings all = {{"ssid", kSsid}, {"channel", "0"}, {"auto_chan_select", "1"}};
    all.emplace_back("wpa_passphrase", kPassphrase);
    all.insert(all.end(), changes.begin(), changes.end());
    WriteConfFile("/etc/hostapd.conf", kWpa2ApConf, all);
}

void WrapWlarm(const std::string& body) {
    ASSERT_EQ(sandbox::Run("mv /usr/bin/wlarm /usr/bin/wlarm.sim"), 0);
    ASSERT_TRUE(WriteShellScript("/usr/bin/wlarm", body + "exec /usr/bin/wlarm.sim \"$@\"\n"));
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
    InstallRecorder("wpa_supplicant");
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
