// A monitor handle: attach, messages that arrive on their own, recv and pending.
#include <gtest/gtest.h>
#include <string.h>

#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "tests/ctrl/fake_ctrl_daemon.h"
#include "tests/support/sandbox.h"
#include "wpa_ctrl.h"

namespace {

constexpr const char* kDaemonSocket = "/tmp/fake_ctrl/wlan0";

class WpaCtrlMonitor : public SandboxTest {
protected:
    void SetUp() override {
        SandboxTest::SetUp();
        if (IsSkipped()) return;
        daemon_ = std::make_unique<FakeCtrlDaemon>(
            kDaemonSocket, [this](const std::string& command, FakeCtrlDaemon& d) {
                d.Send(command == "ATTACH" ? AttachReply() : "OK\n");
            });
        ASSERT_TRUE(daemon_->Started());
        ctrl_ = wpa_ctrl_open(kDaemonSocket);
        ASSERT_NE(ctrl_, nullptr);
    }

    void TearDown() override {
        wpa_ctrl_close(ctrl_);
        daemon_.reset();
    }

    // Waits (bounded) for a message; true when one is waiting.
    bool MessageWaiting() {
        const timeval wait = {10, 0};
        return wpa_ctrl_pending_block(ctrl_, &wait) == 1;
    }

    void SetAttachReply(const std::string& reply) {
        std::lock_guard<std::mutex> lock(mutex_);
        attach_reply_ = reply;
    }
    std::string AttachReply() {
        std::lock_guard<std::mutex> lock(mutex_);
        return attach_reply_;
    }

    std::mutex mutex_;
    std::string attach_reply_ = "OK\n";
    std::unique_ptr<FakeCtrlDaemon> daemon_;
    wpa_ctrl* ctrl_ = nullptr;
};

TEST_F(WpaCtrlMonitor, AttachSucceedsOnlyOnExactlyOk) {
    EXPECT_EQ(wpa_ctrl_attach(ctrl_), 0);
    for (const char* reply : {"FAIL\n", "OK", "OK\n\n", "OK\nX", "ok\n", ""}) {
        SetAttachReply(reply);
        EXPECT_EQ(wpa_ctrl_attach(ctrl_), -1) << "reply \"" << reply << "\"";
    }
    EXPECT_EQ(daemon_->Commands().back(), "ATTACH");
}

TEST_F(WpaCtrlMonitor, UnsolicitedMessageIsPendingUntilReceived) {
    ASSERT_EQ(wpa_ctrl_attach(ctrl_), 0);
    EXPECT_EQ(wpa_ctrl_pending(ctrl_), 0);
    ASSERT_TRUE(daemon_->Send("<3>AP-STA-CONNECTED aa:bb:cc:dd:ee:ff"));
    ASSERT_TRUE(MessageWaiting());
    EXPECT_EQ(wpa_ctrl_pending(ctrl_), 1);

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

TEST_F(WpaCtrlMonitor, PendingBlockWithoutTimeLooksWithoutWaiting) {
    ASSERT_EQ(wpa_ctrl_attach(ctrl_), 0);
    EXPECT_EQ(wpa_ctrl_pending_block(ctrl_, nullptr), 0);
    ASSERT_TRUE(daemon_->Send("<3>X"));
    ASSERT_TRUE(MessageWaiting());
    EXPECT_EQ(wpa_ctrl_pending_block(ctrl_, nullptr), 1);
}

}  // namespace
