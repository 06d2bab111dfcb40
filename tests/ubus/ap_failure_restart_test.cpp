// Firmware errors make the host restart Wi-Fi, from the work queue (start failures do the same
// and are followed end to end).
#include <gtest/gtest.h>
#include <libubus.h>

#include <algorithm>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "hostapd_agent.h"
#include "host/sandbox/bus_connect.h"
#include "tests/support/log_capture.h"
#include "tests/support/sandbox.h"
#include "tests/ubus/bus_test_support.h"
#include "ubus_assistant.h"

namespace {

// What reaches the count-down callback: (type, payload).
using CountDown = std::pair<ha_wlan_event_type, intptr_t>;
std::mutex g_mutex;
std::vector<CountDown> g_countdown;

void RecordCountDown(ha_wlan_event_type type, void* data) {
    std::lock_guard<std::mutex> lock(g_mutex);
    g_countdown.emplace_back(type, reinterpret_cast<intptr_t>(data));
}

std::vector<CountDown> CountDowns() {
    std::lock_guard<std::mutex> lock(g_mutex);
    return g_countdown;
}

class ApFailureRestart : public bus_test::AgentTest {
protected:
    void SetUp() override {
        AgentTest::SetUp();
        if (IsSkipped()) return;
        {
            std::lock_guard<std::mutex> lock(g_mutex);
            g_countdown.clear();
        }
        HostapdAgent::DeinitEventCb();
        HostapdAgent::InitEventCb();
        HostapdAgent::RegCountDownCb(RecordCountDown);
        UseHostConnection();
    }
    void TearDown() override {
        AgentTest::TearDown();
        HostapdAgent::DeinitEventCb();
    }
};

}  // namespace

TEST_F(ApFailureRestart, FirmwareErrorAsksTheHostForARestart) {
    ASSERT_EQ(agent_->ConnectUbus(), 0);
    agent_->HandleMsg("AP-FW-ERROR", 0);  // as the host reports it
    ASSERT_TRUE(bus_test::WaitUntil([] { return CountDowns().size() == 1; }));
    EXPECT_EQ(CountDowns(), (std::vector<CountDown>{{HA_WLAN_EVT_WLAN_OFF, 3}}));
    EXPECT_TRUE(logcap::Has(logcap::User(), "AP fw error, resume by restarting..."));
}

// Without a work queue, never created or already taken down, nothing is queued.
TEST_F(ApFailureRestart, WithoutAWorkQueueNothingIsQueued) {
    UbusAssistant never_started(agent_, host_ctx_);
    UbusAssistant taken_down(agent_, host_ctx_);
    ASSERT_EQ(taken_down.Init(), 0);
    taken_down.Deinit();
    for (UbusAssistant* assistant : {&never_started, &taken_down}) {
        assistant->OnApStartFailure();
        assistant->OnApFWError();
    }
    std::vector<std::string> errors = logcap::Errors();
    for (const char* name : {"OnApStartFailure", "OnApFWError"}) {
        std::string text = std::string("UbusAssistant::") + name + ": HA work queue is NULL";
        EXPECT_EQ(std::count(errors.begin(), errors.end(), text), 2) << name;
    }
    EXPECT_FALSE(logcap::Contains("Put restart work to queue."));
}
