// Static IP settings of station mode: the stored list in /etc/config/wisp_static_ip_conf, as
// devices in the field wrote it, and wlan_set_static_ip_config called as the web interface does.
#include <algorithm>
#include <string>
#include <tuple>
#include <vector>

#include "tests/e2e/bus_peers.h"
#include "tests/support/log_capture.h"
#include "wisp/static_ip_config.h"

namespace {

using Texts = std::vector<std::string>;
constexpr const char* kFile = "/etc/config/wisp_static_ip_conf";

std::string Head(int32_t n) {
    return std::string(reinterpret_cast<char*>(&n), 4) + std::string(28, 0);
}

// A file item: each text at its field, cut at the field's size (unterminated when it fills it).
std::string Item(const Texts& texts) {
    std::string item(120, '\0');
    for (size_t i = 0, at = 0, n; i < texts.size(); at += i++ == 0 ? 33 : 16) {
        n = std::min<size_t>(texts[i].size(), i == 0 ? 33 : 16);
        item.replace(at, n, texts[i], 0, n);
    }
    return item;
}

const Texts kA = {"Cafe", "10.0.0.2", "255.255.255.0", "10.0.0.1", "8.8.8.8", ""};
const Texts kB = {"Home", "192.168.1.9", "255.255.0.0", "192.168.1.1", "1.1.1.1", "9.9.9.9"};
// The options committed to uci (an empty value drops its option).
const std::string kValuesA = "'10.0.0.2' '255.255.255.0' '10.0.0.1' '8.8.8.8' ";
const std::string kNone = "'0.0.0.0' '0.0.0.0' '0.0.0.0' '0.0.0.0' '0.0.0.0' ";

// Missing texts are empty.
bool Save(Texts s) {
    s.resize(6);
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
    // File ("-": none), SSID requested ("?": none), status, committed options, error logged.
    const std::tuple<std::string, std::string, int, std::string, std::string> rows[] = {
        {ab, "Cafe", 0, kValuesA, ""},
        {ab, "Home", 0, "'192.168.1.9' '255.255.0.0' '192.168.1.1' '1.1.1.1' '9.9.9.9' ", ""},
        {ab, "cafe", 0, kNone, ""},
        {"-", "Cafe", 0, kNone, "WISP: conf file open failed, read"},
        {ab.substr(0, 31), "Cafe", 0, kNone, "WISP: read conf file head failed"},
        {Head(9) + Item(kA) + Item(kB).substr(0, 30), "Cafe", 0, kValuesA, ""},
        // Garbage that fills every field, cut at its last byte: what is then no address is 0.0.0.0.
        {Head(1) +
             Item({std::string(40, 's'), "192.168.100.100X", "$(touch /tmp/ca", "1.2.3.4;reboot;"}),
         std::string(32, 's'), 0, "'192.168.100.100' '0.0.0.0' '0.0.0.0' ", ""},
        {ab, "", -1, "", ""},
        {ab, "?", -1, "", ""},
        {ab, std::string(33, 'C'), UBUS_STATUS_INVALID_ARGUMENT, "", ""},
    };
    const char* get =
        "for o in static_ip submask gateway dns1 dns2; do v=$(grep \"wisp_ap_$o \" "
        "/etc/config/wlan) && printf '%s ' \"${v#*wisp_ap_$o }\"; done";
    size_t updates = 0;
    const auto calls = [] {
        return sandbox::Output("cat /var/run/QCMAP_StaInterface.log 2>/dev/null | wc -l");
    };
    for (const auto& [file, ssid, status, values, log] : rows) {
        static_ip_config_release();  // as after a restart
        sandbox::Run("sed -i '/wisp_ap_/d' /etc/config/wlan; rm -f /tmp/.uci/* " +
                     std::string(kFile));
        if (file != "-") sandbox::WriteFile(kFile, file);
        logcap::Clear();
        const std::string request = ssid == "?" ? "{}" : "{\"ssid\":\"" + ssid + "\"}";
        EXPECT_EQ(ui.Call("wlan_set_static_ip_config", request), status) << request;
        EXPECT_EQ(sandbox::Output(get), values) << request;
        EXPECT_TRUE(log.empty() || logcap::Has(logcap::Errors(), log)) << log;
        updates += status == 0 ? 1 : 0;
        EXPECT_TRUE(WaitUntil([&] { return calls() == std::to_string(updates) + "\n"; }))
            << request;
    }
    // Calls faster than the queue runs them: each still gets its update.
    sandbox::Run(
        "mv /usr/bin/QCMAP_StaInterface /usr/bin/qcmap && printf '#!/bin/sh\\nsleep 1; "
        "exec qcmap \"$@\"\\n' >/usr/bin/QCMAP_StaInterface && chmod 755 /usr/bin/Q*");
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(ui.Call("wlan_set_static_ip_config", R"({"ssid":"x"})"), 0);
    EXPECT_TRUE(WaitUntil([&] { return calls() == std::to_string(updates + 3) + "\n"; }));
}

// Saving records one item per SSID and writes every item with an address, front first; a
// loaded file comes back in reverse order. Values that are no address and an SSID over 32
// characters leave the old file.
TEST_F(StaticIpList, StaticIpListIsSavedAndLoaded) {
    static_ip_config_release();
    static_ip_config_load();
    const Texts a2 = {"Cafe", "10.0.0.3"}, c = {"Shop", "0.0.0.0"}, none = {""};  // saved, file:
    const std::vector<std::pair<Texts, std::string>> steps = {
        {kA, Head(1) + Item(kA)},
        {kB, Head(2) + Item(kB) + Item(kA)},
        {a2, Head(2) + Item(kB) + Item(a2)},
        {c, Head(3) + Item(kB) + Item(a2)},
        {none, Head(3) + Item(kB) + Item(a2)},
    };
    for (const auto& [settings, file] : steps) {
        sandbox::Run(std::string("rm -f ") + kFile);
        EXPECT_TRUE(Save(settings)) << settings[0];
        EXPECT_EQ(sandbox::ReadFile(kFile), file) << settings[0];
    }
    for (const char* bad :
         {"1.2.3", "256.0.0.1", "1.2.3.4 ", "1.2.3.4.5", "1..2.3", "0x1.2.3.4", "1.2.3.4'"})
        EXPECT_FALSE(Save({"Cafe", "10.0.0.9", "255.0.0.0", bad})) << bad;
    EXPECT_FALSE(Save({std::string(33, 'x'), "10.0.0.9"}));
    EXPECT_EQ(sandbox::ReadFile(kFile), Head(3) + Item(kB) + Item(a2));

    static_ip_config_release();
    static_ip_config_load();
    EXPECT_TRUE(Save(none));
    EXPECT_EQ(sandbox::ReadFile(kFile), Head(2) + Item(a2) + Item(kB));
    static_ip_config_release();
}
