#include "host/demo/hotspot_demo.h"

#include <fcntl.h>
#include <stdio.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "host/demo/demo_log.h"
#include "host/demo/device.h"
#include "host/demo/method_tour.h"
#include "host/demo/station_tour.h"
#include "host/sandbox/bus_events.h"
#include "host/sandbox/sandbox.h"

namespace {

constexpr int kWaitSeconds = 20;
constexpr const char* kPhoneMac = "02:5e:a1:00:00:01";
constexpr const char* kPhoneIp = "192.0.2.20";
constexpr const char* kLaptopMac = "02:5e:a1:00:00:02";
constexpr const char* kLaptopIp = "192.0.2.21";
constexpr const char* kWlanConfig =
    "config setting 'basic_setting'\n\toption disable_time '600'\n"
    "\toption disable_time_system '300'\n\toption wisp_status '0'\n"
    "\toption power_save_status '0'\n\toption power_level '0'\n"
    "\toption power_level_user '0'\n\toption disable_time_user '600'\n";

// Narration goes here; the standard output of the radio tools the demo runs does not.
FILE* g_out = stdout;

void Say(const char* text) { fprintf(g_out, "%s", text); }

void Section(const std::string& title) { fprintf(g_out, "\n== %s\n", title.c_str()); }

std::string Chomp(std::string text) {
    while (!text.empty() && text.back() == '\n') text.pop_back();
    return text;
}

std::string Radio(const std::string& args) {
    return Chomp(sandbox::Output("wlarm " + args + " 2>/dev/null"));
}

bool Sim(const std::string& args) { return sandbox::Run("wlarm-sim " + args + " >/dev/null") == 0; }

// The station's address in the ARP table and its lease from the DHCP server.
void Neighbour(const std::string& mac, const std::string& ip, const std::string& name) {
    sandbox::Run("ip neigh add " + ip + " lladdr " + mac + " dev br0 nud permanent");
    std::string leases = sandbox::ReadFile("/var/lib/misc/dnsmasq.leases");
    sandbox::WriteFile("/var/lib/misc/dnsmasq.leases",
                       leases + "1700000000 " + mac + " " + ip + " " + name + " *\n");
}

// Prints the bus broadcasts that arrived since the last call. The spy poll repeats the station
// count every cycle; a repeat of the line just printed is left out.
void ShowBroadcasts() {
    static size_t shown = 0;
    static std::string last;
    std::vector<bus_events::Event> events = bus_events::Read();
    if (shown == events.size()) fprintf(g_out, "  (no new broadcast)\n");
    for (; shown < events.size(); ++shown) {
        std::string line = events[shown].type + " '" + events[shown].json + "'";
        if (line != last) fprintf(g_out, "  ubus send %s\n", line.c_str());
        last = line;
    }
}

// What a web client asking for the stations sees.
void ShowStations() { method_tour::Call(g_out, "wlan_get_sta", ""); }

// Waits for a broadcast with this message after the given number of events.
bool WaitForBroadcast(const std::string& json, size_t mark) {
    return device_processes::WaitFor(
        [&] {
            std::vector<bus_events::Event> events = bus_events::Read();
            for (size_t i = mark; i < events.size(); ++i)
                if (events[i].json == json) return true;
            return false;
        },
        kWaitSeconds);
}

// Waits for a station count broadcast after the events seen so far.
bool WaitForCount(const std::string& count, bool narrate = true) {
    const bool seen =
        WaitForBroadcast("{\"current_sta_num\":\"" + count + "\"}", bus_events::Read().size());
    if (!narrate) return seen;
    if (seen)
        fprintf(g_out, "  the spy poll broadcasts %s station(s)\n", count.c_str());
    else
        fprintf(g_out, "  !! no station count %s broadcast\n", count.c_str());
    return seen;
}

// The radio tools print what the radio utility answers; keep that out of the narration.
void QuietChildren() {
    int narration = dup(STDOUT_FILENO);
    FILE* out = narration >= 0 ? fdopen(narration, "w") : nullptr;
    int devnull = open("/dev/null", O_WRONLY | O_CLOEXEC);
    if (out == nullptr || devnull < 0) return;
    fflush(stdout);
    dup2(devnull, STDOUT_FILENO);
    close(devnull);
    setvbuf(out, nullptr, _IOLBF, 0);
    g_out = out;
    demo_log_set_output(out);
}

bool StartAp(demo_device::Device& device) {
    Section("The device starts ubusd and wlanmgrd -f -c /var/run/hostapd-wl0");
    // The automatic channel choice lands on channel 1, which an LTE report later rules out.
    Sim("autochannel pick 1");
    sandbox::WriteFile("/etc/config/wlan", kWlanConfig);
    sandbox::WriteFile("/var/lib/misc/dnsmasq.leases", "");
    if (!device.StartBus() || !device.StartDaemon()) {
        Say("  !! the AP did not come up\n");
        return false;
    }
    fprintf(g_out, "  $ ubus list\n  %s\n", Chomp(sandbox::Output("ubus list")).c_str());
    fprintf(g_out, "  radio up: %s, %s, channel %s\n", Radio("isup") == "1" ? "yes" : "no",
            Radio("ssid").c_str(), Radio("chanspec").c_str());
    fprintf(g_out, "  security: wsec %s, wpa_auth %s\n",
            Chomp(sandbox::Output("wlarm-sim get bss0.wsec")).c_str(),
            Chomp(sandbox::Output("wlarm-sim get bss0.wpa_auth")).c_str());
    ShowBroadcasts();
    return true;
}

bool PhoneJoins() {
    Section("A phone joins: it associates and completes the key handshake");
    Neighbour(kPhoneMac, kPhoneIp, "pixel-phone");
    Sim(std::string("sta auth ") + kPhoneMac);
    fprintf(g_out, "  wlarm-sim sta auth %s\n", kPhoneMac);
    bool ok = WaitForCount("1");
    ShowBroadcasts();
    ShowStations();
    return ok;
}

bool WpsPushButton() {
    Section("WPS push button: a laptop gets the network settings");
    size_t mark = bus_events::Read().size();
    Say("  the web interface starts a push-button session; the WPS library completes it\n");
    if (method_tour::Call(g_out, "wlan_wps_start", R"({"wps_pin":"00000000"})") != 0) {
        Say("  !! WPS did not start\n");
        return false;
    }
    if (!WaitForBroadcast("{\"wps_event\":\"wps_success\"}", mark)) {
        Say("  !! no WPS outcome\n");
        return false;
    }
    ShowBroadcasts();
    method_tour::Call(g_out, "wlan_get_wps_status", "");

    Neighbour(kLaptopMac, kLaptopIp, "work-laptop");
    Sim(std::string("sta auth ") + kLaptopMac);
    fprintf(g_out, "  wlarm-sim sta auth %s\n", kLaptopMac);
    bool ok = WaitForCount("2");
    ShowBroadcasts();
    ShowStations();
    return ok;
}

bool MethodTour() {
    Section("The web interface's view: the service object's methods on the bus");
    bool ok = method_tour::Run(g_out);
    ShowBroadcasts();
    return ok;
}

bool StationTour() {
    bool ok = station_tour::Run(g_out);
    ShowBroadcasts();
    return ok;
}

bool PhoneLeaves(demo_device::Device& device) {
    Section("The phone leaves; the access point daemon's control socket reports it");
    Sim(std::string("sta del ") + kPhoneMac);
    fprintf(g_out, "  wlarm-sim sta del %s\n", kPhoneMac);
    bool ok = WaitForCount("1");
    std::string msg = std::string("<3>AP-STA-DISCONNECTED ") + kPhoneMac;
    fprintf(g_out, "  control socket -> wlanmgrd: \"%s\"\n", msg.c_str());
    size_t mark = bus_events::Read().size();
    device.ControlMessage(msg);
    WaitForBroadcast("{\"current_sta_num\":\"1\"}", mark);
    ShowBroadcasts();
    ShowStations();
    return ok;
}

// The platform restarts Wi-Fi through the host: off and on again, so that the agent, which
// keeps the LTE report, generates a new radio script.
bool LteReport() {
    bool ok = method_tour::LteReport(g_out, [] {
        return method_tour::Call(g_out, "wlan_set_switch", R"({"switch":"off"})") == 0 &&
               method_tour::Call(g_out, "wlan_set_switch", R"({"switch":"on"})") == 0;
    });
    ShowBroadcasts();
    return ok;
}

bool StopAp(demo_device::Device& device) {
    Section("The service manager stops wlanmgrd (SIGTERM)");
    int status = device.StopDaemon();
    fprintf(g_out, "  wlanmgrd exit status %d\n", status);
    fprintf(g_out, "  radio up: %s; stations on the radio: %s\n",
            Radio("isup") == "1" ? "yes" : "no",
            Radio("autho_sta_list").empty() ? "none" : Radio("autho_sta_list").c_str());
    std::string objects = Chomp(sandbox::Output("ubus list"));
    fprintf(g_out, "  objects on the bus: %s\n", objects.empty() ? "none" : objects.c_str());
    ShowBroadcasts();
    return status == 0 && Radio("isup") == "0" && objects.empty();
}

}  // namespace

int run_hotspot_demo() {
    QuietChildren();
    bool ok = true;
    {
        demo_device::Device device(g_out);
        ok = StartAp(device) && PhoneJoins() && WpsPushButton() && MethodTour() && StationTour() &&
             PhoneLeaves(device) && LteReport();
        ok = StopAp(device) && ok;
    }
    Say(ok ? "\nThe simulated hotspot ran as expected.\n"
           : "\nThe simulated hotspot did not run as expected.\n");
    fflush(g_out);
    return ok ? 0 : 1;
}

int run_method_call(const std::string& method, const std::string& json) {
    QuietChildren();
    demo_device::Device device(nullptr);
    sandbox::WriteFile("/etc/config/wlan", kWlanConfig);
    Neighbour(kPhoneMac, kPhoneIp, "pixel-phone");
    if (!device.StartBus() || !device.StartDaemon()) {
        fprintf(stderr, "The simulated AP did not come up\n");
        return 1;
    }
    Sim(std::string("sta auth ") + kPhoneMac);
    WaitForCount("1", false);
    int status = method_tour::Call(g_out, method, json);
    fflush(g_out);
    return status;
}
