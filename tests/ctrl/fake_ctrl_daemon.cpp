#include "tests/ctrl/fake_ctrl_daemon.h"

#include <poll.h>
#include <signal.h>
#include <string.h>
#include <sys/socket.h>
#include <unistd.h>

#include <filesystem>

FakeCtrlDaemon::FakeCtrlDaemon(const std::string& path, Handler handler)
    : path_(path), handler_(std::move(handler)) {
    std::error_code ec;
    std::filesystem::create_directories(std::filesystem::path(path).parent_path(), ec);
    unlink(path.c_str());
    int fd = socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return;
    sockaddr_un addr = {};
    addr.sun_family = AF_UNIX;
    if (path.size() >= sizeof(addr.sun_path) || pipe(stop_pipe_) != 0) {
        close(fd);
        return;
    }
    memcpy(addr.sun_path, path.c_str(), path.size() + 1);
    if (bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof(addr)) != 0) {
        close(fd);
        return;
    }
    fd_ = fd;
    thread_ = std::thread([this] { Serve(); });
}

FakeCtrlDaemon::~FakeCtrlDaemon() {
    stopping_ = true;
    if (stop_pipe_[1] >= 0) {
        char c = 'x';
        ssize_t ignored = write(stop_pipe_[1], &c, 1);
        (void)ignored;
    }
    if (thread_.joinable()) thread_.join();
    if (fd_ >= 0) {
        close(fd_);
        unlink(path_.c_str());
    }
    for (int p : stop_pipe_)
        if (p >= 0) close(p);
}

bool FakeCtrlDaemon::Send(const std::string& text) {
    sockaddr_un peer;
    socklen_t len;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        peer = peer_;
        len = peer_len_;
    }
    if (len == 0) return false;
    return sendto(fd_, text.data(), text.size(), 0, reinterpret_cast<sockaddr*>(&peer), len) ==
           static_cast<ssize_t>(text.size());
}

bool FakeCtrlDaemon::WaitForStop(int timeout_ms) {
    if (stopping_) return true;
    pollfd pfd = {stop_pipe_[0], POLLIN, 0};
    poll(&pfd, 1, timeout_ms);
    return stopping_;
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
    while (!stopping_) {
        pollfd pfds[2] = {{fd_, POLLIN, 0}, {stop_pipe_[0], POLLIN, 0}};
        if (poll(pfds, 2, -1) < 0 || (pfds[1].revents & POLLIN) != 0) break;
        sockaddr_un from = {};
        socklen_t from_len = sizeof(from);
        ssize_t got =
            recvfrom(fd_, buf.data(), buf.size(), 0, reinterpret_cast<sockaddr*>(&from), &from_len);
        if (got < 0) continue;
        std::string command(buf.data(), static_cast<size_t>(got));
        {
            std::lock_guard<std::mutex> lock(mutex_);
            peer_ = from;
            peer_len_ = from_len;
            commands_.push_back(command);
        }
        if (handler_) handler_(command, *this);
    }
}
