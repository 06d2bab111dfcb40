// The display's band switch: the AP configuration moves to the other band, then the platform
// restarts Wi-Fi.
#include "ubus/band_switch.h"

#include <string.h>

#include "config/config_writer.h"
#include "ubus/event_subscriptions.h"
#include "ubus/shadow_agent.h"
#include "ubus_assistant.h"
#include "util/device_paths.h"
#include "util/log.h"
#include "wlan_config.h"

namespace {

constexpr const char* kHt40Minus = "[HT40-]";

constexpr int32_t kAutoChannel = 0;
constexpr int32_t kAutoChanSelect = 2;

const blobmsg_policy oled_event_policy[] = {
    {"band_switch", BLOBMSG_TYPE_STRING},
};

// "[HT40-]" joins ht_capab unless it is already there; a text without room for it stays as it
// is (level-5 message) rather than being cut.
void add_ht40_minus(wlan_mgr_bss_config* bss) {
    if (strstr(bss->ht_capab, kHt40Minus) != nullptr) return;
    size_t used = strlen(bss->ht_capab);
    if (used + strlen(kHt40Minus) >= sizeof(bss->ht_capab)) {
        WLAN_LOG5("change_wlan_band: no room for %s in ht_capab", kHt40Minus);
        return;
    }
    memcpy(bss->ht_capab + used, kHt40Minus, strlen(kHt40Minus) + 1);
}

// Rewrites the configuration for the band; false when it already has that band.
bool switch_config_band(int32_t band) {
    pthread_mutex_lock(&UbusAssistant::wlan_conf_lock);
    wlan_mgr_bss_config* bss = nullptr;
    wlan_mgr_get_config(&bss, kHostapdConfPath);
    bool changed = bss != nullptr && bss->band_type != band;
    if (bss != nullptr && !changed) WLAN_TRACE("no need change band");
    if (changed) {
        bss->band_type = band;
        bss->wmode = band == WLAN_MGR_BAND_5G ? WLAN_MGR_WMODE_11AN : WLAN_MGR_WMODE_11BGN;
        bss->channel = kAutoChannel;
        bss->auto_chan_select = kAutoChanSelect;
        add_ht40_minus(bss);
        // A configuration that could not be written changes nothing to restart for.
        changed = wlan_config_write(bss, kHostapdConfPath) == 0;
    }
    wlan_mgr_free_config(&bss);
    pthread_mutex_unlock(&UbusAssistant::wlan_conf_lock);
    return changed;
}

}  // namespace

void change_wlan_band(int32_t band) {
    if (switch_config_band(band)) ubus_restart_wlan();
}

void on_oled_event(ubus_context*, ubus_event_handler*, const char*, blob_attr* msg) {
    if (msg == nullptr) return;
    blob_attr* field[1] = {nullptr};
    blobmsg_parse(oled_event_policy, 1, field, blob_data(msg), blob_len(msg));
    if (field[0] == nullptr) return;
    const char* text = blobmsg_get_string(field[0]);
    WLAN_TRACE("Oled event received: [%s]", text);

    // The agent itself is not used: it is only checked, through a hold that ends before the
    // band switch, whose restart request may wait for the platform.
    if (ShadowAgentHold().get() == nullptr) {
        WLAN_LOG5("shadow agent is null");
        wlan_errlog(WLAN_PRIO_ERROR, "on_oled_event: shadow agent NULL.");
        return;
    }
    if (shadow_ua() == nullptr) {
        WLAN_LOG5("shadow ua is null");
        wlan_errlog(WLAN_PRIO_ERROR, "on_oled_event: shadow ua NULL.");
        return;
    }
    if (strcmp(text, "change_to_5G") == 0) {
        WLAN_TRACE("set 5G band");
        change_wlan_band(WLAN_MGR_BAND_5G);
    } else if (strcmp(text, "change_to_2_4G") == 0) {
        WLAN_TRACE("set 2.4G band");
        change_wlan_band(WLAN_MGR_BAND_2_4G);
    }
}
