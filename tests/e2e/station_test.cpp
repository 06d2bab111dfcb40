// Stations joining and leaving the simulated AP, seen by the spy poll and reported by the host;
// the idle countdown runs while there is none.
#include "agent/countdown.h"
#include "tests/e2e/e2e_env.h"
#include "tests/support/log_capture.h"

using namespace e2e;
using test_host::HostEvent;
using test_host::Receiver;

namespace {

bool IsStaNum(const HostEvent& e) { return e.type == HA_WLAN_EVT_STA_NUM; }

class Stations : public E2eTest {
protected:
    // The text of the nth station count event from now (one per poll cycle), "" if none came.
    std::string NextCount(int n) {
        long at = static_cast<long>(host_->EventCount()) - 1;
        for (int i = 0; i < n && (i == 0 || at >= 0); ++i)
            at = host_->WaitFor(IsStaNum, kEventWaitMs, static_cast<size_t>(at + 1));
        return at < 0 ? "" : host_->Events()[static_cast<size_t>(at)].text;
    }
};

}  // namespace

TEST_F(Stations, AuthorisedStationIsCountedWithinOnePoll) {
    StartAp();
    // Associated but without the key handshake: not on the authorised list yet.
    ASSERT_TRUE(Sim(std::string("sta add ") + kStationMac));
    EXPECT_EQ(NextCount(2), "0");
    ASSERT_TRUE(Sim(std::string("sta auth ") + kStationMac));
    // The cycle in flight may have listed the radio before the handshake; the next one counts.
    EXPECT_EQ(NextCount(2), "1");
    EXPECT_EQ(Broadcasts("current_sta_num").back(), "1");
    for (const HostEvent& e : host_->Events())
        EXPECT_TRUE(!IsStaNum(e) || e.receiver == Receiver::kRegistered);
}

TEST_F(Stations, HostReportsJoinAndLeave) {
    StartAp();
    ASSERT_NE(NextCount(1), "");
    HostapdAgent& agent = host_->agent();
    const std::string mac = "02:aa:bb:cc:dd:01";
    AddNeighbour(mac, "192.0.2.21", "laptop-b");
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
    StaList* list = agent.GetStaList();  // rebuilt for a client asking for it
    list->_Lock();
    StaListItem* item = list->_GetFirst();
    const std::string seen =
        item == nullptr || item->GetNext() != nullptr
            ? "not one station"
            : std::string(item->GetMAC()) + " " + item->GetIP() + " " + item->GetHostName();
    list->_Unlock();
    EXPECT_EQ(seen, mac + " 192.0.2.21 laptop-b");
    // It leaves the radio; the next poll sees the empty list, then the host reports the leave
    // (with the MAC in another letter case).
    ASSERT_TRUE(Sim("sta del " + mac));
    ASSERT_GE(host_->WaitForStaNum("0", kEventWaitMs, host_->EventCount()), 0);
    ASSERT_EQ(agent.GetStaNum(), 1) << "polls add stations, they never remove them";
    mark = host_->EventCount();
    host_->HandleMsg("<3>AP-STA-DISCONNECTED 02:AA:BB:CC:DD:01");
    EXPECT_EQ(agent.GetStaNum(), 0);
    EXPECT_GE(host_->WaitForStaNum("0", 0, mark), static_cast<long>(mark));
    EXPECT_EQ(Broadcasts("current_sta_num").back(), "0");
    EXPECT_TRUE(countdown_timer_armed());
}
