#ifndef WLAN_CONFIG_REGION_TABLE_H
#define WLAN_CONFIG_REGION_TABLE_H

#include <stddef.h>
#include <stdint.h>

#include "wlan_region.h"

// Constant regulatory tables; they never change at run time and need no lock.

// A configured country whose code the wl country command knows under another code.
struct wl_country_remap_entry {
    char country[4];
    char wl_code[4];
};

// Regulatory revision to pass with a wl country code.
struct wl_regrev_entry {
    char code[4];
    int32_t regrev;
};

constexpr size_t kWlCountryRemapCount = 3;
constexpr size_t kWlRegrevCount = 11;
constexpr size_t kHt40LowerCount = 11;

extern const region_regulation_entry region_regulation_table[WLAN_REGION_COUNT];
extern const wl_country_remap_entry wl_country_remap_table[kWlCountryRemapCount];
extern const wl_regrev_entry wl_regrev_table[kWlRegrevCount];
// 5 GHz channels whose 40 MHz partner lies above them.
extern const uint8_t ht40_lower_5G_chans[kHt40LowerCount];

#endif
