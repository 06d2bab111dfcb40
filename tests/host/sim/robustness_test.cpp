// Whatever arguments or state file it meets, the simulator answers with a status, never a crash.
// The argument matrix runs in-process (the sanitizers of the test build watch it); a few command
// lines also run through the programs themselves.
#include <gtest/gtest.h>

#include "control/control.h"
#include "tests/host/sim/sim_env.h"
#include "wlarm/run.h"

namespace {

using Robustness = SandboxTest;

std::string Shown(const std::vector<std::string>& args) {
    std::string shown;
    for (const std::string& a : args) shown += "[" + a.substr(0, 40) + "] ";
    return shown;
}

void ExpectStatus(const sim::RunResult& r, const std::vector<std::string>& args) {
    EXPECT_TRUE(r.status == 0 || r.status == 1) << Shown(args) << r.err;
    if (r.status != 0) {
        EXPECT_FALSE(r.err.empty()) << Shown(args);
    }
}

// A clean exit with status 0 or 1 and no sanitizer report. Every argument is single-quoted, so
// the program gets exactly these bytes.
void ExpectCleanExit(const std::string& program, const std::vector<std::string>& args) {
    std::string command_line = program;
    for (const std::string& arg : args) {
        command_line += " '";
        for (char c : arg) command_line += c == '\'' ? std::string("'\\''") : std::string(1, c);
        command_line += "'";
    }
    simenv::Result r = simenv::Sh(command_line);
    EXPECT_TRUE(r.status == 0 || r.status == 1) << program << " " << Shown(args) << r.err;
    EXPECT_EQ(r.err.find("Sanitizer"), std::string::npos) << Shown(args) << r.err;
    EXPECT_EQ(r.err.find("runtime error"), std::string::npos) << Shown(args) << r.err;
}

// clang-format off
const std::vector<std::string>& GarbageWords() {
    static const std::vector<std::string> words = {
        "", "-", "-i", "-C", "-c", "--", "0", "-1", "1", "2", "999999999999999999999999", "0x",
        "0xffffffffffffffffff", "up", "none", "ap", "be", "aifsn", "1l", "165u", "1,,", ",",
        "\x01\x02\xff", "a\nb", "'\"`$()", std::string(5000, 'x'), std::string(300, ','),
        "02:00:00:00:00:01", "%s%n%s", "wl0.1", "wl0.", "wl0.9", "eth0"};
    return words;
}
// clang-format on

const std::vector<std::string>& Subcommands() {
    static const std::vector<std::string> names = {
        "up",           "down",         "isup",           "bss",
        "country",      "ssid",         "cur_etheraddr",  "perm_etheraddr",
        "set_pmk",      "wme_ac",       "channel",        "chanspec",
        "autochannel",  "assoclist",    "autho_sta_list", "deauthenticate",
        "mac",          "macmode",      "band",           "wsec",
        "wpa_auth",     "bg_rate",      "maxassoc",       "get_scan_status",
        "escanresults", "connectedinfo"};
    return names;
}

TEST_F(Robustness, WlarmAnswersGarbageArgumentsWithAStatus) {
    auto run = [](const std::vector<std::string>& args) {
        ExpectStatus(sim::RunWlarm(args), args);
    };
    EXPECT_EQ(sim::RunWlarm({}).status, 1);
    for (const std::string& word : GarbageWords()) {
        run({word});
        run({"-i", word, "up"});
    }
    for (int radio_up = 0; radio_up < 2; ++radio_up) {
        run({radio_up ? "up" : "down"});
        for (const std::string& name : Subcommands()) {
            for (const std::string& word : GarbageWords()) {
                run({name, word});
                run({name, "-C", word, word});
                run({name, word, word, word});
            }
        }
        for (const std::string& word : GarbageWords()) {
            run({"autochannel", "1", "-c", word});
            run({"wme_ac", "ap", "be", word, word});
        }
    }
}

TEST_F(Robustness, WlarmSimAnswersGarbageArgumentsWithAStatus) {
    // clang-format off
    const std::vector<std::vector<std::string>> commands = {
        {}, {"sta", "add"}, {"sta", "auth"}, {"sta", "del"}, {"sta", "clear"}, {"fault", "fail"},
        {"fault", "silent"}, {"fault", "clear"}, {"autochannel", "failures"},
        {"autochannel", "pick"}, {"scan", "load"}, {"scan", "status"}, {"connected", "load"},
        {"get"}, {"show"}};
    // clang-format on
    for (const std::vector<std::string>& command : commands) {
        for (const std::string& word : GarbageWords()) {
            std::vector<std::string> args = command;
            args.push_back(word);
            ExpectStatus(sim::RunControl(args), args);
        }
    }
}

TEST_F(Robustness, TheProgramsExitCleanlyOnBadCommandLines) {
    for (const std::vector<std::string>& args :
         std::vector<std::vector<std::string>>{{},
                                               {"-i"},
                                               {"-i", "", "up"},
                                               {"ssid", std::string(100000, 'x')},
                                               {"\x01\xff", "a\nb"}}) {
        ExpectCleanExit("/usr/bin/wlarm", args);
        ExpectCleanExit("/usr/bin/wlarm-sim", args);
    }
}

TEST_F(Robustness, AGarbledStateFileIsReadAsFarAsItMakesSense) {
    sandbox::WriteFile("/var/run/wlarm/state",
                       "set\nsta\nfault chanspec\nfault x silent notanumber\nmac\n\n\x01\xff "
                       "junk\nset up 1\nset chanspec 999u\n" +
                           std::string(5000, 'z'));
    for (const char* name : {"chanspec", "assoclist", "autochannel", "mac"})
        ExpectStatus(sim::RunWlarm({name}), {name});
    ExpectStatus(sim::RunControl({"show"}), {"show"});
    EXPECT_EQ(sim::RunWlarm({"isup"}).out, "1\n");
}

}  // namespace
