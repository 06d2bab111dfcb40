#include "agent/countdown.h"

#include <gtest/gtest.h>

#include <tuple>

#include "agent/wlan_settings.h"
#include "hostapd_agent.h"
#include "tests/agent/agent_test_support.h"
#include "tests/support/log_capture.h"

using AutoDisTime = SandboxTest;

// Before the first station the system idle time applies, after it the user's; with stations
// listed the timer stays off; without a system time there is no countdown.
TEST_F(AutoDisTime, TimeByStationHistoryAndListedStations) {
    const std::tuple<bool, int, int, long, const char*> cases[] = {
        // associated yet, stations listed, result, idle time, log (nullptr: no timer)
        {false, 0, 0, 600, "HostapdAgent::SetAutoDisTime: Set system auto down time [600] sec(s)"},
        {true, 0, 0, 900, "HostapdAgent::SetAutoDisTime: Set auto down time [900] sec(s)"},
        {false, 2, 2, 900, nullptr},
        {false, 0, -1, 0, nullptr},  // no system time
    };
    for (const auto& [associated, stations, result, seconds, log] : cases) {
        SCOPED_TRACE(std::to_string(associated) + std::to_string(stations) +
                     std::to_string(result));
        agent_test::WriteIdleTimes("900", result < 0 ? "" : "600");
        HostapdAgent agent;
        HostapdAgent::sta_associated_yet = associated;
        StaListItem key;
        for (int i = 0; i < stations; ++i) {
            key.SetMAC(i == 0 ? "aa:bb:cc:dd:ee:01" : "aa:bb:cc:dd:ee:02");
            agent.GetStaList()->AddSta(&key);
        }
        EXPECT_EQ(agent.SetAutoDisTime(), result);
        EXPECT_EQ(HostapdAgent::GetWlanCountDown(), seconds);
        EXPECT_EQ(countdown_timer_armed(), log != nullptr);
        EXPECT_TRUE(log == nullptr || logcap::Has(logcap::Level5(), log));
        agent.StopSpy();  // switching Wi-Fi off ends the idle countdown
        EXPECT_FALSE(countdown_timer_armed());
    }
    HostapdAgent::sta_associated_yet = false;
}

// Read up to the first non-digit; missing or non-numeric values read as zero, overlong ones as
// the largest.
TEST_F(AutoDisTime, ReadTheirOwnOptionsAsDecimalNumbers) {
    agent_test::WriteIdleTimes(" 42 minutes", "-5");
    EXPECT_EQ(_get_wlan_auto_down_time(), 42);
    EXPECT_EQ(_get_wlan_auto_down_time_system(), -5);
    EXPECT_EQ(_get_wlan_wisp_enable_status(), 0);
    agent_test::WriteIdleTimes("abc", "");
    EXPECT_EQ(_get_wlan_auto_down_time(), 0);
    EXPECT_EQ(_get_wlan_auto_down_time_system(), 0);
    WriteShellScript("/usr/bin/uci", "echo 99999999999999999999\n");
    EXPECT_EQ(_get_wlan_auto_down_time(), INT32_MAX);
}

// Before the radio starts the shorter idle time is chosen (here the system's); a failed radio
// start is reported as an AP start failure with Wi-Fi on.
TEST_F(AutoDisTime, ShorterTimeIsChosenAndAFailedRadioStartReported) {
    WriteShellScript("/usr/bin/bcmwlan_ap1.sh", "exit 1\n");
    agent_test::WriteIdleTimes("600", "300");
    HostapdAgent agent;
    EXPECT_EQ(agent.StartSpy(), 0);
    EXPECT_EQ(HostapdAgent::GetWlanCountDown(), 300);
    EXPECT_TRUE(logcap::Has(logcap::Level5(),
                            "HostapdAgent::StartSpy: Set system auto down time [300] sec(s)"));
    EXPECT_TRUE(agent.GetWlanOn());
    EXPECT_FALSE(agent.GetFailHandled());
    EXPECT_FALSE(agent.IsRunning());
}
