#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/agent/wps_env.h"
#include "tests/support/bus_events.h"
#include "tests/support/log_capture.h"

namespace {

using Lines = std::vector<std::string>;

const radio_env::Settings kWpsOn = {{"wps_state", "2"}, {"eap_server", "1"}};

// Requests that need the agent's spy: without it StartWPS and CancelWPS refuse.
using WpsRequest = RunningWpsAgentTest;

TEST_F(WpsRequest, RefusedWhileNotRunningOrNotFeaturedAndCancelWithoutASession) {
    for (bool running : {false, true}) {
        if (running) {
            ASSERT_TRUE(StartAgent({{"wps_state", "2"}, {"eap_server", "0"}}));
            EXPECT_FALSE(agent_->IsWPSFeatured());
        }
        EXPECT_EQ(agent_->StartWPS("00000000"), -1);
        EXPECT_EQ(agent_->CancelWPS(), -1);
        EXPECT_FALSE(agent_->IsWPSProcedureOn());
    }
    for (const char* log : {"HostapdAgent::StartWPS: Start WPS failed: agent is not running.",
                            "HostapdAgent::CancelWPS: Agent not running.",
                            "HostapdAgent::StartWPS: Start WPS failed: WPS not featured",
                            "HostapdAgent::CancelWPS: No WPS procedure here."})
        EXPECT_TRUE(logcap::Has(logcap::Errors(), log)) << log;
    EXPECT_EQ(wpscli_test_count("brcm_wpscli_abort"), 0u);
}

TEST_F(WpsRequest, AcceptedStartRefusesASecondAndCancelEndsItAsAFailure) {
    ASSERT_TRUE(StartAgent(kWpsOn));
    ASSERT_TRUE(agent_->IsWPSFeatured());
    HoldExchangeUntilAbort();
    ASSERT_EQ(agent_->StartWPS("12345670"), 0);
    EXPECT_EQ(agent_->GetLastWPSResult(), WPS_RESULT_STARTED);
    EXPECT_TRUE(agent_->IsWPSProcedureOn());
    ASSERT_TRUE(ExchangeStarted());
    EXPECT_EQ(agent_->StartWPS("00000000"), -1);
    EXPECT_TRUE(
        logcap::Has(logcap::Errors(),
                    "HostapdAgent::StartWPS: Start WPS failed: Last WPS is under processing."));
    EXPECT_EQ(agent_->GetLastWPSResult(), WPS_RESULT_STARTED);

    EXPECT_EQ(agent_->CancelWPS(), 0);
    ASSERT_TRUE(radio_env::WaitUntil([] { return !WpsMessages().empty(); }));
    EXPECT_EQ(WpsMessages(), Lines{"WPS-FAIL "});
    EXPECT_EQ(agent_->GetLastWPSResult(), WPS_RESULT_FAILURE);
    EXPECT_FALSE(agent_->IsWPSProcedureOn());
    EXPECT_EQ(wpscli_test_count("brcm_wpscli_abort"), 1u);
    EXPECT_EQ(wpscli_test_wait_calls("brcm_wpscli_softap_close_session", 1, 10000), 1);
    EXPECT_EQ(wpscli_test_count("brcm_wpscli_softap_start_wps"), 1u);
}

TEST_F(WpsRequest, SessionIsBroadcastWhenItStartsAndWhenItEnds) {
    ASSERT_TRUE(StartAgent(kWpsOn));
    ASSERT_EQ(agent_->StartWPS("12345670"), 0);
    ASSERT_TRUE(radio_env::WaitUntil([] { return !WpsMessages().empty(); }));
    EXPECT_EQ(WpsMessages(), Lines{"WPS-SUCCESS "});
    Lines values;
    const std::string prefix = "{\"wps_event\":\"";
    for (const bus_events::Event& event : bus_events::Read())
        if (event.type == "wlan_event" && event.json.compare(0, prefix.size(), prefix) == 0)
            values.push_back(
                event.json.substr(prefix.size(), event.json.size() - prefix.size() - 2));
    EXPECT_EQ(values, (Lines{"wps_start", "wps_success"}));
}

TEST_F(WpsRequest, StoppingTheAgentEndsARunningSessionAsATimeout) {
    ASSERT_TRUE(StartAgent(kWpsOn));
    HoldExchangeUntilAbort();
    ASSERT_EQ(agent_->StartWPS("00000000"), 0);
    ASSERT_TRUE(ExchangeStarted());

    EXPECT_EQ(agent_->StopSpy(), 0);
    EXPECT_EQ(wpscli_test_count("brcm_wpscli_abort"), 1u);
    EXPECT_EQ(agent_->GetLastWPSResult(), WPS_RESULT_TIMEOUT);
    ASSERT_FALSE(WpsMessages().empty());
    EXPECT_EQ(WpsMessages().back(), "WPS-TIMEOUT ");
}

}  // namespace
