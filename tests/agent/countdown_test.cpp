#include "agent/countdown.h"

#include <gtest/gtest.h>

#include <tuple>

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

int32_t TicksFor(long seconds) {
    HostapdAgent::SetWlanCountDown(seconds);
    HostapdAgent::ResetCountDown();
    return HostapdAgent::cur_tick;
}

}  // namespace

TEST(CountdownMinutes, IdleTimeIsRoundedUpToWholeMinutes) {
    EXPECT_EQ(TicksFor(60), 1);
    EXPECT_EQ(TicksFor(61), 2);
    EXPECT_EQ(TicksFor(90), 2);
    EXPECT_EQ(TicksFor(600), 10);
    EXPECT_EQ(TicksFor(1), 1);
    EXPECT_EQ(TicksFor(0), 0);
}

TEST_F(Countdown, NoIdleTimeArmsNothing) {
    for (long seconds : {0L, -60L}) {
        HostapdAgent::SetWlanCountDown(seconds);
        EXPECT_EQ(HostapdAgent::StartCountDown(), -1);
        EXPECT_FALSE(countdown_timer_armed());
    }
}

TEST_F(Countdown, StopWithoutTimerFails) {
    HostapdAgent::DeleteCountDownTimer();
    EXPECT_EQ(HostapdAgent::StopCountDown(), -1);
    EXPECT_EQ(HostapdAgent::DeleteCountDownTimer(), -1);
}

TEST_F(Countdown, LastTickRaisesAutoDownForTheCountDownCallbackOnly) {
    HostapdAgent::SetWlanCountDown(150);
    ASSERT_EQ(HostapdAgent::StartCountDown(), 0);
    Tick(2);
    EXPECT_TRUE(recorder::Events().empty());
    EXPECT_TRUE(countdown_timer_armed());
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
    EXPECT_TRUE(countdown_timer_armed());
    Tick(2);
    EXPECT_EQ(HostapdAgent::StopCountDown(), 0);
    EXPECT_FALSE(countdown_timer_armed());
    ASSERT_EQ(HostapdAgent::StartCountDown(), 0);
    EXPECT_EQ(HostapdAgent::cur_tick, 3);
    Tick(2);
    EXPECT_TRUE(recorder::Events().empty());
}

using AutoDisTime = SandboxTest;

namespace {

void AddStation(HostapdAgent& agent, const char* mac) {
    StaListItem key;
    key.SetMAC(mac);
    agent.GetStaList()->AddSta(&key);
}

}  // namespace

TEST_F(AutoDisTime, SystemTimeAppliesBeforeTheFirstStationAndUserTimeAfter) {
    agent_test::WriteIdleTimes("900", "600");
    HostapdAgent agent;
    const std::tuple<bool, long, const char*> cases[] = {
        {false, 600, "HostapdAgent::SetAutoDisTime: Set system auto down time [600] sec(s)"},
        {true, 900, "HostapdAgent::SetAutoDisTime: Set auto down time [900] sec(s)"},
    };
    for (const auto& [associated, seconds, log] : cases) {
        HostapdAgent::sta_associated_yet = associated;
        EXPECT_EQ(agent.SetAutoDisTime(), 0);
        EXPECT_EQ(HostapdAgent::GetWlanCountDown(), seconds);
        EXPECT_TRUE(countdown_timer_armed());
        EXPECT_TRUE(logcap::Has(logcap::Level5(), log));
        HostapdAgent::StopCountDown();
    }
    HostapdAgent::sta_associated_yet = false;
}

TEST_F(AutoDisTime, WithStationsTheTimerStaysDisarmed) {
    agent_test::WriteIdleTimes("900", "600");
    HostapdAgent agent;
    HostapdAgent::sta_associated_yet = false;
    AddStation(agent, "aa:bb:cc:dd:ee:01");
    AddStation(agent, "aa:bb:cc:dd:ee:02");
    HostapdAgent::StopCountDown();
    EXPECT_EQ(agent.SetAutoDisTime(), 2);
    EXPECT_EQ(HostapdAgent::GetWlanCountDown(), 900);
    EXPECT_FALSE(countdown_timer_armed());
}

TEST_F(AutoDisTime, MissingSystemTimeDisablesTheCountdown) {
    sandbox::WriteFile("/etc/config/wlan",
                       "config basic_setting 'basic_setting'\n\toption disable_time '900'\n");
    HostapdAgent agent;
    HostapdAgent::sta_associated_yet = false;
    EXPECT_EQ(agent.SetAutoDisTime(), -1);
    EXPECT_EQ(HostapdAgent::GetWlanCountDown(), 0);
    EXPECT_FALSE(countdown_timer_armed());
}
