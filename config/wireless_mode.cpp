#include "config/wireless_mode.h"

#include <string.h>

namespace {

// File wmode values.
constexpr int32_t kFile5GHz = 1;
constexpr int32_t kFile2GHz = 2;
constexpr int32_t kFile11b = 4;
constexpr int32_t kFile11gOnly = 5;

// Channel 14 is allowed only in Japan and only for 802.11b.
bool is_japan_channel_14(const wlan_mgr_bss_config* bss) {
    return strcmp(bss->country, "JP") == 0 && bss->channel == 14;
}

void set_file_mode(wlan_mgr_bss_config* bss, int32_t wmode, int32_t ieee80211n,
                   int32_t require_ht) {
    bss->wmode = wmode;
    bss->ieee80211n = ieee80211n;
    bss->require_ht = require_ht;
}

}  // namespace

void wireless_mode_file_to_internal(wlan_mgr_bss_config* bss) {
    bool ht = bss->ieee80211n == 1;
    bool ht_only = bss->require_ht == 1;
    switch (bss->wmode) {
        case kFile5GHz:
            bss->band_type = WLAN_MGR_BAND_5G;
            if (ht_only)
                bss->wmode = ht ? int32_t{WLAN_MGR_WMODE_11N_ONLY} : kFile5GHz;
            else
                bss->wmode = ht ? WLAN_MGR_WMODE_11AN : WLAN_MGR_WMODE_11A;
            break;
        case kFile2GHz:
            bss->band_type = WLAN_MGR_BAND_2_4G;
            if (ht_only)
                bss->wmode = ht ? int32_t{WLAN_MGR_WMODE_11N_ONLY} : kFile2GHz;
            else
                bss->wmode = ht ? WLAN_MGR_WMODE_11BGN : WLAN_MGR_WMODE_11BG;
            break;
        case kFile11b:
            bss->band_type = WLAN_MGR_BAND_2_4G;
            bss->wmode = WLAN_MGR_WMODE_11B;
            break;
        case kFile11gOnly:
            bss->band_type = WLAN_MGR_BAND_2_4G;
            bss->wmode = WLAN_MGR_WMODE_11G_ONLY;
            break;
        default:
            break;
    }
    if (is_japan_channel_14(bss)) bss->wmode = WLAN_MGR_WMODE_11BG;
}

void wireless_mode_internal_to_file(wlan_mgr_bss_config* bss) {
    if (is_japan_channel_14(bss) || bss->wmode == WLAN_MGR_WMODE_11B) {
        set_file_mode(bss, kFile11b, 0, 0);
        return;
    }
    switch (bss->wmode) {
        case WLAN_MGR_WMODE_11G_ONLY:
            set_file_mode(bss, kFile11gOnly, 0, 0);
            break;
        case WLAN_MGR_WMODE_11N_ONLY:
            set_file_mode(bss, bss->band_type == WLAN_MGR_BAND_5G ? kFile5GHz : kFile2GHz, 1, 1);
            break;
        case WLAN_MGR_WMODE_11BG:
            set_file_mode(bss, kFile2GHz, 0, 0);
            break;
        case WLAN_MGR_WMODE_11BGN:
            set_file_mode(bss, kFile2GHz, 1, 0);
            break;
        case WLAN_MGR_WMODE_11AN:
            set_file_mode(bss, kFile5GHz, 1, 0);
            break;
        case WLAN_MGR_WMODE_11A:
            set_file_mode(bss, kFile5GHz, 0, 0);
            break;
        default:
            break;
    }
}
