#include "tests/support/conf_file.h"

#include "tests/support/sandbox.h"

void WriteConfFile(const std::string& path, const ConfSettings& base, const ConfSettings& changes) {
    ConfSettings conf = base;
    for (const auto& change : changes) {
        bool replaced = false;
        for (auto& entry : conf)
            if (entry.first == change.first) {
                entry.second = change.second;
                replaced = true;
            }
        if (!replaced) conf.push_back(change);
    }
    std::string text;
    for (const auto& entry : conf) text += entry.first + "=" + entry.second + "\n";
    sandbox::WriteFile(path, text);
}
