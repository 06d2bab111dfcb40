#include <stdlib.h>
#include <string.h>

#include "config/config_lines.h"
#include "config/config_settings.h"
#include "config/maclist.h"
#include "config/wireless_mode.h"
#include "util/device_paths.h"
#include "util/log.h"
#include "util/text.h"
#include "wlan_config.h"

namespace {

wlan_mgr_bss_config* allocate_record() {
    wlan_mgr_bss_config* bss = nullptr;
    while (bss == nullptr)
        bss = static_cast<wlan_mgr_bss_config*>(calloc(1, sizeof(wlan_mgr_bss_config)));
    return bss;
}

void read_default_mac_list(wlan_mgr_bss_config* bss) {
    copy_text(bss->deny_mac_file, kMacDenyListPath);
    if (wlan_mgr_config_read_maclist(bss->deny_mac_file, &bss->accept_mac, &bss->num_accept_mac) <
        0)
        WLAN_LOG5("Failed to read accept_mac_file '%s'", bss->deny_mac_file);
}

void read_config_file(wlan_mgr_bss_config* bss, const char* path) {
    WLAN_TRACE_ENTER("wlan_mgr_config_read");
    UniqueFile file(path != nullptr ? fopen(path, "r") : nullptr);
    if (!file) {
        WLAN_LOG5("Could not open configuration file '%s' for reading.",
                  path != nullptr ? path : "");
        WLAN_TRACE_LEAVE("wlan_mgr_config_read");
        return;
    }
    ConfigLineReader reader(file.get());
    while (reader.Next()) {
        char* line = reader.Text();
        if (line[0] == '#' || line[0] == '\0') continue;
        char* equals = strchr(line, '=');
        if (equals == nullptr) {
            WLAN_LOG5("Line %d: invalid line '%s'", reader.LineNumber(), line);
            continue;
        }
        *equals = '\0';
        const char* value = equals + 1;
        WLAN_TRACE("config: %s=%s", line, value);
        apply_config_setting(bss, line, value, reader.LineNumber());
    }
    if (bss->deny_mac_file[0] == '\0') read_default_mac_list(bss);
    WLAN_TRACE_LEAVE("wlan_mgr_config_read");
}

}  // namespace

extern "C" WLAN_EXPORT int wlan_mgr_get_config(wlan_mgr_bss_config** out, const char* path) {
    WLAN_TRACE_ENTER("wlan_mgr_get_config");
    if (out == nullptr) {
        WLAN_TRACE_LEAVE("wlan_mgr_get_config");
        return -1;
    }
    wlan_mgr_bss_config* bss = allocate_record();
    *out = bss;
    read_config_file(bss, path);
    wireless_mode_file_to_internal(bss);
    WLAN_TRACE_LEAVE("wlan_mgr_get_config");
    return 0;
}

extern "C" WLAN_EXPORT void wlan_mgr_free_config(wlan_mgr_bss_config** pp) {
    if (pp == nullptr || *pp == nullptr) return;
    free((*pp)->extra_conf);
    free((*pp)->accept_mac);
    free(*pp);
    *pp = nullptr;
}
