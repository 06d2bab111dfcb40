#include "config/default_settings.h"

#include <ctype.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>

#include <algorithm>
#include <string>

#include "util/log.h"
#include "wlan_config.h"

namespace {

constexpr const char* kPlaceholderMac = "00:11:22:33:44:55";
constexpr const char* kPlaceholderImei = "000000000000000";
constexpr const char* kFallbackPassphrase = "5831902746";
constexpr size_t kMacTextLength = 17;
// The passphrase is the IMEI from its eighth character on: the last 8 digits of a full IMEI.
constexpr size_t kImeiPassphraseStart = 7;
constexpr size_t kMinPassphraseLength = 8;
// Room of the SSID in the configuration record, terminator excluded: a longer one is not read.
constexpr size_t kMaxSsidLength = 32;

// The last two octets of the MAC text in upper case, or four random hexadecimal digits when the
// product has no MAC address of its own.
std::string ssid_suffix() {
    char mac[18] = {};
    read_uci("uci get product.wlan.mac_address", mac, sizeof(mac), kPlaceholderMac);
    char suffix[5] = {};
    if (strcmp(mac, kPlaceholderMac) != 0 && strlen(mac) == kMacTextLength) {
        const int picks[] = {12, 13, 15, 16};
        for (int i = 0; i < 4; ++i)
            suffix[i] = static_cast<char>(toupper(static_cast<unsigned char>(mac[picks[i]])));
    } else {
        srand(static_cast<unsigned>(time(nullptr)));
        int first = rand();
        int second = rand();
        snprintf(suffix, sizeof(suffix), "%02X%02X", first & 0xff, second & 0xff);
    }
    return suffix;
}

// The prefix is cut so that the SSID fits the record (before a whole UTF-8 character); the
// suffix that tells devices apart is kept.
std::string default_ssid() {
    char prefix[128] = {};
    read_uci("uci get product.info.ssid_prefix", prefix, sizeof(prefix), "ZAVORIN_4G_");
    const std::string suffix = ssid_suffix();
    size_t length = std::min(strlen(prefix), kMaxSsidLength - suffix.size());
    while (length > 0 && (static_cast<unsigned char>(prefix[length]) & 0xC0) == 0x80) --length;
    return std::string(prefix, length) + suffix;
}

bool is_printable_ascii(const char* text) {
    for (const char* p = text; *p != '\0'; ++p)
        if (*p < 0x20 || *p > 0x7e) return false;
    return true;
}

// An IMEI too short to leave 8 characters would give a passphrase that the reader drops,
// leaving a WPA network without a key, and one with characters other than printable ASCII a
// key the radio refuses: such devices get the fallback passphrase.
std::string default_passphrase() {
    char imei[16] = {};
    read_uci("uci get product.lte.imei", imei, sizeof(imei), kPlaceholderImei);
    if (strcmp(imei, kPlaceholderImei) == 0 ||
        strlen(imei) < kImeiPassphraseStart + kMinPassphraseLength || !is_printable_ascii(imei))
        return kFallbackPassphrase;
    return imei + kImeiPassphraseStart;
}

const char* country_of_region() {
    char region[128] = {};
    read_uci("uci get product.info.product_region", region, sizeof(region), "UN");
    if (strcmp(region, "CN") == 0) return "CN";
    if (strcmp(region, "EU") == 0) return "DE";
    return "US";
}

}  // namespace

void write_default_settings(FILE* out) {
    std::string ssid = default_ssid();
    wlan_userlog(WLAN_PRIO_INFO, "generate ssid: %s", ssid.c_str());
    fprintf(out, "%s%s\n", "ssid=", ssid.c_str());

    bool export_product = is_export_product() != 0;
    if (export_product) {
        fprintf(out, "wpa=%d\n", 3);
        fprintf(out, "wpa_key_mgmt=%s\n", "WPA-PSK");
        fprintf(out, "wpa_pairwise=%s\n", "CCMP TKIP");
        std::string passphrase = default_passphrase();
        fprintf(out, "%s%s\n", "wpa_passphrase=", passphrase.c_str());
        wlan_userlog(WLAN_PRIO_INFO, "generate wpa key: %s", passphrase.c_str());
    } else {
        fprintf(out, "wpa=0\n");
    }

    fprintf(out, "%s%s\n", "country_code=", country_of_region());
    fprintf(out, "%s%d\n", "wps_state=", export_product ? 2 : 0);
    fprintf(out, "%s%d\n", "eap_server=", export_product ? 1 : 0);
    fprintf(out, "%s%d\n", "ap_isolate=", 0);
}
