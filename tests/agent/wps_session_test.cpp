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

const std::string kOpen = "brcm_wpscli_open(\"eth0\", \"br0\", 0, 0, 0)";
const std::string kDevInfo = "wpscli_softap_construct_def_devinfo()";
const std::string kEnable = "brcm_wpscli_softap_enable_wps(\"Broadcom\", 644, 0, 0)";
const std::string kDisable = "brcm_wpscli_softap_disable_wps()";
const std::string kClose = "brcm_wpscli_close()";

TEST(WpsPinCheck, ChecksumLengthAndDigitsDecideTheMode) {
    const std::pair<const char*, WpsPinMode> cases[] = {
        {"12345670", WpsPinMode::kPin},
        {"49226874", WpsPinMode::kPin},
        {"00000000", WpsPinMode::kPushButton},
        {"12345671", WpsPinMode::kInvalid},  // last digit changed
        // Weights count from the left: weighted from the right "12345670" would sum to 52 and
        // "21436507" to 60.
        {"21436507", WpsPinMode::kInvalid},
        {"1234567", WpsPinMode::kInvalid},
        {"123456709", WpsPinMode::kInvalid},
        {"000000000", WpsPinMode::kInvalid},
        {"", WpsPinMode::kInvalid},
        // ':' is '0' + 10: taken as a digit it would keep the sum a multiple of 10.
        {"1234567:", WpsPinMode::kInvalid},
        {" 2345670", WpsPinMode::kInvalid},
    };
    for (const auto& c : cases) EXPECT_EQ(wps_pin_mode(c.first), c.second) << c.first;
    EXPECT_EQ(wps_pin_mode(nullptr), WpsPinMode::kInvalid);
}

TEST_F(WpsSession, EnableStartsTheWorkerAndDisableEndsItBeforeItReturns) {
    ASSERT_EQ(agent_->BcmWPSEnable(), 0);
    EXPECT_EQ(radio_env::WpsCalls(), (Lines{kOpen, kDevInfo, kEnable}));
    EXPECT_TRUE(wps_workers_wanted());
    EXPECT_EQ(wps_workers_alive(), 1);
    EXPECT_EQ(agent_->BcmWPSDisable(), 0);
    EXPECT_EQ(wps_workers_alive(), 0);
    EXPECT_FALSE(wps_workers_wanted());
    EXPECT_EQ(CallsFrom(3), (Lines{kOpen, kDisable, kClose}));

    radio_env::SetStationMode(true);  // WPS then runs on the AP side interface
    ASSERT_EQ(agent_->BcmWPSEnable(), 0);
    EXPECT_EQ(CallsFrom(6).at(0), "brcm_wpscli_open(\"wl0.1\", \"br0\", 0, 0, 0)");
}

// A failing library call fails the operation, closes what was opened and starts no worker.
TEST_F(WpsSession, FailingLibraryCallFailsAndClosesTheLibrary) {
    struct Case {
        const char* call;
        int status;
        bool enable;
        const char* log;
        Lines calls;
    };
    const Case cases[] = {
        {"brcm_wpscli_open",
         BRCM_WPSCLI_ERROR,
         true,
         "Enable WPS failed: brcm_wpscli_open failed. System error!",
         {kOpen}},
        {"wpscli_softap_construct_def_devinfo",
         7,
         true,
         "Enable WPS failed: Failed to construct device informations. status=7",
         {kOpen, kDevInfo, kClose}},
        {"brcm_wpscli_softap_enable_wps",
         9,
         true,
         "Enable WPS failed: Failed to enable softap wps. status=9",
         {kOpen, kDevInfo, kEnable, kClose}},
        {"brcm_wpscli_open",
         BRCM_WPSCLI_ERROR,
         false,
         "Disable WPS failed: brcm_wpscli_open failed. System error!",
         {kOpen}},
        {"brcm_wpscli_softap_disable_wps",
         5,
         false,
         "Disable WPS failed: Failed to disable softap wps. status=5",
         {kOpen, kDisable, kClose}},
        {"brcm_wpscli_abort",
         BRCM_WPSCLI_ERROR,
         false,
         "BCMWPSStop: wps procedure abort failed.",
         {"brcm_wpscli_abort()"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.log);
        wpscli_test_reset();
        ASSERT_EQ(wpscli_test_queue_status(c.call, c.status), 0);
        bool stop = strcmp(c.call, "brcm_wpscli_abort") == 0;
        EXPECT_EQ(stop ? agent_->BcmWPSStop()
                       : (c.enable ? agent_->BcmWPSEnable() : agent_->BcmWPSDisable()),
                  -1);
        EXPECT_TRUE(logcap::Has(logcap::Errors(), c.log));
        EXPECT_EQ(radio_env::WpsCalls(), c.calls);
        EXPECT_EQ(wps_workers_alive(), 0);
    }
    EXPECT_EQ(agent_->BcmWPSStop(), 0);
}

TEST_F(WpsSession, WorkerRunsOneSessionPerRequestWithThePinCutToEightCharacters) {
    copy_text(wps_network_settings()->ssid, "TestAP");
    ASSERT_EQ(agent_->BcmWPSEnable(), 0);
    ASSERT_EQ(agent_->BcmWPSEnable(), 0);  // enabling again leaves one worker
    ASSERT_TRUE(radio_env::WaitUntil([] { return wps_workers_alive() == 1; }));
    const size_t enabled = wpscli_test_call_count();
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
    ASSERT_EQ(wpscli_test_get_call(enabled, &context), 0);
    ASSERT_EQ(wpscli_test_get_call(enabled + 1, &start), 0);
    ASSERT_EQ(wpscli_test_get_call(enabled + 2, &process), 0);
    EXPECT_EQ(context.settings_addr, wps_network_settings());
    EXPECT_EQ(start.settings_addr, wps_network_settings());
    EXPECT_STREQ(start.settings.ssid, "TestAP");
    EXPECT_EQ(process.buffer_addr, start.buffer_addr);
}

// The exchange is driven while it asks to continue; how it ends is recorded, logged and
// reported.
TEST_F(WpsSession, ExchangeOutcomeIsRecordedLoggedAndReported) {
    struct Outcome {
        brcm_wpscli_status status;
        const char* message;
        int32_t code;
        const char* name;
    };
    const Outcome outcomes[] = {
        {BRCM_WPSCLI_SUCCESS, "WPS-SUCCESS ", 1, "wps_success"},
        {BRCM_WPSCLI_TIMEOUT, "WPS-TIMEOUT ", 3, "wps_timeout"},
        {BRCM_WPSCLI_PBC_OVERLAP, "WPS-OVERLAP-DETECTED ", 2, "wps_pbc_overlap"},
        {BRCM_WPSCLI_ERROR, "WPS-FAIL ", 0, "wps_failure"},
        {BRCM_WPSCLI_ABORTED, "WPS-FAIL ", 0, "wps_failure"},
    };
    ASSERT_EQ(agent_->BcmWPSEnable(), 0);
    for (const Outcome& o : outcomes) {
        SCOPED_TRACE(o.name + std::to_string(o.status));
        const wpscli_test_step steps[] = {
            {BRCM_WPSCLI_CONTINUE, 0}, {BRCM_WPSCLI_CONTINUE, 0}, {o.status, 0}};
        ASSERT_EQ(wpscli_test_set_exchange(steps, 3), 0);
        size_t exchanged = wpscli_test_count("brcm_wpscli_softap_process_eapwps");
        recorder::Clear();
        logcap::Clear();
        ASSERT_TRUE(RunSession("00000000"));
        EXPECT_EQ(wpscli_test_count("brcm_wpscli_softap_process_eapwps"), exchanged + 3);
        EXPECT_EQ(agent_->GetLastWPSResult(), o.code);
        EXPECT_FALSE(agent_->IsWPSProcedureOn());
        EXPECT_TRUE(logcap::Has(logcap::User(), std::string("WPS event: ") + o.name));
        EXPECT_EQ(WpsMessages(), Lines{o.message});
    }
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

TEST_F(WpsSession, HostMessageNeedsAnOutcomeTextWithItsTrailingBlankAndOverlapWins) {
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
    EXPECT_EQ(agent_->BcmWPSStart("00000000"), 0);  // a new request reads started again
    EXPECT_EQ(agent_->GetLastWPSResult(), WPS_RESULT_STARTED);
    EXPECT_TRUE(agent_->IsWPSProcedureOn());

    const std::pair<const char*, int32_t> mixed[] = {
        {"WPS-SUCCESS WPS-FAIL WPS-OVERLAP-DETECTED ", WPS_RESULT_PBC_OVERLAP},
        {"WPS-TIMEOUT WPS-SUCCESS WPS-FAIL ", WPS_RESULT_FAILURE},
        {"WPS-TIMEOUT WPS-SUCCESS ", WPS_RESULT_SUCCESS},
    };
    for (const auto& [message, result] : mixed) {
        agent_->HandleWPSMsg(message);
        EXPECT_EQ(agent_->GetLastWPSResult(), result) << message;
    }
}

}  // namespace
