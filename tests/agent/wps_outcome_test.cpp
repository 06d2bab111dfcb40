#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "tests/agent/wps_env.h"
#include "tests/support/log_capture.h"

namespace {

using Lines = std::vector<std::string>;

struct Outcome {
    brcm_wpscli_status status;  // what the exchange ends with
    const char* message;        // what the worker reports
    int32_t code;
    const char* name;
};

void PrintTo(const Outcome& outcome, std::ostream* os) {
    *os << "status " << outcome.status << " -> " << outcome.name;
}

class WpsExchangeOutcome : public WpsAgentTest, public ::testing::WithParamInterface<Outcome> {};

TEST_P(WpsExchangeOutcome, IsRecordedLoggedAndReported) {
    const Outcome& outcome = GetParam();
    const wpscli_test_step steps[] = {{BRCM_WPSCLI_CONTINUE, 0}, {outcome.status, 0}};
    ASSERT_EQ(wpscli_test_set_exchange(steps, 2), 0);
    ASSERT_EQ(agent_->BcmWPSEnable(), 0);
    ASSERT_TRUE(RunSession("00000000"));

    EXPECT_EQ(agent_->GetLastWPSResult(), outcome.code);
    EXPECT_FALSE(agent_->IsWPSProcedureOn());
    EXPECT_TRUE(logcap::Has(logcap::User(), std::string("WPS event: ") + outcome.name));
    EXPECT_EQ(WpsMessages(), Lines{outcome.message});
}

INSTANTIATE_TEST_SUITE_P(
    ByStatus, WpsExchangeOutcome,
    ::testing::Values(Outcome{BRCM_WPSCLI_SUCCESS, "WPS-SUCCESS ", 1, "wps_success"},
                      Outcome{BRCM_WPSCLI_TIMEOUT, "WPS-TIMEOUT ", 3, "wps_timeout"},
                      Outcome{BRCM_WPSCLI_PBC_OVERLAP, "WPS-OVERLAP-DETECTED ", 2,
                              "wps_pbc_overlap"},
                      Outcome{BRCM_WPSCLI_ERROR, "WPS-FAIL ", 0, "wps_failure"},
                      Outcome{BRCM_WPSCLI_ABORTED, "WPS-FAIL ", 0, "wps_failure"}),
    [](const ::testing::TestParamInfo<Outcome>& info) {
        return std::string(info.param.name) + "_" + std::to_string(info.param.status);
    });

using WpsMessage = WpsAgentTest;

TEST_F(WpsMessage, OverlapWinsOverTheOtherTextsOfOneMessage) {
    agent_->HandleWPSMsg("WPS-SUCCESS WPS-FAIL WPS-OVERLAP-DETECTED ");
    EXPECT_EQ(agent_->GetLastWPSResult(), WPS_RESULT_PBC_OVERLAP);
    agent_->HandleWPSMsg("WPS-TIMEOUT WPS-SUCCESS WPS-FAIL ");
    EXPECT_EQ(agent_->GetLastWPSResult(), WPS_RESULT_FAILURE);
    agent_->HandleWPSMsg("WPS-TIMEOUT WPS-SUCCESS ");
    EXPECT_EQ(agent_->GetLastWPSResult(), WPS_RESULT_SUCCESS);
}

TEST_F(WpsMessage, HostMessageNeedsAnOutcomeTextWithItsTrailingBlank) {
    EXPECT_EQ(agent_->GetLastWPSResult(), WPS_RESULT_STARTED);  // before any session
    agent_->BcmWPSStart("00000000");
    agent_->HandleWPSMsg("WPS-SUCCESS");
    agent_->HandleWPSMsg("WPS-PIN-NEEDED 11:22:33:44:55:66");
    EXPECT_EQ(agent_->GetLastWPSResult(), WPS_RESULT_STARTED);
    EXPECT_TRUE(agent_->IsWPSProcedureOn());
    EXPECT_TRUE(WpsMessages().empty());
    EXPECT_TRUE(logcap::User().empty());

    agent_->HandleWPSMsg("<3>WPS-SUCCESS ");
    EXPECT_EQ(agent_->GetLastWPSResult(), WPS_RESULT_SUCCESS);
    EXPECT_FALSE(agent_->IsWPSProcedureOn());
    EXPECT_TRUE(logcap::Has(logcap::User(), "WPS event: wps_success"));
    // The callback gets the message itself, not the result name.
    EXPECT_EQ(WpsMessages(), Lines{"<3>WPS-SUCCESS "});

    // A new request reads started again.
    EXPECT_EQ(agent_->BcmWPSStart("00000000"), 0);
    EXPECT_EQ(agent_->GetLastWPSResult(), WPS_RESULT_STARTED);
    EXPECT_TRUE(agent_->IsWPSProcedureOn());
}

}  // namespace
