// Taking the AP down: StopSpy from the host's count-down callback, and the agent's destructor.
#include <filesystem>

#include "agent/countdown.h"
#include "tests/e2e/e2e_env.h"
#include "tests/support/log_capture.h"
#include "wpscli_test.h"

using namespace e2e;

namespace {

const std::string kMacA = "02:00:00:00:00:0a";

long ThreadCount() {
    namespace fs = std::filesystem;
    return std::distance(fs::directory_iterator("/proc/self/task"), fs::directory_iterator());
}

}  // namespace

// The host answers the end of the idle time by calling StopSpy in its count-down callback, while
// the spy thread still has an event of its own to raise before it can end: the timeout of an
// open push-button session, or the count of the station listing it is inside.
class StopInCallback : public E2eTest, public ::testing::WithParamInterface<bool> {};

TEST_P(StopInCallback, StopSpyReturnsAndTheSpyThreadsLastEventStillArrives) {
    const bool wps_session = GetParam();
    if (wps_session) {
        WriteApConfig(kWps);
        const wpscli_test_step until_abort[] = {{BRCM_WPSCLI_CONTINUE, WPSCLI_TEST_UNTIL_ABORT}};
        ASSERT_EQ(wpscli_test_set_exchange(until_abort, 1), 0);
    } else {  // while /tmp/hold exists, listing the stations marks /tmp/listing and waits
        WrapWlarm(
            "case \"$1\" in\n"
            "autho_sta_list|assoclist)\n"
            "  [ -e /tmp/hold ] && touch /tmp/listing\n"
            "  while [ -e /tmp/hold ]; do sleep 0.05; done ;;\n"
            "esac\n");
    }
    StartAp();
    HostapdAgent& agent = host_->agent();
    if (wps_session) {
        ASSERT_EQ(agent.StartWPS("00000000"), 0);
        ASSERT_EQ(wpscli_test_wait_calls("brcm_wpscli_softap_process_eapwps", 1, kEventWaitMs), 1);
    } else {
        sandbox::WriteFile("/tmp/hold", "");
        ASSERT_TRUE(WaitUntil([] { return sandbox::Exists("/tmp/listing"); }));
    }
    // 120 s of idle time are two one-minute ticks; the count-down callback answers the end on
    // the countdown's thread.
    ASSERT_EQ(HostapdAgent::GetWlanCountDown(), 120);
    size_t mark = host_->EventCount();
    for (int tick = 0; tick < 2; ++tick)
        HostapdAgent::WlanAutoDownTimerCb(SIGALRM, nullptr, nullptr);
    long expiry = host_->WaitFor(Event(HA_WLAN_EVT_AUTO_DOWN, 1), kEventWaitMs, mark);
    ASSERT_GE(expiry, 0);
    // The spy thread finishes its listing while the callback waits in StopSpy.
    if (!wps_session) sandbox::Run("rm /tmp/hold");

    ASSERT_TRUE(host_->WaitForActions(1, kEventWaitMs)) << "StopSpy in the callback hangs";
    countdown_wait_ticks_handled();
    EXPECT_EQ(host_->Actions()[0].kind, test_host::HostAction::kStopSpy);
    EXPECT_FALSE(agent.IsRunning());
    EXPECT_FALSE(countdown_timer_armed());
    EXPECT_EQ(Wlarm("isup"), "0");
    EXPECT_EQ(Broadcasts("wlan_switch").back(), "off");
    EXPECT_TRUE(logcap::Has(logcap::User(), "WLAN DOWN"));
    EXPECT_NE(agent.GetUbusAssistant(), nullptr) << "the bus side stays for the next start";
    // What the spy thread raised while the callback ran reaches the host after it.
    size_t after = static_cast<size_t>(expiry) + 1;
    if (wps_session) {
        long timeout = host_->WaitForEvent(HA_WLAN_EVT_WPS, kEventWaitMs, after);
        ASSERT_GE(timeout, 0);
        EXPECT_EQ(host_->Events()[static_cast<size_t>(timeout)].text, "WPS-TIMEOUT ");
        EXPECT_EQ(agent.GetLastWPSResult(), 3);
    } else {
        EXPECT_GE(host_->WaitForStaNum("0", kEventWaitMs, after), 0);
    }
    // Later events are not held up either.
    mark = host_->EventCount();
    host_->HandleMsg("AP-STA-CONNECTED " + kMacA);
    EXPECT_GE(host_->WaitForStaNum("1", 0, mark), static_cast<long>(mark));
}

INSTANTIATE_TEST_SUITE_P(E2e, StopInCallback, ::testing::Bool(), [](const auto& info) {
    return std::string(info.param ? "OpenPushButtonSession" : "SlowStationListing");
});

class Teardown : public E2eTest, public ::testing::WithParamInterface<bool> {};

TEST_P(Teardown, DestructorLeavesNoThreadRunning) {
    WriteApConfig(kWps);
    countdown_wait_ticks_handled();  // the countdown's worker lives for the whole process
    const long before = ThreadCount();
    MakeHost(test_host::Options{/*host_connection=*/GetParam(), /*answer_requests=*/true});
    StartAp();
    ASSERT_TRUE(host_->agent().IsWPSFeatured());
    ASSERT_TRUE(Sim("sta auth " + kMacA));
    ASSERT_GE(host_->WaitForStaNum("1", kEventWaitMs, host_->EventCount()), 0);
    EXPECT_GT(ThreadCount(), before);

    host_.reset();
    // Detached threads leave the task list a moment after they have finished their work.
    EXPECT_TRUE(WaitUntil([&] { return ThreadCount() == before; }))
        << ThreadCount() << " threads, " << before << " before the host";
    EXPECT_EQ(Wlarm("isup"), "0");
}

INSTANTIATE_TEST_SUITE_P(E2e, Teardown, ::testing::Bool(), [](const auto& info) {
    return std::string(info.param ? "HostConnection" : "OwnConnection");
});
