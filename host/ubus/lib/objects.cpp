// Registering, removing and looking up objects.
#include "bus.h"
#include "failure_switches.h"
#include "share.h"

using ubus_standin::Bus;
using ubus_standin::Client;
using ubus_standin::GuardScope;

int ubus_add_object(ubus_context* ctx, ubus_object* obj) {
    Bus& bus = Bus::Get();
    std::lock_guard<std::mutex> lock(bus.mutex());
    Client* client = bus.ClientOf(ctx, "ubus_add_object");
    GuardScope scope(client->guard(), ctx, "ubus_add_object");
    int status;
    if (ubus_standin::AddObjectFailures().Trip(&status)) return status;
    auto known = bus.objects().find(obj->id);
    if (known != bus.objects().end() && known->second.object == obj)
        return UBUS_STATUS_INVALID_ARGUMENT;  // already registered
    if (obj->name != nullptr && bus.names().count(obj->name) != 0)
        return UBUS_STATUS_INVALID_ARGUMENT;
    uint32_t id = bus.NewId();
    bus.objects()[id] =
        ubus_standin::ObjectEntry{obj, client, nullptr, obj->name != nullptr ? obj->name : ""};
    if (obj->name != nullptr) bus.names()[obj->name] = id;
    obj->id = id;
    if (obj->type != nullptr && obj->type->id == 0) obj->type->id = bus.NewId();
    return 0;
}

int ubus_remove_object(ubus_context* ctx, ubus_object* obj) {
    Bus& bus = Bus::Get();
    std::lock_guard<std::mutex> lock(bus.mutex());
    Client* client = bus.ClientOf(ctx, "ubus_remove_object");
    GuardScope scope(client->guard(), ctx, "ubus_remove_object");
    auto it = bus.objects().find(obj->id);
    if (it == bus.objects().end() || it->second.object != obj) return UBUS_STATUS_NOT_FOUND;
    if (it->second.owner != client) return UBUS_STATUS_PERMISSION_DENIED;
    bus.RemoveObject(obj->id);
    obj->id = 0;
    return 0;
}

int ubus_lookup_id(ubus_context* ctx, const char* path, uint32_t* id) {
    Bus& bus = Bus::Get();
    {
        std::lock_guard<std::mutex> lock(bus.mutex());
        Client* client = bus.ClientOf(ctx, "ubus_lookup_id");
        GuardScope scope(client->guard(), ctx, "ubus_lookup_id");
        if (path == nullptr) return UBUS_STATUS_INVALID_ARGUMENT;
        auto it = bus.names().find(path);
        if (it != bus.names().end()) {
            *id = it->second;
            return 0;
        }
    }
    // Another process on a shared bus may have it.
    return ubus_standin::LookupShared(ctx, path, id) ? 0 : UBUS_STATUS_NOT_FOUND;
}
