// Requests against a daemon of our own that misbehaves on cue: events before the reply, no
// reply, endless events, replies longer than the buffer, a full queue, a signal meanwhile.
#include <errno.h>
#include <gtest/gtest.h>
#include <pthread.h>
#include <signal.h>
#include <string.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "tests/ctrl/ctrl_test_util.h"

namespace {

using WpaCtrlRequest = CtrlDaemonTest;

TEST_F(WpaCtrlRequest, EventsBeforeTheReplyGoToTheCallbackInOrder) {
    Serve([](const std::string&, FakeCtrlDaemon& d) {
        d.Send("<3>CTRL-EVENT-SCAN-STARTED ");
        d.Send("<2>State: DISCONNECTED -> SCANNING");
        d.Send("OK\n");
    });
    int rc;
    EXPECT_EQ(Request(ctrl_, "SCAN", &rc, events::Capture), "OK\n");
    EXPECT_EQ(rc, 0);
    EXPECT_EQ(events::Seen(), (std::vector<std::string>{"<3>CTRL-EVENT-SCAN-STARTED ",
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
    Request(ctrl_, "SCAN", &rc, events::Capture);
    EXPECT_EQ(rc, -2);
    EXPECT_FALSE(events::Seen().empty());
}

TEST_F(WpaCtrlRequest, LongReplyIsCutToTheBufferAndItsRestIsDropped) {
    Serve([](const std::string& command, FakeCtrlDaemon& d) {
        d.Send(command == "PING" ? "PONG\n" : std::string(60000, 'b'));
    });
    // The buffer sits inside a larger block whose tail must stay untouched.
    std::vector<char> block(4096 + 64, '#');
    size_t len = 4096;
    ASSERT_EQ(wpa_ctrl_request(ctrl_, "SCAN_RESULTS", 12, block.data(), &len, nullptr), 0);
    EXPECT_EQ(len, 4096u);
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
    ASSERT_EQ(wpa_ctrl_request(ctrl_, "REASSOCIATE", 11, block.data(), &len, events::Capture), 0);
    ASSERT_EQ(events::Seen().size(), 1u);
    EXPECT_EQ(events::Seen()[0], event.substr(0, 15));
    EXPECT_EQ(std::string(block.data() + 16, 8), std::string(8, '#'));
    EXPECT_EQ(std::string(block.data(), len), "OK\n");

    // One byte less than the buffer: the whole event arrives, terminated.
    events::Seen().clear();
    len = event.size() + 1;
    block.assign(len, '#');
    ASSERT_EQ(wpa_ctrl_request(ctrl_, "REASSOCIATE", 11, block.data(), &len, events::Capture), 0);
    ASSERT_EQ(events::Seen().size(), 1u);
    EXPECT_EQ(events::Seen()[0], event);
}

void IgnoreSignal(int) {}

TEST_F(WpaCtrlRequest, SignalWhileWaitingDoesNotEndTheRequest) {
    // A host with a periodic timer gets signals at any time; the wait must go on.
    struct sigaction action = {}, previous;
    action.sa_handler = IgnoreSignal;  // no SA_RESTART: the wait sees EINTR
    sigaction(SIGUSR1, &action, &previous);
    const pthread_t requester = pthread_self();
    Serve([requester](const std::string&, FakeCtrlDaemon& d) {
        pthread_kill(requester, SIGUSR1);
        d.WaitForStop(200);  // let the signal land while the client waits
        d.Send("PONG\n");
    });
    int rc;
    EXPECT_EQ(Request(ctrl_, "PING", &rc), "PONG\n");
    EXPECT_EQ(rc, 0);
    sigaction(SIGUSR1, &previous, nullptr);
}

TEST_F(WpaCtrlRequest, DaemonThatNeverReadsMakesTheSendGiveUp) {
    // A bound socket nobody reads: once its queue is full, sends are refused with EAGAIN and
    // the request must give up rather than retry for ever.
    int deaf = socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    sockaddr_un addr = {};
    addr.sun_family = AF_UNIX;
    strcpy(addr.sun_path, "/tmp/deaf_ctrl");
    ASSERT_EQ(bind(deaf, reinterpret_cast<sockaddr*>(&addr), sizeof(addr)), 0);
    ctrl_ = wpa_ctrl_open(addr.sun_path);
    ASSERT_NE(ctrl_, nullptr);
    for (int i = 0; i < 100000 && send(ctrl_->s, "X", 1, 0) == 1; ++i) {
    }
    ASSERT_EQ(errno, EAGAIN);

    int rc;
    Request(ctrl_, "PING", &rc);
    EXPECT_EQ(rc, -1);
    close(deaf);
}

TEST_F(WpaCtrlRequest, WorksOnADescriptorBeyondTheSelectLimit) {
    // Hosts with many open files get high descriptor numbers; the waits must not be bound to
    // the 1024 descriptors of select's fd_set.
    rlimit lim;
    ASSERT_EQ(getrlimit(RLIMIT_NOFILE, &lim), 0);
    if (lim.rlim_cur <= 1500) GTEST_SKIP() << "descriptor limit too low";
    Serve([](const std::string& command, FakeCtrlDaemon& d) {
        if (command == "ATTACH") {
            d.Send("OK\n");
            d.Send("<3>CTRL-EVENT-SCAN-RESULTS ");
        } else {
            d.Send("<3>WPS-AP-AVAILABLE ");
            d.Send("PONG\n");
        }
    });
    ASSERT_EQ(dup2(ctrl_->s, 1500), 1500);
    close(ctrl_->s);
    ctrl_->s = 1500;
    int rc;
    EXPECT_EQ(Request(ctrl_, "PING", &rc, events::Capture), "PONG\n");
    EXPECT_EQ(events::Seen(), std::vector<std::string>{"<3>WPS-AP-AVAILABLE "});
    ASSERT_EQ(wpa_ctrl_attach(ctrl_), 0);
    const timeval wait = {10, 0};
    EXPECT_EQ(wpa_ctrl_pending_block(ctrl_, &wait), 1);
}

}  // namespace
