#include <stdlib.h>

#include "util/log.h"
#include "util/shell.h"
#include "wlan_scan.h"

namespace {

constexpr const char* kStationInterface = "eth0";

}  // namespace

int wait_scan_idle(void) {
    char command[128];
    char line[128];
    format_bounded(command, sizeof(command), "wlarm -i %s get_scan_status 2>&1", kStationInterface);
    ShellPipe pipe(command);
    if (!pipe.IsOpen()) {
        WLAN_LOG5("wait_scan_idle: popen fail");
        return 1;
    }
    const bool answered = pipe.ReadLine(line, sizeof(line));
    pipe.Close();
    if (!answered) return 1;
    const long status = strtol(line, nullptr, 10);
    return status == 2 || status == 4 ? 1 : 0;
}
