#ifndef WLAN_COEX_H
#define WLAN_COEX_H

#include <stdint.h>

#include "wlan_export.h"

class HostapdAgent;

// One LTE state report, the arguments of the ubus method "wlan_send_wwan_state" in order.
typedef struct lte_coex_wwan_data_t {
    char wlan_if[16];
    int32_t band_info_valid;
    int32_t ul_band_freq;
    int32_t ul_band_bw;
    int32_t dl_band_freq;
    int32_t dl_band_bw;
    int32_t tdd_info_valid;
    int32_t tdd_info_frame_offset;
    int32_t tdd_info_config;
    int32_t tdd_info_subframe_config;
    int32_t tdd_info_ul_config;
    int32_t tdd_info_dl_config;
    int32_t off_period_valid;
    int32_t off_period;
} lte_coex_wwan_data_t;

// The agent's LTE coexistence state; all zero when the agent is constructed.
typedef struct lte_coex_state_t {
    uint8_t wwan_state;      // 0 deactivated, 1 active, 2 idle receive
    int32_t acs_chan_mask;   // channels the LTE frequency allows; 0 = no restriction known
    uint32_t ap_oper_chan;   // AP operating channel; 0 = unknown or automatic
    uint8_t wwan_band;       // 0x0F FDD, 0xF0 TDD, 0xFF idle receive, 0 deactivated
    uint32_t wwan_freq;      // MHz
    uint8_t wwan_ul_bw;
    uint8_t wwan_operational;
} lte_coex_state_t;

#ifdef __cplusplus
extern "C" {
#endif

WLAN_EXPORT void bcm_lte_coex_set_shadow_agent(HostapdAgent* agent);
WLAN_EXPORT void bcm_lte_coex_set_selected_channel(unsigned int channel);
WLAN_EXPORT void bcm_lte_coex_get_acs_chanlist(const int* chans, int count, int* out,
                                               int* out_count, int is_5g);
WLAN_EXPORT void bcm_lte_coex_update_wwan_data(lte_coex_wwan_data_t* data);

#ifdef __cplusplus
}
#endif

#endif
