#include "agent/countdown.h"

#include <gtest/gtest.h>

#include "hostapd_agent.h"
#include "tests/agent/agent_test_support.h"
#include "tests/agent/event_recorder.h"
#include "tests/support/log_capture.h"

using recorder::Callback;

namespace {

class Countdown : public ::testing::Test {
protected:
    void SetUp() override {
        HostapdAgent::DeinitEventCb();
        ASSERT_EQ(HostapdAgent::InitEventCb(), 0);
        HostapdAgent::RegCountDownCb(Callback<0>);
        ASSERT_EQ(HostapdAgent::RegisterEventCb(Callback<1>), 0);
        recorder::Clear();
        logcap::Clear();
    }
    void TearDown() override {
        HostapdAgent::StopCountDown();
        HostapdAgent::DeinitEventCb();
    }

    static void Tick(int times) {
        for (int i = 0; i < times; ++i)
            HostapdAgent::WlanAutoDownTimerCb(SIGALRM, nullptr, nullptr);
        countdown_wait_ticks_handled();
    }
};

}  // namespace

TEST_F(Countdown, IdleTimeIsRoundedUpToMinutesAndNoneArmsNothing) {
    for (auto [seconds, ticks] : {std::pair{60L, 1}, {61L, 2}, {600L, 10}, {1L, 1}, {0L, 0}}) {
        HostapdAgent::SetWlanCountDown(seconds);
        HostapdAgent::ResetCountDown();
        EXPECT_EQ(HostapdAgent::cur_tick, ticks) << seconds;
    }
    for (long seconds : {0L, -60L}) {
        HostapdAgent::SetWlanCountDown(seconds);
        EXPECT_EQ(HostapdAgent::StartCountDown(), -1);
        EXPECT_FALSE(countdown_timer_armed());
    }
    HostapdAgent::DeleteCountDownTimer();
    EXPECT_EQ(HostapdAgent::StopCountDown(), -1);
    EXPECT_EQ(HostapdAgent::DeleteCountDownTimer(), -1);
}

TEST_F(Countdown, LastTickRaisesAutoDownForTheCountDownCallbackOnly) {
    HostapdAgent::SetWlanCountDown(150);
    ASSERT_EQ(HostapdAgent::StartCountDown(), 0);
    Tick(2);
    EXPECT_TRUE(recorder::Events().empty());
    Tick(1);
    auto events = recorder::Events();
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].callback, 0);
    EXPECT_EQ(events[0].type, HA_WLAN_EVT_AUTO_DOWN);
    EXPECT_EQ(events[0].value, 1);
    EXPECT_TRUE(logcap::Has(logcap::User(), "WLAN Auto Down time out."));
    EXPECT_FALSE(countdown_timer_armed());
}

TEST_F(Countdown, StopDisarmsAndRestartBeginsAgainFromTheFullTime) {
    HostapdAgent::SetWlanCountDown(180);
    ASSERT_EQ(HostapdAgent::StartCountDown(), 0);
    Tick(2);
    EXPECT_EQ(HostapdAgent::StopCountDown(), 0);
    EXPECT_FALSE(countdown_timer_armed());
    ASSERT_EQ(HostapdAgent::StartCountDown(), 0);
    EXPECT_EQ(HostapdAgent::cur_tick, 3);
    Tick(2);
    EXPECT_TRUE(recorder::Events().empty());
}

using AutoDisTime = SandboxTest;

// Before the first station the system idle time applies, after it the user's; with stations
// listed the timer stays off; without a system time there is no countdown.
TEST_F(AutoDisTime, TimeByStationHistoryAndListedStations) {
    struct Case {
        const char* conf;
        bool associated;
        int stations, result;
        long seconds;
        const char* log;  // nullptr: the timer stays disarmed
    };
    const char* const k900and600 =
        "\toption disable_time '900'\n\toption disable_time_system '600'\n";
    const Case cases[] = {
        {k900and600, false, 0, 0, 600,
         "HostapdAgent::SetAutoDisTime: Set system auto down time [600] sec(s)"},
        {k900and600, true, 0, 0, 900,
         "HostapdAgent::SetAutoDisTime: Set auto down time [900] sec(s)"},
        {k900and600, false, 2, 2, 900, nullptr},
        {"\toption disable_time '900'\n", false, 0, -1, 0, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.conf + std::to_string(c.associated) + std::to_string(c.stations));
        sandbox::WriteFile("/etc/config/wlan",
                           std::string("config basic_setting 'basic_setting'\n") + c.conf);
        HostapdAgent agent;
        HostapdAgent::StopCountDown();
        HostapdAgent::sta_associated_yet = c.associated;
        StaListItem key;
        for (int i = 0; i < c.stations; ++i) {
            key.SetMAC(i == 0 ? "aa:bb:cc:dd:ee:01" : "aa:bb:cc:dd:ee:02");
            agent.GetStaList()->AddSta(&key);
        }
        EXPECT_EQ(agent.SetAutoDisTime(), c.result);
        EXPECT_EQ(HostapdAgent::GetWlanCountDown(), c.seconds);
        EXPECT_EQ(countdown_timer_armed(), c.log != nullptr);
        EXPECT_TRUE(c.log == nullptr || logcap::Has(logcap::Level5(), c.log));
        HostapdAgent::StopCountDown();
    }
    HostapdAgent::sta_associated_yet = false;
}
