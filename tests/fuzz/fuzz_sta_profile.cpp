// The station profile file (/etc/config/wisp_profile), read and then written out as the
// supplicant file, as wlan_set_sta_config does.
#include "tests/fuzz/support.h"
#include "util/device_paths.h"
#include "wisp/sta_profile.h"

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    fuzz::EnterSandbox(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::Put(kWispProfilePath, {reinterpret_cast<const char*>(data), size});
    sta_profiles_load();
    wpa_supplicant_conf_write();
    return 0;
}
