// Configuration methods: reading and changing the AP configuration as a whole. A change takes
// effect at the next radio start, except a new MAC list while the filter stays on, which goes to
// the radio at once.
#include <ctype.h>
#include <pthread.h>
#include <stdlib.h>
#include <string.h>

#include <string>

#include "config/config_writer.h"
#include "hostapd_agent.h"
#include "ubus/config_methods.h"
#include "ubus/mac_list_text.h"
#include "ubus/method_call.h"
#include "ubus/method_groups.h"
#include "ubus_assistant.h"
#include "util/device_paths.h"
#include "util/log.h"
#include "util/text.h"
#include "wlan_config.h"
#include "wlan_region.h"
#include "wlan_warn.h"

namespace {

// Shared by wlan_get_config, which reads no field of the request, and wlan_set_config. The
// index of a field is part of wlan_set_config's error message.
enum ConfigPolicyField {
    CONFIG_SSID,
    CONFIG_IGNORE_BROADCAST_SSID,
    CONFIG_REGION,
    CONFIG_BAND_TYPE,
    CONFIG_CHAN,
    CONFIG_WMODE,
    CONFIG_CHAN_WIDTH,
    CONFIG_WPA,
    CONFIG_WPA_ENCRYPT,
    CONFIG_WPA_KEY,
    CONFIG_MAC_FILTER,
    CONFIG_MAC_ADDRS,
    CONFIG_WPS,
    CONFIG_AP_ISOLATE,
    CONFIG_POLICY_MAX
};
const blobmsg_policy config_policy[CONFIG_POLICY_MAX] = {
    {"ssid", BLOBMSG_TYPE_STRING},       {"ignore_broadcast_ssid", BLOBMSG_TYPE_INT32},
    {"region", BLOBMSG_TYPE_STRING},     {"band_type", BLOBMSG_TYPE_INT32},
    {"chan", BLOBMSG_TYPE_INT32},        {"wmode", BLOBMSG_TYPE_INT32},
    {"chan_width", BLOBMSG_TYPE_INT32},  {"wpa", BLOBMSG_TYPE_INT32},
    {"wpa_encrypt", BLOBMSG_TYPE_INT32}, {"wpa_key", BLOBMSG_TYPE_STRING},
    {"mac_filter", BLOBMSG_TYPE_INT32},  {"mac_addrs", BLOBMSG_TYPE_STRING},
    {"wps", BLOBMSG_TYPE_INT32},         {"ap_isolate", BLOBMSG_TYPE_INT32},
};

// macaddr_acl when the filter is switched on: the listed stations are denied.
constexpr int32_t kAclDeny = 3;
// wpa for a network with a pre-shared key, WPA and WPA2.
constexpr int32_t kWpaPsk = 3;
// wps_state of an AP with WPS on.
constexpr int32_t kWpsConfigured = 2;
constexpr size_t kPskLength = 64;

constexpr const char* kHt40Plus = "[HT40+]";
constexpr const char* kHt40Minus = "[HT40-]";

// The ciphers by wpa_encrypt code, with the security status each records.
struct Cipher {
    const char* pairwise;
    int sec_status;
};
constexpr Cipher kCiphers[] = {{"TKIP", 1}, {"CCMP TKIP", 2}, {"CCMP", 3}};
constexpr int kUnknownCipher = 3;

int32_t int_field(blob_attr* field) { return static_cast<int32_t>(blobmsg_get_u32(field)); }

// A text of the request that goes into the line-based configuration files: it must fit its
// record field whole (max characters) and hold no line break, nor a NUL before its end.
bool acceptable_text(blob_attr* field, size_t max) {
    const char* text = blobmsg_get_string(field);
    size_t len = strlen(text);
    return len + 1 == static_cast<size_t>(blobmsg_data_len(field)) && len <= max &&
           !has_line_break(text);
}

// A key the AP can use: a passphrase of 8 to 63 printable ASCII characters, or a pre-shared key
// of 64 hexadecimal digits.
bool usable_wpa_key(const char* key) {
    size_t len = strlen(key);
    for (size_t i = 0; i < len; ++i) {
        unsigned char c = static_cast<unsigned char>(key[i]);
        if (len == kPskLength ? !isxdigit(c) : (c < 0x20 || c > 0x7e)) return false;
    }
    return len == kPskLength || (len >= 8 && len <= 63);
}

int refuse(const char* what) {
    WLAN_LOG5("Set Wlan Config %s refused!\n", what);
    return UBUS_STATUS_INVALID_ARGUMENT;
}

// Adds the flag at the end of the capabilities when it is missing (and fits), or cuts out its
// first occurrence.
void set_ht_flag(char (&ht_capab)[sizeof(wlan_mgr_bss_config::ht_capab)], const char* flag,
                 bool on) {
    char* found = strstr(ht_capab, flag);
    size_t flag_len = strlen(flag);
    if (!on) {
        if (found != nullptr) memmove(found, found + flag_len, strlen(found + flag_len) + 1);
        return;
    }
    if (found != nullptr) return;
    size_t len = strlen(ht_capab);
    if (len + flag_len >= sizeof(ht_capab)) {
        WLAN_LOG5("ht_capab full, %s not added", flag);
        return;
    }
    memcpy(ht_capab + len, flag, flag_len + 1);
}

// The 40 MHz flags for the request's channel width: which side the secondary channel lies on.
void apply_channel_width(int32_t chan_width, wlan_mgr_bss_config* bss) {
    int code = 0;
    if (chan_width != 0)
        code = bss->auto_chan_select == 1
                   ? 1
                   : get_chan_width_support(bss->country, bss->channel & 0xff);
    bool japan_14 = strcmp(bss->country, "JP") == 0 && bss->channel == 14;
    set_ht_flag(bss->ht_capab, kHt40Plus, !japan_14 && (code == 2 || code == 3));
    set_ht_flag(bss->ht_capab, kHt40Minus, !japan_14 && (code == 1 || code == 3));
}

// The security fields; returns the status to record for the warning feature, or -1.
int apply_security(const ConfigRequest& request, wlan_mgr_bss_config* bss) {
    if (request.wpa == 0) {
        bss->wpa = 0;
        bss->wpa_key_mgmt[0] = bss->wpa_pairwise[0] = bss->wpa_psk[0] = bss->wpa_passphrase[0] =
            '\0';
        return 0;
    }
    bss->wpa = kWpaPsk;
    copy_text(bss->wpa_key_mgmt, "WPA-PSK");
    int sec_status = -1;
    if (request.wpa_encrypt >= 0 &&
        request.wpa_encrypt < static_cast<int32_t>(ARRAY_SIZE(kCiphers))) {
        const Cipher& cipher = kCiphers[request.wpa_encrypt];
        copy_text(bss->wpa_pairwise, cipher.pairwise);
        sec_status = cipher.sec_status;
    } else if (bss->wpa_pairwise[0] == '\0') {
        if (is_export_product() != 0) {
            copy_text(bss->wpa_pairwise, "CCMP TKIP");
        } else {
            copy_text(bss->wpa_pairwise, "CCMP");
            sec_status = kCiphers[2].sec_status;
        }
    }
    if (strlen(request.wpa_key) == kPskLength) {
        copy_text(bss->wpa_psk, request.wpa_key);
        bss->wpa_passphrase[0] = '\0';
    } else {
        copy_text(bss->wpa_passphrase, request.wpa_key);
        bss->wpa_psk[0] = '\0';
    }
    return sec_status;
}

void replace_mac_list(const std::vector<wlan_mgr_mac_entry>& list, wlan_mgr_bss_config* bss) {
    free(bss->accept_mac);
    bss->accept_mac = nullptr;
    bss->num_accept_mac = 0;
    if (list.empty()) return;
    // Allocation is retried until it succeeds, as every growth of the list.
    void* entries = nullptr;
    while ((entries = malloc(list.size() * sizeof(wlan_mgr_mac_entry))) == nullptr) {
    }
    memcpy(entries, list.data(), list.size() * sizeof(wlan_mgr_mac_entry));
    bss->accept_mac = static_cast<wlan_mgr_mac_entry*>(entries);
    bss->num_accept_mac = static_cast<int32_t>(list.size());
}

// The wpa_encrypt code of a cipher text.
int32_t wpa_encrypt_code(const char* pairwise) {
    for (size_t i = 0; i < ARRAY_SIZE(kCiphers); ++i)
        if (strcmp(pairwise, kCiphers[i].pairwise) == 0) return static_cast<int32_t>(i);
    return kUnknownCipher;
}

}  // namespace

int parse_config_request(blob_attr* msg, ConfigRequest* request) {
    blob_attr* field[CONFIG_POLICY_MAX] = {nullptr};
    if (msg != nullptr)
        blobmsg_parse(config_policy, CONFIG_POLICY_MAX, field, blob_data(msg), blob_len(msg));
    for (int i = 0; i < CONFIG_POLICY_MAX; ++i) {
        if (i != CONFIG_MAC_ADDRS && field[i] == nullptr) {
            WLAN_LOG5("Set Wlan Config index:%d failed!\n", i);
            return UBUS_STATUS_INVALID_ARGUMENT;
        }
    }
    // Every text must fit its record field whole and stay on its line of the file.
    if (!acceptable_text(field[CONFIG_SSID], sizeof(wlan_mgr_bss_config::ssid) - 1))
        return refuse("ssid");
    if (!acceptable_text(field[CONFIG_REGION], sizeof(wlan_mgr_bss_config::country) - 1) ||
        !is_country_code(blobmsg_get_string(field[CONFIG_REGION])))
        return refuse("region");
    if (!acceptable_text(field[CONFIG_WPA_KEY], kPskLength)) return refuse("wpa_key");
    request->ssid = blobmsg_get_string(field[CONFIG_SSID]);
    request->ignore_broadcast_ssid = int_field(field[CONFIG_IGNORE_BROADCAST_SSID]);
    request->region = blobmsg_get_string(field[CONFIG_REGION]);
    request->band_type = int_field(field[CONFIG_BAND_TYPE]);
    request->chan = int_field(field[CONFIG_CHAN]);
    request->wmode = int_field(field[CONFIG_WMODE]);
    request->chan_width = int_field(field[CONFIG_CHAN_WIDTH]);
    request->wpa = int_field(field[CONFIG_WPA]);
    request->wpa_encrypt = int_field(field[CONFIG_WPA_ENCRYPT]);
    request->wpa_key = blobmsg_get_string(field[CONFIG_WPA_KEY]);
    request->mac_filter = int_field(field[CONFIG_MAC_FILTER]);
    request->wps = int_field(field[CONFIG_WPS]);
    request->ap_isolate = int_field(field[CONFIG_AP_ISOLATE]);
    // A key the next read of the file would drop would leave the AP without one.
    if (request->wpa != 0 && !usable_wpa_key(request->wpa_key)) return refuse("wpa_key");
    request->mac_list.clear();
    if (field[CONFIG_MAC_ADDRS] != nullptr) {
        blob_attr* list = field[CONFIG_MAC_ADDRS];
        const char* text = blobmsg_get_string(list);
        size_t len = static_cast<size_t>(blobmsg_data_len(list)) - 1;
        const char* wrong = strlen(text) != len
                                ? "NUL in the text"
                                : parse_mac_list_text(text, len, &request->mac_list);
        if (wrong != nullptr) {
            WLAN_LOG5("Set Wlan Config mac_addrs refused: %s!\n", wrong);
            return UBUS_STATUS_INVALID_ARGUMENT;
        }
    }
    return 0;
}

ConfigChange apply_config_request(const ConfigRequest& request, wlan_mgr_bss_config* bss) {
    ConfigChange change;
    copy_text(bss->ssid, request.ssid);
    bss->ignore_broadcast_ssid = request.ignore_broadcast_ssid;
    copy_text(bss->country, request.region);
    bss->band_type = request.band_type;
    bss->channel = request.chan;
    bss->auto_chan_select = request.chan == 0 ? 1 : 0;
    bss->wmode = request.wmode;
    apply_channel_width(request.chan_width, bss);
    change.sec_status = apply_security(request, bss);

    change.filter_was_on = bss->macaddr_acl != 0;
    if (request.mac_filter == 0)
        bss->macaddr_acl = 0;
    else if (bss->macaddr_acl == 0)
        bss->macaddr_acl = kAclDeny;
    replace_mac_list(request.mac_list, bss);
    // Without a list file name (no configuration file was read) the list would not be kept.
    if (bss->deny_mac_file[0] == '\0') copy_text(bss->deny_mac_file, kMacDenyListPath);

    bss->wps_state = request.wps != 0 ? kWpsConfigured : 0;
    bss->eap_server = request.wps != 0 ? 1 : 0;
    bss->ap_isolate = request.ap_isolate;
    return change;
}

void add_config_reply(MethodCall& call, const wlan_mgr_bss_config& bss) {
    call.AddString("ssid", bss.ssid);
    call.AddInt32("ignore_broadcast_ssid", bss.ignore_broadcast_ssid);
    call.AddString("region", bss.country);
    call.AddInt32("band_type", bss.band_type);
    bool auto_channel = bss.auto_chan_select >= 1 && bss.auto_chan_select <= 6;
    call.AddInt32("chan", auto_channel ? 0 : bss.channel);
    call.AddInt32("wmode", bss.wmode);
    call.AddInt32("chan_width", strstr(bss.ht_capab, "[HT40") != nullptr ? 1 : 0);
    call.AddInt32("wpa", bss.wpa);
    call.AddInt32("wpa_encrypt", wpa_encrypt_code(bss.wpa_pairwise));
    call.AddString("wpa_key", bss.wpa_psk[0] != '\0' ? bss.wpa_psk : bss.wpa_passphrase);
    call.AddInt32("mac_filter", bss.macaddr_acl != 0 ? 1 : 0);
    if (bss.accept_mac != nullptr && bss.num_accept_mac > 0)
        call.AddString("mac_addrs", mac_list_text(bss.accept_mac, bss.num_accept_mac).c_str());
    call.AddInt32("wps", bss.wps_state != 0 ? 1 : 0);
    call.AddInt32("ap_isolate", bss.ap_isolate);
}

// The AP configuration as the web interface shows it. Always status 0; no reply without an
// assistant.
int ubus_wlan_getconfig(ubus_context*, ubus_object*, ubus_request_data* req, const char*,
                        blob_attr*) {
    WLAN_TRACE("ubus_wlan_getconfig");
    MethodCall call(__func__, req);
    pthread_mutex_lock(&UbusAssistant::wlan_conf_lock);
    wlan_mgr_bss_config* bss = nullptr;
    wlan_mgr_get_config(&bss, kHostapdConfPath);
    WLAN_TRACE("bss->num_accept_mac: %d.\n", bss->num_accept_mac);
    if (call.Check(ShadowCheck::kUaTraced)) {
        add_config_reply(call, *bss);
        call.Send();
    }
    wlan_mgr_free_config(&bss);
    pthread_mutex_unlock(&UbusAssistant::wlan_conf_lock);
    WLAN_TRACE("ubus_wlan_getconfig LEAVE");
    return 0;
}

// Replaces the AP configuration with the request's. Every field but mac_addrs is required; a
// missing, over-long or malformed one refuses the request with nothing changed.
int ubus_wlan_setconfig(ubus_context*, ubus_object*, ubus_request_data* req, const char*,
                        blob_attr* msg) {
    WLAN_TRACE("ubus_wlan_setconfig");
    ConfigRequest request;
    int refused = parse_config_request(msg, &request);
    if (refused != 0) return refused;

    MethodCall call(__func__, req);
    pthread_mutex_lock(&UbusAssistant::wlan_conf_lock);
    wlan_mgr_bss_config* bss = nullptr;
    wlan_mgr_get_config(&bss, kHostapdConfPath);
    ConfigChange change = apply_config_request(request, bss);
    if (wlan_config_write(bss, kHostapdConfPath) != 0) {
        WLAN_LOG5("Set Wlan Config write %s failed!\n", kHostapdConfPath);
        wlan_mgr_free_config(&bss);
        pthread_mutex_unlock(&UbusAssistant::wlan_conf_lock);
        return UBUS_STATUS_UNKNOWN_ERROR;
    }
    if (change.sec_status >= 0 && getWlanwarnLaunch() != 0)
        uci_set_wlan_sec_status(change.sec_status);
    // A new list for a filter that stays on goes to the radio now; switching the filter on or
    // off takes effect at the next radio start.
    if (bss->macaddr_acl == kAclDeny && change.filter_was_on) {
        if (call.agent() != nullptr)
            call.agent()->BcmUpdateAcl(bss);
        else
            WLAN_TRACE("_shadow_agent == NULL");
    }
    wlan_mgr_free_config(&bss);
    WLAN_TRACE("ubus_wlan_setconfig_send_reply LEAVE");
    if (call.Check(ShadowCheck::kUaTraced)) {
        call.AddString("wlan_setconfig", "wlan_setconfig success!");
        call.Send();
    }
    pthread_mutex_unlock(&UbusAssistant::wlan_conf_lock);
    WLAN_TRACE("ubus_wlan_setconfig LEAVE");
    return 0;
}

namespace {

const ubus_method config_methods[] = {
    UBUS_METHOD("wlan_get_config", ubus_wlan_getconfig, config_policy),
    UBUS_METHOD("wlan_set_config", ubus_wlan_setconfig, config_policy),
};

}  // namespace

const MethodGroup config_method_group = WLAN_METHOD_GROUP(config_methods);
