#include <string.h>

#include "config/region_table.h"
#include "util/text.h"
#include "wlan_region.h"

namespace {

constexpr int kDefaultMaxChan2G = 11;

// Linear scan from the first row; the first row whose code equals the whole text wins.
const region_regulation_entry* find_region(const char* code) {
    if (code == nullptr) return nullptr;
    for (const region_regulation_entry& row : region_regulation_table) {
        if (strcmp(row.cout_code, code) == 0) return &row;
    }
    return nullptr;
}

}  // namespace

extern "C" {

WLAN_EXPORT char* get_chan_5G(const char* code, char* out) {
    if (out == nullptr) return nullptr;
    const region_regulation_entry* row = find_region(code);
    if (row == nullptr) return nullptr;
    copy_text(out, WLAN_REGION_CHAN_5G_SIZE, row->chan_5G);
    return out;
}

WLAN_EXPORT int get_max_chan_2G(const char* code) {
    const region_regulation_entry* row = find_region(code);
    return row != nullptr ? row->end_chan_2G : kDefaultMaxChan2G;
}

WLAN_EXPORT const region_regulation_entry* get_region_regulation(void) {
    return region_regulation_table;
}

}  // extern "C"
