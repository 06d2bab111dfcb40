#include <gtest/gtest.h>

#include "coex/chan_bits.h"

// The channel bit numbering of the LTE lookup tables' masks.
TEST(CoexChannelBits, EachMappedChannelHasItsBitAndOthersNone) {
    const std::pair<long, uint32_t> cases[] = {
        {1, 1u << 0},    {6, 1u << 5},    {13, 1u << 12},   {36, 1u << 14}, {48, 1u << 17},
        {149, 1u << 18}, {165, 1u << 22}, {0, 0},           {-1, 0},        {14, 0},
        {35, 0},         {49, 0},         {52, 0},          {100, 0},       {140, 0},
        {148, 0},        {166, 0},        {4294967295L, 0},
    };
    for (const auto& c : cases) EXPECT_EQ(coex_chan_bit(c.first), c.second) << c.first;
}
