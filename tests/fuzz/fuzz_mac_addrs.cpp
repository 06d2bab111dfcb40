// The mac_addrs text of wlan_set_config. A text that parses is written again and must read
// back to the same entries.
#include <stdlib.h>
#include <string.h>

#include "tests/fuzz/support.h"
#include "ubus/mac_list_text.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz::QuietLog();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<wlan_mgr_mac_entry> entries;
    if (parse_mac_list_text(reinterpret_cast<const char*>(data), size, &entries) != nullptr)
        return 0;
    std::string text = mac_list_text(entries.data(), static_cast<int32_t>(entries.size()));
    std::vector<wlan_mgr_mac_entry> again;
    if (parse_mac_list_text(text.data(), text.size(), &again) != nullptr ||
        again.size() != entries.size() ||
        (!entries.empty() &&
         memcmp(again.data(), entries.data(), entries.size() * sizeof(entries[0])) != 0))
        abort();
    return 0;
}
