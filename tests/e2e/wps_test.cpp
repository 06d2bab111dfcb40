// WPS sessions on the running AP, played by the WPS library stand-in: the outcome reaches the
// agent's result code, the bus broadcasts and the host's callbacks.
#include "tests/e2e/e2e_env.h"
#include "wpscli_test.h"

using namespace e2e;
using test_host::HostEvent;

namespace {

constexpr const char* kPushButton = "00000000";
constexpr const char* kValidPin = "12345670";  // 3 * (1+3+5+7) + (2+4+6+0) = 60

// The library's exchange ends with exchange_end; afterwards GetLastWPSResult gives the code,
// "wps_event" broadcasts the broadcast and HA_WLAN_EVT_WPS carries the message.
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

class WpsSession : public E2eTest {
protected:
    // Starts the AP with WPS and the library's exchange scripted as the steps.
    void StartWithExchange(std::vector<wpscli_test_step> steps) {
        WriteApConfig(kWps);
        ASSERT_EQ(wpscli_test_set_exchange(steps.data(), steps.size()), 0);
        StartAp();
        ASSERT_TRUE(host_->agent().IsWPSFeatured());
    }
};

class WpsOutcome : public WpsSession, public ::testing::WithParamInterface<WpsCase> {};

}  // namespace

TEST_P(WpsOutcome, IsReportedToTheAgentTheBusAndTheHost) {
    const WpsCase& c = GetParam();
    StartWithExchange({{BRCM_WPSCLI_CONTINUE, 20}, {c.exchange_end, 0}});
    HostapdAgent& agent = host_->agent();
    ASSERT_EQ(agent.StartWPS(c.pin), 0);
    ASSERT_GE(host_->WaitForEvent(HA_WLAN_EVT_WPS, kEventWaitMs), 0);

    EXPECT_EQ(agent.GetLastWPSResult(), c.code);
    EXPECT_FALSE(agent.IsWPSProcedureOn());
    EXPECT_EQ(Broadcasts("wps_event"), (std::vector<std::string>{"wps_start", c.broadcast}));
    EXPECT_EQ(WpsTexts(host_->Events()), std::vector<std::string>{c.message});

    // The library's arguments for each mode are pinned by the agent's tests.
    const bool invalid = std::string(c.name) == "InvalidPin";
    ASSERT_EQ(wpscli_test_count("brcm_wpscli_softap_start_wps"), invalid ? 0u : 1u);
    if (invalid) return;
    // The worker closes the session after it has reported the outcome.
    EXPECT_EQ(wpscli_test_wait_calls("brcm_wpscli_softap_close_session", 1, kEventWaitMs), 1);
}

INSTANTIATE_TEST_SUITE_P(E2e, WpsOutcome, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(WpsSession, StopDuringASessionReportsATimeout) {
    StartWithExchange({{BRCM_WPSCLI_CONTINUE, WPSCLI_TEST_UNTIL_ABORT}});
    HostapdAgent& agent = host_->agent();
    ASSERT_EQ(agent.StartWPS(kPushButton), 0);
    ASSERT_EQ(wpscli_test_wait_calls("brcm_wpscli_softap_process_eapwps", 1, kEventWaitMs), 1);
    EXPECT_EQ(host_->StopSpy(), 0);

    EXPECT_EQ(agent.GetLastWPSResult(), 3);
    EXPECT_FALSE(agent.IsWPSProcedureOn());
    // One outcome only, raised before StopSpy returned: the aborted exchange must not report a
    // failure over the timeout.
    EXPECT_EQ(WpsTexts(host_->Events()), std::vector<std::string>{"WPS-TIMEOUT "});
    EXPECT_EQ(Broadcasts("wps_event"), (std::vector<std::string>{"wps_start", "wps_timeout"}));
    EXPECT_GE(wpscli_test_count("brcm_wpscli_abort"), 1u);
}
