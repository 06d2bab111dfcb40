// The Wi-Fi restart request to the platform's "qcmap" object.
#include <gtest/gtest.h>
#include <libubus.h>

#include "hostapd_agent.h"
#include "tests/support/sandbox.h"
#include "tests/ubus/bus_test_support.h"
#include "ubus_assistant.h"

using bus_test::FakeService;

namespace {

class WlanRestart : public SandboxTest {};

}  // namespace

TEST_F(WlanRestart, RequestFromAHostThreadIsMadeByTheLoopThread) {
    FakeService qcmap("qcmap", "qcmap_method_restart_wlan");
    ASSERT_TRUE(qcmap.registered());
    HostapdAgent agent;
    ASSERT_EQ(agent.ConnectUbus(), 0);
    UbusAssistant* assistant = agent.GetUbusAssistant();
    ASSERT_TRUE(bus_test::WaitUntil([assistant] { return assistant->IsLoopRunning(); }));
    // As an LTE report that the host passes on from its own thread would.
    ubus_restart_wlan();
    ASSERT_TRUE(qcmap.WaitForCalls(1));
    EXPECT_EQ(qcmap.Calls()[0], "{\"reload_driver\":0}");
    EXPECT_EQ(_ubus_ctx, agent.GetUbusContext());
}

TEST_F(WlanRestart, OnAHostConnectionTheRequestIsMadeAtOnce) {
    FakeService qcmap("qcmap", "qcmap_method_restart_wlan");
    ubus_context* host_ctx = ubus_connect(nullptr);
    {
        HostapdAgent agent;
        agent.SetUbusContext(host_ctx);
        ASSERT_EQ(agent.ConnectUbus(), 0);
        EXPECT_EQ(ubus_restart_wlan(), 0);
        EXPECT_EQ(qcmap.Calls().size(), 1u);
        EXPECT_EQ(_ubus_ctx, host_ctx);
    }
    ubus_free(host_ctx);
}

TEST_F(WlanRestart, WithoutAnAssistantNothingIsRequested) {
    FakeService qcmap("qcmap", "qcmap_method_restart_wlan");
    EXPECT_NE(ubus_restart_wlan(), 0);
    EXPECT_TRUE(qcmap.Calls().empty());
}
