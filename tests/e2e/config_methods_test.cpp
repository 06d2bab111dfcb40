// The configuration methods, called over the bus the way the web interface calls them.
extern "C" {
#include <libubox/blobmsg_json.h>
}

#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "tests/e2e/e2e_env.h"
#include "tests/support/bus_connect.h"
#include "tests/support/log_capture.h"
#include "ubus/method_groups.h"
#include "wlanmgr.h"

using ConfigMethods = E2eTest;

namespace {

// Request fields in the order of the method's policy: name and JSON value.
using Fields = std::vector<std::pair<std::string, std::string>>;

const std::string kMacs = R"(aa:bb:cc:dd:ee:01#DES_LEN:9#tv #2 den#02:11:22:33:44:55#DES_LEN:0##)";
const Fields kRequest = {{"ssid", R"("Cafe #1")"},
                         {"ignore_broadcast_ssid", "1"},
                         {"region", R"("DE")"},
                         {"band_type", "0"},
                         {"chan", "6"},
                         {"wmode", "5"},
                         {"chan_width", "1"},
                         {"wpa", "3"},
                         {"wpa_encrypt", "0"},
                         {"wpa_key", R"("pass phrase #1")"},
                         {"mac_filter", "1"},
                         {"mac_addrs", '"' + kMacs + '"'},
                         {"wps", "1"},
                         {"ap_isolate", "1"}};
const int kInvalid = UBUS_STATUS_INVALID_ARGUMENT;

// The request with changes applied: a field takes the new value in its place, an empty value
// leaves it out.
std::string Json(const Fields& changes = {}) {
    std::string json;
    for (auto [name, value] : kRequest) {
        for (const auto& change : changes)
            if (change.first == name) value = change.second;
        if (!value.empty()) json += (json.empty() ? "\"" : ",\"") + name + "\":" + value;
    }
    return "{" + json + "}";
}

// The reply as compact JSON, with "/" unescaped as the requests write it.
void CollectReply(ubus_request* req, int, blob_attr* msg) {
    char* json = blobmsg_format_json(msg, true);
    auto* reply = static_cast<std::string*>(req->priv);
    for (const char* c = json; c != nullptr && *c != '\0'; ++c)
        if (c[0] != '\\' || c[1] != '/') *reply += *c;
    free(json);
}

// The web interface. Call can add one string field with raw bytes (a NUL inside, which JSON
// text cannot carry to the bus).
struct WebUi {
    ubus_context* ctx = test_bus::Connect();
    blob_buf buf = {};
    ~WebUi() {
        if (ctx != nullptr) ubus_free(ctx);
        blob_buf_free(&buf);
    }
    int Call(const char* method, const std::string& json, std::string* reply,
             const std::string& raw_name = "", const std::string& raw_text = "") {
        reply->clear();
        uint32_t id = 0;
        blob_buf_init(&buf, 0);
        EXPECT_TRUE(json.empty() || blobmsg_add_json_from_string(&buf, json.c_str())) << json;
        if (!raw_name.empty())
            blobmsg_add_field(&buf, BLOBMSG_TYPE_STRING, raw_name.c_str(), raw_text.c_str(),
                              static_cast<unsigned>(raw_text.size() + 1));
        if (ctx == nullptr || ubus_lookup_id(ctx, "wlan_object_test", &id) != 0) return -100;
        return ubus_invoke(ctx, id, method, buf.head, CollectReply, reply, 20000);
    }
};

std::string StoredFiles() { return sandbox::Output("cat /etc/hostapd.conf /etc/config/*"); }

std::string SecStatus() {
    return sandbox::Output("uci get wlanwarn-storage.wlanwarn.wlan_status 2>&1");
}

// The security warning feature on, with its status store.
void WriteWarnSettings() {
    sandbox::WriteFile("/etc/config/product", "config wlanwarn 'wlanwarn'\n\toption launch '1'\n");
    sandbox::WriteFile("/etc/config/wlanwarn-storage",
                       "config wlanwarn 'wlanwarn'\n\toption wlan_status '9'\n");
}

constexpr const char* kSetReply = R"({"wlan_setconfig":"wlan_setconfig success!"})";

}  // namespace

// What is set is read back, field by field, through the file and the library's reader; a new
// list for a filter that stays on reaches the radio, switching the filter does not.
TEST_F(ConfigMethods, SetThenGetGivesBackEveryField) {
    WriteWarnSettings();
    StartAp();
    const std::string psk(64, 'a');
    const std::string other_macs = "02:00:00:00:00:0a#DES_LEN:5#a#b#c#";
    // Changes to the request; changed fields of the reply; security status; the radio's MAC
    // list after the call.
    const std::string macs = "mac aa:bb:cc:dd:ee:01\nmac 02:11:22:33:44:55";
    const std::vector<std::tuple<Fields, Fields, std::string, std::string>> rows = {
        {{}, {}, "1", ""},
        {{{"mac_addrs", '"' + other_macs + '"'}}, {}, "1", "mac 02:00:00:00:00:0a"},
        {{{"ssid", R"("x")"},
          {"ignore_broadcast_ssid", "0"},
          {"region", R"("US")"},
          {"band_type", "1"},
          {"chan", "0"},
          {"wmode", "6"},
          {"chan_width", "0"},
          {"wpa_encrypt", "1"},
          {"wpa_key", '"' + psk + '"'},
          {"mac_filter", "0"},
          {"mac_addrs", ""},
          {"wps", "0"},
          {"ap_isolate", "0"}},
         {},
         "2",
         "mac 02:00:00:00:00:0a"},
        // An unknown cipher keeps the current one.
        {{{"wpa_encrypt", "2"}}, {}, "3", "mac 02:00:00:00:00:0a"},
        {{{"wpa_encrypt", "7"}}, {{"wpa_encrypt", "2"}}, "3", macs},
        {{{"wpa", "0"}, {"wpa_encrypt", "3"}, {"wpa_key", R"("")"}}, {}, "0", macs},
    };
    WebUi web;
    std::string reply;
    logcap::Clear();
    for (const auto& [changes, reply_changes, status, radio_macs] : rows) {
        const std::string request = Json(changes);
        ASSERT_EQ(web.Call("wlan_set_config", request, &reply), 0) << request;
        EXPECT_EQ(reply, kSetReply);
        Fields expected = changes;
        expected.insert(expected.end(), reply_changes.begin(), reply_changes.end());
        EXPECT_EQ(web.Call("wlan_get_config", "", &reply), 0);
        EXPECT_EQ(reply, Json(expected));
        EXPECT_EQ(SecStatus(), status + "\n") << request;
        EXPECT_EQ(e2e::Wlarm("mac"), radio_macs) << request;
    }
    EXPECT_EQ(e2e::Wlarm("macmode"), "1");
    EXPECT_NE(sandbox::ReadFile("/etc/hostapd.conf").find("\nmax_num_sta=10\n"), std::string::npos);
    EXPECT_EQ(logcap::Level5(), std::vector<std::string>()) << "the reader dropped something";
}

// Requests the library refuses: nothing is stored, no reply is sent.
TEST_F(ConfigMethods, FaultyRequestsAreRefusedWithNothingChanged) {
    WriteWarnSettings();
    StartAp();
    const std::string entry = "aa:bb:cc:dd:ee:ff#DES_LEN:";
    // Changes, or a raw text for one field; the status; a level-5 message.
    const std::vector<std::tuple<Fields, std::pair<std::string, std::string>, int, std::string>>
        rows = {
            {{{"wps", ""}}, {}, kInvalid, "Set Wlan Config index:12 failed!\n"},
            {{{"ssid", ""}}, {}, kInvalid, "Set Wlan Config index:0 failed!\n"},
            {{{"ssid", '"' + std::string(33, 's') + '"'}}, {}, kInvalid, "ssid refused"},
            {{{"ssid", R"("a\rwpa=0")"}}, {}, kInvalid, "ssid refused"},
            {{{"ssid", ""}}, {"ssid", std::string("a\0wpa=0", 7)}, kInvalid, "ssid refused"},
            {{{"region", ""}}, {"region", std::string("U\0", 2)}, kInvalid, "region refused"},
            {{{"region", R"("QQQ")"}}, {}, kInvalid, "region refused"},
            {{{"region", R"("u ")"}}, {}, kInvalid, "region refused"},
            {{{"wpa_key", ""}},
             {"wpa_key", std::string("12345678\0x", 10)},
             kInvalid,
             "wpa_key refused"},
            {{{"wpa_key", R"("1234567")"}}, {}, kInvalid, "wpa_key refused"},
            {{{"wpa_key", '"' + std::string(10, 'k') + "\\t\""}}, {}, kInvalid, "wpa_key refused"},
            {{{"wpa_key", '"' + std::string(63, 'a') + "g\""}}, {}, kInvalid, "wpa_key refused"},
            {{{"wpa", "0"}, {"wpa_key", '"' + std::string(65, 'a') + '"'}},
             {},
             kInvalid,
             "wpa_key refused"},
            {{{"mac_addrs", ""}},
             {"mac_addrs", entry + std::string("1#a#\0", 5)},
             kInvalid,
             "NUL in the text"},
            {{{"mac_addrs", R"("aa-bb-cc-dd-ee-ff#DES_LEN:0##")"}}, {}, kInvalid, "invalid MAC"},
            {{{"mac_addrs", R"("aa:bb:cc:dd:ee:ff#DES_LEN")"}}, {}, kInvalid, "fixed part"},
            {{{"mac_addrs", '"' + entry + "9#abc#\""}}, {}, kInvalid, "past the end"},
            {{{"mac_addrs", '"' + entry + "3#abc\""}}, {}, kInvalid, "past the end"},
            {{{"mac_addrs", '"' + entry + "2#abc#\""}}, {}, kInvalid, "not closed"},
            {{{"mac_addrs", '"' + entry + "-1#a#\""}}, {}, kInvalid, "invalid description length"},
            {{{"mac_addrs", '"' + entry + "3\""}}, {}, kInvalid, "length not closed"},
            {{{"mac_addrs", '"' + entry + "33#" + std::string(33, 'd') + "#\""}},
             {},
             kInvalid,
             "too long"},
            {{{"mac_addrs", '"' + entry + "3#a\\nb#\""}}, {}, kInvalid, "line break"},
        };
    const std::string files = StoredFiles();
    WebUi web;
    for (const auto& [changes, raw, status, message] : rows) {
        logcap::Clear();
        std::string reply;
        const std::string request = Json(changes);
        EXPECT_EQ(web.Call("wlan_set_config", request, &reply, raw.first, raw.second), status)
            << request;
        EXPECT_EQ(reply, "");
        EXPECT_TRUE(logcap::Contains(message)) << message;
    }
    EXPECT_EQ(StoredFiles(), files);

    // A configuration that cannot be written is not reported as stored.
    sandbox::Run("rm /etc/hostapd.conf && mkdir /etc/hostapd.conf");
    std::string reply;
    EXPECT_EQ(web.Call("wlan_set_config", Json(), &reply), UBUS_STATUS_UNKNOWN_ERROR);
    EXPECT_EQ(reply, "");
    EXPECT_EQ(SecStatus(), "9\n");
    EXPECT_TRUE(logcap::Has(logcap::Level5(), "Set Wlan Config write /etc/hostapd.conf failed!\n"));
}

// Every string attribute of the method against hostile values: refused with no change, or
// stored and shown literally; nothing runs and no file gains a line.
TEST_F(ConfigMethods, HostileStringAttributesAreRefusedOrTakenLiterally) {
    StartAp();
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"missing", ""},
        {"wrong type", "7"},
        {"over-long", std::string(65, 'x')},
        {"line break", "ab\\ncdefgh"},
        {"substitution", "$(>/tmp/canary)"},
        {"backquotes", "`>/tmp/canary`"},
        {"separator, quotes", R"(';\">/tmp/canary)"}};
    // Per attribute, the status of each case. mac_addrs takes the texts as a description.
    const std::vector<std::pair<std::string, std::vector<int>>> rows = {
        {"ssid", {kInvalid, kInvalid, kInvalid, kInvalid, 0, 0, 0}},
        {"region", {kInvalid, kInvalid, kInvalid, kInvalid, kInvalid, kInvalid, kInvalid}},
        {"wpa_key", {kInvalid, kInvalid, kInvalid, kInvalid, 0, 0, 0}},
        {"mac_addrs", {0, 0, kInvalid, kInvalid, 0, 0, 0}},
    };
    auto as_description = [](const std::string& text) {
        size_t len = text.size();
        for (char c : text) len -= c == '\\';  // a JSON escape is one character
        return "02:11:22:33:44:55#DES_LEN:" + std::to_string(len) + "#" + text + "#";
    };
    WebUi web;
    std::string reply;
    ASSERT_EQ(web.Call("wlan_set_config", Json(), &reply), 0);
    const std::string lines = sandbox::Output("cat /etc/hostapd.conf | wc -l");
    size_t checked = 0;
    const ubus_method& set = config_method_group.rows[1];
    ASSERT_STREQ(set.name, "wlan_set_config");
    for (const blobmsg_policy* p = set.policy; p != set.policy + set.n_policy; ++p) {
        if (p->type != BLOBMSG_TYPE_STRING) continue;
        size_t row = 0;
        while (row < rows.size() && std::get<0>(rows[row]) != p->name) ++row;
        ASSERT_LT(row, rows.size()) << p->name;
        const auto& [name, statuses] = rows[row];
        for (size_t c = 0; c < cases.size(); ++c) {
            std::string value = cases[c].second;
            if (c > 1) value = '"' + (name == "mac_addrs" ? as_description(value) : value) + '"';
            const std::string request = Json({{name, value}});
            int status = web.Call("wlan_set_config", request, &reply);
            EXPECT_EQ(status, statuses[c]) << name << ": " << cases[c].first;
            EXPECT_EQ(web.Call("wlan_get_config", "", &reply), 0);
            if (status == 0 && c > 1) {
                EXPECT_NE(reply.find("\"" + name + "\":" + value), std::string::npos) << reply;
            }
            EXPECT_EQ(sandbox::Output("cat /etc/hostapd.conf | wc -l"), lines) << request;
            ++checked;
        }
    }
    EXPECT_EQ(checked, rows.size() * cases.size());
    EXPECT_FALSE(sandbox::Exists("/tmp/canary"));
}
