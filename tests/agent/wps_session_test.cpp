#include <gtest/gtest.h>
#include <string.h>

#include <string>
#include <vector>

#include "agent/wps_state.h"
#include "tests/agent/wps_env.h"
#include "tests/support/log_capture.h"
#include "util/text.h"

namespace {

using Lines = std::vector<std::string>;
using WpsSession = WpsAgentTest;

TEST_F(WpsSession, EnableStartsTheWorkerAndDisableEndsItBeforeItReturns) {
    const std::string open = "brcm_wpscli_open(\"eth0\", \"br0\", 0, 0, 0)";
    ASSERT_EQ(agent_->BcmWPSEnable(), 0);
    EXPECT_EQ(radio_env::WpsCalls(),
              (Lines{open, "wpscli_softap_construct_def_devinfo()",
                     "brcm_wpscli_softap_enable_wps(\"Broadcom\", 644, 0, 0)"}));
    EXPECT_TRUE(wps_workers_wanted());
    EXPECT_EQ(wps_workers_alive(), 1);

    EXPECT_EQ(agent_->BcmWPSDisable(), 0);
    EXPECT_EQ(wps_workers_alive(), 0);
    EXPECT_FALSE(wps_workers_wanted());
    EXPECT_EQ(CallsFrom(3),
              (Lines{open, "brcm_wpscli_softap_disable_wps()", "brcm_wpscli_close()"}));
}

TEST_F(WpsSession, StationModeRunsWpsOnTheApSideInterface) {
    radio_env::SetStationMode(true);
    ASSERT_EQ(agent_->BcmWPSEnable(), 0);
    EXPECT_EQ(radio_env::WpsCalls().at(0), "brcm_wpscli_open(\"wl0.1\", \"br0\", 0, 0, 0)");
    agent_->BcmWPSDisable();
    EXPECT_EQ(radio_env::WpsCalls().at(3), "brcm_wpscli_open(\"wl0.1\", \"br0\", 0, 0, 0)");
}

TEST_F(WpsSession, WorkerRunsOneSessionPerRequestWithThePinCutToEightCharacters) {
    copy_text(wps_network_settings()->ssid, "TestAP");
    ASSERT_EQ(agent_->BcmWPSEnable(), 0);
    const Lines pin_session = {
        "brcm_wpscli_softap_set_wps_context(&nw, \"12345670\", 0, 0)",
        "brcm_wpscli_softap_start_wps(0, 1, \"12345670\", &nw, 120, &buf, 0, 0)",
        "brcm_wpscli_softap_process_eapwps(&buf)", "brcm_wpscli_softap_close_session()"};
    const std::pair<const char*, Lines> sessions[] = {
        {"12345670", pin_session},
        {"123456709", pin_session},
        // Eight zeros run a push-button session without a PIN.
        {"00000000",
         {"brcm_wpscli_softap_set_wps_context(&nw, \"00000000\", 0, 0)",
          "brcm_wpscli_softap_start_wps(0, 0, NULL, &nw, 120, &buf, 0, 0)",
          "brcm_wpscli_softap_process_eapwps(&buf)", "brcm_wpscli_softap_close_session()"}},
    };
    for (const auto& session : sessions) {
        size_t before = wpscli_test_call_count();
        ASSERT_TRUE(RunSession(session.first)) << session.first;
        EXPECT_EQ(CallsFrom(before), session.second) << session.first;
        EXPECT_EQ(agent_->GetLastWPSResult(), WPS_RESULT_SUCCESS);
    }
    EXPECT_EQ(WpsMessages(), (Lines{"WPS-SUCCESS ", "WPS-SUCCESS ", "WPS-SUCCESS "}));

    // The library keeps the address of the settings and of the peer buffer for the session.
    wpscli_test_call context{}, start{}, process{};
    ASSERT_EQ(wpscli_test_get_call(3, &context), 0);
    ASSERT_EQ(wpscli_test_get_call(4, &start), 0);
    ASSERT_EQ(wpscli_test_get_call(5, &process), 0);
    EXPECT_EQ(context.settings_addr, wps_network_settings());
    EXPECT_EQ(start.settings_addr, wps_network_settings());
    EXPECT_STREQ(start.settings.ssid, "TestAP");
    EXPECT_EQ(process.buffer_addr, start.buffer_addr);
}

TEST_F(WpsSession, ExchangeIsDrivenUntilItStopsAskingToContinue) {
    const wpscli_test_step steps[] = {
        {BRCM_WPSCLI_CONTINUE, 0}, {BRCM_WPSCLI_CONTINUE, 0}, {BRCM_WPSCLI_SUCCESS, 0}};
    ASSERT_EQ(wpscli_test_set_exchange(steps, 3), 0);
    ASSERT_EQ(agent_->BcmWPSEnable(), 0);
    ASSERT_TRUE(RunSession("00000000"));
    EXPECT_EQ(wpscli_test_count("brcm_wpscli_softap_process_eapwps"), 3u);
    EXPECT_EQ(agent_->GetLastWPSResult(), WPS_RESULT_SUCCESS);
}

TEST_F(WpsSession, InvalidPinOrFailedStartFailsTheSessionWithoutAnExchange) {
    ASSERT_EQ(agent_->BcmWPSEnable(), 0);
    ASSERT_TRUE(RunSession("12345671"));
    EXPECT_EQ(wpscli_test_call_count(), 3u);  // the three calls of the enable only
    EXPECT_TRUE(logcap::Has(logcap::Errors(), "WPS method error, invalid PIN[12345671]"));
    EXPECT_EQ(agent_->GetLastWPSResult(), WPS_RESULT_FAILURE);
    EXPECT_FALSE(agent_->IsWPSProcedureOn());

    ASSERT_EQ(wpscli_test_queue_status("brcm_wpscli_softap_start_wps", BRCM_WPSCLI_ERROR), 0);
    ASSERT_TRUE(RunSession("00000000"));
    EXPECT_EQ(wpscli_test_count("brcm_wpscli_softap_process_eapwps"), 0u);
    EXPECT_EQ(wpscli_test_count("brcm_wpscli_softap_close_session"), 1u);
    EXPECT_TRUE(logcap::Has(logcap::Errors(), "Start WPS procedure failed."));
    EXPECT_EQ(WpsMessages(), (Lines{"WPS-FAIL ", "WPS-FAIL "}));
    EXPECT_EQ(agent_->GetLastWPSResult(), WPS_RESULT_FAILURE);
}

TEST_F(WpsSession, AbortedSessionThatWasAlreadyReportedIsNotReportedAgain) {
    HoldExchangeUntilAbort();
    ASSERT_EQ(agent_->BcmWPSEnable(), 0);
    agent_->BcmWPSStart("00000000");
    ASSERT_TRUE(ExchangeStarted());
    // What the spy does when it ends during a session, in the other order.
    agent_->HandleWPSMsg("WPS-TIMEOUT ");
    ASSERT_EQ(agent_->BcmWPSStop(), 0);
    ASSERT_EQ(wpscli_test_wait_calls("brcm_wpscli_softap_close_session", 1, 10000), 1);
    EXPECT_EQ(WpsMessages(), Lines{"WPS-TIMEOUT "});
    EXPECT_EQ(agent_->GetLastWPSResult(), WPS_RESULT_TIMEOUT);
}

TEST_F(WpsSession, EnablingAgainLeavesOneWorker) {
    ASSERT_EQ(agent_->BcmWPSEnable(), 0);
    ASSERT_EQ(agent_->BcmWPSEnable(), 0);
    ASSERT_TRUE(radio_env::WaitUntil([] { return wps_workers_alive() == 1; }));
    ASSERT_TRUE(RunSession("00000000"));
    EXPECT_EQ(wpscli_test_count("brcm_wpscli_softap_start_wps"), 1u);
}

}  // namespace
