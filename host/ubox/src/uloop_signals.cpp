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

// SIGPIPE is switched between ignored and its default action, and only from the other one.
void SetPipeAction(void (*from)(int), void (*to)(int)) {
    struct sigaction action;
    sigaction(SIGPIPE, nullptr, &action);
    if (action.sa_handler != from) return;
    action.sa_handler = to;
    action.sa_flags = 0;
    sigaction(SIGPIPE, &action, nullptr);
}

}  // namespace

void InstallSignals(bool handle_sigchld) {
    Take(&g_sigint, OnEndSignal);
    Take(&g_sigterm, OnEndSignal);
    if (handle_sigchld) Take(&g_sigchld, OnChildSignal);
    SetPipeAction(SIG_DFL, SIG_IGN);
}

void RestoreSignals(bool handle_sigchld) {
    GiveBack(&g_sigint, OnEndSignal);
    GiveBack(&g_sigterm, OnEndSignal);
    if (handle_sigchld) GiveBack(&g_sigchld, OnChildSignal);
    // As upstream: an ignored SIGPIPE gets its default action back, whoever ignored it.
    SetPipeAction(SIG_IGN, SIG_DFL);
}

bool TakeChildExited() { return g_child_exited.exchange(0) != 0; }

int EndingSignal() { return g_ending_signal; }
void ClearEndingSignal() { g_ending_signal = 0; }
void SetWakeFd(int fd) { g_wake_fd = fd; }

}  // namespace uloop_internal
