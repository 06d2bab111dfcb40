// Stations joining and leaving the simulated AP, as the spy poll sees them.
#include <algorithm>

#include "tests/e2e/e2e_env.h"

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
    // Polls count what the radio lists; only the host's leave message removes a station. The
    // host's join and leave are counted and broadcast at once ("2" is no poll's count).
    ASSERT_TRUE(Sim(std::string("sta del ") + kStationMac));
    EXPECT_EQ(NextCount(2), "0");
    EXPECT_EQ(host_->agent().GetStaNum(), 1);
    const size_t mark = host_->EventCount();
    host_->HandleMsg("<3>AP-STA-CONNECTED 02:aa:bb:cc:dd:01");
    EXPECT_GE(host_->WaitForStaNum("2", 0, mark), static_cast<long>(mark));
    const std::vector<std::string> counts = Broadcasts("current_sta_num");
    EXPECT_EQ(std::count(counts.begin(), counts.end(), "2"), 1);
    host_->HandleMsg("<3>AP-STA-DISCONNECTED 02:AA:BB:CC:DD:01");
    EXPECT_EQ(host_->agent().GetStaNum(), 1);
}
