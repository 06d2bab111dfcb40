#include "radio/bss_text.h"
#include "radio/radio_script.h"

namespace {

// wsec value of a pairwise cipher text (exact, case-sensitive); null for an unknown one.
const char* wsec_of(const std::string& pairwise) {
    if (pairwise == "TKIP") return "0x02";
    if (pairwise == "CCMP") return "0x04";
    if (pairwise == "CCMP TKIP") return "0x06";
    return nullptr;
}

}  // namespace

void write_security_block(ScriptText& out, const wlan_mgr_bss_config& bss, const char* wl) {
    if (bss.wpa == 0) {
        out.Printf("%s wsec 0\n%s auth 0\n", wl, wl);
        return;
    }
    const char* wsec = wsec_of(bss_text(bss.wpa_pairwise));
    if (wsec == nullptr) return;
    out.Printf("%s wsec %s\n%s sup_wpa 1\n%s wpa_auth 0x84\n%s set_pmk \"${PMK}\"\n", wl, wsec, wl,
               wl, wl);
}
