// The OS helpers: files and paths, random bytes, text, time and detaching into the background.
#include <gtest/gtest.h>
#include <limits.h>
#include <pthread.h>
#include <signal.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/sandbox.h"
#include "wlan_os.h"

namespace {

// Reads a file with os_readfile; "<null>" when it fails.
std::string ReadWith(const char* path) {
    size_t len = 999;
    char* data = os_readfile(path, &len);
    if (data == nullptr) return "<null>";
    std::string text(data, len);
    EXPECT_EQ(data[len], '\0') << "no terminator after the data";
    free(data);
    return text;
}

using OsReadfile = SandboxTest;

// Files under /proc report size 0 but have content; /dev/zero would never end and a FIFO must
// not wait for a writer.
TEST_F(OsReadfile, ReturnsEveryByteWhateverTheReportedSizeAndFailsForTheUnreadable) {
    std::string content("ssid=\0net\nwpa=2\n", 16);
    content += std::string(10000, '\xff');  // larger than any first read
    sandbox::WriteFile("/tmp/blob", content);
    sandbox::WriteFile("/tmp/empty", "");
    EXPECT_EQ(ReadWith("/tmp/blob"), content);
    EXPECT_EQ(ReadWith("/tmp/empty"), "");
    EXPECT_EQ(ReadWith("/proc/self/status").rfind("Name:", 0), 0u);
    ASSERT_EQ(mkfifo("/tmp/fifo", 0600), 0);
    for (const char* path : {"/tmp/missing", "/tmp", "/dev/zero", "/tmp/fifo"})
        EXPECT_EQ(ReadWith(path), "<null>") << path;
}

// A short read would leave the last bytes zero in both.
TEST(OsGetRandom, FillsTheWholeBuffer) {
    unsigned char a[64] = {}, b[64] = {};
    ASSERT_EQ(os_get_random(a, sizeof(a)), 0);
    ASSERT_EQ(os_get_random(b, sizeof(b)), 0);
    EXPECT_NE(memcmp(a + 48, b + 48, 16), 0);
}

TEST(OsStrlcpy, CutsToTheBufferTerminatesAndReturnsTheSourceLength) {
    char buf[8];
    memset(buf, '#', sizeof(buf));
    EXPECT_EQ(os_strlcpy(buf, "wpa_supplicant", 6), 14u);
    EXPECT_STREQ(buf, "wpa_s");
    EXPECT_EQ(buf[6], '#');  // nothing written past the given size
    EXPECT_EQ(os_strlcpy(buf, "exactly", sizeof(buf)), 7u);
    EXPECT_STREQ(buf, "exactly");
}

// Central European time with its daylight-saving rule (no zone files needed) must not shift
// the results: local clocks skip 02:00-03:00 on 28 March 2021, in UTC it is an ordinary hour.
// A leap second counts as the first second of the next minute. Fields out of range are refused.
TEST(OsMktime, ConvertsBetweenUtcFieldsAndEpochSecondsWhateverTheLocalZone) {
    setenv("TZ", "CET-1CEST,M3.5.0,M10.5.0/3", 1);
    tzset();
    const struct {
        int year, month, day, hour, min, sec;
        time_t epoch;
    } cases[] = {{1970, 1, 1, 0, 0, 0, 0},
                 {2000, 2, 29, 12, 34, 56, 951827696},
                 {2021, 3, 28, 2, 30, 0, 1616898600},
                 {1998, 12, 31, 23, 59, 60, 915148800},
                 {1969, 12, 31, 23, 59, 59, -1},
                 {2020, 0, 1, 0, 0, 0, -1},
                 {2020, 13, 1, 0, 0, 0, -1},
                 {2020, 1, 0, 0, 0, 0, -1},
                 {2020, 1, 32, 0, 0, 0, -1},
                 {2020, 1, 1, 24, 0, 0, -1},
                 {2020, 1, 1, 0, 60, 0, -1},
                 {2020, 1, 1, 0, 0, 61, -1},
                 {2020, 1, 1, 0, 0, -1, -1}};
    for (const auto& c : cases) {
        const std::vector<int> fields = {c.year, c.month, c.day, c.hour, c.min, c.sec};
        time_t t = 12345;
        const int rc = os_mktime(c.year, c.month, c.day, c.hour, c.min, c.sec, &t);
        EXPECT_EQ(rc == 0 ? t : rc, c.epoch) << ::testing::PrintToString(fields);
        os_tm tm;
        if (c.epoch < 0 || c.sec == 60) continue;
        ASSERT_EQ(os_gmtime(static_cast<os_time_t>(c.epoch), &tm), 0);
        EXPECT_EQ(std::vector<int>({tm.year, tm.month, tm.day, tm.hour, tm.min, tm.sec}), fields);
    }
    unsetenv("TZ");
    tzset();
}

TEST(OsGmtime, FailsBeyondTheYearsItCanRepresent) {
    os_tm tm;
    if (sizeof(os_time_t) > 4) {
        EXPECT_EQ(os_gmtime(LONG_MAX, &tm), -1);
    } else {
        ASSERT_EQ(os_gmtime(LONG_MAX, &tm), 0);  // the last second of 32-bit time
        EXPECT_EQ(std::vector<int>({tm.year, tm.month, tm.day, tm.hour, tm.min, tm.sec}),
                  std::vector<int>({2038, 1, 19, 3, 14, 7}));
    }
}

TEST(OsSleep, SignalDoesNotCutTheSleepShort) {
    struct sigaction action = {}, previous;
    action.sa_handler = [](int) {};  // no SA_RESTART: the sleep is interrupted
    sigaction(SIGUSR1, &action, &previous);
    const pthread_t sleeper = pthread_self();
    std::thread interrupter([sleeper] {
        usleep(50 * 1000);
        pthread_kill(sleeper, SIGUSR1);
    });
    const auto start = std::chrono::steady_clock::now();
    os_sleep(0, 300000);
    const auto slept = std::chrono::steady_clock::now() - start;
    interrupter.join();
    sigaction(SIGUSR1, &previous, nullptr);
    EXPECT_GE(slept, std::chrono::microseconds(300000));  // a lower bound only
}

constexpr const char* kPidFile = "/tmp/daemon_work/wlan.pid";

// Starts a child that detaches from /tmp/daemon_work with the given PID file and stays. Returns
// where the daemon's working directory and standard streams lead, found through the pid that
// kPidFile names (waited for, bounded), and kills the daemon.
std::string DaemonView(const char* pid_file) {
    unlink(kPidFile);
    const pid_t child = fork();
    if (child == 0) {
        if (chdir("/tmp/daemon_work") != 0 || os_daemonize(pid_file) != 0) _exit(1);
        sleep(60);
        _exit(0);
    }
    int status = 0;
    waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "os_daemonize failed";
    std::string text;
    for (int i = 0; i < 200 && (text = sandbox::ReadFile(kPidFile)).find('\n') == text.npos; ++i)
        usleep(50 * 1000);
    const pid_t daemon = atoi(text.c_str());
    if (text != std::to_string(daemon) + "\n") return "PID file: " + text;
    const std::string proc = " /proc/" + std::to_string(daemon);
    const std::string view = sandbox::Output("readlink" + proc + "/cwd" + proc + "/fd/0" + proc +
                                             "/fd/1" + proc + "/fd/2");
    kill(daemon, SIGKILL);
    return view;
}

using OsDaemonize = SandboxTest;

// The daemon runs in "/", but a relative PID file means the caller's directory.
TEST_F(OsDaemonize, DetachesFromDirectoryAndStreamsAndWritesItsPid) {
    std::filesystem::create_directories("/tmp/daemon_work");
    for (const char* pid_file : {kPidFile, "wlan.pid"})
        EXPECT_EQ(DaemonView(pid_file), "/\n/dev/null\n/dev/null\n/dev/null\n") << pid_file;
    EXPECT_FALSE(sandbox::Exists("/wlan.pid"));
    os_daemonize_terminate(kPidFile);
    EXPECT_FALSE(sandbox::Exists(kPidFile));
    os_daemonize_terminate(nullptr);
}

}  // namespace
