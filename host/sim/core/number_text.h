#ifndef WLAN_SIM_NUMBER_TEXT_H
#define WLAN_SIM_NUMBER_TEXT_H

#include <string>

namespace sim {

// Reads a whole text as an integer: decimal, or hexadecimal with "0x". Leading blanks, trailing
// characters, an empty text and values beyond long are refused.
bool ParseNumber(const std::string& text, long* value);

// ParseNumber limited to [min, max].
bool ParseNumberInRange(const std::string& text, long min, long max, long* value);

}  // namespace sim

#endif
