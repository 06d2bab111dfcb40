// The event loop: descriptors watched with epoll, one callback per round.
#include <errno.h>
#include <fcntl.h>
#include <pthread.h>
#include <sys/epoll.h>
#include <unistd.h>

#include <atomic>
#include <mutex>
#include <unordered_set>

#include "uloop_internal.h"
#include "uloop_thread.h"

bool uloop_cancelled = false;
bool uloop_handle_sigchld = true;

namespace {

constexpr int kMaxEvents = 10;

struct ReadyFd {
    uloop_fd* fd;
    unsigned int events;
};

// Registrations and the fetched batch may be touched from other threads (a descriptor removed
// while the loop waits); callbacks run without the lock.
std::mutex g_mutex;
int g_epoll = -1;
int g_wake_pipe[2] = {-1, -1};
std::unordered_set<uloop_fd*> g_registered;
ReadyFd g_ready[kMaxEvents];
int g_ready_next = 0;
int g_ready_count = 0;

int g_run_depth = 0;
std::atomic<bool> g_running{false};
std::atomic<pthread_t> g_loop_thread{};

void DrainWakePipe(uloop_fd* fd, unsigned int) {
    char buf[16];
    while (read(fd->fd, buf, sizeof(buf)) > 0) {
    }
}

uloop_fd g_waker = {DrainWakePipe, -1, false, false, false, 0};

bool Cancelled() { return __atomic_load_n(&uloop_cancelled, __ATOMIC_SEQ_CST); }

void ForgetReadyLocked(const uloop_fd* fd) {
    for (int i = g_ready_next; i < g_ready_count; ++i)
        if (g_ready[i].fd == fd) g_ready[i].fd = nullptr;
}

int DeleteLocked(uloop_fd* fd) {
    ForgetReadyLocked(fd);
    if (!fd->registered) return 0;
    fd->registered = false;
    g_registered.erase(fd);
    if (g_epoll < 0) return 0;
    return epoll_ctl(g_epoll, EPOLL_CTL_DEL, fd->fd, nullptr);
}

bool SetFdFlag(int fd, int get, int set, int flag) {
    int flags = fcntl(fd, get);
    return flags >= 0 && fcntl(fd, set, flags | flag) == 0;
}

bool OpenWakePipe() {
    if (pipe(g_wake_pipe) != 0) return false;
    for (int fd : g_wake_pipe) {
        SetFdFlag(fd, F_GETFD, F_SETFD, FD_CLOEXEC);
        SetFdFlag(fd, F_GETFL, F_SETFL, O_NONBLOCK);
    }
    g_waker.fd = g_wake_pipe[0];
    uloop_internal::SetWakeFd(g_wake_pipe[1]);
    return true;
}

void CloseWakePipe() {
    uloop_internal::SetWakeFd(-1);
    for (int& fd : g_wake_pipe) {
        if (fd >= 0) close(fd);
        fd = -1;
    }
    g_waker.fd = -1;
}

// Waits up to `timeout` ms and stores what is ready. Errors and hang-ups mark the descriptor
// and drop it from the loop unless it asked for ULOOP_ERROR_CB; its callback still runs once.
void FetchReady(int timeout) {
    epoll_event events[kMaxEvents];
    int epoll_fd;
    {
        std::lock_guard<std::mutex> lock(g_mutex);
        epoll_fd = g_epoll;
    }
    if (epoll_fd < 0) return;
    int count = epoll_wait(epoll_fd, events, kMaxEvents, timeout);
    if (count <= 0) return;
    std::lock_guard<std::mutex> lock(g_mutex);
    g_ready_next = 0;
    g_ready_count = 0;
    for (int i = 0; i < count; ++i) {
        auto* fd = static_cast<uloop_fd*>(events[i].data.ptr);
        if (g_registered.count(fd) == 0) continue;
        uint32_t what = events[i].events;
        if (what & (EPOLLERR | EPOLLHUP)) {
            fd->error = true;
            if (!(fd->flags & ULOOP_ERROR_CB)) DeleteLocked(fd);
        }
        if (!(what & (EPOLLRDHUP | EPOLLIN | EPOLLOUT | EPOLLERR | EPOLLHUP))) continue;
        if (what & EPOLLRDHUP) fd->eof = true;
        unsigned int ready = 0;
        if (what & EPOLLIN) ready |= ULOOP_READ;
        if (what & EPOLLOUT) ready |= ULOOP_WRITE;
        g_ready[g_ready_count++] = ReadyFd{fd, ready};
    }
}

bool TakeReady(ReadyFd* out) {
    std::lock_guard<std::mutex> lock(g_mutex);
    while (g_ready_next < g_ready_count) {
        ReadyFd next = g_ready[g_ready_next++];
        if (next.fd != nullptr && next.fd->cb != nullptr) {
            *out = next;
            return true;
        }
    }
    return false;
}

// One round dispatches at most one descriptor callback, so uloop_end takes effect between them.
void RunOneEvent(int timeout) {
    ReadyFd ready;
    if (!TakeReady(&ready)) {
        FetchReady(timeout);
        if (!TakeReady(&ready)) return;
    }
    ready.fd->cb(ready.fd, ready.events);
}

}  // namespace

// As upstream, a second call keeps the loop as it is but takes the signals again: whatever still
// has its default action then (SIGCHLD too, if the flag is now set) goes to the loop.
int uloop_init(void) {
    bool fresh = false;
    {
        std::lock_guard<std::mutex> lock(g_mutex);
        if (g_epoll < 0) {
            g_epoll = epoll_create1(EPOLL_CLOEXEC);
            if (g_epoll < 0) return -1;
            fresh = true;
        }
    }
    if (fresh && (!OpenWakePipe() || uloop_fd_add(&g_waker, ULOOP_READ) != 0)) {
        uloop_done();
        return -1;
    }
    uloop_internal::InstallSignals(uloop_handle_sigchld);
    return 0;
}

int uloop_fd_add(uloop_fd* sock, unsigned int flags) {
    if (!(flags & (ULOOP_READ | ULOOP_WRITE))) return uloop_fd_delete(sock);
    std::lock_guard<std::mutex> lock(g_mutex);
    if (g_epoll < 0) return -1;
    if (!sock->registered && !(flags & ULOOP_BLOCKING))
        SetFdFlag(sock->fd, F_GETFL, F_SETFL, O_NONBLOCK);
    epoll_event ev = {};
    ev.events = EPOLLRDHUP;
    if (flags & ULOOP_READ) ev.events |= EPOLLIN;
    if (flags & ULOOP_WRITE) ev.events |= EPOLLOUT;
    if (flags & ULOOP_EDGE_TRIGGER) ev.events |= EPOLLET;
    ev.data.ptr = sock;
    int result =
        epoll_ctl(g_epoll, sock->registered ? EPOLL_CTL_MOD : EPOLL_CTL_ADD, sock->fd, &ev);
    // A descriptor still marked from a loop that was torn down is added afresh.
    if (result != 0 && sock->registered && errno == ENOENT)
        result = epoll_ctl(g_epoll, EPOLL_CTL_ADD, sock->fd, &ev);
    if (result != 0) return -1;
    sock->flags = static_cast<uint8_t>(flags);
    sock->registered = true;
    sock->eof = false;
    sock->error = false;
    g_registered.insert(sock);
    return 0;
}

int uloop_fd_delete(uloop_fd* sock) {
    std::lock_guard<std::mutex> lock(g_mutex);
    DeleteLocked(sock);
    return 0;
}

bool uloop_cancelling(void) { return g_run_depth > 0 && Cancelled(); }

int uloop_run_timeout(int timeout) {
    if (g_run_depth++ == 0) {
        g_loop_thread.store(pthread_self());
        g_running.store(true);
    }
    uloop_internal::ClearEndingSignal();
    __atomic_store_n(&uloop_cancelled, false, __ATOMIC_SEQ_CST);
    do {
        uloop_internal::RunDueTimeouts();
        if (uloop_internal::TakeChildExited()) uloop_internal::ReapChildren();
        if (Cancelled()) break;
        int wait = uloop_internal::MillisecondsToNextTimeout();
        if (timeout >= 0 && (wait < 0 || timeout < wait)) wait = timeout;
        RunOneEvent(wait);
    } while (!Cancelled() && timeout < 0);
    if (--g_run_depth == 0) g_running.store(false);
    return uloop_internal::EndingSignal();
}

void uloop_done(void) {
    uloop_internal::RestoreSignals(uloop_handle_sigchld);
    {
        std::lock_guard<std::mutex> lock(g_mutex);
        if (g_waker.registered) DeleteLocked(&g_waker);
        if (g_epoll >= 0) close(g_epoll);
        g_epoll = -1;
        g_registered.clear();
        g_ready_next = 0;
        g_ready_count = 0;
    }
    CloseWakePipe();
    uloop_internal::ClearTimeouts();
    uloop_internal::ClearProcesses();
}

int uloop_standin_runs_on_other_thread(void) {
    return g_running.load() && !pthread_equal(g_loop_thread.load(), pthread_self());
}
