// Hostile text from every source the library reads: the bus, the configuration file, uci, the
// DHCP leases and the ARP table, the radio's output, the host's control messages and the
// daemons' events. Whatever the text holds, nothing it names runs, no file the library writes
// gains a line, and what the library takes reads back through its own readers unchanged.
#include <pthread.h>
#include <string.h>

#include <algorithm>
#include <functional>
#include <map>
#include <optional>

#include "tests/e2e/bus_peers.h"
#include "tests/support/log_capture.h"
#include "ubus/method_groups.h"
#include "ubus_assistant.h"
#include "util/device_paths.h"
#include "util/shell.h"
#include "util/text.h"
#include "wisp/sta_profile.h"
#include "wlan_config.h"

using namespace e2e;

namespace {

// Every payload would run the canary program (or write /tmp/canary) if it reached a shell.
// clang-format off
const std::vector<std::string> kPayloads = {
    "$(touch /tmp/canary)", "`touch /tmp/canary`", ";canary", "|canary", "&&canary",
    "'$(canary)'", "\"$(canary)\"", "\\`canary`\\", "x\nwpa=0", "%n%s%n%s",
    std::string(200, 'A') + "$(canary)", "\xff\xfe$(canary)\xc3\xa9\xff\xfe\xc3"};
// clang-format on
const char* const kWritten[] = {kHostapdConfPath,    kMacDenyListPath, kApScriptPath,
                                kApStaScriptPath,    kWispProfilePath, kSupplicantConfPath,
                                kMacFilterScriptPath};
constexpr int kNotApplicable = 1000;
const std::string kMac = "02:00:00:00:00:51";

using Files = std::map<std::string, std::optional<std::string>>;

Files Snapshot() {
    Files files;
    for (const char* path : kWritten)
        files[path] = sandbox::Exists(path) ? std::optional(sandbox::ReadFile(path)) : std::nullopt;
    return files;
}

void Restore(const Files& files) {
    for (const auto& [path, text] : files) {
        if (text)
            sandbox::WriteFile(path, *text);
        else
            sandbox::Run("rm -f " + path);
    }
}

size_t Lines(const std::optional<std::string>& text) {
    return text ? std::count(text->begin(), text->end(), '\n') : 0;
}

bool ValidJson(const std::string& json) {
    blob_buf buf = {};
    blob_buf_init(&buf, 0);
    const bool valid = blobmsg_add_json_from_string(&buf, json.c_str());
    blob_buf_free(&buf);
    return valid;
}

// The AP configuration as the library reads it.
struct ApConfig {
    ApConfig() { wlan_mgr_get_config(&bss, kHostapdConfPath); }
    ~ApConfig() { wlan_mgr_free_config(&bss); }
    wlan_mgr_bss_config* bss = nullptr;
};

// One source of text: how the payload gets there and the library uses it (the status of the
// use: 0 taken, anything else refused, kNotApplicable where the source cannot hold the payload),
// and what must read back once it was taken.
struct Source {
    std::string name;
    std::function<int(const std::string&)> use;
    std::function<void(const std::string&)> read_back = nullptr;
    std::string plain = "Plain-123";  // a harmless value: what the files look like after it
};

// Split into parts so that each stays well inside a test's time limit (every AP configuration
// case restarts the AP); sources keep their order within a part.
int PartOf(const std::string& source) {
    if (source == "hostapd.conf ssid" || source == "hostapd.conf wpa_passphrase") return 1;
    if (source.rfind("hostapd.conf ", 0) == 0) return 2;
    return source == "MAC list" || source == "uci product" ? 3 : 0;
}

}  // namespace

class Injection : public BusMethodTest, public ::testing::WithParamInterface<int> {
protected:
    // Restarts the AP as the platform does; a start that fails is the use's outcome, not an error.
    void Restart() {
        host_->StopSpy();
        const size_t mark = host_->EventCount();
        ap_up_ = false;
        if (host_->StartSpy() != 0) return;
        const auto done = [](const test_host::HostEvent& e) {
            return e.type == HA_WLAN_EVT_STA_NUM || e.type == HA_WLAN_EVT_WLAN_OFF;
        };
        const long at = host_->WaitFor(done, kEventWaitMs, mark);
        ap_up_ = at >= 0 && host_->Events()[at].type == HA_WLAN_EVT_STA_NUM;
    }
    bool ap_up_ = false;
    // A key or system event, then a key switching Wi-Fi on, which the host hears only once
    // everything sent before it was handled.
    int SendEvent(const char* type, const char* field, const std::string& payload) {
        const size_t mark = host_->EventCount();
        ui_.AddRawField(field, payload);
        EXPECT_EQ(ui_.SendEvent(type, "{}"), 0);
        EXPECT_EQ(
            ui_.SendEvent("key_detect_type", R"({"key_detect_msg":"wlan-debug-method wlan-on"})"),
            0);
        return host_->WaitFor(Event(HA_WLAN_EVT_WLAN_ON, 1), kEventWaitMs, mark) >= 0 ? 0 : -1;
    }
    // The station list as wlan_get_sta answers it must be valid JSON.
    void StationList() {
        std::string reply;
        EXPECT_EQ(ui_.Call("wlan_get_sta", "", &reply), 0);
        EXPECT_TRUE(ValidJson(Field(reply, "STA_LIST"))) << reply;
    }
};

// Every source of the part, with every payload.
TEST_P(Injection, TextsRunNothing) {
    sandbox::WriteFile("/usr/bin/canary", "#!/bin/sh\ntouch /tmp/canary\n");
    sandbox::WriteFile("/etc/config/product",
                       "config info 'info'\nconfig wlan 'wlan'\nconfig lte 'lte'\n");
    ASSERT_EQ(sandbox::Run("chmod 755 /usr/bin/canary"), 0);
    // The radio lists what /tmp/sta_lines holds before the simulated stations.
    WrapWlarm("case \"$1\" in autho_sta_list|assoclist) cat /tmp/sta_lines 2>/dev/null;; esac\n");
    MakeHost(test_host::Options{/*host_connection=*/false, /*answer_requests=*/false});
    StartAp();
    ASSERT_TRUE(Sim("sta auth " + kMac));
    AddNeighbour(kMac, "192.0.2.51", "phone");
    HostapdAgent& agent = host_->agent();

    std::vector<Source> sources;
    // Bus: the string attributes of the station methods (the other groups' are the bus and
    // configuration method tests' tables).
    // clang-format off
    const std::vector<std::pair<std::string, std::string>> sta_request = {
        {"ssid", "\"Up\""}, {"channel", "6"}, {"sec_type", "2"}, {"ieee8021x_type", "0"},
        {"wpa_key", "\"passphrase1\""}, {"keyid", "1"}, {"authtype", "0"}, {"ip", "\"\""},
        {"submask", "\"\""}, {"gateway", "\"\""}, {"dns1", "\"\""}, {"dns2", "\"\""}};
    // clang-format on
    for (const ubus_method* m = station_method_group.rows;
         m != station_method_group.rows + station_method_group.count; ++m) {
        for (const blobmsg_policy* p = m->policy; p != m->policy + m->n_policy; ++p) {
            if (p->type != BLOBMSG_TYPE_STRING) continue;
            const std::string method = m->name, name = p->name;
            const bool profile = method == "wlan_set_sta_config";
            std::string json;  // a valid request without the attribute
            for (const auto& [field, value] : sta_request)
                if (profile && field != name)
                    json += (json.empty() ? "{\"" : ",\"") + field + "\":" + value;
            json += json.empty() ? "{}" : "}";
            Source source{method + "." + name, [this, method, name, json](const std::string& v) {
                              ui_.AddRawField(name, v);
                              return ui_.Call(method, json);
                          }};
            if (profile && (name == "ssid" || name == "wpa_key"))
                source.read_back = [name](const std::string& v) {
                    pthread_mutex_lock(&UbusAssistant::wlan_conf_lock);
                    current_wireless_band = 0;
                    sta_profiles_load();
                    bool found = false;
                    for (int i = 0; i < current_profile_num; ++i)
                        found = found || (name == "ssid" ? sta_setting_list[i].ssid
                                                         : sta_setting_list[i].wpa_key) == v;
                    pthread_mutex_unlock(&UbusAssistant::wlan_conf_lock);
                    EXPECT_TRUE(found) << "the profile file holds the text";
                    EXPECT_EQ(sandbox::Run("wpa-judge /etc/config/wpa_supplicant.conf /tmp/wj"
                                           " >/dev/null 2>&1"),
                              0)
                        << sandbox::ReadFile(kSupplicantConfPath);
                };
            else if (profile)
                source.plain = "192.0.2.9";
            sources.push_back(source);
        }
    }
    // The configuration file: its texts go into the radio script, which the radio then runs.
    const auto radio_runs_the_file = [this](const std::string&) {
        ApConfig config;
        ASSERT_NE(config.bss, nullptr);
        if (!ap_up_) return;
        EXPECT_EQ(Wlarm("ssid"), "Current SSID: \"" + std::string(config.bss->ssid) + "\"");
        if (config.bss->wpa != 0) {
            EXPECT_EQ(SimGet("bss0.pmk"), config.bss->wpa_passphrase);
        }
    };
    for (const char* key : {"ssid", "wpa_passphrase", "country_code", "ht_capab", "wpa_pairwise"})
        sources.push_back({std::string("hostapd.conf ") + key,
                           [this, key](const std::string& v) {
                               if (v.find('\n') != std::string::npos) return kNotApplicable;
                               WriteApConfig({{key, v}});
                               Restart();
                               return 0;
                           },
                           radio_runs_the_file});
    // The MAC list file: a description and an address, into the MAC filter script.
    sources.push_back({"MAC list",
                       [&agent](const std::string& v) {
                           if (v.find('\n') != std::string::npos) return kNotApplicable;
                           WriteApConfig({{"macaddr_acl", "1"}});
                           sandbox::WriteFile(
                               kMacDenyListPath,
                               "#DESCRIPTION:" + v + "\n02:00:00:00:00:41\n" + v + "\n");
                           ApConfig config;
                           agent.BcmUpdateAcl(config.bss);
                           return 0;
                       },
                       [](const std::string&) {
                           EXPECT_NE(Wlarm("mac").find("mac 02:00:00:00:00:41"), std::string::npos);
                       }});
    // uci: the product's texts that make the default configuration, then the radio script.
    sources.push_back(
        {"uci product",
         [this](const std::string& v) {
             for (const char* option :
                  {"info.ssid_prefix", "lte.imei", "wlan.mac_address", "info.product_region"})
                 sandbox::Run(std::string("uci set product.") + option + "=" +
                              shell_quote(v.c_str()));
             sandbox::Run("uci commit product");
             sandbox::Run("sed -i '/^ssid=/d;/^wpa/d;/^country_code=/d' " +
                          std::string(kHostapdConfPath));
             sandbox::WriteFile(kHostapdWorkingCopyPath, "");  // the image's copy
             logcap::Clear();
             prepare_hostapd_conf(kHostapdConfPath);
             Restart();
             return 0;
         },
         [this, radio_runs_the_file](const std::string& v) {
             ApConfig config;
             ASSERT_NE(config.bss, nullptr);
             EXPECT_TRUE(
                 logcap::Has(logcap::User(), std::string("generate ssid: ") + config.bss->ssid))
                 << "the generated SSID reads back";
             EXPECT_TRUE(logcap::Has(
                 logcap::User(), std::string("generate wpa key: ") + config.bss->wpa_passphrase))
                 << "the generated key reads back";
             EXPECT_TRUE(ap_up_) << "the generated configuration works";
             const std::string key = config.bss->wpa_passphrase;
             EXPECT_TRUE(std::all_of(key.begin(), key.end(), [](char c) {
                 return c >= 0x20 && c < 0x7f;
             })) << "a WPA passphrase is printable ASCII";
             radio_runs_the_file(v);
         }});
    // Host names: the user's name in uci and the DHCP client's name in the leases.
    sources.push_back({"uci host name", [this](const std::string& v) {
                           sandbox::WriteFile("/etc/config/dhcp_var",
                                              "config hostname_item 'hostname_item'\n");
                           sandbox::Run("uci set dhcp_var.hostname_item.02_00_00_00_00_51=" +
                                        shell_quote(v.c_str()));
                           StationList();
                           return 0;
                       }});
    sources.push_back({"lease line", [this](const std::string& v) {
                           sandbox::Run("rm -f /etc/config/dhcp_var");
                           sandbox::WriteFile(
                               kDhcpLeasesPath,
                               "1700000000 " + kMac + " 192.0.2.51 " + v + " 01:" + kMac + "\n");
                           StationList();
                           return 0;
                       }});
    // The ARP table: an interface of that name (where the kernel takes the name) with a station.
    sources.push_back(
        {"ARP device", [&agent](const std::string& v) {
             const std::string dev = shell_quote(v.c_str());
             if (sandbox::Run("ip link add " + dev + " type veth peer name injpeer 2>/dev/null") !=
                 0)
                 return kNotApplicable;
             sandbox::Run("ip link set " + dev + " up && ip neigh add 192.0.2.61 " +
                          "lladdr 02:00:00:00:00:61 dev " + dev + " nud permanent");
             sandbox::WriteFile("/tmp/sta_lines", "autho_sta_list 02:00:00:00:00:61\n");
             agent.UpdateAllStaInfo();
             agent.DropArpCache();
             sandbox::Run("rm /tmp/sta_lines");
             agent.UpdateAllStaInfo();
             sandbox::Run("ip link del " + dev);
             return 0;
         }});
    // The radio's output: station list lines, scan SSIDs, the connected network.
    sources.push_back(
        {"station list",
         [this, &agent](const std::string& v) {
             sandbox::WriteFile("/tmp/sta_lines", "autho_sta_list " + v + "\n");
             agent.UpdateAllStaInfo();
             StationList();
             agent.BcmWLDeauthAll();
             sandbox::Run("rm /tmp/sta_lines");
             return 0;
         },
         [](const std::string&) {
             for (const std::string& call : WlarmCallsOf("deauthenticate"))
                 EXPECT_TRUE(is_mac_text(call.substr(strlen("deauthenticate ")).c_str())) << call;
         }});
    sources.push_back({"scan SSID", [this](const std::string& v) {
                           sandbox::WriteFile("/tmp/report",
                                              "1\n" + v + "\n90\n1\nWPA2-PSK AES\nWPA\n\n");
                           EXPECT_TRUE(Sim("scan load /tmp/report"));
                           std::string reply;
                           const int status = ui_.Call("wlan_get_scan_result", "", &reply);
                           EXPECT_TRUE(ValidJson(Field(reply, "ApList"))) << reply;
                           return status;
                       }});
    sources.push_back({"connected SSID", [this](const std::string& v) {
                           sandbox::WriteFile("/tmp/report", "Connected to 02:00:00:00:00:01\n" +
                                                                 v +
                                                                 "\n55\n1\nWPA2-PSK TKIP\nWPA\n");
                           EXPECT_TRUE(Sim("connected load /tmp/report"));
                           std::string reply;
                           const int status = ui_.Call("wlan_get_connected_info", "", &reply);
                           EXPECT_TRUE(ValidJson(reply)) << reply;
                           return status;
                       }});
    // The host's control messages.
    sources.push_back({"HandleMsg", [this](const std::string& v) {
                           for (const char* event : {"<3>AP-STA-CONNECTED ", "<3>WPS-FAIL ",
                                                     "<3>AP-STA-DISCONNECTED ", ""})
                               host_->HandleMsg(event + v);
                           StationList();
                           return 0;
                       }});
    // The daemons' events.
    sources.push_back({"key event", [this](const std::string& v) {
                           return SendEvent("key_detect_type", "key_detect_msg", v);
                       }});
    sources.push_back({"system event", [this](const std::string& v) {
                           return SendEvent("system_state", "state_event", v);
                       }});

    for (const Source& source : sources) {
        if (PartOf(source.name) != GetParam()) continue;
        const Files before = Snapshot();
        ASSERT_EQ(source.use(source.plain), 0) << source.name;
        const Files plain = Snapshot();
        for (const std::string& payload : kPayloads) {
            SCOPED_TRACE(source.name + ": " + payload.substr(0, 40));
            Restore(before);
            const int status = source.use(payload);
            EXPECT_FALSE(sandbox::Exists("/tmp/canary"));
            sandbox::Run("rm -f /tmp/canary");
            if (status == kNotApplicable) continue;
            const Files after = Snapshot();
            for (const char* path : kWritten)
                EXPECT_LE(Lines(after.at(path)), Lines(plain.at(path))) << path;
            if (status != 0)
                EXPECT_EQ(after, before) << "a refused text changes nothing";
            else if (source.read_back)
                source.read_back(payload);
        }
        Restore(before);
    }
    // Whatever a configuration case left behind, the AP comes back with the files as they were.
    if (!agent.IsRunning()) Restart();
    EXPECT_TRUE(agent.IsRunning());
}

const char* const kParts[] = {"FromTheBusTheRadioTheHostAndEvents",
                              "SsidAndKeyFromTheApConfiguration", "OtherApConfigurationTexts",
                              "MacListAndProductTexts"};
INSTANTIATE_TEST_SUITE_P(E2e, Injection, ::testing::Range(0, 4),
                         [](const auto& info) { return std::string(kParts[info.param]); });
