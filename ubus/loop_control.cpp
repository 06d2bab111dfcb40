#include "ubus/loop_control.h"

#include <errno.h>
#include <fcntl.h>
#include <unistd.h>

#include "ubus_assistant.h"

namespace {

void handle_loop_commands(uloop_fd* fd, unsigned int) {
    UbusLoopControl* control = container_of(fd, UbusLoopControl::Watcher, fd)->control;
    char commands[16];
    ssize_t count;
    while ((count = read(fd->fd, commands, sizeof(commands))) > 0) {
        for (ssize_t i = 0; i < count; ++i) {
            if (commands[i] == UbusLoopControl::kQuit) uloop_end();
            if (commands[i] == UbusLoopControl::kLastRpc) control->owner->LastRpc();
        }
    }
}

}  // namespace

UbusLoopControl::UbusLoopControl(UbusAssistant* owner_ua) : owner(owner_ua) {
    watcher.fd.cb = handle_loop_commands;
    watcher.fd.fd = -1;
    watcher.control = this;
}

UbusLoopControl::~UbusLoopControl() { CloseWakePipe(); }

bool UbusLoopControl::OpenWakePipe() {
    if (HasWakePipe()) return true;
    if (pipe2(pipe_fds, O_CLOEXEC | O_NONBLOCK) != 0) {
        pipe_fds[0] = pipe_fds[1] = -1;
        return false;
    }
    watcher.fd.fd = pipe_fds[0];
    if (uloop_fd_add(&watcher.fd, ULOOP_READ) != 0) {
        CloseWakePipe();
        return false;
    }
    return true;
}

void UbusLoopControl::CloseWakePipe() {
    if (!HasWakePipe()) return;
    uloop_fd_delete(&watcher.fd);
    close(pipe_fds[0]);
    close(pipe_fds[1]);
    pipe_fds[0] = pipe_fds[1] = -1;
    watcher.fd.fd = -1;
}

bool UbusLoopControl::Post(char command) {
    if (!HasWakePipe()) return false;
    ssize_t written;
    do {
        written = write(pipe_fds[1], &command, 1);
    } while (written < 0 && errno == EINTR);
    return written == 1;
}

void UbusLoopControl::MarkStarted() {
    std::lock_guard<std::mutex> lock(mutex_);
    alive_ = true;
    thread_known_ = false;
}

void UbusLoopControl::EnterThread() {
    std::lock_guard<std::mutex> lock(mutex_);
    thread_ = pthread_self();
    thread_known_ = true;
}

void UbusLoopControl::MarkEnded() {
    std::lock_guard<std::mutex> lock(mutex_);
    alive_ = false;
    thread_known_ = false;
    ended_.notify_all();
}

bool UbusLoopControl::Alive() {
    std::lock_guard<std::mutex> lock(mutex_);
    return alive_;
}

bool UbusLoopControl::OnLoopThread() {
    std::lock_guard<std::mutex> lock(mutex_);
    return alive_ && thread_known_ && pthread_equal(thread_, pthread_self());
}

bool UbusLoopControl::WaitEnded(std::chrono::milliseconds limit) {
    std::unique_lock<std::mutex> lock(mutex_);
    return ended_.wait_for(lock, limit, [this] { return !alive_; });
}
