#include "agent/wlan_settings.h"

#include <limits.h>
#include <stdlib.h>
#include <string.h>

#include "util/log.h"
#include "util/shell.h"

namespace {

// Runs "uci get <option>" and converts its output like atoi, without atoi's overflow.
int32_t read_uci_int(const char* option, const char* failure_line) {
    char command[128];
    if (!format_bounded(command, sizeof(command), "uci get %s", option)) return 0;
    ShellPipe pipe;
    if (!pipe.Open(command)) {
        wlan_errlog(WLAN_PRIO_ERROR, "%s", failure_line);
        return 0;
    }
    char output[128];
    size_t length = 0;
    size_t n;
    while (length < sizeof(output) - 1 &&
           (n = pipe.Read(output + length, sizeof(output) - length)) > 0)
        length += n;
    pipe.Close();
    if (length > 0 && output[length - 1] == '\n') --length;
    output[length] = '\0';
    long value = strtol(output, nullptr, 10);
    if (value > INT32_MAX) return INT32_MAX;
    if (value < INT32_MIN) return INT32_MIN;
    return static_cast<int32_t>(value);
}

}  // namespace

int32_t _get_wlan_auto_down_time() {
    return read_uci_int("wlan.basic_setting.disable_time",
                        "_get_wlan_auto_down_time: popen failed.");
}

int32_t _get_wlan_auto_down_time_system() {
    return read_uci_int("wlan.basic_setting.disable_time_system",
                        "_get_wlan_auto_down_time_system: popen failed.");
}

int32_t _get_wlan_wisp_enable_status() {
    return read_uci_int("wlan.basic_setting.wisp_status",
                        "_get_wlan_wisp_enable_status: popen failed.");
}
