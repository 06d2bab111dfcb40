#include "ubus/event_subscriptions.h"

#include <string.h>

#include "util/log.h"

namespace {

ubus_event_handler key_event_handler;
ubus_event_handler usb_event_handler;
ubus_event_handler oled_event_handler;
ubus_event_handler system_event_handler;

struct Subscription {
    ubus_event_handler* record;
    ubus_event_handler_t callback;
    const char* event;
    const char* trace;  // level-5 message on failure, if any
    const char* error;
};

const Subscription kSubscriptions[] = {
    {&key_event_handler, on_key_event, "key_detect_type", nullptr,
     "UbusAssistant::Init: Registry button event handler failed."},
    {&usb_event_handler, on_usb_event, "usb_event_type", nullptr,
     "UbusAssistant::Init: Registry usb event handler failed."},
    {&oled_event_handler, on_oled_event, "oled_event", "Reg oled event handler failed!",
     "UbusAssistant::Init: Registry oled event handler failed."},
    {&system_event_handler, _handle_system_event_msg, "system_state",
     "Reg system event handler failed!",
     "UbusAssistant::Init: Registry system event handler failed."},
};

}  // namespace

int subscribe_wlan_events(ubus_context* ctx) {
    for (const Subscription& subscription : kSubscriptions) {
        memset(subscription.record, 0, sizeof(*subscription.record));
        subscription.record->cb = subscription.callback;
        if (ubus_register_event_handler(ctx, subscription.record, subscription.event) == 0)
            continue;
        if (subscription.trace != nullptr) WLAN_LOG5("%s", subscription.trace);
        wlan_errlog(WLAN_PRIO_ERROR, "%s", subscription.error);
        return -3;
    }
    return 0;
}
