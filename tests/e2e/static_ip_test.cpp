// Static IP settings of station mode: the stored list in /etc/config/wisp_static_ip_conf, as
// devices in the field wrote it, and wlan_set_static_ip_config called as the web interface does.
#include <stdint.h>
#include <string.h>

#include <string>
#include <vector>

#include "tests/e2e/bus_peers.h"
#include "tests/support/log_capture.h"
#include "tests/ubus/bus_test_support.h"
#include "ubus/method_groups.h"
#include "wisp/static_ip_config.h"

namespace {

constexpr const char* kFile = "/etc/config/wisp_static_ip_conf";

std::string Head(int32_t count) {
    std::string head(32, '\0');
    memcpy(&head[0], &count, sizeof(count));
    return head;
}

// A file item; each text is put at its field's offset and cut at the field's size, unterminated
// when it fills the field.
std::string Item(const std::vector<std::string>& texts) {
    std::string item(120, '\0');
    const size_t at[] = {0, 33, 49, 65, 81, 97}, size[] = {33, 16, 16, 16, 16, 16};
    for (size_t i = 0; i < texts.size(); ++i)
        item.replace(at[i], texts[i].substr(0, size[i]).size(), texts[i].substr(0, size[i]));
    return item;
}

const std::vector<std::string> kA = {"Cafe",     "10.0.0.2", "255.255.255.0",
                                     "10.0.0.1", "8.8.8.8",  ""};
const std::vector<std::string> kB = {"Home",        "192.168.1.9", "255.255.0.0",
                                     "192.168.1.1", "1.1.1.1",     "9.9.9.9"};

std::string Values(const std::vector<std::string>& item) {
    std::string values;
    for (size_t i = 1; i < item.size(); ++i)
        if (!item[i].empty()) values += "'" + item[i] + "' ";  // uci drops an empty option
    return values;
}
const std::string kNone = Values({"", "0.0.0.0", "0.0.0.0", "0.0.0.0", "0.0.0.0", "0.0.0.0"});

bool Save(const std::vector<std::string>& s) {
    return static_ip_config_save(
        {s[0].c_str(), s[1].c_str(), s[2].c_str(), s[3].c_str(), s[4].c_str(), s[5].c_str()});
}

using StaticIp = E2eTest;
using StaticIpList = SandboxTest;

}  // namespace

// The file is read on the first call after a start; each call commits the SSID's values to uci
// and has the platform update the station interface, unless the request is refused.
TEST_F(StaticIp, SetStaticIpConfigCommitsTheStoredValues) {
    StartAp();
    e2e::WebUi ui;
    const std::string ab = Head(2) + Item(kA) + Item(kB);
    // Garbage that fills every field: each is cut at its last byte; a value that is then no
    // address is set as 0.0.0.0.
    const std::string full = Item({std::string(40, 's'), "192.168.100.100X", "$(touch /tmp/canary)",
                                   "1.2.3.4;reboot;", "", ""});
    struct Row {
        std::string file, request;
        int status;
        std::string values, log;
    } rows[] = {
        {ab, R"({"ssid":"Cafe"})", 0, Values(kA), ""},
        {ab, R"({"ssid":"Home"})", 0, Values(kB), ""},
        {ab, R"({"ssid":"cafe"})", 0, kNone, ""},
        {"-", R"({"ssid":"Cafe"})", 0, kNone, "WISP: conf file open failed, read"},
        {ab.substr(0, 31), R"({"ssid":"Cafe"})", 0, kNone, "WISP: read conf file head failed"},
        {Head(9) + Item(kA) + Item(kB).substr(0, 30), R"({"ssid":"Cafe"})", 0, Values(kA), ""},
        {Head(1) + full, "{\"ssid\":\"" + std::string(32, 's') + "\"}", 0,
         "'192.168.100.100' '0.0.0.0' '0.0.0.0' ", ""},
        {ab, R"({"ssid":""})", -1, "", ""},
        {ab, "{}", -1, "", ""},
        {ab, "{\"ssid\":\"" + std::string(33, 'C') + "\"}", UBUS_STATUS_INVALID_ARGUMENT, "", ""},
    };
    const char* get =
        "for o in static_ip submask gateway dns1 dns2; do v=$(grep \"wisp_ap_$o \" "
        "/etc/config/wlan) && printf '%s ' \"${v#*wisp_ap_$o }\"; done";
    size_t updates = 0;
    const auto calls = [] {
        return sandbox::Output("cat /var/run/QCMAP_StaInterface.log 2>/dev/null | wc -l");
    };
    for (const Row& row : rows) {
        static_ip_config_release();  // as after a restart
        sandbox::Run("sed -i '/wisp_ap_/d' /etc/config/wlan; rm -f /tmp/.uci/*");
        if (row.file == "-")
            sandbox::Run(std::string("rm -f ") + kFile);
        else
            sandbox::WriteFile(kFile, row.file);
        logcap::Clear();
        EXPECT_EQ(ui.Call("wlan_set_static_ip_config", row.request), row.status) << row.request;
        EXPECT_EQ(sandbox::Output(get), row.values) << row.request;
        EXPECT_TRUE(row.log.empty() || logcap::Has(logcap::Errors(), row.log)) << row.log;
        if (row.status == 0) ++updates;
        bus_test::WaitUntil([&] { return calls() == std::to_string(updates) + "\n"; });
        EXPECT_EQ(calls(), std::to_string(updates) + "\n") << row.request;
    }
    EXPECT_FALSE(sandbox::Exists("/tmp/canary"));
    // Calls faster than the queue runs them: each still gets its update.
    sandbox::Run(
        "mv /usr/bin/QCMAP_StaInterface /usr/bin/qcmap && printf '#!/bin/sh\\nsleep 1; "
        "exec qcmap \"$@\"\\n' >/usr/bin/QCMAP_StaInterface && chmod 755 /usr/bin/Q*");
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(ui.Call("wlan_set_static_ip_config", R"({"ssid":"x"})"), 0);
    EXPECT_TRUE(bus_test::WaitUntil([&] { return calls() == std::to_string(updates + 3) + "\n"; }));
}

// Saving records one item per SSID and writes every item with an address, front first; a
// loaded file comes back in reverse order. Values that are no address, an SSID over 32
// characters and a failed write leave the old file.
TEST_F(StaticIpList, StaticIpListIsSavedAndLoaded) {
    static_ip_config_release();
    static_ip_config_load();
    std::vector<std::string> a2 = kA, c = {"Shop", "0.0.0.0", "", "", "", ""};
    a2[1] = "10.0.0.3";
    // Saved settings, then the file.
    const std::vector<std::pair<std::vector<std::string>, std::string>> steps = {
        {kA, Head(1) + Item(kA)},
        {kB, Head(2) + Item(kB) + Item(kA)},
        {a2, Head(2) + Item(kB) + Item(a2)},
        {c, Head(3) + Item(kB) + Item(a2)},
        {{"", "", "", "", "", ""}, Head(3) + Item(kB) + Item(a2)},
    };
    for (const auto& [settings, file] : steps) {
        sandbox::Run(std::string("rm -f ") + kFile);
        EXPECT_TRUE(Save(settings)) << settings[0];
        EXPECT_EQ(sandbox::ReadFile(kFile), file) << settings[0];
    }
    const std::string saved = sandbox::ReadFile(kFile);
    for (const char* bad :
         {"1.2.3", "256.0.0.1", "1.2.3.4 ", "1.2.3.4.5", "1..2.3", "0x1.2.3.4", "1.2.3.4'"})
        EXPECT_FALSE(Save({"Cafe", "10.0.0.9", "255.0.0.0", bad, "", ""})) << bad;
    EXPECT_FALSE(Save({std::string(33, 'x'), "10.0.0.9", "", "", "", ""}));
    EXPECT_EQ(sandbox::ReadFile(kFile), saved);

    static_ip_config_release();
    static_ip_config_load();
    EXPECT_TRUE(Save({"", "", "", "", "", ""}));
    EXPECT_EQ(sandbox::ReadFile(kFile), Head(2) + Item(a2) + Item(kB));

    ASSERT_EQ(sandbox::Run("mkdir -p /tmp/full && mount -t tmpfs -o size=8k tmpfs /tmp/full"), 0);
    sandbox::Run(std::string("mv ") + kFile + " /tmp/full/s && ln -s /tmp/full/s " + kFile +
                 " && dd if=/dev/zero of=/tmp/full/fill bs=1k count=64 2>/dev/null");
    EXPECT_FALSE(Save(kB));
    EXPECT_EQ(sandbox::ReadFile(kFile), Head(2) + Item(a2) + Item(kB));
    sandbox::Run("umount -l /tmp/full");
    static_ip_config_release();
}
