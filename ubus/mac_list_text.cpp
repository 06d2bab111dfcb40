#include "ubus/mac_list_text.h"

#include <string.h>

#include "util/log.h"
#include "util/text.h"

namespace {

constexpr size_t kMacLength = sizeof(wlan_mgr_mac_entry::mac) - 1;
constexpr size_t kDescriptionMax = sizeof(wlan_mgr_mac_entry::description) - 1;
// The MAC and the 9 characters "#DES_LEN:", which are taken as they come.
constexpr size_t kFixedPart = kMacLength + 9;

}  // namespace

std::string mac_list_text(const wlan_mgr_mac_entry* list, int32_t count) {
    WLAN_TRACE("blobmsg_mac_filter");
    std::string text;
    for (int32_t i = 0; list != nullptr && i < count; ++i) {
        const wlan_mgr_mac_entry& entry = list[i];
        size_t description_len = strnlen(entry.description, kDescriptionMax);
        text.append(entry.mac, strnlen(entry.mac, kMacLength));
        text += "#DES_LEN:" + std::to_string(description_len) + "#";
        text.append(entry.description, description_len);
        text += '#';
    }
    WLAN_TRACE("blobmsg_mac_filter LEAVE");
    return text;
}

const char* parse_mac_list_text(const char* text, size_t len,
                                std::vector<wlan_mgr_mac_entry>* entries) {
    WLAN_TRACE("receive_mac_filter");
    WLAN_TRACE("receive_mac_filter: %s", text);
    entries->clear();
    size_t pos = 0;
    while (pos < len) {
        if (len - pos < kFixedPart) return "entry shorter than its fixed part";
        wlan_mgr_mac_entry entry = {};
        copy_text_n(entry.mac, sizeof(entry.mac), text + pos, kMacLength);
        if (strlen(entry.mac) != kMacLength || !is_mac_text(entry.mac)) return "invalid MAC";
        pos += kFixedPart;
        size_t description_len = 0;
        for (; pos < len && text[pos] != '#'; ++pos) {
            if (text[pos] < '0' || text[pos] > '9') return "invalid description length";
            description_len = description_len * 10 + static_cast<size_t>(text[pos] - '0');
            if (description_len > kDescriptionMax) return "description too long";
        }
        if (pos == len) return "description length not closed";
        ++pos;
        if (len - pos < description_len + 1) return "description past the end";
        if (text[pos + description_len] != '#') return "description not closed";
        copy_text_n(entry.description, sizeof(entry.description), text + pos, description_len);
        if (strlen(entry.description) != description_len || has_line_break(entry.description))
            return "line break in a description";
        pos += description_len + 1;
        WLAN_TRACE("receive_mac_filter, %d: %s %s", static_cast<int>(entries->size()), entry.mac,
                   entry.description);
        entries->push_back(entry);
    }
    WLAN_TRACE("receive_mac_filter LEAVE");
    return nullptr;
}
