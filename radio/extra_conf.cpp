#include "radio/extra_conf.h"

#include <string.h>

#include <string>

#include "util/text.h"

namespace {

constexpr const char kCoexOffLine[] = "ht2040_coex_disable=1";
constexpr const char kMaxNumStaKey[] = "max_num_sta";
constexpr size_t kMaxNumStaValueAt = 12;  // after "max_num_sta="
constexpr const char kAcsChanListKey[] = "acs_chan_list=";
constexpr size_t kAcsChanListValueAt = 14;
constexpr int kMaxAssociationLimit = 10;

// Every character from the value on counts as a digit (its code minus that of '0'), so a stray
// character changes the number rather than voiding it. Both ends saturate instead of
// overflowing: from 1000 up or from -1000 down no later character (code -128..255) can bring
// the value back into 1..10.
constexpr int kSaturatedHigh = 1000;
constexpr int kSaturatedLow = -1000;

void add_max_num_sta_digits(const std::string& slot, RadioExtraConf& extra) {
    for (size_t i = kMaxNumStaValueAt; i < slot.size(); ++i) {
        int value = extra.max_num_sta * 10 + (slot[i] - '0');
        if (value > kSaturatedHigh) value = kSaturatedHigh;
        if (value < kSaturatedLow) value = kSaturatedLow;
        extra.max_num_sta = value;
    }
}

}  // namespace

RadioExtraConf read_radio_extra_conf(const wlan_mgr_bss_config& bss) {
    RadioExtraConf extra;
    if (bss.extra_conf == nullptr) return extra;
    for (int32_t i = 0; i < bss.num_extra_conf; ++i) {
        const char* raw = bss.extra_conf[i];
        std::string slot(raw, strnlen(raw, WLAN_MGR_EXTRA_CONF_SLOT));
        if (slot == kCoexOffLine) extra.obss_coex_off = true;
        if (slot.find(kMaxNumStaKey) != std::string::npos) add_max_num_sta_digits(slot, extra);
        if (slot.find(kAcsChanListKey) != std::string::npos) {
            extra.has_acs_chan_list = true;
            copy_text(extra.acs_chan_list, slot.c_str() + kAcsChanListValueAt);
        }
    }
    return extra;
}

int radio_association_limit(const RadioExtraConf& extra, int default_limit) {
    if (extra.max_num_sta < 1 || extra.max_num_sta > kMaxAssociationLimit) return default_limit;
    return extra.max_num_sta;
}
