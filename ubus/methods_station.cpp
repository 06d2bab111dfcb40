// Station-mode methods: saving a station profile and connecting with it, and the static IP
// settings of a saved network.
#include <pthread.h>
#include <stdlib.h>
#include <string.h>

#include <atomic>
#include <string>

#include "ubus/button_events.h"
#include "ubus/method_call.h"
#include "ubus/method_groups.h"
#include "ubus/work_queue.h"
#include "ubus_assistant.h"
#include "util/device_paths.h"
#include "util/log.h"
#include "util/shell.h"
#include "util/text.h"
#include "wisp/sta_profile.h"
#include "wisp/static_ip_config.h"
#include "wlan_config.h"
#include "wlan_event.h"

namespace {

constexpr const char* kStationInterface = "eth0";

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

// Copies a request text whole into its field; false for a NUL before its end, a CR or LF, or
// a text over the field.
bool take_sta_text(blob_attr* field, char* dst, size_t size) {
    const char* text = blobmsg_get_string(field);
    const size_t len = strlen(text);
    return len + 1 == static_cast<size_t>(blobmsg_data_len(field)) && !has_line_break(text) &&
           copy_text(dst, size, text);
}

struct StaText {
    int index;
    char* dst;
    size_t size;
};

int32_t int_field(blob_attr* field) { return static_cast<int32_t>(blobmsg_get_u32(field)); }

int refuse_sta_config(const char* what) {
    WLAN_LOG5("Set Sta Config refused: %s", what);
    return UBUS_STATUS_INVALID_ARGUMENT;
}

}  // namespace

// Saves the request's network as the profile to connect to, writes the supplicant file with
// every known profile and restarts the supplicant with it. Status 0, or -1 for a missing
// attribute or a supplicant file that cannot be written (the old supplicant then keeps running
// with the old files); no reply data. A text with a NUL, CR or LF or over its field, an address
// that is neither empty nor dotted-quad IPv4, and a key the supplicant would refuse are refused
// with invalid argument before anything changes.
int ubus_wlan_set_sta_config(ubus_context*, ubus_object*, ubus_request_data* req, const char*,
                             blob_attr* msg) {
    WLAN_TRACE("ubus_wlan_set_sta_config");
    MethodCall call(__func__, req);
    blob_attr* field[STA_CONFIG_POLICY_MAX] = {nullptr};
    if (msg != nullptr)
        blobmsg_parse(sta_config_policy, STA_CONFIG_POLICY_MAX, field, blob_data(msg),
                      blob_len(msg));
    for (int i = 0; i < STA_CONFIG_POLICY_MAX; ++i) {
        if (field[i] == nullptr) {
            WLAN_LOG5("Set Sta Config index:%d failed!\n", i);
            return -1;
        }
    }
    sta_setting_t request;
    memset(&request, 0, sizeof(request));
    const StaText texts[] = {
        {STA_CONFIG_SSID, request.ssid, sizeof(request.ssid)},
        {STA_CONFIG_WPA_KEY, request.wpa_key, sizeof(request.wpa_key)},
        {STA_CONFIG_IP, request.ip, sizeof(request.ip)},
        {STA_CONFIG_SUBMASK, request.submask, sizeof(request.submask)},
        {STA_CONFIG_GATEWAY, request.gateway, sizeof(request.gateway)},
        {STA_CONFIG_DNS1, request.dns1, sizeof(request.dns1)},
        {STA_CONFIG_DNS2, request.dns2, sizeof(request.dns2)},
    };
    for (const StaText& text : texts) {
        if (!take_sta_text(field[text.index], text.dst, text.size) ||
            (text.index >= STA_CONFIG_IP && !is_static_ip_value(text.dst)))
            return refuse_sta_config(sta_config_policy[text.index].name);
    }
    request.channel = int_field(field[STA_CONFIG_CHANNEL]);
    request.sec_type = int_field(field[STA_CONFIG_SEC_TYPE]);
    request.ieee8021x_type = int_field(field[STA_CONFIG_IEEE8021X_TYPE]);
    request.keyid = int_field(field[STA_CONFIG_KEYID]);
    request.authtype = int_field(field[STA_CONFIG_AUTHTYPE]);
    const char* fault = sta_profile_fault(request);
    if (fault != nullptr) return refuse_sta_config(fault);

    pthread_mutex_lock(&UbusAssistant::wlan_conf_lock);
    sta_setting = request;
    static_ip_config_load();
    static_ip_config_save({sta_setting.ssid, sta_setting.ip, sta_setting.submask,
                           sta_setting.gateway, sta_setting.dns1, sta_setting.dns2});
    wlan_mgr_bss_config* bss = nullptr;
    wlan_mgr_get_config(&bss, kHostapdConfPath);
    current_wireless_band = bss != nullptr && bss->band_type != 0 ? 1 : 0;
    wlan_mgr_free_config(&bss);
    sta_profiles_load();
    sta_profiles_place();
    if (!sta_profiles_store()) {
        WLAN_LOG5("write wpa_supplicant config file fail");
        pthread_mutex_unlock(&UbusAssistant::wlan_conf_lock);
        return -1;
    }
    kill_and_wait_process_stop("wpa_supplicant");
    shell_runf("wpa_supplicant -B -Dwext -i%s -c%s", kStationInterface, kSupplicantConfPath);
    pthread_mutex_unlock(&UbusAssistant::wlan_conf_lock);
    return 0;
}

// Copies the stored settings of the SSID (all "0.0.0.0" for an unknown one) into uci, commits
// them and has the platform take them up. Sends no reply. An SSID over 32 characters is refused
// (invalid argument) without any change. A commit that fails (a full or read-only /etc) drops
// the options' uncommitted changes and answers -1 with a level-5 message; the platform is not
// asked to take anything up then.
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
    if (static_ip_config_with(ssid, set_static_ip_options, nullptr) &&
        !shell_run("uci commit wlan")) {
        for (const char* option : kStaticIpOptions) shell_runf("uci revert %s", option);
        WLAN_LOG5("ubus_wlan_set_static_ip_config: uci commit wlan failed, nothing changed");
        return -1;
    }
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
