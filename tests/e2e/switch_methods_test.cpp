// The switch, station and WPS methods called over the bus as the web interface calls them.
#include "tests/e2e/bus_peers.h"
#include "tests/support/log_capture.h"
#include "tests/ubus/bus_test_support.h"
#include "util/json_string.h"
#include "wpscli_test.h"

using namespace e2e;

using logcap::User;

namespace {

const std::string kInvalid = R"({"result":"-1 : Invalid operation of current WLAN status"})";
const std::string kDone = R"({"result":"0 : Done"})";
const std::string kFailed = R"({"result":"-3 : Operation failed"})";
const std::string kWpsFailed = R"({"wps_event":"wps_starts_in_failure"})";
const std::string kWpsStarted = R"({"wps_event":"wps_starts_successfully"})";

std::string Quoted(const std::string& text) {
    std::string out(text.size() * kJsonEscapedMax + 1, '\0');
    out.resize(json_escape(&out[0], out.size(), text.c_str(), text.size()));
    return '"' + out + '"';
}

bool WpsIdle(HostapdAgent& agent) {
    return bus_test::WaitUntil([&] { return !agent.IsWPSProcedureOn(); });
}

}  // namespace

using SwitchMethods = BusMethodTest;

TEST_F(SwitchMethods, StationListEscapesNames) {
    StartAp();
    Expect("wlan_get_sta", "", 0, R"({"STA_LIST":"{\"num\":0,\"list\":[]}"})");
    AddNeighbour("02:00:00:00:00:31", "192.0.2.31", "a\"b\\c");  // a lease name
    sandbox::Run("ip neigh add 192.0.2.32 lladdr 02:00:00:00:00:32 dev br0 nud permanent");
    sandbox::WriteFile("/etc/config/dhcp_var",  // the user's name: quotes and a tab
                       "config hostname_item 'hostname_item'\n"
                       "\toption 02_00_00_00_00_32 'Tab\t\"x\"'\n");
    ASSERT_TRUE(Sim("sta auth 02:00:00:00:00:31") && Sim("sta auth 02:00:00:00:00:32"));
    ASSERT_GE(host_->WaitForStaNum("2", kEventWaitMs, host_->EventCount()), 0);
    Expect("wlan_get_sta_num", "", 0, R"({"current_sta_num":2})");
    // The radio lists the stations in the order they came, the list has the newest first.
    const std::string text =
        R"({"num":2,"list":[{"ip":"192.0.2.32","mac":"02:00:00:00:00:32","name":"Tab\t\"x\"",)"
        R"("onlineTime":""},{"ip":"192.0.2.31","mac":"02:00:00:00:00:31","name":"a\"b\\c",)"
        R"("onlineTime":""}]})";
    Expect("wlan_get_sta", "", 0, "{\"STA_LIST\":" + Quoted(text) + "}");
}

// The two tests that sit through the full waits (5 s off, 10 s on).
TEST_F(SwitchMethods, HostThatSwitchesTheAgentGetsDoneBothWays) {
    StartAp();
    for (const char* state : {"off", "on"}) {
        const std::string args = std::string(R"({"switch":")") + state + "\"}";
        const std::string other = state[1] == 'n' ? "off" : "on";
        Expect("wlan_set_switch", std::string(R"({"switch":")") + other + "\"}", -1, kInvalid);
        Expect("wlan_set_switch", args, 0, kDone);
        EXPECT_EQ(Wlarm("isup"), state[1] == 'n' ? "1" : "0");
        Expect("wlan_get_switch", "", 0, std::string(R"({"wlan":")") + state + "\"}");
    }
    EXPECT_GE(host_->WaitFor(Event(HA_WLAN_EVT_WLAN_OFF, 1), 0), 0);
    EXPECT_GE(host_->WaitFor(Event(HA_WLAN_EVT_WLAN_ON, 1), 0), 0);
    EXPECT_TRUE(logcap::Has(User(), "WLAN switches successfully."));
    EXPECT_TRUE(logcap::Has(User(), "WLAN switch error : -1"));
}

TEST_F(SwitchMethods, HostThatNeverSwitchesGetsOperationFailed) {
    MakeHost(test_host::Options{/*host_connection=*/false, /*answer_requests=*/false});
    StartAp();
    Expect("wlan_set_switch", R"({"switch":"off"})", -3, kFailed);
    EXPECT_GE(host_->WaitFor(Event(HA_WLAN_EVT_WLAN_OFF, 1), 0), 0);
    ASSERT_EQ(host_->StopSpy(), 0);
    Expect("wlan_set_switch", R"({"switch":"on"})", -3, kFailed);
    EXPECT_TRUE(logcap::Has(User(), "WLAN switch error : -3"));
    EXPECT_FALSE(logcap::Has(User(), "WLAN switches successfully."));
}

TEST_F(SwitchMethods, WpsStartStatusAndCancel) {
    WriteApConfig(kWps);
    const wpscli_test_step endless = {BRCM_WPSCLI_CONTINUE, WPSCLI_TEST_UNTIL_ABORT};
    ASSERT_EQ(wpscli_test_set_exchange(&endless, 1), 0);
    StartAp();
    Expect("wlan_get_wps_status", "", -1, R"({"wps_enabled":1,"wps_running":0,"wps_result":5})");
    Expect("wlan_wps_start", R"({"wps_pin":"12345670"})", 0, kWpsStarted);
    EXPECT_TRUE(logcap::Has(User(), "WPS required, PIN[12345670]."));
    Expect("wlan_wps_start", R"({"wps_pin":"00000000"})", -1, kWpsFailed);  // one at a time
    Expect("wlan_get_wps_status", "", -1, R"({"wps_enabled":1,"wps_running":1,"wps_result":5})");
    Expect("wlan_wps_cancel", "", 0, R"({"wps_event":"wps_cancels_successfully"})");
    ASSERT_TRUE(WpsIdle(host_->agent()));
    Expect("wlan_wps_cancel", "", -1, R"({"wps_event":"wps_cancels_in_failure"})");
    for (const char* line :
         {"WPS starts successfully.", "WPS starts in failure.", "Cancel WPS required.",
          "Cancel WPS successfully.", "Cancel WPS in failure."})
        EXPECT_TRUE(logcap::Has(User(), line)) << line;
    Expect("wlan_last_rpc", "", 0, R"({"wlan_goodbye_event":"Goodbye_WLAN_obj"})");
}
