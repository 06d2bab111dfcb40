#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "agent/wps_state.h"
#include "tests/agent/agent_test_support.h"
#include "tests/radio/radio_env.h"
#include "tests/support/log_capture.h"
#include "util/text.h"
#include "wpscli_test.h"

namespace {

using Lines = std::vector<std::string>;
constexpr unsigned kWaitMs = 10000;

// An agent test with a fresh WPS library stand-in. TearDown disables WPS, which returns only once
// the worker thread has ended.
class WpsSession : public AgentTest {
protected:
    void Prepare() override {
        AgentTest::Prepare();
        wpscli_test_reset();
    }
    void TearDown() override {
        if (agent_ == nullptr) return;
        wpscli_test_reset();  // ends an exchange that waits for an abort
        agent_->BcmWPSDisable();
        EXPECT_EQ(wps_workers_alive(), 0);
        AgentTest::TearDown();
    }

    // Requests a session from the running worker; true once it has been reported and closed.
    bool RunSession(const char* pin) {
        size_t reports = WpsMessages().size();
        agent_->BcmWPSStart(pin);
        if (!WaitUntil([&] { return WpsMessages().size() > reports; })) return false;
        size_t started = wpscli_test_count("brcm_wpscli_softap_start_wps");
        return started == 0 ||
               wpscli_test_wait_calls("brcm_wpscli_softap_close_session", started, kWaitMs) == 1;
    }
    // The recorded library calls from the index-th one on.
    static Lines CallsFrom(size_t index) {
        Lines calls = radio_env::WpsCalls();
        return Lines(calls.begin() + static_cast<long>(std::min(index, calls.size())), calls.end());
    }
    static Lines WpsMessages() {
        Lines messages;
        for (const recorder::Event& event : recorder::Events())
            if (event.type == HA_WLAN_EVT_WPS) messages.push_back(event.text);
        return messages;
    }
};

TEST(WpsPinCheck, ChecksumLengthAndDigitsDecideTheMode) {
    EXPECT_EQ(wps_pin_mode("12345670"), WpsPinMode::kPin);
    EXPECT_EQ(wps_pin_mode("00000000"), WpsPinMode::kPushButton);
    // Weighted from the right "21436507" would pass; ':' is '0' + 10 and taken as a digit it
    // would keep the sum a multiple of 10.
    for (const char* pin : {"12345671", "21436507", "1234567", "123456709", "000000000", "",
                            "1234567:", " 2345670", static_cast<const char*>(nullptr)})
        EXPECT_EQ(wps_pin_mode(pin), WpsPinMode::kInvalid) << (pin ? pin : "null");
}

TEST_F(WpsSession, EnableStartsTheWorkerAndDisableEndsItBeforeItReturns) {
    ASSERT_EQ(agent_->BcmWPSEnable(), 0);
    EXPECT_EQ(radio_env::WpsCalls(),
              (Lines{"brcm_wpscli_open(\"eth0\", \"br0\", 0, 0, 0)",
                     "wpscli_softap_construct_def_devinfo()",
                     "brcm_wpscli_softap_enable_wps(\"Broadcom\", 644, 0, 0)"}));
    EXPECT_EQ(wps_workers_alive(), 1);
    EXPECT_EQ(agent_->BcmWPSDisable(), 0);
    EXPECT_EQ(wps_workers_alive(), 0);

    radio_env::SetStationMode(true);  // WPS then runs on the AP side interface
    ASSERT_EQ(agent_->BcmWPSEnable(), 0);
    EXPECT_EQ(CallsFrom(6).at(0), "brcm_wpscli_open(\"wl0.1\", \"br0\", 0, 0, 0)");
}

// A failing library call fails the operation, closes what was opened and starts no worker.
TEST_F(WpsSession, FailingLibraryCallFailsAndClosesTheLibrary) {
    const std::tuple<const char*, int, const char*, const char*> cases[] = {
        // call made to fail, its status, the error (its first word names the operation) and
        // the calls made, by name
        {"brcm_wpscli_open", BRCM_WPSCLI_ERROR,
         "Enable WPS failed: brcm_wpscli_open failed. System error!", "brcm_wpscli_open "},
        {"wpscli_softap_construct_def_devinfo", 7,
         "Enable WPS failed: Failed to construct device informations. status=7",
         "brcm_wpscli_open wpscli_softap_construct_def_devinfo brcm_wpscli_close "},
        {"brcm_wpscli_softap_disable_wps", 5,
         "Disable WPS failed: Failed to disable softap wps. status=5",
         "brcm_wpscli_open brcm_wpscli_softap_disable_wps brcm_wpscli_close "},
        {"brcm_wpscli_abort", BRCM_WPSCLI_ERROR, "BCMWPSStop: wps procedure abort failed.",
         "brcm_wpscli_abort "},
    };
    for (const auto& [call, status, log, calls] : cases) {
        SCOPED_TRACE(log);
        wpscli_test_reset();
        ASSERT_EQ(wpscli_test_queue_status(call, status), 0);
        int result = log[0] == 'E'   ? agent_->BcmWPSEnable()
                     : log[0] == 'D' ? agent_->BcmWPSDisable()
                                     : agent_->BcmWPSStop();
        EXPECT_EQ(result, -1);
        EXPECT_TRUE(logcap::Has(logcap::Errors(), log));
        std::string names;
        for (const std::string& made : radio_env::WpsCalls())
            names += made.substr(0, made.find('(')) + " ";
        EXPECT_EQ(names, calls);
        EXPECT_EQ(wps_workers_alive(), 0);
    }
}

TEST_F(WpsSession, WorkerRunsOneSessionPerRequestWithThePinCutToEightCharacters) {
    copy_text(wps_network_settings()->ssid, "TestAP");
    ASSERT_EQ(agent_->BcmWPSEnable(), 0);
    ASSERT_EQ(agent_->BcmWPSEnable(), 0);  // enabling again leaves one worker
    ASSERT_TRUE(WaitUntil([] { return wps_workers_alive() == 1; }));
    const size_t enabled = wpscli_test_call_count();
    // The PIN is cut to eight characters; eight zeros run a push-button session without one.
    const std::pair<const char*, std::string> sessions[] = {
        {"123456709",
         "brcm_wpscli_softap_set_wps_context(&nw, \"12345670\", 0, 0) "
         "brcm_wpscli_softap_start_wps(0, 1, \"12345670\", &nw, 120, &buf, 0, 0) "},
        {"00000000",
         "brcm_wpscli_softap_set_wps_context(&nw, \"00000000\", 0, 0) "
         "brcm_wpscli_softap_start_wps(0, 0, NULL, &nw, 120, &buf, 0, 0) "},
    };
    for (const auto& [pin, calls] : sessions) {
        size_t before = wpscli_test_call_count();
        ASSERT_TRUE(RunSession(pin)) << pin;
        std::string seen;
        for (const std::string& call : CallsFrom(before)) seen += call + " ";
        EXPECT_EQ(seen, calls +
                            "brcm_wpscli_softap_process_eapwps(&buf) "
                            "brcm_wpscli_softap_close_session() ");
    }
    EXPECT_EQ(WpsMessages(), (Lines{"WPS-SUCCESS ", "WPS-SUCCESS "}));

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

// A session whose start fails is closed and ends as a failure.
TEST_F(WpsSession, FailedStartClosesTheSessionAndReportsAFailure) {
    ASSERT_EQ(agent_->BcmWPSEnable(), 0);
    ASSERT_EQ(wpscli_test_queue_status("brcm_wpscli_softap_start_wps", BRCM_WPSCLI_ERROR), 0);
    ASSERT_TRUE(RunSession("00000000"));  // waits for the session to be closed
    EXPECT_EQ(wpscli_test_count("brcm_wpscli_softap_process_eapwps"), 0u);
    EXPECT_TRUE(logcap::Has(logcap::Errors(), "Start WPS procedure failed."));
    EXPECT_EQ(WpsMessages(), Lines{"WPS-FAIL "});
    EXPECT_EQ(agent_->GetLastWPSResult(), WPS_RESULT_FAILURE);
    EXPECT_FALSE(agent_->IsWPSProcedureOn());
}

TEST_F(WpsSession, HostMessageNeedsAnOutcomeTextWithItsTrailingBlankAndOverlapWins) {
    agent_->BcmWPSStart("00000000");
    agent_->HandleWPSMsg("WPS-SUCCESS");
    agent_->HandleWPSMsg("WPS-PIN-NEEDED 11:22:33:44:55:66");
    EXPECT_EQ(agent_->GetLastWPSResult(), WPS_RESULT_STARTED);
    EXPECT_TRUE(WpsMessages().empty());

    agent_->HandleWPSMsg("<3>WPS-SUCCESS ");
    EXPECT_EQ(agent_->GetLastWPSResult(), WPS_RESULT_SUCCESS);
    EXPECT_FALSE(agent_->IsWPSProcedureOn());
    EXPECT_EQ(WpsMessages(), Lines{"<3>WPS-SUCCESS "});  // the message, not the result name
    EXPECT_EQ(agent_->BcmWPSStart("00000000"), 0);       // a new request reads started again
    EXPECT_EQ(agent_->GetLastWPSResult(), WPS_RESULT_STARTED);

    const std::tuple<const char*, int32_t, const char*> mixed[] = {
        {"WPS-SUCCESS WPS-FAIL WPS-OVERLAP-DETECTED ", WPS_RESULT_PBC_OVERLAP, "wps_pbc_overlap"},
        {"WPS-TIMEOUT WPS-SUCCESS WPS-FAIL ", WPS_RESULT_FAILURE, "wps_failure"},
        {"WPS-TIMEOUT ", WPS_RESULT_TIMEOUT, "wps_timeout"},
    };
    for (const auto& [message, result, name] : mixed) {
        logcap::Clear();
        agent_->HandleWPSMsg(message);
        EXPECT_EQ(agent_->GetLastWPSResult(), result) << message;
        EXPECT_EQ(logcap::User(), std::vector<std::string>{std::string("WPS event: ") + name});
    }
}

}  // namespace
