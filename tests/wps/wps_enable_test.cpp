#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "agent/wps_state.h"
#include "tests/support/log_capture.h"
#include "tests/wps/wps_env.h"

namespace {

using Lines = std::vector<std::string>;
using WpsEnable = WpsAgentTest;

TEST_F(WpsEnable, LibraryThatCannotOpenLeavesWpsOff) {
    ASSERT_EQ(wpscli_test_queue_status("brcm_wpscli_open", BRCM_WPSCLI_ERROR), 0);
    EXPECT_EQ(agent_->BcmWPSEnable(), -1);
    EXPECT_TRUE(
        logcap::Has(logcap::Errors(), "Enable WPS failed: brcm_wpscli_open failed. System error!"));
    EXPECT_EQ(radio_env::WpsCalls().size(), 1u);
    EXPECT_EQ(wps_workers_alive.load(), 0);
}

TEST_F(WpsEnable, DeviceInformationFailureClosesTheLibrary) {
    ASSERT_EQ(wpscli_test_queue_status("wpscli_softap_construct_def_devinfo", 7), 0);
    EXPECT_EQ(agent_->BcmWPSEnable(), -1);
    EXPECT_TRUE(logcap::Has(
        logcap::Errors(), "Enable WPS failed: Failed to construct device informations. status=7"));
    EXPECT_EQ(radio_env::WpsCalls(),
              (Lines{"brcm_wpscli_open(\"eth0\", \"br0\", 0, 0, 0)",
                     "wpscli_softap_construct_def_devinfo()", "brcm_wpscli_close()"}));
    EXPECT_EQ(wps_workers_alive.load(), 0);
}

TEST_F(WpsEnable, SoftApEnableFailureClosesTheLibraryAndStartsNoWorker) {
    ASSERT_EQ(wpscli_test_queue_status("brcm_wpscli_softap_enable_wps", 9), 0);
    EXPECT_EQ(agent_->BcmWPSEnable(), -1);
    EXPECT_TRUE(
        logcap::Has(logcap::Errors(), "Enable WPS failed: Failed to enable softap wps. status=9"));
    EXPECT_EQ(radio_env::WpsCalls().back(), "brcm_wpscli_close()");
    EXPECT_EQ(wps_workers_alive.load(), 0);
}

TEST_F(WpsEnable, DisableThatCannotOpenTheLibraryFails) {
    ASSERT_EQ(wpscli_test_queue_status("brcm_wpscli_open", BRCM_WPSCLI_ERROR), 0);
    EXPECT_EQ(agent_->BcmWPSDisable(), -1);
    EXPECT_TRUE(logcap::Has(logcap::Errors(),
                            "Disable WPS failed: brcm_wpscli_open failed. System error!"));
    EXPECT_EQ(radio_env::WpsCalls().size(), 1u);
}

TEST_F(WpsEnable, FailedSoftApDisableStillClosesTheLibrary) {
    ASSERT_EQ(wpscli_test_queue_status("brcm_wpscli_softap_disable_wps", 5), 0);
    EXPECT_EQ(agent_->BcmWPSDisable(), -1);
    EXPECT_TRUE(logcap::Has(logcap::Errors(),
                            "Disable WPS failed: Failed to disable softap wps. status=5"));
    EXPECT_EQ(radio_env::WpsCalls().back(), "brcm_wpscli_close()");
}

TEST_F(WpsEnable, FailedAbortIsReported) {
    ASSERT_EQ(wpscli_test_queue_status("brcm_wpscli_abort", BRCM_WPSCLI_ERROR), 0);
    EXPECT_EQ(agent_->BcmWPSStop(), -1);
    EXPECT_TRUE(logcap::Has(logcap::Errors(), "BCMWPSStop: wps procedure abort failed."));
    EXPECT_EQ(agent_->BcmWPSStop(), 0);
}

}  // namespace
