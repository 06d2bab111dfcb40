#include "host/demo/station_tour.h"

extern "C" {
#include <libubox/blobmsg_json.h>
}
#include <fcntl.h>
#include <unistd.h>

#include <string>

#include "host/demo/method_tour.h"
#include "host/sandbox/sandbox.h"

namespace station_tour {
namespace {

constexpr const char* kUpstream = "Harbour Lane";
constexpr const char* kSupplicantConf = "/etc/config/wpa_supplicant.conf";
constexpr const char* kProfileFile = "/etc/config/wisp_profile";
constexpr const char* kSupplicantCalls = "/tmp/wpa_supplicant.calls";
constexpr const char* kStaInterfaceLog = "/var/run/QCMAP_StaInterface.log";

// One access point block of the radio's scan report: SSID, signal quality, an unused number,
// the WPA text, the security class and a closing line.
std::string Ap(const std::string& ssid, int quality, const std::string& wpa,
               const std::string& cls) {
    return ssid + "\n" + std::to_string(quality) + "\n1\n" + wpa + "\n" + cls + "\n\n";
}

// What the radio finds around the hotspot: the upstream network heard twice, a hidden network,
// a guest network with quotes in its name, a mixed WPA/WPA2 office and an old WEP one.
std::string ScanReport() {
    return "6\n" + Ap(kUpstream, 45, "WPA2-PSK AES", "WPA") +
           Ap("Joe's \"Guest\" Wi-Fi", 35, "", "NONE") + Ap("", 90, "WPA2-PSK AES", "WPA") +
           Ap(kUpstream, 82, "WPA2-PSK AES", "WPA") + Ap("Office", 65, "WPA/WPA2-PSK", "WPA") +
           Ap("Library", 8, "", "WEP");
}

// The list the web interface gets: one item per network, the strongest first, the hidden one
// left out, the quotes escaped for JSON.
constexpr const char* kExpectedList =
    R"({"apList":[{"ssid":"Harbour Lane","security":5,"signal":4},)"
    R"({"ssid":"Office","security":6,"signal":3},)"
    R"({"ssid":"Joe's \"Guest\" Wi-Fi","security":0,"signal":2},)"
    R"({"ssid":"Library","security":1,"signal":0}]})";

// The join request: WPA2 with AES (sec_type 5) and a fixed address on the upstream network.
constexpr const char* kJoinRequest =
    R"({"ssid":"Harbour Lane","channel":6,"sec_type":5,"ieee8021x_type":0,)"
    R"("wpa_key":"tide \"and\" harbour","keyid":1,"authtype":0,"ip":"192.168.8.50",)"
    R"("submask":"255.255.255.0","gateway":"192.168.8.1","dns1":"192.168.8.1","dns2":"9.9.9.9"})";

std::string Chomp(std::string text) {
    while (!text.empty() && text.back() == '\n') text.pop_back();
    return text;
}

bool Contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

// Prints a command line and what it prints, as a shell session would show them.
std::string Shell(FILE* out, const std::string& command) {
    const std::string output = sandbox::Output(command + " 2>&1");
    fprintf(out, "$ %s\n%s", command.c_str(), output.c_str());
    return output;
}

// Makes a call as method_tour does. What the library's commands write on the standard error
// during it is shown after the call, marked, instead of running into the narration.
int Call(FILE* out, const std::string& method, const std::string& json,
         std::string* reply = nullptr) {
    constexpr const char* kCapture = "/tmp/station_tour.stderr";
    fflush(stderr);
    const int saved = dup(STDERR_FILENO);
    const int capture = open(kCapture, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    const bool captured = saved >= 0 && capture >= 0 && dup2(capture, STDERR_FILENO) >= 0;
    if (capture >= 0) close(capture);
    const int status = method_tour::Call(out, method, json, reply);
    if (saved >= 0) {
        fflush(stderr);
        dup2(saved, STDERR_FILENO);
        close(saved);
    }
    if (!captured) return status;
    const std::string said = sandbox::ReadFile(kCapture);
    for (size_t at = 0, end; at < said.size(); at = end + 1) {
        end = said.find('\n', at);
        if (end == std::string::npos) end = said.size();
        fprintf(out, "  stderr: %s\n", said.substr(at, end - at).c_str());
    }
    return status;
}

// The networks of a scan reply, one a line.
void ShowList(FILE* out, const std::string& reply) {
    blob_buf buf = {};
    blob_buf_init(&buf, 0);
    const blobmsg_policy list_policy = {"ApList", BLOBMSG_TYPE_STRING};
    blob_attr* list = nullptr;
    if (blobmsg_add_json_from_string(&buf, reply.c_str()))
        blobmsg_parse(&list_policy, 1, &list, blob_data(buf.head), blob_len(buf.head));
    blob_buf items = {};
    blob_buf_init(&items, 0);
    const blobmsg_policy items_policy = {"apList", BLOBMSG_TYPE_ARRAY};
    blob_attr* array = nullptr;
    if (list != nullptr && blobmsg_add_json_from_string(&items, blobmsg_get_string(list)))
        blobmsg_parse(&items_policy, 1, &array, blob_data(items.head), blob_len(items.head));
    enum { kSsid, kSecurity, kSignal, kFields };
    const blobmsg_policy item_policy[kFields] = {{"ssid", BLOBMSG_TYPE_STRING},
                                                 {"security", BLOBMSG_TYPE_INT32},
                                                 {"signal", BLOBMSG_TYPE_INT32}};
    blob_attr* item = nullptr;
    size_t left = 0;
    int number = 0;
    if (array != nullptr) {
        blobmsg_for_each_attr(item, array, left) {
            blob_attr* field[kFields] = {nullptr};
            blobmsg_parse(item_policy, kFields, field, blobmsg_data(item), blobmsg_data_len(item));
            if (field[kSsid] == nullptr || field[kSecurity] == nullptr || field[kSignal] == nullptr)
                continue;
            fprintf(out, "  %d. %-22s security %d, signal %d of 4\n", ++number,
                    blobmsg_get_string(field[kSsid]), blobmsg_get_u32(field[kSecurity]),
                    blobmsg_get_u32(field[kSignal]));
        }
    }
    blob_buf_free(&items);
    blob_buf_free(&buf);
}

bool Scan(FILE* out) {
    fprintf(out, "\n== Station mode: the web interface looks for upstream networks\n");
    sandbox::WriteFile("/tmp/scan_report", ScanReport());
    fprintf(out, "  the radio hears 6 access points: %s twice, one hidden, one with quotes\n",
            kUpstream);
    if (sandbox::Run("wlarm-sim scan load /tmp/scan_report >/dev/null") != 0) {
        fprintf(out, "  !! the scan report could not be loaded\n");
        return false;
    }
    std::string reply;
    if (Call(out, "wlan_get_scan_result", "", &reply) != 0) return false;
    fprintf(out,
            "  (the first scan: no earlier results to keep, no supplicant to pause yet)\n"
            "  the list as the web interface shows it: duplicates merged, strongest first,\n"
            "  the hidden network left out\n");
    ShowList(out, reply);
    // The list is a JSON text inside the reply's ApList string.
    std::string expected;
    for (const char* p = kExpectedList; *p != '\0'; ++p) {
        if (*p == '"' || *p == '\\') expected += '\\';
        expected += *p;
    }
    return reply == "{\"ApList\":\"" + expected + "\"}";
}

bool Join(FILE* out) {
    fprintf(out, "\n== The user joins %s (WPA2) with a fixed address\n", kUpstream);
    fprintf(out, "  no profile is saved yet: this one is the first\n");
    if (Call(out, "wlan_set_sta_config", kJoinRequest) != 0) return false;
    const std::string conf = Shell(out, std::string("cat ") + kSupplicantConf);
    const std::string profiles = Shell(out, std::string("cat ") + kProfileFile);
    const std::string calls = Shell(out, std::string("cat ") + kSupplicantCalls);
    const std::string running = Chomp(sandbox::Output("pidof wpa_supplicant"));
    fprintf(out, "  wpa_supplicant %s\n",
            running.empty() ? "is not running" : ("runs as process " + running).c_str());
    fprintf(out, "  (the simulator's supplicant has the real one read the file first: %s)\n",
            Contains(calls, "refused") ? "it refused it" : "it read every network");
    return Contains(conf, "\tssid=\"Harbour Lane\"\n") &&
           Contains(conf, "\tpsk=\"tide \"and\" harbour\"\n") && Contains(conf, "\tpriority=1\n") &&
           Contains(profiles, "Harbour Lane\n6\n5\n0\ntide \"and\" harbour\n1\n0\n\n") &&
           calls == "-B -Dwext -ieth0 -c/etc/config/wpa_supplicant.conf\n" && !running.empty();
}

bool ConnectedInfo(FILE* out) {
    fprintf(out, "\n== The station side is associated: the web interface asks where\n");
    sandbox::WriteFile("/tmp/connected_report", std::string("Connected to 02:5e:b0:00:00:07\n") +
                                                    kUpstream + "\n82\n1\nWPA2-PSK AES\nWPA\n");
    if (sandbox::Run("wlarm-sim connected load /tmp/connected_report >/dev/null") != 0) {
        fprintf(out, "  !! the connection report could not be loaded\n");
        return false;
    }
    std::string reply;
    return Call(out, "wlan_get_connected_info", "", &reply) == 0 &&
           reply == R"({"ssid":"Harbour Lane","security":5,"signal":4})";
}

bool StaticIp(FILE* out) {
    fprintf(out, "\n== The fixed address of %s goes to the platform\n", kUpstream);
    if (Call(out, "wlan_set_static_ip_config", R"({"ssid":"Harbour Lane"})") != 0) return false;
    const std::string options = Shell(out, "uci show wlan.basic_setting | grep wisp_ap_");
    // The platform's station interface is updated by a queued job.
    for (int i = 0; i < 50 && !sandbox::Exists(kStaInterfaceLog); ++i) usleep(100 * 1000);
    const std::string update = sandbox::Exists(kStaInterfaceLog)
                                   ? Chomp(sandbox::ReadFile(kStaInterfaceLog))
                                   : std::string();
    fprintf(out, "  QCMAP_StaInterface %s\n",
            update.empty() ? "was not called" : (update + " (the station interface)").c_str());
    bool ok = update == "eth0 CONNECTED";
    for (const char* option : {"static_ip='192.168.8.50'", "submask='255.255.255.0'",
                               "gateway='192.168.8.1'", "dns1='192.168.8.1'", "dns2='9.9.9.9'"})
        ok = Contains(options, std::string("wlan.basic_setting.wisp_ap_") + option + "\n") && ok;
    return ok;
}

}  // namespace

bool Run(FILE* out) {
    // The simulator's supplicant checks its file with the real one and keeps running.
    if (sandbox::Run("cp /usr/bin/wpa_supplicant-sim /usr/bin/wpa_supplicant") != 0) {
        fprintf(out, "  !! the simulated supplicant could not be installed\n");
        return false;
    }
    bool ok = Scan(out);
    ok = Join(out) && ok;
    ok = ConnectedInfo(out) && ok;
    ok = StaticIp(out) && ok;
    sandbox::Run("for p in $(pidof wpa_supplicant); do kill -9 $p; done");
    return ok;
}

}  // namespace station_tour
