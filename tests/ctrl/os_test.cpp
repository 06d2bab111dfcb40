// The OS helpers: files and paths, random bytes, text, time and detaching into the background.
#include <fcntl.h>
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

#include <algorithm>
#include <filesystem>
#include <limits>
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

using OsGetRandom = SandboxTest;

TEST_F(OsGetRandom, FillsTheWholeBuffer) {
    unsigned char a[64] = {}, b[64] = {};
    ASSERT_EQ(os_get_random(a, sizeof(a)), 0);
    ASSERT_EQ(os_get_random(b, sizeof(b)), 0);
    EXPECT_NE(memcmp(a, b, sizeof(a)), 0);
    // The last bytes are filled too (a short read would leave them zero).
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
                 {1998, 12, 31, 23, 59, 60, 915148800},
                 {2021, 3, 28, 2, 30, 0, 1616898600},
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
        time_t t = 12345;
        const int rc = os_mktime(c.year, c.month, c.day, c.hour, c.min, c.sec, &t);
        EXPECT_EQ(rc == 0 ? t : rc, c.epoch) << c.year << "-" << c.month << "-" << c.day << " "
                                             << c.hour << ":" << c.min << ":" << c.sec;
    }
    unsetenv("TZ");
    tzset();
}

TEST(OsGmtime, RoundTripsThroughMktimeAcrossCenturies) {
    os_tm tm;
    // Up to 2100, or to the end of the narrower of os_time_t and time_t (2038 where both are 32
    // bits). Steps of 37 days and a bit land on every month, leap days and odd hours.
    const long long end =
        std::min({4102444800LL, static_cast<long long>(std::numeric_limits<os_time_t>::max()),
                  static_cast<long long>(std::numeric_limits<time_t>::max())});
    for (long long t = 0; t < end; t += 37LL * 86400 + 3671) {
        ASSERT_EQ(os_gmtime(static_cast<os_time_t>(t), &tm), 0) << t;
        time_t back = 0;
        ASSERT_EQ(os_mktime(tm.year, tm.month, tm.day, tm.hour, tm.min, tm.sec, &back), 0) << t;
        ASSERT_EQ(back, t);
    }
    if (sizeof(os_time_t) > 4) {
        EXPECT_EQ(os_gmtime(LONG_MAX, &tm), -1);  // the year cannot be represented
    } else {
        ASSERT_EQ(os_gmtime(LONG_MAX, &tm), 0);  // the last second of 32-bit time
        EXPECT_EQ(std::vector<int>({tm.year, tm.month, tm.day, tm.hour, tm.min, tm.sec}),
                  std::vector<int>({2038, 1, 19, 3, 14, 7}));
    }
}

void OnSignal(int) {}

TEST(OsSleep, SignalDoesNotCutTheSleepShort) {
    struct sigaction action = {}, previous;
    action.sa_handler = OnSignal;  // no SA_RESTART: the sleep is interrupted
    sigaction(SIGUSR1, &action, &previous);
    const pthread_t sleeper = pthread_self();
    std::thread interrupter([sleeper] {
        usleep(50 * 1000);
        pthread_kill(sleeper, SIGUSR1);
    });
    timespec start, end;
    clock_gettime(CLOCK_MONOTONIC, &start);
    os_sleep(0, 300000);
    clock_gettime(CLOCK_MONOTONIC, &end);
    interrupter.join();
    sigaction(SIGUSR1, &previous, nullptr);
    // A lower bound only: the sleep lasted at least what was asked for.
    EXPECT_GE((end.tv_sec - start.tv_sec) * 1000000LL + (end.tv_nsec - start.tv_nsec) / 1000,
              300000);
}

constexpr const char* kWorkDir = "/tmp/daemon_work";
constexpr const char* kReport = "/tmp/daemon_work/report";

std::string LinkTarget(const char* path) {
    char buf[PATH_MAX];
    ssize_t n = readlink(path, buf, sizeof(buf) - 1);
    return n < 0 ? "" : std::string(buf, static_cast<size_t>(n));
}

// Starts a child that detaches with the given PID file from kWorkDir and, as the daemon,
// reports its pid, working directory and where its standard streams go; waits (bounded) for
// the report.
std::string RunDaemon(const char* pid_file) {
    unlink(kReport);
    pid_t child = fork();
    if (child == 0) {
        if (chdir(kWorkDir) != 0 || os_daemonize(pid_file) != 0) _exit(1);
        char cwd[PATH_MAX];
        std::string report =
            std::to_string(getpid()) + "\n" + (getcwd(cwd, sizeof(cwd)) ? cwd : "?");
        for (const char* fd : {"/proc/self/fd/0", "/proc/self/fd/1", "/proc/self/fd/2"})
            report += "\n" + LinkTarget(fd);
        const std::string partial = std::string(kReport) + ".part";
        int fd = open(partial.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (fd >= 0 && write(fd, report.data(), report.size()) >= 0)
            rename(partial.c_str(), kReport);
        _exit(0);
    }
    int status = 0;
    waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "os_daemonize failed";
    for (int i = 0; i < 200 && !sandbox::Exists(kReport); ++i) usleep(50 * 1000);
    return sandbox::ReadFile(kReport);
}

using OsDaemonize = SandboxTest;

TEST_F(OsDaemonize, DetachesFromDirectoryAndStreamsAndWritesItsPid) {
    std::filesystem::create_directories(kWorkDir);
    std::string report = RunDaemon("/tmp/daemon_work/wlan.pid");
    std::string pid = report.substr(0, report.find('\n'));
    EXPECT_EQ(report, pid + "\n/\n/dev/null\n/dev/null\n/dev/null");
    EXPECT_EQ(sandbox::ReadFile("/tmp/daemon_work/wlan.pid"), pid + "\n");
    os_daemonize_terminate("/tmp/daemon_work/wlan.pid");
    EXPECT_FALSE(sandbox::Exists("/tmp/daemon_work/wlan.pid"));
    os_daemonize_terminate(nullptr);

    // The daemon runs in "/", but a relative PID file means the caller's directory.
    report = RunDaemon("wlan.pid");
    ASSERT_FALSE(report.empty()) << "the daemon did not report";
    EXPECT_EQ(sandbox::ReadFile("/tmp/daemon_work/wlan.pid"),
              report.substr(0, report.find('\n')) + "\n");
    EXPECT_FALSE(sandbox::Exists("/wlan.pid"));
}

}  // namespace
