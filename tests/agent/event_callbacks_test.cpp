#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <thread>

#include "agent/event_delivery.h"
#include "hostapd_agent.h"
#include "tests/agent/event_recorder.h"

using recorder::Callback;

namespace {

class EventRegistry : public ::testing::Test {
protected:
    void SetUp() override {
        HostapdAgent::DeinitEventCb();
        ASSERT_EQ(HostapdAgent::InitEventCb(), 0);
        recorder::Clear();
    }
    void TearDown() override { HostapdAgent::DeinitEventCb(); }

    static void* Payload(intptr_t value) { return reinterpret_cast<void*>(value); }
};

}  // namespace

TEST_F(EventRegistry, AtMostFourCallbacksAndNoNull) {
    EXPECT_EQ(HostapdAgent::RegisterEventCb(nullptr), -1);
    EXPECT_EQ(HostapdAgent::RegisterEventCb(Callback<1>), 0);
    EXPECT_EQ(HostapdAgent::RegisterEventCb(Callback<2>), 0);
    EXPECT_EQ(HostapdAgent::RegisterEventCb(Callback<3>), 0);
    EXPECT_EQ(HostapdAgent::RegisterEventCb(Callback<4>), 0);
    EXPECT_EQ(HostapdAgent::RegisterEventCb(Callback<5>), -1);
    HostapdAgent::InvokeEventCbs(HA_WLAN_EVT_WLAN_ON, Payload(1));
    EXPECT_TRUE(recorder::EventsOf(5).empty());
}

TEST_F(EventRegistry, UnregisteringFreesTheSlotForTheNextCallback) {
    EXPECT_EQ(HostapdAgent::UnregisterEventCb(Callback<1>), -1);
    for (auto cb : {Callback<1>, Callback<2>, Callback<3>, Callback<4>})
        ASSERT_EQ(HostapdAgent::RegisterEventCb(cb), 0);
    EXPECT_EQ(HostapdAgent::UnregisterEventCb(Callback<2>), 0);
    EXPECT_EQ(HostapdAgent::UnregisterEventCb(Callback<2>), -1);
    EXPECT_EQ(HostapdAgent::RegisterEventCb(Callback<5>), 0);
    HostapdAgent::InvokeEventCbs(HA_WLAN_EVT_KEY_CLICK, Payload(1));
    std::vector<int> called;
    for (const auto& event : recorder::Events()) called.push_back(event.callback);
    // Callback 5 took the slot callback 2 left, so it is called second.
    EXPECT_EQ(called, (std::vector<int>{1, 5, 3, 4}));
}

TEST_F(EventRegistry, CountDownCallbackGetsOnlyAutoDownAndWlanOff) {
    HostapdAgent::RegCountDownCb(Callback<0>);
    ASSERT_EQ(HostapdAgent::RegisterEventCb(Callback<1>), 0);
    char count[] = "3";
    char wps[] = "WPS-SUCCESS ";
    HostapdAgent::InvokeEventCbs(HA_WLAN_EVT_STA_NUM, count);
    HostapdAgent::InvokeEventCbs(HA_WLAN_EVT_WPS, wps);
    HostapdAgent::InvokeEventCbs(HA_WLAN_EVT_AUTO_DOWN, Payload(1));
    HostapdAgent::InvokeEventCbs(HA_WLAN_EVT_KEY_CLICK, Payload(1));
    HostapdAgent::InvokeEventCbs(HA_WLAN_EVT_WLAN_ON, Payload(1));
    HostapdAgent::InvokeEventCbs(HA_WLAN_EVT_WLAN_OFF, Payload(3));

    auto count_down = recorder::EventsOf(0);
    ASSERT_EQ(count_down.size(), 2u);
    EXPECT_EQ(count_down[0].type, HA_WLAN_EVT_AUTO_DOWN);
    EXPECT_EQ(count_down[0].value, 1);
    EXPECT_EQ(count_down[1].type, HA_WLAN_EVT_WLAN_OFF);
    EXPECT_EQ(count_down[1].value, 3);

    auto registered = recorder::EventsOf(1);
    ASSERT_EQ(registered.size(), 4u);
    EXPECT_EQ(registered[0].type, HA_WLAN_EVT_STA_NUM);
    EXPECT_EQ(registered[0].text, "3");
    EXPECT_EQ(registered[1].text, "WPS-SUCCESS ");
    EXPECT_EQ(registered[2].type, HA_WLAN_EVT_KEY_CLICK);
    EXPECT_EQ(registered[3].type, HA_WLAN_EVT_WLAN_ON);
}

TEST_F(EventRegistry, ClearRemovesTheCountDownCallbackToo) {
    HostapdAgent::RegCountDownCb(Callback<0>);
    ASSERT_EQ(HostapdAgent::RegisterEventCb(Callback<1>), 0);
    HostapdAgent::ClearEventCbs();
    HostapdAgent::InvokeEventCbs(HA_WLAN_EVT_AUTO_DOWN, Payload(1));
    HostapdAgent::InvokeEventCbs(HA_WLAN_EVT_KEY_CLICK, Payload(1));
    EXPECT_TRUE(recorder::Events().empty());
}

TEST_F(EventRegistry, PlainExportedFunctionsForwardToTheRegistry) {
    EXPECT_EQ(wlan_mgr_event_cb_reg(Callback<1>), 0);
    EXPECT_EQ(wlan_mgr_event_cb_reg(Callback<1>), -1);
    HostapdAgent::InvokeEventCbs(HA_WLAN_EVT_KEY_CLICK, Payload(1));
    EXPECT_EQ(wlan_mgr_event_cb_unreg(Callback<1>), 0);
    EXPECT_EQ(wlan_mgr_event_cb_unreg(Callback<1>), -1);
    HostapdAgent::InvokeEventCbs(HA_WLAN_EVT_KEY_CLICK, Payload(1));
    EXPECT_EQ(recorder::EventsOf(1).size(), 1u);
}

TEST_F(EventRegistry, SecondInitIsRefusedAndTornDownRegistryDeliversNothing) {
    ASSERT_EQ(HostapdAgent::RegisterEventCb(Callback<1>), 0);
    EXPECT_EQ(HostapdAgent::InitEventCb(), -1);
    HostapdAgent::InvokeEventCbs(HA_WLAN_EVT_KEY_CLICK, Payload(1));
    EXPECT_EQ(recorder::EventsOf(1).size(), 1u);  // the callbacks were kept

    HostapdAgent::RegCountDownCb(Callback<0>);
    EXPECT_EQ(HostapdAgent::DeinitEventCb(), 0);
    EXPECT_EQ(HostapdAgent::DeinitEventCb(), 0);
    HostapdAgent::RegCountDownCb(Callback<0>);
    HostapdAgent::InvokeEventCbs(HA_WLAN_EVT_AUTO_DOWN, Payload(1));
    HostapdAgent::InvokeEventCbs(HA_WLAN_EVT_KEY_CLICK, Payload(1));
    EXPECT_EQ(HostapdAgent::RegisterEventCb(Callback<1>), -1);
    EXPECT_EQ(recorder::Events().size(), 1u);

    ASSERT_EQ(HostapdAgent::InitEventCb(), 0);
    ASSERT_EQ(HostapdAgent::RegisterEventCb(Callback<1>), 0);
    HostapdAgent::InvokeEventCbs(HA_WLAN_EVT_KEY_CLICK, Payload(1));
    EXPECT_EQ(recorder::EventsOf(1).size(), 2u);
}

TEST_F(EventRegistry, CallbackMayUseTheRegistryAndWhatItRaisesFollowsIt) {
    auto reentrant = [](ha_wlan_event_type type, void* data) {
        Callback<1>(type, data);
        if (type != HA_WLAN_EVT_KEY_CLICK) return;
        EXPECT_EQ(HostapdAgent::RegisterEventCb(Callback<2>), 0);
        HostapdAgent::InvokeEventCbs(HA_WLAN_EVT_WLAN_ON, Payload(1));
        EXPECT_EQ(recorder::Events().size(), 1u) << "delivered inside the running callback";
    };
    ASSERT_EQ(HostapdAgent::RegisterEventCb(reentrant), 0);
    HostapdAgent::InvokeEventCbs(HA_WLAN_EVT_KEY_CLICK, Payload(1));
    std::vector<std::pair<int, ha_wlan_event_type>> seen;
    for (const auto& event : recorder::Events()) seen.push_back({event.callback, event.type});
    // Each slot is read when its turn comes, so the new callback hears the rest of the event.
    EXPECT_EQ(seen, (std::vector<std::pair<int, ha_wlan_event_type>>{{1, HA_WLAN_EVT_KEY_CLICK},
                                                                     {2, HA_WLAN_EVT_KEY_CLICK},
                                                                     {1, HA_WLAN_EVT_WLAN_ON},
                                                                     {2, HA_WLAN_EVT_WLAN_ON}}));
}

// The spy thread raises while a host callback runs elsewhere, and that callback may be waiting
// in StopSpy for the spy thread: the raise must return at once, and its event comes after.
TEST_F(EventRegistry, SpyThreadRaiseDuringAnotherDeliveryReturnsAndKeepsItsText) {
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
    std::thread host([] { HostapdAgent::InvokeEventCbs(HA_WLAN_EVT_KEY_CLICK, Payload(1)); });
    while (!inside) usleep(1000);

    std::thread spy([] {
        event_raiser_never_waits();
        char count[] = "3";
        HostapdAgent::InvokeEventCbs(HA_WLAN_EVT_STA_NUM, count);
        count[0] = '9';  // the text is valid only during the raise
    });
    spy.join();
    EXPECT_EQ(recorder::Events().size(), 1u) << "two events delivered at the same time";

    release = true;
    host.join();
    auto events = recorder::Events();
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(events[1].type, HA_WLAN_EVT_STA_NUM);
    EXPECT_EQ(events[1].text, "3");
}
