// The control-interface client against a daemon socket of our own, whose events and replies the
// test sends itself.
#include "wpa_ctrl.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <string.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/sandbox.h"

namespace {

constexpr const char* kDaemonSocket = "/tmp/wlan0_ctrl";

// How many client socket files of this process there are under /tmp ("wpa_ctrl_<pid>-<n>").
std::string LocalSocketFiles() {
    return sandbox::Output("ls /tmp | grep -c '^wpa_ctrl_" + std::to_string(getpid()) + "-'");
}

// The texts a request's message callback was given (up to their terminator); each length it
// was given must match its text.
std::vector<std::string> g_seen;

void Capture(char* msg, size_t len) {
    g_seen.emplace_back(msg);
    EXPECT_EQ(len, g_seen.back().size()) << "length given with \"" << g_seen.back() << "\"";
}

// A daemon socket bound at kDaemonSocket and a handle ctrl_ opened to it. The daemon answers
// nothing by itself: what the test sends waits in the handle's queue in order, as events and
// replies of a real daemon would.
class WpaCtrl : public SandboxTest {
protected:
    void Prepare() override {
        g_seen.clear();
        sockaddr_un addr = {};
        addr.sun_family = AF_UNIX;
        strcpy(addr.sun_path, kDaemonSocket);
        daemon_ = socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0);
        ASSERT_EQ(bind(daemon_, reinterpret_cast<sockaddr*>(&addr), sizeof(addr)), 0);
        ASSERT_NE(ctrl_ = wpa_ctrl_open(kDaemonSocket), nullptr);
    }
    void TearDown() override {
        wpa_ctrl_close(ctrl_);
        if (daemon_ >= 0) close(daemon_);
    }

    // Sends one datagram from the daemon to the handle.
    bool Send(const std::string& text) {
        return sendto(daemon_, text.data(), text.size(), 0,
                      reinterpret_cast<const sockaddr*>(&ctrl_->local),
                      sizeof(ctrl_->local)) == static_cast<ssize_t>(text.size());
    }
    // The next command the daemon received; "" when none is waiting.
    std::string Received() {
        char buf[256];
        const ssize_t got = recv(daemon_, buf, sizeof(buf), MSG_DONTWAIT);
        return std::string(buf, got > 0 ? static_cast<size_t>(got) : 0);
    }
    // Receives a message, or makes a request, with room for `room` bytes inside a larger block
    // whose tail must stay untouched; the text received, or "rc <result>" on failure.
    std::string Recv(size_t room) {
        return Call(room, [&](char* buf, size_t* len) { return wpa_ctrl_recv(ctrl_, buf, len); });
    }
    std::string Request(const std::string& command, size_t room = 4096,
                        void (*msg_cb)(char*, size_t) = nullptr) {
        return Call(room, [&](char* buf, size_t* len) {
            return wpa_ctrl_request(ctrl_, command.data(), command.size(), buf, len, msg_cb);
        });
    }

    int daemon_ = -1;
    wpa_ctrl* ctrl_ = nullptr;

private:
    template <typename F>
    std::string Call(size_t room, F call) {
        std::vector<char> block(room + 8, '#');
        size_t len = room;
        const int rc = call(block.data(), &len);
        EXPECT_EQ(std::string(block.data() + room, 8), std::string(8, '#')) << "written past";
        return rc == 0 ? std::string(block.data(), len) : "rc " + std::to_string(rc);
    }
};

// Failures leave behind no local file, although it is bound before the checks (108 characters
// do not fit sun_path with its terminator).
TEST_F(WpaCtrl, EachHandleBindsItsOwnLocalFileThatCloseAndFailedOpensRemove) {
    wpa_ctrl* second = wpa_ctrl_open(kDaemonSocket);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(wpa_ctrl_open(("/tmp/" + std::string(103, 's')).c_str()), nullptr);
    EXPECT_EQ(wpa_ctrl_open("/tmp/none_ctrl"), nullptr);
    EXPECT_EQ(wpa_ctrl_open(nullptr), nullptr);
    EXPECT_EQ(LocalSocketFiles(), "2\n");
    // Non-blocking, and not inherited by the commands the host runs.
    const int fd = wpa_ctrl_get_fd(ctrl_);
    EXPECT_EQ(fd, ctrl_->s);
    EXPECT_NE(fcntl(fd, F_GETFL) & O_NONBLOCK, 0);
    EXPECT_NE(fcntl(fd, F_GETFD) & FD_CLOEXEC, 0);
    wpa_ctrl_close(second);
    EXPECT_EQ(LocalSocketFiles(), "1\n");
    wpa_ctrl_close(nullptr);
}

TEST_F(WpaCtrl, AttachSucceedsOnlyOnExactlyOk) {
    for (const char* reply : {"OK\n", "FAIL\n", "OK", "OK\n\n"}) {
        ASSERT_TRUE(Send(reply));
        EXPECT_EQ(wpa_ctrl_attach(ctrl_), reply == std::string("OK\n") ? 0 : -1) << reply;
        EXPECT_EQ(Received(), "ATTACH");
    }
    ASSERT_TRUE(Send("OK\n"));
    EXPECT_EQ(wpa_ctrl_detach(ctrl_), 0);
    EXPECT_EQ(Received(), "DETACH");
}

// A message is pending until received; one longer than the buffer is cut to it and its rest
// dropped. With nothing waiting, pending looks without waiting and recv fails at once.
TEST_F(WpaCtrl, MessagesArePendingUntilReceivedAndCutToTheBuffer) {
    EXPECT_EQ(wpa_ctrl_pending(ctrl_), 0);
    EXPECT_EQ(Recv(100), "rc -1");
    for (const std::string& text : {std::string("<3>AP-STA-CONNECTED aa:bb:cc:dd:ee:ff"),
                                    "<3>" + std::string(5000, 'm'), std::string("<3>NEXT")})
        ASSERT_TRUE(Send(text));
    EXPECT_EQ(wpa_ctrl_pending(ctrl_), 1);
    EXPECT_EQ(Recv(100), "<3>AP-STA-CONNECTED aa:bb:cc:dd:ee:ff");
    EXPECT_EQ(Recv(100), "<3>" + std::string(97, 'm'));
    EXPECT_EQ(Recv(100), "<3>NEXT");
    EXPECT_EQ(wpa_ctrl_pending(ctrl_), 0);
}

// Events before the reply go to the callback in order, each terminated inside the buffer (one
// that fills it gives its last byte to the terminator). A reply longer than the buffer is cut
// to it and its rest dropped: the next reply is the next command's.
TEST_F(WpaCtrl, EventsGoToTheCallbackInOrderAndAllIsCutToTheBuffer) {
    const std::string event = "<3>CTRL-EVENT-CONNECTED - Connection to aa:bb:cc:dd:ee:ff";
    for (const std::string& text :
         {event, std::string("<2>State: SCAN"), std::string(60000, 'b'), std::string("PONG\n")})
        ASSERT_TRUE(Send(text));
    EXPECT_EQ(Request("SCAN_RESULTS", 16, Capture), std::string(16, 'b'));
    EXPECT_EQ(g_seen, (std::vector<std::string>{event.substr(0, 15), "<2>State: SCAN"}));
    EXPECT_EQ(Request("PING"), "PONG\n");
    EXPECT_EQ(Received(), "SCAN_RESULTS");
    EXPECT_EQ(Received(), "PING");
}

// Events that keep coming do not extend the 10 seconds a reply may take; wpa_ctrl_attach passes
// the request's result on. A monitor given time to wait sees an event that comes meanwhile.
TEST_F(WpaCtrl, NoReplyTimesOutWithMinusTwoEvenWhileEventsKeepComing) {
    std::atomic<bool> stop{false};
    std::thread events([&] {
        for (int i = 0; !stop; ++i) {
            usleep(200 * 1000);
            Send("<3>CTRL-EVENT-BSS-ADDED " + std::to_string(i));
        }
    });
    const timeval wait = {10, 0};
    EXPECT_EQ(wpa_ctrl_pending_block(ctrl_, &wait), 1);
    EXPECT_EQ(wpa_ctrl_attach(ctrl_), -2);
    EXPECT_EQ(Request("SCAN", 4096, Capture), "rc -2");
    stop = true;
    events.join();
    EXPECT_FALSE(g_seen.empty());
}

}  // namespace
