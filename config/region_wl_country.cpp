#include <string.h>

#include "config/region_table.h"
#include "util/text.h"
#include "wlan_region.h"

extern "C" {

WLAN_EXPORT char* get_wl_country_code(const char* country, char* out) {
    if (out == nullptr) return nullptr;
    if (country != nullptr) {
        for (const wl_country_remap_entry& row : wl_country_remap_table) {
            if (strcmp(row.country, country) == 0) {
                copy_text(out, WLAN_REGION_CODE_SIZE, row.wl_code);
                return out;
            }
        }
    }
    // The caller may pass its country buffer as out; it already holds the code then.
    if (out != country) {
        copy_text_n(out, WLAN_REGION_CODE_SIZE, country, WLAN_REGION_CODE_SIZE - 1);
    }
    return nullptr;
}

WLAN_EXPORT int get_wl_regv_code(const char* code) {
    if (code == nullptr) return -1;
    for (const wl_regrev_entry& row : wl_regrev_table) {
        if (strcmp(row.code, code) == 0) return row.regrev;
    }
    return -1;
}

}  // extern "C"
