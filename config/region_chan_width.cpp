#include "config/region_table.h"
#include "wlan_region.h"

namespace {

constexpr int kSideBandNone = 0;   // no 40 MHz partner
constexpr int kSideBandUpper = 1;  // partner below (HT40-)
constexpr int kSideBandLower = 2;  // partner above (HT40+)

constexpr int kLast2GChannel = 14;
constexpr int kLastHt40Plus2GChannel = 5;
constexpr int kChannelWithoutPartner = 165;

}  // namespace

extern "C" WLAN_EXPORT int get_chan_width_support(const char* /*country*/, int channel) {
    if (channel <= kLast2GChannel) {
        return channel <= kLastHt40Plus2GChannel ? kSideBandLower : kSideBandUpper;
    }
    if (channel == kChannelWithoutPartner) return kSideBandNone;
    for (uint8_t lower : ht40_lower_5G_chans) {
        if (channel == lower) return kSideBandLower;
    }
    return kSideBandUpper;
}
