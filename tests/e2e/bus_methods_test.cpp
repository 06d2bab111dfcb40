// The bus methods served today, called the way the web interface and the modem side call them:
// switch, stations and WPS; the region, 5 GHz and client-MAC queries; the LTE report; and
// hostile text in every string attribute.
#include <stdlib.h>

#include <map>

#include "tests/e2e/bus_peers.h"
#include "tests/support/log_capture.h"
#include "tests/ubus/bus_test_support.h"
#include "ubus/method_groups.h"
#include "wpscli_test.h"

using namespace e2e;
using logcap::User;
using Rows = std::vector<std::pair<std::string, std::string>>;

namespace {

const std::string kInvalid = R"({"result":"-1 : Invalid operation of current WLAN status"})";
const std::string kDone = R"({"result":"0 : Done"})";
const std::string kFailed = R"({"result":"-3 : Operation failed"})";

bool WpsIdle(HostapdAgent& agent) {
    return WaitUntil([&] { return !agent.IsWPSProcedureOn(); });
}

}  // namespace

using SwitchMethods = BusMethodTest;
using RegionLteMethods = BusMethodTest;

TEST_F(RegionLteMethods, StationListRegionListFiveGigahertzAndClientMac) {
    StartAp();
    Expect("wlan_get_sta", "", 0, R"({"STA_LIST":"{\"num\":0,\"list\":[]}"})");
    AddNeighbour("02:00:00:00:00:31", "192.0.2.31", "a\"b\\c");  // a lease name
    sandbox::Run("ip neigh add 192.0.2.32 lladdr 02:00:00:00:00:32 dev br0 nud permanent");
    sandbox::WriteFile("/etc/config/dhcp_var",  // the user's name: quotes and a tab
                       "config hostname_item 'hostname_item'\n"
                       "\toption 02_00_00_00_00_32 'Tab\t\"x\"'\n");
    // On a secured network only stations that completed the key handshake count.
    ASSERT_TRUE(Sim("sta add 02:00:00:00:00:33"));
    ASSERT_TRUE(Sim("sta auth 02:00:00:00:00:31") && Sim("sta auth 02:00:00:00:00:32"));
    ASSERT_GE(host_->WaitForStaNum("2", kEventWaitMs, host_->EventCount()), 0);
    Expect("wlan_get_sta_num", "", 0, R"({"current_sta_num":2})");
    EXPECT_EQ(Broadcasts("current_sta_num").back(), "2");
    // The radio lists the stations in the order they came, the list has the newest first.
    const std::string text =
        R"({"num":2,"list":[{"ip":"192.0.2.32","mac":"02:00:00:00:00:32","name":"Tab\t\"x\"",)"
        R"("onlineTime":""},{"ip":"192.0.2.31","mac":"02:00:00:00:00:31","name":"a\"b\\c",)"
        R"("onlineTime":""}]})";
    Expect("wlan_get_sta", "", 0, "{\"STA_LIST\":" + JsonQuoted(text) + "}");
    // A poll counts what the radio lists; the host's list loses a station only by its leave
    // message (the bus methods read the radio afresh).
    ASSERT_TRUE(Sim("sta del 02:00:00:00:00:31"));
    ASSERT_GE(host_->WaitForStaNum("1", kEventWaitMs, host_->EventCount()), 0);
    EXPECT_EQ(host_->agent().GetStaNum(), 2);

    std::string reply;
    ASSERT_EQ(ui_.Call("wlan_get_region_info_list", "", &reply), 0);
    EXPECT_EQ(reply.rfind(R"({"list_num":101,"list":[{"country":"Albania","cout_code":"AL",)"
                          R"("timezone":-60,"index":28,"start_chan_2G":1,"end_chan_2G":13,)"
                          R"("chan_5G":"36 40 44 48"},{"country":)",
                          0),
              0u);
    EXPECT_NE(reply.find(R"("Zimbabwe","cout_code":"ZW")"), std::string::npos) << "row 101";

    for (const auto& [country, support] : Rows{{"CN", "1"}, {"SY", "0"}, {"", "0"}, {"QQ", "0"}}) {
        WriteApConfig({{"country_code", country}});
        Expect("wlan_get_5G_support", "", 0, "{\"if_support_5G\":" + support + "}");
    }

    const std::string ip = "192.0.2.10";
    ASSERT_TRUE(Sim(std::string("sta auth ") + kStationMac));
    AddNeighbour(kStationMac, ip, "phone-a");
    ASSERT_TRUE(Sim("sta auth 02:aa:bb:cc:dd:ee"));  // no address known yet
    // The session's uci option: a wired client, a trailing blank, an empty value, and none at
    // all (uci prints nothing), which the station without an address must not match.
    // clang-format off
    const Rows options = {{"'" + ip + "'", kStationMac}, {"'192.0.2.99'", ""},
        {"'" + ip + " '", ""}, {"''", ""}, {"", ""}};
    // clang-format on
    for (const auto& [option, mac] : options) {
        sandbox::WriteFile("/etc/config/webserver_var",
                           "config session 'session'\n" +
                               (option.empty() ? "" : "\toption authed_ip " + option + "\n"));
        Expect("wlan_get_client_mac", "", 0, "{\"client_mac\":\"" + mac + "\"}");
    }
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
    Expect("wlan_wps_start", R"({"wps_pin":"12345670"})", 0,
           R"({"wps_event":"wps_starts_successfully"})");
    EXPECT_TRUE(logcap::Has(User(), "WPS required, PIN[12345670]."));
    Expect("wlan_wps_start", R"({"wps_pin":"00000000"})", -1,
           R"({"wps_event":"wps_starts_in_failure"})");  // one at a time
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

// Every string attribute of the served groups' methods, taken from the method table, against
// hostile values: refused with no change, or taken literally; nothing runs, no file changes.
// Accepted LTE reports (uplink 2530 MHz: channels 7 to 13, mask 0x7FDFC0) rule out channel 1 and
// so ask the platform for a restart, which then offers the radio only the allowed channels.
TEST_F(RegionLteMethods, HostileStringAttributesAreRefusedOrTakenLiterally) {
    WriteApConfig(kWps);
    bus_test::FakeService qcmap("qcmap", "qcmap_method_restart_wlan");
    ASSERT_TRUE(qcmap.registered() && Sim("autochannel pick 1"));
    StartAp();
    ASSERT_EQ(atoi(Wlarm("chanspec").c_str()), 1);
    EXPECT_EQ(host_->agent().lte_coex.ap_oper_chan, 1u);
    // clang-format off
    const Rows cases = {{"missing", ""}, {"wrong type", "7"},
        {"over-long", "\"" + std::string(16, 'x') + "\""}, {"line break", "\"rmnet\\ndata0\""},
        {"substitution", "\"$(>/tmp/canary)\""}, {"backquotes", "\"`>/tmp/canary`\""},
        {"separator, quotes", "\"';\\\">/tmp/canary\""}, {"short, line break", "\"\\noff\""},
        {"short, carriage return", "\"123\\r5670\""}, {"short substitution", "\"$(id)\""},
        {"short backquotes", "\"`id`\""}, {"quote", "\"'\""}};
    // clang-format on
    const std::string report = R"("band_info_valid":1,"ul_band_freq":2530,"ul_band_bw":10,)"
                               R"("dl_band_freq":2650,"dl_band_bw":10,"tdd_info_valid":0,)"
                               R"("tdd_info_frame_offset":0,"tdd_info_config":0,)"
                               R"("tdd_info_subframe_config":0,"tdd_info_ul_config":0,)"
                               R"("tdd_info_dl_config":0,"off_period_valid":0,"off_period":0)";
    // Per attribute: the other fields of a valid request, the status of each case, the reply of
    // each status (none for the others).
    const int kBad = UBUS_STATUS_INVALID_ARGUMENT;
    struct Row {
        std::string others;
        std::vector<int> statuses;
        std::map<int, std::string> replies;
    };
    const std::map<std::string, Row> rows = {
        {"switch",
         {"",
          {-1, -1, -2, -2, -2, -2, -2, -2, -2, -2, -2, -2},
          {{-1, kInvalid}, {-2, R"({"result":"-2 : Wrong para"})"}}}},
        {"wps_pin",  // over 8 characters or a line break: a PIN can be neither
         {"",
          {-1, -1, kBad, kBad, kBad, kBad, kBad, kBad, kBad, 0, 0, 0},
          {{-1, R"({"wps_event":"wps_starts_in_failure"})"},
           {0, R"({"wps_event":"wps_starts_successfully"})"}}}},
        {"client_mac", {"", std::vector<int>(cases.size(), 0), {{0, R"({"client_mac":""})"}}}},
        {"wlan_if",
         {report,
          {-1, -1, kBad, kBad, 0, 0, 0, kBad, kBad, 0, 0, 0},
          {{0, R"({"wlan_send_wwan_state":"wlan_send_wwan_state success!"})"}}}}};

    const std::string files = sandbox::Output("cat /etc/hostapd.conf /etc/config/*");
    size_t restarts = 0;
    for (const MethodGroup* group :
         {&switch_method_group, &region_method_group, &lte_method_group}) {
        for (const ubus_method* m = group->rows; m != group->rows + group->count; ++m) {
            for (const blobmsg_policy* p = m->policy; p != m->policy + m->n_policy; ++p) {
                if (p->type != BLOBMSG_TYPE_STRING) continue;
                ASSERT_EQ(rows.count(p->name), 1u) << m->name << " " << p->name;
                const Row& row = rows.at(p->name);
                for (size_t c = 0; c < cases.size(); ++c) {
                    std::string field = "\"" + std::string(p->name) + "\":" + cases[c].second;
                    if (cases[c].second.empty()) field.clear();
                    const char* comma = field.empty() || row.others.empty() ? "" : ",";
                    host_->agent().lte_coex.acs_chan_mask = 0;
                    SCOPED_TRACE(std::string(p->name) + ": " + cases[c].first);
                    const int status = row.statuses[c];
                    Expect(m->name, "{" + field + comma + row.others + "}", status,
                           row.replies.count(status) ? row.replies.at(status) : "");
                    const bool stored = status == 0 && !row.others.empty();
                    EXPECT_EQ(host_->agent().lte_coex.acs_chan_mask, stored ? 0x7FDFC0 : 0);
                    restarts += stored;
                    if (status != 0 || std::string(p->name) != "wps_pin") continue;
                    const std::string pin = cases[c].second.substr(1, cases[c].second.size() - 2);
                    EXPECT_TRUE(logcap::Has(User(), "WPS required, PIN[" + pin + "]."));
                    EXPECT_TRUE(WpsIdle(host_->agent())) << "the worker finds no PIN in the text";
                }
            }
        }
    }
    EXPECT_TRUE(logcap::Has(logcap::Level5(), "Send wwan state index:0 failed!\n"));
    EXPECT_TRUE(qcmap.WaitForCalls(restarts));
    EXPECT_EQ(qcmap.Calls(), std::vector<std::string>(restarts, "{\"reload_driver\":0}"));
    EXPECT_FALSE(sandbox::Exists("/tmp/canary"));
    EXPECT_EQ(sandbox::Output("cat /etc/hostapd.conf /etc/config/*"), files);
    EXPECT_TRUE(host_->agent().GetWlanOn());
    EXPECT_EQ(wpscli_test_count("brcm_wpscli_softap_start_wps"), 0u) << "no PIN in the texts";

    // After the restart the radio may only choose among the allowed channels (7 to 13).
    ASSERT_EQ(host_->StopSpy(), 0);
    StartAp();
    const int channel = atoi(Wlarm("chanspec").c_str());
    EXPECT_TRUE(channel >= 7 && channel <= 13) << channel;
    EXPECT_EQ(host_->agent().lte_coex.ap_oper_chan, static_cast<uint32_t>(channel));
    EXPECT_EQ(qcmap.Calls().size(), restarts) << "no request once the channel is allowed";
}
