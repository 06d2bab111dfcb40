// The client against the system's wpa_supplicant, run without a radio inside the sandbox.
#include <gtest/gtest.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "tests/ctrl/ctrl_test_util.h"

namespace {

constexpr const char* kSocket = "/var/run/wpa_supplicant/lo";

bool IsSocket(const char* path) {
    struct stat st;
    return stat(path, &st) == 0 && S_ISSOCK(st.st_mode);
}

// The system's wpa_supplicant, run inside the sandbox without a radio: driver "none" on the
// loopback interface, control sockets under /var/run/wpa_supplicant, no configuration file.
// With -B it goes to the background once its control socket is ready.
class RealSupplicantTest : public SandboxTest {
protected:
    void SetUp() override {
        SandboxTest::SetUp();
        if (IsSkipped()) return;
        if (sandbox::Run("command -v wpa_supplicant >/dev/null") != 0)
            GTEST_SKIP() << "wpa_supplicant is not installed";
        ASSERT_EQ(sandbox::Run("wpa_supplicant -B -P /tmp/wpa.pid -D none -i lo "
                               "-C /var/run/wpa_supplicant >/tmp/wpa.log 2>&1"),
                  0)
            << sandbox::ReadFile("/tmp/wpa.log");
        ASSERT_TRUE(IsSocket(kSocket)) << sandbox::ReadFile("/tmp/wpa.log");
        events::Seen().clear();
        ctrl_ = wpa_ctrl_open(kSocket);
        ASSERT_NE(ctrl_, nullptr);
    }

    void TearDown() override {
        wpa_ctrl_close(ctrl_);
        StopSupplicant();
    }

    // Ends it with SIGTERM and waits (bounded) until it has removed its control socket.
    void StopSupplicant() {
        const pid_t pid = atoi(sandbox::ReadFile("/tmp/wpa.pid").c_str());
        if (pid <= 0 || kill(pid, SIGTERM) != 0) return;
        unlink("/tmp/wpa.pid");
        for (int i = 0; i < 200 && IsSocket(kSocket); ++i) usleep(50 * 1000);
        EXPECT_FALSE(IsSocket(kSocket));
    }

    wpa_ctrl* ctrl_ = nullptr;
};

TEST_F(RealSupplicantTest, AnswersRequestsAndPassesEventsBeforeTheReplyToTheCallback) {
    int rc;
    EXPECT_EQ(Request(ctrl_, "PING", &rc), "PONG\n");
    EXPECT_EQ(rc, 0);
    EXPECT_EQ(wpa_ctrl_detach(ctrl_), -1);  // "FAIL\n" for a client that is not attached
    ASSERT_EQ(wpa_ctrl_attach(ctrl_), 0);
    // Once attached, ADD_NETWORK makes the supplicant send "<3>CTRL-EVENT-NETWORK-ADDED 0"
    // ahead of its reply, the network id.
    EXPECT_EQ(Request(ctrl_, "ADD_NETWORK", &rc, events::Capture), "0\n");
    EXPECT_EQ(rc, 0);
    ASSERT_FALSE(events::Seen().empty());
    EXPECT_EQ(events::Seen().front(), "<3>CTRL-EVENT-NETWORK-ADDED 0");
    // Without a callback the event is dropped and the reply still comes back.
    EXPECT_EQ(Request(ctrl_, "ADD_NETWORK", &rc), "1\n");
    EXPECT_EQ(wpa_ctrl_detach(ctrl_), 0);
    wpa_ctrl_close(ctrl_);
    ctrl_ = nullptr;
    EXPECT_TRUE(LocalSocketFiles().empty());
}

TEST_F(RealSupplicantTest, MonitorReceivesTheTerminatingEventAndThenRequestsFail) {
    ASSERT_EQ(wpa_ctrl_attach(ctrl_), 0);
    StopSupplicant();

    // The supplicant sends its last events before it exits; read them (bounded) until the
    // terminating one.
    std::vector<std::string> received;
    for (int i = 0; i < 20; ++i) {
        const timeval wait = {10, 0};
        if (wpa_ctrl_pending_block(ctrl_, &wait) != 1) break;
        char buf[256];
        size_t len = sizeof(buf);
        ASSERT_EQ(wpa_ctrl_recv(ctrl_, buf, &len), 0);
        received.emplace_back(buf, len);
        if (received.back().rfind("<3>CTRL-EVENT-TERMINATING", 0) == 0) break;
    }
    ASSERT_FALSE(received.empty());
    EXPECT_EQ(received.back(), "<3>CTRL-EVENT-TERMINATING ");

    // Its socket is gone: the command cannot be sent.
    int rc;
    Request(ctrl_, "PING", &rc);
    EXPECT_EQ(rc, -1);
}

}  // namespace
