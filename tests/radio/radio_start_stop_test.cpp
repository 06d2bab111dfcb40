#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "hostapd_agent.h"
#include "tests/radio/radio_env.h"
#include "tests/support/log_capture.h"
#include "wpscli_test.h"

namespace {

using Lines = std::vector<std::string>;
using radio_env::Wlarm;
using radio_env::WlarmCallsOf;
using radio_env::WriteConf;

using RadioStart = RadioAgentTest;
using RadioStop = RadioAgentTest;

TEST_F(RadioStart, AppliesTheMacFilterAfterTheRadioScript) {
    sandbox::WriteFile("/etc/config/hostapd.deny", "11:22:33:44:55:66\n");
    WriteConf({{"macaddr_acl", "3"}, {"deny_mac_file", "/etc/config/hostapd.deny"}});
    ASSERT_EQ(agent_->BcmWLStart(), 0);
    EXPECT_EQ(Wlarm("mac"), "mac 11:22:33:44:55:66");
    EXPECT_EQ(Wlarm("macmode"), "1");
    // The filter goes onto the radio that the start script brought up, not before it.
    Lines calls = radio_env::WlarmCalls();
    auto last_up = std::find(calls.rbegin(), calls.rend(), "up").base();
    auto macmode = std::find(calls.begin(), calls.end(), "macmode 1");
    ASSERT_NE(macmode, calls.end());
    EXPECT_LE(last_up, macmode);
}

// The radio runs on without its filter; the failure is reported.
TEST_F(RadioStart, FailingMacFilterScriptIsReported) {
    ASSERT_TRUE(radio_env::Sim("fault fail mac"));
    WriteConf({{"macaddr_acl", "2"}});
    EXPECT_EQ(agent_->BcmWLStart(), 0);
    EXPECT_TRUE(logcap::Has(logcap::Errors(), "Run mac filter sh failed"));
}

// WPS state 2 with the EAP server enables WPS; anything else disables it at the start. The stop
// disables a featured WPS, once, but keeps it featured for the next start.
TEST_F(RadioStart, EnablesWpsOnlyForStateTwoWithEapServer) {
    for (bool featured : {false, true}) {
        SCOPED_TRACE(featured ? "wps_state 2" : "wps_state 1");
        wpscli_test_reset();
        WriteConf({{"wps_state", featured ? "2" : "1"}, {"eap_server", "1"}});
        ASSERT_EQ(agent_->BcmWLStart(), 0);
        EXPECT_EQ(agent_->IsWPSFeatured(), featured);
        EXPECT_EQ(wpscli_test_count("brcm_wpscli_softap_enable_wps"), featured ? 1u : 0u);
        EXPECT_EQ(agent_->BcmWLStop(), 0);
        EXPECT_EQ(wpscli_test_count("brcm_wpscli_softap_disable_wps"), 1u);
        EXPECT_EQ(agent_->IsWPSFeatured(), featured);
    }
}

TEST_F(RadioStart, WpsThatFailsToEnableDoesNotFailTheStart) {
    WriteConf(kWps);
    ASSERT_EQ(wpscli_test_queue_status("brcm_wpscli_softap_enable_wps", BRCM_WPSCLI_ERROR), 0);
    EXPECT_EQ(agent_->BcmWLStart(), 0);
    EXPECT_FALSE(agent_->IsWPSFeatured());
    EXPECT_TRUE(logcap::Has(logcap::Errors(), "WPS failed to enable"));
}

// Five retries of the script generation, then the start gives up.
TEST_F(RadioStart, GivesUpAfterFiveFailedScriptGenerations) {
    const std::string script = kApScript;
    WriteConf(kWps);
    ASSERT_EQ(sandbox::Run("mkdir " + script), 0);  // the script cannot be written
    EXPECT_EQ(agent_->BcmWLStart(), -1);
    const Lines errors = logcap::Errors();
    EXPECT_EQ(
        std::count(errors.begin(), errors.end(), "try to generate wl script " + script + " again."),
        5);
    EXPECT_TRUE(logcap::Has(errors, "Cannot generate wl script " + script + ", WLAN start fails"));
    EXPECT_TRUE(WlarmCallsOf("perm_etheraddr").empty()) << "the start script ran";
    EXPECT_EQ(wpscli_test_call_count(), 0u);
}

TEST_F(RadioStart, FailingPlatformScriptFailsTheStartAndTheStop) {
    WriteConf(kWps);
    ASSERT_TRUE(WriteShellScript("/usr/bin/bcmwlan_ap1.sh", "exit 1\n"));
    EXPECT_EQ(agent_->BcmWLStart(), -1);
    EXPECT_TRUE(logcap::Has(logcap::Errors(), "Execute wl script: Error. WLAN start fails"));
    EXPECT_EQ(agent_->BcmWLStop(), -1);
    EXPECT_TRUE(logcap::Has(logcap::Errors(), "Execute wl script: Error. WLAN stop fails"));
}

// An open network deauthenticates every associated station, not only the authorised.
TEST_F(RadioStop, DeauthenticatesEveryListedStationAndStopsTheRadio) {
    WriteConf({{"wpa", "0"}});
    ASSERT_EQ(agent_->BcmWLStart(), 0);
    ASSERT_TRUE(radio_env::Sim("sta add 02:11:22:33:44:0A 02:11:22:33:44:0B"));
    EXPECT_EQ(agent_->BcmWLStop(), 0);
    EXPECT_EQ(WlarmCallsOf("deauthenticate"),
              (Lines{"deauthenticate 02:11:22:33:44:0A", "deauthenticate 02:11:22:33:44:0B"}));
    EXPECT_EQ(Wlarm("assoclist") + Wlarm("isup"), "0");
}

}  // namespace
