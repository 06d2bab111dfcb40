#include <gtest/gtest.h>

#include "agent/wps_state.h"

namespace {

TEST(WpsPinCheck, PinWhoseChecksumHoldsStartsAPinSession) {
    EXPECT_EQ(wps_pin_mode("12345670"), WpsPinMode::kPin);
    EXPECT_EQ(wps_pin_mode("49226874"), WpsPinMode::kPin);
}

TEST(WpsPinCheck, ChangedLastDigitFailsTheChecksum) {
    EXPECT_EQ(wps_pin_mode("12345671"), WpsPinMode::kInvalid);
    EXPECT_EQ(wps_pin_mode("49226875"), WpsPinMode::kInvalid);
}

TEST(WpsPinCheck, WeightsCountFromTheLeft) {
    // Weighted from the right, 3 * (2+4+6+0) + (1+3+5+7) = 52 would reject it; from the left
    // 3 * (1+3+5+7) + (2+4+6+0) = 60 accepts it. "21436507" is the reverse case.
    EXPECT_EQ(wps_pin_mode("12345670"), WpsPinMode::kPin);
    EXPECT_EQ(wps_pin_mode("21436507"), WpsPinMode::kInvalid);
}

TEST(WpsPinCheck, EightZerosSelectPushButton) {
    EXPECT_EQ(wps_pin_mode("00000000"), WpsPinMode::kPushButton);
}

TEST(WpsPinCheck, OnlyExactlyEightCharactersAreAccepted) {
    EXPECT_EQ(wps_pin_mode("1234567"), WpsPinMode::kInvalid);
    EXPECT_EQ(wps_pin_mode("123456709"), WpsPinMode::kInvalid);
    EXPECT_EQ(wps_pin_mode("0000000"), WpsPinMode::kInvalid);
    EXPECT_EQ(wps_pin_mode("000000000"), WpsPinMode::kInvalid);
    EXPECT_EQ(wps_pin_mode(""), WpsPinMode::kInvalid);
    EXPECT_EQ(wps_pin_mode(nullptr), WpsPinMode::kInvalid);
}

TEST(WpsPinCheck, NonDigitsAreRejectedEvenWhenTheSumWouldHold) {
    // ':' is '0' + 10: taken as a digit it would keep the sum a multiple of 10.
    EXPECT_EQ(wps_pin_mode("1234567:"), WpsPinMode::kInvalid);
    EXPECT_EQ(wps_pin_mode(" 2345670"), WpsPinMode::kInvalid);
    EXPECT_EQ(wps_pin_mode("1234-670"), WpsPinMode::kInvalid);
}

}  // namespace
