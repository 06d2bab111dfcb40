#include "radio/script_text.h"
#include "util/log.h"
#include "util/text.h"
#include "wlan_radio.h"

namespace {

// macaddr_acl 3 denies the listed stations (and drops those associated now), 2 allows only
// them; anything else switches the filter off but still loads the list.
constexpr int kAclDeny = 3;
constexpr int kAclAllow = 2;

const char* mac_mode_line(int macaddr_acl) {
    if (macaddr_acl == kAclDeny) return "${WL} macmode 1\n";
    if (macaddr_acl == kAclAllow) return "${WL} macmode 2\n";
    return "${WL} macmode 0\n";
}

void write_mac_lines(ScriptText& out, const wlan_mgr_bss_config& bss) {
    if (bss.accept_mac == nullptr) return;
    for (int32_t i = 0; i < bss.num_accept_mac; ++i) {
        const wlan_mgr_mac_entry& entry = bss.accept_mac[i];
        char mac[sizeof(entry.mac)];
        copy_text_n(mac, sizeof(mac), entry.mac, sizeof(entry.mac));
        // Only a well-formed MAC may reach the script's command lines.
        if (!is_mac_text(mac)) {
            WLAN_LOG5("mac filter: skip invalid MAC [%s]", mac);
            continue;
        }
        out.Printf("${WL} mac %s\n", mac);
        if (bss.macaddr_acl == kAclDeny) out.Printf("${WL} deauthenticate %s\n", mac);
    }
}

}  // namespace

extern "C" WLAN_EXPORT int wlan_mgr_mac_fliter_to_wl_sh(const wlan_mgr_bss_config* bss,
                                                        const char* path) {
    if (bss == nullptr || path == nullptr) {
        WLAN_LOG5("mac filter: no configuration or no path!");
        return -1;
    }
    ScriptFile file;
    if (!file.Open(path)) return -1;
    ScriptText out;
    out.Add("#!/bin/sh\n");
    out.Add("\n#mac filter\n");
    out.Add("\nWL=\"$1\"\n");
    out.Add(mac_mode_line(bss->macaddr_acl));
    out.Add("${WL} mac none\n");
    write_mac_lines(out, *bss);
    return file.Commit(out);
}
