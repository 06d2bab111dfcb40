// What every method handler does through MethodCall: the shadow checks with their messages, the
// reply on the caller's request, and the status without a reply.
#include "ubus/method_call.h"

#include <gtest/gtest.h>
#include <libubus.h>
#include <stdlib.h>

#include <map>
#include <string>
#include <vector>

#include "host/sandbox/bus_connect.h"
#include "hostapd_agent.h"
#include "tests/support/log_capture.h"
#include "tests/support/sandbox.h"
#include "ubus/shadow_agent.h"
#include "ubus_assistant.h"
#include "ubus_test_hooks.h"

namespace {

constexpr const char* kObject = "method_call_probe";
constexpr const char* kHandler = "ubus_wlan_probe";

// One method per check, named after it, and "none", which makes no check. Every method that
// passes its check replies with a string and an array holding a negative int32, and returns
// what sending gave.
int Probe(ubus_context*, ubus_object*, ubus_request_data* req, const char* method, blob_attr*) {
    const std::map<std::string, ShadowCheck> checks = {
        {"agent_and_ua", ShadowCheck::kAgentAndUa},
        {"ua_traced", ShadowCheck::kUaTraced},
        {"ua_logged", ShadowCheck::kUaLogged},
        {"ua_then_agent", ShadowCheck::kUaThenAgent}};
    MethodCall call(kHandler, req);
    auto check = checks.find(method);
    if (check != checks.end() && !call.Check(check->second)) return -1;
    call.AddString("text", call.agent() != nullptr ? "agent" : "no agent");
    void* list = call.OpenArray("list");
    call.AddInt32(nullptr, -5);
    call.Close(list);
    return call.Send();
}

ubus_method methods[] = {
    UBUS_METHOD_NOARG("agent_and_ua", Probe), UBUS_METHOD_NOARG("ua_traced", Probe),
    UBUS_METHOD_NOARG("ua_logged", Probe), UBUS_METHOD_NOARG("ua_then_agent", Probe),
    UBUS_METHOD_NOARG("none", Probe)};
ubus_object_type object_type = UBUS_OBJECT_TYPE(kObject, methods);

constexpr const char* kFullReply = R"({"text":"agent","list":[-5]})";
constexpr const char* kReplyWithoutAgent = R"({"text":"no agent","list":[-5]})";

class MethodCallTest : public SandboxTest {
protected:
    void Prepare() override {
        object_.name = kObject;
        object_.type = &object_type;
        object_.methods = methods;
        object_.n_methods = object_type.n_methods;
        ctx_ = test_bus::Connect();
        ASSERT_NE(ctx_, nullptr);
        ASSERT_EQ(ubus_add_object(ctx_, &object_), 0);
        agent_ = new HostapdAgent();
        ua_ = new UbusAssistant(agent_, ctx_);
        server_ = ubus_test_serve(ctx_);
    }
    void TearDown() override {
        clear_shadow_pointers();
        ubus_test_stop_serving(server_);
        delete ua_;
        delete agent_;
        if (ctx_ != nullptr) ubus_free(ctx_);
    }

    // The status, and the reply after a blank if there is one.
    std::string Call(const char* method) {
        char* reply = nullptr;
        std::string answer =
            std::to_string(ubus_test_call(kObject, method, nullptr, 10000, &reply));
        if (reply != nullptr) answer += std::string(" ") + reply;
        free(reply);
        return answer;
    }

    ubus_object object_ = {};
    ubus_context* ctx_ = nullptr;
    HostapdAgent* agent_ = nullptr;
    UbusAssistant* ua_ = nullptr;
    ubus_test_server* server_ = nullptr;
};

}  // namespace

// Which message a check writes for what is missing, and that the handler then answers -1
// without a reply; a check that passes leaves no message and the reply reaches the caller.
TEST_F(MethodCallTest, EachCheckAnswersWhatIsMissingWithItsOwnMessage) {
    const std::string full = std::string("0 ") + kFullReply;
    const std::string without_agent = std::string("0 ") + kReplyWithoutAgent;
    const struct {
        bool agent, ua;
        const char* method;
        std::string answer;
        std::vector<std::string> errors, level5;
    } cases[] = {
        {true, true, "agent_and_ua", full, {}, {}},
        {true, true, "ua_then_agent", full, {}, {}},
        {false, true, "agent_and_ua", "-1", {"ubus_wlan_probe: shadow agent NULL."}, {}},
        {true, false, "agent_and_ua", "-1", {"ubus_wlan_probe: shadow ua NULL."}, {}},
        {false, false, "ua_traced", "-1", {}, {}},
        {false, true, "ua_traced", without_agent, {}, {}},
        {false, false, "ua_logged", "-1", {}, {"_shadow_ua == NULL"}},
        {false, true, "ua_logged", without_agent, {}, {}},
        {true, false, "ua_then_agent", "-1", {}, {"_shadow_ua == NULL"}},
        {false, true, "ua_then_agent", "-1", {}, {"shadow agent is null\n"}},
        // Without a check, a reply without an assistant is not sent and Send reports it.
        {true, false, "none", "-1", {}, {}},
        {false, true, "none", without_agent, {}, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.method) + (c.agent ? " agent" : " no agent") +
                     (c.ua ? " ua" : " no ua"));
        set_shadow_pointers(c.agent ? agent_ : nullptr, c.ua ? ua_ : nullptr);
        logcap::Clear();
        EXPECT_EQ(Call(c.method), c.answer);
        EXPECT_EQ(logcap::Errors(), c.errors);
        EXPECT_EQ(logcap::Level5(), c.level5);
    }
}
