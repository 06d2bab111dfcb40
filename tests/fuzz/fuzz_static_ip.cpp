// The static IP file (/etc/config/wisp_static_ip_conf): read, one network looked up and one
// recorded, which writes every item read back to the file.
#include "tests/fuzz/support.h"
#include "util/device_paths.h"
#include "wisp/static_ip_config.h"

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    fuzz::EnterSandbox(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::Put(kWispStaticIpPath, {reinterpret_cast<const char*>(data), size});
    static_ip_config_load();
    static_ip_config_with(
        "Home", [](const StaticIpValues&, bool, void*) {}, nullptr);
    static_ip_config_save({"Cafe", "192.0.2.9", "255.255.255.0", "192.0.2.1", "", ""});
    static_ip_config_release();
    return 0;
}
