// The scripted exchange and the abort of the WPS library stand-in, on which the tests of the
// library's WPS worker build (wpscli_test.h).
#include "wpscli.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "wpscli_test.h"

namespace {

constexpr const char* kProcess = "brcm_wpscli_softap_process_eapwps";
constexpr unsigned kHangGuardMs = 60000;  // never reached when all is well

class WpsCli : public ::testing::Test {
protected:
    void SetUp() override { wpscli_test_reset(); }
    void TearDown() override { wpscli_test_reset(); }

    void Script(std::vector<wpscli_test_step> steps) {
        ASSERT_EQ(wpscli_test_set_exchange(steps.data(), steps.size()), 0);
    }
    // A push-button session as the library's worker starts it.
    brcm_wpscli_status Start() {
        return brcm_wpscli_softap_start_wps(0, BRCM_WPSCLI_MODE_PBC, nullptr, &nw_, 120, peer_, 0,
                                            0);
    }
    brcm_wpscli_status Process() { return brcm_wpscli_softap_process_eapwps(peer_); }
    // Start, exchange while told to go on, close; the status that ended the exchange.
    brcm_wpscli_status Session() {
        brcm_wpscli_status status = Start();
        while (status == BRCM_WPSCLI_SUCCESS || status == BRCM_WPSCLI_CONTINUE) {
            status = Process();
            if (status != BRCM_WPSCLI_CONTINUE) break;
        }
        brcm_wpscli_softap_close_session();
        return status;
    }

    brcm_wpscli_nw_settings nw_{};
    uint8_t peer_[BRCM_WPSCLI_PEER_ADDR_LEN] = {};
};

TEST_F(WpsCli, EverySessionPlaysTheScriptFromItsFirstStepAndRepeatsTheLast) {
    Script({{BRCM_WPSCLI_CONTINUE, 5}, {BRCM_WPSCLI_TIMEOUT, 0}});
    for (int session = 0; session < 2; ++session) {
        ASSERT_EQ(Start(), BRCM_WPSCLI_SUCCESS);
        EXPECT_EQ(Process(), BRCM_WPSCLI_CONTINUE);
        EXPECT_EQ(Process(), BRCM_WPSCLI_TIMEOUT);
        EXPECT_EQ(Process(), BRCM_WPSCLI_TIMEOUT);
        brcm_wpscli_softap_close_session();
    }
    EXPECT_EQ(wpscli_test_count(kProcess), 6u);
}

// An abort from another thread ends a wait that would never end or cuts a long pause short.
TEST_F(WpsCli, AbortEndsTheWaitingExchangeWhichStaysAbortedUntilTheSessionCloses) {
    const std::vector<std::vector<wpscli_test_step>> kScripts = {
        {{BRCM_WPSCLI_CONTINUE, 0}, {BRCM_WPSCLI_CONTINUE, WPSCLI_TEST_UNTIL_ABORT}},
        {{BRCM_WPSCLI_CONTINUE, 0}, {BRCM_WPSCLI_CONTINUE, 10 * 60 * 1000}}};
    for (const auto& steps : kScripts) {
        wpscli_test_reset();
        Script(steps);
        ASSERT_EQ(Start(), BRCM_WPSCLI_SUCCESS);
        brcm_wpscli_status result = BRCM_WPSCLI_SUCCESS;
        std::thread worker([&] {
            do {
                result = Process();
            } while (result == BRCM_WPSCLI_CONTINUE);
        });
        ASSERT_TRUE(wpscli_test_wait_calls(kProcess, steps.size(), kHangGuardMs));
        EXPECT_EQ(brcm_wpscli_abort(), BRCM_WPSCLI_SUCCESS);
        worker.join();
        EXPECT_EQ(result, BRCM_WPSCLI_ABORTED);
        EXPECT_EQ(Process(), BRCM_WPSCLI_ABORTED);
        brcm_wpscli_softap_close_session();
        EXPECT_EQ(Start(), BRCM_WPSCLI_SUCCESS);
        EXPECT_EQ(Process(), BRCM_WPSCLI_CONTINUE);
        brcm_wpscli_softap_close_session();
    }
}

// A cancel may reach the library before the worker started the session it was meant for; a
// failed abort changes nothing; a reset releases a waiting call as a failure.
TEST_F(WpsCli, AbortBeforeTheSessionFailedAbortAndResetWhileWaiting) {
    brcm_wpscli_abort();
    EXPECT_EQ(Session(), BRCM_WPSCLI_ABORTED);
    EXPECT_EQ(Session(), BRCM_WPSCLI_SUCCESS);

    Script({{BRCM_WPSCLI_CONTINUE, 0}, {BRCM_WPSCLI_SUCCESS, 0}});
    ASSERT_EQ(wpscli_test_queue_status("brcm_wpscli_abort", BRCM_WPSCLI_ERROR), 0);
    ASSERT_EQ(Start(), BRCM_WPSCLI_SUCCESS);
    EXPECT_EQ(brcm_wpscli_abort(), BRCM_WPSCLI_ERROR);
    EXPECT_EQ(Process(), BRCM_WPSCLI_CONTINUE);
    EXPECT_EQ(Process(), BRCM_WPSCLI_SUCCESS);
    brcm_wpscli_softap_close_session();

    wpscli_test_reset();
    Script({{BRCM_WPSCLI_CONTINUE, WPSCLI_TEST_UNTIL_ABORT}});
    ASSERT_EQ(Start(), BRCM_WPSCLI_SUCCESS);
    brcm_wpscli_status result = BRCM_WPSCLI_CONTINUE;
    std::thread worker([&] { result = Process(); });
    ASSERT_TRUE(wpscli_test_wait_calls(kProcess, 1, kHangGuardMs));
    wpscli_test_reset();
    worker.join();
    EXPECT_NE(result, BRCM_WPSCLI_CONTINUE);
    EXPECT_NE(result, BRCM_WPSCLI_SUCCESS);
}

}  // namespace
