#ifndef WLAN_REGION_H
#define WLAN_REGION_H

#include <stdint.h>

#include "wlan_export.h"

// Number of rows in the region table that get_region_regulation leads to.
#define WLAN_REGION_COUNT 101
// Room a country-code buffer needs: up to three characters and the terminator.
#define WLAN_REGION_CODE_SIZE 4
// Room a 5 GHz channel-list buffer needs: up to 63 characters and the terminator.
#define WLAN_REGION_CHAN_5G_SIZE 64

// One country of the region table.
typedef struct region_regulation_entry {
    char country[32];       // English name, e.g. "Trinidad & Tobago"
    char cout_code[4];      // two-letter ISO 3166-1 code, the lookup key
    int32_t timezone;       // UTC offset in minutes, positive west of Greenwich (UTC+1 is -60)
    int32_t index;          // position of the time zone in a west-to-east list (10 .. 60)
    int32_t start_chan_2G;  // first 2.4 GHz channel
    int32_t end_chan_2G;    // last 2.4 GHz channel: 11, 13 or 14
    char chan_5G[64];       // allowed 5 GHz channels, ascending, single blanks; may be empty
} region_regulation_entry;

#ifdef __cplusplus
extern "C" {
#endif

// Every lookup compares codes exactly: case-sensitive, whole text. A null code matches nothing.

// Writes the code the wl country command expects for a configured country into out, which
// must hold WLAN_REGION_CODE_SIZE bytes: the remapped code when the country has one, else the
// country itself (at most three characters of it). Returns out when the country was remapped,
// null otherwise; callers read out either way. A null country leaves out empty; a null out
// returns null and writes nothing.
WLAN_EXPORT char* get_wl_country_code(const char* country, char* out);

// Regulatory revision that goes with a wl country code, or -1 when the code has none listed.
WLAN_EXPORT int get_wl_regv_code(const char* code);

// Copies the country's allowed 5 GHz channels (possibly an empty text) into out, which must
// hold WLAN_REGION_CHAN_5G_SIZE bytes, and returns out. An unknown country (or a null argument)
// leaves out untouched and returns null, so callers clear out beforehand.
WLAN_EXPORT char* get_chan_5G(const char* code, char* out);

// Last allowed 2.4 GHz channel of the country; 11 for an unknown country.
WLAN_EXPORT int get_max_chan_2G(const char* code);

// First row of the constant region table; the table has WLAN_REGION_COUNT rows in alphabetical
// order of the country name.
WLAN_EXPORT const region_regulation_entry* get_region_regulation(void);

// 40 MHz side-band class of a channel: 2 when its 40 MHz partner lies above (HT40+), 1 when it
// lies below (HT40-), 0 when it has none (165). The country is not consulted and may be null.
WLAN_EXPORT int get_chan_width_support(const char* country, int channel);

#ifdef __cplusplus
}
#endif

#endif
