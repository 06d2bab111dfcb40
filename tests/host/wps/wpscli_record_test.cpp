#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "tests/host/wps/wpscli_fixture.h"

namespace {

using WpsCliRecord = WpsCliTest;

TEST_F(WpsCliRecord, KeepsEveryCallWithItsArgumentsInOrder) {
    EXPECT_EQ(brcm_wpscli_open("eth0", "br0", 0, 0, 0), BRCM_WPSCLI_SUCCESS);
    EXPECT_EQ(wpscli_softap_construct_def_devinfo(), BRCM_WPSCLI_SUCCESS);
    EXPECT_EQ(brcm_wpscli_softap_enable_wps(
                  "Broadcom", BRCM_WPSCLI_CONFIG_LABEL | BRCM_WPSCLI_CONFIG_VIRTUAL_PBC, 0, 0),
              BRCM_WPSCLI_SUCCESS);
    EXPECT_EQ(brcm_wpscli_softap_disable_wps(), BRCM_WPSCLI_SUCCESS);
    EXPECT_EQ(brcm_wpscli_close(), BRCM_WPSCLI_SUCCESS);

    EXPECT_EQ(Lines(), (std::vector<std::string>{
                           "brcm_wpscli_open(\"eth0\", \"br0\", 0, 0, 0)",
                           "wpscli_softap_construct_def_devinfo()",
                           "brcm_wpscli_softap_enable_wps(\"Broadcom\", 644, 0, 0)",
                           "brcm_wpscli_softap_disable_wps()",
                           "brcm_wpscli_close()",
                       }));
    wpscli_test_call open = Call(0);
    EXPECT_STREQ(open.name, "brcm_wpscli_open");
    ASSERT_EQ(open.arg_count, 5);
    EXPECT_STREQ(open.args[1], "\"br0\"");
    EXPECT_TRUE(open.returned);
    EXPECT_EQ(wpscli_test_count("brcm_wpscli_open"), 1u);
    EXPECT_EQ(wpscli_test_call_count(), 5u);
}

// A push-button session shows the missing PIN as NULL.
TEST_F(WpsCliRecord, CopiesTheSettingsAndKeepsTheBufferAddressOfASession) {
    brcm_wpscli_softap_set_wps_context(&nw_, "12345670", 0, 0);
    ASSERT_EQ(
        brcm_wpscli_softap_start_wps(0, BRCM_WPSCLI_MODE_PIN, "12345670", &nw_, 120, peer_, 0, 0),
        BRCM_WPSCLI_SUCCESS);
    // The record holds what the library was given, not what the caller changed later.
    snprintf(nw_.ssid, sizeof(nw_.ssid), "Changed");
    Process();
    brcm_wpscli_softap_close_session();
    EXPECT_EQ(StartPbc(), BRCM_WPSCLI_SUCCESS);

    EXPECT_EQ(Lines(), (std::vector<std::string>{
                           "brcm_wpscli_softap_set_wps_context(&nw, \"12345670\", 0, 0)",
                           "brcm_wpscli_softap_start_wps(0, 1, \"12345670\", &nw, 120, &buf, 0, 0)",
                           "brcm_wpscli_softap_process_eapwps(&buf)",
                           "brcm_wpscli_softap_close_session()",
                           "brcm_wpscli_softap_start_wps(0, 0, NULL, &nw, 120, &buf, 0, 0)",
                       }));
    wpscli_test_call start = Call(1);
    ASSERT_TRUE(start.has_settings);
    EXPECT_STREQ(start.settings.ssid, "Home");
    EXPECT_STREQ(start.settings.nw_key, "secret passphrase");
    EXPECT_EQ(start.settings.auth_type, BRCM_WPSCLI_AUTH_WPAPSK);
    EXPECT_EQ(start.settings.encr_type, BRCM_WPSCLI_ENCR_AES);
    EXPECT_EQ(start.settings_addr, &nw_);
    EXPECT_EQ(start.buffer_addr, peer_);
    EXPECT_EQ(Call(2).buffer_addr, peer_);
}

TEST_F(WpsCliRecord, EscapesAndBoundsTextsItCannotShowAsTheyAre) {
    std::string long_name(200, 'x');
    brcm_wpscli_open("a\"b\\c\n", long_name.c_str(), 0, 0, 0);
    wpscli_test_call open = Call(0);
    EXPECT_STREQ(open.args[0], "\"a\\\"b\\\\c\\x0a\"");
    EXPECT_EQ(std::string(open.args[1]), "\"" + std::string(64, 'x') + "\"...");
}

TEST_F(WpsCliRecord, RefusesMissingArgumentsAndAnExchangeWithoutSession) {
    EXPECT_EQ(brcm_wpscli_open(nullptr, "br0", 0, 0, 0), BRCM_WPSCLI_INVALID_ARG);
    EXPECT_EQ(
        brcm_wpscli_softap_start_wps(0, BRCM_WPSCLI_MODE_PIN, nullptr, &nw_, 120, peer_, 0, 0),
        BRCM_WPSCLI_INVALID_ARG);
    EXPECT_EQ(brcm_wpscli_softap_start_wps(0, 7, "12345670", &nw_, 120, peer_, 0, 0),
              BRCM_WPSCLI_INVALID_ARG);
    EXPECT_EQ(Process(), BRCM_WPSCLI_ERROR);
    EXPECT_EQ(Call(3).status, BRCM_WPSCLI_ERROR);
}

TEST_F(WpsCliRecord, RecordsCallsFromManyThreadsWhole) {
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([] {
            for (int i = 0; i < 200; ++i) brcm_wpscli_open("eth0", "br0", 0, 0, 0);
        });
    }
    for (std::thread& thread : threads) thread.join();
    EXPECT_EQ(wpscli_test_count("brcm_wpscli_open"), 800u);
    std::vector<std::string> lines = Lines();
    ASSERT_EQ(lines.size(), 800u);
    for (const std::string& line : lines)
        ASSERT_EQ(line, "brcm_wpscli_open(\"eth0\", \"br0\", 0, 0, 0)");
}

using WpsCliStatus = WpsCliTest;

// Queued statuses are used once, in order, before the set one, which answers every later call.
TEST_F(WpsCliStatus, QueuedThenSetStatusesAnswerTheCallsOfThatFunctionOnly) {
    ASSERT_EQ(wpscli_test_queue_status("brcm_wpscli_open", 3), 0);
    ASSERT_EQ(wpscli_test_queue_status("brcm_wpscli_open", 4), 0);
    ASSERT_EQ(wpscli_test_set_status("brcm_wpscli_open", 7), 0);
    for (brcm_wpscli_status expected : {3, 4, 7, 7})
        EXPECT_EQ(brcm_wpscli_open("eth0", "br0", 0, 0, 0), expected);
    EXPECT_EQ(brcm_wpscli_close(), BRCM_WPSCLI_SUCCESS);
    EXPECT_EQ(Call(2).status, 7);
}

TEST_F(WpsCliStatus, RefusesUnknownNamesAndTheExchangeCall) {
    EXPECT_EQ(wpscli_test_set_status("brcm_wpscli_opened", 1), -1);
    EXPECT_EQ(wpscli_test_set_status(nullptr, 1), -1);
    EXPECT_EQ(wpscli_test_queue_status("brcm_wpscli_softap_process_eapwps", 1), -1);
}

TEST_F(WpsCliStatus, AFailedStartLeavesNoSessionToExchangeIn) {
    ASSERT_EQ(wpscli_test_queue_status("brcm_wpscli_softap_start_wps", BRCM_WPSCLI_ERROR), 0);
    EXPECT_EQ(StartPbc(), BRCM_WPSCLI_ERROR);
    EXPECT_EQ(Process(), BRCM_WPSCLI_ERROR);
}

TEST_F(WpsCliStatus, ResetForgetsCallsScriptsAndTheSession) {
    wpscli_test_step step = {BRCM_WPSCLI_TIMEOUT, 0};
    ASSERT_EQ(wpscli_test_set_exchange(&step, 1), 0);
    ASSERT_EQ(wpscli_test_set_status("brcm_wpscli_open", 5), 0);
    ASSERT_EQ(wpscli_test_queue_status("brcm_wpscli_close", 5), 0);
    StartPbc();

    wpscli_test_reset();
    EXPECT_EQ(wpscli_test_call_count(), 0u);
    EXPECT_TRUE(Lines().empty());
    EXPECT_EQ(brcm_wpscli_open("eth0", "br0", 0, 0, 0), BRCM_WPSCLI_SUCCESS);
    EXPECT_EQ(brcm_wpscli_close(), BRCM_WPSCLI_SUCCESS);
    EXPECT_EQ(Process(), BRCM_WPSCLI_ERROR);
    StartPbc();
    EXPECT_EQ(Process(), BRCM_WPSCLI_SUCCESS);
}

}  // namespace
