#include <gtest/gtest.h>
#include <limits.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <thread>

#include "agent/countdown.h"
#include "agent/event_delivery.h"
#include "hostapd_agent.h"
#include "tests/agent/agent_test_support.h"

using recorder::Callback;

namespace {

// Traces read "callback:type:payload"; types 1 STA_NUM, 2 WPS, 3 AUTO_DOWN, 4 KEY_CLICK,
// 5 WLAN_ON, 6 WLAN_OFF.
class EventRegistry : public ::testing::Test {
protected:
    void SetUp() override {
        HostapdAgent::DeinitEventCb();
        ASSERT_EQ(HostapdAgent::InitEventCb(), 0);
        recorder::Clear();
    }
    void TearDown() override {
        HostapdAgent::StopCountDown();
        HostapdAgent::DeinitEventCb();
    }

    static void Raise(ha_wlan_event_type type, intptr_t value = 1) {
        HostapdAgent::InvokeEventCbs(type, reinterpret_cast<void*>(value));
    }
    static void Tick(int times) {
        for (int i = 0; i < times; ++i)
            HostapdAgent::WlanAutoDownTimerCb(SIGALRM, nullptr, nullptr);
        countdown_wait_ticks_handled();
    }
};

using Countdown = EventRegistry;

}  // namespace

TEST_F(EventRegistry, FourSlotsAndAFreedSlotIsReusedInPlace) {
    EXPECT_EQ(HostapdAgent::RegisterEventCb(nullptr), -1);
    for (auto cb : {Callback<1>, Callback<2>, Callback<3>, Callback<4>})
        ASSERT_EQ(HostapdAgent::RegisterEventCb(cb), 0);
    EXPECT_EQ(HostapdAgent::RegisterEventCb(Callback<5>), -1);
    EXPECT_EQ(HostapdAgent::UnregisterEventCb(Callback<2>), 0);
    EXPECT_EQ(HostapdAgent::UnregisterEventCb(Callback<2>), -1);
    EXPECT_EQ(wlan_mgr_event_cb_reg(Callback<5>), 0);
    EXPECT_EQ(wlan_mgr_event_cb_reg(Callback<6>), -1);
    Raise(HA_WLAN_EVT_KEY_CLICK);
    EXPECT_EQ(recorder::Trace(), "1:4:1 5:4:1 3:4:1 4:4:1 ");
    EXPECT_EQ(wlan_mgr_event_cb_unreg(Callback<5>), 0);
}

// The count-down callback hears only AUTO_DOWN and WLAN_OFF; clearing or tearing down the
// registry silences everything until the next init, and a second init keeps the callbacks.
TEST_F(EventRegistry, CountDownCallbackAndClearAndTeardown) {
    HostapdAgent::RegCountDownCb(Callback<0>);
    ASSERT_EQ(HostapdAgent::RegisterEventCb(Callback<1>), 0);
    EXPECT_EQ(HostapdAgent::InitEventCb(), -1);
    Raise(HA_WLAN_EVT_AUTO_DOWN);
    Raise(HA_WLAN_EVT_KEY_CLICK);
    Raise(HA_WLAN_EVT_WLAN_OFF, 3);
    const std::string heard = "0:3:1 1:4:1 0:6:3 ";
    EXPECT_EQ(recorder::Trace(), heard);

    HostapdAgent::ClearEventCbs();
    Raise(HA_WLAN_EVT_KEY_CLICK);
    EXPECT_EQ(HostapdAgent::DeinitEventCb(), 0);
    HostapdAgent::RegCountDownCb(Callback<0>);
    EXPECT_EQ(HostapdAgent::RegisterEventCb(Callback<1>), -1);
    Raise(HA_WLAN_EVT_AUTO_DOWN);
    EXPECT_EQ(recorder::Trace(), heard);

    ASSERT_EQ(HostapdAgent::InitEventCb(), 0);
    ASSERT_EQ(HostapdAgent::RegisterEventCb(Callback<1>), 0);
    Raise(HA_WLAN_EVT_KEY_CLICK);
    EXPECT_EQ(recorder::Trace(), heard + "1:4:1 ");
}

TEST_F(EventRegistry, CallbackMayUseTheRegistryAndWhatItRaisesFollowsIt) {
    auto reentrant = [](ha_wlan_event_type type, void* data) {
        Callback<1>(type, data);
        if (type != HA_WLAN_EVT_KEY_CLICK) return;
        EXPECT_EQ(HostapdAgent::RegisterEventCb(Callback<2>), 0);
        Raise(HA_WLAN_EVT_WLAN_ON);
        EXPECT_EQ(recorder::Events().size(), 1u) << "delivered inside the running callback";
    };
    ASSERT_EQ(HostapdAgent::RegisterEventCb(reentrant), 0);
    Raise(HA_WLAN_EVT_KEY_CLICK);
    // Each slot is read when its turn comes, so the new callback hears the rest of the event.
    EXPECT_EQ(recorder::Trace(), "1:4:1 2:4:1 1:5:1 2:5:1 ");
}

// While a host callback runs on one thread (it may be waiting in StopSpy for the spy thread), a
// raise on the spy thread returns at once and its event follows; a raise on another host thread
// returns only once its event has been delivered.
TEST_F(EventRegistry, RaiseDuringAnotherDeliveryOnlyWaitsOnAHostThread) {
    static std::atomic<bool> inside{false};
    static std::atomic<bool> release{false};
    inside = false;
    release = false;
    auto blocking = [](ha_wlan_event_type type, void* data) {
        Callback<1>(type, data);
        if (type != HA_WLAN_EVT_KEY_CLICK) return;
        inside = true;
        while (!release) usleep(1000);
    };
    ASSERT_EQ(HostapdAgent::RegisterEventCb(blocking), 0);
    std::thread host([] { Raise(HA_WLAN_EVT_KEY_CLICK); });
    while (!inside) usleep(1000);

    std::thread spy([] {
        event_raiser_never_waits();
        char count[] = "3";
        HostapdAgent::InvokeEventCbs(HA_WLAN_EVT_STA_NUM, count);
        count[0] = '9';  // the text is valid only during the raise
    });
    spy.join();
    EXPECT_EQ(recorder::Events().size(), 1u) << "two events delivered at the same time";

    std::atomic<size_t> seen_on_return{0};
    std::thread other_host([&] {
        Raise(HA_WLAN_EVT_WLAN_ON);
        seen_on_return = recorder::Events().size();
    });
    usleep(200 * 1000);
    release = true;
    host.join();
    other_host.join();
    EXPECT_EQ(seen_on_return.load(), 3u) << "host raise returned before its delivery";
    EXPECT_EQ(recorder::Trace(), "1:4:1 1:1:3 1:5:1 ");
}

TEST_F(Countdown, IdleTimeIsRoundedUpToMinutes) {
    // LONG_MAX seconds: 35791395 minutes where long has 32 bits, more than the tick count holds
    // where it has 64.
    const int longest = static_cast<int>(std::min<long long>(LONG_MAX / 60 + 1, INT32_MAX));
    for (auto [seconds, ticks] :
         {std::pair{60L, 1}, {61L, 2}, {600L, 10}, {1L, 1}, {0L, 0}, {LONG_MAX, longest}}) {
        HostapdAgent::SetWlanCountDown(seconds);
        HostapdAgent::ResetCountDown();
        EXPECT_EQ(HostapdAgent::cur_tick, ticks) << seconds;
    }
}

TEST_F(Countdown, RestartBeginsFromTheFullTimeAndTheLastTickTellsTheCountDownCallback) {
    HostapdAgent::RegCountDownCb(Callback<0>);
    ASSERT_EQ(HostapdAgent::RegisterEventCb(Callback<1>), 0);
    HostapdAgent::SetWlanCountDown(150);
    ASSERT_EQ(HostapdAgent::StartCountDown(), 0);
    Tick(2);
    EXPECT_EQ(HostapdAgent::StopCountDown(), 0);
    EXPECT_FALSE(countdown_timer_armed());
    ASSERT_EQ(HostapdAgent::StartCountDown(), 0);
    EXPECT_EQ(HostapdAgent::cur_tick, 3);
    Tick(2);
    EXPECT_TRUE(recorder::Events().empty());
    Tick(1);
    EXPECT_EQ(recorder::Trace(), "0:3:1 ");  // AUTO_DOWN for the count-down callback only
    EXPECT_FALSE(countdown_timer_armed());
}
