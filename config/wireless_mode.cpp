#include "config/wireless_mode.h"

#include <string.h>

namespace {

// File wmode values.
constexpr int32_t kFile5GHz = 1;
constexpr int32_t kFile2GHz = 2;
constexpr int32_t kFile11b = 4;
constexpr int32_t kFile11gOnly = 5;

// Internal wmode values.
constexpr int32_t kMode11b = 1;
constexpr int32_t kMode11gOnly = 2;
constexpr int32_t kMode11nOnly = 3;
constexpr int32_t kMode11bg = 4;
constexpr int32_t kMode11bgn = 5;
constexpr int32_t kMode11an = 6;
constexpr int32_t kMode11a = 7;

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
            bss->band_type = 1;
            if (ht_only)
                bss->wmode = ht ? kMode11nOnly : kFile5GHz;
            else
                bss->wmode = ht ? kMode11an : kMode11a;
            break;
        case kFile2GHz:
            bss->band_type = 0;
            if (ht_only)
                bss->wmode = ht ? kMode11nOnly : kFile2GHz;
            else
                bss->wmode = ht ? kMode11bgn : kMode11bg;
            break;
        case kFile11b:
            bss->band_type = 0;
            bss->wmode = kMode11b;
            break;
        case kFile11gOnly:
            bss->band_type = 0;
            bss->wmode = kMode11gOnly;
            break;
        default:
            break;
    }
    if (is_japan_channel_14(bss)) bss->wmode = kMode11bg;
}

void wireless_mode_internal_to_file(wlan_mgr_bss_config* bss) {
    if (is_japan_channel_14(bss) || bss->wmode == kMode11b) {
        set_file_mode(bss, kFile11b, 0, 0);
        return;
    }
    switch (bss->wmode) {
        case kMode11gOnly:
            set_file_mode(bss, kFile11gOnly, 0, 0);
            break;
        case kMode11nOnly:
            set_file_mode(bss, bss->band_type == 1 ? kFile5GHz : kFile2GHz, 1, 1);
            break;
        case kMode11bg:
            set_file_mode(bss, kFile2GHz, 0, 0);
            break;
        case kMode11bgn:
            set_file_mode(bss, kFile2GHz, 1, 0);
            break;
        case kMode11an:
            set_file_mode(bss, kFile5GHz, 1, 0);
            break;
        case kMode11a:
            set_file_mode(bss, kFile5GHz, 0, 0);
            break;
        default:
            break;
    }
}
