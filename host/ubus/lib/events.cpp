// Event subscriptions and broadcasts.
#include "bus.h"
#include "dispatch.h"
#include "failure_switches.h"

using ubus_standin::Bus;
using ubus_standin::Client;
using ubus_standin::GuardScope;
using ubus_standin::WorkItem;

namespace ubus_standin {

void RunEvent(Client* owner, WorkItem* item) {
    ubus_event_handler* handler = nullptr;
    {
        std::lock_guard<std::mutex> lock(Bus::Get().mutex());
        auto it = Bus::Get().objects().find(item->object_id);
        if (it != Bus::Get().objects().end() && it->second.owner == owner)
            handler = it->second.events;
    }
    // Unregistered since the event was sent: dropped.
    if (handler == nullptr || handler->cb == nullptr) return;
    handler->cb(owner->ctx(), handler, item->name.c_str(), item->message.Attr());
}

}  // namespace ubus_standin

// The handler's object joins the bus (without a name) on its first pattern.
int ubus_register_event_handler(ubus_context* ctx, ubus_event_handler* ev, const char* pattern) {
    Bus& bus = Bus::Get();
    std::lock_guard<std::mutex> lock(bus.mutex());
    Client* client = bus.ClientOf(ctx, "ubus_register_event_handler");
    GuardScope scope(client->guard(), ctx, "ubus_register_event_handler");
    int status;
    if (ubus_standin::RegisterEventFailures().Trip(&status)) return status;
    if (ubus_standin::RegisterPatternFailure().Trip(pattern, &status)) return status;
    if (pattern == nullptr) return UBUS_STATUS_INVALID_ARGUMENT;
    auto known = bus.objects().find(ev->obj.id);
    bool registered = known != bus.objects().end() && known->second.object == &ev->obj;
    if (registered && known->second.owner != client) return UBUS_STATUS_PERMISSION_DENIED;
    if (!registered) {
        ev->obj.id = bus.NewId();
        bus.objects()[ev->obj.id] = ubus_standin::ObjectEntry{&ev->obj, client, ev, ""};
    }
    bus.subscriptions().push_back(ubus_standin::Subscription{pattern, ev->obj.id});
    return 0;
}

int ubus_send_event(ubus_context* ctx, const char* id, blob_attr* data) {
    Bus& bus = Bus::Get();
    std::lock_guard<std::mutex> lock(bus.mutex());
    Client* client = bus.ClientOf(ctx, "ubus_send_event");
    GuardScope scope(client->guard(), ctx, "ubus_send_event");
    if (id == nullptr) return UBUS_STATUS_INVALID_ARGUMENT;
    for (uint32_t object_id : bus.Listeners(id)) {
        WorkItem item;
        item.kind = WorkItem::Kind::kEvent;
        item.object_id = object_id;
        item.name = id;
        item.message = ubus_standin::Message(data);
        bus.objects()[object_id].owner->Enqueue(std::move(item));
    }
    return 0;
}
