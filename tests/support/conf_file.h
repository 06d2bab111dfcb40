#ifndef WLAN_TESTS_CONF_FILE_H
#define WLAN_TESTS_CONF_FILE_H

#include <string>
#include <utility>
#include <vector>

#include "tests/support/sandbox.h"

// key=value settings of an AP configuration file, in file order.
using ConfSettings = std::vector<std::pair<std::string, std::string>>;

// Writes path as key=value lines: base with each change applied (a key already in base takes
// the new value in its place, a new key is appended).
inline void WriteConfFile(const std::string& path, const ConfSettings& base,
                          const ConfSettings& changes) {
    ConfSettings conf = base;
    for (const auto& change : changes) {
        auto entry = conf.begin();
        while (entry != conf.end() && entry->first != change.first) ++entry;
        if (entry == conf.end())
            conf.push_back(change);
        else
            entry->second = change.second;
    }
    std::string text;
    for (const auto& entry : conf) text += entry.first + "=" + entry.second + "\n";
    sandbox::WriteFile(path, text);
}

#endif
