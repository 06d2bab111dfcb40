#include <gmock/gmock.h>

#include "tests/radio/radio_env.h"

using radio_env::Lines;
using testing::Contains;

// SSIDs and keys reach the radio exactly as configured when sh runs the script: the three
// escaping passes plus the dollar sign leave nothing for the shell to expand.
using ScriptQuoting = RadioScriptTest;

namespace {

// Runs the script with a stand-in for wlarm that logs each call as its arguments in brackets,
// one call per line.
std::vector<std::string> RunScript(const std::string& script, const std::string& args) {
    EXPECT_TRUE(WriteShellScript("/tmp/fakewl",
                                 "for a in \"$@\"; do printf '[%s]' \"$a\" >> /tmp/wl.log; done\n"
                                 "echo >> /tmp/wl.log\n"));
    EXPECT_TRUE(WriteShellScript("/tmp/bin/usleep", "exit 0\n"));
    EXPECT_EQ(sandbox::Run("PATH=/tmp/bin:$PATH sh " + script + " /tmp/fakewl " + args), 0);
    return Lines(sandbox::ReadFile("/tmp/wl.log"));
}

const char* const kHostileTexts[] = {"`touch /tmp/pwned`", "back\\slash\\", "$HOME${PATH}$1",
                                     "\\$(touch /tmp/pwned)", "\\\"; touch /tmp/pwned; \""};

}  // namespace

TEST_F(ScriptQuoting, SsidAndPassphraseArriveLiterallyWhenShRunsTheApScript) {
    for (const char* text : kHostileTexts) {
        // The psk is escaped too, so only hexadecimal keys pass unchanged.
        for (bool psk : {false, true}) {
            sandbox::Run("rm -f /tmp/wl.log");
            TestBss bss;
            TestBss::Set(bss->ssid, text);
            TestBss::Set(bss->wpa_passphrase, psk ? "" : std::string(text) + "12345678");
            TestBss::Set(bss->wpa_psk, psk ? text : "");
            GenerateAp(bss);
            std::vector<std::string> calls = RunScript(kApScript, "00:11:22:33:44:55");
            EXPECT_THAT(calls, Contains(std::string("[ssid][") + text + "]")) << text;
            EXPECT_THAT(calls,
                        Contains(std::string("[set_pmk][") + text + (psk ? "]" : "12345678]")))
                << text;
            EXPECT_FALSE(sandbox::Exists("/tmp/pwned")) << text;
        }
    }
}

// 63 characters that each need a backslash make 126 characters: the longest that fits. A key
// whose escaped form does not fit fails the generation and keeps the old script.
TEST_F(ScriptQuoting, EscapedKeyFitsUpToItsRoomAndLongerFails) {
    TestBss bss;
    TestBss::Set(bss->wpa_passphrase, std::string(63, '$'));
    std::string escaped;
    for (int i = 0; i < 63; ++i) escaped += "\\$";
    EXPECT_NE(GenerateAp(bss).find("PMK=\"" + escaped + "\"\n"), std::string::npos);
    TestBss::Set(bss->wpa_passphrase, std::string(64, '\\'));
    EXPECT_EQ(wlan_mgr_conf_to_wl_sh(bss.get(), kApScript), -1);
    EXPECT_TRUE(HasLevel5("Escaped key too long, /usr/bin/bcmApSet.sh not written!"));
    EXPECT_NE(sandbox::ReadFile(kApScript).find(escaped), std::string::npos);  // the old one
}

// The country reaches the radio's country command only as two letters or digits; anything else
// fails both generators and keeps their previous scripts.
TEST_F(ScriptQuoting, CountryThatIsNoCodeFailsTheGenerationAndKeepsTheOldScript) {
    for (const char* country : {";r", "r", "U\n", "\xc3\xa9"}) {
        TestBss bss;
        TestBss::Set(bss->country, country);
        for (const char* path : {kApScript, kApStaScript}) {
            sandbox::WriteFile(path, "previous script\n");
            logcap::Clear();
            EXPECT_EQ(path == kApScript ? wlan_mgr_conf_to_wl_sh(bss.get(), path)
                                        : wlan_mgr_apsta_conf_to_wl_sh(bss.get(), path),
                      -1)
                << country;
            EXPECT_TRUE(HasLevel5(std::string("Invalid country code, ") + path + " not written!"))
                << country;
            EXPECT_EQ(sandbox::ReadFile(path), "previous script\n") << country;
        }
    }
}
