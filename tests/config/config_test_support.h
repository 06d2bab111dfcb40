#ifndef WLAN_TESTS_CONFIG_SUPPORT_H
#define WLAN_TESTS_CONFIG_SUPPORT_H

#include <memory>
#include <string>

#include "tests/support/log_capture.h"
#include "tests/support/sandbox.h"
#include "wlan_config.h"

// A configuration record released through wlan_mgr_free_config.
struct ConfigDeleter {
    void operator()(wlan_mgr_bss_config* bss) const { wlan_mgr_free_config(&bss); }
};
using ConfigPtr = std::unique_ptr<wlan_mgr_bss_config, ConfigDeleter>;

inline ConfigPtr ReadConfig(const char* path = "/etc/hostapd.conf") {
    wlan_mgr_bss_config* bss = nullptr;
    EXPECT_EQ(wlan_mgr_get_config(&bss, path), 0);
    EXPECT_NE(bss, nullptr);
    return ConfigPtr(bss);
}

inline ConfigPtr ReadConfigText(const std::string& content) {
    sandbox::WriteFile("/etc/hostapd.conf", content);
    return ReadConfig();
}

inline bool HasLevel5(const std::string& text) { return logcap::Has(logcap::Level5(), text); }

#endif
