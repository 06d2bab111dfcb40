// Taking the AP down: StopSpy on a running AP with stations, and the agent's destructor.
#include <algorithm>
#include <string>
#include <vector>

#include "agent/countdown.h"
#include "tests/e2e/e2e_env.h"
#include "tests/support/log_capture.h"
#include "tests/ubus/bus_test_support.h"
#include "wpscli_test.h"

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

// The host answers the end of the idle time by calling StopSpy in its count-down callback, while
// the spy thread still has an event of its own to raise before it can end.
struct IdleStopCase {
    const char* name;
    bool wps_session;   // a push-button session is open: the spy reports its timeout at stop
    bool slow_listing;  // the spy thread is inside its station-list command
};

void PrintTo(const IdleStopCase& c, std::ostream* os) { *os << c.name; }

class StopInCallback : public E2eTest, public ::testing::WithParamInterface<IdleStopCase> {
protected:
    // Puts a wrapper in front of the simulated radio: while /tmp/hold exists, listing the
    // stations marks /tmp/listing and waits.
    static void HoldableStationListing() {
        sandbox::Run("mv /usr/bin/wlarm /usr/bin/wlarm.sim");
        sandbox::WriteFile("/usr/bin/wlarm",
                           "#!/bin/sh\n"
                           "case \"$1\" in\n"
                           "autho_sta_list|assoclist)\n"
                           "  [ -e /tmp/hold ] && touch /tmp/listing\n"
                           "  while [ -e /tmp/hold ]; do sleep 0.05; done ;;\n"
                           "esac\n"
                           "exec /usr/bin/wlarm.sim \"$@\"\n");
        sandbox::Run("chmod 755 /usr/bin/wlarm");
    }
};

TEST_P(StopInCallback, StopSpyReturnsAndTheSpyThreadsLastEventStillArrives) {
    const IdleStopCase& c = GetParam();
    if (c.wps_session) {
        e2e::WriteApConfig({{"wps_state", "2"}, {"eap_server", "1"}});
        const wpscli_test_step until_abort[] = {{BRCM_WPSCLI_CONTINUE, WPSCLI_TEST_UNTIL_ABORT}};
        ASSERT_EQ(wpscli_test_set_exchange(until_abort, 1), 0);
    }
    if (c.slow_listing) HoldableStationListing();
    StartAp();
    HostapdAgent& agent = host_->agent();
    if (c.wps_session) {
        ASSERT_EQ(agent.StartWPS("00000000"), 0);
        ASSERT_EQ(wpscli_test_wait_calls("brcm_wpscli_softap_process_eapwps", 1, kEventWaitMs), 1);
    }
    if (c.slow_listing) {
        sandbox::WriteFile("/tmp/hold", "");
        ASSERT_TRUE(bus_test::WaitUntil([] { return sandbox::Exists("/tmp/listing"); }));
    }

    // 120 s of idle time are two ticks; the callback answers on the countdown's thread.
    size_t mark = host_->EventCount();
    HostapdAgent::WlanAutoDownTimerCb(SIGALRM, nullptr, nullptr);
    HostapdAgent::WlanAutoDownTimerCb(SIGALRM, nullptr, nullptr);
    long expiry = host_->WaitForEvent(HA_WLAN_EVT_AUTO_DOWN, kEventWaitMs, mark);
    ASSERT_GE(expiry, 0);
    // The spy thread finishes its listing while the callback waits in StopSpy.
    if (c.slow_listing) sandbox::Run("rm /tmp/hold");

    ASSERT_TRUE(host_->WaitForActions(1, kEventWaitMs)) << "StopSpy in the callback hangs";
    countdown_wait_ticks_handled();
    EXPECT_EQ(host_->Actions()[0].kind, test_host::HostAction::kStopSpy);
    EXPECT_FALSE(agent.IsRunning());
    EXPECT_EQ(Wlarm("isup"), "0");
    // What the spy thread raised while the callback ran reaches the host after it.
    size_t after = static_cast<size_t>(expiry) + 1;
    if (c.wps_session) {
        long timeout = host_->WaitForEvent(HA_WLAN_EVT_WPS, kEventWaitMs, after);
        ASSERT_GE(timeout, 0);
        EXPECT_EQ(host_->Events()[static_cast<size_t>(timeout)].text, "WPS-TIMEOUT ");
        EXPECT_EQ(agent.GetLastWPSResult(), 3);
    }
    if (c.slow_listing) {
        EXPECT_GE(host_->WaitForStaNum("0", kEventWaitMs, after), 0);
    }
    // Later events are not held up either.
    mark = host_->EventCount();
    host_->HandleMsg(std::string("AP-STA-CONNECTED ") + kMacA);
    EXPECT_GE(host_->WaitForStaNum("1", 0, mark), static_cast<long>(mark));
}

INSTANTIATE_TEST_SUITE_P(E2e, StopInCallback,
                         ::testing::Values(IdleStopCase{"OpenPushButtonSession", true, false},
                                           IdleStopCase{"SlowStationListing", false, true}),
                         [](const ::testing::TestParamInfo<IdleStopCase>& info) {
                             return std::string(info.param.name);
                         });

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
    EXPECT_TRUE(bus_test::WaitUntil([&] { return e2e::ThreadCount() == before; }))
        << e2e::ThreadCount() << " threads, " << before << " before the host";
    EXPECT_EQ(Wlarm("isup"), "0");
}

INSTANTIATE_TEST_SUITE_P(E2e, Teardown, ::testing::Values(false, true),
                         [](const ::testing::TestParamInfo<bool>& info) {
                             return std::string(info.param ? "HostConnection" : "OwnConnection");
                         });
