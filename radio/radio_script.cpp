#include "radio/radio_script.h"

#include "radio/bss_text.h"
#include "radio/channel_section.h"
#include "radio/extra_conf.h"
#include "util/log.h"

namespace {

// A text whose escaped form would not fit is refused rather than cut: half an escape sequence
// could leave a quote open or a character to the shell.
bool prepare_radio_texts(const wlan_mgr_bss_config& bss, const char* path, RadioTexts* texts) {
    std::string ssid = bss_text(bss.ssid);
    if (!escape_script_text(ssid.c_str(), texts->ssid)) {
        WLAN_LOG5("Escaped ssid too long, %s not written!", path);
        return false;
    }
    std::string passphrase = bss_text(bss.wpa_passphrase);
    std::string key = passphrase.empty() ? bss_text(bss.wpa_psk) : passphrase;
    if (!escape_script_text(key.c_str(), texts->key)) {
        WLAN_LOG5("Escaped key too long, %s not written!", path);
        return false;
    }
    // Anything but a code would reach sh as part of a command line.
    if (!wl_country_argument(bss, &texts->country)) {
        WLAN_LOG5("Invalid country code, %s not written!", path);
        return false;
    }
    return true;
}

}  // namespace

int generate_radio_script(const wlan_mgr_bss_config* bss, const char* path,
                          const RadioScriptFlavor& flavor) {
    if (bss == nullptr || path == nullptr) {
        WLAN_LOG5("wl script: no configuration or no path!");
        return -1;
    }
    RadioTexts texts;
    if (!prepare_radio_texts(*bss, path, &texts)) return -1;
    ScriptFile file;
    if (!file.Open(path)) return -1;

    ScriptText out;
    out.Add("#!/bin/sh\n");
    out.Add(flavor.parameters);
    if (texts.key[0] != '\0') out.Printf("PMK=\"%s\"\n", texts.key);
    out.Add("\n#Step 1: Turn off the radio\n${WL} down\n");
    out.Add("\n#Step 2: configure the basic parameters including Wi-Fi working mode\n");
    out.Add(flavor.basic_commands);
    write_country_and_mode(out, *bss, texts.country);
    out.Add("\n#Step 4: configure RF parameters including the bandwidth and rate\n");
    out.Add("${WL} sgi_tx -1\n${WL} sgi_rx 3\n");
    out.Add("\n#Step 5: Configure the channel\n");
    out.Add("#Note this can be replace with the 'auto channel command sequence'\n");

    RadioExtraConf extra = read_radio_extra_conf(*bss);
    write_channel_section(out, *bss, extra);
    int max_sta = radio_association_limit(extra, flavor.default_max_sta);
    out.Add("\n#Step 6: configure the encryption information, SSID feature for each interface\n");
    out.Printf("${WL} maxassoc %d\n", max_sta);
    flavor.write_tail(out, *bss, texts, max_sta);
    return file.Commit(out);
}
