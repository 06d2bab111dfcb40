#include "host/demo/hotspot_demo.h"

#include <fcntl.h>
#include <signal.h>
#include <stdio.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "host/demo/demo_log.h"
#include "host/demo/method_tour.h"
#include "host/demo/station_tour.h"
#include "tests/support/bus_events.h"
#include "tests/support/sandbox.h"
#include "tests/support/test_host.h"
#include "wlanmgr.h"
#include "wpscli_test.h"

namespace {

constexpr unsigned kWaitMs = 15000;
constexpr const char* kPhoneMac = "02:5e:a1:00:00:01";
constexpr const char* kPhoneIp = "192.0.2.20";
constexpr const char* kLaptopMac = "02:5e:a1:00:00:02";
constexpr const char* kLaptopIp = "192.0.2.21";

// Narration goes here; the standard output of the library's radio scripts does not.
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
void ShowStations(HostapdAgent& agent) {
    StaList* list = agent.GetStaList();
    fprintf(g_out, "  stations: %d\n", list->GetNum());
    list->_Lock();
    int number = 0;
    for (StaListItem* item = list->_GetFirst(); item != nullptr; item = item->GetNext())
        fprintf(g_out, "  %2d. %-17s  %-15s  %s\n", ++number, item->GetMAC(), item->GetIP(),
                item->GetHostName());
    list->_Unlock();
}

// Waits for a poll cycle that counts `count` stations, and lets that cycle finish.
bool WaitForCount(test_host::TestHost& host, const std::string& count) {
    long at = host.WaitForStaNum(count, kWaitMs, host.EventCount());
    if (at >= 0) {
        fprintf(g_out, "  the spy poll reports %s station(s) to the host's callbacks\n",
                count.c_str());
        host.WaitForEvent(HA_WLAN_EVT_STA_NUM, kWaitMs, static_cast<size_t>(at) + 1);
        return true;
    }
    fprintf(g_out, "  !! no station count %s reported\n", count.c_str());
    return false;
}

// The radio scripts print what the radio utility answers; keep that out of the narration.
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

bool StartAp(test_host::TestHost& host) {
    Section("The reference host starts the AP (StartSpy)");
    // The automatic channel choice lands on channel 1, which an LTE report later rules out.
    Sim("autochannel pick 1");
    sandbox::WriteFile("/etc/config/wlan",
                       "config setting 'basic_setting'\n\toption disable_time '600'\n"
                       "\toption disable_time_system '300'\n\toption wisp_status '0'\n"
                       "\toption power_save_status '0'\n\toption power_level '0'\n"
                       "\toption power_level_user '0'\n\toption disable_time_user '600'\n");
    sandbox::WriteFile("/var/lib/misc/dnsmasq.leases", "");
    size_t mark = host.EventCount();
    int started = host.StartSpy();
    // The bus loop took SIGINT and SIGTERM over; this host wants them to end the process.
    signal(SIGINT, SIG_DFL);
    signal(SIGTERM, SIG_DFL);
    if (started != 0 || host.WaitForEvent(HA_WLAN_EVT_STA_NUM, kWaitMs, mark) < 0) {
        Say("  !! the AP did not come up\n");
        return false;
    }
    fprintf(g_out, "  radio up: %s, %s, channel %s\n", Radio("isup") == "1" ? "yes" : "no",
            Radio("ssid").c_str(), Radio("chanspec").c_str());
    fprintf(g_out, "  security: wsec %s, wpa_auth %s; WPS %s\n",
            Chomp(sandbox::Output("wlarm-sim get bss0.wsec")).c_str(),
            Chomp(sandbox::Output("wlarm-sim get bss0.wpa_auth")).c_str(),
            host.agent().IsWPSFeatured() ? "enabled" : "off");
    ShowBroadcasts();
    return true;
}

bool PhoneJoins(test_host::TestHost& host) {
    Section("A phone joins: it associates and completes the key handshake");
    Neighbour(kPhoneMac, kPhoneIp, "pixel-phone");
    Sim(std::string("sta auth ") + kPhoneMac);
    fprintf(g_out, "  wlarm-sim sta auth %s\n", kPhoneMac);
    bool ok = WaitForCount(host, "1");
    ShowBroadcasts();
    ShowStations(host.agent());
    return ok;
}

bool WpsPushButton(test_host::TestHost& host) {
    Section("WPS push button: a laptop gets the network settings");
    const wpscli_test_step exchange[] = {
        {BRCM_WPSCLI_CONTINUE, 200}, {BRCM_WPSCLI_CONTINUE, 200}, {BRCM_WPSCLI_SUCCESS, 0}};
    wpscli_test_set_exchange(exchange, 3);
    size_t mark = host.EventCount();
    Say("  StartWPS(\"00000000\"): a push-button session; the WPS library is scripted to "
        "succeed\n");
    if (host.agent().StartWPS("00000000") != 0) {
        Say("  !! WPS did not start\n");
        return false;
    }
    long at = host.WaitForEvent(HA_WLAN_EVT_WPS, kWaitMs, mark);
    if (at < 0) {
        Say("  !! no WPS outcome\n");
        return false;
    }
    fprintf(g_out, "  host callback: HA_WLAN_EVT_WPS \"%s\", result code %d\n",
            host.Events()[static_cast<size_t>(at)].text.c_str(), host.agent().GetLastWPSResult());
    ShowBroadcasts();

    Neighbour(kLaptopMac, kLaptopIp, "work-laptop");
    Sim(std::string("sta auth ") + kLaptopMac);
    fprintf(g_out, "  wlarm-sim sta auth %s\n", kLaptopMac);
    bool ok = WaitForCount(host, "2");
    ShowBroadcasts();
    ShowStations(host.agent());
    return ok && host.agent().GetLastWPSResult() == WPS_RESULT_SUCCESS;
}

bool MethodTour(test_host::TestHost& host) {
    Section("The web interface's view: the service object's methods on the bus");
    const wpscli_test_step exchange[] = {{BRCM_WPSCLI_CONTINUE, 200}, {BRCM_WPSCLI_SUCCESS, 0}};
    wpscli_test_set_exchange(exchange, 2);
    bool ok = method_tour::Run(g_out, host);
    ShowBroadcasts();
    return ok;
}

bool StationTour() {
    bool ok = station_tour::Run(g_out);
    ShowBroadcasts();
    return ok;
}

bool LteReport(test_host::TestHost& host) {
    bool ok = method_tour::LteReport(g_out, host);
    ShowBroadcasts();
    return ok;
}

bool PhoneLeaves(test_host::TestHost& host) {
    Section("The phone leaves; the host's control interface reports it");
    Sim(std::string("sta del ") + kPhoneMac);
    fprintf(g_out, "  wlarm-sim sta del %s\n", kPhoneMac);
    bool ok = WaitForCount(host, "1");
    std::string msg = std::string("<3>AP-STA-DISCONNECTED ") + kPhoneMac;
    fprintf(g_out, "  HandleMsg(\"%s\")\n", msg.c_str());
    host.HandleMsg(msg);
    ShowBroadcasts();
    ShowStations(host.agent());
    return ok;
}

bool StopAp(test_host::TestHost& host) {
    Section("The host stops the AP (StopSpy)");
    host.StopSpy();
    fprintf(g_out, "  radio up: %s; stations on the radio: %s\n",
            Radio("isup") == "1" ? "yes" : "no",
            Radio("autho_sta_list").empty() ? "none" : Radio("autho_sta_list").c_str());
    ShowBroadcasts();
    ShowStations(host.agent());
    return Radio("isup") == "0";
}

}  // namespace

int run_hotspot_demo() {
    QuietChildren();
    wpscli_test_reset();
    bool ok = true;
    {
        test_host::TestHost host;
        if (!host.Ready()) {
            Say("  !! the host could not install its callbacks\n");
            return 1;
        }
        ok = StartAp(host) && PhoneJoins(host) && WpsPushButton(host) && MethodTour(host) &&
             StationTour() && PhoneLeaves(host) && LteReport(host);
        ok = StopAp(host) && ok;
        Section("The host shuts down (the agent's destructor)");
    }
    Say(ok ? "\nThe simulated hotspot ran as expected.\n"
           : "\nThe simulated hotspot did not run as expected.\n");
    fflush(g_out);
    return ok ? 0 : 1;
}

int run_method_call(const std::string& method, const std::string& json) {
    QuietChildren();
    demo_log_set_output(stderr);
    wpscli_test_reset();
    test_host::TestHost host;
    if (!host.Ready()) return 1;
    sandbox::WriteFile("/etc/config/wlan",
                       "config setting 'basic_setting'\n\toption disable_time '600'\n"
                       "\toption disable_time_system '300'\n\toption wisp_status '0'\n"
                       "\toption power_save_status '0'\n\toption power_level '0'\n"
                       "\toption power_level_user '0'\n\toption disable_time_user '600'\n");
    Neighbour(kPhoneMac, kPhoneIp, "pixel-phone");
    size_t mark = host.EventCount();
    if (host.StartSpy() != 0 || host.WaitForEvent(HA_WLAN_EVT_STA_NUM, kWaitMs, mark) < 0) {
        fprintf(stderr, "The simulated AP did not come up\n");
        return 1;
    }
    signal(SIGINT, SIG_DFL);
    signal(SIGTERM, SIG_DFL);
    Sim(std::string("sta auth ") + kPhoneMac);
    host.WaitForStaNum("1", kWaitMs, mark);
    int status = method_tour::Call(g_out, method, json);
    fflush(g_out);
    host.StopSpy();
    return status;
}
