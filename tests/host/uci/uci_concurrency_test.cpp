// The library and the `uci` command working on one store at the same time.
#include <atomic>
#include <string>
#include <thread>

#include "tests/host/uci/uci_test_support.h"

using ucitest::LibraryGet;
using ucitest::LibrarySet;

namespace {

constexpr int kRounds = 30;

// Sets and commits wlan.s.<PREFIX><i>=i for i in 1..ROUNDS through the library, one new option
// a round, so that any change lost by a concurrent commit shows as a missing option.
std::thread LibraryWriter(const std::string& prefix, int rounds, std::atomic<int>* failures) {
    return std::thread([prefix, rounds, failures] {
        for (int i = 1; i <= rounds; ++i) {
            std::string n = std::to_string(i);
            if (LibrarySet("wlan.s." + prefix + n + "=" + n, true) != UCI_OK) ++*failures;
        }
    });
}

void ExpectEveryRoundCommitted(const std::string& prefix, int rounds) {
    std::string file = sandbox::ReadFile("/etc/config/wlan");
    for (int i = 1; i <= rounds; ++i) {
        std::string n = std::to_string(i);
        EXPECT_NE(file.find("\toption " + prefix + n + " '" + n + "'\n"), std::string::npos)
            << prefix << n << " lost";
    }
}

}  // namespace

using UciConcurrency = UciTest;

// Two library contexts in one process and the command in others, all committing at once.
TEST_F(UciConcurrency, NoCommittedChangeIsLostBetweenContextsAndTheCommand) {
    sandbox::WriteFile("/etc/config/wlan", "config s 's'\n");
    std::atomic<int> failures{0};
    std::thread a = LibraryWriter("a", 10 * kRounds, &failures);
    std::thread b = LibraryWriter("b", 10 * kRounds, &failures);
    int status = sandbox::Run("for i in $(seq 1 " + std::to_string(kRounds) +
                              "); do uci set wlan.s.cmd$i=$i && uci commit wlan || exit 1; done");
    a.join();
    b.join();
    EXPECT_EQ(status, 0);
    EXPECT_EQ(failures, 0);
    ExpectEveryRoundCommitted("a", 10 * kRounds);
    ExpectEveryRoundCommitted("b", 10 * kRounds);
    ExpectEveryRoundCommitted("cmd", kRounds);
    EXPECT_EQ(ucitest::Delta("wlan"), "");
}

// A reader that opened the package file just before a commit replaced it must not read the old
// file together with the emptied delta: an option once seen never disappears.
TEST_F(UciConcurrency, ReadersNeverLoseSightOfACommittedChange) {
    sandbox::WriteFile("/etc/config/wlan", "config s 's'\n");
    constexpr int kReaderRounds = 10 * kRounds;
    std::atomic<int> failures{0};
    std::thread writer = LibraryWriter("n", kReaderRounds, &failures);
    int seen = 0;
    int regressions = 0;
    while (seen < kReaderRounds && failures == 0) {
        // Options appear in order; the next one may or may not be there yet.
        if (LibraryGet("wlan.s.n" + std::to_string(seen + 1)) != "<incomplete>") {
            ++seen;
        } else if (seen > 0 && LibraryGet("wlan.s.n" + std::to_string(seen)) == "<incomplete>") {
            ++regressions;
        }
    }
    writer.join();
    EXPECT_EQ(failures, 0);
    EXPECT_EQ(regressions, 0);
    EXPECT_EQ(ucitest::Uci("get wlan.s.n" + std::to_string(kReaderRounds)).status, 0);
}
