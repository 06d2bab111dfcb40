// The AP configuration file /etc/hostapd.conf and, after "--", the MAC list file it reads by
// default (/etc/config/hostapd.deny).
#include "tests/fuzz/support.h"
#include "util/device_paths.h"
#include "wlan_config.h"

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    fuzz::EnterSandbox(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<std::string> parts = fuzz::Parts(data, size, 2);
    fuzz::Put(kHostapdConfPath, parts[0]);
    fuzz::Put(kMacDenyListPath, parts[1]);
    wlan_mgr_bss_config* bss = nullptr;
    wlan_mgr_get_config(&bss, kHostapdConfPath);
    wlan_mgr_free_config(&bss);
    return 0;
}
