#include <gtest/gtest.h>
#include <poll.h>
#include <unistd.h>

#include <thread>

#include "bus_test_support.h"

namespace {

using bus_test::EchoObject;

// A context used by a second thread while the first waits in ubus_invoke.
void UseOneContextFromTwoThreads() {
    ubus_context* owner = ubus_connect(nullptr);
    ubus_context* shared = ubus_connect(nullptr);
    static EchoObject echo("busy_object");
    ubus_add_object(owner, &echo.object);
    std::thread waiting(
        [&] { ubus_invoke(shared, echo.object.id, "echo", nullptr, nullptr, nullptr, 0); });
    pollfd queued = {owner->sock.fd, POLLIN, 0};
    poll(&queued, 1, 30000);  // the call is queued: the other thread is inside ubus_invoke
    uint32_t id;
    ubus_lookup_id(shared, "busy_object", &id);
    _exit(0);  // not reached when the misuse is caught
}

TEST(BusThreadsDeathTest, OneContextUsedByTwoThreadsAtOnceAborts) {
    EXPECT_DEATH(UseOneContextFromTwoThreads(), "ubus_lookup_id: context .* used by two threads");
}

// The loop watches the context on its thread while the test thread uses the context.
void UseContextBesideItsRunningLoop() {
    ubus_context* ctx = ubus_connect(nullptr);
    auto loop = bus_test::Serve(ctx);
    ubus_send_event(ctx, "wlan_event", nullptr);
    _exit(0);  // not reached when the misuse is caught
}

TEST(BusThreadsDeathTest, UseOffTheLoopThreadWhileTheLoopRunsAborts) {
    EXPECT_DEATH(UseContextBesideItsRunningLoop(),
                 "ubus_send_event: context .* outside its loop thread while the loop runs");
}

// Removing the object after the loop ended, as the library's teardown does, is fine.
TEST(BusThreads, ContextIsUsableFromAnotherThreadOnceTheLoopEnded) {
    ubus_context* ctx = ubus_connect(nullptr);
    ASSERT_NE(ctx, nullptr);
    EchoObject echo("after_loop");
    ASSERT_EQ(ubus_add_object(ctx, &echo.object), 0);
    auto loop = bus_test::Serve(ctx);
    loop->Stop();
    EXPECT_EQ(ubus_remove_object(ctx, &echo.object), 0);
    loop.reset();
    ubus_free(ctx);
}

}  // namespace
