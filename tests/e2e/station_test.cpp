// Stations joining and leaving the simulated AP, seen by the spy poll and reported by the host,
// and the idle countdown that follows the station count.
#include <string>
#include <vector>

#include "agent/countdown.h"
#include "agent/spy_state.h"
#include "tests/e2e/e2e_env.h"
#include "tests/support/log_capture.h"

using e2e::Broadcasts;
using e2e::kEventWaitMs;
using e2e::kStationMac;
using e2e::Sim;
using test_host::HostEvent;
using test_host::Receiver;

namespace {

struct StationEntry {
    std::string mac, ip, name, connected, online;
};

// The station list as a client asking for it sees it (GetStaList rebuilds it first).
std::vector<StationEntry> ListStations(HostapdAgent& agent) {
    std::vector<StationEntry> entries;
    StaList* list = agent.GetStaList();
    list->_Lock();
    for (StaListItem* item = list->_GetFirst(); item != nullptr; item = item->GetNext())
        entries.push_back({item->GetMAC(), item->GetIP(), item->GetHostName(),
                           item->GetConnectedTime(), item->GetOnlineTime()});
    list->_Unlock();
    return entries;
}

bool IsStaNum(const HostEvent& e) { return e.type == HA_WLAN_EVT_STA_NUM; }

}  // namespace

class Stations : public E2eTest {
protected:
    // Waits for the next n station count events after the mark; returns the index of the last,
    // or -1. Each poll cycle of the spy thread raises one.
    long WaitForCounts(size_t mark, int n) {
        long at = static_cast<long>(mark) - 1;
        for (int i = 0; i < n && (i == 0 || at >= 0); ++i)
            at = host_->WaitFor(IsStaNum, kEventWaitMs, static_cast<size_t>(at + 1));
        return at;
    }

    // Station count texts raised from the mark on, in order.
    std::vector<std::string> CountsSince(size_t mark) {
        std::vector<std::string> counts;
        std::vector<HostEvent> events = host_->Events();
        for (size_t i = mark; i < events.size(); ++i)
            if (IsStaNum(events[i])) counts.push_back(events[i].text);
        return counts;
    }
};

TEST_F(Stations, AuthorisedStationIsCountedWithinOnePoll) {
    StartAp();
    ASSERT_GE(WaitForCounts(0, 2), 0);
    EXPECT_TRUE(countdown_timer_armed()) << "no station: the idle countdown runs";

    // Associated but without the key handshake: not on the authorised list yet.
    ASSERT_TRUE(Sim(std::string("sta add ") + kStationMac));
    size_t mark = host_->EventCount();
    ASSERT_GE(WaitForCounts(mark, 2), 0);
    EXPECT_EQ(CountsSince(mark).back(), "0");

    ASSERT_TRUE(Sim(std::string("sta auth ") + kStationMac));
    mark = host_->EventCount();
    // The cycle in flight may have listed the radio before the handshake; the next one counts.
    ASSERT_GE(WaitForCounts(mark, 2), 0);
    std::vector<std::string> counts = CountsSince(mark);
    ASSERT_GE(counts.size(), 2u);
    EXPECT_EQ(counts[1], "1");
    ASSERT_GE(WaitForCounts(host_->EventCount(), 1), 0);  // that cycle has finished
    EXPECT_FALSE(countdown_timer_armed()) << "a station is associated: no idle countdown";
    EXPECT_EQ(Broadcasts("current_sta_num").back(), "1");
    for (const HostEvent& e : host_->Events())
        if (IsStaNum(e)) {
            EXPECT_EQ(e.receiver, Receiver::kRegistered);
        }

    ASSERT_TRUE(Sim(std::string("sta del ") + kStationMac));
    mark = host_->EventCount();
    ASSERT_GE(host_->WaitForStaNum("0", kEventWaitMs, mark), 0);
    ASSERT_GE(WaitForCounts(host_->EventCount(), 1), 0);
    EXPECT_TRUE(countdown_timer_armed()) << "the count fell to zero";
}

TEST_F(Stations, OpenNetworkCountsAssociatedStations) {
    e2e::WriteApConfig({{"wpa", "0"}});
    StartAp();
    EXPECT_STREQ(spy_command_snapshot().spy_cmd, "wlarm assoclist");
    EXPECT_EQ(spy_command_snapshot().spy_mac_offset, 9);
    EXPECT_EQ(e2e::SimGet("bss0.wsec"), "0");

    ASSERT_TRUE(Sim(std::string("sta add ") + kStationMac));
    ASSERT_GE(host_->WaitForStaNum("1", kEventWaitMs, host_->EventCount()), 0);
    std::vector<StationEntry> stations = ListStations(host_->agent());
    ASSERT_EQ(stations.size(), 1u);
    EXPECT_EQ(stations[0].mac, kStationMac);
}

TEST_F(Stations, HostReportsJoinAndLeaveAndTheIdleCountdownSwitchesOff) {
    StartAp();
    ASSERT_GE(WaitForCounts(0, 2), 0);
    HostapdAgent& agent = host_->agent();
    const std::string mac = "02:aa:bb:cc:dd:01";
    const std::string upper_mac = "02:AA:BB:CC:DD:01";
    e2e::AddNeighbour(mac, "192.0.2.21", "laptop-b");

    // The host's control interface reports the join before the radio lists the station.
    size_t mark = host_->EventCount();
    host_->HandleMsg("<3>AP-STA-CONNECTED " + mac);
    EXPECT_EQ(agent.GetStaNum(), 1);
    EXPECT_GE(host_->WaitForStaNum("1", 0, mark), static_cast<long>(mark));
    EXPECT_EQ(Broadcasts("current_sta_num").back(), "1");
    EXPECT_FALSE(countdown_timer_armed());
    EXPECT_TRUE(logcap::Has(logcap::User(), "STA JOIN [" + mac + "]"));

    // Once the radio lists it, a client sees its address and name.
    ASSERT_TRUE(Sim("sta auth " + mac));
    ASSERT_GE(host_->WaitForStaNum("1", kEventWaitMs, host_->EventCount()), 0);
    std::vector<StationEntry> stations = ListStations(agent);
    ASSERT_EQ(stations.size(), 1u);
    EXPECT_EQ(stations[0].ip, "192.0.2.21");
    EXPECT_EQ(stations[0].name, "laptop-b");

    // It leaves the radio; the next poll sees the empty list, then the host reports the leave
    // (with the MAC in another letter case).
    ASSERT_TRUE(Sim("sta del " + mac));
    ASSERT_GE(host_->WaitForStaNum("0", kEventWaitMs, host_->EventCount()), 0);
    ASSERT_EQ(agent.GetStaNum(), 1) << "polls add stations, they never remove them";
    mark = host_->EventCount();
    host_->HandleMsg("<3>AP-STA-DISCONNECTED " + upper_mac);
    EXPECT_EQ(agent.GetStaNum(), 0);
    EXPECT_GE(host_->WaitForStaNum("0", 0, mark), static_cast<long>(mark));
    EXPECT_EQ(Broadcasts("current_sta_num").back(), "0");
    EXPECT_TRUE(countdown_timer_armed());

    // 120 s of idle time are two one-minute ticks; only the count-down callback hears the end.
    ASSERT_EQ(HostapdAgent::GetWlanCountDown(), 120);
    HostapdAgent::WlanAutoDownTimerCb(SIGALRM, nullptr, nullptr);
    countdown_wait_ticks_handled();
    EXPECT_LT(host_->WaitForEvent(HA_WLAN_EVT_AUTO_DOWN, 0), 0) << "one tick is not enough";
    EXPECT_TRUE(countdown_timer_armed());
    HostapdAgent::WlanAutoDownTimerCb(SIGALRM, nullptr, nullptr);
    countdown_wait_ticks_handled();
    long expiry = host_->WaitForEvent(HA_WLAN_EVT_AUTO_DOWN, 0);
    ASSERT_GE(expiry, 0);
    for (const HostEvent& e : host_->Events())
        if (e.type == HA_WLAN_EVT_AUTO_DOWN) {
            EXPECT_EQ(e.receiver, Receiver::kCountDown);
            EXPECT_EQ(e.value, 1);
        }
    EXPECT_FALSE(countdown_timer_armed());
    EXPECT_TRUE(logcap::Has(logcap::User(), "WLAN Auto Down time out."));

    // The host answers with StopSpy: the AP goes down.
    ASSERT_TRUE(host_->WaitForActions(1, kEventWaitMs));
    EXPECT_EQ(host_->Actions()[0].kind, test_host::HostAction::kStopSpy);
    EXPECT_EQ(e2e::Wlarm("isup"), "0");
    EXPECT_EQ(Broadcasts("wlan_switch").back(), "off");
    EXPECT_FALSE(agent.IsRunning());
}
