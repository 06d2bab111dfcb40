// The LTE state report through which the modem side tells the LTE coexistence its band.
#include <stdint.h>

#include "ubus/method_call.h"
#include "ubus/method_groups.h"
#include "util/log.h"
#include "util/text.h"
#include "wlan_coex.h"

namespace {

// In the order of the fields of lte_coex_wwan_data_t; the index of a field is part of the
// method's error message.
enum WwanPolicyField {
    WWAN_WLAN_IF,
    WWAN_BAND_INFO_VALID,
    WWAN_UL_BAND_FREQ,
    WWAN_UL_BAND_BW,
    WWAN_DL_BAND_FREQ,
    WWAN_DL_BAND_BW,
    WWAN_TDD_INFO_VALID,
    WWAN_TDD_INFO_FRAME_OFFSET,
    WWAN_TDD_INFO_CONFIG,
    WWAN_TDD_INFO_SUBFRAME_CONFIG,
    WWAN_TDD_INFO_UL_CONFIG,
    WWAN_TDD_INFO_DL_CONFIG,
    WWAN_OFF_PERIOD_VALID,
    WWAN_OFF_PERIOD,
    WWAN_POLICY_MAX
};
const blobmsg_policy wwan_policy[WWAN_POLICY_MAX] = {
    {"wlan_if", BLOBMSG_TYPE_STRING},           {"band_info_valid", BLOBMSG_TYPE_INT32},
    {"ul_band_freq", BLOBMSG_TYPE_INT32},       {"ul_band_bw", BLOBMSG_TYPE_INT32},
    {"dl_band_freq", BLOBMSG_TYPE_INT32},       {"dl_band_bw", BLOBMSG_TYPE_INT32},
    {"tdd_info_valid", BLOBMSG_TYPE_INT32},     {"tdd_info_frame_offset", BLOBMSG_TYPE_INT32},
    {"tdd_info_config", BLOBMSG_TYPE_INT32},    {"tdd_info_subframe_config", BLOBMSG_TYPE_INT32},
    {"tdd_info_ul_config", BLOBMSG_TYPE_INT32}, {"tdd_info_dl_config", BLOBMSG_TYPE_INT32},
    {"off_period_valid", BLOBMSG_TYPE_INT32},   {"off_period", BLOBMSG_TYPE_INT32},
};

// The report's integer fields, in policy order after wlan_if.
int32_t* report_ints(lte_coex_wwan_data_t& data, int field) {
    int32_t* const ints[] = {
        &data.band_info_valid,
        &data.ul_band_freq,
        &data.ul_band_bw,
        &data.dl_band_freq,
        &data.dl_band_bw,
        &data.tdd_info_valid,
        &data.tdd_info_frame_offset,
        &data.tdd_info_config,
        &data.tdd_info_subframe_config,
        &data.tdd_info_ul_config,
        &data.tdd_info_dl_config,
        &data.off_period_valid,
        &data.off_period,
    };
    static_assert(sizeof(ints) / sizeof(ints[0]) == WWAN_POLICY_MAX - 1, "one per int32 field");
    return ints[field - WWAN_BAND_INFO_VALID];
}

}  // namespace

// One LTE state report: every field must be there; the report goes to the LTE coexistence,
// which may ask the platform to restart Wi-Fi on a channel away from the LTE band.
int ubus_wlan_receive_wwan_state(ubus_context*, ubus_object*, ubus_request_data* req, const char*,
                                 blob_attr* msg) {
    WLAN_TRACE("ubus_wlan_receive_wwan_state ENTRY");
    blob_attr* field[WWAN_POLICY_MAX] = {nullptr};
    if (msg != nullptr)
        blobmsg_parse(wwan_policy, WWAN_POLICY_MAX, field, blob_data(msg), blob_len(msg));
    for (int i = 0; i < WWAN_POLICY_MAX; ++i) {
        if (field[i] == nullptr) {
            WLAN_LOG5("Send wwan state index:%d failed!\n", i);
            return -1;
        }
    }

    // The interface name is only kept in the report, but it must fit its field whole and hold
    // no line break, as every text a request hands the library.
    lte_coex_wwan_data_t data = {};
    const char* wlan_if = blobmsg_get_string(field[WWAN_WLAN_IF]);
    if (has_line_break(wlan_if) || !copy_text(data.wlan_if, wlan_if)) {
        WLAN_LOG5("%s: wlan_if refused, report not taken", __func__);
        return UBUS_STATUS_INVALID_ARGUMENT;
    }
    for (int i = WWAN_BAND_INFO_VALID; i < WWAN_POLICY_MAX; ++i)
        *report_ints(data, i) = static_cast<int32_t>(blobmsg_get_u32(field[i]));
    bcm_lte_coex_update_wwan_data(&data);

    WLAN_TRACE("ubus_wlan_wwanstate_send_reply Entry");
    MethodCall call(__func__, req);
    if (call.ua() == nullptr) {
        WLAN_TRACE("_shadow_ua == NULL");
        WLAN_TRACE("ubus_wlan_receive_wwan_state LEAVE");
        return -1;
    }
    call.AddString("wlan_send_wwan_state", "wlan_send_wwan_state success!");
    WLAN_TRACE("Send a ubus reply.\n");
    call.Send();
    WLAN_TRACE("ubus_wlan_wwanstate_send_reply LEAVE");
    WLAN_TRACE("ubus_wlan_receive_wwan_state LEAVE");
    return 0;
}

namespace {

const ubus_method lte_methods[] = {
    UBUS_METHOD("wlan_send_wwan_state", ubus_wlan_receive_wwan_state, wwan_policy),
};

}  // namespace

const MethodGroup lte_method_group = WLAN_METHOD_GROUP(lte_methods);
