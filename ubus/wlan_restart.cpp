// The Wi-Fi restart request to the platform's mobile-AP manager.
extern "C" {
#include <libubox/blobmsg.h>
}
#include <libubus.h>

#include "ubus/shadow_agent.h"
#include "ubus_assistant.h"
#include "util/log.h"

ubus_context* _ubus_ctx = nullptr;

namespace {

// Used on the thread that dispatches the connection only, one request at a time.
blob_buf restart_buf;

void restart_on_loop_thread(UbusAssistant*) { ubus_restart_wlan(); }

}  // namespace

extern "C" WLAN_EXPORT int ubus_restart_wlan(void) {
    WLAN_TRACE("ubus_restart_wlan entry");
    UbusAssistant* ua = shadow_ua();
    if (ua == nullptr) {
        WLAN_TRACE("_shadow_ua == NULL");
        return -1;
    }
    // A host thread (an LTE report) must not use a connection that its loop thread serves.
    if (ua->_HandToLoopThread(restart_on_loop_thread)) return 0;
    _ubus_ctx = ua->_GetUbusContext();
    if (_ubus_ctx == nullptr) {
        WLAN_LOG5("Failed to connect to ubus");
        return -1;
    }
    uint32_t qcmap_id = 0;
    if (ubus_lookup_id(_ubus_ctx, "qcmap", &qcmap_id) != 0) {
        WLAN_LOG5("Failed to lookup id of qcmap obj failed");
        return -1;
    }
    blob_buf_init(&restart_buf, 0);
    blobmsg_add_u32(&restart_buf, "reload_driver", 0);
    // No time limit: the call waits for the platform's answer, which is not examined.
    int status = ubus_invoke(_ubus_ctx, qcmap_id, "qcmap_method_restart_wlan", restart_buf.head,
                             nullptr, nullptr, 0);
    blob_buf_free(&restart_buf);
    WLAN_TRACE("ubus_restart_wlan leave");
    return status;
}
