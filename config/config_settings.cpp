#include "config/config_settings.h"

#include <stddef.h>
#include <stdint.h>
#include <stdlib.h>
#include <string.h>

#include "config/config_lines.h"
#include "config/maclist.h"
#include "util/log.h"
#include "util/shell.h"

namespace {

// Keys whose value is a plain decimal number stored as is.
struct NumberKey {
    const char* key;
    int32_t wlan_mgr_bss_config::*field;
};

constexpr NumberKey kNumberKeys[] = {
    {"ignore_broadcast_ssid", &wlan_mgr_bss_config::ignore_broadcast_ssid},
    {"channel", &wlan_mgr_bss_config::channel},
    {"channel_num", &wlan_mgr_bss_config::channel},
    {"auto_chan_select", &wlan_mgr_bss_config::auto_chan_select},
    {"macaddr_acl", &wlan_mgr_bss_config::macaddr_acl},
    {"ieee80211n", &wlan_mgr_bss_config::ieee80211n},
    {"require_ht", &wlan_mgr_bss_config::require_ht},
    {"wpa", &wlan_mgr_bss_config::wpa},
    {"eap_server", &wlan_mgr_bss_config::eap_server},
    {"ap_isolate", &wlan_mgr_bss_config::ap_isolate},
};

// Keys whose value is a text copied into a field.
struct TextKey {
    const char* key;
    size_t offset;
    size_t size;
};

#define WLAN_TEXT_FIELD(key, field) \
    { key, offsetof(wlan_mgr_bss_config, field), sizeof(wlan_mgr_bss_config::field) }

const TextKey kTextKeys[] = {
    WLAN_TEXT_FIELD("ssid", ssid),
    WLAN_TEXT_FIELD("country_code", country),
    WLAN_TEXT_FIELD("ht_capab", ht_capab),
    WLAN_TEXT_FIELD("wpa_key_mgmt", wpa_key_mgmt),
    WLAN_TEXT_FIELD("wpa_pairwise", wpa_pairwise),
};

#undef WLAN_TEXT_FIELD

// Base 10, leading white space and a sign accepted, stops at the first non-digit, 0 without
// digits. Values beyond 32 bits are held at the nearest limit.
int32_t parse_decimal(const char* text) {
    long long value = strtoll(text, nullptr, 10);
    if (value > INT32_MAX) return INT32_MAX;
    if (value < INT32_MIN) return INT32_MIN;
    return static_cast<int32_t>(value);
}

void append_extra_line(wlan_mgr_bss_config* bss, const char* key, const char* value, int line) {
    void* grown = nullptr;
    if (bss->num_extra_conf >= 0 && bss->num_extra_conf < INT32_MAX) {
        size_t count = static_cast<size_t>(bss->num_extra_conf) + 1;
        grown = realloc(bss->extra_conf, count * WLAN_MGR_EXTRA_CONF_SLOT);
    }
    if (grown == nullptr) {
        WLAN_LOG5("Line %d: realloc_array faild!\n", line);
        return;
    }
    bss->extra_conf = static_cast<char(*)[WLAN_MGR_EXTRA_CONF_SLOT]>(grown);
    char* slot = bss->extra_conf[bss->num_extra_conf++];
    if (!format_bounded(slot, WLAN_MGR_EXTRA_CONF_SLOT, "%s=%s", key, value))
        WLAN_LOG5("Line %d: line of %s cut to %d characters", line, key,
                  WLAN_MGR_EXTRA_CONF_SLOT - 1);
}

void read_deny_mac_file(wlan_mgr_bss_config* bss, const char* value, int line) {
    store_config_text(bss->deny_mac_file, sizeof(bss->deny_mac_file), value, line, "deny_mac_file");
    if (wlan_mgr_config_read_maclist(bss->deny_mac_file, &bss->accept_mac, &bss->num_accept_mac) <
        0)
        WLAN_LOG5("Line %d: Failed to read accept_mac_file '%s'", line, value);
}

void store_passphrase(wlan_mgr_bss_config* bss, const char* value, int line) {
    size_t length = strlen(value);
    if (length < 8 || length > 63) {
        WLAN_LOG5("Line %d: invalid WPA passphrase length %d (expected 8..63)", line,
                  static_cast<int>(length));
        return;
    }
    store_config_text(bss->wpa_passphrase, sizeof(bss->wpa_passphrase), value, line,
                      "wpa_passphrase");
    bss->wpa_psk[0] = '\0';
}

void store_psk(wlan_mgr_bss_config* bss, const char* value, int line) {
    size_t length = strlen(value);
    if (length != 64) {
        WLAN_LOG5("Line %d: invalid WPA psk length %d (expected 64)", line,
                  static_cast<int>(length));
        return;
    }
    store_config_text(bss->wpa_psk, sizeof(bss->wpa_psk), value, line, "wpa_psk");
    bss->wpa_passphrase[0] = '\0';
}

// Keys with a check of their own. False when the key is none of them.
bool apply_checked_setting(wlan_mgr_bss_config* bss, const char* key, const char* value, int line) {
    if (strcmp(key, "wmode") == 0) {
        bss->wmode = parse_decimal(value);
        if (bss->wmode < 1 || bss->wmode > 6) {
            WLAN_MINOR_WARNING("unknown wmode = %d , resetting to 0\n", bss->wmode);
            bss->wmode = 0;
        }
    } else if (strcmp(key, "deny_mac_file") == 0) {
        read_deny_mac_file(bss, value, line);
    } else if (strcmp(key, "accept_mac_file") == 0) {
        WLAN_TRACE("Ignore accept_list_file conf.");
    } else if (strcmp(key, "auth_algs") == 0) {
        bss->auth_algs = parse_decimal(value);
        if (bss->auth_algs == 0) WLAN_LOG5("Line %d: no authentication algorithms allowed", line);
    } else if (strcmp(key, "wpa_passphrase") == 0) {
        store_passphrase(bss, value, line);
    } else if (strcmp(key, "wpa_psk") == 0) {
        store_psk(bss, value, line);
    } else if (strcmp(key, "wps_state") == 0) {
        bss->wps_state = parse_decimal(value);
        if (bss->wps_state < 0 || bss->wps_state > 2) WLAN_LOG5("Line %d: invalid wps_state", line);
    } else {
        return false;
    }
    return true;
}

}  // namespace

void apply_config_setting(wlan_mgr_bss_config* bss, const char* key, const char* value, int line) {
    for (const NumberKey& number : kNumberKeys) {
        if (strcmp(key, number.key) == 0) {
            bss->*number.field = parse_decimal(value);
            return;
        }
    }
    for (const TextKey& text : kTextKeys) {
        if (strcmp(key, text.key) == 0) {
            char* field = reinterpret_cast<char*>(bss) + text.offset;
            store_config_text(field, text.size, value, line, key);
            return;
        }
    }
    if (!apply_checked_setting(bss, key, value, line)) append_extra_line(bss, key, value, line);
}
