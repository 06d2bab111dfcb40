#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "agent/wps_state.h"
#include "tests/agent/wps_env.h"
#include "tests/support/log_capture.h"

namespace {

using Lines = std::vector<std::string>;

const std::string kOpen = "brcm_wpscli_open(\"eth0\", \"br0\", 0, 0, 0)";
const std::string kDevInfo = "wpscli_softap_construct_def_devinfo()";
const std::string kClose = "brcm_wpscli_close()";

// A failing library call fails the operation, closes what was opened and starts no worker.
class WpsEnable : public WpsAgentTest {
protected:
    void ExpectFailure(const char* call, int status, bool enable, const char* log,
                       const Lines& calls) {
        SCOPED_TRACE(log);
        wpscli_test_reset();
        ASSERT_EQ(wpscli_test_queue_status(call, status), 0);
        EXPECT_EQ(enable ? agent_->BcmWPSEnable() : agent_->BcmWPSDisable(), -1);
        EXPECT_TRUE(logcap::Has(logcap::Errors(), log));
        EXPECT_EQ(radio_env::WpsCalls(), calls);
        EXPECT_EQ(wps_workers_alive(), 0);
    }
};

TEST_F(WpsEnable, FailingEnableClosesTheLibrary) {
    ExpectFailure("brcm_wpscli_open", BRCM_WPSCLI_ERROR, true,
                  "Enable WPS failed: brcm_wpscli_open failed. System error!", {kOpen});
    ExpectFailure("wpscli_softap_construct_def_devinfo", 7, true,
                  "Enable WPS failed: Failed to construct device informations. status=7",
                  {kOpen, kDevInfo, kClose});
    ExpectFailure(
        "brcm_wpscli_softap_enable_wps", 9, true,
        "Enable WPS failed: Failed to enable softap wps. status=9",
        {kOpen, kDevInfo, "brcm_wpscli_softap_enable_wps(\"Broadcom\", 644, 0, 0)", kClose});
}

TEST_F(WpsEnable, FailingDisableStillClosesTheLibrary) {
    ExpectFailure("brcm_wpscli_open", BRCM_WPSCLI_ERROR, false,
                  "Disable WPS failed: brcm_wpscli_open failed. System error!", {kOpen});
    ExpectFailure("brcm_wpscli_softap_disable_wps", 5, false,
                  "Disable WPS failed: Failed to disable softap wps. status=5",
                  {kOpen, "brcm_wpscli_softap_disable_wps()", kClose});
}

TEST_F(WpsEnable, FailedAbortIsReported) {
    ASSERT_EQ(wpscli_test_queue_status("brcm_wpscli_abort", BRCM_WPSCLI_ERROR), 0);
    EXPECT_EQ(agent_->BcmWPSStop(), -1);
    EXPECT_TRUE(logcap::Has(logcap::Errors(), "BCMWPSStop: wps procedure abort failed."));
    EXPECT_EQ(agent_->BcmWPSStop(), 0);
}

}  // namespace
