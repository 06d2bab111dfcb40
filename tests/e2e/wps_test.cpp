// WPS sessions on the running AP, played by the WPS library stand-in: the outcome reaches the
// agent's result code, the bus broadcasts and the host's callbacks.
#include "tests/e2e/e2e_env.h"
#include "wpscli_test.h"

using namespace e2e;
using test_host::HostEvent;

namespace {

constexpr const char* kPushButton = "00000000";
constexpr const char* kValidPin = "12345670";  // 3 * (1+3+5+7) + (2+4+6+0) = 60

// The library's exchange ends with exchange_end (ABORTED: it runs until StopSpy aborts it);
// afterwards GetLastWPSResult gives the code, "wps_event" broadcasts the broadcast and
// HA_WLAN_EVT_WPS carries the message, the only outcome reported.
struct WpsCase {
    const char *name, *pin;
    brcm_wpscli_status exchange_end;
    int32_t code;
    const char *broadcast, *message;
};

const WpsCase kCases[] = {
    {"PushButtonSuccess", kPushButton, BRCM_WPSCLI_SUCCESS, 1, "wps_success", "WPS-SUCCESS "},
    {"PushButtonOverlap", kPushButton, BRCM_WPSCLI_PBC_OVERLAP, 2, "wps_pbc_overlap",
     "WPS-OVERLAP-DETECTED "},
    {"PinFailure", kValidPin, BRCM_WPSCLI_ERROR, 0, "wps_failure", "WPS-FAIL "},
    // The checksum does not hold: the session fails without reaching the library.
    {"InvalidPin", "12345678", BRCM_WPSCLI_SUCCESS, 0, "wps_failure", "WPS-FAIL "},
    // The aborted exchange must not report a failure over the timeout.
    {"StopDuringSession", kPushButton, BRCM_WPSCLI_ABORTED, 3, "wps_timeout", "WPS-TIMEOUT "},
};

std::vector<std::string> WpsTexts(const std::vector<HostEvent>& events) {
    std::vector<std::string> texts;
    for (const HostEvent& e : events) {
        if (e.type != HA_WLAN_EVT_WPS) continue;
        texts.push_back(e.text);
        EXPECT_EQ(e.receiver, test_host::Receiver::kRegistered);
    }
    return texts;
}

class WpsOutcome : public E2eTest, public ::testing::WithParamInterface<WpsCase> {};

}  // namespace

TEST_P(WpsOutcome, IsReportedToTheAgentTheBusAndTheHost) {
    const WpsCase& c = GetParam();
    const bool stopped = c.exchange_end == BRCM_WPSCLI_ABORTED;
    const wpscli_test_step steps[] = {
        {BRCM_WPSCLI_CONTINUE, stopped ? WPSCLI_TEST_UNTIL_ABORT : 20u}, {c.exchange_end, 0}};
    ASSERT_EQ(wpscli_test_set_exchange(steps, 2), 0);
    WriteApConfig(kWps);
    StartAp();
    HostapdAgent& agent = host_->agent();
    ASSERT_TRUE(agent.IsWPSFeatured());
    ASSERT_EQ(agent.StartWPS(c.pin), 0);
    if (stopped) {
        ASSERT_EQ(wpscli_test_wait_calls("brcm_wpscli_softap_process_eapwps", 1, kEventWaitMs), 1);
        EXPECT_EQ(host_->StopSpy(), 0);
        EXPECT_GE(wpscli_test_count("brcm_wpscli_abort"), 1u);
    }
    // After StopSpy the timeout has been reported already.
    ASSERT_GE(host_->WaitForEvent(HA_WLAN_EVT_WPS, stopped ? 0 : kEventWaitMs), 0);

    // The library's arguments for each mode are pinned by the agent's tests.
    const bool invalid = std::string(c.name) == "InvalidPin";
    EXPECT_EQ(wpscli_test_count("brcm_wpscli_softap_start_wps"), invalid ? 0u : 1u);
    // The worker closes the session after it has reported the outcome (or dropped a late one).
    if (!invalid) {
        EXPECT_EQ(wpscli_test_wait_calls("brcm_wpscli_softap_close_session", 1, kEventWaitMs), 1);
    }
    EXPECT_EQ(agent.GetLastWPSResult(), c.code);
    EXPECT_FALSE(agent.IsWPSProcedureOn());
    EXPECT_EQ(Broadcasts("wps_event"), (std::vector<std::string>{"wps_start", c.broadcast}));
    EXPECT_EQ(WpsTexts(host_->Events()), std::vector<std::string>{c.message});
}

INSTANTIATE_TEST_SUITE_P(E2e, WpsOutcome, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });
