#ifndef WLANMGRD_HOST_BUS_H
#define WLANMGRD_HOST_BUS_H

#include <thread>

struct ubus_context;

namespace wlanmgrd {

// The daemon's own bus connection, given to the agent (which then registers wlan_object on it)
// and served by a loop thread of the daemon. The requests of the library's events are carried
// out on the main thread, never on this loop, whose method handlers wait for them.
class HostBus {
public:
    HostBus() = default;
    ~HostBus();
    HostBus(const HostBus&) = delete;
    HostBus& operator=(const HostBus&) = delete;

    // Connects to the bus socket; false on failure.
    bool Connect(const char* socket);
    ubus_context* context() const { return ctx_; }
    // Whether an object of this name is on the bus; only before Run.
    bool Has(const char* object);
    // Starts the loop thread; false on failure.
    bool Run();
    // Ends the loop and waits for its thread. Then the connection may be used again here.
    void Stop();

private:
    ubus_context* ctx_ = nullptr;
    int wake_[2] = {-1, -1};
    std::thread loop_;
};

}  // namespace wlanmgrd

#endif
