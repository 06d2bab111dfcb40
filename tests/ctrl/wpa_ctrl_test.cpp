// The control-interface client against a daemon of our own that misbehaves on cue.
#include "wpa_ctrl.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <string.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <atomic>
#include <condition_variable>
#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/sandbox.h"

namespace {

// A control daemon of our own: a Unix datagram socket served by a thread, answering each
// command through a handler (null: it answers nothing).
class FakeCtrlDaemon {
public:
    // Runs on the daemon thread for every command; answers with Send().
    using Handler = std::function<void(const std::string& command, FakeCtrlDaemon& daemon)>;

    FakeCtrlDaemon(const std::string& path, Handler handler)
        : path_(path), handler_(std::move(handler)) {
        std::error_code ec;
        std::filesystem::create_directories(std::filesystem::path(path).parent_path(), ec);
        unlink(path.c_str());
        sockaddr_un addr = {};
        addr.sun_family = AF_UNIX;
        if (path.size() >= sizeof(addr.sun_path)) return;
        memcpy(addr.sun_path, path.c_str(), path.size() + 1);
        int fd = socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0);
        if (fd < 0 || bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof(addr)) != 0) {
            if (fd >= 0) close(fd);
            return;
        }
        fd_ = fd;
        thread_ = std::thread([this] { Serve(); });
    }

    ~FakeCtrlDaemon() {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            stopping_ = true;
        }
        stop_.notify_all();
        if (fd_ >= 0) shutdown(fd_, SHUT_RDWR);  // wakes the thread's receive
        if (thread_.joinable()) thread_.join();
        if (fd_ >= 0) {
            close(fd_);
            unlink(path_.c_str());
        }
    }

    bool Started() const { return fd_ >= 0; }

    // Sends one datagram to the client that sent the last command.
    bool Send(const std::string& text) {
        std::unique_lock<std::mutex> lock(mutex_);
        const sockaddr_un peer = peer_;
        const socklen_t len = peer_len_;
        lock.unlock();
        return len != 0 &&
               sendto(fd_, text.data(), text.size(), 0, reinterpret_cast<const sockaddr*>(&peer),
                      len) == static_cast<ssize_t>(text.size());
    }

    // Waits up to timeout_ms for the daemon to be stopped; true once it is. Handlers that hold
    // back a reply use it so that the daemon still stops promptly.
    bool WaitForStop(int timeout_ms) {
        std::unique_lock<std::mutex> lock(mutex_);
        return stop_.wait_for(lock, std::chrono::milliseconds(timeout_ms),
                              [this] { return stopping_; });
    }

private:
    void Serve() {
        std::vector<char> buf(65536);
        for (;;) {
            sockaddr_un from = {};
            socklen_t from_len = sizeof(from);
            ssize_t got = recvfrom(fd_, buf.data(), buf.size(), 0,
                                   reinterpret_cast<sockaddr*>(&from), &from_len);
            const std::string command(buf.data(), got > 0 ? static_cast<size_t>(got) : 0);
            {
                std::lock_guard<std::mutex> lock(mutex_);
                if (stopping_) return;
                if (got < 0) continue;
                peer_ = from;
                peer_len_ = from_len;
            }
            if (handler_) handler_(command, *this);
        }
    }

    std::string path_;
    Handler handler_;
    int fd_ = -1;
    std::mutex mutex_;
    std::condition_variable stop_;
    bool stopping_ = false;
    sockaddr_un peer_ = {};
    socklen_t peer_len_ = 0;
    std::thread thread_;
};

// Sends a command text and returns the reply text; *result receives the request's result.
std::string Request(wpa_ctrl* ctrl, const std::string& command, int* result,
                    void (*msg_cb)(char*, size_t) = nullptr) {
    std::vector<char> reply(4096 + 1);
    size_t len = 4096;
    *result = wpa_ctrl_request(ctrl, command.data(), command.size(), reply.data(), &len, msg_cb);
    return *result == 0 ? std::string(reply.data(), len) : std::string();
}

// The client socket files under /tmp ("wpa_ctrl_*").
std::vector<std::string> LocalSocketFiles() {
    std::vector<std::string> found;
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator("/tmp", ec))
        if (entry.path().filename().string().rfind("wpa_ctrl_", 0) == 0)
            found.push_back(entry.path().string());
    return found;
}

// The texts a request's message callback was given (up to their terminator); each length it
// was given must match its text.
std::vector<std::string> g_seen;

void Capture(char* msg, size_t len) {
    g_seen.emplace_back(msg);
    EXPECT_EQ(len, g_seen.back().size()) << "length given with \"" << g_seen.back() << "\"";
}

// Sandbox fixture with a daemon of our own on kDaemonSocket and a handle ctrl_ opened to it.
class CtrlDaemonTest : public SandboxTest {
protected:
    static constexpr const char* kDaemonSocket = "/tmp/fake_ctrl/wlan0";

    void SetUp() override {
        SandboxTest::SetUp();
        g_seen.clear();
    }
    void TearDown() override {
        wpa_ctrl_close(ctrl_);
        ctrl_ = nullptr;
        daemon_.reset();
    }
    // Starts the daemon with the handler and opens ctrl_.
    void Serve(FakeCtrlDaemon::Handler handler) {
        daemon_ = std::make_unique<FakeCtrlDaemon>(kDaemonSocket, std::move(handler));
        ASSERT_TRUE(daemon_->Started());
        ctrl_ = wpa_ctrl_open(kDaemonSocket);
        ASSERT_NE(ctrl_, nullptr);
    }

    std::unique_ptr<FakeCtrlDaemon> daemon_;
    wpa_ctrl* ctrl_ = nullptr;
};

// The counter part of "/tmp/wpa_ctrl_<pid>-<n>".
int LocalNumber(const wpa_ctrl* ctrl) {
    const std::string prefix = "/tmp/wpa_ctrl_" + std::to_string(getpid()) + "-";
    const std::string path = ctrl->local.sun_path;
    return path.rfind(prefix, 0) != 0 ? -1 : std::stoi(path.substr(prefix.size()));
}

using WpaCtrlOpen = CtrlDaemonTest;

TEST_F(WpaCtrlOpen, EachHandleBindsItsOwnLocalFileAndCloseRemovesIt) {
    Serve(nullptr);
    wpa_ctrl* second = wpa_ctrl_open(kDaemonSocket);
    ASSERT_NE(second, nullptr);
    EXPECT_GT(LocalNumber(ctrl_), 0);
    EXPECT_EQ(LocalNumber(second), LocalNumber(ctrl_) + 1);
    EXPECT_EQ(LocalSocketFiles().size(), 2u);
    EXPECT_STREQ(ctrl_->dest.sun_path, kDaemonSocket);
    // Non-blocking, and not inherited by the commands the host runs.
    const int fd = wpa_ctrl_get_fd(ctrl_);
    EXPECT_EQ(fd, ctrl_->s);
    EXPECT_NE(fcntl(fd, F_GETFL) & O_NONBLOCK, 0);
    EXPECT_NE(fcntl(fd, F_GETFD) & FD_CLOEXEC, 0);

    wpa_ctrl_close(ctrl_);
    ctrl_ = nullptr;
    EXPECT_EQ(LocalSocketFiles().size(), 1u);
    wpa_ctrl_close(second);
    EXPECT_TRUE(LocalSocketFiles().empty());
    wpa_ctrl_close(nullptr);
}

TEST_F(WpaCtrlOpen, FailsForAPathBeyondTheSocketAddressOrWithoutDaemon) {
    // Failures must not leave behind the local file bound before the check. 108 characters do
    // not fit sun_path with its terminator.
    EXPECT_EQ(wpa_ctrl_open(("/tmp/" + std::string(103, 's')).c_str()), nullptr);
    EXPECT_EQ(wpa_ctrl_open("/tmp/fake_ctrl/none"), nullptr);
    EXPECT_EQ(wpa_ctrl_open(nullptr), nullptr);
    EXPECT_TRUE(LocalSocketFiles().empty());
}

class WpaCtrlMonitor : public CtrlDaemonTest {
protected:
    void SetUp() override {
        CtrlDaemonTest::SetUp();
        if (IsSkipped()) return;
        Serve([this](const std::string& command, FakeCtrlDaemon& d) {
            d.Send(command == "ATTACH" ? attach_reply_.load() : "OK\n");
        });
    }

    // Waits (bounded) for a message; true when one is waiting.
    bool MessageWaiting() {
        const timeval wait = {10, 0};
        return wpa_ctrl_pending_block(ctrl_, &wait) == 1;
    }

    std::atomic<const char*> attach_reply_{"OK\n"};
};

TEST_F(WpaCtrlMonitor, AttachSucceedsOnlyOnExactlyOk) {
    EXPECT_EQ(wpa_ctrl_attach(ctrl_), 0);
    for (const char* reply : {"FAIL\n", "OK", "OK\n\n"}) {
        attach_reply_ = reply;
        EXPECT_EQ(wpa_ctrl_attach(ctrl_), -1) << "reply \"" << reply << "\"";
    }
}

// A message is pending until received; one longer than the buffer is cut to it and its rest
// dropped; with nothing waiting recv returns at once with an error.
TEST_F(WpaCtrlMonitor, MessagesArePendingUntilReceivedAndCutToTheBuffer) {
    ASSERT_EQ(wpa_ctrl_attach(ctrl_), 0);
    EXPECT_EQ(wpa_ctrl_pending(ctrl_), 0);
    EXPECT_EQ(wpa_ctrl_pending_block(ctrl_, nullptr), 0);  // no time given: looks, never waits
    char block[100 + 8];
    size_t len = 100;
    EXPECT_LT(wpa_ctrl_recv(ctrl_, block, &len), 0);
    EXPECT_EQ(len, 100u);

    ASSERT_TRUE(daemon_->Send("<3>AP-STA-CONNECTED aa:bb:cc:dd:ee:ff"));
    ASSERT_TRUE(MessageWaiting());
    EXPECT_EQ(wpa_ctrl_pending(ctrl_), 1);
    EXPECT_EQ(wpa_ctrl_pending_block(ctrl_, nullptr), 1);
    ASSERT_EQ(wpa_ctrl_recv(ctrl_, block, &len), 0);
    EXPECT_EQ(std::string(block, len), "<3>AP-STA-CONNECTED aa:bb:cc:dd:ee:ff");
    EXPECT_EQ(wpa_ctrl_pending(ctrl_), 0);

    ASSERT_TRUE(daemon_->Send("<3>" + std::string(5000, 'm')));
    ASSERT_TRUE(daemon_->Send("<3>NEXT"));
    ASSERT_TRUE(MessageWaiting());
    memset(block, '#', sizeof(block));
    len = 100;
    ASSERT_EQ(wpa_ctrl_recv(ctrl_, block, &len), 0);
    EXPECT_EQ(len, 100u);
    EXPECT_EQ(std::string(block + 100, 8), std::string(8, '#'));
    ASSERT_TRUE(MessageWaiting());
    len = 100;
    ASSERT_EQ(wpa_ctrl_recv(ctrl_, block, &len), 0);
    EXPECT_EQ(std::string(block, len), "<3>NEXT");
}

using WpaCtrlRequest = CtrlDaemonTest;

TEST_F(WpaCtrlRequest, EventsBeforeTheReplyGoToTheCallbackInOrder) {
    Serve([](const std::string&, FakeCtrlDaemon& d) {
        d.Send("<3>CTRL-EVENT-SCAN-STARTED ");
        d.Send("<2>State: DISCONNECTED -> SCANNING");
        d.Send("OK\n");
    });
    int rc;
    EXPECT_EQ(Request(ctrl_, "SCAN", &rc, Capture), "OK\n");
    EXPECT_EQ(rc, 0);
    EXPECT_EQ(g_seen, (std::vector<std::string>{"<3>CTRL-EVENT-SCAN-STARTED ",
                                                "<2>State: DISCONNECTED -> SCANNING"}));
}

// wpa_ctrl_attach passes the request's result on.
TEST_F(WpaCtrlRequest, NoReplyTimesOutWithMinusTwoEvenWhileEventsKeepComing) {
    Serve([](const std::string& command, FakeCtrlDaemon& d) {
        for (int i = 0; command == "SCAN" && !d.WaitForStop(200); ++i)
            d.Send("<3>CTRL-EVENT-BSS-ADDED " + std::to_string(i));
    });
    EXPECT_EQ(wpa_ctrl_attach(ctrl_), -2);
    int rc;
    Request(ctrl_, "SCAN", &rc, Capture);
    EXPECT_EQ(rc, -2);
    EXPECT_FALSE(g_seen.empty());
}

TEST_F(WpaCtrlRequest, LongReplyIsCutToTheBufferAndItsRestIsDropped) {
    Serve([](const std::string& command, FakeCtrlDaemon& d) {
        d.Send(command == "PING" ? "PONG\n" : std::string(60000, 'b'));
    });
    // The buffer sits inside a larger block whose tail must stay untouched.
    std::vector<char> block(4096 + 64, '#');
    size_t len = 4096;
    ASSERT_EQ(wpa_ctrl_request(ctrl_, "SCAN_RESULTS", 12, block.data(), &len, nullptr), 0);
    EXPECT_EQ(std::string(block.data(), len), std::string(4096, 'b'));
    EXPECT_EQ(std::string(block.data() + 4096, 64), std::string(64, '#'));
    // The next reply is the next command's, not the rest of the long one.
    int rc;
    EXPECT_EQ(Request(ctrl_, "PING", &rc), "PONG\n");
}

TEST_F(WpaCtrlRequest, EventIsTerminatedInsideTheBuffer) {
    const std::string event = "<3>CTRL-EVENT-CONNECTED - Connection to aa:bb:cc:dd:ee:ff";
    Serve([event](const std::string&, FakeCtrlDaemon& d) {
        d.Send(event);
        d.Send("OK\n");
    });
    std::vector<char> block(16 + 8, '#');
    size_t len = 16;
    ASSERT_EQ(wpa_ctrl_request(ctrl_, "REASSOCIATE", 11, block.data(), &len, Capture), 0);
    EXPECT_EQ(g_seen, std::vector<std::string>{event.substr(0, 15)});
    EXPECT_EQ(std::string(block.data() + 16, 8), std::string(8, '#'));
    EXPECT_EQ(std::string(block.data(), len), "OK\n");
}

}  // namespace
