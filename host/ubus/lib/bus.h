// The process-wide bus: connected contexts, registered objects and event subscriptions.
#ifndef UBUS_STANDIN_BUS_H
#define UBUS_STANDIN_BUS_H

#include <stdint.h>

#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "client.h"
#include "libubus.h"

namespace ubus_standin {

struct ObjectEntry {
    ubus_object* object;
    Client* owner;
    ubus_event_handler* events;  // set for the objects of event handlers
    std::string name;            // empty for objects without a name
};

struct Subscription {
    std::string pattern;
    uint32_t object_id;
};

// Everything below is guarded by mutex(). Work is queued to a client while holding it, so a
// client cannot leave the bus in between.
class Bus {
public:
    static Bus& Get();

    std::mutex& mutex() { return mutex_; }

    // The client of a context; aborts for a context that is not connected.
    Client* ClientOf(const ubus_context* ctx, const char* call);
    Client* AddClient(ubus_context* ctx, int event_fd);
    std::unique_ptr<Client> RemoveClient(const ubus_context* ctx);

    uint32_t NewId() { return next_id_++; }

    std::map<uint32_t, ObjectEntry>& objects() { return objects_; }
    std::map<std::string, uint32_t>& names() { return names_; }
    std::vector<Subscription>& subscriptions() { return subscriptions_; }

    // Drops the object, its name and its subscriptions.
    void RemoveObject(uint32_t id);
    // Object ids of the handlers an event named `type` reaches, each once.
    std::vector<uint32_t> Listeners(const char* type) const;

private:
    Bus() = default;

    std::mutex mutex_;
    std::map<const ubus_context*, std::unique_ptr<Client>> clients_;
    std::map<uint32_t, ObjectEntry> objects_;
    std::map<std::string, uint32_t> names_;
    std::vector<Subscription> subscriptions_;
    uint32_t next_id_ = 0x100;
};

// A pattern ending in '*' matches every type starting with the text before it.
bool PatternMatches(const std::string& pattern, const char* type);

}  // namespace ubus_standin

#endif
