#include "config/region_table.h"

// The 5 GHz channel sets the countries share.
#define CHAN_5G_UNII1 "36 40 44 48"
#define CHAN_5G_UNII1_UNII3 "36 40 44 48 149 153 157 161 165"
#define CHAN_5G_UNII3 "149 153 157 161 165"
#define CHAN_5G_UNII3_NO_165 "149 153 157 161"
#define CHAN_5G_UNII1_UNII3_NO_165 "36 40 44 48 149 153 157 161"
#define CHAN_5G_NONE ""

// country, code, UTC offset (minutes, west positive), time-zone index, first and last 2.4 GHz
// channel, 5 GHz channels. Alphabetical by country.
constexpr region_regulation_entry region_regulation_table[WLAN_REGION_COUNT] = {
    {"Albania", "AL", -60, 28, 1, 13, CHAN_5G_UNII1},
    {"Algeria", "DZ", -60, 28, 1, 13, CHAN_5G_UNII1},
    {"Argentina", "AR", 180, 20, 1, 13, CHAN_5G_UNII1_UNII3},
    {"Armenia", "AM", -240, 42, 1, 13, CHAN_5G_UNII1},
    {"Australia", "AU", -600, 58, 1, 13, CHAN_5G_UNII1_UNII3},
    {"Austria", "AT", -60, 29, 1, 13, CHAN_5G_UNII1},
    {"Azerbaijan", "AZ", -240, 42, 1, 13, CHAN_5G_UNII1_UNII3},
    {"Bahrain", "BH", -180, 39, 1, 13, CHAN_5G_UNII1_UNII3},
    {"Belarus", "BY", -180, 39, 1, 13, CHAN_5G_UNII1},
    {"Belgium", "BE", -60, 29, 1, 13, CHAN_5G_UNII1},
    {"Belize", "BZ", 360, 10, 1, 13, CHAN_5G_UNII1_UNII3},
    {"Bolivia", "BO", 240, 17, 1, 13, CHAN_5G_UNII1_UNII3},
    {"Brazil", "BR", 180, 20, 1, 13, CHAN_5G_UNII1_UNII3},
    {"Brunei Darussalam", "BN", -480, 53, 1, 13, CHAN_5G_UNII1_UNII3},
    {"Bulgaria", "BG", -120, 35, 1, 13, CHAN_5G_UNII1},
    {"Canada", "CA", 300, 13, 1, 11, CHAN_5G_UNII1_UNII3},
    {"Chile", "CL", 240, 18, 1, 13, CHAN_5G_UNII1_UNII3},
    {"China", "CN", -480, 52, 1, 13, CHAN_5G_UNII3},
    {"Colombia", "CO", 300, 12, 1, 11, CHAN_5G_UNII1_UNII3},
    {"Costa Rica", "CR", 360, 10, 1, 13, CHAN_5G_UNII1_UNII3},
    {"Croatia", "HR", -60, 31, 1, 13, CHAN_5G_UNII1},
    {"Cyprus", "CY", -120, 34, 1, 13, CHAN_5G_UNII1},
    {"Czech Republic", "CZ", -60, 29, 1, 13, CHAN_5G_UNII1},
    {"Denmark", "DK", -60, 32, 1, 13, CHAN_5G_UNII1},
    {"Dominican Republic", "DO", 240, 16, 1, 13, CHAN_5G_UNII1_UNII3},
    {"Ecuador", "EC", 300, 12, 1, 13, CHAN_5G_UNII1_UNII3},
    {"Egypt", "EG", -120, 36, 1, 13, CHAN_5G_UNII1_UNII3},
    {"El Salvador", "SV", 360, 10, 1, 13, CHAN_5G_UNII1_UNII3},
    {"Estonia", "EE", -120, 36, 1, 13, CHAN_5G_UNII1},
    {"Finland", "FI", -120, 37, 1, 13, CHAN_5G_UNII1},
    {"France", "FR", -60, 31, 1, 13, CHAN_5G_UNII1},
    {"Georgia", "GE", -240, 43, 1, 13, CHAN_5G_UNII1},
    {"Germany", "DE", -60, 28, 1, 13, CHAN_5G_UNII1},
    {"Greece", "GR", -120, 36, 1, 13, CHAN_5G_UNII1},
    {"Guatemala", "GT", 360, 10, 1, 13, CHAN_5G_UNII1_UNII3},
    {"Honduras", "HN", 360, 10, 1, 13, CHAN_5G_UNII3},
    {"Hong Kong", "HK", -480, 52, 1, 13, CHAN_5G_UNII1_UNII3},
    {"Hungary", "HU", -60, 30, 1, 13, CHAN_5G_UNII1},
    {"Iceland", "IS", 0, 27, 1, 13, CHAN_5G_UNII1},
    {"India", "IN", -330, 47, 1, 13, CHAN_5G_UNII1_UNII3},
    {"Indonesia", "ID", -420, 51, 1, 13, CHAN_5G_UNII3_NO_165},
    {"Iran", "IR", -210, 41, 1, 13, CHAN_5G_UNII3},
    {"Ireland", "IE", 0, 26, 1, 13, CHAN_5G_UNII1},
    {"Israel", "IL", -120, 37, 1, 13, CHAN_5G_UNII1},
    {"Italy", "IT", -60, 28, 1, 13, CHAN_5G_UNII1},
    {"Japan", "JP", -540, 55, 1, 14, CHAN_5G_UNII1},
    {"Jordan", "JO", -120, 34, 1, 13, CHAN_5G_UNII1_UNII3},
    {"Kazakhstan", "KZ", -360, 49, 1, 13, CHAN_5G_UNII1},
    {"Korea North", "KP", -540, 55, 1, 13, CHAN_5G_UNII1_UNII3_NO_165},
    {"Korea Republic", "KR", -540, 55, 1, 13, CHAN_5G_UNII1_UNII3_NO_165},
    {"Kuwait", "KW", -180, 40, 1, 13, CHAN_5G_UNII1},
    {"Latvia", "LV", -120, 35, 1, 13, CHAN_5G_UNII1},
    {"Lebanon", "LB", -120, 34, 1, 13, CHAN_5G_UNII3},
    {"Liechtenstein", "LI", -60, 28, 1, 13, CHAN_5G_UNII1},
    {"Lithuania", "LT", -120, 36, 1, 13, CHAN_5G_UNII1},
    {"Luxembourg", "LU", -60, 28, 1, 13, CHAN_5G_UNII1},
    {"Macau", "MO", -480, 52, 1, 13, CHAN_5G_UNII3},
    {"Macedonia", "MK", -60, 31, 1, 13, CHAN_5G_UNII1},
    {"Malaysia", "MY", -480, 53, 1, 13, CHAN_5G_UNII1_UNII3},
    {"Malta", "MT", -60, 28, 1, 13, CHAN_5G_UNII1},
    {"Mexico", "MX", 360, 11, 1, 13, CHAN_5G_UNII1_UNII3},
    {"Monaco", "MC", -60, 28, 1, 13, CHAN_5G_UNII1},
    {"Morocco", "MA", 0, 25, 1, 13, CHAN_5G_UNII1},
    {"Netherlands", "NL", -60, 28, 1, 13, CHAN_5G_UNII1},
    {"New Zealand", "NZ", -720, 60, 1, 13, CHAN_5G_UNII1_UNII3},
    {"Norway", "NO", -60, 28, 1, 13, CHAN_5G_UNII1},
    {"Oman", "OM", -240, 42, 1, 13, CHAN_5G_UNII1},
    {"Pakistan", "PK", -300, 46, 1, 13, CHAN_5G_UNII3},
    {"Panama", "PA", 300, 12, 1, 13, CHAN_5G_UNII1_UNII3},
    {"Peru", "PE", 300, 12, 1, 13, CHAN_5G_UNII1_UNII3},
    {"Philippines", "PH", -480, 53, 1, 13, CHAN_5G_UNII1_UNII3},
    {"Poland", "PL", -60, 31, 1, 13, CHAN_5G_UNII1},
    {"Portugal", "PT", 0, 26, 1, 13, CHAN_5G_UNII1},
    {"Puerto Rico", "PR", 240, 18, 1, 11, CHAN_5G_UNII1_UNII3},
    {"Qatar", "QA", -180, 39, 1, 13, CHAN_5G_UNII3},
    {"Romania", "RO", -120, 37, 1, 13, CHAN_5G_UNII1},
    {"Russia", "RU", -240, 44, 1, 13, CHAN_5G_UNII1_UNII3},
    {"Saudi Arabia", "SA", -180, 40, 1, 13, CHAN_5G_UNII1_UNII3_NO_165},
    {"Singapore", "SG", -480, 54, 1, 13, CHAN_5G_UNII1_UNII3},
    {"Slovakia", "SK", -60, 30, 1, 13, CHAN_5G_UNII1},
    {"Slovenia", "SI", -60, 30, 1, 13, CHAN_5G_UNII1},
    {"South Africa", "ZA", -120, 35, 1, 13, CHAN_5G_UNII1},
    {"Spain", "ES", -60, 32, 1, 13, CHAN_5G_UNII1},
    {"Sweden", "SE", -60, 28, 1, 13, CHAN_5G_UNII1},
    {"Switzerland", "CH", -60, 29, 1, 13, CHAN_5G_UNII1},
    {"Syria", "SY", -120, 34, 1, 13, CHAN_5G_NONE},
    {"Taiwan", "TW", -480, 52, 1, 11, CHAN_5G_UNII3},
    {"Thailand", "TH", -420, 51, 1, 13, CHAN_5G_UNII1_UNII3},
    {"Trinidad & Tobago", "TT", 240, 16, 1, 13, CHAN_5G_UNII1_UNII3},
    {"Tunisia", "TN", -60, 28, 1, 13, CHAN_5G_UNII1},
    {"Turkey", "TR", -120, 35, 1, 13, CHAN_5G_UNII1},
    {"Ukraine", "UA", -120, 35, 1, 13, CHAN_5G_UNII1_UNII3},
    {"United Arab Emirates", "AE", -240, 42, 1, 13, CHAN_5G_UNII1_UNII3},
    {"United Kingdom", "GB", 0, 26, 1, 13, CHAN_5G_UNII1},
    {"United States", "US", 300, 13, 1, 11, CHAN_5G_UNII1_UNII3},
    {"Uruguay", "UY", 180, 22, 1, 13, CHAN_5G_UNII1_UNII3},
    {"Uzbekistan", "UZ", -300, 46, 1, 13, CHAN_5G_UNII1},
    {"Venezuela", "VE", 270, 15, 1, 13, CHAN_5G_UNII1_UNII3},
    {"Vietnam", "VN", -420, 51, 1, 13, CHAN_5G_UNII1},
    {"Yemen", "YE", -180, 39, 1, 13, CHAN_5G_UNII1_UNII3},
    {"Zimbabwe", "ZW", -120, 34, 1, 13, CHAN_5G_UNII1_UNII3},
};

// A short initialiser would leave zero-filled rows at the end.
static_assert(region_regulation_table[WLAN_REGION_COUNT - 1].cout_code[0] != '\0',
              "region table is missing rows");

constexpr wl_country_remap_entry wl_country_remap_table[kWlCountryRemapCount] = {
    {"IR", "AR"},
    {"KP", "SA"},
    {"SY", "BN"},
};
static_assert(wl_country_remap_table[kWlCountryRemapCount - 1].country[0] != '\0',
              "country remap table is missing rows");

constexpr wl_regrev_entry wl_regrev_table[kWlRegrevCount] = {
    {"AR", 21}, {"BN", 4},  {"CO", 17}, {"ID", 5}, {"JP", 0}, {"KR", 4},
    {"KW", 5},  {"MX", 20}, {"RU", 50}, {"UA", 6}, {"AE", 6},
};
static_assert(wl_regrev_table[kWlRegrevCount - 1].code[0] != '\0',
              "regulatory revision table is missing rows");

constexpr uint8_t ht40_lower_5G_chans[kHt40LowerCount] = {36,  44,  52,  60,  100, 108,
                                                          116, 124, 132, 149, 157};
static_assert(ht40_lower_5G_chans[kHt40LowerCount - 1] != 0, "HT40 channel list is missing rows");
