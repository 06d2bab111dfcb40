#ifndef WLAN_TESTS_CONF_FILE_H
#define WLAN_TESTS_CONF_FILE_H

#include <string>
#include <utility>
#include <vector>

#include "tests/support/sandbox.h"

// key=value settings of an AP configuration file, in file order.
using ConfSettings = std::vector<std::pair<std::string, std::string>>;

// A WPA2-PSK (wpa 3, CCMP) access point on 2.4 GHz channel 6 in the United States, without WPS
// or MAC filter.
// clang-format off
inline const ConfSettings kWpa2ApConf = {
    {"ssid", "TestAP"}, {"ignore_broadcast_ssid", "0"}, {"country_code", "US"}, {"wmode", "2"},
    {"ieee80211n", "1"}, {"require_ht", "0"}, {"channel", "6"}, {"auto_chan_select", "0"},
    {"ht_capab", "[HT40-]"}, {"auth_algs", "1"}, {"wpa", "3"}, {"wpa_key_mgmt", "WPA-PSK"},
    {"wpa_pairwise", "CCMP"}, {"wpa_passphrase", "secret123"}, {"wps_state", "0"},
    {"eap_server", "0"}, {"macaddr_acl", "0"}, {"max_num_sta", "10"}};
// clang-format on
// The changes that turn WPS on.
inline const ConfSettings kWps = {{"wps_state", "2"}, {"eap_server", "1"}};

// Writes path as key=value lines: base with each change applied (a key already in base takes
// the new value in its place, a new key is appended).
inline void WriteConfFile(const std::string& path, const ConfSettings& base,
                          const ConfSettings& changes) {
    ConfSettings conf = base;
    for (const auto& change : changes) {
        auto entry = conf.begin();
        while (entry != conf.end() && entry->first != change.first) ++entry;
        if (entry == conf.end())
            conf.push_back(change);
        else
            entry->second = change.second;
    }
    std::string text;
    for (const auto& entry : conf) text += entry.first + "=" + entry.second + "\n";
    sandbox::WriteFile(path, text);
}

#endif
