// The client against the system's wpa_supplicant, run without a radio inside the sandbox.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/ctrl/ctrl_test_util.h"
#include "tests/ctrl/event_capture.h"
#include "tests/ctrl/real_supplicant.h"
#include "tests/support/sandbox.h"
#include "wpa_ctrl.h"

namespace {

class RealSupplicantTest : public SandboxTest {
protected:
    void SetUp() override {
        SandboxTest::SetUp();
        if (IsSkipped()) return;
        if (RealSupplicant::Binary().empty()) GTEST_SKIP() << "wpa_supplicant is not installed";
        std::string why;
        ASSERT_TRUE(supplicant_.Start(&why)) << why;
        events::Seen().clear();
    }

    RealSupplicant supplicant_;
};

TEST_F(RealSupplicantTest, AnswersPingAndAcceptsAttachAndDetach) {
    wpa_ctrl* ctrl = wpa_ctrl_open(RealSupplicant::kSocket);
    ASSERT_NE(ctrl, nullptr);
    int rc;
    EXPECT_EQ(Request(ctrl, "PING", &rc), "PONG\n");
    EXPECT_EQ(rc, 0);
    EXPECT_EQ(wpa_ctrl_attach(ctrl), 0);
    EXPECT_EQ(wpa_ctrl_detach(ctrl), 0);
    wpa_ctrl_close(ctrl);
    EXPECT_TRUE(LocalSocketFiles().empty());
}

TEST_F(RealSupplicantTest, DetachWithoutAttachIsRefused) {
    // The supplicant answers "FAIL\n" for a client that is not attached.
    wpa_ctrl* ctrl = wpa_ctrl_open(RealSupplicant::kSocket);
    ASSERT_NE(ctrl, nullptr);
    EXPECT_EQ(wpa_ctrl_detach(ctrl), -1);
    wpa_ctrl_close(ctrl);
}

TEST_F(RealSupplicantTest, EventSentBeforeTheReplyGoesToTheCallback) {
    // Once attached, ADD_NETWORK makes the supplicant send "<3>CTRL-EVENT-NETWORK-ADDED 0"
    // ahead of its reply, the network id.
    wpa_ctrl* ctrl = wpa_ctrl_open(RealSupplicant::kSocket);
    ASSERT_NE(ctrl, nullptr);
    ASSERT_EQ(wpa_ctrl_attach(ctrl), 0);
    int rc;
    EXPECT_EQ(Request(ctrl, "ADD_NETWORK", &rc, events::Capture), "0\n");
    EXPECT_EQ(rc, 0);
    ASSERT_FALSE(events::Seen().empty());
    EXPECT_EQ(events::Seen().front().text, "<3>CTRL-EVENT-NETWORK-ADDED 0");
    EXPECT_EQ(events::Seen().front().len, events::Seen().front().text.size());
    // Without a callback the event is dropped and the reply still comes back.
    EXPECT_EQ(Request(ctrl, "ADD_NETWORK", &rc), "1\n");
    wpa_ctrl_close(ctrl);
}

TEST_F(RealSupplicantTest, MonitorReceivesTheTerminatingEventAndThenRequestsFail) {
    wpa_ctrl* ctrl = wpa_ctrl_open(RealSupplicant::kSocket);
    ASSERT_NE(ctrl, nullptr);
    ASSERT_EQ(wpa_ctrl_attach(ctrl), 0);
    supplicant_.Stop();

    // The supplicant sends its last events before it exits; read them (bounded) until the
    // terminating one.
    std::vector<std::string> received;
    for (int i = 0; i < 20; ++i) {
        const timeval wait = {10, 0};
        if (wpa_ctrl_pending_block(ctrl, &wait) != 1) break;
        char buf[256];
        size_t len = sizeof(buf);
        ASSERT_EQ(wpa_ctrl_recv(ctrl, buf, &len), 0);
        received.emplace_back(buf, len);
        if (received.back().rfind("<3>CTRL-EVENT-TERMINATING", 0) == 0) break;
    }
    ASSERT_FALSE(received.empty());
    EXPECT_EQ(received.back(), "<3>CTRL-EVENT-TERMINATING ");

    // Its socket is gone: the command cannot be sent.
    int rc;
    Request(ctrl, "PING", &rc);
    EXPECT_EQ(rc, -1);
    wpa_ctrl_close(ctrl);
}

TEST_F(RealSupplicantTest, OpeningAMissingSocketFailsAndLeavesNoFile) {
    EXPECT_EQ(wpa_ctrl_open("/var/run/wpa_supplicant/wlan9"), nullptr);
    EXPECT_TRUE(LocalSocketFiles().empty());
}

}  // namespace
