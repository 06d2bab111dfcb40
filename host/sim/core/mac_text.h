#ifndef WLAN_SIM_MAC_TEXT_H
#define WLAN_SIM_MAC_TEXT_H

#include <string>
#include <vector>

namespace sim {

// Six two-digit hexadecimal groups joined by colons, either letter case.
bool IsMacText(const std::string& text);

// The same address, whatever the letter case.
bool SameMac(const std::string& a, const std::string& b);

// Index of the address in the list, or -1.
int FindMac(const std::vector<std::string>& list, const std::string& mac);

}  // namespace sim

#endif
