// The LTE state report through which the modem side tells the LTE coexistence its band.
#include "ubus/method_groups.h"

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

}  // namespace

// Not built yet: the method answers UBUS_STATUS_NOT_SUPPORTED.
int ubus_wlan_receive_wwan_state(ubus_context*, ubus_object*, ubus_request_data*, const char*,
                                 blob_attr*) {
    return UBUS_STATUS_NOT_SUPPORTED;
}

namespace {

const ubus_method lte_methods[] = {
    UBUS_METHOD("wlan_send_wwan_state", ubus_wlan_receive_wwan_state, wwan_policy),
};

}  // namespace

const MethodGroup lte_method_group = WLAN_METHOD_GROUP(lte_methods);
