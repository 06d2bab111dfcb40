#ifndef WLAN_TESTS_CONF_FILE_H
#define WLAN_TESTS_CONF_FILE_H

#include <string>
#include <utility>
#include <vector>

// key=value settings of an AP configuration file, in file order.
using ConfSettings = std::vector<std::pair<std::string, std::string>>;

// Writes path as key=value lines: base with each change applied (a key already in base takes
// the new value in its place, a new key is appended).
void WriteConfFile(const std::string& path, const ConfSettings& base, const ConfSettings& changes);

#endif
