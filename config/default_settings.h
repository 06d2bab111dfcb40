#ifndef WLAN_CONFIG_DEFAULT_SETTINGS_H
#define WLAN_CONFIG_DEFAULT_SETTINGS_H

#include <stdio.h>

// Appends the device-specific settings of a fresh AP configuration to out, one key=value line
// each: the SSID from the product's prefix and MAC address, the security from the product
// region (open in China, WPA2 with a passphrase from the IMEI elsewhere), the country code, WPS
// and station isolation. Values come from the product's uci options.
void write_default_settings(FILE* out);

#endif
