// What the library's tests rely on from the bus stand-in beyond the bus probe: the failure
// switches, uloop's SIGCHLD reaping and the abort on use of one context by two threads.
extern "C" {
#include <libubox/uloop.h>
}
#include <errno.h>
#include <gtest/gtest.h>
#include <libubus.h>
#include <signal.h>
#include <ubus_test_hooks.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <deque>
#include <functional>
#include <string>
#include <thread>
#include <utility>

namespace {

int Ok(ubus_context*, ubus_object*, ubus_request_data*, const char*, blob_attr*) { return 0; }
ubus_method kMethods[] = {UBUS_METHOD_NOARG("ok", Ok)};
ubus_object_type kType = UBUS_OBJECT_TYPE("test_type", kMethods);

// The failure switches of ubus_test_hooks.h, with which the library's tests make the bus fail:
// each fails just the calls it was armed for, the failing call changes nothing, and clearing
// disarms it. An outcome: what a call returned, and whether what it made exists afterwards.
using Outcome = std::pair<int, bool>;

TEST(BusTestHooks, EachSwitchFailsTheCallsItWasArmedForAndNothingElse) {
    ubus_context* ctx = ubus_connect(nullptr);
    ASSERT_NE(ctx, nullptr);
    std::deque<std::string> names;  // every call uses a name of its own
    std::deque<ubus_object> objects;
    ubus_event_handler handler = {};
    auto subscribe = [&](const std::string& pattern) {
        int status = ubus_register_event_handler(ctx, &handler, pattern.c_str());
        return Outcome{status, ubus_test_event_listeners(pattern.c_str()) > 0};
    };
    const struct {
        const char* name;
        std::function<void()> arm_twice;
        std::function<Outcome()> call;
        int status;
    } kSwitches[] = {
        {"connect", [] { ubus_test_fail_connect(2); },
         [] {
             ubus_context* c = ubus_connect(nullptr);
             if (c != nullptr) ubus_free(c);
             return Outcome{c != nullptr ? 0 : UBUS_STATUS_CONNECTION_FAILED, c != nullptr};
         },
         UBUS_STATUS_CONNECTION_FAILED},
        {"add_object", [] { ubus_test_fail_add_object(2, UBUS_STATUS_UNKNOWN_ERROR); },
         [&] {
             names.push_back("object" + std::to_string(names.size()));
             ubus_object& o = objects.emplace_back();
             o.name = names.back().c_str();
             o.type = &kType;
             o.methods = kMethods;
             o.n_methods = 1;
             int status = ubus_add_object(ctx, &o);
             return Outcome{status, ubus_test_object_exists(o.name)};
         },
         UBUS_STATUS_UNKNOWN_ERROR},
        {"register_event_handler",
         [] { ubus_test_fail_register_event_handler(2, UBUS_STATUS_NO_MEMORY); },
         [&] { return subscribe(names.emplace_back("ev" + std::to_string(names.size()))); },
         UBUS_STATUS_NO_MEMORY},
    };
    for (const auto& s : kSwitches) {
        SCOPED_TRACE(s.name);
        s.arm_twice();
        for (int i = 0; i < 3; ++i) EXPECT_EQ(s.call(), Outcome(i < 2 ? s.status : 0, i == 2)) << i;
        s.arm_twice();
        ubus_test_clear_failures();
        EXPECT_EQ(s.call().first, 0);
    }

    // The pattern switch fails the next subscription to that pattern only.
    ubus_test_fail_register_event_pattern("oled_event", UBUS_STATUS_UNKNOWN_ERROR);
    EXPECT_EQ(subscribe("system_state").first, 0);
    EXPECT_EQ(subscribe("oled_event"), Outcome(UBUS_STATUS_UNKNOWN_ERROR, false));
    EXPECT_EQ(subscribe("oled_event"), Outcome(0, true));
    ubus_free(ctx);
}

// With uloop_handle_sigchld set when connecting, a running loop reaps the children of every
// thread, and clearing the flag later does not undo it. The library clears it before it connects
// (tests/ubus); the stand-in must reap, or a library that clears it too late would pass.
TEST(BusSignals, ConnectingWithTheFlagSetMakesTheLoopReapEveryChildEvenWhenClearedAfter) {
    uloop_handle_sigchld = true;
    ubus_context* ctx = ubus_connect(nullptr);
    ASSERT_NE(ctx, nullptr);
    uloop_handle_sigchld = false;

    pid_t pid = -1;
    FILE* pipe = popen("echo $$", "r");
    ASSERT_NE(pipe, nullptr);
    ASSERT_EQ(fscanf(pipe, "%d", &pid), 1);
    int result = -1;
    std::thread loop([&result] { result = uloop_run(); });
    // Reaped: the pid is gone although nobody here waited for it.
    for (int ms = 0; ms < 30000 && (kill(pid, 0) == 0 || errno != ESRCH); ++ms) usleep(1000);
    errno = 0;
    EXPECT_EQ(pclose(pipe), -1) << "the loop never reaped the child";
    EXPECT_EQ(errno, ECHILD);

    kill(getpid(), SIGTERM);  // ends the loop, not the process
    loop.join();
    EXPECT_EQ(result, SIGTERM);
    ubus_free(ctx);
    uloop_done();
}

// A ubus_context is not thread-safe. The stand-in aborts on use of one context by two threads at
// once, so that a race in the library fails a test instead of hanging a device. The library hands
// its bus work to the loop thread; a call made beside the running loop instead is caught.
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
    EXPECT_DEATH(UseContextBesideItsRunningLoop(),
                 "ubus_send_event: context .* outside its loop thread while the loop runs");
}

}  // namespace
