// A monitor handle: attach, messages that arrive on their own, recv and pending.
#include <gtest/gtest.h>
#include <string.h>

#include <atomic>
#include <string>

#include "tests/ctrl/ctrl_test_util.h"

namespace {

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
    for (const char* reply : {"FAIL\n", "OK", "OK\n\n", "OK\nX", "ok\n", ""}) {
        attach_reply_ = reply;
        EXPECT_EQ(wpa_ctrl_attach(ctrl_), -1) << "reply \"" << reply << "\"";
    }
    EXPECT_EQ(daemon_->Commands().back(), "ATTACH");
}

TEST_F(WpaCtrlMonitor, UnsolicitedMessageIsPendingUntilReceived) {
    ASSERT_EQ(wpa_ctrl_attach(ctrl_), 0);
    EXPECT_EQ(wpa_ctrl_pending(ctrl_), 0);
    EXPECT_EQ(wpa_ctrl_pending_block(ctrl_, nullptr), 0);  // no time given: looks, never waits
    ASSERT_TRUE(daemon_->Send("<3>AP-STA-CONNECTED aa:bb:cc:dd:ee:ff"));
    ASSERT_TRUE(MessageWaiting());
    EXPECT_EQ(wpa_ctrl_pending(ctrl_), 1);
    EXPECT_EQ(wpa_ctrl_pending_block(ctrl_, nullptr), 1);

    char buf[128];
    size_t len = sizeof(buf);
    ASSERT_EQ(wpa_ctrl_recv(ctrl_, buf, &len), 0);
    EXPECT_EQ(std::string(buf, len), "<3>AP-STA-CONNECTED aa:bb:cc:dd:ee:ff");
    EXPECT_EQ(wpa_ctrl_pending(ctrl_), 0);
}

TEST_F(WpaCtrlMonitor, LongMessageIsCutToTheBufferAndItsRestDropped) {
    ASSERT_EQ(wpa_ctrl_attach(ctrl_), 0);
    ASSERT_TRUE(daemon_->Send("<3>" + std::string(5000, 'm')));
    ASSERT_TRUE(daemon_->Send("<3>NEXT"));
    ASSERT_TRUE(MessageWaiting());
    char block[100 + 8];
    memset(block, '#', sizeof(block));
    size_t len = 100;
    ASSERT_EQ(wpa_ctrl_recv(ctrl_, block, &len), 0);
    EXPECT_EQ(len, 100u);
    EXPECT_EQ(std::string(block + 100, 8), std::string(8, '#'));

    ASSERT_TRUE(MessageWaiting());
    len = 100;
    ASSERT_EQ(wpa_ctrl_recv(ctrl_, block, &len), 0);
    EXPECT_EQ(std::string(block, len), "<3>NEXT");
}

TEST_F(WpaCtrlMonitor, RecvWithNothingWaitingReturnsAtOnceWithAnError) {
    char buf[16];
    size_t len = sizeof(buf);
    EXPECT_LT(wpa_ctrl_recv(ctrl_, buf, &len), 0);
    EXPECT_EQ(len, sizeof(buf));
}

}  // namespace
