// What the CPU could change: the layouts of the plain records that hosts share with the
// library, and dates past 2038. These run on the build machine and on both ARM targets
// (scripts/cross-test), where long is 32 bits on armhf.
#include <gtest/gtest.h>
#include <stddef.h>
#include <time.h>

#include <tuple>

#include "wlan_coex.h"
#include "wlan_config.h"
#include "wlan_os.h"
#include "wlan_region.h"
#include "wlan_wisp.h"

// Plain records that hosts read in place (exported tables, the station profiles, the LTE report)
// hold only texts and 32-bit numbers, so a host built for any of the device's CPUs sees the same
// layout. A long, a pointer or a size_t in one of them would move the fields on 64-bit CPUs,
// which the size and the place of the last field (or of the one field read) show.
TEST(ExportedRecords, LayoutIsTheSameOnEveryCpu) {
#define AT(type, field, offset) \
    { #type "." #field, offsetof(type, field), offset }
#define SIZE(type, size) \
    { #type, sizeof(type), size }
    const std::tuple<const char*, size_t, size_t> layout[] = {
        SIZE(sta_setting_t, 204),
        AT(sta_setting_t, dns2, 188),
        SIZE(lte_coex_wwan_data_t, 68),
        AT(lte_coex_wwan_data_t, off_period, 64),
        SIZE(lte_coex_lookup_row_t, 24),
        AT(lte_coex_lookup_row_t, acs_mask, 12),
        SIZE(region_regulation_entry, 116),
        AT(region_regulation_entry, chan_5G, 52),
        AT(wlan_mgr_mac_entry, description, 18),
        SIZE(os_tm, 24),
    };
#undef AT
#undef SIZE
    for (const auto& [name, actual, expected] : layout) EXPECT_EQ(actual, expected) << name;
}

// Where time_t has 32 bits (armhf without 64-bit time) a date after 2038-01-19 03:14:07 UTC is
// refused rather than wrapped into 1901; with 64 bits it converts.
TEST(Dates, PastTheEndOf32BitTimeAreExactOrRefused) {
    time_t t = 0;
    ASSERT_EQ(os_mktime(2038, 1, 19, 3, 14, 7, &t), 0);
    EXPECT_EQ(static_cast<long long>(t), 2147483647LL);
    const int rc = os_mktime(2040, 1, 1, 0, 0, 0, &t);
    if (sizeof(time_t) > 4) {
        ASSERT_EQ(rc, 0);
        EXPECT_EQ(static_cast<long long>(t), 2208988800LL);
    } else {
        EXPECT_EQ(rc, -1);
    }
}
