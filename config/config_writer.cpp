#include <stdio.h>
#include <unistd.h>

#include "config/maclist.h"
#include "config/wireless_mode.h"
#include "util/atomic_file.h"
#include "util/log.h"
#include "wlan_config.h"

namespace {

void write_wpa_key(FILE* out, const wlan_mgr_bss_config* bss) {
    const char* line = nullptr;
    const char* key = nullptr;
    if (bss->wpa_passphrase[0] != '\0') {
        line = "wpa_passphrase";
        key = bss->wpa_passphrase;
    } else if (bss->wpa_psk[0] != '\0') {
        line = "wpa_psk";
        key = bss->wpa_psk;
    } else {
        return;
    }
    fprintf(out, "%s=%s\n", line, key);
    wlan_userlog(WLAN_PRIO_INFO, "set wpa key: %s", key);
}

void write_extra_lines(FILE* out, const wlan_mgr_bss_config* bss) {
    for (int32_t i = 0; bss->extra_conf != nullptr && i < bss->num_extra_conf; ++i)
        fprintf(out, "%.*s\n", WLAN_MGR_EXTRA_CONF_SLOT - 1, bss->extra_conf[i]);
}

// Writes the record in the order the file has always had; comments of the old file are not
// kept. The file is replaced whole, so a failed write leaves the old one. False when the file
// could not be opened: then nothing was written.
bool write_config_file(const wlan_mgr_bss_config* bss, const char* path) {
    WLAN_TRACE_ENTER("wlan_mgr_config_write");
    AtomicFile file;
    if (!file.Open(path)) {
        WLAN_TRACE_LEAVE("wlan_mgr_config_write");
        return false;
    }
    FILE* out = file.Stream();
    fprintf(out, "ssid=%s\n", bss->ssid);
    wlan_userlog(WLAN_PRIO_INFO, "set ssid: %s", bss->ssid);
    fprintf(out, "ignore_broadcast_ssid=%d\n", bss->ignore_broadcast_ssid);
    fprintf(out, "country_code=%s\n", bss->country);
    fprintf(out, "wmode=%d\n", bss->wmode);
    fprintf(out, "channel=%d\n", bss->channel);
    if (bss->auto_chan_select != 0) fprintf(out, "auto_chan_select=%d\n", bss->auto_chan_select);
    if (bss->macaddr_acl != 0) {
        fprintf(out, "macaddr_acl=%d\n", bss->macaddr_acl);
        fprintf(out, "deny_mac_file=%s\n", bss->deny_mac_file);
    }
    wlan_mgr_config_write_maclist(bss->deny_mac_file, bss->accept_mac, bss->num_accept_mac);
    fprintf(out, "auth_algs=%d\n", bss->auth_algs);
    fprintf(out, "ieee80211n=%d\n", bss->ieee80211n);
    fprintf(out, "ht_capab=%s\n", bss->ht_capab);
    fprintf(out, "require_ht=%d\n", bss->require_ht);
    fprintf(out, "wpa=%d\n", bss->wpa);
    if (bss->wpa_key_mgmt[0] != '\0') fprintf(out, "wpa_key_mgmt=%s\n", bss->wpa_key_mgmt);
    if (bss->wpa_pairwise[0] != '\0') fprintf(out, "wpa_pairwise=%s\n", bss->wpa_pairwise);
    write_wpa_key(out, bss);
    fprintf(out, "wps_state=%d\n", bss->wps_state);
    fprintf(out, "eap_server=%d\n", bss->eap_server);
    fprintf(out, "ap_isolate=%d\n", bss->ap_isolate);
    write_extra_lines(out, bss);
    file.Commit();
    WLAN_TRACE_LEAVE("wlan_mgr_config_write");
    return true;
}

}  // namespace

extern "C" WLAN_EXPORT void wlan_mgr_set_config(wlan_mgr_bss_config* bss, const char* path) {
    if (bss == nullptr) return;
    wireless_mode_internal_to_file(bss);
    if (write_config_file(bss, path)) sync();
}
