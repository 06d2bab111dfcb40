#include <gtest/gtest.h>

#include "wlan_region.h"

namespace {
constexpr int kNone = 0;
constexpr int kPartnerBelow = 1;
constexpr int kPartnerAbove = 2;
}  // namespace

TEST(ChanWidth, TwoGhzChannelsSplitAtFive) {
    for (int channel = 0; channel <= 5; ++channel) {
        EXPECT_EQ(get_chan_width_support(nullptr, channel), kPartnerAbove) << channel;
    }
    for (int channel = 6; channel <= 14; ++channel) {
        EXPECT_EQ(get_chan_width_support(nullptr, channel), kPartnerBelow) << channel;
    }
}

TEST(ChanWidth, FiveGhzChannelsFollowTheirFortyMegahertzPairs) {
    const int partner_above[] = {36, 44, 52, 60, 100, 108, 116, 124, 132, 149, 157};
    for (int channel : partner_above) {
        EXPECT_EQ(get_chan_width_support(nullptr, channel), kPartnerAbove) << channel;
    }
    const int partner_below[] = {40, 48, 56, 64, 104, 112, 120, 128, 136, 140, 153, 161};
    for (int channel : partner_below) {
        EXPECT_EQ(get_chan_width_support(nullptr, channel), kPartnerBelow) << channel;
    }
    EXPECT_EQ(get_chan_width_support(nullptr, 165), kNone);
}

TEST(ChanWidth, DoesNotDependOnTheCountry) {
    const char* countries[] = {nullptr, "", "US", "CN", "JP", "xx"};
    for (const char* country : countries) {
        EXPECT_EQ(get_chan_width_support(country, 5), kPartnerAbove);
        EXPECT_EQ(get_chan_width_support(country, 6), kPartnerBelow);
        EXPECT_EQ(get_chan_width_support(country, 36), kPartnerAbove);
        EXPECT_EQ(get_chan_width_support(country, 161), kPartnerBelow);
        EXPECT_EQ(get_chan_width_support(country, 165), kNone);
    }
}

// Channels outside both bands: the limit 5 decides up to 14, everything else above 14 that is
// neither 165 nor a listed lower channel counts as upper. 36 + 256 must not alias channel 36.
TEST(ChanWidth, ChannelsOutsideTheBandsFallIntoTheBroadClasses) {
    EXPECT_EQ(get_chan_width_support(nullptr, -1), kPartnerAbove);
    EXPECT_EQ(get_chan_width_support(nullptr, 15), kPartnerBelow);
    EXPECT_EQ(get_chan_width_support(nullptr, 35), kPartnerBelow);
    EXPECT_EQ(get_chan_width_support(nullptr, 255), kPartnerBelow);
    EXPECT_EQ(get_chan_width_support(nullptr, 36 + 256), kPartnerBelow);
    EXPECT_EQ(get_chan_width_support(nullptr, 165 + 256), kPartnerBelow);
}
