// Test-only: a context served on a thread of its own, as another process would serve it.
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <thread>

#include "libubus.h"
#include "ubus_test_hooks.h"

struct ubus_test_server {
    ubus_context* ctx;
    int stop_fd;
    std::thread thread;
};

namespace {

void Serve(ubus_test_server* server) {
    for (;;) {
        pollfd fds[2] = {{server->ctx->sock.fd, POLLIN, 0}, {server->stop_fd, POLLIN, 0}};
        if (poll(fds, 2, -1) < 0) continue;  // EINTR
        if (fds[1].revents != 0) return;
        if (fds[0].revents != 0) ubus_handle_event(server->ctx);
    }
}

}  // namespace

ubus_test_server* ubus_test_serve(ubus_context* ctx) {
    int stop_fd = eventfd(0, EFD_CLOEXEC);
    if (stop_fd < 0) return nullptr;
    auto* server = new ubus_test_server{ctx, stop_fd, std::thread()};
    server->thread = std::thread(Serve, server);
    return server;
}

void ubus_test_stop_serving(ubus_test_server* server) {
    if (server == nullptr) return;
    uint64_t one = 1;
    ssize_t written = write(server->stop_fd, &one, sizeof(one));
    (void)written;  // an eventfd counter far from its limit takes the write
    server->thread.join();
    close(server->stop_fd);
    delete server;
}
