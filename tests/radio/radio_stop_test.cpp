#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "agent/spy_state.h"
#include "agent/wps_state.h"
#include "hostapd_agent.h"
#include "tests/radio/radio_env.h"
#include "tests/support/log_capture.h"
#include "wpscli_test.h"

namespace {

using Lines = std::vector<std::string>;
using radio_env::WlarmCallsOf;

constexpr const char* kStationA = "02:11:22:33:44:0A";
constexpr const char* kStationB = "02:11:22:33:44:0B";

const std::string kDeauthA = std::string("deauthenticate ") + kStationA;
const std::string kDeauthB = std::string("deauthenticate ") + kStationB;

void AddStations() {
    ASSERT_TRUE(radio_env::Sim(std::string("sta add ") + kStationA + " " + kStationB));
}

using RadioStop = RadioAgentTest;

// An open network deauthenticates every associated station, a secured one the authorised.
TEST_F(RadioStop, DeauthenticatesEveryListedStationAndStopsTheRadio) {
    radio_env::WriteConf({{"wpa", "0"}});
    ASSERT_EQ(agent_->BcmWLStart(), 0);
    AddStations();
    EXPECT_EQ(agent_->BcmWLStop(), 0);
    EXPECT_EQ(WlarmCallsOf("deauthenticate"), (Lines{kDeauthA, kDeauthB}));
    EXPECT_EQ(radio_env::Wlarm("assoclist"), "");
    EXPECT_EQ(radio_env::Wlarm("isup"), "0\n");

    radio_env::WriteConf({{"wpa", "3"}});
    ASSERT_EQ(agent_->BcmWLStart(), 0);
    AddStations();
    ASSERT_TRUE(radio_env::Sim(std::string("sta auth ") + kStationB));
    EXPECT_EQ(agent_->BcmWLDeauthAll(), 0);
    EXPECT_EQ(WlarmCallsOf("deauthenticate"), (Lines{kDeauthA, kDeauthB, kDeauthB}));
}

TEST_F(RadioStop, FailedDeauthenticationLeavesTheOthersButStillStops) {
    radio_env::WriteConf({{"wpa", "0"}});
    ASSERT_EQ(agent_->BcmWLStart(), 0);
    AddStations();
    ASSERT_TRUE(radio_env::Sim("fault fail deauthenticate 1"));
    EXPECT_EQ(agent_->BcmWLStop(), 0);
    EXPECT_EQ(WlarmCallsOf("deauthenticate").size(), 1u);
    EXPECT_TRUE(logcap::Has(logcap::Errors(), "Deauthenticate failed\n"));
    EXPECT_TRUE(logcap::Has(logcap::Errors(), "Deauthenticate all online station failed\n"));
    EXPECT_EQ(radio_env::Wlarm("isup"), "0\n");
}

TEST_F(RadioStop, FailingStopScriptFailsTheStop) {
    radio_env::WriteConf();
    ASSERT_EQ(agent_->BcmWLStart(), 0);
    sandbox::WriteFile("/usr/bin/bcmwlan_ap1.sh", "#!/bin/sh\nexit 3\n");
    ASSERT_EQ(sandbox::Run("chmod 755 /usr/bin/bcmwlan_ap1.sh"), 0);
    EXPECT_EQ(agent_->BcmWLStop(), -1);
    EXPECT_TRUE(logcap::Has(logcap::Errors(), "Execute wl script: Error. WLAN stop fails"));
}

TEST_F(RadioStop, DisablesWpsButKeepsItFeaturedForTheNextStart) {
    radio_env::WriteConf({{"wps_state", "2"}, {"eap_server", "1"}});
    ASSERT_EQ(agent_->BcmWLStart(), 0);
    ASSERT_TRUE(agent_->IsWPSFeatured());
    EXPECT_EQ(agent_->BcmWLStop(), 0);
    EXPECT_EQ(wpscli_test_count("brcm_wpscli_softap_disable_wps"), 1u);
    EXPECT_EQ(wps_workers_alive(), 0);
    EXPECT_TRUE(agent_->IsWPSFeatured());
}

// Station lines that do not come from the radio in the expected form.
class StationLines : public RadioAgentTest {
protected:
    void List(const std::string& text) {
        sandbox::WriteFile("/tmp/stations", text);
        publish_spy_command("cat /tmp/stations", 9);
    }
};

TEST_F(StationLines, LineWithoutAMacIsSkippedWithoutFailing) {
    List(std::string("assoclist ") + kStationA +
         "\n"
         "assoclist $(touch /tmp/injected)\n"
         "assoclist\n"
         "\n"
         "assoclist 02:11:22:33:44\n"
         "assoclist " +
         kStationB + "\n");
    EXPECT_EQ(agent_->BcmWLDeauthAll(), 0);
    EXPECT_EQ(WlarmCallsOf("deauthenticate"), (Lines{kDeauthA, kDeauthB}));
    EXPECT_FALSE(sandbox::Exists("/tmp/injected"));
    EXPECT_TRUE(logcap::Has(logcap::Level5(),
                            "BcmWLDeauthAll: skip station line without a MAC [$(touch /tmp/inje]"));
}

TEST_F(StationLines, OverlongLineIsOneStation) {
    // The tail after 99 characters is not taken for a station line of its own.
    std::string head = std::string("assoclist ") + kStationA;
    std::string line = head + std::string(99 - head.size(), 'x') + "assoclist " + kStationB;
    List(line + "\n");
    EXPECT_EQ(agent_->BcmWLDeauthAll(), 0);
    EXPECT_EQ(WlarmCallsOf("deauthenticate"), Lines{kDeauthA});
}

}  // namespace
