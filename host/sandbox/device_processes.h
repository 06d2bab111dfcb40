#ifndef WLAN_HOST_DEVICE_PROCESSES_H
#define WLAN_HOST_DEVICE_PROCESSES_H

// The device's own processes around the library, for tests and the demo inside the sandbox:
// starting and ending programs, and the access point daemon's side of a control socket.
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <string.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

namespace device_processes {

// Polls done every `poll` until it holds or `timeout` has passed; returns its last value.
inline bool WaitFor(const std::function<bool()>& done, std::chrono::milliseconds timeout,
                    std::chrono::milliseconds poll) {
    const auto until = std::chrono::steady_clock::now() + timeout;
    while (!done()) {
        if (std::chrono::steady_clock::now() > until) return done();
        std::this_thread::sleep_for(poll);
    }
    return true;
}

inline bool WaitFor(const std::function<bool()>& done, int seconds = 20) {
    return WaitFor(done, std::chrono::seconds(seconds), std::chrono::milliseconds(100));
}

// Starts a program with its standard output and error on the given descriptors (-1: kept).
inline pid_t Spawn(const std::vector<std::string>& args, int out_fd, int err_fd) {
    posix_spawn_file_actions_t files;
    posix_spawn_file_actions_init(&files);
    if (out_fd >= 0) posix_spawn_file_actions_adddup2(&files, out_fd, 1);
    if (err_fd >= 0) posix_spawn_file_actions_adddup2(&files, err_fd, 2);
    std::vector<char*> argv;
    for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    pid_t pid = -1;
    if (posix_spawn(&pid, argv[0], &files, nullptr, argv.data(), environ) != 0) pid = -1;
    posix_spawn_file_actions_destroy(&files);
    return pid;
}

// Both standard streams into a file.
inline pid_t SpawnLogged(const std::vector<std::string>& args, const std::string& log) {
    int fd = open(log.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    pid_t pid = Spawn(args, fd, fd);
    if (fd >= 0) close(fd);
    return pid;
}

// The exit status, or -1 when the program did not exit by itself within the time (it is then
// killed) or was ended by a signal.
inline int WaitExit(pid_t pid, int seconds = 30) {
    int status = 0;
    if (!WaitFor([&] { return waitpid(pid, &status, WNOHANG) == pid; }, seconds)) {
        kill(pid, SIGKILL);
        waitpid(pid, &status, 0);
        return -1;
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// The access point daemon's side of its control socket: a thread answers ATTACH and PING from
// the monitor (the latest one that attached), and Send gives it event messages.
class CtrlSocket {
public:
    explicit CtrlSocket(const std::string& path) : path_(path) {
        unlink(path_.c_str());  // left by the daemon that ran before
        fd_ = socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0);
        sockaddr_un address = {};
        address.sun_family = AF_UNIX;
        path.copy(address.sun_path, sizeof(address.sun_path) - 1);
        bound_ = bind(fd_, reinterpret_cast<sockaddr*>(&address), sizeof(address)) == 0;
        timeval tv = {0, 100000};
        setsockopt(fd_, SOL_SOCKET, SO_RCVTIMEO, &tv, sizeof(tv));
        if (bound_) answering_ = std::thread([this] { Answer(); });
    }
    ~CtrlSocket() {
        stop_ = true;
        if (answering_.joinable()) answering_.join();
        close(fd_);
        if (bound_) unlink(path_.c_str());
    }
    CtrlSocket(const CtrlSocket&) = delete;
    CtrlSocket& operator=(const CtrlSocket&) = delete;

    bool bound() const { return bound_; }
    bool Attached(int seconds = 20) {
        return WaitFor([this] { return attached_.load(); }, seconds);
    }
    void Send(const std::string& event) {
        std::lock_guard<std::mutex> lock(mutex_);
        sendto(fd_, event.data(), event.size(), 0, reinterpret_cast<sockaddr*>(&monitor_),
               sizeof(monitor_));
    }

private:
    void Answer() {
        while (!stop_) {
            char request[64];
            sockaddr_un peer = {};
            socklen_t size = sizeof(peer);
            ssize_t n = recvfrom(fd_, request, sizeof(request), 0,
                                 reinterpret_cast<sockaddr*>(&peer), &size);
            if (n <= 0) continue;
            std::string text(request, static_cast<size_t>(n));
            std::string reply = text == "PING" ? "PONG\n" : "OK\n";
            std::lock_guard<std::mutex> lock(mutex_);
            sendto(fd_, reply.data(), reply.size(), 0, reinterpret_cast<sockaddr*>(&peer), size);
            if (text == "ATTACH") {
                monitor_ = peer;
                attached_ = true;
            }
        }
    }

    std::string path_;
    int fd_;
    bool bound_ = false;
    std::atomic<bool> stop_{false};
    std::atomic<bool> attached_{false};
    std::mutex mutex_;
    sockaddr_un monitor_ = {};
    std::thread answering_;
};

}  // namespace device_processes

#endif
