// A ubus_context is not thread-safe. The stand-in aborts on use of one context by two threads at
// once, so that a race in the library fails a test instead of hanging a device.
extern "C" {
#include <libubox/uloop.h>
}
#include <gtest/gtest.h>
#include <libubus.h>
#include <poll.h>
#include <unistd.h>

#include <atomic>
#include <thread>

namespace {

int Ok(ubus_context*, ubus_object*, ubus_request_data*, const char*, blob_attr*) { return 0; }
ubus_method kMethods[] = {UBUS_METHOD_NOARG("ok", Ok)};
ubus_object_type kType = UBUS_OBJECT_TYPE("busy_type", kMethods);

// One thread waits in ubus_invoke on a context while another looks an object up on it.
void UseOneContextFromTwoThreads() {
    ubus_context* owner = ubus_connect(nullptr);
    ubus_context* shared = ubus_connect(nullptr);
    static ubus_object object = {};
    object.name = "busy_object";
    object.type = &kType;
    object.methods = kMethods;
    object.n_methods = 1;
    ubus_add_object(owner, &object);
    std::thread waiting(
        [&] { ubus_invoke(shared, object.id, "ok", nullptr, nullptr, nullptr, 0); });
    pollfd queued = {owner->sock.fd, POLLIN, 0};
    poll(&queued, 1, 30000);  // the call is queued: the other thread is inside ubus_invoke
    uint32_t id;
    ubus_lookup_id(shared, "busy_object", &id);
    _exit(0);  // not reached when the misuse is caught
}

// The loop watches the context on its thread while another thread uses the context.
void UseContextBesideItsRunningLoop() {
    uloop_handle_sigchld = false;
    ubus_context* ctx = ubus_connect(nullptr);
    ubus_add_uloop(ctx);
    static std::atomic<bool> running{false};
    static uloop_timeout started = {};
    started.cb = [](uloop_timeout*) { running = true; };
    uloop_timeout_set(&started, 0);
    std::thread([] { uloop_run(); }).detach();
    while (!running) usleep(1000);
    ubus_send_event(ctx, "wlan_event", nullptr);
    _exit(0);  // not reached when the misuse is caught
}

TEST(BusThreadsDeathTest, UseOfOneContextByTwoThreadsAtOnceAborts) {
    EXPECT_DEATH(UseOneContextFromTwoThreads(), "ubus_lookup_id: context .* used by two threads");
    EXPECT_DEATH(UseContextBesideItsRunningLoop(),
                 "ubus_send_event: context .* outside its loop thread while the loop runs");
}

}  // namespace
