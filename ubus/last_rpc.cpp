// The goodbye call to the service object "wlan_object", for the host.
extern "C" {
#include <libubox/blobmsg.h>
}
#include <libubus.h>

#include "ubus_assistant.h"

namespace {

// Used by one call at a time: on the loop thread, or on the caller's while no loop runs.
blob_buf last_rpc_buf;

void ignore_reply(ubus_request*, int, blob_attr*) {}

void last_rpc_on_loop_thread(UbusAssistant* ua) { ua->LastRpc(); }

}  // namespace

void UbusAssistant::LastRpc() {
    if (_HandToLoopThread(last_rpc_on_loop_thread)) return;
    _RunLastRpc();
}

void UbusAssistant::_RunLastRpc() {
    uint32_t id = 0;
    if (_ctx == nullptr || ubus_lookup_id(_ctx, "wlan_object", &id) != 0) return;
    blob_buf_init(&last_rpc_buf, 0);
    ubus_invoke(_ctx, id, "wlan_last_rpc", last_rpc_buf.head, ignore_reply, nullptr, 0);
    blob_buf_free(&last_rpc_buf);
}
