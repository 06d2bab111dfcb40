#include "ubus/loop_control.h"

#include <errno.h>
#include <fcntl.h>
#include <unistd.h>

#include "ubus_assistant.h"

namespace {

// Each post is one write of one pointer, which a pipe keeps whole, so the pipe always holds
// whole pointers.
void run_posted_work(uloop_fd* fd, unsigned int) {
    UbusLoopControl* control = container_of(fd, UbusLoopControl::Watcher, fd)->control;
    UbusLoopControl::Work posted[8];
    ssize_t count;
    while ((count = read(fd->fd, posted, sizeof(posted))) > 0) {
        for (size_t i = 0; i < static_cast<size_t>(count) / sizeof(posted[0]); ++i)
            posted[i](control->owner);
    }
}

}  // namespace

UbusLoopControl::UbusLoopControl(UbusAssistant* owner_ua) : owner(owner_ua) {
    watcher.fd.cb = run_posted_work;
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

void UbusLoopControl::Quit(UbusAssistant*) { uloop_end(); }

bool UbusLoopControl::Post(Work work) {
    if (!HasWakePipe()) return false;
    ssize_t written;
    do {
        written = write(pipe_fds[1], &work, sizeof(work));
    } while (written < 0 && errno == EINTR);
    return written == static_cast<ssize_t>(sizeof(work));
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
