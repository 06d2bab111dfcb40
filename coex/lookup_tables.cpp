#include "wlan_coex.h"

// Rows: low MHz, high MHz (the row covers low <= f < high), maximum uplink bandwidth, the mask
// of the channels that stay usable, and two further masks that are kept but not read.

// The exported declarations (and their visibility) are in wlan_coex.h.
extern "C" {

// FDD uplink, 2.4 GHz side; every mask also has all 5 GHz bits.
const lte_coex_lookup_row_t lte_coex_fdd_lookup_table[LTE_COEX_FDD_ROWS] = {
    {2500, 2525, 10, 0x7FDFFE, 0x7FDFFF, 0x7FDFF8}, {2525, 2552, 10, 0x7FDFC0, 0x7FDFE0, 0x7FDF00},
    {2552, 2562, 10, 0x7FDF00, 0x7FDF80, 0x7FDC00}, {2562, 2568, 10, 0x7FDC1F, 0x7FDE3F, 0x7FD007},
    {2568, 2570, 10, 0x7FC03F, 0x7FC07F, 0x7FC00F}, {2500, 2525, 20, 0x7FDFF8, 0x7FDFFC, 0x7FDFE0},
    {2525, 2552, 20, 0x7FDF00, 0x7FDF80, 0x7FDC00}, {2552, 2562, 20, 0x7FDC00, 0x7FDE00, 0x7FD000},
    {2562, 2568, 20, 0x7FD007, 0x7FD80F, 0x7FD001}, {2568, 2570, 20, 0x7FC00F, 0x7FC01F, 0x7FC003},
    {832, 837, 10, 0x7FC03F, 0x7FD27F, 0x7FC00F},   {837, 844, 10, 0x7FC1FF, 0x7FC3FF, 0x7FC07F},
    {845, 852, 10, 0x7FDFE0, 0x7FDFE0, 0x7FCFE0},   {852, 857, 10, 0x7FDE07, 0x7FDF0F, 0x7FDC03},
    {857, 862, 10, 0x7FD87F, 0x7FD87F, 0x7FD87F},   {832, 837, 20, 0x7FC00F, 0x7FC01F, 0x7FC003},
    {837, 844, 20, 0x7FC07E, 0x7FC0FE, 0x7FC01E},   {845, 852, 20, 0x7FCFC0, 0x7FDFC0, 0x7FC3C0},
    {852, 857, 20, 0x7FDE03, 0x7FDFC7, 0x7FDE03},   {857, 862, 20, 0x7FC03F, 0x7FC03F, 0x7FC03F},
};

// FDD uplink, 5 GHz side; the three masks are equal.
const lte_coex_lookup_row_t lte_coex_fdd_lookup_table_5G[LTE_COEX_FDD_5G_ROWS] = {
    {1720, 1734, 10, 0x7F1FFF, 0x7F1FFF, 0x7F1FFF}, {1734, 1741, 10, 0x7C1FFF, 0x7C1FFF, 0x7C1FFF},
    {1741, 1754, 10, 0x7CDFFF, 0x7CDFFF, 0x7CDFFF}, {1920, 1922, 10, 0x73DFFF, 0x73DFFF, 0x73DFFF},
    {1922, 1929, 10, 0x43DFFF, 0x43DFFF, 0x43DFFF}, {1929, 1935, 10, 0x4FDFFF, 0x4FDFFF, 0x4FDFFF},
    {1935, 1942, 10, 0x0FDFFF, 0x0FDFFF, 0x0FDFFF}, {1942, 1949, 10, 0x3FDFFF, 0x3FDFFF, 0x3FDFFF},
    {1720, 1734, 20, 0x7F1FFF, 0x7F1FFF, 0x7F1FFF}, {1734, 1741, 20, 0x7C1FFF, 0x7C1FFF, 0x7C1FFF},
    {1741, 1754, 20, 0x7CDFFF, 0x7CDFFF, 0x7CDFFF}, {1920, 1922, 20, 0x73DFFF, 0x73DFFF, 0x73DFFF},
    {1922, 1929, 20, 0x43DFFF, 0x43DFFF, 0x43DFFF}, {1929, 1935, 20, 0x4FDFFF, 0x4FDFFF, 0x4FDFFF},
    {1935, 1942, 20, 0x0FDFFF, 0x0FDFFF, 0x0FDFFF}, {1942, 1949, 20, 0x3FDFFF, 0x3FDFFF, 0x3FDFFF},
};

// TDD; the bandwidth is not checked.
const lte_coex_lookup_row_t lte_coex_tdd_lookup_table[LTE_COEX_TDD_ROWS] = {
    {2300, 2350, 0, 0x7FDFF0, 0x7FDFF0, 0x7FDFF0},
    {2350, 2370, 0, 0x7FDFC0, 0x7FDFC0, 0x7FDFC0},
    {2370, 2401, 0, 0x7FDE00, 0x7FDE00, 0x7FDE00},
    {2496, 2691, 0, 0x7FC1FF, 0x7FC1FF, 0x7FC1FF},
};

// TDD has no 5 GHz rows (LTE_COEX_TDD_5G_ROWS is 0); the one all-zero row only gives the
// exported array a size and matches no frequency.
const lte_coex_lookup_row_t lte_coex_tdd_lookup_table_5G[1] = {};

}  // extern "C"
