#include "core/mac_text.h"

#include <ctype.h>
#include <strings.h>

namespace sim {

bool IsMacText(const std::string& text) {
    if (text.size() != 17) return false;
    for (size_t i = 0; i < text.size(); ++i) {
        bool colon_place = i % 3 == 2;
        if (colon_place != (text[i] == ':')) return false;
        if (!colon_place && !isxdigit(static_cast<unsigned char>(text[i]))) return false;
    }
    return true;
}

bool SameMac(const std::string& a, const std::string& b) {
    return a.size() == b.size() && strcasecmp(a.c_str(), b.c_str()) == 0;
}

int FindMac(const std::vector<std::string>& list, const std::string& mac) {
    for (size_t i = 0; i < list.size(); ++i)
        if (SameMac(list[i], mac)) return static_cast<int>(i);
    return -1;
}

}  // namespace sim
