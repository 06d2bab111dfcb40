#include <string.h>

#include "radio/radio_start_steps.h"
#include "util/text.h"

namespace {

constexpr int32_t kWpaOpen = 0;
constexpr int32_t kWpaPsk = 3;

void fill_wpa_psk(const wlan_mgr_bss_config& bss, brcm_wpscli_nw_settings* nw) {
    nw->auth_type = BRCM_WPSCLI_AUTH_WPAPSK;
    if (strcmp(bss.wpa_pairwise, "TKIP") == 0)
        nw->encr_type = BRCM_WPSCLI_ENCR_TKIP;
    else if (strcmp(bss.wpa_pairwise, "CCMP") == 0 || strcmp(bss.wpa_pairwise, "CCMP TKIP") == 0)
        nw->encr_type = BRCM_WPSCLI_ENCR_AES;
    // The record holds at most one of the two keys.
    if (bss.wpa_passphrase[0] == '\0')
        copy_text(nw->nw_key, bss.wpa_psk);
    else if (bss.wpa_psk[0] == '\0')
        copy_text(nw->nw_key, bss.wpa_passphrase);
}

}  // namespace

void fill_wps_network_settings(const wlan_mgr_bss_config* bss, brcm_wpscli_nw_settings* nw) {
    if (bss == nullptr || nw == nullptr) return;
    if (bss->wpa == kWpaOpen) {
        nw->nw_key[0] = '\0';
        nw->auth_type = BRCM_WPSCLI_AUTH_OPEN;
        nw->encr_type = BRCM_WPSCLI_ENCR_NONE;
    } else if (bss->wpa == kWpaPsk) {
        fill_wpa_psk(*bss, nw);
    }
    copy_text(nw->ssid, bss->ssid);
    nw->wep_index = 0;
}
