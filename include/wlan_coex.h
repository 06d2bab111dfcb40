#ifndef WLAN_COEX_H
#define WLAN_COEX_H

#include <stdint.h>

#include "wlan_export.h"

class HostapdAgent;

// One LTE state report, the arguments of the ubus method "wlan_send_wwan_state" in order.
typedef struct lte_coex_wwan_data_t {
    char wlan_if[16];
    int32_t band_info_valid;  // 1: the band fields below are valid
    int32_t ul_band_freq;     // LTE uplink frequency, MHz; 0 = no uplink
    int32_t ul_band_bw;       // LTE uplink bandwidth, MHz
    int32_t dl_band_freq;     // LTE downlink frequency, MHz; 0 = none
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

// The agent's LTE coexistence state; all zero when the agent is constructed. Each field is read
// and written whole, without a lock, by the coexistence functions only.
typedef struct lte_coex_state_t {
    uint8_t wwan_state;     // 0 deactivated, 1 active, 2 idle receive
    int32_t acs_chan_mask;  // channels the LTE frequency allows; 0 = no restriction known
    uint32_t ap_oper_chan;  // AP operating channel; 0 = unknown or automatic
    uint8_t wwan_band;      // 0x0F FDD, 0xF0 TDD, 0xFF idle receive, 0 deactivated
    uint32_t wwan_freq;     // MHz
    uint8_t wwan_ul_bw;
    uint8_t wwan_operational;
} lte_coex_state_t;

// Wi-Fi channel mask bits: 2.4 GHz channel c (1..13) is bit c-1; 36, 40, 44, 48 are bits 14..17;
// 149, 153, 157, 161, 165 are bits 18..22. LTE_COEX_ALL_CHANNELS has every channel bit.
#define LTE_COEX_ALL_CHANNELS 0x7FDFFFu

// One row of an LTE lookup table: six 32-bit words. A row matches an LTE frequency f (MHz)
// when low_mhz <= f < high_mhz (and, for FDD on the 2.4 GHz table, when the uplink bandwidth
// does not exceed max_bw). Only acs_mask, the channels that stay usable, is read.
typedef struct lte_coex_lookup_row_t {
    uint32_t low_mhz;
    uint32_t high_mhz;
    uint32_t max_bw;
    uint32_t acs_mask;
    uint32_t mask_2;
    uint32_t mask_3;
} lte_coex_lookup_row_t;

#define LTE_COEX_FDD_ROWS 20
#define LTE_COEX_FDD_5G_ROWS 16
#define LTE_COEX_TDD_ROWS 4
// TDD has no 5 GHz rows. lte_coex_tdd_lookup_table_5G is still an exported array (C++ has no
// zero-length arrays): it holds one all-zero row that no frequency can match (low = high = 0)
// and that nothing reads, since its row count is 0.
#define LTE_COEX_TDD_5G_ROWS 0

#ifdef __cplusplus
extern "C" {
#endif

WLAN_EXPORT extern const lte_coex_lookup_row_t lte_coex_fdd_lookup_table[LTE_COEX_FDD_ROWS];
WLAN_EXPORT extern const lte_coex_lookup_row_t lte_coex_fdd_lookup_table_5G[LTE_COEX_FDD_5G_ROWS];
WLAN_EXPORT extern const lte_coex_lookup_row_t lte_coex_tdd_lookup_table[LTE_COEX_TDD_ROWS];
WLAN_EXPORT extern const lte_coex_lookup_row_t lte_coex_tdd_lookup_table_5G[];

// Hands the host's agent to the coexistence code (null allowed). Until an agent is set every
// function below logs "LTE_COEX: shadow agent is NULL" and falls back.
WLAN_EXPORT void bcm_lte_coex_set_shadow_agent(HostapdAgent* agent);

// Records the AP's operating channel (0 = unknown or automatic).
WLAN_EXPORT void bcm_lte_coex_set_selected_channel(unsigned int channel);

// Narrows the count candidate channels to those the current LTE frequency allows and writes
// them to out, setting *out_count. out needs room for count entries, and for one when count is
// below 1; never more are written. is_5g: the candidates are 5 GHz channels.
WLAN_EXPORT void bcm_lte_coex_get_acs_chanlist(const int* chans, int count, int* out,
                                               int* out_count, int is_5g);

// Takes one LTE state report: stores it in the agent, looks its frequency up in the tables and
// asks the platform to restart Wi-Fi when the operating channel is no longer allowed.
WLAN_EXPORT void bcm_lte_coex_update_wwan_data(const lte_coex_wwan_data_t* data);

#ifdef __cplusplus
}
#endif

#endif
