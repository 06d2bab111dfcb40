// Signal handling of the event loop: SIGINT/SIGTERM end it, SIGCHLD makes it reap children.
#include <errno.h>
#include <string.h>
#include <unistd.h>

#include <atomic>

#include "uloop_internal.h"

namespace uloop_internal {
namespace {

// Lock-free atomics: set in signal handlers, which may run on any thread.
std::atomic<int> g_child_exited{0};
std::atomic<int> g_ending_signal{0};
std::atomic<int> g_wake_fd{-1};

struct TakenSignal {
    int signo;
    bool taken;
    struct sigaction previous;
};

TakenSignal g_sigint = {SIGINT, false, {}};
TakenSignal g_sigterm = {SIGTERM, false, {}};
TakenSignal g_sigchld = {SIGCHLD, false, {}};
bool g_sigpipe_ignored = false;

void Wake() {
    int fd = g_wake_fd;
    if (fd < 0) return;
    while (write(fd, "w", 1) < 0 && errno == EINTR) {
    }
}

void OnEndSignal(int signo) {
    int saved = errno;
    g_ending_signal = signo;
    __atomic_store_n(&uloop_cancelled, true, __ATOMIC_SEQ_CST);
    Wake();
    errno = saved;
}

void OnChildSignal(int) {
    int saved = errno;
    g_child_exited = 1;
    Wake();
    errno = saved;
}

// Only a signal with its default action is taken over; a handler installed before stays.
void Take(TakenSignal* sig, void (*handler)(int)) {
    struct sigaction current;
    sigaction(sig->signo, nullptr, &current);
    if (current.sa_handler != SIG_DFL) return;
    sig->previous = current;
    struct sigaction ours;
    memset(&ours, 0, sizeof(ours));
    ours.sa_handler = handler;
    sigemptyset(&ours.sa_mask);
    sigaction(sig->signo, &ours, nullptr);
    sig->taken = true;
}

// Gives the signal back unless someone replaced our handler in the meantime.
void GiveBack(TakenSignal* sig, void (*handler)(int)) {
    if (!sig->taken) return;
    sig->taken = false;
    struct sigaction current;
    sigaction(sig->signo, nullptr, &current);
    if (current.sa_handler == handler) sigaction(sig->signo, &sig->previous, nullptr);
}

}  // namespace

void InstallSignals(bool handle_sigchld) {
    Take(&g_sigint, OnEndSignal);
    Take(&g_sigterm, OnEndSignal);
    if (handle_sigchld) Take(&g_sigchld, OnChildSignal);
    struct sigaction pipe_action;
    sigaction(SIGPIPE, nullptr, &pipe_action);
    if (pipe_action.sa_handler == SIG_DFL) {
        pipe_action.sa_handler = SIG_IGN;
        pipe_action.sa_flags = 0;
        sigaction(SIGPIPE, &pipe_action, nullptr);
        g_sigpipe_ignored = true;
    }
}

void RestoreSignals() {
    GiveBack(&g_sigint, OnEndSignal);
    GiveBack(&g_sigterm, OnEndSignal);
    GiveBack(&g_sigchld, OnChildSignal);
    if (g_sigpipe_ignored) {
        g_sigpipe_ignored = false;
        struct sigaction pipe_action;
        sigaction(SIGPIPE, nullptr, &pipe_action);
        if (pipe_action.sa_handler == SIG_IGN) {
            pipe_action.sa_handler = SIG_DFL;
            sigaction(SIGPIPE, &pipe_action, nullptr);
        }
    }
}

bool TakeChildExited() { return g_child_exited.exchange(0) != 0; }

int EndingSignal() { return g_ending_signal; }
void ClearEndingSignal() { g_ending_signal = 0; }
void SetWakeFd(int fd) { g_wake_fd = fd; }

}  // namespace uloop_internal
