// The region, 5 GHz and client-MAC queries and the LTE report, called over the bus the way the
// web interface and the modem side call them, and hostile text in every served string attribute.
#include <stdlib.h>
#include <string.h>

#include <map>
#include <sstream>

#include "tests/e2e/bus_peers.h"
#include "tests/support/log_capture.h"
#include "tests/ubus/bus_test_support.h"
#include "ubus/method_groups.h"
#include "wpscli_test.h"

using namespace e2e;

using Rows = std::vector<std::pair<std::string, std::string>>;
using RegionLteMethods = BusMethodTest;

TEST_F(RegionLteMethods, RegionListFiveGigahertzAndClientMac) {
    StartAp();
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
          {{-1, R"({"result":"-1 : Invalid operation of current WLAN status"})"},
           {-2, R"({"result":"-2 : Wrong para"})"}}}},
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
    size_t checked = 0, restarts = 0;
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
                    ++checked;
                    if (status != 0 || std::string(p->name) != "wps_pin") continue;
                    const std::string pin = cases[c].second.substr(1, cases[c].second.size() - 2);
                    EXPECT_TRUE(logcap::Has(logcap::User(), "WPS required, PIN[" + pin + "]."));
                    EXPECT_TRUE(bus_test::WaitUntil([&] {
                        return !host_->agent().IsWPSProcedureOn();
                    })) << "the worker finds no PIN in the text";
                }
            }
        }
    }
    EXPECT_EQ(checked, rows.size() * cases.size());
    EXPECT_TRUE(logcap::Has(logcap::Level5(), "Send wwan state index:0 failed!\n"));
    EXPECT_TRUE(qcmap.WaitForCalls(restarts));
    EXPECT_EQ(qcmap.Calls(), std::vector<std::string>(restarts, "{\"reload_driver\":0}"));
    EXPECT_FALSE(sandbox::Exists("/tmp/canary"));
    EXPECT_EQ(sandbox::Output("cat /etc/hostapd.conf /etc/config/*"), files);
    EXPECT_TRUE(host_->agent().GetWlanOn());
    EXPECT_EQ(wpscli_test_count("brcm_wpscli_softap_start_wps"), 0u) << "no PIN in the texts";

    RestartAp();
    const std::string script = sandbox::ReadFile("/usr/bin/bcmApSet.sh");
    size_t at = script.find("autochannel 1 -c ");
    ASSERT_NE(at, std::string::npos) << script;
    at += strlen("autochannel 1 -c ");
    std::istringstream list(script.substr(at, script.find('\n', at) - at));
    int offered = 0;
    for (std::string item; std::getline(list, item, ','); ++offered) {
        const int offer = atoi(item.c_str());  // "11u" -> 11
        EXPECT_TRUE(offer >= 7 && offer <= 13) << "channel " << item << " in " << script;
    }
    EXPECT_GT(offered, 0);
    const int channel = atoi(Wlarm("chanspec").c_str());
    EXPECT_GE(channel, 7);
    EXPECT_EQ(host_->agent().lte_coex.ap_oper_chan, static_cast<uint32_t>(channel));
    EXPECT_EQ(qcmap.Calls().size(), restarts) << "no request once the channel is allowed";
}
