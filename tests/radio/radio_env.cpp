#include "tests/radio/radio_env.h"

#include "hostapd_agent.h"
#include "wlan_coex.h"
#include "wpscli_test.h"

namespace radio_env {

void SetStationMode(bool on) {
    if (!sandbox::Exists("/etc/config/wlan"))
        sandbox::WriteFile("/etc/config/wlan", "config basic_setting 'basic_setting'\n");
    std::string value = on ? "1" : "0";
    EXPECT_EQ(
        sandbox::Run("uci set wlan.basic_setting.wisp_status=" + value + " && uci commit wlan"), 0);
    ASSERT_EQ(sandbox::Output("uci get wlan.basic_setting.wisp_status"), value + "\n");
}

std::vector<std::string> WpsCalls() {
    std::vector<std::string> lines;
    wpscli_test_call call;
    for (size_t i = 0; wpscli_test_get_call(i, &call) == 0; ++i) lines.push_back(call.line);
    return lines;
}

}  // namespace radio_env

void RadioAgentTest::Prepare() {
    wpscli_test_reset();
    radio_env::SetStationMode(false);
    agent_ = new HostapdAgent();
    bcm_lte_coex_set_shadow_agent(agent_);
}

void RadioAgentTest::TearDown() {
    if (agent_ == nullptr) return;
    bcm_lte_coex_set_shadow_agent(nullptr);
    delete agent_;  // stops the radio and, when it was enabled, WPS and its worker
    agent_ = nullptr;
    HostapdAgent::StopCountDown();
    wpscli_test_reset();
}
