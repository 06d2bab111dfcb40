// AP start failures and firmware errors make the host restart Wi-Fi, from the work queue.
#include <gtest/gtest.h>
#include <libubus.h>

#include "hostapd_agent.h"
#include "tests/support/log_capture.h"
#include "tests/support/sandbox.h"
#include "tests/ubus/bus_test_support.h"
#include "ubus_assistant.h"

using bus_test::WaitUntil;
namespace countdown = bus_test::countdown;

namespace {

class ApFailureRestart : public SandboxTest {
protected:
    void SetUp() override {
        SandboxTest::SetUp();
        if (IsSkipped()) return;
        countdown::Install();
        host_ctx_ = ubus_connect(nullptr);
        agent_ = new HostapdAgent();
        agent_->SetUbusContext(host_ctx_);
    }
    void TearDown() override {
        delete agent_;
        if (host_ctx_ != nullptr) ubus_free(host_ctx_);
        countdown::Uninstall();
    }

    static bool RestartRequested() {
        for (const countdown::Event& event : countdown::Events())
            if (event.type == HA_WLAN_EVT_WLAN_OFF && event.value == 3) return true;
        return false;
    }

    HostapdAgent* agent_ = nullptr;
    ubus_context* host_ctx_ = nullptr;
};

}  // namespace

TEST_F(ApFailureRestart, StartFailureAsksTheHostForARestart) {
    ASSERT_EQ(agent_->ConnectUbus(), 0);
    agent_->GetUbusAssistant()->OnApStartFailure();
    EXPECT_TRUE(logcap::Has(logcap::Errors(),
                            "UbusAssistant::OnApStartFailure: Put restart work to queue."));
    ASSERT_TRUE(WaitUntil(RestartRequested));
    EXPECT_EQ(countdown::Events().size(), 1u);
    EXPECT_TRUE(logcap::Has(logcap::User(), "AP start failure, resume by restarting..."));
}

TEST_F(ApFailureRestart, FirmwareErrorReportedByTheHostAsksForARestart) {
    ASSERT_EQ(agent_->ConnectUbus(), 0);
    agent_->HandleMsg("AP-FW-ERROR", 0);
    EXPECT_TRUE(
        logcap::Has(logcap::Errors(), "UbusAssistant::OnApFWError: Put restart work to queue."));
    ASSERT_TRUE(WaitUntil(RestartRequested));
    EXPECT_EQ(countdown::Events().size(), 1u);
    EXPECT_TRUE(logcap::Has(logcap::User(), "AP fw error, resume by restarting..."));
}

TEST_F(ApFailureRestart, WithoutAWorkQueueNothingIsQueued) {
    UbusAssistant assistant(agent_, host_ctx_);
    assistant.OnApStartFailure();
    assistant.OnApFWError();
    EXPECT_TRUE(
        logcap::Has(logcap::Errors(), "UbusAssistant::OnApStartFailure: HA work queue is NULL"));
    EXPECT_TRUE(logcap::Has(logcap::Errors(), "UbusAssistant::OnApFWError: HA work queue is NULL"));
    EXPECT_FALSE(logcap::Contains("Put restart work to queue."));
}

TEST_F(ApFailureRestart, AssistantTakenDownHasNoQueueAnyMore) {
    UbusAssistant assistant(agent_, host_ctx_);
    ASSERT_EQ(assistant.Init(), 0);
    assistant.Deinit();
    assistant.OnApStartFailure();
    EXPECT_TRUE(
        logcap::Has(logcap::Errors(), "UbusAssistant::OnApStartFailure: HA work queue is NULL"));
    EXPECT_FALSE(logcap::Contains("Put restart work to queue."));
}
