#include "daemon/host_bus.h"

extern "C" {
#include <libubox/uloop.h>
}
#include <fcntl.h>
#include <libubus.h>
#include <unistd.h>

namespace wlanmgrd {
namespace {

// uloop_end only marks the loop; a write to this descriptor makes it look.
uloop_fd g_waker = {};

void EndLoop(uloop_fd*, unsigned int) { uloop_end(); }

}  // namespace

HostBus::~HostBus() {
    Stop();
    // Leaves the bus, which removes wlan_object.
    if (ctx_ != nullptr) ubus_free(ctx_);
    if (wake_[0] >= 0) {
        close(wake_[0]);
        close(wake_[1]);
    }
}

bool HostBus::Connect(const char* socket) {
    // The library's threads run commands: uloop must not reap their children.
    uloop_handle_sigchld = false;
    ctx_ = ubus_connect(socket);
    if (ctx_ == nullptr || pipe2(wake_, O_CLOEXEC | O_NONBLOCK) != 0) return false;
    g_waker.fd = wake_[0];
    g_waker.cb = EndLoop;
    ubus_add_uloop(ctx_);
    return uloop_fd_add(&g_waker, ULOOP_READ) == 0;
}

bool HostBus::Has(const char* object) {
    uint32_t id = 0;
    return ctx_ != nullptr && ubus_lookup_id(ctx_, object, &id) == 0;
}

bool HostBus::Run() {
    loop_ = std::thread([] { uloop_run(); });
    return true;
}

void HostBus::Stop() {
    if (!loop_.joinable()) return;
    char byte = 1;
    ssize_t written = write(wake_[1], &byte, 1);
    (void)written;  // a full pipe wakes the loop as well
    loop_.join();
}

}  // namespace wlanmgrd
