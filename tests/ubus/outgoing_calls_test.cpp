// Calls to other services' objects: the Wi-Fi restart request to the platform's "qcmap" and the
// goodbye call to a host's "wlan_object".
#include <gtest/gtest.h>
#include <libubus.h>

#include <memory>
#include <string>
#include <vector>

#include "hostapd_agent.h"
#include "tests/support/bus_connect.h"
#include "tests/support/sandbox.h"
#include "tests/ubus/bus_test_support.h"
#include "ubus_assistant.h"

using bus_test::FakeService;

namespace {

using OutgoingCalls = bus_test::AgentTest;

const char* const kRestartMessage = "{\"reload_driver\":0}";

}  // namespace

// On an own connection the loop thread makes the calls that host threads ask for (an LTE
// report that the host passes on, its goodbye).
TEST_F(OutgoingCalls, CallsFromAHostThreadAreMadeByTheLoopThread) {
    FakeService qcmap("qcmap", "qcmap_method_restart_wlan");
    FakeService host("wlan_object", "wlan_last_rpc");
    ASSERT_TRUE(qcmap.registered() && host.registered());
    StartOwnLoop();
    EXPECT_EQ(ubus_restart_wlan(), 0);
    agent_->GetUbusAssistant()->LastRpc();
    ASSERT_TRUE(qcmap.WaitForCalls(1));
    ASSERT_TRUE(host.WaitForCalls(1));
    EXPECT_EQ(qcmap.Calls(), std::vector<std::string>{kRestartMessage});
    EXPECT_EQ(host.Calls(), std::vector<std::string>{"{}"});
    EXPECT_EQ(_ubus_ctx, agent_->GetUbusContext());
}

// Without a loop the calls are made at once on the caller's thread. Without the platform's
// object on the bus the restart request fails, and without an assistant none is made.
TEST_F(OutgoingCalls, OnAHostConnectionTheCallsAreMadeAtOnce) {
    FakeService host("wlan_object", "wlan_last_rpc");
    ASSERT_TRUE(host.registered());
    FakeService qcmap_early("qcmap", "qcmap_method_restart_wlan");
    EXPECT_EQ(ubus_restart_wlan(), -1);
    EXPECT_TRUE(qcmap_early.Calls().empty());
    ubus_context* ctx = UseHostConnection();
    UbusAssistant assistant(agent_, ctx);
    assistant.LastRpc();
    EXPECT_EQ(host.Calls().size(), 1u);
}

TEST_F(OutgoingCalls, RestartRequestNeedsThePlatformsObject) {
    ubus_context* ctx = UseHostConnection();
    ASSERT_EQ(agent_->ConnectUbus(), 0);
    EXPECT_EQ(ubus_restart_wlan(), -1);
    FakeService qcmap("qcmap", "qcmap_method_restart_wlan");
    EXPECT_EQ(ubus_restart_wlan(), 0);
    EXPECT_EQ(qcmap.Calls(), std::vector<std::string>{kRestartMessage});
    EXPECT_EQ(_ubus_ctx, ctx);
}
