// The power-save methods called by the web interface, and the key, USB and system events as the
// device's daemons send them; checked by what the host hears and by the uci commands run.
#include <sstream>
#include <string>
#include <vector>

#include "tests/e2e/bus_peers.h"
#include "tests/e2e/e2e_env.h"
#include "tests/support/log_capture.h"
#include "wpscli_test.h"

using PowerEvents = E2eTest;

// "1 _ 600": power_save_status 1, no power_level, disable_time 600, as the methods' JSON.
static std::string PowerSave(const std::string& values) {
    const char* names[] = {"power_save_status", "power_level", "disable_time"};
    std::istringstream in(values);
    std::string json, value;
    for (int i = 0; in >> value; ++i)
        if (value != "_")
            json += (json.empty() ? "\"" : ",\"") + std::string(names[i]) + "\":" + value;
    return "{" + json + "}";
}

TEST_F(PowerEvents, PowerSaveKeyUsbAndSystemEvents) {
    // The uci command, logging each set and commit in short: "ps=1 pl_user=2 dt=0 commit ".
    WriteShellScript("/usr/bin/uci",
                     "[ $1 = get ] || echo \"$*\" | sed 's/set wlan.basic_setting.//;"
                     "s/power_save_status/ps/;s/power_level/pl/;s/disable_time/dt/;s/ wlan//'"
                     " | tr '\\n' ' ' >>/tmp/uci.log\nexec " +
                         sandbox::BuildDir() + "/host/bin/uci \"$@\"\n");
    e2e::WriteApConfig(kWps);
    const wpscli_test_step endless = {BRCM_WPSCLI_CONTINUE, WPSCLI_TEST_UNTIL_ABORT};
    ASSERT_EQ(wpscli_test_set_exchange(&endless, 1), 0);
    MakeHost(test_host::Options{/*host_connection=*/false, /*answer_requests=*/false});
    StartAp();
    e2e::WebUi ui;
    // What the host was asked since mark: "<event type> <payload> ...", counts and WPS texts aside.
    const auto heard_since = [this](size_t mark) {
        std::string heard;
        const std::vector<test_host::HostEvent> events = host_->Events();
        for (size_t i = mark; i < events.size(); ++i)
            if (events[i].type > HA_WLAN_EVT_WPS)
                heard +=
                    std::to_string(events[i].type) + " " + std::to_string(events[i].value) + " ";
        return heard;
    };

    const std::string files = sandbox::Output("cat /etc/hostapd.conf /etc/config/*");
    // Each step: source (k key, u USB, s system), the JSON value of its field (none: no field),
    // ">" and what the host hears ("4 1 " key click, "5 1 " switch on, "6 1 " switch off). Each is
    // followed by a key asking to switch Wi-Fi on, which the host hears only once everything sent
    // before it was handled. Key texts over 127 characters are dropped.
    // clang-format off
    const std::string steps[] = {
        R"(k"power short-click">4 1 )", R"(k"power double-click">)", R"(k"power wps long-press">)",
        R"(k"reset wps short-click">)", R"(k"wps short-click long-press">4 1 )",
        R"(k"wps long-press">)", R"(k"wps long-press">)",
        R"(k"wlan-debug-method wlan-off wlan-on">5 1 )", R"(k"wlan-debug-method wlan-off">6 1 )",
        R"(k"$(touch /tmp/canary)`touch /tmp/canary`;'\" power\nshort-click">4 1 )",
        "k\"power short-click" + std::string(200, ' ') + "\">", "k1>", "k>",
        "u1>5 1 ", "u0>5 1 ", "u2>", R"(s"shutdown wifi;touch /tmp/canary">6 1 )",
        "s\"$(touch /tmp/canary)\">", R"(s"power_bank on">)", R"(k"power short-click">)",
        R"(k"wps short-click">)", "u1>", R"(s"power_bank off, charging">5 1 )",
        R"(k"wps short-click">4 1 )"};
    // clang-format on
    const char* types[] = {"key_detect_type", "usb_event_type", "system_state"};
    const char* fields[] = {"key_detect_msg", "usb_online_state", "state_event"};
    for (const std::string& step : steps) {
        const size_t mark = host_->EventCount(), end = step.rfind('>');
        const size_t source = std::string("kus").find(step[0]);
        const std::string value = step.substr(1, end - 1);
        const std::string json = "{\"" + std::string(fields[source]) + "\":" + value + "}";
        ASSERT_EQ(ui.SendEvent(types[source], value.empty() ? "{}" : json), 0);
        ASSERT_EQ(ui.SendEvent(types[0], R"({"key_detect_msg":"wlan-debug-method wlan-on"})"), 0);
        const std::string heard = step.substr(end + 1) + "5 1 ";
        WaitUntil([&] { return heard_since(mark).size() >= heard.size(); });
        EXPECT_EQ(heard_since(mark), heard) << step;
    }
    // One push-button session, started by the first long press and cancelled by the second.
    EXPECT_TRUE(WaitUntil([] { return e2e::Broadcasts("wps_event").size() >= 2; }));
    EXPECT_EQ(e2e::Broadcasts("wps_event"), (std::vector<std::string>{"wps_start", "wps_failure"}));
    EXPECT_EQ(sandbox::ReadFile("/var/run/QCMAP_StaInterface.log"), "eth0 CONNECTED\n");
    for (const char* line :
         {"USB connected, try to wake up WLAN...", "System shutdown WLAN.",
          "USB disconnected, try to wake up WLAN...", "Power bank on.", "Power bank off."})
        EXPECT_TRUE(logcap::Has(logcap::User(), line)) << line;
    EXPECT_FALSE(sandbox::Exists("/tmp/canary"));
    EXPECT_EQ(sandbox::Output("cat /etc/hostapd.conf /etc/config/*"), files);

    // stored (power_save_status, power_level_user, disable_time_user; "-": no wlan package) |
    // request | status | uci commands | heard ("6 3 ": restart) | idle time taken into use (-1:
    // none) | wlan_get_ps_status afterwards | "off": with Wi-Fi off
    const char* const cases[] = {
        "|\"1\"|-1|||-1|0 0 0",
        "0 0 0|1 2 600|0|ps=1 pl=2 pl_user=2 dt=600 dt_user=600 commit |6 3 |-1|1 2 600",
        "0 0 0|1 0 300|0|ps=1 pl=0 pl_user=0 dt=300 dt_user=300 commit ||300|1 0 300",
        "1 2 300|1|0|pl=2 pl_user=2 dt=300 dt_user=300 commit ||300|1 2 300",
        "1 2 300|1 3|0|pl=3 pl_user=3 dt=300 dt_user=300 commit |6 3 |-1|1 3 300",
        "1 2 300|0 _ 60|0|ps=0 pl=0 dt=0 commit |6 3 |-1|0 2 300",
        "1 0 300|0|0|ps=0 pl=0 dt=0 commit ||0|0 0 300",
        "0 2 300|0 3|0|||-1|0 2 300",
        "1 2 300|2 3|0|||-1|1 2 300",
        // Refused by uci: not committed, the saved changes dropped, not taken into use.
        "-|1 2|-1|ps=1 revert.basic_setting.ps revert.basic_setting.pl "
        "revert.basic_setting.pl_user revert.basic_setting.dt revert.basic_setting.dt_user "
        "||-1|0 0 0",
        "0 0 0|1 2 600|0|ps=1 pl=2 pl_user=2 dt=600 dt_user=600 commit ||-1|1 2 600|off",
    };
    for (const char* row : cases) {
        std::istringstream in(row);
        std::string c[8];
        for (std::string& column : c) std::getline(in, column, '|');
        std::istringstream stored(c[0]);
        std::string conf = "config setting 'basic_setting'\n\toption disable_time_system '600'\n";
        for (const char* key : {"power_save_status", "power_level_user", "disable_time_user"})
            if (std::string value; stored >> value && value != "-")
                conf += "\toption " + std::string(key) + " '" + value + "'\n";
        sandbox::Run("rm -f /etc/config/wlan /tmp/uci.log");
        if (c[0] != "-") sandbox::WriteFile("/etc/config/wlan", conf);
        if (c[7] == "off") {
            ASSERT_EQ(host_->StopSpy(), 0);
        }
        HostapdAgent::SetWlanCountDown(-1);
        const size_t mark = host_->EventCount();
        std::string none = "-", reply;  // wlan_set_ps_status sends no reply
        const int status = ui.Call("wlan_set_ps_status", PowerSave(c[1]), &none);
        const std::string uci = sandbox::ReadFile("/tmp/uci.log");
        const long countdown = HostapdAgent::GetWlanCountDown();
        EXPECT_EQ(ui.Call("wlan_get_ps_status", "", &reply), 0);
        EXPECT_EQ(std::to_string(status) + none + "|" + uci + "|" + heard_since(mark) + "|" +
                      std::to_string(countdown) + "|" + reply,
                  c[2] + "|" + c[3] + "|" + c[4] + "|" + c[5] + "|" + PowerSave(c[6]))
            << row;
    }
}
