#include "tests/ctrl/real_supplicant.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <vector>

#include "tests/support/sandbox.h"

namespace {

constexpr const char* kLog = "/tmp/wpa_supplicant.log";

bool IsSocket(const char* path) {
    struct stat st;
    return stat(path, &st) == 0 && S_ISSOCK(st.st_mode);
}

}  // namespace

std::string RealSupplicant::Binary() {
    for (const char* candidate : {"/usr/sbin/wpa_supplicant", "/sbin/wpa_supplicant"})
        if (access(candidate, X_OK) == 0) return candidate;
    return "";
}

bool RealSupplicant::Start(std::string* why) {
    const std::string binary = Binary();
    if (binary.empty()) {
        *why = "wpa_supplicant is not installed";
        return false;
    }
    std::vector<const char*> args = {
        binary.c_str(), "-D", "none", "-i", "lo", "-C", "/var/run/wpa_supplicant", nullptr};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, kLog, O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_adddup2(&actions, 1, 2);
    int rc = posix_spawn(&pid_, binary.c_str(), &actions, nullptr,
                         const_cast<char* const*>(args.data()), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (rc != 0) {
        pid_ = -1;
        *why = "cannot start " + binary;
        return false;
    }
    // Bounded wait for the control socket; a supplicant that gave up ends early.
    for (int i = 0; i < 200; ++i) {
        if (IsSocket(kSocket)) return true;
        int status;
        if (waitpid(pid_, &status, WNOHANG) == pid_) {
            pid_ = -1;
            *why = "wpa_supplicant ended at start: " + sandbox::ReadFile(kLog);
            return false;
        }
        usleep(50 * 1000);
    }
    Stop();
    *why = "wpa_supplicant made no control socket: " + sandbox::ReadFile(kLog);
    return false;
}

void RealSupplicant::Stop() {
    if (pid_ < 0) return;
    kill(pid_, SIGTERM);
    int status;
    for (int i = 0; i < 100; ++i) {
        if (waitpid(pid_, &status, WNOHANG) == pid_) {
            pid_ = -1;
            return;
        }
        usleep(50 * 1000);
    }
    kill(pid_, SIGKILL);
    waitpid(pid_, &status, 0);
    pid_ = -1;
}
