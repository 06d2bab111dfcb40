// WPS sessions on the running AP, played by the WPS library stand-in: the outcome reaches the
// agent's result code, the bus broadcasts and the host's callbacks.
#include <string>
#include <vector>

#include "tests/e2e/e2e_env.h"
#include "wpscli_test.h"

using e2e::Broadcasts;
using e2e::kEventWaitMs;
using test_host::HostEvent;
using test_host::Receiver;

namespace {

constexpr const char* kPushButton = "00000000";
constexpr const char* kValidPin = "12345670";  // 3 * (1+3+5+7) + (2+4+6+0) = 60

struct WpsCase {
    const char* name;
    const char* pin;
    brcm_wpscli_status exchange_end;  // what the library's exchange ends with
    int32_t code;                     // GetLastWPSResult afterwards
    const char* broadcast;            // "wps_event" value
    const char* message;              // HA_WLAN_EVT_WPS payload
};

void PrintTo(const WpsCase& c, std::ostream* os) { *os << c.name; }

const WpsCase kCases[] = {
    {"PushButtonSuccess", kPushButton, BRCM_WPSCLI_SUCCESS, 1, "wps_success", "WPS-SUCCESS "},
    {"PushButtonOverlap", kPushButton, BRCM_WPSCLI_PBC_OVERLAP, 2, "wps_pbc_overlap",
     "WPS-OVERLAP-DETECTED "},
    {"PushButtonTimeout", kPushButton, BRCM_WPSCLI_TIMEOUT, 3, "wps_timeout", "WPS-TIMEOUT "},
    {"PushButtonFailure", kPushButton, BRCM_WPSCLI_ERROR, 0, "wps_failure", "WPS-FAIL "},
    {"PinSuccess", kValidPin, BRCM_WPSCLI_SUCCESS, 1, "wps_success", "WPS-SUCCESS "},
    {"PinFailure", kValidPin, BRCM_WPSCLI_ERROR, 0, "wps_failure", "WPS-FAIL "},
};

// The recorded calls of one library function.
std::vector<wpscli_test_call> CallsOf(const std::string& name) {
    std::vector<wpscli_test_call> calls;
    wpscli_test_call call;
    for (size_t i = 0; wpscli_test_get_call(i, &call) == 0; ++i)
        if (name == call.name) calls.push_back(call);
    return calls;
}

std::vector<HostEvent> WpsEvents(const std::vector<HostEvent>& events) {
    std::vector<HostEvent> wps;
    for (const HostEvent& e : events)
        if (e.type == HA_WLAN_EVT_WPS) wps.push_back(e);
    return wps;
}

}  // namespace

class WpsSession : public E2eTest {
protected:
    void SetUp() override {
        E2eTest::SetUp();
        if (IsSkipped()) return;
        e2e::WriteApConfig({{"wps_state", "2"}, {"eap_server", "1"}});
    }

    // Plays an exchange that goes on for a moment and then ends with the given status.
    static void ScriptExchange(brcm_wpscli_status end) {
        const wpscli_test_step steps[] = {{BRCM_WPSCLI_CONTINUE, 20}, {end, 0}};
        ASSERT_EQ(wpscli_test_set_exchange(steps, 2), 0);
    }
};

class WpsOutcome : public WpsSession, public ::testing::WithParamInterface<WpsCase> {};

TEST_P(WpsOutcome, IsReportedToTheAgentTheBusAndTheHost) {
    const WpsCase& c = GetParam();
    ScriptExchange(c.exchange_end);
    StartAp();
    HostapdAgent& agent = host_->agent();
    ASSERT_TRUE(agent.IsWPSFeatured());

    size_t mark = host_->EventCount();
    ASSERT_EQ(agent.StartWPS(c.pin), 0);
    ASSERT_GE(host_->WaitForEvent(HA_WLAN_EVT_WPS, kEventWaitMs, mark), 0);

    EXPECT_EQ(agent.GetLastWPSResult(), c.code);
    EXPECT_FALSE(agent.IsWPSProcedureOn());
    EXPECT_EQ(Broadcasts("wps_event"), (std::vector<std::string>{"wps_start", c.broadcast}));
    std::vector<HostEvent> wps = WpsEvents(host_->Events());
    ASSERT_EQ(wps.size(), 1u);
    EXPECT_EQ(wps[0].text, c.message);
    EXPECT_EQ(wps[0].receiver, Receiver::kRegistered);

    std::vector<wpscli_test_call> starts = CallsOf("brcm_wpscli_softap_start_wps");
    ASSERT_EQ(starts.size(), 1u);
    bool push_button = std::string(c.pin) == kPushButton;
    EXPECT_STREQ(starts[0].args[1], push_button ? "0" : "1");
    EXPECT_EQ(std::string(starts[0].args[2]),
              push_button ? std::string("NULL") : "\"" + std::string(c.pin) + "\"");
    EXPECT_STREQ(starts[0].args[4], "120");
    // The worker closes the session after it has reported the outcome.
    EXPECT_EQ(wpscli_test_wait_calls("brcm_wpscli_softap_close_session", 1, kEventWaitMs), 1);
}

INSTANTIATE_TEST_SUITE_P(E2e, WpsOutcome, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<WpsCase>& info) {
                             return std::string(info.param.name);
                         });

TEST_F(WpsSession, InvalidPinFailsWithoutASession) {
    StartAp();
    size_t mark = host_->EventCount();
    ASSERT_EQ(host_->agent().StartWPS("12345678"), 0);  // checksum does not hold
    long at = host_->WaitForEvent(HA_WLAN_EVT_WPS, kEventWaitMs, mark);
    ASSERT_GE(at, 0);
    EXPECT_EQ(host_->Events()[static_cast<size_t>(at)].text, "WPS-FAIL ");
    EXPECT_EQ(host_->agent().GetLastWPSResult(), 0);
    EXPECT_EQ(Broadcasts("wps_event"), (std::vector<std::string>{"wps_start", "wps_failure"}));
    EXPECT_TRUE(CallsOf("brcm_wpscli_softap_start_wps").empty());
}

TEST_F(WpsSession, StopDuringASessionReportsATimeout) {
    const wpscli_test_step steps[] = {{BRCM_WPSCLI_CONTINUE, WPSCLI_TEST_UNTIL_ABORT}};
    ASSERT_EQ(wpscli_test_set_exchange(steps, 1), 0);
    StartAp();
    HostapdAgent& agent = host_->agent();
    size_t mark = host_->EventCount();
    ASSERT_EQ(agent.StartWPS(kPushButton), 0);
    ASSERT_EQ(wpscli_test_wait_calls("brcm_wpscli_softap_process_eapwps", 1, kEventWaitMs), 1);

    EXPECT_EQ(host_->StopSpy(), 0);

    EXPECT_EQ(agent.GetLastWPSResult(), 3);
    EXPECT_FALSE(agent.IsWPSProcedureOn());
    // One outcome only: the aborted exchange must not report a failure over the timeout.
    std::vector<HostEvent> wps = WpsEvents(host_->Events());
    ASSERT_EQ(wps.size(), 1u);
    EXPECT_EQ(wps[0].text, "WPS-TIMEOUT ");
    EXPECT_GE(host_->WaitForEvent(HA_WLAN_EVT_WPS, 0, mark), static_cast<long>(mark));
    EXPECT_EQ(Broadcasts("wps_event"), (std::vector<std::string>{"wps_start", "wps_timeout"}));
    EXPECT_GE(wpscli_test_count("brcm_wpscli_abort"), 1u);
}
