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

class OutgoingCalls : public SandboxTest {
protected:
    void TearDown() override {
        agent_.reset();
        if (host_ctx_ != nullptr) ubus_free(host_ctx_);
    }
    // An agent on its own connection with its loop running: the connection belongs to the loop
    // thread, and a call from a host thread must be made there.
    void StartOwnLoop() {
        agent_ = std::make_unique<HostapdAgent>();
        ASSERT_EQ(agent_->ConnectUbus(), 0);
        UbusAssistant* assistant = agent_->GetUbusAssistant();
        ASSERT_TRUE(bus_test::WaitUntil([assistant] { return assistant->IsLoopRunning(); }));
    }
    ubus_context* UseHostConnection() {
        host_ctx_ = test_bus::Connect();
        agent_ = std::make_unique<HostapdAgent>();
        agent_->SetUbusContext(host_ctx_);
        return host_ctx_;
    }

    std::unique_ptr<HostapdAgent> agent_;
    ubus_context* host_ctx_ = nullptr;
};

const char* const kRestartMessage = "{\"reload_driver\":0}";

}  // namespace

TEST_F(OutgoingCalls, RestartRequestFromAHostThreadIsMadeByTheLoopThread) {
    FakeService qcmap("qcmap", "qcmap_method_restart_wlan");
    ASSERT_TRUE(qcmap.registered());
    StartOwnLoop();
    ubus_restart_wlan();  // as an LTE report that the host passes on from its own thread
    ASSERT_TRUE(qcmap.WaitForCalls(1));
    EXPECT_EQ(qcmap.Calls(), std::vector<std::string>{kRestartMessage});
    EXPECT_EQ(_ubus_ctx, agent_->GetUbusContext());
}

TEST_F(OutgoingCalls, LastRpcFromAHostThreadIsMadeByTheLoopThread) {
    FakeService host("wlan_object", "wlan_last_rpc");
    ASSERT_TRUE(host.registered());
    StartOwnLoop();
    agent_->GetUbusAssistant()->LastRpc();
    ASSERT_TRUE(host.WaitForCalls(1));
    EXPECT_EQ(host.Calls(), std::vector<std::string>{"{}"});
}

// Without the platform's object on the bus the request fails; once it is there the request is
// made at once.
TEST_F(OutgoingCalls, OnAHostConnectionTheRestartRequestIsMadeAtOnce) {
    ubus_context* ctx = UseHostConnection();
    ASSERT_EQ(agent_->ConnectUbus(), 0);
    EXPECT_EQ(ubus_restart_wlan(), -1);
    FakeService qcmap("qcmap", "qcmap_method_restart_wlan");
    EXPECT_EQ(ubus_restart_wlan(), 0);
    EXPECT_EQ(qcmap.Calls(), std::vector<std::string>{kRestartMessage});
    EXPECT_EQ(_ubus_ctx, ctx);
}

TEST_F(OutgoingCalls, LastRpcWithoutALoopIsMadeOnTheCallersThread) {
    FakeService host("wlan_object", "wlan_last_rpc");
    ASSERT_TRUE(host.registered());
    ubus_context* ctx = UseHostConnection();
    UbusAssistant assistant(agent_.get(), ctx);
    assistant.LastRpc();
    EXPECT_EQ(host.Calls().size(), 1u);
}

TEST_F(OutgoingCalls, WithoutAnAssistantNoRestartIsRequested) {
    FakeService qcmap("qcmap", "qcmap_method_restart_wlan");
    EXPECT_EQ(ubus_restart_wlan(), -1);
    EXPECT_TRUE(qcmap.Calls().empty());
}
