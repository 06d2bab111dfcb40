#include "radio/radio_script.h"
#include "util/device_paths.h"
#include "wlan_radio.h"

namespace {

constexpr const char kStaInterface[] = "eth0";

void write_apsta_tail(ScriptText& out, const wlan_mgr_bss_config& bss, const RadioTexts& texts,
                      int max_sta) {
    out.Add("#Step 6A for STA\n# 6A.1 create the interface\n");
    out.Add("${WL} -i ${STA_NAME} cur_etheraddr ${STA_BSSID}\n");
    out.Add("\n#Step 6B for AP\n# 6B.1 create the interface\n");
    out.Add("${WL} bss -C 1 down\n");
    out.Printf("${WL} ssid -C 1 \"%s\"\n", texts.ssid);
    out.Add("# Here should not configure the AP2 MAC since it has been limited\n");
    out.Add("${WL} -i ${AP_NAME} cur_etheraddr ${BSSID}\n");
    out.Add("\n# 6B.2 set encryption\n");
    write_security_block(out, bss, "${WL} -i ${AP_NAME}");
    out.Add("# 6B.3 set other feature\n");
    out.Add(bss.ignore_broadcast_ssid != 0 ? "${WL} -i ${AP_NAME} closed 1\n"
                                           : "${WL} -i ${AP_NAME} closed 0\n");
    // The AP side never isolates its stations here, whatever the record says.
    out.Printf("${WL} -i ${AP_NAME} ap_isolate 0\n${WL} -i ${AP_NAME} bss_maxassoc %d\n", max_sta);
    out.Add("\n#Step 7: To make channel competition more strong\n");
    out.Add("${WL} -i ${AP_NAME} wme_ac ap be aifsn 1 ecwmin 2 ecwmax 3\n");
    out.Add("${WL} -i ${AP_NAME} dtim 1\n");
    out.Add("${WL} -i ${AP_NAME} new_wme_show 1\n");
    out.Add("\n#Step 8: Take all parameter effect\n# enable all\n${WL} up\nusleep 200000\n");
    out.Add("${WL} bss -C 1 up\n");
    out.Add("\n#Step 9: Do extra work accordingly\n\n");
    out.Printf("wpa_supplicant -B -Dwext -i%s -c%s\n", kStaInterface, kSupplicantConfPath);
}

const RadioScriptFlavor kApStaFlavor = {
    "\n#Get parameters\nWL=\"$1\"\nBSSID=\"$2\"\nSTA_BSSID=\"$3\"\n"
    "STA_NAME=\"eth0\"\nAP_NAME=\"wl0.1\"\n",
    "${WL} mbss 1\n${WL} apsta 1\n${WL} ap 1\n${WL} mpc 0\n",
    9,
    write_apsta_tail,
};

}  // namespace

extern "C" WLAN_EXPORT int wlan_mgr_apsta_conf_to_wl_sh(const wlan_mgr_bss_config* bss,
                                                        const char* path) {
    return generate_radio_script(bss, path, kApStaFlavor);
}
