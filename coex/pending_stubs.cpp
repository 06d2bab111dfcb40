// PLACEHOLDER until the ubus side provides the Wi-Fi restart request: a weak definition, so the
// real ubus_restart_wlan replaces it as soon as it is built. Delete this file then.
#include "ubus_assistant.h"
#include "util/log.h"

extern "C" WLAN_EXPORT __attribute__((weak)) int ubus_restart_wlan(void) {
    __wlan_log(3, "ubus_restart_wlan entry");
    return 0;
}
