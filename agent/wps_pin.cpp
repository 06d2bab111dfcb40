#include <string.h>

#include "agent/wps_state.h"

WpsPinMode wps_pin_mode(const char* pin) {
    if (pin == nullptr || strnlen(pin, kWpsPinLength + 1) != kWpsPinLength)
        return WpsPinMode::kInvalid;
    if (strcmp(pin, "00000000") == 0) return WpsPinMode::kPushButton;
    int sum = 0;
    for (int i = 0; i < kWpsPinLength; ++i) {
        if (pin[i] < '0' || pin[i] > '9') return WpsPinMode::kInvalid;
        int digit = pin[i] - '0';
        // Counting from the left, odd positions (d1, d3, ...) weigh 3, even ones 1.
        sum += (i % 2 == 0) ? 3 * digit : digit;
    }
    return sum % 10 == 0 ? WpsPinMode::kPin : WpsPinMode::kInvalid;
}
