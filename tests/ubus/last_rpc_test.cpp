// The goodbye call of a host to the service object "wlan_object".
#include <gtest/gtest.h>

#include "hostapd_agent.h"
#include "tests/support/sandbox.h"
#include "tests/ubus/bus_test_support.h"
#include "ubus_assistant.h"

using bus_test::FakeService;

namespace {

class LastRpc : public SandboxTest {};

}  // namespace

TEST_F(LastRpc, CallFromAHostThreadIsMadeByTheLoopThread) {
    FakeService service("wlan_object", "wlan_last_rpc");
    ASSERT_TRUE(service.registered());
    HostapdAgent agent;
    ASSERT_EQ(agent.ConnectUbus(), 0);
    UbusAssistant* assistant = agent.GetUbusAssistant();
    ASSERT_TRUE(bus_test::WaitUntil([assistant] { return assistant->IsLoopRunning(); }));
    // The own connection belongs to its loop thread; using it here would break it.
    assistant->LastRpc();
    ASSERT_TRUE(service.WaitForCalls(1));
    EXPECT_EQ(service.Calls()[0], "{}");
}

TEST_F(LastRpc, CallWithoutALoopIsMadeOnTheCallersThread) {
    FakeService service("wlan_object", "wlan_last_rpc");
    ASSERT_TRUE(service.registered());
    ubus_context* host_ctx = ubus_connect(nullptr);
    {
        HostapdAgent agent;
        agent.SetUbusContext(host_ctx);
        UbusAssistant assistant(&agent, host_ctx);
        assistant.LastRpc();
        EXPECT_EQ(service.Calls().size(), 1u);
    }
    ubus_free(host_ctx);
}
