#ifndef WLAN_TESTS_UBUS_BUS_TEST_SUPPORT_H
#define WLAN_TESTS_UBUS_BUS_TEST_SUPPORT_H

#include <libubus.h>

#include <mutex>
#include <string>
#include <vector>

#include "hostapd_agent.h"
#include "tests/support/sandbox.h"
#include "ubus_test_hooks.h"

namespace bus_test {

// Whether the assistant's loop thread (named "wlan_uloop") is among the process's threads.
bool LoopThreadExists();

// A bus object of another service (the platform's "qcmap", a host's "wlan_object") with one
// method that records every call's message as compact JSON and answers status 0. Its connection
// is served on a thread of its own, as the other process would serve it.
class FakeService {
public:
    FakeService(const char* object_name, const char* method_name);
    ~FakeService();
    FakeService(const FakeService&) = delete;
    FakeService& operator=(const FakeService&) = delete;

    bool registered() const { return registered_; }
    std::vector<std::string> Calls();
    bool WaitForCalls(size_t count);

private:
    struct Registration {
        ubus_object object;
        FakeService* owner;
    };
    static int Handle(ubus_context* ctx, ubus_object* obj, ubus_request_data* req,
                      const char* method, blob_attr* msg);

    std::string object_name_;
    std::string method_name_;
    ubus_method method_ = {};
    ubus_object_type type_ = {};
    Registration registration_ = {};
    ubus_context* ctx_ = nullptr;
    bool registered_ = false;
    std::mutex mutex_;
    std::vector<std::string> calls_;
    ubus_test_server* server_ = nullptr;
};

// Sandbox fixture with an agent that connects on a connection of its own or, after
// UseHostConnection, on one of the test's as a host daemon's; no bus failure is injected.
class AgentTest : public SandboxTest {
protected:
    void Prepare() override;
    void TearDown() override;
    ubus_context* UseHostConnection();
    // Connects the agent on its own connection and waits until its loop runs.
    void StartOwnLoop();

    HostapdAgent* agent_ = nullptr;
    ubus_context* host_ctx_ = nullptr;
};

}  // namespace bus_test

#endif
