// Station-mode methods: saving a station profile and connecting with it, and the static IP
// settings of a saved network.
#include <stdlib.h>
#include <string.h>

#include <atomic>
#include <string>

#include "ubus/button_events.h"
#include "ubus/method_call.h"
#include "ubus/method_groups.h"
#include "ubus/work_queue.h"
#include "util/log.h"
#include "util/shell.h"
#include "util/text.h"
#include "wisp/static_ip_config.h"
#include "wlan_event.h"

namespace {

enum StaConfigPolicyField {
    STA_CONFIG_SSID,
    STA_CONFIG_CHANNEL,
    STA_CONFIG_SEC_TYPE,
    STA_CONFIG_IEEE8021X_TYPE,
    STA_CONFIG_WPA_KEY,
    STA_CONFIG_KEYID,
    STA_CONFIG_AUTHTYPE,
    STA_CONFIG_IP,
    STA_CONFIG_SUBMASK,
    STA_CONFIG_GATEWAY,
    STA_CONFIG_DNS1,
    STA_CONFIG_DNS2,
    STA_CONFIG_POLICY_MAX
};
const blobmsg_policy sta_config_policy[STA_CONFIG_POLICY_MAX] = {
    {"ssid", BLOBMSG_TYPE_STRING},    {"channel", BLOBMSG_TYPE_INT32},
    {"sec_type", BLOBMSG_TYPE_INT32}, {"ieee8021x_type", BLOBMSG_TYPE_INT32},
    {"wpa_key", BLOBMSG_TYPE_STRING}, {"keyid", BLOBMSG_TYPE_INT32},
    {"authtype", BLOBMSG_TYPE_INT32}, {"ip", BLOBMSG_TYPE_STRING},
    {"submask", BLOBMSG_TYPE_STRING}, {"gateway", BLOBMSG_TYPE_STRING},
    {"dns1", BLOBMSG_TYPE_STRING},    {"dns2", BLOBMSG_TYPE_STRING},
};

enum StaticIpPolicyField { STATIC_IP_SSID, STATIC_IP_POLICY_MAX };
const blobmsg_policy static_ip_policy[STATIC_IP_POLICY_MAX] = {
    {"ssid", BLOBMSG_TYPE_STRING},
};

// The uci options of the static IP settings, in the order they are set.
constexpr const char* kStaticIpOptions[] = {
    "wlan.basic_setting.wisp_ap_static_ip", "wlan.basic_setting.wisp_ap_submask",
    "wlan.basic_setting.wisp_ap_gateway",   "wlan.basic_setting.wisp_ap_dns1",
    "wlan.basic_setting.wisp_ap_dns2",
};

// True while btn_evt_msg is handed to a queued job; cleared by the job's release, after the job
// has read it.
std::atomic<bool> g_btn_evt_msg_queued{false};

void btn_evt_msg_released(void*) { g_btn_evt_msg_queued.store(false, std::memory_order_release); }

// Sets the five options through uci; runs under the static IP list's lock. A stored value that
// is neither empty nor an IPv4 address is set as "0.0.0.0".
void set_static_ip_options(const StaticIpValues& values, bool, void*) {
    const char* texts[] = {values.ip, values.submask, values.gateway, values.dns1, values.dns2};
    for (size_t i = 0; i < ARRAY_SIZE(kStaticIpOptions); ++i) {
        const char* value = is_static_ip_value(texts[i]) ? texts[i] : "0.0.0.0";
        char command[128];
        if (format_bounded(command, sizeof(command), "uci set %s=%s", kStaticIpOptions[i],
                           shell_quote(value).c_str()))
            shell_run(command);
    }
}

// Asks the work queue to update the platform's station interface, as the power key's double
// click does. btn_evt_msg is written only while no job holds it; otherwise the job gets a copy.
void queue_station_interface_update() {
    bool expected = false;
    if (g_btn_evt_msg_queued.compare_exchange_strong(expected, true, std::memory_order_acquire)) {
        snprintf(btn_evt_msg, sizeof(btn_evt_msg), "%s %s", "power", "double-click");
        if (ha_wq_put(_handle_button_event_msg, btn_evt_msg, btn_evt_msg_released, nullptr) != 0)
            g_btn_evt_msg_queued.store(false, std::memory_order_release);
        return;
    }
    char* copy = strdup("power double-click");
    if (copy != nullptr && ha_wq_put(_handle_button_event_msg, copy, btn_evt_done, copy) != 0)
        free(copy);
}

}  // namespace

// Not built yet: this method answers UBUS_STATUS_NOT_SUPPORTED.
int ubus_wlan_set_sta_config(ubus_context*, ubus_object*, ubus_request_data*, const char*,
                             blob_attr*) {
    return UBUS_STATUS_NOT_SUPPORTED;
}

// Copies the stored settings of the SSID (all "0.0.0.0" for an unknown one) into uci, commits
// them and has the platform take them up. Sends no reply. An SSID over 32 characters is refused
// (invalid argument) without any change.
int ubus_wlan_set_static_ip_config(ubus_context*, ubus_object*, ubus_request_data* req, const char*,
                                   blob_attr* msg) {
    MethodCall call(__func__, req);
    blob_attr* field[STATIC_IP_POLICY_MAX] = {nullptr};
    if (msg != nullptr)
        blobmsg_parse(static_ip_policy, STATIC_IP_POLICY_MAX, field, blob_data(msg), blob_len(msg));
    if (field[STATIC_IP_SSID] == nullptr) return -1;
    char ssid[36];
    if (!copy_text(ssid, blobmsg_get_string(field[STATIC_IP_SSID])) ||
        strlen(ssid) >= kStaticIpSsidSize) {
        WLAN_LOG5("ubus_wlan_set_static_ip_config: ssid over 32 characters refused");
        return UBUS_STATUS_INVALID_ARGUMENT;
    }
    if (ssid[0] == '\0') return -1;

    static_ip_config_load();
    if (static_ip_config_with(ssid, set_static_ip_options, nullptr)) shell_run("uci commit wlan");
    queue_station_interface_update();
    return 0;
}

namespace {

const ubus_method station_methods[] = {
    UBUS_METHOD("wlan_set_sta_config", ubus_wlan_set_sta_config, sta_config_policy),
    UBUS_METHOD("wlan_set_static_ip_config", ubus_wlan_set_static_ip_config, static_ip_policy),
};

}  // namespace

const MethodGroup station_method_group = WLAN_METHOD_GROUP(station_methods);
