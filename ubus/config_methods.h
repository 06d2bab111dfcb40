#ifndef WLAN_UBUS_CONFIG_METHODS_H
#define WLAN_UBUS_CONFIG_METHODS_H

// The steps of the configuration methods (methods_config.cpp) that touch neither the
// configuration file nor a device command, for the benchmarks.

extern "C" {
#include <libubox/blobmsg.h>
}
#include <stdint.h>

#include <vector>

#include "wlan_config.h"

class MethodCall;

// A wlan_set_config request whose fields were all found and checked. Texts point into the
// request message.
struct ConfigRequest {
    const char* ssid;
    int32_t ignore_broadcast_ssid;
    const char* region;
    int32_t band_type;
    int32_t chan;
    int32_t wmode;
    int32_t chan_width;
    int32_t wpa;
    int32_t wpa_encrypt;
    const char* wpa_key;
    int32_t mac_filter;
    std::vector<wlan_mgr_mac_entry> mac_list;  // empty when mac_addrs is absent
    int32_t wps;
    int32_t ap_isolate;
};

// Parses and checks a request. 0, or the ubus status that refuses it (after a level-5 message).
int parse_config_request(blob_attr* msg, ConfigRequest* request);

// What applying a request leaves to do once the record is written.
struct ConfigChange {
    // The security status for the warning feature, or -1 when none is to be recorded.
    int sec_status = -1;
    // Whether the MAC filter was on before the change.
    bool filter_was_on = false;
};

// Applies a checked request to a record read from the configuration file. May read the product
// region (a uci command) when the request keeps an unset cipher.
ConfigChange apply_config_request(const ConfigRequest& request, wlan_mgr_bss_config* bss);

// Adds the wlan_get_config fields of the record to the call's reply.
void add_config_reply(MethodCall& call, const wlan_mgr_bss_config& bss);

#endif
