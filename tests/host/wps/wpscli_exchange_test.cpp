#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "tests/host/wps/wpscli_fixture.h"

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
        brcm_wpscli_status status = StartPbc();
        if (status != BRCM_WPSCLI_SUCCESS) return status;
        do {
            status = Process();
        } while (status == BRCM_WPSCLI_CONTINUE);
        brcm_wpscli_softap_close_session();
        return status;
    }
};

bool IsFailure(brcm_wpscli_status status) {
    return status != BRCM_WPSCLI_SUCCESS && status != BRCM_WPSCLI_CONTINUE &&
           status != BRCM_WPSCLI_TIMEOUT && status != BRCM_WPSCLI_PBC_OVERLAP;
}

TEST_F(WpsCliExchange, EverySessionPlaysTheScriptedStepsFromTheFirstWithTheirPauses) {
    Script({{BRCM_WPSCLI_CONTINUE, 5}, {BRCM_WPSCLI_CONTINUE, 0}, {BRCM_WPSCLI_PBC_OVERLAP, 5}});
    EXPECT_EQ(RunSession(), BRCM_WPSCLI_PBC_OVERLAP);
    EXPECT_EQ(wpscli_test_count(kProcess), 3u);
    EXPECT_EQ(RunSession(), BRCM_WPSCLI_PBC_OVERLAP);
    EXPECT_EQ(wpscli_test_count(kProcess), 6u);
}

TEST_F(WpsCliExchange, RepeatsTheLastStepOnceTheScriptIsUsedUp) {
    Script({{BRCM_WPSCLI_CONTINUE, 0}, {BRCM_WPSCLI_TIMEOUT, 0}});
    ASSERT_EQ(StartPbc(), BRCM_WPSCLI_SUCCESS);
    EXPECT_EQ(Process(), BRCM_WPSCLI_CONTINUE);
    EXPECT_EQ(Process(), BRCM_WPSCLI_TIMEOUT);
    EXPECT_EQ(Process(), BRCM_WPSCLI_TIMEOUT);
}

// The abort ends an exchange that would never end, or cuts a long pause short.
TEST_F(WpsCliExchange, AbortFromAnotherThreadEndsTheWaitingExchange) {
    const std::vector<std::vector<wpscli_test_step>> kScripts = {
        {{BRCM_WPSCLI_CONTINUE, 0}, {BRCM_WPSCLI_CONTINUE, WPSCLI_TEST_UNTIL_ABORT}},
        {{BRCM_WPSCLI_CONTINUE, 10 * 60 * 1000}}};
    for (const auto& steps : kScripts) {
        wpscli_test_reset();
        Script(steps);
        brcm_wpscli_status result = BRCM_WPSCLI_SUCCESS;
        std::thread worker([&] { result = RunSession(); });
        ASSERT_TRUE(wpscli_test_wait_calls(kProcess, steps.size(), kHangGuardMs));
        EXPECT_EQ(brcm_wpscli_abort(), BRCM_WPSCLI_SUCCESS);
        worker.join();
        EXPECT_EQ(result, BRCM_WPSCLI_ABORTED);
        EXPECT_TRUE(IsFailure(result));
        EXPECT_EQ(wpscli_test_count(kProcess), steps.size());
    }
}

TEST_F(WpsCliExchange, AnAbortedSessionStaysAbortedUntilItCloses) {
    Script({{BRCM_WPSCLI_CONTINUE, 0}});
    ASSERT_EQ(StartPbc(), BRCM_WPSCLI_SUCCESS);
    EXPECT_EQ(Process(), BRCM_WPSCLI_CONTINUE);
    brcm_wpscli_abort();
    EXPECT_EQ(Process(), BRCM_WPSCLI_ABORTED);
    EXPECT_EQ(Process(), BRCM_WPSCLI_ABORTED);
    brcm_wpscli_softap_close_session();
    ASSERT_EQ(StartPbc(), BRCM_WPSCLI_SUCCESS);
    EXPECT_EQ(Process(), BRCM_WPSCLI_CONTINUE);
}

// A cancel can reach the library before the worker has started the requested session.
TEST_F(WpsCliExchange, AnAbortBeforeTheSessionStartsEndsItsExchange) {
    brcm_wpscli_abort();
    EXPECT_EQ(RunSession(), BRCM_WPSCLI_ABORTED);
    EXPECT_EQ(RunSession(), BRCM_WPSCLI_SUCCESS);
}

TEST_F(WpsCliExchange, AFailedAbortLeavesTheExchangeRunning) {
    Script({{BRCM_WPSCLI_CONTINUE, 0}, {BRCM_WPSCLI_SUCCESS, 0}});
    ASSERT_EQ(wpscli_test_set_status("brcm_wpscli_abort", BRCM_WPSCLI_ERROR), 0);
    ASSERT_EQ(StartPbc(), BRCM_WPSCLI_SUCCESS);
    EXPECT_EQ(brcm_wpscli_abort(), BRCM_WPSCLI_ERROR);
    EXPECT_EQ(Process(), BRCM_WPSCLI_CONTINUE);
    EXPECT_EQ(Process(), BRCM_WPSCLI_SUCCESS);
}

TEST_F(WpsCliExchange, ResetReleasesAWaitingCallAsAFailure) {
    Script({{BRCM_WPSCLI_CONTINUE, WPSCLI_TEST_UNTIL_ABORT}});
    ASSERT_EQ(StartPbc(), BRCM_WPSCLI_SUCCESS);
    brcm_wpscli_status result = BRCM_WPSCLI_SUCCESS;
    std::thread worker([&] { result = Process(); });
    ASSERT_TRUE(wpscli_test_wait_calls(kProcess, 1, kHangGuardMs));
    wpscli_test_reset();
    worker.join();
    EXPECT_TRUE(IsFailure(result));
    EXPECT_EQ(wpscli_test_call_count(), 0u);
}

}  // namespace
