#include <gtest/gtest.h>

#include "coex/chan_bits.h"
#include "wlan_coex.h"

// The LTE lookup tables and the channel bit numbering that their masks use.

TEST(CoexTables, RowCountsAndRowLayout) {
    EXPECT_EQ(sizeof(lte_coex_lookup_row_t), 6 * sizeof(uint32_t));
    EXPECT_EQ(sizeof(lte_coex_fdd_lookup_table), 20 * sizeof(lte_coex_lookup_row_t));
    EXPECT_EQ(sizeof(lte_coex_fdd_lookup_table_5G), 16 * sizeof(lte_coex_lookup_row_t));
    EXPECT_EQ(sizeof(lte_coex_tdd_lookup_table), 4 * sizeof(lte_coex_lookup_row_t));
    // The TDD 5 GHz table is empty: its one placeholder row matches no frequency.
    EXPECT_EQ(LTE_COEX_TDD_5G_ROWS, 0);
    const lte_coex_lookup_row_t& row = lte_coex_tdd_lookup_table_5G[0];
    EXPECT_EQ(row.low_mhz, 0u);
    EXPECT_EQ(row.high_mhz, 0u);
    EXPECT_EQ(row.acs_mask, 0u);
}

TEST(CoexTables, SpotValues) {
    const lte_coex_lookup_row_t& fdd0 = lte_coex_fdd_lookup_table[0];
    EXPECT_EQ(fdd0.low_mhz, 2500u);
    EXPECT_EQ(fdd0.high_mhz, 2525u);
    EXPECT_EQ(fdd0.max_bw, 10u);
    EXPECT_EQ(fdd0.acs_mask, 0x7FDFFEu);
    EXPECT_EQ(fdd0.mask_2, 0x7FDFFFu);
    EXPECT_EQ(fdd0.mask_3, 0x7FDFF8u);

    const lte_coex_lookup_row_t& fdd10 = lte_coex_fdd_lookup_table[10];
    EXPECT_EQ(fdd10.low_mhz, 832u);
    EXPECT_EQ(fdd10.acs_mask, 0x7FC03Fu);
    EXPECT_EQ(fdd10.mask_2, 0x7FD27Fu);
    EXPECT_EQ(lte_coex_fdd_lookup_table[19].high_mhz, 862u);
    EXPECT_EQ(lte_coex_fdd_lookup_table[19].max_bw, 20u);
    EXPECT_EQ(lte_coex_fdd_lookup_table[16].acs_mask, 0x7FC07Eu);

    EXPECT_EQ(lte_coex_fdd_lookup_table_5G[0].acs_mask, 0x7F1FFFu);
    EXPECT_EQ(lte_coex_fdd_lookup_table_5G[6].acs_mask, 0x0FDFFFu);
    EXPECT_EQ(lte_coex_fdd_lookup_table_5G[15].low_mhz, 1942u);
    EXPECT_EQ(lte_coex_fdd_lookup_table_5G[15].max_bw, 20u);

    EXPECT_EQ(lte_coex_tdd_lookup_table[3].low_mhz, 2496u);
    EXPECT_EQ(lte_coex_tdd_lookup_table[3].high_mhz, 2691u);
    EXPECT_EQ(lte_coex_tdd_lookup_table[3].acs_mask, 0x7FC1FFu);
}

TEST(CoexChannelBits, EachMappedChannelHasItsBitAndOthersNone) {
    const std::pair<long, uint32_t> cases[] = {
        {1, 1u << 0},    {6, 1u << 5},    {13, 1u << 12},   {36, 1u << 14}, {48, 1u << 17},
        {149, 1u << 18}, {165, 1u << 22}, {0, 0},           {-1, 0},        {14, 0},
        {35, 0},         {49, 0},         {52, 0},          {100, 0},       {140, 0},
        {148, 0},        {166, 0},        {4294967295L, 0},
    };
    for (const auto& c : cases) EXPECT_EQ(coex_chan_bit(c.first), c.second) << c.first;
}
