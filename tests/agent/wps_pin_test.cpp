#include <gtest/gtest.h>

#include "agent/wps_state.h"

namespace {

TEST(WpsPinCheck, ChecksumLengthAndDigitsDecideTheMode) {
    const std::pair<const char*, WpsPinMode> cases[] = {
        {"12345670", WpsPinMode::kPin},
        {"49226874", WpsPinMode::kPin},
        {"12345671", WpsPinMode::kInvalid},  // last digit changed
        {"49226875", WpsPinMode::kInvalid},
        // Weights count from the left: weighted from the right "12345670" would sum to 52 and
        // "21436507" to 60.
        {"21436507", WpsPinMode::kInvalid},
        {"00000000", WpsPinMode::kPushButton},
        {"1234567", WpsPinMode::kInvalid},
        {"123456709", WpsPinMode::kInvalid},
        {"0000000", WpsPinMode::kInvalid},
        {"000000000", WpsPinMode::kInvalid},
        {"", WpsPinMode::kInvalid},
        // ':' is '0' + 10: taken as a digit it would keep the sum a multiple of 10.
        {"1234567:", WpsPinMode::kInvalid},
        {" 2345670", WpsPinMode::kInvalid},
        {"1234-670", WpsPinMode::kInvalid},
    };
    for (const auto& c : cases) EXPECT_EQ(wps_pin_mode(c.first), c.second) << c.first;
    EXPECT_EQ(wps_pin_mode(nullptr), WpsPinMode::kInvalid);
}

}  // namespace
