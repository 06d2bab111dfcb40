#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "tests/platform/wpscli_fixture.h"
#include "wpscli.h"
#include "wpscli_test.h"

namespace {

constexpr const char* kProcess = "brcm_wpscli_softap_process_eapwps";
// Guard against a call that never comes turning into a hung test; never reached when all is well.
constexpr unsigned kHangGuardMs = 60000;

class WpsCliExchange : public WpsCliTest {
protected:
    void Script(std::vector<wpscli_test_step> steps) {
        ASSERT_EQ(wpscli_test_set_exchange(steps.data(), steps.size()), 0);
    }

    // One session as the agent's worker runs it: start, exchange while the library says to go
    // on, close. Returns the status that ended the exchange.
    brcm_wpscli_status RunSession() {
        brcm_wpscli_nw_settings nw = Settings("Home", "secret passphrase");
        uint8_t peer[BRCM_WPSCLI_PEER_ADDR_LEN] = {};
        brcm_wpscli_status status =
            brcm_wpscli_softap_start_wps(0, BRCM_WPSCLI_MODE_PBC, nullptr, &nw, 120, peer, 0, 0);
        if (status != BRCM_WPSCLI_SUCCESS) return status;
        do {
            status = brcm_wpscli_softap_process_eapwps(peer);
        } while (status == BRCM_WPSCLI_CONTINUE);
        brcm_wpscli_softap_close_session();
        return status;
    }

    void StartSession() {
        ASSERT_EQ(
            brcm_wpscli_softap_start_wps(0, BRCM_WPSCLI_MODE_PBC, nullptr, &nw_, 120, peer_, 0, 0),
            BRCM_WPSCLI_SUCCESS);
    }
    brcm_wpscli_status Process() { return brcm_wpscli_softap_process_eapwps(peer_); }

    brcm_wpscli_nw_settings nw_ = Settings("Home", "secret passphrase");
    uint8_t peer_[BRCM_WPSCLI_PEER_ADDR_LEN] = {};
};

bool IsFailure(brcm_wpscli_status status) {
    return status != BRCM_WPSCLI_SUCCESS && status != BRCM_WPSCLI_CONTINUE &&
           status != BRCM_WPSCLI_TIMEOUT && status != BRCM_WPSCLI_PBC_OVERLAP;
}

TEST_F(WpsCliExchange, PlaysTheScriptedStepsWithTheirPauses) {
    Script({{BRCM_WPSCLI_CONTINUE, 5}, {BRCM_WPSCLI_CONTINUE, 0}, {BRCM_WPSCLI_PBC_OVERLAP, 5}});
    EXPECT_EQ(RunSession(), BRCM_WPSCLI_PBC_OVERLAP);
    EXPECT_EQ(wpscli_test_count(kProcess), 3u);
}

TEST_F(WpsCliExchange, RepeatsTheLastStepOnceTheScriptIsUsedUp) {
    Script({{BRCM_WPSCLI_CONTINUE, 0}, {BRCM_WPSCLI_TIMEOUT, 0}});
    StartSession();
    EXPECT_EQ(Process(), BRCM_WPSCLI_CONTINUE);
    EXPECT_EQ(Process(), BRCM_WPSCLI_TIMEOUT);
    EXPECT_EQ(Process(), BRCM_WPSCLI_TIMEOUT);
}

TEST_F(WpsCliExchange, EverySessionPlaysTheScriptFromItsFirstStep) {
    Script({{BRCM_WPSCLI_CONTINUE, 0}, {BRCM_WPSCLI_CONTINUE, 0}, {23, 0}});
    EXPECT_EQ(RunSession(), 23);
    EXPECT_EQ(RunSession(), 23);
    EXPECT_EQ(wpscli_test_count(kProcess), 6u);
}

TEST_F(WpsCliExchange, AbortFromAnotherThreadEndsAnExchangeThatWouldNeverEnd) {
    Script({{BRCM_WPSCLI_CONTINUE, 0}, {BRCM_WPSCLI_CONTINUE, WPSCLI_TEST_UNTIL_ABORT}});
    brcm_wpscli_status result = BRCM_WPSCLI_SUCCESS;
    std::thread worker([&] { result = RunSession(); });
    ASSERT_TRUE(wpscli_test_wait_calls(kProcess, 2, kHangGuardMs));
    EXPECT_EQ(brcm_wpscli_abort(), BRCM_WPSCLI_SUCCESS);
    worker.join();
    EXPECT_EQ(result, BRCM_WPSCLI_ABORTED);
    EXPECT_TRUE(IsFailure(result));
    EXPECT_EQ(wpscli_test_count(kProcess), 2u);
}

TEST_F(WpsCliExchange, AbortCutsALongPauseShort) {
    Script({{BRCM_WPSCLI_CONTINUE, 10 * 60 * 1000}});
    brcm_wpscli_status result = BRCM_WPSCLI_SUCCESS;
    std::thread worker([&] { result = RunSession(); });
    ASSERT_TRUE(wpscli_test_wait_calls(kProcess, 1, kHangGuardMs));
    brcm_wpscli_abort();
    worker.join();
    EXPECT_EQ(result, BRCM_WPSCLI_ABORTED);
}

TEST_F(WpsCliExchange, AnAbortedSessionStaysAbortedUntilItCloses) {
    Script({{BRCM_WPSCLI_CONTINUE, 0}});
    StartSession();
    EXPECT_EQ(Process(), BRCM_WPSCLI_CONTINUE);
    brcm_wpscli_abort();
    EXPECT_EQ(Process(), BRCM_WPSCLI_ABORTED);
    EXPECT_EQ(Process(), BRCM_WPSCLI_ABORTED);
    brcm_wpscli_softap_close_session();
    StartSession();
    EXPECT_EQ(Process(), BRCM_WPSCLI_CONTINUE);
}

TEST_F(WpsCliExchange, AnAbortBeforeTheSessionStartsEndsItsExchange) {
    // A cancel can reach the library before the worker has started the requested session.
    brcm_wpscli_abort();
    EXPECT_EQ(RunSession(), BRCM_WPSCLI_ABORTED);
    EXPECT_EQ(RunSession(), BRCM_WPSCLI_SUCCESS);
}

TEST_F(WpsCliExchange, AFailedAbortLeavesTheExchangeRunning) {
    Script({{BRCM_WPSCLI_CONTINUE, 0}, {BRCM_WPSCLI_SUCCESS, 0}});
    ASSERT_EQ(wpscli_test_set_status("brcm_wpscli_abort", BRCM_WPSCLI_ERROR), 0);
    StartSession();
    EXPECT_EQ(brcm_wpscli_abort(), BRCM_WPSCLI_ERROR);
    EXPECT_EQ(Process(), BRCM_WPSCLI_CONTINUE);
    EXPECT_EQ(Process(), BRCM_WPSCLI_SUCCESS);
}

TEST_F(WpsCliExchange, ResetReleasesAWaitingCallAsAFailure) {
    Script({{BRCM_WPSCLI_CONTINUE, WPSCLI_TEST_UNTIL_ABORT}});
    StartSession();
    brcm_wpscli_status result = BRCM_WPSCLI_SUCCESS;
    std::thread worker([&] { result = Process(); });
    ASSERT_TRUE(wpscli_test_wait_calls(kProcess, 1, kHangGuardMs));
    wpscli_test_reset();
    worker.join();
    EXPECT_TRUE(IsFailure(result));
    EXPECT_EQ(wpscli_test_call_count(), 0u);
}

}  // namespace
