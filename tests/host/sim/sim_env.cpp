#include "tests/host/sim/sim_env.h"

#include <sys/stat.h>
#include <unistd.h>

#include <sstream>

namespace simenv {
namespace {

constexpr const char* kOutFile = "/tmp/sim-test-stdout";
constexpr const char* kErrFile = "/tmp/sim-test-stderr";

constexpr const char* kUciStub = R"(#!/bin/sh
# Test stand-in for "uci get wlan.basic_setting.wisp_status".
[ "$1" = get ] && [ "$2" = wlan.basic_setting.wisp_status ] || exit 1
value=$(sed -n "s/^[[:space:]]*option wisp_status '\(.*\)'/\1/p" /etc/config/wlan 2>/dev/null)
[ -n "$value" ] || { echo "uci: Entry not found" >&2; exit 1; }
echo "$value"
)";

}  // namespace

Result Sh(const std::string& command_line) {
    Result result;
    result.status =
        sandbox::Run("(" + command_line + ") >" + kOutFile + " 2>" + kErrFile + " </dev/null");
    result.out = sandbox::ReadFile(kOutFile);
    result.err = sandbox::ReadFile(kErrFile);
    return result;
}

void SetStationMode(bool on) {
    sandbox::WriteFile("/etc/config/wlan", std::string("config wlan 'basic_setting'\n") +
                                               "\toption wisp_status '" + (on ? "1" : "0") + "'\n");
    if (!sandbox::Exists("/usr/bin/uci")) WriteScript("/usr/bin/uci", kUciStub);
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) lines.push_back(line);
    return lines;
}

std::string ApScript(const ApScriptOptions& o) {
    std::string acs = o.channels.empty()
                          ? "\n${WL} autochannel 1\n${WL} channel\n"
                          : "\n${WL} autochannel 1 -c " + o.channels + "\n${WL} channel\n";
    return "#!/bin/sh\n"
           "\n#Get parameters\nWL=\"$1\"\nBSSID=\"$2\"\n"
           "PMK=\"sim-passphrase\"\n"
           "\n#Step 1: Turn off the radio\n${WL} down\n"
           "\n#Step 2: configure the basic parameters\n"
           "${WL} mbss 0\n${WL} apsta 0\n${WL} ap 1\n${WL} mpc 0\n"
           "\n#Step 3: configure the country and 802.11 mode\n${WL} country DE\n"
           "\n#set mode 11bgn\n${WL} band  " +
           o.band +
           "\n${WL} nmode 1\n${WL} nreqd 0\n${WL} bg_rate auto\n"
           "\n#Step 4\n${WL} sgi_tx -1\n${WL} sgi_rx 3\n"
           "\n#Step 5: Configure the channel\n"
           "${WL} obss_coex 1\n${WL} mimo_bw_cap 1\n"
           "\n${WL} down\n${WL} spect 0\n${WL} ssid \"\"\n${WL} scansuppress 0\n${WL} up\n" +
           acs +
           "\n${WL} autochannel\nrc=$?\n"
           "while [ $rc -ne 0 ]; do\n\tusleep 100000\n\t${WL} autochannel\n\trc=$?\ndone\n\n"
           "${WL} autochannel 2\n${WL} channel\n${WL} down\n${WL} spect 1\n"
           "\n#Step 6\n${WL} maxassoc 10\n"
           "#Step 6B for AP\n# 6B.1 create the interface\n" +
           o.ssid_line +
           "\n${WL} cur_etheraddr ${BSSID}\n"
           "${WL} closed 0\n"
           "\n# 6B.2 set encryption\n"
           "${WL} wsec 0x04\n${WL} sup_wpa 1\n${WL} wpa_auth 0x84\n${WL} set_pmk \"${PMK}\"\n"
           "\n#Step 7\n${WL} wme_ac ap be aifsn 1 ecwmin 2 ecwmax 3\n${WL} dtim 1\n"
           "${WL} new_wme_show 1\n" +
           o.extra + "\n#Step 8: Take all parameter effect\n# enable all\n${WL} up\n";
}

std::string ApStaScript() {
    return "#!/bin/sh\n"
           "\n#Get parameters\nWL=\"$1\"\nBSSID=\"$2\"\nSTA_BSSID=\"$3\"\n"
           "STA_NAME=\"eth0\"\nAP_NAME=\"wl0.1\"\n"
           "PMK=\"sim-passphrase\"\n"
           "\n${WL} down\n"
           "${WL} mbss 1\n${WL} apsta 1\n${WL} ap 1\n${WL} mpc 0\n"
           "${WL} country DE\n${WL} band  b\n${WL} nmode 1\n${WL} nreqd 0\n${WL} bg_rate auto\n"
           "${WL} sgi_tx -1\n${WL} sgi_rx 3\n${WL} mimo_bw_cap 0\n"
           "\n${WL} down\n${WL} spect 0\n${WL} ssid \"\"\n${WL} scansuppress 0\n${WL} up\n"
           "\n${WL} autochannel 1\n${WL} channel\n"
           "\n${WL} autochannel\nrc=$?\n"
           "while [ $rc -ne 0 ]; do\n\tusleep 100000\n\t${WL} autochannel\n\trc=$?\ndone\n\n"
           "${WL} autochannel 2\n${WL} channel\n${WL} down\n${WL} spect 1\n"
           "${WL} maxassoc 9\n"
           "#Step 6A for STA\n${WL} -i ${STA_NAME} cur_etheraddr ${STA_BSSID}\n"
           "\n#Step 6B for AP\n${WL} bss -C 1 down\n${WL} ssid -C 1 \"Sim AP\"\n"
           "${WL} -i ${AP_NAME} cur_etheraddr ${BSSID}\n"
           "${WL} -i ${AP_NAME} wsec 0x04\n${WL} -i ${AP_NAME} sup_wpa 1\n"
           "${WL} -i ${AP_NAME} wpa_auth 0x84\n${WL} -i ${AP_NAME} set_pmk \"${PMK}\"\n"
           "${WL} -i ${AP_NAME} closed 0\n"
           "${WL} -i ${AP_NAME} ap_isolate 0\n${WL} -i ${AP_NAME} bss_maxassoc 9\n"
           "${WL} -i ${AP_NAME} wme_ac ap be aifsn 1 ecwmin 2 ecwmax 3\n"
           "${WL} -i ${AP_NAME} dtim 1\n${WL} -i ${AP_NAME} new_wme_show 1\n"
           "\n${WL} up\nusleep 200000\n${WL} bss -C 1 up\n";
}

void WriteScript(const std::string& path, const std::string& text) {
    sandbox::WriteFile(path, text);
    chmod(path.c_str(), 0755);
}

}  // namespace simenv
