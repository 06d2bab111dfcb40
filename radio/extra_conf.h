#ifndef WLAN_RADIO_EXTRA_CONF_H
#define WLAN_RADIO_EXTRA_CONF_H

#include "wlan_config.h"

// What the radio scripts take from the extra configuration lines of a record.
struct RadioExtraConf {
    bool obss_coex_off = false;  // a line "ht2040_coex_disable=1"
    // Characters of every max_num_sta value run together as decimal digits (saturated at
    // +-1000: only 1..10 are used).
    int max_num_sta = 0;
    bool has_acs_chan_list = false;                     // an acs_chan_list= line was found
    char acs_chan_list[WLAN_MGR_EXTRA_CONF_SLOT] = {};  // value of the last such line
};

RadioExtraConf read_radio_extra_conf(const wlan_mgr_bss_config& bss);

// The association limit: the max_num_sta value when it is 1..10, else default_limit.
int radio_association_limit(const RadioExtraConf& extra, int default_limit);

#endif
