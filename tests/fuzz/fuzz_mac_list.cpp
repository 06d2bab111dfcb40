// The MAC list file (/etc/config/hostapd.deny).
#include <stdlib.h>

#include "config/maclist.h"
#include "tests/fuzz/support.h"
#include "util/device_paths.h"

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    fuzz::EnterSandbox(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::Put(kMacDenyListPath, data, size);
    wlan_mgr_mac_entry* list = nullptr;
    int32_t count = 0;
    wlan_mgr_config_read_maclist(kMacDenyListPath, &list, &count);
    free(list);
    return 0;
}
