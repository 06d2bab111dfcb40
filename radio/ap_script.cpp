#include "radio/radio_script.h"
#include "wlan_radio.h"

namespace {

void write_ap_tail(ScriptText& out, const wlan_mgr_bss_config& bss, const RadioTexts& texts,
                   int /*max_sta*/) {
    out.Add("#Step 6B for AP\n# 6B.1 create the interface\n");
    out.Printf("${WL} ssid \"%s\"\n${WL} cur_etheraddr ${BSSID}\n", texts.ssid);
    out.Add(bss.ignore_broadcast_ssid != 0 ? "${WL} closed 1\n" : "${WL} closed 0\n");
    out.Add("\n# 6B.2 set encryption\n");
    write_security_block(out, bss, "${WL}");
    out.Add("\n#Step 7: To make channel competition more strong\n");
    out.Add("${WL} wme_ac ap be aifsn 1 ecwmin 2 ecwmax 3\n${WL} dtim 1\n");
    out.Add("${WL} new_wme_show 1\n");
    out.Add("\n#Step 8: Take all parameter effect\n# enable all\n${WL} up\n");
}

const RadioScriptFlavor kApFlavor = {
    "\n#Get parameters\nWL=\"$1\"\nBSSID=\"$2\"\n",
    "${WL} mbss 0\n${WL} apsta 0\n${WL} ap 1\n${WL} mpc 0\n",
    10,
    write_ap_tail,
};

}  // namespace

extern "C" WLAN_EXPORT int wlan_mgr_conf_to_wl_sh(const wlan_mgr_bss_config* bss,
                                                  const char* path) {
    return generate_radio_script(bss, path, kApFlavor);
}
