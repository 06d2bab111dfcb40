// The display's band switch: the AP configuration moves to the other band and the platform is
// asked to restart Wi-Fi.
#include <gtest/gtest.h>
#include <libubus.h>

#include <memory>
#include <string>

#include "hostapd_agent.h"
#include "tests/support/log_capture.h"
#include "tests/support/sandbox.h"
#include "tests/ubus/bus_test_support.h"
#include "ubus_test_hooks.h"

using bus_test::FakeService;

namespace {

constexpr const char* kConf = "/etc/hostapd.conf";

// A configuration as the device keeps it; the comment goes when the file is rewritten.
std::string Config(const std::string& wmode, const std::string& ht_capab) {
    return "# access point\n"
           "ssid=Hotspot\n"
           "country_code=US\n"
           "wmode=" +
           wmode +
           "\n"
           "channel=6\n"
           "auto_chan_select=1\n"
           "auth_algs=1\n"
           "ieee80211n=1\n"
           "ht_capab=" +
           ht_capab +
           "\n"
           "require_ht=0\n"
           "wpa=2\n"
           "wpa_key_mgmt=WPA-PSK\n"
           "wpa_pairwise=CCMP\n"
           "wpa_passphrase=12345678\n";
}

const std::string k24GHz = "2";
const std::string k5GHz = "1";

bool HasLine(const std::string& text, const std::string& line) {
    return ("\n" + text).find("\n" + line + "\n") != std::string::npos;
}

class BandSwitch : public SandboxTest {
protected:
    void SetUp() override {
        SandboxTest::SetUp();
        if (IsSkipped()) return;
        agent_ = new HostapdAgent();
    }
    void TearDown() override {
        delete agent_;
        qcmap_.reset();
    }

    void StartWithPlatform() {
        qcmap_ = std::make_unique<FakeService>("qcmap", "qcmap_method_restart_wlan");
        ASSERT_TRUE(qcmap_->registered());
        ASSERT_EQ(agent_->ConnectUbus(), 0);
    }

    static void Display(const char* json) {
        ASSERT_EQ(ubus_test_send_event("oled_event", json), 0);
    }

    // Calls and events reach the loop thread in the order they were sent: once a call has been
    // answered, every event sent before it has been handled.
    static void WaitForEventsHandled() {
        ASSERT_EQ(ubus_test_call("wlan_object_test", "wlan_get_switch", nullptr, 30000, nullptr),
                  UBUS_STATUS_NOT_SUPPORTED);
    }

    HostapdAgent* agent_ = nullptr;
    std::unique_ptr<FakeService> qcmap_;
};

}  // namespace

TEST_F(BandSwitch, To5GHzRewritesTheConfigurationThenAsksForARestart) {
    sandbox::WriteFile(kConf, Config(k24GHz, "[HT40+][SHORT-GI-20]"));
    StartWithPlatform();
    Display("{\"band_switch\":\"change_to_5G\"}");
    ASSERT_TRUE(qcmap_->WaitForCalls(1));
    EXPECT_EQ(qcmap_->Calls()[0], "{\"reload_driver\":0}");

    std::string conf = sandbox::ReadFile(kConf);
    EXPECT_TRUE(HasLine(conf, "wmode=1")) << conf;  // 5 GHz with 802.11n: 11an
    EXPECT_TRUE(HasLine(conf, "ieee80211n=1")) << conf;
    EXPECT_TRUE(HasLine(conf, "require_ht=0")) << conf;
    EXPECT_TRUE(HasLine(conf, "channel=0")) << conf;
    EXPECT_TRUE(HasLine(conf, "auto_chan_select=2")) << conf;
    EXPECT_TRUE(HasLine(conf, "ht_capab=[HT40+][SHORT-GI-20][HT40-]")) << conf;
    EXPECT_TRUE(HasLine(conf, "ssid=Hotspot")) << conf;
    EXPECT_TRUE(HasLine(conf, "wpa_passphrase=12345678")) << conf;
}

TEST_F(BandSwitch, To2GHzUses11bgnAndKeepsAPresentHt40Minus) {
    sandbox::WriteFile(kConf, Config(k5GHz, "[HT40-][SHORT-GI-20]"));
    StartWithPlatform();
    Display("{\"band_switch\":\"change_to_2_4G\"}");
    ASSERT_TRUE(qcmap_->WaitForCalls(1));

    std::string conf = sandbox::ReadFile(kConf);
    EXPECT_TRUE(HasLine(conf, "wmode=2")) << conf;  // 2.4 GHz with 802.11n: 11bgn
    EXPECT_TRUE(HasLine(conf, "ieee80211n=1")) << conf;
    EXPECT_TRUE(HasLine(conf, "require_ht=0")) << conf;
    EXPECT_TRUE(HasLine(conf, "channel=0")) << conf;
    EXPECT_TRUE(HasLine(conf, "auto_chan_select=2")) << conf;
    EXPECT_TRUE(HasLine(conf, "ht_capab=[HT40-][SHORT-GI-20]")) << conf;
}

TEST_F(BandSwitch, SameBandLeavesTheFileAndThePlatformAlone) {
    std::string before = Config(k5GHz, "[SHORT-GI-20]");
    sandbox::WriteFile(kConf, before);
    StartWithPlatform();
    Display("{\"band_switch\":\"change_to_5G\"}");
    WaitForEventsHandled();
    EXPECT_EQ(sandbox::ReadFile(kConf), before);
    EXPECT_TRUE(qcmap_->Calls().empty());
}

TEST_F(BandSwitch, OtherTextsAndEventsWithoutTheFieldDoNothing) {
    std::string before = Config(k24GHz, "[SHORT-GI-20]");
    sandbox::WriteFile(kConf, before);
    StartWithPlatform();
    Display("{\"band_switch\":\"Change_To_5G\"}");
    Display("{\"band_switch\":\"change_to_5g\"}");
    Display("{\"band\":\"change_to_5G\"}");
    Display("{\"band_switch\":5}");
    WaitForEventsHandled();
    EXPECT_EQ(sandbox::ReadFile(kConf), before);
    EXPECT_TRUE(qcmap_->Calls().empty());
}

TEST_F(BandSwitch, HtCapabilitiesWithoutRoomStayWhole) {
    std::string full(60, 'X');
    sandbox::WriteFile(kConf, Config(k24GHz, full));
    StartWithPlatform();
    Display("{\"band_switch\":\"change_to_5G\"}");
    ASSERT_TRUE(qcmap_->WaitForCalls(1));
    std::string conf = sandbox::ReadFile(kConf);
    EXPECT_TRUE(HasLine(conf, "ht_capab=" + full)) << conf;
    EXPECT_TRUE(HasLine(conf, "wmode=1")) << conf;
    EXPECT_TRUE(logcap::Has(logcap::Level5(), "change_wlan_band: no room for [HT40-] in ht_capab"));
}

TEST_F(BandSwitch, WithoutThePlatformTheSwitchIsOnlyWritten) {
    sandbox::WriteFile(kConf, Config(k24GHz, "[SHORT-GI-20]"));
    ASSERT_EQ(agent_->ConnectUbus(), 0);
    Display("{\"band_switch\":\"change_to_5G\"}");
    WaitForEventsHandled();
    EXPECT_TRUE(HasLine(sandbox::ReadFile(kConf), "wmode=1"));
    EXPECT_TRUE(logcap::Has(logcap::Level5(), "Failed to lookup id of qcmap obj failed"));
}

TEST_F(BandSwitch, EventOnAHostConnectionAfterTheAgentLeftIsOnlyLogged) {
    std::string before = Config(k24GHz, "[SHORT-GI-20]");
    sandbox::WriteFile(kConf, before);
    ubus_context* host_ctx = ubus_connect(nullptr);
    ASSERT_NE(host_ctx, nullptr);
    agent_->SetUbusContext(host_ctx);
    ASSERT_EQ(agent_->ConnectUbus(), 0);
    ASSERT_EQ(agent_->DisconnectUbus(), 0);

    // The subscription stays on the host's connection; its loop still delivers the event.
    Display("{\"band_switch\":\"change_to_5G\"}");
    ubus_handle_event(host_ctx);
    EXPECT_TRUE(logcap::Has(logcap::Errors(), "on_oled_event: shadow agent NULL."));
    EXPECT_TRUE(logcap::Has(logcap::Level5(), "shadow agent is null"));
    EXPECT_EQ(sandbox::ReadFile(kConf), before);
    delete agent_;
    agent_ = nullptr;
    ubus_free(host_ctx);
}
