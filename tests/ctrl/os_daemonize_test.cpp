// Detaching into the background and the PID file.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <limits.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "tests/support/sandbox.h"
#include "wlan_os.h"

namespace {

constexpr const char* kWorkDir = "/tmp/daemon_work";
constexpr const char* kReport = "/tmp/daemon_work/report";

std::string LinkTarget(const char* path) {
    char buf[PATH_MAX];
    ssize_t n = readlink(path, buf, sizeof(buf) - 1);
    return n < 0 ? "" : std::string(buf, static_cast<size_t>(n));
}

// Runs in a child: detaches with the given PID file from kWorkDir and, as the daemon, writes
// what it sees to kReport: its pid, working directory and where its standard streams go.
[[noreturn]] void DaemonizeAndReport(const char* pid_file) {
    if (chdir(kWorkDir) != 0 || os_daemonize(pid_file) != 0) _exit(1);
    char cwd[PATH_MAX];
    std::string report = std::to_string(getpid()) + "\n" + (getcwd(cwd, sizeof(cwd)) ? cwd : "?") +
                         "\n" + LinkTarget("/proc/self/fd/0") + "\n" +
                         LinkTarget("/proc/self/fd/1") + "\n" + LinkTarget("/proc/self/fd/2") +
                         "\n";
    const std::string partial = std::string(kReport) + ".part";
    int fd = open(partial.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd >= 0) {
        ssize_t ignored = write(fd, report.data(), report.size());
        (void)ignored;
        close(fd);
        rename(partial.c_str(), kReport);
    }
    _exit(0);
}

// Starts a child that daemonizes and waits (bounded) for the daemon's report.
std::string RunDaemon(const char* pid_file) {
    pid_t child = fork();
    if (child == 0) DaemonizeAndReport(pid_file);
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
    ASSERT_FALSE(report.empty()) << "the daemon did not report";
    std::string pid = report.substr(0, report.find('\n'));
    EXPECT_EQ(report, pid + "\n/\n/dev/null\n/dev/null\n/dev/null\n");
    EXPECT_EQ(sandbox::ReadFile("/tmp/daemon_work/wlan.pid"), pid + "\n");

    os_daemonize_terminate("/tmp/daemon_work/wlan.pid");
    EXPECT_FALSE(sandbox::Exists("/tmp/daemon_work/wlan.pid"));
    os_daemonize_terminate(nullptr);

    // The daemon runs in "/", but a relative PID file means the caller's directory.
    unlink(kReport);
    report = RunDaemon("wlan.pid");
    ASSERT_FALSE(report.empty()) << "the daemon did not report";
    pid = report.substr(0, report.find('\n'));
    EXPECT_EQ(sandbox::ReadFile("/tmp/daemon_work/wlan.pid"), pid + "\n");
    EXPECT_FALSE(sandbox::Exists("/wlan.pid"));
}

}  // namespace
