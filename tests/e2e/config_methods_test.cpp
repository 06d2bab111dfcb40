// The configuration methods, called over the bus the way the web interface calls them.
#include <algorithm>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "tests/e2e/bus_peers.h"
#include "tests/support/log_capture.h"
#include "ubus/method_groups.h"

namespace {

// Request fields in the order of the method's policy: name and JSON value.
using Fields = std::vector<std::pair<std::string, std::string>>;

const std::string kMacs = "aa:bb:cc:dd:ee:01#DES_LEN:9#tv #2 den#02:11:22:33:44:55#DES_LEN:0##";
// clang-format off
const Fields kRequest = {
    {"ssid", R"("Cafe #1")"}, {"ignore_broadcast_ssid", "1"}, {"region", R"("DE")"},
    {"band_type", "0"}, {"chan", "6"}, {"wmode", "5"}, {"chan_width", "1"}, {"wpa", "3"},
    {"wpa_encrypt", "0"}, {"wpa_key", R"("pass phrase #1")"}, {"mac_filter", "1"},
    {"mac_addrs", '"' + kMacs + '"'}, {"wps", "1"}, {"ap_isolate", "1"}};
// clang-format on
const int kInvalid = UBUS_STATUS_INVALID_ARGUMENT;
constexpr const char* kSetReply = R"({"wlan_setconfig":"wlan_setconfig success!"})";

std::string Quoted(const std::string& text) { return '"' + text + '"'; }

// The request with changes: a new value takes the field's place, an empty one leaves it out.
std::string Json(const Fields& changes = {}) {
    std::string json;
    for (auto [name, value] : kRequest) {
        for (const auto& change : changes)
            if (change.first == name) value = change.second;
        if (!value.empty()) json += (json.empty() ? "\"" : ",\"") + name + "\":" + value;
    }
    return "{" + json + "}";
}

// The AP running, with the security warning feature on and its status store.
class ConfigMethods : public BusMethodTest {
protected:
    void Prepare() override {
        BusMethodTest::Prepare();
        sandbox::WriteFile("/etc/config/product", "config x 'wlanwarn'\n\toption launch '1'\n");
        sandbox::WriteFile("/etc/config/wlanwarn-storage",
                           "config x 'wlanwarn'\n\toption wlan_status '9'\n");
        StartAp();
    }
    // Calls with the request; a raw field (a NUL inside, which JSON cannot carry) goes with it.
    int Call(const char* method, const std::string& json, const std::string& raw_name = "",
             const std::string& raw_text = "") {
        if (!raw_name.empty()) ui_.AddRawField(raw_name, raw_text);
        return ui_.Call(method, json, &reply);
    }
    std::string reply;
};

}  // namespace

// Every field set is read back through the file; a new list for a filter left on reaches the radio.
TEST_F(ConfigMethods, SetThenGetGivesBackEveryField) {
    // Changes to the request; the reply's changes when they differ from the request's; security
    // status; the radio's MAC list after the call.
    // clang-format off
    const std::string macs = "mac aa:bb:cc:dd:ee:01\nmac 02:11:22:33:44:55", other = "mac 02:00:00:00:00:0a";
    const std::vector<std::tuple<Fields, Fields, std::string, std::string>> rows = {
        {{}, {}, "1", ""},
        // Shell syntax is only text to the AP.
        {{{"ssid", R"("$(>/tmp/canary)`x`")"}, {"wpa_key", R"("';\">/tmp/canary")"},
          {"mac_addrs", Quoted("02:11:22:33:44:55#DES_LEN:14#`>/tmp/canary`#")}}, {}, "1",
         "mac 02:11:22:33:44:55"},
        {{{"mac_addrs", Quoted("02:00:00:00:00:0a#DES_LEN:5#a#b#c#")}}, {}, "1", other},
        {{{"ssid", R"("x")"}, {"ignore_broadcast_ssid", "0"}, {"region", R"("US")"}, {"band_type", "1"},
          {"chan", "0"}, {"wmode", "6"}, {"chan_width", "0"}, {"wpa_encrypt", "1"},
          {"wpa_key", Quoted(std::string(64, 'a'))}, {"mac_filter", "0"}, {"mac_addrs", ""},
          {"wps", "0"}, {"ap_isolate", "0"}}, {}, "2", other},
        {{{"wpa_encrypt", "2"}}, {}, "3", other},
        // An unknown cipher keeps the current one.
        {{{"wpa_encrypt", "7"}}, {{"wpa_encrypt", "2"}}, "3", macs},
        {{{"wpa", "0"}, {"wpa_encrypt", "3"}, {"wpa_key", R"("")"}}, {}, "0", macs}};
    // clang-format on
    logcap::Clear();
    for (const auto& [changes, reply_changes, status, radio_macs] : rows) {
        const std::string request = Json(changes);
        ASSERT_EQ(Call("wlan_set_config", request), 0) << request;
        EXPECT_EQ(reply, kSetReply);
        EXPECT_EQ(Call("wlan_get_config", ""), 0);
        EXPECT_EQ(reply, Json(reply_changes.empty() ? changes : reply_changes));
        EXPECT_EQ(sandbox::Output("uci get wlanwarn-storage.wlanwarn.wlan_status"), status + "\n")
            << request;
        EXPECT_EQ(e2e::Wlarm("mac"), radio_macs) << request;
    }
    const std::string conf = sandbox::ReadFile("/etc/hostapd.conf");  // channel 6: secondary below
    EXPECT_TRUE(conf.find("\nht_capab=[HT40-]\n") != std::string::npos &&
                conf.find("\nmax_num_sta=10\n") != std::string::npos);
    EXPECT_EQ(logcap::Level5(), std::vector<std::string>()) << "the reader dropped something";
    EXPECT_FALSE(sandbox::Exists("/tmp/canary"));
}

// Requests the library refuses: no reply, nothing stored.
TEST_F(ConfigMethods, FaultyRequestsAreRefusedWithNothingChanged) {
    const std::string entry = "aa:bb:cc:dd:ee:ff#DES_LEN:";
    // One field changed (an empty value leaves it out); each refusal leaves its level-5 message.
    // clang-format off
    const Fields rows = {
        {"wps", ""}, {"ssid", ""}, {"ssid", Quoted(std::string(33, 's'))}, {"ssid", R"("a\rb")"},
        {"region", R"("QQQ")"}, {"region", R"("u ")"}, {"wpa_key", R"("1234567")"},
        {"wpa_key", R"("12345678\t")"}, {"wpa_key", Quoted(std::string(63, 'a') + "g")},
        {"mac_addrs", R"("aa-bb-cc-dd-ee-ff#DES_LEN:0##")"}, {"mac_addrs", Quoted(entry + "3")},
        {"mac_addrs", R"("aa:bb:cc:dd:ee:ff#DES_LEN")"}, {"mac_addrs", Quoted(entry + "9#abc#")},
        {"mac_addrs", Quoted(entry + "3#abc")}, {"mac_addrs", Quoted(entry + "2#abc#")},
        {"mac_addrs", Quoted(entry + "-1#a#")}, {"mac_addrs", Quoted(entry + "3#a\\nb#")},
        {"mac_addrs", Quoted(entry + "33#" + std::string(33, 'd') + "#")}};
    // Texts with a NUL inside, in place of the field.
    const Fields with_nul = {{"ssid", std::string("a\0wpa=0", 7)}, {"region", std::string("U\0", 2)},
        {"wpa_key", std::string("12345678\0x", 10)}, {"mac_addrs", entry + std::string("1#a#\0", 5)}};
    // clang-format on
    // Every text attribute of the request has its refusals here.
    std::set<std::string> untested;
    const ubus_method& set = config_method_group.rows[1];  // wlan_set_config
    for (const blobmsg_policy* p = set.policy; p != set.policy + set.n_policy; ++p)
        if (p->type == BLOBMSG_TYPE_STRING) untested.insert(p->name);
    const std::string files = sandbox::Output("cat /etc/hostapd.conf /etc/config/*");
    for (const auto& [name, value] : rows) {
        untested.erase(name);
        const size_t logged = logcap::Level5().size();
        EXPECT_EQ(Call("wlan_set_config", Json({{name, value}})), kInvalid) << value;
        EXPECT_EQ(reply, "");
        const std::vector<std::string> lines = logcap::Level5();
        const std::string want = value.empty() ? "index:" : name + " refused";
        EXPECT_TRUE(std::any_of(lines.begin() + logged, lines.end(), [&](const std::string& l) {
            return l.find(want) != std::string::npos;
        })) << value;
    }
    for (const char* index : {"0", "12"})
        EXPECT_TRUE(logcap::Has(logcap::Level5(),
                                "Set Wlan Config index:" + std::string(index) + " failed!\n"));
    for (const auto& [name, text] : with_nul)
        EXPECT_EQ(Call("wlan_set_config", Json({{name, ""}}), name, text), kInvalid);
    EXPECT_EQ(sandbox::Output("cat /etc/hostapd.conf /etc/config/*"), files);
    EXPECT_EQ(untested, std::set<std::string>());
}
