#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "tests/platform/wpscli_fixture.h"
#include "wpscli.h"
#include "wpscli_test.h"

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

TEST_F(WpsCliRecord, CopiesTheSettingsAndKeepsTheBufferAddressOfASession) {
    brcm_wpscli_nw_settings nw = Settings("Home", "secret passphrase");
    uint8_t peer[BRCM_WPSCLI_PEER_ADDR_LEN] = {};
    brcm_wpscli_softap_set_wps_context(&nw, "12345670", 0, 0);
    ASSERT_EQ(
        brcm_wpscli_softap_start_wps(0, BRCM_WPSCLI_MODE_PIN, "12345670", &nw, 120, peer, 0, 0),
        BRCM_WPSCLI_SUCCESS);
    // The record holds what the library was given, not what the caller changed later.
    snprintf(nw.ssid, sizeof(nw.ssid), "Changed");
    brcm_wpscli_softap_process_eapwps(peer);
    brcm_wpscli_softap_close_session();

    EXPECT_EQ(Lines(), (std::vector<std::string>{
                           "brcm_wpscli_softap_set_wps_context(&nw, \"12345670\", 0, 0)",
                           "brcm_wpscli_softap_start_wps(0, 1, \"12345670\", &nw, 120, &buf, 0, 0)",
                           "brcm_wpscli_softap_process_eapwps(&buf)",
                           "brcm_wpscli_softap_close_session()",
                       }));
    wpscli_test_call start = Call(1);
    ASSERT_TRUE(start.has_settings);
    EXPECT_STREQ(start.settings.ssid, "Home");
    EXPECT_STREQ(start.settings.nw_key, "secret passphrase");
    EXPECT_EQ(start.settings.auth_type, BRCM_WPSCLI_AUTH_WPAPSK);
    EXPECT_EQ(start.settings.encr_type, BRCM_WPSCLI_ENCR_AES);
    EXPECT_EQ(start.settings_addr, &nw);
    EXPECT_EQ(start.buffer_addr, peer);
    EXPECT_EQ(Call(2).buffer_addr, peer);
}

TEST_F(WpsCliRecord, PushButtonSessionShowsTheMissingPinAsNull) {
    brcm_wpscli_nw_settings nw = Settings("Home", "secret passphrase");
    uint8_t peer[BRCM_WPSCLI_PEER_ADDR_LEN] = {};
    EXPECT_EQ(brcm_wpscli_softap_start_wps(0, BRCM_WPSCLI_MODE_PBC, nullptr, &nw, 120, peer, 0, 0),
              BRCM_WPSCLI_SUCCESS);
    EXPECT_STREQ(Call(0).line, "brcm_wpscli_softap_start_wps(0, 0, NULL, &nw, 120, &buf, 0, 0)");
}

TEST_F(WpsCliRecord, EscapesAndBoundsTextsItCannotShowAsTheyAre) {
    std::string long_name(200, 'x');
    brcm_wpscli_open("a\"b\\c\n", long_name.c_str(), 0, 0, 0);
    wpscli_test_call open = Call(0);
    EXPECT_STREQ(open.args[0], "\"a\\\"b\\\\c\\x0a\"");
    EXPECT_EQ(std::string(open.args[1]), "\"" + std::string(64, 'x') + "\"...");
}

TEST_F(WpsCliRecord, RefusesMissingArgumentsAndAnExchangeWithoutSession) {
    brcm_wpscli_nw_settings nw = Settings("Home", "secret passphrase");
    uint8_t peer[BRCM_WPSCLI_PEER_ADDR_LEN] = {};
    EXPECT_EQ(brcm_wpscli_open(nullptr, "br0", 0, 0, 0), BRCM_WPSCLI_INVALID_ARG);
    EXPECT_EQ(brcm_wpscli_softap_start_wps(0, BRCM_WPSCLI_MODE_PIN, nullptr, &nw, 120, peer, 0, 0),
              BRCM_WPSCLI_INVALID_ARG);
    EXPECT_EQ(brcm_wpscli_softap_start_wps(0, 7, "12345670", &nw, 120, peer, 0, 0),
              BRCM_WPSCLI_INVALID_ARG);
    EXPECT_EQ(brcm_wpscli_softap_process_eapwps(peer), BRCM_WPSCLI_ERROR);
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

TEST_F(WpsCliStatus, AStatusSetForACallAnswersEveryLaterCallOfIt) {
    ASSERT_EQ(wpscli_test_set_status("brcm_wpscli_open", 7), 0);
    EXPECT_EQ(brcm_wpscli_open("eth0", "br0", 0, 0, 0), 7);
    EXPECT_EQ(brcm_wpscli_open("eth0", "br0", 0, 0, 0), 7);
    EXPECT_EQ(brcm_wpscli_close(), BRCM_WPSCLI_SUCCESS);
    EXPECT_EQ(Call(1).status, 7);
}

TEST_F(WpsCliStatus, QueuedStatusesAreUsedOnceInOrderBeforeTheSetOne) {
    ASSERT_EQ(wpscli_test_queue_status("wpscli_softap_construct_def_devinfo", 3), 0);
    ASSERT_EQ(wpscli_test_queue_status("wpscli_softap_construct_def_devinfo", 4), 0);
    ASSERT_EQ(wpscli_test_set_status("wpscli_softap_construct_def_devinfo", 9), 0);
    EXPECT_EQ(wpscli_softap_construct_def_devinfo(), 3);
    EXPECT_EQ(wpscli_softap_construct_def_devinfo(), 4);
    EXPECT_EQ(wpscli_softap_construct_def_devinfo(), 9);
}

TEST_F(WpsCliStatus, RefusesUnknownNamesAndTheExchangeCall) {
    EXPECT_EQ(wpscli_test_set_status("brcm_wpscli_opened", 1), -1);
    EXPECT_EQ(wpscli_test_set_status(nullptr, 1), -1);
    EXPECT_EQ(wpscli_test_queue_status("brcm_wpscli_softap_process_eapwps", 1), -1);
}

TEST_F(WpsCliStatus, AFailedStartLeavesNoSessionToExchangeIn) {
    brcm_wpscli_nw_settings nw = Settings("Home", "secret passphrase");
    uint8_t peer[BRCM_WPSCLI_PEER_ADDR_LEN] = {};
    ASSERT_EQ(wpscli_test_queue_status("brcm_wpscli_softap_start_wps", BRCM_WPSCLI_ERROR), 0);
    EXPECT_EQ(brcm_wpscli_softap_start_wps(0, BRCM_WPSCLI_MODE_PBC, nullptr, &nw, 120, peer, 0, 0),
              BRCM_WPSCLI_ERROR);
    EXPECT_EQ(brcm_wpscli_softap_process_eapwps(peer), BRCM_WPSCLI_ERROR);
}

TEST_F(WpsCliStatus, ResetForgetsCallsAndScripts) {
    brcm_wpscli_nw_settings nw = Settings("Home", "secret passphrase");
    uint8_t peer[BRCM_WPSCLI_PEER_ADDR_LEN] = {};
    wpscli_test_step step = {BRCM_WPSCLI_TIMEOUT, 0};
    ASSERT_EQ(wpscli_test_set_exchange(&step, 1), 0);
    ASSERT_EQ(wpscli_test_set_status("brcm_wpscli_open", 5), 0);
    ASSERT_EQ(wpscli_test_queue_status("brcm_wpscli_close", 5), 0);
    brcm_wpscli_softap_start_wps(0, BRCM_WPSCLI_MODE_PBC, nullptr, &nw, 120, peer, 0, 0);

    wpscli_test_reset();
    EXPECT_EQ(wpscli_test_call_count(), 0u);
    EXPECT_TRUE(Lines().empty());
    EXPECT_EQ(brcm_wpscli_open("eth0", "br0", 0, 0, 0), BRCM_WPSCLI_SUCCESS);
    EXPECT_EQ(brcm_wpscli_close(), BRCM_WPSCLI_SUCCESS);
    // The session of before the reset is gone too.
    EXPECT_EQ(brcm_wpscli_softap_process_eapwps(peer), BRCM_WPSCLI_ERROR);
    brcm_wpscli_softap_start_wps(0, BRCM_WPSCLI_MODE_PBC, nullptr, &nw, 120, peer, 0, 0);
    EXPECT_EQ(brcm_wpscli_softap_process_eapwps(peer), BRCM_WPSCLI_SUCCESS);
}

}  // namespace
