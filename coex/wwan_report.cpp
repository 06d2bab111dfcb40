#include "coex/chan_bits.h"
#include "coex/coex_state.h"
#include "hostapd_agent.h"
#include "ubus_assistant.h"
#include "util/log.h"

namespace {

CoexRestartRequest coex_restart_request = ubus_restart_wlan;

constexpr uint8_t kWwanDeactivated = 0;
constexpr uint8_t kWwanActive = 1;
constexpr uint8_t kWwanIdleRx = 2;

constexpr uint8_t kBandFdd = 0x0F;
constexpr uint8_t kBandTdd = 0xF0;
constexpr uint8_t kBandIdleRx = 0xFF;

// Channel mask of the AP's operating channel; 0 when it is unknown or has no bit.
uint32_t ap_oper_chan_mask_of(const lte_coex_state_t& coex) {
    return coex_chan_bit(coex_load(coex.ap_oper_chan));
}

// Stores the row's mask and asks for a restart when the operating channel is no longer in it.
void lte_coex_apply_row(HostapdAgent* agent, const lte_coex_lookup_row_t& row) {
    lte_coex_state_t& coex = agent->lte_coex;
    coex_store(coex.acs_chan_mask, row.acs_mask);
    WLAN_TRACE("LTE_COEX: acs_chan_mask: %d\n", static_cast<int>(row.acs_mask));

    if (!agent->GetWlanOn()) {
        WLAN_LOG5("LTE_COEX: eth0 is down!");
        return;
    }
    uint32_t oper_chan = coex_load(coex.ap_oper_chan);
    if (oper_chan == 0) {
        WLAN_LOG5("LTE_COEX: ap_oper_chan is 0!");
        return;
    }
    WLAN_TRACE("LTE_COEX: AP operation channel: %d\n", static_cast<int>(oper_chan));

    uint32_t oper_mask = ap_oper_chan_mask_of(coex);
    uint32_t acs_mask = static_cast<uint32_t>(coex_load(coex.acs_chan_mask));
    if (oper_mask == 0) {
        WLAN_LOG5("LTE_COEX: ap_oper_chan_mask is 0! no need to change channel!");
        return;
    }
    if (acs_mask == 0) {
        WLAN_LOG5("LTE_COEX: acs_chan_mask is 0! no need to change channel!");
        return;
    }
    if ((oper_mask & acs_mask) == 0) {
        WLAN_TRACE("LTE_COEX: Restart wifi to choose a new channel to avoid interference!\n");
        coex_restart_request();
    } else {
        WLAN_TRACE("LTE_COEX: Channel now is good for lte-wifi coex yet!\n");
    }
}

// Applies the first row that covers the frequency; FDD rows also limit the uplink bandwidth.
void apply_first_match(HostapdAgent* agent, const lte_coex_lookup_row_t* table, int rows,
                       uint8_t band, uint32_t freq, uint8_t ul_bw) {
    for (int i = 0; i < rows; ++i) {
        const lte_coex_lookup_row_t& row = table[i];
        if (freq < row.low_mhz || freq >= row.high_mhz) continue;
        if (band == kBandFdd && ul_bw > row.max_bw) continue;
        lte_coex_apply_row(agent, row);
        return;
    }
}

// Stores the band part of a report. Returns false when the report ends here (idle receive).
bool store_band_info(lte_coex_state_t& coex, const lte_coex_wwan_data_t& data) {
    coex_store(coex.wwan_ul_bw, data.ul_band_bw);
    coex_store(coex.wwan_freq, data.ul_band_freq);
    if (data.ul_band_freq != 0) {
        WLAN_TRACE("LTE_COEX: LTE Active");
        coex_store(coex.wwan_state, kWwanActive);
        coex_store(coex.wwan_band, data.ul_band_freq == data.dl_band_freq ? kBandTdd : kBandFdd);
        return true;
    }
    if (data.dl_band_freq != 0) {
        WLAN_TRACE("LTE_COEX: LTE Idle Rx");
        coex_store(coex.wwan_state, kWwanIdleRx);
        coex_store(coex.wwan_freq, data.dl_band_freq);
        coex_store(coex.wwan_band, kBandIdleRx);
        return false;
    }
    WLAN_TRACE("LTE_COEX: LTE deactivated. Disable lte_coex");
    coex_store(coex.wwan_state, kWwanDeactivated);
    coex_store(coex.wwan_band, 0);
    return true;
}

}  // namespace

CoexRestartRequest coex_set_restart_request(CoexRestartRequest request) {
    CoexRestartRequest previous = coex_restart_request;
    coex_restart_request = request;
    return previous;
}

extern "C" WLAN_EXPORT void bcm_lte_coex_update_wwan_data(const lte_coex_wwan_data_t* data) {
    if (data == nullptr) return;
    WLAN_TRACE("LTE_COEX: QMI LTE band info:%d %d %d", data->band_info_valid, data->ul_band_freq,
               data->dl_band_freq);
    WLAN_TRACE("LTE_COEX: QMI TDD CFG:%d %d", data->tdd_info_valid, data->tdd_info_config);
    WLAN_TRACE("LTE_COEX: QMI off period:%d %d", data->off_period_valid, data->off_period);
    if (data->band_info_valid != 1 && data->tdd_info_valid != 1 && data->off_period_valid != 1)
        return;

    HostapdAgent* agent = coex_agent_or_log();
    if (agent == nullptr) return;
    lte_coex_state_t& coex = agent->lte_coex;
    coex_store(coex.wwan_operational, 1);

    if (data->band_info_valid == 1) {
        if (!store_band_info(coex, *data)) return;
    } else if (coex_load(coex.wwan_state) == kWwanIdleRx) {
        return;
    }

    uint8_t band = coex_load(coex.wwan_band);
    uint32_t freq = coex_load(coex.wwan_freq);
    uint8_t ul_bw = coex_load(coex.wwan_ul_bw);
    WLAN_TRACE("LTE_COEX: wwan state=%d, wwan_band=%d wwan_freq=%d\n", coex_load(coex.wwan_state),
               band, static_cast<int>(freq));
    if (coex_load(coex.wwan_operational) == 0) {
        WLAN_LOG5("LTE_COEX: wwan is not operational!");
        return;
    }

    if ((band & kBandTdd) != 0) {
        apply_first_match(agent, lte_coex_tdd_lookup_table, LTE_COEX_TDD_ROWS, band, freq, ul_bw);
        return;
    }
    apply_first_match(agent, lte_coex_fdd_lookup_table, LTE_COEX_FDD_ROWS, band, freq, ul_bw);
    apply_first_match(agent, lte_coex_fdd_lookup_table_5G, LTE_COEX_FDD_5G_ROWS, band, freq, ul_bw);
}
