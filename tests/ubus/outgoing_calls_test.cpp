// Calls to other services' objects: the Wi-Fi restart request to the platform's "qcmap" and the
// goodbye call to a host's "wlan_object"; the display's band switch, which moves the AP
// configuration to the other band and asks the platform for a restart.
#include <gtest/gtest.h>
#include <libubus.h>

#include <memory>
#include <string>
#include <vector>

#include "hostapd_agent.h"
#include "tests/support/log_capture.h"
#include "tests/support/sandbox.h"
#include "tests/ubus/bus_test_support.h"
#include "ubus_assistant.h"
#include "ubus_test_hooks.h"

using bus_test::FakeService;

namespace {

using OutgoingCalls = bus_test::AgentTest;

const char* const kRestartMessage = "{\"reload_driver\":0}";

constexpr const char* kConf = "/etc/hostapd.conf";

// A configuration as the device keeps it; the comment goes when the file is rewritten.
std::string Config(const std::string& wmode, const std::string& ht_capab) {
    return "# access point\nssid=Hotspot\ncountry_code=US\nwmode=" + wmode +
           "\nchannel=6\nauto_chan_select=1\nauth_algs=1\nieee80211n=1\nht_capab=" + ht_capab +
           "\nrequire_ht=0\nwpa=2\nwpa_key_mgmt=WPA-PSK\nwpa_pairwise=CCMP\n"
           "wpa_passphrase=12345678\n";
}

// wmode in the file: 2.4 GHz with 802.11n is 11bgn (2), 5 GHz with 802.11n is 11an (1).
const std::string k24GHz = "2", k5GHz = "1";

bool HasLine(const std::string& text, const std::string& line) {
    return ("\n" + text).find("\n" + line + "\n") != std::string::npos;
}

class BandSwitch : public bus_test::AgentTest {
protected:
    void TearDown() override {
        AgentTest::TearDown();
        qcmap_.reset();
    }

    void StartWithPlatform() {
        qcmap_ = std::make_unique<FakeService>("qcmap", "qcmap_method_restart_wlan");
        ASSERT_TRUE(qcmap_->registered());
        ASSERT_EQ(agent_->ConnectUbus(), 0);
    }

    static void Display(const std::string& json) {
        ASSERT_EQ(ubus_test_send_event("oled_event", json.c_str()), 0);
    }

    // Calls and events reach the loop thread in the order they were sent: once a call has been
    // answered, every event sent before it has been handled.
    static void WaitForEventsHandled() {
        ASSERT_EQ(ubus_test_call("wlan_object_test", "wlan_get_switch", nullptr, 30000, nullptr),
                  0);
    }

    std::unique_ptr<FakeService> qcmap_;
};

}  // namespace

// On an own connection the loop thread makes the calls that host threads ask for (an LTE
// report that the host passes on, its goodbye).
TEST_F(OutgoingCalls, CallsFromAHostThreadAreMadeByTheLoopThread) {
    FakeService qcmap("qcmap", "qcmap_method_restart_wlan");
    FakeService host("wlan_object", "wlan_last_rpc");
    ASSERT_TRUE(qcmap.registered() && host.registered());
    StartOwnLoop();
    EXPECT_EQ(ubus_restart_wlan(), 0);
    agent_->GetUbusAssistant()->LastRpc();
    ASSERT_TRUE(qcmap.WaitForCalls(1));
    ASSERT_TRUE(host.WaitForCalls(1));
    EXPECT_EQ(qcmap.Calls(), std::vector<std::string>{kRestartMessage});
    EXPECT_EQ(host.Calls(), std::vector<std::string>{"{}"});
    EXPECT_EQ(_ubus_ctx, agent_->GetUbusContext());
}

// Without a loop the goodbye call is made at once, on the caller's thread.
TEST_F(OutgoingCalls, OnAHostConnectionTheGoodbyeIsMadeAtOnce) {
    FakeService host("wlan_object", "wlan_last_rpc");
    ASSERT_TRUE(host.registered());
    UbusAssistant assistant(agent_, UseHostConnection());
    assistant.LastRpc();
    EXPECT_EQ(host.Calls(), std::vector<std::string>{"{}"});
}

// "[HT40-]" is added unless present or there is no room for it; the rest of the file stays.
TEST_F(BandSwitch, SwitchRewritesTheConfigurationForTheOtherBandThenAsksForARestart) {
    StartWithPlatform();
    const std::string full(60, 'X');
    const struct {
        std::string wmode, ht_capab, event, new_wmode, new_ht_capab;
    } kSwitches[] = {
        {k24GHz, "[HT40+][SHORT-GI-20]", "change_to_5G", k5GHz, "[HT40+][SHORT-GI-20][HT40-]"},
        {k5GHz, "[HT40-][SHORT-GI-20]", "change_to_2_4G", k24GHz, "[HT40-][SHORT-GI-20]"},
        {k24GHz, full, "change_to_5G", k5GHz, full}};
    for (size_t i = 0; i < sizeof(kSwitches) / sizeof(kSwitches[0]); ++i) {
        const auto& to = kSwitches[i];
        SCOPED_TRACE(to.event + " " + to.ht_capab);
        sandbox::WriteFile(kConf, Config(to.wmode, to.ht_capab));
        Display("{\"band_switch\":\"" + to.event + "\"}");
        ASSERT_TRUE(qcmap_->WaitForCalls(i + 1));
        EXPECT_EQ(qcmap_->Calls()[i], kRestartMessage);
        std::string conf = sandbox::ReadFile(kConf);
        for (const std::string& line : std::vector<std::string>{
                 "wmode=" + to.new_wmode, "ieee80211n=1", "require_ht=0", "channel=0",
                 "auto_chan_select=2", "ht_capab=" + to.new_ht_capab, "ssid=Hotspot"})
            EXPECT_TRUE(HasLine(conf, line)) << line << " in\n" << conf;
    }
    EXPECT_TRUE(logcap::Has(logcap::Level5(), "change_wlan_band: no room for [HT40-] in ht_capab"));
}

// The same band, other texts (letter case too) and events without the field leave the file
// and the platform alone; without the platform a switch is only written.
TEST_F(BandSwitch, EventsThatNeedNoSwitchLeaveTheFileAndThePlatformAlone) {
    std::string before = Config(k24GHz, "[SHORT-GI-20]");
    sandbox::WriteFile(kConf, before);
    StartWithPlatform();
    for (const char* json :
         {"{\"band_switch\":\"change_to_2_4G\"}", "{\"band_switch\":\"Change_To_5G\"}",
          "{\"band\":\"change_to_5G\"}", "{\"band_switch\":5}"})
        Display(json);
    WaitForEventsHandled();
    EXPECT_EQ(sandbox::ReadFile(kConf), before);
    EXPECT_TRUE(qcmap_->Calls().empty());

    qcmap_.reset();
    Display("{\"band_switch\":\"change_to_5G\"}");
    WaitForEventsHandled();
    EXPECT_TRUE(HasLine(sandbox::ReadFile(kConf), "wmode=1"));
    EXPECT_TRUE(logcap::Has(logcap::Level5(), "Failed to lookup id of qcmap obj failed"));
}
