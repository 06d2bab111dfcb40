// Taking the AP down: StopSpy on a running AP with stations, and the agent's destructor.
#include <algorithm>
#include <string>
#include <vector>

#include "agent/countdown.h"
#include "tests/e2e/e2e_env.h"
#include "tests/support/log_capture.h"

using e2e::Broadcasts;
using e2e::kEventWaitMs;
using e2e::Sim;
using e2e::Wlarm;
using e2e::WlarmCallsOf;

namespace {

const char* const kMacA = "02:00:00:00:00:0a";
const char* const kMacB = "02:00:00:00:00:0b";

bool Has(const std::vector<std::string>& lines, const std::string& line) {
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

}  // namespace

using Stop = E2eTest;

TEST_F(Stop, StopSpyDeauthenticatesEveryStationAndTakesTheRadioDown) {
    StartAp();
    ASSERT_TRUE(Sim(std::string("sta auth ") + kMacA + " " + kMacB));
    ASSERT_GE(host_->WaitForStaNum("2", kEventWaitMs, host_->EventCount()), 0);
    size_t polls_before = WlarmCallsOf("autho_sta_list").size();

    EXPECT_EQ(host_->StopSpy(), 0);

    // At most the poll in flight and the listing for the deauthentication: StopSpy did not
    // wait through further poll cycles.
    EXPECT_LE(WlarmCallsOf("autho_sta_list").size() - polls_before, 2u);
    std::vector<std::string> deauths = WlarmCallsOf("deauthenticate");
    EXPECT_TRUE(Has(deauths, std::string("deauthenticate ") + kMacA));
    EXPECT_TRUE(Has(deauths, std::string("deauthenticate ") + kMacB));
    EXPECT_EQ(Wlarm("assoclist"), "");
    EXPECT_EQ(Wlarm("isup"), "0");

    HostapdAgent& agent = host_->agent();
    EXPECT_FALSE(agent.IsRunning());
    EXPECT_FALSE(agent.GetWlanOn());
    EXPECT_EQ(agent.GetStaNum(), 0);
    EXPECT_FALSE(countdown_timer_armed());
    EXPECT_EQ(Broadcasts("wlan_switch"), (std::vector<std::string>{"on", "off"}));
    EXPECT_TRUE(logcap::Has(logcap::User(), "WLAN DOWN"));

    // The bus side stays for the next start.
    EXPECT_NE(agent.GetUbusAssistant(), nullptr);
}

TEST_F(Stop, FailingDeauthenticationStillTakesTheRadioDown) {
    StartAp();
    ASSERT_TRUE(Sim(std::string("sta auth ") + kMacA));
    ASSERT_GE(host_->WaitForStaNum("1", kEventWaitMs, host_->EventCount()), 0);
    ASSERT_TRUE(Sim("fault fail deauthenticate"));

    EXPECT_EQ(host_->StopSpy(), 0);
    EXPECT_TRUE(logcap::Contains("Deauthenticate all online station failed"));
    EXPECT_EQ(Wlarm("isup"), "0");
}

class Teardown : public E2eTest, public ::testing::WithParamInterface<bool> {};

TEST_P(Teardown, DestructorLeavesNoThreadRunning) {
    e2e::WriteApConfig({{"wps_state", "2"}, {"eap_server", "1"}});
    countdown_wait_ticks_handled();  // the countdown's worker lives for the whole process
    const int before = e2e::ThreadCount();

    test_host::Options options;
    options.host_connection = GetParam();
    MakeHost(options);
    StartAp();
    ASSERT_TRUE(host_->agent().IsWPSFeatured());
    ASSERT_TRUE(Sim(std::string("sta auth ") + kMacA));
    ASSERT_GE(host_->WaitForStaNum("1", kEventWaitMs, host_->EventCount()), 0);
    EXPECT_GT(e2e::ThreadCount(), before);

    host_.reset();

    // Detached threads leave the task list a moment after they have finished their work.
    EXPECT_TRUE(e2e::WaitUntil([&] { return e2e::ThreadCount() == before; }))
        << e2e::ThreadCount() << " threads, " << before << " before the host";
    EXPECT_EQ(Wlarm("isup"), "0");
}

INSTANTIATE_TEST_SUITE_P(E2e, Teardown, ::testing::Values(false, true),
                         [](const ::testing::TestParamInfo<bool>& info) {
                             return std::string(info.param ? "HostConnection" : "OwnConnection");
                         });
