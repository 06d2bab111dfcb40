// The payloads of the other daemons' bus events: after a first byte that picks the event, the
// key daemon's message as the work queue hands it to _handle_button_event_msg, or the
// "state_event" text of a system event. Commands are not run (no_commands.cpp).
#include <libubus.h>

#include "hostapd_agent.h"
#include "tests/fuzz/support.h"
#include "ubus/button_events.h"
#include "ubus/event_subscriptions.h"
#include "ubus/shadow_agent.h"
#include "ubus_assistant.h"

namespace {
ubus_context* g_ctx = nullptr;
}

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    fuzz::EnterSandbox(argc, argv);
    uloop_handle_sigchld = false;
    g_ctx = ubus_connect(nullptr);
    HostapdAgent* agent = new HostapdAgent();
    set_shadow_pointers(agent, new UbusAssistant(agent, g_ctx));
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    std::string text(reinterpret_cast<const char*>(data) + 1, size - 1);
    if (data[0] % 2 == 0) {
        text.resize(std::min(text.size(), kButtonEventMsgSize - 1));
        _handle_button_event_msg(text.data());
        return 0;
    }
    static blob_buf b;
    blob_buf_init(&b, 0);
    blobmsg_add_field(&b, BLOBMSG_TYPE_STRING, "state_event", text.c_str(), text.size() + 1);
    _handle_system_event_msg(g_ctx, nullptr, "system_state", b.head);
    return 0;
}
