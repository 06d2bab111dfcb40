// Whatever arguments or state file it meets, the simulator answers with a status, never a crash.
#include <gtest/gtest.h>

#include "tests/sim/sim_env.h"

namespace {

using Robustness = SandboxTest;

// A clean exit with status 0 or 1 and no sanitizer report.
void ExpectCleanExit(const std::string& program, const std::vector<std::string>& args) {
    simenv::Result r = simenv::Exec(program, args);
    std::string shown;
    for (const std::string& a : args) shown += "[" + a.substr(0, 40) + "] ";
    EXPECT_TRUE(r.status == 0 || r.status == 1) << program << " " << shown << r.err;
    EXPECT_EQ(r.err.find("Sanitizer"), std::string::npos) << shown << r.err;
    EXPECT_EQ(r.err.find("runtime error"), std::string::npos) << shown << r.err;
}

const std::vector<std::string>& GarbageWords() {
    static const std::vector<std::string> words = {
        "", "-", "-i", "-C", "-c", "--", "0", "-1", "1", "2", "999999999999999999999999", "0x",
        "0xffffffffffffffffff", "up", "none", "ap", "be", "aifsn", "1l", "165u", "1,,", ",",
        "\x01\x02\xff", "a\nb", "'\"`$()", std::string(100000, 'x'), std::string(300, ','),
        "02:00:00:00:00:01", "%s%n%s", "wl0.1", "wl0.", "wl0.9", "eth0"};
    return words;
}

const std::vector<std::string>& Subcommands() {
    static const std::vector<std::string> names = {
        "up", "down", "isup", "bss", "country", "ssid", "cur_etheraddr", "perm_etheraddr",
        "set_pmk", "wme_ac", "channel", "chanspec", "autochannel", "assoclist",
        "autho_sta_list", "deauthenticate", "mac", "macmode", "band", "wsec", "wpa_auth",
        "bg_rate", "maxassoc", "get_scan_status", "escanresults", "connectedinfo"};
    return names;
}

TEST_F(Robustness, WlarmSurvivesGarbageArguments) {
    ExpectCleanExit("/usr/bin/wlarm", {});
    for (const std::string& word : GarbageWords()) {
        ExpectCleanExit("/usr/bin/wlarm", {word});
        ExpectCleanExit("/usr/bin/wlarm", {"-i", word, "up"});
    }
    for (const std::string& name : Subcommands()) {
        for (const std::string& word : GarbageWords()) {
            ExpectCleanExit("/usr/bin/wlarm", {name, word});
            ExpectCleanExit("/usr/bin/wlarm", {name, "-C", word, word});
        }
    }
    ExpectCleanExit("/usr/bin/wlarm", {"up"});
    for (const std::string& word : GarbageWords()) {
        ExpectCleanExit("/usr/bin/wlarm", {"autochannel", "1", "-c", word});
        ExpectCleanExit("/usr/bin/wlarm", {"wme_ac", "ap", "be", word, word});
    }
}

TEST_F(Robustness, WlarmSimSurvivesGarbageArguments) {
    ExpectCleanExit("/usr/bin/wlarm-sim", {});
    const std::vector<std::vector<std::string>> commands = {
        {"sta", "add"},         {"sta", "auth"},        {"sta", "del"},
        {"fault", "fail"},      {"fault", "silent"},    {"fault", "clear"},
        {"autochannel", "failures"}, {"autochannel", "pick"}, {"scan", "load"},
        {"scan", "status"},     {"connected", "load"},  {"get"}};
    for (const std::vector<std::string>& command : commands) {
        for (const std::string& word : GarbageWords()) {
            std::vector<std::string> args = command;
            args.push_back(word);
            ExpectCleanExit("/usr/bin/wlarm-sim", args);
        }
    }
}

TEST_F(Robustness, AGarbledStateFileIsReadAsFarAsItMakesSense) {
    sandbox::WriteFile("/var/run/wlarm/state",
                       "set\nsta\nfault chanspec\nfault x silent notanumber\nmac\n\n\x01\xff "
                       "junk\nset up 1\nset chanspec 999u\n" +
                           std::string(5000, 'z'));
    ExpectCleanExit("/usr/bin/wlarm", {"chanspec"});
    ExpectCleanExit("/usr/bin/wlarm", {"assoclist"});
    ExpectCleanExit("/usr/bin/wlarm-sim", {"show"});
    simenv::Result up = simenv::Exec("/usr/bin/wlarm", {"isup"});
    EXPECT_EQ(up.out, "1\n");
}

}  // namespace
