#include "host/demo/method_tour.h"

extern "C" {
#include <libubox/blobmsg_json.h>
}
#include <libubus.h>
#include <unistd.h>

#include <string>
#include <utility>
#include <vector>

#include "tests/e2e/bus_peers.h"
#include "host/sandbox/bus_events.h"
#include "host/sandbox/device_processes.h"
#include "host/sandbox/sandbox.h"
#include "tests/ubus/bus_test_support.h"

namespace method_tour {
namespace {

constexpr const char* kObject = "wlan_object_test";
constexpr int kWaitSeconds = 20;

// The broadcasts with this message after the first `mark` events.
size_t BroadcastsSince(size_t mark, const std::string& json) {
    std::vector<bus_events::Event> events = bus_events::Read();
    size_t found = 0;
    for (size_t i = mark; i < events.size(); ++i) found += events[i].json == json;
    return found;
}

// The reply as `ubus call` prints it: JSON indented with tabs.
std::string Indented(const std::string& compact) {
    blob_buf buf = {};
    blob_buf_init(&buf, 0);
    std::string text = compact;
    if (blobmsg_add_json_from_string(&buf, compact.c_str())) {
        char* json = blobmsg_format_json_indent(buf.head, true, 0);
        if (json != nullptr) text = json;
        free(json);
    }
    blob_buf_free(&buf);
    return text;
}

int Show(FILE* out, const std::string& method, const std::string& json, const std::string& reply,
         int status) {
    fprintf(out, "$ ubus call %s %s%s\n", kObject, method.c_str(),
            json.empty() ? "" : (" '" + json + "'").c_str());
    if (!reply.empty()) fprintf(out, "%s\n", Indented(reply).c_str());
    if (status != 0) fprintf(out, "Command failed: %s\n", ubus_strerror(status));
    return status;
}

int CallInto(FILE* out, const std::string& method, const std::string& json, std::string* reply) {
    e2e::WebUi web;
    if (!web.Connected()) {
        fprintf(out, "  !! no bus connection\n");
        return UBUS_STATUS_CONNECTION_FAILED;
    }
    int status = web.Call(method, json, reply, kObject);
    return Show(out, method, json, *reply, status);
}

// The value of a top-level field of a compact JSON object, as it is written there.
std::string Value(const std::string& json, const std::string& name) {
    size_t at = json.find("\"" + name + "\":");
    if (at == std::string::npos) return "";
    at += name.size() + 3;
    if (json[at] != '"') return json.substr(at, json.find_first_of(",}", at) - at);
    size_t end = at + 1;
    while (end < json.size() && json[end] != '"') end += json[end] == '\\' ? 2 : 1;
    return json.substr(at, end + 1 - at);
}

// A configuration request that keeps every field of the current configuration but the changed
// ones.
std::string ConfigRequest(const std::string& current,
                          const std::vector<std::pair<std::string, std::string>>& changes) {
    static const char* const kFields[] = {"ssid",        "ignore_broadcast_ssid",
                                          "region",      "band_type",
                                          "chan",        "wmode",
                                          "chan_width",  "wpa",
                                          "wpa_encrypt", "wpa_key",
                                          "mac_filter",  "mac_addrs",
                                          "wps",         "ap_isolate"};
    std::string request;
    for (const char* field : kFields) {
        std::string value = Value(current, field);
        for (const auto& [name, changed] : changes)
            if (name == field) value = changed;
        if (value.empty()) continue;
        request += (request.empty() ? "{\"" : ",\"") + std::string(field) + "\":" + value;
    }
    return request + "}";
}

std::string Chomp(std::string text) {
    while (!text.empty() && text.back() == '\n') text.pop_back();
    return text;
}

std::string Channel() { return Chomp(sandbox::Output("wlarm chanspec 2>/dev/null")); }

bool ConfigurationSteps(FILE* out) {
    fprintf(out, "\n== The web interface reads the configuration and changes it\n");
    std::string before;
    if (CallInto(out, "wlan_get_config", "", &before) != 0) return false;
    const std::string request =
        ConfigRequest(before, {{"ssid", "\"Cafe Corner\""},
                               {"wpa_key", "\"correct horse battery\""},
                               {"mac_filter", "1"},
                               {"mac_addrs",
                                "\"02:5e:a1:00:00:01#DES_LEN:11#pixel-phone#"
                                "02:5e:a1:00:00:02#DES_LEN:14#work #2 laptop#\""}});
    std::string reply;
    if (CallInto(out, "wlan_set_config", request, &reply) != 0) return false;
    std::string after;
    bool ok = CallInto(out, "wlan_get_config", "", &after) == 0 &&
              Value(after, "ssid") == "\"Cafe Corner\"" && Value(after, "mac_filter") == "1";
    fprintf(out, "  the new settings take effect at the next radio start\n");
    return ok;
}

bool PowerSaveSteps(FILE* out) {
    fprintf(out, "\n== Power save on: Wi-Fi switches itself off after 10 idle minutes\n");
    std::string reply;
    CallInto(out, "wlan_get_ps_status", "", &reply);
    size_t mark = bus_events::Read().size();
    // The method sends no reply; Wi-Fi stays on, with a new idle time.
    CallInto(out, "wlan_set_ps_status",
             R"({"power_save_status":1,"power_level":0,"disable_time":600})", &reply);
    CallInto(out, "wlan_get_ps_status", "", &reply);
    usleep(500 * 1000);
    bool restarted = BroadcastsSince(mark, R"({"wlan_switch":"off"})") != 0;
    return Value(reply, "disable_time") == "600" && !restarted;
}

bool WpsKeySteps(FILE* out) {
    fprintf(out, "\n== The WPS key is held down: a push-button session starts\n");
    size_t mark = bus_events::Read().size();
    const std::string command =
        R"(ubus send key_detect_type '{"key_detect_msg":"wps long-press"}')";
    fprintf(out, "$ %s\n", command.c_str());
    sandbox::Run(command);
    bool done = device_processes::WaitFor(
        [mark] { return BroadcastsSince(mark, R"({"wps_event":"wps_success"})") != 0; },
        kWaitSeconds);
    fprintf(out, "  %s\n", done ? "the session ends: wps_success" : "!! no WPS outcome");
    std::string reply;
    CallInto(out, "wlan_get_wps_status", "", &reply);
    return done;
}

bool StationAndRegionSteps(FILE* out) {
    fprintf(out, "\n== Stations, region and client queries\n");
    std::string reply;
    bool ok = CallInto(out, "wlan_get_sta", "", &reply) == 0;
    ok = CallInto(out, "wlan_get_sta_num", "", &reply) == 0 && ok;

    e2e::WebUi web;
    int status = web.Call("wlan_get_region_info_list", "", &reply, kObject);
    // 101 rows: the size and the first row are enough to show the shape.
    size_t first_end = reply.find("},");
    std::string shortened = reply;
    if (first_end != std::string::npos) shortened = reply.substr(0, first_end + 1) + "]}";
    Show(out, "wlan_get_region_info_list", "", shortened, status);
    if (first_end != std::string::npos) fprintf(out, "  (first row shown)\n");
    ok = status == 0 && ok;

    ok = CallInto(out, "wlan_get_5G_support", "", &reply) == 0 && ok;
    sandbox::WriteFile("/etc/config/webserver_var",
                       "config session 'session'\n\toption authed_ip '192.0.2.20'\n");
    ok = CallInto(out, "wlan_get_client_mac", "", &reply) == 0 && ok;
    return ok;
}

}  // namespace

// Uplink at 2530 MHz disturbs the low 2.4 GHz channels: the report rules them out and asks the
// platform's mobile-AP manager to restart Wi-Fi, which then picks a channel outside them.
bool LteReport(FILE* out, const std::function<bool()>& restart) {
    fprintf(out, "\n== The modem reports an LTE uplink at 2530 MHz\n");
    fprintf(out, "  AP channel now: %s\n", Channel().c_str());
    bus_test::FakeService qcmap("qcmap", "qcmap_method_restart_wlan");
    std::string reply;
    int status = CallInto(out, "wlan_send_wwan_state",
                          R"({"wlan_if":"wlan0","band_info_valid":1,"ul_band_freq":2530,)"
                          R"("ul_band_bw":10,"dl_band_freq":2650,"dl_band_bw":10,)"
                          R"("tdd_info_valid":0,"tdd_info_frame_offset":0,"tdd_info_config":0,)"
                          R"("tdd_info_subframe_config":0,"tdd_info_ul_config":0,)"
                          R"("tdd_info_dl_config":0,"off_period_valid":0,"off_period":0})",
                          &reply);
    if (status != 0 || !qcmap.WaitForCalls(1)) {
        fprintf(out, "  !! no restart was asked for\n");
        return false;
    }
    fprintf(out, "  qcmap_method_restart_wlan called: the platform restarts Wi-Fi\n");
    if (!restart()) {
        fprintf(out, "  !! Wi-Fi did not come back\n");
        return false;
    }
    std::string channel = Channel();
    fprintf(out, "  AP channel after the restart: %s\n", channel.c_str());
    return !channel.empty() && channel.rfind("1 ", 0) != 0;
}

int Call(FILE* out, const std::string& method, const std::string& json, std::string* reply) {
    std::string ignored;
    return CallInto(out, method, json, reply != nullptr ? reply : &ignored);
}

bool Run(FILE* out) {
    bool ok = ConfigurationSteps(out);
    ok = PowerSaveSteps(out) && ok;
    ok = WpsKeySteps(out) && ok;
    return StationAndRegionSteps(out) && ok;
}

}  // namespace method_tour
