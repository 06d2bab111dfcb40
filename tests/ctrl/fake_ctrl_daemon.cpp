#include "tests/ctrl/fake_ctrl_daemon.h"

#include <signal.h>
#include <string.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>

FakeCtrlDaemon::FakeCtrlDaemon(const std::string& path, Handler handler)
    : path_(path), handler_(std::move(handler)) {
    std::error_code ec;
    std::filesystem::create_directories(std::filesystem::path(path).parent_path(), ec);
    unlink(path.c_str());
    sockaddr_un addr = {};
    addr.sun_family = AF_UNIX;
    if (path.size() >= sizeof(addr.sun_path)) return;
    memcpy(addr.sun_path, path.c_str(), path.size() + 1);
    int fd = socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (fd < 0 || bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof(addr)) != 0) {
        if (fd >= 0) close(fd);
        return;
    }
    fd_ = fd;
    thread_ = std::thread([this] { Serve(); });
}

FakeCtrlDaemon::~FakeCtrlDaemon() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stopping_ = true;
    }
    stop_.notify_all();
    if (fd_ >= 0) shutdown(fd_, SHUT_RDWR);  // wakes the thread's receive
    if (thread_.joinable()) thread_.join();
    if (fd_ >= 0) {
        close(fd_);
        unlink(path_.c_str());
    }
}

bool FakeCtrlDaemon::Send(const std::string& text) {
    std::unique_lock<std::mutex> lock(mutex_);
    const sockaddr_un peer = peer_;
    const socklen_t len = peer_len_;
    lock.unlock();
    if (len == 0) return false;
    return sendto(fd_, text.data(), text.size(), 0, reinterpret_cast<const sockaddr*>(&peer),
                  len) == static_cast<ssize_t>(text.size());
}

bool FakeCtrlDaemon::WaitForStop(int timeout_ms) {
    std::unique_lock<std::mutex> lock(mutex_);
    return stop_.wait_for(lock, std::chrono::milliseconds(timeout_ms),
                          [this] { return stopping_; });
}

std::vector<std::string> FakeCtrlDaemon::Commands() {
    std::lock_guard<std::mutex> lock(mutex_);
    return commands_;
}

void FakeCtrlDaemon::Serve() {
    // Signals that tests aim at the client thread must not land here.
    sigset_t all;
    sigfillset(&all);
    pthread_sigmask(SIG_BLOCK, &all, nullptr);
    std::vector<char> buf(65536);
    for (;;) {
        sockaddr_un from = {};
        socklen_t from_len = sizeof(from);
        ssize_t got =
            recvfrom(fd_, buf.data(), buf.size(), 0, reinterpret_cast<sockaddr*>(&from), &from_len);
        const std::string command(buf.data(), got > 0 ? static_cast<size_t>(got) : 0);
        {
            std::lock_guard<std::mutex> lock(mutex_);
            if (stopping_) return;
            if (got < 0) continue;
            peer_ = from;
            peer_len_ = from_len;
            commands_.push_back(command);
        }
        if (handler_) handler_(command, *this);
    }
}
