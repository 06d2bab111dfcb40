#include <gtest/gtest.h>
#include <signal.h>
#include <sys/eventfd.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>
#include <thread>

#include "bus_test_support.h"

namespace {

using bus_test::Gate;
using bus_test::kHangGuard;
using bus_test::LoopThread;

// An eventfd watched by the loop; its callback counts and may end the loop.
struct Watched {
    uloop_fd fd;  // first: the callback's argument leads back here
    std::atomic<int> calls{0};
    unsigned int events = 0;
    bool end_loop = false;

    Watched() : fd{OnReady, eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC), false, false, false, 0} {}
    ~Watched() { close(fd.fd); }
    void Signal() {
        uint64_t one = 1;
        ASSERT_EQ(write(fd.fd, &one, sizeof(one)), static_cast<ssize_t>(sizeof(one)));
    }
    static void OnReady(uloop_fd* fd, unsigned int events) {
        auto* self = reinterpret_cast<Watched*>(fd);
        uint64_t count;
        while (read(fd->fd, &count, sizeof(count)) > 0) {
        }
        ++self->calls;
        self->events = events;
        if (self->end_loop) uloop_end();
    }
};

// Waits (up to the hang guard) until `done` holds.
template <typename Condition>
bool Eventually(Condition done) {
    auto deadline = std::chrono::steady_clock::now() + kHangGuard;
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

char ProcessState(pid_t pid) {
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
    size_t paren = text.rfind(')');
    return paren == std::string::npos || paren + 2 >= text.size() ? '?' : text[paren + 2];
}

bool Reaped(pid_t pid) { return kill(pid, 0) == -1 && errno == ESRCH; }

// popen of a shell that prints its own pid: the child the library's pipe readers start.
FILE* StartShell(pid_t* pid) {
    FILE* pipe = popen("echo $$", "r");
    if (pipe == nullptr) return nullptr;
    if (fscanf(pipe, "%d", pid) != 1) *pid = -1;
    return pipe;
}

// Every test leaves uloop_handle_sigchld at its default.
class Uloop : public ::testing::Test {
protected:
    void TearDown() override { uloop_handle_sigchld = true; }
};

// Adding before uloop_init fails.
TEST_F(Uloop, ReadableDescriptorRunsItsCallbackAndADeletedOneNoLonger) {
    Watched gone;
    Watched stays;
    EXPECT_EQ(uloop_fd_add(&stays.fd, ULOOP_READ), -1);
    EXPECT_FALSE(stays.fd.registered);
    uloop_handle_sigchld = false;
    ASSERT_EQ(uloop_init(), 0);
    stays.end_loop = true;
    ASSERT_EQ(uloop_fd_add(&gone.fd, ULOOP_READ), 0);
    ASSERT_EQ(uloop_fd_add(&stays.fd, ULOOP_READ), 0);
    EXPECT_TRUE(stays.fd.registered);
    uloop_fd_delete(&gone.fd);
    EXPECT_FALSE(gone.fd.registered);
    gone.Signal();
    std::thread writer([&] { stays.Signal(); });
    uloop_run();
    writer.join();
    EXPECT_EQ(gone.calls, 0);
    EXPECT_EQ(stays.calls, 1);
    EXPECT_EQ(stays.events, static_cast<unsigned>(ULOOP_READ));
    uloop_fd_delete(&stays.fd);
    uloop_done();
}

// As upstream, uloop_run forgets an end request made before it started: code that ends the
// loop must wait until the loop runs. An end from another thread takes effect once it wakes.
TEST_F(Uloop, RunClearsAnEarlierEndRequestAndEndsWhenWokenAfterAnother) {
    LoopThread loop;
    uloop_end();
    loop.Start();  // returns only after the loop handled a round, so it did not return at once
    loop.Stop();   // uloop_end, then a wake-up; joins the loop thread
}

void HostHandler(int) {}

// uloop_init takes SIGTERM (and SIGINT) unless the host handles it already; uloop_done gives it
// back.
TEST_F(Uloop, SigtermEndsTheLoopWithTheSignalNumberAndTheHostsHandlersStay) {
    struct sigaction host = {};
    host.sa_handler = HostHandler;
    sigaction(SIGINT, &host, nullptr);
    uloop_handle_sigchld = false;
    ASSERT_EQ(uloop_init(), 0);
    struct sigaction now;
    sigaction(SIGINT, nullptr, &now);
    EXPECT_EQ(now.sa_handler, HostHandler);
    Watched started;
    uloop_fd_add(&started.fd, ULOOP_READ);
    started.Signal();
    int result = -1;
    std::thread loop([&] { result = uloop_run(); });
    ASSERT_TRUE(Eventually([&] { return started.calls > 0; }));
    kill(getpid(), SIGTERM);
    loop.join();
    EXPECT_EQ(result, SIGTERM);
    uloop_fd_delete(&started.fd);
    uloop_done();
    sigaction(SIGTERM, nullptr, &now);
    EXPECT_EQ(now.sa_handler, SIG_DFL);
    signal(SIGINT, SIG_DFL);
}

// Upstream behaviour the library must defend against: with SIGCHLD handling on, the loop thread
// reaps the children of other threads, and their pipe closes report -1 (ECHILD).
TEST(UloopSigchld, OnByDefaultTheLoopReapsChildrenOfOtherThreads) {
    EXPECT_TRUE(uloop_handle_sigchld);
    LoopThread loop(true);
    loop.Start();
    pid_t pid = -1;
    FILE* pipe = StartShell(&pid);
    ASSERT_NE(pipe, nullptr);
    ASSERT_GT(pid, 0);
    ASSERT_TRUE(Eventually([&] { return Reaped(pid); })) << "the loop never reaped the child";
    errno = 0;
    EXPECT_EQ(pclose(pipe), -1);
    EXPECT_EQ(errno, ECHILD);
    loop.Stop();
}

TEST(UloopSigchld, OffTheChildrenOfOtherThreadsAreLeftToThem) {
    LoopThread loop(false);
    loop.Start();
    pid_t pid = -1;
    FILE* pipe = StartShell(&pid);
    ASSERT_NE(pipe, nullptr);
    ASSERT_GT(pid, 0);
    ASSERT_TRUE(Eventually([&] { return ProcessState(pid) == 'Z'; }));
    loop.Ping();  // a whole round of the loop after the child exited
    int status = pclose(pipe);
    ASSERT_NE(status, -1) << strerror(errno);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);

    int system_status = system("exit 3");
    ASSERT_NE(system_status, -1) << strerror(errno);
    EXPECT_EQ(WEXITSTATUS(system_status), 3);
    loop.Stop();
}

}  // namespace
