#include "tests/agent/wps_env.h"

#include "agent/wps_state.h"

namespace {

constexpr unsigned kWorkerEndMs = 10000;

}  // namespace

void WpsAgentTest::SetUp() {
    AgentTest::SetUp();
    if (IsSkipped()) return;
    wpscli_test_reset();
}

void WpsAgentTest::TearDown() {
    if (agent_ == nullptr) return;
    // Ends an exchange that waits for an abort, then the worker.
    wpscli_test_reset();
    agent_->BcmWPSDisable();
    EXPECT_EQ(wps_workers_alive(), 0);
    AgentTest::TearDown();
    wpscli_test_reset();
}

bool WpsAgentTest::RunSession(const char* pin) {
    size_t reports = WpsMessages().size();
    agent_->BcmWPSStart(pin);
    if (!radio_env::WaitUntil([&] { return WpsMessages().size() > reports; })) return false;
    // A session that reached the library is closed right after its report.
    size_t started = wpscli_test_count("brcm_wpscli_softap_start_wps");
    return started == 0 ||
           wpscli_test_wait_calls("brcm_wpscli_softap_close_session", started, kWorkerEndMs) == 1;
}

void WpsAgentTest::HoldExchangeUntilAbort() {
    const wpscli_test_step steps[] = {{BRCM_WPSCLI_SUCCESS, WPSCLI_TEST_UNTIL_ABORT}};
    ASSERT_EQ(wpscli_test_set_exchange(steps, 1), 0);
}

bool WpsAgentTest::ExchangeStarted() {
    return wpscli_test_wait_calls("brcm_wpscli_softap_process_eapwps", 1, kWorkerEndMs) == 1;
}

std::vector<std::string> WpsAgentTest::CallsFrom(size_t index) {
    std::vector<std::string> calls = radio_env::WpsCalls();
    if (index >= calls.size()) return {};
    return std::vector<std::string>(calls.begin() + static_cast<long>(index), calls.end());
}

std::vector<std::string> WpsAgentTest::WpsMessages() {
    std::vector<std::string> messages;
    for (const recorder::Event& event : recorder::Events())
        if (event.type == HA_WLAN_EVT_WPS) messages.push_back(event.text);
    return messages;
}
