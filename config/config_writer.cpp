#include "config/config_writer.h"

#include <stdio.h>
#include <string.h>
#include <unistd.h>

#include <string>
#include <utility>

#include "config/maclist.h"
#include "config/wireless_mode.h"
#include "util/atomic_file.h"
#include "util/log.h"
#include "util/text.h"
#include "wlan_config.h"

namespace {

// The text of a record field, read no further than its capacity even when a caller left it
// unterminated.
template <size_t N>
std::string field_text(const char (&field)[N]) {
    return std::string(field, strnlen(field, N - 1));
}

// The name of the first text that holds a CR or LF, or null. Written into the line-based
// configuration or MAC list file, such a text would add lines of the caller's choosing.
const char* text_with_line_break(const wlan_mgr_bss_config& bss) {
    const std::pair<const char*, std::string> texts[] = {
        {"ssid", field_text(bss.ssid)},
        {"country_code", field_text(bss.country)},
        {"deny_mac_file", field_text(bss.deny_mac_file)},
        {"ht_capab", field_text(bss.ht_capab)},
        {"wpa_key_mgmt", field_text(bss.wpa_key_mgmt)},
        {"wpa_pairwise", field_text(bss.wpa_pairwise)},
        {"wpa_passphrase", field_text(bss.wpa_passphrase)},
        {"wpa_psk", field_text(bss.wpa_psk)},
    };
    for (const auto& text : texts)
        if (has_line_break(text.second.c_str())) return text.first;
    for (int32_t i = 0; bss.extra_conf != nullptr && i < bss.num_extra_conf; ++i)
        if (has_line_break(field_text(bss.extra_conf[i]).c_str())) return "extra line";
    for (int32_t i = 0; bss.accept_mac != nullptr && i < bss.num_accept_mac; ++i) {
        if (has_line_break(field_text(bss.accept_mac[i].mac).c_str())) return "MAC";
        if (has_line_break(field_text(bss.accept_mac[i].description).c_str()))
            return "MAC description";
    }
    return nullptr;
}

// The key line and the key it holds (empty when the record has no key).
std::string wpa_key(const wlan_mgr_bss_config& bss, const char** key_name) {
    std::string passphrase = field_text(bss.wpa_passphrase);
    *key_name = passphrase.empty() ? "wpa_psk" : "wpa_passphrase";
    return passphrase.empty() ? field_text(bss.wpa_psk) : passphrase;
}

// Writes the record in the order the file has always had; comments of the old file are not
// kept.
void write_config_lines(FILE* out, const wlan_mgr_bss_config& bss) {
    fprintf(out, "ssid=%s\n", field_text(bss.ssid).c_str());
    fprintf(out, "ignore_broadcast_ssid=%d\n", bss.ignore_broadcast_ssid);
    fprintf(out, "country_code=%s\n", field_text(bss.country).c_str());
    fprintf(out, "wmode=%d\n", bss.wmode);
    fprintf(out, "channel=%d\n", bss.channel);
    if (bss.auto_chan_select != 0) fprintf(out, "auto_chan_select=%d\n", bss.auto_chan_select);
    if (bss.macaddr_acl != 0) {
        fprintf(out, "macaddr_acl=%d\n", bss.macaddr_acl);
        fprintf(out, "deny_mac_file=%s\n", field_text(bss.deny_mac_file).c_str());
    }
    fprintf(out, "auth_algs=%d\n", bss.auth_algs);
    fprintf(out, "ieee80211n=%d\n", bss.ieee80211n);
    fprintf(out, "ht_capab=%s\n", field_text(bss.ht_capab).c_str());
    fprintf(out, "require_ht=%d\n", bss.require_ht);
    fprintf(out, "wpa=%d\n", bss.wpa);
    std::string key_mgmt = field_text(bss.wpa_key_mgmt);
    if (!key_mgmt.empty()) fprintf(out, "wpa_key_mgmt=%s\n", key_mgmt.c_str());
    std::string pairwise = field_text(bss.wpa_pairwise);
    if (!pairwise.empty()) fprintf(out, "wpa_pairwise=%s\n", pairwise.c_str());
    const char* key_name = nullptr;
    std::string key = wpa_key(bss, &key_name);
    if (!key.empty()) fprintf(out, "%s=%s\n", key_name, key.c_str());
    fprintf(out, "wps_state=%d\n", bss.wps_state);
    fprintf(out, "eap_server=%d\n", bss.eap_server);
    fprintf(out, "ap_isolate=%d\n", bss.ap_isolate);
    for (int32_t i = 0; bss.extra_conf != nullptr && i < bss.num_extra_conf; ++i)
        fprintf(out, "%s\n", field_text(bss.extra_conf[i]).c_str());
}

// Replaces the configuration file and the MAC list file together: both new files are written
// and synced before either replaces its old one, so a failed write leaves the old pair. An
// unopenable configuration file is not reported, as it never was.
int write_config_files(const wlan_mgr_bss_config& bss, const char* path) {
    const char* broken = text_with_line_break(bss);
    if (broken != nullptr) {
        WLAN_LOG5("config: line break in %s, %s not written!", broken, path != nullptr ? path : "");
        return -1;
    }
    AtomicFile conf;
    if (!conf.Open(path)) return -1;
    write_config_lines(conf.Stream(), bss);
    if (!conf.Sync()) {
        WLAN_LOG5("write %s error!", path);
        return -1;
    }
    // A record without a MAC list file name has no list to keep.
    std::string list_path = field_text(bss.deny_mac_file);
    AtomicFile list;
    if (!list_path.empty() && !wlan_mgr_config_write_maclist(&list, list_path.c_str(),
                                                             bss.accept_mac, bss.num_accept_mac)) {
        WLAN_LOG5("write %s error!", list_path.c_str());
        return -1;
    }
    if (!conf.Commit()) {
        WLAN_LOG5("write %s error!", path);
        return -1;
    }
    if (!list_path.empty() && !list.Commit()) {
        WLAN_LOG5("write %s error!", list_path.c_str());
        return -1;
    }
    wlan_userlog(WLAN_PRIO_INFO, "set ssid: %s", field_text(bss.ssid).c_str());
    const char* key_name = nullptr;
    std::string key = wpa_key(bss, &key_name);
    if (!key.empty()) wlan_userlog(WLAN_PRIO_INFO, "set wpa key: %s", key.c_str());
    return 0;
}

}  // namespace

int wlan_config_write(wlan_mgr_bss_config* bss, const char* path) {
    if (bss == nullptr) return -1;
    wireless_mode_internal_to_file(bss);
    WLAN_TRACE_ENTER("wlan_mgr_config_write");
    int result = write_config_files(*bss, path);
    WLAN_TRACE_LEAVE("wlan_mgr_config_write");
    if (result == 0) sync();
    return result;
}

extern "C" WLAN_EXPORT void wlan_mgr_set_config(wlan_mgr_bss_config* bss, const char* path) {
    wlan_config_write(bss, path);
}
