#include <gtest/gtest.h>

#include <map>

#include "wlan_region.h"

namespace {
constexpr int kNone = 0;
constexpr int kPartnerBelow = 1;
constexpr int kPartnerAbove = 2;
}  // namespace

TEST(ChanWidth, BandChannelsFollowTheirFortyMegahertzPairsInEveryCountry) {
    std::map<int, int> expected;
    for (int channel = 0; channel <= 14; ++channel)
        expected[channel] = channel <= 5 ? kPartnerAbove : kPartnerBelow;
    for (int channel : {36, 44, 52, 60, 100, 108, 116, 124, 132, 149, 157})
        expected[channel] = kPartnerAbove;
    for (int channel : {40, 48, 56, 64, 104, 112, 120, 128, 136, 140, 153, 161})
        expected[channel] = kPartnerBelow;
    expected[165] = kNone;
    for (const char* country : {static_cast<const char*>(nullptr), "", "US", "CN", "JP", "xx"}) {
        for (const auto& [channel, side] : expected)
            EXPECT_EQ(get_chan_width_support(country, channel), side)
                << channel << " in " << (country ? country : "(null)");
    }
}

// Channels outside both bands: the limit 5 decides up to 14, everything else above 14 that is
// neither 165 nor a listed lower channel counts as upper. 36 + 256 must not alias channel 36.
TEST(ChanWidth, ChannelsOutsideTheBandsFallIntoTheBroadClasses) {
    EXPECT_EQ(get_chan_width_support(nullptr, -1), kPartnerAbove);
    for (int channel : {15, 35, 255, 36 + 256, 165 + 256})
        EXPECT_EQ(get_chan_width_support(nullptr, channel), kPartnerBelow) << channel;
}
