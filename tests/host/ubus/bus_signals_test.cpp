// ubus_connect initialises uloop as the device's libubus does, and with it uloop's signal
// handling. With uloop_handle_sigchld set when connecting, a running loop reaps the children of
// every thread, so system() and pclose() elsewhere report -1; clearing the flag later does not
// undo it. The library clears it before it connects (tests/ubus checks that its children stay
// its own); here the stand-in must reap, or a library that clears the flag too late would pass.
extern "C" {
#include <libubox/uloop.h>
}
#include <errno.h>
#include <gtest/gtest.h>
#include <libubus.h>
#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <thread>

namespace {

void HostHandler(int) {}

sighandler_t Handler(int signo) {
    struct sigaction now;
    sigaction(signo, nullptr, &now);
    return now.sa_handler;
}

bool Reaped(pid_t pid) {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (kill(pid, 0) == 0 || errno != ESRCH) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

// The parameter: whether the flag is cleared right after connecting.
class BusSignals : public ::testing::TestWithParam<bool> {};

TEST_P(BusSignals, ConnectingWithTheFlagSetMakesTheLoopReapEveryChild) {
    struct sigaction host = {};
    host.sa_handler = HostHandler;
    sigaction(SIGINT, &host, nullptr);
    uloop_handle_sigchld = true;
    ubus_context* ctx = ubus_connect(nullptr);
    ASSERT_NE(ctx, nullptr);
    if (GetParam()) uloop_handle_sigchld = false;
    EXPECT_NE(Handler(SIGCHLD), SIG_DFL);
    EXPECT_NE(Handler(SIGTERM), SIG_DFL);
    EXPECT_EQ(Handler(SIGINT), HostHandler);  // a handler the host installed first stays
    EXPECT_EQ(Handler(SIGPIPE), SIG_IGN);

    pid_t pid = -1;
    FILE* pipe = popen("echo $$", "r");
    ASSERT_NE(pipe, nullptr);
    ASSERT_EQ(fscanf(pipe, "%d", &pid), 1);
    int result = -1;
    std::thread loop([&result] { result = uloop_run(); });
    EXPECT_TRUE(Reaped(pid)) << "the loop never reaped the child";
    errno = 0;
    EXPECT_EQ(pclose(pipe), -1);
    EXPECT_EQ(errno, ECHILD);

    kill(getpid(), SIGTERM);  // ends the loop, not the process
    loop.join();
    EXPECT_EQ(result, SIGTERM);
    ubus_free(ctx);
    uloop_done();
    EXPECT_EQ(Handler(SIGTERM), SIG_DFL);
    EXPECT_EQ(Handler(SIGPIPE), SIG_DFL);
}

INSTANTIATE_TEST_SUITE_P(Flag, BusSignals, ::testing::Bool(),
                         [](const ::testing::TestParamInfo<bool>& info) {
                             return info.param ? "ClearedAfterConnecting" : "LeftSet";
                         });

}  // namespace
