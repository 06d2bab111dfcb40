// wlanmgrd as the device runs it: its own process on a shared bus, driven by the web
// interface's calls, key events and the access point daemon's control messages, then stopped
// with SIGTERM; and, in this process, the requests it makes of the library's events.
#include <sys/prctl.h>

#include <filesystem>
#include <sstream>
#include <string>

#include "daemon/events.h"
#include "host/sandbox/bus_events.h"
#include "host/sandbox/device_processes.h"
#include "tests/support/sandbox.h"
#include "tests/ubus/bus_test_support.h"
#include "wlanmgr.h"

namespace {

using namespace device_processes;

constexpr const char* kCtrl = "/var/run/hostapd-wl0";
constexpr const char* kBus = "/var/run/ubus.sock";
constexpr const char* kLteReport =
    R"('{"wlan_if":"wlan0","band_info_valid":1,"ul_band_freq":2530,"ul_band_bw":10,)"
    R"("dl_band_freq":2650,"dl_band_bw":10,"tdd_info_valid":0,"tdd_info_frame_offset":0,)"
    R"("tdd_info_config":0,"tdd_info_subframe_config":0,"tdd_info_ul_config":0,)"
    R"("tdd_info_dl_config":0,"off_period_valid":0,"off_period":0}')";
constexpr const char* kPhone = "02:5e:a1:00:00:01";

// This process's children other than `except`, by name, from each thread's list of children.
std::string ChildrenBut(pid_t except) {
    std::string found;
    for (const auto& task : std::filesystem::directory_iterator("/proc/self/task")) {
        const std::string list = task.path().string() + "/children";
        if (!sandbox::Exists(list)) return "(no " + list + ": the kernel lacks it)";
        std::istringstream children(sandbox::ReadFile(list));
        for (pid_t pid; children >> pid;)
            if (pid != except) found += sandbox::ReadFile("/proc/" + std::to_string(pid) + "/comm");
    }
    return found;
}

bool Radio() { return sandbox::Output("wlarm isup 2>/dev/null") == "1\n"; }

std::string LastSwitch() {
    std::string last;
    for (const bus_events::Event& event : bus_events::Read())
        if (event.json.find("wlan_switch") != std::string::npos) last = event.json;
    return last;
}

size_t Count(const std::string& json) {
    size_t n = 0;
    for (const bus_events::Event& event : bus_events::Read()) n += event.json == json;
    return n;
}

class Wlanmgrd : public SandboxTest {
protected:
    void SetUp() override {
        SandboxTest::SetUp();
        if (IsSkipped()) return;
        std::string samples = sandbox::SourceDir() + "/host/sample/";
        sandbox::WriteFile("/etc/default_config/AR6004_hostapd.conf",
                           sandbox::ReadFile(samples + "AR6004_hostapd.conf"));
        sandbox::WriteFile("/etc/config/product", sandbox::ReadFile(samples + "product"));
        sandbox::WriteFile("/etc/config/wlan",
                           "config setting 'basic_setting'\n\toption disable_time '600'\n"
                           "\toption disable_time_system '300'\n\toption wisp_status '0'\n");
        sandbox::WriteFile("/etc/config/hostapd.deny", "");
        sandbox::WriteFile("/var/lib/misc/dnsmasq.leases", "");
        sandbox::Run("wlarm-sim autochannel pick 1 >/dev/null");
        // Orphans of the daemon come to this process, so none can escape the check.
        prctl(PR_SET_CHILD_SUBREAPER, 1);
    }
    void TearDown() override {
        if (bus_ > 0) {
            kill(bus_, SIGTERM);
            WaitExit(bus_);
        }
        prctl(PR_SET_CHILD_SUBREAPER, 0);
    }
    void StartBus() {
        bus_ = SpawnLogged({"/usr/bin/ubusd"}, "/var/log/ubusd.log");
        ASSERT_TRUE(WaitFor([] { return sandbox::Exists("/var/run/ubus.sock"); }));
    }
    pid_t bus_ = -1;
};

// The agent's own connection, or the daemon's given to the agent.
struct Bus {
    const char* name;
    const char* option;
    std::string object;
};

void PrintTo(const Bus& bus, std::ostream* out) { *out << bus.name; }

class WlanmgrdOn : public Wlanmgrd, public testing::WithParamInterface<Bus> {};

TEST_P(WlanmgrdOn, AnswersItsEventsAndLeavesNothingBehindOnSigterm) {
    StartBus();
    // A checkout under /tmp stays visible there in the sandbox; only what is new counts.
    const std::string tmp_before = sandbox::Output("ls /tmp");
    CtrlSocket hostapd(kCtrl);
    ASSERT_TRUE(hostapd.bound());
    std::vector<std::string> args = {WLANMGRD_PATH, "-f", "-c", kCtrl};
    if (GetParam().option[0] != '\0') args.insert(args.end(), {GetParam().option, kBus});
    pid_t daemon = SpawnLogged(args, "/var/log/wlanmgrd.log");
    ASSERT_GT(daemon, 0);
    const std::string object = GetParam().object;
    ASSERT_TRUE(WaitFor([&] { return sandbox::Output("ubus list") == object + "\n"; }))
        << sandbox::ReadFile("/var/log/wlanmgrd.log");
    ASSERT_TRUE(WaitFor([] { return LastSwitch() == "{\"wlan_switch\":\"on\"}"; }));

    // Control messages reach the agent: a station joins, and a firmware error restarts Wi-Fi.
    ASSERT_TRUE(hostapd.Attached());
    hostapd.Send(std::string("<3>AP-STA-CONNECTED ") + kPhone);
    EXPECT_TRUE(WaitFor([] { return Count("{\"current_sta_num\":\"1\"}") > 0; }));
    size_t ups = Count("{\"wlan_switch\":\"on\"}");
    hostapd.Send("<3>AP-FW-ERROR");
    EXPECT_TRUE(WaitFor([&] { return Count("{\"wlan_switch\":\"on\"}") == ups + 1; }))
        << "no restart after the firmware error";

    // The web interface switches Wi-Fi off (the reply depends on how fast the radio stops);
    // the power key's click switches it on again.
    sandbox::Run("ubus call " + object + " wlan_set_switch '{\"switch\":\"off\"}' 2>&1");
    EXPECT_TRUE(WaitFor([] { return !Radio(); })) << sandbox::ReadFile("/var/log/wlanmgrd.log");
    ASSERT_EQ(
        sandbox::Run("ubus send key_detect_type '{\"key_detect_msg\":\"power short-click\"}'"), 0);
    EXPECT_TRUE(WaitFor(Radio)) << "the key click did not switch Wi-Fi on";
    // The broadcast ends the start; the LTE report below needs the channel it learns.
    EXPECT_TRUE(WaitFor([] { return LastSwitch() == "{\"wlan_switch\":\"on\"}"; }));

    {  // An LTE uplink beside channel 1 asks the platform, another process, to restart Wi-Fi.
        bus_test::FakeService qcmap("qcmap", "qcmap_method_restart_wlan");
        sandbox::Run("ubus call " + object + " wlan_send_wwan_state " + kLteReport);
        EXPECT_TRUE(qcmap.WaitForCalls(1));
    }

    ASSERT_EQ(kill(daemon, SIGTERM), 0);
    EXPECT_EQ(WaitExit(daemon), 0) << sandbox::ReadFile("/var/log/wlanmgrd.log");
    EXPECT_EQ(sandbox::Output("ubus list"), "") << "the object stayed on the bus";
    EXPECT_FALSE(Radio());
    EXPECT_EQ(LastSwitch(), "{\"wlan_switch\":\"off\"}");
    EXPECT_EQ(sandbox::Output("ls /var/run/ubus.sock.peers"), "") << "sockets left behind";
    EXPECT_EQ(sandbox::Output("ls /tmp"), tmp_before) << "files left behind";
    EXPECT_EQ(ChildrenBut(bus_), "") << "a child of the daemon outlived it";
}

INSTANTIATE_TEST_SUITE_P(, WlanmgrdOn,
                         testing::Values(Bus{"AgentsConnection", "", "wlan_object_test"},
                                         Bus{"DaemonsConnection", "-s", "wlan_object"}),
                         [](const testing::TestParamInfo<Bus>& info) { return info.param.name; });

TEST_F(Wlanmgrd, StartFailuresEndWithTheirReason) {
    // A bus socket with no bus daemon behind it, for the agent's connection and the daemon's.
    sandbox::WriteFile(kBus, "");
    const std::vector<std::string> own = {WLANMGRD_PATH, "-f"};
    const std::vector<std::string> given = {WLANMGRD_PATH, "-f", "-s", kBus};
    for (const std::vector<std::string>& args : {own, given}) {
        EXPECT_EQ(WaitExit(SpawnLogged(args, "/var/log/wlanmgrd.log")), 1) << args.size();
        EXPECT_NE(sandbox::ReadFile("/var/log/wlanmgrd.log")
                      .find("cannot start: no bus at /var/run/ubus.sock"),
                  std::string::npos)
            << sandbox::ReadFile("/var/log/wlanmgrd.log");
    }
    EXPECT_FALSE(Radio()) << "the radio stayed up";

    EXPECT_EQ(WaitExit(SpawnLogged({WLANMGRD_PATH, "-x"}, "/var/log/wlanmgrd.log")), 2);
}

}  // namespace

// The library's events that the daemon answers, each with the one request it queues.
TEST(WlanmgrdEvents, QueueTheirRequestAndNoOther) {
    ASSERT_TRUE(wlanmgrd::InstallEventCallbacks());
    const struct {
        ha_wlan_event_type type;
        intptr_t data;
        const char* request;  // "" for none
    } cases[] = {
        {HA_WLAN_EVT_WLAN_ON, 1, "switch Wi-Fi on"},
        {HA_WLAN_EVT_WLAN_OFF, 1, "switch Wi-Fi off"},
        {HA_WLAN_EVT_AUTO_DOWN, 1, "switch Wi-Fi off"},
        {HA_WLAN_EVT_WLAN_OFF, 3, "restart Wi-Fi"},
        {HA_WLAN_EVT_KEY_CLICK, 1, "key click: toggle Wi-Fi"},
        {HA_WLAN_EVT_WLAN_OFF, 2, ""},
        {HA_WLAN_EVT_STA_NUM, 0, ""},
    };
    for (const auto& c : cases) {
        HostapdAgent::InvokeEventCbs(c.type, reinterpret_cast<void*>(c.data));
        wlanmgrd::Request request;
        std::string queued;
        while (wlanmgrd::TakeRequest(&request)) queued += wlanmgrd::RequestName(request);
        EXPECT_EQ(queued, c.request) << "event " << c.type;
    }
    wlanmgrd::RemoveEventCallbacks();
}

TEST_F(Wlanmgrd, KeyClickStartsAStoppedAgentAndStopsAStartedOne) {
    HostapdAgent agent;
    wlanmgrd::CarryOut(&agent, wlanmgrd::Request::kToggle);
    EXPECT_TRUE(agent.IsStarted());
    wlanmgrd::CarryOut(&agent, wlanmgrd::Request::kToggle);
    EXPECT_FALSE(agent.IsStarted() || agent.IsRunning());
}
