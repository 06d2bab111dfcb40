// Connecting the agent to the bus: the service object, the loop thread, the work queue and
// taking them down.
#include <gtest/gtest.h>
#include <libubus.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "hostapd_agent.h"
#include "tests/support/log_capture.h"
#include "tests/ubus/bus_test_support.h"
#include "ubus/shadow_agent.h"
#include "ubus/work_queue.h"
#include "ubus_assistant.h"
#include "ubus_test_hooks.h"
#include "util/shell.h"

using bus_test::LoopThreadExists;

namespace {

size_t OpenFileCount() {
    std::error_code ec;
    auto fds = std::filesystem::directory_iterator("/proc/self/fd", ec);
    return static_cast<size_t>(std::distance(fds, std::filesystem::directory_iterator()));
}

using ConnectUbus = bus_test::AgentTest;

}  // namespace

TEST_F(ConnectUbus, OwnConnectionServesTheTestObjectOnItsLoopThread) {
    ASSERT_EQ(agent_->ConnectUbus(), 0);
    // Only a running loop answers; a dead one would let the call time out.
    EXPECT_EQ(ubus_test_call("wlan_object_test", "wlan_get_switch", nullptr, 10000, nullptr), 0);
    UbusAssistant* first = agent_->GetUbusAssistant();
    EXPECT_EQ(ShadowAgentHold().get(), agent_);
    for (const char* event : {"key_detect_type", "usb_event_type", "oled_event", "system_state"})
        EXPECT_EQ(ubus_test_event_listeners(event), 1) << event;
    // A second loop or connect is refused.
    EXPECT_EQ(first->RunLoop(), -1);
    EXPECT_EQ(agent_->ConnectUbus(), -1);
    EXPECT_TRUE(
        logcap::Has(logcap::Errors(), "HostapdAgent::ConnectUbus: Already connected to ubus."));
    EXPECT_EQ(agent_->GetUbusAssistant(), first);

    // The loop leaves the children of other threads alone.
    EXPECT_FALSE(uloop_handle_sigchld);
    // A loop that reaps every child makes system() report -1 for commands that succeeded.
    for (int i = 0; i < 20; ++i) EXPECT_TRUE(shell_run("true")) << "run " << i;
}

// The host's loop dispatches the methods (followed end to end); disconnecting leaves the
// connection and the object on it to the host.
TEST_F(ConnectUbus, HostConnectionServesTheServiceObjectWithoutALoopAndOnlyOnce) {
    ubus_context* ctx = UseHostConnection();
    ASSERT_EQ(agent_->ConnectUbus(), 0);
    EXPECT_EQ(agent_->GetUbusAssistant()->RunLoop(), 0);
    EXPECT_FALSE(LoopThreadExists());
    UbusAssistant* first = agent_->GetUbusAssistant();
    EXPECT_EQ(agent_->ConnectUbus(), -3);
    EXPECT_TRUE(logcap::Has(logcap::Errors(), "HostapdAgent::ConnectUbus: _ua already there."));
    EXPECT_EQ(agent_->GetUbusAssistant(), first);

    EXPECT_EQ(agent_->DisconnectUbus(), 0);
    EXPECT_EQ(agent_->GetUbusAssistant(), nullptr);
    EXPECT_EQ(agent_->GetUbusContext(), ctx);
    EXPECT_TRUE(ubus_test_object_exists("wlan_object"));
    EXPECT_FALSE(ha_wq_ready());
}

// The restart requests of start failures and firmware errors go through the work queue: without
// one, never created or already taken down, nothing is queued.
TEST_F(ConnectUbus, RestartRequestsWithoutAWorkQueueAreDropped) {
    UbusAssistant never_started(agent_, UseHostConnection());
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

// Each failing step with its result and messages; no loop starts, and the subscriptions made
// before a failing one stay.
TEST_F(ConnectUbus, FailingStepsAreReportedWithTheirOwnResultAndMessages) {
    const struct {
        const char* step;  // or the event whose subscription fails
        int rc;
        const char* error;
        int key_listeners;
    } kCases[] = {
        {"connect", -2, "HostapdAgent::ConnectUbus: Connect to ubus failed.", 0},
        {"object", -5, "UbusAssistant::Init: Add wlan test obj to ubus failed.", 0},
        {"keys", -5, "UbusAssistant::Init: Registry button event handler failed.", 0},
        {"oled_event", -5, "UbusAssistant::Init: Registry oled event handler failed.", 1},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.step);
        // A loop thread of the case before ends after its agent is gone, not with it.
        ASSERT_TRUE(WaitUntil([] { return !LoopThreadExists(); }));
        logcap::Clear();
        ubus_test_clear_failures();
        HostapdAgent agent;
        const std::string step = c.step;
        if (step == "connect")
            ubus_test_fail_connect(1);
        else if (step == "object")
            ubus_test_fail_add_object(1, UBUS_STATUS_UNKNOWN_ERROR);
        else if (step == "keys")
            ubus_test_fail_register_event_handler(1, UBUS_STATUS_UNKNOWN_ERROR);
        else
            ubus_test_fail_register_event_pattern(c.step, UBUS_STATUS_UNKNOWN_ERROR);
        EXPECT_EQ(agent.ConnectUbus(), c.rc);
        EXPECT_TRUE(logcap::Has(logcap::Errors(), c.error));
        EXPECT_EQ(logcap::Has(logcap::Errors(), "HostapdAgent::ConnectUbus: _ua init failed."),
                  c.rc == -5);
        EXPECT_EQ(ubus_test_event_listeners("key_detect_type"), c.key_listeners);
        EXPECT_EQ(agent.GetUbusAssistant() == nullptr, c.rc == -2);
        EXPECT_FALSE(LoopThreadExists());
        // After a failed connect the next start connects.
        if (c.rc == -2) {
            EXPECT_EQ(agent.ConnectUbus(), 0);
        }
    }
}

TEST_F(ConnectUbus, DestroyingTheAgentEndsTheLoopAndRemovesTheObject) {
    StartOwnLoop();
    delete agent_;
    agent_ = nullptr;
    EXPECT_FALSE(ubus_test_object_exists("wlan_object_test"));
    EXPECT_EQ(ubus_test_event_listeners("oled_event"), 0);
    EXPECT_EQ(shadow_ua(), nullptr);

    // Also right after connecting, when the loop may not have started yet; nothing of a
    // connection stays open after it (the device reconnects at every Wi-Fi restart).
    const size_t open_files = OpenFileCount();
    for (int round = 0; round < 5; ++round) {
        HostapdAgent* agent = new HostapdAgent();
        ASSERT_EQ(agent->ConnectUbus(), 0) << "round " << round;
        delete agent;
        EXPECT_FALSE(ubus_test_object_exists("wlan_object_test")) << "round " << round;
    }
    EXPECT_TRUE(WaitUntil([] { return !LoopThreadExists(); }));
    EXPECT_EQ(OpenFileCount(), open_files);
}

// A request that reaches the agent while it is being destroyed: the station list must outlive
// the handler that holds the agent, and a later handler finds no agent.
TEST_F(ConnectUbus, DestructionWaitsForAHandlerThatHoldsTheAgent) {
    ASSERT_EQ(agent_->ConnectUbus(), 0);
    std::atomic<bool> held{false};
    std::atomic<bool> destroyed{false};
    bool destroyed_while_held = true;
    int32_t stations = -1;
    std::thread handler([&] {
        ShadowAgentHold hold;
        held = true;
        // Long enough for an unguarded destructor to finish meanwhile.
        for (int waited = 0; waited < 1000 && !destroyed; ++waited) usleep(1000);
        destroyed_while_held = destroyed;
        if (hold.get() != nullptr) stations = hold.get()->GetStaNum();
    });
    while (!held) usleep(1000);
    delete agent_;
    agent_ = nullptr;
    destroyed = true;
    handler.join();
    EXPECT_FALSE(destroyed_while_held);
    EXPECT_EQ(stations, 0);
    EXPECT_EQ(ShadowAgentHold().get(), nullptr);
}
